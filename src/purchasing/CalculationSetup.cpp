#include "purchasing/CalculationSetup.h"

#include "data/Database.h"
#include "data/ExchangeRates.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "purchasing/ReceiptLines.h"
#include "stock/Lots.h"

namespace zodra::purchasing {

using Box = PriceCalculation::Box;

ArticleFacts ReadArticleFacts(Session& session, int article) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    ArticleFacts f;
    f.article = article;
    {
        Statement s = db.Prepare(QStringLiteral(
            "SELECT a.\"NAZIV\", a.\"OPIS\", a.\"JED_M\", p.\"STOPA\", g.\"VELEPRODAJNA_MARZA\", "
            "g.\"MALOPRODAJNA_MARZA\", a.\"CARINA%\", a.\"VALUTA\", a.\"CIJENA_U_VALUTI\", "
            "v.\"NAZIV\" FROM \"ARTIKLI\" a LEFT JOIN \"GRUPE_POREZA\" p ON p.\"SIFRA\" = "
            "a.\"GRUPA_P\" LEFT JOIN \"GRUPE_A\" g ON g.\"SIFRA\" = a.\"GRUPA_A\" LEFT JOIN "
            "\"VALUTE\" v ON v.\"SIFRA\" = a.\"VALUTA\" WHERE a.\"SIFRA\" = ?"));
        s.Exec({article});
        if (s.Next()) {
            f.name = s.Text(0);
            f.code = s.Text(1);
            f.unit = s.Text(2);
            f.taxRate = s.Double(3);
            f.wholesaleMargin = s.Double(4);
            if (!s.IsNull(5)) {
                f.retailMargin = s.Double(5);
            }
            f.customsPercent = s.Double(6);
            if (!s.IsNull(7) && !s.IsNull(8)) {
                f.currency = s.Int(7);
                f.currencyPrice = s.Double(8);
                f.currencyName = s.Text(9);
            }
        }
    }
    f.packagingPerUnit = receiptlines::PackagingValuePerUnit(db, article);
    f.stock = stock::ArticleStock(db, w, y, article);
    const int lot = session.stockMethod == StockMethod::Fifo
                        ? stock::DefaultLot(db, w, y, article).value_or(-1)
                        : stock::kPooledLot;
    if (lot >= 0) {
        if (const std::optional<stock::Lot> found = stock::FindLot(db, {w, y, lot, article})) {
            f.lotPrice = found->sellingPrice;
        }
    }
    Statement last = db.Prepare(QStringLiteral(
        "SELECT s.\"FAKTURNA_CIJENA\", s.\"NETTO_FAKTURNA_CIJENA\", s.\"RABAT_%\", s.\"CIJENA\", "
        "h.\"VALUTA\", h.\"DATUM_VALUTE\" FROM \"STAVKE_PRIMKI\" s INNER JOIN \"PRIMKE\" h ON "
        "h.\"SKLADISTE\" = s.\"SKLADISTE\" AND h.\"GODINA\" = s.\"GODINA\" AND h.\"BROJ PRIMKE\" "
        "= s.\"BROJ_PRIMKE\" WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"SIFRA\" = ? "
        "AND s.\"TIP_STAVKE\" = 'ART' ORDER BY h.\"RBR_TK\" DESC, h.\"DATUM\" DESC, "
        "s.\"BROJ_PRIMKE\" DESC, s.\"RBR_STAVKE\" DESC LIMIT 1"));
    last.Exec({w, y, article});
    if (last.Next()) {
        double rate = 1.0;
        if (!last.IsNull(4) && last.Int(4) != 1 && !last.IsNull(5)) {
            rate = exchangerates::RateOn(db, last.Int(4), sqlvalue::ToDate(last.Value(5)))
                       .value_or(1.0);
            if (rate <= 0) {
                rate = 1.0;
            }
        }
        f.hasLastReceipt = true;
        f.lastCurrencyInvoicePrice = last.Double(0) / rate;
        f.lastCurrencyNetPrice = last.Double(1) / rate;
        f.lastDiscountPercent = last.Double(2);
        f.lastPrice = last.Double(3);
    }
    return f;
}

