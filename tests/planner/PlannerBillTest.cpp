// The planner's bill file: what the example says, the bill's identity, every fault refused.

#include <gtest/gtest.h>

#include "planner/PlannerBill.h"
#include "planner/PlannerTestBill.h"
#include "support/Refused.h"

using namespace zodra;
using namespace zodra::planner;
using namespace zodra::test;

namespace {

TEST(PlannerBillTest, ReadsABillAndRefusesEveryFaultWithItsMessage) {
    const PlannerBill b = ParsePlannerBill(ExampleBill());
    EXPECT_EQ(b.date, QDate(2026, 3, 10));
    EXPECT_EQ(b.clientName, QStringLiteral("O'Brien Ana"));
    EXPECT_EQ(b.payment, PaymentKind::Card);
    ASSERT_EQ(b.services.size(), 3u);
    EXPECT_EQ(b.services[1].name, QStringLiteral("Pranje kose"));
    EXPECT_EQ(b.services[0].discount, 10);
    EXPECT_EQ(ParsePlannerBill(ExampleBill({{"12.50", "12,50"}})).services[1].price, 12.5);
    // The same bill laid out otherwise is the same bill; another time is another one.
    EXPECT_EQ(BillIdentity(ParsePlannerBill(ExampleBill({{"\n", ""}, {"  ", ""}}))),
              BillIdentity(b));
    EXPECT_NE(BillIdentity(ParsePlannerBill(ExampleBill({{"14:30", "14:31"}}))), BillIdentity(b));
    // The edges that are accepted: a free service wholly discounted, a cheque without card type.
    EXPECT_NO_THROW(ParsePlannerBill(ExampleBill({{"12.50", "0"},
                                                  {">0<", ">100<"},
                                                  {">kartica<", ">Ček<"},
                                                  {"<TipKartice>Maestro</TipKartice>", ""}})));

    const struct {
        const char* from;
        const char* to;
        const char* message;
    } faults[] = {
        {"</Racun>", "", "datoteka nije ispravan XML (redak 41: Premature end of document.)"},
        {"Zaglavlje>", "Glava>", "nedostaje element \"Zaglavlje\""},
        {"2026-03-10T14:30:00", "", "nije upisan \"Datum\""},
        {"2026-03-10T14:30:00", "10.03.2026", "\"Datum\" nije ispravan datum (10.03.2026)"},
        {"T14:30:00", "T25:00:00", "\"Datum\" nije ispravan datum (2026-03-10T25:00:00)"},
        {"O'Brien Ana", " ", "nije upisan \"PrezimeIme\""},
        {">kartica<", ">bon<", "nepoznat način plaćanja \"bon\" (gotovina, ček ili kartica)"},
        {"<TipKartice>Maestro</TipKartice>", "", "plaćanje karticom bez \"TipKartice\""},
        {"ObavljeneUsluge>", "Usluga>", "nema obavljenih usluga (\"ObavljeneUsluge\")"},
        {"<Cijena>12.50</Cijena>", "", "usluga 2: nije upisan \"Cijena\""},
        {"12.50", "nan", "usluga 2: \"Cijena\" nije ispravan broj (nan)"},
        {"12.50", "1.234,5", "usluga 2: \"Cijena\" nije ispravan broj (1.234,5)"},
        {"12.50", "-0.01", "usluga 2: \"Cijena\" ne može biti negativna"},
        {">10<", ">100.5<", "usluga 1: \"PopustPosto\" nije broj od 0 do 100 (100.5)"},
        {"<Sifra>S2</Sifra>\n    <Naziv>", "<Sifra>S3</Sifra><Naziv>",
         "usluga 2: šifra \"S2\" nije u popisu usluga (\"Usluge\")"},
    };
    for (const auto& f : faults) {
        EXPECT_REFUSED(
            ParsePlannerBill(ExampleBill({{f.from, f.to}})),
            QStringLiteral("Račun planera: ") + QString::fromUtf8(f.message) + QLatin1Char('.'));
    }
}

}  // namespace
