#include "sales/ServiceConsumption.h"

#include <algorithm>

#include "data/Database.h"
#include "data/DocumentKind.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "stock/Lot.h"
#include "stock/Lots.h"
#include "stock/TradeBook.h"

namespace zodra::sales {

namespace {

const QString kKey =
    QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_SPECIFIKACIJE\" = ?");

const stock::CostFamily& Family() {
    return documents::CostFamilyOf(DocumentKind::ServiceConsumption);
}

// A service line of the posted invoice with the articles its bill uses up.
struct BilledService {
    int lineNumber = 0;
    int service = 0;
    double quantity = 0;
    std::vector<std::pair<int, double>> bill;  // article, quantity per unit of the service
};

// The invoice's service lines (only `onlyLine` when given) with a bill, in line order.
std::vector<BilledService> BilledServices(Database& db, int w, int book, int y, int invoice,
                                          std::optional<int> onlyLine = std::nullopt) {
    std::vector<BilledService> services;
    {
        Statement lines = db.Prepare(QStringLiteral(
            "SELECT \"RBR_STAVKE\", \"SIFRA\", \"KOLICINA\" FROM \"STAVKE_RACUNA\" WHERE "
            "\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ? AND "
            "\"TIP_STAVKE\" = 'USL' AND (CAST(? AS INTEGER) IS NULL OR \"RBR_STAVKE\" = ?) ORDER "
            "BY "
            "\"RBR_STAVKE\""));
        const QVariant line = onlyLine ? QVariant(*onlyLine) : QVariant();
        lines.Exec({w, book, y, invoice, line, line});
        while (lines.Next()) {
            services.push_back({lines.Int(0), lines.Int(1), lines.Double(2), {}});
        }
    }
    Statement bill = db.Prepare(
        QStringLiteral("SELECT \"SIFRA_ARTIKLA\", \"KOLICINA\" FROM "
                       "\"USLUGE_SPECIFIKACIJA_ARTIKALA\" WHERE \"SIFRA_USLUGE\" = ? ORDER BY "
                       "\"SIFRA_ARTIKLA\""));
    std::vector<BilledService> billed;
    for (BilledService& s : services) {
        bill.Exec({s.service});
        while (bill.Next()) {
            const double perUnit = bill.IsNull(1) ? 0.0 : bill.Double(1);
            limits::RequireNumber(perUnit, limits::NumberKind::Quantity,
                                  QStringLiteral("Količina"));
            const double quantity = RoundQuantity(s.quantity * perUnit);
            if (quantity != 0) {
                s.bill.emplace_back(bill.Int(0), quantity);
            }
        }
        if (!s.bill.empty()) {
            billed.push_back(std::move(s));
        }
    }
    return billed;
}

QString ServiceName(Database& db, int service) {
    return db
        .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"USLUGE\" WHERE \"SIFRA\" = ?"), {service})
        .toString();
}

struct ConsumedLine {
    stock::LotKey lot;
    double quantity = 0;
    double cost = 0;
};

std::vector<ConsumedLine> Lines(Database& db, int w, int y, int number) {
    Statement rows = db.Prepare(QStringLiteral("SELECT \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", "
                                               "\"KOLICINA\", \"NABAVNA_CIJENA\" FROM "
                                               "\"STAVKE_SPECIFIKACIJA\"") +
                                kKey);
    rows.Exec({w, y, number});
    std::vector<ConsumedLine> lines;
    while (rows.Next()) {
        lines.push_back({{w, y, rows.Int(1), rows.Int(0)}, rows.Double(2), rows.Double(3)});
    }
    return lines;
}

int PostConsumption(Session& session, const documents::DocumentKey& key, int book, int invoice,
                    const QDate& date, const BilledService& service);

}  // namespace

QString FifoConsumptionRefusal() {
    return QStringLiteral(
        "Automatske specifikacije vezane na usluge nisu podržane ako se skladište vodi po FIFO "
        "metodi.");
}

QString BoundConsumptionQuestion() {
    return QStringLiteral(
        "Na ovaj račun postoje vezane specifikacije i te će specifikacije također biti "
        "stornirane! Želite li nastaviti?");
}

QString LaterStockCountRefusal() {
    return QStringLiteral(
        "Vezanu specifikaciju nemožete stornirati jer su na artiklima iz specifikacije nakon "
        "njenog izdavanja rađene inventure.");
}

