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

// Where the pages break: the row count (opening, bookings and two carry rows per full page),
// and the kind, page and number of the last row.
TEST(PagedBook, PagesBreakAfterTheirBookingsWithACarryPair) {
    const struct {
        int bookings, rowsPerPage;
        size_t rows;
        Kind lastKind;
        int lastPage, lastNumber;
    } cases[] = {
        {0, 40, 1, Kind::Opening, 1, 0},   {39, 40, 40, Kind::Booking, 1, 39},
        {40, 40, 43, Kind::CarryIn, 2, 0}, {41, 40, 44, Kind::Booking, 2, 41},
        {80, 40, 85, Kind::CarryIn, 3, 0}, {81, 40, 86, Kind::Booking, 3, 81},
        {9, 9, 12, Kind::CarryIn, 2, 0},  // the short pages of the receipts book
    };
    for (const auto& c : cases) {
        const auto rows = Build(c.bookings, c.rowsPerPage);
        ASSERT_EQ(rows.size(), c.rows) << c.bookings;
        EXPECT_EQ(rows.back().kind, c.lastKind) << c.bookings;
        EXPECT_EQ(rows.back().page, c.lastPage) << c.bookings;
        if (c.lastKind == Kind::Booking) {
            EXPECT_EQ(rows.back().number, c.lastNumber) << c.bookings;
        }
    }
}

TEST(PagedBook, CarriesNameTheirPagesAndAreCumulativeFromTheStartOfTheRange) {
    const auto rows = Build(81);
    EXPECT_EQ(rows[0].kind, Kind::Opening);
    EXPECT_EQ(rows[0].page, 1);
    EXPECT_EQ(rows[0].text, QStringLiteral("DONOS SA STRANE 0"));
    EXPECT_EQ(rows[0].amounts, (std::vector<double>{0, 0}));
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
    // A booking row carries its own amounts, not the running sums.
    EXPECT_EQ(rows[43].number, 41);
    EXPECT_EQ(rows[43].amounts, (std::vector<double>{41, 20.5}));
    EXPECT_EQ(rows[83].text, QStringLiteral("PRIJENOS NA STRANICU 3"));
    EXPECT_EQ(rows[83].page, 2);
    EXPECT_EQ(rows[83].amounts, (std::vector<double>{SumTo(80), 0.5 * SumTo(80)}));
    EXPECT_EQ(rows[84].text, QStringLiteral("DONOS SA STRANE 2"));
    EXPECT_EQ(rows[84].page, 3);
    int onPage2 = 0;
    for (const auto& r : rows) {
        onPage2 += r.page == 2 ? 1 : 0;
    }
    EXPECT_EQ(onPage2, 42);  // DONOS, 40 bookings, PRIJENOS
}

}  // namespace
}  // namespace zodra
