#include <gtest/gtest.h>

#include "reports/ReportTestSupport.h"

#include <vector>

#include "reports/PagedBook.h"

namespace zodra {
namespace {

struct Written {
    PagedBook::Row::Kind kind;
    int page;
    int number;
    QString text;
    std::vector<double> amounts;
};

// Builds a book of n bookings, booking i with receipt i and payment 0.5·i.
std::vector<Written> Build(int n, int rowsPerPage = 40) {
    std::vector<Written> rows;
    PagedBook book(rowsPerPage, 2, [&rows](const PagedBook::Row& r) {
        rows.push_back({r.kind, r.page, r.number, r.text, r.amounts});
    });
    book.Start();
    for (int i = 1; i <= n; ++i) {
        book.Add({double(i), 0.5 * i});
    }
    return rows;
}

double SumTo(int n) {
    return n * (n + 1) / 2.0;
}

using Kind = PagedBook::Row::Kind;

TEST(PagedBook, NoBookingsGiveOnlyTheOpeningRow) {
    const auto rows = Build(0);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].kind, Kind::Opening);
    EXPECT_EQ(rows[0].page, 1);
    EXPECT_EQ(rows[0].text, QStringLiteral("DONOS SA STRANE 0"));
    EXPECT_EQ(rows[0].amounts, (std::vector<double>{0, 0}));
}

TEST(PagedBook, ThirtyNineBookingsStayOnPageOne) {
    const auto rows = Build(39);
    ASSERT_EQ(rows.size(), 40u);
    EXPECT_EQ(rows.back().kind, Kind::Booking);
    EXPECT_EQ(rows.back().number, 39);
    EXPECT_EQ(rows.back().page, 1);
}

TEST(PagedBook, FortyBookingsEndWithACarryOnlyPage) {
    const auto rows = Build(40);
    ASSERT_EQ(rows.size(), 43u);  // opening + 40 + two carry rows
    EXPECT_EQ(rows[40].number, 40);
    EXPECT_EQ(rows[40].page, 1);
    EXPECT_EQ(rows[41].kind, Kind::CarryOut);
    EXPECT_EQ(rows[41].page, 1);
    EXPECT_EQ(rows[41].text, QStringLiteral("PRIJENOS NA STRANICU 2"));
    EXPECT_EQ(rows[41].amounts, (std::vector<double>{SumTo(40), 0.5 * SumTo(40)}));
    EXPECT_EQ(rows[42].kind, Kind::CarryIn);
    EXPECT_EQ(rows[42].page, 2);
    EXPECT_EQ(rows[42].text, QStringLiteral("DONOS SA STRANE 1"));
    EXPECT_EQ(rows[42].amounts, rows[41].amounts);
}

TEST(PagedBook, BookingFortyOneOpensPageTwoAfterItsCarry) {
    const auto rows = Build(41);
    ASSERT_EQ(rows.size(), 44u);
    EXPECT_EQ(rows[42].text, QStringLiteral("DONOS SA STRANE 1"));
    EXPECT_EQ(rows[43].kind, Kind::Booking);
    EXPECT_EQ(rows[43].number, 41);
    EXPECT_EQ(rows[43].page, 2);
    // A booking row carries its own amounts, not the running sums.
    EXPECT_EQ(rows[43].amounts, (std::vector<double>{41, 20.5}));
}

TEST(PagedBook, CarriesAreCumulativeFromTheStartOfTheRange) {
    const auto rows = Build(80);
    ASSERT_EQ(rows.size(), 1u + 80u + 4u);
    std::vector<Written> carries;
    for (const auto& r : rows) {
        if (r.kind == Kind::CarryOut || r.kind == Kind::CarryIn) {
            carries.push_back(r);
        }
    }
    ASSERT_EQ(carries.size(), 4u);
    EXPECT_EQ(carries[2].text, QStringLiteral("PRIJENOS NA STRANICU 3"));
    EXPECT_EQ(carries[2].page, 2);
    EXPECT_EQ(carries[3].text, QStringLiteral("DONOS SA STRANE 2"));
    EXPECT_EQ(carries[3].page, 3);
    EXPECT_EQ(carries[2].amounts, (std::vector<double>{SumTo(80), 0.5 * SumTo(80)}));
    EXPECT_EQ(rows.back().kind, Kind::CarryIn);
}

TEST(PagedBook, EightyOneBookingsPutTheLastOnPageThree) {
    const auto rows = Build(81);
    ASSERT_EQ(rows.size(), 1u + 81u + 4u);
    EXPECT_EQ(rows.back().kind, Kind::Booking);
    EXPECT_EQ(rows.back().number, 81);
    EXPECT_EQ(rows.back().page, 3);
    int onPage2 = 0;
    for (const auto& r : rows) {
        onPage2 += r.page == 2 ? 1 : 0;
    }
    EXPECT_EQ(onPage2, 42);  // DONOS, 40 bookings, PRIJENOS
}

TEST(PagedBook, ShortPagesOfTheReceiptsBook) {
    const auto rows = Build(9, 9);
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[10].text, QStringLiteral("PRIJENOS NA STRANICU 2"));
    EXPECT_EQ(rows[11].text, QStringLiteral("DONOS SA STRANE 1"));
    EXPECT_EQ(rows[11].page, 2);
}

}  // namespace
}  // namespace zodra
