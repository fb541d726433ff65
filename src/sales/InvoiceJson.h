#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "sales/InvoicePosting.h"
#include "sales/OutgoingDocument.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// Invoices from a file (docs/invoice-json.md): a customer's order posted as a wholesale invoice
// through the same working copy, line arithmetic, checks and posting as the invoice window.
namespace zodra::sales {

struct JsonInvoiceLine {
    std::optional<int> article;    // ARTIKLI.SIFRA
    std::optional<int> service;    // USLUGE.SIFRA
    std::optional<int> packaging;  // AMBALAZA.SIFRA
    std::optional<int> lot;        // BROJ_PRIMKE chosen; else the article's default lot
    bool composite = false;        // "slozeni": the article is made at posting (CompositeLineKind)
    double quantity = 0;
    std::optional<double> price;  // before discount; else the list price or the lot's price
    std::optional<double> discount;
    QString description;
    std::optional<double> usedVehicleTotal;         // a used vehicle's total with tax
    std::optional<std::vector<QString>> extraData;  // the article's extra data, in order
};

struct JsonInvoice {
    int warehouse = 0;
    int book = 0;
    int salesTerms = 0;
    int customer = 0;
    QDate date;
    // The header fields the file gives; the rest take ProposeHeader's defaults.
    std::optional<int> number;
    std::optional<QString> deliveryName, deliveryAddress, deliveryPlace, deliveryDate,
        deliveryMethod, takenBy, orderNumber, deliveryNote, paymentTerm, dueDate, paymentMethod,
        paymentReference, alreadyPaid, additionalText, bankAccount, currency;
    std::vector<JsonInvoiceLine> lines;
};

// Whether a JSON file describes an invoice (it names a customer, "kupac") rather than a receipt.
bool IsInvoiceJson(const QByteArray& json);

// Reads the file: the customer by code, OIB or exact name, articles by code, article code or
// barcode, services by code or exact name. A file that does not read, or names what the
// company does not have, is refused with "Datoteka računa: " and what is wrong (and the line).
JsonInvoice ParseInvoiceJson(Database& db, const QByteArray& json);

// Posts a read invoice in the session's warehouse: a draft of its own, every line accepted into
// its working copy (a repeated article asks whether to merge), then the header checks and the
// posting. The working copy is discarded whatever happens. Returns what the posting did, or
// nothing when a merge question was answered No (nothing is posted then).
std::optional<PostedInvoice> PostInvoiceFromJson(Session& session, Prompter& prompter,
                                                 const JsonInvoice& invoice);

// The same for an offer, pro-forma or delivery note (the file's "vrsta" "ponuda", "predracun" or
// "otpremnica"): its lines, header and posting by the document's description.
std::optional<PostedInvoice> PostOutgoingFromJson(Session& session, Prompter& prompter,
                                                  const OutgoingDocument& document,
                                                  const JsonInvoice& invoice);

}  // namespace zodra::sales
