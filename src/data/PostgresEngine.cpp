#include "data/PostgresEngine.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Statement.h"

namespace zodra {

namespace {

// The advisory lock every posting of a company takes. Advisory locks belong to their database,
// and a company is one database, so one key serves every company on a server.
constexpr qint64 kWriteLockKey = CompanySchema::kApplicationId;

const QString kVersionKey = QStringLiteral("VERZIJA_SHEME");

QString Quoted(const QString& identifier) {
    QString quoted = identifier;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool IsUrl(const QString& target) {
    return target.startsWith(QLatin1String("postgresql://")) ||
           target.startsWith(QLatin1String("postgres://"));
}

// A connection that exists only for the duration of one look (identifying, creating).
class ScratchConnection {
public:
    explicit ScratchConnection(const QString& url)
        : m_name(QStringLiteral("zodra-pg-scratch-%1").arg(++s_counter)) {
        m_db = PostgresEngine::Instance().Connect(url, m_name);
    }
    ~ScratchConnection() {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlQuery Run(const QString& sql, const QVariantList& params = {}) {
        QSqlQuery query(m_db);
        if (params.isEmpty()) {
            // Statements such as CREATE DATABASE cannot be prepared.
            if (!query.exec(sql)) {
                throw PostgresEngine::Instance().Error(sql, query.lastError());
            }
            return query;
        }
        if (!query.prepare(sql)) {
            throw PostgresEngine::Instance().Error(sql, query.lastError());
        }
        for (int i = 0; i < params.size(); ++i) {
            query.bindValue(i, params.at(i));
        }
        if (!query.exec()) {
            throw PostgresEngine::Instance().Error(sql, query.lastError());
        }
        return query;
    }

private:
    static inline int s_counter = 0;
    QString m_name;
    QSqlDatabase m_db;
};

}  // namespace

const PostgresEngine& PostgresEngine::Instance() {
    static const PostgresEngine engine;
    return engine;
}

bool PostgresEngine::IsServerTarget(const QString& target) {
    return IsUrl(target) || target.endsWith(QLatin1String(".zodra"), Qt::CaseInsensitive);
}

QString PostgresEngine::UrlOf(const QString& target) {
    if (IsUrl(target)) {
        return target;
    }
    QFile file(target);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return QString();
    }
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) {
            return line;
        }
    }
    return QString();
}

PostgresEngine::Address PostgresEngine::Parse(const QString& url) {
    Address address;
    if (!IsUrl(url)) {
        return address;
    }
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid()) {
        return address;
    }
    address.user = parsed.userName(QUrl::FullyDecoded);
    address.password = parsed.password(QUrl::FullyDecoded);
    address.host = parsed.host(QUrl::FullyDecoded);
    address.port = parsed.port(-1);
    address.database = parsed.path(QUrl::FullyDecoded).mid(1);
    const QUrlQuery query(parsed);
    if (query.hasQueryItem(QStringLiteral("host"))) {
        address.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    }
    if (query.hasQueryItem(QStringLiteral("port"))) {
        address.port = query.queryItemValue(QStringLiteral("port")).toInt();
    }
    if (query.hasQueryItem(QStringLiteral("user"))) {
        address.user = query.queryItemValue(QStringLiteral("user"), QUrl::FullyDecoded);
    }
    address.valid = !address.database.isEmpty() && !address.database.contains(QLatin1Char('/'));
    return address;
}

QString PostgresEngine::WithDatabase(const QString& url, const QString& database) {
    QUrl parsed(url);
    parsed.setPath(QLatin1Char('/') + database, QUrl::DecodedMode);
    return parsed.toString(QUrl::FullyEncoded);
}

Engine::TargetKind PostgresEngine::Identify(const QString& target) const {
    try {
        ScratchConnection scratch(target);
        QSqlQuery q = scratch.Run(QStringLiteral(
            "SELECT (SELECT COUNT(*) FROM pg_catalog.pg_tables WHERE schemaname = 'public' AND "
            "tablename = 'ZODRA_META'), (SELECT COUNT(*) FROM pg_catalog.pg_tables WHERE "
            "schemaname = 'det' AND tablename = 'DET_META')"));
        if (!q.next()) {
            return TargetKind::Foreign;
        }
        if (q.value(0).toInt() > 0) {
            return TargetKind::Company;
        }
        return q.value(1).toInt() > 0 ? TargetKind::Detail : TargetKind::Foreign;
    } catch (const DbError&) {
        return TargetKind::Foreign;
    }
}

