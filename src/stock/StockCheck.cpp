#include "stock/StockCheck.h"

#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"

namespace zodra::stock {

namespace {

constexpr double kTolerance = 0.004;

// Whether two sums differ beyond the tolerance; a sum that is not finite always does (NaN
// compares false with everything, and infinity minus infinity is NaN).
bool Differ(double a, double b) {
    return !(std::fabs(a - b) <= kTolerance);
}

}  // namespace

QString CostDifferenceMessage() {
    return QStringLiteral(
        "S ovom promjenom pojavila bi se razlika stanja skladišta i kartica artikala u nabavnoj "
        "vrijednosti.");
}

QString SellingDifferenceMessage() {
    return QStringLiteral(
        "S ovom promjenom pojavila bi se razlika stanja skladišta i kartica artikala u prodajnoj "
        "vrijednosti.");
}

void CheckStockAgainstCard(Database& db, int warehouse, int year) {
    Statement sums = db.Prepare(QStringLiteral(
        "SELECT SUM(\"NabaveNIznos\"), SUM(\"KarticaNIznos\"), SUM(\"NabaveIznos\"), "
        "SUM(\"KarticaIznos\") FROM \"3Provjera\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ?"));
    sums.Exec({warehouse, year});
    if (!sums.Next()) {
        return;
    }
    if (Differ(sums.Double(0), sums.Double(1))) {
        throw UserError(CostDifferenceMessage());
    }
    if (Differ(sums.Double(2), sums.Double(3))) {
        throw UserError(SellingDifferenceMessage());
    }
}

void CheckStockAgainstCard(Session& session, const std::vector<int>& alsoWarehouses) {
    if (!session.workstation.debugMode) {
        return;
    }
    CheckStockAgainstCard(session.Db(), session.activeWarehouse.code, session.businessYear);
    for (int warehouse : alsoWarehouses) {
        if (warehouse != session.activeWarehouse.code) {
            CheckStockAgainstCard(session.Db(), warehouse, session.businessYear);
        }
    }
}

std::vector<StockDifference> StockDifferences(Database& db, std::optional<int> warehouse,
                                              std::optional<int> year) {
    QString where;
    QVariantList params;
    if (warehouse) {
        where += QStringLiteral(" AND \"SKLADISTE\" = ?");
        params << *warehouse;
    }
    if (year) {
        where += QStringLiteral(" AND \"GODINA\" = ?");
        params << *year;
    }
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"SKLADISTE\", \"GODINA\", \"ARTIKAL\", SUM(\"NabaveKolicina\"), "
                       "SUM(\"KarticaKolicina\"), SUM(\"NabaveNIznos\"), SUM(\"KarticaNIznos\"), "
                       "SUM(\"NabaveIznos\"), SUM(\"KarticaIznos\") FROM \"3Provjera\" WHERE 1 = "
                       "1") +
        where +
        QStringLiteral(" GROUP BY \"SKLADISTE\", \"GODINA\", \"ARTIKAL\" ORDER BY \"SKLADISTE\", "
                       "\"GODINA\", \"ARTIKAL\""));
    rows.Exec(params);
    std::vector<StockDifference> differences;
    while (rows.Next()) {
        StockDifference d;
        d.warehouse = rows.Int(0);
        d.year = rows.Int(1);
        d.article = rows.Int(2);
        d.lotQuantity = rows.Double(3);
        d.cardQuantity = rows.Double(4);
        d.lotCostValue = rows.Double(5);
        d.cardCostValue = rows.Double(6);
        d.lotSellingValue = rows.Double(7);
        d.cardSellingValue = rows.Double(8);
        if (!QuantitiesEqual(d.lotQuantity, d.cardQuantity) || !std::isfinite(d.lotQuantity) ||
            !std::isfinite(d.cardQuantity) || Differ(d.lotCostValue, d.cardCostValue) ||
            Differ(d.lotSellingValue, d.cardSellingValue)) {
            differences.push_back(d);
        }
    }
    return differences;
}

