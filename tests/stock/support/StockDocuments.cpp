#include "stock/support/StockDocuments.h"

#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/ScriptedPrompter.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "sales/InvoiceLines.h"
#include "sales/InvoicePosting.h"
#include "sales/InvoiceRemoval.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/ReceiptCost.h"
#include "stock/ReceiptLots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/PriceChangeLines.h"
#include "stockdocs/PriceChangePosting.h"
#include "stockdocs/PriceChangeRemoval.h"
#include "stockdocs/TransferLines.h"

namespace zodra::test {

using stock::CostFamily;
using stock::Lot;
using stock::LotKey;
using tradebook::Book;

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// Each issue kind's document kind and trade-book type; the invoice is found by neither.
struct IssueKind {
    StockDocuments::Issue issue;
    DocumentKind kind;
    const char16_t* type;
};
constexpr IssueKind kIssueKinds[] = {
    {StockDocuments::Issue::IssueNote, DocumentKind::IssueNote, u"IZDATNICA"},
    {StockDocuments::Issue::ReturnNote, DocumentKind::ReturnNote, u"POVRATNICA"},
    {StockDocuments::Issue::WriteOff, DocumentKind::WriteOff, u"RASHOD"},
    {StockDocuments::Issue::CommissionReturn, DocumentKind::CommissionReturn, u"ODJAVA"},
    {StockDocuments::Issue::SupplierReturn, DocumentKind::SupplierReturn, u"POVRATNICA DOBAVLJAČU"},
    {StockDocuments::Issue::ServiceConsumption, DocumentKind::ServiceConsumption, u"SPECIFIKACIJA"},
    {StockDocuments::Issue::WorkOrder, DocumentKind::WorkOrder, u"RADNI NALOG"},
    {StockDocuments::Issue::FinishingWorkOrder, DocumentKind::FinishingWorkOrder,
     u"RADNI NALOG DORADA"},
    {StockDocuments::Issue::DeliveryNote, DocumentKind::DeliveryNote, u"OTPREMNICA"},
    {StockDocuments::Issue::RetailTransfer, DocumentKind::RetailTransfer,
     u"MALOPRODAJNA MEĐUSKLADIŠNICA"},
};

const char16_t* TypeOf(StockDocuments::Issue kind) {
    for (const IssueKind& k : kIssueKinds) {
        if (k.issue == kind) {
            return k.type;
        }
    }
    return u"";
}

DocumentKind KindOf(StockDocuments::Issue kind) {
    for (const IssueKind& k : kIssueKinds) {
        if (k.issue == kind) {
            return k.kind;
        }
    }
    return DocumentKind::Invoice;
}

// The five documents that have their real posting in stockdocs.
bool IsSimpleDocument(StockDocuments::Issue kind) {
    using I = StockDocuments::Issue;
    return kind == I::IssueNote || kind == I::ReturnNote || kind == I::WriteOff ||
           kind == I::CommissionReturn || kind == I::SupplierReturn;
}

bool Sells(StockDocuments::Issue kind) {
    return kind == StockDocuments::Issue::Invoice || kind == StockDocuments::Issue::DeliveryNote;
}

bool WorkOrderLines(StockDocuments::Issue kind) {
    return kind == StockDocuments::Issue::WorkOrder ||
           kind == StockDocuments::Issue::FinishingWorkOrder;
}

// The selling-price column of a family's lines.
QString PriceColumn(StockDocuments::Issue kind) {
    if (kind == StockDocuments::Issue::Invoice) {
        // The lot's price when the goods left it, at which the card values the movement.
        return QStringLiteral("CIJENA_SKLADISTA");
    }
    if (Sells(kind)) {
        return QStringLiteral("CIJENA_");
    }
    return WorkOrderLines(kind) ? QStringLiteral("PRODAJNA_CIJENA") : QStringLiteral("CIJENA");
}

// WHERE on a document's key (lines or header), invoice book 1 for invoices.
QString KeyWhere(const CostFamily& family, const QString& numberColumn) {
    return QStringLiteral(" WHERE \"SKLADISTE\" = ?") +
           (family.invoiceBook ? QStringLiteral(" AND \"IRA\" = 1") : QString()) +
           QStringLiteral(" AND \"GODINA\" = ? AND ") + Q(numberColumn) + QStringLiteral(" = ?");
}

QString ArticleLines(const CostFamily& family) {
    return family.articleLinesByKind ? QStringLiteral(" AND \"TIP_STAVKE\" = 'ART'") : QString();
}

}  // namespace

