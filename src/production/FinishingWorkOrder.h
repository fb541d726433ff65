#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "production/WorkOrder.h"

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// The finishing work order ("Radni nalog dorada"): work the shop does on goods a customer owns
// (docs/finishing-work-order.md). Its lines are the finished products with their quantities;
// for each, the material the shop puts in from the active warehouse's own lots and the services
// and costs of the work. Posting takes the material out of the lots like any issue, but receives
// nothing: the finished goods were never the shop's stock and go back to their owner. The order's
// value, material at its selling price plus the services, is what the shop invoices the owner.
//
// The working copy lives under one session code:
//  - STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO: material lines, one per lot taken from, each with
//    the product it went into (GOT_PR_SIFRA); each reserves its quantity from the lot's free
//    quantity like any issue line;
//  - STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO: per product one row without a description
//    (OPIS is null) that is the product line itself (KOLICINA: units finished), and the service
//    rows (OPIS, KOLICINA, NABAVNA_CIJENA, NABAVNA_VRIJEDNOST). The posted table keeps the same.
namespace zodra::production {

QString FinishingDocumentName();             // "Radni nalog dorada"
QString FinishingBookType();                 // "RADNI NALOG DORADA": TIP_DOKUMENTA of its entry
QString FinishingPostedMessage(int number);  // "Radni nalog dorada je proknjižen pod brojem " n
QString NoSuchFinishingOrderMessage(
    int number);                    // "Ne postoji proknjiženi radni nalog dorade broj " n
QString FinishingDeleteQuestion();  // "Želite li izbrisati radni nalog dorade!"
QString NoPartnerMessage();         // "Nije izabran vlasnik robe !"
QString ProductTwiceMessage();      // "Ovaj proizvod je već upisan na radni nalog dorade !"
QString NoBillMessage();            // "Proizvod nema sastavnicu !"
QString NoServiceTextMessage();     // "Nije upisan opis usluge !"

// Material typed for a product: the quantity for the whole product line; a lot of 0 takes from
// the lots with free stock in lot order.
struct MaterialEntry {
    int article = 0;
    double quantity = 0;
    int lot = 0;
};
// A service or cost of a product line: quantity and price for the whole line.
struct ServiceEntry {
    QString description;
    double quantity = 0;
    double price = 0;
};
struct FinishedProductEntry {
    int product = 0;
    double quantity = 0;
    // The product's bill of materials gives the material (its parts for the quantity) and its
    // costs become services; typed material and services are added to them.
    bool fromBill = false;
    std::vector<MaterialEntry> material;
    std::vector<ServiceEntry> services;
};

// Accepts a product line. Checks in this order: NoProductMessage ("Nije izabran artikal !") for
// no product or an unknown one, the quantity (finite, in range; "Količina nesmije biti nula !",
// "Količina mora biti veća od nule !"), ProductTwiceMessage, NoBillMessage when `fromBill` and the
// product has none, each material line (a known article, a quantity above 0) and each service
// (NoServiceTextMessage, finite quantity and price in range); then the stock check of every
// material article against the free quantities (the first warning "Nedovoljna zaliha artikla "
// … "Potrebno je još " n refuses). In one transaction: the product row, the material lines and
// the services. A refusal leaves the working copy as it was.
void AddFinishedProduct(Session& session, int code, const FinishedProductEntry& entry);

struct FinishedProduct {
    int product = 0;
    QString name;
    double quantity = 0;
    double materialCost = 0;   // Σ material at cost
    double materialValue = 0;  // Σ material at the lots' selling prices
    double services = 0;       // Σ services
};
struct FinishingMaterial {
    int product = 0;
    int article = 0;
    int lot = 0;
    double quantity = 0;
    double costPrice = 0;
    double sellingPrice = 0;
};
struct FinishingService {
    int product = 0;
    QString description;
    double quantity = 0;
    double price = 0;
    double value = 0;
};
std::vector<FinishedProduct> FinishedProducts(Session& session, int code);
std::vector<FinishingMaterial> FinishingMaterials(Session& session, int code);
std::vector<FinishingService> FinishingServices(Session& session, int code);

// Deletes the last product line with its material (reservations back to the lots) and services.
// Any other line: "Brisati možete samo zadnju stavku !".
void RemoveFinishedProduct(Session& session, int code, int product);
// The window's "Brisanje": the check, "Želite li izbrisati stavku ?" (No by default), the
// deletion. False on No.
bool RemoveFinishedProduct(Session& session, Prompter& prompter, int code, int product);
// Empties the working copy (its reservations go back).
void ClearFinishingOrder(Session& session, int code);

// A finishing order saved unposted ("Radni nalog dorada" in OtvoreniDokumenti): its material
// (with its reservations) and services kept under a code of their own, the owner of the goods
// with them; the ordinary work orders never see it, nor it theirs. The refusals are those of
// SaveOpenOrder and LoadOpenOrder with the noun "radni nalog dorade".
const OpenOrderKind& FinishingOpenKind();
void SaveOpenFinishingOrder(Session& session, int code, const OpenWorkOrder& header);
std::vector<OpenWorkOrder> OpenFinishingOrders(Session& session);
OpenWorkOrder LoadOpenFinishingOrder(Session& session, int code, int number);

struct FinishingHeader {
    int number = 0;  // typed or proposed; taken meanwhile (or 0): the next free number
    QDate date;
    QString description;
    int partner = 0;  // SIFRA_PARTNERA: the owner of the goods
};
struct PostedFinishingOrder {
    int number = 0;
    double value = 0;  // PRODAJNA_VRIJEDNOST: material at selling prices plus services
};

// Posts the working copy under `code` in one transaction: the number of its own numbering row
// (the typed one while free, else the next), the material out of its lots with the checks of
// every issue, the header RADNI_NALOZI_DORADA (partner, NABAVNA_VRIJEDNOST = material at cost +
// services, PRODAJNA_VRIJEDNOST = material at selling prices + services), the lines and services,
// the trade-book entry "RADNI NALOG DORADA" ("RADNI NALOG " n, − Σ material at selling prices),
// and the consistency check. Refused: NoPartnerMessage for a partner that is not one,
// "Dokument nema niti jedne stavke !" without a product or without material. A refusal leaves
// nothing written and the working copy as it was.
PostedFinishingOrder PostFinishingOrder(Session& session, int code, const FinishingHeader& header);
PostedFinishingOrder PostFinishingOrderInTransaction(Session& session, int code,
                                                     const FinishingHeader& header);

// The deletion's guards without changing anything (NoSuchFinishingOrderMessage, a later stock
// count, a lot whose price moved).
void CheckFinishingOrderCanBeDeleted(Session& session, int number);
// In one transaction: the guards again, the material back into its lots, the trade-book entry
// and the order removed, the pooled averages recomputed and the consistency check.
void DeleteFinishingOrder(Session& session, int number);
// The list's delete: guards, FinishingDeleteQuestion (No by default), the deletion. False on No.
bool DeleteFinishingOrder(Session& session, Prompter& prompter, int number);

}  // namespace zodra::production
