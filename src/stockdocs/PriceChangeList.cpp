#include "stockdocs/PriceChangeList.h"

#include "data/Database.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "reports/ValueFormat.h"
#include "stock/Lots.h"

namespace zodra::stockdocs {

namespace {

using Format = TableColumn::Format;

QString RowKey(Database& db) {
    return QLatin1Char('"') + QString::fromUtf16(RowKeyColumn(db.Dialect())) + QLatin1Char('"');
}

// The columns every grid of price change lines shows, after the row id where there is one.
std::vector<TableColumn> LineColumns() {
    return {{QStringLiteral("Šifra")},
            {QStringLiteral("Naziv")},
            {QStringLiteral("Primka"), Format::Integer},
            {QStringLiteral("Količina"), Format::Quantity},
            {QStringLiteral("Stara cijena"), Format::Number, 4},
            {QStringLiteral("Nova cijena"), Format::Number, 4},
            {QStringLiteral("Nova c. s por."), Format::Money},
            {QStringLiteral("Razlika"), Format::Money}};
}

// The line columns selected from table `s` joined with the article `a` and its tax group `g`.
QString LineSelect() {
    return QStringLiteral(
        "a.\"OPIS\", a.\"NAZIV\", s.\"BROJ_PRIMKE\", s.\"KOLICINA\", s.\"STARA_CIJENA\", "
        "s.\"NOVA_CIJENA\", s.\"NOVA_CIJENA\" * (1 + COALESCE(g.\"STOPA\", 0) / 100.0), "
        "(s.\"NOVA_CIJENA\" - s.\"STARA_CIJENA\") * s.\"KOLICINA\" ");
}

QString LineJoins() {
    return QStringLiteral(
        "LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = s.\"ARTIKAL\" LEFT JOIN \"GRUPE_POREZA\" g ON "
        "g.\"SIFRA\" = a.\"GRUPA_P\" ");
}

QString CurrencyAmount(Database& db, double amount) {
    const QString currency = sqlvalue::ToText(
        db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1")));
    return reports::ValueFormat(currency).Format(amount, QStringLiteral("Currency"));
}

std::vector<PriceChangeChoice> Choices(Database& db, const QString& sql,
                                       const QVariantList& params) {
    std::vector<PriceChangeChoice> list;
    Statement s = db.Prepare(sql);
    s.Exec(params);
    while (s.Next()) {
        list.push_back({s.Int(0), s.Text(1)});
    }
    return list;
}

// The change of value of lines of one table under a condition, each line rounded to the cent.
double ValueOf(Database& db, const QString& table, const QString& where,
               const QVariantList& params) {
    Statement s = db.Prepare(QStringLiteral("SELECT (\"NOVA_CIJENA\" - \"STARA_CIJENA\") * "
                                            "\"KOLICINA\" FROM \"") +
                             table + QStringLiteral("\" WHERE ") + where);
    s.Exec(params);
    MoneyTotal total;
    while (s.Next()) {
        total += s.Double(0);
    }
    return total.Value();
}

const QString kPostedKey =
    QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_IZMJENE_CIJENA\" = ?");

}  // namespace

TableData WorkingPriceChangeGrid(Session& session) {
    Database& db = session.Db();
    std::vector<TableColumn> columns{{QStringLiteral("id"), Format::Integer, -1, true}};
    for (TableColumn& c : LineColumns()) {
        columns.push_back(c);
    }
    return ReadTable(
        db,
        QStringLiteral("SELECT s.") + RowKey(db) + QStringLiteral(", ") + LineSelect() +
            QStringLiteral("FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\" s ") + LineJoins() +
            QStringLiteral("WHERE s.\"Multiuser_sifra\" = ? ORDER BY s.") + RowKey(db),
        {session.sessionCode}, columns);
}

QString WorkingPriceChangeTotals(Session& session) {
    Database& db = session.Db();
    return QStringLiteral("Razlika: ") +
           CurrencyAmount(
               db, ValueOf(db, QStringLiteral("STAVKE_IZMJENA_CIJENA_PRIVREMENO"),
                           QStringLiteral("\"Multiuser_sifra\" = ?"), {session.sessionCode}));
}

TableData PriceChangeChoices(Database& db, int warehouse, int year) {
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT h.\"BROJ_IZMJENE_CIJENA\", h.\"DATUM\", CASE WHEN COALESCE(h.\"BROJ_PRIMKE\", "
            "0) "
            "<> 0 THEN 'Primka ' || h.\"BROJ_PRIMKE\" WHEN h.\"BROJ_RACUNA\" IS NOT NULL THEN "
            "'Račun ' || COALESCE(h.\"IRA\", 1) || '/' || h.\"BROJ_RACUNA\" WHEN "
            "h.\"BROJ_SPECIFIKACIJE\" IS NOT NULL THEN 'Specifikacija ' || "
            "h.\"BROJ_SPECIFIKACIJE\" ELSE '' END, h.\"STORNO\", (SELECT "
            "SUM((s.\"NOVA_CIJENA\" - s.\"STARA_CIJENA\") * s.\"KOLICINA\") FROM "
            "\"STAVKE_IZMJENA_CIJENA\" s WHERE s.\"SKLADISTE\" = h.\"SKLADISTE\" AND s.\"GODINA\" "
            "= "
            "h.\"GODINA\" AND s.\"BROJ_IZMJENE_CIJENA\" = h.\"BROJ_IZMJENE_CIJENA\") FROM "
            "\"IZMJENE_CIJENA\" h WHERE h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? ORDER BY "
            "h.\"BROJ_IZMJENE_CIJENA\""),
        {warehouse, year},
        {{QStringLiteral("Broj"), Format::Integer},
         {QStringLiteral("Datum"), Format::Date},
         {QStringLiteral("Dokument")},
         {QStringLiteral("Storno"), Format::Boolean},
         {QStringLiteral("Razlika"), Format::Money}});
}

