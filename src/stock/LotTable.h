#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
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
    ~LotTable();
    LotTable(const LotTable&) = delete;
    LotTable& operator=(const LotTable&) = delete;

    Database& Db() { return m_db; }

    std::optional<Lot> Find(const LotKey& key);
    void Insert(const Lot& lot);
    // Writes quantity, free quantity, both prices and the margin of an existing lot.
    void Update(const Lot& lot);
    void Delete(const LotKey& key);

    // From now on a lot this table has read or written is not read again: Find answers from what
    // it saw last. Only inside a write transaction (the lots it reads are locked, so no other
    // workstation changes them) and only while every change of those lots in the transaction goes
    // through this table, as in one document's posting, which reads a lot to plan its prices and
    // again to take from it.
    void KeepWhatIsRead() { m_keep = true; }
    bool KeepsWhatIsRead() const { return m_keep; }

    // Reads the lots of `keys` with one statement (locked, as Find does) and keeps them, so that
    // Find answers for them without a statement. Only after KeepWhatIsRead. A key without a lot
    // is not kept: Find asks for it again and finds nothing.
    void ReadAll(const std::vector<LotKey>& keys);

    // From now on Update changes the kept lot only; Flush writes every lot changed since with one
    // statement. For a posting that changes a lot per line and reads nothing of those lots
    // around this table until it has flushed (the stock check, the article card). Only after
    // KeepWhatIsRead. Insert and Delete flush first. A refusal before the flush leaves the
    // changes unwritten, as the rollback that follows would.
    void DeferWrites() {
        Q_ASSERT(m_keep);
        m_defer = true;
    }
    void Flush();

private:
    struct KeyOrder {
        bool operator()(const LotKey& a, const LotKey& b) const {
            return std::tie(a.warehouse, a.year, a.lot, a.article) <
                   std::tie(b.warehouse, b.year, b.lot, b.article);
        }
    };
    void Remember(const Lot& lot) {
        if (m_keep) {
            m_known.insert_or_assign(lot.key, lot);
        }
    }

    Database& m_db;
    bool m_keep = false;
    bool m_defer = false;
    std::map<LotKey, Lot, KeyOrder> m_known;
    std::set<LotKey, KeyOrder> m_changed;  // kept lots whose change is not written yet
    DirectStatement m_find;
    DirectStatement m_insert;
    DirectStatement m_update;
    DirectStatement m_remove;
};

}  // namespace zodra::stock
