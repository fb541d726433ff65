#include <QFile>

#include "data/ScriptedPrompter.h"
#include "retail/DaySumming.h"
#include "retail/RetailPayment.h"
#include "retail/RetailTest.h"
#include "retail/XReport.h"
#include "sales/InvoiceRemoval.h"
#include "stock/StockCheck.h"

namespace zodra::test {
namespace {

const QDate kDay(2026, 3, 10);

class DayEndTest : public RetailTest {
protected:
    // A posted sale of `quantity` of the article by `cashier` on `date`; its number.
    int Sell(Session& s, int article, double quantity, const QString& cashier,
             const QDate& date = kDay) {
        retail::TillSale sale = retail::OpenTillSale(s, date);
        sale.cashier = cashier;
        retail::RegisterLineInput in;
        in.article = article;
        in.quantity = quantity;
        retail::AddRegisterLine(s, sale, in);
        const auto posted = retail::PostRetailSale(s, sale, 0);
        retail::CloseTillSale(s, sale);
        return posted ? posted->number : 0;
    }
    void Pay(int number, double total, double cash, double card = 0, bool detailed = false,
             const QDate& date = kDay) {
        retail::RetailPaymentInput p;
        p.warehouse = 1;
        p.year = Year();
        p.number = number;
        p.date = date;
        p.customer = retail::RetailCustomer(db());
        p.total = total;
        p.cash = cash;
        p.card = card;
        if (card != 0) {
            p.cardType = Visa();
        }
        p.detailed = detailed;
        retail::WriteRetailPayment(db(), p);
    }
    int Visa() {
        if (!visa) {
            db().Exec(QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"NAZIV\") VALUES ('Visa')"));
            visa = Count(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"TIPOVI_KARTICA\""));
        }
        return visa;
    }
    QString Group() {
        return db()
            .Scalar(QStringLiteral("SELECT MIN(\"GRUPA_POREZA\") FROM \"STAVKE_RACUNA\""))
            .toString();
    }
    // From the line after the title's rule on.
    QStringList Body(const QStringList& lines) {
        const int at = static_cast<int>(lines.indexOf(QStringLiteral("Promet u maloprodaji")));
        return at < 0 ? lines : lines.mid(at + 3);
    }
    int visa = 0;
};

QString R(const QString& label, const QString& amount) {
    return label.leftJustified(40 - static_cast<int>(amount.size()), QLatin1Char(' ')) + amount;
}

