#pragma once

#include <gtest/gtest.h>

#include "data/Errors.h"
#include "data/SqlValue.h"
#include "retail/RetailPosting.h"
#include "retail/TillSale.h"
#include "stock/StockTest.h"
#include "support/Refused.h"

namespace zodra::test {

// A register in warehouse 1 (a retail warehouse) of a fresh company, "Debug Mode" on, with an
// article "Kruh" (barcode 3850001000012, tax group 1 at 25 %) received at cost 80.00 and price
// 100.00 with a retail margin of 25 %.
class RetailTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        db().Exec(
            QStringLiteral("UPDATE \"SKLADISTA\" SET \"MALOPRODAJA\" = TRUE WHERE \"SIFRA\" = 1"));
        session->warehouseFlags.retail = true;
        bread = docs->AddArticle(QStringLiteral("Kruh"));
        db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"BARKOD\" = '3850001000012' WHERE "
                                 "\"SIFRA\" = ?"),
                  {bread});
        firstLot = docs->Receipt({{bread, 10, 80, 100, 25.0}});
    }

    retail::TillSale Open(Session& s) { return retail::OpenTillSale(s, QDate(2026, 3, 10)); }

    double Value(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToDouble(db().Scalar(sql, params));
    }
    int Count(const QString& sql, const QVariantList& params = {}) {
        return db().Scalar(sql, params).toInt();
    }
    double FreeOf(int lot, int article) {
        return Value(QStringLiteral("SELECT \"KOLICINA_PRIVREMENO\" FROM \"NABAVE\" WHERE "
                                    "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = ? AND "
                                    "\"SIFRA_ARTIKLA\" = ?"),
                     {lot, article});
    }
    double QuantityOf(int lot, int article) {
        return Value(QStringLiteral("SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 "
                                    "AND \"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                     {lot, article});
    }

    int bread = 0;
    int firstLot = 0;
};

}  // namespace zodra::test
