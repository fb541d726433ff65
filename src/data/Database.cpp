#include "data/Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>
#include <atomic>

#include "data/Compaction.h"
#include "data/CompanySchema.h"
#include "data/Errors.h"
#include "data/PasswordHash.h"
#include "data/SqliteExtensions.h"
#include "data/Transaction.h"

namespace zodra {

namespace {

std::atomic<int> g_connectionCounter{0};

constexpr int kSqliteCorrupt = 11;
constexpr int kBusyAttempts = 5;
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
enum class HeaderKind { NotSqlite, OtherProgram, Company, Detail };
HeaderKind ReadHeader(const QString& path) {
    const QByteArray header = ReadSqliteHeader(path);
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3"))) {
        return HeaderKind::NotSqlite;
    }
    const auto b = [&](int i) { return static_cast<quint32>(static_cast<quint8>(header[i])); };
    const quint32 appId = (b(68) << 24) | (b(69) << 16) | (b(70) << 8) | b(71);
    if (appId == CompanySchema::kApplicationId) {
        return HeaderKind::Company;
    }
    return appId == CompanySchema::kDetailApplicationId ? HeaderKind::Detail
                                                        : HeaderKind::OtherProgram;
}

const QString kIdentity = QStringLiteral("IDENTITET");

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
    return OpenCompany(path, password, true);
}

Database::OpenResult Database::OpenAlone(const QString& path, const QString& password,
                                         const CompanyLock& exclusive) {
    Q_ASSERT(exclusive.LockMode() == CompanyLock::Mode::Exclusive);
    (void)exclusive;
    return OpenCompany(path, password, false);
}

Database::OpenResult Database::OpenCompany(const QString& path, const QString& password,
                                           bool takeLock) {
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
        case HeaderKind::Detail:
            result.status = OpenStatus::NotACompany;
            return result;
        case HeaderKind::Company:
            break;
    }
    if (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable()) {
        result.status = OpenStatus::ReadOnly;
        return result;
    }
    // Every connection holds the company's shared lock for its whole life, so that no
    // compaction can replace the file under it; a compaction in progress is waited for.
    std::unique_ptr<CompanyLock> lock;
    if (takeLock) {
        bool busy = false;
        lock = CompanyLock::Acquire(path, CompanyLock::Mode::Shared, kCompactionWaitMs, &busy,
                                    &result.detail);
        if (!lock) {
            result.status = busy ? OpenStatus::Locked : OpenStatus::ReadOnly;
            return result;
        }
        // Nobody compacts this company while the shared lock is held: what a killed compaction
        // left behind can go.
        compaction::RemoveLeftovers(path);
    }
    std::unique_ptr<Database> db;
    // A busy answer while the connection is being set up (another program switching a
    // freshly written file's journal or migrating it) is waited out a few times, as a person
    // would try again, before the company counts as locked.
    for (int attempt = 1;; ++attempt) {
        try {
            db = OpenRaw(path, false);
            QStringList missing;
            const QStringList required = CompanySchema::RequiredTables();
            for (const QString& table : required) {
                if (!db->TableExists(table)) {
                    missing << table;
                    continue;
                }
                db->Scalar(QStringLiteral("SELECT 1 FROM \"%1\" LIMIT 1").arg(table));
            }
            if (missing.size() == required.size()) {
                // Our mark in the header but none of our tables: not a company, and nothing a
                // repair could make one of.
                result.status = OpenStatus::NotACompany;
                return result;
            }
            if (!missing.isEmpty()) {
                result.status = OpenStatus::Damaged;
                result.detail = QStringLiteral("Nedostaje tablica ") + missing.first();
                return result;
            }
            // Only a file known to be a company is switched to its journal mode (which rewrites
            // the header of a file that was in another).
            db->ExecRaw(QStringLiteral("PRAGMA journal_mode=WAL"));
            db->ExecRaw(QStringLiteral("PRAGMA synchronous=FULL"));
            // 32 MB of page cache per connection instead of SQLite's 2 MB: the article indexes of a
            // company with 50,000 articles alone are larger than that, and a list or count that
            // walks one of them would otherwise read it from the file again every time.
            db->ExecRaw(QStringLiteral("PRAGMA cache_size=-32768"));
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
            break;
        } catch (const DbError& error) {
            if (error.isBusy() && attempt < kBusyAttempts) {
                db.reset();
                QThread::msleep(200);
                continue;
            }
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
    }
    db->m_lock = std::move(lock);
    result.status = OpenStatus::Ok;
    result.db = std::move(db);
    return result;
}

