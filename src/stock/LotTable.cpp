#include "stock/LotTable.h"

#include <algorithm>

#include "data/Database.h"
#include "data/Statement.h"

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
      m_lock(db.TransactionDepth() > 0 ? sqldialect::RowLock(db.Dialect()) : QString()),
      m_find(db, kFind + m_lock),
      m_insert(db, kInsert),
      m_update(db, kUpdate),
      m_remove(db, kDelete),
      // ZODRA_PG_ROW_BY_ROW keeps a statement per lot, for measuring what the bulk path saves.
      m_batched(db.Statements() != nullptr && !qEnvironmentVariableIsSet("ZODRA_PG_ROW_BY_ROW")) {}

void LotTable::Preload(std::vector<LotKey> keys) {
    if (!m_batched) {
        return;
    }
    std::sort(keys.begin(), keys.end(),
              [](const LotKey& a, const LotKey& b) { return KeyOf(a) < KeyOf(b); });
    keys.erase(std::unique(keys.begin(), keys.end(),
                           [](const LotKey& a, const LotKey& b) { return KeyOf(a) == KeyOf(b); }),
               keys.end());
    keys.erase(std::remove_if(keys.begin(), keys.end(),
                              [&](const LotKey& k) { return m_known.count(KeyOf(k)) > 0; }),
               keys.end());
    constexpr size_t kChunk = 200;
    for (size_t from = 0; from < keys.size(); from += kChunk) {
        const size_t to = std::min(keys.size(), from + kChunk);
        QString sql = QStringLiteral(
            "SELECT \"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", "
            "\"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", \"VELEPRODAJNA "
            "CIJENA\", \"MALOPRODAJNA_MARZA\" FROM \"NABAVE\" WHERE ");
        QVariantList values;
        for (size_t i = from; i < to; ++i) {
            sql += (i == from ? QStringLiteral("(") : QStringLiteral(" OR (")) +
                   QStringLiteral(
                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? "
                       "AND \"SIFRA_ARTIKLA\" = ?)");
            values << keys[i].warehouse << keys[i].year << keys[i].lot << keys[i].article;
            m_known[KeyOf(keys[i])] = std::nullopt;
        }
        Statement rows = m_db.Prepare(sql + m_lock);
        rows.Exec(values);
        while (rows.Next()) {
            Lot lot;
            lot.key = {rows.Int(0), rows.Int(1), rows.Int(2), rows.Int(3)};
            lot.quantity = rows.Double(4);
            lot.freeQuantity = rows.Double(5);
            lot.costPrice = rows.Double(6);
            lot.sellingPrice = rows.Double(7);
            if (!rows.IsNull(8)) {
                lot.retailMargin = rows.Double(8);
            }
            m_known[KeyOf(lot.key)] = lot;
        }
    }
}

void LotTable::DeferWrites() {
    m_deferred = m_batched;
}

void LotTable::Flush() {
    if (m_dirty.empty()) {
        return;
    }
    std::vector<Lot> lots;
    for (const auto& [key, lot] : m_dirty) {
        lots.push_back(lot);
    }
    m_dirty.clear();
    // One UPDATE per chunk, the new values joined by the lot's key. Every value is cast: a
    // server types a list of bare parameters as text.
    constexpr size_t kChunk = 200;
    for (size_t from = 0; from < lots.size(); from += kChunk) {
        const size_t to = std::min(lots.size(), from + kChunk);
        QString rows;
        QVariantList values;
        for (size_t i = from; i < to; ++i) {
            const Lot& lot = lots[i];
            rows += (i == from ? QString() : QStringLiteral(", ")) +
                    QStringLiteral(
                        "(CAST(? AS INTEGER), CAST(? AS INTEGER), CAST(? AS INTEGER), "
                        "CAST(? AS INTEGER), CAST(? AS DOUBLE PRECISION), CAST(? AS "
                        "DOUBLE PRECISION), CAST(? AS DOUBLE PRECISION), CAST(? AS "
                        "DOUBLE PRECISION), CAST(? AS DOUBLE PRECISION))");
            values << lot.key.warehouse << lot.key.year << lot.key.lot << lot.key.article
                   << lot.quantity << lot.freeQuantity << lot.costPrice << lot.sellingPrice
                   << (lot.retailMargin ? QVariant(*lot.retailMargin) : QVariant());
        }
        m_db.Exec(
            QStringLiteral(
                "UPDATE \"NABAVE\" SET \"KOLICINA\" = v.column5, \"KOLICINA_PRIVREMENO\" = "
                "v.column6, \"NABAVNA CIJENA\" = v.column7, \"VELEPRODAJNA CIJENA\" = "
                "v.column8, \"MALOPRODAJNA_MARZA\" = v.column9 FROM (VALUES ") +
                rows +
                QStringLiteral(") AS v WHERE \"NABAVE\".\"SKLADISTE\" = v.column1 AND "
                               "\"NABAVE\".\"GODINA\" = v.column2 AND \"NABAVE\".\"BROJ_PRIMKE\" = "
                               "v.column3 AND \"NABAVE\".\"SIFRA_ARTIKLA\" = v.column4"),
            values);
    }
}

std::optional<Lot> LotTable::Find(const LotKey& key) {
    if (const auto known = m_known.find(KeyOf(key)); known != m_known.end()) {
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
    return lot;
}

void LotTable::Insert(const Lot& lot) {
    if (m_known.count(KeyOf(lot.key))) {
        m_known[KeyOf(lot.key)] = lot;
    }
    BindValues(m_insert, lot);
    BindKey(m_insert, 5, lot.key);
    Run(m_insert);
}

void LotTable::Update(const Lot& lot) {
    if (m_deferred) {
        m_known[KeyOf(lot.key)] = lot;
        m_dirty[KeyOf(lot.key)] = lot;
        return;
    }
    if (m_known.count(KeyOf(lot.key))) {
        m_known[KeyOf(lot.key)] = lot;
    }
    BindValues(m_update, lot);
    BindKey(m_update, 5, lot.key);
    Run(m_update);
}

void LotTable::Delete(const LotKey& key) {
    if (m_dirty.erase(KeyOf(key)) > 0 || m_known.count(KeyOf(key))) {
        m_known[KeyOf(key)] = std::nullopt;
    }
    BindKey(m_remove, 0, key);
    Run(m_remove);
}

}  // namespace zodra::stock
