// What the list and the print of a price change read: its lines and change of value, the
// report and title of a price change and of a cancelled one, and a number that has none.
#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "stockdocs/PriceChangeList.h"
#include "stockdocs/PriceChangePrint.h"
#include "stockdocs/PriceChangeRemoval.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

using PriceChangePrintTest = PriceChangeTest;

TEST_F(PriceChangePrintTest, ThePrintFollowsTheCancellationAndTheListShowsTheChange) {
    const int lot = docs->Receipt({{screw, 10, 5.00, 9.00}});
    EXPECT_REFUSED(sd::WorkingPriceChangePrintRequest(*session, {1, QDate(2026, 3, 3)}),
                   "Izmjena cijena nema niti jedne stavke !");
    sd::AddPriceChangeLine(*session, screw, lot, 12.345);
    // The working copy of this workstation, before posting.
    const reports::ReportRequest working =
        sd::WorkingPriceChangePrintRequest(*session, {1, QDate(2026, 3, 3)});
    EXPECT_EQ(working.reportFile, QStringLiteral("izmjena_pr.rpt"));
    EXPECT_EQ(working.title, QStringLiteral("Ispis izmjene cijena u radu"));
    EXPECT_EQ(working.selection.ToText(),
              QStringLiteral("{STAVKE_IZMJENA_CIJENA_PRIVREMENO.SKLADISTE}=1 AND "
                             "{STAVKE_IZMJENA_CIJENA_PRIVREMENO.GODINA}=2026 AND "
                             "{STAVKE_IZMJENA_CIJENA_PRIVREMENO.Multiuser_sifra}=") +
                  QString::number(session->sessionCode));
    EXPECT_EQ(sd::WorkingPriceChangeTotals(*session), QStringLiteral("Razlika: 33,45 EUR"));
    const int number = sd::PostPriceChange(*session, {0, QDate(2026, 3, 3)});

    const TableData rows = sd::PriceChangeChoices(db(), 1, Year());
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.Value(0, 0).toInt(), number);
    EXPECT_FALSE(rows.Value(0, 3).toBool());
    EXPECT_NEAR(rows.Value(0, 4).toDouble(), 33.45, 1e-9);
    const TableData lines = sd::PostedPriceChangeLines(db(), 1, Year(), number);
    ASSERT_EQ(lines.RowCount(), 1);
    EXPECT_EQ(lines.Value(0, 2).toInt(), lot);
    EXPECT_DOUBLE_EQ(lines.Value(0, 4).toDouble(), 9.00);
    EXPECT_DOUBLE_EQ(lines.Value(0, 5).toDouble(), 12.345);

    reports::ReportRequest request = sd::PriceChangePrintRequest(*session, number);
    EXPECT_EQ(request.reportFile, QStringLiteral("izmjena.rpt"));
    EXPECT_EQ(request.title, QStringLiteral("Ispis izmjene cijena br. 1"));
    EXPECT_EQ(request.selection.ToText(),
              QStringLiteral("{STAVKE_IZMJENA_CIJENA.SKLADISTE}=1 AND "
                             "{STAVKE_IZMJENA_CIJENA.GODINA}=2026 AND "
                             "{STAVKE_IZMJENA_CIJENA.BROJ_IZMJENE_CIJENA}=1"));

    sd::CancelPriceChange(*session, number, QDate(2026, 3, 4));
    request = sd::PriceChangePrintRequest(*session, number);
    EXPECT_EQ(request.reportFile, QStringLiteral("izmjena_storno.rpt"));
    EXPECT_EQ(request.title, QStringLiteral("Ispis storna izmjene cijena br. 1"));
    EXPECT_TRUE(sd::PriceChangeChoices(db(), 1, Year()).Value(0, 3).toBool());
    EXPECT_TRUE(sd::PriceChangeDetails(db(), 1, Year(), number)
                    .endsWith(QStringLiteral("STORNO br. 1 od 04.03.2026")));

    EXPECT_REFUSED(sd::PriceChangePrintRequest(*session, number + 1),
                   "Ne postoji proknjižena izmjena cijena broj 2");
}

}  // namespace
