#pragma once

#include <QString>

#include "data/Compaction.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodra::maintenance {

// The longest password a company file takes.
constexpr int kMaxPasswordLength = 14;

// Sets the company's new password; refuses one longer than 14 characters with
// "Password je predugačak (najviše 14 znakova)!" (UserError). Connections that are open stay
// open: the password is asked only when a company is opened.
void ChangePassword(Database& db, const QString& newPassword);

// The same for the open session: its own company through its connection (the session keeps
// working and remembers the new password for its next opening), or another company file
// opened with the session's password, as the user is asked to choose.
void ChangePassword(Session& session, const QString& path, const QString& newPassword);

// Compacts the session's company while the session goes on: the session's connection is
// closed for the compaction (which needs the file alone) and opened again afterwards, and the
// session's three codes keep their working rows while every other session's go. When another
// workstation has the company open the compaction is refused and the session simply goes on.
// The session's codes stay held all the while, so a workstation that opens the company while
// the connection is closed never takes them for abandoned. `checkpoint` is a test seam called
// with "closed" once the connection is closed, before the compaction.
// Throws DbError when the company cannot be opened again.
compaction::Result CompactOpenCompany(Session& session,
                                      const compaction::Checkpoint& checkpoint = {});

}  // namespace zodra::maintenance