void Database::AttachDetail() {
    if (m_detailAttached) {
        ExecRaw(QStringLiteral("DETACH DATABASE \"det\""));
        m_detailAttached = false;
        m_columns.clear();
    }
    m_detailProblem.clear();
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
    // Only a detail file of this very company is ever attached: an empty file, a file of some
    // other kind or another company's detail file would otherwise be written to.
    if (ReadHeader(detail) != HeaderKind::Detail) {
        m_detailProblem = QStringLiteral("Datoteka detalja ") + detail +
                          QStringLiteral(" nije Zodra datoteka detaljnih računa.");
        return;
    }
    try {
        Exec(QStringLiteral("ATTACH DATABASE ? AS \"det\""), {detail});
        m_detailAttached = true;
        m_columns.clear();
        // The identity is read before anything is written: another company's file is left
        // exactly as it is.
        if (!StampDetailIdentity()) {
            ExecRaw(QStringLiteral("DETACH DATABASE \"det\""));
            m_detailAttached = false;
            m_columns.clear();
            m_detailProblem = QStringLiteral("Datoteka detalja ") + detail +
                              QStringLiteral(" pripada drugom poduzeću.");
            return;
        }
        ExecRaw(QStringLiteral("PRAGMA \"det\".journal_mode=WAL"));
        ExecRaw(QStringLiteral("PRAGMA \"det\".synchronous=FULL"));
    } catch (const DbError& e) {
        if (e.isBusy()) {
            throw;
        }
        if (m_detailAttached) {
            try {
                ExecRaw(QStringLiteral("DETACH DATABASE \"det\""));
            } catch (const DbError&) {
            }
        }
        m_detailAttached = false;
        m_columns.clear();
        m_detailProblem = QStringLiteral("Datoteka detalja ") + detail +
                          QStringLiteral(" je oštećena (") + e.driverText() + QStringLiteral(").");
    }
}

QString Database::CompanyIdentity() {
    QString identity = Meta(kIdentity);
    if (identity.isEmpty()) {
        // A company from before identities were kept gets its own now.
        Transaction tx(*this);
        identity = Meta(kIdentity);
        if (identity.isEmpty()) {
            identity = QUuid::createUuid().toString(QUuid::WithoutBraces);
            SetMeta(kIdentity, identity);
        }
        tx.Commit();
    }
    return identity;
}

bool Database::StampDetailIdentity() {
    const QString company = CompanyIdentity();
    const bool hasMeta =
        Scalar(QStringLiteral("SELECT COUNT(*) FROM \"det\".\"sqlite_master\" WHERE \"type\" = "
                              "'table' AND \"name\" = 'DET_META'"))
            .toInt() > 0;
    if (hasMeta) {
        const QString stored =
            Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"det\".\"DET_META\" WHERE "
                                  "\"Naziv\" = ?"),
                   {kIdentity})
                .toString();
        if (!stored.isEmpty()) {
            return stored == company;
        }
    }
    // A detail file made before identities were kept (or made empty for a lost one) becomes
    // this company's.
    Transaction tx(*this);
    if (!hasMeta) {
        ExecRaw(
            QStringLiteral("CREATE TABLE \"det\".\"DET_META\" (\"Naziv\" TEXT PRIMARY KEY, "
                           "\"Vrijednost\" TEXT)"));
    }
    Exec(QStringLiteral("INSERT OR REPLACE INTO \"det\".\"DET_META\" (\"Naziv\", "
                        "\"Vrijednost\") VALUES (?, ?)"),
         {kIdentity, company});
    tx.Commit();
    return true;
}

void Database::RelinkDetail(const QString& detailPath) {
    const QString previous = Meta(QStringLiteral("DETALJNA_DATOTEKA"));
    SetMeta(QStringLiteral("DETALJNA_DATOTEKA"), detailPath);
    AttachDetail();
    if (!m_detailProblem.isEmpty()) {
        // A file that cannot be this company's detail file is not linked.
        const QString problem = m_detailProblem;
        SetMeta(QStringLiteral("DETALJNA_DATOTEKA"), previous);
        AttachDetail();
        throw UserError(problem);
    }
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
