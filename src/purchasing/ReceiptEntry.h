#pragma once

#include <QString>

#include "purchasing/PriceCalculation.h"
#include "purchasing/ReceiptLines.h"
#include "purchasing/ReceiptRow.h"
#include "purchasing/ReceiptSummary.h"

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// Lines entered into a receipt, whether it is the session's working copy or a posted receipt
// under correction. Every operation asks its question first and then writes in one
// transaction; on a posted receipt the lots and the trade-book entry follow in the same
// transaction (ReceiptCorrection).
namespace zodra::purchasing {

// "Ovaj artikal je već upisan. Želite li dodati na postojeću stavku?"
QString MergeQuestion();
// "Želite li izbrisati stavku artikla ?" or "… stavku ambalaže ?" by the line's kind.
QString DeleteLineQuestion(const QString& kind);

// What accepting a line did.
struct AcceptedLine {
    int lineNumber = 0;  // the line written (or merged into)
    bool merged = false;
};

// Accepting a calculated or quickly entered article line ("Prihvati"):
//  - a new line of the working copy (mode Entry): when the receipt already has a line of the
//    article the user is asked whether to add to it; Yes merges the two (quantities, values and
//    amounts add up, unit prices and percentages follow), No adds a line of its own with the
//    next line number;
//  - a new line of a posted receipt (mode Correction): added with the receipt's next line
//    number, into its lots;
//  - a changed line (mode Change, `lineNumber` the line changed): rewritten with the new values.
// The packaging linked to the article follows the quantity added (or the change in quantity).
AcceptedLine AcceptArticleLine(Session& session, Prompter& prompter, const ReceiptTarget& target,
                               ReceiptRow row, CalculationMode mode, int lineNumber = 0);

// A packaging line typed with "Ambalaža": added to the packaging's line of the receipt.
void AddPackagingLine(Session& session, const ReceiptTarget& target, int packaging,
                      double quantity);

// Deletes a line (the question was asked). An article line takes its packaging with it. On a
// posted receipt the guards of ReceiptCorrection apply.
void DeleteReceiptLine(Session& session, const ReceiptTarget& target, int lineNumber);

// A line number typed into the receipt window's grid for the line `lineNumber`: a whole number
// ("Nije ispravno upisan broj !"), above 0 and not another line's (receiptlines::Renumber),
// written in one transaction.
void RenumberReceiptLine(Session& session, const ReceiptTarget& target, int lineNumber,
                         const QString& typed);

// The summary data accepted ("Zbirni p."): their whole-receipt percentages go into the article
// lines of the working copy in one transaction; a posted receipt's lines, lots and issues
// follow them through ApplySummaryToPosted. A line brought outside the input limits refuses
// the whole summary and leaves the lines as they were.
void ApplyReceiptSummary(Session& session, const ReceiptTarget& target,
                         const ReceiptSummary& summary);

// The receipt window opens in "UPIS": when the session has no working receipt lines in the
// warehouse and year the lots' free quantities are brought back to their quantities.
void PrepareWorkingCopy(Session& session);
// Abandoning the receipt: the session's working lines are deleted.
void ClearWorkingReceipt(Session& session);

}  // namespace zodra::purchasing
