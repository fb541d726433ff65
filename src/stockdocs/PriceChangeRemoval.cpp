#include "stockdocs/PriceChangeRemoval.h"

#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "stock/CostFamilies.h"
#include "stock/Lots.h"
#include "stock/PriceChangeWriter.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"
#include "stockdocs/PriceChangePosting.h"

namespace zodra::stockdocs {

QString DeleteQuestion() {
    return QStringLiteral("Želite li izbrisati izmjenu cijena!");
}

QString DeleteTitle() {
    return QStringLiteral("Brisanje");
}

QString CancelQuestion() {
    return QStringLiteral("Želite li stornirati izmjenu cijena!");
}

QString CancelTitle() {
    return QStringLiteral("Storno");
}

QString NoSuchPriceChangeMessage(int number) {
    return QStringLiteral("Ne postoji proknjižena izmjena cijena broj ") + QString::number(number);
}

QString CancelledMessage(int cancellationNumber) {
    return QStringLiteral("Storno izmjene cijena je proknjižen pod brojem ") +
           QString::number(cancellationNumber);
}

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString S(const char16_t* text) {
    return QString::fromUtf16(text);
}

enum class Undo { Delete, Cancel };

// "Ovu izmjenu cijena nemožete izbrisati jer " (or "… stornirati jer ").
QString Refusal(Undo undo) {
    return undo == Undo::Delete ? S(u"Ovu izmjenu cijena nemožete izbrisati jer ")
                                : S(u"Ovu izmjenu cijena nemožete stornirati jer ");
}

struct PostedPriceChange {
    int number = 0;
    QDate date;
    int position = 0;
    int receipt = 0;
    std::optional<int> invoiceBook;
    std::optional<int> invoice;
    std::optional<int> serviceConsumption;
    bool cancelled = false;
};

std::optional<PostedPriceChange> Read(Database& db, int w, int y, int number) {
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"DATUM\", \"RBR_TK\", \"BROJ_PRIMKE\", \"IRA\", \"BROJ_RACUNA\", "
        "\"BROJ_SPECIFIKACIJE\", \"STORNO\" FROM \"IZMJENE_CIJENA\" WHERE \"SKLADISTE\" = ? AND "
        "\"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?"));
    row.Exec({w, y, number});
    if (!row.Next()) {
        return std::nullopt;
    }
    PostedPriceChange p;
    p.number = number;
    p.date = row.Value(0).toDate();
    p.position = row.Int(1);
    p.receipt = row.IsNull(2) ? 0 : row.Int(2);
    if (!row.IsNull(3)) {
        p.invoiceBook = row.Int(3);
    }
    if (!row.IsNull(4)) {
        p.invoice = row.Int(4);
    }
    if (!row.IsNull(5)) {
        p.serviceConsumption = row.Int(5);
    }
    p.cancelled = sqlvalue::ToBool(row.Value(6));
    return p;
}

std::vector<stock::PriceChangeLine> LinesOf(Database& db, int w, int y, int number) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"BROJ_PRIMKE\", \"ARTIKAL\", \"KOLICINA\", \"STARA_CIJENA\", \"NOVA_CIJENA\" "
        "FROM \"STAVKE_IZMJENA_CIJENA\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
        "\"BROJ_IZMJENE_CIJENA\" = ?"));
    rows.Exec({w, y, number});
    std::vector<stock::PriceChangeLine> lines;
    while (rows.Next()) {
        lines.push_back({rows.Int(0), rows.Int(1), rows.Double(2), rows.Double(3), rows.Double(4)});
    }
    return lines;
}

