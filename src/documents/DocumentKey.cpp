#include "documents/DocumentKey.h"

namespace zodra::documents {

QString DocumentKey::ToString() const {
    const QString shown = invoiceBook ? QStringLiteral("%1-%2").arg(*invoiceBook).arg(number)
                                      : QString::number(number);
    return Info(kind).name + QLatin1Char(' ') + shown +
           QStringLiteral(" (skladište %1, %2)").arg(warehouse).arg(year);
}

QString DocumentKey::Where(const QString& numberColumn) const {
    return QStringLiteral(" WHERE ") + Condition(numberColumn);
}

QString DocumentKey::Condition(const QString& numberColumn) const {
    return QStringLiteral("\"SKLADISTE\" = ?") +
           (invoiceBook ? QStringLiteral(" AND \"IRA\" = ?") : QString()) +
           QStringLiteral(" AND \"GODINA\" = ? AND \"") + numberColumn + QStringLiteral("\" = ?");
}

QVariantList DocumentKey::WhereValues() const {
    QVariantList values{warehouse};
    if (invoiceBook) {
        values << *invoiceBook;
    }
    values << year << number;
    return values;
}

bool KeyIsComplete(const DocumentKey& key) {
    return Info(key.kind).hasInvoiceBook == key.invoiceBook.has_value();
}

}  // namespace zodra::documents