TEST_F(DayEndTest, XReportSumsTheDayWithACancellationAndASplitPayment) {
    // Ana: 2 × 125.00 + 25 % = 312.50, paid 200.00 cash and 112.50 by card. Ivo: 156.25 cash,
    // cancelled the same day (the counter-payment nets his cash). A bank transfer and a sale of
    // the next day stay out.
    const int first = Sell(*session, bread, 2, QStringLiteral("Ana"));
    Pay(first, 312.5, 200, 112.5);
    const int second = Sell(*session, bread, 1, QStringLiteral("Ivo"));
    Pay(second, 156.25, 156.25);
    sales::CancelInvoice(*session, 1, second, kDay);
    db().Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", \"Broj "
                             "računa\", \"Tip\", \"Datum\", \"Iznos\") VALUES (1, 1, ?, ?, 'žiro "
                             "račun', ?, 50)"),
              {Year(), first, kDay});
    // An invoice of the retail book under other terms is no retail invoice: its collections
    // stay out, a kind that only it has too.
    db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                             "\"BROJ RACUNA\", \"DATUM\", \"UVJET PRODAJE\", \"KORISNIK\") "
                             "VALUES (1, 1, ?, 900, ?, 2, 'Ana')"),
              {Year(), kDay});
    for (const char* kind : {"gotovina", "ček"}) {
        db().Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                                 "\"Broj računa\", \"Tip\", \"Datum\", \"Iznos\") VALUES (1, 1, "
                                 "?, 900, ?, ?, 70)"),
                  {Year(), QString::fromUtf8(kind), kDay});
    }
    const int later = Sell(*session, bread, 1, QStringLiteral("Ana"), kDay.addDays(1));
    Pay(later, 156.25, 156.25, 0, false, kDay.addDays(1));

    retail::XReportOptions o;
    o.warehouse = 1;
    o.year = Year();
    o.from = kDay;
    o.to = kDay;
    const QString g = Group();
    const QStringList all = retail::XReportLines(db(), o);
    ASSERT_GE(all.size(), 10);
    EXPECT_EQ(all[6], QString(40, QLatin1Char('*')));
    EXPECT_EQ(all[7], QStringLiteral("Promet u maloprodaji"));
    EXPECT_EQ(all[8], QStringLiteral("od 10.03.2026 do 10.03.2026"));
    const QString rule(40, QLatin1Char('-'));
    const QStringList expected = {
        R(QStringLiteral("OSNOVICA ") + g + QLatin1Char(':'), QStringLiteral("375.00")),
        R(QStringLiteral("POREZ ") + g + QLatin1Char(':'), QStringLiteral("93.75")),
        R(QStringLiteral("UKUPNO ") + g + QLatin1Char(':'), QStringLiteral("468.75")),
        QStringLiteral("STORNO RAČUNI"),
        R(QStringLiteral("OSNOVICA ") + g + QLatin1Char(':'), QStringLiteral("-125.00")),
        R(QStringLiteral("POREZ ") + g + QLatin1Char(':'), QStringLiteral("-31.25")),
        R(QStringLiteral("UKUPNO ") + g + QLatin1Char(':'), QStringLiteral("-156.25")),
        rule,
        QStringLiteral("UKUPNO PO SVIM GRUPAMA POREZA"),
        R(QStringLiteral("OSNOVICA :"), QStringLiteral("250.00")),
        R(QStringLiteral("POREZ :"), QStringLiteral("62.50")),
        R(QStringLiteral("UKUPNO :"), QStringLiteral("312.50")),
        rule,
        QStringLiteral("Prodavač                           Iznos"),
        R(QStringLiteral("Ana"), QStringLiteral("312.50")),
        R(QStringLiteral("Ivo"), QStringLiteral("0.00")),
        rule,
        QStringLiteral("Po načinima plaćanja"),
        R(QStringLiteral("gotovina"), QStringLiteral("200.00")),
        R(QStringLiteral("kartica Visa"), QStringLiteral("112.50")),
        QString(40, QLatin1Char('='))};
    EXPECT_EQ(Body(all), expected);

    // One cashier (bound, so a quote in the name is only a name): no rows per cashier, and
    // Ivo's sale and cancellation are not Ana's.
    o.cashier = QStringLiteral("Ana");
    const QStringList ana = Body(retail::XReportLines(db(), o));
    EXPECT_FALSE(ana.contains(QStringLiteral("Prodavač                           Iznos")));
    EXPECT_TRUE(ana.contains(R(QStringLiteral("UKUPNO :"), QStringLiteral("312.50"))));
    EXPECT_EQ(ana[3], QStringLiteral("STORNO RAČUNI"));
    EXPECT_EQ(ana.mid(ana.indexOf(QStringLiteral("Po načinima plaćanja"))),
              expected.mid(expected.indexOf(QStringLiteral("Po načinima plaćanja"))));
    o.cashier = QStringLiteral("Ana' OR '1'='1");
    const QStringList nobody = Body(retail::XReportLines(db(), o));
    EXPECT_TRUE(nobody.contains(R(QStringLiteral("UKUPNO :"), QStringLiteral("0.00"))));
    EXPECT_EQ(nobody[0], QStringLiteral("STORNO RAČUNI"));
}

