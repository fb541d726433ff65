#pragma once

#include <QString>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace zodra {

class Database;

// A statement run straight on the SQLite connection, for the loops that read or rewrite every
// row of a long book or card, where the per-call cost of the generic driver would be most of
// the work. Values are bound, as everywhere; errors become DbError. Used only when the company
// lives in SQLite (Handle() is null otherwise), beside a generic path through Statement for
// other engines. Setting ZODRA_GENERIC_SQL makes Handle() null on SQLite too, so that the tests
// run the generic path as well.
class SqliteStatement {
public:
    // The connection's SQLite handle, or null when the company is not in SQLite.
    static sqlite3* Handle(Database& db);

    SqliteStatement(sqlite3* db, const QString& sql);
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement();

    void Bind(int index, double value);  // index from 0, as Statement
    void Bind(int index, qint64 value);
    void Bind(int index, int value) { Bind(index, static_cast<qint64>(value)); }
    void BindNull(int index);
    // Binds bytes that stay where they are until the statement is done with them.
    void BindBlob(int index, const void* data, int bytes);
    // Runs to the next row; false when done. A statement that returns no rows runs once.
    bool Step();
    // Ready to run again with new values.
    void Reset();

    qint64 Int(int column) const;
    double Double(int column) const;  // null → 0
    bool IsNull(int column) const;
    int Changes() const;

private:
    [[noreturn]] void Fail() const;

    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_sql;
};

// New values for rows of one table, handed to one UPDATE as a bound list: the connection's
// function zodra_vrijednost_retka(rowid, list) gives the value the list holds for the row, or
// NULL. So an UPDATE can walk the rows in the order of an index and take each row's value,
// instead of seeking every row on its own. The function keeps nothing: the list is an argument.
struct RowValue {
    qint64 rowid;
    double value;
};
// Registers the function on the connection unless it is there already.
void EnsureRowValueFunction(sqlite3* db);
// The list in the form the function reads: sorted by rowid.
void SortRowValues(std::vector<RowValue>& values);

}  // namespace zodra
