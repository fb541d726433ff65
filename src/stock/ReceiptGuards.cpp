#include "stock/ReceiptGuards.h"

#include <stdexcept>
#include <vector>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "stock/CostFamilies.h"
#include "stock/LastPriceMethod.h"
#include "stock/Lots.h"
#include "stock/ReceiptLots.h"

namespace zodra::stock {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString S(const char16_t* text) {
    return QString::fromUtf16(text);
}

// Which price changes a guard counts: all of them (deleting a receipt), those typed by hand,
// or those another receipt generated (deleting a line tells them apart).
enum class PriceChanges { None, All, Typed, Generated };

struct Guard {
    QString lineTable;
    PriceChanges priceChanges = PriceChanges::None;
    QString receiptMessage;
    QString lineMessage;
};

QString ReceiptRefusal(const char16_t* tail) {
    return S(u"Ovu primku nemožete izbrisati jer ") + S(tail);
}

QString LineRefusal(const char16_t* tail) {
    return S(u"Ovaj artikal primke nemožete obrisati jer ") + S(tail);
}

Guard G(const char16_t* table, const char16_t* receipt, const char16_t* line,
        PriceChanges changes = PriceChanges::None) {
    return Guard{S(table), changes, ReceiptRefusal(receipt), LineRefusal(line)};
}

// The order in which deleting a receipt searches, and the message of each family.
std::vector<Guard> ReceiptGuards() {
    return {
        G(u"STAVKE_RACUNA", u"su iz njenih nabava već rađeni računi.",
          u"su na njemu već rađeni računi."),
        G(u"STAVKE_INVENTURA", u"je nakon nje rađena inventura.",
          u"su na njemu već rađene inventure."),
        G(u"STAVKE_MEDUSKLADISNICA", u"je iz njenih nabava već rađena međuskladišnica.",
          u"su na njemu već rađene međuskladišnice."),
        G(u"STAVKE_RADNIH_NALOGA", u"je iz njenih nabava već rađen radni nalog.",
          u"su na njemu već rađeni radni nalozi."),
        G(u"STAVKE_IZMJENA_CIJENA", u"je iz njenih nabava već rađena izmjena cijena.",
          u"su na njemu već rađene izmjene cijena.", PriceChanges::All),
        G(u"STAVKE_SPECIFIKACIJA", u"je iz njenih nabava već rađena specifikacija.",
          u"su na njemu već rađene specifikacije."),
        G(u"STAVKE_POVRATNICA_DOBAVLJACIMA",
          u"je iz njenih nabava već rađena povratnica dobavljaču.",
          u"su na njemu već rađene povratnice dobavljačima."),
        G(u"STAVKE_RASHODA", u"je iz njenih nabava već rađen rashod.",
          u"su na njemu već rađeni rashodi."),
        G(u"STAVKE_ODJAVA", u"je iz njenih nabava već rađena odjava.",
          u"su na njemu već rađene odjave."),
        // Documents that take goods out (or back) just as well: goods already issued never lose
        // their lot.
        G(u"STAVKE_OTPREMNICA", u"je iz njenih nabava već rađena otpremnica.",
          u"su na njemu već rađene otpremnice."),
        G(u"STAVKE_IZDATNICA", u"je iz njenih nabava već rađena izdatnica.",
          u"su na njemu već rađene izdatnice."),
        G(u"STAVKE_POVRATNICA", u"je u njene nabave već rađena povratnica.",
          u"su na njemu već rađene povratnice."),
        G(u"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE",
          u"je iz njenih nabava već rađena maloprodajna međuskladišnica.",
          u"su na njemu već rađene maloprodajne međuskladišnice."),
        G(u"STAVKE_RADNIH_NALOGA_DORADA", u"je iz njenih nabava već rađen radni nalog dorada.",
          u"su na njemu već rađeni radni nalozi dorade."),
    };
}

// The order in which deleting one line searches.
std::vector<Guard> LineGuards() {
    std::vector<Guard> all = ReceiptGuards();
    auto find = [&](const char16_t* table) {
        for (const Guard& g : all) {
            if (g.lineTable == S(table)) {
                return g;
            }
        }
        return Guard{};
    };
    Guard typed = find(u"STAVKE_IZMJENA_CIJENA");
    typed.priceChanges = PriceChanges::Typed;
    Guard generated = typed;
    generated.priceChanges = PriceChanges::Generated;
    generated.lineMessage = LineRefusal(u"su na njemu već rađene izmjene cijena vezane za primke.");
    return {find(u"STAVKE_RACUNA"),
            find(u"STAVKE_MEDUSKLADISNICA"),
            find(u"STAVKE_RADNIH_NALOGA"),
            typed,
            generated,
            find(u"STAVKE_SPECIFIKACIJA"),
            find(u"STAVKE_POVRATNICA_DOBAVLJACIMA"),
            find(u"STAVKE_INVENTURA"),
            find(u"STAVKE_RASHODA"),
            find(u"STAVKE_ODJAVA"),
            find(u"STAVKE_OTPREMNICA"),
            find(u"STAVKE_IZDATNICA"),
            find(u"STAVKE_POVRATNICA"),
            find(u"STAVKE_MALOPRODAJNE_MEDUSKLADISNICE"),
            find(u"STAVKE_RADNIH_NALOGA_DORADA")};
}

// Where a guard's lines join their header (for the trade-book position and, for price
// changes, the receipt that generated them).
struct Shape {
    QString articleColumn;
    bool byKind = false;
    QString headerTable;
    QString headerNumber;
    QString lineNumber;
    bool invoiceBook = false;
};

Shape ShapeOf(const Guard& g) {
    if (g.lineTable == QLatin1String("STAVKE_IZMJENA_CIJENA")) {
        return Shape{QStringLiteral("ARTIKAL"),
                     false,
                     QStringLiteral("IZMJENE_CIJENA"),
                     QStringLiteral("BROJ_IZMJENE_CIJENA"),
                     QStringLiteral("BROJ_IZMJENE_CIJENA"),
                     false};
    }
    for (const stock::CostFamily& f : stock::CostFamilies()) {
        if (f.lineTable == g.lineTable) {
            return Shape{f.articleColumn, f.articleLinesByKind, f.headerTable,
                         f.headerNumber,  f.lineNumber,         f.invoiceBook};
        }
    }
    throw std::logic_error("no shape for a guarded line table");
}

// Whether a guard finds a line. `article` 0 means any article line of the receipt.
bool Found(Database& db, const Guard& g, const stock::ReceiptHeader& r, int article) {
    const Shape s = ShapeOf(g);
    const bool fifo = r.method == StockMethod::Fifo;
    QString sql = QStringLiteral("SELECT 1 FROM ") + Q(g.lineTable) + QStringLiteral(" s");
    QVariantList params;
    const bool join = !fifo || g.priceChanges != PriceChanges::None;
    if (join) {
        sql += (fifo ? QStringLiteral(" LEFT JOIN ") : QStringLiteral(" INNER JOIN ")) +
               Q(s.headerTable) +
               QStringLiteral(
                   " h ON h.\"SKLADISTE\" = s.\"SKLADISTE\" AND h.\"GODINA\" = "
                   "s.\"GODINA\" AND h.") +
               Q(s.headerNumber) + QStringLiteral(" = s.") + Q(s.lineNumber);
        if (s.invoiceBook) {
            sql += QStringLiteral(" AND h.\"IRA\" = s.\"IRA\"");
        }
    }
    sql +=
        QStringLiteral(" WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"BROJ_PRIMKE\" = ?");
    params << r.key.warehouse << r.key.year << (fifo ? r.key.number : stock::kPooledLot);
    if (article != 0) {
        sql += QStringLiteral(" AND s.") + Q(s.articleColumn) + QStringLiteral(" = ?");
        params << article;
    } else {
        sql += QStringLiteral(" AND s.") + Q(s.articleColumn) +
               QStringLiteral(
                   " IN (SELECT \"SIFRA\" FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = "
                   "? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = "
                   "'ART')");
        params << r.key.warehouse << r.key.year << r.key.number;
    }
    if (s.byKind) {
        sql += QStringLiteral(" AND s.\"TIP_STAVKE\" = 'ART'");
    }
    if (!fifo) {
        sql += QStringLiteral(" AND h.\"RBR_TK\" > ?");
        params << r.tradeBookPosition;
    }
    const QString generatedBy = QStringLiteral("COALESCE(h.\"BROJ_PRIMKE\", 0)");
    switch (g.priceChanges) {
        case PriceChanges::None:
            break;
        case PriceChanges::All:
            // The price change this receipt generated goes with it.
            sql += QStringLiteral(" AND ") + generatedBy + QStringLiteral(" <> ?");
            params << r.key.number;
            break;
        case PriceChanges::Typed:
            sql += QStringLiteral(" AND ") + generatedBy + QStringLiteral(" = 0");
            break;
        case PriceChanges::Generated:
            sql += QStringLiteral(" AND ") + generatedBy + QStringLiteral(" NOT IN (0, ?)");
            params << r.key.number;
            break;
    }
    return db.Scalar(sql + QStringLiteral(" LIMIT 1"), params).isValid();
}

// Σ quantity of the receipt's lines of an article.
double ReceivedQuantity(Database& db, const stock::ReceiptHeader& r, int article) {
    return sqlvalue::ToDouble(db.Scalar(
        QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? "
                       "AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART' AND "
                       "\"SIFRA\" = ?"),
        {r.key.warehouse, r.key.year, r.key.number, article}));
}

