#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <map>
#include <memory>

#include "data/CompanyLock.h"
#include "data/Engine.h"
#include "data/SqlDialect.h"
#include "data/Statement.h"

namespace zodra {

// One connection to a company database (and its attached detail file). The session owns one;
// tests and command-line tools make as many as they need. Not copyable; not shared between
// threads.
class Database {
public:
    enum class OpenStatus {
        Ok,
        Missing,        // no such file
        WrongPassword,  // a company file, but the password does not match
        NotACompany,    // not a database at all, or a database of some other program
        Damaged,        // a company file the engine cannot read as it should
        TooNew,         // written by a newer version of the program
        Locked,         // another program holds the file exclusively
        ReadOnly,       // the file or its folder cannot be written
        Unreachable,    // a company on a server that cannot be reached (or refuses the login)
    };
    struct OpenResult {
        OpenStatus status = OpenStatus::Damaged;
        std::unique_ptr<Database> db;
        QString detail;  // the engine's text, for logs and the command-line tool
    };

    // Opens a company database with its password. `path` is a company file, or a company on a
    // PostgreSQL server: `postgresql://user@host:port/dbname` (the host may be a socket folder,
    // `postgresql:///dbname?host=/run/x`) or a connection file ending in ".zodra" holding such a
    // line. The rest is the same for both: checks that it is a company file, that the
    // password matches, brings the schema up to date, attaches the detail file and applies any
    // detail-file changes left over from an interrupted posting.
    static OpenResult Open(const QString& path, const QString& password);
    // The same for maintenance that holds the company's exclusive lock already.
    static OpenResult OpenAlone(const QString& path, const QString& password,
                                const CompanyLock& exclusive);
    // Opens (or creates) any database file without the company checks; used to build new files,
    // for the workstation's settings file and by maintenance. It takes no company lock: maintenance
    // of a company holds the exclusive one itself.
    static std::unique_ptr<Database> OpenRaw(const QString& path, bool create);

    // How long an opening waits for a compaction of the company to finish.
    static constexpr int kCompactionWaitMs = 60000;

    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    // Whether a path names a company on a server rather than a company file.
    static bool IsServerTarget(const QString& path);

    // The engine the company lives on: everything that differs between engines goes through it.
    const Engine& GetEngine() const { return *m_engine; }
    SqlDialect Dialect() const { return m_engine->Dialect(); }
    const QString& Path() const { return m_path; }
    QSqlDatabase& Connection() { return m_connection; }

    // The detail file (detailed retail invoices). Missing is not fatal: the company opens and
    // changes meant for the detail file wait in the company file until it is back.
    QString DetailPath() const { return m_detailPath; }
    bool DetailAttached() const { return m_detailAttached; }
    // Why an existing detail file was not attached (not a detail file, damaged, or another
    // company's); empty when it is attached or simply missing. Such a file is never written to:
    // the user relinks the right one.
    const QString& DetailProblem() const { return m_detailProblem; }
    // Points the company at another detail file (stored in the company file) and attaches it.
    void RelinkDetail(const QString& detailPath);

    Statement Prepare(const QString& sql) { return Statement(*this, sql); }
    // Executes a statement with bound values; returns the number of rows changed.
    int Exec(const QString& sql, const QVariantList& params = {});
    // The first column of the first row, or a null QVariant when there is no row.
    QVariant Scalar(const QString& sql, const QVariantList& params = {});
    // Executes text that needs no values (DDL, transaction control).
    void ExecRaw(const QString& sql);

    // The schema version the company carries.
    int SchemaVersion() { return m_engine->SchemaVersion(*this); }
    // Whether commits wait for the disk (Full, the default) or not (Relaxed: for work that
    // can be done again, such as a session start's fix-ups).
    void SetDurability(Engine::Durability durability) {
        m_engine->SetDurability(*this, durability);
    }
    // While on, every write of this connection is refused.
    void SetQueryOnly(bool on) { m_engine->SetQueryOnly(*this, on); }
    // A consistent copy of the company (or its detail file) into a new file.
    void CopyTo(bool detail, const QString& file) { m_engine->CopyTo(*this, detail, file); }

    // From now on the connection only reads: a statement that would write to the company or the
    // detail file, change a setting kept in a file, attach or create a file (VACUUM INTO
    // included) or begin a transaction is refused with a DbError whose isReadOnlyRefusal() is
    // true, before it touches anything. For the command-line tool's free SQL.
    void SetReadOnlyGuard();

    bool TableExists(const QString& table);
    // Column names of a table in their stored order (cached per connection).
    const QStringList& Columns(const QString& table);
    void ForgetSchemaCache() {
        m_columns.clear();
        ForgetStatements();
    }
    // The statements this connection keeps prepared (on a server; null where preparing costs no
    // round trip), and dropping them all.
    const std::shared_ptr<StatementCache>& Statements() const { return m_statements; }
    void ForgetStatements() {
        if (m_statements) {
            m_statements->Forget();
        }
    }

    int TransactionDepth() const { return m_depth; }

    // Counting what this connection sends: on starts from zero; off costs nothing (statements
    // made while it is off are not counted).
    void CountStatements(bool on) {
        m_counts = StatementCounts{};
        m_counting = on;
    }
    const StatementCounts& Counted() const { return m_counts; }
    StatementCounts* Counter() { return m_counting ? &m_counts : nullptr; }

    // Applies the logged detail-file changes of committed postings, each exactly once.
    // Returns the number of postings applied.
    int ApplyPendingDetail();
    int PendingDetailCount();

    // The company's lock (null for files opened raw): it marks the connection's sessions alive.
    CompanyLock* Lock() { return m_lock.get(); }

    bool CheckPassword(const QString& password);
    void SetPassword(const QString& newPassword);

    // Test seam: called at named points of a write ("write-begun" once the write lock is held,
    // "lots-read" once a posting has read and locked its lots, "committed", "detail-applied") so
    // that a test can kill the process exactly there, or a benchmark time how long the lock is
    // held.
    void SetCheckpointHook(std::function<void(const char*)> hook) { m_hook = std::move(hook); }
    void Checkpoint(const char* point) {
        if (m_hook) {
            m_hook(point);
        }
    }

    // The company's identity (made the first time it is asked for), which its detail file and
    // nothing else's carries.
    QString CompanyIdentity();

    // Meta facts about the file (password hash, detail path …) kept in ZODRA_META.
    QString Meta(const QString& name);
    void SetMeta(const QString& name, const QString& value);

private:
    Database(const QString& path, const Engine& engine);
    static OpenResult OpenCompany(const QString& path, const QString& password, bool takeLock);
    friend class Transaction;
    void AttachDetail();
    // Makes sure the company has its identity and the attached detail file carries it: stamps
    // a detail file that has none; false when it carries another company's.
    bool StampDetailIdentity();

    QString m_connectionName;
    QSqlDatabase m_connection;
    QString m_path;
    const Engine* m_engine;
    QString m_detailPath;
    QString m_detailProblem;
    bool m_detailAttached = false;
    std::unique_ptr<CompanyLock> m_lock;
    int m_depth = 0;
    // The savepoint level whose work holds the company's write lock (0: the transaction
    // itself), -1 while a transaction begun for rows only has not taken it.
    int m_companyLockLevel = -1;
    qint64 m_detailToken = 0;  // token of the detail log of the open outermost transaction
    int m_detailRow = 0;
    std::map<QString, QStringList> m_columns;
    std::shared_ptr<StatementCache> m_statements;
    StatementCounts m_counts;
    bool m_counting = false;
    std::function<void(const char*)> m_hook;
};

const char* ToString(Database::OpenStatus status);

}  // namespace zodra