QString PriceChangeDetails(Database& db, int warehouse, int year, int number) {
    Statement h =
        db.Prepare(QStringLiteral("SELECT \"DATUM\", \"OPIS\", \"STORNO\", \"DATUM_STORNA\", "
                                  "\"RBR_STORNO_DOKUMENTA\" FROM \"IZMJENE_CIJENA\" WHERE ") +
                   kPostedKey);
    h.Exec({warehouse, year, number});
    if (!h.Next()) {
        return {};
    }
    QString text = QStringLiteral("Datum: ") +
                   sqlvalue::ToDate(h.Value(0)).toString(QStringLiteral("dd.MM.yyyy"));
    if (!h.Text(1).isEmpty()) {
        text += QStringLiteral("   ") + h.Text(1);
    }
    text += QStringLiteral("   Razlika: ") +
            CurrencyAmount(db, ValueOf(db, QStringLiteral("STAVKE_IZMJENA_CIJENA"), kPostedKey,
                                       {warehouse, year, number}));
    if (sqlvalue::ToBool(h.Value(2))) {
        text += QStringLiteral("   STORNO br. ") + QString::number(h.Int(4)) +
                QStringLiteral(" od ") +
                sqlvalue::ToDate(h.Value(3)).toString(QStringLiteral("dd.MM.yyyy"));
    }
    return text;
}

TableData PostedPriceChangeLines(Database& db, int warehouse, int year, int number) {
    return ReadTable(db,
                     QStringLiteral("SELECT ") + LineSelect() +
                         QStringLiteral("FROM \"STAVKE_IZMJENA_CIJENA\" s ") + LineJoins() +
                         QStringLiteral("WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND "
                                        "s.\"BROJ_IZMJENE_CIJENA\" = ? ORDER BY a.\"NAZIV\", "
                                        "s.\"BROJ_PRIMKE\""),
                     {warehouse, year, number}, LineColumns());
}

bool PriceChangeExists(Database& db, int warehouse, int year, int number) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"IZMJENE_CIJENA\" WHERE ") + kPostedKey,
                {warehouse, year, number})
        .isValid();
}

bool PriceChangeIsCancelled(Database& db, int warehouse, int year, int number) {
    return sqlvalue::ToBool(
        db.Scalar(QStringLiteral("SELECT \"STORNO\" FROM \"IZMJENE_CIJENA\" WHERE ") + kPostedKey,
                  {warehouse, year, number}));
}

std::vector<RepricingLot> RepricingLots(Session& session, int article) {
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    std::vector<RepricingLot> lots;
    for (int number : stock::ListLots(db, w, y, article, /*onlyWithStock=*/true)) {
        if (const std::optional<stock::Lot> lot = stock::FindLot(db, {w, y, number, article})) {
            lots.push_back({number, lot->quantity, lot->sellingPrice});
        }
    }
    return lots;
}

std::vector<PriceChangeChoice> TaxGroupChoices(Database& db) {
    return Choices(db,
                   QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"GRUPE_POREZA\" ORDER BY "
                                  "\"NAZIV\" COLLATE \"HR\""),
                   {});
}

std::vector<PriceChangeChoice> ArticleGroupChoices(Database& db) {
    return Choices(db,
                   QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"GRUPE_A\" ORDER BY "
                                  "\"NAZIV\" COLLATE \"HR\""),
                   {});
}

std::vector<PriceChangeChoice> OtherWarehouses(Session& session) {
    return Choices(session.Db(),
                   QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" "
                                  "<> ? ORDER BY \"SIFRA\""),
                   {session.activeWarehouse.code});
}

TableData ArticlesWithStock(Session& session, int taxGroup, int articleGroup) {
    Database& db = session.Db();
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT a.\"SIFRA\", a.\"OPIS\", a.\"NAZIV\", MAX(n.\"VELEPRODAJNA CIJENA\") FROM "
            "\"ARTIKLI\" a INNER JOIN \"NABAVE\" n ON n.\"SIFRA_ARTIKLA\" = a.\"SIFRA\" WHERE "
            "n.\"SKLADISTE\" = ? AND n.\"GODINA\" = ? AND n.\"KOLICINA\" <> 0 AND (? = 0 OR "
            "a.\"GRUPA_P\" = ?) AND (? = 0 OR a.\"GRUPA_A\" = ?) GROUP BY a.\"SIFRA\", "
            "a.\"OPIS\", a.\"NAZIV\" ORDER BY a.\"NAZIV\" COLLATE \"HR\""),
        {session.activeWarehouse.code, session.businessYear, taxGroup, taxGroup, articleGroup,
         articleGroup},
        {{QStringLiteral("code"), Format::Integer, -1, true},
         {QStringLiteral("Šifra")},
         {QStringLiteral("Naziv")},
         {QStringLiteral("Cijena"), Format::Number, 4}});
}

}  // namespace zodra::stockdocs
