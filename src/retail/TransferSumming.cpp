#include "retail/TransferSumming.h"

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
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::retail {

namespace {

const QString kTitle = QStringLiteral("Z izvještaj");

struct Generated {
    int transfer = 0;
    int receipt = 0;  // 0 when the transfer recorded none
};

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
    // Per source warehouse and date, in number order: the last one keeps.
    std::map<std::pair<int, QString>, std::vector<Generated>> days;
    {
        // A receipt posted while the warehouse was kept by FIFO is a lot of its own (the article
        // card maps its lines to it): such a transfer stays as it is.
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT m.\"SKLADISTE\", m.\"DATUM\", m.\"BROJ_MEDUSKLADISNICE\", "
            "COALESCE(m.\"BROJ_ODREDISNE_PRIMKE\", 0) FROM \"MALOPRODAJNE_MEDUSKLADISNICE\" m "
            "LEFT JOIN \"PRIMKE\" p ON p.\"SKLADISTE\" = m.\"ODREDISNO_SKLADISTE\" AND "
            "p.\"GODINA\" = m.\"GODINA\" AND p.\"BROJ PRIMKE\" = m.\"BROJ_ODREDISNE_PRIMKE\" "
            "WHERE m.\"ODREDISNO_SKLADISTE\" = ? AND m.\"GODINA\" = ? AND m.\"DATUM\" <= ? AND "
            "m.\"STORNO\" = FALSE AND (p.\"BROJ PRIMKE\" IS NULL OR p.\"SkladisnaMetoda\" IN (?, "
            "?)) ORDER BY m.\"SKLADISTE\", m.\"DATUM\", m.\"BROJ_MEDUSKLADISNICE\""));
        rows.Exec({destination, year, upTo, StockMethodText(StockMethod::Average),
                   StockMethodText(StockMethod::LastPrice)});
        while (rows.Next()) {
            days[{rows.Int(0), rows.Text(1)}].push_back({rows.Int(2), rows.Int(3)});
        }
    }
    SummedTransfers summed;
    std::set<int> sources;
    for (const auto& [day, transfers] : days) {
        if (transfers.size() < 2) {
            continue;
        }
        const int source = day.first;
        const Generated& kept = transfers.back();
        sources.insert(source);
        ++summed.groupsKept;
        for (size_t i = 0; i + 1 < transfers.size(); ++i) {
            const Generated& folded = transfers[i];
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
                "\" SET \"MALOPRODAJNA_MEDUSKLADISNICA\" = ?, \"MALOPRODAJNA_PRIMKA\" = ? WHERE "
                "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"MALOPRODAJNA_MEDUSKLADISNICA\" = ? AND "
                "COALESCE(\"MALOPRODAJNA_PRIMKA\", 0) = ?");
            const QVariantList values{kept.transfer, kept.receipt,    destination,
                                      year,          folded.transfer, folded.receipt};
            db.Exec(QStringLiteral("UPDATE \"RACUNI") + repoint, values);
            transaction.DeferDetail(QStringLiteral("UPDATE \"RACUNI_DETALJNO") + repoint, values);
            ++summed.transfersFolded;
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
