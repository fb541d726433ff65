#include "purchasing/ReceiptCorrection.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptLimits.h"
#include "purchasing/ReceiptLines.h"
#include "stock/AverageCost.h"
#include "stock/LotMethod.h"
#include "stock/LotTable.h"
#include "stock/Lots.h"
#include "stock/NumberText.h"
#include "stock/ReceiptCost.h"
#include "stock/ReceiptGuards.h"
#include "stock/ReceiptLots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::purchasing {

QString NoSuchReceiptMessage(int number) {
    return QStringLiteral("Ne postoji proknjižena primka broj ") + QString::number(number);
}

QString CorrectionCaption(int number, const QString& supplierName) {
    return QStringLiteral("Primka br.") + QString::number(number) + QStringLiteral(" - ") +
           supplierName;
}

std::optional<PostedReceipt> ReadPostedReceipt(Database& db, int warehouse, int year, int number) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT h.\"DATUM\", h.\"SIFRA DOBAVLJACA\", h.\"DOKUMENT DOBAVLJACA\", h.\"DATUM "
        "DOKUMENTA DOBAVLJACA\", h.\"TIP_PRIMKE\", h.\"SkladisnaMetoda\", h.\"RBR_TK\", "
        "h.\"STORNO_ZA_PRIMKU\", p.\"NAZIV\", (SELECT c.\"BROJ PRIMKE\" FROM \"PRIMKE\" c WHERE "
        "c.\"SKLADISTE\" = h.\"SKLADISTE\" AND c.\"GODINA\" = h.\"GODINA\" AND "
        "c.\"STORNO_ZA_PRIMKU\" = h.\"BROJ PRIMKE\" LIMIT 1) FROM \"PRIMKE\" h LEFT JOIN "
        "\"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA DOBAVLJACA\" WHERE h.\"SKLADISTE\" = ? AND "
        "h.\"GODINA\" = ? AND h.\"BROJ PRIMKE\" = ?"));
    s.Exec({warehouse, year, number});
    if (!s.Next()) {
        return std::nullopt;
    }
    PostedReceipt r;
    r.header.number = number;
    r.header.date = sqlvalue::ToDate(s.Value(0));
    if (!s.IsNull(1)) {
        r.header.supplier = s.Int(1);
    }
    r.header.supplierDocument = s.Text(2);
    r.header.supplierDocumentDate = sqlvalue::ToDate(s.Value(3));
    r.header.type = s.IsNull(4) ? 1 : s.Int(4);
    r.method = ParseStockMethod(s.Text(5)).value_or(StockMethod::Fifo);
    r.tradeBookPosition = s.Int(6);
    if (!s.IsNull(7)) {
        r.cancels = s.Int(7);
    }
    r.supplierName = s.Text(8);
    if (!s.IsNull(9)) {
        r.cancelledBy = s.Int(9);
    }
    return r;
}

namespace {

ReceiptTarget Target(Session& session, int number) {
    return ReceiptTarget::Posted(session, number);
}

stock::ReceiptHeader RequireHeader(Database& db, const ReceiptTarget& t) {
    std::optional<stock::ReceiptHeader> header =
        stock::ReadReceiptHeader(db, {t.warehouse, t.year, t.number});
    if (!header) {
        throw UserError(NoSuchReceiptMessage(t.number));
    }
    return *header;
}

// The receipt's trade-book entry follows its article lines (value Σ VRIJEDNOST), its date and
// its supplier's document. A receipt that had no article lines gets its entry (and with it its
// position) when its first article line is added.
void SyncTradeBook(Database& db, const ReceiptTarget& t) {
    const ReceiptTotals totals = receiptlines::Totals(db, t);
    Statement h =
        db.Prepare(QStringLiteral("SELECT \"DATUM\", \"DOKUMENT DOBAVLJACA\" FROM \"PRIMKE\" WHERE "
                                  "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"));
    h.Exec({t.warehouse, t.year, t.number});
    if (!h.Next()) {
        return;
    }
    const QDate date = sqlvalue::ToDate(h.Value(0));
    const QString description = TradeBookDescription(t.number, h.Text(1));
    h.Finish();
    const std::optional<int> entry = tradebook::FindDocumentEntry(
        db, tradebook::Book::Wholesale, t.warehouse, QStringLiteral("PRIMKA"), t.year, t.number);
    if (entry) {
        db.Exec(QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET "
                               "\"NABAVA_VRIJEDNOST\" = ?, \"DATUM\" = ?, \"OPIS\" = ? WHERE "
                               "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"RBR\" = ?"),
                {totals.articleValue, date, description, t.warehouse, t.year, *entry});
        tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, t.warehouse, t.year);
        return;
    }
    if (totals.articleLines == 0) {
        return;
    }
    tradebook::Entry e;
    e.warehouse = t.warehouse;
    e.year = t.year;
    e.type = QStringLiteral("PRIMKA");
    e.documentNumber = t.number;
    e.date = date;
    e.description = description;
    e.purchaseValue = totals.articleValue;
    const int position = tradebook::AppendEntry(db, tradebook::Book::Wholesale, e);
    db.Exec(QStringLiteral("UPDATE \"PRIMKE\" SET \"RBR_TK\" = ? WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
            {position, t.warehouse, t.year, t.number});
}

