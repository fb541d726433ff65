#include "production/WorkOrderParts.h"

#include <algorithm>
#include <optional>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "documents/WorkingLines.h"
#include "production/FinishingWorkOrder.h"
#include "production/WorkOrderPosting.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/NumberText.h"
#include "stock/TradeBook.h"
#include "stockdocs/LaterStockEvents.h"

namespace zodra::production {

namespace bom = registers::billsofmaterials;

const WorkOrderTables& OrdinaryTables() {
    static const WorkOrderTables tables{DocumentKind::WorkOrder,
                                        QStringLiteral("RADNI_NALOZI"),
                                        QStringLiteral("STAVKE_RADNIH_NALOGA"),
                                        QStringLiteral("STAVKE_RADNIH_NALOGA_TROSKOVI"),
                                        QStringLiteral("RADNI NALOG"),
                                        &NoSuchWorkOrderMessage};
    return tables;
}

const WorkOrderTables& FinishingTables() {
    static const WorkOrderTables tables{DocumentKind::FinishingWorkOrder,
                                        QStringLiteral("RADNI_NALOZI_DORADA"),
                                        QStringLiteral("STAVKE_RADNIH_NALOGA_DORADA"),
                                        QStringLiteral("STAVKE_RADNIH_NALOGA_DORADA_USLUGE"),
                                        FinishingBookType(),
                                        &NoSuchFinishingOrderMessage};
    return tables;
}

namespace {

// How much of a part the active warehouse can give: the fixed lot's free quantity, or the free
// quantities of all its lots. None when the warehouse has no lot of it at all.
std::optional<double> Available(Session& session, const bom::Part& part) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    if (part.lot != 0) {
        const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, part.lot, part.article});
        if (!lot) {
            return std::nullopt;
        }
        return std::max(0.0, lot->freeQuantity);
    }
    const std::vector<int> lots = stock::ListLots(db, w, y, part.article, false);
    if (lots.empty()) {
        return std::nullopt;
    }
    double free = 0;
    for (int number : lots) {
        if (const std::optional<stock::Lot> lot =
                stock::FindLot(db, {w, y, number, part.article})) {
            free += std::max(0.0, lot->freeQuantity);
        }
    }
    return RoundQuantity(free);
}

QString Quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

}  // namespace

QuantityCheck CheckParts(Session& session, const std::vector<bom::Part>& parts, double quantity,
                         bool billLots) {
    QuantityCheck check;
    check.allowed = quantity;
    for (const bom::Part& part : parts) {
        const std::optional<double> available = Available(session, part);
        if (!available) {
            check.warnings << QStringLiteral("Na ovom skladištu nema podataka o artiklu '") +
                                  part.name;
            check.allowed = 0;
            continue;
        }
        const double need = RoundQuantity(quantity * part.quantity);
        if (need > *available) {
            check.warnings << QStringLiteral("Nedovoljna zaliha artikla ") + part.name +
                                  (part.lot != 0 && billLots
                                       ? QStringLiteral(" po izabranoj primci u sastavnici")
                                       : QString()) +
                                  QStringLiteral(
                                      ". Količina će biti postavljena na najveću "
                                      "dopuštenu vrijednost. Potrebno je još ") +
                                  stock::NumberText(need - *available);
            check.allowed = std::min(check.allowed, RoundQuantity(*available / part.quantity));
        }
    }
    return check;
}

double TakeParts(Session& session, DocumentKind kind, int code, const std::vector<bom::Part>& parts,
                 double quantity, const documents::Columns& extra) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    documents::WorkingLines lines(db, kind, code, w, y);
    double costValue = 0;
    const auto add = [&](const stock::Lot& lot, double taken) {
        documents::DocumentLine line;
        line.article = lot.key.article;
        line.lot = lot.key.lot;
        line.quantity = taken;
        line.other = {{QStringLiteral("NABAVNA_CIJENA"), lot.costPrice},
                      {QStringLiteral("NABAVNA_VRIJEDNOST"), taken * lot.costPrice},
                      {QStringLiteral("PRODAJNA_CIJENA"), lot.sellingPrice},
                      {QStringLiteral("PRODAJNA_VRIJEDNOST"), taken * lot.sellingPrice}};
        line.other.insert(line.other.end(), extra.begin(), extra.end());
        lines.Add(line);
        costValue += taken * lot.costPrice;
    };
    for (const bom::Part& part : parts) {
        double need = RoundQuantity(quantity * part.quantity);
        if (part.lot != 0) {
            const std::optional<stock::Lot> lot =
                stock::FindLot(db, {w, y, part.lot, part.article});
            if (!lot) {
                throw UserError(QStringLiteral("Na ovom skladištu nema podataka o artiklu '") +
                                part.name);
            }
            add(*lot, need);
            continue;
        }
        for (int number : stock::ListLots(db, w, y, part.article, true)) {
            if (need <= 0) {
                break;
            }
            const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, number, part.article});
            if (!lot || RoundQuantity(lot->freeQuantity) <= 0) {
                continue;
            }
            const double taken = std::min(need, RoundQuantity(lot->freeQuantity));
            add(*lot, taken);
            need = RoundQuantity(need - taken);
        }
        if (need > 0) {
            throw UserError(stock::InsufficientQuantityMessage(part.name));
        }
    }
    return costValue;
}

