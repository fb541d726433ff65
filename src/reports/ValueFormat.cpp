#include "reports/ValueFormat.h"

#include <QDate>
#include <QDateTime>
#include <cmath>

#include "data/Rounding.h"

namespace zodra::reports {

namespace {

bool IsNumberType(const QVariant& v) {
    switch (v.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return true;
        default:
            return false;
    }
}

QDate DateOf(const QVariant& v) {
    if (v.typeId() == QMetaType::QDate) {
        return v.toDate();
    }
    if (v.typeId() == QMetaType::QDateTime) {
        return v.toDateTime().date();
    }
    const QString s = v.toString();
    if (s.size() >= 10 && s.at(4) == QLatin1Char('-') && s.at(7) == QLatin1Char('-')) {
        return QDate::fromString(s.left(10), Qt::ISODate);
    }
    return {};
}

// "0.00", "#,##0.00", "0": the number of decimals and whether the integer part is grouped.
bool NumberPattern(const QString& format, int& decimals, bool& grouped) {
    if (format.isEmpty()) {
        return false;
    }
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    const QString integer = point < 0 ? format : format.left(point);
    const QString fraction = point < 0 ? QString() : format.mid(point + 1);
    if (integer.isEmpty() || !integer.endsWith(QLatin1Char('0'))) {
        return false;
    }
    for (const QChar c : integer) {
        if (c != QLatin1Char('0') && c != QLatin1Char('#') && c != QLatin1Char(',')) {
            return false;
        }
    }
    for (const QChar c : fraction) {
        if (c != QLatin1Char('0')) {
            return false;
        }
    }
    decimals = static_cast<int>(fraction.size());
    grouped = integer.contains(QLatin1Char(','));
    return true;
}

}  // namespace

ValueFormat::ValueFormat(QString currencyName)
    : m_currency(std::move(currencyName)),
      m_locale(QLocale::Croatian, QLocale::Croatia),
      m_plainLocale(QLocale::Croatian, QLocale::Croatia) {
    m_plainLocale.setNumberOptions(QLocale::OmitGroupSeparator);
}

QString ValueFormat::Number(double value, int decimals, bool grouped) const {
    QString text = FixedNumberText(value, decimals, grouped ? m_locale : m_plainLocale);
    // The Croatian locale writes a typographic minus; books and exports use the plain hyphen.
    text.replace(QChar(0x2212), QLatin1Char('-'));
    return text;
}

int ValueFormat::FixedDecimals(const QString& format) {
    if (format == QLatin1String("Standard") || format == QLatin1String("Currency")) {
        return 2;
    }
    int decimals = 0;
    bool grouped = false;
    return NumberPattern(format, decimals, grouped) ? decimals : -1;
}

QString ValueFormat::Format(const QVariant& value, const QString& format) const {
    if (!value.isValid() || value.isNull()) {
        return QString();
    }
    if (format.isEmpty()) {
        if (value.typeId() == QMetaType::Bool) {
            return value.toBool() ? QStringLiteral("DA") : QStringLiteral("NE");
        }
        if (IsNumberType(value)) {
            const double d = value.toDouble();
            if (value.typeId() != QMetaType::Double && value.typeId() != QMetaType::Float) {
                return QString::number(value.toLongLong());
            }
            if (std::floor(d) == d && std::fabs(d) < 1e15) {
                return QString::number(static_cast<qlonglong>(d));
            }
            QString text = m_plainLocale.toString(RoundDecimal(d, 10), 'f', 10);
            while (text.endsWith(QLatin1Char('0'))) {
                text.chop(1);
            }
            return text;
        }
        if (value.typeId() == QMetaType::QDate) {
            return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
        }
        const QString s = value.toString();
        if (s.size() == 10 && DateOf(value).isValid()) {
            return DateOf(value).toString(QStringLiteral("dd.MM.yyyy"));
        }
        return s;
    }
    int decimals = 0;
    bool grouped = false;
    if (format == QLatin1String("Standard")) {
        return Number(value.toDouble(), 2, true);
    }
    if (format == QLatin1String("Currency")) {
        const QString n = Number(value.toDouble(), 2, true);
        return m_currency.isEmpty() ? n : n + QLatin1Char(' ') + m_currency;
    }
    if (format == QLatin1String("Percent")) {
        return Number(value.toDouble() * 100.0, 2, false) + QLatin1Char('%');
    }
    if (format == QLatin1String("date")) {
        const QDate d = DateOf(value);
        return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : value.toString();
    }
    if (NumberPattern(format, decimals, grouped)) {
        return Number(value.toDouble(), decimals, grouped);
    }
    if (format.contains(QLatin1Char('d')) || format.contains(QLatin1Char('y')) ||
        format.contains(QLatin1Char('M'))) {
        if (value.typeId() == QMetaType::QDateTime) {
            return value.toDateTime().toString(format);
        }
        const QDate d = DateOf(value);
        return d.isValid() ? d.toString(format) : value.toString();
    }
    return value.toString();
}

}  // namespace zodra::reports