TEST_F(DayEndTest, OnlyTheAdministratorIsAskedAndGetsTheRecapitulations) {
    Sell(*session, bread, 2, QStringLiteral("Ana"));
    session->userName = QStringLiteral("Ana");
    ScriptedPrompter none;
    retail::XReportOptions own = retail::AskXReport(*session, none, kDay, kDay);
    EXPECT_EQ(own.cashier, QStringLiteral("Ana"));
    EXPECT_TRUE(none.Shown().isEmpty());

    session->userName = QStringLiteral("admin");
    ScriptedPrompter admin;
    admin.AnswerYes().AnswerYes().AnswerNo().AnswerNo().AnswerYes();
    retail::XReportOptions o = retail::AskXReport(*session, admin, kDay, kDay);
    EXPECT_FALSE(o.cashier);
    EXPECT_EQ(admin.Shown(),
              (QStringList{retail::AllCashiersQuestion(), retail::ItemRecapQuestion(),
                           retail::ArticlesByDocumentQuestion(), retail::GroupRecapQuestion(),
                           retail::StockLevelsQuestion()}));
    const QStringList lines = retail::XReportLines(db(), o);
    EXPECT_TRUE(lines.contains(QStringLiteral("Kruh                     2.00     312.50")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Kruh                     8.00")));
    EXPECT_FALSE(lines.contains(QStringLiteral("Rekapitulacija artikala po dokumentima")));

    // Without a receipt printer the report is refused with the printer text.
    session->workstation.posPrinter = false;
    EXPECT_EQ(retail::PrintReportLines(*session, lines),
              QStringLiteral("Ovaj ispis se može printati samo na POS printer. Postavite "
                             "parametre POS printera u konfiguraciji programa."));
}

// Summing and deferred reduction work on the pooled lot of "Mlijeko": 10 at cost 8.00, price
// 10.00, retail margin 20 % (sold at 12.00 + 25 % = 15.00).
class DayEndPooledTest : public DayEndTest {
protected:
    void SetUp() override {
        DayEndTest::SetUp();
        UseMethod(StockMethod::Average);
        milk = docs->AddArticle(QStringLiteral("Mlijeko"));
        db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"JED_M\" = 'l' WHERE \"SIFRA\" = ?"),
                  {milk});
        docs->Receipt({{milk, 10, 8, 10, 20.0}});
    }
    int Summaries() { return Rows("RACUNI", "\"SUMARNI\" = TRUE"); }
    int Unsummed() { return Rows("RACUNI_DETALJNO", "\"SUMARNI\" = FALSE"); }
    int milk = 0;
};