std::vector<int> ArticlesOf(Database& db, const stock::ReceiptHeader& r) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT DISTINCT \"SIFRA\" FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" "
        "= ? AND \"BROJ_PRIMKE\" = ? AND \"TIP_STAVKE\" = 'ART' ORDER BY \"SIFRA\""));
    s.Exec({r.key.warehouse, r.key.year, r.key.number});
    std::vector<int> articles;
    while (s.Next()) {
        articles.push_back(s.Int(0));
    }
    return articles;
}

std::optional<stock::Lot> LotOf(Database& db, const stock::ReceiptHeader& r, int article) {
    const int lot = r.method == StockMethod::Fifo ? r.key.number : stock::kPooledLot;
    return stock::FindLot(db, {r.key.warehouse, r.key.year, lot, article});
}

}  // namespace

void CheckReceiptCanBeDeleted(Database& db, const stock::ReceiptHeader& r) {
    const std::vector<Guard> guards = ReceiptGuards();
    const std::vector<int> articles = ArticlesOf(db, r);
    if (r.method == StockMethod::Fifo) {
        for (const Guard& g : guards) {
            if (Found(db, g, r, 0)) {
                throw UserError(g.receiptMessage);
            }
        }
        for (int article : articles) {
            const std::optional<stock::Lot> lot = LotOf(db, r, article);
            if (lot && !QuantitiesEqual(lot->quantity, ReceivedQuantity(db, r, article))) {
                throw UserError(S(u"Ovu primku nemožete izbrisati jer se količina artikla ") +
                                stock::ArticleName(db, article) +
                                S(u" u njenoj nabavi promijenila."));
            }
        }
        return;
    }
    for (int article : articles) {
        for (const Guard& g : guards) {
            if (Found(db, g, r, article)) {
                throw UserError(g.receiptMessage);
            }
        }
        const std::optional<stock::Lot> lot = LotOf(db, r, article);
        if (lot && RoundQuantity(lot->quantity - ReceivedQuantity(db, r, article)) < 0) {
            throw UserError(
                stock::LastPriceMethod::BelowZeroMessage(stock::ArticleName(db, article)));
        }
    }
}

