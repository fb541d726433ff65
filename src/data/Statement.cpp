#include "data/Statement.h"

#include <QSqlError>
#include <QSqlRecord>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"

namespace zodra {

Statement::Statement(Database& db, const QString& sql)
    : m_query(db.Connection()),
      m_sql(sql),
      m_engine(&db.GetEngine()),
      m_connection(db.Connection()) {
    // The server driver streams a forward-only result row by row and loses it as soon as another
    // statement runs on the connection, and postings read one result while writing; there every
    // result is fetched whole instead.
    m_query.setForwardOnly(m_engine->Dialect() == SqlDialect::Sqlite);
    if (!m_query.prepare(sql)) {
        throw m_engine->Error(sql, m_query.lastError());
    }
}

Statement::~Statement() {
    m_query.finish();
}

Statement& Statement::Bind(int index, const QVariant& value) {
    m_query.bindValue(index, sqlvalue::ToDb(value, m_engine->Dialect()));
    return *this;
}

Statement& Statement::BindAll(const QVariantList& values) {
    for (int i = 0; i < values.size(); ++i) {
        Bind(i, values.at(i));
    }
    return *this;
}

Statement& Statement::Exec() {
    m_query.finish();
    if (!m_query.exec()) {
        throw m_engine->Error(m_sql, m_query.lastError());
    }
    return *this;
}

bool Statement::Next() {
    if (m_query.next()) {
        return true;
    }
    const QSqlError error = m_query.lastError();
    if (error.isValid() && error.type() != QSqlError::NoError) {
        throw m_engine->Error(m_sql, error);
    }
    return false;
}

QVariant Statement::Value(int column) const {
    return m_query.value(column);
}
QVariant Statement::Value(const QString& column) const {
    const int index = m_query.record().indexOf(column);
    if (index < 0) {
        throw DbError(m_sql, QStringLiteral("Nepoznat stupac ") + column);
    }
    return m_query.value(index);
}
double Statement::Double(int column) const {
    return sqlvalue::ToDouble(m_query.value(column));
}
int Statement::Int(int column) const {
    return sqlvalue::ToInt(m_query.value(column));
}
QString Statement::Text(int column) const {
    return sqlvalue::ToText(m_query.value(column));
}
bool Statement::IsNull(int column) const {
    return m_query.isNull(column);
}
int Statement::ColumnCount() const {
    return m_query.record().count();
}
QString Statement::ColumnName(int column) const {
    return m_query.record().fieldName(column);
}
int Statement::RowsAffected() const {
    return m_query.numRowsAffected();
}
QVariant Statement::LastInsertId() const {
    if (m_engine->Dialect() == SqlDialect::Postgres) {
        // The server's driver reports no row id; the key is the value the insert took from its
        // table's identity sequence (each table has at most one: see PostgresEngine::AddRowKeys).
        QSqlQuery last(m_connection);
        if (last.exec(QStringLiteral("SELECT lastval()")) && last.next()) {
            return last.value(0);
        }
        return QVariant();
    }
    return m_query.lastInsertId();
}
void Statement::Finish() {
    m_query.finish();
}

}  // namespace zodra
