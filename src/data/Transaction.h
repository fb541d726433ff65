#pragma once

#include <QString>
#include <QVariantList>

namespace zodra {

class Database;

// A scoped database transaction: the outermost guard begins a write transaction at once
// (Engine::BeginWrite), inner guards are savepoints. Anything not committed is rolled back when
// the guard goes out of scope, including when an exception (a refusal or a database error)
// leaves the posting.
//
// The rule every posting relies on: a write transaction holds the company's write lock from its
// first statement until it commits or rolls back. On SQLite it begins with BEGIN IMMEDIATE,
// which takes the file's write lock at once; on PostgreSQL it is BEGIN followed by
// pg_advisory_xact_lock on the company's key, released by the commit or rollback itself. So
// only one posting of a company runs at a time, and what it reads inside the transaction stays
// true until it commits: the next document number found as MAX + 1, and a lot's quantity read
// before it is written back less the quantity issued. Without the lock, two postings would read
// the same number or the same quantity and one would overwrite the other; with PostgreSQL's
// SERIALIZABLE isolation instead, one of them would fail at commit and the whole posting (with
// its questions to the user) would have to be made again.
//
// A second writer waits for the lock (SQLite's busy timeout, 5 s); when it cannot have it in
// time, beginning the transaction throws a DbError whose isBusy() is true: nothing was written,
// and the same posting may simply be tried again.
//
// Line entry is the exception: a transaction begun with Locking::Rows changes working-copy lines
// and the free quantities of lots only, reading each lot with its row lock (stock::FindLot). On a
// server it takes no company lock, so that tills drawing up their sales do not wait for one
// another's postings; on SQLite it is the same write transaction as any other. A guard with
// Locking::Company nested inside it takes the company lock then (a step that posts after all).
class Transaction {
public:
    enum class Locking { Company, Rows };
    explicit Transaction(Database& db, Locking locking = Locking::Company);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void Commit();
    bool Committed() const { return m_committed; }

    // Records a change for the detail file. The detail file commits separately from the
    // company file, so its changes are logged in the company file inside this transaction and
    // applied after the commit; an interrupted application is finished at the next open. Where
    // the detail tables are in the company's own database the change is simply made at once.
    void DeferDetail(const QString& sql, const QVariantList& params);

private:
    Database& m_db;
    int m_level;
    bool m_committed = false;
};

}  // namespace zodra
