#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptSummary.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// Receipts from a file: a supplier's delivery data in JSON (docs/receipt-json.md) posted
// through the same working copy, calculation and posting as the receipt window.
namespace zodra::purchasing {

// One line of the file. Numbers not given take the defaults the calculation window would
// propose; what is given is typed into the calculation in this order: invoice price,
// discount, customs, forwarding, other costs, then the price (margin, price, price with tax or
// retail price — the last one given wins), then the retail margin.
struct JsonLine {
    std::optional<int> article;    // ARTIKLI.SIFRA
    std::optional<int> packaging;  // AMBALAZA.SIFRA: a packaging line
    double quantity = 0;
    std::optional<double> invoicePrice;  // in the document's currency
    std::optional<double> discountPercent;
    std::optional<double> customsPercent;
    std::optional<double> forwardingPercent;
    std::optional<double> otherCostsPercent;
    std::optional<double> marginPercent;
    std::optional<double> price;  // without tax
    std::optional<double> priceWithTax;
    std::optional<double> retailPrice;  // MPC
    std::optional<double> retailMarginPercent;
};

struct JsonReceipt {
    int warehouse = 0;
    ReceiptHeaderData header;
    // The currency and rate date, and the summary data when the file gives them ("zbirno"),
    // as "Zbirni podaci primke" would take them.
    std::optional<ReceiptSummary> summary;
    bool summaryGiven = false;
    std::vector<JsonLine> lines;
};

// Reads the file: names are resolved against the company (supplier by code, OIB or exact
// name; article by code, article code (OPIS) or barcode; currency by name). A file that does
// not read, or names what the company does not have, is refused with a message naming the
// field (and the line).
JsonReceipt ParseReceiptJson(Database& db, const QByteArray& json);

// Posts a read receipt in the session's warehouse: the summary accepted as the dialog accepts
// it (its percentages are the defaults of lines that do not give their own), every line
// calculated and accepted into the working copy (a repeated article asks whether to merge),
// packaging following, then PostReceipt with its checks and questions. Returns the posted
// number, or nothing when a question was answered No. The working copy is cleared whatever
// happens.
std::optional<int> PostReceiptFromJson(Session& session, Prompter& prompter,
                                       const JsonReceipt& receipt);

}  // namespace zodra::purchasing
