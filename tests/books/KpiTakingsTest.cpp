// The day's takings entry of an R-2 company follows every change of the day's retail
// collections: a deleted invoice, and in summing mode a cancelled or deleted detail invoice,
// whose collections count until the day end carries them over.

#include "books/KpiDailySales.h"
#include "retail/DaySumming.h"
#include "retail/DetailInvoiceRemoval.h"
#include "retail/RetailPayment.h"
#include "retail/RetailTest.h"
#include "sales/InvoiceRemoval.h"

namespace zodra::test {
namespace {

const QDate kDay(2026, 3, 10);

class KpiTakingsTest : public RetailTest {
protected:
    void SetUp() override {
        RetailTest::SetUp();
        UseMethod(StockMethod::Average);
        milk = docs->AddArticle(QStringLiteral("Mlijeko"));
        docs->Receipt({{milk, 20, 8, 10, 20.0}});
        session->options.r2 = true;
        session->afterRetailCollections = &books::AfterRetailCollections;
    }
    // A retail invoice of `quantity` litres paid in cash, the program's hook run as the payment
    // window runs it.
    int Sell(double quantity) {
        retail::TillSale sale = retail::OpenTillSale(*session, kDay);
        sale.cashier = QStringLiteral("Ana");
        retail::AddRegisterLine(*session, sale, {milk, quantity, 0, std::nullopt});
        const auto posted = retail::PostRetailSale(*session, sale, 0);
        retail::CloseTillSale(*session, sale);
        EXPECT_TRUE(posted);
        retail::RetailPaymentInput p;
        p.warehouse = 1;
        p.year = Year();
        p.number = posted->number;
        p.date = kDay;
        p.customer = retail::RetailCustomer(db());
        p.total = p.cash = posted->total;
        p.detailed = posted->detailed;
        retail::WriteRetailPayment(db(), p);
        session->RetailCollectionsChanged(kDay);
        return posted->number;
    }
    // The entry of the day's takings (cash receipts), nothing when there is none.
    std::optional<double> Takings(const QDate& date = kDay) {
        const QVariant v = db().Scalar(
            QStringLiteral("SELECT \"PRIMICI U GOTOVINI\" FROM "
                           "\"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" WHERE \"NADNEVAK PRIMITKA / "
                           "IZDATKA\" = ? AND \"OPIS ISPRAVA\" = 'promet u gotovini'"),
            {date});
        if (!v.isValid() || v.isNull()) {
            return std::nullopt;
        }
        return sqlvalue::ToDouble(v);
    }
    // What was collected on a day in both files, the detail rows until carried over.
    double Collected(const QDate& date = kDay) {
        return Value(QStringLiteral("SELECT (SELECT COALESCE(SUM(\"Iznos\"), 0) FROM \"NAPLATA\" "
                                    "WHERE \"Datum\" = ?) + (SELECT COALESCE(SUM(\"Iznos\"), 0) "
                                    "FROM \"NAPLATA_DETALJNO\" WHERE \"Datum\" = ? AND \"Sifra "
                                    "uplate\" IS NULL)"),
                     {date, date});
    }
    int milk = 0;
};

TEST_F(KpiTakingsTest, DeletingAnInvoiceTakesItsCashOut) {
    const int a = Sell(2);
    const int b = Sell(1);
    ASSERT_EQ(Takings(), Collected());
    ASSERT_GT(*Takings(), 0);
    ASSERT_TRUE(sales::DeleteInvoice(*session, prompter, 1, a));
    EXPECT_EQ(Takings(), Collected());
    EXPECT_GT(*Takings(), 0);
    ASSERT_TRUE(sales::DeleteInvoice(*session, prompter, 1, b));
    EXPECT_EQ(Takings(), std::nullopt);
}

// Summing mode: the detail sales are the day's takings before the day end; a cancellation
// takes the cash out of its own date, a deletion out of the sale's; the day end changes nothing.
TEST_F(KpiTakingsTest, DetailInvoicesCountUntilTheDayEndAndLeaveWhenUndone) {
    session->company.sumRetailInvoices = true;
    const int a = Sell(2);
    const int b = Sell(1);
    Sell(3);
    const double all = Collected();
    ASSERT_GT(all, 0);
    EXPECT_EQ(Takings(), all);

    retail::CancelDetailInvoice(*session, a, kDay);
    EXPECT_EQ(Takings(), Collected());
    EXPECT_LT(*Takings(), all);
    retail::CancelDetailInvoice(*session, b, kDay.addDays(1));
    EXPECT_EQ(Takings(kDay.addDays(1)), Collected(kDay.addDays(1)));
    EXPECT_LT(*Takings(kDay.addDays(1)), 0);
    const double left = *Takings();

    retail::SumRetailInvoices(*session, kDay, kDay);
    retail::TakingsStep(*session, kDay);
    EXPECT_EQ(Takings(), left);
    EXPECT_EQ(Value(QStringLiteral("SELECT COUNT(*) FROM \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" "
                                   "WHERE \"NADNEVAK PRIMITKA / IZDATKA\" = ?"),
                    {kDay}),
              1);

    const int d = Sell(4);
    ASSERT_GT(*Takings(), left);
    retail::DeleteDetailInvoice(*session, d);
    EXPECT_EQ(Takings(), left);
}

}  // namespace
}  // namespace zodra::test
