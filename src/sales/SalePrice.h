#pragma once

#include <QDate>
#include <optional>

namespace zodra {
class Database;
}

namespace zodra::sales {

constexpr int kRetailSalesTerms = 1;

// What a sale is priced from: the article, the customer (none: no price list), the lot it is
// taken from in the warehouse and year, the sales terms of the line and the document's date.
struct SalePriceQuery {
    int article = 0;
    std::optional<int> customer;
    int warehouse = 0;
    std::optional<int> lot;  // none: the article has no lot to sell from
    int year = 0;
    int salesTerms = 0;
    QDate date;
};

// The one net unit price (without tax, before discount) an invoice line and a register line
// start from:
//  - the customer's price list price of the article, in the home currency (its currency × the
//    rate of the date);
//  - else the lot's selling price, and for the retail terms 1 that price × (1 + the lot's retail
//    margin / 100); where the customer's list prices the article's group from currency prices,
//    the article's price in its currency × the rate of the date stands in for the lot's price.
// A currency without a rate on the date is refused with "Nije upisan tečaj '" + currency + "' za "
// + date + "."; no list price and no lot with "Nije pronađena cijena u tabeli NABAVE."; a price
// that is not a finite number with "Nije pronađena cijena artikla.".
double SalePrice(Database& db, const SalePriceQuery& query);

}  // namespace zodra::sales
