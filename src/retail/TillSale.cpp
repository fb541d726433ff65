#include "retail/TillSale.h"

#include <cmath>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "retail/ScaleBarcode.h"
#include "sales/SalePrice.h"
#include "stock/Lots.h"

namespace zodra::retail {

namespace {

const QString kArticle = QStringLiteral("ART");
const QString kPackaging = QStringLiteral("AMB");

QString Insufficient() {
    return QStringLiteral("Nedovoljna količina artikla.");
}
QString CutToFree() {
    return QStringLiteral(
        "Nedovoljna zaliha artikla. Količina će biti postavljena na najveću dopuštenu "
        "vrijednost.");
}

struct Tax {
    QString group;
    double rate = 0;
    int taxationType = 0;
};

Tax ArticleTax(Database& db, int article, int terms) {
    Tax tax;
    tax.taxationType = sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT \"TIP_OPOREZIVANJA\" FROM \"UVJETI_PRODAJE\" WHERE \"SIFRA\" = ?"),
        {terms}));
    Statement row = db.Prepare(
        QStringLiteral("SELECT g.\"NAZIV\", g.\"STOPA\" FROM \"ARTIKLI\" a JOIN \"GRUPE_POREZA\" "
                       "g ON g.\"SIFRA\" = a.\"GRUPA_P\" WHERE a.\"SIFRA\" = ?"));
    row.Exec({article});
    if (row.Next()) {
        tax.group = row.Text(0);
        tax.rate = row.Double(1);
    }
    if (tax.group == QLatin1String("Neoporezivo") || sales::IsExemptTaxation(tax.taxationType)) {
        tax.rate = 0;
    }
    return tax;
}

// Every amount of a line from Q, P, R, t and the lot's cost c.
struct Amounts {
    double quantity = 0;
    double costValue = 0;
    double valueBefore = 0;
    double discount = 0;
    double net = 0;
    double tax = 0;
};

Amounts Compute(double q, double price, double discountPercent, double rate, double cost) {
    Amounts a;
    a.quantity = q;
    a.costValue = q * cost;
    a.valueBefore = q * price;
    a.discount = a.valueBefore * discountPercent / 100;
    a.net = a.valueBefore - a.discount;
    a.tax = a.net * rate / 100;
    return a;
}

// Writes a line's amounts (after a merge: the sums) with the unit prices and percents that
// follow from them.
void WriteAmounts(Database& db, int sessionCode, int lineNumber, const Amounts& a,
                  double discountPercentIfEmpty) {
    const double q = a.quantity;
    db.Exec(
        QStringLiteral(
            "UPDATE \"STAVKE_RACUNA_PRIVREMENO\" SET \"KOLICINA\" = ?, \"NABAVNA_VRIJEDNOST\" = ?, "
            "\"NABAVNA_CIJENA\" = ?, \"RUC_IZNOS\" = ?, \"RUC_%\" = ?, "
            "\"VRIJEDNOST_BEZ_RABATA\" = ?, \"CIJENA_BEZ_RABATA\" = ?, \"RABAT_IZNOS\" = ?, "
            "\"RABAT_%\" = ?, \"VRIJEDNOST_\" = ?, \"CIJENA_\" = ?, \"POREZ_IZNOS\" = ?, "
            "\"UKUPNO_\" = ? WHERE \"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"),
        {RoundQuantity(q), a.costValue, q != 0 ? a.costValue / q : 0.0, a.net - a.costValue,
         a.costValue != 0 ? (a.net / a.costValue - 1) * 100 : 0.0, a.valueBefore,
         q != 0 ? a.valueBefore / q : 0.0, a.discount,
         a.valueBefore != 0 ? a.discount / a.valueBefore * 100 : discountPercentIfEmpty, a.net,
         q != 0 ? a.net / q : 0.0, a.tax, a.net + a.tax, sessionCode, lineNumber});
}

int NextLineNumber(Database& db, int sessionCode) {
    return sqlvalue::ToInt(db.Scalar(QStringLiteral("SELECT MAX(\"RBR_STAVKE\") FROM "
                                                    "\"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                                    "\"Multiuser_sifra\" = ?"),
                                     {sessionCode})) +
           1;
}

