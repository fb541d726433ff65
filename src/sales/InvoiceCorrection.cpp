#include "sales/InvoiceCorrection.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "sales/InvoiceLines.h"
#include "sales/ServiceConsumption.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"
#include "stock/TradeBook.h"

namespace zodra::sales {

namespace {

const QString kArticle = QStringLiteral("ART");
const QString kService = QStringLiteral("USL");
constexpr int kDescriptionLength = 255;
const QString kKey = QStringLiteral(
    " WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ?");

QVariantList KeyOf(const InvoiceKey& k) {
    return {k.warehouse, k.book, k.year, k.number};
}

// A posted line as correction reads it.
struct PostedLine {
    int lineNumber = 0;
    QString kind;
    int code = 0;
    int lot = 0;
    double quantity = 0;
    double cost = 0;
    double price = 0;  // before discount
    double discountPercent = 0;
    double taxRate = 0;
    QString taxGroup;
    int taxationType = 0;
    QString description;
    double leftAt = 0;  // CIJENA_SKLADISTA: the lot's selling price when the goods left
};

std::vector<PostedLine> ReadLines(Database& db, const InvoiceKey& key) {
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"RBR_STAVKE\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", "
                       "\"KOLICINA\", \"NABAVNA_CIJENA\", \"CIJENA_BEZ_RABATA\", \"RABAT_%\", "
                       "\"POREZ_%\", \"GRUPA_POREZA\", \"TIP_OPOREZIVANJA\", \"OPIS\", "
                       "\"CIJENA_SKLADISTA\" FROM \"STAVKE_RACUNA\"") +
        kKey + QStringLiteral(" ORDER BY \"RBR_STAVKE\""));
    rows.Exec(KeyOf(key));
    std::vector<PostedLine> lines;
    while (rows.Next()) {
        PostedLine l;
        l.lineNumber = rows.Int(0);
        l.kind = rows.Text(1);
        l.code = rows.Int(2);
        l.lot = rows.Int(3);
        l.quantity = rows.Double(4);
        l.cost = rows.Double(5);
        l.price = rows.Double(6);
        l.discountPercent = rows.Double(7);
        l.taxRate = rows.Double(8);
        l.taxGroup = rows.Text(9);
        l.taxationType = rows.Int(10);
        l.description = rows.Text(11);
        l.leftAt = rows.Double(12);
        lines.push_back(l);
    }
    return lines;
}

PostedLine RequireLine(Database& db, const InvoiceKey& key, int lineNumber) {
    for (const PostedLine& l : ReadLines(db, key)) {
        if (l.lineNumber == lineNumber) {
            return l;
        }
    }
    throw UserError(QStringLiteral("Nije pronađena stavka računa."));
}

PostedInvoiceHeader Require(Database& db, const InvoiceKey& key) {
    const std::optional<PostedInvoiceHeader> h = ReadPostedInvoice(db, key);
    if (!h) {
        throw UserError(NoSuchInvoiceMessage(key.number));
    }
    if (h->cancelled) {
        throw UserError(CancelledInvoiceMessage());
    }
    return *h;
}

void RequireAmounts(double quantity, double price, double discountPercent) {
    limits::RequireNumber(quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    limits::RequireNumber(price, limits::NumberKind::Price, QStringLiteral("Cijena"));
    limits::RequireNumber(discountPercent, limits::NumberKind::Discount, QStringLiteral("Rabat"));
    if (QuantityIsZero(quantity)) {
        throw UserError(QStringLiteral("Količina ne može biti nula !"));
    }
}

void RequireDescription(const QString& description) {
    if (description.size() > kDescriptionLength) {
        throw UserError(QStringLiteral("Opis je duži od 255 znakova !"));
    }
    if (const auto refusal = limits::CheckText(description, QStringLiteral("Opis"))) {
        throw UserError(*refusal);
    }
}

// The line's amounts from Q, P, R, t and c, as every invoice line computes them.
QVariantList Amounts(double q, double p, double r, double t, double c) {
    const double value = q * p;
    const double discount = value * r / 100;
    const double net = value - discount;
    const double tax = net * t / 100;
    const double costValue = q * c;
    return {q,
            c,
            costValue,
            costValue != 0 ? (net / costValue - 1) * 100 : 0.0,
            net - costValue,
            p,
            value,
            r,
            discount,
            q != 0 ? net / q : 0.0,
            net,
            t,
            tax,
            net + tax};
}

const QString kAmountColumns = QStringLiteral(
    "\"KOLICINA\", \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"RUC_%\", \"RUC_IZNOS\", "
    "\"CIJENA_BEZ_RABATA\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_%\", \"RABAT_IZNOS\", \"CIJENA_\", "
    "\"VRIJEDNOST_\", \"POREZ_%\", \"POREZ_IZNOS\", \"UKUPNO_\"");

void WriteLine(Database& db, const InvoiceKey& key, const PostedLine& l) {
    QVariantList values = Amounts(l.quantity, l.price, l.discountPercent, l.taxRate, l.cost);
    values << l.description << l.leftAt;
    values << KeyOf(key) << l.lineNumber;
    db.Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA\" SET (") + kAmountColumns +
                QStringLiteral(", \"OPIS\", \"CIJENA_SKLADISTA\") = (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                               "?, ?, ?, ?, ?, ?, ?)") +
                kKey + QStringLiteral(" AND \"RBR_STAVKE\" = ?"),
            values);
}

