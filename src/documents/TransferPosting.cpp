#include "documents/TransferPosting.h"

#include <map>
#include <tuple>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/StockMethod.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "stock/ReceiptLots.h"
#include "stock/TradeBook.h"

namespace zodra::documents {

QString TransferPostedMessage(int number) {
    return QStringLiteral("Međuskladišnica je proknjižena pod brojem ") + QString::number(number);
}

QString NoDestinationMessage() {
    return QStringLiteral("Nije izabrano odredišno skladište !");
}

QString NoTransferLinesMessage() {
    return QStringLiteral("Međuskladišnica nema niti jedne stavke !");
}

namespace {

// One line of the destination receipt: the transfer lines of one article, cost, destination
// price, margin and line number, summed.
struct ReceiptGroup {
    int article = 0;
    double cost = 0;
    double price = 0;
    std::optional<double> margin;
    int lineNumber = 0;
    double quantity = 0;
};

using GroupKey = std::tuple<int, int, double, double, std::optional<double>>;

void CheckLines(Session& session, int destination, const std::vector<TransferLine>& lines) {
    if (lines.empty()) {
        throw UserError(NoTransferLinesMessage());
    }
    if (destination <= 0 || destination == session.activeWarehouse.code ||
        !session.Db()
             .Scalar(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                     {destination})
             .isValid()) {
        throw UserError(NoDestinationMessage());
    }
    for (const TransferLine& line : lines) {
        limits::RequireNumber(line.quantity, limits::NumberKind::Quantity,
                              QStringLiteral("Količina"));
        if (RoundQuantity(line.quantity) <= 0) {
            throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
        }
        limits::RequireNumber(line.destinationPrice, limits::NumberKind::Price,
                              QStringLiteral("Odredišna cijena"));
        if (line.retailMargin) {
            limits::RequireNumber(*line.retailMargin, limits::NumberKind::Percent,
                                  QStringLiteral("Maloprodajna marža"));
        }
    }
}

int WriteDestinationReceipt(Session& session, int destination, const QDate& date,
                            const DocumentKey& transfer, const std::vector<ReceiptGroup>& groups) {
    Database& db = session.Db();
    const int year = transfer.year;
    const int number = numbering::NextDocumentNumber(db, DocumentKind::GoodsReceipt, destination,
                                                     year, numbering::kReceiptGenerated);
    const int position =
        tradebook::NextBookNumber(db, tradebook::Book::Wholesale, destination, year);
    const QString sourceName =
        db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"),
                  {transfer.warehouse})
            .toString();
    db.Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", "
                           "\"DATUM\", \"DOKUMENT DOBAVLJACA\", \"DATUM DOKUMENTA DOBAVLJACA\", "
                           "\"RBR_TK\", \"SkladisnaMetoda\", \"TIP_PRIMKE\") VALUES (?, ?, ?, ?, "
                           "?, ?, ?, ?, ?)"),
            {destination, year, number, date,
             QStringLiteral("Međuskl.") + QString::number(transfer.number) + QLatin1Char('/') +
                 sourceName,
             date, position, StockMethodText(session.stockMethod), numbering::kReceiptGenerated});
    MoneyTotal value;
    Statement insert = db.Prepare(QStringLiteral(
        "INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
        "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", \"FAKTURNA_VRIJEDNOST\", "
        "\"RABAT_%\", \"RABAT_IZNOS\", \"NETTO_FAKTURNA_CIJENA\", \"NETTO_FAKTURNA_VRIJEDNOST\", "
        "\"CARINA_%\", \"CARINA_IZNOS\", \"SPEDICIJA_%\", \"SPEDICIJA_IZNOS\", \"ZTR_%\", "
        "\"ZTR_IZNOS\", \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
        "\"CIJENA\", \"VRIJEDNOST\", \"MALOPRODAJNA_MARZA\", \"RBR_STAVKE\") VALUES (?, ?, ?, "
        "'ART', ?, ?, ?, ?, 0, 0, ?, ?, 0, 0, 0, 0, 0, 0, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const ReceiptGroup& g : groups) {
        const double costValue = g.quantity * g.cost;
        const double sellingValue = g.quantity * g.price;
        const double margin = sellingValue - costValue;
        // A line at no cost (goods received free) has no margin in per cent.
        const double marginPercent = RoundQuantity(costValue) != 0 ? margin / costValue * 100 : 0.0;
        value += sellingValue;
        insert.Exec({destination, year, number, g.article, g.quantity, g.cost, costValue, g.cost,
                     costValue, g.cost, costValue, marginPercent, margin, g.price, sellingValue,
                     g.margin ? QVariant(*g.margin) : QVariant(), g.lineNumber});
    }
    tradebook::Entry entry;
    entry.warehouse = destination;
    entry.year = year;
    entry.type = QStringLiteral("PRIMKA");
    entry.documentNumber = number;
    entry.date = date;
    entry.description = QStringLiteral("PRIMKA-MEĐUSKL. ") + QString::number(number);
    entry.purchaseValue = value.Value();
    tradebook::AppendEntry(db, tradebook::Book::Wholesale, entry, position);
    workingcopy::FillMissingTaxGroups(db, Info(DocumentKind::GoodsReceipt).lines.front());
    stock::PostReceiptIntoLots(db, {destination, year, number});
    return number;
}

}  // namespace

