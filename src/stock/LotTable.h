#pragma once

#include <memory>
#include <optional>

#include "data/SqliteStatement.h"
#include "data/Statement.h"
#include "stock/Lot.h"

namespace zodra {
class Database;
}

namespace zodra::stock {

// Reads and writes rows of NABAVE through statements prepared once, for the postings that
// touch a lot per line (a receipt of a thousand lines seeks a thousand lots). On SQLite the
// statements run straight on the connection.
class LotTable {
public:
    explicit LotTable(Database& db);
    LotTable(const LotTable&) = delete;
    LotTable& operator=(const LotTable&) = delete;

    Database& Db() { return m_db; }

    std::optional<Lot> Find(const LotKey& key);
    void Insert(const Lot& lot);
    // Writes quantity, free quantity, both prices and the margin of an existing lot.
    void Update(const Lot& lot);
    void Delete(const LotKey& key);

private:
    template <typename S>
    struct Statements {
        std::unique_ptr<S> find;
        std::unique_ptr<S> insert;
        std::unique_ptr<S> update;
        std::unique_ptr<S> remove;
    };
    template <typename S, typename Connection>
    static Statements<S> Prepare(Connection& connection);
    template <typename S>
    static std::optional<Lot> Find(S& find, const LotKey& key);

    Database& m_db;
    Statements<SqliteStatement> m_fast;  // SQLite
    Statements<Statement> m_generic;     // other engines
};

}  // namespace zodra::stock
