#pragma once

#include <optional>

#include "stock/Receipt.h"

namespace zodra {
class Database;
}

namespace zodra::stock {

// The receipt's header as stored; none when there is no such receipt. An unreadable stock
// method on the header is refused with a message (the receipt cannot be valued).
std::optional<ReceiptHeader> ReadReceiptHeader(Database& db, const ReceiptKey& key);

// Adds the article lines of a receipt being posted to the lots, under the method stored on its
// header (SkladisnaMetoda). Runs inside the receipt's posting transaction, after the header, its
// trade-book entry and its lines (STAVKE_PRIMKI) are written, so every document that brings
// goods in (goods receipts, transfer destinations, production, the year transfer) posts its
// receipt the same way. Lines are taken in line-number order. Under the last-price method it
// may generate a price change with its trade-book entry, or refuse a line that brings the lot
// to zero at another price (the transaction then rolls back).
void PostReceiptIntoLots(Database& db, const ReceiptKey& receipt);

// Reverses PostReceiptIntoLots for a posted receipt being deleted, under the method stored on
// it: FIFO deletes its lots; the pooled methods take its quantities and values out of the
// pooled lots (deleting a lot brought exactly to zero); the last-price method also takes out
// the repricing of its generated price change, refuses when a quantity would fall below zero,
// and deletes that price change with its trade-book entry. Finally the receipt's own trade-book
// entry is deleted and the balances recomputed. The caller's guards (later issues from its
// lots) have run before; the caller deletes the header and lines afterwards, in the same
// transaction.
void RemoveReceiptFromLots(Database& db, const ReceiptKey& receipt);

}  // namespace zodra::stock
