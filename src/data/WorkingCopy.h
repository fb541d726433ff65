#pragma once

#include <QList>
#include <optional>

#include "data/DocumentKind.h"

namespace zodra {

class Database;

// Lines of a document being drawn up live in working-copy tables shared by all workstations,
// each row tagged with the session code of the workstation that entered it. Posting copies the
// session's rows into the real line table in one statement.
namespace workingcopy {

// A new session code; codes are never handed out twice, not even after their row is deleted.
int AllocateSessionCode(Database& db);
// Forgets session codes (at exit): their rows of Multiuser are deleted.
void ReleaseSessionCodes(Database& db, const QList<int>& codes);

// Forgets the sessions that are no longer running anywhere (their program ended without
// closing: killed, crashed, power lost) with every working row they left. Codes of saved,
// unposted documents are kept. Needs the company's
// lock to tell running sessions from dead ones (a connection without it clears nothing).
// Returns the number of sessions forgotten.
int ClearAbandonedSessions(Database& db);
// The same for a caller that holds the company alone (a compaction): no session is running but
// those named in `keep` (the session of the workstation that compacts, which closed its
// connection for the compaction and goes on afterwards), and working rows whose session code
// is gone altogether go too.
int ClearEverySession(Database& db, const QList<int>& keep = {});

// Deletes the session's rows of every working table of the document kind (a work order clears
// its lines and its cost lines together).
void ClearWorkingCopy(Database& db, DocumentKind kind, int sessionCode);
// Deletes the session's rows of every working table (the register on close, abandoned sessions).
void ClearAllWorkingCopies(Database& db, int sessionCode);

// Copies the session's working rows into the document's line tables under their final number
// (and invoice book), in the line tables' column order and in one statement per table, completes
// the tax groups they lack from their articles, and deletes them. Runs inside the caller's
// posting transaction.
// Returns the number of lines copied into the first line table.
int PostWorkingLines(Database& db, DocumentKind kind, int number, int sessionCode,
                     std::optional<int> invoiceBook = std::nullopt);

// Completes GRUPA_POREZA and POREZ_% of lines that have none from their article's tax group.
// Only lines without a tax group are touched (an index holds exactly those).
int FillMissingTaxGroups(Database& db, const LineCopy& table);

}  // namespace workingcopy
}  // namespace zodra