QString LaterPriceChangeRefusal() {
    return QStringLiteral(
        "Vezanu specifikaciju nemožete stornirati jer su na artiklima iz specifikacije nakon "
        "njenog izdavanja rađene izmjene cijena.");
}

std::vector<int> PostServiceConsumptions(Session& session, int w, int book, int y, int invoice,
                                         const QDate& date) {
    Database& db = session.Db();
    Q_ASSERT(db.TransactionDepth() > 0);
    std::vector<int> numbers;
    if (!session.company.serviceConsumptionLists) {
        return numbers;
    }
    const std::vector<BilledService> services = BilledServices(db, w, book, y, invoice);
    if (services.empty()) {
        return numbers;
    }
    // A FIFO line names the receipt its goods came from, which nobody chose for these.
    if (session.stockMethod == StockMethod::Fifo) {
        throw UserError(FifoConsumptionRefusal());
    }
    for (const BilledService& service : services) {
        numbers.push_back(PostConsumption(
            session, documents::NewDocumentKey(db, DocumentKind::ServiceConsumption, w, y), book,
            invoice, date, service));
    }
    workingcopy::FillMissingTaxGroups(db, Info(DocumentKind::ServiceConsumption).lines.front());
    return numbers;
}

namespace {

int PostConsumption(Session& session, const documents::DocumentKey& key, int book, int invoice,
                    const QDate& date, const BilledService& service) {
    Database& db = session.Db();
    const int w = key.warehouse;
    const int y = key.year;
    {
        documents::IssuePosting posting(session, key);
        posting.WriteHeader(date, {{QStringLiteral("OPIS"), ServiceName(db, service.service)},
                                   {QStringLiteral("IRA"), book},
                                   {QStringLiteral("GODINA_RACUNA"), y},
                                   {QStringLiteral("BROJ_RACUNA"), invoice}});
        for (const auto& [article, quantity] : service.bill) {
            limits::RequireNumber(quantity, limits::NumberKind::Quantity,
                                  QStringLiteral("Količina"));
            const documents::TakenLine taken = posting.Take({article, quantity, std::nullopt});
            // No working line reserved these goods: what open documents hold stays theirs.
            const stock::LotKey lot{w, y, taken.lot, article};
            stock::ReserveFromLot(db, lot, quantity);
            const std::optional<stock::Lot> after = stock::FindLot(db, lot);
            if (!after || RoundQuantity(after->freeQuantity) < 0) {
                throw UserError(
                    stock::InsufficientQuantityMessage(stock::ArticleName(db, article)));
            }
            posting.WriteLine(taken);
        }
        tradebook::Entry entry = posting.StockEntry(date);
        entry.description += QStringLiteral(" veza na račun ") + QString::number(invoice);
        posting.Finish(entry);
    }
    return key.number;
}

}  // namespace

std::vector<int> BoundServiceConsumptions(Database& db, int w, int book, int y, int invoice) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"BROJ_SPECIFIKACIJE\" FROM \"SPECIFIKACIJE\" WHERE \"SKLADISTE\" = ? AND "
        "\"IRA\" = ? AND \"GODINA_RACUNA\" = ? AND \"BROJ_RACUNA\" = ? AND \"STORNO\" = FALSE "
        "ORDER BY \"BROJ_SPECIFIKACIJE\""));
    rows.Exec({w, book, y, invoice});
    std::vector<int> numbers;
    while (rows.Next()) {
        numbers.push_back(rows.Int(0));
    }
    return numbers;
}

double BoundConsumptionQuantity(Database& db, int w, int book, int y, int invoice, int lot,
                                int article) {
    return sqlvalue::ToDouble(db.Scalar(
        QStringLiteral("SELECT SUM(s.\"KOLICINA\") FROM \"SPECIFIKACIJE\" h JOIN "
                       "\"STAVKE_SPECIFIKACIJA\" s ON s.\"SKLADISTE\" = h.\"SKLADISTE\" AND "
                       "s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_SPECIFIKACIJE\" = "
                       "h.\"BROJ_SPECIFIKACIJE\" WHERE h.\"SKLADISTE\" = ? AND h.\"IRA\" = ? AND "
                       "h.\"GODINA_RACUNA\" = ? AND h.\"BROJ_RACUNA\" = ? AND h.\"STORNO\" = "
                       "FALSE AND s.\"BROJ_PRIMKE\" = ? AND s.\"SIFRA_ARTIKLA\" = ?"),
        {w, book, y, invoice, lot, article}));
}