// The documents it belongs to, while they exist.
void CheckNotBound(Database& db, int w, int y, const PostedPriceChange& p, Undo undo) {
    const QString head = Refusal(undo) + S(u"je vezana na ");
    if (p.receipt != 0 &&
        db.Scalar(QStringLiteral("SELECT 1 FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? AND "
                                 "\"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
                  {w, y, p.receipt})
            .isValid()) {
        throw UserError(head + S(u"postojeću primku broj ") + QString::number(p.receipt));
    }
    if (p.invoice &&
        db.Scalar(QStringLiteral("SELECT 1 FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = "
                                 "? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
                  {w, p.invoiceBook.value_or(0), y, *p.invoice})
            .isValid()) {
        throw UserError(head + S(u"postojeći račun broj ") + QString::number(*p.invoice));
    }
    if (p.serviceConsumption &&
        db.Scalar(QStringLiteral("SELECT 1 FROM \"SPECIFIKACIJE\" WHERE \"SKLADISTE\" = ? AND "
                                 "\"GODINA\" = ? AND \"BROJ_SPECIFIKACIJE\" = ?"),
                  {w, y, *p.serviceConsumption})
            .isValid()) {
        throw UserError(head + S(u"postojeću specifikaciju broj ") +
                        QString::number(*p.serviceConsumption));
    }
}

// One kind of later document: its lines, how they name the article, and which of them count.
struct Later {
    QString headerTable;
    const char16_t* tail;  // what was made: "rađene specifikacije."
};

// The search order: the families whose messages the list window has always shown, then the
// other documents that move the same lots.
const std::vector<Later>& LaterDocuments() {
    static const std::vector<Later> list{
        {S(u"SPECIFIKACIJE"), u"rađene specifikacije."},
        {S(u"POVRATNICE_DOBAVLJACIMA"), u"rađene povratnice dobavljačima."},
        {S(u"INVENTURE"), u"rađene inventure."},
        {S(u"RACUNI"), u"rađeni računi."},
        {S(u"MEDUSKLADISNICE"), u"rađene međuskladišnice."},
        {S(u"RADNI_NALOZI"), u"rađeni radni nalozi."},
        {S(u"RASHODI"), u"rađeni rashodi."},
        {S(u"ODJAVE"), u"rađene odjave."},
        {S(u"IZMJENE_CIJENA"), u"rađene izmjene cijena."},
        {S(u"PRIMKE"), u"rađene primke."},
        {S(u"OTPREMNICE"), u"rađene otpremnice."},
        {S(u"IZDATNICE"), u"rađene izdatnice."},
        {S(u"POVRATNICE"), u"rađene povratnice."},
        {S(u"MALOPRODAJNE_MEDUSKLADISNICE"), u"rađene maloprodajne međuskladišnice."},
        {S(u"RADNI_NALOZI_DORADA"), u"rađeni radni nalozi dorade."},
    };
    return list;
}

// Whether a document of the kind with lines of the price change's articles lies after it.
// Price changes count only on the same lot, receipts only into a pooled lot it repriced.
bool LaterFound(Database& db, int w, int y, const PostedPriceChange& p, const Later& later) {
    QString lines;
    QString article;
    QString join;
    QString own;  // how a line meets a line of the price change `o`
    QString extra;
    if (later.headerTable == QLatin1String("IZMJENE_CIJENA")) {
        lines = QStringLiteral("STAVKE_IZMJENA_CIJENA");
        join = QStringLiteral("h.\"BROJ_IZMJENE_CIJENA\" = s.\"BROJ_IZMJENE_CIJENA\"");
        own = QStringLiteral(
            "o.\"ARTIKAL\" = s.\"ARTIKAL\" AND o.\"BROJ_PRIMKE\" = s.\"BROJ_PRIMKE\"");
    } else if (later.headerTable == QLatin1String("PRIMKE")) {
        lines = QStringLiteral("STAVKE_PRIMKI");
        join = QStringLiteral("h.\"BROJ PRIMKE\" = s.\"BROJ_PRIMKE\"");
        own = QStringLiteral("o.\"ARTIKAL\" = s.\"SIFRA\" AND o.\"BROJ_PRIMKE\" = 0");
        extra = QStringLiteral(" AND s.\"TIP_STAVKE\" = 'ART' AND h.\"SkladisnaMetoda\" <> 'FIFO'");
    } else {
        const stock::CostFamily* family = nullptr;
        for (const stock::CostFamily& f : stock::CostFamilies()) {
            if (f.headerTable == later.headerTable) {
                family = &f;
            }
        }
        Q_ASSERT(family);
        lines = family->lineTable;
        article = family->articleColumn;
        join = QStringLiteral("h.") + Q(family->headerNumber) + QStringLiteral(" = s.") +
               Q(family->lineNumber);
        if (family->invoiceBook) {
            join += QStringLiteral(" AND h.\"IRA\" = s.\"IRA\"");
        }
        own = QStringLiteral("o.\"ARTIKAL\" = s.") + Q(article);
        if (family->articleLinesByKind) {
            extra = QStringLiteral(" AND s.\"TIP_STAVKE\" = 'ART'");
        }
    }
    const QString sql =
        QStringLiteral("SELECT 1 FROM ") + Q(lines) + QStringLiteral(" s INNER JOIN ") +
        Q(later.headerTable) +
        QStringLiteral(
            " h ON h.\"SKLADISTE\" = s.\"SKLADISTE\" AND h.\"GODINA\" = s.\"GODINA\" "
            "AND ") +
        join +
        QStringLiteral(" WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND h.\"RBR_TK\" > ?") +
        extra +
        QStringLiteral(
            " AND EXISTS (SELECT 1 FROM \"STAVKE_IZMJENA_CIJENA\" o WHERE "
            "o.\"SKLADISTE\" = ? AND o.\"GODINA\" = ? AND o.\"BROJ_IZMJENE_CIJENA\" = ? "
            "AND ") +
        own + QStringLiteral(") LIMIT 1");
    return db.Scalar(sql, {w, y, p.position, w, y, p.number}).isValid();
}

// Every guard of an undo. Returns the price change and its lines.
std::pair<PostedPriceChange, std::vector<stock::PriceChangeLine>> Check(Session& session,
                                                                        int number, Undo undo) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    const std::optional<PostedPriceChange> p = Read(db, w, y, number);
    if (!p) {
        throw UserError(NoSuchPriceChangeMessage(number));
    }
    if (undo == Undo::Cancel && p->cancelled) {
        throw UserError(S(u"Ova izmjena cijena je već stornirana."));
    }
    CheckNotBound(db, w, y, *p, undo);
    for (const Later& later : LaterDocuments()) {
        if (LaterFound(db, w, y, *p, later)) {
            throw UserError(Refusal(undo) +
                            S(u"su na artiklima iz izmjene cijena nakon njenog izdavanja ") +
                            S(later.tail));
        }
    }
    std::vector<stock::PriceChangeLine> lines = LinesOf(db, w, y, number);
    // A cancelled price change has put its lots back already; deleting it touches no lot.
    if (!p->cancelled) {
        for (const stock::PriceChangeLine& line : lines) {
            const std::optional<stock::Lot> lot =
                stock::FindLot(db, {w, y, line.lot, line.article});
            if (!lot) {
                throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.article)));
            }
            if (!QuantitiesEqual(lot->quantity, line.quantity)) {
                throw UserError(QuantityChangedMessage(stock::ArticleName(db, line.article)));
            }
            if (!QuantitiesEqual(lot->sellingPrice, line.newPrice)) {
                throw UserError(Refusal(undo) +
                                S(u"neki artikal iz izmjene cijena više nema istu cijenu na "
                                  u"skladištu."));
            }
        }
    }
    return {*p, std::move(lines)};
}

