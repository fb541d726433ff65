#include "documents/WorkingLines.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"

namespace zodra::documents {

WorkingLines::WorkingLines(Database& db, DocumentKind kind, int sessionCode, int warehouse,
                           int year)
    : LineStore(db, FirstLines(kind).workingTable,
                ArticleColumn(db, FirstLines(kind), FirstLines(kind).workingTable),
                db.Columns(FirstLines(kind).workingTable).contains(QStringLiteral("TIP_STAVKE"))),
      m_sessionCode(sessionCode),
      m_warehouse(warehouse),
      m_year(year),
      m_holding(stock::HoldingOf(FirstLines(kind).workingTable)) {}

QString WorkingLines::Filter() const {
    return QStringLiteral("\"Multiuser_sifra\" = ?");
}

QVariantList WorkingLines::FilterValues() const {
    return {m_sessionCode};
}

Columns WorkingLines::OwnerColumns() const {
    return {{QStringLiteral("SKLADISTE"), m_warehouse},
            {QStringLiteral("GODINA"), m_year},
            {QStringLiteral("Multiuser_sifra"), m_sessionCode}};
}

void WorkingLines::LineArrives(const DocumentLine& line) {
    if (!m_holding || !TakesFromLot(line)) {
        return;
    }
    const stock::LotKey key{m_warehouse, m_year, *line.lot, line.article};
    const std::optional<stock::Lot> lot = stock::FindLot(Db(), key);
    if (!lot) {
        throw UserError(stock::MissingLotMessage(stock::ArticleName(Db(), line.article)));
    }
    if (RoundQuantity(lot->freeQuantity - line.quantity) < 0) {
        throw UserError(stock::InsufficientQuantityMessage(stock::ArticleName(Db(), line.article)));
    }
    stock::ReserveFromLot(Db(), key, line.quantity);
}

void WorkingLines::LineLeaves(const DocumentLine& line) {
    if (!m_holding || !TakesFromLot(line)) {
        return;
    }
    stock::ReleaseToLot(Db(), {m_warehouse, m_year, *line.lot, line.article}, line.quantity);
}

}  // namespace zodra::documents
