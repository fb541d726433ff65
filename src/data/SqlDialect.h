#pragma once

#include <QString>
#include <QStringList>

namespace zodra {

// The database engines the company data can live on. SQL text is written once for both:
// identifiers are always double-quoted, values always bound. The few statements whose words
// differ are made by the functions below, so that no caller spells an engine's own syntax.
enum class SqlDialect { Sqlite, Postgres };

// The column that names one row of a table without a key of its own (working copies and line
// tables repeat an article and a lot freely); it stays the same while the row lives. On SQLite
// that is rowid; on PostgreSQL every table has an identity column of that name (and an index on
// it).
inline const char16_t* RowKeyColumn(SqlDialect) {
    return u"rowid";
}

namespace sqldialect {

// An INSERT that leaves an existing row with the same key alone instead of failing.
// `rest` is everything after "INSERT INTO": the table, its columns and VALUES (…).
inline QString InsertIgnoringDuplicates(SqlDialect dialect, const QString& rest) {
    return dialect == SqlDialect::Sqlite
               ? QStringLiteral("INSERT OR IGNORE INTO ") + rest
               : QStringLiteral("INSERT INTO ") + rest + QStringLiteral(" ON CONFLICT DO NOTHING");
}

// An INSERT that replaces an existing row with the same key. `rest` as above; `key` and
// `values` name the key column and the columns to replace (PostgreSQL needs them spelled out).
inline QString InsertOrReplace(SqlDialect dialect, const QString& rest, const QString& key,
                               const QStringList& values) {
    if (dialect == SqlDialect::Sqlite) {
        return QStringLiteral("INSERT OR REPLACE INTO ") + rest;
    }
    QString set;
    for (const QString& column : values) {
        set += (set.isEmpty() ? QString() : QStringLiteral(", ")) + column +
               QStringLiteral(" = EXCLUDED.") + column;
    }
    return QStringLiteral("INSERT INTO ") + rest + QStringLiteral(" ON CONFLICT (") + key +
           QStringLiteral(") DO UPDATE SET ") + set;
}

// ORDER BY text for the order in which rows were inserted. SQLite keeps it in its own row key;
// elsewhere the table's increasing key column `key` (quoted) stands for it.
inline QString InsertionOrder(SqlDialect dialect, const QString& key) {
    return dialect == SqlDialect::Sqlite ? QStringLiteral("ROWID") : key;
}

// The comparison operator that takes two NULLs for equal, blanks around it.
inline QString NullSafeEquals(SqlDialect dialect) {
    return dialect == SqlDialect::Sqlite ? QStringLiteral(" IS ")
                                         : QStringLiteral(" IS NOT DISTINCT FROM ");
}

// What a SELECT ends with to lock the rows it reads until the transaction ends, a blank first:
// a second writer of those rows waits, and what was read stays true until the commit. Empty on
// SQLite, whose write transaction holds the whole file already.
inline QString RowLock(SqlDialect dialect) {
    return dialect == SqlDialect::Sqlite ? QString() : QStringLiteral(" FOR UPDATE");
}

// The same for a SELECT that joins several tables, locking only the rows of `table` (quoted, as
// the FROM clause names it).
inline QString RowLockOf(SqlDialect dialect, const QString& table) {
    return dialect == SqlDialect::Sqlite ? QString() : QStringLiteral(" FOR UPDATE OF ") + table;
}

// A statement that keeps every other writer off a table until the transaction ends while
// readers go on (`table` quoted); empty on SQLite, whose write transaction holds the file.
inline QString TableWriteLock(SqlDialect dialect, const QString& table) {
    return dialect == SqlDialect::Sqlite
               ? QString()
               : QStringLiteral("LOCK TABLE ") + table + QStringLiteral(" IN EXCLUSIVE MODE");
}

}  // namespace sqldialect
}  // namespace zodra
