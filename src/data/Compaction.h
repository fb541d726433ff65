#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "data/Engine.h"

namespace zodra {

// Compaction and repair of a company file. Both work on a copy: the live file is never
// renamed or rewritten until the copy has passed the integrity check; then the copy takes the
// file's place in one atomic rename, with the original's permissions and owner. Both hold the
// company's exclusive lock from before the copy until after the swap, so they run only when no
// other workstation, program or connection has the company open, and nobody opens it
// meanwhile (an opening waits for them); otherwise they refuse and change nothing.
namespace compaction {

struct Result {
    bool ok = false;
    QString message;         // why it was refused or failed
    QString keptOriginal;    // where the original was kept (repair), else empty
    QStringList lostTables;  // repair: tables that could not be read at all
    QString detailMessage;   // compaction: why the detail file was left as it was, if it was
    bool damaged = false;    // the engine could not read the whole file
};

// Test seam: called at named points ("copied": the sound copy is ready; "replaced": it has
// taken the file's place) so that a test can kill the process exactly there.
using Checkpoint = std::function<void(const char*)>;

// Rewrites the file compactly (VACUUM INTO a copy, check, swap), after clearing the working
// rows of sessions that ended without closing. The detail file likewise. A file the engine
// cannot read whole is repaired instead (keptOriginal then names the kept original).
// `keepSessions`: session codes whose working rows and Multiuser rows stay (the codes of the
// workstation that asks for the compaction and carries on once it is done).
Result Compact(const QString& path, const QString& password, const Checkpoint& checkpoint = {},
               const QList<int>& keepSessions = {});

// Repairs a damaged company file: a compact copy when the engine can still read it, otherwise
// the readable rows of every table copied into a fresh company file. The damaged original is
// kept beside the file (…ostecena) when the repaired copy replaces it.
Result Repair(const QString& path);

// Removes what a compaction or repair that was killed left behind (its copies). Only for a
// caller that holds the company's lock, shared or exclusive: then none is running.
void RemoveLeftovers(const QString& path);

// Removes a company file that is not open anywhere, with the journal files beside it.
void RemoveFileWithJournals(const QString& path);

// The engine's full integrity check: "ok" or the first problems found.
QString IntegrityCheck(const QString& path);

// What a file holds, from its header: a company, a detail file or anything else (also for a
// missing file or a company on a server).
Engine::TargetKind Identify(const QString& path);

}  // namespace compaction
}  // namespace zodra
