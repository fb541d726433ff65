#pragma once

class QSqlDatabase;

namespace zodra {

// Registers on an SQLite connection what every Zodra connection needs:
//  - collation "HR": Croatian sort order (C, Č, Ć, D, Dž, Đ …), case-insensitive first;
//  - function zfold(text): the text folded for case-insensitive search (Croatian letters
//    included, which SQLite's own LIKE does not fold).
void RegisterSqliteExtensions(QSqlDatabase& connection);

}  // namespace zodra
