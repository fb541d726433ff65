#include "data/Rounding.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace zodra {

double RoundDecimal(double value, int decimals) {
    if (!std::isfinite(value) || value == 0.0) {
        return value == 0.0 ? 0.0 : value;
    }
    // Fifteen significant digits in scientific notation: d.dddddddddddddde±XX.
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, 14);
    if (ec != std::errc()) {
        return value;
    }
    std::string text(buffer, end);
    const auto ePos = text.find('e');
    const int exponent = std::atoi(text.c_str() + ePos + 1);
    std::string digits;
    for (size_t i = 0; i < ePos; ++i) {
        if (text[i] != '.') {
            digits.push_back(text[i]);
        }
    }
    // digits holds 15 significant digits; the first one has weight 10^exponent.
    // Keep the digits whose weight is at least 10^-decimals.
    const int keep = exponent + decimals + 1;
    if (keep <= 0) {
        // Every digit lies below the rounding position; only a leading 5+ can round up when
        // the value sits exactly one place below.
        if (keep == 0 && digits[0] >= '5') {
            const double up = std::pow(10.0, -decimals);
            return value < 0 ? -up : up;
        }
        return 0.0;
    }
    if (keep >= static_cast<int>(digits.size())) {
        return value;
    }
    std::string kept = digits.substr(0, static_cast<size_t>(keep));
    const bool roundUp = digits[static_cast<size_t>(keep)] >= '5';
    int carryExponent = exponent;
    if (roundUp) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0) {
            if (kept[static_cast<size_t>(i)] == '9') {
                kept[static_cast<size_t>(i)] = '0';
                --i;
            } else {
                ++kept[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            ++carryExponent;
        }
    }
    // Rebuild "d.ddde±X" and parse it back.
    std::string out;
    if (value < 0) {
        out.push_back('-');
    }
    out.push_back(kept[0]);
    if (kept.size() > 1) {
        out.push_back('.');
        out.append(kept, 1, std::string::npos);
    }
    out.push_back('e');
    out.append(std::to_string(carryExponent));
    double result = 0.0;
    std::from_chars(out.data(), out.data() + out.size(), result);
    return result;
}

QString ShownNumber(double value, int decimals) {
    QString text = QString::number(RoundDecimal(value, decimals), 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0'))) {
            text.chop(1);
        }
        if (text.endsWith(QLatin1Char('.'))) {
            text.chop(1);
        }
    }
    if (text == QLatin1String("-0")) {
        text = QStringLiteral("0");
    }
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

QString FixedNumberText(double value, int decimals, const QLocale& locale) {
    double rounded = RoundDecimal(value, decimals);
    if (rounded == 0.0) {
        rounded = 0.0;  // no "-0,00"
    }
    return locale.toString(rounded, 'f', decimals);
}

QString MoneyText(double value) {
    double rounded = RoundMoney(value);
    if (rounded == 0.0) {
        rounded = 0.0;
    }
    return QString::number(rounded, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

void MoneyTotal::Add(double amount) {
    if (!std::isfinite(amount)) {
        m_notFinite += amount;
        return;
    }
    m_cents += std::llround(RoundMoney(amount) * 100.0);
}

double MoneyTotal::Value() const {
    return static_cast<double>(m_cents) / 100.0 + m_notFinite;
}

}  // namespace zodra
