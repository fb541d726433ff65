#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "data/InputLimits.h"

namespace zodra::inputrules {

// The input conventions every window shares, as plain rules so that they are tested once.

// Messages of the number and date boxes.
QString InvalidNumberMessage();  // "Nije ispravno upisan broj. …"
QString InvalidDateMessage();    // "Nije ispravno upisan datum. …"
QString SundayMessage();         // "Ovaj datum je nedjelja !"

// The one rule for a number typed by the user, in a number box, a register's box or a voucher:
// digits with an optional sign and one decimal separator, the comma or the point; no grouping,
// no blanks inside, no exponent ("1e5" is a slip of the finger, not 100000), nothing infinite.
// "" and "-" are allowed on the way to a number, and so is a trailing separator ("12,").
bool IsAcceptableNumberText(const QString& text);
// The value of typed text by that rule: "", "-" and a lone separator count as 0; anything else
// that is not a number gives std::nullopt.
std::optional<double> ParseNumber(const QString& text);
// What a number box of a kind says of the value typed into it: the input limits' message
// (data/InputLimits.h), or nothing. Zero always passes while typing, since a box on its way to
// "0,5" passes through "0"; where a kind refuses zero (a rate) the core operation refuses it.
std::optional<QString> NumberBoxRefusal(double value, limits::NumberKind kind, const QString& what);

// How a number box shows a value it is given (no grouping, comma as decimal separator, no
// trailing zeros beyond what the value needs; at most `decimals` decimals).
QString FormatNumber(double value, int decimals = 10);

// Dates are typed day first: "d.M.yyyy", "d.M.yy", "d.M." (this year), with or without the
// final point, also with "/" or "-" or "," between the parts, or as 6 or 8 digits ("ddMMyy",
// "ddMMyyyy"). Two-digit years are 2000 + yy. std::nullopt when it is not a real date.
std::optional<QDate> ParseDate(const QString& text, const QDate& today);
// What a date box says of a date it was given: outside the years any date may have, or for a
// document date outside the reach of its business year, the input limits' message.
std::optional<QString> DateBoxRefusal(const QDate& date, std::optional<int> businessYear,
                                      const QString& what);
// How a date box shows a date: "dd.MM.yyyy".
QString FormatDate(const QDate& date);
bool IsSunday(const QDate& date);

}  // namespace zodra::inputrules