// A new line with its key columns; its amounts follow with WriteAmounts.
int InsertLine(Database& db, const TillSale& sale, const QString& kind, int code,
               std::optional<int> lot, const QString& taxGroup, double rate, int taxationType,
               double price, double discountPercent, double cost) {
    const int number = NextLineNumber(db, sale.draft.sessionCode);
    db.Exec(QStringLiteral(
                "INSERT INTO \"STAVKE_RACUNA_PRIVREMENO\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                "\"NABAVNA_CIJENA\", \"CIJENA_BEZ_RABATA\", \"RABAT_%\", \"GRUPA_POREZA\", "
                "\"POREZ_%\", \"TIP_OPOREZIVANJA\", \"OPIS\", \"RBR_STAVKE\", \"Multiuser_sifra\") "
                "VALUES (?, ?, ?, 0, ?, ?, ?, 0, ?, ?, ?, ?, ?, ?, '', ?, ?)"),
            {sale.draft.warehouse, kRetailBook, sale.draft.year, kind, code,
             lot ? QVariant(*lot) : QVariant(), cost, price, discountPercent, taxGroup, rate,
             taxationType, number, sale.draft.sessionCode});
    return number;
}

// The amounts a line holds now.
Amounts Held(Database& db, int sessionCode, int lineNumber) {
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"KOLICINA\", \"NABAVNA_VRIJEDNOST\", \"VRIJEDNOST_BEZ_RABATA\", \"RABAT_IZNOS\", "
        "\"VRIJEDNOST_\", \"POREZ_IZNOS\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
        "\"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"));
    row.Exec({sessionCode, lineNumber});
    Amounts a;
    if (row.Next()) {
        a = {row.Double(0), row.Double(1), row.Double(2),
             row.Double(3), row.Double(4), row.Double(5)};
    }
    return a;
}

Amounts Sum(const Amounts& x, const Amounts& y) {
    return {x.quantity + y.quantity,
            x.costValue + y.costValue,
            x.valueBefore + y.valueBefore,
            x.discount + y.discount,
            x.net + y.net,
            x.tax + y.tax};
}

void DeleteRow(Database& db, int sessionCode, int lineNumber) {
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = "
                           "? AND \"RBR_STAVKE\" = ?"),
            {sessionCode, lineNumber});
    db.Exec(
        QStringLiteral("UPDATE \"STAVKE_RACUNA_PRIVREMENO\" SET \"RBR_STAVKE\" = "
                       "\"RBR_STAVKE\" - 1 WHERE \"RBR_STAVKE\" > ? AND \"Multiuser_sifra\" = ?"),
        {lineNumber, sessionCode});
}

// The packaging lines follow the article lines: per packaging of the articles given, the sum
// over the sale's article lines of quantity × packaging per article, at the packaging's price.
void SyncPackaging(Database& db, const TillSale& sale, int article) {
    const int code = sale.draft.sessionCode;
    Statement packs = db.Prepare(QStringLiteral(
        "SELECT aa.\"AMBALAZA\", COALESCE(a.\"CIJENA\", 0) FROM \"ARTIKLI_AMBALAZA\" aa JOIN "
        "\"AMBALAZA\" a ON a.\"SIFRA\" = aa.\"AMBALAZA\" WHERE aa.\"Artikal\" = ?"));
    packs.Exec({article});
    std::vector<std::pair<int, double>> touched;
    while (packs.Next()) {
        touched.emplace_back(packs.Int(0), packs.Double(1));
    }
    packs.Finish();
    for (const auto& [packaging, price] : touched) {
        const double quantity = RoundQuantity(sqlvalue::ToDouble(db.Scalar(
            QStringLiteral("SELECT SUM(s.\"KOLICINA\" * aa.\"KOLICINA\") FROM "
                           "\"STAVKE_RACUNA_PRIVREMENO\" s JOIN \"ARTIKLI_AMBALAZA\" aa ON "
                           "aa.\"Artikal\" = s.\"SIFRA\" WHERE s.\"Multiuser_sifra\" = ? AND "
                           "s.\"TIP_STAVKE\" = 'ART' AND aa.\"AMBALAZA\" = ?"),
            {code, packaging})));
        const QVariant line = db.Scalar(
            QStringLiteral("SELECT \"RBR_STAVKE\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                           "\"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = 'AMB' AND \"SIFRA\" = ?"),
            {code, packaging});
        if (quantity == 0) {
            if (line.isValid()) {
                DeleteRow(db, code, line.toInt());
            }
            continue;
        }
        const int number = line.isValid()
                               ? line.toInt()
                               : InsertLine(db, sale, kPackaging, packaging, std::nullopt,
                                            QStringLiteral("Neoporezivo"), 0, 0, price, 0, 0);
        WriteAmounts(db, code, number, Compute(quantity, price, 0, 0, 0), 0);
    }
}

