#include "purchasing/ReceiptLines.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "purchasing/ReceiptLimits.h"

namespace zodra::purchasing {

QString ReceiptTarget::Table() const {
    return IsPosted() ? QStringLiteral("\"STAVKE_PRIMKI\"")
                      : QStringLiteral("\"STAVKE_PRIMKE_PRIVREMENO\"");
}

ReceiptTarget ReceiptTarget::WorkingCopy(const Session& session) {
    return ReceiptTarget{session.activeWarehouse.code, session.businessYear, 0,
                         session.sessionCode};
}

ReceiptTarget ReceiptTarget::Posted(const Session& session, int number) {
    return Posted(session.activeWarehouse.code, session.businessYear, number);
}

ReceiptTarget ReceiptTarget::Posted(int warehouse, int year, int number) {
    return ReceiptTarget{warehouse, year, number, 0};
}

namespace receiptlines {

namespace {

// The condition on the receipt's lines and its values: a posted receipt by its key, the working
// copy by its owner's session code.
QString Where(const ReceiptTarget& t, const QString& alias = QString()) {
    const QString a = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    if (t.IsPosted()) {
        return QStringLiteral(" WHERE ") + a + QStringLiteral("\"SKLADISTE\" = ? AND ") + a +
               QStringLiteral("\"GODINA\" = ? AND ") + a + QStringLiteral("\"BROJ_PRIMKE\" = ?");
    }
    return QStringLiteral(" WHERE ") + a + QStringLiteral("\"Multiuser_sifra\" = ?");
}

QVariantList Keys(const ReceiptTarget& t) {
    return t.IsPosted() ? QVariantList{t.warehouse, t.year, t.number} : QVariantList{t.sessionCode};
}

QString Select() {
    return QStringLiteral("SELECT \"TIP_STAVKE\", \"SIFRA\", ") + ReceiptRow::Columns() +
           QStringLiteral(" FROM ");
}

ReceiptRow RowFrom(const Statement& s) {
    ReceiptRow r;
    r.kind = s.Text(0);
    r.code = s.Int(1);
    int c = 2;
    r.quantity = s.Double(c++);
    r.invoicePrice = s.Double(c++);
    r.invoiceValue = s.Double(c++);
    r.discountPercent = s.Double(c++);
    r.discountAmount = s.Double(c++);
    r.netPrice = s.Double(c++);
    r.netValue = s.Double(c++);
    r.customsPercent = s.Double(c++);
    r.customsAmount = s.Double(c++);
    r.forwardingPercent = s.Double(c++);
    r.forwardingAmount = s.Double(c++);
    r.otherPercent = s.Double(c++);
    r.otherAmount = s.Double(c++);
    r.costPrice = s.Double(c++);
    r.costValue = s.Double(c++);
    r.marginPercent = s.Double(c++);
    r.marginAmount = s.Double(c++);
    r.price = s.Double(c++);
    r.value = s.Double(c++);
    if (!s.IsNull(c)) {
        r.retailMargin = s.Double(c);
    }
    ++c;
    r.lineNumber = s.Int(c);
    return r;
}

std::optional<ReceiptRow> First(Database& db, const QString& sql, const QVariantList& params) {
    Statement s = db.Prepare(sql);
    s.Exec(params);
    if (!s.Next()) {
        return std::nullopt;
    }
    return RowFrom(s);
}

}  // namespace

std::vector<ReceiptRow> Read(Database& db, const ReceiptTarget& target) {
    Statement s = db.Prepare(Select() + target.Table() + Where(target) +
                             QStringLiteral(" ORDER BY \"RBR_STAVKE\""));
    s.Exec(Keys(target));
    std::vector<ReceiptRow> rows;
    while (s.Next()) {
        rows.push_back(RowFrom(s));
    }
    return rows;
}

std::optional<ReceiptRow> Read(Database& db, const ReceiptTarget& target, int lineNumber) {
    QVariantList params = Keys(target);
    params << lineNumber;
    return First(
        db, Select() + target.Table() + Where(target) + QStringLiteral(" AND \"RBR_STAVKE\" = ?"),
        params);
}

std::optional<ReceiptRow> FindArticle(Database& db, const ReceiptTarget& target, int article) {
    QVariantList params = Keys(target);
    params << article;
    return First(db,
                 Select() + target.Table() + Where(target) +
                     QStringLiteral(" AND \"TIP_STAVKE\" = 'ART' AND \"SIFRA\" = ? ORDER BY "
                                    "\"RBR_STAVKE\" LIMIT 1"),
                 params);
}

std::optional<ReceiptRow> FindPackaging(Database& db, const ReceiptTarget& target, int packaging) {
    QVariantList params = Keys(target);
    params << packaging;
    return First(db,
                 Select() + target.Table() + Where(target) +
                     QStringLiteral(" AND \"TIP_STAVKE\" = 'AMB' AND \"SIFRA\" = ? ORDER BY "
                                    "\"RBR_STAVKE\" LIMIT 1"),
                 params);
}

int NextLineNumber(Database& db, const ReceiptTarget& target) {
    return sqlvalue::ToInt(db.Scalar(
               QStringLiteral("SELECT MAX(\"RBR_STAVKE\") FROM ") + target.Table() + Where(target),
               Keys(target))) +
           1;
}

int CountLines(Database& db, const ReceiptTarget& target) {
    return sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT COUNT(*) FROM ") + target.Table() + Where(target), Keys(target)));
}

void Insert(Database& db, const ReceiptTarget& target, const ReceiptRow& row) {
    CheckReceiptRow(row);
    QString placeholders;
    for (int i = 0; i < ReceiptRow::ColumnCount(); ++i) {
        placeholders += QStringLiteral(", ?");
    }
    QVariantList params{target.warehouse, target.year, target.number, row.kind, row.code};
    params << row.Values();
    if (target.IsPosted()) {
        // A posted line carries its article's tax group and rate, as posting fills them.
        const QString tax = QStringLiteral(
            " FROM \"ARTIKLI\" INNER JOIN \"GRUPE_POREZA\" ON \"ARTIKLI\".\"GRUPA_P\" = "
            "\"GRUPE_POREZA\".\"SIFRA\" WHERE \"ARTIKLI\".\"SIFRA\" = ? AND ? = 'ART')");
        params << row.code << row.kind << row.code << row.kind;
        db.Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
                               "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", ") +
                    ReceiptRow::Columns() +
                    QStringLiteral(", \"GRUPA_POREZA\", \"POREZ_%\") VALUES (?, ?, ?, ?, ?") +
                    placeholders + QStringLiteral(", (SELECT \"GRUPE_POREZA\".\"NAZIV\"") + tax +
                    QStringLiteral(", (SELECT \"GRUPE_POREZA\".\"STOPA\"") + tax +
                    QStringLiteral(")"),
                params);
        return;
    }
    params << target.sessionCode;
    db.Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", ") +
                ReceiptRow::Columns() +
                QStringLiteral(", \"Multiuser_sifra\") VALUES (?, ?, ?, ?, ?") + placeholders +
                QStringLiteral(", ?)"),
            params);
}