void InsertLine(Database& db, const InvoiceKey& key, const PostedLine& l) {
    QVariantList values = KeyOf(key);
    values << l.kind << l.code << l.lot;
    values << Amounts(l.quantity, l.price, l.discountPercent, l.taxRate, l.cost);
    values << l.taxGroup << l.taxationType << l.description << l.lineNumber << l.leftAt;
    db.Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                           "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", ") +
                kAmountColumns +
                QStringLiteral(", \"GRUPA_POREZA\", \"TIP_OPOREZIVANJA\", \"OPIS\", "
                               "\"RBR_STAVKE\", \"CIJENA_SKLADISTA\") VALUES (?, ?, ?, ?, ?, ?, "
                               "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            values);
}

stock::LotKey LotOf(const InvoiceKey& key, const PostedLine& l) {
    return {key.warehouse, key.year, l.lot, l.code};
}

bool MovesStock(const PostedInvoiceHeader& h, const PostedLine& l) {
    return h.takesStock && l.kind == kArticle;
}

// The goods of an article line left its lot at the lot's selling price of that moment; giving
// back or taking more is sound only while the lot still sells at it.
stock::Lot RequireSamePrice(Database& db, const InvoiceKey& key, const PostedLine& l) {
    const std::optional<stock::Lot> lot = stock::FindLot(db, LotOf(key, l));
    const QString name = stock::ArticleName(db, l.code);
    if (!lot) {
        throw UserError(stock::MissingLotMessage(name));
    }
    if (RoundQuantity(lot->sellingPrice) != RoundQuantity(l.leftAt)) {
        throw UserError(QStringLiteral("Ovaj račun nemožete ispraviti jer artikal '") + name +
                        QStringLiteral("' više nema istu cijenu na skladištu."));
    }
    return *lot;
}

// A posted invoice generates no price change: the line sells at its lot's price (for the retail
// terms, the lot's price with its retail margin).
void RequireLotPrice(Database& db, int terms, const stock::Lot& lot, int article, double price) {
    double sold = price;
    if (terms == kRetailTerms) {
        const double factor = 1 + lot.retailMargin.value_or(0) / 100;
        sold = RoundQuantity(factor) != 0 ? price / factor : price;
    }
    if (RoundQuantity(sold) != RoundQuantity(lot.sellingPrice)) {
        const double shown = terms == kRetailTerms
                                 ? lot.sellingPrice * (1 + lot.retailMargin.value_or(0) / 100)
                                 : lot.sellingPrice;
        throw UserError(
            QStringLiteral("Cijena artikla ") + stock::ArticleName(db, article) +
            QStringLiteral(" u ispravku mora biti jednaka cijeni na skladištu (") +
            QString::number(RoundMoney(shown), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')) +
            QStringLiteral(")."));
    }
}

// More goods leave the lot: what it has free (open working copies hold the rest) must cover it.
void Take(Database& db, const stock::LotKey& lot, double quantity) {
    const std::optional<stock::Lot> found = stock::FindLot(db, lot);
    const QString name = stock::ArticleName(db, lot.article);
    if (!found) {
        throw UserError(stock::MissingLotMessage(name));
    }
    if (RoundQuantity(found->freeQuantity - quantity) < 0) {
        throw UserError(stock::InsufficientQuantityMessage(name));
    }
    stock::ReserveFromLot(db, lot, quantity);
    stock::TakeFromLot(db, lot, quantity);
}

// After every change: the invoice's trade-book entry carries the new value and tax of its
// article lines (the balances after it follow), pooled lots recompute their cost from the
// invoice onwards, and lots and cards must agree.
// A service line's consumption document that was undone or posted again (`consumptionFrom`,
// its earliest trade-book position) moves the balances and pooled costs from there on too.
void Finish(Session& session, const PostedInvoiceHeader& h, const std::set<int>& pooled,
            std::optional<int> consumptionFrom = std::nullopt) {
    Database& db = session.Db();
    if (consumptionFrom) {
        const int from = h.position ? std::min(*h.position, *consumptionFrom) : *consumptionFrom;
        if (h.takesStock && h.position) {
            const InvoiceTotals t = TotalsOf(db, InvoiceLinesTarget{0, h.key});
            db.Exec(QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET "
                                   "\"PRODAJA_VRIJEDNOST\" = ?, \"PRODAJA_POREZ\" = ?, "
                                   "\"PRODAJA_UKUPNO\" = ? WHERE \"SKLADISTE\" = ? AND "
                                   "\"GODINA\" = ? AND \"RBR\" = ?"),
                    {t.articleValue, t.articleTax, RoundMoney(t.articleValue + t.articleTax),
                     h.key.warehouse, h.key.year, *h.position});
        }
        tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, h.key.warehouse, h.key.year);
        for (int article : pooled) {
            stock::RecomputeAverageCost(db, h.key.warehouse, h.key.year, article, from);
        }
        stock::CheckStockAgainstCard(session);
        return;
    }
    if (h.takesStock && h.position) {
        const InvoiceTotals t = TotalsOf(db, InvoiceLinesTarget{0, h.key});
        db.Exec(QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET "
                               "\"PRODAJA_VRIJEDNOST\" = ?, \"PRODAJA_POREZ\" = ?, "
                               "\"PRODAJA_UKUPNO\" = ? WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? "
                               "AND \"RBR\" = ?"),
                {t.articleValue, t.articleTax, RoundMoney(t.articleValue + t.articleTax),
                 h.key.warehouse, h.key.year, *h.position});
        tradebook::RecomputeBalance(db, tradebook::Book::Wholesale, h.key.warehouse, h.key.year);
        for (int article : pooled) {
            stock::RecomputeAverageCost(db, h.key.warehouse, h.key.year, article, *h.position);
        }
    }
    stock::CheckStockAgainstCard(session);
}

