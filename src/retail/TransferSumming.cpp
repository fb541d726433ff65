#include "retail/TransferSumming.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/StockMethod.h"
#include "data/Transaction.h"
#include "documents/IssuePosting.h"
#include "stock/AverageCost.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::retail {

namespace {

const QString kTitle = QStringLiteral("Z izvještaj");

struct Generated {
    int transfer = 0;
    int receipt = 0;           // 0 when the transfer recorded none
    int transferPosition = 0;  // trade-book positions: the transfer's in its warehouse,
    int receiptPosition = 0;   // the receipt's in the register's
};

// Whether the article card of a warehouse has a row strictly between two trade-book positions
// that meets the condition, for the articles the subquery names. Parameters: warehouse, year,
// the two positions, then the condition's own and the subquery's.
bool CardRowBetween(Database& db, const QString& condition, const QString& articles,
                    const QVariantList& params) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"KARTICA_ARTIKLA\" k WHERE k.\"SKLADISTE\" = ? "
                               "AND k.\"GODINA\" = ? AND k.\"RBR\" > ? AND k.\"RBR\" < ? AND (") +
                    condition + QStringLiteral(") AND k.\"ARTIKAL\" IN (") + articles +
                    QStringLiteral(") LIMIT 1"),
                params)
        .isValid();
}

// Whether `later` may join the fold kept by `first` (the earliest of a day): its goods then
// leave the source and enter the register at `first`'s positions. That moves nothing another
// document relies on only while, for its articles,
//  - no goods came into the source in between (a receipt, a cancellation, a return, a count):
//    an issue moved before them could take goods the source did not have yet, change the
//    average they were issued at, and escape the deletion guard of a receipt that looks for
//    issues after it;
//  - no stock count lies in between in either warehouse: a count fixed the quantity of its
//    moment;
//  - under the last price, no other goods came into the register in between: their cost would
//    otherwise follow the moved goods' instead of preceding it.
// Under the average the sales in between do take the moved goods into their average: the
// caller replays it.
bool CanJoin(Database& db, StockMethod method, int source, int destination, int year,
             const QString& date, const Generated& first, const Generated& later) {
    if (later.transferPosition <= first.transferPosition ||
        (later.receipt != 0 && later.receiptPosition <= first.receiptPosition)) {
        return false;
    }
    const QString transferArticles = QStringLiteral(
        "SELECT \"SIFRA_ARTIKLA\" FROM \"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE\" WHERE "
        "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_MEDUSKLADISNICE\" = ?");
    if (CardRowBetween(db,
                       QStringLiteral("(k.\"KOLIČINA ULAZ\" <> 0 AND k.\"TIP_DOKUMENTA\" NOT IN "
                                      "('IZMJENA CIJENA', 'STORNO IZMJENE CIJENA')) OR "
                                      "k.\"TIP_DOKUMENTA\" = 'INVENTURA'"),
                       transferArticles,
                       {source, year, first.transferPosition, later.transferPosition, source, year,
                        later.transfer})) {
        return false;
    }
    if (later.receipt == 0) {
        return true;
    }
    const QString receiptArticles = QStringLiteral(
        "SELECT \"SIFRA\" FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? "
        "AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART'");
    QString condition = QStringLiteral("k.\"TIP_DOKUMENTA\" = 'INVENTURA'");
    QVariantList params{destination, year, first.receiptPosition, later.receiptPosition,
                        destination, year, later.receipt};
    if (method == StockMethod::LastPrice) {
        // The day's other receipts from this source are the fold's own.
        condition += QStringLiteral(
            " OR (k.\"KOLIČINA ULAZ\" <> 0 AND k.\"TIP_DOKUMENTA\" NOT IN ('IZMJENA CIJENA', "
            "'STORNO IZMJENE CIJENA') AND NOT (k.\"TIP_DOKUMENTA\" = 'PRIMKA' AND "
            "k.\"BROJ_DOKUMENTA\" IN (SELECT \"BROJ_ODREDISNE_PRIMKE\" FROM "
            "\"MALOPRODAJNE_MEDUSKLADISNICE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
            "\"ODREDISNO_SKLADISTE\" = ? AND \"DATUM\" = ?)))");
        params = {destination, year, first.receiptPosition, later.receiptPosition,
                  source,      year, destination,           date,
                  destination, year, later.receipt};
    }
    return !CardRowBetween(db, condition, receiptArticles, params);
}