const CostFamily& StockDocuments::Family(Issue kind) {
    const QString type = QString::fromUtf16(TypeOf(kind));
    for (const CostFamily& family : stock::CostFamilies()) {
        if (family.tradeBookType == type) {
            return family;
        }
    }
    throw std::logic_error("no such family");
}

int StockDocuments::AddArticle(const QString& name) {
    Db().Exec(QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", \"JED_M\", "
                             "\"GRUPA_A\", \"GRUPA_P\") VALUES (?, ?, 'kom', 1, 1)"),
              {name, name.left(8)});
    return Db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"ARTIKLI\"")).toInt();
}

int StockDocuments::Receipt(const std::vector<In>& lines, const QDate& date,
                            std::optional<int> inWarehouse) {
    Database& db = Db();
    Transaction transaction(db);
    const int warehouse = inWarehouse.value_or(Warehouse());
    const int year = Year();
    const int type = numbering::kReceiptEntered;
    const QString supplierDocument = QStringLiteral("R-1");
    const int number =
        numbering::NextDocumentNumber(db, DocumentKind::GoodsReceipt, warehouse, year, type);
    const int position = tradebook::NextBookNumber(db, Book::Wholesale, warehouse, year);
    db.Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", "
                           "\"DATUM\", \"SIFRA DOBAVLJACA\", \"DOKUMENT DOBAVLJACA\", \"DATUM "
                           "DOKUMENTA DOBAVLJACA\", \"RBR_TK\", \"SkladisnaMetoda\", "
                           "\"TIP_PRIMKE\") VALUES (?, ?, ?, ?, 2, ?, ?, ?, ?, ?)"),
            {warehouse, year, number, date, supplierDocument, date, position,
             StockMethodText(m_session.stockMethod), type});
    double value = 0;
    int lineNumber = 0;
    for (const In& line : lines) {
        const double cost = line.quantity * line.cost;
        const double selling = line.quantity * line.price;
        value += selling;
        db.Exec(QStringLiteral(
                    "INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
                    "\"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", \"FAKTURNA_CIJENA\", "
                    "\"FAKTURNA_VRIJEDNOST\", \"NETTO_FAKTURNA_CIJENA\", "
                    "\"NETTO_FAKTURNA_VRIJEDNOST\", \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", "
                    "\"RUC_IZNOS\", \"CIJENA\", \"VRIJEDNOST\", \"MALOPRODAJNA_MARZA\", "
                    "\"RBR_STAVKE\", \"GRUPA_POREZA\", \"POREZ_%\") VALUES (?, ?, ?, 'ART', ?, ?, "
                    "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'PDV', 25)"),
                {warehouse, year, number, line.article, line.quantity, line.cost, cost, line.cost,
                 cost, line.cost, cost, selling - cost, line.price, selling,
                 line.margin ? QVariant(*line.margin) : QVariant(), ++lineNumber});
    }
    tradebook::Entry entry{
        warehouse, year, QStringLiteral("PRIMKA"),
        number,    date, QStringLiteral("PRIMKA %1 %2").arg(number).arg(supplierDocument),
        value,     0,    0,
        0};
    tradebook::AppendEntry(db, Book::Wholesale, entry, position);
    stock::PostReceiptIntoLots(db, {warehouse, year, number});
    stock::CheckStockAgainstCard(m_session, {warehouse});
    transaction.Commit();
    return number;
}