QString DisplayAmounts(Database& db, int sessionCode, int lineNumber) {
    Statement row = db.Prepare(
        QStringLiteral("SELECT \"KOLICINA\", \"UKUPNO_\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                       "\"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"));
    row.Exec({sessionCode, lineNumber});
    if (!row.Next()) {
        return QString();
    }
    const double q = row.Double(0);
    const double total = row.Double(1);
    return Amount(q) + QLatin1Char('*') + Amount(q != 0 ? total / q : 0.0) + QLatin1Char('=') +
           Amount(total);
}

}  // namespace

QString Amount(double value) {
    return QString::number(RoundMoney(value), 'f', 2);
}

int RetailCustomer(Database& db) {
    const QVariant code = db.Scalar(
        QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = ? ORDER BY \"SIFRA\""),
        {QStringLiteral("Kupac u maloprodaji")});
    if (!code.isValid()) {
        throw UserError(QStringLiteral("Nije upisan kupac 'Kupac u maloprodaji'."));
    }
    return code.toInt();
}

TillSale OpenTillSale(Session& session, const QDate& date) {
    TillSale sale;
    sale.draft = sales::OpenInvoice(session, date);
    sale.draft.book = kRetailBook;
    sale.draft.salesTerms = sales::kRetailSalesTerms;
    sale.draft.customer = RetailCustomer(session.Db());
    sale.cashier = session.userName;
    return sale;
}

void CloseTillSale(Session& session, TillSale& sale) {
    sales::DiscardInvoice(session, sale.draft);
}

int ArticleByBarcode(Database& db, const QString& barcode) {
    const QString text = barcode.trimmed();
    const QVariant code =
        text.isEmpty()
            ? QVariant()
            : db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"BARKOD\" = ? "
                                       "ORDER BY \"SIFRA\" LIMIT 1"),
                        {text});
    if (!code.isValid()) {
        throw UserError(QStringLiteral("Artikal sa ovim barkodom nije upisan."));
    }
    return code.toInt();
}

