#include "production/WorkOrderList.h"

#include "data/Database.h"
#include "data/InputRules.h"
#include "data/Rounding.h"
#include "data/Session.h"

namespace zodra::production {

std::vector<std::pair<int, QString>> DestinationChoices(Database& db) {
    std::vector<std::pair<int, QString>> choices;
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"SKLADISTA\" ORDER BY \"SIFRA\""));
    rows.Exec({});
    while (rows.Next()) {
        choices.emplace_back(rows.Int(0),
                             QString::number(rows.Int(0)) + QStringLiteral(" - ") + rows.Text(1));
    }
    return choices;
}

namespace {

std::vector<std::pair<int, QString>> NamedChoices(Database& db, const QString& table) {
    std::vector<std::pair<int, QString>> choices;
    Statement rows = db.Prepare(QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"") + table +
                                QStringLiteral("\" ORDER BY \"NAZIV\" COLLATE \"HR\", \"SIFRA\""));
    rows.Exec({});
    while (rows.Next()) {
        choices.emplace_back(rows.Int(0), rows.Text(1) + QStringLiteral(" (") +
                                              QString::number(rows.Int(0)) + QLatin1Char(')'));
    }
    return choices;
}

}  // namespace

std::vector<std::pair<int, QString>> PartnerChoices(Database& db) {
    return NamedChoices(db, QStringLiteral("PARTNERI"));
}

std::vector<std::pair<int, QString>> ArticleChoices(Database& db) {
    return NamedChoices(db, QStringLiteral("ARTIKLI"));
}

std::vector<std::pair<int, QString>> MaterialChoices(Session& session) {
    std::vector<std::pair<int, QString>> choices;
    Statement rows = session.Db().Prepare(QStringLiteral(
        "SELECT a.\"SIFRA\", a.\"NAZIV\", SUM(n.\"KOLICINA_PRIVREMENO\") FROM \"NABAVE\" n JOIN "
        "\"ARTIKLI\" a ON a.\"SIFRA\" = n.\"SIFRA_ARTIKLA\" WHERE n.\"SKLADISTE\" = ? AND "
        "n.\"GODINA\" = ? AND n.\"KOLICINA_PRIVREMENO\" > 0 GROUP BY a.\"SIFRA\", a.\"NAZIV\" "
        "ORDER BY a.\"NAZIV\" COLLATE \"HR\", a.\"SIFRA\""));
    rows.Exec({session.activeWarehouse.code, session.businessYear});
    while (rows.Next()) {
        choices.emplace_back(rows.Int(0), rows.Text(1) + QStringLiteral(" (") +
                                              inputrules::FormatNumber(rows.Double(2)) +
                                              QLatin1Char(')'));
    }
    return choices;
}

TableData PostedWorkOrders(Session& session) {
    using F = TableColumn::Format;
    return ReadTable(
        session.Db(),
        QStringLiteral(
            "SELECT \"BROJ_RADNOG_NALOGA\", \"DATUM\", \"OPIS\", \"ODREDISNO_SKLADISTE\", "
            "\"BROJ_PRIMKE\", \"NABAVNA_VRIJEDNOST\", \"PRODAJNA_VRIJEDNOST\" FROM "
            "\"RADNI_NALOZI\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? ORDER BY "
            "\"BROJ_RADNOG_NALOGA\""),
        {session.activeWarehouse.code, session.businessYear},
        {{QStringLiteral("Broj"), F::Integer},
         {QStringLiteral("Datum"), F::Date},
         {QStringLiteral("Opis"), F::Text},
         {QStringLiteral("Odredište"), F::Integer},
         {QStringLiteral("Primka"), F::Integer},
         {QStringLiteral("Nabavna vrijednost"), F::Money},
         {QStringLiteral("Prodajna vrijednost"), F::Money}});
}

