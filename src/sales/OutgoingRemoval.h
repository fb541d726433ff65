#pragma once

#include <QString>

#include "sales/OutgoingDocument.h"

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// Deleting a posted offer, pro-forma or delivery note of the session's warehouse and business
// year as if it had never been made. The question is asked first, then one transaction re-checks
// everything and deletes.
namespace zodra::sales {

// "Želite li izbrisati ponudu!" / "Želite li izbrisati predračun!" (title "Brisanje"),
// "Želite li izbrisati otpremnicu!" (title "Brisanje otpremnice").
QString OutgoingDeleteQuestion(const OutgoingDocument& document);
QString OutgoingDeleteTitle(const OutgoingDocument& document);

// "Ne postoji proknjižena ponuda broj " n, "Ne postoji proknjiženi predračun broj " n,
// "Ne postoji proknjižena otpremnica broj " n.
QString NoSuchOutgoingMessage(const OutgoingDocument& document, int number);
// "Ovu otpremnicu nemožete izbrisati jer iz nje već napravljen račun."
QString BilledDeliveryNoteMessage();

// The guards of a deletion without deleting: the document exists; a delivery note is not billed,
// and every lot it took from still exists and carries the price the goods left at ("Ovu
// otpremnicu nemožete izbrisati jer artikal '" + name + "' više nema istu cijenu na
// skladištu."), and a lot it repriced still holds what it held right after it ("Ovu otpremnicu
// nemožete izbrisati jer su na artiklu '" + name + "' nakon otpremnice rađeni drugi
// dokumenti.": the price change could not be undone for what the lot holds now).
void CheckOutgoingCanBeDeleted(Session& session, const OutgoingDocument& document, int book,
                               int number);

// Deletes without asking. An offer or pro-forma (in the book given) goes with its lines; a
// delivery note (the book is not part of its key) gives its goods back to their lots, its price
// change goes (lots back at their old prices, its trade-book entry removed), its own trade-book
// entry goes and the balances are recomputed, pooled lots are recomputed from its position, the
// consistency check runs.
void DeleteOutgoing(Session& session, const OutgoingDocument& document, int book, int number);

// The same after the question (No the default): false when the user answered No.
bool DeleteOutgoing(Session& session, Prompter& prompter, const OutgoingDocument& document,
                    int book, int number);

}  // namespace zodra::sales
