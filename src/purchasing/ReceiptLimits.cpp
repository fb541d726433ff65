#include "purchasing/ReceiptLimits.h"

#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"

namespace zodra::purchasing {

namespace {

using limits::NumberKind;

void Require(double value, NumberKind kind, const char16_t* what) {
    limits::RequireNumber(value, kind, QString::fromUtf16(what));
}

}  // namespace

limits::NumberKind KindOfBox(PriceCalculation::Box box) {
    using Box = PriceCalculation::Box;
    switch (box) {
        case Box::Quantity:
            return NumberKind::Quantity;
        case Box::CurrencyPrice:
        case Box::PackagedPrice:
        case Box::InvoicePrice:
        case Box::NetPrice:
        case Box::CostPrice:
        case Box::Price:
        case Box::PriceWithTax:
        case Box::PriceWithTaxAndPackaging:
        case Box::RetailPrice:
            return NumberKind::Price;
        case Box::DiscountPercent:
            return NumberKind::Discount;
        case Box::CustomsPercent:
        case Box::ForwardingPercent:
        case Box::OtherCostsPercent:
        case Box::MarginPercent:
        case Box::RetailMarginPercent:
            return NumberKind::Percent;
        case Box::TaxPercent:
            return NumberKind::TaxRate;
        default:
            return NumberKind::Amount;
    }
}

QString NameOfBox(PriceCalculation::Box box) {
    using Box = PriceCalculation::Box;
    switch (box) {
        case Box::Quantity:
            return QStringLiteral("Količina");
        case Box::CurrencyPrice:
            return QStringLiteral("Fakturna cijena");
        case Box::CurrencyValue:
            return QStringLiteral("Fakturna vrijednost");
        case Box::PackagedPrice:
            return QStringLiteral("Fakturna cijena sa ambalažom");
        case Box::PackagedValue:
            return QStringLiteral("Fakturna vrijednost sa ambalažom");
        case Box::InvoicePrice:
            return QStringLiteral("Fakturna cijena");
        case Box::InvoiceValue:
            return QStringLiteral("Fakturna vrijednost");
        case Box::DiscountPercent:
            return QStringLiteral("Rabat");
        case Box::DiscountUnit:
        case Box::DiscountTotal:
            return QStringLiteral("Rabat iznos");
        case Box::NetPrice:
            return QStringLiteral("Netto fakturna cijena");
        case Box::NetValue:
            return QStringLiteral("Netto fakturna vrijednost");
        case Box::CustomsPercent:
            return QStringLiteral("Carina");
        case Box::CustomsUnit:
        case Box::CustomsTotal:
            return QStringLiteral("Carina iznos");
        case Box::ForwardingPercent:
            return QStringLiteral("Špedicija");
        case Box::ForwardingUnit:
        case Box::ForwardingTotal:
            return QStringLiteral("Špedicija iznos");
        case Box::OtherCostsPercent:
            return QStringLiteral("Zavisni troškovi");
        case Box::OtherCostsUnit:
        case Box::OtherCostsTotal:
            return QStringLiteral("Zavisni troškovi iznos");
        case Box::CostPrice:
            return QStringLiteral("Nabavna cijena");
        case Box::CostValue:
            return QStringLiteral("Nabavna vrijednost");
        case Box::MarginPercent:
            return QStringLiteral("Marža");
        case Box::MarginUnit:
            return QStringLiteral("Marža iznos");
        case Box::Price:
            return QStringLiteral("Cijena");
        case Box::TaxPercent:
            return QStringLiteral("Porez");
        case Box::TaxUnit:
            return QStringLiteral("Porez iznos");
        case Box::PriceWithTax:
            return QStringLiteral("Cijena sa porezom");
        case Box::PriceWithTaxAndPackaging:
            return QStringLiteral("Cijena sa porezom i ambalažom");
        case Box::RetailMarginPercent:
            return QStringLiteral("Maloprodajna marža");
        case Box::RetailMarginUnit:
            return QStringLiteral("Maloprodajna marža iznos");
        case Box::RetailPrice:
            return QStringLiteral("MPC");
        case Box::Count:
            break;
    }
    return QString();
}

void CheckTyped(PriceCalculation::Box box, double value) {
    limits::RequireNumber(value, KindOfBox(box), NameOfBox(box));
}

void CheckReceiptRow(const ReceiptRow& r) {
    Require(r.quantity, NumberKind::Quantity, u"Količina");
    Require(r.invoicePrice, NumberKind::Price, u"Fakturna cijena");
    Require(r.invoiceValue, NumberKind::Amount, u"Fakturna vrijednost");
    Require(r.discountPercent, NumberKind::Discount, u"Rabat");
    Require(r.discountAmount, NumberKind::Amount, u"Rabat iznos");
    Require(r.netPrice, NumberKind::Price, u"Netto fakturna cijena");
    Require(r.netValue, NumberKind::Amount, u"Netto fakturna vrijednost");
    Require(r.customsPercent, NumberKind::Percent, u"Carina");
    Require(r.customsAmount, NumberKind::Amount, u"Carina iznos");
    Require(r.forwardingPercent, NumberKind::Percent, u"Špedicija");
    Require(r.forwardingAmount, NumberKind::Amount, u"Špedicija iznos");
    Require(r.otherPercent, NumberKind::Percent, u"Zavisni troškovi");
    Require(r.otherAmount, NumberKind::Amount, u"Zavisni troškovi iznos");
    Require(r.costPrice, NumberKind::Price, u"Nabavna cijena");
    Require(r.costValue, NumberKind::Amount, u"Nabavna vrijednost");
    // The margin on cost is derived (a cheap article may well carry thousands of percent):
    // only a number of sane size is required.
    Require(r.marginPercent, NumberKind::Amount, u"Marža");
    Require(r.marginAmount, NumberKind::Amount, u"Marža iznos");
    Require(r.price, NumberKind::Price, u"Cijena");
    Require(r.value, NumberKind::Amount, u"Vrijednost");
    if (r.retailMargin) {
        Require(*r.retailMargin, NumberKind::Percent, u"Maloprodajna marža");
    }
}

void CheckDependentCosts(const std::vector<DependentCost>& items) {
    for (const DependentCost& item : items) {
        if (auto message =
                limits::CheckText(item.description, QStringLiteral("Opis zavisnog troška"))) {
            throw UserError(*message);
        }
        Require(item.amount, NumberKind::Amount, u"Iznos zavisnog troška");
    }
}

void CheckSummaryLimits(const ReceiptSummary& s) {
    Require(s.invoiceValue, NumberKind::Amount, u"Fakturna vrijednost");
    Require(s.discount, NumberKind::Amount, u"Rabat iznos");
    Require(s.customs, NumberKind::Amount, u"Carina iznos");
    Require(s.forwarding, NumberKind::Amount, u"Špedicija iznos");
    Require(s.otherCosts, NumberKind::Amount, u"Zavisni troškovi");
    Require(s.currencyInvoiceValue, NumberKind::Amount, u"Fakturna vrijednost u valuti");
    Require(s.currencyDiscount, NumberKind::Amount, u"Rabat iznos u valuti");
    Require(s.rate, NumberKind::Rate, u"Tečaj");
    CheckDependentCosts(s.items);
    // Items each within range may still add up beyond it.
    Require(s.ItemsTotal(), NumberKind::Amount, u"Zavisni troškovi");
}

void CheckHeaderLimits(const ReceiptHeaderData& h, int businessYear) {
    if (h.number != 0) {
        try {
            numbering::RequireReceiptNumberInRange(h.number, h.type);
        } catch (const UserError& e) {
            throw FieldRefusal(NumberField(), e.message());
        }
    }
    if (h.date.isValid()) {
        limits::RequireDocumentDate(h.date, businessYear, QStringLiteral("Datum"));
    }
    if (h.supplierDocumentDate.isValid()) {
        if (auto message = limits::CheckDate(h.supplierDocumentDate,
                                             QStringLiteral("Datum dokumenta dobavljača"))) {
            throw FieldRefusal(SupplierDocumentDateField(), *message);
        }
    }
    if (auto message =
            limits::CheckText(h.supplierDocument, QStringLiteral("Dokument dobavljača"))) {
        throw FieldRefusal(SupplierDocumentField(), *message);
    }
}

}  // namespace zodra::purchasing
