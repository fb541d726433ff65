#pragma once

#include <QByteArray>

class QSqlDatabase;
class QString;

namespace zodra {

// Registers on an SQLite connection what every Zodra connection needs:
//  - collation "HR": Croatian sort order (C, Č, Ć, D, Dž, Đ …), case-insensitive first;
//  - function zfold(text): the text folded for case-insensitive search (Croatian letters
//    included, which SQLite's own LIKE does not fold).
void RegisterSqliteExtensions(QSqlDatabase& connection);

// The first 100 bytes of a file (the SQLite header), read through the engine's own file layer;
// empty when the file is shorter or unreadable. A plain open and close of a database file that
// this process has open elsewhere would drop the engine's locks on it (POSIX locks belong to
// the process and go with any descriptor closed); the engine's layer knows its own open files
// and keeps the descriptor until those locks are gone.
QByteArray ReadSqliteHeader(const QString& path);
// Lets the connection read and nothing else: every statement that would write to a database,
// create or attach a file, change a setting kept in a file header or start a transaction is
// refused when it is prepared (or, for a VACUUM, before it opens any file) with SQLITE_AUTH.
void InstallReadOnlyAuthorizer(QSqlDatabase& connection);

}  // namespace zodra
