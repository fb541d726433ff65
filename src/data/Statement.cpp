#include "data/Statement.h"

#include <QSqlError>
#include <QSqlRecord>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"

namespace zodra {

DbError StatementCache::Lost(const QString& sql) {
    return DbError(sql,
                   DbError::DescribedText(DbError::Kind::ConnectionLost,
                                          QStringLiteral("no connection to the server")),
                   DbError::Kind::ConnectionLost);
}

bool StatementCache::ChangesSchema(const QString& sql) {
    const QStringView text = QStringView(sql).trimmed();
    for (const char* word : {"CREATE", "ALTER", "DROP", "DO"}) {
        const qsizetype length = qsizetype(qstrlen(word));
        if (text.size() > length &&
            text.left(length).compare(QLatin1String(word), Qt::CaseInsensitive) == 0 &&
            text.at(length).isSpace()) {
            return true;
        }
    }
    return false;
}

std::optional<QSqlQuery> StatementCache::Take(const QString& sql) {
    const auto found = m_index.find(sql);
    if (found == m_index.end()) {
        return std::nullopt;
    }
    const auto entry = found->second;
    m_index.erase(found);
    std::optional<QSqlQuery> query(std::move(entry->query));
    m_lru.erase(entry);
    return query;
}

void StatementCache::Give(const QString& sql, QSqlQuery query, quint64 generation) {
    if (generation != m_generation) {
        return;
    }
    m_lru.push_front(Entry{sql, std::move(query)});
    m_index.emplace(sql, m_lru.begin());
    while (m_lru.size() > kCapacity) {
        const auto oldest = std::prev(m_lru.end());
        const auto range = m_index.equal_range(oldest->sql);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second == oldest) {
                m_index.erase(it);
                break;
            }
        }
        m_lru.erase(oldest);
    }
}

void StatementCache::Forget() {
    ++m_generation;
    m_index.clear();
    m_lru.clear();
}

Statement::Statement(Database& db, const QString& sql)
    : m_sql(sql), m_engine(&db.GetEngine()), m_connection(db.Connection()), m_counts(db.Counter()) {
    const std::shared_ptr<StatementCache>& cache = db.Statements();
    if (cache) {
        m_cache = cache;
        m_generation = cache->Generation();
    }
    if (cache && StatementCache::ChangesSchema(sql)) {
        // Never kept; the statements kept so far are dropped once it has run.
        m_changesSchema = true;
    } else if (cache) {
        if (std::optional<QSqlQuery> kept = cache->Take(sql)) {
            m_query = std::move(*kept);
            // Values bound by the statement's last user are not this one's.
            const int bound = int(m_query.boundValues().size());
            for (int i = 0; i < bound; ++i) {
                m_query.bindValue(i, QVariant());
            }
            return;
        }
    }
    m_query = QSqlQuery(db.Connection());
    // The server driver streams a forward-only result row by row and loses it as soon as another
    // statement runs on the connection, and postings read one result while writing; there every
    // result is fetched whole instead.
    m_query.setForwardOnly(m_engine->Dialect() == SqlDialect::Sqlite);
    if (m_counts) {
        ++m_counts->prepared;
    }
    if (!m_query.prepare(sql)) {
        // The driver closes a connection it lost, and says no more than that it is closed.
        const DbError error = m_connection.isOpen() ? m_engine->Error(sql, m_query.lastError())
                                                    : StatementCache::Lost(sql);
        if (cache && error.isConnectionLost()) {
            cache->Forget();
        }
        throw error;
    }
}

Statement::Statement(Statement&& other) noexcept
    : m_query(std::move(other.m_query)),
      m_sql(other.m_sql),
      m_engine(other.m_engine),
      m_connection(other.m_connection),
      m_counts(other.m_counts),
      m_cache(std::move(other.m_cache)),
      m_generation(other.m_generation),
      m_changesSchema(other.m_changesSchema) {
    other.m_cache.reset();
    other.m_movedFrom = true;
}

Statement::~Statement() {
    if (m_movedFrom) {
        return;
    }
    m_query.finish();
    if (const std::shared_ptr<StatementCache> cache = m_cache.lock(); cache && !m_changesSchema) {
        cache->Give(m_sql, std::move(m_query), m_generation);
    }
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
    if (m_counts) {
        ++m_counts->executed;
    }
    const bool ran = m_query.exec();
    if (m_changesSchema) {
        if (const std::shared_ptr<StatementCache> cache = m_cache.lock()) {
            cache->Forget();
        }
    }
    if (!ran) {
        const DbError error = m_connection.isOpen() ? m_engine->Error(m_sql, m_query.lastError())
                                                    : StatementCache::Lost(m_sql);
        if (error.isConnectionLost()) {
            // The server's prepared statements went with the connection.
            if (const std::shared_ptr<StatementCache> cache = m_cache.lock()) {
                cache->Forget();
            }
            m_cache.reset();
        }
        throw error;
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
        if (m_counts) {
            ++m_counts->executed;
        }
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
