#include "sales/OutgoingDocument.h"

namespace zodra::sales {

const OutgoingDocument& InvoiceDocument() {
    static const OutgoingDocument invoice{
        OutgoingKind::Invoice,
        QStringLiteral("Račun"),
        QStringLiteral("Račun - "),
        QStringLiteral("Račun br."),
        QStringLiteral("Zaglavlje računa"),
        QStringLiteral("Dospijeće računa :"),
        QStringLiteral("Želite li odustati od računa ?"),
        QStringLiteral("Račun pod ovim brojem je već napravljen !"),
        true,
    };
    return invoice;
}

QString DocumentCaption(const OutgoingDocument& document, const QString& customerName) {
    return customerName.isEmpty() ? document.name : document.captionPrefix + customerName;
}

QString CorrectionCaption(const OutgoingDocument& document, int number,
                          const QString& customerName) {
    return document.correctionCaption + QString::number(number) + QStringLiteral(" - ") +
           customerName;
}

}  // namespace zodra::sales