TakenParts TakeWorkingParts(Session& session, documents::IssuePosting& posting, DocumentKind kind,
                            int code, const QStringList& carried) {
    documents::WorkingLines working(session.Db(), kind, code, session.activeWarehouse.code,
                                    session.businessYear);
    QStringList columns{QStringLiteral("PRODAJNA_CIJENA")};
    columns << carried;
    TakenParts taken;
    for (const documents::DocumentLine& row : working.List(columns)) {
        limits::RequireNumber(row.quantity, limits::NumberKind::Quantity,
                              QStringLiteral("Količina"));
        const QVariant entered = documents::ValueOf(row.other, QStringLiteral("PRODAJNA_CIJENA"));
        taken.lines.push_back(posting.Take(
            {row.article, row.quantity, row.lot},
            entered.isNull() ? std::nullopt : std::optional<double>(entered.toDouble())));
        documents::Columns more;
        for (const QString& column : carried) {
            more.emplace_back(column, documents::ValueOf(row.other, column));
        }
        taken.carried.push_back(more);
        taken.costValue += taken.lines.back().CostValue();
        taken.sellingValue += taken.lines.back().Value();
    }
    return taken;
}

void WriteTakenParts(Session& session, documents::IssuePosting& posting, DocumentKind kind,
                     int code, const TakenParts& taken) {
    for (size_t i = 0; i < taken.lines.size(); ++i) {
        posting.WriteLine(taken.lines[i], taken.carried[i]);
    }
    session.Db().Exec(QStringLiteral("DELETE FROM ") +
                          Quoted(Info(kind).lines.front().workingTable) +
                          QStringLiteral(" WHERE \"Multiuser_sifra\" = ?"),
                      {code});
}

PostedParts ReadPostedParts(Session& session, const WorkOrderTables& tables, int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    const QVariant position =
        db.Scalar(QStringLiteral("SELECT \"RBR_TK\" FROM ") + Quoted(tables.header) +
                      QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                     "\"BROJ_RADNOG_NALOGA\" = ?"),
                  {w, y, number});
    if (!position.isValid()) {
        throw UserError(tables.noSuch(number));
    }
    PostedParts p;
    p.position = position.toInt();
    Statement lines = db.Prepare(
        QStringLiteral("SELECT \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                       "\"NABAVNA_CIJENA\", \"PRODAJNA_CIJENA\" FROM ") +
        Quoted(tables.parts) +
        QStringLiteral(
            " WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_RADNOG_NALOGA\" = ?"));
    lines.Exec({w, y, number});
    while (lines.Next()) {
        p.parts.push_back(
            {lines.Int(0), lines.Int(1), lines.Double(2), lines.Double(3), lines.Double(4)});
    }
    return p;
}

void GuardPostedParts(Session& session, const PostedParts& p) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    for (const PostedPart& part : p.parts) {
        if (stockdocs::LaterStockCount(db, w, y, part.article, part.lot, p.position)) {
            throw UserError(StockCountRefusal());
        }
    }
    for (const PostedPart& part : p.parts) {
        const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, part.lot, part.article});
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, part.article)));
        }
        // A pooled lot's cost moves with every receipt and is recomputed after the deletion; a
        // FIFO lot's must still be the line's.
        const bool selling = !QuantitiesEqual(lot->sellingPrice, part.price);
        const bool costMoved =
            part.lot != stock::kPooledLot && !QuantitiesEqual(lot->costPrice, part.cost);
        if (selling || costMoved) {
            throw UserError(QStringLiteral("Ovaj radni nalog nemožete izbrisati jer artikal ") +
                            stock::ArticleName(db, part.article) +
                            QStringLiteral(" ima na radnom nalogu cijenu ") +
                            stock::NumberText(selling ? part.price : part.cost) +
                            QStringLiteral(" a na skladištu cijenu ") +
                            stock::NumberText(selling ? lot->sellingPrice : lot->costPrice));
        }
    }
}

void RemovePostedOrder(Session& session, const WorkOrderTables& tables, int number,
                       const PostedParts& p) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    std::set<int> pooled;
    for (const PostedPart& part : p.parts) {
        stock::ReturnToLot(db, {w, y, part.lot, part.article}, part.quantity);
        if (part.lot == stock::kPooledLot) {
            pooled.insert(part.article);
        }
    }
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w, tables.bookType, y, number);
    for (const QString& table : {tables.parts, tables.costs, tables.header}) {
        db.Exec(QStringLiteral("DELETE FROM ") + Quoted(table) +
                    QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                   "\"BROJ_RADNOG_NALOGA\" = ?"),
                {w, y, number});
    }
    for (int article : pooled) {
        stock::RecomputeAverageCost(db, w, y, article, p.position);
    }
}

}  // namespace zodra::production
