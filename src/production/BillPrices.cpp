#include "production/BillPrices.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "registers/Articles.h"
#include "registers/BillsOfMaterials.h"
#include "stock/Lots.h"

namespace zodra::production {

namespace bom = registers::billsofmaterials;

namespace {

double PartCost(Session& session, const bom::Part& part) {
    Database& db = session.Db();
    const int warehouse = session.activeWarehouse.code;
    const int year = session.businessYear;
    if (part.lot != 0) {
        if (const auto lot = stock::FindLot(db, {warehouse, year, part.lot, part.article})) {
            return lot->costPrice;
        }
    }
    Statement sums = db.Prepare(QStringLiteral(
        "SELECT SUM(\"KOLICINA\" * \"NABAVNA CIJENA\"), SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
        "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"SIFRA_ARTIKLA\" = ? AND \"KOLICINA\" > 0"));
    sums.Exec({warehouse, year, part.article});
    if (sums.Next() && sums.Double(1) > 0) {
        return sums.Double(0) / sums.Double(1);
    }
    return registers::articles::Info(db, part.article, warehouse, year).purchasePrice;
}

}  // namespace

BillPrices PricesOf(Session& session, int bill) {
    Database& db = session.Db();
    BillPrices prices;
    for (const bom::Part& part : bom::Parts(db, bill)) {
        prices.materialPrice += part.quantity * PartCost(session, part);
    }
    int product = 0;
    for (const bom::Bill& b : bom::List(db)) {
        if (b.code == bill) {
            product = b.product;
        }
    }
    if (product != 0) {
        const registers::articles::Information info = registers::articles::Info(
            db, product, session.activeWarehouse.code, session.businessYear);
        prices.sellingPrice = info.wholesalePrice;
        prices.sellingPriceWithTax = info.wholesalePriceWithTax;
        prices.taxRate = info.taxRate;
    }
    return prices;
}

double WithTax(double price, double taxRate) {
    return price * (1.0 + taxRate / 100.0);
}

double WithoutTax(double priceWithTax, double taxRate) {
    return priceWithTax / (1.0 + taxRate / 100.0);
}

void CheckPartLot(Session& session, int article, int lot) {
    if (lot == 0) {
        return;
    }
    if (!stock::FindLot(session.Db(),
                        {session.activeWarehouse.code, session.businessYear, lot, article})) {
        throw UserError(QStringLiteral("Primka broj ") + QString::number(lot) +
                        QStringLiteral(" nema artikla ") +
                        stock::ArticleName(session.Db(), article) +
                        QStringLiteral(" na ovom skladištu."));
    }
}

}  // namespace zodra::production
