#pragma once

class QSqlDatabase;

namespace zodra {

// Registers on an SQLite connection what every Zodra connection needs:
//  - collation "HR": Croatian sort order (C, Č, Ć, D, Dž, Đ …), case-insensitive first;
//  - function zfold(text): the text folded for case-insensitive search (Croatian letters
//    included, which SQLite's own LIKE does not fold).
void RegisterSqliteExtensions(QSqlDatabase& connection);

// Lets the connection read and nothing else: every statement that would write to a database,
// create or attach a file, change a setting kept in a file header or start a transaction is
// refused when it is prepared (or, for a VACUUM, before it opens any file) with SQLITE_AUTH.
void InstallReadOnlyAuthorizer(QSqlDatabase& connection);

}  // namespace zodra
