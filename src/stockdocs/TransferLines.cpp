#include "stockdocs/TransferLines.h"

#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "documents/WorkingLines.h"
#include "stock/Lots.h"
#include "stockdocs/PriceChangeLines.h"

namespace zodra::stockdocs {

namespace {

const QString kTable = QStringLiteral("STAVKE_MEDUSKLADISNICA_PRIVREMENO");

documents::WorkingLines Lines(Session& session, int sessionCode) {
    return documents::WorkingLines(session.Db(), DocumentKind::Transfer, sessionCode,
                                   session.activeWarehouse.code, session.businessYear);
}

void RequireDestination(Session& session, int destination) {
    if (destination <= 0 || destination == session.activeWarehouse.code ||
        !session.Db()
             .Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                     {destination})
             .isValid()) {
        throw UserError(documents::NoDestinationMessage());
    }
}

QString RowKey(Database& db) {
    return QLatin1Char('"') + QString::fromUtf16(RowKeyColumn(db.Dialect())) + QLatin1Char('"');
}

int NextLineNumber(Database& db, int sessionCode) {
    return sqlvalue::ToInt(db.Scalar(QStringLiteral("SELECT MAX(\"RBR_STAVKE\") FROM ") +
                                         QLatin1Char('"') + kTable +
                                         QStringLiteral("\" WHERE \"Multiuser_sifra\" = ?"),
                                     {sessionCode})) +
           1;
}

// Lots of the warehouse with free stock, as (lot, article, free quantity), in lot order.
struct FreeLot {
    int lot;
    int article;
    double free;
};

std::vector<FreeLot> FreeLots(Database& db, const QString& where, const QVariantList& values) {
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA_PRIVREMENO\" FROM "
                       "\"NABAVE\" WHERE ") +
        where + QStringLiteral(" ORDER BY \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\""));
    rows.Exec(values);
    std::vector<FreeLot> lots;
    while (rows.Next()) {
        const double free = RoundQuantity(rows.Double(2));
        if (free > 0) {
            lots.push_back({rows.Int(0), rows.Int(1), free});
        }
    }
    return lots;
}

}  // namespace

std::vector<std::pair<int, QString>> DestinationWarehouses(Session& session) {
    Statement rows = session.Db().Prepare(QStringLiteral(
        "SELECT \"SIFRA\", \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" <> ? ORDER BY \"SIFRA\""));
    rows.Exec({session.activeWarehouse.code});
    std::vector<std::pair<int, QString>> warehouses;
    while (rows.Next()) {
        warehouses.emplace_back(rows.Int(0), rows.Text(1));
    }
    return warehouses;
}

qint64 AddTransferLine(Session& session, int sessionCode, int destination,
                       const TransferLineEntry& entry) {
    Database& db = session.Db();
    RequireDestination(session, destination);
    limits::RequireNumber(entry.quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    if (RoundQuantity(entry.quantity) <= 0) {
        throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
    }
    for (const auto& [value, what] :
         {std::pair{entry.destinationPrice, QStringLiteral("Odredišna cijena")},
          std::pair{entry.destinationPriceWithTax, QStringLiteral("Odr. cijena s por.")}}) {
        if (value) {
            limits::RequireNumber(*value, limits::NumberKind::Price, what);
        }
    }
    if (entry.retailMargin) {
        limits::RequireNumber(*entry.retailMargin, limits::NumberKind::Percent,
                              QStringLiteral("Maloprodajna marža"));
    }
    Transaction transaction(db);
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    std::optional<int> lot = entry.lot;
    if (!lot) {
        lot = stock::DefaultLot(db, w, y, entry.article, entry.quantity);
    }
    if (!lot) {
        throw UserError(stock::InsufficientQuantityMessage(stock::ArticleName(db, entry.article)));
    }
    const std::optional<stock::Lot> found = stock::FindLot(db, {w, y, *lot, entry.article});
    if (!found) {
        throw UserError(stock::MissingLotMessage(stock::ArticleName(db, entry.article)));
    }
    double destinationPrice = found->sellingPrice;
    if (entry.destinationPrice) {
        destinationPrice = *entry.destinationPrice;
    } else if (entry.destinationPriceWithTax) {
        destinationPrice =
            PriceWithoutTax(*entry.destinationPriceWithTax, ArticleTaxRate(db, entry.article));
    }
    documents::DocumentLine line;
    line.article = entry.article;
    line.lot = *lot;
    line.quantity = RoundQuantity(entry.quantity);
    line.other = {
        {QStringLiteral("NABAVNA_CIJENA"), found->costPrice},
        {QStringLiteral("NABAVNA_VRIJEDNOST"), line.quantity * found->costPrice},
        {QStringLiteral("CIJENA"), found->sellingPrice},
        {QStringLiteral("VRIJEDNOST"), line.quantity * found->sellingPrice},
        {QStringLiteral("ODREDISNA_CIJENA"), destinationPrice},
        {QStringLiteral("ODREDISNA_VRIJEDNOST"), line.quantity * destinationPrice},
        {QStringLiteral("MALOPRODAJNA_MARZA"),
         entry.retailMargin ? QVariant(*entry.retailMargin) : QVariant()},
        {QStringLiteral("RBR_STAVKE"), NextLineNumber(db, sessionCode)},
    };
    const qint64 id = Lines(session, sessionCode).Add(line);
    transaction.Commit();
    return id;
}

int AddWarehouseLines(Session& session, int sessionCode, int destination) {
    RequireDestination(session, destination);
    Transaction transaction(session.Db());
    const std::vector<FreeLot> lots =
        FreeLots(session.Db(), QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ?"),
                 {session.activeWarehouse.code, session.businessYear});
    for (const FreeLot& lot : lots) {
        AddTransferLine(session, sessionCode, destination, {lot.article, lot.lot, lot.free});
    }
    transaction.Commit();
    return static_cast<int>(lots.size());
}

int AddReceiptLines(Session& session, int sessionCode, int destination, int receipt) {
    RequireDestination(session, destination);
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA\", SUM(\"KOLICINA\") FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND "
        "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART' GROUP BY \"SIFRA\" "
        "ORDER BY MIN(\"RBR_STAVKE\")"));
    rows.Exec({w, y, receipt});
    std::vector<std::pair<int, double>> articles;
    while (rows.Next()) {
        articles.emplace_back(rows.Int(0), rows.Double(1));
    }
    rows.Finish();
    const QString method =
        (db.Scalar(QStringLiteral("SELECT \"SkladisnaMetoda\" FROM \"PRIMKE\" WHERE \"SKLADISTE\" "
                                  "= ? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
                   {w, y, receipt})
             .toString());
    const bool fifo = ParseStockMethod(method).value_or(StockMethod::Fifo) == StockMethod::Fifo;
    int added = 0;
    for (const auto& [article, received] : articles) {
        const int lot = fifo ? receipt : stock::kPooledLot;
        const std::optional<stock::Lot> found = stock::FindLot(db, {w, y, lot, article});
        if (!found) {
            continue;
        }
        const double quantity = RoundQuantity(std::min(found->freeQuantity, received));
        if (quantity > 0) {
            AddTransferLine(session, sessionCode, destination, {article, lot, quantity});
            ++added;
        }
    }
    transaction.Commit();
    return added;
}