TEST_F(DayEndPooledTest, SummingWritesOneSummaryPerDayOnceAndReusesTheDaysSummary) {
    session->company.sumRetailInvoices = true;
    const int a = Sell(*session, milk, 2, QStringLiteral("Ana"));
    Pay(a, 30, 10, 20, true);
    const int b = Sell(*session, milk, 1, QStringLiteral("Ivo"));
    Pay(b, 15, 15, 0, true);
    const int c = Sell(*session, milk, 4, QStringLiteral("Ana"), kDay.addDays(1));
    ASSERT_GT(c, b);
    const int book = Rows("TRGOVACKA_KNJIGA_VELEPRODAJE");

    const std::vector<retail::SummedDay> first = retail::SumRetailInvoices(*session, kDay, kDay);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].detailInvoices, 2);
    EXPECT_FALSE(first[0].reused);
    const int summary = first[0].number;
    EXPECT_EQ(
        Rows("STAVKE_RACUNA", "\"BROJ_RACUNA\" = ? AND \"KOLICINA\" = 3 AND \"NABAVNA_CIJENA\" = 8",
             {summary}),
        1);
    EXPECT_DOUBLE_EQ(Sum("UKUPNO_", "STAVKE_RACUNA", "\"BROJ_RACUNA\" = ?", {summary}), 45);
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 7);
    EXPECT_DOUBLE_EQ(Pooled(milk).freeQuantity, 7);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE", "\"OPIS\" = ?",
                   {QStringLiteral("RAČUN ") + QString::number(summary) +
                    QStringLiteral(" Maloprodaja")}),
              1);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"Iznos\" FROM \"NAPLATA\" WHERE \"Tip\" = "
                                          "'gotovina' AND \"Broj računa\" = ?"),
                           {summary}),
                     25);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"Iznos\" FROM \"UPLATE\" WHERE \"Tip\" = "
                                          "'kartica' AND \"Tip kartice\" = ?"),
                           {Visa()}),
                     20);
    EXPECT_EQ(Unsummed(), 1);  // the next day's sale
    // The X report of summing mode reads the detail invoices and their collections.
    retail::XReportOptions x;
    x.warehouse = 1;
    x.year = Year();
    x.from = kDay;
    x.to = kDay;
    x.summed = true;
    const QStringList day = retail::XReportLines(db(), x);
    EXPECT_TRUE(day.contains(R(QStringLiteral("UKUPNO :"), QStringLiteral("45.00"))));
    EXPECT_TRUE(day.contains(R(QStringLiteral("gotovina"), QStringLiteral("25.00"))));
    EXPECT_TRUE(day.contains(R(QStringLiteral("kartica Visa"), QStringLiteral("20.00"))));
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT MAX(\"NABAVNA_CIJENA\") FROM "
                                          "\"STAVKE_RACUNA_DETALJNO\" WHERE \"BROJ_RACUNA\" = ?"),
                           {a}),
                     8);

    // Again: nothing is left to sum.
    EXPECT_TRUE(retail::SumRetailInvoices(*session, kDay, kDay).empty());
    EXPECT_EQ(Summaries(), 1);
    EXPECT_EQ(Rows("NAPLATA"), 2);
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 7);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), book + 1);

    // A later sale of the same day joins that day's summary.
    const int d = Sell(*session, milk, 1, QStringLiteral("Ivo"));
    Pay(d, 15, 15, 0, true);
    const std::vector<retail::SummedDay> more =
        retail::SumRetailInvoices(*session, kDay, kDay.addDays(1));
    ASSERT_EQ(more.size(), 2u);
    EXPECT_TRUE(more[0].reused);
    EXPECT_EQ(more[0].number, summary);
    EXPECT_FALSE(more[1].reused);
    EXPECT_EQ(Summaries(), 2);
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "STAVKE_RACUNA", "\"BROJ_RACUNA\" = ?", {summary}), 4);
    EXPECT_DOUBLE_EQ(Sum("Iznos", "NAPLATA", "\"Broj računa\" = ?", {summary}), 60);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE",
                   "\"TIP_DOKUMENTA\" = '1RAČUN' AND \"BROJ_DOKUMENTA\" = ?", {summary}),
              2);
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 2);
    EXPECT_EQ(Unsummed(), 0);
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));

    // A payment recorded after its sale was summed joins that day's summary in the next run,
    // once.
    Pay(c, 60, 60, 0, true, kDay.addDays(1));
    ASSERT_EQ(retail::SumRetailInvoices(*session, kDay, kDay.addDays(1)).size(), 1u);
    EXPECT_DOUBLE_EQ(Sum("Iznos", "NAPLATA", "\"Broj računa\" = ?", {more[1].number}), 60);
    EXPECT_TRUE(retail::SumRetailInvoices(*session, kDay, kDay.addDays(1)).empty());
    EXPECT_DOUBLE_EQ(Sum("Iznos", "NAPLATA"), 120);
    EXPECT_EQ(Summaries(), 2);
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 2);
}