void CheckCancellationDate(const QDate& priceChangeDate, const QDate& date) {
    if (!date.isValid()) {
        throw UserError(S(u"Datum storna nije ispravno upisan. Pokušajte ponovo."));
    }
    if (priceChangeDate.isValid() && date < priceChangeDate) {
        throw UserError(
            S(u"Datum storna nesmije biti prije datuma izmjene cijena. Pokušajte ponovo."));
    }
}

void RestoreOldPrices(Database& db, int w, int y,
                      const std::vector<stock::PriceChangeLine>& lines) {
    for (const stock::PriceChangeLine& line : lines) {
        db.Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"VELEPRODAJNA CIJENA\" = ? WHERE "
                               "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND "
                               "\"SIFRA_ARTIKLA\" = ?"),
                {line.oldPrice, w, y, line.lot, line.article});
    }
}

}  // namespace

void CheckCanBeDeleted(Session& session, int number) {
    Check(session, number, Undo::Delete);
}

void CheckCanBeCancelled(Session& session, int number, const QDate& date) {
    const auto [p, lines] = Check(session, number, Undo::Cancel);
    CheckCancellationDate(p.date, date);
}

void DeletePriceChange(Session& session, int number) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    const auto [p, lines] = Check(session, number, Undo::Delete);
    if (!p.cancelled) {
        RestoreOldPrices(db, w, y, lines);
    }
    int entries = tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w,
                                                 stock::PriceChangeType(), y, number,
                                                 /*recompute=*/false);
    entries += tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w,
                                              stock::PriceChangeCancellationType(), y, number,
                                              /*recompute=*/false);
    if (entries > 0) {
        tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, w, y);
    }
    const QVariantList key{w, y, number};
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_IZMJENA_CIJENA\" WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?"),
            key);
    db.Exec(QStringLiteral("DELETE FROM \"IZMJENE_CIJENA\" WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?"),
            key);
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
}