int StockDocuments::ReceiptPosition(int number, std::optional<int> warehouse) {
    return sqlvalue::ToInt(
        Db().Scalar(QStringLiteral("SELECT \"RBR_TK\" FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? AND "
                                   "\"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
                    {warehouse.value_or(Warehouse()), Year(), number}));
}

void StockDocuments::DeleteReceipt(int number, std::optional<int> warehouse) {
    Database& db = Db();
    Transaction transaction(db);
    const int w = warehouse.value_or(Warehouse());
    const stock::ReceiptKey key{w, Year(), number};
    const std::optional<stock::ReceiptHeader> header = stock::ReadReceiptHeader(db, key);
    if (!header) {
        throw UserError(QStringLiteral("Ne postoji proknjižena primka broj ") +
                        QString::number(number));
    }
    const bool fifo = header->method == StockMethod::Fifo;
    Statement articles = db.Prepare(QStringLiteral(
        "SELECT DISTINCT \"SIFRA\" FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" "
        "= ? AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART'"));
    articles.Exec({w, Year(), number});
    std::vector<int> list;
    while (articles.Next()) {
        list.push_back(articles.Int(0));
    }
    for (int article : list) {
        const int lot = fifo ? number : stock::kPooledLot;
        const int after = fifo ? 0 : header->tradeBookPosition;
        if (const CostFamily* family = stock::FirstLaterIssue(db, w, Year(), article, lot, after)) {
            throw UserError(QStringLiteral("Ovu primku nemožete izbrisati: ") + family->name);
        }
        const bool laterPriceChange =
            db.Scalar(QStringLiteral(
                          "SELECT 1 FROM \"STAVKE_IZMJENA_CIJENA\" s INNER JOIN "
                          "\"IZMJENE_CIJENA\" h ON h.\"SKLADISTE\" = s.\"SKLADISTE\" AND "
                          "h.\"GODINA\" = s.\"GODINA\" AND h.\"BROJ_IZMJENE_CIJENA\" = "
                          "s.\"BROJ_IZMJENE_CIJENA\" WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = "
                          "? AND s.\"ARTIKAL\" = ? AND s.\"BROJ_PRIMKE\" = ? AND h.\"RBR_TK\" > ? "
                          "AND h.\"BROJ_PRIMKE\" <> ? LIMIT 1"),
                      {w, Year(), article, lot, after, number})
                .isValid();
        if (laterPriceChange) {
            throw UserError(QStringLiteral(
                "Ovu primku nemožete izbrisati jer je iz njenih nabava već rađena izmjena "
                "cijena."));
        }
    }
    stock::RemoveReceiptFromLots(db, key);
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = "
                           "? AND \"BROJ_PRIMKE\" = ?"),
            {w, Year(), number});
    db.Exec(QStringLiteral("DELETE FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                           "\"BROJ PRIMKE\" = ?"),
            {w, Year(), number});
    stock::CheckStockAgainstCard(m_session, {w});
    transaction.Commit();
}

void StockDocuments::CorrectReceiptCost(int number, int article, double cost) {
    Database& db = Db();
    Transaction transaction(db);
    db.Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKI\" SET \"NABAVNA_CIJENA\" = ?, "
                           "\"NABAVNA_VRIJEDNOST\" = \"KOLICINA\" * ? WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"SIFRA\" = ? AND "
                           "\"TIP_STAVKE\" = 'ART'"),
            {cost, cost, Warehouse(), Year(), number, article});
    stock::ApplyReceiptCostChange(db, {Warehouse(), Year(), number}, article);
    stock::CheckStockAgainstCard(m_session);
    transaction.Commit();
}

