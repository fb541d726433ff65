#include "stock/LotTable.h"

#include "data/Database.h"

namespace zodra::stock {

namespace {
QVariant Margin(const Lot& lot) {
    return lot.retailMargin ? QVariant(*lot.retailMargin) : QVariant();
}
}  // namespace

LotTable::LotTable(Database& db)
    : m_db(db),
      m_find(db, QStringLiteral("SELECT \"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA "
                                "CIJENA\", \"VELEPRODAJNA CIJENA\", \"MALOPRODAJNA_MARZA\" FROM "
                                "\"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?")),
      m_insert(db, QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", "
                                  "\"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\", "
                                  "\"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", \"VELEPRODAJNA "
                                  "CIJENA\", \"MALOPRODAJNA_MARZA\") VALUES (?, ?, ?, ?, ?, ?, "
                                  "?, ?, ?)")),
      m_update(db, QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = ?, "
                                  "\"KOLICINA_PRIVREMENO\" = ?, \"NABAVNA CIJENA\" = ?, "
                                  "\"VELEPRODAJNA CIJENA\" = ?, \"MALOPRODAJNA_MARZA\" = ? WHERE "
                                  "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? "
                                  "AND \"SIFRA_ARTIKLA\" = ?")),
      m_delete(db, QStringLiteral("DELETE FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND "
                                  "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND "
                                  "\"SIFRA_ARTIKLA\" = ?")) {}

std::optional<Lot> LotTable::Find(const LotKey& key) {
    m_find.Exec({key.warehouse, key.year, key.lot, key.article});
    if (!m_find.Next()) {
        m_find.Finish();
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
    m_find.Finish();
    return lot;
}

void LotTable::Insert(const Lot& lot) {
    m_insert.Exec({lot.key.warehouse, lot.key.year, lot.key.lot, lot.key.article, lot.quantity,
                   lot.freeQuantity, lot.costPrice, lot.sellingPrice, Margin(lot)});
}

void LotTable::Update(const Lot& lot) {
    m_update.Exec({lot.quantity, lot.freeQuantity, lot.costPrice, lot.sellingPrice, Margin(lot),
                   lot.key.warehouse, lot.key.year, lot.key.lot, lot.key.article});
}

void LotTable::Delete(const LotKey& key) {
    m_delete.Exec({key.warehouse, key.year, key.lot, key.article});
}

}  // namespace zodra::stock
