#include "pricelists/Pricing.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/ExchangeRates.h"
#include "pricelists/PriceLists.h"

namespace zodra::pricing {

namespace {

constexpr int kHomeCurrency = 1;

int GroupOf(Database& db, int article) {
    return db
        .Scalar(QStringLiteral("SELECT \"GRUPA_A\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"),
                {article})
        .toInt();
}

}  // namespace

std::optional<int> PriceListOf(Database& db, int customer) {
    const QVariant list = db.Scalar(
        QStringLiteral("SELECT p.\"CJENIK\" FROM \"PARTNERI\" p JOIN \"CJENICI\" c ON c.\"SIFRA\" "
                       "= p.\"CJENIK\" WHERE p.\"SIFRA\" = ? AND p.\"CJENIK\" <> 0"),
        {customer});
    return list.isValid() ? std::optional<int>(list.toInt()) : std::nullopt;
}

std::optional<double> CustomerListPrice(Database& db, int customer, int article,
                                        const QDate& date) {
    const auto list = PriceListOf(db, customer);
    if (!list) {
        return std::nullopt;
    }
    Statement row = db.Prepare(QStringLiteral(
        "SELECT c.\"CIJENA\", c.\"VALUTA\", v.\"NAZIV\" FROM \"CJENICI_STAVKE_CIJENA\" c LEFT "
        "JOIN \"VALUTE\" v ON v.\"SIFRA\" = c.\"VALUTA\" WHERE c.\"SIFRA_CJENIKA\" = ? AND "
        "c.\"SIFRA_ARTIKLA\" = ?"));
    row.Exec({*list, article});
    if (!row.Next()) {
        return std::nullopt;
    }
    const double price = row.Double(0);
    const int currency = row.Int(1);
    if (row.IsNull(1) || currency == 0 || currency == kHomeCurrency) {
        return price;
    }
    const QString name = row.Text(2);
    row.Finish();
    const auto rate = exchangerates::RateOn(db, currency, date);
    if (!rate) {
        throw UserError(QStringLiteral("Nije upisan tečaj '") + name + QStringLiteral("' za ") +
                        date.toString(QStringLiteral("d.M.yyyy")) + QStringLiteral("."));
    }
    return price * *rate;
}

bool PricedFromCurrency(Database& db, int customer, int article) {
    const auto list = PriceListOf(db, customer);
    if (!list) {
        return false;
    }
    return db.Scalar(QStringLiteral("SELECT \"CijenaValuta\" FROM \"CJENICI_STAVKE_RABATA\" "
                                    "WHERE \"SIFRA_CJENIKA\" = ? AND \"SIFRA_GRUPE_ARTIKALA\" = ?"),
                     {*list, GroupOf(db, article)})
               .toInt() != 0;
}

double ProposedDiscount(Database& db, int customer, int article) {
    if (const auto list = PriceListOf(db, customer)) {
        for (const int group : {GroupOf(db, article), pricelists::kAllGroups}) {
            const QVariant discount =
                db.Scalar(QStringLiteral("SELECT \"RABAT\" FROM \"CJENICI_STAVKE_RABATA\" WHERE "
                                         "\"SIFRA_CJENIKA\" = ? AND \"SIFRA_GRUPE_ARTIKALA\" = ?"),
                          {*list, group});
            if (discount.isValid()) {
                return discount.toDouble();
            }
        }
    }
    return db
        .Scalar(QStringLiteral("SELECT \"RABAT\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"),
                {customer})
        .toDouble();
}

}  // namespace zodra::pricing
