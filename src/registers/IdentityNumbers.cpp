#include "registers/IdentityNumbers.h"

#include <QRegularExpression>

namespace zodra::registers {

bool IsValidOib(const QString& oib) {
    static const QRegularExpression digits(QStringLiteral("^[0-9]{11}$"));
    if (!digits.match(oib).hasMatch()) {
        return false;
    }
    int rest = 10;
    for (int i = 0; i < 10; ++i) {
        rest = (rest + oib.at(i).digitValue()) % 10;
        if (rest == 0) {
            rest = 10;
        }
        rest = (rest * 2) % 11;
    }
    return (11 - rest) % 10 == oib.at(10).digitValue();
}

bool IsValidIban(const QString& iban) {
    QString compact = iban.toUpper();
    compact.remove(QRegularExpression(QStringLiteral("\\s")));
    static const QRegularExpression shape(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{11,30}$"));
    if (!shape.match(compact).hasMatch()) {
        return false;
    }
    const QString moved = compact.mid(4) + compact.left(4);
    int remainder = 0;
    for (const QChar c : moved) {
        const int value = c.isDigit() ? c.digitValue() : c.unicode() - u'A' + 10;
        remainder = (remainder * (value >= 10 ? 100 : 10) + value) % 97;
    }
    return remainder == 1;
}

}  // namespace zodra::registers
