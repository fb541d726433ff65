#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "data/DocumentKind.h"

namespace zodra {
class Session;
}

namespace zodra::documents {

// One line of a transfer being posted: goods of the source lot (the lot named, else the
// article's default lot), the selling price without tax they get in the destination, and the
// price the line was entered at (the source lot's selling price then), which the lot must still
// have.
struct TransferLine {
    int article = 0;
    std::optional<int> lot = std::nullopt;
    double quantity = 0;
    double destinationPrice = 0;
    std::optional<double> retailMargin = std::nullopt;
    int lineNumber = 0;  // RBR_STAVKE; lines of one number and prices become one receipt line
    std::optional<double> enteredPrice = std::nullopt;
};

// What a posted transfer wrote: its number and the receipt generated in the destination.
struct PostedTransfer {
    int number = 0;
    int receipt = 0;
};

// "Međuskladišnica je proknjižena pod brojem " n
QString TransferPostedMessage(int number);
// "Nije izabrano odredišno skladište !"
QString NoDestinationMessage();
// "Međuskladišnica nema niti jedne stavke !"
QString NoTransferLinesMessage();

// Posts a transfer of the session's warehouse and year (Transfer, or RetailTransfer for the
// transfers sales generate into the register's warehouse) inside the caller's transaction:
//  - the number: `number` while it is free, else the next of the kind;
//  - every line taken from its source lot with the checks of every issue (IssuePosting), the
//    header and lines written with the source cost and price and the destination price;
//  - the generated receipt of type 2 in the destination (the next number from 100001; its
//    supplier document "Međuskl." + number + "/" + the source warehouse's name), whose lines
//    are the transfer's lines summed per article, cost, destination price, margin and line
//    number, at the source cost; its trade-book entry "PRIMKA" ("PRIMKA-MEĐUSKL. " + its
//    number, + Σ destination value) and its lots (PostReceiptIntoLots: under FIFO two lines of
//    one article add to the one lot with weighted prices);
//  - the source entry (type of the kind, − Σ source value) at the position the header recorded,
//    the tax groups of both documents' lines, and the consistency check in both warehouses.
// An empty transfer, a destination that is the source or no warehouse at all, and a number or
// price that is not a finite number in range are refused before anything is written.
PostedTransfer PostTransferLines(Session& session, DocumentKind kind, int number, const QDate& date,
                                 int destination, const std::vector<TransferLine>& lines,
                                 const QString& description = {});

}  // namespace zodra::documents
