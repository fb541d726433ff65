#include "stock/Lots.h"

#include <algorithm>
#include <map>
#include <tuple>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "stock/LotTable.h"

namespace zodra::stock {

namespace {

// Working copies whose lines take goods from a lot and so hold its free quantity while the
// document is being drawn up. The return note's lines put goods back and hold nothing; stock
// counts and price changes only read their lots.
struct Holding {
    const char16_t* table;
    const char16_t* articleColumn;
    bool articleLinesByKind;  // the table also holds service and packaging lines
};

constexpr Holding kHoldings[] = {
    {u"STAVKE_RACUNA_PRIVREMENO", u"SIFRA", true},
    {u"STAVKE_MEDUSKLADISNICA_PRIVREMENO", u"SIFRA_ARTIKLA", false},
    {u"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE_PRIVREMENO", u"SIFRA_ARTIKLA", false},
    {u"STAVKE_RASHODA_PRIVREMENO", u"SIFRA_ARTIKLA", false},
    {u"STAVKE_ODJAVA_PRIVREMENO", u"SIFRA_ARTIKLA", false},
    {u"STAVKE_IZDATNICA_PRIVREMENO", u"SIFRA_ARTIKLA", false},
    {u"STAVKE_POVRATNICA_DOBAVLJACIMA_PRIVREMENO", u"SIFRA_ARTIKLA", false},
    {u"STAVKE_SPECIFIKACIJA_PRIVREMENO", u"SIFRA_ARTIKLA", false},
    {u"STAVKE_RADNIH_NALOGA_PRIVREMENO", u"SIFRA_ARTIKLA", false},
    {u"STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO", u"SIFRA_ARTIKLA", false},
};

QString Q(const char16_t* identifier) {
    return QLatin1Char('"') + QString::fromUtf16(identifier) + QLatin1Char('"');
}

// Only rows of sessions that are still open hold anything.
QString OpenSessionFilter() {
    return QStringLiteral(
        " \"Multiuser_sifra\" IN (SELECT \"SIFRA\" FROM \"Multiuser\") AND \"BROJ_PRIMKE\" IS "
        "NOT NULL");
}

void WriteLot(Database& db, const LotKey& key, const QString& assignments,
              const QVariantList& values) {
    QVariantList params = values;
    params << key.warehouse << key.year << key.lot << key.article;
    db.Exec(QStringLiteral("UPDATE \"NABAVE\" SET ") + assignments +
                QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                               "\"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
            params);
}

Lot ExistingLot(Database& db, const LotKey& key) {
    std::optional<Lot> lot = FindLot(db, key);
    if (!lot) {
        throw UserError(MissingLotMessage(ArticleName(db, key.article)));
    }
    return *lot;
}

}  // namespace

QString MissingLotMessage(const QString& articleName) {
    return QStringLiteral("Napravljen je storno primke po kojoj je ušao artikal ") + articleName;
}

QString InsufficientQuantityMessage(const QString& articleName) {
    return QStringLiteral("Nedovoljna količina artikla ") + articleName;
}

QString ChangedPriceMessage(const QString& articleName) {
    return QStringLiteral("Promijenjena je cijena artikla ") + articleName;
}

double ArticleStock(Database& db, int warehouse, int year, int article) {
    const QVariant sum = db.Scalar(
        QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND "
                       "\"GODINA\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
        {warehouse, year, article});
    return RoundQuantity(sqlvalue::ToDouble(sum));
}

double ArticleStock(Session& session, int warehouse, std::optional<int> article) {
    if (!article) {
        return 0;
    }
    return ArticleStock(session.Db(), warehouse, session.businessYear, *article);
}

double HeldByWorkingCopies(Database& db, const LotKey& key) {
    double held = 0;
    for (const Holding& h : kHoldings) {
        held += sqlvalue::ToDouble(db.Scalar(
            QStringLiteral("SELECT SUM(\"KOLICINA\") FROM ") + Q(h.table) +
                QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = "
                               "? AND ") +
                Q(h.articleColumn) + QStringLiteral(" = ? AND") + OpenSessionFilter() +
                (h.articleLinesByKind ? QStringLiteral(" AND \"TIP_STAVKE\" = 'ART'") : QString()),
            {key.warehouse, key.year, key.lot, key.article}));
    }
    return RoundQuantity(held);
}

std::optional<HoldingTable> HoldingOf(const QString& workingTable) {
    for (const Holding& h : kHoldings) {
        if (workingTable == QString::fromUtf16(h.table)) {
            return HoldingTable{workingTable, QString::fromUtf16(h.articleColumn),
                                h.articleLinesByKind};
        }
    }
    return std::nullopt;
}

