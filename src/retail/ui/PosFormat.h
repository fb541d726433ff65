#pragma once

#include <QLocale>
#include <QString>

namespace zodra::retail::ui {

// Money as the register and the customer display show it: "1.234,50", "-9,21" (a plain minus,
// which every code page of the display has).
inline QString DisplayAmount(double value) {
    static const QLocale hr(QLocale::Croatian, QLocale::Croatia);
    return hr.toString(value, 'f', 2).replace(QChar(0x2212), QLatin1Char('-'));
}

// An amount on the customer display, named with its currency: "1.234,50 EUR".
inline QString DisplayMoney(double value, const QString& currency) {
    return DisplayAmount(value) + QLatin1Char(' ') + currency;
}

}  // namespace zodra::retail::ui
