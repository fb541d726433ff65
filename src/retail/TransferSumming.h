#pragma once

#include <QDate>
#include <QString>

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// The register's day end, step "Želite li sumirati međuskladišnice i primke ?": a sale that
// lacks goods brings them by a generated retail transfer from another warehouse and its
// generated receipt (type 2) in the register's warehouse, so a busy day leaves many small
// documents. Summing folds, for the register's warehouse, every day up to a date, the retail
// transfers of each source warehouse into one transfer, and their receipts into one receipt.
namespace zodra::retail {

QString TransferSumQuestion();    // "Želite li sumirati međuskladišnice i primke ?"
QString TransferSumDatePrompt();  // "Upišite datum za sumiranje međuskladišnica i primki."
QString TransferSumDateTitle();   // "Unos datuma"
QString TransferSumBadDate();  // "Datum za sumiranje … nije ispravno upisan. Pokušajte ponovo."
QString TransferSumFifoRefusal();  // "Sumiranje međuskladišnica i primki nije podržano … FIFO …"

struct SummedTransfers {
    int transfersFolded = 0;  // transfers (and as many receipts) that went into another
    int groupsKept = 0;       // transfers that took the lines of others
};

// Folds the not cancelled retail transfers into the session's warehouse dated up to `upTo` (in
// the session's year), per source warehouse and date, into the first of them (the lowest
// number and the earliest trade-book position, so no goods reach the register after the sale
// that took them): their lines move there, their trade-book entries' values are added to its
// entry and the entries deleted, the headers deleted; their receipts' lines move to the kept
// transfer's receipt in the same way (line numbers following its own), the receipts' "PRIMKA"
// entries are added up and deleted, the headers deleted; the retail invoices that recorded a
// folded transfer or receipt point at the kept ones. A transfer joins only while no goods of
// its articles came into the source between (nor a stock count lies between in either
// warehouse; under the last price, no other goods came into the register), so that it moves
// before nothing that relies on its place; otherwise it starts a fold of its own. Under the
// average the pooled average of the moved articles is replayed from the kept documents'
// positions, so the sales in between record the cost the book gives them. Balances are
// recomputed in both warehouses. One transaction; a second run finds nothing to fold. Refused
// under FIFO, where every receipt is a lot of its own (TransferSumFifoRefusal()).
SummedTransfers SumRetailTransfers(Session& session, const QDate& upTo);

// The Z step: only with "Sumiranje međuskladišnica i primki" on; asks the question (No the
// default), then the date (today proposed) until it is a date or the box is cancelled, and
// shows a refusal. True when the summing ran.
bool TransferSumStep(Session& session, Prompter& prompter, const QDate& today);

}  // namespace zodra::retail