void Update(Database& db, const ReceiptTarget& target, const ReceiptRow& row) {
    CheckReceiptRow(row);
    const QStringList columns = ReceiptRow::Columns().split(QStringLiteral(", "));
    QStringList sets;
    sets << QStringLiteral("\"TIP_STAVKE\" = ?") << QStringLiteral("\"SIFRA\" = ?");
    for (const QString& c : columns) {
        sets << c + QStringLiteral(" = ?");
    }
    QVariantList params{row.kind, row.code};
    params << row.Values();
    params << Keys(target);
    params << row.lineNumber;
    db.Exec(QStringLiteral("UPDATE ") + target.Table() + QStringLiteral(" SET ") +
                sets.join(QStringLiteral(", ")) + Where(target) +
                QStringLiteral(" AND \"RBR_STAVKE\" = ?"),
            params);
}

void Delete(Database& db, const ReceiptTarget& target, int lineNumber) {
    QVariantList params = Keys(target);
    params << lineNumber;
    db.Exec(QStringLiteral("DELETE FROM ") + target.Table() + Where(target) +
                QStringLiteral(" AND \"RBR_STAVKE\" = ?"),
            params);
}

void Renumber(Database& db, const ReceiptTarget& target, int lineNumber, int newNumber) {
    if (newNumber == lineNumber) {
        return;
    }
    if (newNumber <= 0) {
        throw UserError(QStringLiteral("Redni broj mora biti veći od nule."));
    }
    if (Read(db, target, newNumber)) {
        throw UserError(QStringLiteral("Stavka s rednim brojem ") + QString::number(newNumber) +
                        QStringLiteral(" već postoji."));
    }
    QVariantList params{newNumber};
    params << Keys(target) << lineNumber;
    db.Exec(QStringLiteral("UPDATE ") + target.Table() + QStringLiteral(" SET \"RBR_STAVKE\" = ?") +
                Where(target) + QStringLiteral(" AND \"RBR_STAVKE\" = ?"),
            params);
}

