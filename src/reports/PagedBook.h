#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "data/Rounding.h"

namespace zodra {

// A book printed page by page with its amounts carried from one page to the next: the cash
// book (40 bookings a page), the book of receipts and expenditures (9) and the inventory book
// (40). The builder numbers the bookings and pages and produces the rows the book's work table
// receives:
//   - the opening row "DONOS SA STRANE 0" on page 1 with zero sums;
//   - each booking on its page with its running number (RBR) from 1;
//   - after every full page, "PRIJENOS NA STRANICU n+1" on the full page n and
//     "DONOS SA STRANE n" on page n+1, both carrying the sums of all bookings so far (from the
//     start of the range, not the page's own).
// The sums are of the bookings' amounts rounded to the cent, so a carried sum is the sum of the
// amounts printed above it.
// After the last booking nothing is added: the last page ends with its last booking, and a
// book whose bookings fill the last page exactly ends with a page that holds only its
// "DONOS SA STRANE" row.
class PagedBook {
public:
    struct Row {
        enum class Kind { Opening, Booking, CarryOut, CarryIn };
        Kind kind;
        int page;      // BROJ_STRANICE, from 1
        int number;    // RBR of a booking; 0 on the opening and carry rows
        QString text;  // the carry text; empty on a booking
        // A booking's own amounts, or on the other rows the sums of all bookings so far.
        const std::vector<double>& amounts;
    };
    using Writer = std::function<void(const Row&)>;

    static QString OpeningText() { return CarryInText(0); }
    static QString CarryOutText(int nextPage);     // "PRIJENOS NA STRANICU " + page
    static QString CarryInText(int previousPage);  // "DONOS SA STRANE " + page

    // rowsPerPage bookings a page, amountCount amount columns summed for the carry rows.
    PagedBook(int rowsPerPage, int amountCount, Writer writer);

    // Writes the opening row.
    void Start();
    // Writes a booking and, when it fills its page, the two carry rows.
    void Add(const std::vector<double>& amounts);

    int Bookings() const { return m_number; }
    int Page() const { return m_page; }
    const std::vector<double>& Sums() const { return m_sums; }

private:
    int m_rowsPerPage;
    Writer m_writer;
    std::vector<MoneyTotal> m_totals;
    std::vector<double> m_sums;  // the totals' values, as the carry rows hand them over
    int m_number = 0;
    int m_onPage = 0;
    int m_page = 1;
};

}  // namespace zodra