PostedTransfer PostTransferLines(Session& session, DocumentKind kind, int number, const QDate& date,
                                 int destination, const std::vector<TransferLine>& lines,
                                 const QString& description) {
    Q_ASSERT(kind == DocumentKind::Transfer || kind == DocumentKind::RetailTransfer);
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    limits::RequireDocumentDate(date, y, QStringLiteral("Datum"));
    CheckLines(session, destination, lines);
    DocumentKey key{kind, w, std::nullopt, y, number};
    if (number <= 0 || numbering::DocumentExists(db, kind, w, y, number)) {
        key = NewDocumentKey(db, kind, w, y);
    }
    IssuePosting posting(session, key);
    Columns header{{QStringLiteral("ODREDISNO_SKLADISTE"), destination}};
    if (!description.isEmpty()) {
        header.emplace_back(QStringLiteral("OPIS"), description);
    }
    posting.WriteHeader(date, header);
    const QStringList columns = db.Columns(posting.Family().lineTable);
    const bool numbered = columns.contains(QStringLiteral("RBR_STAVKE"));
    const bool withMargin = columns.contains(QStringLiteral("MALOPRODAJNA_MARZA"));
    std::map<GroupKey, size_t> index;
    std::vector<ReceiptGroup> groups;
    int lineNumber = 0;
    for (const TransferLine& line : lines) {
        const TakenLine taken =
            posting.Take({line.article, line.quantity, line.lot}, line.enteredPrice);
        const int order = line.lineNumber > 0 ? line.lineNumber : lineNumber + 1;
        lineNumber = std::max(lineNumber, order);
        Columns more{
            {QStringLiteral("ODREDISNA_CIJENA"), line.destinationPrice},
            {QStringLiteral("ODREDISNA_VRIJEDNOST"), line.quantity * line.destinationPrice}};
        if (withMargin) {
            more.emplace_back(QStringLiteral("MALOPRODAJNA_MARZA"),
                              line.retailMargin ? QVariant(*line.retailMargin) : QVariant());
        }
        if (numbered) {
            more.emplace_back(QStringLiteral("RBR_STAVKE"), order);
        }
        posting.WriteLine(taken, more);
        // Without line numbers (retail transfers) every line of an article at one cost and
        // price is one receipt line.
        const GroupKey group{line.article, numbered ? order : 0, taken.cost, line.destinationPrice,
                             withMargin ? line.retailMargin : std::nullopt};
        auto [it, added] = index.try_emplace(group, groups.size());
        if (added) {
            groups.push_back({line.article, taken.cost, line.destinationPrice, std::get<4>(group),
                              numbered ? order : static_cast<int>(groups.size()) + 1, 0});
        }
        groups[it->second].quantity = RoundQuantity(groups[it->second].quantity + line.quantity);
    }
    const int receipt = WriteDestinationReceipt(session, destination, date, key, groups);
    db.Exec(QStringLiteral("UPDATE ") + QLatin1Char('"') + posting.Family().headerTable +
                QStringLiteral("\" SET \"BROJ_ODREDISNE_PRIMKE\" = ?") +
                key.Where(posting.Family().headerNumber),
            QVariantList{receipt} + key.WhereValues());
    workingcopy::FillMissingTaxGroups(db, Info(kind).lines.front());
    posting.Finish(posting.StockEntry(date), {destination});
    return {key.number, receipt};
}

}  // namespace zodra::documents
