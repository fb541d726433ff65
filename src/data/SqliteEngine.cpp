#include "data/SqliteEngine.h"

#include <QSqlError>

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/SqliteExtensions.h"
#include "data/Statement.h"

namespace zodra {

namespace {
// Primary result codes (an extended code keeps its primary code in the low byte).
constexpr int kBusy = 5;
constexpr int kLocked = 6;
constexpr int kCorrupt = 11;
constexpr int kAuth = 23;
constexpr int kNotADb = 26;
}  // namespace

DbError Engine::Error(const QString& sql, const QSqlError& error) const {
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    const DbError::Kind kind = Classify(ok ? code : 0, error.text());
    return DbError(sql, DbError::DescribedText(kind, error.text()), kind, ok ? code : 0);
}

const SqliteEngine& SqliteEngine::Instance() {
    static const SqliteEngine engine;
    return engine;
}

DbError::Kind SqliteEngine::Kind(int nativeCode, const QString& driverText) {
    switch (nativeCode & 0xff) {
        case kBusy:
        case kLocked:
            return DbError::Kind::Busy;
        case kCorrupt:
        case kNotADb:
            return DbError::Kind::Damage;
        case kAuth:
            // Only the read-only guard installs an authorizer.
            return DbError::Kind::ReadOnlyRefusal;
        default:
            break;
    }
    return driverText.contains(QStringLiteral("malformed"), Qt::CaseInsensitive)
               ? DbError::Kind::Damage
               : DbError::Kind::Other;
}

DbError::Kind SqliteEngine::Classify(int nativeCode, const QString& driverText) const {
    return Kind(nativeCode, driverText);
}

Engine::TargetKind SqliteEngine::Identify(const QString& target) const {
    const QByteArray header = ReadSqliteHeader(target);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3"))) {
        return TargetKind::Foreign;
    }
    // The application id (bytes 68 … 71, big-endian) tells ours from other programs' files.
    const auto b = [&](int i) { return static_cast<quint32>(static_cast<quint8>(header[i])); };
    const quint32 appId = (b(68) << 24) | (b(69) << 16) | (b(70) << 8) | b(71);
    if (appId == CompanySchema::kApplicationId) {
        return TargetKind::Company;
    }
    return appId == CompanySchema::kDetailApplicationId ? TargetKind::Detail : TargetKind::Foreign;
}

QSqlDatabase SqliteEngine::Connect(const QString& target, const QString& connectionName) const {
    QSqlDatabase connection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
    connection.setDatabaseName(target);
    connection.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!connection.open()) {
        const QSqlError error = connection.lastError();
        throw Error(QString(), error);
    }
    RegisterSqliteExtensions(connection);
    return connection;
}

void SqliteEngine::ConfigureCompany(Database& db) const {
    // Switching the journal mode rewrites the header of a file that was in another one, which
    // is why this runs only on a file known to be a company.
    db.ExecRaw(QStringLiteral("PRAGMA journal_mode=WAL"));
    db.ExecRaw(QStringLiteral("PRAGMA synchronous=FULL"));
    // 32 MB of page cache per connection instead of SQLite's 2 MB: the article indexes of a
    // company with 50,000 articles alone are larger than that, and a list or count that
    // walks one of them would otherwise read it from the file again every time.
    db.ExecRaw(QStringLiteral("PRAGMA cache_size=-32768"));
}

void SqliteEngine::AttachDetail(Database& db, const QString& target) const {
    db.Exec(QStringLiteral("ATTACH DATABASE ? AS \"det\""), {target});
}

void SqliteEngine::DetachDetail(Database& db) const {
    db.ExecRaw(QStringLiteral("DETACH DATABASE \"det\""));
}

void SqliteEngine::ConfigureDetail(Database& db) const {
    db.ExecRaw(QStringLiteral("PRAGMA \"det\".journal_mode=WAL"));
    db.ExecRaw(QStringLiteral("PRAGMA \"det\".synchronous=FULL"));
}

bool SqliteEngine::HasTable(Database& db, const QString& table, bool detail) const {
    if (detail) {
        return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"det\".\"sqlite_master\" WHERE "
                                        "\"type\" = 'table' AND \"name\" = ?"),
                         {table})
                   .toInt() > 0;
    }
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT \"name\" FROM \"sqlite_master\" "
                                    "WHERE \"type\" IN ('table', 'view') AND \"name\" = ? UNION "
                                    "ALL SELECT \"name\" FROM \"sqlite_temp_master\" WHERE "
                                    "\"name\" = ?)"),
                     {table, table})
               .toInt() > 0;
}

QStringList SqliteEngine::Columns(Database& db, const QString& table) const {
    QStringList columns;
    Statement statement(db, QStringLiteral("SELECT \"name\" FROM pragma_table_info(?)"));
    statement.Exec({table});
    while (statement.Next()) {
        columns << statement.Text(0);
    }
    return columns;
}

int SqliteEngine::SchemaVersion(Database& db) const {
    return db.Scalar(QStringLiteral("PRAGMA user_version")).toInt();
}

void SqliteEngine::SetSchemaVersion(Database& db, int version) const {
    db.ExecRaw(QStringLiteral("PRAGMA user_version = %1").arg(version));
}

void SqliteEngine::BeginWrite(Database& db) const {
    // IMMEDIATE takes the write lock now rather than at the first write, so that two writers
    // never both read and then find each other in the way half-way through a posting.
    db.ExecRaw(QStringLiteral("BEGIN IMMEDIATE"));
}

void SqliteEngine::SetDurability(Database& db, Durability durability) const {
    // In WAL mode NORMAL keeps the file sound; only the last commits may be lost.
    db.ExecRaw(durability == Durability::Full ? QStringLiteral("PRAGMA synchronous = FULL")
                                              : QStringLiteral("PRAGMA synchronous = NORMAL"));
}

void SqliteEngine::SetQueryOnly(Database& db, bool on) const {
    db.ExecRaw(on ? QStringLiteral("PRAGMA query_only = ON")
                  : QStringLiteral("PRAGMA query_only = OFF"));
}

void SqliteEngine::SetReadOnlyGuard(Database& db) const {
    // Two locks: the authorizer refuses by statement, query_only refuses any write that might
    // still get past it. query_only first, as the authorizer refuses setting it.
    SetQueryOnly(db, true);
    InstallReadOnlyAuthorizer(db.Connection());
}

void SqliteEngine::CopyTo(Database& db, bool detail, const QString& file) const {
    db.Exec(
        detail ? QStringLiteral("VACUUM \"det\" INTO ?") : QStringLiteral("VACUUM \"main\" INTO ?"),
        {file});
}

}  // namespace zodra
