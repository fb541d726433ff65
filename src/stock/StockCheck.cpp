#include "stock/StockCheck.h"

#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"

namespace zodra::stock {

namespace {
constexpr double kTolerance = 0.004;
}

QString CostDifferenceMessage() {
    return QStringLiteral(
        "S ovom promjenom pojavila bi se razlika stanja skladišta i kartica artikala u nabavnoj "
        "vrijednosti.");
}

QString SellingDifferenceMessage() {
    return QStringLiteral(
        "S ovom promjenom pojavila bi se razlika stanja skladišta i kartica artikala u prodajnoj "
        "vrijednosti.");
}

void CheckStockAgainstCard(Database& db, int warehouse, int year) {
    Statement sums = db.Prepare(QStringLiteral(
        "SELECT SUM(\"NabaveNIznos\"), SUM(\"KarticaNIznos\"), SUM(\"NabaveIznos\"), "
        "SUM(\"KarticaIznos\") FROM \"3Provjera\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ?"));
    sums.Exec({warehouse, year});
    if (!sums.Next()) {
        return;
    }
    if (std::fabs(sums.Double(0) - sums.Double(1)) > kTolerance) {
        throw UserError(CostDifferenceMessage());
    }
    if (std::fabs(sums.Double(2) - sums.Double(3)) > kTolerance) {
        throw UserError(SellingDifferenceMessage());
    }
}

void CheckStockAgainstCard(Session& session, const std::vector<int>& alsoWarehouses) {
    if (!session.workstation.debugMode) {
        return;
    }
    CheckStockAgainstCard(session.Db(), session.activeWarehouse.code, session.businessYear);
    for (int warehouse : alsoWarehouses) {
        if (warehouse != session.activeWarehouse.code) {
            CheckStockAgainstCard(session.Db(), warehouse, session.businessYear);
        }
    }
}

std::vector<StockDifference> StockDifferences(Database& db, std::optional<int> warehouse,
                                              std::optional<int> year) {
    QString where;
    QVariantList params;
    if (warehouse) {
        where += QStringLiteral(" AND \"SKLADISTE\" = ?");
        params << *warehouse;
    }
    if (year) {
        where += QStringLiteral(" AND \"GODINA\" = ?");
        params << *year;
    }
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"SKLADISTE\", \"GODINA\", \"ARTIKAL\", SUM(\"NabaveKolicina\"), "
                       "SUM(\"KarticaKolicina\"), SUM(\"NabaveNIznos\"), SUM(\"KarticaNIznos\"), "
                       "SUM(\"NabaveIznos\"), SUM(\"KarticaIznos\") FROM \"3Provjera\" WHERE 1 = "
                       "1") +
        where +
        QStringLiteral(" GROUP BY \"SKLADISTE\", \"GODINA\", \"ARTIKAL\" ORDER BY \"SKLADISTE\", "
                       "\"GODINA\", \"ARTIKAL\""));
    rows.Exec(params);
    std::vector<StockDifference> differences;
    while (rows.Next()) {
        StockDifference d;
        d.warehouse = rows.Int(0);
        d.year = rows.Int(1);
        d.article = rows.Int(2);
        d.lotQuantity = rows.Double(3);
        d.cardQuantity = rows.Double(4);
        d.lotCostValue = rows.Double(5);
        d.cardCostValue = rows.Double(6);
        d.lotSellingValue = rows.Double(7);
        d.cardSellingValue = rows.Double(8);
        if (!QuantitiesEqual(d.lotQuantity, d.cardQuantity) ||
            std::fabs(d.lotCostValue - d.cardCostValue) > kTolerance ||
            std::fabs(d.lotSellingValue - d.cardSellingValue) > kTolerance) {
            differences.push_back(d);
        }
    }
    return differences;
}

}  // namespace zodra::stock