TEST_F(DayEndPooledTest, SummingStopsOnMissingStockAndIsRefusedUnderFifo) {
    session->company.sumRetailInvoices = true;
    Sell(*session, milk, 8, QStringLiteral("Ana"));
    Sell(*session, milk, 5, QStringLiteral("Ana"));
    ExpectRefused([&] { retail::SumRetailInvoices(*session, kDay, kDay); },
                  QStringLiteral("Nedovoljna količina artikla 'Mlijeko'. Potrebno je još 3 l."));
    EXPECT_EQ(Summaries(), 0);
    EXPECT_EQ(Unsummed(), 2);
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 10);

    db().Exec(QStringLiteral("DELETE FROM \"NABAVE\" WHERE \"SIFRA_ARTIKLA\" = ?"), {milk});
    ExpectRefused([&] { retail::SumRetailInvoices(*session, kDay, kDay); },
                  QStringLiteral("Artikla 'Mlijeko' nema na skladištu."));
    db().Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA_DETALJNO\" SET \"SIFRA\" = 999"));
    ExpectRefused([&] { retail::SumRetailInvoices(*session, kDay, kDay); },
                  QStringLiteral("Artikla sa sistemskom šifrom 999 nema u artiklima."));

    UseMethod(StockMethod::Fifo);
    ExpectRefused([&] { retail::SumRetailInvoices(*session, kDay, kDay); },
                  retail::SumFifoRefusal());
    ExpectRefused([&] { retail::ReduceDeferredStock(*session); }, retail::ReduceFifoRefusal());
    ScriptedPrompter z;
    z.AnswerYes();
    EXPECT_FALSE(retail::SumStep(*session, z, kDay, kDay));
    EXPECT_EQ(z.Shown(), (QStringList{retail::SumQuestion(), retail::SumFifoRefusal()}));
}

TEST_F(DayEndPooledTest, DeferredReductionTakesTheStockOnceAndListsPriceDifferences) {
    session->company.deferredRegisterStock = true;
    const int a = Sell(*session, milk, 2, QStringLiteral("Ana"));
    const int b = Sell(*session, milk, 3, QStringLiteral("Ivo"));
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 10);
    // The lot is repriced after the sales: 11.00 × 1.20 = 13.20 against the 12.00 sold at.
    docs->PriceChange({{milk, stock::kPooledLot, 11}}, kDay);
    ScriptedPrompter no;
    no.AnswerNo();
    EXPECT_EQ(retail::ReduceStep(*session, no).invoices, 0);
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 10);

    ScriptedPrompter yes;
    yes.AnswerYes();
    const retail::DeferredReduction done = retail::ReduceStep(*session, yes);
    EXPECT_EQ(done.invoices, 2);
    const QString difference =
        QStringLiteral("Artikal 'Mlijeko' je prodavan po 12.00 a na skladištu ima cijenu od 13.20");
    EXPECT_EQ(done.priceDifferences, (QStringList{difference, difference}));
    QFile file(done.differencesFile);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()),
              difference + QLatin1Char('\n') + difference + QLatin1Char('\n'));
    file.remove();
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 5);
    EXPECT_DOUBLE_EQ(Pooled(milk).freeQuantity, 5);
    EXPECT_EQ(Rows("RACUNI",
                   "\"SKIDA\" = TRUE AND \"NAKNADNO_SKIDANJE\" = FALSE AND \"RBR_TK\" IS NOT NULL "
                   "AND \"BROJ RACUNA\" IN (?, ?)",
                   {a, b}),
              2);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"NABAVNA_CIJENA\" FROM \"STAVKE_RACUNA\" WHERE "
                                          "\"BROJ_RACUNA\" = ?"),
                           {b}),
                     8);
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));

    // Again: nothing left.
    EXPECT_EQ(retail::ReduceDeferredStock(*session).invoices, 0);
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 5);
}

TEST_F(DayEndPooledTest, TheDaysTakingsGoIntoTheBookOnceNetOfTax) {
    const int a = Sell(*session, milk, 2, QStringLiteral("Ana"));
    Pay(a, 30, 10, 20);
    retail::TakingsStep(*session, kDay);  // not an "R-2" company: nothing
    EXPECT_EQ(Rows("KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS"), 0);
    session->options.r2 = true;
    retail::TakingsStep(*session, kDay);
    const int b = Sell(*session, milk, 1, QStringLiteral("Ana"));
    Pay(b, 15, 15);
    retail::TakingsStep(*session, kDay);
    Statement q = db().Prepare(QStringLiteral(
        "SELECT \"REDNI BROJ\", \"PRIMICI U GOTOVINI\", \"UKUPNI PRIMICI\", \"PDV U PRIMICIMA\", "
        "\"OPIS ISPRAVA\", \"BROJ TEMELJNICE\", \"TIP_UPISA\" FROM "
        "\"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\""));
    q.Exec();
    ASSERT_TRUE(q.Next());
    EXPECT_EQ(q.Int(0), 1);
    EXPECT_DOUBLE_EQ(q.Double(1), 45);
    EXPECT_DOUBLE_EQ(q.Double(2), 36);
    EXPECT_DOUBLE_EQ(q.Double(3), 9);
    EXPECT_EQ(q.Text(4), QStringLiteral("promet u gotovini"));
    EXPECT_EQ(q.Text(5), QStringLiteral("-"));
    EXPECT_EQ(q.Int(6), 1);
    EXPECT_FALSE(q.Next());
}

