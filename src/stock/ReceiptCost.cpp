#include "stock/ReceiptCost.h"

#include <vector>

#include "data/Database.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "stock/CostCascade.h"
#include "stock/CostFamilies.h"
#include "stock/CostWriter.h"
#include "stock/Lots.h"
#include "stock/ReceiptLots.h"

namespace zodra::stock {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// Destination receipt lines of an article (optionally of one line number) take a new cost:
// invoice price and net invoice price are the cost (a generated receipt has no discount or
// dependent costs), with the values and the margin that follow from it.
void SetReceiptLineCost(Database& db, const ReceiptKey& receipt, int article,
                        std::optional<int> lineNumber, double cost) {
    QVariantList params;
    for (int i = 0; i < 10; ++i) {
        params << cost;
    }
    params << receipt.warehouse << receipt.year << receipt.number << article;
    if (lineNumber) {
        params << *lineNumber;
    }
    db.Exec(QStringLiteral(
                "UPDATE \"STAVKE_PRIMKI\" SET \"FAKTURNA_CIJENA\" = ?, \"FAKTURNA_VRIJEDNOST\" = "
                "\"KOLICINA\" * ?, \"NETTO_FAKTURNA_CIJENA\" = ?, \"NETTO_FAKTURNA_VRIJEDNOST\" = "
                "\"KOLICINA\" * ?, \"NABAVNA_CIJENA\" = ?, \"NABAVNA_VRIJEDNOST\" = \"KOLICINA\" "
                "* ?, \"RUC_IZNOS\" = \"VRIJEDNOST\" - \"KOLICINA\" * ?, \"RUC_%\" = CASE WHEN "
                "\"KOLICINA\" * ? <> 0 THEN (\"VRIJEDNOST\" - \"KOLICINA\" * ?) / (\"KOLICINA\" * "
                "?) * 100 ELSE \"RUC_%\" END WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                "\"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART' AND \"SIFRA\" = ?") +
                (lineNumber ? QStringLiteral(" AND \"RBR_STAVKE\" = ?") : QString()),
            params);
}

}  // namespace

void ApplyReceiptCostChange(Database& db, const ReceiptKey& receipt, int article) {
    detail::ApplyReceiptCostChange(db, receipt, article, 0);
}

void detail::ApplyReceiptCostChange(Database& db, const ReceiptKey& receipt, int article,
                                    int depth) {
    CheckDepth(depth);
    Transaction transaction(db);
    const std::optional<ReceiptHeader> header = ReadReceiptHeader(db, receipt);
    if (!header) {
        transaction.Commit();
        return;
    }
    if (header->method != StockMethod::Fifo) {
        RecomputeAverageCost(db, receipt.warehouse, receipt.year, article,
                             header->tradeBookPosition, depth + 1);
        transaction.Commit();
        return;
    }
    const LotKey key{receipt.warehouse, receipt.year, receipt.number, article};
    std::optional<Lot> lot = FindLot(db, key);
    if (!lot) {
        transaction.Commit();
        return;
    }
    Statement sums = db.Prepare(QStringLiteral(
        "SELECT SUM(\"KOLICINA\" * \"NABAVNA_CIJENA\"), SUM(\"KOLICINA\") FROM "
        "\"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND "
        "\"TIP_STAVKE\" = 'ART' AND \"SIFRA\" = ?"));
    sums.Exec({receipt.warehouse, receipt.year, receipt.number, article});
    if (!sums.Next() || QuantityIsZero(sums.Double(1))) {
        transaction.Commit();
        return;
    }
    const double cost = sums.Double(0) / sums.Double(1);
    sums.Finish();
    db.Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"NABAVNA CIJENA\" = ? WHERE \"SKLADISTE\" = ? "
                           "AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
            {cost, receipt.warehouse, receipt.year, receipt.number, article});
    CostWriter writer(db);
    for (const CostFamily& family : CostFamilies()) {
        if (!family.generatesReceipt) {
            writer.SetLotCost(family, receipt.warehouse, receipt.year, article, receipt.number,
                              cost);
            continue;
        }
        std::vector<int> documents;
        {
            Statement rows = db.Prepare(
                QStringLiteral("SELECT DISTINCT ") + Q(family.lineNumber) +
                QStringLiteral(" FROM ") + Q(family.lineTable) +
                QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND ") +
                Q(family.articleColumn) + QStringLiteral(" = ? AND \"BROJ_PRIMKE\" = ?"));
            rows.Exec({receipt.warehouse, receipt.year, article, receipt.number});
            while (rows.Next()) {
                documents.push_back(rows.Int(0));
            }
        }
        for (int number : documents) {
            writer.SetDocumentCost(family, receipt.warehouse, receipt.year, 0, number, article,
                                   receipt.number, cost);
            FollowTransferDestination(db, family, receipt.warehouse, receipt.year, number, article,
                                      depth + 1);
        }
    }
    transaction.Commit();
}

void detail::FollowTransferDestination(Database& db, const CostFamily& family, int warehouse,
                                       int year, int number, int article, int depth) {
    Statement header = db.Prepare(QStringLiteral("SELECT \"ODREDISNO_SKLADISTE\", "
                                                 "\"BROJ_ODREDISNE_PRIMKE\" FROM ") +
                                  Q(family.headerTable) +
                                  QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? "
                                                 "AND ") +
                                  Q(family.headerNumber) + QStringLiteral(" = ?"));
    header.Exec({warehouse, year, number});
    if (!header.Next() || header.IsNull(0) || header.IsNull(1)) {
        return;
    }
    const ReceiptKey destination{header.Int(0), year, header.Int(1)};
    header.Finish();

    // The destination receipt's lines are the transfer's lines summed per line number (for
    // transfers that number their lines), so each takes the weighted cost of its own group.
    const QString order =
        family.lineOrderColumn.isEmpty() ? QStringLiteral("NULL") : Q(family.lineOrderColumn);
    Statement groups = db.Prepare(
        QStringLiteral("SELECT ") + order +
        QStringLiteral(", SUM(\"KOLICINA\" * \"NABAVNA_CIJENA\"), SUM(\"KOLICINA\") FROM ") +
        Q(family.lineTable) + QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND ") +
        Q(family.lineNumber) + QStringLiteral(" = ? AND ") + Q(family.articleColumn) +
        QStringLiteral(" = ? GROUP BY ") + order);
    groups.Exec({warehouse, year, number, article});
    struct Group {
        std::optional<int> line;
        double value;
        double quantity;
    };
    std::vector<Group> found;
    bool allNumbered = true;
    double value = 0;
    double quantity = 0;
    while (groups.Next()) {
        Group g{std::nullopt, groups.Double(1), groups.Double(2)};
        if (groups.IsNull(0)) {
            allNumbered = false;
        } else {
            g.line = groups.Int(0);
        }
        value += g.value;
        quantity += g.quantity;
        found.push_back(g);
    }
    groups.Finish();
    if (found.empty()) {
        return;
    }
    if (allNumbered) {
        for (const Group& g : found) {
            if (!QuantityIsZero(g.quantity)) {
                SetReceiptLineCost(db, destination, article, g.line, g.value / g.quantity);
            }
        }
    } else if (!QuantityIsZero(quantity)) {
        SetReceiptLineCost(db, destination, article, std::nullopt, value / quantity);
    }
    detail::ApplyReceiptCostChange(db, destination, article, depth);
}

}  // namespace zodra::stock
