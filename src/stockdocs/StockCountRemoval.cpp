#include "stockdocs/StockCountRemoval.h"

#include <set>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::stockdocs {

namespace {

const QString kType = QStringLiteral("INVENTURA");

struct CountedLine {
    int lot = 0;
    int article = 0;
    double sellingPrice = 0;
    double book = 0;
    double counted = 0;
};

struct PostedCount {
    int position = 0;
    std::vector<CountedLine> lines;
};

PostedCount ReadCount(Database& db, int w, int y, int number) {
    const QVariant position = db.Scalar(
        QStringLiteral("SELECT COALESCE(\"RBR_TK\", 0) FROM \"INVENTURE\" WHERE \"SKLADISTE\" = "
                       "? AND \"GODINA\" = ? AND \"BROJ_INVENTURE\" = ?"),
        {w, y, number});
    if (!position.isValid()) {
        throw UserError(NoSuchStockCountMessage(number));
    }
    PostedCount count{sqlvalue::ToInt(position), {}};
    Statement s = db.Prepare(QStringLiteral(
        "SELECT \"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"V_CIJENA\", \"KNJIZNO_KOLICINA\", "
        "\"STVARNO_KOLICINA\" FROM \"STAVKE_INVENTURA\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = "
        "? AND \"BROJ_INVENTURE\" = ?"));
    s.Exec({w, y, number});
    while (s.Next()) {
        count.lines.push_back({s.Int(0), s.Int(1), s.Double(2), s.Double(3), s.Double(4)});
    }
    return count;
}

// The guards; true when some lot's quantity would fall below zero.
bool Check(Session& session, const PostedCount& count) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    bool belowZero = false;
    for (const CountedLine& line : count.lines) {
        const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, line.lot, line.article});
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
        }
        if (!QuantitiesEqual(lot->sellingPrice, line.sellingPrice)) {
            throw UserError(StockCountPriceRefusal());
        }
        const double back = line.book - line.counted;
        // What documents still open on other workstations hold cannot be taken from them; a
        // lot that nobody holds may only go below zero, which the user is asked about.
        const bool held = RoundQuantity(lot->quantity - lot->freeQuantity) > 0;
        if (held && RoundQuantity(lot->freeQuantity + back) < 0) {
            throw UserError(BelowZeroRefusal());
        }
        if (RoundQuantity(lot->quantity + back) < 0) {
            belowZero = true;
        }
    }
    return belowZero;
}

}  // namespace

QString StockCountDeleteQuestion() {
    return QStringLiteral("Želite li izbrisati inventuru!");
}

QString StockCountDeleteTitle() {
    return QStringLiteral("Brisanje inventure");
}

QString BelowZeroQuestion() {
    return QStringLiteral(
        "Količine nekih artikala će pasti ispod nule. Želite li svejedno izbrisati inventuru!");
}

QString BelowZeroRefusal() {
    return QStringLiteral(
        "Ovu inventuru nemožete izbrisati jer bi količine nekih artikala pale ispod nule.");
}

QString StockCountPriceRefusal() {
    return QStringLiteral(
        "Ovu inventuru nemožete izbrisati jer neki artikal iz inventure više nema istu cijenu na "
        "skladištu.");
}

QString NoSuchStockCountMessage(int number) {
    return QStringLiteral("Ne postoji proknjižena inventura broj ") + QString::number(number);
}

QString StockCountDeletedMessage(int number) {
    return QStringLiteral("Inventura broj ") + QString::number(number) +
           QStringLiteral(" je izbrisana.");
}

bool CheckStockCountCanBeDeleted(Session& session, int number) {
    const PostedCount count =
        ReadCount(session.Db(), session.activeWarehouse.code, session.businessYear, number);
    return Check(session, count);
}

void DeleteStockCount(Session& session, int number, bool belowZeroAllowed) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    const PostedCount count = ReadCount(db, w, y, number);
    if (Check(session, count) && !belowZeroAllowed) {
        throw UserError(BelowZeroRefusal());
    }
    std::set<int> pooledArticles;
    for (const CountedLine& line : count.lines) {
        const double back = RoundQuantity(line.book - line.counted);
        db.Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = ROUND(\"KOLICINA\" + ?, 10), "
                               "\"KOLICINA_PRIVREMENO\" = ROUND(\"KOLICINA_PRIVREMENO\" + ?, 10) "
                               "WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = "
                               "? AND \"SIFRA_ARTIKLA\" = ?"),
                {back, back, w, y, line.lot, line.article});
        if (line.lot == stock::kPooledLot && back != 0) {
            pooledArticles.insert(line.article);
        }
    }
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w, kType, y, number);
    const QVariantList key{w, y, number};
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_INVENTURA\" WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_INVENTURE\" = ?"),
            key);
    db.Exec(QStringLiteral("DELETE FROM \"INVENTURE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? "
                           "AND \"BROJ_INVENTURE\" = ?"),
            key);
    // Later issues from a pooled lot went out at the average of their moment, which the count's
    // surplus or shortage helped make: the card is replayed without it.
    for (int article : pooledArticles) {
        stock::RecomputeAverageCost(db, w, y, article, count.position);
    }
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
}

bool DeleteStockCount(Session& session, Prompter& prompter, int number) {
    const bool belowZero = CheckStockCountCanBeDeleted(session, number);
    if (!prompter.AskYesNo(StockCountDeleteQuestion(), StockCountDeleteTitle(), false)) {
        return false;
    }
    if (belowZero && !prompter.AskYesNo(BelowZeroQuestion(), StockCountDeleteTitle(), false)) {
        return false;
    }
    DeleteStockCount(session, number, belowZero);
    return true;
}

}  // namespace zodra::stockdocs
