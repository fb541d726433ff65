#include "purchasing/ReceiptList.h"

#include "data/Database.h"
#include "data/SqlValue.h"

namespace zodra::purchasing {

namespace {

// Sums over a receipt's lines, in the order of the table's sum columns; with their aliases for
// the grouped subquery of the table view.
QString LineSums(bool aliased = false) {
    const char* columns[][2] = {{"FAKTURNA_VRIJEDNOST", "fv"},
                                {"RABAT_IZNOS", "r"},
                                {"NETTO_FAKTURNA_VRIJEDNOST", "nfv"},
                                {"CARINA_IZNOS", "c"},
                                {"SPEDICIJA_IZNOS", "sp"},
                                {"ZTR_IZNOS", "z"},
                                {"NABAVNA_VRIJEDNOST", "nv"},
                                {"RUC_IZNOS", "ruc"},
                                {"VRIJEDNOST", "v"}};
    QStringList sums;
    for (const auto& c : columns) {
        sums << QStringLiteral("SUM(s.\"") + QString::fromLatin1(c[0]) + QStringLiteral("\")") +
                    (aliased ? QStringLiteral(" AS ") + QString::fromLatin1(c[1]) : QString());
    }
    return sums.join(QStringLiteral(", "));
}

QString Money(double value) {
    QString text = QString::number(value, 'f', 2);
    if (text == QLatin1String("-0.00")) {
        text = QStringLiteral("0.00");
    }
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative) {
        text.remove(0, 1);
    }
    QString integer = text.left(text.size() - 3);
    for (qsizetype i = integer.size() - 3; i > 0; i -= 3) {
        integer.insert(i, QLatin1Char('.'));
    }
    return (negative ? QStringLiteral("-") : QString()) + integer + QLatin1Char(',') +
           text.right(2);
}

}  // namespace

TableData ReceiptChoice(Database& db, int warehouse, int year) {
    using F = TableColumn::Format;
    return ReadTable(
        db,
        QStringLiteral("SELECT h.\"BROJ PRIMKE\", h.\"DATUM\", p.\"NAZIV\", h.\"DOKUMENT "
                       "DOBAVLJACA\" FROM \"PRIMKE\" h LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = "
                       "h.\"SIFRA DOBAVLJACA\" WHERE h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? "
                       "ORDER BY h.\"BROJ PRIMKE\""),
        {warehouse, year},
        {{QStringLiteral("Broj"), F::Integer},
         {QStringLiteral("Datum"), F::Date},
         {QStringLiteral("Dobavljač"), F::Text},
         {QStringLiteral("Dokument dobavljača"), F::Text}});
}

QString ReceiptChoiceDetails(Database& db, int warehouse, int year, int number) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT h.\"DATUM\", p.\"NAZIV\", h.\"DOKUMENT DOBAVLJACA\" FROM \"PRIMKE\" h LEFT JOIN "
        "\"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA DOBAVLJACA\" WHERE h.\"SKLADISTE\" = ? AND "
        "h.\"GODINA\" = ? AND h.\"BROJ PRIMKE\" = ?"));
    s.Exec({warehouse, year, number});
    if (!s.Next()) {
        return QString();
    }
    return QStringLiteral("Datum: ") +
           sqlvalue::ToDate(s.Value(0)).toString(QStringLiteral("dd.MM.yyyy")) +
           QStringLiteral("    Dobavljač: ") + s.Text(1) +
           QStringLiteral("    Dokument dobavljača: ") + s.Text(2);
}

TableData ReceiptTable(Database& db, int warehouse, int year) {
    using F = TableColumn::Format;
    // Header and line sums come from one grouped pass over the lines (the line index leads with
    // warehouse and year), joined to the headers; receipts without lines show no sums.
    return ReadTable(
        db,
        QStringLiteral("SELECT h.\"BROJ PRIMKE\", p.\"NAZIV\", h.\"DATUM\", h.\"DOKUMENT "
                       "DOBAVLJACA\", h.\"DATUM DOKUMENTA DOBAVLJACA\", t.fv, t.r, t.nfv, t.c, "
                       "t.sp, t.z, t.nv, t.ruc, t.v FROM \"PRIMKE\" h LEFT JOIN \"PARTNERI\" p ON "
                       "p.\"SIFRA\" = h.\"SIFRA DOBAVLJACA\" LEFT JOIN (SELECT s.\"BROJ_PRIMKE\" "
                       "AS broj, ") +
            LineSums(true) +
            QStringLiteral(
                " FROM \"STAVKE_PRIMKI\" s WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? "
                "GROUP BY s.\"BROJ_PRIMKE\") t ON t.broj = h.\"BROJ PRIMKE\" WHERE "
                "h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? ORDER BY h.\"BROJ PRIMKE\""),
        {warehouse, year, warehouse, year},
        {{QStringLiteral("Broj"), F::Integer},
         {QStringLiteral("Dobavljač"), F::Text},
         {QStringLiteral("Datum"), F::Date},
         {QStringLiteral("Dokument dobavljača"), F::Text},
         {QStringLiteral("Datum dokumenta dobavljača"), F::Date},
         {QStringLiteral("Fakturna vrijednost"), F::Money},
         {QStringLiteral("Rabat"), F::Money},
         {QStringLiteral("Neto fakturna vrijednost"), F::Money},
         {QStringLiteral("Carina"), F::Money},
         {QStringLiteral("Špedicija"), F::Money},
         {QStringLiteral("Zavisni trošak"), F::Money},
         {QStringLiteral("Nabavna vrijednost"), F::Money},
         {QStringLiteral("Ruc"), F::Money},
         {QStringLiteral("Vrijednost bez poreza"), F::Money}});
}

