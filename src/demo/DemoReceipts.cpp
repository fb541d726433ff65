#include "demo/DemoReceipts.h"

#include <QRandomGenerator>
#include <vector>

#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "purchasing/CalculationSetup.h"
#include "purchasing/ReceiptEntry.h"
#include "purchasing/ReceiptLines.h"
#include "purchasing/ReceiptPosting.h"

namespace zodra::demo {

namespace {

struct ArticlePrice {
    int article = 0;
    double price = 0;
};

std::vector<int> Codes(Database& db, const QString& sql) {
    std::vector<int> codes;
    Statement s = db.Prepare(sql);
    s.Exec();
    while (s.Next()) {
        codes.push_back(s.Int(0));
    }
    return codes;
}

}  // namespace

int PostDemoReceipts(Session& session, const QDate& today, int perWarehouse,
                     const std::function<void(const QDate& from, const QDate& to)>& between) {
    using namespace purchasing;
    using Box = PriceCalculation::Box;
    Database& db = session.Db();
    QRandomGenerator random(4117);
    ScriptedPrompter quiet;  // the default answers: a repeated article is merged
    const std::vector<int> warehouses =
        Codes(db, QStringLiteral("SELECT \"SIFRA\" FROM \"SKLADISTA\" ORDER BY \"SIFRA\""));
    const std::vector<int> suppliers = Codes(
        db, QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"Dobavljac\" = TRUE AND "
                           "\"SIFRA\" > 2 ORDER BY \"SIFRA\""));
    std::vector<ArticlePrice> articles;
    {
        Statement s = db.Prepare(QStringLiteral(
            "SELECT \"SIFRA\", COALESCE(\"CIJENA_U_VALUTI\", 1) FROM \"ARTIKLI\" ORDER BY "
            "\"SIFRA\""));
        s.Exec();
        while (s.Next()) {
            articles.push_back({s.Int(0), s.Double(1)});
        }
    }
    if (warehouses.empty() || suppliers.empty() || articles.empty()) {
        return 0;
    }
    // The receipts spread over the year up to today, in date order per warehouse.
    const QDate first(today.year(), 1, 2);
    const qint64 span = std::max<qint64>(0, first.daysTo(today));
    int posted = 0;
    // One outer transaction: every posting is a savepoint of it, and the demo stays quick.
    Transaction transaction(db);
    for (int warehouse : warehouses) {
        sessionstart::ChangeWarehouse(session, warehouse);
        const ReceiptTarget working = ReceiptTarget::WorkingCopy(session);
        for (int n = 0; n < perWarehouse; ++n) {
            ReceiptHeaderData header;
            header.number = numbering::NextDocumentNumber(db, DocumentKind::GoodsReceipt, warehouse,
                                                          session.businessYear, 1);
            header.date = first.addDays(span * n / std::max(1, perWarehouse - 1));
            header.supplier = suppliers.at(random.bounded(static_cast<int>(suppliers.size())));
            header.supplierDocument = QStringLiteral("R-%1/%2")
                                          .arg(today.year())
                                          .arg(100 + posted * 7 + n, 4, 10, QLatin1Char('0'));
            header.supplierDocumentDate = header.date.addDays(-1);
            CalculationContext context;
            context.supplier = header.supplier;
            const int lines = 3 + static_cast<int>(random.bounded(6));
            for (int l = 0; l < lines; ++l) {
                const ArticlePrice& a =
                    articles.at(random.bounded(static_cast<int>(articles.size())));
                const double quantity = 6 * (1 + static_cast<int>(random.bounded(20)));
                const ArticleFacts facts = ReadArticleFacts(session, a.article);
                PriceCalculation c =
                    NewCalculation(db, facts, quantity, context, CalculationMode::Entry);
                // The supplier's price: 55 to 70 % of the shelf price, to the cent.
                const double invoice = RoundMoney(a.price * (0.55 + random.bounded(16) / 100.0));
                c.Type(Box::InvoicePrice, invoice);
                AcceptArticleLine(session, quiet, working,
                                  ReceiptRow::FromCalculation(a.article, c, facts.retailMargin),
                                  CalculationMode::Entry);
            }
            std::optional<ReceiptSummary> summary;
            if (n % 4 == 3) {
                // Every fourth invoice has a discount on the whole and a transport cost.
                const ReceiptTotals totals = receiptlines::Totals(db, working);
                ReceiptSummary s;
                s.invoiceValue = totals.invoiceValue;
                s.discount = RoundMoney((totals.invoiceValue - totals.packagingValue) * 0.03);
                s.items = {{QStringLiteral("Prijevoz"), 15.00 + n}};
                summary = AcceptSummary(db, s);
                ApplyPercentages(db, working, PercentagesOf(*summary, totals.packagingValue),
                                 false);
            }
            if (PostReceipt(session, quiet, header, summary)) {
                ++posted;
            }
            if (between) {
                const QDate next = first.addDays(span * (n + 1) / std::max(1, perWarehouse - 1));
                between(header.date, n + 1 < perWarehouse ? next.addDays(-1) : today);
            }
        }
    }
    transaction.Commit();
    return posted;
}

}  // namespace zodra::demo
