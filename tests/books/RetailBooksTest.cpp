// The retail register's sales in the books: on the VAT return and in the day's takings entry of
// an R-2 company, a sale of the summing mode counts from the detail tables until the day end
// sums it and from the summary after, exactly once; the takings follow a deleted invoice and a
// cancelled or deleted detail invoice.

#include "books/KpiDailySales.h"
#include "books/VatReturn.h"
#include "retail/DaySumming.h"
#include "retail/DetailInvoiceRemoval.h"
#include "retail/RetailPayment.h"
#include "retail/RetailTest.h"
#include "sales/InvoiceRemoval.h"

namespace zodra::test {
namespace {

const QDate kDay(2026, 3, 10);

void ExpectSame(std::pair<double, double> got, std::pair<double, double> want, const char* what) {
    EXPECT_NEAR(got.first, want.first, 0.005) << what;
    EXPECT_NEAR(got.second, want.second, 0.005) << what;
}

class RetailBooksTest : public RetailTest {
protected:
    void SetUp() override {
        RetailTest::SetUp();
        UseMethod(StockMethod::Average);
        milk = docs->AddArticle(QStringLiteral("Mlijeko"));
        docs->Receipt({{milk, 20, 8, 10, 20.0}});
    }
    // An R-2 company whose program rebuilds the day's takings after collections change.
    void TakingsKeptByTheProgram() {
        session->options.r2 = true;
        session->afterRetailCollections = &books::AfterRetailCollections;
    }
    // A sale of `quantity` litres collected in cash, the program's hook run as the payment
    // window runs it; its number.
    int Sell(double quantity) {
        retail::TillSale sale = retail::OpenTillSale(*session, kDay);
        sale.cashier = QStringLiteral("Ana");
        retail::AddRegisterLine(*session, sale, {milk, quantity, 0, std::nullopt});
        const auto posted = retail::PostRetailSale(*session, sale, 0);
        retail::CloseTillSale(*session, sale);
        EXPECT_TRUE(posted && posted->detailed == session->company.sumRetailInvoices);
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

// Three sales, one cancelled the same day: before the day end the return reads the two left from
// the detail tables (RACUNI has nothing yet); after it, the summary invoice alone. On collections
// the same: the detail collections first, the summary's afterwards.
void RetailBooksTest::CountedOnceBeforeAndAfterTheDayEnd(bool collections) {
    session->company.sumRetailInvoices = true;
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

TEST_F(RetailBooksTest, VatOnInvoiceDates) {
    CountedOnceBeforeAndAfterTheDayEnd(false);
}

TEST_F(RetailBooksTest, VatOnCollections) {
    CountedOnceBeforeAndAfterTheDayEnd(true);
}

// The day's takings entry of an R-2 company follows a deleted invoice.
TEST_F(RetailBooksTest, TakingsLoseADeletedInvoice) {
    TakingsKeptByTheProgram();
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
TEST_F(RetailBooksTest, TakingsCountDetailInvoicesUntilTheDayEndAndLoseThemWhenUndone) {
    TakingsKeptByTheProgram();
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