int ArticleByCode(Database& db, int code) {
    if (!db.Scalar(QStringLiteral("SELECT 1 FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {code})
             .isValid()) {
        throw UserError(QStringLiteral("Artikal sa ovom šifrom nije upisan."));
    }
    return code;
}

std::optional<int> RegisterLot(Session& session, const TillSale& sale, int article,
                               std::optional<int> chosen, double wanted) {
    Database& db = session.Db();
    const int w = sale.draft.warehouse;
    const int y = sale.draft.year;
    if (session.company.lotChoiceInRegister && chosen) {
        if (!stock::FindLot(db, {w, y, *chosen, article})) {
            throw UserError(stock::MissingLotMessage(stock::ArticleName(db, article)));
        }
        return chosen;
    }
    if (db.TransactionDepth() > 0) {
        if (const std::optional<stock::Lot> locked =
                stock::LockedDefaultLot(db, w, y, article, wanted)) {
            return locked->key.lot;
        }
    } else if (const std::optional<int> oldest = stock::DefaultLot(db, w, y, article, wanted)) {
        return oldest;
    }
    const QVariant newest = db.Scalar(
        QStringLiteral("SELECT MAX(\"BROJ_PRIMKE\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND "
                       "\"GODINA\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
        {w, y, article});
    if (newest.isNull() || !newest.isValid()) {
        return std::nullopt;
    }
    return newest.toInt();
}

RegisterLineResult AddRegisterLine(Session& session, const TillSale& sale,
                                   const RegisterLineInput& input) {
    Database& db = session.Db();
    limits::RequireNumber(input.quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    limits::RequireNumber(input.discount, limits::NumberKind::Discount, QStringLiteral("Popust"));
    if (QuantityIsZero(input.quantity)) {
        throw UserError(QStringLiteral("Količina ne može biti nula !"));
    }
    ArticleByCode(db, input.article);
    const int terms = sale.draft.salesTerms.value_or(sales::kRetailSalesTerms);
    const bool deferred = session.company.deferredRegisterStock;
    const int code = sale.draft.sessionCode;

    Transaction transaction(db, Transaction::Locking::Rows);
    const std::optional<int> lot =
        RegisterLot(session, sale, input.article, input.lot, std::max(input.quantity, 0.0));
    const double price =
        sales::SalePrice(db, {input.article, sale.draft.customer, sale.draft.warehouse, lot,
                              sale.draft.year, terms, sale.draft.date});
    limits::RequireNumber(price, limits::NumberKind::Price, QStringLiteral("Cijena"));
    std::optional<stock::Lot> found;
    if (lot) {
        found = stock::FindLot(db, {sale.draft.warehouse, sale.draft.year, *lot, input.article});
    }
    RegisterLineResult result;
    result.quantity = input.quantity;
    if (!deferred && input.quantity > 0) {
        double free = found ? RoundQuantity(found->freeQuantity) : 0.0;
        if (sale.transferWarehouse) {
            // What the transfer warehouse has free comes by a generated transfer at posting.
            free = RoundQuantity(
                std::max(free, 0.0) +
                sqlvalue::ToDouble(db.Scalar(
                    QStringLiteral("SELECT SUM(\"KOLICINA_PRIVREMENO\") FROM \"NABAVE\" WHERE "
                                   "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"SIFRA_ARTIKLA\" = "
                                   "? AND \"KOLICINA_PRIVREMENO\" > 0"),
                    {*sale.transferWarehouse, sale.draft.year, input.article})));
        }
        if (free <= 0) {
            throw UserError(Insufficient());
        }
        if (RoundQuantity(input.quantity - free) > 0) {
            result.quantity = free;
            result.messages.push_back(CutToFree());
        }
    }
    const Tax tax = ArticleTax(db, input.article, terms);
    const double cost = found ? found->costPrice : 0.0;
    const Amounts added = Compute(result.quantity, price, input.discount, tax.rate, cost);
    const QVariant existing = db.Scalar(
        QStringLiteral("SELECT \"RBR_STAVKE\" FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                       "\"Multiuser_sifra\" = ? AND \"TIP_STAVKE\" = 'ART' AND \"SIFRA\" = ? AND "
                       "COALESCE(\"BROJ_PRIMKE\", -1) = ? AND COALESCE(\"GRUPA_POREZA\", '') = ? "
                       "AND \"TIP_OPOREZIVANJA\" = ?"),
        {code, input.article, lot.value_or(-1), tax.group, tax.taxationType});
    if (existing.isValid()) {
        result.lineNumber = existing.toInt();
        WriteAmounts(db, code, result.lineNumber, Sum(Held(db, code, result.lineNumber), added),
                     input.discount);
    } else {
        result.lineNumber = InsertLine(db, sale, kArticle, input.article, lot, tax.group, tax.rate,
                                       tax.taxationType, price, input.discount, cost);
        WriteAmounts(db, code, result.lineNumber, added, input.discount);
    }
    if (found) {
        // The reservation other registers see; in deferred mode it may run below zero, the
        // goods being taken at day end.
        stock::ReserveFromLot(db, {sale.draft.warehouse, sale.draft.year, *lot, input.article},
                              result.quantity);
    }
    if (session.company.packaging) {
        SyncPackaging(db, sale, input.article);
    }
    result.displayName = stock::ArticleName(db, input.article);
    result.displayAmounts = DisplayAmounts(db, code, result.lineNumber);
    transaction.Commit();
    return result;
}

RegisterLineResult ScanBarcode(Session& session, const TillSale& sale, const QString& barcode,
                               double quantity, double discount) {
    Database& db = session.Db();
    if (const std::optional<ScaleReading> scale = ReadScaleBarcode(db, barcode)) {
        const int article = ArticleByCode(db, scale->article);
        double q = scale->quantity;
        if (scale->price) {
            // The quantity that comes to the price printed on the label at the register's
            // price with tax.
            const std::optional<int> lot = RegisterLot(session, sale, article);
            const int terms = sale.draft.salesTerms.value_or(sales::kRetailSalesTerms);
            const double net =
                sales::SalePrice(db, {article, sale.draft.customer, sale.draft.warehouse, lot,
                                      sale.draft.year, terms, sale.draft.date}) *
                (1 - discount / 100);
            const double withTax = net * (1 + ArticleTax(db, article, terms).rate / 100);
            if (RoundMoney(withTax) <= 0) {
                throw UserError(QStringLiteral("Nije pronađena cijena artikla."));
            }
            q = RoundQuantity(*scale->price / withTax);
        }
        return AddRegisterLine(session, sale, {article, q, discount, std::nullopt});
    }
    return AddRegisterLine(session, sale,
                           {ArticleByBarcode(db, barcode), quantity, discount, std::nullopt});
}

RegisterLineResult AddRegisterCompositeLine(Session& session, const TillSale& sale, int product,
                                            double quantity, double discount,
                                            std::optional<double> price) {
    Database& db = session.Db();
    limits::RequireNumber(quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    limits::RequireNumber(discount, limits::NumberKind::Discount, QStringLiteral("Popust"));
    RegisterLineResult result;
    result.quantity = quantity;
    if (!price) {
        price = sales::ProposeComposite(session, sale.draft, product).price;
        if (RoundMoney(*price) <= 0) {
            throw UserError(QStringLiteral("Nije pronađena cijena artikla."));
        }
    }
    if (!session.company.deferredRegisterStock && quantity > 0) {
        const sales::QuantityCheck check =
            sales::CheckCompositeQuantity(session, sale.draft, product, quantity);
        if (!check.messages.empty() && RoundQuantity(check.quantity) <= 0) {
            throw UserError(check.messages.front());
        }
        result.quantity = check.quantity;
        result.messages = check.messages;
    }
    const sales::AcceptedLine line = sales::AddCompositeLineMerging(
        session, sale.draft, {product, result.quantity, price, discount, std::nullopt, {}});
    result.lineNumber = line.lineNumber;
    result.displayName = stock::ArticleName(db, product);
    result.displayAmounts = DisplayAmounts(db, sale.draft.sessionCode, result.lineNumber);
    return result;
}

void DeleteRegisterLine(Session& session, const TillSale& sale, int lineNumber) {
    Database& db = session.Db();
    const int code = sale.draft.sessionCode;
    Transaction transaction(db, Transaction::Locking::Rows);
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\" FROM "
        "\"STAVKE_RACUNA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ? AND \"RBR_STAVKE\" = ?"));
    row.Exec({code, lineNumber});
    if (!row.Next()) {
        throw UserError(QStringLiteral("Nije pronađena stavka računa."));
    }
    const QString kind = row.Text(0);
    const int article = row.Int(1);
    const std::optional<int> lot = row.IsNull(2) ? std::nullopt : std::optional<int>(row.Int(2));
    const double quantity = row.Double(3);
    row.Finish();
    DeleteRow(db, code, lineNumber);
    if (kind == kArticle) {
        if (lot) {
            stock::ReleaseToLot(db, {sale.draft.warehouse, sale.draft.year, *lot, article},
                                quantity);
        }
        if (session.company.packaging) {
            SyncPackaging(db, sale, article);
        }
    }
    transaction.Commit();
}

}  // namespace zodra::retail