QSqlDatabase PostgresEngine::Connect(const QString& target, const QString& connectionName) const {
    const QString url = UrlOf(target);
    const Address address = Parse(url);
    if (!address.valid) {
        throw DbError(QString(),
                      QStringLiteral("Neispravna adresa baze podataka na poslužitelju: ") + target);
    }
    QSqlDatabase connection = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    connection.setDatabaseName(address.database);
    if (!address.host.isEmpty()) {
        connection.setHostName(address.host);
    }
    if (address.port > 0) {
        connection.setPort(address.port);
    }
    connection.setUserName(address.user);
    connection.setPassword(address.password);
    connection.setConnectOptions(QStringLiteral("connect_timeout=10;application_name=zodra"));
    if (!connection.open()) {
        const QSqlError error = connection.lastError();
        throw DbError(QString(), error.text(), DbError::Kind::ConnectionLost);
    }
    QSqlQuery setup(connection);
    for (const QString& sql : {QStringLiteral("SET client_min_messages = warning"),
                               QStringLiteral("SET lock_timeout = %1").arg(kLockTimeoutMs),
                               QStringLiteral("SET search_path = public, det"),
                               QStringLiteral("SET DateStyle = ISO, YMD")}) {
        if (!setup.exec(sql)) {
            throw Error(sql, setup.lastError());
        }
    }
    return connection;
}

void PostgresEngine::ConfigureCompany(Database& db) const {
    (void)db;
}

void PostgresEngine::AttachDetail(Database& db, const QString& target) const {
    (void)db;
    (void)target;
}

void PostgresEngine::DetachDetail(Database& db) const {
    (void)db;
}

void PostgresEngine::ConfigureDetail(Database& db) const {
    (void)db;
}

bool PostgresEngine::HasTable(Database& db, const QString& table, bool detail) const {
    if (detail) {
        return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_class c JOIN "
                                        "pg_catalog.pg_namespace n ON n.oid = c.relnamespace "
                                        "WHERE n.nspname = 'det' AND c.relkind IN ('r', 'p') AND "
                                        "c.relname = ?"),
                         {table})
                   .toInt() > 0;
    }
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_class c JOIN "
                                    "pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE "
                                    "(n.nspname = 'public' OR n.oid = pg_my_temp_schema()) AND "
                                    "c.relkind IN ('r', 'p', 'v', 'm') AND c.relname = ?"),
                     {table})
               .toInt() > 0;
}

QStringList PostgresEngine::Columns(Database& db, const QString& table) const {
    // The row key column is the engine's stand-in for SQLite's rowid, which no column list
    // shows either.
    QStringList columns;
    Statement statement(
        db,
        QStringLiteral("SELECT a.attname FROM pg_catalog.pg_attribute a JOIN pg_catalog.pg_class "
                       "c ON c.oid = a.attrelid JOIN pg_catalog.pg_namespace n ON n.oid = "
                       "c.relnamespace WHERE c.relname = ? AND (n.nspname IN ('public', "
                       "'det') OR n.oid = pg_my_temp_schema()) AND a.attnum > 0 AND NOT "
                       "a.attisdropped AND a.attname <> ? ORDER BY "
                       "n.oid = pg_my_temp_schema() DESC, n.nspname = 'public' DESC, "
                       "a.attnum"));
    statement.Exec({table, QString::fromUtf16(RowKeyColumn(SqlDialect::Postgres))});
    while (statement.Next()) {
        columns << statement.Text(0);
    }
    columns.removeDuplicates();
    return columns;
}

int PostgresEngine::SchemaVersion(Database& db) const {
    if (!HasTable(db, QStringLiteral("ZODRA_META"), false)) {
        return 0;
    }
    return db.Meta(kVersionKey).toInt();
}

void PostgresEngine::SetSchemaVersion(Database& db, int version) const {
    db.SetMeta(kVersionKey, QString::number(version));
}

void PostgresEngine::BeginRowWrite(Database& db) const {
    db.ExecRaw(QStringLiteral("BEGIN"));
}

void PostgresEngine::LockCompany(Database& db) const {
    db.Exec(QStringLiteral("SELECT pg_advisory_xact_lock(?)"), {kWriteLockKey});
}

