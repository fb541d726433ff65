#pragma once

#include "data/Engine.h"

namespace zodra {

// The company in an SQLite file, its detail data in a second file attached to each connection.
// Connections run in WAL mode with a busy timeout of 5 s; a write transaction begins with
// BEGIN IMMEDIATE, which takes the file's write lock at once.
class SqliteEngine final : public Engine {
public:
    // The one instance: the engine keeps no state.
    static const SqliteEngine& Instance();

    SqlDialect Dialect() const override { return SqlDialect::Sqlite; }
    TargetKind Identify(const QString& target) const override;
    QSqlDatabase Connect(const QString& target, const QString& connectionName) const override;
    void ConfigureCompany(Database& db) const override;
    void AttachDetail(Database& db, const QString& target) const override;
    void DetachDetail(Database& db) const override;
    void ConfigureDetail(Database& db) const override;
    bool HasTable(Database& db, const QString& table, bool detail) const override;
    QStringList Columns(Database& db, const QString& table) const override;
    int SchemaVersion(Database& db) const override;
    void SetSchemaVersion(Database& db, int version) const override;
    void BeginWrite(Database& db) const override;
    void SetDurability(Database& db, Durability durability) const override;
    void SetQueryOnly(Database& db, bool on) const override;
    void SetReadOnlyGuard(Database& db) const override;
    void CopyTo(Database& db, bool detail, const QString& file) const override;
    bool CompactsByCopy() const override { return true; }
    DbError::Kind Classify(int nativeCode, const QString& driverText) const override;

    // The same classification for code that talks to SQLite directly (SqliteStatement).
    static DbError::Kind Kind(int nativeCode, const QString& driverText);

private:
    SqliteEngine() = default;
};

}  // namespace zodra
