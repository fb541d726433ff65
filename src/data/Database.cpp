#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>

#include "data/CompanySchema.h"
#include "data/Errors.h"
#include "data/PasswordHash.h"
#include "data/SqliteExtensions.h"
#include "data/Transaction.h"

namespace zodra {

namespace {

std::atomic<int> g_connectionCounter{0};

constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteNotADb = 26;

QVariant Decode(const QJsonValue& value) {
    const QJsonObject o = value.toObject();
    const QString t = o.value(QStringLiteral("t")).toString();
    if (t == QLatin1String("n")) {
        return QVariant();
    }
    if (t == QLatin1String("i")) {
        return o.value(QStringLiteral("v")).toString().toLongLong();
    }
    if (t == QLatin1String("d")) {
        return o.value(QStringLiteral("v")).toDouble();
    }
    if (t == QLatin1String("b")) {
        return QByteArray::fromBase64(o.value(QStringLiteral("v")).toString().toLatin1());
    }
    return o.value(QStringLiteral("v")).toString();
}

bool IsDamageCode(int code) {
    const int primary = code & 0xff;
    return primary == kSqliteCorrupt || primary == kSqliteNotADb;
}

// Reads the file header: is this an SQLite file, and whose?
enum class HeaderKind { NotSqlite, OtherProgram, Company };
HeaderKind ReadHeader(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return HeaderKind::NotSqlite;
    }
    const QByteArray header = file.read(100);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3"))) {
        return HeaderKind::NotSqlite;
    }
    const auto b = [&](int i) { return static_cast<quint32>(static_cast<quint8>(header[i])); };
    const quint32 appId = (b(68) << 24) | (b(69) << 16) | (b(70) << 8) | b(71);
    return appId == CompanySchema::kApplicationId ? HeaderKind::Company : HeaderKind::OtherProgram;
}

}  // namespace

const char* ToString(Database::OpenStatus status) {
    switch (status) {
        case Database::OpenStatus::Ok:
            return "ok";
        case Database::OpenStatus::Missing:
            return "missing";
        case Database::OpenStatus::WrongPassword:
            return "wrong password";
        case Database::OpenStatus::NotACompany:
            return "not a company database";
        case Database::OpenStatus::Damaged:
            return "damaged";
        case Database::OpenStatus::TooNew:
            return "written by a newer version";
        case Database::OpenStatus::Locked:
            return "locked";
        case Database::OpenStatus::ReadOnly:
            return "read-only";
    }
    return "?";
}

Database::Database(const QString& path, SqlDialect dialect)
    : m_connectionName(QStringLiteral("zodra-%1").arg(++g_connectionCounter)),
      m_path(path),
      m_dialect(dialect) {}

Database::~Database() {
    if (m_connection.isValid()) {
        if (m_depth > 0) {
            QSqlQuery(m_connection).exec(QStringLiteral("ROLLBACK"));
        }
        m_connection.close();
    }
    m_connection = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

std::unique_ptr<Database> Database::OpenRaw(const QString& path, bool create) {
    if (!create && !QFileInfo::exists(path)) {
        throw DbError(QString(), QStringLiteral("Datoteka ne postoji: ") + path);
    }
    std::unique_ptr<Database> db(new Database(path, SqlDialect::Sqlite));
    db->m_connection = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), db->m_connectionName);
    db->m_connection.setDatabaseName(path);
    db->m_connection.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!db->m_connection.open()) {
        throw DbError(QString(), db->m_connection.lastError().text());
    }
    RegisterSqliteExtensions(db->m_connection);
    return db;
}