std::set<int> PooledOf(const PostedLine& l) {
    return l.lot == stock::kPooledLot ? std::set<int>{l.code} : std::set<int>{};
}

std::optional<PostedLine> MergeTarget(Database& db, const InvoiceKey& key, const PostedLine& n) {
    for (const PostedLine& l : ReadLines(db, key)) {
        if (l.kind == n.kind && l.code == n.code && l.lot == n.lot && l.taxGroup == n.taxGroup &&
            l.taxationType == n.taxationType) {
            return l;
        }
    }
    return std::nullopt;
}

int NextLineNumber(Database& db, const InvoiceKey& key) {
    return sqlvalue::ToInt(
               db.Scalar(QStringLiteral("SELECT MAX(\"RBR_STAVKE\") FROM \"STAVKE_RACUNA\"") + kKey,
                         KeyOf(key))) +
           1;
}

// Writes a new entry (merged into its line when the question was answered Yes) in one
// transaction with what it takes from its lot.
AcceptedLine Accept(Session& session, const InvoiceKey& key, PostedLine line, bool merge) {
    Database& db = session.Db();
    Transaction transaction(db);
    const PostedInvoiceHeader h = Require(db, key);
    std::set<int> pooled;
    if (MovesStock(h, line)) {
        if (!h.position) {
            throw UserError(
                QStringLiteral("Računu bez stavaka artikala ne mogu se ispravkom dodati artikli."));
        }
        const std::optional<stock::Lot> lot = stock::FindLot(db, LotOf(key, line));
        if (!lot) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, line.code)));
        }
        RequireLotPrice(db, h.salesTerms, *lot, line.code, line.price);
        line.cost = lot->costPrice;
        line.leftAt = lot->sellingPrice;
        Take(db, LotOf(key, line), line.quantity);
        pooled = PooledOf(line);
    }
    AcceptedLine accepted;
    const std::optional<PostedLine> existing = merge ? MergeTarget(db, key, line) : std::nullopt;
    const std::optional<int> bound =
        existing && line.kind == kService
            ? ConsumptionOfServiceLine(db, key.warehouse, key.book, key.year, key.number,
                                       existing->lineNumber)
            : std::nullopt;
    if (existing) {
        // The entries add up: the unit prices and the discount percent follow from the sums.
        PostedLine merged = *existing;
        const double q = existing->quantity + line.quantity;
        const double before = existing->quantity * existing->price + line.quantity * line.price;
        const double discount =
            existing->quantity * existing->price * existing->discountPercent / 100 +
            line.quantity * line.price * line.discountPercent / 100;
        merged.quantity = q;
        merged.price = before / q;
        merged.discountPercent = before != 0 ? discount / before * 100 : 0.0;
        merged.cost = (existing->quantity * existing->cost + line.quantity * line.cost) / q;
        if (!line.description.isEmpty()) {
            merged.description =
                existing->description.isEmpty()
                    ? line.description
                    : existing->description + QStringLiteral(", ") + line.description;
        }
        RequireDescription(merged.description);
        WriteLine(db, key, merged);
        accepted = {merged.lineNumber, true};
    } else {
        line.lineNumber = NextLineNumber(db, key);
        InsertLine(db, key, line);
        accepted = {line.lineNumber, false};
    }
    std::optional<int> consumptionFrom;
    if (line.kind == kService) {
        FollowServiceLine(session, key.warehouse, key.book, key.year, key.number, h.date,
                          h.takesStock, accepted.lineNumber, bound, pooled, consumptionFrom);
    }
    Finish(session, h, pooled, consumptionFrom);
    transaction.Commit();
    return accepted;
}

}  // namespace

