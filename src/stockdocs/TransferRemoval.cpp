#include "stockdocs/TransferRemoval.h"

#include <set>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/ReceiptGuards.h"
#include "stock/ReceiptLots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"
#include "stockdocs/LaterStockEvents.h"

namespace zodra::stockdocs {

QString CancelTransferQuestion() {
    return QStringLiteral("Želite li stornirati međuskladišnicu!");
}

QString CancelTransferTitle() {
    return QStringLiteral("Storno");
}

QString NoSuchTransferMessage(int number) {
    return QStringLiteral("Ne postoji proknjižena međuskladišnica broj ") + QString::number(number);
}

QString DestinationReceiptGoneQuestion() {
    return QStringLiteral(
        "Odredišna primka je već stornirana. Želite li nastaviti sa stornom međuskladišnice!");
}

QString DestinationReceiptRefusedMessage() {
    return QStringLiteral(
        "Zbog nemogućnosti storniranja primke storno međuskladišnice je "
        "prekinut.");
}

QString TransferPriceChangeRefusal() {
    return QStringLiteral(
        "Ovu međuskladišnicu nemožete stornirati jer su na artiklima iz "
        "međuskladišnice nakon njenog knjiženja rađene izmjene cijena.");
}

QString TransferStockCountRefusal() {
    return QStringLiteral(
        "Ovu međuskladišnicu nemožete stornirati jer su na artiklima iz "
        "međuskladišnice nakon njenog knjiženja rađene inventure.");
}

namespace {

struct PostedTransfer {
    int position = 0;
    int destination = 0;
    int receipt = 0;  // 0 when none was recorded
    bool receiptExists = false;
    int receiptPosition = 0;
    std::vector<int> articles;
};

PostedTransfer Read(Session& session, int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Statement header = db.Prepare(
        QStringLiteral("SELECT \"RBR_TK\", \"ODREDISNO_SKLADISTE\", \"BROJ_ODREDISNE_PRIMKE\" FROM "
                       "\"MEDUSKLADISNICE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                       "\"BROJ_MEDUSKLADISNICE\" = ? AND \"STORNO\" = FALSE"));
    header.Exec({w, y, number});
    if (!header.Next()) {
        throw UserError(NoSuchTransferMessage(number));
    }
    PostedTransfer t;
    t.position = header.Int(0);
    t.destination = header.Int(1);
    t.receipt = header.IsNull(2) ? 0 : header.Int(2);
    header.Finish();
    if (t.receipt != 0) {
        if (const std::optional<stock::ReceiptHeader> r =
                stock::ReadReceiptHeader(db, {t.destination, y, t.receipt})) {
            t.receiptExists = true;
            t.receiptPosition = r->tradeBookPosition;
        }
    }
    Statement lines = db.Prepare(QStringLiteral(
        "SELECT DISTINCT \"SIFRA_ARTIKLA\" FROM \"STAVKE_MEDUSKLADISNICA\" WHERE \"SKLADISTE\" = "
        "? AND \"GODINA\" = ? AND \"BROJ_MEDUSKLADISNICE\" = ? ORDER BY \"SIFRA_ARTIKLA\""));
    lines.Exec({w, y, number});
    while (lines.Next()) {
        t.articles.push_back(lines.Int(0));
    }
    return t;
}

void Guard(Session& session, const PostedTransfer& t) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    // Each warehouse is asked about its own positions: the source after the transfer, the
    // destination after the receipt the transfer generated there.
    for (int article : t.articles) {
        if (LaterPriceChange(db, w, y, article, std::nullopt, t.position) ||
            (t.receiptExists && LaterPriceChange(db, t.destination, y, article, std::nullopt,
                                                 t.receiptPosition, t.receipt))) {
            throw UserError(TransferPriceChangeRefusal());
        }
    }
    for (int article : t.articles) {
        if (LaterStockCount(db, w, y, article, std::nullopt, t.position) ||
            (t.receiptExists &&
             LaterStockCount(db, t.destination, y, article, std::nullopt, t.receiptPosition))) {
            throw UserError(TransferStockCountRefusal());
        }
    }
    if (t.receiptExists) {
        if (const std::optional<int> by =
                stock::CancellingReceipt(db, {t.destination, y, t.receipt})) {
            throw UserError(stock::CancelledReceiptRefusal(*by) + QLatin1Char('\n') +
                            DestinationReceiptRefusedMessage());
        }
    }
}

}  // namespace

bool CheckTransferCanBeCancelled(Session& session, int number) {
    const PostedTransfer t = Read(session, number);
    Guard(session, t);
    return t.receiptExists;
}

void CancelTransfer(Session& session, int number, const QDate& date, bool withoutReceipt) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    const PostedTransfer t = Read(session, number);
    Guard(session, t);
    if (t.receiptExists) {
        try {
            stock::DeletePostedReceipt(db, {t.destination, y, t.receipt});
        } catch (const UserError& refusal) {
            throw UserError(refusal.message() + QLatin1Char('\n') +
                            DestinationReceiptRefusedMessage());
        }
    } else if (!withoutReceipt) {
        // The receipt went after the user was asked (another workstation deleted it).
        throw UserError(DestinationReceiptRefusedMessage());
    }
    std::set<int> pooled;
    {
        Statement lines = db.Prepare(QStringLiteral(
            "SELECT \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\" FROM "
            "\"STAVKE_MEDUSKLADISNICA\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
            "\"BROJ_MEDUSKLADISNICE\" = ?"));
        lines.Exec({w, y, number});
        struct Line {
            int article, lot;
            double quantity;
        };
        std::vector<Line> all;
        while (lines.Next()) {
            all.push_back({lines.Int(0), lines.Int(1), lines.Double(2)});
        }
        lines.Finish();
        for (const Line& line : all) {
            stock::ReturnToLot(db, {w, y, line.lot, line.article}, line.quantity);
            if (line.lot == stock::kPooledLot) {
                pooled.insert(line.article);
            }
        }
    }
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w,
                                   QStringLiteral("MEĐUSKLADIŠNICA"), y, number);
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_MEDUSKLADISNICA\" WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_MEDUSKLADISNICE\" = ?"),
            {w, y, number});
    db.Exec(QStringLiteral("UPDATE \"MEDUSKLADISNICE\" SET \"STORNO\" = TRUE, \"DATUM_STORNA\" = "
                           "?, \"BROJ_ODREDISNE_PRIMKE\" = NULL WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_MEDUSKLADISNICE\" = ?"),
            {date.isValid() ? date : QDate::currentDate(), w, y, number});
    for (int article : pooled) {
        stock::RecomputeAverageCost(db, w, y, article, t.position);
    }
    stock::CheckStockAgainstCard(session, {t.destination});
    transaction.Commit();
}

bool CancelTransfer(Session& session, Prompter& prompter, int number, const QDate& date) {
    const bool receiptExists = CheckTransferCanBeCancelled(session, number);
    if (!prompter.AskYesNo(CancelTransferQuestion(), CancelTransferTitle(), false)) {
        return false;
    }
    if (!receiptExists &&
        !prompter.AskYesNo(DestinationReceiptGoneQuestion(), CancelTransferTitle(), false)) {
        return false;
    }
    CancelTransfer(session, number, date, !receiptExists);
    return true;
}

}  // namespace zodra::stockdocs
