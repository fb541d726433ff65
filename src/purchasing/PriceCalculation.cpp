#include "purchasing/PriceCalculation.h"

#include "data/Rounding.h"

namespace zodra::purchasing {

double SafeDivide(double a, double b) {
    return QuantityIsZero(b) ? 0.0 : a / b;
}

namespace {

using Box = PriceCalculation::Box;

// The three dependent costs share one pattern: percent, per unit, on the whole quantity.
struct CostBoxes {
    Box percent;
    Box unit;
    Box total;
};
constexpr CostBoxes kCosts[] = {
    {Box::CustomsPercent, Box::CustomsUnit, Box::CustomsTotal},
    {Box::ForwardingPercent, Box::ForwardingUnit, Box::ForwardingTotal},
    {Box::OtherCostsPercent, Box::OtherCostsUnit, Box::OtherCostsTotal},
};

bool IsZero(double value) {
    return QuantityIsZero(value);
}

}  // namespace

PriceCalculation::PriceCalculation(CalculationMode mode, double quantity, double rate,
                                   double packagingPerUnit)
    : m_mode(mode), m_rate(rate > 0 ? rate : 1.0), m_packaging(packagingPerUnit) {
    V(Box::Quantity) = quantity;
}

void PriceCalculation::Preset(Box box, double value) {
    V(box) = value;
    if (box == Box::InvoicePrice) {
        FromInvoicePrice();
    } else if (box == Box::CurrencyPrice) {
        FromCurrencyPrice();
    }
}

void PriceCalculation::FromInvoicePrice() {
    const double q = Get(Box::Quantity);
    V(Box::InvoiceValue) = Get(Box::InvoicePrice) * q;
    V(Box::CurrencyPrice) = Get(Box::InvoicePrice) / m_rate;
    V(Box::CurrencyValue) = Get(Box::InvoiceValue) / m_rate;
}

void PriceCalculation::FromCurrencyPrice() {
    V(Box::CurrencyValue) = Get(Box::CurrencyPrice) * Get(Box::Quantity);
}

void PriceCalculation::Recalculate() {
    Forward(m_mode == CalculationMode::Change);
}

void PriceCalculation::Forward(bool priceStays) {
    const double q = Get(Box::Quantity);
    const double a = m_packaging;
    // Invoice price in the home currency, and the currency price with packaging.
    V(Box::InvoicePrice) = Get(Box::CurrencyPrice) * m_rate;
    V(Box::InvoiceValue) = Get(Box::CurrencyValue) * m_rate;
    V(Box::PackagedPrice) = Get(Box::CurrencyPrice) + a;
    V(Box::PackagedValue) = Get(Box::CurrencyValue) + q * a;
    // Discount and the net invoice price.
    V(Box::DiscountUnit) = Get(Box::InvoicePrice) * Get(Box::DiscountPercent) / 100.0;
    V(Box::DiscountTotal) = Get(Box::InvoiceValue) * Get(Box::DiscountPercent) / 100.0;
    V(Box::NetPrice) = Get(Box::InvoicePrice) - Get(Box::DiscountUnit);
    V(Box::NetValue) = Get(Box::NetPrice) * q;
    // Dependent costs on the net price, and the purchase cost.
    double cost = Get(Box::NetPrice);
    for (const CostBoxes& c : kCosts) {
        V(c.unit) = Get(Box::NetPrice) * Get(c.percent) / 100.0;
        V(c.total) = Get(Box::NetValue) * Get(c.percent) / 100.0;
        cost += Get(c.unit);
    }
    V(Box::CostPrice) = cost;
    V(Box::CostValue) = cost * q;
    // Price and margin: one follows the other.
    if (priceStays) {
        V(Box::MarginPercent) = SafeDivide((Get(Box::Price) - cost) * 100.0, cost);
        V(Box::MarginUnit) = cost * Get(Box::MarginPercent) / 100.0;
    } else {
        V(Box::MarginUnit) = cost * Get(Box::MarginPercent) / 100.0;
        V(Box::Price) = cost + Get(Box::MarginUnit);
    }
    // Tax, packaging, retail margin and the retail price.
    const double p = Get(Box::Price);
    V(Box::TaxUnit) = p * Get(Box::TaxPercent) / 100.0;
    V(Box::PriceWithTax) = p + Get(Box::TaxUnit);
    V(Box::PriceWithTaxAndPackaging) = Get(Box::PriceWithTax) + a;
    V(Box::RetailMarginUnit) = p * Get(Box::RetailMarginPercent) / 100.0;
    const double net = p + Get(Box::RetailMarginUnit);
    V(Box::RetailPrice) = net + net * Get(Box::TaxPercent) / 100.0;
}

void PriceCalculation::Type(Box box, double x) {
    const double q = Get(Box::Quantity);
    const double a = m_packaging;
    bool priceStays = m_mode == CalculationMode::Change;
    switch (box) {
        case Box::Quantity:
            V(Box::Quantity) = x;
            FromCurrencyPrice();
            break;
        case Box::CurrencyPrice:
            V(box) = x;
            FromCurrencyPrice();
            break;
        case Box::CurrencyValue:
            V(box) = x;
            V(Box::CurrencyPrice) = SafeDivide(x, q);
            break;
        case Box::InvoicePrice:
            V(box) = x;
            FromInvoicePrice();
            break;
        case Box::InvoiceValue:
            V(box) = x;
            V(Box::InvoicePrice) = SafeDivide(x, q);
            V(Box::CurrencyPrice) = Get(Box::InvoicePrice) / m_rate;
            V(Box::CurrencyValue) = x / m_rate;
            break;
        case Box::PackagedPrice:
            V(box) = x;
            V(Box::PackagedValue) = x * q;
            V(Box::CurrencyPrice) = x - a;
            V(Box::CurrencyValue) = Get(Box::PackagedValue) - q * a;
            break;
        case Box::PackagedValue:
            V(box) = x;
            V(Box::PackagedPrice) = SafeDivide(x, q);
            V(Box::CurrencyPrice) = Get(Box::PackagedPrice) - a;
            V(Box::CurrencyValue) = x - q * a;
            break;
        case Box::DiscountUnit:
            V(Box::DiscountPercent) = SafeDivide(x, Get(Box::InvoicePrice)) * 100.0;
            break;
        case Box::DiscountTotal:
            V(Box::DiscountPercent) = SafeDivide(x, Get(Box::InvoiceValue)) * 100.0;
            break;
        case Box::NetValue:
        case Box::NetPrice: {
            // The net price given: with an invoice price the discount follows; without one the
            // net price is the invoice price.
            const double net = box == Box::NetPrice ? x : SafeDivide(x, q);
            if (IsZero(Get(Box::InvoicePrice))) {
                V(Box::DiscountPercent) = 0;
                V(Box::InvoicePrice) = net;
                FromInvoicePrice();
            } else {
                V(Box::DiscountPercent) = (1.0 - net / Get(Box::InvoicePrice)) * 100.0;
            }
            break;
        }
        case Box::CustomsUnit:
        case Box::ForwardingUnit:
        case Box::OtherCostsUnit:
            for (const CostBoxes& c : kCosts) {
                if (c.unit == box) {
                    V(c.percent) = SafeDivide(x, Get(Box::NetPrice)) * 100.0;
                }
            }
            break;
        case Box::CustomsTotal:
        case Box::ForwardingTotal:
        case Box::OtherCostsTotal:
            for (const CostBoxes& c : kCosts) {
                if (c.total == box) {
                    V(c.percent) = SafeDivide(x, Get(Box::NetValue)) * 100.0;
                }
            }
            break;
        case Box::CostValue:
        case Box::CostPrice: {
            // The cost given: with an invoice price the other dependent costs take up the
            // difference; without one the invoice price is derived through discount and costs.
            const double cost = box == Box::CostPrice ? x : SafeDivide(x, q);
            if (IsZero(Get(Box::InvoicePrice))) {
                const double factor =
                    (1.0 - Get(Box::DiscountPercent) / 100.0) *
                    (1.0 + (Get(Box::CustomsPercent) + Get(Box::ForwardingPercent) +
                            Get(Box::OtherCostsPercent)) /
                               100.0);
                V(Box::InvoicePrice) = SafeDivide(cost, factor);
                FromInvoicePrice();
            } else {
                const double other =
                    cost - Get(Box::NetPrice) - Get(Box::CustomsUnit) - Get(Box::ForwardingUnit);
                V(Box::OtherCostsPercent) = SafeDivide(other, Get(Box::NetPrice)) * 100.0;
            }
            break;
        }
        case Box::MarginPercent:
            V(box) = x;
            priceStays = false;
            break;
        case Box::MarginUnit:
            V(Box::MarginPercent) = SafeDivide(x, Get(Box::CostPrice)) * 100.0;
            priceStays = false;
            break;
        case Box::Price:
            if (IsZero(Get(Box::InvoicePrice))) {
                // No invoice price yet: it is derived from the price through the margin.
                V(Box::InvoicePrice) = SafeDivide(x, 1.0 + Get(Box::MarginPercent) / 100.0);
                FromInvoicePrice();
                priceStays = false;
            } else {
                V(Box::Price) = x;
                priceStays = true;
            }
            break;
        case Box::TaxUnit:
            V(Box::TaxPercent) = SafeDivide(x, Get(Box::Price)) * 100.0;
            break;
        case Box::PriceWithTaxAndPackaging:
        case Box::PriceWithTax: {
            const double withTax = box == Box::PriceWithTax ? x : x - a;
            const double withoutTax = SafeDivide(withTax, 1.0 + Get(Box::TaxPercent) / 100.0);
            if (IsZero(Get(Box::InvoicePrice))) {
                V(Box::InvoicePrice) =
                    SafeDivide(withoutTax, 1.0 + Get(Box::MarginPercent) / 100.0);
                FromInvoicePrice();
                priceStays = false;
            } else {
                V(Box::Price) = withoutTax;
                priceStays = true;
            }
            break;
        }
        case Box::RetailMarginUnit:
            V(Box::RetailMarginPercent) = SafeDivide(x, Get(Box::Price)) * 100.0;
            break;
        case Box::RetailPrice: {
            const double net = SafeDivide(x, 1.0 + Get(Box::TaxPercent) / 100.0);
            const double unit = net - Get(Box::Price);
            V(Box::RetailMarginPercent) = SafeDivide(unit, Get(Box::Price)) * 100.0;
            break;
        }
        case Box::DiscountPercent:
        case Box::CustomsPercent:
        case Box::ForwardingPercent:
        case Box::OtherCostsPercent:
        case Box::TaxPercent:
        case Box::RetailMarginPercent:
            V(box) = x;
            break;
        case Box::Count:
            return;
    }
    Forward(priceStays);
}

double PriceCalculation::SellingValue() const {
    return Get(Box::Price) * Get(Box::Quantity);
}

double PriceCalculation::LineMarginPercent() const {
    const double cost = Get(Box::CostPrice);
    return IsZero(cost) ? 0.0 : (Get(Box::Price) / cost - 1.0) * 100.0;
}

}  // namespace zodra::purchasing
