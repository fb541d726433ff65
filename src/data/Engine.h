#pragma once

#include <QSqlDatabase>
#include <QString>

#include "data/Errors.h"
#include "data/SqlDialect.h"

class QSqlError;

namespace zodra {

class Database;

// Everything that differs between the engines a company can live on, in one place. Database
// chooses the engine when it opens a company and asks it whenever something engine-specific is
// due; no code outside the data layer knows which engine it runs on. SQL text that differs
// only in a word or two is written through the helpers of SqlDialect.h instead.
//
// An engine keeps no state of its own: what belongs to one connection lives in Database.
class Engine {
public:
    virtual ~Engine() = default;

    virtual SqlDialect Dialect() const = 0;

    // --- Opening ---------------------------------------------------------------------------

    // What a target (a file, for a server its address) holds, judged without opening it as a
    // database: a company, a detail store, something else, or something unreadable.
    enum class TargetKind { Foreign, Company, Detail };
    virtual TargetKind Identify(const QString& target) const = 0;
    // Opens a new named connection to the target, with what every connection needs registered
    // (Croatian collation, the case-folding match). Throws DbError when it cannot be opened.
    virtual QSqlDatabase Connect(const QString& target, const QString& connectionName) const = 0;
    // The settings of a connection to a company (journal, durability, cache), applied once the
    // target is known to be a company.
    virtual void ConfigureCompany(Database& db) const = 0;
    // Makes the detail store reachable as "det" on the connection, and the reverse.
    virtual void AttachDetail(Database& db, const QString& target) const = 0;
    virtual void DetachDetail(Database& db) const = 0;
    // The settings of the attached detail store.
    virtual void ConfigureDetail(Database& db) const = 0;
    // Tables and views of the company (or, with `detail`, of the attached detail store) by name.
    virtual bool HasTable(Database& db, const QString& table, bool detail) const = 0;
    // Column names of a table in their stored order; empty when there is no such table.
    virtual QStringList Columns(Database& db, const QString& table) const = 0;
    // The schema version the company carries, and setting it (inside the migration's
    // transaction).
    virtual int SchemaVersion(Database& db) const = 0;
    virtual void SetSchemaVersion(Database& db, int version) const = 0;
    // Whether the detail tables live in the company's own database (one transaction covers
    // both) rather than in a file of their own attached to each connection.
    virtual bool DetailInCompanyDatabase() const { return false; }

    // --- Transactions and settings ------------------------------------------------------------

    // Begins the outermost write transaction so that it holds the company's write lock from its
    // first statement until commit or rollback (see Transaction.h). A second writer waits for
    // the lock, and when it cannot have it in time gets a DbError of kind Busy.
    virtual void BeginWrite(Database& db) const = 0;
    // Begins the outermost write transaction of work that changes only rows no other
    // workstation's posting numbers or counts from: working-copy lines and the free quantities of
    // lots, whose rows it reads with their locks (sqldialect::RowLock). Where the engine has row
    // locks (HasRowLocks) it takes no company lock; elsewhere it is BeginWrite.
    virtual bool HasRowLocks() const { return false; }
    virtual void BeginRowWrite(Database& db) const { BeginWrite(db); }
    // Takes the company's write lock inside a transaction begun by BeginRowWrite (a nested step
    // that posts after all); nothing where BeginRowWrite took it already.
    virtual void LockCompany(Database& db) const { (void)db; }

    enum class Durability {
        Full,     // a commit waits until it is on the disk
        Relaxed,  // a commit may be lost with a power cut, but the data stays sound
    };
    virtual void SetDurability(Database& db, Durability durability) const = 0;
    // Refuses every write of the connection while on (a query that must not change anything).
    virtual void SetQueryOnly(Database& db, bool on) const = 0;
    // From now on the connection only reads (Database::SetReadOnlyGuard).
    virtual void SetReadOnlyGuard(Database& db) const = 0;

    // --- Copies and compaction ----------------------------------------------------------------

    // A consistent copy of the company (or of the attached detail store) into a new file, taken
    // while others keep working.
    virtual void CopyTo(Database& db, bool detail, const QString& file) const = 0;
    // Whether the program compacts the company itself (compaction::Compact: a compact copy that
    // takes the file's place), or the engine keeps its storage compact on its own.
    virtual bool CompactsByCopy() const = 0;

    // --- Errors -------------------------------------------------------------------------------

    // What kind of failure the engine's error code and text mean.
    virtual DbError::Kind Classify(int nativeCode, const QString& driverText) const = 0;
    // The DbError for a failed statement of this engine, its kind already decided.
    virtual DbError Error(const QString& sql, const QSqlError& error) const;
};

}  // namespace zodra
