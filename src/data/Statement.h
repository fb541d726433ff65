#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include "data/SqlDialect.h"

namespace zodra {

class Database;
class Engine;

// A prepared statement with positional "?" parameters. Values are always bound, never pasted
// into the text. A statement can be executed again with new values, which is how loops over
// many rows avoid preparing the same text again.
class Statement {
public:
    Statement(Database& db, const QString& sql);
    Statement(Statement&&) noexcept = default;
    Statement& operator=(Statement&&) = delete;
    ~Statement();

    // Binds value number index (0-based).
    Statement& Bind(int index, const QVariant& value);
    Statement& BindAll(const QVariantList& values);

    // Executes with the values bound so far; throws DbError on failure.
    Statement& Exec();
    Statement& Exec(const QVariantList& values) { return BindAll(values).Exec(); }

    bool Next();
    QVariant Value(int column) const;
    QVariant Value(const QString& column) const;
    double Double(int column) const;
    int Int(int column) const;
    QString Text(int column) const;
    bool IsNull(int column) const;
    int ColumnCount() const;
    QString ColumnName(int column) const;

    int RowsAffected() const;
    QVariant LastInsertId() const;
    // Releases the result set (also done on destruction and before the next Exec).
    void Finish();
    const QString& Sql() const { return m_sql; }

private:
    QSqlQuery m_query;
    QString m_sql;
    const Engine* m_engine;
    QSqlDatabase m_connection;
};

}  // namespace zodra
