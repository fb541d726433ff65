#pragma once

#include <QString>

namespace zodra {
class Database;
}

namespace zodra::maintenance {

// The text for a target name that is already taken (an archive or a restored company).
QString ExistingFileText();

// Packs the open company and its detail file into a new zip archive. The files in it are
// consistent snapshots taken through the open connection, so other workstations go on posting
// meanwhile; the archive appears under its name only once it is complete, and an existing file
// of that name is never replaced. Throws UserError (name taken, a company on a server) or
// DbError. Returns the names of the files packed.
QStringList ArchiveCompany(Database& db, const QString& archivePath);

struct RestoreResult {
    QString companyPath;
    QString detailPath;  // empty when the archive held no detail file
    int schemaVersion = 0;
};

// Unpacks an archive made by ArchiveCompany, or a weekday backup ("firma_Nedjelja.bak" with
// its "firma_Nedjelja.det.bak" beside it), into a new company file `target` and its detail file
// beside it. Both are checked (the engine's integrity check, a company and a detail file of
// ours, a schema version this program can open) before they are put in place; an existing
// file is never overwritten, neither the target nor its detail file. Throws UserError.
RestoreResult Restore(const QString& archivePath, const QString& target);

}  // namespace zodra::maintenance