void CheckServiceConsumptionCanBeUndone(Database& db, int w, int y, int number) {
    const QVariant position = db.Scalar(
        QStringLiteral("SELECT \"RBR_TK\" FROM \"SPECIFIKACIJE\"") + kKey, {w, y, number});
    if (!position.isValid() || position.isNull()) {
        return;
    }
    const QString articles = QStringLiteral(
        " IN (SELECT \"SIFRA_ARTIKLA\" FROM \"STAVKE_SPECIFIKACIJA\" WHERE \"SKLADISTE\" = ? AND "
        "\"GODINA\" = ? AND \"BROJ_SPECIFIKACIJE\" = ?)");
    const QVariantList values{w, y, position, w, y, number};
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"INVENTURE\" h JOIN \"STAVKE_INVENTURA\" s ON "
                                 "s.\"SKLADISTE\" = h.\"SKLADISTE\" AND s.\"GODINA\" = "
                                 "h.\"GODINA\" AND s.\"BROJ_INVENTURE\" = h.\"BROJ_INVENTURE\" "
                                 "WHERE h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? AND h.\"RBR_TK\" "
                                 "> ? AND s.\"SIFRA_ARTIKLA\"") +
                      articles + QStringLiteral(" LIMIT 1"),
                  values)
            .isValid()) {
        throw UserError(LaterStockCountRefusal());
    }
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"IZMJENE_CIJENA\" h JOIN "
                                 "\"STAVKE_IZMJENA_CIJENA\" s ON s.\"SKLADISTE\" = h.\"SKLADISTE\" "
                                 "AND s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_IZMJENE_CIJENA\" = "
                                 "h.\"BROJ_IZMJENE_CIJENA\" WHERE h.\"SKLADISTE\" = ? AND "
                                 "h.\"GODINA\" = ? AND h.\"RBR_TK\" > ? AND s.\"ARTIKAL\"") +
                      articles + QStringLiteral(" LIMIT 1"),
                  values)
            .isValid()) {
        throw UserError(LaterPriceChangeRefusal());
    }
}

void CancelServiceConsumption(Database& db, int w, int y, int number, const QDate& date) {
    CheckServiceConsumptionCanBeUndone(db, w, y, number);
    for (const ConsumedLine& line : Lines(db, w, y, number)) {
        stock::ReturnToLotAtCost(db, line.lot, line.quantity, line.cost);
    }
    const stock::CostFamily& family = Family();
    std::optional<int> position;
    {
        Statement own = db.Prepare(QStringLiteral(
            "SELECT \"NABAVA_VRIJEDNOST\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
            "\"SKLADISTE\" = ? AND \"TIP_DOKUMENTA\" = ? AND \"GODINA\" = ? AND "
            "\"BROJ_DOKUMENTA\" = ? ORDER BY \"RBR\" DESC"));
        own.Exec({w, family.tradeBookType, y, number});
        if (own.Next()) {
            tradebook::Entry entry;
            entry.warehouse = w;
            entry.year = y;
            entry.type = family.cancellationType;
            entry.documentNumber = number;
            entry.date = date;
            entry.description = QStringLiteral("Storno specifikacije ") + QString::number(number);
            entry.purchaseValue = -own.Double(0);
            own.Finish();
            position = tradebook::AppendEntry(db, tradebook::Book::Wholesale, entry);
        }
    }
    db.Exec(QStringLiteral("UPDATE \"SPECIFIKACIJE\" SET \"STORNO\" = TRUE, \"STORNO_RBR_TK\" = "
                           "?, \"DATUM_STORNA\" = ?, \"RBR_STORNO_DOKUMENTA\" = ?") +
                kKey,
            {position ? QVariant(*position) : QVariant(), date,
             numbering::NextCancellationNumber(db, w, y), w, y, number});
}

void DeleteServiceConsumption(Database& db, int w, int y, int number, std::set<int>& pooled) {
    CheckServiceConsumptionCanBeUndone(db, w, y, number);
    for (const ConsumedLine& line : Lines(db, w, y, number)) {
        stock::ReturnToLot(db, line.lot, line.quantity);
        if (line.lot.lot == stock::kPooledLot) {
            pooled.insert(line.lot.article);
        }
    }
    tradebook::DeleteDocumentEntry(db, tradebook::Book::Wholesale, w, Family().tradeBookType, y,
                                   number, false);
    for (const char* table : {"STAVKE_SPECIFIKACIJA", "SPECIFIKACIJE"}) {
        db.Exec(QStringLiteral("DELETE FROM \"") + QString::fromLatin1(table) +
                    QStringLiteral("\"") + kKey,
                {w, y, number});
    }
}