int StockDocuments::PostInvoice(const std::vector<Out>& lines, const QDate& date) {
    // Drawn up and posted as the invoice window does: book 1, wholesale terms 2, the retail
    // customer 1, every line at the price the article dialog proposes (the lot's) without
    // discount, taxed by the article's group.
    ScriptedPrompter quiet;
    sales::InvoiceDraft draft = sales::OpenInvoice(m_session, date);
    draft.book = 1;
    draft.salesTerms = 2;
    draft.customer = 1;
    try {
        for (const Out& line : lines) {
            sales::AddArticleLine(
                m_session, quiet, draft,
                {line.article, line.lot, line.quantity, std::nullopt, 0.0, std::nullopt, {}});
        }
        sales::InvoiceHeader header;
        header.deliveryName = QStringLiteral("Kupac u maloprodaji");
        header.deliveryAddress = QStringLiteral("Ilica 1");
        header.deliveryPlace = QStringLiteral("Zagreb");
        header.paymentTerm = QStringLiteral("15");
        header.dueDate = date.addDays(15).toString(QStringLiteral("dd.MM.yyyy"));
        header.alreadyPaid = QStringLiteral("0");
        header.bankAccount = QStringLiteral("HR1210010051863000160");
        const int number = sales::PostInvoice(m_session, draft, header).number;
        sales::DiscardInvoice(m_session, draft);
        return number;
    } catch (...) {
        // A refusal leaves nothing behind, the lines drawn up so far included.
        sales::DiscardInvoice(m_session, draft);
        throw;
    }
}

int StockDocuments::Post(Issue kind, const std::vector<Out>& lines, const QDate& date) {
    if (kind == Issue::Invoice) {
        return PostInvoice(lines, date);
    }
    if (IsSimpleDocument(kind)) {
        return PostSimpleDocument(kind, lines, date);
    }
    Database& db = Db();
    Transaction transaction(db);
    const documents::DocumentKey key =
        documents::NewDocumentKey(db, KindOf(kind), Warehouse(), Year());
    documents::IssuePosting posting(m_session, key);
    posting.WriteHeader(date);
    double tax = 0;
    int lineNumber = 0;
    for (const Out& line : lines) {
        const documents::TakenLine taken = posting.Take({line.article, line.quantity, line.lot});
        ++lineNumber;
        if (Sells(kind)) {
            // Sold at the lot's price without discount, 25 % tax.
            const double lineValue = taken.Value();
            const double lineTax = lineValue * 0.25;
            tax += lineTax;
            documents::Columns sold{{QStringLiteral("TIP_STAVKE"), QStringLiteral("ART")},
                                    {QStringLiteral("CIJENA_BEZ_RABATA"), taken.price},
                                    {QStringLiteral("VRIJEDNOST_BEZ_RABATA"), lineValue},
                                    {QStringLiteral("RABAT_%"), 0},
                                    {QStringLiteral("RABAT_IZNOS"), 0},
                                    {QStringLiteral("CIJENA_"), taken.price},
                                    {QStringLiteral("VRIJEDNOST_"), lineValue},
                                    {QStringLiteral("GRUPA_POREZA"), QStringLiteral("PDV")},
                                    {QStringLiteral("POREZ_%"), 25},
                                    {QStringLiteral("POREZ_IZNOS"), lineTax},
                                    {QStringLiteral("UKUPNO_"), lineValue + lineTax},
                                    {QStringLiteral("RBR_STAVKE"), lineNumber}};
            posting.WriteLine(taken, sold);
        } else {
            posting.WriteLine(taken, {{QStringLiteral("GRUPA_POREZA"), QStringLiteral("PDV")},
                                      {QStringLiteral("POREZ_%"), 25}});
        }
    }
    tradebook::Entry entry = posting.StockEntry(date);
    if (Sells(kind)) {
        entry.description = QStringLiteral("OTPREMNICA %1 Kupac u maloprodaji").arg(key.number);
        entry.purchaseValue = 0;
        entry.salesValue = posting.Value();
        entry.salesTax = tax;
    }
    posting.Finish(entry);
    transaction.Commit();
    return key.number;
}

