#pragma once

#include <QDate>
#include <QString>
#include <optional>

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// Undoing a posted price change of the session's warehouse and business year: deleting it as if
// it had never been made, or cancelling it by a counter-entry ("STORNO IZMJENE CIJENA") that
// puts the old prices back from a later position. Either puts every line's lot back to its old
// price, so either is allowed only while nothing has happened to its lots since:
//  - it does not belong to a document that still exists (the receipt that generated it, the
//    invoice or service consumption it was made for): it goes with that document;
//  - no document of its articles lies after it in trade-book order: service consumptions, returns
//  to
//    supplier, stock counts, invoices, transfers, work orders, write-offs, commission returns
//    (searched in that order), then later price changes of the same lot, receipts into the
//    pooled lot, delivery notes, issue notes, return notes, retail transfers and finishing work
//    orders;
//  - each lot still exists ("Napravljen je storno primke po kojoj je ušao artikal " name),
//    still holds the line's quantity and still carries the line's new price: a deletion never
//    undoes a newer change.
// Every check runs before the question and again inside the one transaction that undoes it.
namespace zodra::stockdocs {

QString DeleteQuestion();  // "Želite li izbrisati izmjenu cijena!"
QString DeleteTitle();     // "Brisanje"
QString CancelQuestion();  // "Želite li stornirati izmjenu cijena!"
QString CancelTitle();     // "Storno"
// "Ne postoji proknjižena izmjena cijena broj " n
QString NoSuchPriceChangeMessage(int number);
// "Storno izmjene cijena je proknjižen pod brojem " n (the cancellation number)
QString CancelledMessage(int cancellationNumber);

// The guards of a deletion or a cancellation (dated `date`), without changing anything.
void CheckCanBeDeleted(Session& session, int number);
void CheckCanBeCancelled(Session& session, int number, const QDate& date);

// Deletes a posted price change: every lot back to its old price, the trade-book entry (and
// that of its cancellation, when it was cancelled: its lots are at the old prices already)
// deleted and the balances recomputed, header and lines deleted, then the consistency check.
void DeletePriceChange(Session& session, int number);
// The window's "Izbriši": the guards, the question (No by default), then DeletePriceChange.
// False when the user answered No.
bool DeletePriceChange(Session& session, Prompter& prompter, int number);

// Cancels a posted price change: every lot back to its old price, the counter-entry "STORNO
// IZMJENE CIJENA" ("Storno izmjene cijena " n, the value of its entry negated) at the next
// position, and the header marked cancelled with the date, that position and the next
// cancellation number (shared with invoices and service consumptions). A cancelled price change is
// not cancelled again ("Ova izmjena cijena je već stornirana."), and the date may not lie before
// the price change's own. Returns the cancellation number.
int CancelPriceChange(Session& session, int number, const QDate& date);
// The guards, the question (No by default), then CancelPriceChange; nothing when answered No.
std::optional<int> CancelPriceChange(Session& session, Prompter& prompter, int number,
                                     const QDate& date);

}  // namespace zodra::stockdocs