std::optional<int> ConsumptionOfServiceLine(Database& db, int w, int book, int y, int invoice,
                                            int lineNumber) {
    std::vector<std::pair<int, QString>> documents;  // number, service name
    {
        Statement rows = db.Prepare(QStringLiteral(
            "SELECT \"BROJ_SPECIFIKACIJE\", COALESCE(\"OPIS\", '') FROM \"SPECIFIKACIJE\" WHERE "
            "\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA_RACUNA\" = ? AND \"BROJ_RACUNA\" = ? "
            "AND \"STORNO\" = FALSE ORDER BY \"BROJ_SPECIFIKACIJE\""));
        rows.Exec({w, book, y, invoice});
        while (rows.Next()) {
            documents.emplace_back(rows.Int(0), rows.Text(1));
        }
    }
    Statement lines = db.Prepare(QStringLiteral(
        "SELECT l.\"RBR_STAVKE\", COALESCE(u.\"NAZIV\", '') FROM \"STAVKE_RACUNA\" l LEFT JOIN "
        "\"USLUGE\" u ON u.\"SIFRA\" = l.\"SIFRA\" WHERE l.\"SKLADISTE\" = ? AND l.\"IRA\" = ? "
        "AND l.\"GODINA\" = ? AND l.\"BROJ_RACUNA\" = ? AND l.\"TIP_STAVKE\" = 'USL' ORDER BY "
        "l.\"RBR_STAVKE\""));
    lines.Exec({w, book, y, invoice});
    while (lines.Next()) {
        const auto paired =
            std::find_if(documents.begin(), documents.end(),
                         [&](const auto& document) { return document.second == lines.Text(1); });
        if (paired == documents.end()) {
            continue;
        }
        if (lines.Int(0) == lineNumber) {
            return paired->first;
        }
        documents.erase(paired);
    }
    return std::nullopt;
}

std::optional<int> FollowServiceLine(Session& session, int w, int book, int y, int invoice,
                                     const QDate& date, bool takesStock,
                                     std::optional<int> lineNumber, std::optional<int> bound,
                                     std::set<int>& pooled, std::optional<int>& from) {
    Database& db = session.Db();
    Q_ASSERT(db.TransactionDepth() > 0);
    const auto touched = [&](const QVariant& position) {
        if (position.isValid() && !position.isNull() && (!from || position.toInt() < *from)) {
            from = position.toInt();
        }
    };
    if (bound) {
        touched(db.Scalar(QStringLiteral("SELECT \"RBR_TK\" FROM \"SPECIFIKACIJE\"") + kKey,
                          {w, y, *bound}));
        DeleteServiceConsumption(db, w, y, *bound, pooled);
    }
    if (!lineNumber) {
        return std::nullopt;
    }
    const std::vector<BilledService> billed = BilledServices(db, w, book, y, invoice, *lineNumber);
    if (billed.empty() || (!bound && !(takesStock && session.company.serviceConsumptionLists))) {
        return std::nullopt;
    }
    if (session.stockMethod == StockMethod::Fifo) {
        throw UserError(FifoConsumptionRefusal());
    }
    const documents::DocumentKey key =
        bound ? documents::DocumentKey{DocumentKind::ServiceConsumption, w, std::nullopt, y, *bound}
              : documents::NewDocumentKey(db, DocumentKind::ServiceConsumption, w, y);
    const int number = PostConsumption(session, key, book, invoice, date, billed.front());
    workingcopy::FillMissingTaxGroups(db, Info(DocumentKind::ServiceConsumption).lines.front());
    touched(db.Scalar(QStringLiteral("SELECT \"RBR_TK\" FROM \"SPECIFIKACIJE\"") + kKey,
                      {w, y, number}));
    for (const auto& [article, quantity] : billed.front().bill) {
        (void)quantity;
        if (stock::FindLot(db, {w, y, stock::kPooledLot, article})) {
            pooled.insert(article);
        }
    }
    return number;
}

}  // namespace zodra::sales