stock::ReceiptLine LotLine(const ReceiptRow& row) {
    return stock::ReceiptLine{row.code, row.quantity, row.costPrice, row.price, row.retailMargin};
}

// Under the last-price method a receipt generates at most one price change, so a receipt that
// has one takes no further line that would reprice the stock on hand.
void CheckLastPriceLine(Database& db, const stock::ReceiptHeader& h, const ReceiptRow& row) {
    if (h.method != StockMethod::LastPrice || h.priceChange == 0) {
        return;
    }
    const std::optional<stock::Lot> lot =
        stock::FindLot(db, {h.key.warehouse, h.key.year, stock::kPooledLot, row.code});
    if (lot && !QuantityIsZero(lot->quantity) &&
        RoundQuantity(lot->sellingPrice) != RoundQuantity(row.price)) {
        throw UserError(QStringLiteral("Prodajna cijena artikla '") +
                        stock::ArticleName(db, row.code) + QStringLiteral("' na zalihi (") +
                        stock::NumberText(lot->sellingPrice) +
                        QStringLiteral(") nije ista prodajnoj cijeni na stavci (") +
                        stock::NumberText(row.price) +
                        QStringLiteral("), a primka je već napravila izmjenu cijena. Nije "
                                       "dozvoljeno knjiženje."));
    }
}

void PutIntoLots(Database& db, const stock::ReceiptHeader& h, const ReceiptRow& row) {
    if (row.kind != ArticleKind()) {
        return;
    }
    stock::LotTable lots(db);
    std::unique_ptr<stock::LotMethod> method = stock::MakeLotMethod(h.method);
    method->Receive(lots, h, LotLine(row));
    method->FinishReceipt(lots, h);
    if (h.method != StockMethod::Fifo) {
        // The receipt lies in the past: the issues after it follow the new average.
        stock::RecomputeAverageCost(db, h.key.warehouse, h.key.year, row.code, h.tradeBookPosition);
    }
}

// Takes one article line out of its lot (after the guards): its quantity, cost value and
// selling value leave the lot; a lot brought to zero goes when no line of its article remains.
void TakeOutOfLots(Database& db, const stock::ReceiptHeader& h, const ReceiptRow& row,
                   bool articleRemains) {
    if (row.kind != ArticleKind()) {
        return;
    }
    stock::LotTable lots(db);
    if (h.method != StockMethod::Fifo) {
        std::unique_ptr<stock::LotMethod> method = stock::MakeLotMethod(h.method);
        method->Remove(lots, h,
                       stock::ReceiptArticle{row.code, row.quantity, row.quantity * row.costPrice,
                                             row.quantity * row.price, 0});
        return;
    }
    const stock::LotKey key{h.key.warehouse, h.key.year, h.key.number, row.code};
    std::optional<stock::Lot> lot = lots.Find(key);
    if (!lot) {
        return;
    }
    const double rest = lot->quantity - row.quantity;
    if (QuantityIsZero(rest)) {
        if (!articleRemains) {
            lots.Delete(key);
            return;
        }
    } else {
        lot->costPrice = (lot->quantity * lot->costPrice - row.quantity * row.costPrice) / rest;
        lot->sellingPrice = (lot->quantity * lot->sellingPrice - row.quantity * row.price) / rest;
    }
    lot->quantity = RoundQuantity(rest);
    lot->freeQuantity = RoundQuantity(lot->freeQuantity - row.quantity);
    lots.Update(*lot);
}

bool ArticleRemains(Database& db, const ReceiptTarget& t, int article, int exceptLine) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND "
                               "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART' "
                               "AND \"SIFRA\" = ? AND \"RBR_STAVKE\" <> ? LIMIT 1"),
                {t.warehouse, t.year, t.number, article, exceptLine})
        .isValid();
}

// Removes a line (guards first), its packaging with it.
ReceiptRow RemoveLine(Database& db, const ReceiptTarget& t, const stock::ReceiptHeader& h,
                      int lineNumber) {
    const std::optional<ReceiptRow> row = receiptlines::Read(db, t, lineNumber);
    if (!row) {
        throw UserError(QStringLiteral("Nije pronađena stavka primke."));
    }
    if (row->kind == ArticleKind()) {
        stock::CheckLineCanBeDeleted(db, h, row->code, row->quantity);
    }
    TakeOutOfLots(db, h, *row, ArticleRemains(db, t, row->code, lineNumber));
    receiptlines::Delete(db, t, lineNumber);
    if (row->kind == ArticleKind()) {
        receiptlines::AddPackagingOfArticle(db, t, row->code, -row->quantity);
    }
    return *row;
}