QString ReceiptTableTotals(Database& db, int warehouse, int year) {
    Statement s =
        db.Prepare(QStringLiteral("SELECT COUNT(DISTINCT s.\"BROJ_PRIMKE\"), ") + LineSums() +
                   QStringLiteral(" FROM \"STAVKE_PRIMKI\" s WHERE s.\"SKLADISTE\" = ? "
                                  "AND s.\"GODINA\" = ?"));
    s.Exec({warehouse, year});
    if (!s.Next()) {
        return QString();
    }
    return QStringLiteral("Ukupno: fakturna vr. ") + Money(s.Double(1)) +
           QStringLiteral("   rabat ") + Money(s.Double(2)) + QStringLiteral("   neto ") +
           Money(s.Double(3)) + QStringLiteral("   carina ") + Money(s.Double(4)) +
           QStringLiteral("   špedicija ") + Money(s.Double(5)) +
           QStringLiteral("   zavisni tr. ") + Money(s.Double(6)) +
           QStringLiteral("   nabavna vr. ") + Money(s.Double(7)) + QStringLiteral("   ruc ") +
           Money(s.Double(8)) + QStringLiteral("   vrijednost bez poreza ") + Money(s.Double(9));
}

double ReceiptTaxSummary::Base() const {
    double sum = packagingBase;
    for (const TaxBase& t : perRate) {
        sum += t.base;
    }
    return sum;
}

double ReceiptTaxSummary::Tax() const {
    double sum = 0;
    for (const TaxBase& t : perRate) {
        sum += t.Tax();
    }
    return sum;
}

ReceiptTaxSummary TaxSummary(Database& db, int warehouse, int year, int number) {
    ReceiptTaxSummary summary;
    {
        // The rate the line was posted with; the article's group where a line has none.
        Statement s = db.Prepare(QStringLiteral(
            "SELECT COALESCE(s.\"POREZ_%\", g.\"STOPA\", 0) AS stopa, "
            "SUM(s.\"NETTO_FAKTURNA_VRIJEDNOST\") FROM \"STAVKE_PRIMKI\" s LEFT JOIN \"ARTIKLI\" "
            "a ON a.\"SIFRA\" = s.\"SIFRA\" LEFT JOIN \"GRUPE_POREZA\" g ON g.\"SIFRA\" = "
            "a.\"GRUPA_P\" WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"BROJ_PRIMKE\" = "
            "? AND s.\"TIP_STAVKE\" = 'ART' GROUP BY stopa ORDER BY stopa"));
        s.Exec({warehouse, year, number});
        while (s.Next()) {
            summary.perRate.push_back({s.Double(0), s.Double(1)});
        }
    }
    summary.packagingBase = sqlvalue::ToDouble(db.Scalar(
        QStringLiteral("SELECT SUM(\"NETTO_FAKTURNA_VRIJEDNOST\") FROM \"STAVKE_PRIMKI\" WHERE "
                       "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND "
                       "\"TIP_STAVKE\" IN ('AMB', 'AMP')"),
        {warehouse, year, number}));
    summary.paymentDelay = sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT p.\"ODGODA\" FROM \"PRIMKE\" h INNER JOIN \"PARTNERI\" p ON "
                       "p.\"SIFRA\" = h.\"SIFRA DOBAVLJACA\" WHERE h.\"SKLADISTE\" = ? AND "
                       "h.\"GODINA\" = ? AND h.\"BROJ PRIMKE\" = ?"),
        {warehouse, year, number}));
    return summary;
}

}  // namespace zodra::purchasing