void CheckLineCanBeDeleted(Database& db, const stock::ReceiptHeader& r, int article,
                           double quantity) {
    for (const Guard& g : LineGuards()) {
        if (Found(db, g, r, article)) {
            throw UserError(g.lineMessage);
        }
    }
    const std::optional<stock::Lot> lot = LotOf(db, r, article);
    if (!lot) {
        return;
    }
    if (RoundQuantity(lot->quantity - quantity) < 0) {
        throw UserError(LineRefusal(u"bi njegova količina na skladištu pala ispod nule."));
    }
    if (r.method == StockMethod::Fifo &&
        !QuantitiesEqual(lot->quantity, ReceivedQuantity(db, r, article))) {
        throw UserError(LineRefusal(u"se njegova količina na skladištu promijenila."));
    }
}

void CheckLineCanBeAdded(Database& db, const stock::ReceiptHeader& r, int article) {
    for (const Guard& g : ReceiptGuards()) {
        if (g.lineTable == QLatin1String("STAVKE_INVENTURA") && Found(db, g, r, article)) {
            throw UserError(
                S(u"Ovaj artikal primke nemožete dodati jer su na njemu već rađene inventure."));
        }
    }
}

std::optional<int> CancellingReceipt(Database& db, const ReceiptKey& receipt) {
    const QVariant by = db.Scalar(
        QStringLiteral("SELECT MIN(\"BROJ PRIMKE\") FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? AND "
                       "\"GODINA\" = ? AND \"STORNO_ZA_PRIMKU\" = ?"),
        {receipt.warehouse, receipt.year, receipt.number});
    if (!by.isValid() || by.isNull()) {
        return std::nullopt;
    }
    return by.toInt();
}

QString CancelledReceiptRefusal(int cancelledBy) {
    return S(u"Ovu primku nemožete izbrisati jer je stornirana storno primkom broj ") +
           QString::number(cancelledBy) + S(u". Najprije izbrišite storno primku.");
}

void DeletePostedReceipt(Database& db, const ReceiptKey& receipt) {
    const std::optional<ReceiptHeader> header = ReadReceiptHeader(db, receipt);
    if (!header) {
        throw std::logic_error("the receipt to delete must exist");
    }
    if (const std::optional<int> by = CancellingReceipt(db, receipt)) {
        throw UserError(CancelledReceiptRefusal(*by));
    }
    CheckReceiptCanBeDeleted(db, *header);
    RemoveReceiptFromLots(db, receipt);
    const QVariantList key{receipt.warehouse, receipt.year, receipt.number};
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ_PRIMKE\" = ?"),
            key);
    db.Exec(QStringLiteral("DELETE FROM \"PRIMKE_ZAVISNI_TROSKOVI\" WHERE \"SKLADISTE\" = ? AND "
                           "\"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
            key);
    db.Exec(QStringLiteral("DELETE FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                           "\"BROJ PRIMKE\" = ?"),
            key);
}

}  // namespace zodra::stock
