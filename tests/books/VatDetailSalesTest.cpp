// Retail sales of the summing mode on the VAT return: read from the detail tables until the day
// end sums them, from the summary invoice afterwards, never both and never neither.

#include "books/VatReturn.h"
#include "retail/DaySumming.h"
#include "retail/DetailInvoiceRemoval.h"
#include "retail/RetailPayment.h"
#include "retail/RetailTest.h"

namespace zodra::test {
namespace {

const QDate kDay(2026, 3, 10);

void ExpectSame(std::pair<double, double> got, std::pair<double, double> want, const char* what) {
    EXPECT_NEAR(got.first, want.first, 0.005) << what;
    EXPECT_NEAR(got.second, want.second, 0.005) << what;
}

class VatDetailSalesTest : public RetailTest {
protected:
    void SetUp() override {
        RetailTest::SetUp();
        UseMethod(StockMethod::Average);
        session->company.sumRetailInvoices = true;
        milk = docs->AddArticle(QStringLiteral("Mlijeko"));
        docs->Receipt({{milk, 20, 8, 10, 20.0}});
    }
    // A detail invoice of `quantity` litres collected in cash.
    int Sell(double quantity) {
        retail::TillSale sale = retail::OpenTillSale(*session, kDay);
        sale.cashier = QStringLiteral("Ana");
        retail::AddRegisterLine(*session, sale, {milk, quantity, 0, std::nullopt});
        const auto posted = retail::PostRetailSale(*session, sale, 0);
        retail::CloseTillSale(*session, sale);
        EXPECT_TRUE(posted && posted->detailed);
        retail::RetailPaymentInput p;
        p.warehouse = 1;
        p.year = Year();
        p.number = posted->number;
        p.date = kDay;
        p.customer = retail::RetailCustomer(db());
        p.total = p.cash = posted->total;
        p.detailed = true;
        retail::WriteRetailPayment(db(), p);
        return posted->number;
    }
    // Line 203 of March as base + tax.
    std::pair<double, double> March() {
        const books::VatReturn vat =
            books::ComputeVatReturn(db(), Year(), QDate(2026, 3, 1), QDate(2026, 3, 31));
        return {vat.form.Base(QStringLiteral("203")), vat.form.Tax(QStringLiteral("203"))};
    }
    void CountedOnceBeforeAndAfterTheDayEnd(bool collections);
    // The lines of the invoices of `header` not cancelled, as the books keep them.
    std::pair<double, double> Lines(const char* header, const char* lines) {
        const QString from = QStringLiteral(
                                 " FROM \"%1\" s JOIN \"%2\" r ON r.\"SKLADISTE\" = "
                                 "s.\"SKLADISTE\" AND r.\"IRA\" = s.\"IRA\" AND "
                                 "r.\"GODINA\" = s.\"GODINA\" AND r.\"BROJ RACUNA\" = "
                                 "s.\"BROJ_RACUNA\" WHERE r.\"STORNO\" = FALSE")
                                 .arg(QString::fromLatin1(lines), QString::fromLatin1(header));
        return {Value(QStringLiteral("SELECT SUM(s.\"VRIJEDNOST_\")") + from),
                Value(QStringLiteral("SELECT SUM(s.\"POREZ_IZNOS\")") + from)};
    }
    int milk = 0;
};

// Three sales, one cancelled the same day: before the day end the return reads the two left from
// the detail tables (RACUNI has nothing yet); after it, the summary invoice alone. On collections
// the same: the detail collections first, the summary's afterwards.
void VatDetailSalesTest::CountedOnceBeforeAndAfterTheDayEnd(bool collections) {
    db().Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OZNAKA_NA_RACUNU\" = ?"),
              {collections ? QStringLiteral("R-2") : QStringLiteral("R-1")});
    Sell(2);
    Sell(1);
    retail::CancelDetailInvoice(*session, Sell(4), kDay);

    const auto detail = Lines("RACUNI_DETALJNO", "STAVKE_RACUNA_DETALJNO");
    ASSERT_GT(detail.second, 0);
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")), 0);
    const auto before = March();
    ExpectSame(before, detail, "before the day end");
    if (collections) {
        // Cash of the sales left, the cancelled one's and its counter-row netting out.
        EXPECT_NEAR(before.first + before.second,
                    Value(QStringLiteral("SELECT SUM(\"Iznos\") FROM \"NAPLATA_DETALJNO\"")),
                    0.005);
    }

    retail::SumRetailInvoices(*session, kDay, kDay);
    ASSERT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\" WHERE \"SUMARNI\" = "
                                   "FALSE")),
              0);
    const auto after = March();
    ExpectSame(after, Lines("RACUNI", "STAVKE_RACUNA"), "after the day end");
    ExpectSame(after, before, "the same sales");
    if (collections) {
        EXPECT_NEAR(after.first + after.second,
                    Value(QStringLiteral("SELECT SUM(\"Iznos\") FROM \"NAPLATA\"")), 0.005);
    }
}

TEST_F(VatDetailSalesTest, OnInvoiceDates) {
    CountedOnceBeforeAndAfterTheDayEnd(false);
}

TEST_F(VatDetailSalesTest, OnCollections) {
    CountedOnceBeforeAndAfterTheDayEnd(true);
}

}  // namespace
}  // namespace zodra::test
