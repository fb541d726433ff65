#include "sales/InvoiceEntry.h"

#include <cmath>

#include "data/Database.h"
#include "data/InputRules.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "stock/Lots.h"

namespace zodra::sales {

namespace {

std::vector<NamedCode> Read(Database& db, const QString& sql) {
    std::vector<NamedCode> list;
    Statement s = db.Prepare(sql);
    s.Exec();
    while (s.Next()) {
        list.push_back({s.Int(0), s.Text(1)});
    }
    return list;
}

QStringList Texts(Database& db, const QString& sql) {
    QStringList list;
    Statement s = db.Prepare(sql);
    s.Exec();
    while (s.Next()) {
        if (!s.Text(0).isEmpty()) {
            list << s.Text(0);
        }
    }
    return list;
}

// The line table and the condition that picks the target's lines, with its bound values.
QString From(const InvoiceLinesTarget& target, QVariantList& params) {
    if (target.posted) {
        const InvoiceKey& k = *target.posted;
        params = {k.warehouse, k.book, k.year, k.number};
        return QStringLiteral(
            " FROM \"STAVKE_RACUNA\" s WHERE s.\"SKLADISTE\" = ? AND s.\"IRA\" = ? AND "
            "s.\"GODINA\" = ? AND s.\"BROJ_RACUNA\" = ? ORDER BY s.\"RBR_STAVKE\"");
    }
    params = {target.sessionCode};
    return QStringLiteral(
        " FROM \"STAVKE_RACUNA_PRIVREMENO\" s WHERE s.\"Multiuser_sifra\" = ? ORDER BY "
        "s.\"RBR_STAVKE\"");
}

const QString kName = QStringLiteral(
    "CASE WHEN s.\"TIP_STAVKE\" IN ('ART', 'SLA') THEN (SELECT a.\"NAZIV\" FROM \"ARTIKLI\" a "
    "WHERE a.\"SIFRA\" = s.\"SIFRA\") WHEN s.\"TIP_STAVKE\" = 'USL' THEN (SELECT u.\"NAZIV\" FROM "
    "\"USLUGE\" u WHERE "
    "u.\"SIFRA\" = s.\"SIFRA\") ELSE (SELECT p.\"NAZIV\" FROM \"AMBALAZA\" p WHERE p.\"SIFRA\" = "
    "s.\"SIFRA\") END");
const QString kUnit = QStringLiteral(
    "CASE WHEN s.\"TIP_STAVKE\" IN ('ART', 'SLA') THEN (SELECT a.\"JED_M\" FROM \"ARTIKLI\" a "
    "WHERE a.\"SIFRA\" = s.\"SIFRA\") WHEN s.\"TIP_STAVKE\" = 'USL' THEN (SELECT u.\"JED_M\" FROM "
    "\"USLUGE\" u WHERE "
    "u.\"SIFRA\" = s.\"SIFRA\") ELSE '' END");

}  // namespace

std::vector<NamedCode> IraBooks(Database& db) {
    return Read(
        db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"KNJIGE_IRA\" ORDER BY \"SIFRA\""));
}

std::vector<NamedCode> SalesTermsList(Database& db) {
    return Read(db, QStringLiteral(
                        "SELECT \"SIFRA\", \"NAZIV\" FROM \"UVJETI_PRODAJE\" ORDER BY \"SIFRA\""));
}

std::vector<NamedCode> Customers(Database& db) {
    return Read(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"PARTNERI\" WHERE "
                                   "\"Kupac\" = TRUE ORDER BY \"NAZIV\" COLLATE \"HR\""));
}

std::vector<NamedCode> ServiceList(Database& db) {
    return Read(
        db, QStringLiteral(
                "SELECT \"SIFRA\", \"NAZIV\" FROM \"USLUGE\" ORDER BY \"NAZIV\" COLLATE \"HR\""));
}

std::vector<NamedCode> PackagingList(Database& db) {
    return Read(
        db, QStringLiteral(
                "SELECT \"SIFRA\", \"NAZIV\" FROM \"AMBALAZA\" ORDER BY \"NAZIV\" COLLATE \"HR\""));
}

double PackagingPrice(Database& db, int packaging) {
    return sqlvalue::ToDouble(db.Scalar(
        QStringLiteral("SELECT \"CIJENA\" FROM \"AMBALAZA\" WHERE \"SIFRA\" = ?"), {packaging}));
}

QString PartnerName(Database& db, int partner) {
    return db
        .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"), {partner})
        .toString();
}

