#include "stock/support/StockChecks.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cmath>

#include "data/Database.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"

namespace zodra::test {

namespace {
// Costs are compared to 1e-9 of a unit: far below a cent, far above the last bit of a double.
constexpr double kCostTolerance = 1e-9;
}  // namespace

void ExpectPooledLotFollowsReplay(Database& db, int warehouse, int year, int article) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"KOLIČINA ULAZ\", "
        "\"KOLIČINA IZLAZ\", \"NABAVNA CIJENA\" FROM \"KARTICA_ARTIKLA\" WHERE \"SKLADISTE\" = ? "
        "AND \"GODINA\" = ? AND \"ARTIKAL\" = ? AND \"BROJ_PRIMKE\" = 0 ORDER BY \"RBR\""));
    rows.Exec({warehouse, year, article});
    double q = 0;
    double c = 0;
    bool priced = false;
    int movements = 0;
    while (rows.Next()) {
        ++movements;
        const QString type = rows.Text(1);
        const double in = rows.Double(3);
        const double out = rows.Double(4);
        const double cost = rows.Double(5);
        if (type == QLatin1String("IZMJENA CIJENA") ||
            type == QStringLiteral("STORNO IZMJENE CIJENA")) {
            continue;
        }
        const bool ownCost =
            type == QLatin1String("PRIMKA") || type.startsWith(QLatin1String("STORNO "));
        if (ownCost) {
            const double quantity = in - out;
            if (!priced) {
                c = cost;
                priced = true;
            }
            if (RoundQuantity(q + quantity) != 0) {
                c = (q * c + quantity * cost) / (q + quantity);
            }
            q = RoundQuantity(q + quantity);
            continue;
        }
        if (priced) {
            EXPECT_NEAR(cost, c, kCostTolerance)
                << type.toStdString() << " " << rows.Int(2) << " at position " << rows.Int(0)
                << " of article " << article;
        }
        q = RoundQuantity(q + in - out);
    }
    const std::optional<stock::Lot> lot =
        stock::FindLot(db, {warehouse, year, stock::kPooledLot, article});
    if (movements == 0) {
        EXPECT_FALSE(lot.has_value()) << "a pooled lot without movements, article " << article;
        return;
    }
    ASSERT_TRUE(lot.has_value()) << "no pooled lot for article " << article;
    EXPECT_EQ(lot->quantity, q) << "article " << article;
    if (priced) {
        EXPECT_NEAR(lot->costPrice, c, kCostTolerance) << "article " << article;
    }
}

void ExpectBooksAgree(Database& db, int warehouse, int year) {
    for (const stock::StockDifference& d : stock::StockDifferences(db, warehouse, year)) {
        ADD_FAILURE() << "article " << d.article << ": lots " << d.lotQuantity << " / "
                      << d.lotCostValue << " / " << d.lotSellingValue << ", card " << d.cardQuantity
                      << " / " << d.cardCostValue << " / " << d.cardSellingValue;
    }
    Statement book = db.Prepare(QStringLiteral(
        "SELECT \"RBR\", \"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"STANJE_ROBE\" FROM "
        "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? ORDER BY "
        "\"RBR\""));
    book.Exec({warehouse, year});
    double balance = 0;
    while (book.Next()) {
        balance += book.Double(1) - book.Double(2);
        EXPECT_NEAR(book.Double(3), balance, 1e-6) << "entry " << book.Int(0);
    }
    const double lots = sqlvalue::ToDouble(
        db.Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\" * \"VELEPRODAJNA CIJENA\") FROM "
                                 "\"NABAVE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ?"),
                  {warehouse, year}));
    // A document's entry is the sum of its lines' values rounded to the cent, while the lots
    // keep unrounded prices: each movement may move the book half a cent away from the lots.
    const int movements = sqlvalue::ToInt(
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"KARTICA_ARTIKLA\" WHERE \"SKLADISTE\" = ? "
                                 "AND \"GODINA\" = ?"),
                  {warehouse, year}));
    EXPECT_NEAR(balance, lots, 0.005 * std::max(movements, 1) + 1e-6)
        << "trade book against the lots at selling value";
}

stock::Lot LotOf(Database& db, int warehouse, int year, int lot, int article) {
    const std::optional<stock::Lot> found = stock::FindLot(db, {warehouse, year, lot, article});
    EXPECT_TRUE(found.has_value()) << "no lot " << lot << " of article " << article;
    return found.value_or(stock::Lot{});
}

bool LotExists(Database& db, int warehouse, int year, int lot, int article) {
    return stock::FindLot(db, {warehouse, year, lot, article}).has_value();
}

double LineCost(Database& db, const QString& lineTable, const QString& numberColumn,
                const QString& articleColumn, int warehouse, int year, int number, int article) {
    return sqlvalue::ToDouble(db.Scalar(
        QStringLiteral("SELECT \"NABAVNA_CIJENA\" FROM \"") + lineTable +
            QStringLiteral("\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"") + numberColumn +
            QStringLiteral("\" = ? AND \"") + articleColumn + QStringLiteral("\" = ?"),
        {warehouse, year, number, article}));
}

}  // namespace zodra::test
