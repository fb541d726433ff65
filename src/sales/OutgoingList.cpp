#include "sales/OutgoingList.h"

#include <QLocale>
#include <map>

#include "data/Database.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"

namespace zodra::sales {

namespace {

using F = TableColumn::Format;

QString Money(double value) {
    return FixedNumberText(value, 2, QLocale(QLocale::Croatian, QLocale::Croatia));
}

QString DateText(const QVariant& value) {
    return sqlvalue::ToDate(value).toString(QStringLiteral("dd.MM.yyyy"));
}

// Where a kind keeps its documents.
struct Tables {
    QString header;      // "PONUDE"
    QString lines;       // "STAVKE_PONUDA"
    QString number;      // the header's number column
    QString lineNumber;  // the lines' number column
    QString partner;     // the header's customer column
    bool hasBook = true;
};

Tables TablesOf(const OutgoingDocument& document) {
    switch (document.kind) {
        case OutgoingKind::Offer:
            return {QStringLiteral("PONUDE"),         QStringLiteral("STAVKE_PONUDA"),
                    QStringLiteral("BROJ RACUNA"),    QStringLiteral("BROJ_RACUNA"),
                    QStringLiteral("SIFRA PARTNERA"), true};
        case OutgoingKind::ProForma:
            return {QStringLiteral("PREDRACUNI"),     QStringLiteral("STAVKE_PREDRACUNA"),
                    QStringLiteral("BROJ RACUNA"),    QStringLiteral("BROJ_RACUNA"),
                    QStringLiteral("SIFRA PARTNERA"), true};
        case OutgoingKind::DeliveryNote:
            return {QStringLiteral("OTPREMNICE"),      QStringLiteral("STAVKE_OTPREMNICA"),
                    QStringLiteral("BROJ_OTPREMNICE"), QStringLiteral("BROJ_OTPREMNICE"),
                    QStringLiteral("SIFRA_PARTNERA"),  false};
        case OutgoingKind::Invoice:
            break;
    }
    return {QStringLiteral("RACUNI"),         QStringLiteral("STAVKE_RACUNA"),
            QStringLiteral("BROJ RACUNA"),    QStringLiteral("BROJ_RACUNA"),
            QStringLiteral("SIFRA PARTNERA"), true};
}

bool IsNull(const QVariant& value) {
    return !value.isValid() || value.isNull();
}

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

struct Sums {
    MoneyTotal purchase, beforeDiscount, discount, value, tax, total;
};

// The sums of the documents numbered `first` to `last`, by number: one range read of the
// lines' index.
std::map<int, Sums> SumsOf(Database& db, const Tables& t, int warehouse, int book, int year,
                           int first, int last) {
    QString sql = QStringLiteral("SELECT ") + Quoted(t.lineNumber) +
                  QStringLiteral(
                      ", \"NABAVNA_VRIJEDNOST\", \"VRIJEDNOST_BEZ_RABATA\", "
                      "\"RABAT_IZNOS\", \"VRIJEDNOST_\", \"POREZ_IZNOS\", \"UKUPNO_\" "
                      "FROM ") +
                  Quoted(t.lines) + QStringLiteral(" WHERE \"SKLADISTE\" = ? AND ") +
                  (t.hasBook ? QStringLiteral("\"IRA\" = ? AND ") : QString()) +
                  QStringLiteral("\"GODINA\" = ? AND ") + Quoted(t.lineNumber) +
                  QStringLiteral(" BETWEEN ? AND ?");
    QVariantList params{warehouse};
    if (t.hasBook) {
        params << book;
    }
    params << year << first << last;
    Statement s = db.Prepare(sql);
    s.Exec(params);
    std::map<int, Sums> sums;
    while (s.Next()) {
        Sums& d = sums[s.Int(0)];
        d.purchase += s.Double(1);
        d.beforeDiscount += s.Double(2);
        d.discount += s.Double(3);
        d.value += s.Double(4);
        d.tax += s.Double(5);
        d.total += s.Double(6);
    }
    return sums;
}

QString FromWhere(const Tables& t) {
    return QStringLiteral(" FROM ") + Quoted(t.header) +
           QStringLiteral(" h LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = h.") + Quoted(t.partner) +
           QStringLiteral(
               " LEFT JOIN \"UVJETI_PRODAJE\" u ON u.\"SIFRA\" = h.\"UVJET PRODAJE\" "
               "WHERE h.\"SKLADISTE\" = ?") +
           (t.hasBook ? QStringLiteral(" AND h.\"IRA\" = ?") : QString()) +
           QStringLiteral(" AND h.\"GODINA\" = ?");
}

QVariantList KeyParams(const Tables& t, int warehouse, int book, int year) {
    QVariantList params{warehouse};
    if (t.hasBook) {
        params << book;
    }
    params << year;
    return params;
}

QString PageSql(const Tables& t, const QString& columns, bool after) {
    return QStringLiteral("SELECT ") + columns + FromWhere(t) +
           (after ? QStringLiteral(" AND h.") + Quoted(t.number) + QStringLiteral(" > ?")
                  : QString()) +
           QStringLiteral(" ORDER BY h.") + Quoted(t.number) + QStringLiteral(" LIMIT ?");
}

QVariantList PageParams(const Tables& t, int warehouse, int book, int year,
                        std::optional<int> after, int limit) {
    QVariantList params = KeyParams(t, warehouse, book, year);
    if (after) {
        params << *after;
    }
    params << limit;
    return params;
}

// "15/1" for a note billed on invoice 15 of book 1; empty while open.
QVariant BilledOn(const QVariant& number, const QVariant& book) {
    if (IsNull(number)) {
        return QString();
    }
    return QString::number(sqlvalue::ToInt(number)) + QLatin1Char('/') +
           QString::number(sqlvalue::ToInt(book));
}

}  // namespace

TableData OutgoingChoicePage(Database& db, const OutgoingDocument& document, int warehouse,
                             int book, int year, std::optional<int> after, int limit) {
    const Tables t = TablesOf(document);
    const QVariantList params = PageParams(t, warehouse, book, year, after, limit);
    const QString number = QStringLiteral("h.") + Quoted(t.number);
    if (document.kind == OutgoingKind::DeliveryNote) {
        TableData table = ReadTable(
            db,
            PageSql(t,
                    number + QStringLiteral(", h.\"DATUM\", p.\"NAZIV\", h.\"BROJ_RACUNA\", "
                                            "h.\"IRA_RACUNA\""),
                    after.has_value()),
            params,
            {{QStringLiteral("Broj"), F::Integer},
             {QStringLiteral("Datum"), F::Date},
             {QStringLiteral("Kupac"), F::Text},
             {QStringLiteral("Račun"), F::Text},
             {QString(), F::Text}});
        table.columns.pop_back();
        for (QVariantList& row : table.rows) {
            const QVariant billedBook = row.takeLast();
            row[3] = BilledOn(row.at(3), billedBook);
        }
        return table;
    }
    const bool offer = document.kind == OutgoingKind::Offer;
    TableData table = ReadTable(
        db,
        PageSql(t,
                number + QStringLiteral(", h.\"DATUM\", p.\"NAZIV\", h.\"DOSPIJECE RACUNA\", "
                                        "h.\"STORNO\""),
                after.has_value()),
        params,
        {{QStringLiteral("Broj"), F::Integer},
         {QStringLiteral("Datum"), F::Date},
         {QStringLiteral("Kupac"), F::Text},
         {QStringLiteral("Vrijedi do"), F::Date},
         {QStringLiteral("Stanje"), F::Text}});
    for (QVariantList& row : table.rows) {
        const bool realized = offer && sqlvalue::ToInt(row.at(4)) != 0;
        row[4] = realized ? QStringLiteral("Realizirano") : QString();
    }
    if (!offer) {
        table.columns.pop_back();
        for (QVariantList& row : table.rows) {
            row.removeLast();
        }
    }
    return table;
}

QString OutgoingChoiceDetails(Database& db, const OutgoingDocument& document, int warehouse,
                              int book, int year, int number) {
    const Tables t = TablesOf(document);
    const bool note = document.kind == OutgoingKind::DeliveryNote;
    const QString extra = note ? QStringLiteral("h.\"BROJ_RACUNA\", h.\"IRA_RACUNA\"")
                               : QStringLiteral("h.\"DOSPIJECE RACUNA\", h.\"STORNO\"");
    Statement s = db.Prepare(QStringLiteral("SELECT h.\"DATUM\", p.\"NAZIV\", u.\"NAZIV\", ") +
                             extra + FromWhere(t) + QStringLiteral(" AND h.") + Quoted(t.number) +
                             QStringLiteral(" = ?"));
    QVariantList params = KeyParams(t, warehouse, book, year);
    params << number;
    s.Exec(params);
    if (!s.Next()) {
        return QString();
    }
    const Sums sums = SumsOf(db, t, warehouse, book, year, number, number)[number];
    QString text = QStringLiteral("Datum: ") + DateText(s.Value(0)) +
                   QStringLiteral("    Kupac: ") + s.Text(1) +
                   QStringLiteral("    Uvjet prodaje: ") + s.Text(2) +
                   QStringLiteral("    Ukupno: ") + Money(sums.total.Value());
    if (note) {
        if (!IsNull(s.Value(3))) {
            text += QStringLiteral("    Račun br. ") + BilledOn(s.Value(3), s.Value(4)).toString();
        }
    } else {
        if (!IsNull(s.Value(3))) {
            text += QStringLiteral("    Vrijedi do: ") + DateText(s.Value(3));
        }
        if (document.kind == OutgoingKind::Offer && s.Int(4) != 0) {
            text += QStringLiteral("    Realizirano");
        }
    }
    return text;
}

TableData OutgoingTablePage(Database& db, const OutgoingDocument& document, int warehouse, int book,
                            int year, std::optional<int> after, int limit) {
    const Tables t = TablesOf(document);
    const QVariantList params = PageParams(t, warehouse, book, year, after, limit);
    const QString number = QStringLiteral("h.") + Quoted(t.number);
    const bool note = document.kind == OutgoingKind::DeliveryNote;
    TableData table;
    if (note) {
        table = ReadTable(db,
                          PageSql(t,
                                  number + QStringLiteral(", h.\"DATUM\", p.\"NAZIV\", "
                                                          "u.\"NAZIV\", h.\"BROJ_RACUNA\", "
                                                          "h.\"IRA_RACUNA\""),
                                  after.has_value()),
                          params,
                          {{QStringLiteral("Broj"), F::Integer},
                           {QStringLiteral("Datum"), F::Date},
                           {QStringLiteral("Kupac"), F::Text},
                           {QStringLiteral("Uvjet prodaje"), F::Text},
                           {QStringLiteral("Račun"), F::Text},
                           {QString(), F::Text}});
        table.columns.pop_back();
        table.columns.insert(table.columns.begin() + 4,
                             {{QStringLiteral("Nabavna vrijednost"), F::Money},
                              {QStringLiteral("Osnovica"), F::Money},
                              {QStringLiteral("Porez"), F::Money},
                              {QStringLiteral("Ukupno"), F::Money}});
    } else {
        table = ReadTable(db,
                          PageSql(t,
                                  number + QStringLiteral(", p.\"NAZIV\", h.\"DATUM\", "
                                                          "h.\"DOSPIJECE RACUNA\", h.\"DODATNI "
                                                          "TEKST\", u.\"NAZIV\""),
                                  after.has_value()),
                          params,
                          {{QStringLiteral("Broj"), F::Integer},
                           {QStringLiteral("Kupac"), F::Text},
                           {QStringLiteral("Datum"), F::Date},
                           {QStringLiteral("Vrijedi do"), F::Date},
                           {QStringLiteral("Dodatni tekst"), F::Text},
                           {QStringLiteral("Uvjet prodaje"), F::Text}});
        table.columns.insert(table.columns.begin() + 5,
                             {{QStringLiteral("Nabavna vrijednost"), F::Money},
                              {QStringLiteral("Prodajna vrijednost"), F::Money},
                              {QStringLiteral("Rabat"), F::Money},
                              {QStringLiteral("Osnovica"), F::Money},
                              {QStringLiteral("Porez"), F::Money},
                              {QStringLiteral("Ukupno"), F::Money}});
    }
    if (table.rows.empty()) {
        return table;
    }
    const std::map<int, Sums> sums =
        SumsOf(db, t, warehouse, book, year, table.rows.front().at(0).toInt(),
               table.rows.back().at(0).toInt());
    for (QVariantList& row : table.rows) {
        const auto found = sums.find(row.at(0).toInt());
        const Sums d = found == sums.end() ? Sums{} : found->second;
        if (note) {
            const QVariant billedBook = row.takeLast();
            const QVariant billed = BilledOn(row.takeLast(), billedBook);
            row << d.purchase.Value() << d.value.Value() << d.tax.Value() << d.total.Value()
                << billed;
        } else {
            const QVariant terms = row.takeLast();
            row << d.purchase.Value() << d.beforeDiscount.Value() << d.discount.Value()
                << d.value.Value() << d.tax.Value() << d.total.Value() << terms;
        }
    }
    return table;
}

QString OutgoingTableTotals(Database& db, const OutgoingDocument& document, int warehouse, int book,
                            int year) {
    const Tables t = TablesOf(document);
    const bool note = document.kind == OutgoingKind::DeliveryNote;
    QString sql = QStringLiteral("SELECT ") +
                  (note ? QStringLiteral("h.\"BROJ_RACUNA\" IS NULL") : QStringLiteral("1")) +
                  QStringLiteral(
                      ", l.\"NABAVNA_VRIJEDNOST\", l.\"VRIJEDNOST_\", "
                      "l.\"POREZ_IZNOS\", l.\"UKUPNO_\" FROM ") +
                  Quoted(t.lines) + QStringLiteral(" l INNER JOIN ") + Quoted(t.header) +
                  QStringLiteral(" h ON h.\"SKLADISTE\" = l.\"SKLADISTE\" AND ") +
                  (t.hasBook ? QStringLiteral("h.\"IRA\" = l.\"IRA\" AND ") : QString()) +
                  QStringLiteral("h.\"GODINA\" = l.\"GODINA\" AND h.") + Quoted(t.number) +
                  QStringLiteral(" = l.") + Quoted(t.lineNumber) +
                  QStringLiteral(" WHERE l.\"SKLADISTE\" = ?") +
                  (t.hasBook ? QStringLiteral(" AND l.\"IRA\" = ?") : QString()) +
                  QStringLiteral(" AND l.\"GODINA\" = ?");
    Statement s = db.Prepare(sql);
    s.Exec(KeyParams(t, warehouse, book, year));
    Sums all;
    MoneyTotal open;
    while (s.Next()) {
        all.purchase += s.Double(1);
        all.value += s.Double(2);
        all.tax += s.Double(3);
        all.total += s.Double(4);
        if (note && s.Int(0) != 0) {
            open += s.Double(4);
        }
    }
    QString text = QStringLiteral("Ukupno: nabavna ") + Money(all.purchase.Value()) +
                   QStringLiteral("   osnovica ") + Money(all.value.Value()) +
                   QStringLiteral("   porez ") + Money(all.tax.Value()) +
                   QStringLiteral("   ukupno ") + Money(all.total.Value());
    if (note) {
        text += QStringLiteral("      Nefakturirano: ukupno ") + Money(open.Value());
    }
    return text;
}

}  // namespace zodra::sales