namespace {

// Where broken numbers are looked for: the row's key columns, how the row is named from them
// (%1, %2 … in key order), the columns that must hold a number and those that may be empty.
struct NumberSource {
    const char16_t* table;
    std::vector<const char16_t*> keys;
    const char16_t* rowText;
    std::vector<const char16_t*> required;
    std::vector<const char16_t*> optional;
};

const std::vector<NumberSource>& NumberSources() {
    static const std::vector<NumberSource> sources = {
        {u"STAVKE_PRIMKI",
         {u"BROJ_PRIMKE", u"RBR_STAVKE"},
         u"primka %1, stavka %2",
         {u"KOLICINA", u"NABAVNA_CIJENA", u"NABAVNA_VRIJEDNOST", u"CIJENA", u"VRIJEDNOST"},
         {u"FAKTURNA_CIJENA", u"FAKTURNA_VRIJEDNOST", u"RABAT_%", u"RABAT_IZNOS",
          u"NETTO_FAKTURNA_CIJENA", u"NETTO_FAKTURNA_VRIJEDNOST", u"CARINA_%", u"CARINA_IZNOS",
          u"SPEDICIJA_%", u"SPEDICIJA_IZNOS", u"ZTR_%", u"ZTR_IZNOS", u"RUC_%", u"RUC_IZNOS",
          u"MALOPRODAJNA_MARZA", u"POREZ_%"}},
        {u"NABAVE",
         {u"BROJ_PRIMKE", u"SIFRA_ARTIKLA"},
         u"nabava %1, artikal %2",
         {u"KOLICINA", u"KOLICINA_PRIVREMENO", u"NABAVNA CIJENA", u"VELEPRODAJNA CIJENA"},
         {u"MALOPRODAJNA_MARZA"}},
        {u"KARTICA_ARTIKLA",
         {u"TIP_DOKUMENTA", u"BROJ_DOKUMENTA", u"ARTIKAL"},
         u"%1 %2, artikal %3",
         {u"KOLIČINA ULAZ", u"KOLIČINA IZLAZ", u"NABAVNA CIJENA", u"VELEPRODAJNA VRIJEDNOST ULAZ",
          u"VELEPRODAJNA VRIJEDNOST IZLAZ"},
         {u"VELEPRODAJNA CIJENA"}},
        {u"TRGOVACKA_KNJIGA_VELEPRODAJE",
         {u"RBR"},
         u"RBR %1",
         {u"NABAVA_VRIJEDNOST", u"PRODAJA_VRIJEDNOST", u"STANJE_ROBE"},
         {u"PRODAJA_POREZ", u"PRODAJA_UKUPNO"}},
        {u"TRGOVACKA_KNJIGA_MALOPRODAJE",
         {u"RBR"},
         u"RBR %1",
         {u"NABAVA_VRIJEDNOST", u"PRODAJA_VRIJEDNOST", u"STANJE_ROBE"},
         {u"NABAVA_POREZ", u"NABAVA_UKUPNO", u"PRODAJA_POREZ", u"PRODAJA_UKUPNO"}},
    };
    return sources;
}

QString Quoted(const char16_t* identifier) {
    return QLatin1Char('"') + QString::fromUtf16(identifier) + QLatin1Char('"');
}

QString ValueText(double value) {
    if (std::isnan(value)) {
        return QStringLiteral("nan");
    }
    return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
}

}  // namespace

std::vector<BrokenNumber> BrokenNumbers(Database& db, int warehouse, int year) {
    std::vector<BrokenNumber> broken;
    for (const NumberSource& source : NumberSources()) {
        QStringList columns;
        QStringList conditions;
        for (const char16_t* key : source.keys) {
            columns << Quoted(key);
        }
        // Outside ±1e300 is only infinity; NaN (where the engine keeps it) fails BETWEEN too.
        auto add = [&](const char16_t* column, bool required) {
            const QString c = Quoted(column);
            columns << c;
            conditions << (required ? c + QStringLiteral(" IS NULL OR ") : QString()) +
                              QStringLiteral("NOT (") + c +
                              QStringLiteral(" BETWEEN -1e300 AND 1e300)");
        };
        for (const char16_t* column : source.required) {
            add(column, true);
        }
        for (const char16_t* column : source.optional) {
            add(column, false);
        }
        Statement rows = db.Prepare(
            QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
            QStringLiteral(" FROM ") + Quoted(source.table) +
            QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND ((") +
            conditions.join(QStringLiteral(") OR (")) + QStringLiteral(")) ORDER BY ") +
            columns.mid(0, static_cast<qsizetype>(source.keys.size())).join(QStringLiteral(", ")));
        rows.Exec({warehouse, year});
        const int keyCount = static_cast<int>(source.keys.size());
        const int requiredCount = static_cast<int>(source.required.size());
        while (rows.Next()) {
            QString row = QString::fromUtf16(source.rowText);
            for (int k = 0; k < keyCount; ++k) {
                row = row.arg(rows.Text(k));
            }
            for (int c = keyCount; c < columns.size(); ++c) {
                const int index = c - keyCount;
                const char16_t* name =
                    index < requiredCount
                        ? source.required[static_cast<size_t>(index)]
                        : source.optional[static_cast<size_t>(index - requiredCount)];
                if (rows.IsNull(c)) {
                    if (index < requiredCount) {
                        broken.push_back({QString::fromUtf16(source.table), row,
                                          QString::fromUtf16(name), QStringLiteral("NULL")});
                    }
                } else if (!std::isfinite(rows.Double(c))) {
                    broken.push_back({QString::fromUtf16(source.table), row,
                                      QString::fromUtf16(name), ValueText(rows.Double(c))});
                }
            }
        }
    }
    return broken;
}

}  // namespace zodra::stock
