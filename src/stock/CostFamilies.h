#pragma once

#include <QString>
#include <vector>

namespace zodra {
class Database;
}

// The document families whose lines take goods out of (or, for return notes, back into) a lot
// at the lot's cost. Each line records the lot and its unit cost at the time of posting, so when
// that cost changes later (a pooled lot is recomputed after a change in the past, a FIFO
// receipt is corrected) exactly these lines follow it. The one list serves the recomputation of
// the pooled average, receipt corrections, the deletion guards of receipts and the article
// card, so that no family can be forgotten in one of them.
namespace zodra::stock {

// Which cost fields a family's lines carry.
enum class CostFields {
    CostAndValue,        // NABAVNA_CIJENA, NABAVNA_VRIJEDNOST = KOLICINA × cost
    CostValueAndMargin,  // also RUC_IZNOS = VRIJEDNOST_ − cost × KOLICINA and RUC_% (invoices)
    CountCost,           // stock counts: N_CIJENA, the lot's cost when the count was prepared
};

struct CostFamily {
    QString name;              // Croatian name of the document, for diagnostics
    QString tradeBookType;     // TIP_DOKUMENTA of its entry and its card rows; empty for invoices,
                               // whose type is the invoice book code followed by "RAČUN"
    QString cancellationType;  // the card type of its cancellation rows, or empty
    QString headerTable;
    QString headerNumber;  // number column of the header
    QString lineTable;
    QString lineNumber;  // number column of the lines
    QString articleColumn;
    bool invoiceBook = false;         // the key has IRA between warehouse and year
    bool articleLinesByKind = false;  // only TIP_STAVKE = 'ART' lines are articles
    bool inbound = false;             // its lines put goods back into the lot
    CostFields fields = CostFields::CostAndValue;
    // Transfers: the header names a receipt generated in the destination warehouse
    // (ODREDISNO_SKLADISTE, BROJ_ODREDISNE_PRIMKE) whose lines carry the same cost.
    bool generatesReceipt = false;
    QString lineOrderColumn;  // the transfer line's number, which is the destination line's
};

// Every family, in the order their lines are brought up to date: invoices, transfers, returns
// to supplier, delivery notes, service consumption, work orders, stock counts, write-offs,
// commission returns, retail transfers, issue notes, return notes, finishing work orders.
const std::vector<CostFamily>& CostFamilies();

// The family of an article-card row by its document type; `cancellation` tells whether the row is
// the family's cancellation. Null for receipts, price changes and unknown types.
const CostFamily* FamilyOfCardType(const QString& type, bool* cancellation);

// The first family (in the list's order) with a line that took the article from the lot in a
// document posted after the trade-book position, or null. The deletion guard of a receipt asks
// this for its lots (FIFO: its own lot from position 0; pooled: lot 0 after the receipt's
// position); invoices that did not take stock do not count.
const CostFamily* FirstLaterIssue(Database& db, int warehouse, int year, int article, int lot,
                                  int position);

}  // namespace zodra::stock
