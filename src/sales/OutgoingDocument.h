#pragma once

#include <QString>

#include "data/DocumentKind.h"

// The outgoing documents drawn up in the invoice window: the invoice, the offer, the pro-forma
// invoice and the delivery note, which share its window, line dialogs, working copy and header
// dialog and differ in their texts, numbering and what posting writes. A window is built around
// one description (OutgoingPosting.h posts by it).
namespace zodra::sales {

enum class OutgoingKind { Invoice, Offer, ProForma, DeliveryNote };

struct OutgoingDocument {
    OutgoingKind kind = OutgoingKind::Invoice;
    QString name;                // "Račun": the window's title when no customer is chosen
    QString captionPrefix;       // "Račun - ": followed by the customer
    QString correctionCaption;   // "Račun br.": followed by the number, " - " and the customer
    QString headerTitle;         // "Zaglavlje računa"
    QString dueDateLabel;        // "Dospijeće računa :" ("Ponuda vrijedi do :" …)
    QString abandonQuestion;     // asked when the window is closed with lines
    QString numberTakenMessage;  // "Račun pod ovim brojem je već napravljen !"
    bool takesStock = true;      // an offer or pro-forma never touches a lot
    // Further texts and keys; they default to the invoice's.
    DocumentKind documentKind = DocumentKind::Invoice;
    QString command = QStringLiteral("Knjizenje_racun");  // the menu command opening the window
    QString postedMessage = QStringLiteral("Račun je proknjižen pod brojem ");
    QString noLinesMessage = QStringLiteral("Račun nema niti jedne stavke !");
};

const OutgoingDocument& InvoiceDocument();
// "Ponuda" ("Zaglavlje ponude", "Ponuda vrijedi do :"), "Predračun" ("Zaglavlje predračuna",
// "Predračun vrijedi do :") and "Otpremnica": numbered per warehouse, book and year (the delivery
// note per warehouse and year); only the delivery note takes stock.
const OutgoingDocument& OfferDocument();
const OutgoingDocument& ProFormaDocument();
const OutgoingDocument& DeliveryNoteDocument();
const OutgoingDocument& DocumentOf(OutgoingKind kind);

// "Račun - " + customer; the bare name while no customer is chosen.
QString DocumentCaption(const OutgoingDocument& document, const QString& customerName);
// "Račun br." + number + " - " + customer.
QString CorrectionCaption(const OutgoingDocument& document, int number,
                          const QString& customerName);

}  // namespace zodra::sales
