#pragma once

#include <QString>
#include <QtGlobal>

class QLocale;

namespace zodra {

// The one place where amounts and quantities are rounded. Values are stored unrounded; they are
// rounded only where they are compared or shown. Rounding is decimal, half away from zero, and
// immune to binary representation: the value is first taken at 15 significant digits (what the
// user typed), so 2.675 rounds to 2.68 and 99.995 to 100.00.
double RoundDecimal(double value, int decimals);

// Quantities are compared and stored after rounding to 10 decimal places.
inline double RoundQuantity(double value) {
    return RoundDecimal(value, 10);
}
// Money is compared at 2 decimal places.
inline double RoundMoney(double value) {
    return RoundDecimal(value, 2);
}

inline bool QuantityIsZero(double value) {
    return RoundQuantity(value) == 0.0;
}
inline bool QuantitiesEqual(double a, double b) {
    return RoundQuantity(a) == RoundQuantity(b);
}
inline bool MoneyEqual(double a, double b) {
    return RoundMoney(a) == RoundMoney(b);
}

// A number as the program shows it to the user: a decimal comma, no grouping, at most
// `decimals` decimals and no trailing zeros ("5", "5,5", "0,125"); never "-0".
QString ShownNumber(double value, int decimals);

// A number with exactly `decimals` decimals in the locale's writing (the Croatian locale groups
// thousands with points). The value is rounded by RoundDecimal first and only then written, so
// the text never makes a rounding decision of its own: 2.675 is "2,68" here as in every grid and
// printout. Never "-0,00".
QString FixedNumberText(double value, int decimals, const QLocale& locale);

// An amount in a message, a dialog or a command's output: rounded to the cent, two decimals, a
// decimal comma, no grouping, a plain hyphen for the sign ("120,38", "-5,00").
QString MoneyText(double value);

// The total of a document, of a column of a book or of a list of documents: every amount is
// rounded to the cent first and the cents are added as whole numbers. So a total is exactly the
// sum of the amounts as they are shown above it, however many there are, and no binary remainder
// accumulates (a thousand lines of 0.10 make 100.00, not 99.9999999999986).
class MoneyTotal {
public:
    void Add(double amount);
    MoneyTotal& operator+=(double amount) {
        Add(amount);
        return *this;
    }
    // The total as a value: the nearest double to the sum in cents.
    double Value() const;

private:
    qint64 m_cents = 0;
    double m_notFinite = 0;  // an infinite or undefined amount stays visible in the total
};

}  // namespace zodra
