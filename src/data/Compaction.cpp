#include "data/Compaction.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <limits>
#include <memory>

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/WorkingCopy.h"

namespace zodra::compaction {

namespace {

const QString kCompacting = QStringLiteral(".sazimanje");
const QString kRepairing = QStringLiteral(".popravak");

void RemoveWithSidecars(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::remove(path + QStringLiteral("-journal"));
}

// Flushes a file (or a folder's entries) to the disk, so that a rename that follows cannot
// reach the disk before the data it names.
void SyncPath(const QString& path, bool folder) {
    const int fd = ::open(QFile::encodeName(path).constData(),
                          (folder ? O_DIRECTORY : 0) | O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// Atomically puts `from` in place of `to` (POSIX rename replaces the target in one step).
bool AtomicReplace(const QString& from, const QString& to) {
    SyncPath(from, false);
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        return false;
    }
    SyncPath(QFileInfo(to).absolutePath(), true);
    return true;
}

// The new file keeps the original's permissions and, as far as this user may, its owner and
// group: a company shared by a group of users must stay theirs after a compaction.
void CopyModeAndOwner(const QString& from, const QString& to) {
    struct stat original;
    const QByteArray target = QFile::encodeName(to);
    if (::stat(QFile::encodeName(from).constData(), &original) != 0) {
        return;
    }
    (void)::chmod(target.constData(), original.st_mode & 07777);
    if (::chown(target.constData(), original.st_uid, original.st_gid) != 0) {
        (void)::chown(target.constData(), static_cast<uid_t>(-1), original.st_gid);
    }
}

const QString kNotAlone = QStringLiteral(
    "Baza je otvorena na drugom računalu ili u drugom programu. Sažimanje i popravak mogući su "
    "samo kad je nitko drugi ne koristi.");

// The exclusive company lock, or the reason it cannot be had.
std::unique_ptr<CompanyLock> TakeExclusive(const QString& path, QString* error) {
    bool busy = false;
    QString lockError;
    auto lock = CompanyLock::Acquire(path, CompanyLock::Mode::Exclusive, 0, &busy, &lockError);
    if (!lock) {
        *error = busy ? kNotAlone : lockError;
    }
    return lock;
}

// Copies `source` compactly into `target`. Its caller holds the company alone, so the
// connection here is the file's last: it folds the journal into the file first, and on
// closing removes the journal files, which would otherwise be taken for the new file's.
bool VacuumInto(const QString& source, const QString& target, QString* error) {
    try {
        auto db = Database::OpenRaw(source, false);
        db->ExecRaw(QStringLiteral("PRAGMA busy_timeout = 200"));
        Statement checkpoint = db->Prepare(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        checkpoint.Exec();
        if (checkpoint.Next() && checkpoint.Int(0) != 0) {
            *error = kNotAlone;
            return false;
        }
        checkpoint.Finish();
        db->Exec(QStringLiteral("VACUUM INTO ?"), {target});
        return true;
    } catch (const DbError& e) {
        *error = e.isBusy() ? kNotAlone : e.driverText();
        return false;
    }
}

// A copy written by VACUUM INTO, or built afresh, is in the rollback journal mode; the company
// files are kept in WAL. The copy is switched before it takes the file's place: programs that
// open the new file at once would otherwise race each other to switch it, and the loser of
// that race is refused as busy.
void SwitchToWal(const QString& path) {
    auto db = Database::OpenRaw(path, false);
    db->ExecRaw(QStringLiteral("PRAGMA journal_mode=WAL"));
}

bool SoundCompany(const QString& path, bool company) {
    if (IntegrityCheck(path) != QLatin1String("ok")) {
        return false;
    }
    if (!company) {
        return true;
    }
    try {
        auto db = Database::OpenRaw(path, false);
        for (const QString& table : CompanySchema::RequiredTables()) {
            if (!db->TableExists(table)) {
                return false;
            }
        }
        return db->Scalar(QStringLiteral("PRAGMA application_id")).toUInt() ==
               CompanySchema::kApplicationId;
    } catch (const DbError&) {
        return false;
    }
}

Result CompactOne(const QString& path, bool company, const Checkpoint& checkpoint) {
    Result result;
    const QString temp = path + kCompacting;
    RemoveWithSidecars(temp);
    QString error;
    if (!VacuumInto(path, temp, &error)) {
        RemoveWithSidecars(temp);
        result.message = error;
        result.damaged = error != kNotAlone;
        return result;
    }
    if (!SoundCompany(temp, company)) {
        RemoveWithSidecars(temp);
        result.message =
            QStringLiteral("Sažeta kopija nije ispravna; datoteka je ostala nepromijenjena.");
        result.damaged = true;
        return result;
    }
    try {
        SwitchToWal(temp);
    } catch (const DbError& e) {
        RemoveWithSidecars(temp);
        result.message = e.driverText();
        return result;
    }
    CopyModeAndOwner(path, temp);
    if (checkpoint) {
        checkpoint("copied");
    }
    // Whatever journal is left belongs to the old file, whose content the copy already has.
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    if (!AtomicReplace(temp, path)) {
        RemoveWithSidecars(temp);
        result.message = QStringLiteral("Sažeta kopija ne može zamijeniti datoteku.");
        return result;
    }
    if (checkpoint) {
        checkpoint("replaced");
    }
    result.ok = true;
    return result;
}

// Copies every readable row of one table from the attached damaged file "stara" into the fresh
// file, skipping over unreadable stretches. Returns false when nothing of it could be read.
bool SalvageTable(Database& db, const QString& table) {
    const QString q = QLatin1Char('"') + table + QLatin1Char('"');
    QStringList common;
    try {
        QStringList old;
        Statement info =
            db.Prepare(QStringLiteral("SELECT \"name\" FROM pragma_table_info(?, 'stara')"));
        info.Exec({table});
        while (info.Next()) {
            old << info.Text(0);
        }
        for (const QString& c : db.Columns(table)) {
            if (old.contains(c)) {
                common << QLatin1Char('"') + c + QLatin1Char('"');
            }
        }
    } catch (const DbError&) {
        return false;
    }
    if (common.isEmpty()) {
        return false;
    }
    db.ExecRaw(QStringLiteral("DELETE FROM \"main\".") + q);
    QStringList marks;
    for (int i = 0; i < common.size(); ++i) {
        marks << QStringLiteral("?");
    }
    Statement insert =
        db.Prepare(QStringLiteral("INSERT OR IGNORE INTO \"main\".") + q + QStringLiteral(" (") +
                   common.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                   marks.join(QStringLiteral(", ")) + QStringLiteral(")"));
    Statement read =
        db.Prepare(QStringLiteral("SELECT \"rowid\", ") + common.join(QStringLiteral(", ")) +
                   QStringLiteral(" FROM \"stara\".") + q +
                   QStringLiteral(" WHERE \"rowid\" > ? ORDER BY \"rowid\""));
    qint64 last = std::numeric_limits<qint64>::min();
    qint64 step = 1;
    bool anyRead = false;
    for (int attempt = 0; attempt < 64; ++attempt) {
        try {
            read.Exec({last});
            while (read.Next()) {
                last = read.Value(0).toLongLong();
                for (int i = 0; i < common.size(); ++i) {
                    insert.Bind(i, read.Value(i + 1));
                }
                insert.Exec();
                anyRead = true;
                step = 1;
            }
            return true;
        } catch (const DbError&) {
            // An unreadable stretch: jump over it, further each time.
            if (last == std::numeric_limits<qint64>::min()) {
                last = 0;
            }
            last += step;
            step *= 4;
        }
    }
    return anyRead;
}

}  // namespace

Engine::TargetKind Identify(const QString& path) {
    if (Database::IsServerTarget(path) || !QFileInfo(path).isFile()) {
        return Engine::TargetKind::Foreign;
    }
    return Database::OpenRaw(path, false)->GetEngine().Identify(path);
}

QString IntegrityCheck(const QString& path) {
    try {
        auto db = Database::OpenRaw(path, false);
        if (!db->GetEngine().CompactsByCopy()) {
            // A server keeps its storage sound itself (write-ahead log, checksummed pages); what
            // is left to check here is that every company table can be read.
            for (const QString& table : CompanySchema::RequiredTables()) {
                db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"") + table +
                           QStringLiteral("\""));
            }
            return QStringLiteral("ok");
        }
        Statement check = db->Prepare(QStringLiteral("PRAGMA integrity_check"));
        check.Exec();
        QStringList problems;
        while (check.Next() && problems.size() < 10) {
            problems << check.Text(0);
        }
        return problems.join(QLatin1Char('\n'));
    } catch (const DbError& e) {
        return e.driverText();
    }
}

namespace {
// Repairs the file; the caller holds the company alone.
Result RepairAlone(const QString& path);

// A company on a server is neither compacted nor repaired by a copy that takes its place: the
// server keeps its own storage.
const QString kOnServer = QStringLiteral(
    "Baza na poslužitelju ne sažima se i ne popravlja kopijom: to radi sam poslužitelj.");
}  // namespace

void RemoveFileWithJournals(const QString& path) {
    RemoveWithSidecars(path);
}

void RemoveLeftovers(const QString& path) {
    RemoveWithSidecars(path + kCompacting);
    RemoveWithSidecars(path + kRepairing);
    const QString fresh = path + kRepairing + QStringLiteral(".mdb");
    RemoveWithSidecars(fresh);
    RemoveWithSidecars(CompanySchema::DefaultDetailPath(fresh));
    RemoveWithSidecars(CompanySchema::DefaultDetailPath(path) + kCompacting);
}

Result Compact(const QString& path, const QString& password, const Checkpoint& checkpoint,
               const QList<int>& keepSessions) {
    Result result;
    if (Database::IsServerTarget(path)) {
        result.message = kOnServer;
        return result;
    }
    auto lock = TakeExclusive(path, &result.message);
    if (!lock) {
        return result;
    }
    RemoveLeftovers(path);
    QString detail;
    QString detailProblem;
    {
        auto opened = Database::OpenAlone(path, password, *lock);
        if (opened.status != Database::OpenStatus::Ok) {
            result.message = QString::fromLatin1(ToString(opened.status));
            return result;
        }
        // Nobody else has the company open, so no session is alive but the caller's own: every
        // other working row and session code left behind by a program that ended without
        // closing goes.
        try {
            workingcopy::ClearEverySession(*opened.db, keepSessions);
        } catch (const DbError& e) {
            result.message = e.driverText();
            return result;
        }
        if (opened.db->DetailAttached()) {
            detail = opened.db->DetailPath();
        } else {
            detailProblem = opened.db->DetailProblem();
        }
    }
    result = CompactOne(path, true, checkpoint);
    if (result.damaged) {
        // The engine could not read the whole file: it is repaired instead, still alone.
        result = RepairAlone(path);
    }
    result.detailMessage = detailProblem;
    if (result.ok && !detail.isEmpty()) {
        const Result detailResult = CompactOne(detail, false, {});
        if (!detailResult.ok) {
            result.detailMessage = detailResult.message;
        }
    }
    return result;
}

Result Repair(const QString& path) {
    Result result;
    if (Database::IsServerTarget(path)) {
        result.message = kOnServer;
        return result;
    }
    auto lock = TakeExclusive(path, &result.message);
    if (!lock) {
        return result;
    }
    RemoveLeftovers(path);
    return RepairAlone(path);
}

namespace {

Result RepairAlone(const QString& path) {
    Result result;
    const QString temp = path + kRepairing;
    QString error;
    bool copied = VacuumInto(path, temp, &error);
    if (!copied && error == kNotAlone) {
        result.message = error;
        return result;
    }
    copied = copied && SoundCompany(temp, true);
    if (!copied) {
        // Salvage: a fresh company file, then every readable row of every table.
        RemoveWithSidecars(temp);
        const QString fresh = temp + QStringLiteral(".mdb");
        RemoveWithSidecars(fresh);
        QFile::remove(CompanySchema::DefaultDetailPath(fresh));
        try {
            CompanySchema::CreateCompany(fresh, QDate::currentDate().year());
            QFile::remove(CompanySchema::DefaultDetailPath(fresh));
            auto db = Database::OpenRaw(fresh, false);
            // A file shorter than its header says (its last pages lost) is refused whole by the
            // engine unless the schema is writable; nothing of the old file is written here.
            db->ExecRaw(QStringLiteral("PRAGMA writable_schema = ON"));
            db->Exec(QStringLiteral("ATTACH DATABASE ? AS \"stara\""), {path});
            if (db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"stara\".\"sqlite_master\" "
                                          "WHERE \"type\" = 'table' AND \"name\" IN ('KORISNICI', "
                                          "'Konfiguracija', 'ZODRA_META')"))
                    .toInt() == 0) {
                throw UserError(QStringLiteral("Datoteka nije Zodra baza podataka."));
            }
            QStringList tables;
            {
                Statement list = db->Prepare(QStringLiteral(
                    "SELECT \"name\" FROM \"main\".\"sqlite_master\" WHERE \"type\" = 'table' AND "
                    "\"name\" NOT LIKE 'sqlite_%'"));
                list.Exec();
                while (list.Next()) {
                    tables << list.Text(0);
                }
            }
            // Reading a damaged file aborts any transaction open at the time, so every row is
            // written on its own; the copy is a scratch file until it has passed the check.
            db->ExecRaw(QStringLiteral("PRAGMA \"main\".journal_mode = OFF"));
            db->ExecRaw(QStringLiteral("PRAGMA \"main\".synchronous = OFF"));
            for (const QString& table : tables) {
                if (!SalvageTable(*db, table)) {
                    result.lostTables << table;
                }
            }
            db->ExecRaw(QStringLiteral("PRAGMA \"main\".synchronous = FULL"));
            // Only rows read from the damaged file count: the fresh company's own rows
            // (the administrator, the settings) must not pass for a repaired company.
            int core = 0;
            for (const QString& table :
                 {QStringLiteral("KORISNICI"), QStringLiteral("Konfiguracija")}) {
                const bool inOld =
                    db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"stara\".\"sqlite_master\" "
                                              "WHERE \"type\" = 'table' AND \"name\" = ?"),
                               {table})
                        .toInt() > 0;
                if (inOld && !result.lostTables.contains(table)) {
                    core += db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"main\".\"") + table +
                                       QStringLiteral("\""))
                                .toInt();
                }
            }
            if (core == 0) {
                // Nothing of the company's own records could be read: an empty company must not
                // take the place of the original.
                throw DbError(
                    path, QStringLiteral("Iz oštećene datoteke nije moguće pročitati podatke."));
            }
            // The user_version and the password of the old file, when still readable.
            try {
                const int version =
                    db->Scalar(QStringLiteral("PRAGMA \"stara\".user_version")).toInt();
                if (version > 0) {
                    db->ExecRaw(QStringLiteral("PRAGMA \"main\".user_version = %1").arg(version));
                }
            } catch (const DbError&) {
            }
            db->ExecRaw(QStringLiteral("DETACH DATABASE \"stara\""));
        } catch (const DbError& e) {
            RemoveWithSidecars(fresh);
            result.message = e.driverText();
            return result;
        } catch (const UserError& e) {
            RemoveWithSidecars(fresh);
            result.message = e.message();
            return result;
        }
        if (!SoundCompany(fresh, true) || !QFile::rename(fresh, temp)) {
            RemoveWithSidecars(fresh);
            result.message = QStringLiteral(
                "Popravljena kopija nije ispravna; datoteka je ostala "
                "nepromijenjena.");
            return result;
        }
    }
    // Keep the damaged original beside the file, then put the sound copy in its place.
    // Named by the time; a second repair within the same second gets a number after it.
    const QString stamp = path + QStringLiteral(".ostecena-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString kept = stamp;
    for (int n = 2; QFileInfo::exists(kept); ++n) {
        kept = stamp + QLatin1Char('-') + QString::number(n);
    }
    if (QFileInfo::exists(path + QStringLiteral("-wal"))) {
        QFile::copy(path + QStringLiteral("-wal"), kept + QStringLiteral("-wal"));
    }
    if (!QFile::copy(path, kept)) {
        RemoveWithSidecars(temp);
        result.message =
            QStringLiteral("Original se ne može sačuvati; datoteka je ostala nepromijenjena.");
        return result;
    }
    try {
        SwitchToWal(temp);
    } catch (const DbError& e) {
        RemoveWithSidecars(temp);
        QFile::remove(kept);
        result.message = e.driverText();
        return result;
    }
    CopyModeAndOwner(path, temp);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    if (!AtomicReplace(temp, path)) {
        RemoveWithSidecars(temp);
        QFile::remove(kept);
        result.message = QStringLiteral("Popravljena kopija ne može zamijeniti datoteku.");
        return result;
    }
    result.ok = true;
    result.keptOriginal = kept;
    return result;
}

}  // namespace

}  // namespace zodra::compaction
