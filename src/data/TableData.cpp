#include "data/TableData.h"

#include "data/Database.h"
#include "data/SqlValue.h"

namespace zodra {

TableData ReadTable(Database& db, const QString& sql, const QVariantList& params,
                    std::vector<TableColumn> columns) {
    TableData data;
    data.columns = std::move(columns);
    Statement query = db.Prepare(sql);
    query.Exec(params);
    const int count = static_cast<int>(data.columns.size());
    while (query.Next()) {
        QVariantList row;
        row.reserve(count);
        for (int i = 0; i < count; ++i) {
            const QVariant v = query.Value(i);
            switch (data.columns[i].format) {
                case TableColumn::Format::Date:
                    row << (v.isNull() ? QVariant() : QVariant(sqlvalue::ToDate(v)));
                    break;
                case TableColumn::Format::Boolean:
                    row << sqlvalue::ToBool(v);
                    break;
                default:
                    row << v;
                    break;
            }
        }
        data.rows.push_back(std::move(row));
    }
    return data;
}

}  // namespace zodra