Database::OpenResult Database::Open(const QString& path, const QString& password) {
    OpenResult result;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || !info.isFile()) {
        result.status = OpenStatus::Missing;
        return result;
    }
    switch (ReadHeader(path)) {
        case HeaderKind::NotSqlite:
            result.status = OpenStatus::NotACompany;
            return result;
        case HeaderKind::OtherProgram:
            result.status = OpenStatus::NotACompany;
            return result;
        case HeaderKind::Company:
            break;
    }
    if (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable()) {
        result.status = OpenStatus::ReadOnly;
        return result;
    }
    std::unique_ptr<Database> db;
    try {
        db = OpenRaw(path, false);
        db->ExecRaw(QStringLiteral("PRAGMA journal_mode=WAL"));
        db->ExecRaw(QStringLiteral("PRAGMA synchronous=FULL"));
        // 32 MB of page cache per connection instead of SQLite's 2 MB: the article indexes of a
        // company with 50,000 articles alone are larger than that, and a list or count that
        // walks one of them would otherwise read it from the file again every time.
        db->ExecRaw(QStringLiteral("PRAGMA cache_size=-32768"));
        for (const QString& table : CompanySchema::RequiredTables()) {
            if (!db->TableExists(table)) {
                result.status = OpenStatus::Damaged;
                result.detail = QStringLiteral("Nedostaje tablica ") + table;
                return result;
            }
            db->Scalar(QStringLiteral("SELECT 1 FROM \"%1\" LIMIT 1").arg(table));
        }
        if (!db->CheckPassword(password)) {
            result.status = OpenStatus::WrongPassword;
            return result;
        }
        const int version = db->Scalar(QStringLiteral("PRAGMA user_version")).toInt();
        if (version > CompanySchema::kCurrentVersion) {
            result.status = OpenStatus::TooNew;
            return result;
        }
        CompanySchema::Migrate(*db);
        db->AttachDetail();
        db->ApplyPendingDetail();
    } catch (const DbError& error) {
        result.detail = error.driverText();
        if (error.isBusy()) {
            result.status = OpenStatus::Locked;
        } else if (IsDamageCode(error.nativeCode()) || error.nativeCode() == 0) {
            result.status = OpenStatus::Damaged;
        } else {
            result.status = OpenStatus::Damaged;
        }
        return result;
    }
    result.status = OpenStatus::Ok;
    result.db = std::move(db);
    return result;
}

void Database::AttachDetail() {
    if (m_detailAttached) {
        ExecRaw(QStringLiteral("DETACH DATABASE \"det\""));
        m_detailAttached = false;
    }
    QString detail = Meta(QStringLiteral("DETALJNA_DATOTEKA"));
    if (detail.isEmpty()) {
        detail = CompanySchema::DefaultDetailPath(m_path);
    } else if (QFileInfo(detail).isRelative()) {
        detail = QFileInfo(m_path).absoluteDir().filePath(detail);
    }
    m_detailPath = detail;
    if (!QFileInfo::exists(detail)) {
        return;
    }
    Exec(QStringLiteral("ATTACH DATABASE ? AS \"det\""), {detail});
    ExecRaw(QStringLiteral("PRAGMA \"det\".journal_mode=WAL"));
    ExecRaw(QStringLiteral("PRAGMA \"det\".synchronous=FULL"));
    m_detailAttached = true;
    m_columns.clear();
}

void Database::RelinkDetail(const QString& detailPath) {
    SetMeta(QStringLiteral("DETALJNA_DATOTEKA"), detailPath);
    AttachDetail();
    ApplyPendingDetail();
}

int Database::Exec(const QString& sql, const QVariantList& params) {
    Statement statement(*this, sql);
    statement.Exec(params);
    return statement.RowsAffected();
}

QVariant Database::Scalar(const QString& sql, const QVariantList& params) {
    Statement statement(*this, sql);
    statement.Exec(params);
    if (statement.Next()) {
        return statement.Value(0);
    }
    return QVariant();
}

void Database::ExecRaw(const QString& sql) {
    QSqlQuery query(m_connection);
    if (!query.exec(sql)) {
        const QSqlError error = query.lastError();
        bool ok = false;
        const int code = error.nativeErrorCode().toInt(&ok);
        throw DbError(sql, error.text(), ok ? code : 0);
    }
    query.finish();
}

void Database::SetReadOnlyGuard() {
    // Two locks: the authorizer refuses by statement, query_only refuses any write that might
    // still get past it. query_only first, as the authorizer refuses setting it.
    ExecRaw(QStringLiteral("PRAGMA query_only = 1"));
    InstallReadOnlyAuthorizer(m_connection);
}

bool Database::TableExists(const QString& table) {
    return Scalar(QStringLiteral("SELECT COUNT(*) FROM (SELECT \"name\" FROM \"sqlite_master\" "
                                 "WHERE \"type\" IN ('table', 'view') AND \"name\" = ? UNION ALL "
                                 "SELECT \"name\" FROM \"sqlite_temp_master\" WHERE \"name\" = ?)"),
                  {table, table})
                   .toInt() > 0 ||
           (m_detailAttached &&
            Scalar(QStringLiteral("SELECT COUNT(*) FROM \"det\".\"sqlite_master\" WHERE "
                                  "\"type\" = 'table' AND \"name\" = ?"),
                   {table})
                    .toInt() > 0);
}

