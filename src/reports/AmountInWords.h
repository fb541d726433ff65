#pragma once

#include <QString>

namespace zodra {

class Database;

// The amount written out in Croatian words, as printed on invoices and cash vouchers: the
// integer part and the two decimals spelled with number words run together without blanks,
// then the currency name and, for a non-zero decimal part, the sub-unit:
//   1234.56 with "kn" → "jednatisućadvijestotridesetčetiri kn i pedesetšest lp"
// The sub-unit follows the currency: "centi" for "EUR", "feninga" for "Km", "lp" for any other
// name (the kuna). Amounts below 1 spell the integer part "nula"; a negative amount (a total
// less what was already paid) is "minus " followed by the words of its absolute value.
// Amounts of 10^12 and more have no words and are refused with a UserError.
QString AmountInWords(double amount, const QString& currencyName);

// The same with the home currency of the company: the name of currency 1 in VALUTE.
QString AmountInWords(Database& db, double amount);
QString HomeCurrencyName(Database& db);

}  // namespace zodra
