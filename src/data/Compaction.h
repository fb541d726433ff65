#pragma once

#include <QString>
#include <QStringList>

namespace zodra {

// Compaction and repair of a company file. Both work on a copy: the live file is never
// renamed or rewritten until the copy has passed the integrity check; then the copy takes the
// file's place in one atomic rename. Other workstations must have the company closed.
namespace compaction {

struct Result {
    bool ok = false;
    QString message;         // why it was refused or failed
    QString keptOriginal;    // where the original was kept (repair), else empty
    QStringList lostTables;  // repair: tables that could not be read at all
};

// Rewrites the file compactly (VACUUM INTO a copy, check, swap). The detail file likewise.
Result Compact(const QString& path, const QString& password);

// Repairs a damaged company file: a compact copy when the engine can still read it, otherwise
// the readable rows of every table copied into a fresh company file. The damaged original is
// kept beside the file (…ostecena) when the repaired copy replaces it.
Result Repair(const QString& path);

// The engine's full integrity check: "ok" or the first problems found.
QString IntegrityCheck(const QString& path);

}  // namespace compaction
}  // namespace zodra
