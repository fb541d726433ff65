#include "stockdocs/StockDocumentChoices.h"

#include "data/Database.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/StockMethod.h"
#include "reports/ValueFormat.h"
#include "stock/Lots.h"

namespace zodra::stockdocs {

std::vector<LotChoice> LotsWithStock(Session& session, int article) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    std::vector<LotChoice> lots;
    for (int number : stock::ListLots(db, w, y, article, /*onlyWithStock=*/true)) {
        if (const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, number, article})) {
            lots.push_back(
                {number, lot->quantity, lot->freeQuantity, lot->costPrice, lot->sellingPrice});
        }
    }
    return lots;
}

QString QuantityCutMessage() {
    return QStringLiteral(
        "Nedovoljna zaliha artikla. Količina će biti postavljena na najveću dopuštenu "
        "vrijednost.");
}

QuantityCheck CheckLineQuantity(Session& session, int article, int lot, double quantity,
                                bool inbound) {
    QuantityCheck check{quantity, {}};
    const std::optional<stock::Lot> found = stock::FindLot(
        session.Db(), {session.activeWarehouse.code, session.businessYear, lot, article});
    if (!found) {
        return check;
    }
    const double free = RoundQuantity(found->freeQuantity);
    if (inbound) {
        if (RoundQuantity(free + quantity) < 0) {
            check.quantity = -free;
            check.message = QStringLiteral("Količina artikla bi pala ispod nule.");
        }
    } else if (RoundQuantity(quantity - free) > 0) {
        check.quantity = free;
        check.message = QuantityCutMessage();
    }
    return check;
}

TableData ReceiptsWithStock(Session& session) {
    using F = TableColumn::Format;
    // A FIFO receipt's goods are in its own lot, a pooled receipt's in lot 0 of its articles.
    return ReadTable(
        session.Db(),
        QStringLiteral(
            "SELECT h.\"BROJ PRIMKE\", h.\"DATUM\", p.\"NAZIV\", h.\"DOKUMENT DOBAVLJACA\" FROM "
            "\"PRIMKE\" h LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA DOBAVLJACA\" WHERE "
            "h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? AND EXISTS (SELECT 1 FROM "
            "\"STAVKE_PRIMKI\" s JOIN \"NABAVE\" n ON n.\"SKLADISTE\" = s.\"SKLADISTE\" AND "
            "n.\"GODINA\" = s.\"GODINA\" AND n.\"SIFRA_ARTIKLA\" = s.\"SIFRA\" AND "
            "n.\"BROJ_PRIMKE\" = CASE WHEN h.\"SkladisnaMetoda\" IN (?, ?) THEN 0 ELSE "
            "h.\"BROJ PRIMKE\" END WHERE s.\"SKLADISTE\" = h.\"SKLADISTE\" AND "
            "s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_PRIMKE\" = h.\"BROJ PRIMKE\" AND "
            "s.\"TIP_STAVKE\" = 'ART' AND n.\"KOLICINA_PRIVREMENO\" > 0) ORDER BY "
            "h.\"BROJ PRIMKE\""),
        {session.activeWarehouse.code, session.businessYear, StockMethodText(StockMethod::Average),
         StockMethodText(StockMethod::LastPrice)},
        {{QStringLiteral("Broj"), F::Integer},
         {QStringLiteral("Datum"), F::Date},
         {QStringLiteral("Dobavljač"), F::Text},
         {QStringLiteral("Dokument dobavljača"), F::Text}});
}

QString HomeCurrencyAmount(Database& db, double amount) {
    const QString currency = sqlvalue::ToText(
        db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1")));
    return reports::ValueFormat(currency).Format(amount, QStringLiteral("Currency"));
}

}  // namespace zodra::stockdocs
