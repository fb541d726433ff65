#include "maintenance/Archive.h"

#include <unistd.h>
#include <zip.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cerrno>
#include <memory>

#include "data/Compaction.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "maintenance/Zip.h"

namespace zodra::maintenance {

namespace {

// Entries of an archive worth unpacking at all: a company and its detail file.
constexpr zip_int64_t kMaxEntries = 8;

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

// Gives `from` the name `to` unless `to` exists (checked and done in one step by the file
// system, so a file made meanwhile by someone else is never replaced). False when taken.
bool LinkNew(const QString& from, const QString& to, QString* error) {
    if (::link(Native(from).constData(), Native(to).constData()) == 0) {
        QFile::remove(from);
        return true;
    }
    *error = errno == EEXIST ? ExistingFileText()
                             : QStringLiteral("Datoteka se ne može zapisati: ") + to;
    return false;
}

QString ZipError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

bool IsZip(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    return file.read(4) == QByteArrayLiteral("PK\x03\x04");
}

// The weekday backup's detail copy: "firma_Nedjelja.bak" → "firma_Nedjelja.det.bak".
QString WeekdayDetailCopy(const QString& backup) {
    const QString bak = QStringLiteral(".bak");
    if (!backup.endsWith(bak, Qt::CaseInsensitive)) {
        return QString();
    }
    return backup.left(backup.size() - bak.size()) + QStringLiteral(".det.bak");
}

// Unpacks every entry of the archive into its own file of `folder` (the entries' names are not
// used as paths: an archive cannot write outside the folder). Returns the files written.
QStringList Unpack(const QString& archivePath, const QString& folder) {
    int code = 0;
    zip_t* archive = zip_open(Native(archivePath).constData(), ZIP_RDONLY, &code);
    if (archive == nullptr) {
        throw UserError(QStringLiteral("Arhiva se ne može pročitati: ") + ZipError(code));
    }
    std::unique_ptr<zip_t, void (*)(zip_t*)> closer(archive, [](zip_t* z) { zip_discard(z); });
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count <= 0 || count > kMaxEntries) {
        throw UserError(QStringLiteral("Datoteka nije arhiva Zodra poduzeća."));
    }
    QStringList files;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_file_t* entry = zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0);
        if (entry == nullptr) {
            throw UserError(QStringLiteral("Arhiva je oštećena: ") +
                            QString::fromUtf8(zip_strerror(archive)));
        }
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> entryCloser(entry, zip_fclose);
        const QString out = folder + QStringLiteral("/%1").arg(i);
        QFile file(out);
        if (!file.open(QIODevice::WriteOnly)) {
            throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + out);
        }
        QByteArray buffer(1 << 16, Qt::Uninitialized);
        for (;;) {
            const zip_int64_t read =
                zip_fread(entry, buffer.data(), static_cast<zip_uint64_t>(buffer.size()));
            if (read < 0) {
                throw UserError(QStringLiteral("Arhiva je oštećena: ") +
                                QString::fromUtf8(zip_file_strerror(entry)));
            }
            if (read == 0) {
                break;
            }
            if (file.write(buffer.constData(), read) != read) {
                throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + out);
            }
        }
        if (!file.flush()) {
            throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + out);
        }
        files << out;
    }
    return files;
}

// The company's problem, or an empty text when it is a sound company this program can open.
QString CheckCompany(const QString& path, int* version) {
    if (compaction::Identify(path) != Engine::TargetKind::Company) {
        return QStringLiteral("U arhivi nema Zodra poduzeća.");
    }
    const QString integrity = compaction::IntegrityCheck(path);
    if (integrity != QLatin1String("ok")) {
        return QStringLiteral("Poduzeće u arhivi nije ispravno: ") + integrity;
    }
    try {
        auto db = Database::OpenRaw(path, false);
        *version = db->SchemaVersion();
        for (const QString& table : CompanySchema::RequiredTables()) {
            if (!db->TableExists(table)) {
                return QStringLiteral("Poduzeće u arhivi nije ispravno: nedostaje tablica ") +
                       table;
            }
        }
        if (*version > CompanySchema::kCurrentVersion) {
            return QStringLiteral(
                "Arhivu je napravila novija verzija programa; ova je ne može otvoriti.");
        }
        // The restored company uses the detail file restored beside it, never the file its
        // original was linked to (which would then take the copy's detailed invoices).
        db->SetMeta(QStringLiteral("DETALJNA_DATOTEKA"), QString());
    } catch (const DbError& e) {
        return QStringLiteral("Poduzeće u arhivi nije ispravno: ") + e.driverText();
    }
    return QString();
}

}  // namespace

QString ExistingFileText() {
    return QStringLiteral("Datoteka sa ovim imenom već postoji! Izaberite drugo ime.");
}

