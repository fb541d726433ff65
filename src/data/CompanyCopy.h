#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace zodra {

class Database;

// Moving a company between engines: a company file to a server database, a server database to a
// company file (an archive), or file to file and server to server. The target is made new with
// the source's schema version, and every table of the company and of its detail store is copied
// with its rows and their row keys, so documents keep their numbers, the rows that point at
// each other still do, and the identity sequences continue after the copied keys. The company's
// password (kept as a hash in ZODRA_META) and identity go with it.
//
// The source is read in one snapshot (a read transaction) while others may keep working on it.
// The target is written in one transaction, in batches; a failure or an interruption leaves no
// target behind: a file is written under a temporary name and renamed only when complete, a
// database the copy made is dropped again (one that existed empty stays empty).
namespace companycopy {

struct TableCount {
    QString table;  // the table's name, "det." before a table of the detail store
    qint64 rows = 0;
};

struct Summary {
    std::vector<TableCount> tables;  // the source's row count of every table, as copied
    qint64 rows = 0;
    int schemaVersion = 0;
};

struct Progress {
    QString table;
    qint64 done = 0;   // rows copied so far, all tables
    qint64 total = 0;  // rows to copy, all tables
};

// Called after every batch; returning false stops the copy (nothing of the target remains).
using ProgressFn = std::function<bool(const Progress&)>;

// Refuses (UserError with its message) a target that cannot be written new: an existing file or
// detail file beside it, a server database that holds tables, a connection file without an
// address. Reaches the server to look; nothing is made.
void CheckTarget(const QString& target);

// The schema version of the company at `source`, read without opening it as a company (so
// without bringing it up to date). UserError when it is not there or is not a company.
int SourceVersion(const QString& source);

// Copies the open company `source` into the new `target`, then opens the target with
// `password` (the source's own) and compares the row count of every table with the source's.
// Throws UserError for a refusal (the target exists, the source is of another schema version,
// its detail store is not attached, the copy was stopped) and DbError for a failure of either
// database; in both cases nothing of the target is left.
Summary Copy(Database& source, const QString& target, const QString& password,
             const ProgressFn& progress = {});

// Copies every row of the company table `table` from `source` into the same table of `target`
// (both companies of the same schema version), as Copy copies a table: with the row keys and
// each value in the target's form; the target's own rows of the table go first. Runs in the
// callers' transactions. UserError when the two tables' columns differ. Returns the rows copied.
qint64 CopyTableRows(Database& source, Database& target, const QString& table);

// The tables whose row count in `db` differs from the summary, with both counts.
QStringList CountDifferences(Database& db, const Summary& summary);

// The message for a source whose schema version is not this program's.
QString VersionMessage(const QString& source, int version);

}  // namespace companycopy
}  // namespace zodra
