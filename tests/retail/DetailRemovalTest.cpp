// Cancelling and deleting the summing mode's detail invoices: guards, counter-rows, numbering,
// the summing afterwards, and two programs' doors beside a Z report and a compaction.

#include <QFile>

#include "retail/DaySumming.h"
#include "retail/DetailInvoiceRemoval.h"
#include "retail/RetailPayment.h"
#include "retail/RetailTest.h"
#include "stock/StockCheck.h"

namespace zodra::test {
namespace {

const QDate kDay(2026, 3, 10);

// Summing mode under the average price; milk costs 8.00 and sells at 15.00 with tax.
class DetailRemovalTest : public RetailTest {
protected:
    void SetUp() override {
        RetailTest::SetUp();
        UseMethod(StockMethod::Average);
        session->company.sumRetailInvoices = true;
        milk = docs->AddArticle(QStringLiteral("Mlijeko"));
        docs->Receipt({{milk, 10, 8, 10, 20.0}});
    }
    // A detail invoice of `quantity` litres paid in cash; its number.
    int Sell(double quantity) {
        retail::TillSale sale = retail::OpenTillSale(*session, kDay);
        sale.cashier = QStringLiteral("Ana");
        Add(sale, milk, quantity);
        const auto posted = retail::PostRetailSale(*session, sale, 0);
        retail::CloseTillSale(*session, sale);
        EXPECT_TRUE(posted && posted->detailed);
        retail::RetailPaymentInput p;
        p.warehouse = 1;
        p.year = Year();
        p.number = posted->number;
        p.date = kDay;
        p.customer = retail::RetailCustomer(db());
        p.total = p.cash = 15 * quantity;
        p.detailed = true;
        retail::WriteRetailPayment(db(), p);
        return posted->number;
    }
    // The rows of the table that belong to invoice `number` (its number column named).
    int Of(const char* table, const char* numberColumn, int number) {
        return Rows(
            table,
            (QStringLiteral("\"") + QString::fromUtf8(numberColumn) + QStringLiteral("\" = ?"))
                .toUtf8()
                .constData(),
            {number});
    }
    double Paid(int number) {
        return Sum("Iznos", "NAPLATA_DETALJNO", "\"Broj računa\" = ?", {number});
    }
    double Milk() { return Sum("KOLICINA", "NABAVE", "\"SIFRA_ARTIKLA\" = ?", {milk}); }
    int milk = 0;
};

TEST_F(DetailRemovalTest, UndoneLikeAnInvoiceUntilSummedThenRefused) {
    const int a = Sell(2);
    const int b = Sell(1);
    const int c = Sell(3);
    const int d = Sell(4);

    ExpectRefused([&] { retail::CancelDetailInvoice(*session, 999, kDay); },
                  QStringLiteral("Ne postoji proknjiženi račun broj 999"));
    ExpectRefused([&] { retail::DeleteDetailInvoice(*session, 999); },
                  QStringLiteral("Ne postoji proknjiženi račun broj 999"));
    ExpectRefused([&] { retail::CancelDetailInvoice(*session, a, kDay.addDays(-1)); },
                  QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte "
                                 "ponovo."));
    EXPECT_EQ(Rows("RACUNI_DETALJNO", "\"STORNO\" = TRUE"), 0);

    // Cancelled: marked with the date and the first cancellation number, its cash netted by a
    // counter-row; a second cancellation takes the next number.
    retail::CancelDetailInvoice(*session, a, kDay.addDays(1));
    retail::CancelDetailInvoice(*session, b, kDay.addDays(1));
    Statement h = db().Prepare(
        QStringLiteral("SELECT \"DATUM_STORNA\", \"RBR_STORNO_DOKUMENTA\" FROM \"RACUNI_DETALJNO\" "
                       "WHERE \"STORNO\" = TRUE ORDER BY \"BROJ RACUNA\""));
    h.Exec();
    ASSERT_TRUE(h.Next());
    EXPECT_EQ(sqlvalue::ToDate(h.Value(0)), kDay.addDays(1));
    EXPECT_EQ(h.Int(1), 1);
    ASSERT_TRUE(h.Next());
    EXPECT_EQ(h.Int(1), 2);
    h.Finish();
    EXPECT_EQ(Of("NAPLATA_DETALJNO", "Broj računa", a), 2);
    EXPECT_DOUBLE_EQ(Paid(a), 0);
    ExpectRefused([&] { retail::CancelDetailInvoice(*session, a, kDay); },
                  QStringLiteral("Ovaj račun je već storniran."));
    ExpectRefused([&] { retail::DeleteDetailInvoice(*session, a); },
                  QStringLiteral("Ovaj račun je već storniran."));

