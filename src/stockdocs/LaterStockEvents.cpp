#include "stockdocs/LaterStockEvents.h"

#include <QVariantList>

#include "data/Database.h"

namespace zodra::stockdocs {

namespace {

bool Exists(Database& db, QString sql, QVariantList values, std::optional<int> lot) {
    if (lot) {
        sql += QStringLiteral(" AND s.\"BROJ_PRIMKE\" = ?");
        values << *lot;
    }
    return db.Scalar(sql + QStringLiteral(" LIMIT 1"), values).isValid();
}

}  // namespace

bool LaterPriceChange(Database& db, int warehouse, int year, int article, std::optional<int> lot,
                      int position, std::optional<int> generatedBy) {
    // A cancelled price change moved the lot's price twice: its cancellation is an event too.
    return Exists(
        db,
        QStringLiteral("SELECT 1 FROM \"STAVKE_IZMJENA_CIJENA\" s INNER JOIN \"IZMJENE_CIJENA\" h "
                       "ON h.\"SKLADISTE\" = s.\"SKLADISTE\" AND h.\"GODINA\" = s.\"GODINA\" AND "
                       "h.\"BROJ_IZMJENE_CIJENA\" = s.\"BROJ_IZMJENE_CIJENA\" WHERE "
                       "s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"ARTIKAL\" = ? AND "
                       "(h.\"RBR_TK\" > ? OR COALESCE(h.\"STORNO_RBR_TK\", 0) > ?) AND "
                       "COALESCE(h.\"BROJ_PRIMKE\", 0) <> ?"),
        {warehouse, year, article, position, position, generatedBy.value_or(-1)}, lot);
}

bool LaterStockCount(Database& db, int warehouse, int year, int article, std::optional<int> lot,
                     int position) {
    return Exists(db,
                  QStringLiteral("SELECT 1 FROM \"STAVKE_INVENTURA\" s INNER JOIN \"INVENTURE\" h "
                                 "ON h.\"SKLADISTE\" = s.\"SKLADISTE\" AND h.\"GODINA\" = "
                                 "s.\"GODINA\" AND h.\"BROJ_INVENTURE\" = s.\"BROJ_INVENTURE\" "
                                 "WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND "
                                 "s.\"SIFRA_ARTIKLA\" = ? AND h.\"RBR_TK\" > ?"),
                  {warehouse, year, article, position}, lot);
}

}  // namespace zodra::stockdocs
