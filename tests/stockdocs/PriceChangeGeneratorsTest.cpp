// The buttons that fill a price change from the lots.

#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "stockdocs/PriceChangeGenerators.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

class PriceChangeGeneratorsTest : public PriceChangeTest {
protected:
    // The new price of the working line of a lot; none when it has no line.
    std::optional<double> NewPrice(int lot, int article) {
        for (const auto& row : sd::WorkingPriceChangeLines(db(), session->sessionCode)) {
            if (row.line.lot == lot && row.line.article == article) {
                return row.line.newPrice;
            }
        }
        return std::nullopt;
    }
};

TEST_F(PriceChangeGeneratorsTest, PercentCostAndRoundedRetailPriceOfEveryLotWithStock) {
    const int lot = docs->Receipt({{screw, 10, 12.00, 20.00}, {nut, 4, 5.00, 8.1234}});
    const int empty = docs->Receipt({{screw, 2, 1.00, 3.00}});
    docs->Post(Issue::IssueNote, {{screw, 2, empty}});

    EXPECT_REFUSED(sd::AddLinesByPercent(*session, {screw}, -101, false),
                   "Postotak mora biti između -100 i 1000 !");
    EXPECT_EQ(sd::AddLinesByPercent(*session, {screw}, -10, false), 1);
    EXPECT_DOUBLE_EQ(*NewPrice(lot, screw), 18.00);
    EXPECT_FALSE(NewPrice(lot, nut));
    EXPECT_FALSE(NewPrice(empty, screw)) << "a lot without stock is never taken";
    // Again, from the cost price: the lot's line takes the new price, no second line.
    EXPECT_EQ(sd::AddLinesByPercent(*session, {screw}, 50, true), 1);
    EXPECT_DOUBLE_EQ(*NewPrice(lot, screw), 18.00);
    EXPECT_EQ(WorkingLines(*session), 1);

    EXPECT_EQ(sd::AddLinesAtCost(*session), 2);
    EXPECT_DOUBLE_EQ(*NewPrice(lot, screw), 12.00);
    EXPECT_DOUBLE_EQ(*NewPrice(lot, nut), 5.00);

    // 8.1234 × 1.25 = 10.15425 → 10.15, and back: 8.12.
    EXPECT_EQ(sd::AddLinesRoundedRetail(*session), 2);
    EXPECT_DOUBLE_EQ(*NewPrice(lot, nut), 10.15 / 1.25);
    EXPECT_DOUBLE_EQ(*NewPrice(lot, screw), 20.00);
    sd::ClearWorkingPriceChange(*session);
    // A half cent with tax goes up: 8.124 × 1.25 = 10.155 → 10.16.
    docs->PriceChange({{nut, lot, 8.124}});
    sd::AddLinesRoundedRetail(*session);
    EXPECT_DOUBLE_EQ(*NewPrice(lot, nut), 10.16 / 1.25);
    EXPECT_EQ(sd::PostPriceChange(*session, {0, QDate(2026, 3, 4)}), 2);
    EXPECT_DOUBLE_EQ(Price(lot, nut), 10.16 / 1.25);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(PriceChangeGeneratorsTest, EqualisationTakesTheHighestPriceOfTheOtherWarehouse) {
    const int store = AddWarehouse(db(), QStringLiteral("Dućan"));
    const int lot = docs->Receipt({{screw, 10, 5.00, 11.00}, {nut, 10, 1.00, 2.00}});
    docs->Receipt({{screw, 3, 5.00, 10.00}, {nut, 1, 1.00, 2.00}}, QDate(2026, 3, 2), store);
    const int high = docs->Receipt({{screw, 3, 5.00, 12.50}}, QDate(2026, 3, 2), store);
    // A lot of the other warehouse without stock does not count.
    docs->Receipt({{screw, 1, 5.00, 99.00}}, QDate(2026, 3, 2), store);
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = 0, \"KOLICINA_PRIVREMENO\" = 0 "
                             "WHERE \"SKLADISTE\" = ? AND \"VELEPRODAJNA CIJENA\" = 99"),
              {store});
    ASSERT_GT(high, 0);

    EXPECT_REFUSED(sd::AddLinesEqualisedWith(*session, 0, {1}),
                   "Nije izabrano odredišno skladište !");
    EXPECT_EQ(sd::AddLinesEqualisedWith(*session, store, {2}), 0);
    // The nut's price is the same there: no line.
    EXPECT_EQ(sd::AddLinesEqualisedWith(*session, store, {1}), 1);
    EXPECT_DOUBLE_EQ(*NewPrice(lot, screw), 12.50);
    EXPECT_FALSE(NewPrice(lot, nut));
    sd::PostPriceChange(*session, {0, QDate(2026, 3, 4)});
    EXPECT_DOUBLE_EQ(Price(lot, screw), 12.50);
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace
