#pragma once

#include <QString>

#include "sales/InvoiceLines.h"
#include "sales/OutgoingDocument.h"

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// An offer or pro-forma made into an invoice ("Račun" in their choice windows): the invoice is
// drawn up anew in its own working copy from the document's customer, sales terms and lines.
namespace zodra::sales {

QString RealizeOfferQuestion();  // "Želite li ponudu označiti kao realiziranu!"
QString RealizeOfferTitle();     // "Realizacija ponude"
QString RealizedText();          // "Realizirano": how a realized offer is shown

// Marks the offer of the session's warehouse and year realized (its STORNO flag).
void MarkOfferRealized(Session& session, int book, int number);

// Copies the offer or pro-forma (of the session's warehouse and year, in the book given) into the
// draft's working copy, which must be empty, and sets the draft's customer, sales terms and book.
// Article lines take their lot's current purchase price (the purchase value and margin follow
// from it) and hold their quantity on the lot like any entered line; a lot that no longer exists
// gives way to the article's default lot, and without stock the line keeps its lot and the
// posting's stock check decides. Selling values, discount and description are kept. One
// transaction; refused with "Ne postoji proknjižena ponuda broj " n (…) when there is none.
void CopyIntoInvoice(Session& session, const OutgoingDocument& document, int book, int number,
                     InvoiceDraft& draft);

// The whole step for an offer: asks RealizeOfferQuestion() (No the default; Yes marks it
// realized), then copies. For a pro-forma only the copy.
void MakeInvoiceFrom(Session& session, Prompter& prompter, const OutgoingDocument& document,
                     int book, int number, InvoiceDraft& draft);

}  // namespace zodra::sales
