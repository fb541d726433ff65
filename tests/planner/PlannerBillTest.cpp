// The planner's bill file: what a good bill says, the bill's identity, and every fault refused
// with its own message.

#include <gtest/gtest.h>

#include <QFile>
#include <functional>

#include "planner/PlannerBill.h"
#include "planner/PlannerTestBill.h"
#include "support/Refused.h"

using namespace zodra;
using namespace zodra::planner;
using namespace zodra::test;

namespace {

TEST(PlannerBillTest, ReadsAGoodBillWhateverItsLayout) {
    const PlannerBill b = ParsePlannerBill(BillXml(TestBill{}));
    EXPECT_EQ(b.date, QDate(2026, 3, 10));
    EXPECT_EQ(b.clientName, QStringLiteral("O'Brien Ana"));
    EXPECT_EQ(b.place, QStringLiteral("Zagreb"));
    EXPECT_EQ(b.payment, PaymentKind::Card);
    EXPECT_EQ(b.cardType, QStringLiteral("Maestro"));
    ASSERT_EQ(b.services.size(), 3u);
    EXPECT_EQ(b.services[0].name, QStringLiteral("Šišanje"));
    EXPECT_EQ(b.services[0].discount, 10);
    EXPECT_EQ(b.services[1].name, QStringLiteral("Pranje kose"));
    EXPECT_EQ(b.services[1].price, 12.5);  // a decimal comma
    EXPECT_EQ(b.services[1].discount, 0);
    EXPECT_EQ(b.services[2].note, QStringLiteral("drugi"));

    // The documented example reads too, and a plain date without time is a date.
    QFile example(QStringLiteral(ZODRA_SOURCE_DIR "/docs/examples/planer_racun.xml"));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    EXPECT_EQ(ParsePlannerBill(example.readAll()).services.size(), 3u);
    TestBill dateOnly;
    dateOnly.date = QStringLiteral("2026-12-31");
    dateOnly.payment = QStringLiteral("Gotovina");
    const PlannerBill cash = ParsePlannerBill(BillXml(dateOnly));
    EXPECT_EQ(cash.date, QDate(2026, 12, 31));
    EXPECT_EQ(cash.payment, PaymentKind::Cash);
    EXPECT_TRUE(cash.cardType.isEmpty());

    // The identity: the same bill laid out otherwise (service list first, blanks, line breaks)
    // is the same bill; another time or price is another bill.
    QString relaid = QString::fromUtf8(BillXml(TestBill{}));
    const qsizetype list = relaid.indexOf(QStringLiteral("<Usluge>"));
    const QString services = relaid.mid(list, relaid.indexOf(QStringLiteral("</Racun>")) - list);
    relaid.remove(list, services.size());
    relaid.replace(QStringLiteral("<Racun>"), QStringLiteral("<Racun>\n  ") + services);
    relaid.replace(QStringLiteral("<Cijena>"), QStringLiteral("\n    <Cijena> "));
    EXPECT_EQ(BillIdentity(ParsePlannerBill(relaid.toUtf8())), BillIdentity(b));
    TestBill later;
    later.date = QStringLiteral("2026-03-10T14:31:00");
    EXPECT_NE(BillIdentity(ParsePlannerBill(BillXml(later))), BillIdentity(b));
    TestBill dearer;
    dearer.services[1].price = QStringLiteral("12.51");
    EXPECT_NE(BillIdentity(ParsePlannerBill(BillXml(dearer))), BillIdentity(b));
}

TEST(PlannerBillTest, RefusesEveryFaultWithItsMessage) {
    const QByteArray good = BillXml(TestBill{});
    auto edited = [&](const char* from, const char* to) {
        QByteArray x = good;
        EXPECT_TRUE(x.contains(from)) << from;
        return x.replace(from, to);
    };
    auto with = [](const std::function<void(TestBill&)>& change) {
        TestBill b;
        change(b);
        return BillXml(b);
    };
    const struct {
        QByteArray xml;
        const char* message;
    } cases[] = {
        {good.left(good.size() - 20),
         "Račun planera: datoteka nije ispravan XML (redak 2: "
         "Premature end of document.)."},
        {"<Bill/>", "Račun planera: nedostaje element \"Racun\"."},
        {edited("<Zaglavlje>", "<Glava>").replace("</Zaglavlje>", "</Glava>"),
         "Račun planera: nedostaje element \"Zaglavlje\"."},
        {edited("<Klijent>", "<Kupac>").replace("</Klijent>", "</Kupac>"),
         "Račun planera: nedostaje element \"Klijent\"."},
        {with([](TestBill& b) { b.date.clear(); }), "Račun planera: nije upisan \"Datum\"."},
        {with([](TestBill& b) { b.date = QStringLiteral("10.03.2026"); }),
         "Račun planera: \"Datum\" nije ispravan datum (10.03.2026)."},
        {with([](TestBill& b) { b.date = QStringLiteral("2026-02-30T10:00:00"); }),
         "Račun planera: \"Datum\" nije ispravan datum (2026-02-30T10:00:00)."},
        {with([](TestBill& b) { b.date = QStringLiteral("2026-03-10T25:00:00"); }),
         "Račun planera: \"Datum\" nije ispravan datum (2026-03-10T25:00:00)."},
        {with([](TestBill& b) { b.client = QStringLiteral("  "); }),
         "Račun planera: nije upisan \"PrezimeIme\"."},
        {with([](TestBill& b) { b.payment.clear(); }),
         "Račun planera: nije upisan \"NacinPlacanja\"."},
        {with([](TestBill& b) { b.payment = QStringLiteral("bon"); }),
         "Račun planera: nepoznat način plaćanja \"bon\" (gotovina, ček ili kartica)."},
        {with([](TestBill& b) { b.cardType.clear(); }),
         "Račun planera: plaćanje karticom bez \"TipKartice\"."},
        {with([](TestBill& b) { b.services.clear(); }),
         "Račun planera: nema obavljenih usluga (\"ObavljeneUsluge\")."},
        {with([](TestBill& b) { b.services[1].code.clear(); }),
         "Račun planera: usluga 2: nije upisan \"Sifra\"."},
        {with([](TestBill& b) { b.services[1].price.clear(); }),
         "Račun planera: usluga 2: nije upisan \"Cijena\"."},
        {with([](TestBill& b) { b.services[1].price = QStringLiteral("nan"); }),
         "Račun planera: usluga 2: \"Cijena\" nije ispravan broj (nan)."},
        {with([](TestBill& b) { b.services[1].price = QStringLiteral("inf"); }),
         "Račun planera: usluga 2: \"Cijena\" nije ispravan broj (inf)."},
        {with([](TestBill& b) { b.services[1].price = QStringLiteral("1.234,50"); }),
         "Račun planera: usluga 2: \"Cijena\" nije ispravan broj (1.234,50)."},
        {with([](TestBill& b) { b.services[2].price = QStringLiteral("-0.01"); }),
         "Račun planera: usluga 3: \"Cijena\" ne može biti negativna."},
        {with([](TestBill& b) { b.services[0].discount = QStringLiteral("100.5"); }),
         "Račun planera: usluga 1: \"PopustPosto\" nije broj od 0 do 100 (100.5)."},
        {with([](TestBill& b) { b.services[0].discount = QStringLiteral("-5"); }),
         "Račun planera: usluga 1: \"PopustPosto\" nije broj od 0 do 100 (-5)."},
        {with([](TestBill& b) { b.services[0].code = QStringLiteral("S9"); }),
         "Račun planera: usluga 1: šifra \"S9\" nije u popisu usluga (\"Usluge\")."},
    };
    for (const auto& c : cases) {
        EXPECT_REFUSED(ParsePlannerBill(c.xml), c.message);
    }
    // The edges that are accepted: a free service, a whole discount, "ček" without a card type.
    EXPECT_NO_THROW(ParsePlannerBill(with([](TestBill& b) {
        b.services[0].price = QStringLiteral("0");
        b.services[0].discount = QStringLiteral("100");
        b.payment = QStringLiteral("ček");
        b.cardType.clear();
    })));
}

}  // namespace