QStringList DeliveryMethods(Database& db) {
    return Texts(db,
                 QStringLiteral("SELECT \"NAZIV\" FROM \"NACINI_ISPORUKE\" ORDER BY \"SIFRA\""));
}

QStringList PaymentMethods(Database& db) {
    return Texts(db,
                 QStringLiteral("SELECT \"NAZIV\" FROM \"NACINI_PLACANJA\" ORDER BY \"SIFRA\""));
}

QStringList AdditionalTexts(Database& db) {
    return Texts(
        db,
        QStringLiteral("SELECT \"TEKST\" FROM \"DODATNI_TEKSTOVI_ZA_RACUNE\" ORDER BY \"SIFRA\""));
}

QStringList Currencies(Database& db) {
    Statement rows = db.Prepare(QStringLiteral(
        "SELECT \"NAZIV\" FROM \"VALUTE\" WHERE COALESCE(\"NAZIV\", '') <> '' ORDER BY "
        "\"SIFRA\""));
    rows.Exec();
    QStringList names;
    while (rows.Next()) {
        names << rows.Text(0);
    }
    return names;
}

QStringList BankAccounts(Database& db) {
    QStringList list = Texts(db, QStringLiteral("SELECT \"ZIRO_RACUN\" FROM \"PODACI_FIRME\""));
    for (const QString& account :
         Texts(db, QStringLiteral("SELECT \"NAZIV\" FROM \"ZIRO_RACUNI\" ORDER BY \"SIFRA\""))) {
        if (!list.contains(account)) {
            list << account;
        }
    }
    return list;
}

ArticleFacts ReadArticleFacts(Database& db, int warehouse, int year, int article) {
    ArticleFacts f;
    Statement row =
        db.Prepare(QStringLiteral("SELECT a.\"NAZIV\", a.\"JED_M\", a.\"MIN_ZAL\", "
                                  "a.\"REZERVIRANO\", a.\"CIJENA_U_VALUTI\", v.\"NAZIV\" FROM "
                                  "\"ARTIKLI\" a LEFT JOIN \"VALUTE\" v ON v.\"SIFRA\" = "
                                  "a.\"VALUTA\" WHERE a.\"SIFRA\" = ?"));
    row.Exec({article});
    if (row.Next()) {
        f.name = row.Text(0);
        f.unit = row.Text(1);
        f.minimumStock = row.Double(2);
        f.reserved = row.Double(3);
        f.currencyPrice = row.Double(4);
        f.currency = row.Text(5);
    }
    row.Finish();
    f.stock = stock::ArticleStock(db, warehouse, year, article);
    return f;
}

QString CurrencyPriceNoticeText() {
    return QStringLiteral(
        "Na ovaj račun nema vezane izmjene cijena te će prodajna cijena biti iz kalkulacije a ne "
        "na osnovu tečaja i cijene u valuti.");
}

std::optional<QString> CurrencyPriceNotice(const ArticleFacts& facts, int lineTerms) {
    if (lineTerms != 1 || !std::isfinite(facts.currencyPrice) || facts.currencyPrice <= 0) {
        return std::nullopt;
    }
    return CurrencyPriceNoticeText();
}

QString CurrencyPriceLabel(const ArticleFacts& facts) {
    QString text = QStringLiteral("Cijena u valuti : ");
    if (std::isfinite(facts.currencyPrice) && facts.currencyPrice != 0) {
        text += inputrules::FormatNumber(facts.currencyPrice, 2);
        if (!facts.currency.isEmpty()) {
            text += QLatin1Char(' ') + facts.currency;
        }
    }
    return text;
}

QString MaxDiscountLabel(double price, double costPrice, bool retailTerms) {
    double percent = 0;
    if (std::isfinite(price) && std::isfinite(costPrice) && price > 0 && costPrice < price) {
        percent = (price - costPrice) / price * 100;
    }
    return (retailTerms ? QStringLiteral("Max. popust : ") : QStringLiteral("Max. rabat : ")) +
           MoneyText(percent) + QStringLiteral(" %");
}

