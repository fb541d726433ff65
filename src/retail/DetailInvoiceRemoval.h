#pragma once

#include <QDate>
#include <QString>

#include "data/TableData.h"

namespace zodra {
class Session;
}

// Cancelling and deleting a retail invoice posted while retail invoices are summed at day end:
// a detail invoice (RACUNI_DETALJNO, its lines and its NAPLATA_DETALJNO collections, in the
// detail file) of the session's warehouse and year in IRA book 1. A detail invoice takes no
// stock when posted (the day's summary invoice does), so there are no lots to give back; until
// it is summed it is undone like any retail invoice, after that only its summary can be.
// The detail file commits after the company file: each runs in one company-file transaction
// that logs its detail-file changes (applied right after the commit, exactly once), after the
// changes other workstations logged were applied, so it sees every summing and cancellation
// that committed before it.
namespace zodra::retail {

QString SummedCancelRefusal();  // "Ovaj račun je već sumiran pa se ne može stornirati."
QString SummedDeleteRefusal();  // "Ovaj račun je već sumiran pa se ne može izbrisati."

// The session's detail invoices dated from `from` to `to`, by number: "Broj", "Datum", "Iznos"
// (with tax), "Storniran", "Sumiran". The changes other workstations logged are applied first.
TableData DetailInvoiceList(Session& session, const QDate& from, const QDate& to);

// The guards of CancelDetailInvoice and DeleteDetailInvoice as they stand now, so that a window
// refuses before it asks anything; both undoings check again under the write lock.
void CheckDetailCanBeCancelled(Session& session, int number);
void CheckDetailCanBeDeleted(Session& session, int number);

// The cancellation date as typed: a date ("Datum storna nije ispravno upisan. Pokušajte
// ponovo.") not before the invoice's ("Datum storna nesmije biti prije datuma računa. Pokušajte
// ponovo.").
QDate CheckDetailCancellationDate(Session& session, int number, const QString& typed);

// Cancels detail invoice `number` on `date`, with the guards of an invoice's cancellation: it
// exists ("Ne postoji proknjiženi račun broj " + n), is not cancelled ("Ovaj račun je već
// storniran."), is not summed (SummedCancelRefusal()), the date is not before the invoice's
// ("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo."). It is marked cancelled
// with the date and the next cancellation number, and every collection gets its counter-row
// ("Storno", the amount negated, on the cancellation date), so the X report's payments net out.
// The summing leaves cancelled detail invoices and their collections out.
void CancelDetailInvoice(Session& session, int number, const QDate& date);

// Deletes detail invoice `number` with its lines and collections, as if it had never been
// posted: the same guards, SummedDeleteRefusal() once it is summed. Its number is free again
// only when it was the last one (numbering continues from the highest number).
void DeleteDetailInvoice(Session& session, int number);

}  // namespace zodra::retail
