#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "sales/InvoiceLines.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// A sale at the retail register while the cashier scans it: rows of the invoice working copy
// (STAVKE_RACUNA_PRIVREMENO) under the register's own session code, in IRA book 1 under the
// retail terms 1, for the retail customer unless another is chosen. Each article line reserves
// its quantity on its lot like an invoice line, so the other registers see it at once.
namespace zodra::retail {

constexpr int kRetailBook = 1;

struct TillSale {
    sales::InvoiceDraft draft;  // book 1, terms 1, "Kupac u maloprodaji"
    QString cashier;            // KORISNIK of the posted invoice
    // Goods the register's warehouse lacks come from here at posting (a generated transfer);
    // the free stock a line may take counts what this warehouse has free too.
    std::optional<int> transferWarehouse;
};

// The partner "Kupac u maloprodaji".
int RetailCustomer(Database& db);

// Opens a sale in the session's warehouse and year with a session code of its own.
TillSale OpenTillSale(Session& session, const QDate& date);
// Drops the sale's lines (reservations given back) and its session code.
void CloseTillSale(Session& session, TillSale& sale);

// The article of a barcode ("Artikal sa ovim barkodom nije upisan.") or of a code ("Artikal sa
// ovom šifrom nije upisan.").
int ArticleByBarcode(Database& db, const QString& barcode);
int ArticleByCode(Database& db, int code);

// The lot a register line takes: with lot choice on ("Izbor primke u POS kasi") the chosen one;
// otherwise the default lot for `wanted` (stock::DefaultLot: the oldest whose free quantity
// takes it), and when none has stock the newest lot, always in the register's warehouse and
// year. None when the article has no lot there at all. Inside a write transaction the default
// is chosen under the lot's row lock (stock::LockedDefaultLot).
std::optional<int> RegisterLot(Session& session, const TillSale& sale, int article,
                               std::optional<int> chosen = std::nullopt, double wanted = 0);

struct RegisterLineInput {
    int article = 0;
    double quantity = 1;
    double discount = 0;     // percent, from the discount box
    std::optional<int> lot;  // the lot box, read with lot choice on
};

// What the register shows after a line: its number, the quantity that went in (cut to the free
// stock), the messages the cashier is shown, and the customer display's two lines for the line
// (the article's name; quantity "*" price with tax "=" amount, each "0.00").
struct RegisterLineResult {
    int lineNumber = 0;
    double quantity = 0;
    std::vector<QString> messages;
    QString displayName;
    QString displayAmounts;
};

// Adds an article line: the lot (RegisterLot), the net price (sales::SalePrice), the tax of
// the article's group (0 for exempt taxation types). The same article and lot again adds to
// its line. Unless stock is taken at day end, a quantity above the lot's free quantity is cut
// to it with "Nedovoljna zaliha artikla. Količina će biti postavljena na najveću dopuštenu
// vrijednost.", and nothing free at all is refused with "Nedovoljna količina artikla.". With
// packaging on, every packaging of the article (ARTIKLI_AMBALAZA) follows on its 'AMB' line:
// quantity per article × the article lines' quantity, at the packaging's price.
RegisterLineResult AddRegisterLine(Session& session, const TillSale& sale,
                                   const RegisterLineInput& input);

// A scan: a scale barcode (ScaleBarcode.h) becomes its article with its quantity, any other
// barcode its article with the quantity given.
RegisterLineResult ScanBarcode(Session& session, const TillSale& sale, const QString& barcode,
                               double quantity = 1, double discount = 0);

// Home ("Sl.proiz."): a line of a composite product (sales::CompositeLineKind, made by a work
// order when the sale is posted), at the product's register price (sales::ProposeComposite:
// the list price, else the price of its lot from an earlier production with the retail margin)
// unless `price` (net, before discount) is given; "Nije pronađena cijena artikla." when neither
// is there. Unless stock is taken at day end, a quantity the parts cannot cover is cut to what
// they cover with the production's warning, and nothing at all is refused with that warning.
// The same product again adds to its line.
RegisterLineResult AddRegisterCompositeLine(Session& session, const TillSale& sale, int product,
                                            double quantity = 1, double discount = 0,
                                            std::optional<double> price = std::nullopt);

// F8: the line is deleted with its reservation given back, the lines behind it close the gap
// and the packaging lines follow.
void DeleteRegisterLine(Session& session, const TillSale& sale, int lineNumber);

// "0.00"
QString Amount(double value);

}  // namespace zodra::retail
