#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "data/Session.h"
#include "retail/TillSale.h"

namespace zodra::retail {

// What F12 did: nothing when the sale had no lines; else the number the invoice got and its
// total with tax (the amount the payment dialog starts from).
struct PostedRetailSale {
    int number = 0;
    bool numberChanged = false;
    double total = 0;
    bool detailed = false;  // posted into the detail file (summing mode)
    std::optional<int> priceChange;
};

// The next number a sale of the register gets: IRA book 1, terms 1, in the detail file when
// retail invoices are summed at day end.
int ProposedRetailNumber(Session& session, const TillSale& sale);

// The number the cashier typed into "Broj računa :": a whole number above 0 ("Nije ispravno
// upisan broj !") that no retail invoice of the book (in the detail file in summing mode) has
// ("Račun pod ovim brojem je već napravljen !"). The posting checks it again and takes the next
// one when another register took it meanwhile.
int CheckRetailNumber(Session& session, const TillSale& sale, const QString& typed);

// Posts the sale (F12) in one transaction, on the invoice's posting (sales::PostCheckedInvoice):
// the number re-checked (taken meanwhile: the next), the lines taken from their lots and a
// price change where a line sells at another price than its lot, the trade-book entry "1RAČUN"
// "RAČUN " + number + " Maloprodaja", the header for the sale's customer with "osobno",
// "gotovinom", PLACENO, the cashier as KORISNIK, and the lines. With "Naknadno skidanje artikala
// POS" no lot moves and the header says NAKNADNO_SKIDANJE; with "Sumiranje maloprodajnih računa"
// header and lines go into the detail file and no trade-book entry is written. Nothing when the
// sale has no lines. A refusal leaves nothing written and the lines on the register.
//
// When the book takes stock now, goods the register's warehouse lacks come first, in the same
// transaction, by a generated retail transfer from the sale's transfer warehouse (recorded in
// the header's MALOPRODAJNA_MEDUSKLADISNICA and MALOPRODAJNA_PRIMKA); without one the posting
// is refused with "Nedovoljna količina artikla " + name. Composite lines are produced in the
// same transaction by ProduceCompositeProducts, after the transfer and before the invoice.
std::optional<PostedRetailSale> PostRetailSale(Session& session, const TillSale& sale,
                                               int proposedNumber);

// What the session's retail hooks hear of a posted sale.
Session::RetailSaleEvent SaleEvent(const TillSale& sale, int number, bool detailed, double total);

// The tax per rate of a sale's lines (its working copy): rate, base and tax, highest rate first.
std::vector<Session::RetailSaleEvent::Tax> SaleTaxes(Database& db, int sessionCode);

// The sale and its payment are written: the session's afterRetailSale runs (fiscalization
// sends the receipt). Call it before the receipt is printed.
void RetailSaleFinished(Session& session, const TillSale& sale, const PostedRetailSale& posted);

// Composite products on the sale (lines of sales::CompositeLineKind) are produced before their
// goods are taken: each by a generated work order and its receipt in the register's warehouse
// (sales::ProduceCompositeLines), the line then an article line on the produced lot. Called
// inside the sale's posting transaction; a shortage of parts refuses the whole sale with the
// production's message. With a book that takes no stock the lines become article lines only.
void ProduceCompositeProducts(Session& session, const TillSale& sale);

}  // namespace zodra::retail