// A receipt's totals are the sums of its lines' amounts each rounded to the cent (MoneyTotal):
// the grid shows every line at the cent, and the totals under it, on the printout, in the list
// of receipts and in the trade book are the sums of exactly those figures. The lines themselves
// keep their unrounded amounts.
ReceiptTotals Totals(Database& db, const ReceiptTarget& target) {
    Statement s = db.Prepare(
        QStringLiteral("SELECT \"TIP_STAVKE\", \"FAKTURNA_VRIJEDNOST\", \"RABAT_IZNOS\", "
                       "\"CARINA_IZNOS\", \"SPEDICIJA_IZNOS\", \"ZTR_IZNOS\", "
                       "\"NABAVNA_VRIJEDNOST\", \"VRIJEDNOST\" FROM ") +
        target.Table() + Where(target));
    s.Exec(Keys(target));
    MoneyTotal invoiceValue, discount, customs, forwarding, otherCosts, costValue, value,
        packagingValue, articleValue;
    ReceiptTotals t;
    while (s.Next()) {
        const bool article = s.Text(0) == ArticleKind();
        invoiceValue += s.Double(1);
        discount += s.Double(2);
        customs += s.Double(3);
        forwarding += s.Double(4);
        otherCosts += s.Double(5);
        costValue += s.Double(6);
        value += s.Double(7);
        if (article) {
            articleValue += s.Double(7);
            ++t.articleLines;
        } else {
            packagingValue += s.Double(1);
        }
        ++t.lines;
    }
    t.invoiceValue = invoiceValue.Value();
    t.discount = discount.Value();
    t.customs = customs.Value();
    t.forwarding = forwarding.Value();
    t.otherCosts = otherCosts.Value();
    t.costValue = costValue.Value();
    t.value = value.Value();
    t.packagingValue = packagingValue.Value();
    t.articleValue = articleValue.Value();
    return t;
}

TableData Grid(Database& db, const ReceiptTarget& target) {
    using F = TableColumn::Format;
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT s.\"RBR_STAVKE\", s.\"TIP_STAVKE\", s.\"RBR_STAVKE\", CASE WHEN "
            "s.\"TIP_STAVKE\" = 'ART' THEN a.\"OPIS\" ELSE '' END, CASE WHEN s.\"TIP_STAVKE\" = "
            "'ART' THEN a.\"NAZIV\" ELSE p.\"NAZIV\" END, CASE WHEN s.\"TIP_STAVKE\" = 'ART' THEN "
            "a.\"JED_M\" ELSE p.\"JED_M\" END, s.\"KOLICINA\", s.\"FAKTURNA_CIJENA\", "
            "s.\"RABAT_%\", s.\"NABAVNA_CIJENA\", s.\"NABAVNA_VRIJEDNOST\", s.\"RUC_%\", "
            "s.\"CIJENA\", s.\"VRIJEDNOST\" FROM ") +
            target.Table() +
            QStringLiteral(
                " s LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = s.\"SIFRA\" LEFT JOIN \"AMBALAZA\" p "
                "ON p.\"SIFRA\" = s.\"SIFRA\"") +
            Where(target, QStringLiteral("s")) + QStringLiteral(" ORDER BY s.\"RBR_STAVKE\""),
        Keys(target),
        {{QStringLiteral("RBR_STAVKE"), F::Integer, -1, true},
         {QStringLiteral("TIP_STAVKE"), F::Text, -1, true},
         {QStringLiteral("Rbr"), F::Integer},
         {QStringLiteral("Šifra"), F::Text},
         {QStringLiteral("Naziv"), F::Text},
         {QStringLiteral("JM"), F::Text},
         {QStringLiteral("Količina"), F::Quantity},
         {QStringLiteral("Fakt. cijena"), F::Number, 2},
         {QStringLiteral("Rabat %"), F::Number, 2},
         {QStringLiteral("Nabavna cijena"), F::Number, 4},
         {QStringLiteral("Nabavna vr."), F::Money},
         {QStringLiteral("Marža %"), F::Number, 2},
         {QStringLiteral("Cijena"), F::Number, 2},
         {QStringLiteral("Vrijednost"), F::Money}});
}

