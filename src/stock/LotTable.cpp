#include "stock/LotTable.h"

#include "data/Database.h"

namespace zodra::stock {

namespace {

const QString kFind = QStringLiteral(
    "SELECT \"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", \"VELEPRODAJNA CIJENA\", "
    "\"MALOPRODAJNA_MARZA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
    "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?");
const QString kInsert = QStringLiteral(
    "INSERT INTO \"NABAVE\" (\"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", "
    "\"VELEPRODAJNA CIJENA\", \"MALOPRODAJNA_MARZA\", \"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
    "\"SIFRA_ARTIKLA\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
const QString kUpdate = QStringLiteral(
    "UPDATE \"NABAVE\" SET \"KOLICINA\" = ?, \"KOLICINA_PRIVREMENO\" = ?, \"NABAVNA CIJENA\" = ?, "
    "\"VELEPRODAJNA CIJENA\" = ?, \"MALOPRODAJNA_MARZA\" = ? WHERE \"SKLADISTE\" = ? AND "
    "\"GODINA\" "
    "= ? AND \"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?");
const QString kDelete = QStringLiteral(
    "DELETE FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? "
    "AND \"SIFRA_ARTIKLA\" = ?");

void BindKey(DirectStatement& s, int from, const LotKey& key) {
    s.Bind(from, key.warehouse);
    s.Bind(from + 1, key.year);
    s.Bind(from + 2, key.lot);
    s.Bind(from + 3, key.article);
}

// Quantity, free quantity, prices and margin: the first five values of insert and update.
void BindValues(DirectStatement& s, const Lot& lot) {
    s.Bind(0, lot.quantity);
    s.Bind(1, lot.freeQuantity);
    s.Bind(2, lot.costPrice);
    s.Bind(3, lot.sellingPrice);
    if (lot.retailMargin) {
        s.Bind(4, *lot.retailMargin);
    } else {
        s.BindNull(4);
    }
}

void Run(DirectStatement& s) {
    s.Step();
    s.Reset();
}

}  // namespace

LotTable::LotTable(Database& db)
    : m_db(db),
      m_find(db,
             kFind + (db.TransactionDepth() > 0 ? sqldialect::RowLock(db.Dialect()) : QString())),
      m_insert(db, kInsert),
      m_update(db, kUpdate),
      m_remove(db, kDelete) {}

std::optional<Lot> LotTable::Find(const LotKey& key) {
    if (const auto known = m_known.find(key); known != m_known.end()) {
        return known->second;
    }
    BindKey(m_find, 0, key);
    if (!m_find.Step()) {
        m_find.Reset();
        return std::nullopt;
    }
    Lot lot;
    lot.key = key;
    lot.quantity = m_find.Double(0);
    lot.freeQuantity = m_find.Double(1);
    lot.costPrice = m_find.Double(2);
    lot.sellingPrice = m_find.Double(3);
    if (!m_find.IsNull(4)) {
        lot.retailMargin = m_find.Double(4);
    }
    m_find.Reset();
    Remember(lot);
    return lot;
}

void LotTable::Insert(const Lot& lot) {
    BindValues(m_insert, lot);
    BindKey(m_insert, 5, lot.key);
    Run(m_insert);
    Remember(lot);
}

void LotTable::Update(const Lot& lot) {
    BindValues(m_update, lot);
    BindKey(m_update, 5, lot.key);
    Run(m_update);
    Remember(lot);
}

void LotTable::Delete(const LotKey& key) {
    BindKey(m_remove, 0, key);
    Run(m_remove);
    m_known.erase(key);
}

}  // namespace zodra::stock
