#pragma once

#include <gtest/gtest.h>

#include "data/Errors.h"
#include "data/SqlValue.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoicePosting.h"
#include "stock/StockCheck.h"
#include "stock/StockTest.h"
#include "support/Refused.h"

namespace zodra::test {

// A workstation in warehouse 1 ("Debug Mode" on: every posting, cancellation and deletion runs
// the consistency check of lots and card before it commits), the company's bank account, a
// customer with an address and an article in tax group 1 (25 %).
class InvoiceTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        db().Exec(
            QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"ZIRO_RACUN\" = "
                           "'HR1210010051863000160'"));
        customer = AddCustomer(QStringLiteral("Kod Ane's d.o.o."));
        screw = docs->AddArticle(QStringLiteral("Vijak M8"));
    }

    int AddCustomer(const QString& name, double discount = 0, int priceList = 0) {
        db().Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"ADRESA\", \"MJESTO\", "
                                 "\"OIB\", \"RABAT\", \"ODGODA\", \"Kupac\", \"CJENIK\") VALUES "
                                 "(?, 'Ilica 1', 'Zagreb', '12345678903', ?, 30, TRUE, ?)"),
                  {name, discount, priceList});
        return db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"PARTNERI\"")).toInt();
    }

    // An invoice of the customer under the terms and in the book given.
    sales::InvoiceDraft Draft(int terms = 2, int book = 1, std::optional<int> who = std::nullopt) {
        sales::InvoiceDraft draft = sales::OpenInvoice(*session, QDate(2026, 3, 10));
        draft.book = book;
        draft.salesTerms = terms;
        draft.customer = who.value_or(customer);
        return draft;
    }

    // Adds an article line (merge questions are answered by the prompter's queue).
    void Line(const sales::InvoiceDraft& draft, int article, double quantity,
              std::optional<double> price = std::nullopt,
              std::optional<double> discount = std::nullopt,
              std::optional<int> lot = std::nullopt) {
        sales::AddArticleLine(*session, prompter, draft,
                              {article, lot, quantity, price, discount, std::nullopt, QString()});
    }

    sales::PostedInvoice Post(const sales::InvoiceDraft& draft) {
        return sales::PostInvoice(*session, draft, sales::ProposeHeader(*session, draft));
    }

    int Count(const QString& sql, const QVariantList& params = {}) {
        return db().Scalar(sql, params).toInt();
    }
    double Value(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToDouble(db().Scalar(sql, params));
    }
    int Rows(const char* table) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"") + QString::fromLatin1(table) +
                     QStringLiteral("\""));
    }

    // The wholesale trade book's last balance in warehouse 1, and the lots there at selling value.
    double TradeBookBalance() {
        return Value(QStringLiteral("SELECT \"STANJE_ROBE\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                                    "WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = ? ORDER BY \"RBR\" "
                                    "DESC LIMIT 1"),
                     {Year()});
    }
    double LotsAtSellingValue() {
        return Value(
            QStringLiteral("SELECT SUM(\"KOLICINA\" * \"VELEPRODAJNA CIJENA\") FROM "
                           "\"NABAVE\" WHERE \"SKLADISTE\" = 1"));
    }

    // Lots and card agree at cost, selling value and quantity in warehouse 1.
    void ExpectLotsMatchCard() {
        for (const stock::StockDifference& d : stock::StockDifferences(db(), 1, Year())) {
            ADD_FAILURE() << "article " << d.article << ": lots " << d.lotQuantity << " / "
                          << d.lotCostValue << " / " << d.lotSellingValue << ", card "
                          << d.cardQuantity << " / " << d.cardCostValue << " / "
                          << d.cardSellingValue;
        }
        EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));
    }

    int customer = 0;
    int screw = 0;
};

}  // namespace zodra::test
