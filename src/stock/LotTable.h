#pragma once

#include <memory>
#include <optional>

#include "data/DirectStatement.h"
#include "stock/Lot.h"

namespace zodra {
class Database;
}

namespace zodra::stock {

// Reads and writes rows of NABAVE through statements prepared once, for the postings that
// touch a lot per line (a receipt of a thousand lines seeks a thousand lots); where the engine
// allows it they run straight on the connection. Made inside a write transaction, Find reads
// each lot with its row lock (as FindLot does), so that a reservation of another workstation
// cannot change it between the read and the write.
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
    DirectStatement m_find;
    DirectStatement m_insert;
    DirectStatement m_update;
    DirectStatement m_remove;
};

}  // namespace zodra::stock
