#include "sales/InvoiceList.h"

#include <QLocale>
#include <map>

#include "data/Database.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"

namespace zodra::sales {

namespace {

using F = TableColumn::Format;

// The amount at the cent with its thousands grouped by points.
QString Money(double value) {
    return FixedNumberText(value, 2, QLocale(QLocale::Croatian, QLocale::Croatia));
}

struct Totals {
    MoneyTotal value, tax, total;
};

// The totals of the invoices numbered from `first` to `last`, by number: one range read of the
// lines' index.
std::map<int, Totals> TotalsOf(Database& db, int warehouse, int book, int year, int first,
                               int last) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT \"BROJ_RACUNA\", \"VRIJEDNOST_\", \"POREZ_IZNOS\", \"UKUPNO_\" FROM "
        "\"STAVKE_RACUNA\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
        "\"BROJ_RACUNA\" BETWEEN ? AND ?"));
    s.Exec({warehouse, book, year, first, last});
    std::map<int, Totals> totals;
    while (s.Next()) {
        Totals& t = totals[s.Int(0)];
        t.value += s.Double(1);
        t.tax += s.Double(2);
        t.total += s.Double(3);
    }
    return totals;
}

QString PageSql(const QString& columns, bool after) {
    return QStringLiteral("SELECT ") + columns +
           QStringLiteral(
               " FROM \"RACUNI\" h LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA "
               "PARTNERA\" LEFT JOIN \"UVJETI_PRODAJE\" u ON u.\"SIFRA\" = h.\"UVJET PRODAJE\" "
               "WHERE h.\"SKLADISTE\" = ? AND h.\"IRA\" = ? AND h.\"GODINA\" = ?") +
           (after ? QStringLiteral(" AND h.\"BROJ RACUNA\" > ?") : QString()) +
           QStringLiteral(" ORDER BY h.\"BROJ RACUNA\" LIMIT ?");
}

QVariantList PageParams(int warehouse, int book, int year, std::optional<int> after, int limit) {
    QVariantList params{warehouse, book, year};
    if (after) {
        params << *after;
    }
    params << limit;
    return params;
}

}  // namespace

std::vector<IraBookChoice> IraBookChoices(Database& db) {
    Statement s = db.Prepare(
        QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"KNJIGE_IRA\" ORDER BY \"SIFRA\""));
    s.Exec();
    std::vector<IraBookChoice> books;
    while (s.Next()) {
        books.push_back({s.Int(0), s.Text(1)});
    }
    return books;
}

TableData InvoiceChoicePage(Database& db, int warehouse, int book, int year,
                            std::optional<int> after, int limit) {
    return ReadTable(db,
                     PageSql(QStringLiteral("h.\"BROJ RACUNA\", h.\"DATUM\", p.\"NAZIV\", "
                                            "h.\"STORNO\""),
                             after.has_value()),
                     PageParams(warehouse, book, year, after, limit),
                     {{QStringLiteral("Broj"), F::Integer},
                      {QStringLiteral("Datum"), F::Date},
                      {QStringLiteral("Kupac"), F::Text},
                      {QStringLiteral("Storno"), F::Boolean}});
}

QString InvoiceChoiceDetails(Database& db, int warehouse, int book, int year, int number) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT h.\"DATUM\", p.\"NAZIV\", u.\"NAZIV\", h.\"STORNO\", h.\"DATUM_STORNA\" FROM "
        "\"RACUNI\" h LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA PARTNERA\" LEFT JOIN "
        "\"UVJETI_PRODAJE\" u ON u.\"SIFRA\" = h.\"UVJET PRODAJE\" WHERE h.\"SKLADISTE\" = ? AND "
        "h.\"IRA\" = ? AND h.\"GODINA\" = ? AND h.\"BROJ RACUNA\" = ?"));
    s.Exec({warehouse, book, year, number});
    if (!s.Next()) {
        return QString();
    }
    const Totals t = TotalsOf(db, warehouse, book, year, number, number)[number];
    QString text = QStringLiteral("Datum: ") +
                   sqlvalue::ToDate(s.Value(0)).toString(QStringLiteral("dd.MM.yyyy")) +
                   QStringLiteral("    Kupac: ") + s.Text(1) +
                   QStringLiteral("    Uvjet prodaje: ") + s.Text(2) +
                   QStringLiteral("    Ukupno: ") + Money(t.total.Value());
    if (s.Int(3) != 0) {
        text += QStringLiteral("    Storniran ") +
                sqlvalue::ToDate(s.Value(4)).toString(QStringLiteral("dd.MM.yyyy"));
    }
    return text;
}

TableData InvoiceTablePage(Database& db, int warehouse, int book, int year,
                           std::optional<int> after, int limit) {
    TableData table = ReadTable(db,
                                PageSql(QStringLiteral("h.\"BROJ RACUNA\", h.\"DATUM\", "
                                                       "p.\"NAZIV\", u.\"NAZIV\", h.\"STORNO\""),
                                        after.has_value()),
                                PageParams(warehouse, book, year, after, limit),
                                {{QStringLiteral("Broj"), F::Integer},
                                 {QStringLiteral("Datum"), F::Date},
                                 {QStringLiteral("Kupac"), F::Text},
                                 {QStringLiteral("Uvjet prodaje"), F::Text},
                                 {QStringLiteral("Storno"), F::Boolean}});
    table.columns.insert(table.columns.begin() + 4, {{QStringLiteral("Vrijednost"), F::Money},
                                                     {QStringLiteral("Porez"), F::Money},
                                                     {QStringLiteral("Ukupno"), F::Money}});
    if (table.rows.empty()) {
        return table;
    }
    const std::map<int, Totals> totals =
        TotalsOf(db, warehouse, book, year, table.rows.front().at(0).toInt(),
                 table.rows.back().at(0).toInt());
    for (QVariantList& row : table.rows) {
        const auto found = totals.find(row.at(0).toInt());
        const QVariant cancelled = row.takeLast();
        if (found == totals.end()) {
            row << QVariant() << QVariant() << QVariant();
        } else {
            row << found->second.value.Value() << found->second.tax.Value()
                << found->second.total.Value();
        }
        row << cancelled;
    }
    return table;
}

QString InvoiceTableTotals(Database& db, int warehouse, int book, int year) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT h.\"STORNO\", l.\"VRIJEDNOST_\", l.\"POREZ_IZNOS\", l.\"UKUPNO_\" FROM "
        "\"STAVKE_RACUNA\" l INNER JOIN \"RACUNI\" h ON h.\"SKLADISTE\" = l.\"SKLADISTE\" AND "
        "h.\"IRA\" = l.\"IRA\" AND h.\"GODINA\" = l.\"GODINA\" AND h.\"BROJ RACUNA\" = "
        "l.\"BROJ_RACUNA\" WHERE l.\"SKLADISTE\" = ? AND l.\"IRA\" = ? AND l.\"GODINA\" = ?"));
    s.Exec({warehouse, book, year});
    Totals all, cancelled;
    while (s.Next()) {
        Totals& t = s.Int(0) != 0 ? cancelled : all;
        t.value += s.Double(1);
        t.tax += s.Double(2);
        t.total += s.Double(3);
    }
    return QStringLiteral("Ukupno: vrijednost ") + Money(all.value.Value()) +
           QStringLiteral("   porez ") + Money(all.tax.Value()) + QStringLiteral("   ukupno ") +
           Money(all.total.Value()) + QStringLiteral("      Stornirani: ukupno ") +
           Money(cancelled.total.Value());
}

}  // namespace zodra::sales
