#include "registers/BillsOfMaterials.h"

#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Transaction.h"
#include "registers/RegisterStore.h"
#include "registers/TypedValue.h"

namespace zodra::registers::billsofmaterials {

namespace {

QString ArticleName(Database& db, int article) {
    return db
        .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {article})
        .toString();
}

bool ArticleExists(Database& db, int article) {
    return db.Scalar(QStringLiteral("SELECT 1 FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"), {article})
        .isValid();
}

int ProductOf(Database& db, int bill) {
    const QVariant product = db.Scalar(
        QStringLiteral(
            "SELECT \"SIFRA_ARTIKLA\" FROM \"SASTAVNICE\" WHERE \"SIFRA_SASTAVNICE\" = ?"),
        {bill});
    if (!product.isValid()) {
        throw UserError(QStringLiteral("Nije izabrana sastavnica"));
    }
    return product.toInt();
}

double Quantity(const QVariant& typed) {
    const auto quantity = ParseNumber(typed);
    if (!quantity || !std::isfinite(*quantity) || std::abs(*quantity) >= 1e9) {
        throw UserError(QStringLiteral("Količina nije ispravno upisana"));
    }
    if (QuantityIsZero(*quantity)) {
        throw UserError(ZeroQuantityMessage());
    }
    // A negative part or cost would make the product out of thin air.
    if (*quantity < 0) {
        throw UserError(QStringLiteral("Količina nije ispravno upisana"));
    }
    return *quantity;
}

}  // namespace

QString ZeroQuantityMessage() {
    return QStringLiteral("Količina nesmije biti nula !");
}

std::optional<int> BillOf(Database& db, int product) {
    const QVariant code = db.Scalar(
        QStringLiteral(
            "SELECT \"SIFRA_SASTAVNICE\" FROM \"SASTAVNICE\" WHERE \"SIFRA_ARTIKLA\" = ?"),
        {product});
    if (!code.isValid()) {
        return std::nullopt;
    }
    return code.toInt();
}

double DependentCostPerUnit(Database& db, int bill) {
    return db
        .Scalar(QStringLiteral("SELECT SUM(\"VRIJEDNOST\") FROM \"STAVKE_SASTAVNICA_TROSKOVI\" "
                               "WHERE \"SIFRA_SASTAVNICE\" = ?"),
                {bill})
        .toDouble();
}

std::vector<Bill> List(Database& db) {
    std::vector<Bill> bills;
    Statement all = db.Prepare(QStringLiteral(
        "SELECT s.\"SIFRA_SASTAVNICE\", s.\"SIFRA_ARTIKLA\", a.\"NAZIV\" FROM \"SASTAVNICE\" s "
        "LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = s.\"SIFRA_ARTIKLA\" ORDER BY a.\"NAZIV\" COLLATE "
        "\"HR\", s.\"SIFRA_SASTAVNICE\""));
    all.Exec();
    while (all.Next()) {
        bills.push_back(Bill{all.Int(0), all.Int(1), all.Text(2)});
    }
    return bills;
}

std::vector<Part> Parts(Database& db, int bill) {
    std::vector<Part> parts;
    Statement all = db.Prepare(QStringLiteral(
        "SELECT p.\"SIFRA_DIJELA\", a.\"NAZIV\", a.\"JED_M\", p.\"KOLICINA\", p.\"BROJ_PRIMKE\" "
        "FROM \"STAVKE_SASTAVNICA\" p LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = p.\"SIFRA_DIJELA\" "
        "WHERE p.\"SIFRA_SASTAVNICE\" = ? ORDER BY a.\"NAZIV\" COLLATE \"HR\""));
    all.Exec({bill});
    while (all.Next()) {
        parts.push_back(Part{all.Int(0), all.Text(1), all.Text(2), all.Double(3), all.Int(4)});
    }
    return parts;
}

std::vector<Cost> Costs(Database& db, int bill) {
    std::vector<Cost> costs;
    Statement all = db.Prepare(QStringLiteral(
        "SELECT \"SIFRA\", \"OPIS\", \"KOLICINA\", \"CIJENA\", \"VRIJEDNOST\" FROM "
        "\"STAVKE_SASTAVNICA_TROSKOVI\" WHERE \"SIFRA_SASTAVNICE\" = ? ORDER BY \"SIFRA\""));
    all.Exec({bill});
    while (all.Next()) {
        costs.push_back(Cost{all.Int(0), all.Text(1), all.Double(2), all.Double(3), all.Double(4)});
    }
    return costs;
}

