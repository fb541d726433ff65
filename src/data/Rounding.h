#pragma once

#include <QString>

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

}  // namespace zodra