void PostgresEngine::BeginWrite(Database& db) const {
    db.ExecRaw(QStringLiteral("BEGIN"));
    try {
        LockCompany(db);
    } catch (const DbError&) {
        // The failed wait aborted the transaction; nothing was written.
        try {
            db.ExecRaw(QStringLiteral("ROLLBACK"));
        } catch (const DbError&) {
        }
        throw;
    }
}

void PostgresEngine::SetDurability(Database& db, Durability durability) const {
    db.ExecRaw(durability == Durability::Full ? QStringLiteral("SET synchronous_commit = on")
                                              : QStringLiteral("SET synchronous_commit = off"));
}

void PostgresEngine::SetQueryOnly(Database& db, bool on) const {
    db.ExecRaw(on ? QStringLiteral("SET default_transaction_read_only = on")
                  : QStringLiteral("SET default_transaction_read_only = off"));
}

void PostgresEngine::SetReadOnlyGuard(Database& db) const {
    SetQueryOnly(db, true);
}

void PostgresEngine::CopyTo(Database& db, bool detail, const QString& file) const {
    (void)db;
    (void)detail;
    throw DbError(file, QStringLiteral("Baza na poslužitelju ne kopira se u datoteku ovim putem: "
                                       "kopiju radi poslužitelj (pg_dump)."));
}

DbError::Kind PostgresEngine::KindOf(const QString& sqlState, const QString& driverText) {
    // 40001 serialization failure, 40P01 deadlock, 55P03 lock not available (lock_timeout).
    if (sqlState == QLatin1String("40001") || sqlState == QLatin1String("40P01") ||
        sqlState == QLatin1String("55P03")) {
        return DbError::Kind::Busy;
    }
    if (sqlState == QLatin1String("25006")) {
        return DbError::Kind::ReadOnlyRefusal;
    }
    if (sqlState == QLatin1String("XX001") || sqlState == QLatin1String("XX002")) {
        return DbError::Kind::Damage;
    }
    // Class 08 (connection exception) and the server shutting down (57P01 … 57P03).
    if (sqlState.startsWith(QLatin1String("08")) || sqlState == QLatin1String("57P01") ||
        sqlState == QLatin1String("57P02") || sqlState == QLatin1String("57P03")) {
        return DbError::Kind::ConnectionLost;
    }
    for (const char* lost :
         {"server closed the connection", "no connection to the server", "terminating connection",
          "could not connect to server", "connection to server"}) {
        if (driverText.contains(QLatin1String(lost), Qt::CaseInsensitive)) {
            return DbError::Kind::ConnectionLost;
        }
    }
    return DbError::Kind::Other;
}

DbError::Kind PostgresEngine::Classify(int nativeCode, const QString& driverText) const {
    // The server's codes are five characters; an all-digit one arrives here as a number.
    return KindOf(
        nativeCode > 0 ? QStringLiteral("%1").arg(nativeCode, 5, 10, QLatin1Char('0')) : QString(),
        driverText);
}

DbError PostgresEngine::Error(const QString& sql, const QSqlError& error) const {
    const QString state = error.nativeErrorCode();
    // A statement that failed without any error of its own was refused by the driver before it
    // reached the server: the driver closed the connection when it found it lost.
    const DbError::Kind kind = error.type() == QSqlError::NoError ? DbError::Kind::ConnectionLost
                                                                  : KindOf(state, error.text());
    bool numeric = false;
    const int code = state.toInt(&numeric);
    return DbError(sql, DbError::DescribedText(kind, error.text()), kind, numeric ? code : 0);
}

void PostgresEngine::PrepareSchema(Database& db) {
    db.ExecRaw(
        QStringLiteral("CREATE COLLATION IF NOT EXISTS \"HR\" (provider = icu, locale = 'hr-HR')"));
    // The same folding the program does (Unicode case folding, letter by letter): lower case
    // by the Croatian rules, which for the letters a company's names use is the same.
    db.ExecRaw(
        QStringLiteral("CREATE OR REPLACE FUNCTION zfold(text) RETURNS text LANGUAGE sql "
                       "IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT lower($1 COLLATE \"HR\") $$"));
    // ROUND(x, n) of a DOUBLE PRECISION, which SQLite has and the server only for NUMERIC:
    // the same rounding (half away from zero), the same type back.
    db.ExecRaw(QStringLiteral(
        "CREATE OR REPLACE FUNCTION round(double precision, integer) RETURNS double precision "
        "LANGUAGE sql IMMUTABLE STRICT PARALLEL SAFE AS $$ SELECT round($1::numeric, "
        "$2)::double precision $$"));
    db.ExecRaw(QStringLiteral("CREATE SCHEMA IF NOT EXISTS \"det\""));
}

