#include "data/InputLimits.h"

#include <cmath>

#include "data/Errors.h"
#include "data/Rounding.h"

namespace zodra::limits {

namespace {

QString OutOfRange(const QString& what, const QString& from, const QString& to) {
    return what + QStringLiteral(" mora biti između ") + from + QStringLiteral(" i ") + to +
           QStringLiteral(" !");
}

}  // namespace

QString NotANumberMessage(const QString& what) {
    return what + QStringLiteral(" nije ispravan broj !");
}

std::optional<QString> CheckNumber(double value, NumberKind kind, const QString& what) {
    if (!std::isfinite(value)) {
        return NotANumberMessage(what);
    }
    switch (kind) {
        case NumberKind::Amount:
            if (std::fabs(value) >= kMaxAmount) {
                return OutOfRange(what, QStringLiteral("-999999999999,99"),
                                  QStringLiteral("999999999999,99"));
            }
            break;
        case NumberKind::Price:
            if (value < 0.0) {
                return what + QStringLiteral(" nesmije biti negativna !");
            }
            if (value >= kMaxAmount) {
                return OutOfRange(what, QStringLiteral("0"), QStringLiteral("999999999999,99"));
            }
            break;
        case NumberKind::Quantity:
            if (std::fabs(value) >= kMaxQuantity) {
                return OutOfRange(what, QStringLiteral("-999999999,9999999999"),
                                  QStringLiteral("999999999,9999999999"));
            }
            if (value != 0.0 && QuantityIsZero(value)) {
                return what + QStringLiteral(" ima više od 10 decimala !");
            }
            break;
        case NumberKind::Percent:
            if (value < kMinPercent || value > kMaxPercent) {
                return OutOfRange(what, QStringLiteral("-100"), QStringLiteral("1000"));
            }
            break;
        case NumberKind::Discount:
            if (value < -100.0 || value > 100.0) {
                return OutOfRange(what, QStringLiteral("-100"), QStringLiteral("100"));
            }
            break;
        case NumberKind::TaxRate:
            if (value < 0.0 || value > 100.0) {
                return OutOfRange(what, QStringLiteral("0"), QStringLiteral("100"));
            }
            break;
        case NumberKind::Rate:
            if (value <= 0.0 || value >= kMaxRate) {
                return what + QStringLiteral(" mora biti veći od nule i manji od 1000000 !");
            }
            break;
    }
    return std::nullopt;
}

void RequireNumber(double value, NumberKind kind, const QString& what) {
    if (auto message = CheckNumber(value, kind, what)) {
        throw UserError(*message);
    }
}

std::optional<QString> CheckDate(const QDate& date, const QString& what) {
    if (!date.isValid()) {
        return what + QStringLiteral(" nije ispravan datum !");
    }
    if (date.year() < kFirstYear || date.year() > kLastYear) {
        return what + QStringLiteral(" mora biti između 01.01.") + QString::number(kFirstYear) +
               QStringLiteral(" i 31.12.") + QString::number(kLastYear) + QStringLiteral(" !");
    }
    return std::nullopt;
}

std::optional<QString> CheckDocumentDate(const QDate& date, int businessYear, const QString& what) {
    if (auto message = CheckDate(date, what)) {
        return message;
    }
    const int first = businessYear - kYearsBefore;
    const int last = businessYear + kYearsAfter;
    if (date.year() < first || date.year() > last) {
        return what + QStringLiteral(" mora biti između 01.01.") + QString::number(first) +
               QStringLiteral(" i 31.12.") + QString::number(last) + QStringLiteral(" !");
    }
    return std::nullopt;
}

void RequireDocumentDate(const QDate& date, int businessYear, const QString& what) {
    if (auto message = CheckDocumentDate(date, businessYear, what)) {
        throw UserError(*message);
    }
}

std::optional<QString> CheckText(const QString& text, const QString& what, bool multiLine) {
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool lineBreak = u == u'\t' || u == u'\n' || u == u'\r';
        if ((u < 0x20 && !(multiLine && lineBreak)) || u == 0x7f || (u >= 0x80 && u < 0xa0)) {
            return what + QStringLiteral(" sadrži nedopušten znak !");
        }
    }
    return std::nullopt;
}

}  // namespace zodra::limits
