#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "data/SqlDialect.h"

namespace zodra {

class Database;

// The company database: its schema (one definition, versioned), the creation of a new company
// with the rows an empty company needs, and the ordered migrations that bring older files up
// to date.
class CompanySchema {
public:
    // Stored in the SQLite header (PRAGMA application_id): marks a file as a Zodra company.
    static constexpr unsigned kApplicationId = 0x5A4F4452;        // "ZODR"
    static constexpr unsigned kDetailApplicationId = 0x5A4F4444;  // "ZODD"
    static constexpr int kCurrentVersion = 18;

    struct Migration {
        int version;  // the schema version the file has after this step
        QString sql;  // statements, ";"-separated, dialect tokens allowed
        // The views are made again from the current view script after the statements (a
        // view that reads a changed table).
        bool recreatesViews = false;
    };

    // Tables a file must have to be a company database.
    static QStringList RequiredTables();

    // Creates a new empty company file and its detail file beside it; refuses an existing
    // file. The business year is written as "Godina koja se knjiži".
    // A server address (or connection file) makes the company in that database on the server,
    // created when it does not exist yet, refused when it holds tables already.
    static void CreateCompany(const QString& path, int businessYear);
    static void CreateServerCompany(const QString& target, int businessYear);
    // The tables, views, seed rows and detail schema of a company, loaded into an empty server
    // database inside the caller's open transaction (nothing is committed here).
    static void LoadServerSchema(Database& db);
    static QString DefaultDetailPath(const QString& companyPath);
    // Creates an empty detail file: for a new company with its identity, or (without one) for a
    // company whose detail file was lost, which the company then takes as its own.
    static void CreateDetailFile(const QString& detailPath, const QString& identity = QString());

    // Whether the file is marked as a detail file. Safe on a file this process has open: it is
    // read through the engine's own file layer.
    static bool IsDetailFile(const QString& path);

    // Brings the schema up to the current version, each step in its own transaction.
    static void Migrate(Database& db);
    static void Migrate(Database& db, const std::vector<Migration>& migrations);

    // Drops the views the view script makes and makes them again from it.
    static void RecreateViews(Database& db);

    // The text of the schema scripts, with the dialect's tokens expanded.
    static QString Script(const QString& name, SqlDialect dialect);
    static QString ExpandTokens(QString sql, SqlDialect dialect);
    // Splits a script into statements at ";" outside quotes and comments.
    static QStringList SplitStatements(const QString& script);
    static void RunScript(Database& db, const QString& script);
};

}  // namespace zodra
