#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace zodra {

class Database;
class Prompter;

// Exchange rates of the day, kept in VALUTE_TECAJ per currency and date.
namespace exchangerates {

// The home currency: VALUTE row 1, whose rate is always 1. An article or price without a currency
// (0) is in it too.
constexpr int kHomeCurrency = 1;
inline bool IsForeignCurrency(int currency) {
    return currency != 0 && currency != kHomeCurrency;
}

// The rate of a currency on a date, if one is stored.
std::optional<double> RateOn(Database& db, int currency, const QDate& date);

// For every currency without a rate on the date (or only the one named): the home currency
// (code 1) gets rate 1 without a question, any other is asked for; a number adds the rate,
// anything else (an empty answer included) adds nothing and says so.
void AskMissingRates(Database& db, const QDate& date, Prompter& prompter,
                     const QString& onlyCurrencyName = QString());

// Parses a typed rate: a number above 0 (a decimal comma is accepted).
std::optional<double> ParseRate(const QString& typed);

// The rate grid of the currency register: every stored rate of a currency by date.
struct Rate {
    QDate date;
    double rate = 0;
};
std::vector<Rate> RatesOf(Database& db, int currency);

// Stores (adds or replaces) the rate of a currency on a date. A rate that is not a number
// above 0 is refused with "Neispravno upisan tečaj " + the currency's name.
void SetRate(Database& db, int currency, const QDate& date, const QString& typed);
void DeleteRate(Database& db, int currency, const QDate& date);

}  // namespace exchangerates
}  // namespace zodra
