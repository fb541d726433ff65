#pragma once

#include <QString>

#include "sales/InvoicePosting.h"
#include "sales/OutgoingDocument.h"

// Posting any outgoing document drawn up in the invoice window, by its description: the invoice
// goes to PostInvoice; the offer and the pro-forma write their header and lines and touch no lot
// (what the lines held on their lots is free again); the delivery note takes its goods from
// their lots like an invoice whose book takes stock.
namespace zodra::sales {

// The next number: invoices by book and sales terms, offers and pro-formas by warehouse, book and
// year, delivery notes by warehouse and year.
int ProposedOutgoingNumber(Database& db, const OutgoingDocument& document,
                           const InvoiceDraft& draft);

// The header the dialog proposes for the document: ProposeHeader's, numbered by the document's
// own numbering.
InvoiceHeader ProposeOutgoingHeader(Session& session, const OutgoingDocument& document,
                                    const InvoiceDraft& draft);

// A number typed into the number box: "Nije ispravno upisan broj !", or the document's
// number-taken message ("Ponuda pod ovim brojem je već napravljena !" …).
int CheckOutgoingNumber(Database& db, const OutgoingDocument& document, const InvoiceDraft& draft,
                        const QString& typed);

// The header checks of "Prihvati" for the document: the invoice's, except that a delivery note
// carries no bank account, payment term or due date (those boxes are not checked for it).
CheckedHeader CheckOutgoingHeader(const OutgoingDocument& document, const InvoiceHeader& header);

// "Ponuda je proknjižena pod brojem " n, and so on.
QString OutgoingPostedMessage(const OutgoingDocument& document, int number);

// Posts the document drawn up in the draft's working copy; every check before the transaction,
// then one transaction:
//  - the number re-checked (taken meanwhile: the next of the kind);
//  - offer, pro-forma: the header (PONUDE / PREDRACUNI, DOSPIJECE RACUNA the validity date), the
//    lines under the final number and book; no lot, trade book or price change;
//  - delivery note: a price change for every lot whose selling price is not the price the line
//    sells at before discount, the goods taken from their lots, each line recording the lot's
//    cost and the price the goods left at, the trade-book entry "OTPREMNICA" ("OTPREMNICA " +
//    number + " " + customer), the header and lines, the consistency check.
// A refusal leaves nothing and keeps the working copy.
PostedInvoice PostOutgoing(Session& session, const OutgoingDocument& document,
                           const InvoiceDraft& draft, const InvoiceHeader& header);

}  // namespace zodra::sales