int StockDocuments::PostSimpleDocument(Issue kind, const std::vector<Out>& lines,
                                       const QDate& date) {
    // A commission return is posted in a commission warehouse only.
    m_session.warehouseFlags.commission |= kind == Issue::CommissionReturn;
    Transaction transaction(Db());
    const int code = workingcopy::AllocateSessionCode(Db());
    for (const Out& line : lines) {
        stockdocs::AddIssueLine(m_session, KindOf(kind), code,
                                {line.article, line.lot, line.quantity});
    }
    stockdocs::IssueHeaderData header;
    header.date = date;
    if (kind == Issue::SupplierReturn) {
        header.supplier = 2;  // a supplier of every company
    }
    const int number = stockdocs::PostWorkingIssueDocument(m_session, KindOf(kind), header, code);
    transaction.Commit();
    return number;
}

int StockDocuments::Position(Issue kind, int number) {
    const CostFamily& family = Family(kind);
    return sqlvalue::ToInt(Db().Scalar(QStringLiteral("SELECT \"RBR_TK\" FROM ") +
                                           Q(family.headerTable) +
                                           KeyWhere(family, family.headerNumber),
                                       {Warehouse(), Year(), number}));
}

void StockDocuments::Delete(Issue kind, int number) {
    if (kind == Issue::Invoice) {
        ScriptedPrompter quiet;
        sales::DeleteInvoice(m_session, quiet, 1, number);
        return;
    }
    if (IsSimpleDocument(kind)) {
        stockdocs::DeleteIssueDocument(m_session, KindOf(kind), number);
        return;
    }
    Database& db = Db();
    Transaction transaction(db);
    const CostFamily& family = Family(kind);
    const int w = Warehouse();
    const int y = Year();
    const QVariant position =
        db.Scalar(QStringLiteral("SELECT \"RBR_TK\" FROM ") + Q(family.headerTable) +
                      KeyWhere(family, family.headerNumber),
                  {w, y, number});
    if (!position.isValid()) {
        throw UserError(QStringLiteral("Ne postoji proknjižen dokument broj ") +
                        QString::number(number));
    }
    struct Line {
        int article;
        int lot;
        double quantity;
        double cost;
        double price;
    };
    std::vector<Line> lines;
    {
        Statement rows =
            db.Prepare(QStringLiteral("SELECT ") + Q(family.articleColumn) +
                       QStringLiteral(", \"BROJ_PRIMKE\", \"KOLICINA\", \"NABAVNA_CIJENA\", ") +
                       Q(PriceColumn(kind)) + QStringLiteral(" FROM ") + Q(family.lineTable) +
                       KeyWhere(family, family.lineNumber) + ArticleLines(family));
        rows.Exec({w, y, number});
        while (rows.Next()) {
            lines.push_back(
                {rows.Int(0), rows.Int(1), rows.Double(2), rows.Double(3), rows.Double(4)});
        }
    }
    std::set<int> pooledArticles;
    for (const Line& line : lines) {
        const LotKey key{w, y, line.lot, line.article};
        const std::optional<Lot> lot = stock::FindLot(db, key);
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
        }
        // The goods go back at the price they left at. A pooled lot's cost moves with every
        // receipt and is recomputed below; a FIFO lot's must still be the line's.
        const bool costMoved = line.lot != stock::kPooledLot &&
                               RoundQuantity(lot->costPrice) != RoundQuantity(line.cost);
        if (RoundQuantity(lot->sellingPrice) != RoundQuantity(line.price) || costMoved) {
            throw UserError(QStringLiteral(
                "Ovaj dokument nemožete izbrisati jer neki artikal iz dokumenta više nema istu "
                "cijenu na skladištu."));
        }
        stock::ReturnToLot(db, key, line.quantity);
        if (line.lot == stock::kPooledLot) {
            pooledArticles.insert(line.article);
        }
    }
    tradebook::DeleteDocumentEntry(
        db, Book::Wholesale, w,
        kind == Issue::Invoice ? QStringLiteral("1RAČUN") : family.tradeBookType, y, number);
    db.Exec(
        QStringLiteral("DELETE FROM ") + Q(family.lineTable) + KeyWhere(family, family.lineNumber),
        {w, y, number});
    db.Exec(QStringLiteral("DELETE FROM ") + Q(family.headerTable) +
                KeyWhere(family, family.headerNumber),
            {w, y, number});
    for (int article : pooledArticles) {
        stock::RecomputeAverageCost(db, w, y, article, position.toInt());
    }
    stock::CheckStockAgainstCard(m_session);
    transaction.Commit();
}

