#include "stock/LotTable.h"

#include <exception>

#include "data/BoundRows.h"
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

// The key columns of NABAVE against the key columns of bound rows named "v".
const QString kJoinKey = QStringLiteral(
    "\"NABAVE\".\"SKLADISTE\" = \"v\".\"w\" AND \"NABAVE\".\"GODINA\" = \"v\".\"y\" AND "
    "\"NABAVE\".\"BROJ_PRIMKE\" = \"v\".\"l\" AND \"NABAVE\".\"SIFRA_ARTIKLA\" = \"v\".\"a\"");

std::vector<BoundRows::Column> KeyColumns() {
    return {{QStringLiteral("w"), BoundRows::Type::Integer},
            {QStringLiteral("y"), BoundRows::Type::Integer},
            {QStringLiteral("l"), BoundRows::Type::Integer},
            {QStringLiteral("a"), BoundRows::Type::Integer}};
}

std::vector<QVariant> KeyValues(const LotKey& key) {
    return {key.warehouse, key.year, key.lot, key.article};
}

}  // namespace

LotTable::LotTable(Database& db)
    : m_db(db),
      m_find(db,
             kFind + (db.TransactionDepth() > 0 ? sqldialect::RowLock(db.Dialect()) : QString())),
      m_insert(db, kInsert),
      m_update(db, kUpdate),
      m_remove(db, kDelete) {}

LotTable::~LotTable() {
    // Changes left unwritten are a programming error unless a refusal is on its way to the
    // rollback.
    Q_ASSERT(m_changed.empty() || std::uncaught_exceptions() > 0);
}

void LotTable::ReadAll(const std::vector<LotKey>& keys) {
    Q_ASSERT(m_keep);
    BoundRows rows(KeyColumns());
    std::set<LotKey, KeyOrder> asked;
    for (const LotKey& key : keys) {
        if (!m_known.count(key) && asked.insert(key).second) {
            rows.Add(KeyValues(key));
        }
    }
    if (rows.Empty()) {
        return;
    }
    // Locked in key order, whatever order the lines name them in.
    Statement read = m_db.Prepare(
        QStringLiteral("SELECT \"NABAVE\".\"SKLADISTE\", \"NABAVE\".\"GODINA\", "
                       "\"NABAVE\".\"BROJ_PRIMKE\", \"NABAVE\".\"SIFRA_ARTIKLA\", "
                       "\"NABAVE\".\"KOLICINA\", \"NABAVE\".\"KOLICINA_PRIVREMENO\", "
                       "\"NABAVE\".\"NABAVNA CIJENA\", \"NABAVE\".\"VELEPRODAJNA CIJENA\", "
                       "\"NABAVE\".\"MALOPRODAJNA_MARZA\" FROM ") +
        rows.Source(m_db.Dialect(), QStringLiteral("v")) +
        QStringLiteral(" INNER JOIN \"NABAVE\" ON ") + kJoinKey +
        QStringLiteral(" ORDER BY 1, 2, 3, 4") +
        (m_db.TransactionDepth() > 0
             ? sqldialect::RowLockOf(m_db.Dialect(), QStringLiteral("\"NABAVE\""))
             : QString()));
    read.Exec({rows.Value()});
    while (read.Next()) {
        Lot lot;
        lot.key = {read.Int(0), read.Int(1), read.Int(2), read.Int(3)};
        lot.quantity = read.Double(4);
        lot.freeQuantity = read.Double(5);
        lot.costPrice = read.Double(6);
        lot.sellingPrice = read.Double(7);
        if (!read.IsNull(8)) {
            lot.retailMargin = read.Double(8);
        }
        Remember(lot);
    }
    m_db.Checkpoint("lots-read");
}

void LotTable::Flush() {
    if (m_changed.empty()) {
        return;
    }
    BoundRows rows({{QStringLiteral("w"), BoundRows::Type::Integer},
                    {QStringLiteral("y"), BoundRows::Type::Integer},
                    {QStringLiteral("l"), BoundRows::Type::Integer},
                    {QStringLiteral("a"), BoundRows::Type::Integer},
                    {QStringLiteral("q"), BoundRows::Type::Real},
                    {QStringLiteral("f"), BoundRows::Type::Real},
                    {QStringLiteral("c"), BoundRows::Type::Real},
                    {QStringLiteral("p"), BoundRows::Type::Real},
                    {QStringLiteral("m"), BoundRows::Type::Real}});
    for (const LotKey& key : m_changed) {
        const Lot& lot = m_known.at(key);
        std::vector<QVariant> values = KeyValues(key);
        values.insert(values.end(),
                      {lot.quantity, lot.freeQuantity, lot.costPrice, lot.sellingPrice,
                       lot.retailMargin ? QVariant(*lot.retailMargin) : QVariant()});
        rows.Add(values);
    }
    m_db.Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = \"v\".\"q\", "
                             "\"KOLICINA_PRIVREMENO\" = \"v\".\"f\", \"NABAVNA CIJENA\" = "
                             "\"v\".\"c\", \"VELEPRODAJNA CIJENA\" = \"v\".\"p\", "
                             "\"MALOPRODAJNA_MARZA\" = \"v\".\"m\" FROM ") +
                  rows.Source(m_db.Dialect(), QStringLiteral("v")) + QStringLiteral(" WHERE ") +
                  kJoinKey,
              {rows.Value()});
    m_changed.clear();
}

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
    Flush();
    BindValues(m_insert, lot);
    BindKey(m_insert, 5, lot.key);
    Run(m_insert);
    Remember(lot);
}

void LotTable::Update(const Lot& lot) {
    if (m_defer) {
        Remember(lot);
        m_changed.insert(lot.key);
        return;
    }
    BindValues(m_update, lot);
    BindKey(m_update, 5, lot.key);
    Run(m_update);
    Remember(lot);
}

void LotTable::Delete(const LotKey& key) {
    Flush();
    BindKey(m_remove, 0, key);
    Run(m_remove);
    m_known.erase(key);
}

}  // namespace zodra::stock
