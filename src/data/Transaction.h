#pragma once

#include <QString>
#include <QVariantList>

namespace zodra {

class Database;

// A scoped database transaction: the outermost guard begins a write transaction at once
// (BEGIN IMMEDIATE, so that two workstations never deadlock half-way through a posting), inner
// guards are savepoints. Anything not committed is rolled back when the guard goes out of scope,
// including when an exception (a refusal or a database error) leaves the posting.
class Transaction {
public:
    explicit Transaction(Database& db);
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    void Commit();
    bool Committed() const { return m_committed; }

    // Records a change for the detail file. The detail file commits separately from the
    // company file, so its changes are logged in the company file inside this transaction and
    // applied after the commit; an interrupted application is finished at the next open.
    void DeferDetail(const QString& sql, const QVariantList& params);

private:
    Database& m_db;
    int m_level;
    bool m_committed = false;
};

}  // namespace zodra