// Writes a line under its line number, its packaging and its lots.
void WriteLine(Database& db, const ReceiptTarget& t, ReceiptRow row) {
    receiptlines::Insert(db, t, row);
    if (row.kind == ArticleKind()) {
        receiptlines::AddPackagingOfArticle(db, t, row.code, row.quantity);
    }
    // A receipt that had no article line gets its position now, before its lots are valued.
    SyncTradeBook(db, t);
    PutIntoLots(db, RequireHeader(db, t), row);
}

}  // namespace

void UpdatePostedHeader(Session& session, int number, const ReceiptHeaderData& header) {
    Database& db = session.Db();
    const ReceiptTarget t = Target(session, number);
    const std::optional<PostedReceipt> stored = ReadPostedReceipt(db, t.warehouse, t.year, number);
    if (!stored) {
        throw UserError(NoSuchReceiptMessage(number));
    }
    // Only what the user typed is checked: a generated text may be longer.
    if (header.supplierDocument != stored->header.supplierDocument) {
        CheckSupplierDocument(header.supplierDocument);
    }
    if (!header.date.isValid()) {
        throw UserError(
            QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
    }
    // The number stays what it is; the dates and the text follow the limits.
    ReceiptHeaderData checked = header;
    checked.number = 0;
    CheckHeaderLimits(checked, session.businessYear);
    Transaction transaction(db);
    db.Exec(
        QStringLiteral("UPDATE \"PRIMKE\" SET \"DATUM\" = ?, \"SIFRA DOBAVLJACA\" = ?, "
                       "\"DOKUMENT DOBAVLJACA\" = ?, \"DATUM DOKUMENTA DOBAVLJACA\" = ? WHERE "
                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
        {header.date, header.supplier ? QVariant(*header.supplier) : QVariant(),
         header.supplierDocument,
         header.supplierDocumentDate.isValid() ? QVariant(header.supplierDocumentDate) : QVariant(),
         t.warehouse, t.year, number});
    SyncTradeBook(db, t);
    transaction.Commit();
}

int AddPostedLine(Session& session, int number, ReceiptRow row) {
    Database& db = session.Db();
    const ReceiptTarget t = Target(session, number);
    Transaction transaction(db);
    const stock::ReceiptHeader h = RequireHeader(db, t);
    if (row.kind == ArticleKind()) {
        stock::CheckLineCanBeAdded(db, h, row.code);
    }
    CheckLastPriceLine(db, h, row);
    row.lineNumber = receiptlines::NextLineNumber(db, t);
    WriteLine(db, t, row);
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
    return row.lineNumber;
}

void ReplacePostedLine(Session& session, int number, int lineNumber, ReceiptRow row) {
    Database& db = session.Db();
    const ReceiptTarget t = Target(session, number);
    Transaction transaction(db);
    const stock::ReceiptHeader h = RequireHeader(db, t);
    RemoveLine(db, t, h, lineNumber);
    CheckLastPriceLine(db, RequireHeader(db, t), row);
    row.lineNumber = lineNumber;
    WriteLine(db, t, row);
    SyncTradeBook(db, t);
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
}

void DeletePostedLine(Session& session, int number, int lineNumber) {
    Database& db = session.Db();
    const ReceiptTarget t = Target(session, number);
    Transaction transaction(db);
    const stock::ReceiptHeader h = RequireHeader(db, t);
    RemoveLine(db, t, h, lineNumber);
    SyncTradeBook(db, t);
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
}

void AddPostedPackaging(Session& session, int number, int packaging, double quantity) {
    limits::RequireNumber(quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    Database& db = session.Db();
    const ReceiptTarget t = Target(session, number);
    Transaction transaction(db);
    RequireHeader(db, t);
    receiptlines::AddPackaging(db, t, packaging, quantity);
    transaction.Commit();
}

void ApplySummaryToPosted(Session& session, int number, const ReceiptSummary& summary) {
    CheckSummaryLimits(summary);
    Database& db = session.Db();
    const ReceiptTarget t = Target(session, number);
    Transaction transaction(db);
    const stock::ReceiptHeader h = RequireHeader(db, t);
    const ReceiptTotals totals = receiptlines::Totals(db, t);
    ApplyPercentages(db, t, PercentagesOf(summary, totals.packagingValue),
                     summary.customsFromArticles);
    std::vector<int> articles;
    {
        Statement s = db.Prepare(QStringLiteral(
            "SELECT DISTINCT \"SIFRA\" FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND "
            "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART'"));
        s.Exec({t.warehouse, t.year, number});
        while (s.Next()) {
            articles.push_back(s.Int(0));
        }
    }
    for (int article : articles) {
        stock::ApplyReceiptCostChange(db, h.key, article);
    }
    db.Exec(QStringLiteral("UPDATE \"PRIMKE\" SET \"VALUTA\" = ?, \"DATUM_VALUTE\" = ? WHERE "
                           "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
            {summary.currency > 0 ? summary.currency : 1,
             summary.IsForeign() && summary.rateDate.isValid() ? QVariant(summary.rateDate)
                                                               : QVariant(),
             t.warehouse, t.year, number});
    WriteDependentCosts(db, t.warehouse, t.year, number, summary.items);
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
}

}  // namespace zodra::purchasing