QString WorkOrderDetails(Session& session, int number) {
    Statement row = session.Db().Prepare(QStringLiteral(
        "SELECT r.\"ODREDISNO_SKLADISTE\", s.\"NAZIV\", r.\"BROJ_PRIMKE\", "
        "r.\"NABAVNA_VRIJEDNOST\", "
        "r.\"PRODAJNA_VRIJEDNOST\" FROM \"RADNI_NALOZI\" r LEFT JOIN \"SKLADISTA\" s ON "
        "s.\"SIFRA\" = "
        "r.\"ODREDISNO_SKLADISTE\" WHERE r.\"SKLADISTE\" = ? AND r.\"GODINA\" = ? AND "
        "r.\"BROJ_RADNOG_NALOGA\" = ?"));
    row.Exec({session.activeWarehouse.code, session.businessYear, number});
    if (!row.Next()) {
        return {};
    }
    return QStringLiteral("Odredište : ") + QString::number(row.Int(0)) + QStringLiteral(" - ") +
           row.Text(1) + QStringLiteral("   Primka br. : ") + QString::number(row.Int(2)) +
           QStringLiteral("   Nabavna vrijednost : ") + MoneyText(row.Double(3)) +
           QStringLiteral("   Prodajna vrijednost : ") + MoneyText(row.Double(4));
}

TableData PostedWorkOrderLines(Session& session, int number) {
    using F = TableColumn::Format;
    return ReadTable(
        session.Db(),
        QStringLiteral(
            "SELECT 'Dio' AS \"VRSTA\", a.\"NAZIV\", s.\"BROJ_PRIMKE\", s.\"KOLICINA\", "
            "s.\"NABAVNA_CIJENA\", s.\"NABAVNA_VRIJEDNOST\", s.\"PRODAJNA_CIJENA\", "
            "s.\"PRODAJNA_VRIJEDNOST\" FROM \"STAVKE_RADNIH_NALOGA\" s LEFT JOIN \"ARTIKLI\" a ON "
            "a.\"SIFRA\" = s.\"SIFRA_ARTIKLA\" WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND "
            "s.\"BROJ_RADNOG_NALOGA\" = ? "
            "UNION ALL "
            "SELECT 'Proizvod', a.\"NAZIV\", NULL, p.\"KOLICINA\", p.\"NABAVNA_CIJENA\", "
            "p.\"NABAVNA_VRIJEDNOST\", p.\"CIJENA\", p.\"VRIJEDNOST\" FROM \"RADNI_NALOZI\" r JOIN "
            "\"STAVKE_PRIMKI\" p ON p.\"SKLADISTE\" = r.\"ODREDISNO_SKLADISTE\" AND p.\"GODINA\" = "
            "r.\"GODINA\" AND p.\"BROJ_PRIMKE\" = r.\"BROJ_PRIMKE\" LEFT JOIN \"ARTIKLI\" a ON "
            "a.\"SIFRA\" = p.\"SIFRA\" WHERE r.\"SKLADISTE\" = ? AND r.\"GODINA\" = ? AND "
            "r.\"BROJ_RADNOG_NALOGA\" = ?"),
        {session.activeWarehouse.code, session.businessYear, number, session.activeWarehouse.code,
         session.businessYear, number},
        {{QStringLiteral("Vrsta"), F::Text},
         {QStringLiteral("Naziv"), F::Text},
         {QStringLiteral("Primka"), F::Integer},
         {QStringLiteral("Količina"), F::Quantity},
         {QStringLiteral("Nabavna cijena"), F::Money},
         {QStringLiteral("Nabavna vrijednost"), F::Money},
         {QStringLiteral("Prodajna cijena"), F::Money},
         {QStringLiteral("Prodajna vrijednost"), F::Money}});
}

TableData PostedFinishingOrders(Session& session) {
    using F = TableColumn::Format;
    return ReadTable(
        session.Db(),
        QStringLiteral(
            "SELECT r.\"BROJ_RADNOG_NALOGA\", r.\"DATUM\", p.\"NAZIV\", r.\"OPIS\", "
            "r.\"NABAVNA_VRIJEDNOST\", r.\"PRODAJNA_VRIJEDNOST\" FROM \"RADNI_NALOZI_DORADA\" r "
            "LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = r.\"SIFRA_PARTNERA\" WHERE "
            "r.\"SKLADISTE\" = ? AND r.\"GODINA\" = ? ORDER BY r.\"BROJ_RADNOG_NALOGA\""),
        {session.activeWarehouse.code, session.businessYear},
        {{QStringLiteral("Broj"), F::Integer},
         {QStringLiteral("Datum"), F::Date},
         {QStringLiteral("Vlasnik robe"), F::Text},
         {QStringLiteral("Opis"), F::Text},
         {QStringLiteral("Nabavna vrijednost"), F::Money},
         {QStringLiteral("Vrijednost"), F::Money}});
}