// Adds the values of one wholesale trade-book entry to another and deletes the first. The
// balances are recomputed by the caller once every entry has moved.
void FoldEntry(Database& db, int warehouse, int year, const QString& type, int from, int into) {
    const auto source =
        tradebook::FindDocumentEntry(db, tradebook::Book::Wholesale, warehouse, type, year, from);
    const auto target =
        tradebook::FindDocumentEntry(db, tradebook::Book::Wholesale, warehouse, type, year, into);
    if (!source) {
        return;
    }
    if (target) {
        db.Exec(
            QStringLiteral(
                "UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET \"NABAVA_VRIJEDNOST\" = "
                "COALESCE(\"NABAVA_VRIJEDNOST\", 0) + (SELECT COALESCE(s.\"NABAVA_VRIJEDNOST\", "
                "0) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" s WHERE s.\"SKLADISTE\" = ? AND "
                "s.\"GODINA\" = ? AND s.\"RBR\" = ?), \"PRODAJA_VRIJEDNOST\" = "
                "COALESCE(\"PRODAJA_VRIJEDNOST\", 0) + (SELECT "
                "COALESCE(s.\"PRODAJA_VRIJEDNOST\", 0) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" s "
                "WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"RBR\" = ?), "
                "\"PRODAJA_POREZ\" = COALESCE(\"PRODAJA_POREZ\", 0) + (SELECT "
                "COALESCE(s.\"PRODAJA_POREZ\", 0) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" s WHERE "
                "s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"RBR\" = ?), "
                "\"PRODAJA_UKUPNO\" = COALESCE(\"PRODAJA_UKUPNO\", 0) + (SELECT "
                "COALESCE(s.\"PRODAJA_UKUPNO\", 0) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" s WHERE "
                "s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"RBR\" = ?) WHERE "
                "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"RBR\" = ?"),
            {warehouse, year, *source, warehouse, year, *source, warehouse, year, *source,
             warehouse, year, *source, warehouse, year, *target});
    }
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, warehouse, type, year, from,
                                   false);
}

// The kept transfer's receipt takes the lines of a folded transfer's receipt, numbered after
// its own.
void FoldReceipt(Database& db, int warehouse, int year, int from, int into) {
    const int last = sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT COALESCE(MAX(\"RBR_STAVKE\"), 0) FROM \"STAVKE_PRIMKI\" WHERE "
                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ?"),
        {warehouse, year, into}));
    db.Exec(QStringLiteral("UPDATE \"STAVKE_PRIMKI\" SET \"BROJ_PRIMKE\" = ?, \"RBR_STAVKE\" = "
                           "COALESCE(\"RBR_STAVKE\", 0) + ? WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ?"),
            {into, last, warehouse, year, from});
    FoldEntry(db, warehouse, year, QStringLiteral("PRIMKA"), from, into);
    db.Exec(QStringLiteral("DELETE FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                           "\"BROJ PRIMKE\" = ?"),
            {warehouse, year, from});
}

}  // namespace

QString TransferSumQuestion() {
    return QStringLiteral("Želite li sumirati međuskladišnice i primke ?");
}

QString TransferSumDatePrompt() {
    return QStringLiteral("Upišite datum za sumiranje međuskladišnica i primki.");
}

QString TransferSumDateTitle() {
    return QStringLiteral("Unos datuma");
}

QString TransferSumBadDate() {
    return QStringLiteral(
        "Datum za sumiranje međuskladišnica i primki nije ispravno upisan. Pokušajte ponovo.");
}

