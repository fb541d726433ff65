#pragma once

#include <QDate>
#include <QString>

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// Undoing a posted invoice of the session's warehouse and business year, named by its book and
// number: cancelling it ("Storno": it stays in the books with a counter-entry) or deleting it
// (as if it had never been made). The caller asks its question first ("Želite li stornirati
// račun!" / "Želite li izbrisati račun!"); each runs in one transaction with every further
// question asked before it begins.
namespace zodra::sales {

QString CancelQuestion();    // "Želite li stornirati račun!"
QString CancelTitle();       // "Storno"
QString CancelDatePrompt();  // "Upišite datum storniranja računa."
QString DeleteQuestion();    // "Želite li izbrisati račun!"
QString DeleteTitle();       // "Brisanje računa"

// The cancellation date as typed: a date ("Datum storna nije ispravno upisan. Pokušajte
// ponovo.") not before the invoice's ("Datum storna nesmije biti prije datuma računa. Pokušajte
// ponovo.").
QDate CheckCancellationDate(Session& session, int book, int number, const QString& typed);

// The guards of a cancellation, in order: the invoice exists ("Ne postoji proknjiženi račun broj
// " + n), is not cancelled ("Ovaj račun je već storniran."), has no delivery notes bound to it
// ("Ovaj račun nemožete stornirati jer su na njega vezane (" + count + ") otpremnice."); when its
// book takes stock every lot it took from still exists and carries the price the goods left at
// (with a generated price change "Ovaj račun nemožete stornirati jer je artikal '" + name + "' u
// trenutku izrade imao cijenu bez poreza " + old + " a sada ima cijenu " + current + ".",
// otherwise "Ovaj račun nemožete stornirati jer artikal '" + name + "' više nema istu cijenu na
// skladištu."), no service consumption bound to it has a stock count or a price change on its
// articles after it (see CheckServiceConsumptionCanBeUndone), and a lot the invoice repriced still
// holds what it held right after the invoice
// ("Ovaj račun nemožete stornirati jer su na artiklu '" + name + "' nakon računa rađeni drugi
// dokumenti.": the price change could no longer be undone for what the lot holds; what the
// invoice's own service consumption took counts as held, since it goes back with the invoice).
void CheckCanBeCancelled(Session& session, int book, int number);

// Cancels the invoice on `date`: the guards again, the goods back into their lots at the cost
// they left at, the generated price change cancelled (lots back at their old prices, its
// counter-entry "STORNO IZMJENE CIJENA"), the counter-entry "STORNO RAČUNA" with the invoice's
// values negated, a counter-payment for every payment of the invoice, the invoice marked
// cancelled with the next cancellation number, then every service consumption bound to it
// cancelled ("STORNO SPECIFIKACIJE", the following cancellation numbers), the consistency check.
// The caller has announced the bound service consumptions (the overload below does).
void CancelInvoice(Session& session, int book, int number, const QDate& date);

// The same after announcing the bound service consumptions, when there are any, before the
// transaction: BoundConsumptionQuestion() (title "Storno", No the default). Returns false when
// the user answered No: nothing changed.
bool CancelInvoice(Session& session, Prompter& prompter, int book, int number, const QDate& date);

// Deletes the invoice after the cancellation's guards (a cancelled invoice stays: "Ovaj račun je
// već storniran."). Delivery notes bound to it are announced first ("Na ovaj račun su vezane (" +
// count + ") otpremnice. Želite li ga obrisati?", No keeps everything) and released from it. The
// goods go back, the generated price change goes with its trade-book entry, the invoice's entry
// goes (balances recomputed), its payments go, the service consumption documents bound to it
// go as if never made (with the same guards as at cancellation), pooled lots are recomputed from
// its position.
// Returns false when the user answered No.
bool DeleteInvoice(Session& session, Prompter& prompter, int book, int number);

// A fiscalized invoice (a record of it went to the tax administration or waits to go) is never
// deleted: it is cancelled, which fiscalizes its negative receipt. Throws UserError.
QString FiscalizedDeleteRefusal();
// Nor is an invoice issued as an e-invoice whose report is queued or accepted:
// ReportedEInvoiceDeleteRefusal() ("Račun je izdan kao eRačun i prijavljen Poreznoj upravi pa se
// ne može brisati. Stornirajte ga.").
QString ReportedEInvoiceDeleteRefusal();
void RefuseIfFiscalized(Database& db, int warehouse, int book, int year, int number, bool detailed);

// A fiscalized invoice is cancelled only together with its negative receipt: where the session
// has no fiscalization wired (duringRetailCancellation), its cancellation is refused with
// FiscalizedCancelRefusal() ("Račun je fiskaliziran pa se i njegov storno mora fiskalizirati, a
// na ovom računalu fiskalizacija nije postavljena.") rather than left unrecorded. Throws
// UserError.
QString FiscalizedCancelRefusal();
void RefuseUnrecordedCancellation(Session& session, int book, int number, bool detailed);

// Deleting from the table view ("Tablično") of "Izbor računa" is for users listed in KORISNICI
// only: the session's user is looked up again when the deletion is asked for, so a user removed
// from the list meanwhile is refused ("Korisnik " + name + " nije upisan u listu korisnika.").
QString UnlistedUserMessage(const QString& name);
void CheckUserMayDeleteFromTable(Session& session);

}  // namespace zodra::sales
