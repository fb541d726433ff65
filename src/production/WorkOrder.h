#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// The work order ("Radni nalog") while it is drawn up. A work order makes finished products out
// of parts: its working copy holds three kinds of rows, all of the session's warehouse and year:
//  - part lines (STAVKE_RADNIH_NALOGA_PRIVREMENO under the parts code): one per lot a part is
//    taken from, with the lot's cost and selling price; each reserves its quantity from the lot's
//    free quantity like any issue line, so other workstations see it at once;
//  - cost lines (STAVKE_RADNIH_NALOGA_TROSKOVI_PRIVREMENO under the parts code): the production
//    costs of the bill of materials, per product (GOT_PR_SIFRA);
//  - product lines (STAVKE_PRIMKE_PRIVREMENO under the products code): the lines of the goods
//    receipt that posting generates in the destination warehouse.
// A window works under the session's codes (SessionCodes); a headless posting under codes of its
// own, so that it never mixes with a window open beside it.
namespace zodra::production {

struct WorkOrderCodes {
    int parts = 0;     // part and cost lines: the session code
    int products = 0;  // product lines: the work-order session code
};
WorkOrderCodes SessionCodes(const Session& session);

// What the product entry window accepts.
struct ProductEntry {
    int product = 0;  // 0: nothing chosen
    double quantity = 0;
    double materialPrice = 0;             // per unit
    std::optional<double> dependentCost;  // per unit; none: the bill's costs of one unit
    double sellingPrice = 0;              // without tax, per unit
};

QString NoProductMessage();          // "Nije izabran artikal !"
QString ZeroMaterialPriceMessage();  // "Proizvodna cijena nesmije biti nula !"
QString ZeroSellingPriceMessage();   // "Prodajna cijena nesmije biti nula !"
QString OnlyLastLineMessage();       // "Brisati možete samo zadnju stavku !"
QString DeleteLineQuestion();        // "Želite li izbrisati stavku ?"
QString NoLinesMessage();            // "Dokument nema niti jedne stavke !"
QString WorkOrderDocumentName();     // "Radni nalog": its rows of OtvoreniDokumenti

// The stock check made while the quantity is typed: for every part of the product's bill the
// need (quantity x the part's quantity) against the free quantity of the active warehouse's lots
// (the fixed lot alone when the bill names one). Free quantities already exclude what this and
// every other open working copy holds. Each short part gives its warning, "Nedovoljna zaliha
// artikla " name [" po izabranoj primci u sastavnici"] ". Količina će biti postavljena na
// najveću dopuštenu vrijednost. Potrebno je još " missing; a part without any lot in the
// warehouse gives "Na ovom skladištu nema podataka o artiklu '" name. `allowed` is the largest
// quantity the stock covers (the window puts it into the box).
struct QuantityCheck {
    double allowed = 0;
    QStringList warnings;
};
QuantityCheck CheckProductQuantity(Session& session, int product, double quantity);

// Accepts a product: the checks in the window's order (NoProductMessage also for a product
// without a bill, ZeroQuantity "Količina nesmije biti nula !", ZeroMaterialPrice,
// ZeroSellingPrice; a number that is not finite or out of range is refused as well), then in one
// transaction the parts taken into part lines (a fixed lot gives the whole need, otherwise the
// lots with free stock in lot order, as much of each as it has), the product line and the cost
// lines (the bill's unit costs times the quantity). A short part refuses with its warning and
// leaves nothing. Returns the product line's number (RBR_STAVKE).
int AddProduct(Session& session, const WorkOrderCodes& codes, const ProductEntry& entry);
// The same with the material price the parts taken cost (their cost value per unit): the
// products a sale makes on the spot.
int AddProductAtPartsCost(Session& session, const WorkOrderCodes& codes, int product,
                          double quantity, double sellingPrice);

// A product line: Q, M, Z as entered and what follows from them.
struct ProductLine {
    int lineNumber = 0;  // RBR_STAVKE
    int product = 0;
    double quantity = 0;
    double materialPrice = 0;   // FAKTURNA_CIJENA
    double dependentValue = 0;  // ZTR_IZNOS = Q x Z
    double costPrice = 0;       // NABAVNA_CIJENA = M + Z
    double costValue = 0;       // Q x (M + Z)
    double sellingPrice = 0;    // CIJENA
    double value = 0;           // Q x P
    double marginAmount = 0;    // RUC_IZNOS
    double marginPercent = 0;   // RUC_%
};
struct PartLine {
    int article = 0;
    int lot = 0;
    double quantity = 0;
    double costPrice = 0;
    double sellingPrice = 0;
};
struct CostLine {
    QString description;
    double quantity = 0;
    double price = 0;
    double value = 0;
    int product = 0;  // GOT_PR_SIFRA
};
std::vector<ProductLine> ProductLines(Session& session, const WorkOrderCodes& codes);
std::vector<PartLine> PartLines(Session& session, const WorkOrderCodes& codes);
std::vector<CostLine> CostLines(Session& session, const WorkOrderCodes& codes);

// Deletes the last product line with its cost lines and the part lines taken for it (newest
// first; their reservations go back to the lots). Any other line: OnlyLastLineMessage.
void RemoveProductLine(Session& session, const WorkOrderCodes& codes, int lineNumber);
// The window's "Brisanje": the check, the question (No by default), the deletion. False on No.
bool RemoveProductLine(Session& session, Prompter& prompter, const WorkOrderCodes& codes,
                       int lineNumber);
// Empties the working copy (its reservations go back).
void ClearWorkOrder(Session& session, const WorkOrderCodes& codes);

// A work order saved unposted: its rows move under a code of their own, kept (with their
// reservations) until it is loaded again, and a row of OtvoreniDokumenti names it. Both kinds of
// work order are kept this way, each under its own document name, so neither lists nor loads the
// other's.
struct OpenWorkOrder {
    int number = 0;
    QDate date;
    QString description;
    int owner = 0;  // the finishing kind's owner of the goods (SIFRA_PARTNERA); 0: none chosen
};

// What saving and loading need to know of a kind: its document name in OtvoreniDokumenti, the
// noun its messages use, and its working tables with the code each lives under.
struct OpenOrderKind {
    QString document;  // "Radni nalog", "Radni nalog dorada"
    QString noun;      // "radni nalog", "radni nalog dorade"
    bool keepsOwner;   // the owner travels in "Opis" as "<owner>|<description>"
    struct Table {
        QString name;
        bool productsCode;  // under WorkOrderCodes::products, else under ::parts
    };
    std::vector<Table> tables;
};
const OpenOrderKind& OrdinaryOpenKind();

// Refused for an empty working copy (NoLinesMessage), for a number already saved of the same kind
// ("Otvoreni " noun " broj " n " već postoji") and, for a kind that keeps the owner, for an owner
// that is not a partner ("Nije izabran vlasnik robe !"; 0 is no owner yet and is kept as such).
void SaveOpenOrder(Session& session, const OpenOrderKind& kind, const WorkOrderCodes& codes,
                   const OpenWorkOrder& header);
std::vector<OpenWorkOrder> OpenOrders(Session& session, const OpenOrderKind& kind);
// "Učitaj otvoreni dokument": the saved rows come back under `codes`, which must be empty
// (Noun " već ima stavke."), and the saved row goes. A missing one: "Ne postoji otvoreni " noun
// " broj " n. An owner deleted meanwhile comes back as none.
OpenWorkOrder LoadOpenOrder(Session& session, const OpenOrderKind& kind,
                            const WorkOrderCodes& codes, int number);

// The ordinary work order's: OrdinaryOpenKind.
void SaveOpenWorkOrder(Session& session, const WorkOrderCodes& codes, const OpenWorkOrder& header);
std::vector<OpenWorkOrder> OpenWorkOrders(Session& session);
OpenWorkOrder LoadOpenWorkOrder(Session& session, const WorkOrderCodes& codes, int number);

}  // namespace zodra::production