QString TransferSumFifoRefusal() {
    return QStringLiteral(
        "Sumiranje međuskladišnica i primki nije podržano ako se skladište vodi po FIFO metodi.");
}

SummedTransfers SumRetailTransfers(Session& session, const QDate& upTo) {
    if (session.stockMethod == StockMethod::Fifo) {
        throw UserError(TransferSumFifoRefusal());
    }
    Database& db = session.Db();
    const int destination = session.activeWarehouse.code;
    const int year = session.businessYear;
    const QString transferType =
        documents::CostFamilyOf(DocumentKind::RetailTransfer).tradeBookType;
    Transaction transaction(db);
    // Per source warehouse and date, in number order (which is also trade-book order).
    std::map<std::pair<int, QString>, std::vector<Generated>> days;
    {
        // A receipt posted while the warehouse was kept by FIFO is a lot of its own (the article
        // card maps its lines to it): such a transfer stays as it is.
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT m.\"SKLADISTE\", m.\"DATUM\", m.\"BROJ_MEDUSKLADISNICE\", "
            "COALESCE(m.\"BROJ_ODREDISNE_PRIMKE\", 0), COALESCE(m.\"RBR_TK\", 0), "
            "COALESCE(p.\"RBR_TK\", 0) FROM \"MALOPRODAJNE_MEDUSKLADISNICE\" m LEFT JOIN "
            "\"PRIMKE\" p ON p.\"SKLADISTE\" = m.\"ODREDISNO_SKLADISTE\" AND p.\"GODINA\" = "
            "m.\"GODINA\" AND p.\"BROJ PRIMKE\" = m.\"BROJ_ODREDISNE_PRIMKE\" WHERE "
            "m.\"ODREDISNO_SKLADISTE\" = ? AND m.\"GODINA\" = ? AND m.\"DATUM\" <= ? AND "
            "m.\"STORNO\" = FALSE AND (p.\"BROJ PRIMKE\" IS NULL OR p.\"SkladisnaMetoda\" IN (?, "
            "?)) ORDER BY m.\"SKLADISTE\", m.\"DATUM\", m.\"BROJ_MEDUSKLADISNICE\""));
        rows.Exec({destination, year, upTo, StockMethodText(StockMethod::Average),
                   StockMethodText(StockMethod::LastPrice)});
        while (rows.Next()) {
            days[{rows.Int(0), rows.Text(1)}].push_back(
                {rows.Int(2), rows.Int(3), rows.Int(4), rows.Int(5)});
        }
    }
    SummedTransfers summed;
    std::set<int> sources;
    // Under the average, the articles whose pooled average is replayed, per warehouse, from the
    // earliest position the fold changed.
    std::map<std::pair<int, int>, int> replayFrom;
    const auto replay = [&](int warehouse, int position, const QString& articles, int number) {
        Statement rows = db.Prepare(articles);
        rows.Exec({warehouse, year, number});
        while (rows.Next()) {
            const auto [at, added] = replayFrom.try_emplace({warehouse, rows.Int(0)}, position);
            if (!added) {
                at->second = std::min(at->second, position);
            }
        }
    };
    for (const auto& [day, transfers] : days) {
        const int source = day.first;
        // Runs that may fold, each into its first.
        std::vector<std::vector<Generated>> runs;
        for (const Generated& t : transfers) {
            if (runs.empty() || !CanJoin(db, session.stockMethod, source, destination, year,
                                         day.second, runs.back().front(), t)) {
                runs.push_back({t});
            } else {
                runs.back().push_back(t);
            }
        }
        for (const std::vector<Generated>& run : runs) {
            if (run.size() < 2) {
                continue;
            }
            const Generated& kept = run.front();
            sources.insert(source);
            ++summed.groupsKept;
            for (size_t i = 1; i < run.size(); ++i) {
                const Generated& folded = run[i];
                db.Exec(QStringLiteral("UPDATE \"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE\" SET "
                                       "\"BROJ_MEDUSKLADISNICE\" = ? WHERE \"SKLADISTE\" = ? AND "
                                       "\"GODINA\" = ? AND \"BROJ_MEDUSKLADISNICE\" = ?"),
                        {kept.transfer, source, year, folded.transfer});
                FoldEntry(db, source, year, transferType, folded.transfer, kept.transfer);
                db.Exec(QStringLiteral("DELETE FROM \"MALOPRODAJNE_MEDUSKLADISNICE\" WHERE "
                                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                       "\"BROJ_MEDUSKLADISNICE\" = ?"),
                        {source, year, folded.transfer});
                if (folded.receipt != 0 && kept.receipt != 0) {
                    FoldReceipt(db, destination, year, folded.receipt, kept.receipt);
                }
                // The sales that brought their goods this way name the documents that now hold
                // them. Transfer numbers run per source warehouse; the receipt tells them apart.
                const QString repoint = QStringLiteral(
                    "\" SET \"MALOPRODAJNA_MEDUSKLADISNICA\" = ?, \"MALOPRODAJNA_PRIMKA\" = ? "
                    "WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                    "\"MALOPRODAJNA_MEDUSKLADISNICA\" = ? AND COALESCE(\"MALOPRODAJNA_PRIMKA\", 0) "
                    "= ?");
                const QVariantList values{kept.transfer, kept.receipt,    destination,
                                          year,          folded.transfer, folded.receipt};
                db.Exec(QStringLiteral("UPDATE \"RACUNI") + repoint, values);
                transaction.DeferDetail(QStringLiteral("UPDATE \"RACUNI_DETALJNO") + repoint,
                                        values);
                ++summed.transfersFolded;
            }
            if (session.stockMethod == StockMethod::Average) {
                replay(source, kept.transferPosition,
                       QStringLiteral("SELECT DISTINCT \"SIFRA_ARTIKLA\" FROM "
                                      "\"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE\" WHERE \"SKLADISTE\" "
                                      "= ? AND \"GODINA\" = ? AND \"BROJ_MEDUSKLADISNICE\" = ?"),
                       kept.transfer);
                if (kept.receipt != 0) {
                    replay(destination, kept.receiptPosition,
                           QStringLiteral("SELECT DISTINCT \"SIFRA\" FROM \"STAVKE_PRIMKI\" WHERE "
                                          "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                          "\"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART'"),
                           kept.receipt);
                }
            }
        }
    }
    // The sales between the kept and the folded documents now see the moved goods in their
    // average. Sources first: a transfer whose cost changes passes it on to its receipt.
    for (const bool sourceSide : {true, false}) {
        for (const auto& [key, position] : replayFrom) {
            if ((key.first != destination) == sourceSide) {
                stock::RecomputeAverageCost(db, key.first, year, key.second, position);
            }
        }
    }
    for (const int source : sources) {
        tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, source, year);
    }
    if (summed.transfersFolded > 0) {
        tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, destination, year);
        stock::CheckStockAgainstCard(session, std::vector<int>(sources.begin(), sources.end()));
    }
    transaction.Commit();
    return summed;
}

bool TransferSumStep(Session& session, Prompter& prompter, const QDate& today) {
    if (!session.company.sumTransfersAndReceipts ||
        !prompter.AskYesNo(TransferSumQuestion(), kTitle, false)) {
        return false;
    }
    if (session.stockMethod == StockMethod::Fifo) {
        prompter.Inform(TransferSumFifoRefusal(), kTitle);
        return false;
    }
    std::optional<QDate> upTo;
    while (!upTo) {
        const std::optional<QString> typed = prompter.AskText(
            TransferSumDatePrompt(), TransferSumDateTitle(), inputrules::FormatDate(today));
        if (!typed) {
            return false;
        }
        upTo = inputrules::ParseDate(*typed, today);
        if (!upTo) {
            prompter.Inform(TransferSumBadDate(), TransferSumDateTitle());
        }
    }
    try {
        SumRetailTransfers(session, *upTo);
    } catch (const UserError& e) {
        prompter.Inform(e.message(), kTitle);
        return false;
    }
    return true;
}

}  // namespace zodra::retail
