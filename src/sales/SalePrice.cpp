#include "sales/SalePrice.h"

#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/ExchangeRates.h"
#include "data/SqlValue.h"
#include "pricelists/Pricing.h"

namespace zodra::sales {

namespace {

// The article's own price in its currency, in the home currency on the date; none when the
// article carries no currency price.
std::optional<double> ArticleCurrencyPrice(Database& db, int article, const QDate& date) {
    Statement row = db.Prepare(QStringLiteral(
        "SELECT a.\"CIJENA_U_VALUTI\", a.\"VALUTA\", v.\"NAZIV\" FROM \"ARTIKLI\" a LEFT JOIN "
        "\"VALUTE\" v ON v.\"SIFRA\" = a.\"VALUTA\" WHERE a.\"SIFRA\" = ?"));
    row.Exec({article});
    if (!row.Next() || row.IsNull(0)) {
        return std::nullopt;
    }
    const double price = row.Double(0);
    const int currency = row.IsNull(1) ? 0 : row.Int(1);
    const QString name = row.Text(2);
    row.Finish();
    if (!exchangerates::IsForeignCurrency(currency)) {
        return price;
    }
    const std::optional<double> rate = exchangerates::RateOn(db, currency, date);
    if (!rate) {
        throw UserError(QStringLiteral("Nije upisan tečaj '") + name + QStringLiteral("' za ") +
                        date.toString(QStringLiteral("d.M.yyyy")) + QStringLiteral("."));
    }
    return price * *rate;
}

double Checked(double price) {
    if (!std::isfinite(price)) {
        throw UserError(QStringLiteral("Nije pronađena cijena artikla."));
    }
    return price;
}

}  // namespace

double SalePrice(Database& db, const SalePriceQuery& q) {
    if (q.customer) {
        if (const std::optional<double> listed =
                pricing::CustomerListPrice(db, *q.customer, q.article, q.date)) {
            return Checked(*listed);
        }
    }
    if (!q.lot) {
        throw UserError(QStringLiteral("Nije pronađena cijena u tabeli NABAVE."));
    }
    Statement lot = db.Prepare(QStringLiteral(
        "SELECT \"VELEPRODAJNA CIJENA\", \"MALOPRODAJNA_MARZA\" FROM \"NABAVE\" WHERE "
        "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"SIFRA_ARTIKLA\" = ?"));
    lot.Exec({q.warehouse, q.year, *q.lot, q.article});
    if (!lot.Next()) {
        throw UserError(QStringLiteral("Nije pronađena cijena u tabeli NABAVE."));
    }
    if (lot.IsNull(0)) {
        throw UserError(QStringLiteral("Nije pronađena cijena artikla."));
    }
    double price = lot.Double(0);
    const double margin = lot.IsNull(1) ? 0.0 : lot.Double(1);
    lot.Finish();
    if (q.customer && pricing::PricedFromCurrency(db, *q.customer, q.article)) {
        if (const std::optional<double> inCurrency = ArticleCurrencyPrice(db, q.article, q.date)) {
            price = *inCurrency;
        }
    }
    if (q.salesTerms == kRetailSalesTerms) {
        price *= margin / 100 + 1;
    }
    return Checked(price);
}

}  // namespace zodra::sales
