#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "stock/PriceChangeWriter.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// The lines of a price change being drawn up: rows of STAVKE_IZMJENA_CIJENA_PRIVREMENO under the
// session code, one per lot of the session's warehouse and year, each with the lot's quantity
// and selling price when the line was made and the new price. Only lots with stock are ever
// taken. A lot is on the working copy at most once: a new price for a lot already there
// replaces the line's new price (posting the lot twice would find its price changed by the first
// line). Every change runs in a transaction of its own.
namespace zodra::stockdocs {

// A working line with its row id.
struct WorkingPriceChangeLine {
    qint64 id = 0;
    stock::PriceChangeLine line;
};

// The rate of the article's tax group in percent (0 when it has none).
double ArticleTaxRate(Database& db, int article);

// The new price and the new price with tax are kept in step by the article's tax rate:
// price with tax = price × (1 + rate / 100), and back.
double PriceWithTax(double price, double rate);
double PriceWithoutTax(double priceWithTax, double rate);

// "Artikla '" + name + "' nema na skladištu.": the article has no lot with stock.
QString NoStockMessage(const QString& articleName);
// "Izmjena cijena nema niti jedne stavke !"
QString NoLinesMessage();

// The lots a new price of an article applies to: the lot given (it must exist and hold stock,
// else the missing-lot or no-stock message); else under the pooled methods the pooled lot,
// under FIFO every lot of the article with stock, oldest first.
std::vector<int> LotsToReprice(Session& session, int article, std::optional<int> lot);

// Puts a new selling price without tax on the lot(s) of the article (LotsToReprice) into the
// session's working copy. The price is held to the input limits of a price. Returns the lines
// written.
std::vector<stock::PriceChangeLine> AddPriceChangeLine(Session& session, int article,
                                                       std::optional<int> lot, double newPrice);

// One line for one lot (which must exist): its quantity and selling price now, and the new
// price; a line of the lot already in the working copy gets the new price instead. The line
// generators write through it.
stock::PriceChangeLine PutPriceChangeLine(Session& session, int lot, int article, double newPrice);

// The session's working lines in the order they were entered.
std::vector<WorkingPriceChangeLine> WorkingPriceChangeLines(Database& db, int sessionCode);

// Deletes one line (after "Želite li izbrisati stavku ?") and all of them (the window opens
// with an empty working copy).
QString DeleteLineQuestion();
void RemovePriceChangeLine(Session& session, qint64 id);
void ClearWorkingPriceChange(Session& session);

}  // namespace zodra::stockdocs
