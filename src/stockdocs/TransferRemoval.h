#pragma once

#include <QDate>
#include <QString>

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// Cancelling a posted transfer of the session's warehouse and year ("Storno" in "Izbor
// međuskladišnice"): the receipt it generated in the destination is deleted with every guard of
// a receipt deletion, the source lots get their goods back, the source trade-book entry goes and
// the balances are recomputed, the pooled average of the source articles is recomputed from the
// transfer's position, and the transfer stays as a cancelled header (STORNO, DATUM_STORNA)
// without lines, so that no guard or cost recomputation ever finds its lines again. Everything
// happens in one transaction; every question is asked before it begins.
namespace zodra::stockdocs {

QString CancelTransferQuestion();           // "Želite li stornirati međuskladišnicu!"
QString CancelTransferTitle();              // "Storno"
QString NoSuchTransferMessage(int number);  // "Ne postoji proknjižena međuskladišnica broj " n
QString DestinationReceiptGoneQuestion();  // "Odredišna primka je već stornirana. Želite li …"
QString DestinationReceiptRefusedMessage();  // "Zbog nemogućnosti storniranja primke …"
QString TransferPriceChangeRefusal();  // "Ovu međuskladišnicu nemožete stornirati … cijena."
QString TransferStockCountRefusal();  // "Ovu međuskladišnicu nemožete stornirati … inventure."

// The guards, without changing anything: the transfer exists and is not cancelled; no price
// change or stock count of its articles lies after it in the source warehouse, nor after its
// receipt in the destination; its receipt is not cancelled by a cancelling receipt (deleting it
// would be refused, so the cancellation is refused before anything changes). Returns whether
// the destination receipt still exists.
bool CheckTransferCanBeCancelled(Session& session, int number);

// The cancellation itself, the guards checked again inside the transaction. A destination
// receipt that no longer exists is accepted only when `withoutReceipt` (the user said to go on);
// a receipt whose deletion is refused stops it with the receipt's refusal followed by
// DestinationReceiptRefusedMessage().
void CancelTransfer(Session& session, int number, const QDate& date, bool withoutReceipt);

// The window's "Storno": the guards, the question (No by default), the question about a receipt
// that is gone, then the cancellation. False when the user answered No.
bool CancelTransfer(Session& session, Prompter& prompter, int number, const QDate& date);

}  // namespace zodra::stockdocs