bool DeletePriceChange(Session& session, Prompter& prompter, int number) {
    CheckCanBeDeleted(session, number);
    if (!prompter.AskYesNo(DeleteQuestion(), DeleteTitle(), false)) {
        return false;
    }
    DeletePriceChange(session, number);
    return true;
}

int CancelPriceChange(Session& session, int number, const QDate& date) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    Transaction transaction(db);
    const auto [p, lines] = Check(session, number, Undo::Cancel);
    CheckCancellationDate(p.date, date);
    RestoreOldPrices(db, w, y, lines);
    // The counter-entry negates the entry as it stands in the book.
    double value = 0;
    if (const std::optional<int> own = tradebook::FindDocumentEntry(
            db, tradebook::Book::Wholesale, w, stock::PriceChangeType(), y, number)) {
        value = sqlvalue::ToDouble(db.Scalar(
            QStringLiteral("SELECT \"NABAVA_VRIJEDNOST\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                           "WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"RBR\" = ?"),
            {w, y, *own}));
    } else {
        MoneyTotal total;
        for (const stock::PriceChangeLine& line : lines) {
            total += line.Change();
        }
        value = total.Value();
    }
    tradebook::Entry entry;
    entry.warehouse = w;
    entry.year = y;
    entry.type = stock::PriceChangeCancellationType();
    entry.documentNumber = number;
    entry.date = date;
    entry.description = S(u"Storno izmjene cijena ") + QString::number(number);
    entry.purchaseValue = -value;
    const int position = tradebook::AppendEntry(db, tradebook::Book::Wholesale, entry);
    const int cancellation = numbering::NextCancellationNumber(db, w, y);
    db.Exec(QStringLiteral("UPDATE \"IZMJENE_CIJENA\" SET \"STORNO\" = TRUE, \"DATUM_STORNA\" = "
                           "?, \"STORNO_RBR_TK\" = ?, \"RBR_STORNO_DOKUMENTA\" = ? WHERE "
                           "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?"),
            {date, position, cancellation, w, y, number});
    stock::CheckStockAgainstCard(session);
    transaction.Commit();
    return cancellation;
}

std::optional<int> CancelPriceChange(Session& session, Prompter& prompter, int number,
                                     const QDate& date) {
    CheckCanBeCancelled(session, number, date);
    if (!prompter.AskYesNo(CancelQuestion(), CancelTitle(), false)) {
        return std::nullopt;
    }
    return CancelPriceChange(session, number, date);
}

}  // namespace zodra::stockdocs
