#include "data/InputRules.h"

#include <QRegularExpression>
#include <cmath>

#include "data/Rounding.h"

namespace zodra::inputrules {

QString InvalidNumberMessage() {
    return QStringLiteral("Nije ispravno upisan broj. Vrijednost će biti postavljena na nulu.");
}

QString InvalidDateMessage() {
    return QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum.");
}

QString SundayMessage() {
    return QStringLiteral("Ovaj datum je nedjelja !");
}

bool IsAcceptableNumberText(const QString& text) {
    static const QRegularExpression partial(QStringLiteral("^\\s*[+-]?(\\d*([.,]\\d*)?)\\s*$"));
    return partial.match(text).hasMatch();
}

std::optional<double> ParseNumber(const QString& text) {
    if (!IsAcceptableNumberText(text)) {
        return std::nullopt;
    }
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    if (t.isEmpty() || t == QLatin1String("-") || t == QLatin1String("+") ||
        t == QLatin1String(".") || t == QLatin1String("-.") || t == QLatin1String("+.")) {
        return 0.0;
    }
    if (t.endsWith(QLatin1Char('.'))) {
        t.chop(1);
    }
    if (t.startsWith(QLatin1Char('.')) || t.startsWith(QLatin1String("-.")) ||
        t.startsWith(QLatin1String("+."))) {
        t.insert(t.indexOf(QLatin1Char('.')), QLatin1Char('0'));
    }
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<QString> NumberBoxRefusal(double value, limits::NumberKind kind,
                                        const QString& what) {
    if (value == 0.0) {
        return std::nullopt;
    }
    return limits::CheckNumber(value, kind, what);
}

std::optional<QString> DateBoxRefusal(const QDate& date, std::optional<int> businessYear,
                                      const QString& what) {
    return businessYear ? limits::CheckDocumentDate(date, *businessYear, what)
                        : limits::CheckDate(date, what);
}

QString FormatNumber(double value, int decimals) {
    return ShownNumber(value, decimals);
}

std::optional<QDate> ParseDate(const QString& text, const QDate& today) {
    const QString t = text.trimmed();
    int day = 0;
    int month = 0;
    int year = 0;
    static const QRegularExpression digitsOnly(QStringLiteral("^(\\d{2})(\\d{2})(\\d{2}|\\d{4})$"));
    static const QRegularExpression parts(
        QStringLiteral("^(\\d{1,2})[./,-](\\d{1,2})(?:[./,-](\\d{2}|\\d{4})?)?\\.?$"));
    QRegularExpressionMatch m = digitsOnly.match(t);
    if (!m.hasMatch()) {
        m = parts.match(t);
    }
    if (!m.hasMatch()) {
        return std::nullopt;
    }
    day = m.captured(1).toInt();
    month = m.captured(2).toInt();
    const QString y = m.captured(3);
    if (y.isEmpty()) {
        year = today.year();
    } else if (y.size() == 2) {
        year = 2000 + y.toInt();
    } else {
        year = y.toInt();
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1900) {
        return std::nullopt;
    }
    return date;
}

QString FormatDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

bool IsSunday(const QDate& date) {
    return date.isValid() && date.dayOfWeek() == Qt::Sunday;
}

}  // namespace zodra::inputrules