QStringList ArchiveCompany(Database& db, const QString& archivePath) {
    if (Database::IsServerTarget(db.Path())) {
        throw UserError(QStringLiteral(
            "Baza na poslužitelju ne pakira se u arhivu: kopiju radi sam poslužitelj."));
    }
    if (QFileInfo::exists(archivePath)) {
        throw UserError(ExistingFileText());
    }
    const QFileInfo target(archivePath);
    QTemporaryDir work(target.absolutePath() + QStringLiteral("/.zodra-arhiva-XXXXXX"));
    if (!work.isValid()) {
        throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + archivePath);
    }
    const QString base = QFileInfo(db.Path()).completeBaseName();
    const QString company = base + QStringLiteral(".mdb");
    const QString detail = base + QStringLiteral(".det");
    // The company first, then the detail file: a posting's detailed lines wait in the company
    // file until the detail file has them, so a detail file copied later than its company
    // holds everything the company's copy expects of it (what it holds more is skipped when the
    // copy is opened).
    db.CopyTo(false, work.filePath(company));
    QStringList packed{company};
    if (db.DetailAttached()) {
        db.CopyTo(true, work.filePath(detail));
        packed << detail;
    }
    const QString temp = archivePath + QStringLiteral(".novi");
    std::vector<ZipMember> members;
    for (const QString& name : packed) {
        members.push_back({name, {}, work.filePath(name)});
    }
    WriteZip(temp, members, QStringLiteral("Arhiva se ne može zapisati: "));
    QString error;
    if (!LinkNew(temp, archivePath, &error)) {
        QFile::remove(temp);
        throw UserError(error);
    }
    return packed;
}

RestoreResult Restore(const QString& archivePath, const QString& target) {
    if (Database::IsServerTarget(target)) {
        throw UserError(
            QStringLiteral("Poduzeće se iz arhive vraća samo u novu datoteku, ne na poslužitelj."));
    }
    if (!QFileInfo(archivePath).isFile()) {
        throw UserError(QStringLiteral("Datoteka ne postoji: ") + archivePath);
    }
    RestoreResult result;
    result.companyPath = QFileInfo(target).absoluteFilePath();
    const QString detailTarget = CompanySchema::DefaultDetailPath(result.companyPath);
    if (QFileInfo::exists(result.companyPath) || QFileInfo::exists(detailTarget)) {
        throw UserError(ExistingFileText());
    }
    QTemporaryDir work(QFileInfo(result.companyPath).absolutePath() +
                       QStringLiteral("/.zodra-vracanje-XXXXXX"));
    if (!work.isValid()) {
        throw UserError(QStringLiteral("Datoteka se ne može zapisati: ") + target);
    }
    // The candidates: every file of a zip archive, or a weekday backup and its detail copy.
    QStringList files;
    if (IsZip(archivePath)) {
        files = Unpack(archivePath, work.path());
    } else {
        const QString companyCopy = work.filePath(QStringLiteral("0"));
        if (!QFile::copy(archivePath, companyCopy)) {
            throw UserError(QStringLiteral("Datoteka se ne može pročitati: ") + archivePath);
        }
        files << companyCopy;
        const QString detailCopy = WeekdayDetailCopy(archivePath);
        if (!detailCopy.isEmpty() && QFileInfo::exists(detailCopy)) {
            if (!QFile::copy(detailCopy, work.filePath(QStringLiteral("1")))) {
                throw UserError(QStringLiteral("Datoteka se ne može pročitati: ") + detailCopy);
            }
            files << work.filePath(QStringLiteral("1"));
        }
    }
    QString company;
    QString detail;
    for (const QString& file : files) {
        const Engine::TargetKind kind = compaction::Identify(file);
        if (kind == Engine::TargetKind::Company && company.isEmpty()) {
            company = file;
        } else if (kind == Engine::TargetKind::Detail && detail.isEmpty()) {
            detail = file;
        }
    }
    if (company.isEmpty()) {
        throw UserError(QStringLiteral("U arhivi nema Zodra poduzeća."));
    }
    const QString problem = CheckCompany(company, &result.schemaVersion);
    if (!problem.isEmpty()) {
        throw UserError(problem);
    }
    if (!detail.isEmpty() && compaction::IntegrityCheck(detail) != QLatin1String("ok")) {
        throw UserError(QStringLiteral("Datoteka detalja u arhivi nije ispravna."));
    }
    // The detail file first: a company never appears without the detail file it was archived
    // with.
    QString error;
    if (!detail.isEmpty()) {
        if (!LinkNew(detail, detailTarget, &error)) {
            throw UserError(error);
        }
        result.detailPath = detailTarget;
    }
    if (!LinkNew(company, result.companyPath, &error)) {
        if (!detail.isEmpty()) {
            QFile::remove(detailTarget);
        }
        throw UserError(error);
    }
    return result;
}

}  // namespace zodra::maintenance
