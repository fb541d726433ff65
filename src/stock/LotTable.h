#pragma once

#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

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

    // Where every statement is a round trip to a server, a posting of many lines reads the lots
    // it will touch at once and writes them back at once:
    // Preload reads the lots of `keys` in a few statements (with their row locks, as Find), and
    // Find answers them from what was read; DeferWrites keeps Update's changes here, Find sees
    // them, and Flush writes them all (it must run before anything else reads those lots, and
    // before the commit). Both do nothing where statements cost no round trip.
    void Preload(std::vector<LotKey> keys);
    void DeferWrites();
    void Flush();

private:
    using Key = std::tuple<int, int, int, int>;
    static Key KeyOf(const LotKey& key) { return {key.warehouse, key.year, key.lot, key.article}; }

    Database& m_db;
    QString m_lock;  // the row lock a read in a write transaction takes
    DirectStatement m_find;
    DirectStatement m_insert;
    DirectStatement m_update;
    DirectStatement m_remove;
    bool m_batched = false;  // statements are round trips: preload and deferred writes apply
    bool m_deferred = false;
    std::map<Key, std::optional<Lot>> m_known;  // read ahead or written since (none: no lot)
    std::map<Key, Lot> m_dirty;                 // deferred writes
};

}  // namespace zodra::stock