QString NoSuchInvoiceMessage(int number) {
    return QStringLiteral("Ne postoji proknjiženi račun broj ") + QString::number(number);
}

QString CancelledInvoiceMessage() {
    return QStringLiteral("Ovaj račun je već storniran.");
}

std::optional<PostedInvoiceHeader> ReadPostedInvoice(Database& db, const InvoiceKey& key) {
    Statement row = db.Prepare(QStringLiteral(
        "SELECT r.\"DATUM\", r.\"SIFRA PARTNERA\", r.\"UVJET PRODAJE\", p.\"NAZIV\", r.\"SKIDA\", "
        "r.\"STORNO\", r.\"RBR_TK\" FROM \"RACUNI\" r LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = "
        "r.\"SIFRA PARTNERA\" WHERE r.\"SKLADISTE\" = ? AND r.\"IRA\" = ? AND r.\"GODINA\" = ? "
        "AND r.\"BROJ RACUNA\" = ?"));
    row.Exec(KeyOf(key));
    if (!row.Next()) {
        return std::nullopt;
    }
    PostedInvoiceHeader h;
    h.key = key;
    h.date = sqlvalue::ToDate(row.Value(0));
    h.customer = row.Int(1);
    h.salesTerms = row.Int(2);
    h.customerName = row.Text(3);
    h.takesStock = row.Int(4) != 0;
    h.cancelled = row.Int(5) != 0;
    if (!row.IsNull(6)) {
        h.position = row.Int(6);
    }
    return h;
}

InvoiceDraft CorrectionDraft(const PostedInvoiceHeader& h) {
    InvoiceDraft d;
    d.warehouse = h.key.warehouse;
    d.year = h.key.year;
    d.book = h.key.book;
    d.salesTerms = h.salesTerms;
    d.customer = h.customer;
    d.date = h.date;
    return d;
}

std::optional<AcceptedLine> AddPostedArticleLine(Session& session, Prompter& prompter,
                                                 const InvoiceKey& key,
                                                 const ArticleLineInput& input) {
    Database& db = session.Db();
    const PostedInvoiceHeader h = Require(db, key);
    if (input.article <= 0) {
        throw UserError(QStringLiteral("Nije izabran artikal !"));
    }
    RequireDescription(input.description);
    const InvoiceDraft draft = CorrectionDraft(h);
    const ArticleProposal p =
        ProposeArticle(session, draft, input.article, input.lot, input.salesTerms, input.quantity);
    PostedLine line;
    line.kind = kArticle;
    line.code = input.article;
    line.lot = p.lot;
    line.quantity = input.quantity;
    line.price = input.price.value_or(p.price);
    line.discountPercent = input.discount.value_or(p.discount);
    line.taxRate = p.taxRate;
    line.taxGroup = p.taxGroup;
    line.taxationType = p.taxationType;
    line.description = input.description;
    line.cost = p.costPrice;
    line.leftAt = p.lotPrice;
    RequireAmounts(line.quantity, line.price, line.discountPercent);
    const bool merge = MergeTarget(db, key, line).has_value();
    if (merge && !prompter.AskYesNo(ArticleMergeQuestion(), QStringLiteral("Račun"), true)) {
        return std::nullopt;
    }
    return Accept(session, key, line, merge);
}