TableData InvoiceLinesGrid(Database& db, const InvoiceLinesTarget& target) {
    using F = TableColumn::Format;
    QVariantList params;
    const QString from = From(target, params);
    return ReadTable(
        db,
        QStringLiteral("SELECT s.\"RBR_STAVKE\", ") + kName +
            QStringLiteral(", s.\"BROJ_PRIMKE\", s.\"KOLICINA\", ") + kUnit +
            QStringLiteral(", s.\"CIJENA_BEZ_RABATA\", s.\"RABAT_%\", s.\"VRIJEDNOST_\", "
                           "s.\"POREZ_%\", s.\"UKUPNO_\", s.\"OPIS\", s.\"TIP_STAVKE\", "
                           "s.\"SIFRA\"") +
            from,
        params,
        {{QStringLiteral("Rbr"), F::Integer},
         {QStringLiteral("Naziv"), F::Text},
         {QStringLiteral("Primka"), F::Integer},
         {QStringLiteral("Količina"), F::Quantity},
         {QStringLiteral("JM"), F::Text},
         {QStringLiteral("Cijena"), F::Number, 2},
         {QStringLiteral("Rabat %"), F::Number, 2},
         {QStringLiteral("Vrijednost"), F::Money},
         {QStringLiteral("Porez %"), F::Number, 2},
         {QStringLiteral("Ukupno"), F::Money},
         {QStringLiteral("Opis"), F::Text},
         {QStringLiteral("Tip"), F::Text, -1, true},
         {QStringLiteral("Šifra"), F::Integer, -1, true}});
}

InvoiceTotals TotalsOf(Database& db, const InvoiceLinesTarget& target) {
    if (!target.posted) {
        return Totals(db, target.sessionCode);
    }
    QVariantList params;
    const QString from = From(target, params);
    Statement rows = db.Prepare(
        QStringLiteral(
            "SELECT s.\"TIP_STAVKE\", s.\"VRIJEDNOST_\", s.\"POREZ_IZNOS\", s.\"UKUPNO_\"") +
        from);
    rows.Exec(params);
    InvoiceTotals t;
    MoneyTotal value, tax, total, articleValue, articleTax;
    while (rows.Next()) {
        ++t.lines;
        value += rows.Double(1);
        tax += rows.Double(2);
        total += rows.Double(3);
        if (rows.Text(0) == QLatin1String("ART")) {
            ++t.articleLines;
            articleValue += rows.Double(1);
            articleTax += rows.Double(2);
        }
    }
    t.value = value.Value();
    t.tax = tax.Value();
    t.total = total.Value();
    t.articleValue = articleValue.Value();
    t.articleTax = articleTax.Value();
    return t;
}

TableData InvoiceLinesTable(Database& db, const InvoiceLinesTarget& target) {
    using F = TableColumn::Format;
    QVariantList params;
    const QString from = From(target, params);
    return ReadTable(
        db,
        QStringLiteral("SELECT s.\"RBR_STAVKE\", s.\"TIP_STAVKE\", s.\"SIFRA\", ") + kName +
            QStringLiteral(
                ", s.\"BROJ_PRIMKE\", s.\"KOLICINA\", s.\"NABAVNA_CIJENA\", "
                "s.\"NABAVNA_VRIJEDNOST\", s.\"RUC_%\", s.\"RUC_IZNOS\", s.\"CIJENA_BEZ_RABATA\", "
                "s.\"VRIJEDNOST_BEZ_RABATA\", s.\"RABAT_%\", s.\"RABAT_IZNOS\", s.\"CIJENA_\", "
                "s.\"VRIJEDNOST_\", s.\"GRUPA_POREZA\", s.\"POREZ_%\", s.\"POREZ_IZNOS\", "
                "s.\"UKUPNO_\", s.\"TIP_OPOREZIVANJA\", s.\"OPIS\"") +
            from,
        params,
        {{QStringLiteral("Rbr"), F::Integer},
         {QStringLiteral("Tip"), F::Text},
         {QStringLiteral("Šifra"), F::Integer},
         {QStringLiteral("Naziv"), F::Text},
         {QStringLiteral("Primka"), F::Integer},
         {QStringLiteral("Količina"), F::Quantity},
         {QStringLiteral("Nab. cijena"), F::Number, 4},
         {QStringLiteral("Nab. vrij."), F::Money},
         {QStringLiteral("RUC %"), F::Number, 2},
         {QStringLiteral("RUC"), F::Money},
         {QStringLiteral("Cijena bez rab."), F::Number, 4},
         {QStringLiteral("Vrij. bez rab."), F::Money},
         {QStringLiteral("Rabat %"), F::Number, 2},
         {QStringLiteral("Rabat"), F::Money},
         {QStringLiteral("Cijena"), F::Number, 4},
         {QStringLiteral("Vrijednost"), F::Money},
         {QStringLiteral("Grupa poreza"), F::Text},
         {QStringLiteral("Porez %"), F::Number, 2},
         {QStringLiteral("Porez"), F::Money},
         {QStringLiteral("Ukupno"), F::Money},
         {QStringLiteral("Tip opor."), F::Integer},
         {QStringLiteral("Opis"), F::Text}});
}

}  // namespace zodra::sales
