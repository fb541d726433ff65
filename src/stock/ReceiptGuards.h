#pragma once

#include <QString>
#include <optional>

#include "stock/Receipt.h"

namespace zodra {
class Database;
}

// What may not be undone once goods of a receipt went out. A posted receipt (or one of its
// article lines) may be deleted only while no document took goods from what it brought in:
//  - FIFO: no line of any document that takes from or returns to a lot (invoices, stock
//    counts, transfers, work orders, price changes, service consumption, returns to supplier,
//    write-offs, commission returns, delivery notes, issue notes, return notes, retail
//    transfers, finishing work orders) refers to the receipt's lot, and the lot still holds
//    exactly what the receipt brought in: goods already issued never lose their lot;
//  - pooled methods: no such document of the article on the pooled lot lies after the receipt
//    in trade-book order (a later price change counts unless it is the one this receipt
//    generated), and the pooled quantity does not fall below zero.
// Every refusal is a UserError with the message of the first family found.
namespace zodra::stock {

void CheckReceiptCanBeDeleted(Database& db, const stock::ReceiptHeader& receipt);
// One article line (article, quantity) of the receipt.
void CheckLineCanBeDeleted(Database& db, const stock::ReceiptHeader& receipt, int article,
                           double quantity);

// A further article line in a posted receipt (its correction): refused while a stock count
// after the receipt counted the lot the line would go into (FIFO: the receipt's own lot of the
// article; pooled methods: the pooled lot, by a count later in trade-book order), since the count
// fixed that lot's quantity: "Ovaj artikal primke nemožete dodati jer su na njemu već rađene
// inventure.". Other later documents do not refuse it: more goods in a lot take nothing from
// what they issued.
void CheckLineCanBeAdded(Database& db, const stock::ReceiptHeader& receipt, int article);

// The receipt that cancels this one by negated lines ("Storno primke"), if any.
std::optional<int> CancellingReceipt(Database& db, const ReceiptKey& receipt);
// "Ovu primku nemožete izbrisati jer je stornirana storno primkom broj " n ". Najprije izbrišite
// storno primku."
QString CancelledReceiptRefusal(int cancelledBy);

// Deletes a posted receipt of any warehouse inside the caller's transaction: refused while a
// cancelling receipt stands against it and under the guards above; then its lots are taken back
// (RemoveReceiptFromLots, with its trade-book entry) and its header, lines and dependent-cost
// items deleted. The receipt deletion of the receipt window and the cancellation of a transfer
// (whose receipt lies in the destination warehouse) both go this way. The caller runs the
// consistency check.
void DeletePostedReceipt(Database& db, const ReceiptKey& receipt);

}  // namespace zodra::stock