void StockDocuments::CancelInvoice(int number, const QDate& date) {
    sales::CancelInvoice(m_session, 1, number, date);
}

void StockDocuments::CancelServiceConsumption(int number, const QDate& date) {
    CancelByCounterEntry(Issue::ServiceConsumption, number, date);
}

void StockDocuments::CancelByCounterEntry(Issue kind, int number, const QDate& date) {
    Database& db = Db();
    Transaction transaction(db);
    const CostFamily& family = Family(kind);
    const int w = Warehouse();
    const int y = Year();
    const QString ownType =
        kind == Issue::Invoice ? QStringLiteral("1RAČUN") : family.tradeBookType;
    Statement lines =
        db.Prepare(QStringLiteral("SELECT ") + Q(family.articleColumn) +
                   QStringLiteral(", \"BROJ_PRIMKE\", \"KOLICINA\", "
                                  "\"NABAVNA_CIJENA\", ") +
                   Q(PriceColumn(kind)) + QStringLiteral(" FROM ") + Q(family.lineTable) +
                   KeyWhere(family, family.lineNumber) + ArticleLines(family));
    lines.Exec({w, y, number});
    while (lines.Next()) {
        const LotKey key{w, y, lines.Int(1), lines.Int(0)};
        const std::optional<Lot> lot = stock::FindLot(db, key);
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, key.article)));
        }
        if (RoundQuantity(lot->sellingPrice) != RoundQuantity(lines.Double(4))) {
            throw UserError(QStringLiteral("Ovaj račun nemožete stornirati jer artikal '") +
                            stock::ArticleName(db, key.article) +
                            QStringLiteral("' više nema istu cijenu na skladištu."));
        }
        stock::ReturnToLotAtCost(db, key, lines.Double(2), lines.Double(3));
    }
    lines.Finish();
    Statement own = db.Prepare(QStringLiteral(
        "SELECT \"NABAVA_VRIJEDNOST\", \"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\" FROM "
        "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = ? AND \"TIP_DOKUMENTA\" = ? AND "
        "\"GODINA\" = ? AND \"BROJ_DOKUMENTA\" = ?"));
    own.Exec({w, ownType, y, number});
    if (!own.Next()) {
        throw UserError(QStringLiteral("Ne postoji proknjižen dokument broj ") +
                        QString::number(number));
    }
    tradebook::Entry entry{w,
                           y,
                           family.cancellationType,
                           number,
                           date,
                           family.cancellationType + QStringLiteral(" ") + QString::number(number),
                           -own.Double(0),
                           0,
                           -own.Double(1),
                           -own.Double(2)};
    own.Finish();
    const int position = tradebook::AppendEntry(db, Book::Wholesale, entry);
    db.Exec(QStringLiteral("UPDATE ") + Q(family.headerTable) +
                QStringLiteral(" SET \"STORNO\" = TRUE, \"DATUM_STORNA\" = ?, "
                               "\"STORNO_RBR_TK\" = ?, \"RBR_STORNO_DOKUMENTA\" = ?") +
                KeyWhere(family, family.headerNumber),
            {date, position, numbering::NextCancellationNumber(db, w, y), w, y, number});
    stock::CheckStockAgainstCard(m_session);
    transaction.Commit();
}

