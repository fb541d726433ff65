#pragma once

#include <QString>
#include <QVariantList>
#include <optional>

namespace zodra::purchasing {

class PriceCalculation;

// Line kinds of a receipt.
inline QString ArticleKind() {
    return QStringLiteral("ART");
}
inline QString PackagingKind() {
    return QStringLiteral("AMB");
}

// One receipt line as STAVKE_PRIMKI and its working copy store it, in column order. Every
// line obeys: cost value = invoice value − discount + customs + forwarding + other costs, cost
// price = cost value / quantity, margin amount = value − cost value, margin percent = margin
// amount / cost value × 100 (0 without a cost value).
struct ReceiptRow {
    QString kind = ArticleKind();        // TIP_STAVKE
    int code = 0;                        // SIFRA: article or packaging
    double quantity = 0;                 // KOLICINA
    double invoicePrice = 0;             // FAKTURNA_CIJENA
    double invoiceValue = 0;             // FAKTURNA_VRIJEDNOST
    double discountPercent = 0;          // RABAT_%
    double discountAmount = 0;           // RABAT_IZNOS
    double netPrice = 0;                 // NETTO_FAKTURNA_CIJENA
    double netValue = 0;                 // NETTO_FAKTURNA_VRIJEDNOST
    double customsPercent = 0;           // CARINA_%
    double customsAmount = 0;            // CARINA_IZNOS
    double forwardingPercent = 0;        // SPEDICIJA_%
    double forwardingAmount = 0;         // SPEDICIJA_IZNOS
    double otherPercent = 0;             // ZTR_%
    double otherAmount = 0;              // ZTR_IZNOS
    double costPrice = 0;                // NABAVNA_CIJENA
    double costValue = 0;                // NABAVNA_VRIJEDNOST
    double marginPercent = 0;            // RUC_%
    double marginAmount = 0;             // RUC_IZNOS
    double price = 0;                    // CIJENA, without tax
    double value = 0;                    // VRIJEDNOST
    std::optional<double> retailMargin;  // MALOPRODAJNA_MARZA
    int lineNumber = 0;                  // RBR_STAVKE

    // The columns from KOLICINA to RBR_STAVKE in their stored order, and their values.
    static QString Columns();
    static int ColumnCount();
    QVariantList Values() const;

    // A calculated article line: the boxes as the line stores them, value = P × Q, margin
    // percent = (P / NC − 1) × 100, margin amount = value − cost value.
    static ReceiptRow FromCalculation(int article, const PriceCalculation& calculation,
                                      std::optional<double> retailMargin);
    // A line written by the quick entry: no discount, no costs, invoice = net = cost price.
    static ReceiptRow Plain(int article, double quantity, double costPrice, double costValue,
                            double price, double value, std::optional<double> retailMargin);
    // A packaging line at the packaging's price: every price is that price.
    static ReceiptRow Packaging(int packaging, double quantity, double price);

    // Adds another line of the same article (a repeated article merged into one line): the
    // quantities, values and amounts add up, the unit prices and percentages are derived again
    // from the sums, and the retail margin is the new line's.
    void Merge(const ReceiptRow& other);
    // Unit prices, percentages and margin derived from quantity, values and amounts (after a
    // merge or a packaging quantity change), with zero guards.
    void DeriveFromAmounts();
};

// The margin percent of a line on its cost value: 0 without a cost value.
double MarginPercentOf(double value, double costValue);

}  // namespace zodra::purchasing
