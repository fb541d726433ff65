#pragma once

#include <QDate>
#include <optional>

namespace zodra {
class Database;
}

// How the sales windows read the price lists when they price a line.
namespace zodra::pricing {

// The customer's price list, when the customer has one (PARTNERI.CJENIK not 0 and the list
// exists).
std::optional<int> PriceListOf(Database& db, int customer);

// The customer's list price of an article on a date, in the home currency: the list's net
// price times the rate of its currency on that date (the home currency, code 1, is 1; a price
// without currency is taken as it stands). Nothing when the customer has no list or the list has
// no price for the article. A missing rate is refused (UserError) with
// "Nije upisan tečaj '" + currency + "' za " + date + ".".
std::optional<double> CustomerListPrice(Database& db, int customer, int article, const QDate& date);

// Whether the customer's list prices the article's group from the lot's currency price (the
// group row's "Cijene iz artikala").
bool PricedFromCurrency(Database& db, int customer, int article);

// The discount proposed for a line: the customer's list's discount for the article's group,
// else the list's general row (all groups), else the customer's own discount.
double ProposedDiscount(Database& db, int customer, int article);

}  // namespace zodra::pricing
