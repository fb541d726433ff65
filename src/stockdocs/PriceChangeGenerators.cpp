#include "stockdocs/PriceChangeGenerators.h"

#include <algorithm>
#include <functional>
#include <optional>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "stock/Lot.h"
#include "stockdocs/PriceChangeLines.h"

namespace zodra::stockdocs {

namespace {

// A lot with stock of the session's warehouse and year, with its article's tax rate.
struct StockedLot {
    stock::Lot lot;
    int articleGroup = 0;
    double taxRate = 0;
};

std::vector<StockedLot> LotsWithStock(Session& session) {
    Database& db = session.Db();
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT n.\"BROJ_PRIMKE\", n.\"SIFRA_ARTIKLA\", n.\"KOLICINA\", n.\"NABAVNA CIJENA\", "
        "n.\"VELEPRODAJNA CIJENA\", a.\"GRUPA_A\", g.\"STOPA\" FROM \"NABAVE\" n INNER JOIN "
        "\"ARTIKLI\" a ON a.\"SIFRA\" = n.\"SIFRA_ARTIKLA\" LEFT JOIN \"GRUPE_POREZA\" g ON "
        "g.\"SIFRA\" = a.\"GRUPA_P\" WHERE n.\"SKLADISTE\" = ? AND n.\"GODINA\" = ? AND "
        "n.\"KOLICINA\" <> 0 ORDER BY n.\"SIFRA_ARTIKLA\", n.\"BROJ_PRIMKE\""));
    rows.Exec({session.activeWarehouse.code, session.businessYear});
    std::vector<StockedLot> lots;
    while (rows.Next()) {
        StockedLot s;
        s.lot.key = {session.activeWarehouse.code, session.businessYear, rows.Int(0), rows.Int(1)};
        s.lot.quantity = rows.Double(2);
        s.lot.costPrice = rows.Double(3);
        s.lot.sellingPrice = rows.Double(4);
        s.articleGroup = rows.IsNull(5) ? 0 : rows.Int(5);
        s.taxRate = rows.IsNull(6) ? 0 : rows.Double(6);
        lots.push_back(s);
    }
    return lots;
}

// Writes a line for every lot with stock the rule gives a new price for.
int Generate(Session& session,
             const std::function<std::optional<double>(const StockedLot&)>& newPrice) {
    Transaction transaction(session.Db());
    int written = 0;
    for (const StockedLot& s : LotsWithStock(session)) {
        if (const std::optional<double> price = newPrice(s)) {
            PutPriceChangeLine(session, s.lot.key.lot, s.lot.key.article, *price);
            ++written;
        }
    }
    transaction.Commit();
    return written;
}

}  // namespace

QString NoOtherWarehouseMessage() {
    return QStringLiteral("Nije izabrano odredišno skladište !");
}

int AddLinesByPercent(Session& session, const std::vector<int>& articles, double percent,
                      bool fromCost) {
    limits::RequireNumber(percent, limits::NumberKind::Percent, QStringLiteral("Postotak"));
    return Generate(session, [&](const StockedLot& s) -> std::optional<double> {
        if (std::find(articles.begin(), articles.end(), s.lot.key.article) == articles.end()) {
            return std::nullopt;
        }
        const double base = fromCost ? s.lot.costPrice : s.lot.sellingPrice;
        return base + base * percent / 100;
    });
}

int AddLinesAtCost(Session& session) {
    return Generate(session, [](const StockedLot& s) { return s.lot.costPrice; });
}

int AddLinesRoundedRetail(Session& session) {
    return Generate(session, [](const StockedLot& s) {
        const double factor = 1 + s.taxRate / 100;
        return RoundMoney(s.lot.sellingPrice * factor) / factor;
    });
}

int AddLinesEqualisedWith(Session& session, int otherWarehouse,
                          const std::vector<int>& articleGroups) {
    if (otherWarehouse <= 0) {
        throw UserError(NoOtherWarehouseMessage());
    }
    Database& db = session.Db();
    Statement highest = db.Prepare(QStringLiteral(
        "SELECT MAX(\"VELEPRODAJNA CIJENA\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND "
        "\"GODINA\" = ? AND \"SIFRA_ARTIKLA\" = ? AND \"KOLICINA\" <> 0"));
    return Generate(session, [&](const StockedLot& s) -> std::optional<double> {
        if (std::find(articleGroups.begin(), articleGroups.end(), s.articleGroup) ==
            articleGroups.end()) {
            return std::nullopt;
        }
        highest.Exec({otherWarehouse, session.businessYear, s.lot.key.article});
        std::optional<double> price;
        if (highest.Next() && !highest.IsNull(0)) {
            price = highest.Double(0);
        }
        highest.Finish();
        if (!price || QuantitiesEqual(*price, s.lot.sellingPrice)) {
            return std::nullopt;
        }
        return price;
    });
}

}  // namespace zodra::stockdocs
