#include "stockdocs/PriceChangeLines.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/WorkingLines.h"
#include "stock/Lots.h"

namespace zodra::stockdocs {

namespace {

const QString kOld = QStringLiteral("STARA_CIJENA");
const QString kNew = QStringLiteral("NOVA_CIJENA");

documents::WorkingLines Store(Session& session) {
    return documents::WorkingLines(session.Db(), DocumentKind::PriceChange, session.sessionCode,
                                   session.activeWarehouse.code, session.businessYear);
}

// The row key of the working table, quoted.
QString RowKey(Database& db) {
    return QLatin1Char('"') + QString::fromUtf16(RowKeyColumn(db.Dialect())) + QLatin1Char('"');
}

}  // namespace

double ArticleTaxRate(Database& db, int article) {
    return sqlvalue::ToDouble(db.Scalar(
        QStringLiteral("SELECT \"GRUPE_POREZA\".\"STOPA\" FROM \"ARTIKLI\" INNER JOIN "
                       "\"GRUPE_POREZA\" ON \"ARTIKLI\".\"GRUPA_P\" = \"GRUPE_POREZA\".\"SIFRA\" "
                       "WHERE \"ARTIKLI\".\"SIFRA\" = ?"),
        {article}));
}

double PriceWithTax(double price, double rate) {
    return price * (1 + rate / 100);
}

double PriceWithoutTax(double priceWithTax, double rate) {
    return priceWithTax / (1 + rate / 100);
}

QString NoStockMessage(const QString& articleName) {
    return QStringLiteral("Artikla '") + articleName + QStringLiteral("' nema na skladištu.");
}

QString NoLinesMessage() {
    return QStringLiteral("Izmjena cijena nema niti jedne stavke !");
}

QString DeleteLineQuestion() {
    return QStringLiteral("Želite li izbrisati stavku ?");
}

std::vector<int> LotsToReprice(Session& session, int article, std::optional<int> lot) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    if (!lot && session.stockMethod != StockMethod::Fifo) {
        lot = stock::kPooledLot;
    }
    if (lot) {
        const std::optional<stock::Lot> found = stock::FindLot(db, {w, y, *lot, article});
        if (!found) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, article)));
        }
        if (QuantityIsZero(found->quantity)) {
            throw UserError(NoStockMessage(stock::ArticleName(db, article)));
        }
        return {*lot};
    }
    std::vector<int> lots = stock::ListLots(db, w, y, article, /*onlyWithStock=*/true);
    if (lots.empty()) {
        throw UserError(NoStockMessage(stock::ArticleName(db, article)));
    }
    return lots;
}

std::vector<stock::PriceChangeLine> AddPriceChangeLine(Session& session, int article,
                                                       std::optional<int> lot, double newPrice) {
    limits::RequireNumber(newPrice, limits::NumberKind::Price, QStringLiteral("Nova cijena"));
    Transaction transaction(session.Db());
    std::vector<stock::PriceChangeLine> written;
    for (int number : LotsToReprice(session, article, lot)) {
        written.push_back(PutPriceChangeLine(session, number, article, newPrice));
    }
    transaction.Commit();
    return written;
}

stock::PriceChangeLine PutPriceChangeLine(Session& session, int lot, int article, double newPrice) {
    limits::RequireNumber(newPrice, limits::NumberKind::Price, QStringLiteral("Nova cijena"));
    Database& db = session.Db();
    Transaction transaction(db);
    const std::optional<stock::Lot> found =
        stock::FindLot(db, {session.activeWarehouse.code, session.businessYear, lot, article});
    if (!found) {
        throw UserError(stock::MissingLotMessage(stock::ArticleName(db, article)));
    }
    documents::WorkingLines store = Store(session);
    documents::DocumentLine row;
    row.article = article;
    row.lot = lot;
    row.quantity = found->quantity;
    row.other = {{kOld, found->sellingPrice}, {kNew, newPrice}};
    const QVariant existing = db.Scalar(
        QStringLiteral("SELECT MIN(") + RowKey(db) +
            QStringLiteral(") FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\" WHERE \"Multiuser_sifra\" "
                           "= ? AND \"ARTIKAL\" = ? AND \"BROJ_PRIMKE\" = ?"),
        {session.sessionCode, article, lot});
    if (existing.isValid() && !existing.isNull()) {
        row.id = existing.toLongLong();
        store.Update(row);
    } else {
        store.Add(row);
    }
    transaction.Commit();
    return {lot, article, found->quantity, found->sellingPrice, newPrice};
}

std::vector<WorkingPriceChangeLine> WorkingPriceChangeLines(Database& db, int sessionCode) {
    std::vector<WorkingPriceChangeLine> lines;
    Statement rows =
        db.Prepare(QStringLiteral("SELECT ") + RowKey(db) +
                   QStringLiteral(", \"BROJ_PRIMKE\", \"ARTIKAL\", \"KOLICINA\", \"STARA_CIJENA\", "
                                  "\"NOVA_CIJENA\" FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\" WHERE "
                                  "\"Multiuser_sifra\" = ? ORDER BY 1"));
    rows.Exec({sessionCode});
    while (rows.Next()) {
        lines.push_back(
            {rows.Value(0).toLongLong(),
             {rows.Int(1), rows.Int(2), rows.Double(3), rows.Double(4), rows.Double(5)}});
    }
    return lines;
}

void RemovePriceChangeLine(Session& session, qint64 id) {
    Store(session).Remove(id);
}

void ClearWorkingPriceChange(Session& session) {
    Database& db = session.Db();
    Transaction transaction(db);
    workingcopy::ClearWorkingCopy(db, DocumentKind::PriceChange, session.sessionCode);
    transaction.Commit();
}

}  // namespace zodra::stockdocs
