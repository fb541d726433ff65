#pragma once

#include <QDate>
#include <QString>

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// Undoing a posted receipt of the session's warehouse and business year: deleting it while
// nothing was issued from it, or cancelling it by a negating receipt. The window asks its
// question ("Želite li izbrisati primku!" / "Želite li stornirati primku!") before these run;
// each runs in one transaction with every further question asked before it begins.
namespace zodra::purchasing {

QString DeleteQuestion();              // "Želite li izbrisati primku!"
QString DeleteTitle();                 // "Brisanje primke"
QString CancelQuestion();              // "Želite li stornirati primku!"
QString KeepPricesQuestion();          // "Želite li zadržati trenutne prodajne cijene!"
QString CancelledMessage(int number);  // "Storno primke je proknjižen pod brojem " n

// Deletes a posted receipt under the guards of its stock-keeping method (ReceiptGuards): its
// lots are taken back (RemoveReceiptFromLots, which may still refuse under the last-price
// method), its trade-book entry deleted and the balances recomputed, and its header, lines and
// dependent-cost items deleted, then the consistency check. A receipt that a cancelling
// receipt stands against is not deleted (the cancellation goes first); deleting a cancelling
// receipt lets its receipt be cancelled again.
void DeleteReceipt(Session& session, int number);

// The checks a cancellation makes before its questions: the receipt exists, it is not itself a
// cancellation, and it has not been cancelled already.
void CheckCanBeCancelled(Session& session, int number);

// Cancels a posted receipt ("Storno primke"): a new receipt of the same type, supplier,
// document date, currency and stock-keeping method, with the supplier's document "Storno
// primke " + number + "-" + its document, whose lines are the receipt's lines negated, posted
// through the normal posting (without the control totals). Under the last-price method the
// user is asked first whether the current selling prices are kept; Yes gives every line the
// pooled lot's current selling price (and the margin that follows), so that the stock on hand
// keeps its price. Returns the number of the cancelling receipt.
int CancelReceipt(Session& session, Prompter& prompter, int number, const QDate& date);

}  // namespace zodra::purchasing
