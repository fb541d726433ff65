#pragma once

#include <QString>
#include <QVariantList>
#include <memory>
#include <vector>

namespace zodra {

class Database;
class SqliteStatement;
class Statement;
struct StatementCounts;

// A statement for the loops that read or rewrite every row of a long book or card, or touch a
// lot per line of a long document, where the per-call cost of the generic driver would be most
// of the work. Where the engine allows it the statement runs straight on the connection, else
// through Statement; the caller sees one behaviour. Values are bound by index from 0, as in
// Statement; errors become DbError.
class DirectStatement {
public:
    DirectStatement(Database& db, const QString& sql);
    DirectStatement(const DirectStatement&) = delete;
    DirectStatement& operator=(const DirectStatement&) = delete;
    ~DirectStatement();

    void Bind(int index, double value);
    void Bind(int index, qint64 value);
    void Bind(int index, int value) { Bind(index, static_cast<qint64>(value)); }
    void BindNull(int index);
    // Runs to the next row; false when done. A statement that returns no rows runs once.
    bool Step();
    // Ready to run again; the values bound stay until bound anew.
    void Reset();

    qint64 Int(int column) const;
    double Double(int column) const;  // null → 0
    bool IsNull(int column) const;

    // The column that names a row of `table` on the direct path: the engine's own row key where
    // statements run directly, else `fallback` (quoted; unique among the rows a caller walks).
    // Rows read with it are written back with UpdateRows.
    static QString RowKey(Database& db, const QString& fallback);

    struct RowValue {
        qint64 row;  // the row's RowKey
        double value;
    };
    // Sets `column` of the rows of `table` that `filter` (a condition with "?" values, numbers
    // bound from `filterValues`) selects and `values` names, each to its own value, with one
    // statement where the engine allows it. `fallback` is the key given to RowKey.
    static void UpdateRows(Database& db, const QString& table, const QString& column,
                           const QString& filter, const QVariantList& filterValues,
                           const QString& fallback, std::vector<RowValue> values);

private:
    std::unique_ptr<SqliteStatement> m_direct;
    std::unique_ptr<Statement> m_generic;
    StatementCounts* m_counts = nullptr;  // on the direct path, while the connection counts
    bool m_started = false;
};

}  // namespace zodra
