#include "stock/NumberText.h"

#include "data/Rounding.h"

namespace zodra::stock {

QString NumberText(double value) {
    QString text = QString::number(RoundQuantity(value), 'f', 10);
    while (text.endsWith(QLatin1Char('0'))) {
        text.chop(1);
    }
    if (text.endsWith(QLatin1Char('.'))) {
        text.chop(1);
    }
    if (text == QLatin1String("-0")) {
        text = QStringLiteral("0");
    }
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
}

}  // namespace zodra::stock
