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

namespace {

OutgoingDocument Describe(OutgoingKind kind, DocumentKind documentKind, const char16_t* name,
                          const char16_t* header, const char16_t* dueDate, const char16_t* abandon,
                          const char16_t* taken, bool takesStock, const char16_t* command,
                          const char16_t* posted, const char16_t* noLines) {
    const QString n = QString::fromUtf16(name);
    OutgoingDocument d{kind,
                       n,
                       n + QStringLiteral(" - "),
                       n + QStringLiteral(" br."),
                       QString::fromUtf16(header),
                       QString::fromUtf16(dueDate),
                       QString::fromUtf16(abandon),
                       QString::fromUtf16(taken),
                       takesStock};
    d.documentKind = documentKind;
    d.command = QString::fromUtf16(command);
    d.postedMessage = QString::fromUtf16(posted);
    d.noLinesMessage = QString::fromUtf16(noLines);
    return d;
}

}  // namespace

const OutgoingDocument& OfferDocument() {
    static const OutgoingDocument offer =
        Describe(OutgoingKind::Offer, DocumentKind::Offer, u"Ponuda", u"Zaglavlje ponude",
                 u"Ponuda vrijedi do :", u"Želite li odustati od ponude ?",
                 u"Ponuda pod ovim brojem je već napravljena !", false, u"Knjizenje_ponuda",
                 u"Ponuda je proknjižena pod brojem ", u"Ponuda nema niti jedne stavke !");
    return offer;
}

const OutgoingDocument& ProFormaDocument() {
    static const OutgoingDocument proForma = Describe(
        OutgoingKind::ProForma, DocumentKind::ProForma, u"Predračun", u"Zaglavlje predračuna",
        u"Predračun vrijedi do :", u"Želite li odustati od predračuna ?",
        u"Predračun pod ovim brojem je već napravljen !", false, u"Knjizenje_predracun",
        u"Predračun je proknjižen pod brojem ", u"Predračun nema niti jedne stavke !");
    return proForma;
}

const OutgoingDocument& DeliveryNoteDocument() {
    static const OutgoingDocument note =
        Describe(OutgoingKind::DeliveryNote, DocumentKind::DeliveryNote, u"Otpremnica",
                 u"Zaglavlje otpremnice", u"Dospijeće :", u"Želite li odustati od otpremnice ?",
                 u"Otpremnica pod ovim brojem je već napravljena !", true, u"Knjizenje_otpremnica",
                 u"Otpremnica je proknjižena pod brojem ", u"Otpremnica nema niti jedne stavke !");
    return note;
}

const OutgoingDocument& DocumentOf(OutgoingKind kind) {
    switch (kind) {
        case OutgoingKind::Offer:
            return OfferDocument();
        case OutgoingKind::ProForma:
            return ProFormaDocument();
        case OutgoingKind::DeliveryNote:
            return DeliveryNoteDocument();
        case OutgoingKind::Invoice:
            break;
    }
    return InvoiceDocument();
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