    // Deleted: header, lines and collections gone. The last number is given again, a number
    // in the middle is not.
    retail::DeleteDetailInvoice(*session, d);
    EXPECT_EQ(Of("RACUNI_DETALJNO", "BROJ RACUNA", d), 0);
    EXPECT_EQ(Of("STAVKE_RACUNA_DETALJNO", "BROJ_RACUNA", d), 0);
    EXPECT_EQ(Of("NAPLATA_DETALJNO", "Broj računa", d), 0);
    EXPECT_EQ(Sell(5), d);
    retail::DeleteDetailInvoice(*session, c);
    EXPECT_EQ(Sell(1), d + 1);
    // Detail invoices take no stock: nothing to give back.
    EXPECT_DOUBLE_EQ(Milk(), 10);

    // The summing takes the 5 and the 1 litres and their 90.00, not the cancelled two.
    retail::SumRetailInvoices(*session, kDay, kDay);
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "STAVKE_RACUNA"), 6);
    EXPECT_DOUBLE_EQ(Milk(), 4);
    EXPECT_DOUBLE_EQ(Sum("Iznos", "NAPLATA"), 90);
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));
    ExpectRefused([&] { retail::CancelDetailInvoice(*session, d, kDay); },
                  retail::SummedCancelRefusal());
    ExpectRefused([&] { retail::DeleteDetailInvoice(*session, d + 1); },
                  retail::SummedDeleteRefusal());
    EXPECT_EQ(Of("RACUNI_DETALJNO", "BROJ RACUNA", d + 1), 1);
}

TEST_F(DetailRemovalTest, TwoProgramsCancelAndDeleteBesideAZReportAndACompaction) {
    docs->Receipt({{milk, 1000, 8, 10, 20.0}});
    QList<int> sales;
    for (int i = 0; i < 8; ++i) {
        sales << Sell(1 + i % 3);
    }
    SetOption(QStringLiteral("Vođenje skladišta"), QStringLiteral("Prosječna cijena"));
    SetOption(QStringLiteral("Sumiranje maloprodajnih računa"), QStringLiteral("DA"));
    Programs programs(*this);
    // Each undoing either happens or, when the Z report summed the invoice first, is refused
    // with the summing's message; nothing else.
    auto undo = [&](const QString& door, int number, const QString& done, const QString& refusal) {
        QStringList args{door,
                         QStringLiteral("maloprodaja"),
                         QString::number(number),
                         QStringLiteral("--skladiste"),
                         QStringLiteral("1"),
                         QStringLiteral("--da")};
        if (door == QLatin1String("cancel")) {
            args << QStringLiteral("--datum") << QStringLiteral("10.03.2026");
        }
        const ZodractlRun run = programs.Run(args);
        if (!(run.exitCode == 0 && run.out.contains(done)) &&
            !(run.exitCode != 0 && run.err.contains(refusal))) {
            programs.Fail(
                QStringLiteral("%1 %2: %3 %4").arg(door).arg(number).arg(run.out, run.err));
        }
    };
    const QStringList failures = programs.BesideCompaction({
        [&] {
            for (int i = 0; i < 4; ++i) {
                undo(QStringLiteral("cancel"), sales[i], QStringLiteral("je storniran"),
                     retail::SummedCancelRefusal());
            }
        },
        [&] {
            for (int i = 4; i < 7; ++i) {
                undo(QStringLiteral("delete"), sales[i], QStringLiteral("je izbrisan"),
                     retail::SummedDeleteRefusal());
            }
        },
        [&] {
            const ZodractlRun run =
                programs.ZReport(QStringLiteral("10.03.2026"), QStringLiteral("z.txt"));
            if (run.exitCode != 0) {
                programs.Fail(QStringLiteral("zreport: %1 %2").arg(run.out, run.err));
            }
        },
    });
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();

    session = StartSession(1);
    retail::SumRetailInvoices(*session, kDay, kDay);
    // Whatever the order was, the summaries hold exactly the sales neither cancelled before
    // their summing nor deleted, and the lot gave exactly that.
    const double kept = Value(QStringLiteral(
        "SELECT SUM(s.\"KOLICINA\") FROM \"STAVKE_RACUNA_DETALJNO\" s JOIN \"RACUNI_DETALJNO\" r "
        "ON r.\"BROJ RACUNA\" = s.\"BROJ_RACUNA\" AND r.\"IRA\" = s.\"IRA\" WHERE r.\"STORNO\" = "
        "FALSE"));
    EXPECT_GE(Rows("RACUNI_DETALJNO", "\"STORNO\" = FALSE"), 1);
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "STAVKE_RACUNA"), kept);
    EXPECT_DOUBLE_EQ(Milk(), 1010 - kept);
    EXPECT_DOUBLE_EQ(Sum("Iznos", "NAPLATA"), 15 * kept);
    EXPECT_EQ(Rows("RACUNI_DETALJNO", "\"SUMARNI\" = FALSE AND \"STORNO\" = FALSE"), 0);
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));
}

}  // namespace
}  // namespace zodra::test