int Add(Database& db, int product) {
    Transaction tx(db);
    if (!ArticleExists(db, product)) {
        throw UserError(QStringLiteral("Nije izabran artikal"));
    }
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"SASTAVNICE\" WHERE \"SIFRA_ARTIKLA\" = ?"),
                  {product})
            .isValid()) {
        throw UserError(QStringLiteral("Sastavnica za artikal '") + ArticleName(db, product) +
                        QStringLiteral("' je već upisana."));
    }
    Statement insert =
        db.Prepare(QStringLiteral("INSERT INTO \"SASTAVNICE\" (\"SIFRA_ARTIKLA\") VALUES (?)"));
    insert.Exec({product});
    const int code = insert.LastInsertId().toInt();
    insert.Finish();
    tx.Commit();
    return code;
}

void SetPart(Database& db, int bill, int article, const QVariant& quantity, int lot) {
    Transaction tx(db);
    const int product = ProductOf(db, bill);
    if (!ArticleExists(db, article)) {
        throw UserError(QStringLiteral("Nije izabran artikal"));
    }
    if (article == product) {
        throw UserError(QStringLiteral("Proizvod ne može biti dio svoje sastavnice."));
    }
    const double amount = Quantity(quantity);
    if (db.Exec(QStringLiteral("UPDATE \"STAVKE_SASTAVNICA\" SET \"KOLICINA\" = ?, "
                               "\"BROJ_PRIMKE\" = ? WHERE \"SIFRA_SASTAVNICE\" = ? AND "
                               "\"SIFRA_DIJELA\" = ?"),
                {amount, lot, bill, article}) == 0) {
        db.Exec(QStringLiteral("INSERT INTO \"STAVKE_SASTAVNICA\" (\"SIFRA_SASTAVNICE\", "
                               "\"SIFRA_DIJELA\", \"KOLICINA\", \"BROJ_PRIMKE\") VALUES (?, ?, ?, "
                               "?)"),
                {bill, article, amount, lot});
    }
    tx.Commit();
}

void RemovePart(Database& db, int bill, int article) {
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_SASTAVNICA\" WHERE \"SIFRA_SASTAVNICE\" = ? AND "
                           "\"SIFRA_DIJELA\" = ?"),
            {bill, article});
}

int AddCost(Database& db, int bill, const QString& description, const QVariant& quantity,
            const QVariant& price) {
    const QString text = description.trimmed();
    if (text.isEmpty() || text.size() > 255) {
        throw UserError(QStringLiteral("Opis je duži od 255 znakova ili nije upisan"));
    }
    const double amount = Quantity(quantity);
    const auto unitPrice = ParseNumber(price);
    if (!unitPrice || !std::isfinite(*unitPrice) || *unitPrice < 0 || *unitPrice >= 1e12) {
        throw UserError(QStringLiteral("Cijena nije ispravno upisana"));
    }
    Transaction tx(db);
    ProductOf(db, bill);
    Statement insert = db.Prepare(QStringLiteral(
        "INSERT INTO \"STAVKE_SASTAVNICA_TROSKOVI\" (\"SIFRA_SASTAVNICE\", \"OPIS\", "
        "\"KOLICINA\", \"CIJENA\", \"VRIJEDNOST\") VALUES (?, ?, ?, ?, ?)"));
    insert.Exec({bill, text, amount, *unitPrice, amount * *unitPrice});
    const int code = insert.LastInsertId().toInt();
    insert.Finish();
    tx.Commit();
    return code;
}

void RemoveCost(Database& db, int cost) {
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_SASTAVNICA_TROSKOVI\" WHERE \"SIFRA\" = ?"),
            {cost});
}

bool Delete(Database& db, int bill, Prompter& prompter) {
    const int product = ProductOf(db, bill);
    if (!prompter.AskYesNo(QStringLiteral("Sigurno želite izbrisati sastavnicu za ") +
                               ArticleName(db, product) + QStringLiteral(" ?"),
                           kDeleteTitle, false)) {
        return false;
    }
    Transaction tx(db);
    db.Exec(QStringLiteral("DELETE FROM \"STAVKE_SASTAVNICA\" WHERE \"SIFRA_SASTAVNICE\" = ?"),
            {bill});
    db.Exec(
        QStringLiteral("DELETE FROM \"STAVKE_SASTAVNICA_TROSKOVI\" WHERE \"SIFRA_SASTAVNICE\" = ?"),
        {bill});
    db.Exec(QStringLiteral("DELETE FROM \"SASTAVNICE\" WHERE \"SIFRA_SASTAVNICE\" = ?"), {bill});
    tx.Commit();
    return true;
}

}  // namespace zodra::registers::billsofmaterials
