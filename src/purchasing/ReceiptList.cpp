#include "purchasing/ReceiptList.h"

#include <array>
#include <map>

#include "data/Database.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"

namespace zodra::purchasing {

namespace {

// The table's sum columns, in its order.
constexpr std::array<const char*, 9> kSumColumns = {
    "FAKTURNA_VRIJEDNOST", "RABAT_IZNOS",     "NETTO_FAKTURNA_VRIJEDNOST",
    "CARINA_IZNOS",        "SPEDICIJA_IZNOS", "ZTR_IZNOS",
    "NABAVNA_VRIJEDNOST",  "RUC_IZNOS",       "VRIJEDNOST"};
using ColumnTotals = std::array<MoneyTotal, kSumColumns.size()>;

// The totals of every receipt of the warehouse and year that has lines, by receipt number.
// A receipt's total is the sum of its lines' amounts rounded to the cent, as the receipt window,
// its printout and its trade-book entry have it, so it is added up here rather than by SUM().
// One pass over the lines (the line index leads with warehouse and year).
std::map<int, ColumnTotals> ReceiptTotalsOf(Database& db, int warehouse, int year) {
    QStringList columns;
    for (const char* c : kSumColumns) {
        columns << QLatin1Char('"') + QString::fromLatin1(c) + QLatin1Char('"');
    }
    Statement s =
        db.Prepare(QStringLiteral("SELECT \"BROJ_PRIMKE\", ") + columns.join(QStringLiteral(", ")) +
                   QStringLiteral(" FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = ? AND "
                                  "\"GODINA\" = ?"));
    s.Exec({warehouse, year});
    std::map<int, ColumnTotals> totals;
    while (s.Next()) {
        ColumnTotals& receipt = totals[s.Int(0)];
        for (std::size_t i = 0; i < receipt.size(); ++i) {
            receipt[i] += s.Double(static_cast<int>(i) + 1);
        }
    }
    return totals;
}

// The amount at the cent, with its thousands grouped by points.
QString Money(double value) {
    QString text = MoneyText(value);
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
    TableData table = ReadTable(
        db,
        QStringLiteral("SELECT h.\"BROJ PRIMKE\", p.\"NAZIV\", h.\"DATUM\", h.\"DOKUMENT "
                       "DOBAVLJACA\", h.\"DATUM DOKUMENTA DOBAVLJACA\" FROM \"PRIMKE\" h LEFT JOIN "
                       "\"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA DOBAVLJACA\" WHERE "
                       "h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? ORDER BY h.\"BROJ PRIMKE\""),
        {warehouse, year},
        {{QStringLiteral("Broj"), F::Integer},
         {QStringLiteral("Dobavljač"), F::Text},
         {QStringLiteral("Datum"), F::Date},
         {QStringLiteral("Dokument dobavljača"), F::Text},
         {QStringLiteral("Datum dokumenta dobavljača"), F::Date}});
    for (const char* header :
         {"Fakturna vrijednost", "Rabat", "Neto fakturna vrijednost", "Carina", "Špedicija",
          "Zavisni trošak", "Nabavna vrijednost", "Ruc", "Vrijednost bez poreza"}) {
        table.columns.push_back({QString::fromUtf8(header), F::Money});
    }
    // Receipts without lines show no sums.
    const std::map<int, ColumnTotals> totals = ReceiptTotalsOf(db, warehouse, year);
    for (QVariantList& row : table.rows) {
        const auto found = totals.find(row.at(0).toInt());
        for (std::size_t i = 0; i < kSumColumns.size(); ++i) {
            row << (found == totals.end() ? QVariant() : QVariant(found->second[i].Value()));
        }
    }
    return table;
}

QString ReceiptTableTotals(Database& db, int warehouse, int year) {
    // The sum of the receipts' totals as the table shows them.
    ColumnTotals sums;
    for (const auto& [number, receipt] : ReceiptTotalsOf(db, warehouse, year)) {
        for (std::size_t i = 0; i < sums.size(); ++i) {
            sums[i] += receipt[i].Value();
        }
    }
    const auto sum = [&](std::size_t column) { return Money(sums[column].Value()); };
    return QStringLiteral("Ukupno: fakturna vr. ") + sum(0) + QStringLiteral("   rabat ") + sum(1) +
           QStringLiteral("   neto ") + sum(2) + QStringLiteral("   carina ") + sum(3) +
           QStringLiteral("   špedicija ") + sum(4) + QStringLiteral("   zavisni tr. ") + sum(5) +
           QStringLiteral("   nabavna vr. ") + sum(6) + QStringLiteral("   ruc ") + sum(7) +
           QStringLiteral("   vrijednost bez poreza ") + sum(8);
}

double TaxBase::Tax() const {
    return RoundMoney(base * rate / 100.0);
}

double ReceiptTaxSummary::Base() const {
    MoneyTotal sum;
    sum += packagingBase;
    for (const TaxBase& t : perRate) {
        sum += t.base;
    }
    return sum.Value();
}

double ReceiptTaxSummary::Tax() const {
    MoneyTotal sum;
    for (const TaxBase& t : perRate) {
        sum += t.Tax();
    }
    return sum.Value();
}

ReceiptTaxSummary TaxSummary(Database& db, int warehouse, int year, int number) {
    ReceiptTaxSummary summary;
    {
        // The rate the line was posted with; the article's group where a line has none. A base
        // is the sum of its lines' net values rounded to the cent.
        Statement s = db.Prepare(QStringLiteral(
            "SELECT COALESCE(s.\"POREZ_%\", g.\"STOPA\", 0) AS stopa, "
            "s.\"NETTO_FAKTURNA_VRIJEDNOST\" FROM \"STAVKE_PRIMKI\" s LEFT JOIN \"ARTIKLI\" a ON "
            "a.\"SIFRA\" = s.\"SIFRA\" LEFT JOIN \"GRUPE_POREZA\" g ON g.\"SIFRA\" = "
            "a.\"GRUPA_P\" WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"BROJ_PRIMKE\" = "
            "? AND s.\"TIP_STAVKE\" = 'ART' ORDER BY stopa"));
        s.Exec({warehouse, year, number});
        std::map<double, MoneyTotal> bases;
        while (s.Next()) {
            bases[s.Double(0)] += s.Double(1);
        }
        for (const auto& [rate, base] : bases) {
            summary.perRate.push_back({rate, base.Value()});
        }
    }
    {
        Statement s = db.Prepare(
            QStringLiteral("SELECT \"NETTO_FAKTURNA_VRIJEDNOST\" FROM \"STAVKE_PRIMKI\" WHERE "
                           "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? AND "
                           "\"TIP_STAVKE\" IN ('AMB', 'AMP')"));
        s.Exec({warehouse, year, number});
        MoneyTotal packaging;
        while (s.Next()) {
            packaging += s.Double(0);
        }
        summary.packagingBase = packaging.Value();
    }
    summary.paymentDelay = sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT p.\"ODGODA\" FROM \"PRIMKE\" h INNER JOIN \"PARTNERI\" p ON "
                       "p.\"SIFRA\" = h.\"SIFRA DOBAVLJACA\" WHERE h.\"SKLADISTE\" = ? AND "
                       "h.\"GODINA\" = ? AND h.\"BROJ PRIMKE\" = ?"),
        {warehouse, year, number}));
    return summary;
}

}  // namespace zodra::purchasing
