#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QtGlobal>
#include <list>
#include <memory>
#include <optional>
#include <unordered_map>

#include "data/Errors.h"
#include "data/SqlDialect.h"

namespace zodra {

class Database;
class Engine;

// What a connection has sent while its counting is on (Database::CountStatements): to see how
// many statements a piece of work costs, each of which is a round trip to a server.
struct StatementCounts {
    qint64 executed = 0;  // statements run, transaction control and `lastval()` included
    qint64 prepared = 0;  // statements prepared anew (not taken from the kept ones)
};

// The statements a connection to a server has prepared and nobody uses at the moment, by their
// text: preparing is a round trip to the server (and its release another), so a text that runs
// again (a posting runs the same handful for every line) takes a prepared one from here. Each
// prepared statement is in use by one Statement at a time; a second Statement of the same text
// prepares its own, and both come back here when done. Forget() drops them all, and a statement
// in use when that happened is not taken back (a schema change, a lost connection).
class StatementCache {
public:
    static constexpr std::size_t kCapacity = 256;

    std::optional<QSqlQuery> Take(const QString& sql);
    void Give(const QString& sql, QSqlQuery query, quint64 generation);
    void Forget();
    quint64 Generation() const { return m_generation; }
    std::size_t Size() const { return m_lru.size(); }
    // Whether a statement changes the schema (CREATE, ALTER, DROP, DO): a statement prepared
    // before may no longer run as prepared (its result would change shape), so such a statement
    // is never kept and every kept one is dropped once it has run.
    static bool ChangesSchema(const QString& sql);
    // The error of a statement on a connection the driver has closed after losing it.
    static DbError Lost(const QString& sql);

private:
    struct Entry {
        QString sql;
        QSqlQuery query;
    };
    std::list<Entry> m_lru;  // most recently given back first
    std::unordered_multimap<QString, std::list<Entry>::iterator> m_index;
    quint64 m_generation = 0;
};

// A prepared statement with positional "?" parameters. Values are always bound, never pasted
// into the text. A statement can be executed again with new values, which is how loops over
// many rows avoid preparing the same text again.
class Statement {
public:
    Statement(Database& db, const QString& sql);
    Statement(Statement&& other) noexcept;
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
    // The connection's counts while it counts, else null (nothing is counted).
    StatementCounts* m_counts = nullptr;
    // Where the prepared statement goes back when this one is done (connections to a server).
    std::weak_ptr<StatementCache> m_cache;
    quint64 m_generation = 0;
    bool m_changesSchema = false;
    bool m_movedFrom = false;
};

}  // namespace zodra
