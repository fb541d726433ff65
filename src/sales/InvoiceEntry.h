#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "data/TableData.h"
#include "sales/InvoiceLines.h"

namespace zodra {
class Database;
}

// What the invoice window and its dialogs show and offer to choose from: the registers behind
// the header boxes, the facts beside an article, the lines as the grids show them.
namespace zodra::sales {

struct NamedCode {
    int code = 0;
    QString name;
};

std::vector<NamedCode> IraBooks(Database& db);        // KNJIGE_IRA by code
std::vector<NamedCode> SalesTermsList(Database& db);  // UVJETI_PRODAJE by code
std::vector<NamedCode> Customers(Database& db);       // partners marked as customers, by name
std::vector<NamedCode> ServiceList(Database& db);     // USLUGE by name
std::vector<NamedCode> PackagingList(Database& db);   // AMBALAZA by name
double PackagingPrice(Database& db, int packaging);   // its CIJENA, 0 when it has none
QString PartnerName(Database& db, int partner);

// The texts the header dialog's boxes offer (each may also be typed).
QStringList DeliveryMethods(Database& db);  // NACINI_ISPORUKE
QStringList PaymentMethods(Database& db);   // NACINI_PLACANJA
QStringList AdditionalTexts(Database& db);  // DODATNI_TEKSTOVI_ZA_RACUNE
QStringList BankAccounts(Database& db);     // the company's account, then ZIRO_RACUNI
QStringList Currencies(Database& db);       // VALUTE by code: the home currency first

// Shown beside the chosen article: its unit, the stock of the warehouse and year (all lots),
// its minimum stock and reserved quantity.
struct ArticleFacts {
    QString name;
    QString unit;
    double stock = 0;
    double minimumStock = 0;
    double reserved = 0;
    double currencyPrice = 0;  // CIJENA_U_VALUTI, 0 when the article has none
    QString currency;          // the name of its VALUTA
};
ArticleFacts ReadArticleFacts(Database& db, int warehouse, int year, int article);

// An article with a price in a foreign currency sold under the retail terms 1 would be priced
// from that price and the rate of a price change bound to the invoice. An invoice is bound to no
// price change, so the calculation price holds and the user is told so once per window: the
// text when that applies to the article under the line's terms, else nothing.
std::optional<QString> CurrencyPriceNotice(const ArticleFacts& facts, int lineTerms);
QString CurrencyPriceNoticeText();  // "Na ovaj račun nema vezane izmjene cijena te …"
// "Cijena u valuti : " + the currency price and its currency; the bare label without one.
QString CurrencyPriceLabel(const ArticleFacts& facts);
// The largest discount that still sells at the purchase price: "Max. rabat : " (for the retail
// terms 1 "Max. popust : ") + (price − purchase price) / price × 100 and " %"; 0 when the price
// is not above the purchase price.
QString MaxDiscountLabel(double price, double costPrice, bool retailTerms);

// The key of a posted invoice.
struct InvoiceKey {
    int warehouse = 0;
    int book = 0;
    int year = 0;
    int number = 0;
};

// Where an invoice's lines are: the working copy of an open window, or a posted invoice under
// correction.
struct InvoiceLinesTarget {
    int sessionCode = 0;
    std::optional<InvoiceKey> posted;
};

// The grid under the invoice header: line number, name, lot, quantity, unit, price, discount,
// value, tax rate, total, description (the line's kind and code hidden at the end).
TableData InvoiceLinesGrid(Database& db, const InvoiceLinesTarget& target);
// The running totals of the target's lines (as Totals does for a working copy).
InvoiceTotals TotalsOf(Database& db, const InvoiceLinesTarget& target);
// "Tablično": every column of the lines.
TableData InvoiceLinesTable(Database& db, const InvoiceLinesTarget& target);

}  // namespace zodra::sales
