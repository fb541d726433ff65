#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

namespace zodra::reports {

// How report values are printed. Numbers and dates follow Croatian custom: decimal comma,
// thousands grouped with points, dates "dd.MM.yyyy".
//   "0.00", "0", "#,##0.000" …  a fixed number of decimals; "," before the point groups
//   "Standard"                  grouped, two decimals            1.234,56
//   "Currency"                  grouped, two decimals, currency  1.234,56 EUR
//   "Percent"                   the value × 100 with "%"         25,00%
//   "date"                      dd.MM.yyyy; any other pattern with d, M, y is a date pattern
// Without a format: texts as they are, whole numbers without decimals, other numbers with the
// decimals they need, ISO dates as dates, yes/no as "DA"/"NE". Null prints as nothing.
// Amounts are rounded half away from zero before they are printed (2.675 → 2,68).
class ValueFormat {
public:
    explicit ValueFormat(QString currencyName = QString());

    QString Format(const QVariant& value, const QString& format) const;
    const QString& CurrencyName() const { return m_currency; }

    // The number of decimals a format prints a number with ("Standard" and "Currency" 2, "0.000"
    // 3), or -1 for a format without a fixed number of them (none, "Percent", dates).
    static int FixedDecimals(const QString& format);

private:
    QString Number(double value, int decimals, bool grouped) const;

    QString m_currency;
    QLocale m_locale;
    QLocale m_plainLocale;
};

}  // namespace zodra::reports
