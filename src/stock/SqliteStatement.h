#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace zodra {
class Database;
}

namespace zodra::stock {

// A statement run straight on the SQLite connection, for the loops that read or rewrite every
// row of a long book or card, where the per-call cost of the generic driver would be most of
// the work. Values are bound, as everywhere; errors become DbError. Used only when the company
// lives in SQLite (Handle() is null otherwise), beside a generic path for other engines.
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

}  // namespace zodra::stock
