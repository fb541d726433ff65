#include "data/Compaction.h"

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

namespace zodra::compaction {

namespace {

void RemoveWithSidecars(const QString& path) {
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
    QFile::remove(path + QStringLiteral("-journal"));
}

// Atomically puts `from` in place of `to` (POSIX rename replaces the target in one step).
bool AtomicReplace(const QString& from, const QString& to) {
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Checks that nobody else has the file open and keeps it that way while this connection lives:
// in exclusive locking mode the lock taken by a write is held until the connection closes.
bool TakeExclusive(Database& db) {
    try {
        db.ExecRaw(QStringLiteral("PRAGMA busy_timeout = 200"));
        db.ExecRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        db.ExecRaw(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE"));
        db.ExecRaw(QStringLiteral("BEGIN EXCLUSIVE"));
        db.ExecRaw(QStringLiteral("COMMIT"));
        return true;
    } catch (const DbError&) {
        return false;
    }
}

// Copies `source` compactly into `target` while holding it exclusively; `db` stays open (and
// the lock held) until the caller has swapped the files.
std::unique_ptr<Database> VacuumInto(const QString& source, const QString& target, QString* error) {
    try {
        auto db = Database::OpenRaw(source, false);
        if (!TakeExclusive(*db)) {
            *error =
                QStringLiteral("Datoteka je otvorena na drugom računalu ili u drugom programu.");
            return nullptr;
        }
        db->Exec(QStringLiteral("VACUUM INTO ?"), {target});
        return db;
    } catch (const DbError& e) {
        *error = e.driverText();
        return nullptr;
    }
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

Result CompactOne(const QString& path, bool company) {
    Result result;
    const QString temp = path + QStringLiteral(".sazimanje");
    RemoveWithSidecars(temp);
    QString error;
    auto lock = VacuumInto(path, temp, &error);
    if (!lock) {
        RemoveWithSidecars(temp);
        result.message = error;
        return result;
    }
    if (!SoundCompany(temp, company)) {
        RemoveWithSidecars(temp);
        result.message =
            QStringLiteral("Sažeta kopija nije ispravna; datoteka je ostala nepromijenjena.");
        return result;
    }
    if (!AtomicReplace(temp, path)) {
        RemoveWithSidecars(temp);
        result.message = QStringLiteral("Sažeta kopija ne može zamijeniti datoteku.");
        return result;
    }
    lock.reset();
    // The old file's journal files went with it; none may be left to confuse the new one.
    QFile::remove(path + QStringLiteral("-wal"));
    QFile::remove(path + QStringLiteral("-shm"));
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

QString IntegrityCheck(const QString& path) {
    try {
        auto db = Database::OpenRaw(path, false);
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

Result Compact(const QString& path, const QString& password) {
    {
        auto opened = Database::Open(path, password);
        if (opened.status != Database::OpenStatus::Ok) {
            Result refused;
            refused.message = QString::fromLatin1(ToString(opened.status));
            return refused;
        }
    }
    Result result = CompactOne(path, true);
    const QString detail = CompanySchema::DefaultDetailPath(path);
    if (result.ok && QFileInfo::exists(detail)) {
        const Result detailResult = CompactOne(detail, false);
        if (!detailResult.ok) {
            result.message = detailResult.message;
        }
    }
    return result;
}

Result Repair(const QString& path) {
    Result result;
    const QString temp = path + QStringLiteral(".popravak");
    RemoveWithSidecars(temp);
    QString error;
    bool copied = false;
    {
        auto lock = VacuumInto(path, temp, &error);
        copied = lock != nullptr;
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
            db->Exec(QStringLiteral("ATTACH DATABASE ? AS \"stara\""), {path});
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
            const int core =
                db->Scalar(QStringLiteral("SELECT (SELECT COUNT(*) FROM \"KORISNICI\") + "
                                          "(SELECT COUNT(*) FROM \"Konfiguracija\")"))
                    .toInt();
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
    const QString kept = path + QStringLiteral(".ostecena-") +
                         QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    if (QFileInfo::exists(path + QStringLiteral("-wal"))) {
        QFile::copy(path + QStringLiteral("-wal"), kept + QStringLiteral("-wal"));
    }
    if (!QFile::copy(path, kept)) {
        RemoveWithSidecars(temp);
        result.message =
            QStringLiteral("Original se ne može sačuvati; datoteka je ostala nepromijenjena.");
        return result;
    }
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

}  // namespace zodra::compaction