TEST_F(DayEndPooledTest, SalesPostedWhileAnotherProcessSumsAreEachSummedOnceBesideACompaction) {
    docs->Receipt({{milk, 1000, 8, 10, 20.0}});
    const int card = Visa();
    SetOption(QStringLiteral("Vođenje skladišta"), QStringLiteral("Prosječna cijena"));
    SetOption(QStringLiteral("Sumiranje maloprodajnih računa"), QStringLiteral("DA"));
    const QString folder = Folder();
    Programs programs(*this);
    constexpr int kSales = 8;
    auto register_ = [&] {
        for (int i = 0; i < kSales; ++i) {
            const QString path = folder + QStringLiteral("/s%1.json").arg(i);
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly)) {
                continue;
            }
            // 2 × 15.00 = 30.00: 20.00 cash, 10.00 by card.
            f.write(QStringLiteral("{\"vrsta\": \"maloprodaja\", \"skladiste\": 1, \"datum\": "
                                   "\"2026-03-10\", \"blagajnik\": \"Kasa\", \"stavke\": "
                                   "[{\"artikal\": %1, \"kolicina\": 2}], \"placanje\": "
                                   "{\"gotovina\": 20, \"kartica\": 10, \"tip_kartice\": %2}}")
                        .arg(milk)
                        .arg(card)
                        .toUtf8());
            f.close();
            const ZodractlRun run =
                programs.Run({QStringLiteral("post"), path, QStringLiteral("--da")});
            if (run.exitCode != 0) {
                programs.Fail(QStringLiteral("post %1: %2 %3").arg(i).arg(run.out, run.err));
            }
        }
    };
    auto closing = [&] {
        for (int i = 0; i < 4; ++i) {
            const ZodractlRun run =
                programs.ZReport(QStringLiteral("10.03.2026"), QStringLiteral("z.txt"));
            if (run.exitCode != 0 || !run.out.contains(retail::SumDoneMessage())) {
                programs.Fail(QStringLiteral("zreport: %1 %2").arg(run.out, run.err));
            }
        }
    };
    const QStringList failures = programs.BesideCompaction({register_, closing});
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();

    session = StartSession(1);
    ASSERT_EQ(session->stockMethod, StockMethod::Average);
    ASSERT_TRUE(session->company.sumRetailInvoices);
    retail::SumRetailInvoices(*session, kDay, kDay);
    EXPECT_EQ(Unsummed(), 0);
    EXPECT_EQ(Rows("RACUNI_DETALJNO"), kSales);
    // Every sale once: the summaries hold 2 × 8, the lot gave exactly that, and the payments.
    EXPECT_EQ(Summaries(), 1);
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "STAVKE_RACUNA"), 2.0 * kSales);
    EXPECT_DOUBLE_EQ(Pooled(milk).quantity, 1010 - 2.0 * kSales);
    EXPECT_DOUBLE_EQ(Sum("Iznos", "NAPLATA", "\"Tip\" = 'gotovina'"), 20.0 * kSales);
    EXPECT_DOUBLE_EQ(Sum("Iznos", "UPLATE", "\"Tip\" = 'kartica'"), 10.0 * kSales);
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));
}

}  // namespace
}  // namespace zodra::test
