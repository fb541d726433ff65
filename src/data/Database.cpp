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
#include "data/PostgresEngine.h"
#include "data/SqliteEngine.h"
#include "data/Transaction.h"

namespace zodra {

namespace {

std::atomic<int> g_connectionCounter{0};

constexpr int kBusyAttempts = 5;

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

// The engine a target is opened with: a server address or connection file goes to the server.
const Engine& EngineFor(const QString& target) {
    if (PostgresEngine::IsServerTarget(target)) {
        return PostgresEngine::Instance();
    }
    return SqliteEngine::Instance();
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
        case Database::OpenStatus::Unreachable:
            return "server unreachable";
    }
    return "?";
}

Database::Database(const QString& path, const Engine& engine)
    : m_connectionName(QStringLiteral("zodra-%1").arg(++g_connectionCounter)),
      m_path(path),
      m_engine(&engine) {
    // Preparing a statement on a server is a round trip of its own, and so is its release.
    // ZODRA_PG_PREPARE_EACH prepares every statement anew, for measuring what keeping saves.
    static const bool prepareEach = qEnvironmentVariableIsSet("ZODRA_PG_PREPARE_EACH");
    if (engine.Dialect() == SqlDialect::Postgres && !prepareEach) {
        m_statements = std::make_shared<StatementCache>();
    }
}

Database::~Database() {
    // The kept statements are released while their connection is still open.
    m_statements.reset();
    if (m_connection.isValid()) {
        if (m_depth > 0) {
            QSqlQuery(m_connection).exec(QStringLiteral("ROLLBACK"));
        }
        m_connection.close();
    }
    m_connection = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

bool Database::IsServerTarget(const QString& path) {
    return PostgresEngine::IsServerTarget(path);
}

std::unique_ptr<Database> Database::OpenRaw(const QString& path, bool create) {
    if (!create && !IsServerTarget(path) && !QFileInfo::exists(path)) {
        throw DbError(QString(), QStringLiteral("Datoteka ne postoji: ") + path);
    }
    const Engine& engine = EngineFor(path);
    std::unique_ptr<Database> db(new Database(path, engine));
    db->m_connection = engine.Connect(path, db->m_connectionName);
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
    const bool server = IsServerTarget(path);
    if (server && !PostgresEngine::IsServerTarget(PostgresEngine::UrlOf(path))) {
        // A connection file that is missing, unreadable or holds no address.
        result.status = info.exists() ? OpenStatus::NotACompany : OpenStatus::Missing;
        return result;
    }
    if (server) {
        // The server keeps its own storage: there is no file to lock against a compaction.
        takeLock = false;
    } else if (path.isEmpty() || !info.exists() || !info.isFile()) {
        result.status = OpenStatus::Missing;
        return result;
    }
    if (!server && EngineFor(path).Identify(path) != Engine::TargetKind::Company) {
        result.status = OpenStatus::NotACompany;
        return result;
    }
    if (!server && (!info.isWritable() || !QFileInfo(info.absolutePath()).isWritable())) {
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
            // Only a target known to be a company gets the company's settings.
            db->m_engine->ConfigureCompany(*db);
            if (!db->CheckPassword(password)) {
                result.status = OpenStatus::WrongPassword;
                return result;
            }
            const int version = db->SchemaVersion();
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
            if (error.isConnectionLost()) {
                // No such database on the server is what a missing file is; anything else
                // (server down, login refused) leaves the company unreachable.
                result.status = error.driverText().contains(QStringLiteral("does not exist"))
                                    ? OpenStatus::Missing
                                    : OpenStatus::Unreachable;
                return result;
            }
            // Anything else the engine cannot read as a company counts as damage.
            result.status = error.isBusy() ? OpenStatus::Locked : OpenStatus::Damaged;
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
        m_engine->DetachDetail(*this);
        m_detailAttached = false;
        m_columns.clear();
    }
    m_detailProblem.clear();
    if (m_engine->DetailInCompanyDatabase()) {
        // The detail tables are the company's own schema "det": always there, always this
        // company's.
        m_detailPath = m_path;
        m_detailAttached = m_engine->HasTable(*this, QStringLiteral("DET_META"), true);
        if (!m_detailAttached) {
            m_detailProblem = QStringLiteral("Baza podataka nema tablica detaljnih računa.");
        }
        return;
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
    // Only a detail file of this very company is ever attached: an empty file, a file of some
    // other kind or another company's detail file would otherwise be written to.
    if (m_engine->Identify(detail) != Engine::TargetKind::Detail) {
        m_detailProblem = QStringLiteral("Datoteka detalja ") + detail +
                          QStringLiteral(" nije Zodra datoteka detaljnih računa.");
        return;
    }
    try {
        m_engine->AttachDetail(*this, detail);
        m_detailAttached = true;
        m_columns.clear();
        // The identity is read before anything is written: another company's file is left
        // exactly as it is.
        if (!StampDetailIdentity()) {
            m_engine->DetachDetail(*this);
            m_detailAttached = false;
            m_columns.clear();
            m_detailProblem = QStringLiteral("Datoteka detalja ") + detail +
                              QStringLiteral(" pripada drugom poduzeću.");
            return;
        }
        m_engine->ConfigureDetail(*this);
    } catch (const DbError& e) {
        if (e.isBusy()) {
            throw;
        }
        if (m_detailAttached) {
            try {
                m_engine->DetachDetail(*this);
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
    const bool hasMeta = m_engine->HasTable(*this, QStringLiteral("DET_META"), true);
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
    Exec(sqldialect::InsertOrReplace(
             Dialect(),
             QStringLiteral("\"det\".\"DET_META\" (\"Naziv\", \"Vrijednost\") VALUES (?, ?)"),
             QStringLiteral("\"Naziv\""), {QStringLiteral("\"Vrijednost\"")}),
         {kIdentity, company});
    tx.Commit();
    return true;
}

void Database::RelinkDetail(const QString& detailPath) {
    if (m_engine->DetailInCompanyDatabase()) {
        throw UserError(QStringLiteral(
            "Detaljni računi ovog poduzeća su u istoj bazi podataka: nema datoteke za povezati."));
    }
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
    if (m_counting) {
        ++m_counts.executed;
    }
    QSqlQuery query(m_connection);
    const bool ran = query.exec(sql);
    if (m_statements && StatementCache::ChangesSchema(sql)) {
        m_statements->Forget();
    }
    if (!ran) {
        const DbError error = m_connection.isOpen() ? m_engine->Error(sql, query.lastError())
                                                    : StatementCache::Lost(sql);
        if (error.isConnectionLost()) {
            ForgetStatements();
        }
        throw error;
    }
    query.finish();
}

void Database::SetReadOnlyGuard() {
    m_engine->SetReadOnlyGuard(*this);
}

bool Database::TableExists(const QString& table) {
    return m_engine->HasTable(*this, table, false) ||
           (m_detailAttached && m_engine->HasTable(*this, table, true));
}

const QStringList& Database::Columns(const QString& table) {
    auto it = m_columns.find(table);
    if (it != m_columns.end()) {
        return it->second;
    }
    const QStringList columns = m_engine->Columns(*this, table);
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
        // A file without a password opens with any answer: there is nothing to check it against.
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
