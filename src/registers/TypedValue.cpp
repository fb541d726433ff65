#include "registers/TypedValue.h"

#include <cmath>

#include "data/InputRules.h"
#include "data/Rounding.h"

namespace zodra::registers {

std::optional<double> ParseNumber(const QVariant& typed) {
    if (!typed.isValid() || typed.isNull()) {
        return std::nullopt;
    }
    switch (typed.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong: {
            const double value = typed.toDouble();
            return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
        }
        default:
            break;
    }
    // Typed text reads as every number box reads it; an empty box holds no number.
    const QString text = typed.toString().trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    return inputrules::ParseNumber(text);
}

std::optional<qint64> ParseInteger(const QVariant& typed) {
    const auto number = ParseNumber(typed);
    if (!number || std::floor(*number) != *number || std::fabs(*number) > 9.0e15) {
        return std::nullopt;
    }
    return static_cast<qint64>(*number);
}

QString TextOf(const QVariant& typed) {
    if (!typed.isValid() || typed.isNull()) {
        return QString();
    }
    return typed.toString().trimmed();
}

QString NumberText(double value) {
    return ShownNumber(value, 10);
}

bool FlagOf(const QVariant& typed) {
    if (!typed.isValid() || typed.isNull()) {
        return false;
    }
    if (typed.typeId() == QMetaType::Bool) {
        return typed.toBool();
    }
    const QString text = typed.toString().trimmed().toLower();
    return text == QLatin1String("1") || text == QLatin1String("da") ||
           text == QLatin1String("true") || text == QLatin1String("x") ||
           text == QStringLiteral("istina");
}

}  // namespace zodra::registers
