#pragma once

#include <QDate>
#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

#include "data/Session.h"

namespace zodra {
class Database;
class Prompter;
}  // namespace zodra

// The lines of a wholesale invoice while it is drawn up: rows of the invoice working copy
// (STAVKE_RACUNA_PRIVREMENO) under the invoice's own session code. An article line reserves its
// quantity from its lot's free quantity when it is accepted and gives it back when it is deleted
// (documents::WorkingLines), so other workstations see at once what this invoice holds.
//
// Line arithmetic, with Q quantity, P net price before discount, R discount percent, t tax rate
// and c the lot's cost price: V = Q × P, D = V × R / 100, N = V − D (VRIJEDNOST_), T = N × t / 100,
// UKUPNO_ = N + T, CIJENA_ = N / Q, RUC_IZNOS = N − Q × c, RUC_% = (N / (Q × c) − 1) × 100 (0
// without a purchase value). Amounts are stored unrounded; a total is the sum of the lines'
// amounts rounded to the cent.
namespace zodra::sales {

// The retail sales terms: numbered on their own, priced with the lot's retail margin.
inline constexpr int kRetailTerms = 1;

// Taxation types of sales terms that carry no tax whatever the tax group says.
bool IsExemptTaxation(int taxationType);

// The invoice being drawn up: its warehouse and year, the session code of its working copy and
// the header boxes the lines depend on.
struct InvoiceDraft {
    int warehouse = 0;
    int year = 0;
    int sessionCode = 0;
    std::optional<int> book;        // KNJIGE_IRA.SIFRA
    std::optional<int> salesTerms;  // UVJETI_PRODAJE.SIFRA
    std::optional<int> customer;    // PARTNERI.SIFRA
    QDate date;
};

// Opens an invoice in the session's warehouse and year with a session code of its own, so that
// two documents open at once never see each other's lines.
InvoiceDraft OpenInvoice(Session& session, const QDate& date);
// Abandons the invoice: every line is deleted (its lot reservation given back), with the
// employee and extra-data rows, and the session code is released. One transaction.
void DiscardInvoice(Session& session, InvoiceDraft& draft);

// The guards before any line may be entered, in this order: "Nije izabrana knjiga IRA !",
// "Nije izabran uvjet prodaje !", "Nije izabran kupac !".
void CheckReadyForLines(const InvoiceDraft& draft);

// Choosing sales terms of taxation type 12 (final consumption) in a warehouse that is neither a
// retail warehouse nor allowed all invoice kinds is refused with "Ovo nije maloprodajno
// skladište i nije dozvoljena izrada maloprodajnog računa.".
void CheckSalesTerms(Session& session, int salesTerms);

// What the article dialog proposes once the article (and lot, and sales terms) are chosen.
struct ArticleProposal {
    int lot = 0;
    double costPrice = 0;     // the lot's NABAVNA CIJENA
    double lotPrice = 0;      // the lot's VELEPRODAJNA CIJENA
    double price = 0;         // P: the customer's list price, else the lot's price (× retail
                              // margin for the retail terms 1)
    double discount = 0;      // R: from the customer's price list, else the customer's
    QString taxGroup;         // GRUPE_POREZA.NAZIV of the article's group
    double taxRate = 0;       // t: 0 for "Neoporezivo" and the exempt taxation types
    int taxationType = 0;     // of the line's sales terms
    double freeQuantity = 0;  // what the lot still has free
};
// Refused with "Nedovoljna količina artikla " + name when the article has no lot with stock in
// the warehouse and year (or the lot given does not exist there). Without a lot given the
// default lot is one whose free quantity can take `wanted` where there is one.
ArticleProposal ProposeArticle(Session& session, const InvoiceDraft& draft, int article,
                               std::optional<int> lot = std::nullopt,
                               std::optional<int> lineTerms = std::nullopt, double wanted = 0);

// What the service dialog proposes once the service (and the line's sales terms) are chosen.
struct ServiceProposal {
    double price = 0;  // USLUGE.CIJENA
    QString unit;      // JED_M
    QString taxGroup;
    double taxRate = 0;
    int taxationType = 0;
    bool cashDiscount = false;  // the service "CASSA SCONTO"
};
// Refused with "Nije izabrana usluga !" when there is no such service.
ServiceProposal ProposeService(Session& session, const InvoiceDraft& draft, int service,
                               std::optional<int> lineTerms = std::nullopt);

// The quantity box of an invoice whose book takes stock: a quantity above what the lot still has
// free is cut to that with "Nedovoljna zaliha artikla. Količina će biti postavljena na najveću
// dopuštenu vrijednost."; stock falling below the article's minimum or reserved quantity gives
// a warning and the quantity stays.
struct QuantityCheck {
    double quantity = 0;
    std::vector<QString> messages;
};
QuantityCheck CheckArticleQuantity(Session& session, const InvoiceDraft& draft, int article,
                                   int lot, double quantity);

// An article line as the dialog accepts it ("Prihvati"). What is not given takes the proposal.
struct ArticleLineInput {
    int article = 0;
    std::optional<int> lot;
    double quantity = 0;
    std::optional<double> price;     // P, before discount
    std::optional<double> discount;  // R
    std::optional<int> salesTerms;   // the line's own terms; else the invoice's
    QString description;
};

// Answers given beforehand (a document file): the used vehicle's total with tax and the
// article's extra data in the order of its fields. What is not given is asked.
struct ArticleLineAnswers {
    std::optional<double> usedVehicleTotal;
    std::optional<std::vector<QString>> extraData;
};

struct ServiceLineInput {
    int service = 0;
    double quantity = 0;
    std::optional<double> price;
    std::optional<double> discount;
    std::optional<int> salesTerms;
    QString description;
};

// The employees a service line can be given: the employee register by name.
struct Employee {
    int code = 0;
    QString name;
};
std::vector<Employee> EmployeeList(Database& db);
// Writes the employees of a line into an employee table (STAVKE_RACUNA_DJELATNICI_PRIVREMENO
// under the session code, or STAVKE_RACUNA_DJELATNICI of a posted invoice) under the line's key;
// one already there is not written twice. An employee not in the register is refused with
// "Djelatnik nije upisan u popis djelatnika." Called inside the line's transaction.
void WriteLineEmployees(Database& db, const QString& table, int warehouse, int book, int year,
                        int number, std::optional<int> sessionCode, const QString& kind, int code,
                        const std::vector<int>& employees);
// The employees of the working copy's line of that kind and code.
std::vector<int> WorkingLineEmployees(Database& db, int sessionCode, const QString& kind, int code);

// The working copy's tax per rate, as the fiscal record of its invoice or receipt carries it:
// base (VRIJEDNOST_) and tax (POREZ_IZNOS) summed per rate, a line without a rate counted at 0,
// the highest rate first.
std::vector<Session::RetailSaleEvent::Tax> WorkingCopyTaxes(Database& db, int sessionCode);

// What accepting a line did; nothing when the user answered No to the merge question.
struct AcceptedLine {
    int lineNumber = 0;
    bool merged = false;
};

QString
ArticleMergeQuestion();  // "Ovaj artikal je već upisan. Želite li dodati na postojeću stavku?"
QString
ServiceMergeQuestion();  // "Ova usluga je već upisana. Želite li dodati na postojeću stavku?"
// "Želite li izbrisati stavku artikla ?" / "… usluge ?" / "… ambalaže ?" by TIP_STAVKE.
QString DeleteLineQuestion(const QString& lineKind);

// Accepts an article line: the guards ("Nije izabran artikal !", "Količina ne može biti nula !",
// "Opis je duži od 255 znakova !", the input limits), then, when the working copy has a line of
// the same article, lot, tax group and taxation type, the merge question (asked before the
// transaction): Yes adds into that line, No writes nothing. Otherwise a new line with the next
// line number. The lot's free quantity follows in the same transaction; more than it has free is
// refused with "Nedovoljna količina artikla " + name.
std::optional<AcceptedLine> AddArticleLine(Session& session, Prompter& prompter,
                                           const InvoiceDraft& draft, const ArticleLineInput& input,
                                           const ArticleLineAnswers& answers = {});
// Before the line is written, the article's extra-data fields are asked one by one ("Upišite "
// + the field's name); their answers go with the line (STAVKE_RACUNA_DODATNI_PODACI_PRIVREMENO)
// in its transaction. Cancelling a question writes nothing.
//
// A used vehicle (its kind contains "Polovno") is sold under margin taxation: the question
// UsedVehicleQuestion() asks its total price with tax G. With C the purchase value of the
// quantity and t the rate of the margin service (service 1, "Porezna osnovica 22%", added with
// the vehicle's tax group when missing), the article line carries C without tax (tax group
// "Neoporezivo") and the service line the margin's base (G − C) / (1 + t / 100) with its tax,
// so the two lines come to G. Sold at or below its purchase value there is no margin to tax:
// one untaxed article line of G. Both lines are one transaction; no merge question is asked.
//
// The same for a service line (no lot, no purchase values): "Nije izabrana usluga !".
//
// `employees` (DJELATNICI.SIFRA, "Djelatnici-F2") are written with the service line under its
// key (WriteLineEmployees), in its transaction.
std::optional<AcceptedLine> AddServiceLine(Session& session, Prompter& prompter,
                                           const InvoiceDraft& draft, const ServiceLineInput& input,
                                           const std::vector<int>& employees = {});

QString UsedVehicleQuestion();  // "Upišite ukupnu cijenu polovnog vozila sa porezom."
QString MarginServiceName();    // "Porezna osnovica 22%"
bool IsUsedVehicle(Database& db, int article);

// A packaging line (TIP_STAVKE 'AMB'), kept on the invoice to follow returnable packaging: the
// price is the packaging's own unless given, without tax ("Neoporezivo"), no lot and no stock.
// Guards "Nije izabrana ambalaža !", "Količina ne može biti nula !", the description's; the
// same packaging twice asks PackagingMergeQuestion().
struct PackagingLineInput {
    int packaging = 0;  // AMBALAZA.SIFRA
    double quantity = 0;
    std::optional<double> price;
    QString description;
};
QString PackagingMergeQuestion();  // "Ova ambalaža je već upisana. Želite li dodati na …"
std::optional<AcceptedLine> AddPackagingLine(Session& session, Prompter& prompter,
                                             const InvoiceDraft& draft,
                                             const PackagingLineInput& input);

// The service named "CASSA SCONTO" is a cash discount on the invoice so far: choosing it asks
// "Upišite postotak za CASSA SCONTO." (a non-number: "Nije upisan broj"), and the line is one
// piece at minus that percent of the lines' net value, described as the percent followed by "%".
// AddServiceLine takes this road for that service; nothing when the question is cancelled.
QString CashDiscountName();  // "CASSA SCONTO"
std::optional<AcceptedLine> AddCashDiscountLine(Session& session, Prompter& prompter,
                                                const InvoiceDraft& draft, int service);

// Composite products: an article with a bill of materials, sold on a line of its own kind
// (TIP_STAVKE 'SLA') while the invoice is drawn up. The line holds no lot and reserves nothing:
// the product does not exist yet. At posting (PostCheckedInvoice, when the book takes stock)
// the quantity is produced by a generated work order and its receipt in the invoice's warehouse
// and the line becomes an ordinary article line ('ART') on the produced lot, so that everything
// after the posting (cancellation, deletion, correction, the IRA book, prints, stock checks)
// sees a sold article. Its amounts follow the article line's arithmetic without a cost price.
// Cancelling or deleting such an invoice returns the products to the produced lot, as for any
// article; the work order and its receipt stay (the parts were used, the products exist); they
// are deleted, if wanted, through the work order list, whose guards see the sale.
QString CompositeLineKind();  // "SLA"

struct CompositeProduct {
    int article = 0;
    QString name;
};
// The products that have a bill of materials, by name.
std::vector<CompositeProduct> CompositeProducts(Database& db);

// What the composite dialog proposes for a product: the net price through SalePrice (the
// customer's list price, else the price of the product's lot from an earlier production, with
// the retail margin for the retail terms 1; 0 when neither exists and the price has to be
// typed), the customer's discount, the tax of the product's group.
struct CompositeProposal {
    double price = 0;
    double discount = 0;
    QString taxGroup;
    double taxRate = 0;
    int taxationType = 0;
};
// Refused with "Nije izabran artikal !" for an article without a bill of materials.
CompositeProposal ProposeComposite(Session& session, const InvoiceDraft& draft, int product,
                                   std::optional<int> lineTerms = std::nullopt);

// The parts' stock for `quantity` more units of the product, counting what the working copy's
// composite lines of that product already need: `quantity` cut to what the stock covers, with
// the production's warnings ("Nedovoljna zaliha artikla " …). The posting checks again.
QuantityCheck CheckCompositeQuantity(Session& session, const InvoiceDraft& draft, int product,
                                     double quantity);

struct CompositeLineInput {
    int product = 0;
    double quantity = 0;
    std::optional<double> price;  // P, before discount; else the proposal
    std::optional<double> discount;
    std::optional<int> salesTerms;
    QString description;
};
QString
CompositeMergeQuestion();  // "Ovaj proizvod je već upisan. Želite li dodati na postojeću stavku?"
// Accepts a composite line: "Nije izabran artikal !" (none, or without a bill), "Količina ne
// može biti nula !", a negative quantity "Količina mora biti veća od nule !", "Prodajna cijena
// nesmije biti nula !" (the produced lot needs a price), the description's and the input
// limits' checks. The same product under the same tax asks CompositeMergeQuestion (No writes
// nothing).
std::optional<AcceptedLine> AddCompositeLine(Session& session, Prompter& prompter,
                                             const InvoiceDraft& draft,
                                             const CompositeLineInput& input);
// The same, adding to that line without asking (the register merges what is scanned again).
AcceptedLine AddCompositeLineMerging(Session& session, const InvoiceDraft& draft,
                                     const CompositeLineInput& input);

// Posting: every composite line of the working copy is produced (production::ProduceForSale in
// the session's warehouse at the line's price before discount) and becomes an article line on
// the produced lot, reserved there like any article line; with `produce` false (a book that
// takes no stock) it only becomes an article line without a lot. Runs inside the posting's
// transaction before its issue begins. Returns how many lines were produced.
int ProduceCompositeLines(Session& session, const InvoiceDraft& draft, bool produce);

// Deletes a line (the question was asked): an article line gives its reservation back and its
// extra data goes with it, and the lines behind it close the gap.
void DeleteLine(Session& session, const InvoiceDraft& draft, int lineNumber);

// The discount percent of a line changed in the grid ("Rabat %"). The line follows in this
// order: RABAT_IZNOS = VRIJEDNOST_BEZ_RABATA × RABAT_% / 100; VRIJEDNOST_ = VRIJEDNOST_BEZ_RABATA
// − RABAT_IZNOS; CIJENA_ = VRIJEDNOST_ / KOLICINA; RUC_IZNOS = VRIJEDNOST_ − NABAVNA_VRIJEDNOST
// (and RUC_% with it, as a new line has it); POREZ_IZNOS = VRIJEDNOST_ × POREZ_% / 100; UKUPNO_
// = VRIJEDNOST_ + POREZ_IZNOS. The price before discount, quantity, lot and reservation stay.
// A discount outside −100…100, NaN or infinity is refused with the input limits' message.
void ChangeLineDiscount(Session& session, const InvoiceDraft& draft, int lineNumber,
                        double discountPercent);
// The discount typed into the grid's cell: a number, else "Nije ispravno upisan broj !".
double ParseGridDiscount(const QVariant& typed);
// For an offer or pro-forma only the discount may be changed in the grid.
QString DiscountOnlyMessage();  // "Mijenjati možete samo postotak rabatana ponudi i predračunu."

// The running totals under the grid: Σ VRIJEDNOST_, Σ POREZ_IZNOS, Σ UKUPNO_ of the lines, each
// line rounded to the cent; the article lines' part apart (the trade-book entry).
struct InvoiceTotals {
    int lines = 0;
    int articleLines = 0;
    double value = 0;
    double tax = 0;
    double total = 0;
    double articleValue = 0;
    double articleTax = 0;
};
InvoiceTotals Totals(Database& db, int sessionCode);

// One line of the working copy, as the grid and the tests read it.
struct InvoiceLine {
    int lineNumber = 0;
    QString kind;  // TIP_STAVKE
    int code = 0;  // SIFRA
    std::optional<int> lot;
    double quantity = 0;
    double costPrice = 0;
    double costValue = 0;
    double marginPercent = 0;
    double margin = 0;
    double priceBeforeDiscount = 0;
    double valueBeforeDiscount = 0;
    double discountPercent = 0;
    double discount = 0;
    double price = 0;
    double value = 0;
    QString taxGroup;
    double taxRate = 0;
    double tax = 0;
    double total = 0;
    int taxationType = 0;
    QString description;
};
std::vector<InvoiceLine> WorkingLinesOf(Database& db, int sessionCode);

}  // namespace zodra::sales