std::vector<PackagingOfArticle> PackagingOf(Database& db, int article) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT \"AMBALAZA\".\"SIFRA\", \"ARTIKLI_AMBALAZA\".\"KOLICINA\", "
        "\"AMBALAZA\".\"CIJENA\" FROM \"ARTIKLI_AMBALAZA\" INNER JOIN \"AMBALAZA\" ON "
        "\"ARTIKLI_AMBALAZA\".\"AMBALAZA\" = \"AMBALAZA\".\"SIFRA\" WHERE "
        "\"ARTIKLI_AMBALAZA\".\"Artikal\" = ? ORDER BY \"AMBALAZA\".\"SIFRA\""));
    s.Exec({article});
    std::vector<PackagingOfArticle> list;
    while (s.Next()) {
        list.push_back({s.Int(0), s.Double(1), s.Double(2)});
    }
    return list;
}

double PackagingValuePerUnit(Database& db, int article) {
    return sqlvalue::ToDouble(db.Scalar(
        QStringLiteral("SELECT SUM(\"ARTIKLI_AMBALAZA\".\"KOLICINA\" * \"AMBALAZA\".\"CIJENA\") "
                       "FROM \"ARTIKLI_AMBALAZA\" INNER JOIN \"AMBALAZA\" ON "
                       "\"ARTIKLI_AMBALAZA\".\"AMBALAZA\" = \"AMBALAZA\".\"SIFRA\" WHERE "
                       "\"ARTIKLI_AMBALAZA\".\"Artikal\" = ?"),
        {article}));
}

namespace {

void AddToPackagingLine(Database& db, const ReceiptTarget& target, int packaging, double quantity,
                        double price) {
    if (std::optional<ReceiptRow> line = FindPackaging(db, target, packaging)) {
        const double q = RoundQuantity(line->quantity + quantity);
        if (q == 0.0) {
            Delete(db, target, line->lineNumber);
            return;
        }
        ReceiptRow grown = ReceiptRow::Packaging(packaging, q, line->price);
        grown.kind = line->kind;
        grown.lineNumber = line->lineNumber;
        Update(db, target, grown);
        return;
    }
    if (QuantityIsZero(quantity)) {
        return;
    }
    ReceiptRow row = ReceiptRow::Packaging(packaging, RoundQuantity(quantity), price);
    row.lineNumber = NextLineNumber(db, target);
    Insert(db, target, row);
}

}  // namespace

int AddPackagingOfArticle(Database& db, const ReceiptTarget& target, int article, double quantity) {
    const std::vector<PackagingOfArticle> list = PackagingOf(db, article);
    for (const PackagingOfArticle& p : list) {
        AddToPackagingLine(db, target, p.packaging, quantity * p.perUnit, p.price);
    }
    return static_cast<int>(list.size());
}

void AddPackaging(Database& db, const ReceiptTarget& target, int packaging, double quantity) {
    const QVariant price = db.Scalar(
        QStringLiteral("SELECT \"CIJENA\" FROM \"AMBALAZA\" WHERE \"SIFRA\" = ?"), {packaging});
    if (!price.isValid()) {
        throw UserError(QStringLiteral("Nije izabrana ambalaža !"));
    }
    AddToPackagingLine(db, target, packaging, quantity, sqlvalue::ToDouble(price));
}

}  // namespace receiptlines
}  // namespace zodra::purchasing
