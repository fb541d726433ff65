#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace zodra {

// The ranges a business number or date may take anywhere in the program: typed in a window,
// read from a file (JSON, CSV) or passed to a core operation. A value outside them (not a number,
// infinite, absurdly large, a quantity finer than the stored precision) cannot be a real
// document's value; accepting it would poison every balance computed from it later. The ranges
// are described for users in docs/input-limits.md.
namespace limits {

enum class NumberKind {
    Amount,    // money with a sign: totals, costs, summary items; |x| < 10^12
    Price,     // a unit price or value: 0 <= x < 10^12
    Quantity,  // a quantity with a sign: |x| < 10^9, at most 10 decimals that matter
    Percent,   // a margin, surcharge or markup: -100 <= x <= 1000
    Discount,  // a discount: -100 <= x <= 100 (negative is a surcharge)
    TaxRate,   // a tax rate: 0 <= x <= 100
    Rate,      // an exchange rate or a factor: 0 < x < 10^6
};

constexpr double kMaxAmount = 1e12;
constexpr double kMaxQuantity = 1e9;
constexpr double kMaxRate = 1e6;
constexpr double kMinPercent = -100.0;
constexpr double kMaxPercent = 1000.0;

// The first and last year any stored date may have.
constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2099;
// A document date may lie this many years before its business year (late entries of old
// documents) and one year after it (a document dated into the next year before the transfer).
constexpr int kYearsBefore = 5;
constexpr int kYearsAfter = 1;

// "<what> nije ispravan broj !": a value that is not a finite number, or none where one is
// required (a NULL in a stored row).
QString NotANumberMessage(const QString& what);

// The Croatian message for a value of that kind that breaks its rule, naming the field as
// `what` ("Količina", "Cijena" …); nullopt when the value is acceptable.
std::optional<QString> CheckNumber(double value, NumberKind kind, const QString& what);
// The same as a refusal: throws UserError with the message.
void RequireNumber(double value, NumberKind kind, const QString& what);

// A date anywhere in the program: valid and within kFirstYear…kLastYear.
std::optional<QString> CheckDate(const QDate& date, const QString& what);
// A document's date: also within kYearsBefore years before and kYearsAfter after the business
// year.
std::optional<QString> CheckDocumentDate(const QDate& date, int businessYear, const QString& what);
void RequireDocumentDate(const QDate& date, int businessYear, const QString& what);

// Text typed or imported into a stored field: no control characters (NUL, escape, bell …);
// tab and line breaks only where `multiLine`.
std::optional<QString> CheckText(const QString& text, const QString& what, bool multiLine = false);

}  // namespace limits
}  // namespace zodra
