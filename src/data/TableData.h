#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <vector>

namespace zodra {

class Database;

// Rows for a grid, as core code hands them to a window: the columns with their headers and how
// their values are shown, and the rows of values. Windows show them; they never run the query.
struct TableColumn {
    enum class Format { Text, Integer, Number, Money, Quantity, Date, Boolean };
    QString header;
    Format format = Format::Text;
    int decimals = -1;    // Number: fixed decimals (-1: as many as the value needs)
    bool hidden = false;  // carried for the window (e.g. a key) but not shown
};

struct TableData {
    std::vector<TableColumn> columns;
    std::vector<QVariantList> rows;

    int RowCount() const { return static_cast<int>(rows.size()); }
    QVariant Value(int row, int column) const { return rows.at(row).value(column); }
};

// Runs a query with bound values and returns its rows under the columns given (one per selected
// column, in order). Date columns are read as QDate, booleans as bool.
TableData ReadTable(Database& db, const QString& sql, const QVariantList& params,
                    std::vector<TableColumn> columns);

}  // namespace zodra
