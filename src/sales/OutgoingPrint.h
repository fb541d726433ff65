#pragma once

#include "reports/ReportEngine.h"
#include "sales/InvoicePrint.h"
#include "sales/OutgoingDocument.h"

namespace zodra {
class Session;
}  // namespace zodra

// Printing a posted offer, pro-forma or delivery note of the session's warehouse and business
// year. Each kind is a description (its header and line tables, key columns, report files and
// texts); the request is built as the invoice's is: the lines as a bound selection, the header's
// key as parameters, the figures as named formulas.
namespace zodra::sales {

// What a printout shows beside the plain layout.
struct OutgoingPrintOptions {
    bool withoutDiscount = false;  // the offer's layout without discount columns
    bool purchaseValues = false;   // the delivery note with purchase prices and values
};

// The print request of a posted document:
// - offer: "ponuda.rpt" ("BezRabata_ponuda.rpt" without discount), "Ispis ponude br. " n;
// - pro-forma: "predrac.rpt", "Ispis predračuna br. " n;
// - delivery note: "Otpremnica.rpt" ("Otpremnica_nab.rpt" with purchase values),
//   "Ispis otpremnice br. " n (the book is not part of its key and is ignored).
// A file of that name in the folder of the sales terms' own layouts is taken first. Parameters
// :PSKLADISTE, :PIRA (offers and pro-formas), :PGODINA, :PBROJ; formulas "DodatniTekst",
// "IznosSlovima" (the total in words), "Ukupno", "Osnovica", "Porez", "Rabat" and, on the
// pro-forma, "PozivNaBroj". Refused: a missing document ("Ne postoji proknjižena ponuda broj " n,
// "Ne postoji proknjiženi predračun broj " n, "Ne postoji proknjižena otpremnica broj " n), an
// invoice asked for here, and an option the kind has no layout for.
reports::ReportRequest OutgoingPrintRequest(
    Session& session, OutgoingKind kind, int book, int number,
    const OutgoingPrintOptions& options = {},
    const QString& reportFolder = reports::ReportEngine::DefaultFolder());

// The figures of a posted offer, pro-forma or delivery note as its printout shows them (per tax
// rate and in total, each a sum of the lines' amounts rounded to the cent). Refused as above.
InvoiceSummary SummaryOfOutgoing(Session& session, OutgoingKind kind, int book, int number);

}  // namespace zodra::sales
