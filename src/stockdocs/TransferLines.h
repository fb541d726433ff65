#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "documents/TransferPosting.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// The lines of an inter-warehouse transfer being drawn up ("Međuskladišnica"): rows of
// STAVKE_MEDUSKLADISNICA_PRIVREMENO under a session code, each naming one lot of the session's
// warehouse and year. An accepted line reserves its quantity from the lot's free quantity (a
// second workstation sees it at once) and a deleted one releases it; posting turns the
// reservations into the take. Every change runs in a transaction of its own.
namespace zodra::stockdocs {

// Every warehouse a transfer may go to: all but the active one, by code.
std::vector<std::pair<int, QString>> DestinationWarehouses(Session& session);

// A line as "Upis" accepts it: the lot (else the article's default lot), the quantity, and the
// destination price without tax or with tax (the other follows from the article's tax rate);
// neither given means the lot's own selling price.
struct TransferLineEntry {
    int article = 0;
    std::optional<int> lot = std::nullopt;
    double quantity = 0;
    std::optional<double> destinationPrice = std::nullopt;
    std::optional<double> destinationPriceWithTax = std::nullopt;
    std::optional<double> retailMargin = std::nullopt;
};

// Writes the line into the working copy under `sessionCode` with the lot's cost and selling
// price and the next line number. Refused without a destination ("Nije izabrano odredišno
// skladište !"), with a quantity not above 0 or beyond the lot's free quantity ("Nedovoljna
// količina artikla " name), a lot that is gone, and numbers that are not finite or in range.
// Returns the row's id.
qint64 AddTransferLine(Session& session, int sessionCode, int destination,
                       const TransferLineEntry& entry);
// "Uč. sklad.": every lot of the warehouse with free stock becomes a line of its free quantity
// at its own price. Returns the number of lines added.
int AddWarehouseLines(Session& session, int sessionCode, int destination);
// "Uč. primku": the lots a posted receipt brought in (its own lots under FIFO, the pooled lot
// under the other methods) become lines of what they still hold free, at most the receipt's
// quantity. Returns the number of lines added.
int AddReceiptLines(Session& session, int sessionCode, int destination, int receipt);

// "Ovaj artikal je već upisan. Želite li dodati na postojeću stavku?": asked when "Upis" accepts
// a lot already on the transfer. Yes adds to that line (AddToTransferLine), No writes a line of
// its own.
QString TransferMergeQuestion();
// The working line of the article and lot, if there is one.
std::optional<qint64> WorkingTransferLineOf(Session& session, int sessionCode, int article,
                                            int lot);
// Adds the entry's quantity to the working line `id` (the same article and lot): the lot's free
// quantity must cover the addition, and the destination value grows by the entry's quantity at
// its destination price, so that the line's destination price becomes the weighted one.
void AddToTransferLine(Session& session, int sessionCode, int destination, qint64 id,
                       const TransferLineEntry& entry);

// "Mijenjati možete samo redni broj."
QString OnlyLineNumberMessage();
// The grid's one editable column: the line number (RBR_STAVKE), a whole number from 1. Lines of
// one article, cost and destination price under one number become one line of the destination
// receipt.
void SetTransferLineNumber(Session& session, int sessionCode, qint64 id, const QString& typed);

// "Želite li izbrisati stavku artikla ?"
QString DeleteTransferLineQuestion();
void RemoveTransferLine(Session& session, int sessionCode, qint64 id);
void ClearWorkingTransfer(Session& session, int sessionCode);
// "Ukupno :": Σ VRIJEDNOST of the working lines.
double WorkingTransferTotal(Database& db, int sessionCode);

// The number box: a whole number ("Nije ispravno upisan broj !") of no transfer already posted
// ("Međuskladišnica pod ovim brojem je već napravljena !").
int CheckTransferNumber(Database& db, int warehouse, int year, const QString& typed);

struct TransferHeaderData {
    int number = 0;  // 0 for the next number; a number taken meanwhile gives the next one
    QDate date;
    int destination = 0;
    QString description;
};

// Posts the working copy under `sessionCode` (documents::PostTransferLines, each line checked
// against the price it was entered at) and deletes its rows, in one transaction; a refusal
// leaves the working copy as it was.
documents::PostedTransfer PostWorkingTransfer(Session& session, const TransferHeaderData& header,
                                              int sessionCode);

}  // namespace zodra::stockdocs
