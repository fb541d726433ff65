#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace zodra {

class Database;
class Prompter;

// Exchange rates of the day, kept in VALUTE_TECAJ per currency and date.
namespace exchangerates {

// The rate of a currency on a date, if one is stored.
std::optional<double> RateOn(Database& db, int currency, const QDate& date);

// For every currency without a rate on the date (or only the one named): the home currency
// (code 1) gets rate 1 without a question, any other is asked for; a number adds the rate,
// anything else (an empty answer included) adds nothing and says so.
void AskMissingRates(Database& db, const QDate& date, Prompter& prompter,
                     const QString& onlyCurrencyName = QString());

// Parses a typed rate: a number above 0 (a decimal comma is accepted).
std::optional<double> ParseRate(const QString& typed);

}  // namespace exchangerates
}  // namespace zodra
