#pragma once

#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptRow.h"
#include "purchasing/ReceiptSummary.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Correction of a posted receipt ("ISPRAVAK"): every change is written at once, each in one
// transaction that keeps the receipt's lots, the issues that took from them and its trade-book
// entry in step with its lines, and ends with the consistency check. Receipts of the session's
// warehouse and business year.
namespace zodra::purchasing {

// The header of a posted receipt as correction opens it; none when there is no such receipt.
struct PostedReceipt {
    ReceiptHeaderData header;
    QString supplierName;
    StockMethod method = StockMethod::Fifo;
    int tradeBookPosition = 0;
    std::optional<int> cancels;      // this receipt cancels that one
    std::optional<int> cancelledBy;  // that receipt cancels this one
};
std::optional<PostedReceipt> ReadPostedReceipt(Database& db, int warehouse, int year, int number);
// "Ne postoji proknjižena primka broj " n
QString NoSuchReceiptMessage(int number);
// The caption of the receipt window in correction: "Primka br." n " - " supplier.
QString CorrectionCaption(int number, const QString& supplierName);

// A header field changed: date, supplier, supplier's document (checked as typed when it
// changed) and its date; the trade-book entry's date and description follow.
void UpdatePostedHeader(Session& session, int number, const ReceiptHeaderData& header);

// A new article line with the receipt's next line number, into its lots. Under the last-price
// method a receipt that already generated a price change takes no line at another selling
// price than the stock on hand has. Returns the line number.
int AddPostedLine(Session& session, int number, ReceiptRow row);
// A line changed: taken out under the guards of deleting it, then written again with the same
// line number.
void ReplacePostedLine(Session& session, int number, int lineNumber, ReceiptRow row);
// Deletes a line under the guards of ReceiptGuards; an article line leaves its lot (and takes
// its packaging with it).
void DeletePostedLine(Session& session, int number, int lineNumber);
void AddPostedPackaging(Session& session, int number, int packaging, double quantity);

// The summary changed: the whole-receipt percentages go into the posted lines, then the lots
// and every issue line that took from them get the new cost (FIFO: the receipt's lots and the
// documents that took from them; pooled: the average recomputed from the receipt onwards), the
// currency and the dependent-cost items are stored.
void ApplySummaryToPosted(Session& session, int number, const ReceiptSummary& summary);

}  // namespace zodra::purchasing