void ResetFreeQuantities(Database& db) {
    Transaction transaction(db);
    // Line entry reserves under the lot's row lock, not the company's: no reservation may come
    // between reading what the working copies hold and writing it.
    if (const QString lock = sqldialect::TableWriteLock(db.Dialect(), QStringLiteral("\"NABAVE\""));
        !lock.isEmpty()) {
        db.ExecRaw(lock);
    }
    db.Exec(
        QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA_PRIVREMENO\" = \"KOLICINA\" WHERE "
                       "\"KOLICINA_PRIVREMENO\" <> \"KOLICINA\""));
    // What the open working copies hold, per lot. Working copies are small: they hold the lines
    // of the documents being drawn up right now.
    std::map<std::tuple<int, int, int, int>, double> held;
    for (const Holding& h : kHoldings) {
        Statement rows = db.Prepare(
            QStringLiteral("SELECT \"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", ") +
            Q(h.articleColumn) + QStringLiteral(", SUM(\"KOLICINA\") FROM ") + Q(h.table) +
            QStringLiteral(" WHERE") + OpenSessionFilter() +
            (h.articleLinesByKind ? QStringLiteral(" AND \"TIP_STAVKE\" = 'ART'") : QString()) +
            QStringLiteral(" GROUP BY \"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", ") +
            Q(h.articleColumn));
        rows.Exec();
        while (rows.Next()) {
            held[{rows.Int(0), rows.Int(1), rows.Int(2), rows.Int(3)}] += rows.Double(4);
        }
    }
    for (const auto& [k, quantity] : held) {
        const LotKey key{std::get<0>(k), std::get<1>(k), std::get<2>(k), std::get<3>(k)};
        if (std::optional<Lot> lot = FindLot(db, key)) {
            WriteLot(db, key, QStringLiteral("\"KOLICINA_PRIVREMENO\" = ?"),
                     {RoundQuantity(lot->quantity - quantity)});
        }
    }
    transaction.Commit();
}

std::vector<int> ListLots(Database& db, int warehouse, int year, int article, bool onlyWithStock) {
    Statement rows = db.Prepare(
        QStringLiteral("SELECT DISTINCT \"BROJ_PRIMKE\" FROM \"NABAVE\" WHERE \"SIFRA_ARTIKLA\" "
                       "= ? AND \"SKLADISTE\" = ? AND \"GODINA\" = ?") +
        (onlyWithStock ? QStringLiteral(" AND \"KOLICINA\" <> 0") : QString()) +
        QStringLiteral(" ORDER BY \"BROJ_PRIMKE\""));
    rows.Exec({article, warehouse, year});
    std::vector<int> lots;
    while (rows.Next()) {
        lots.push_back(rows.Int(0));
    }
    return lots;
}

std::optional<int> DefaultLot(Database& db, int warehouse, int year, int article, double wanted) {
    // A lot below zero (a FIFO cancellation receipt, an over-issued pooled lot) has no stock to
    // give, so it is never the default. Among the others the free quantity decides: what open
    // documents of every workstation hold on a lot is not there to be taken. The oldest lot
    // whose free quantity covers the line comes first, then the oldest with anything free, then
    // the oldest with stock (its line is refused or cut as before: nothing is free anywhere).
    const double covers = std::max(RoundQuantity(wanted), 0.0);
    const QVariant lot = db.Scalar(
        QStringLiteral("SELECT \"BROJ_PRIMKE\" FROM \"NABAVE\" WHERE \"SIFRA_ARTIKLA\" = ? AND "
                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"KOLICINA\" > 0 ORDER BY CASE "
                       "WHEN ROUND(\"KOLICINA_PRIVREMENO\", 10) <= 0 THEN 2 WHEN "
                       "ROUND(\"KOLICINA_PRIVREMENO\", 10) >= ? THEN 0 ELSE 1 END, "
                       "\"BROJ_PRIMKE\" LIMIT 1"),
        {article, warehouse, year, covers});
    if (lot.isNull() || !lot.isValid()) {
        return std::nullopt;
    }
    return lot.toInt();
}

std::optional<Lot> LockedDefaultLot(Database& db, int warehouse, int year, int article,
                                    double wanted) {
    const double covers = std::max(RoundQuantity(wanted), 0.0);
    std::optional<int> previous;
    std::optional<Lot> last;
    // A few rounds at most: each one finds a lot another workstation has just filled.
    for (int round = 0; round < 8; ++round) {
        const std::optional<int> number = DefaultLot(db, warehouse, year, article, covers);
        if (!number) {
            return std::nullopt;
        }
        std::optional<Lot> lot = FindLot(db, {warehouse, year, *number, article});
        if (lot && (number == previous || (RoundQuantity(lot->freeQuantity) > 0 &&
                                           RoundQuantity(lot->freeQuantity - covers) >= 0))) {
            return lot;
        }
        previous = number;
        if (lot) {
            last = lot;
        }
    }
    return last;
}

std::optional<Lot> FindLot(Database& db, const LotKey& key) {
    Statement row = db.Prepare(
        QStringLiteral(
            "SELECT \"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", \"VELEPRODAJNA "
            "CIJENA\", \"MALOPRODAJNA_MARZA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND "
            "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?") +
        (db.TransactionDepth() > 0 ? sqldialect::RowLock(db.Dialect()) : QString()));
    row.Exec({key.warehouse, key.year, key.lot, key.article});
    if (!row.Next()) {
        return std::nullopt;
    }
    Lot lot;
    lot.key = key;
    lot.quantity = row.Double(0);
    lot.freeQuantity = row.Double(1);
    lot.costPrice = row.Double(2);
    lot.sellingPrice = row.Double(3);
    if (!row.IsNull(4)) {
        lot.retailMargin = row.Double(4);
    }
    return lot;
}

QString ArticleName(Database& db, int article) {
    return sqlvalue::ToText(db.Scalar(
        QStringLiteral("SELECT \"NAZIV\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {article}));
}

void ReserveFromLot(Database& db, const LotKey& key, double quantity) {
    const Lot lot = ExistingLot(db, key);
    WriteLot(db, key, QStringLiteral("\"KOLICINA_PRIVREMENO\" = ?"),
             {RoundQuantity(lot.freeQuantity - quantity)});
}

void ReleaseToLot(Database& db, const LotKey& key, double quantity) {
    if (std::optional<Lot> lot = FindLot(db, key)) {
        WriteLot(db, key, QStringLiteral("\"KOLICINA_PRIVREMENO\" = ?"),
                 {RoundQuantity(lot->freeQuantity + quantity)});
    }
}

void TakeFromLot(Database& db, const LotKey& key, double quantity) {
    const Lot lot = ExistingLot(db, key);
    WriteLot(db, key, QStringLiteral("\"KOLICINA\" = ?"), {RoundQuantity(lot.quantity - quantity)});
}

void ReturnToLot(Database& db, const LotKey& key, double quantity) {
    const Lot lot = ExistingLot(db, key);
    WriteLot(db, key, QStringLiteral("\"KOLICINA\" = ?, \"KOLICINA_PRIVREMENO\" = ?"),
             {RoundQuantity(lot.quantity + quantity), RoundQuantity(lot.freeQuantity + quantity)});
}

void SetSellingPrice(Database& db, const LotKey& key, double price) {
    ExistingLot(db, key);
    WriteLot(db, key, QStringLiteral("\"VELEPRODAJNA CIJENA\" = ?"), {price});
}

void ReturnToLotAtCost(Database& db, const LotKey& key, double quantity, double cost) {
    const Lot lot = ExistingLot(db, key);
    double costPrice = lot.costPrice;
    if (!QuantityIsZero(lot.quantity + quantity)) {
        costPrice = (lot.quantity * lot.costPrice + quantity * cost) / (lot.quantity + quantity);
    }
    WriteLot(
        db, key,
        QStringLiteral("\"KOLICINA\" = ?, \"KOLICINA_PRIVREMENO\" = ?, \"NABAVNA CIJENA\" = ?"),
        {RoundQuantity(lot.quantity + quantity), RoundQuantity(lot.freeQuantity + quantity),
         costPrice});
}

namespace {

// The checks of an issue on the lot as it stands; returns the lot's quantity after the take.
double CheckedRemainder(Database& db, const Lot& lot, double quantity,
                        std::optional<double> expectedSellingPrice) {
    const double left = RoundQuantity(lot.quantity - quantity);
    if (left < 0) {
        throw UserError(InsufficientQuantityMessage(ArticleName(db, lot.key.article)));
    }
    if (expectedSellingPrice &&
        RoundQuantity(lot.sellingPrice) != RoundQuantity(*expectedSellingPrice)) {
        throw UserError(ChangedPriceMessage(ArticleName(db, lot.key.article)));
    }
    return left;
}

}  // namespace

Lot TakeFromLotChecked(Database& db, const LotKey& key, double quantity,
                       std::optional<double> expectedSellingPrice) {
    const Lot lot = ExistingLot(db, key);
    const double left = CheckedRemainder(db, lot, quantity, expectedSellingPrice);
    WriteLot(db, key, QStringLiteral("\"KOLICINA\" = ?"), {left});
    return lot;
}

Lot TakeFromLotChecked(LotTable& lots, const LotKey& key, double quantity,
                       std::optional<double> expectedSellingPrice) {
    const std::optional<Lot> found = lots.Find(key);
    if (!found) {
        throw UserError(MissingLotMessage(ArticleName(lots.Db(), key.article)));
    }
    Lot after = *found;
    after.quantity = CheckedRemainder(lots.Db(), *found, quantity, expectedSellingPrice);
    lots.Update(after);
    return *found;
}

}  // namespace zodra::stock
