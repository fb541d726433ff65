#include "production/FinishingWorkOrder.h"

#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "documents/WorkingLines.h"
#include "production/WorkOrder.h"
#include "production/WorkOrderParts.h"
#include "registers/BillsOfMaterials.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"

namespace zodra::production {

namespace bom = registers::billsofmaterials;

namespace {

const QString kServicesTable = QStringLiteral("STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO");
const QString kProduct = QStringLiteral("GOT_PR_SIFRA");

QString RowKey(Database& db) {
    return QLatin1Char('"') + QString::fromUtf16(RowKeyColumn(db.Dialect())) + QLatin1Char('"');
}

documents::WorkingLines Material(Session& session, int code) {
    return documents::WorkingLines(session.Db(), DocumentKind::FinishingWorkOrder, code,
                                   session.activeWarehouse.code, session.businessYear);
}

bool ArticleExists(Database& db, int article) {
    return article > 0 &&
           db.Scalar(QStringLiteral("SELECT 1 FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {article})
               .isValid();
}

void RequirePositiveQuantity(double quantity) {
    limits::RequireNumber(quantity, limits::NumberKind::Quantity, QStringLiteral("Količina"));
    if (RoundQuantity(quantity) == 0) {
        throw UserError(bom::ZeroQuantityMessage());
    }
    if (quantity < 0) {
        throw UserError(QStringLiteral("Količina mora biti veća od nule !"));
    }
}

// The entry's checks in order; returns the material as parts of quantity 1 per unit.
std::vector<bom::Part> CheckEntry(Session& session, int code, const FinishedProductEntry& entry) {
    Database& db = session.Db();
    if (!ArticleExists(db, entry.product)) {
        throw UserError(NoProductMessage());
    }
    RequirePositiveQuantity(entry.quantity);
    for (const FinishedProduct& line : FinishedProducts(session, code)) {
        if (line.product == entry.product) {
            throw UserError(ProductTwiceMessage());
        }
    }
    std::vector<bom::Part> parts;
    if (entry.fromBill) {
        const std::optional<int> bill = bom::BillOf(db, entry.product);
        if (!bill) {
            throw UserError(NoBillMessage());
        }
        for (bom::Part part : bom::Parts(db, *bill)) {
            part.quantity = RoundQuantity(part.quantity * entry.quantity);
            parts.push_back(part);
        }
    }
    for (const MaterialEntry& m : entry.material) {
        if (!ArticleExists(db, m.article)) {
            throw UserError(NoProductMessage());
        }
        RequirePositiveQuantity(m.quantity);
        bom::Part part;
        part.article = m.article;
        part.name = stock::ArticleName(db, m.article);
        part.quantity = RoundQuantity(m.quantity);
        part.lot = m.lot;
        parts.push_back(part);
    }
    for (const ServiceEntry& s : entry.services) {
        if (s.description.trimmed().isEmpty()) {
            throw UserError(NoServiceTextMessage());
        }
        if (const std::optional<QString> bad =
                limits::CheckText(s.description, QStringLiteral("Opis"))) {
            throw UserError(*bad);
        }
        RequirePositiveQuantity(s.quantity);
        limits::RequireNumber(s.price, limits::NumberKind::Price, QStringLiteral("Cijena"));
    }
    return parts;
}

void AddServiceRow(Database& db, Session& session, int code, const QVariant& description,
                   double quantity, const QVariant& price, int product) {
    const QVariant value = price.isNull() ? QVariant() : QVariant(quantity * price.toDouble());
    db.Exec(
        QStringLiteral("INSERT INTO \"STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO\" "
                       "(\"SKLADISTE\", \"GODINA\", \"OPIS\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
                       "\"NABAVNA_VRIJEDNOST\", \"GOT_PR_SIFRA\", \"Multiuser_sifra\") VALUES "
                       "(?, ?, ?, ?, ?, ?, ?, ?)"),
        {session.activeWarehouse.code, session.businessYear, description, quantity, price, value,
         product, code});
}

}  // namespace

QString FinishingDocumentName() {
    return QStringLiteral("Radni nalog dorada");
}
QString FinishingBookType() {
    return QStringLiteral("RADNI NALOG DORADA");
}
QString FinishingPostedMessage(int number) {
    return QStringLiteral("Radni nalog dorada je proknjižen pod brojem ") + QString::number(number);
}
QString NoSuchFinishingOrderMessage(int number) {
    return QStringLiteral("Ne postoji proknjiženi radni nalog dorade broj ") +
           QString::number(number);
}
QString FinishingDeleteQuestion() {
    return QStringLiteral("Želite li izbrisati radni nalog dorade!");
}
QString NoPartnerMessage() {
    return QStringLiteral("Nije izabran vlasnik robe !");
}
QString ProductTwiceMessage() {
    return QStringLiteral("Ovaj proizvod je već upisan na radni nalog dorade !");
}
QString NoBillMessage() {
    return QStringLiteral("Proizvod nema sastavnicu !");
}
QString NoServiceTextMessage() {
    return QStringLiteral("Nije upisan opis usluge !");
}

void AddFinishedProduct(Session& session, int code, const FinishedProductEntry& entry) {
    Database& db = session.Db();
    const std::vector<bom::Part> parts = CheckEntry(session, code, entry);
    Transaction transaction(db);
    const QuantityCheck check = CheckParts(session, parts, 1, entry.fromBill);
    if (!check.warnings.isEmpty()) {
        throw UserError(check.warnings.front());
    }
    AddServiceRow(db, session, code, QVariant(), RoundQuantity(entry.quantity), QVariant(),
                  entry.product);
    TakeParts(session, DocumentKind::FinishingWorkOrder, code, parts, 1,
              {{kProduct, entry.product}});
    if (entry.fromBill) {
        // The bill's costs are those of one unit; the line's are those of its quantity.
        for (const bom::Cost& cost : bom::Costs(db, *bom::BillOf(db, entry.product))) {
            AddServiceRow(db, session, code, cost.description,
                          RoundQuantity(cost.quantity * entry.quantity), cost.price, entry.product);
        }
    }
    for (const ServiceEntry& s : entry.services) {
        AddServiceRow(db, session, code, s.description, RoundQuantity(s.quantity), s.price,
                      entry.product);
    }
    transaction.Commit();
}

std::vector<FinishedProduct> FinishedProducts(Session& session, int code) {
    Database& db = session.Db();
    std::vector<FinishedProduct> products;
    Statement rows = db.Prepare(
        QStringLiteral("SELECT u.\"GOT_PR_SIFRA\", a.\"NAZIV\", u.\"KOLICINA\", "
                       "(SELECT SUM(m.\"NABAVNA_VRIJEDNOST\") FROM "
                       "\"STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO\" m WHERE m.\"Multiuser_sifra\" = "
                       "u.\"Multiuser_sifra\" AND m.\"GOT_PR_SIFRA\" = u.\"GOT_PR_SIFRA\"), "
                       "(SELECT SUM(m.\"PRODAJNA_VRIJEDNOST\") FROM "
                       "\"STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO\" m WHERE m.\"Multiuser_sifra\" = "
                       "u.\"Multiuser_sifra\" AND m.\"GOT_PR_SIFRA\" = u.\"GOT_PR_SIFRA\"), "
                       "(SELECT SUM(s.\"NABAVNA_VRIJEDNOST\") FROM \"") +
        kServicesTable +
        QStringLiteral("\" s WHERE s.\"Multiuser_sifra\" = u.\"Multiuser_sifra\" AND "
                       "s.\"GOT_PR_SIFRA\" = u.\"GOT_PR_SIFRA\" AND s.\"OPIS\" IS NOT NULL) "
                       "FROM \"") +
        kServicesTable +
        QStringLiteral("\" u LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = u.\"GOT_PR_SIFRA\" WHERE "
                       "u.\"Multiuser_sifra\" = ? AND u.\"OPIS\" IS NULL ORDER BY u.") +
        RowKey(db));
    rows.Exec({code});
    while (rows.Next()) {
        products.push_back({rows.Int(0), rows.Text(1), rows.Double(2), rows.Double(3),
                            rows.Double(4), rows.Double(5)});
    }
    return products;
}

std::vector<FinishingMaterial> FinishingMaterials(Session& session, int code) {
    std::vector<FinishingMaterial> lines;
    for (const documents::DocumentLine& row : Material(session, code)
                                                  .List({kProduct, QStringLiteral("NABAVNA_CIJENA"),
                                                         QStringLiteral("PRODAJNA_CIJENA")})) {
        lines.push_back(
            {documents::ValueOf(row.other, kProduct).toInt(), row.article, row.lot.value_or(0),
             row.quantity,
             documents::ValueOf(row.other, QStringLiteral("NABAVNA_CIJENA")).toDouble(),
             documents::ValueOf(row.other, QStringLiteral("PRODAJNA_CIJENA")).toDouble()});
    }
    return lines;
}

std::vector<FinishingService> FinishingServices(Session& session, int code) {
    Database& db = session.Db();
    std::vector<FinishingService> lines;
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"GOT_PR_SIFRA\", \"OPIS\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
                       "\"NABAVNA_VRIJEDNOST\" FROM \"") +
        kServicesTable +
        QStringLiteral("\" WHERE \"Multiuser_sifra\" = ? AND \"OPIS\" IS NOT NULL ORDER BY ") +
        RowKey(db));
    rows.Exec({code});
    while (rows.Next()) {
        lines.push_back(
            {rows.Int(0), rows.Text(1), rows.Double(2), rows.Double(3), rows.Double(4)});
    }
    return lines;
}

void RemoveFinishedProduct(Session& session, int code, int product) {
    Database& db = session.Db();
    Transaction transaction(db);
    const std::vector<FinishedProduct> products = FinishedProducts(session, code);
    if (products.empty() || products.back().product != product) {
        throw UserError(OnlyLastLineMessage());
    }
    documents::WorkingLines material = Material(session, code);
    std::vector<documents::DocumentLine> rows = material.List({kProduct});
    std::reverse(rows.begin(), rows.end());  // newest lots first
    for (const documents::DocumentLine& row : rows) {
        if (documents::ValueOf(row.other, kProduct).toInt() == product) {
            material.Remove(row.id);
        }
    }
    db.Exec(QStringLiteral("DELETE FROM \"") + kServicesTable +
                QStringLiteral("\" WHERE \"Multiuser_sifra\" = ? AND \"GOT_PR_SIFRA\" = ?"),
            {code, product});
    transaction.Commit();
}

bool RemoveFinishedProduct(Session& session, Prompter& prompter, int code, int product) {
    const std::vector<FinishedProduct> products = FinishedProducts(session, code);
    if (products.empty() || products.back().product != product) {
        throw UserError(OnlyLastLineMessage());
    }
    if (!prompter.AskYesNo(DeleteLineQuestion(), QStringLiteral("Brisanje"), false)) {
        return false;
    }
    RemoveFinishedProduct(session, code, product);
    return true;
}

void ClearFinishingOrder(Session& session, int code) {
    Database& db = session.Db();
    Transaction transaction(db);
    documents::WorkingLines material = Material(session, code);
    for (const documents::DocumentLine& line : material.List()) {
        material.Remove(line.id);
    }
    db.Exec(QStringLiteral("DELETE FROM \"") + kServicesTable +
                QStringLiteral("\" WHERE \"Multiuser_sifra\" = ?"),
            {code});
    transaction.Commit();
}

const OpenOrderKind& FinishingOpenKind() {
    static const OpenOrderKind kind{
        FinishingDocumentName(),
        QStringLiteral("radni nalog dorade"),
        true,
        {{QStringLiteral("STAVKE_RADNIH_NALOGA_DORADA_PRIVREMENO"), false},
         {kServicesTable, false}}};
    return kind;
}

void SaveOpenFinishingOrder(Session& session, int code, const OpenWorkOrder& header) {
    SaveOpenOrder(session, FinishingOpenKind(), {code, 0}, header);
}

std::vector<OpenWorkOrder> OpenFinishingOrders(Session& session) {
    return OpenOrders(session, FinishingOpenKind());
}

OpenWorkOrder LoadOpenFinishingOrder(Session& session, int code, int number) {
    return LoadOpenOrder(session, FinishingOpenKind(), {code, 0}, number);
}

PostedFinishingOrder PostFinishingOrderInTransaction(Session& session, int code,
                                                     const FinishingHeader& header) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    limits::RequireDocumentDate(header.date, y, QStringLiteral("Datum"));
    if (const std::optional<QString> bad =
            limits::CheckText(header.description, QStringLiteral("Opis"), true)) {
        throw UserError(*bad);
    }
    if (header.partner <= 0 ||
        !db.Scalar(QStringLiteral("SELECT 1 FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"),
                   {header.partner})
             .isValid()) {
        throw UserError(NoPartnerMessage());
    }
    // Without material the order moves no stock and is no stock document.
    if (FinishedProducts(session, code).empty() || Material(session, code).List().empty()) {
        throw UserError(NoLinesMessage());
    }
    documents::DocumentKey key{DocumentKind::FinishingWorkOrder, w, std::nullopt, y, header.number};
    if (header.number <= 0 ||
        numbering::DocumentExists(db, DocumentKind::FinishingWorkOrder, w, y, header.number)) {
        key = documents::NewDocumentKey(db, DocumentKind::FinishingWorkOrder, w, y);
    }
    documents::IssuePosting posting(session, key);
    const TakenParts taken =
        TakeWorkingParts(session, posting, DocumentKind::FinishingWorkOrder, code, {kProduct});
    double services = 0;
    for (const FinishingService& s : FinishingServices(session, code)) {
        limits::RequireNumber(s.value, limits::NumberKind::Price, QStringLiteral("Usluge"));
        services += s.value;
    }
    const double value = taken.sellingValue + services;
    limits::RequireNumber(value, limits::NumberKind::Price, QStringLiteral("Vrijednost"));
    posting.WriteHeader(header.date,
                        {{QStringLiteral("OPIS"), header.description},
                         {QStringLiteral("SIFRA_PARTNERA"), header.partner},
                         {QStringLiteral("NABAVNA_VRIJEDNOST"), taken.costValue + services},
                         {QStringLiteral("PRODAJNA_VRIJEDNOST"), value}});
    WriteTakenParts(session, posting, DocumentKind::FinishingWorkOrder, code, taken);
    db.Exec(QStringLiteral("INSERT INTO \"STAVKE_RADNIH_NALOGA_DORADA_USLUGE\" (\"SKLADISTE\", "
                           "\"GODINA\", \"BROJ_RADNOG_NALOGA\", \"OPIS\", \"KOLICINA\", "
                           "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"GOT_PR_SIFRA\") SELECT "
                           "?, ?, ?, \"OPIS\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
                           "\"NABAVNA_VRIJEDNOST\", \"GOT_PR_SIFRA\" FROM \"") +
                kServicesTable + QStringLiteral("\" WHERE \"Multiuser_sifra\" = ? ORDER BY ") +
                RowKey(db),
            {w, y, key.number, code});
    db.Exec(QStringLiteral("DELETE FROM \"") + kServicesTable +
                QStringLiteral("\" WHERE \"Multiuser_sifra\" = ?"),
            {code});
    workingcopy::FillMissingTaxGroups(db, Info(DocumentKind::FinishingWorkOrder).lines.front());
    tradebook::Entry entry = posting.StockEntry(header.date);
    entry.description = QStringLiteral("RADNI NALOG ") + QString::number(key.number);
    posting.Finish(entry);
    return {key.number, value};
}

PostedFinishingOrder PostFinishingOrder(Session& session, int code, const FinishingHeader& header) {
    Transaction transaction(session.Db());
    const PostedFinishingOrder posted = PostFinishingOrderInTransaction(session, code, header);
    transaction.Commit();
    return posted;
}

void CheckFinishingOrderCanBeDeleted(Session& session, int number) {
    GuardPostedParts(session, ReadPostedParts(session, FinishingTables(), number));
}

void DeleteFinishingOrder(Session& session, int number) {
    Transaction transaction(session.Db());
    const PostedParts posted = ReadPostedParts(session, FinishingTables(), number);
    GuardPostedParts(session, posted);
    RemovePostedOrder(session, FinishingTables(), number, posted);
    stock::CheckStockAgainstCard(session, {});
    transaction.Commit();
}

bool DeleteFinishingOrder(Session& session, Prompter& prompter, int number) {
    CheckFinishingOrderCanBeDeleted(session, number);
    if (!prompter.AskYesNo(FinishingDeleteQuestion(), QStringLiteral("Brisanje"), false)) {
        return false;
    }
    DeleteFinishingOrder(session, number);
    return true;
}

}  // namespace zodra::production
