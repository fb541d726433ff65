#pragma once

namespace zodra {

// The database engines the company data can live on. SQL text is written once for both:
// identifiers are always double-quoted, values always bound.
enum class SqlDialect { Sqlite, Postgres };

// The column that names one row of a table without a key of its own (working copies and line
// tables repeat an article and a lot freely); it stays the same while the row lives. On SQLite
// that is rowid; the PostgreSQL schema will give those tables an identity column of that name.
inline const char16_t* RowIdentityColumn(SqlDialect) {
    return u"rowid";
}

}  // namespace zodra
