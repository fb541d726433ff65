#include "data/ScriptedPrompter.h"
#include "retail/DaySumming.h"
#include "retail/RetailPayment.h"
#include "retail/RetailTest.h"
#include "retail/XReport.h"
#include "sales/InvoiceRemoval.h"

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

}  // namespace
}  // namespace zodra::test
