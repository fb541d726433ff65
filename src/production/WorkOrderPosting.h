#pragma once

#include <QDate>
#include <QString>

#include "production/WorkOrder.h"
#include "stock/Lot.h"

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// Posting and deleting a work order of the session's warehouse and year.
namespace zodra::production {

struct WorkOrderHeader {
    int number = 0;  // typed or proposed; taken meanwhile (or 0): the next free number
    QDate date;
    QString description;  // OPIS
    int destination = 0;  // ODREDISNO_SKLADISTE: the warehouse that receives the products
};

struct PostedWorkOrder {
    int number = 0;
    int receipt = 0;  // the generated receipt in the destination warehouse (from 200001)
};

QString PostedMessage(int number);  // "Radni nalog je proknjižen pod brojem " n

// Posts the working copy under `codes` in one transaction:
//  1. the number (the typed one while free, else the next);
//  2. the goods receipt of type 3 in the destination (the next number from 200001, supplier's
//     document "Radni nalog br. " n "/Skladište:" source warehouse, the session's stock-keeping
//     method), its lines copied from the product lines, its trade-book entry "PRIMKA"
//     ("PRIMKA-RAD.NALOG " n, + Σ selling value) and its lots;
//  3. the header RADNI_NALOZI with its trade-book position, the destination, the receipt's number
//     and the sums of the part lines (cost and selling value);
//  4. every part line taken from its lot with the checks of every issue ("Napravljen je storno
//     primke po kojoj je ušao artikal ", "Nedovoljna količina artikla ", "Promijenjena je cijena
//     artikla " + name), written with the lot's prices; the cost lines copied; the working rows
//     deleted (their reservations become the take) and the missing tax groups filled (a saved
//     order's row of OtvoreniDokumenti went when it was loaded back into the working copy, so
//     posting never touches another saved order that happens to carry the typed number);
//  5. the trade-book entry "RADNI NALOG" ("RADNI NALOG " n, − Σ selling value of the parts) and the
//     consistency check in both warehouses.
// A destination that is not a warehouse is refused with "Nije izabrano odredišno skladište !", an
// order without product or part lines with NoLinesMessage. A refusal anywhere leaves nothing
// written and the working copy as it was.
PostedWorkOrder PostWorkOrder(Session& session, const WorkOrderCodes& codes,
                              const WorkOrderHeader& header);

// The same inside the caller's transaction (which it neither begins nor commits).
PostedWorkOrder PostWorkOrderInTransaction(Session& session, const WorkOrderCodes& codes,
                                           const WorkOrderHeader& header);

// Products made on the spot for a sale. Call it INSIDE the sale's own posting transaction (the
// retail register's or the invoice's, for a line of a composite product), BEFORE the sale's
// documents::IssuePosting is made: the work order takes its trade-book positions first, and the
// sale's position comes after them. It draws up a work order of its own (session codes allocated
// and released here, so the window's working copies are untouched) for `quantity` units of
// `product`, its parts from the session's warehouse at their lots' cost, the bill's costs as the
// dependent cost, `sellingPrice` (without tax) as the products' price, and posts it with its
// receipt into the session's warehouse itself. Returns the lot the products are now in (the
// receipt's lot under FIFO, the pooled lot otherwise), which the sale then takes from. Every
// refusal (no bill: "Nije izabran artikal !", short parts with the stock warning, the lot
// checks) is a UserError that rolls back the caller's whole posting.
stock::LotKey ProduceForSale(Session& session, int product, double quantity, double sellingPrice,
                             const QDate& date);

QString DeleteQuestion();                    // "Želite li izbrisati radni nalog!"
QString NoSuchWorkOrderMessage(int number);  // "Ne postoji proknjiženi radni nalog broj " n
// "Odredišna primka je već stornirana. Želite li nastaviti sa stornom radnog naloga!"
QString ReceiptGoneQuestion();
// "Zbog nemogućnosti storniranja primke storno radnog naloga je prekinut"
QString ReceiptRefusedMessage();
// "Ovaj radni nalog nemožete stornirati jer su na artiklima iz radnog naloga nakon njegovog
// knjiženja rađene inventure."
QString StockCountRefusal();

// The guards of a deletion without changing anything: the work order exists, no stock count
// after it counted a lot it took from, and each lot still carries the line's price ("Ovaj radni
// nalog nemožete izbrisati jer artikal " name " ima na radnom nalogu cijenu " p " a na skladištu
// cijenu " lot price). Returns whether its receipt is still there to be deleted (false: it was
// deleted or cancelled by a cancelling receipt already).
bool CheckWorkOrderCanBeDeleted(Session& session, int number);

// Deletes a posted work order in one transaction: its receipt in the destination first (under
// the receipt's own guards; a refusal there ends everything with its text and
// ReceiptRefusedMessage), then the parts back into their lots, its trade-book entry, its lines,
// cost lines and header, the pooled averages recomputed and the consistency check.
// `withoutReceipt` is the user's Yes to ReceiptGoneQuestion; a receipt that vanished after the
// question was not asked refuses.
void DeleteWorkOrder(Session& session, int number, bool withoutReceipt);
// The list's delete: guards, DeleteQuestion (No by default), ReceiptGoneQuestion where it
// applies, then the deletion. False when the user answered No.
bool DeleteWorkOrder(Session& session, Prompter& prompter, int number);

}  // namespace zodra::production
