#include "stock/ReceiptLots.h"

#include <map>
#include <stdexcept>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "stock/LotMethod.h"
#include "stock/LotTable.h"
#include "stock/TradeBook.h"

namespace zodra::stock {

namespace {

ReceiptHeader RequireHeader(Database& db, const ReceiptKey& key) {
    std::optional<ReceiptHeader> header = ReadReceiptHeader(db, key);
    if (!header) {
        throw std::logic_error("the receipt's header must be written before its lots");
    }
    return *header;
}

}  // namespace

std::optional<ReceiptHeader> ReadReceiptHeader(Database& db, const ReceiptKey& key) {
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"DATUM\", \"SkladisnaMetoda\", \"RBR_TK\", \"IZMJENA_CIJENA\" FROM \"PRIMKE\" "
        "WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"));
    row.Exec({key.warehouse, key.year, key.number});
    if (!row.Next()) {
        return std::nullopt;
    }
    ReceiptHeader header;
    header.key = key;
    header.date = sqlvalue::ToDate(row.Value(0));
    const QString method = row.Text(1);
    const std::optional<StockMethod> parsed = ParseStockMethod(method);
    if (!parsed) {
        throw UserError(QStringLiteral("Primka broj ") + QString::number(key.number) +
                        QStringLiteral(" nema ispravno upisanu skladišnu metodu (") + method +
                        QStringLiteral(")."));
    }
    header.method = *parsed;
    header.tradeBookPosition = row.Int(2);
    header.priceChange = row.Int(3);
    return header;
}

void PostReceiptIntoLots(Database& db, const ReceiptKey& receipt) {
    Transaction transaction(db);
    const ReceiptHeader header = RequireHeader(db, receipt);
    std::vector<ReceiptLine> lines;
    {
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT \"SIFRA\", \"KOLICINA\", \"NABAVNA_CIJENA\", \"CIJENA\", "
            "\"MALOPRODAJNA_MARZA\" FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" "
            "= ? AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART' ORDER BY \"RBR_STAVKE\""));
        rows.Exec({receipt.warehouse, receipt.year, receipt.number});
        while (rows.Next()) {
            ReceiptLine line;
            line.article = rows.Int(0);
            line.quantity = rows.Double(1);
            line.cost = rows.Double(2);
            line.sellingPrice = rows.Double(3);
            if (!rows.IsNull(4)) {
                line.retailMargin = rows.Double(4);
            }
            lines.push_back(line);
        }
    }
    LotTable lots(db);
    std::unique_ptr<LotMethod> method = MakeLotMethod(header.method);
    for (const ReceiptLine& line : lines) {
        method->Receive(lots, header, line);
    }
    method->FinishReceipt(lots, header);
    transaction.Commit();
}

void RemoveReceiptFromLots(Database& db, const ReceiptKey& receipt) {
    Transaction transaction(db);
    const ReceiptHeader header = RequireHeader(db, receipt);
    // The lines of each article are taken out together: one lot per article, whatever the
    // method, and the repricing of a last-price receipt belongs to the article, not a line.
    std::vector<ReceiptArticle> articles;
    std::map<int, size_t> index;
    {
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT \"SIFRA\", \"KOLICINA\", \"NABAVNA_CIJENA\", \"CIJENA\" FROM "
            "\"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? "
            "AND \"TIP_STAVKE\" = 'ART' ORDER BY \"RBR_STAVKE\""));
        rows.Exec({receipt.warehouse, receipt.year, receipt.number});
        while (rows.Next()) {
            const int article = rows.Int(0);
            auto [it, added] = index.try_emplace(article, articles.size());
            if (added) {
                articles.push_back(ReceiptArticle{article, 0, 0, 0, 0});
            }
            ReceiptArticle& a = articles[it->second];
            const double q = rows.Double(1);
            a.quantity += q;
            a.costValue += q * rows.Double(2);
            a.sellingValue += q * rows.Double(3);
        }
    }
    // The price change the receipt generated: its own number on the header, else the one that
    // names the receipt. Its lines are found by that number and the article.
    int priceChange = header.priceChange;
    if (priceChange == 0) {
        priceChange = sqlvalue::ToInt(db.Scalar(
            QStringLiteral("SELECT MAX(\"BROJ_IZMJENE_CIJENA\") FROM \"IZMJENE_CIJENA\" WHERE "
                           "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ?"),
            {receipt.warehouse, receipt.year, receipt.number}));
    }
    if (priceChange != 0) {
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT \"ARTIKAL\", SUM((\"NOVA_CIJENA\" - \"STARA_CIJENA\") * \"KOLICINA\") FROM "
            "\"STAVKE_IZMJENA_CIJENA\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
            "\"BROJ_IZMJENE_CIJENA\" = ? GROUP BY \"ARTIKAL\""));
        rows.Exec({receipt.warehouse, receipt.year, priceChange});
        while (rows.Next()) {
            auto it = index.find(rows.Int(0));
            if (it != index.end()) {
                articles[it->second].repricingValue = rows.Double(1);
            }
        }
    }
    LotTable lots(db);
    std::unique_ptr<LotMethod> method = MakeLotMethod(header.method);
    for (const ReceiptArticle& article : articles) {
        method->Remove(lots, header, article);
    }
    const int w = receipt.warehouse;
    const int y = receipt.year;
    int entries = 0;
    if (priceChange != 0) {
        db.Exec(QStringLiteral("DELETE FROM \"STAVKE_IZMJENA_CIJENA\" WHERE \"SKLADISTE\" = ? AND "
                               "\"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?"),
                {w, y, priceChange});
        db.Exec(QStringLiteral("DELETE FROM \"IZMJENE_CIJENA\" WHERE \"SKLADISTE\" = ? AND "
                               "\"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?"),
                {w, y, priceChange});
        db.Exec(QStringLiteral("UPDATE \"PRIMKE\" SET \"IZMJENA_CIJENA\" = NULL WHERE "
                               "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
                {w, y, receipt.number});
        entries += tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w,
                                                  QStringLiteral("IZMJENA CIJENA"), y, priceChange,
                                                  /*recompute=*/false);
    }
    entries += tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w,
                                              QStringLiteral("PRIMKA"), y, receipt.number,
                                              /*recompute=*/false);
    if (entries > 0) {
        tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, w, y);
    }
    transaction.Commit();
}

}  // namespace zodra::stock
