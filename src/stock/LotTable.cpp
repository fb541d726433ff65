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

void BindKey(SqliteStatement& s, int from, const LotKey& key) {
    s.Bind(from, key.warehouse);
    s.Bind(from + 1, key.year);
    s.Bind(from + 2, key.lot);
    s.Bind(from + 3, key.article);
}

void BindKey(Statement& s, int from, const LotKey& key) {
    s.Bind(from, key.warehouse).Bind(from + 1, key.year).Bind(from + 2, key.lot);
    s.Bind(from + 3, key.article);
}

// Quantity, free quantity, prices and margin: the first five values of insert and update.
void BindValues(SqliteStatement& s, const Lot& lot) {
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

void BindValues(Statement& s, const Lot& lot) {
    s.Bind(0, lot.quantity).Bind(1, lot.freeQuantity).Bind(2, lot.costPrice);
    s.Bind(3, lot.sellingPrice);
    s.Bind(4, lot.retailMargin ? QVariant(*lot.retailMargin) : QVariant());
}

void Run(SqliteStatement& s) {
    s.Step();
    s.Reset();
}

void Run(Statement& s) {
    s.Exec();
}

bool FirstRow(SqliteStatement& s) {
    return s.Step();
}

bool FirstRow(Statement& s) {
    s.Exec();
    return s.Next();
}

void Done(SqliteStatement& s) {
    s.Reset();
}

void Done(Statement& s) {
    s.Finish();
}

}  // namespace

template <typename S, typename Connection>
LotTable::Statements<S> LotTable::Prepare(Connection& connection) {
    Statements<S> s;
    s.find = std::make_unique<S>(connection, kFind);
    s.insert = std::make_unique<S>(connection, kInsert);
    s.update = std::make_unique<S>(connection, kUpdate);
    s.remove = std::make_unique<S>(connection, kDelete);
    return s;
}

LotTable::LotTable(Database& db) : m_db(db) {
    if (sqlite3* handle = SqliteStatement::Handle(db)) {
        m_fast = Prepare<SqliteStatement>(handle);
    } else {
        m_generic = Prepare<Statement>(db);
    }
}

template <typename S>
std::optional<Lot> LotTable::Find(S& find, const LotKey& key) {
    BindKey(find, 0, key);
    if (!FirstRow(find)) {
        Done(find);
        return std::nullopt;
    }
    Lot lot;
    lot.key = key;
    lot.quantity = find.Double(0);
    lot.freeQuantity = find.Double(1);
    lot.costPrice = find.Double(2);
    lot.sellingPrice = find.Double(3);
    if (!find.IsNull(4)) {
        lot.retailMargin = find.Double(4);
    }
    Done(find);
    return lot;
}

std::optional<Lot> LotTable::Find(const LotKey& key) {
    return m_fast.find ? Find(*m_fast.find, key) : Find(*m_generic.find, key);
}

void LotTable::Insert(const Lot& lot) {
    auto write = [&](auto& s) {
        BindValues(s, lot);
        BindKey(s, 5, lot.key);
        Run(s);
    };
    m_fast.insert ? write(*m_fast.insert) : write(*m_generic.insert);
}

void LotTable::Update(const Lot& lot) {
    auto write = [&](auto& s) {
        BindValues(s, lot);
        BindKey(s, 5, lot.key);
        Run(s);
    };
    m_fast.update ? write(*m_fast.update) : write(*m_generic.update);
}

void LotTable::Delete(const LotKey& key) {
    auto write = [&](auto& s) {
        BindKey(s, 0, key);
        Run(s);
    };
    m_fast.remove ? write(*m_fast.remove) : write(*m_generic.remove);
}

}  // namespace zodra::stock
