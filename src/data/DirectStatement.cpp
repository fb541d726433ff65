#include "data/DirectStatement.h"

#include "data/Database.h"
#include "data/SqlValue.h"
#include "data/SqliteStatement.h"
#include "data/Statement.h"

namespace zodra {

DirectStatement::DirectStatement(Database& db, const QString& sql) {
    if (sqlite3* handle = SqliteStatement::Handle(db)) {
        m_direct = std::make_unique<SqliteStatement>(handle, sql);
        m_counts = db.Counter();
        if (m_counts) {
            ++m_counts->prepared;
        }
    } else {
        m_generic = std::make_unique<Statement>(db, sql);
    }
}

DirectStatement::~DirectStatement() = default;

void DirectStatement::Bind(int index, double value) {
    m_direct ? m_direct->Bind(index, value) : (void)m_generic->Bind(index, value);
}

void DirectStatement::Bind(int index, qint64 value) {
    m_direct ? m_direct->Bind(index, value) : (void)m_generic->Bind(index, value);
}

void DirectStatement::BindNull(int index) {
    m_direct ? m_direct->BindNull(index) : (void)m_generic->Bind(index, QVariant());
}

bool DirectStatement::Step() {
    if (m_direct) {
        if (m_counts && !m_started) {
            ++m_counts->executed;
        }
        m_started = true;
        return m_direct->Step();
    }
    if (!m_started) {
        m_generic->Exec();
        m_started = true;
    }
    return m_generic->Next();
}

void DirectStatement::Reset() {
    if (m_direct) {
        m_direct->Reset();
        m_started = false;
        return;
    }
    m_generic->Finish();
    m_started = false;
}

qint64 DirectStatement::Int(int column) const {
    return m_direct ? m_direct->Int(column) : m_generic->Value(column).toLongLong();
}

double DirectStatement::Double(int column) const {
    return m_direct ? m_direct->Double(column) : m_generic->Double(column);
}

bool DirectStatement::IsNull(int column) const {
    return m_direct ? m_direct->IsNull(column) : m_generic->IsNull(column);
}

QString DirectStatement::RowKey(Database& db, const QString& fallback) {
    return SqliteStatement::Handle(db) ? QStringLiteral("rowid") : fallback;
}

void DirectStatement::UpdateRows(Database& db, const QString& table, const QString& column,
                                 const QString& filter, const QVariantList& filterValues,
                                 const QString& fallback, std::vector<RowValue> values) {
    if (values.empty()) {
        return;
    }
    sqlite3* handle = SqliteStatement::Handle(db);
    if (!handle) {
        Statement update = db.Prepare(QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") +
                                      column + QStringLiteral(" = ? WHERE ") + filter +
                                      QStringLiteral(" AND ") + fallback + QStringLiteral(" = ?"));
        for (const RowValue& v : values) {
            QVariantList params{v.value};
            params << filterValues << v.row;
            update.Exec(params);
        }
        return;
    }
    // One UPDATE walks the filtered rows in index order and takes each named row's value from
    // the list bound to it (the plain "?" of the filter count on from ?2).
    std::vector<zodra::RowValue> list;
    list.reserve(values.size());
    for (const RowValue& v : values) {
        list.push_back({v.row, v.value});
    }
    SortRowValues(list);
    EnsureRowValueFunction(handle);
    if (StatementCounts* counts = db.Counter()) {
        ++counts->prepared;
        ++counts->executed;
    }
    SqliteStatement update(
        handle, QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + column +
                    QStringLiteral(" = zodra_vrijednost_retka(rowid, ?1) WHERE ") + filter +
                    QStringLiteral(" AND zodra_vrijednost_retka(rowid, ?1) IS NOT NULL"));
    update.BindBlob(0, list.data(), static_cast<int>(list.size() * sizeof(zodra::RowValue)));
    for (int i = 0; i < filterValues.size(); ++i) {
        const QVariant& value = filterValues.at(i);
        if (value.typeId() == QMetaType::Double) {
            update.Bind(i + 1, value.toDouble());
        } else {
            update.Bind(i + 1, value.toLongLong());
        }
    }
    update.Step();
}

}  // namespace zodra