const QStringList& Database::Columns(const QString& table) {
    auto it = m_columns.find(table);
    if (it != m_columns.end()) {
        return it->second;
    }
    QStringList columns;
    Statement statement(*this, QStringLiteral("SELECT \"name\" FROM pragma_table_info(?)"));
    statement.Exec({table});
    while (statement.Next()) {
        columns << statement.Text(0);
    }
    if (columns.isEmpty()) {
        throw DbError(table, QStringLiteral("Nepoznata tablica ") + table);
    }
    return m_columns.emplace(table, columns).first->second;
}

QString Database::Meta(const QString& name) {
    return Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"ZODRA_META\" WHERE \"Naziv\" = ?"),
                  {name})
        .toString();
}

void Database::SetMeta(const QString& name, const QString& value) {
    if (Exec(QStringLiteral("UPDATE \"ZODRA_META\" SET \"Vrijednost\" = ? WHERE \"Naziv\" = ?"),
             {value, name}) == 0) {
        Exec(QStringLiteral("INSERT INTO \"ZODRA_META\" (\"Naziv\", \"Vrijednost\") VALUES (?, ?)"),
             {name, value});
    }
}

bool Database::CheckPassword(const QString& password) {
    const QString stored = Meta(QStringLiteral("LOZINKA"));
    if (stored.isEmpty()) {
        // A file without a password opens with any answer, as the legacy engine did.
        return true;
    }
    return PasswordHash::Verify(stored, password);
}

void Database::SetPassword(const QString& newPassword) {
    SetMeta(QStringLiteral("LOZINKA"),
            newPassword.isEmpty() ? QString() : PasswordHash::Hash(newPassword));
}

int Database::PendingDetailCount() {
    return Scalar(QStringLiteral("SELECT COUNT(DISTINCT \"TOKEN\") FROM \"DET_ODGODENO\"")).toInt();
}

int Database::ApplyPendingDetail() {
    if (!m_detailAttached || m_depth > 0) {
        return 0;
    }
    QList<qint64> tokens;
    {
        Statement list(*this, QStringLiteral("SELECT DISTINCT \"TOKEN\" FROM \"DET_ODGODENO\" "
                                             "ORDER BY \"TOKEN\""));
        list.Exec();
        while (list.Next()) {
            tokens << list.Value(0).toLongLong();
        }
    }
    int applied = 0;
    for (const qint64 token : tokens) {
        {
            // First the detail file alone: the statements and the mark that they are applied
            // commit together, so a crash can never apply them twice.
            Transaction tx(*this);
            const bool done =
                Scalar(QStringLiteral("SELECT COUNT(*) FROM \"det\".\"DET_PRIMIJENJENO\" WHERE "
                                      "\"TOKEN\" = ?"),
                       {token})
                    .toInt() > 0;
            if (!done) {
                Statement rows(*this, QStringLiteral("SELECT \"SQL\", \"PARAMETRI\" FROM "
                                                     "\"DET_ODGODENO\" WHERE \"TOKEN\" = ? ORDER "
                                                     "BY \"RBR\""));
                rows.Exec({token});
                QList<QPair<QString, QVariantList>> work;
                while (rows.Next()) {
                    QVariantList params;
                    const QJsonArray array = QJsonDocument::fromJson(rows.Text(1).toUtf8()).array();
                    for (const QJsonValue& v : array) {
                        params << Decode(v);
                    }
                    work.append({rows.Text(0), params});
                }
                rows.Finish();
                for (const auto& [sql, params] : work) {
                    Exec(sql, params);
                }
                Exec(QStringLiteral(
                         "INSERT INTO \"det\".\"DET_PRIMIJENJENO\" (\"TOKEN\") VALUES (?)"),
                     {token});
                ++applied;
            }
            tx.Commit();
        }
        Checkpoint("detail-applied");
        {
            // Then the company file forgets the log.
            Transaction tx(*this);
            Exec(QStringLiteral("DELETE FROM \"DET_ODGODENO\" WHERE \"TOKEN\" = ?"), {token});
            tx.Commit();
        }
    }
    return applied;
}

}  // namespace zodra
