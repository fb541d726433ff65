#include "stockdocs/PriceChangePosting.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "stock/Lots.h"
#include "stock/PriceChangeWriter.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"
#include "stockdocs/PriceChangeLines.h"

namespace zodra::stockdocs {

int CheckPriceChangeNumber(Database& db, int warehouse, int year, const QString& typed) {
    bool ok = false;
    const qint64 number = typed.trimmed().toLongLong(&ok);
    if (!ok || number <= 0 || number > numbering::kLastNumber) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    if (numbering::DocumentExists(db, DocumentKind::PriceChange, warehouse, year,
                                  static_cast<int>(number))) {
        throw UserError(QStringLiteral("Izmjena cijena pod ovim brojem je već napravljena !"));
    }
    return static_cast<int>(number);
}

QString PostedMessage(int number) {
    return QStringLiteral("Izmjena cijena je proknjižena pod brojem ") + QString::number(number);
}

QString QuantityChangedMessage(const QString& articleName) {
    return QStringLiteral("Količina artikla ") + articleName + QStringLiteral(" se promijenila.");
}

namespace {

// A working row may have been written by anything: none of its numbers may be missing or
// absurd before a lot is repriced with it.
void CheckLineNumbers(Database& db, int sessionCode,
                      const std::vector<WorkingPriceChangeLine>& lines) {
    for (const auto& [column, what] :
         {std::pair{QStringLiteral("KOLICINA"), QStringLiteral("Količina")},
          std::pair{QStringLiteral("STARA_CIJENA"), QStringLiteral("Stara cijena")},
          std::pair{QStringLiteral("NOVA_CIJENA"), QStringLiteral("Nova cijena")},
          std::pair{QStringLiteral("BROJ_PRIMKE"), QStringLiteral("Primka")},
          std::pair{QStringLiteral("ARTIKAL"), QStringLiteral("Artikal")}}) {
        if (db.Scalar(QStringLiteral("SELECT 1 FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\" WHERE "
                                     "\"Multiuser_sifra\" = ? AND \"") +
                          column + QStringLiteral("\" IS NULL LIMIT 1"),
                      {sessionCode})
                .isValid()) {
            throw UserError(limits::NotANumberMessage(what));
        }
    }
    for (const WorkingPriceChangeLine& row : lines) {
        limits::RequireNumber(row.line.quantity, limits::NumberKind::Quantity,
                              QStringLiteral("Količina"));
        limits::RequireNumber(row.line.oldPrice, limits::NumberKind::Price,
                              QStringLiteral("Stara cijena"));
        limits::RequireNumber(row.line.newPrice, limits::NumberKind::Price,
                              QStringLiteral("Nova cijena"));
    }
}

}  // namespace

int PostWorkingPriceChange(Session& session, const PriceChangeHeaderData& header, int sessionCode,
                           const QString& description) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    limits::RequireDocumentDate(header.date, y, QStringLiteral("Datum"));
    Transaction transaction(db);
    const std::vector<WorkingPriceChangeLine> lines = WorkingPriceChangeLines(db, sessionCode);
    if (lines.empty()) {
        throw UserError(NoLinesMessage());
    }
    CheckLineNumbers(db, sessionCode, lines);
    // The number shown may have been taken by another workstation since: then the next one.
    int number = header.number;
    if (number <= 0 || numbering::DocumentExists(db, DocumentKind::PriceChange, w, y, number)) {
        number = numbering::NextDocumentNumber(db, DocumentKind::PriceChange, w, y);
    }
    stock::PriceChangeHeader written;
    written.warehouse = w;
    written.year = y;
    written.number = number;
    written.date = header.date;
    written.description = description;
    written.position = tradebook::NextBookNumber(db, tradebook::Book::Wholesale, w, y);
    stock::PriceChangeWriter writer(db, written);
    for (const WorkingPriceChangeLine& row : lines) {
        const stock::PriceChangeLine& line = row.line;
        const stock::LotKey key{w, y, line.lot, line.article};
        const std::optional<stock::Lot> lot = stock::FindLot(db, key);
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
        }
        if (!QuantitiesEqual(lot->quantity, line.quantity)) {
            throw UserError(QuantityChangedMessage(stock::ArticleName(db, line.article)));
        }
        if (!QuantitiesEqual(lot->sellingPrice, line.oldPrice)) {
            throw UserError(stock::ChangedPriceMessage(stock::ArticleName(db, line.article)));
        }
        db.Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"VELEPRODAJNA CIJENA\" = ? WHERE "
                               "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND "
                               "\"SIFRA_ARTIKLA\" = ?"),
                {line.newPrice, w, y, line.lot, line.article});
        writer.CountLine(line);
    }
    workingcopy::PostWorkingLines(db, DocumentKind::PriceChange, number, sessionCode);
    writer.Finish();
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
    return number;
}

int PostPriceChange(Session& session, const PriceChangeHeaderData& header) {
    return PostWorkingPriceChange(session, header, session.sessionCode);
}

}  // namespace zodra::stockdocs
