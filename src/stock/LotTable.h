#pragma once

#include <optional>

#include "data/Statement.h"
#include "stock/Lot.h"

namespace zodra {
class Database;
}

namespace zodra::stock {

// Reads and writes rows of NABAVE through statements prepared once, for the postings that
// touch a lot per line (a receipt of a thousand lines seeks a thousand lots).
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
    Database& m_db;
    Statement m_find;
    Statement m_insert;
    Statement m_update;
    Statement m_delete;
};

}  // namespace zodra::stock