std::optional<AcceptedLine> AddPostedServiceLine(Session& session, Prompter& prompter,
                                                 const InvoiceKey& key,
                                                 const ServiceLineInput& input,
                                                 const std::vector<int>& employees) {
    Database& db = session.Db();
    const PostedInvoiceHeader h = Require(db, key);
    if (input.service <= 0) {
        throw UserError(QStringLiteral("Nije izabrana usluga !"));
    }
    const ServiceProposal p =
        ProposeService(session, CorrectionDraft(h), input.service, input.salesTerms);
    PostedLine line;
    line.kind = kService;
    line.code = input.service;
    line.taxRate = p.taxRate;
    line.taxGroup = p.taxGroup;
    line.taxationType = p.taxationType;
    bool merge = false;
    if (p.cashDiscount) {
        const std::optional<QString> typed = prompter.AskText(
            QStringLiteral("Upišite postotak za CASSA SCONTO."), QStringLiteral("Račun"));
        if (!typed) {
            return std::nullopt;
        }
        bool ok = false;
        const double percent =
            QString(*typed).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
        if (!ok || !std::isfinite(percent)) {
            throw UserError(QStringLiteral("Nije upisan broj"));
        }
        limits::RequireNumber(percent, limits::NumberKind::Discount, QStringLiteral("Postotak"));
        line.quantity = 1;
        line.price = -TotalsOf(db, InvoiceLinesTarget{0, key}).value * percent / 100;
        limits::RequireNumber(line.price, limits::NumberKind::Amount, QStringLiteral("Cijena"));
        line.description = ShownNumber(percent, 10) + QStringLiteral("%");
    } else {
        RequireDescription(input.description);
        line.quantity = input.quantity;
        line.price = input.price.value_or(p.price);
        line.discountPercent = input.discount.value_or(0);
        line.description = input.description;
        RequireAmounts(line.quantity, line.price, line.discountPercent);
        merge = MergeTarget(db, key, line).has_value();
        if (merge && !prompter.AskYesNo(ServiceMergeQuestion(), QStringLiteral("Račun"), true)) {
            return std::nullopt;
        }
    }
    Transaction transaction(db);
    const std::optional<AcceptedLine> accepted = Accept(session, key, line, merge);
    WriteLineEmployees(db, QStringLiteral("STAVKE_RACUNA_DJELATNICI"), key.warehouse, key.book,
                       key.year, key.number, std::nullopt, kService, input.service, employees);
    transaction.Commit();
    return accepted;
}

void ChangePostedLine(Session& session, const InvoiceKey& key, int lineNumber,
                      const PostedLineChange& change) {
    RequireAmounts(change.quantity, change.price, change.discountPercent);
    Database& db = session.Db();
    Transaction transaction(db);
    const PostedInvoiceHeader h = Require(db, key);
    PostedLine line = RequireLine(db, key, lineNumber);
    std::set<int> pooled;
    if (MovesStock(h, line)) {
        const bool quantityChanged = RoundQuantity(change.quantity) != RoundQuantity(line.quantity);
        const bool priceChanged = RoundQuantity(change.price) != RoundQuantity(line.price);
        if (quantityChanged || priceChanged) {
            const stock::Lot lot = RequireSamePrice(db, key, line);
            if (priceChanged) {
                RequireLotPrice(db, h.salesTerms, lot, line.code, change.price);
            }
        }
        const double more = RoundQuantity(change.quantity - line.quantity);
        if (more > 0) {
            Take(db, LotOf(key, line), more);
        } else if (more < 0) {
            stock::ReturnToLot(db, LotOf(key, line), -more);
        }
        pooled = PooledOf(line);
    }
    const bool consumptionFollows =
        line.kind == kService && RoundQuantity(change.quantity) != RoundQuantity(line.quantity);
    const std::optional<int> bound =
        consumptionFollows ? ConsumptionOfServiceLine(db, key.warehouse, key.book, key.year,
                                                      key.number, lineNumber)
                           : std::nullopt;
    line.quantity = change.quantity;
    line.price = change.price;
    line.discountPercent = change.discountPercent;
    WriteLine(db, key, line);
    std::optional<int> consumptionFrom;
    if (consumptionFollows) {
        FollowServiceLine(session, key.warehouse, key.book, key.year, key.number, h.date,
                          h.takesStock, lineNumber, bound, pooled, consumptionFrom);
    }
    Finish(session, h, pooled, consumptionFrom);
    transaction.Commit();
}

