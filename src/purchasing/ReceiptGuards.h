#pragma once

#include "purchasing/ReceiptRow.h"
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
namespace zodra::purchasing {

void CheckReceiptCanBeDeleted(Database& db, const stock::ReceiptHeader& receipt);
void CheckLineCanBeDeleted(Database& db, const stock::ReceiptHeader& receipt,
                           const ReceiptRow& line);

}  // namespace zodra::purchasing
