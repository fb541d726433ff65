#pragma once

#include <QString>
#include <optional>

#include "purchasing/PriceCalculation.h"
#include "purchasing/ReceiptRow.h"
#include "purchasing/ReceiptSummary.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// What the calculation window and the quick line entry know about an article when it is
// chosen, and the calculation they start from.
namespace zodra::purchasing {

struct ArticleFacts {
    int article = 0;
    QString name;
    QString code;                        // OPIS
    QString unit;                        // JED_M
    double taxRate = 0;                  // STOPA of its tax group
    double wholesaleMargin = 0;          // VELEPRODAJNA_MARZA of its group
    std::optional<double> retailMargin;  // MALOPRODAJNA_MARZA of its group
    double customsPercent = 0;           // ARTIKLI."CARINA%"
    double packagingPerUnit = 0;         // value of the packaging of one unit
    // Its price in a currency (CIJENA_U_VALUTI with VALUTA), for the information label.
    std::optional<int> currency;
    QString currencyName;
    double currencyPrice = 0;
    // Stock in the active warehouse and year, and the selling price of its lot ("Cijena : "):
    // the pooled lot, or under FIFO the lot an issue would take from.
    double stock = 0;
    double lotPrice = 0;
    // From its most recent receipt line in the warehouse and year.
    bool hasLastReceipt = false;
    double lastCurrencyInvoicePrice = 0;  // FAKTURNA_CIJENA / that receipt's rate
    double lastCurrencyNetPrice = 0;      // NETTO_FAKTURNA_CIJENA / that receipt's rate
    double lastDiscountPercent = 0;
    double lastPrice = 0;  // CIJENA, without tax

    // Priced in a foreign currency: the last receipt's currency price, discount and selling
    // price are proposed for a new line. An article in the home currency (every article an
    // import brings) is not, even with a price in CIJENA_U_VALUTI.
    bool PricedInForeignCurrency() const;
};
ArticleFacts ReadArticleFacts(Session& session, int article);

// The receipt-wide data a new line starts from.
struct CalculationContext {
    ReceiptSummary summary;            // percentages, rate, "Carina % iz artikala"
    double packagingInvoiceValue = 0;  // of the receipt's packaging lines
    std::optional<int> supplier;
    bool proposeFromLastReceipt = false;  // company setting "Prethodni podaci artikla …"
};

// The supplier's discount (PARTNERI.RABAT), 0 without a supplier.
double SupplierDiscount(Database& db, std::optional<int> supplier);

// A new line of an article (modes Entry and Correction): tax rate from its tax group, margins
// from its group, customs from the receipt or from the article ("Carina % iz artikala"),
// forwarding and other costs from the receipt, discount from the supplier or else the receipt;
// for an article priced in a foreign currency (or when the company proposes previous data) the
// invoice price in the currency, the discount and the price proposed from its last receipt.
PriceCalculation NewCalculation(Database& db, const ArticleFacts& facts, double quantity,
                                const CalculationContext& context, CalculationMode mode);

// The quick line entry: quantity, purchase price and value, selling price and value (without
// tax); a price typed gives its value (× quantity), a value typed gives its price (÷ quantity,
// 0 without a quantity), a quantity typed keeps the prices.
struct QuickLine {
    double quantity = 0;
    double costPrice = 0;
    double costValue = 0;
    double price = 0;
    double value = 0;

    void TypeQuantity(double q);
    void TypeCostPrice(double p);
    void TypeCostValue(double v);
    void TypePrice(double p);
    void TypeValue(double v);
    // Only the article and the quantity: the full calculation is wanted.
    bool WantsCalculation() const;
    // The line this entry writes itself: no discount, no costs.
    ReceiptRow Row(int article, std::optional<double> retailMargin) const;
};

// The calculation of an existing line (mode Change): the boxes filled from the line.
PriceCalculation CalculationOfLine(const ArticleFacts& facts, const ReceiptRow& line, double rate);

}  // namespace zodra::purchasing