void DeletePostedLine(Session& session, const InvoiceKey& key, int lineNumber) {
    Database& db = session.Db();
    Transaction transaction(db);
    const PostedInvoiceHeader h = Require(db, key);
    const PostedLine line = RequireLine(db, key, lineNumber);
    std::set<int> pooled;
    if (MovesStock(h, line)) {
        RequireSamePrice(db, key, line);
        stock::ReturnToLot(db, LotOf(key, line), line.quantity);
        pooled = PooledOf(line);
    }
    const std::optional<int> bound =
        line.kind == kService ? ConsumptionOfServiceLine(db, key.warehouse, key.book, key.year,
                                                         key.number, lineNumber)
                              : std::nullopt;
    QVariantList params = KeyOf(key);
    params << lineNumber;
    for (const char* table : {"STAVKE_RACUNA_DJELATNICI", "STAVKE_RACUNA_DODATNI_PODACI"}) {
        db.Exec(QStringLiteral("DELETE FROM \"") + QString::fromLatin1(table) +
                    QStringLiteral("\"") + kKey +
                    QStringLiteral(" AND \"TIP_STAVKE\" = ? AND \"SIFRA\" = ? AND "
                                   "COALESCE(\"BROJ_PRIMKE\", 0) = ?"),
                KeyOf(key) + QVariantList{line.kind, line.code, line.lot});
    }
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_RACUNA\"") + kKey +
                QStringLiteral(" AND \"RBR_STAVKE\" = ?"),
            params);
    db.Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA\" SET \"RBR_STAVKE\" = \"RBR_STAVKE\" - 1") +
                kKey + QStringLiteral(" AND \"RBR_STAVKE\" > ?"),
            params);
    std::optional<int> consumptionFrom;
    if (bound) {
        FollowServiceLine(session, key.warehouse, key.book, key.year, key.number, h.date,
                          h.takesStock, std::nullopt, bound, pooled, consumptionFrom);
    }
    Finish(session, h, pooled, consumptionFrom);
    transaction.Commit();
}

void ChangePostedCustomer(Session& session, Prompter& prompter, const InvoiceKey& key,
                          int customer) {
    Database& db = session.Db();
    const QString paymentsOf = QStringLiteral(
        " FROM \"NAPLATA\" WHERE \"Skladište\" = ? AND \"IRA\" = ? AND \"Godina\" = ? AND "
        "\"Broj računa\" = ?");
    const QVariantList params{key.warehouse, key.book, key.year, key.number};
    Require(db, key);
    if (PartnerName(db, customer).isEmpty()) {
        throw UserError(QStringLiteral("Nije izabran kupac !"));
    }
    const bool paid =
        sqlvalue::ToInt(db.Scalar(QStringLiteral("SELECT COUNT(*)") + paymentsOf, params)) > 0;
    if (paid &&
        !prompter.AskYesNo(QStringLiteral("Želite li promijeniti naplatu računa na novog kupca ?"),
                           QStringLiteral("Račun"), false)) {
        throw UserError(
            QStringLiteral("Kupca nemožete promijeniti dok ne obrišete plaćanje ovog računa."));
    }
    Transaction transaction(db);
    Require(db, key);
    db.Exec(
        QStringLiteral("UPDATE \"RACUNI\" SET (\"SIFRA PARTNERA\", \"ISPORUKA NAZIV\", "
                       "\"ISPORUKA ADRESA\", \"ISPORUKA MJESTO\") = (SELECT \"SIFRA\", "
                       "\"NAZIV\", \"ADRESA\", \"MJESTO\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?) "
                       "WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
                       "\"BROJ RACUNA\" = ?"),
        QVariantList{customer} + params);
    db.Exec(QStringLiteral("UPDATE \"UPLATE\" SET \"Partner\" = ? WHERE \"Sifra\" IN (SELECT "
                           "\"Sifra uplate\"") +
                paymentsOf + QStringLiteral(")"),
            QVariantList{customer} + params);
    transaction.Commit();
}

}  // namespace zodra::sales
