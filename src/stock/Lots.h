#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "stock/Lot.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// Operations on purchase lots that documents call while lines are entered, posted and deleted.
// Quantities are stored rounded to 10 decimals (data/Rounding.h); prices are stored unrounded.
//
// Free quantity. KOLICINA_PRIVREMENO is what line-entry windows of every workstation compare a
// typed quantity against: the lot's quantity less what the open working copies of all sessions
// hold on it. A line accepted into a working copy reserves (ReserveFromLot) in the same
// transaction that writes the working row, a line deleted from it releases (ReleaseToLot) in the
// transaction that deletes the row. Posting takes the quantity from the lot (TakeFromLot) and
// deletes the working rows in one transaction, which leaves the free quantity as it was: the
// reservation becomes the take.
namespace zodra::stock {

class LotTable;

// Stock of an article in a warehouse and year: the sum over all its lots, whatever the method;
// 0 when it has none.
double ArticleStock(Database& db, int warehouse, int year, int article);
// The same in the session's business year; 0 without a query when no article is chosen.
double ArticleStock(Session& session, int warehouse, std::optional<int> article);

// Brings every lot's free quantity back to its quantity less what the working copies of open
// sessions hold on it, so that opening one workstation's document window never erases the
// reservations of another workstation. Working rows of sessions that have ended (their session
// code is no longer in Multiuser) hold nothing.
void ResetFreeQuantities(Database& db);

// The quantity the open working copies of all sessions hold on a lot.
double HeldByWorkingCopies(Database& db, const LotKey& key);

// A working-copy table whose lines hold the free quantity of the lot they name.
struct HoldingTable {
    QString table;
    QString articleColumn;
    bool articleLinesByKind = false;  // only TIP_STAVKE = 'ART' rows hold anything
};
// The holding description of a working-copy table, or none when its lines hold nothing (return
// notes, stock counts, price changes, receipts).
std::optional<HoldingTable> HoldingOf(const QString& workingTable);

// Lot numbers of an article in a warehouse and year in ascending order: only those with stock,
// or all (FIFO lots stay at quantity 0 after they are used up).
std::vector<int> ListLots(Database& db, int warehouse, int year, int article, bool onlyWithStock);

// The lot an issue takes from unless the user chooses: the oldest with stock (the lowest lot
// number whose quantity is above 0) whose free quantity can take `wanted`; when none can, the
// oldest with anything free; when nothing is free, the oldest with stock. What the working
// copies of other workstations hold counts: a lot they reserved in full is passed over while
// another has free stock. Under the pooled methods this is 0. None when the article has no
// stock in the warehouse and year.
std::optional<int> DefaultLot(Database& db, int warehouse, int year, int article,
                              double wanted = 0);

// The default lot chosen inside a write transaction and read under its row lock, so that no
// other workstation reserves from it until the commit. On a server, line entry locks lots
// rather than the company: when another workstation reserved the chosen lot between the choice
// and the lock so that it can no longer take `wanted`, the choice is made again. None as for
// DefaultLot.
std::optional<Lot> LockedDefaultLot(Database& db, int warehouse, int year, int article,
                                    double wanted = 0);

// A lot as it stands. Inside a write transaction the row is read with its lock (on a server,
// SELECT … FOR UPDATE): a free quantity read there stays true until the commit, whoever else
// reserves.
std::optional<Lot> FindLot(Database& db, const LotKey& key);

// The article's name (ARTIKLI.NAZIV) as messages show it.
QString ArticleName(Database& db, int article);

// A working-copy line accepted or deleted: the free quantity goes down or up by the quantity.
// Reserving from a lot that no longer exists is refused with the missing-lot message; releasing
// to one is nothing (it holds nothing any more).
void ReserveFromLot(Database& db, const LotKey& key, double quantity);
void ReleaseToLot(Database& db, const LotKey& key, double quantity);

// An issue commits a quantity to stock (at posting, or a line added to a posted document in
// correction): the lot's quantity goes down. The free quantity stays: the working line that
// reserved it is deleted in the same transaction. A lot that no longer exists (its receipt was
// cancelled) is refused with "Napravljen je storno primke po kojoj je ušao artikal " + name,
// which rolls the posting back instead of letting the goods vanish from stock.
void TakeFromLot(Database& db, const LotKey& key, double quantity);

// An issue document or line is deleted: the quantity goes back and is free again. A missing lot
// is refused as for TakeFromLot.
void ReturnToLot(Database& db, const LotKey& key, double quantity);

// An issue is cancelled by a counter-entry (storno of an invoice or a service consumption): the
// goods come back at the cost they went out at. The lot's quantity and free quantity grow, and
// its cost becomes the quantity-weighted average of what it held and what comes back (unchanged
// when the sum is 0), exactly as the article card values the cancellation.
void ReturnToLotAtCost(Database& db, const LotKey& key, double quantity, double cost);

// A price change (typed or generated by a posting) gives the lot a new selling price without
// tax; quantities stay.
void SetSellingPrice(Database& db, const LotKey& key, double price);

// The checks every issue document makes on each line inside its posting transaction, then the
// take: the lot must exist ("Napravljen je storno primke po kojoj je ušao artikal " + name),
// hold enough ("Nedovoljna količina artikla " + name) and, when the document carries the selling
// price the line was entered at, still have it ("Promijenjena je cijena artikla " + name).
// Returns the lot as it was before the take (its cost is the line's cost).
Lot TakeFromLotChecked(Database& db, const LotKey& key, double quantity,
                       std::optional<double> expectedSellingPrice = std::nullopt);
// The same through statements prepared once, for postings that take a lot per line.
Lot TakeFromLotChecked(LotTable& lots, const LotKey& key, double quantity,
                       std::optional<double> expectedSellingPrice = std::nullopt);

// The message texts of those checks, for documents that check on their own.
QString MissingLotMessage(const QString& articleName);
QString InsufficientQuantityMessage(const QString& articleName);
QString ChangedPriceMessage(const QString& articleName);

}  // namespace zodra::stock