int StockDocuments::PriceChange(const std::vector<Reprice>& lines, const QDate& date) {
    Transaction transaction(Db());
    stockdocs::ClearWorkingPriceChange(m_session);
    for (const Reprice& line : lines) {
        stockdocs::AddPriceChangeLine(m_session, line.article, line.lot, line.price);
    }
    const int number = stockdocs::PostPriceChange(m_session, {0, date});
    transaction.Commit();
    return number;
}

void StockDocuments::CancelPriceChange(int number, const QDate& date) {
    stockdocs::CancelPriceChange(m_session, number, date);
}

int StockDocuments::Transfer(int destination, const std::vector<Out>& lines, const QDate& date) {
    Transaction transaction(Db());
    const int code = workingcopy::AllocateSessionCode(Db());
    for (const Out& line : lines) {
        stockdocs::AddTransferLine(m_session, code, destination,
                                   {line.article, line.lot, line.quantity});
    }
    const int number =
        stockdocs::PostWorkingTransfer(m_session, {0, date, destination, {}}, code).number;
    transaction.Commit();
    return number;
}

int StockDocuments::DestinationReceipt(int transfer) {
    return sqlvalue::ToInt(Db().Scalar(
        QStringLiteral("SELECT \"BROJ_ODREDISNE_PRIMKE\" FROM \"MEDUSKLADISNICE\" WHERE "
                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_MEDUSKLADISNICE\" = ?"),
        {Warehouse(), Year(), transfer}));
}

int StockDocuments::StockCount(const std::vector<Count>& lines, const QDate& date) {
    Database& db = Db();
    Transaction transaction(db);
    const int w = Warehouse();
    const int y = Year();
    const int number = numbering::NextDocumentNumber(db, DocumentKind::StockCount, w, y);
    const int position = tradebook::NextBookNumber(db, Book::Wholesale, w, y);
    db.Exec(QStringLiteral("INSERT INTO \"INVENTURE\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_INVENTURE\", \"DATUM\", \"RBR_TK\") VALUES (?, ?, ?, ?, ?)"),
            {w, y, number, date, position});
    double difference = 0;
    for (const Count& line : lines) {
        const LotKey key{w, y, line.lot, line.article};
        const std::optional<Lot> lot = stock::FindLot(db, key);
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
        }
        db.Exec(
            QStringLiteral("INSERT INTO \"STAVKE_INVENTURA\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_INVENTURE\", \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", "
                           "\"N_CIJENA\", \"V_CIJENA\", \"KNJIZNO_KOLICINA\", "
                           "\"KNJIZNO_VRIJEDNOST\", \"STVARNO_KOLICINA\", "
                           "\"STVARNO_VRIJEDNOST\", \"GRUPA_POREZA\", \"POREZ_%\") VALUES (?, "
                           "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'PDV', 25)"),
            {w, y, number, line.lot, line.article, lot->costPrice, lot->sellingPrice, lot->quantity,
             lot->quantity * lot->sellingPrice, line.counted, line.counted * lot->sellingPrice});
        difference += (line.counted - lot->quantity) * lot->sellingPrice;
        db.Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = ?, \"KOLICINA_PRIVREMENO\" = "
                               "? WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = "
                               "? AND \"SIFRA_ARTIKLA\" = ?"),
                {RoundQuantity(line.counted),
                 RoundQuantity(lot->freeQuantity + line.counted - lot->quantity), w, y, line.lot,
                 line.article});
    }
    tradebook::Entry entry;
    entry.warehouse = w;
    entry.year = y;
    entry.type = QStringLiteral("INVENTURA");
    entry.documentNumber = number;
    entry.date = date;
    entry.description = QStringLiteral("INVENTURA ") + QString::number(number);
    entry.purchaseValue = difference;
    tradebook::AppendEntry(db, Book::Wholesale, entry, position);
    stock::CheckStockAgainstCard(m_session);
    transaction.Commit();
    return number;
}

}  // namespace zodra::test