double SupplierDiscount(Database& db, std::optional<int> supplier) {
    if (!supplier) {
        return 0;
    }
    return sqlvalue::ToDouble(db.Scalar(
        QStringLiteral("SELECT \"RABAT\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"), {*supplier}));
}

bool ArticleFacts::PricedInForeignCurrency() const {
    return currency && exchangerates::IsForeignCurrency(*currency);
}

PriceCalculation NewCalculation(Database& db, const ArticleFacts& facts, double quantity,
                                const CalculationContext& context, CalculationMode mode) {
    const SummaryPercentages p = PercentagesOf(context.summary, context.packagingInvoiceValue);
    PriceCalculation c(mode, quantity, context.summary.rate, facts.packagingPerUnit);
    c.Preset(Box::TaxPercent, facts.taxRate);
    c.Preset(Box::MarginPercent, facts.wholesaleMargin);
    c.Preset(Box::RetailMarginPercent, facts.retailMargin.value_or(0.0));
    c.Preset(Box::CustomsPercent,
             context.summary.customsFromArticles ? facts.customsPercent : p.customs);
    c.Preset(Box::ForwardingPercent, p.forwarding);
    c.Preset(Box::OtherCostsPercent, p.otherCosts);
    const double supplierDiscount = SupplierDiscount(db, context.supplier);
    c.Preset(Box::DiscountPercent, supplierDiscount != 0.0 ? supplierDiscount : p.discount);
    const bool propose =
        facts.hasLastReceipt && (facts.PricedInForeignCurrency() || context.proposeFromLastReceipt);
    if (propose) {
        c.Preset(Box::CurrencyPrice, facts.lastCurrencyInvoicePrice);
        c.Preset(Box::DiscountPercent, facts.lastDiscountPercent);
    }
    c.Recalculate();
    if (propose && facts.lastPrice != 0.0 && c.Value(Box::InvoicePrice) != 0.0) {
        c.Type(Box::Price, facts.lastPrice);
    }
    return c;
}

void QuickLine::TypeQuantity(double q) {
    quantity = q;
    costValue = costPrice * q;
    value = price * q;
}

void QuickLine::TypeCostPrice(double p) {
    costPrice = p;
    costValue = p * quantity;
}

void QuickLine::TypeCostValue(double v) {
    costValue = v;
    costPrice = SafeDivide(v, quantity);
}

void QuickLine::TypePrice(double p) {
    price = p;
    value = p * quantity;
}

void QuickLine::TypeValue(double v) {
    value = v;
    price = SafeDivide(v, quantity);
}

bool QuickLine::WantsCalculation() const {
    return costPrice == 0.0 && costValue == 0.0 && price == 0.0 && value == 0.0;
}

ReceiptRow QuickLine::Row(int article, std::optional<double> retailMargin) const {
    return ReceiptRow::Plain(article, quantity, costPrice, costValue, price, value, retailMargin);
}

PriceCalculation CalculationOfLine(const ArticleFacts& facts, const ReceiptRow& line, double rate) {
    PriceCalculation c(CalculationMode::Change, line.quantity, rate, facts.packagingPerUnit);
    c.Preset(Box::InvoicePrice, line.invoicePrice);
    c.Preset(Box::DiscountPercent, line.discountPercent);
    c.Preset(Box::CustomsPercent, line.customsPercent);
    c.Preset(Box::ForwardingPercent, line.forwardingPercent);
    c.Preset(Box::OtherCostsPercent, line.otherPercent);
    c.Preset(Box::MarginPercent, line.marginPercent);
    c.Preset(Box::Price, line.price);
    c.Preset(Box::TaxPercent, facts.taxRate);
    c.Preset(Box::RetailMarginPercent,
             line.retailMargin.value_or(facts.retailMargin.value_or(0.0)));
    c.Recalculate();
    return c;
}

}  // namespace zodra::purchasing