QString TransferMergeQuestion() {
    return QStringLiteral("Ovaj artikal je već upisan. Želite li dodati na postojeću stavku?");
}

std::optional<qint64> WorkingTransferLineOf(Session& session, int sessionCode, int article,
                                            int lot) {
    for (const documents::DocumentLine& line : Lines(session, sessionCode).List()) {
        if (line.article == article && line.lot == lot) {
            return line.id;
        }
    }
    return std::nullopt;
}

void AddToTransferLine(Session& session, int sessionCode, int destination, qint64 id,
                       const TransferLineEntry& entry) {
    Database& db = session.Db();
    RequireDestination(session, destination);
    limits::RequireNumber(entry.quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    if (RoundQuantity(entry.quantity) <= 0) {
        throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
    }
    Transaction transaction(db);
    documents::WorkingLines lines = Lines(session, sessionCode);
    const QStringList columns{QStringLiteral("NABAVNA_CIJENA"), QStringLiteral("CIJENA"),
                              QStringLiteral("ODREDISNA_VRIJEDNOST"),
                              QStringLiteral("MALOPRODAJNA_MARZA"), QStringLiteral("RBR_STAVKE")};
    std::optional<documents::DocumentLine> found;
    for (documents::DocumentLine& line : lines.List(columns)) {
        if (line.id == id) {
            found = std::move(line);
        }
    }
    if (!found || found->article != entry.article || (entry.lot && found->lot != entry.lot)) {
        throw UserError(QStringLiteral("Stavka više ne postoji."));
    }
    double destinationPrice = documents::ValueOf(found->other, QStringLiteral("CIJENA")).toDouble();
    if (entry.destinationPrice) {
        limits::RequireNumber(*entry.destinationPrice, limits::NumberKind::Price,
                              QStringLiteral("Odredišna cijena"));
        destinationPrice = *entry.destinationPrice;
    } else if (entry.destinationPriceWithTax) {
        limits::RequireNumber(*entry.destinationPriceWithTax, limits::NumberKind::Price,
                              QStringLiteral("Odr. cijena s por."));
        destinationPrice =
            PriceWithoutTax(*entry.destinationPriceWithTax, ArticleTaxRate(db, entry.article));
    }
    const double cost =
        documents::ValueOf(found->other, QStringLiteral("NABAVNA_CIJENA")).toDouble();
    const double price = documents::ValueOf(found->other, QStringLiteral("CIJENA")).toDouble();
    const double quantity = RoundQuantity(found->quantity + entry.quantity);
    limits::RequireNumber(quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    const double destinationValue =
        documents::ValueOf(found->other, QStringLiteral("ODREDISNA_VRIJEDNOST")).toDouble() +
        RoundQuantity(entry.quantity) * destinationPrice;
    QVariant margin = documents::ValueOf(found->other, QStringLiteral("MALOPRODAJNA_MARZA"));
    if (entry.retailMargin) {
        margin = *entry.retailMargin;
    }
    documents::DocumentLine line;
    line.id = id;
    line.article = found->article;
    line.lot = found->lot;
    line.quantity = quantity;
    line.other = {
        {QStringLiteral("NABAVNA_VRIJEDNOST"), quantity * cost},
        {QStringLiteral("VRIJEDNOST"), quantity * price},
        {QStringLiteral("ODREDISNA_CIJENA"), destinationValue / quantity},
        {QStringLiteral("ODREDISNA_VRIJEDNOST"), destinationValue},
        {QStringLiteral("MALOPRODAJNA_MARZA"), margin},
    };
    // The store releases the line's old quantity and reserves the new one, refusing what the lot
    // does not have free.
    lines.Update(line);
    transaction.Commit();
}

QString OnlyLineNumberMessage() {
    return QStringLiteral("Mijenjati možete samo redni broj.");
}

void SetTransferLineNumber(Session& session, int sessionCode, qint64 id, const QString& typed) {
    bool ok = false;
    const qint64 number = typed.trimmed().toLongLong(&ok);
    if (!ok || number <= 0 || number > numbering::kLastNumber) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    session.Db().Exec(QStringLiteral("UPDATE \"") + kTable +
                          QStringLiteral("\" SET \"RBR_STAVKE\" = ? WHERE ") +
                          QStringLiteral("\"Multiuser_sifra\" = ? AND ") + RowKey(session.Db()) +
                          QStringLiteral(" = ?"),
                      {number, sessionCode, id});
}

QString DeleteTransferLineQuestion() {
    return QStringLiteral("Želite li izbrisati stavku artikla ?");
}

void RemoveTransferLine(Session& session, int sessionCode, qint64 id) {
    Lines(session, sessionCode).Remove(id);
}

void ClearWorkingTransfer(Session& session, int sessionCode) {
    Transaction transaction(session.Db());
    documents::WorkingLines lines = Lines(session, sessionCode);
    for (const documents::DocumentLine& line : lines.List()) {
        lines.Remove(line.id);
    }
    transaction.Commit();
}

double WorkingTransferTotal(Database& db, int sessionCode) {
    return sqlvalue::ToDouble(db.Scalar(QStringLiteral("SELECT SUM(\"VRIJEDNOST\") FROM ") +
                                            QLatin1Char('"') + kTable +
                                            QStringLiteral("\" WHERE \"Multiuser_sifra\" = ?"),
                                        {sessionCode}));
}

int CheckTransferNumber(Database& db, int warehouse, int year, const QString& typed) {
    bool ok = false;
    const qint64 number = typed.trimmed().toLongLong(&ok);
    if (!ok || number <= 0 || number > numbering::kLastNumber) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    if (numbering::DocumentExists(db, DocumentKind::Transfer, warehouse, year,
                                  static_cast<int>(number))) {
        throw UserError(QStringLiteral("Međuskladišnica pod ovim brojem je već napravljena !"));
    }
    return static_cast<int>(number);
}

documents::PostedTransfer PostWorkingTransfer(Session& session, const TransferHeaderData& header,
                                              int sessionCode) {
    Database& db = session.Db();
    Transaction transaction(db);
    const std::vector<documents::DocumentLine> rows =
        Lines(session, sessionCode)
            .List({QStringLiteral("CIJENA"), QStringLiteral("ODREDISNA_CIJENA"),
                   QStringLiteral("MALOPRODAJNA_MARZA"), QStringLiteral("RBR_STAVKE")});
    std::vector<documents::TransferLine> lines;
    for (const documents::DocumentLine& row : rows) {
        const QVariant entered = documents::ValueOf(row.other, QStringLiteral("CIJENA"));
        const QVariant price = documents::ValueOf(row.other, QStringLiteral("ODREDISNA_CIJENA"));
        const QVariant margin = documents::ValueOf(row.other, QStringLiteral("MALOPRODAJNA_MARZA"));
        if (!row.lot || entered.isNull() || price.isNull()) {
            throw UserError(limits::NotANumberMessage(QStringLiteral("Cijena")));
        }
        documents::TransferLine line;
        line.article = row.article;
        line.lot = row.lot;
        line.quantity = row.quantity;
        line.destinationPrice = price.toDouble();
        if (!margin.isNull()) {
            line.retailMargin = margin.toDouble();
        }
        line.lineNumber = documents::ValueOf(row.other, QStringLiteral("RBR_STAVKE")).toInt();
        line.enteredPrice = entered.toDouble();
        lines.push_back(line);
    }
    const documents::PostedTransfer posted =
        documents::PostTransferLines(session, DocumentKind::Transfer, header.number, header.date,
                                     header.destination, lines, header.description);
    // The reservations of the working lines became the take: the rows go without releasing.
    db.Exec(QStringLiteral("DELETE FROM \"") + kTable +
                QStringLiteral("\" WHERE \"Multiuser_sifra\" = ?"),
            {sessionCode});
    transaction.Commit();
    return posted;
}

}  // namespace zodra::stockdocs
