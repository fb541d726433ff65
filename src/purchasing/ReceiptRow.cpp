#include "purchasing/ReceiptRow.h"

#include "data/Rounding.h"
#include "purchasing/PriceCalculation.h"

namespace zodra::purchasing {

double MarginPercentOf(double value, double costValue) {
    return SafeDivide(value - costValue, costValue) * 100.0;
}

QString ReceiptRow::Columns() {
    return QStringLiteral(
        "\"KOLICINA\", \"FAKTURNA_CIJENA\", \"FAKTURNA_VRIJEDNOST\", \"RABAT_%\", "
        "\"RABAT_IZNOS\", \"NETTO_FAKTURNA_CIJENA\", \"NETTO_FAKTURNA_VRIJEDNOST\", \"CARINA_%\", "
        "\"CARINA_IZNOS\", \"SPEDICIJA_%\", \"SPEDICIJA_IZNOS\", \"ZTR_%\", \"ZTR_IZNOS\", "
        "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", \"CIJENA\", "
        "\"VRIJEDNOST\", \"MALOPRODAJNA_MARZA\", \"RBR_STAVKE\"");
}

int ReceiptRow::ColumnCount() {
    return 21;
}

QVariantList ReceiptRow::Values() const {
    return {quantity,
            invoicePrice,
            invoiceValue,
            discountPercent,
            discountAmount,
            netPrice,
            netValue,
            customsPercent,
            customsAmount,
            forwardingPercent,
            forwardingAmount,
            otherPercent,
            otherAmount,
            costPrice,
            costValue,
            marginPercent,
            marginAmount,
            price,
            value,
            retailMargin ? QVariant(*retailMargin) : QVariant(),
            lineNumber};
}

ReceiptRow ReceiptRow::FromCalculation(int article, const PriceCalculation& c,
                                       std::optional<double> retailMargin) {
    using Box = PriceCalculation::Box;
    ReceiptRow r;
    r.kind = ArticleKind();
    r.code = article;
    r.quantity = c.Value(Box::Quantity);
    r.invoicePrice = c.Value(Box::InvoicePrice);
    r.invoiceValue = c.Value(Box::InvoiceValue);
    r.discountPercent = c.Value(Box::DiscountPercent);
    r.discountAmount = c.Value(Box::DiscountTotal);
    r.netPrice = c.Value(Box::NetPrice);
    r.netValue = c.Value(Box::NetValue);
    r.customsPercent = c.Value(Box::CustomsPercent);
    r.customsAmount = c.Value(Box::CustomsTotal);
    r.forwardingPercent = c.Value(Box::ForwardingPercent);
    r.forwardingAmount = c.Value(Box::ForwardingTotal);
    r.otherPercent = c.Value(Box::OtherCostsPercent);
    r.otherAmount = c.Value(Box::OtherCostsTotal);
    r.costPrice = c.Value(Box::CostPrice);
    r.costValue = c.Value(Box::CostValue);
    r.price = c.Value(Box::Price);
    r.value = c.SellingValue();
    r.marginPercent = c.LineMarginPercent();
    r.marginAmount = r.value - r.costValue;
    r.retailMargin = retailMargin;
    return r;
}

ReceiptRow ReceiptRow::Plain(int article, double quantity, double costPrice, double costValue,
                             double price, double value, std::optional<double> retailMargin) {
    ReceiptRow r;
    r.kind = ArticleKind();
    r.code = article;
    r.quantity = quantity;
    r.invoicePrice = r.netPrice = r.costPrice = costPrice;
    r.invoiceValue = r.netValue = r.costValue = costValue;
    r.price = price;
    r.value = value;
    r.marginPercent = MarginPercentOf(value, costValue);
    r.marginAmount = value - costValue;
    r.retailMargin = retailMargin;
    return r;
}

ReceiptRow ReceiptRow::Packaging(int packaging, double quantity, double price) {
    ReceiptRow r;
    r.kind = PackagingKind();
    r.code = packaging;
    r.quantity = quantity;
    r.invoicePrice = r.netPrice = r.costPrice = r.price = price;
    r.invoiceValue = r.netValue = r.costValue = r.value = quantity * price;
    return r;
}

void ReceiptRow::Merge(const ReceiptRow& other) {
    quantity += other.quantity;
    invoiceValue += other.invoiceValue;
    discountAmount += other.discountAmount;
    netValue += other.netValue;
    customsAmount += other.customsAmount;
    forwardingAmount += other.forwardingAmount;
    otherAmount += other.otherAmount;
    costValue += other.costValue;
    value += other.value;
    retailMargin = other.retailMargin;
    DeriveFromAmounts();
}

void ReceiptRow::DeriveFromAmounts() {
    invoicePrice = SafeDivide(invoiceValue, quantity);
    discountPercent = SafeDivide(discountAmount, invoiceValue) * 100.0;
    netPrice = SafeDivide(netValue, quantity);
    customsPercent = SafeDivide(customsAmount, netValue) * 100.0;
    forwardingPercent = SafeDivide(forwardingAmount, netValue) * 100.0;
    otherPercent = SafeDivide(otherAmount, netValue) * 100.0;
    costPrice = SafeDivide(costValue, quantity);
    price = SafeDivide(value, quantity);
    marginAmount = value - costValue;
    marginPercent = MarginPercentOf(value, costValue);
}

}  // namespace zodra::purchasing