QString FinishingOrderDetails(Session& session, int number) {
    Statement row = session.Db().Prepare(QStringLiteral(
        "SELECT r.\"SIFRA_PARTNERA\", p.\"NAZIV\", r.\"NABAVNA_VRIJEDNOST\", "
        "r.\"PRODAJNA_VRIJEDNOST\" FROM \"RADNI_NALOZI_DORADA\" r LEFT JOIN \"PARTNERI\" p ON "
        "p.\"SIFRA\" = r.\"SIFRA_PARTNERA\" WHERE r.\"SKLADISTE\" = ? AND r.\"GODINA\" = ? AND "
        "r.\"BROJ_RADNOG_NALOGA\" = ?"));
    row.Exec({session.activeWarehouse.code, session.businessYear, number});
    if (!row.Next()) {
        return {};
    }
    return QStringLiteral("Vlasnik robe : ") + QString::number(row.Int(0)) + QStringLiteral(" - ") +
           row.Text(1) + QStringLiteral("   Nabavna vrijednost : ") + MoneyText(row.Double(2)) +
           QStringLiteral("   Vrijednost : ") + MoneyText(row.Double(3));
}

TableData PostedFinishingOrderLines(Session& session, int number) {
    using F = TableColumn::Format;
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    // Products first (the service rows without a description), each followed by its material
    // and services.
    return ReadTable(
        session.Db(),
        QStringLiteral(
            "SELECT * FROM (SELECT u.\"GOT_PR_SIFRA\" AS \"P\", 0 AS \"R\", 'Proizvod' AS "
            "\"VRSTA\", a.\"NAZIV\" AS \"NAZIV\", NULL AS \"PRIMKA\", u.\"KOLICINA\" AS "
            "\"KOL\", NULL AS \"NC\", NULL AS \"NV\", NULL AS \"PC\", NULL AS \"PV\" FROM "
            "\"STAVKE_RADNIH_NALOGA_DORADA_USLUGE\" u LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = "
            "u.\"GOT_PR_SIFRA\" WHERE u.\"SKLADISTE\" = ? AND u.\"GODINA\" = ? AND "
            "u.\"BROJ_RADNOG_NALOGA\" = ? AND u.\"OPIS\" IS NULL "
            "UNION ALL "
            "SELECT s.\"GOT_PR_SIFRA\", 1, 'Materijal', a.\"NAZIV\", s.\"BROJ_PRIMKE\", "
            "s.\"KOLICINA\", s.\"NABAVNA_CIJENA\", s.\"NABAVNA_VRIJEDNOST\", "
            "s.\"PRODAJNA_CIJENA\", s.\"PRODAJNA_VRIJEDNOST\" FROM \"STAVKE_RADNIH_NALOGA_DORADA\" "
            "s LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = s.\"SIFRA_ARTIKLA\" WHERE s.\"SKLADISTE\" "
            "= ? AND s.\"GODINA\" = ? AND s.\"BROJ_RADNOG_NALOGA\" = ? "
            "UNION ALL "
            "SELECT u.\"GOT_PR_SIFRA\", 2, 'Usluga', u.\"OPIS\", NULL, u.\"KOLICINA\", "
            "u.\"NABAVNA_CIJENA\", u.\"NABAVNA_VRIJEDNOST\", u.\"NABAVNA_CIJENA\", "
            "u.\"NABAVNA_VRIJEDNOST\" FROM \"STAVKE_RADNIH_NALOGA_DORADA_USLUGE\" u WHERE "
            "u.\"SKLADISTE\" = ? AND u.\"GODINA\" = ? AND u.\"BROJ_RADNOG_NALOGA\" = ? AND "
            "u.\"OPIS\" IS NOT NULL) x ORDER BY \"P\", \"R\""),
        {w, y, number, w, y, number, w, y, number},
        {{QString(), F::Integer, -1, true},
         {QString(), F::Integer, -1, true},
         {QStringLiteral("Vrsta"), F::Text},
         {QStringLiteral("Naziv"), F::Text},
         {QStringLiteral("Primka"), F::Integer},
         {QStringLiteral("Količina"), F::Quantity},
         {QStringLiteral("Nabavna cijena"), F::Money},
         {QStringLiteral("Nabavna vrijednost"), F::Money},
         {QStringLiteral("Prodajna cijena"), F::Money},
         {QStringLiteral("Prodajna vrijednost"), F::Money}});
}

}  // namespace zodra::production