void PostgresEngine::AddRowKeys(Database& db) {
    const QString key = QString::fromUtf16(RowKeyColumn(SqlDialect::Postgres));
    QList<QPair<QString, QString>> tables;
    {
        Statement list(
            db, QStringLiteral("SELECT n.nspname, c.relname FROM pg_catalog.pg_class c JOIN "
                               "pg_catalog.pg_namespace n ON n.oid = c.relnamespace WHERE "
                               "c.relkind = 'r' AND n.nspname IN ('public', 'det') AND NOT EXISTS "
                               "(SELECT 1 FROM pg_catalog.pg_attribute a WHERE a.attrelid = c.oid "
                               "AND a.attname = ? AND NOT a.attisdropped) ORDER BY 1, 2"));
        list.Exec({key});
        while (list.Next()) {
            tables.append({list.Text(0), list.Text(1)});
        }
    }
    for (const auto& [schema, table] : tables) {
        const QString name = Quoted(schema) + QLatin1Char('.') + Quoted(table);
        // A table with an auto-numbered key has its row key in that column, as SQLite's rowid
        // is that column there: the row key repeats it, and the table keeps one sequence.
        const QString identity =
            db.Scalar(QStringLiteral("SELECT column_name FROM information_schema.columns WHERE "
                                     "table_schema = ? AND table_name = ? AND is_identity = "
                                     "'YES'"),
                      {schema, table})
                .toString();
        db.ExecRaw(QStringLiteral("ALTER TABLE ") + name + QStringLiteral(" ADD COLUMN ") +
                   Quoted(key) +
                   (identity.isEmpty() ? QStringLiteral(" BIGINT GENERATED BY DEFAULT AS IDENTITY")
                                       : QStringLiteral(" BIGINT GENERATED ALWAYS AS (") +
                                             Quoted(identity) + QStringLiteral(") STORED")));
        db.ExecRaw(QStringLiteral("CREATE UNIQUE INDEX ON ") + name + QStringLiteral(" (") +
                   Quoted(key) + QLatin1Char(')'));
    }
}

void PostgresEngine::ResetSequences(Database& db) {
    QList<QStringList> columns;
    {
        Statement list(db, QStringLiteral("SELECT table_schema, table_name, column_name FROM "
                                          "information_schema.columns WHERE is_identity = 'YES' "
                                          "AND table_schema IN ('public', 'det')"));
        list.Exec();
        while (list.Next()) {
            columns.append({list.Text(0), list.Text(1), list.Text(2)});
        }
    }
    for (const QStringList& c : columns) {
        const QString table = Quoted(c[0]) + QLatin1Char('.') + Quoted(c[1]);
        db.Exec(QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), COALESCE((SELECT "
                               "MAX(") +
                    Quoted(c[2]) + QStringLiteral(") FROM ") + table +
                    QStringLiteral("), 0) + 1, false)"),
                {table, c[2]});
    }
}

void PostgresEngine::CreateDatabase(const QString& url) {
    const Address address = Parse(url);
    if (!address.valid) {
        throw UserError(QStringLiteral("Neispravna adresa baze podataka na poslužitelju: ") + url);
    }
    bool exists = false;
    {
        ScratchConnection server(WithDatabase(url, QStringLiteral("postgres")));
        QSqlQuery q = server.Run(
            QStringLiteral("SELECT COUNT(*) FROM pg_catalog.pg_database WHERE datname = ?"),
            {address.database});
        exists = q.next() && q.value(0).toInt() > 0;
        if (!exists) {
            // A name cannot be a bound value; it is quoted as an identifier instead.
            server.Run(QStringLiteral("CREATE DATABASE ") + Quoted(address.database) +
                       QStringLiteral(" TEMPLATE template0 ENCODING 'UTF8'"));
        }
    }
    if (exists) {
        ScratchConnection company(url);
        QSqlQuery q = company.Run(QStringLiteral(
            "SELECT COUNT(*) FROM pg_catalog.pg_tables WHERE schemaname IN ('public', 'det')"));
        if (q.next() && q.value(0).toInt() > 0) {
            throw UserError(QStringLiteral("Baza podataka ") + address.database +
                            QStringLiteral(" na poslužitelju već postoji i nije prazna. Za novo "
                                           "poduzeće morate izabrati novo ime !"));
        }
    }
}

}  // namespace zodra
