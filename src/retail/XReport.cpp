#include "retail/XReport.h"

#include <map>

#include "data/Database.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "pos/PosDevice.h"
#include "retail/TillSale.h"

namespace zodra::retail {

namespace {

constexpr int kWidth = 40;

struct Tables {
    QString invoices;
    QString lines;
    QString payments;
};

Tables TablesFor(bool summed) {
    if (summed) {
        return {QStringLiteral("\"RACUNI_DETALJNO\""), QStringLiteral("\"STAVKE_RACUNA_DETALJNO\""),
                QStringLiteral("\"NAPLATA_DETALJNO\"")};
    }
    return {QStringLiteral("\"RACUNI\""), QStringLiteral("\"STAVKE_RACUNA\""),
            QStringLiteral("\"NAPLATA\"")};
}

// Label on the left, amount "0.00" ending at column 40.
QString Row(const QString& label, double value) {
    const QString amount = Amount(value);
    const int room = std::max(0, kWidth - static_cast<int>(amount.size()) - 1);
    return label.left(room).leftJustified(kWidth - static_cast<int>(amount.size()),
                                          QLatin1Char(' ')) +
           amount;
}

// Name, quantity and amount in 40 columns.
QString ItemRow(const QString& name, double quantity, double amount) {
    return name.left(20).leftJustified(20, QLatin1Char(' ')) +
           Amount(quantity).rightJustified(9, QLatin1Char(' ')) +
           Amount(amount).rightJustified(11, QLatin1Char(' '));
}

// The retail invoices of the report: WHERE conditions on alias R and their parameters.
struct Filter {
    QString sql;
    QVariantList params;
};

Filter InvoiceFilter(const XReportOptions& o) {
    Filter f;
    f.sql = QStringLiteral(
        "R.\"SKLADISTE\" = ? AND R.\"GODINA\" = ? AND R.\"IRA\" = ? AND "
        "R.\"UVJET PRODAJE\" = 1");
    f.params = {o.warehouse, o.year, kRetailBook};
    if (o.cashier) {
        f.sql += QStringLiteral(" AND R.\"KORISNIK\" = ?");
        f.params << *o.cashier;
    }
    return f;
}

QString LineJoin(const Tables& t) {
    return t.lines + QStringLiteral(" S JOIN ") + t.invoices +
           QStringLiteral(
               " R ON R.\"SKLADISTE\" = S.\"SKLADISTE\" AND R.\"IRA\" = S.\"IRA\" AND "
               "R.\"GODINA\" = S.\"GODINA\" AND R.\"BROJ RACUNA\" = S.\"BROJ_RACUNA\"");
}

// The item's name by its kind.
const QString kItemName = QStringLiteral(
    "CASE S.\"TIP_STAVKE\" WHEN 'ART' THEN (SELECT \"NAZIV\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = "
    "S.\"SIFRA\") WHEN 'USL' THEN (SELECT \"NAZIV\" FROM \"USLUGE\" WHERE \"SIFRA\" = S.\"SIFRA\") "
    "ELSE (SELECT \"NAZIV\" FROM \"AMBALAZA\" WHERE \"SIFRA\" = S.\"SIFRA\") END");

struct GroupSums {
    QString group;
    double base = 0;
    double tax = 0;
    double total = 0;
};

// The sums per tax group and cashier in one pass over the lines.
struct PeriodSums {
    std::map<QString, GroupSums> groups;
    std::map<QString, double> cashiers;  // total with tax
};

PeriodSums SumsPerGroup(Database& db, const Tables& t, const Filter& f, const QString& dateColumn,
                        const XReportOptions& o, bool cancelledOnly) {
    // Grouped by the bare columns: a missing cashier or tax group and an empty one are one
    // row of the report, merged here. Each line passes the grouping sort once, and a sort on
    // plain columns costs a good part less than one on expressions over them.
    Statement q = db.Prepare(
        QStringLiteral("SELECT R.\"KORISNIK\", S.\"GRUPA_POREZA\", SUM(S.\"VRIJEDNOST_\"), "
                       "SUM(S.\"POREZ_IZNOS\"), SUM(S.\"UKUPNO_\") FROM ") +
        LineJoin(t) + QStringLiteral(" WHERE ") + f.sql +
        (cancelledOnly ? QStringLiteral(" AND R.\"STORNO\" = TRUE") : QString()) +
        QStringLiteral(" AND R.") + dateColumn + QStringLiteral(" BETWEEN ? AND ? GROUP BY 1, 2"));
    QVariantList params = f.params;
    params << o.from << o.to;
    q.Exec(params);
    PeriodSums sums;
    while (q.Next()) {
        const QString group = q.Text(1);
        GroupSums& g = sums.groups[group];
        g.group = group;
        g.base += q.Double(2);
        g.tax += q.Double(3);
        g.total += q.Double(4);
        sums.cashiers[q.Text(0)] += q.Double(4);
    }
    return sums;
}

void GroupRows(const PeriodSums& sums, double sign, QStringList& out, GroupSums& grand) {
    for (const auto& [name, g] : sums.groups) {
        out << Row(QStringLiteral("OSNOVICA ") + name + QLatin1Char(':'), sign * g.base)
            << Row(QStringLiteral("POREZ ") + name + QLatin1Char(':'), sign * g.tax)
            << Row(QStringLiteral("UKUPNO ") + name + QLatin1Char(':'), sign * g.total);
        grand.base += sign * g.base;
        grand.tax += sign * g.tax;
        grand.total += sign * g.total;
    }
}

void CompanyBlock(Database& db, QStringList& out) {
    Statement q =
        db.Prepare(QStringLiteral("SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"OIB\", \"MB/JMBG\", "
                                  "\"TELEFON\" FROM \"PODACI_FIRME\" ORDER BY \"ID\" LIMIT 1"));
    q.Exec();
    const bool found = q.Next();
    auto text = [&](int column) { return found ? q.Text(column) : QString(); };
    out << text(0).left(kWidth) << text(1).left(kWidth) << text(2).left(kWidth)
        << (QStringLiteral("OIB:") + text(3)).left(kWidth)
        << (QStringLiteral("MB:") + text(4)).left(kWidth)
        << (QStringLiteral("Tel.:") + text(5)).left(kWidth);
}

// Each cashier's sales less their cancellations in the period.
void CashierRows(const PeriodSums& sold, const PeriodSums& cancelled, QStringList& out) {
    out << QStringLiteral("Prodavač                           Iznos");
    std::map<QString, double> net = sold.cashiers;
    for (const auto& [name, total] : cancelled.cashiers) {
        net[name] -= total;
    }
    for (const auto& [name, total] : net) {
        out << Row(name, total);
    }
}

// The kind-and-card sums of the period's collections of the report's invoices, cards named.
// `sums` yields rows of kind, card type, sum and count; a kind whose count nets to nothing
// has no row.
QString NamedPaymentSums(const QString& sums) {
    return QStringLiteral("SELECT P.\"Tip\", COALESCE(K.\"NAZIV\", ''), SUM(P.\"Iznos\") FROM (") +
           sums +
           QStringLiteral(
               ") P LEFT JOIN \"TIPOVI_KARTICA\" K ON P.\"Tip\" = 'kartica' AND K.\"SIFRA\" = "
               "P.\"Tip kartice\" GROUP BY P.\"Tip\", COALESCE(K.\"NAZIV\", '') HAVING "
               "SUM(P.\"Broj\") > 0 ORDER BY CASE P.\"Tip\" WHEN 'gotovina' THEN 0 WHEN 'ček' "
               "THEN 1 WHEN 'kartica' THEN 2 ELSE 3 END, P.\"Tip\", 2");
}

// The collections of one cashier's invoices: each collection looks its invoice up.
QString CashierPaymentSums(const Tables& t, const Filter& f) {
    return QStringLiteral(
               "SELECT N.\"Tip\" AS \"Tip\", N.\"Tip kartice\" AS \"Tip kartice\", "
               "SUM(N.\"Iznos\") AS \"Iznos\", COUNT(*) AS \"Broj\" FROM ") +
           t.payments + QStringLiteral(" N JOIN ") + t.invoices +
           QStringLiteral(
               " R ON R.\"SKLADISTE\" = N.\"Skladište\" AND R.\"IRA\" = N.\"IRA\" "
               "AND R.\"GODINA\" = N.\"Godina\" AND R.\"BROJ RACUNA\" = N.\"Broj "
               "računa\" WHERE ") +
           f.sql +
           QStringLiteral(
               " AND N.\"Datum\" BETWEEN ? AND ? AND N.\"Tip\" <> 'žiro račun' "
               "GROUP BY N.\"Datum\", N.\"Tip\", N.\"Tip kartice\"");
}

// The collections of every cashier's invoices: all collections of the book in the period, read
// in the order of the index by date, kind and card type without touching an invoice, less
// those of the book's invoices under other sales terms, which are sought from those invoices
// (a retail book holds few or none). A lookup of every collection's invoice cost more than the
// rest of the report's collections together.
QString AllPaymentSums(const Tables& t) {
    const QString join =
        QStringLiteral(" R CROSS JOIN ") + t.payments +
        QStringLiteral(
            " N WHERE N.\"Skladište\" = R.\"SKLADISTE\" AND N.\"IRA\" = R.\"IRA\" AND "
            "N.\"Godina\" = R.\"GODINA\" AND N.\"Broj računa\" = R.\"BROJ RACUNA\" "
            "AND R.\"SKLADISTE\" = ? AND R.\"IRA\" = ? AND R.\"GODINA\" = ? AND ");
    const QString period = QStringLiteral(
        " AND N.\"Datum\" BETWEEN ? AND ? AND N.\"Tip\" <> 'žiro račun' GROUP BY N.\"Tip\", "
        "N.\"Tip kartice\"");
    const QString others = QStringLiteral(
        " UNION ALL SELECT N.\"Tip\", N.\"Tip kartice\", -SUM(N.\"Iznos\"), -COUNT(*) FROM ");
    // Three seeks on the numbering index by terms ("<>" would read the whole book); the cross
    // join keeps the planner from starting at the day's many collections instead.
    return QStringLiteral(
               "SELECT N.\"Tip\" AS \"Tip\", N.\"Tip kartice\" AS \"Tip kartice\", "
               "SUM(N.\"Iznos\") AS \"Iznos\", COUNT(*) AS \"Broj\" FROM ") +
           t.payments +
           QStringLiteral(
               " N WHERE N.\"Skladište\" = ? AND N.\"IRA\" = ? AND N.\"Godina\" = ? "
               "AND N.\"Datum\" BETWEEN ? AND ? AND N.\"Tip\" <> 'žiro račun' GROUP "
               "BY N.\"Datum\", N.\"Tip\", N.\"Tip kartice\"") +
           others + t.invoices + join + QStringLiteral("R.\"UVJET PRODAJE\" < 1") + period +
           others + t.invoices + join + QStringLiteral("R.\"UVJET PRODAJE\" > 1") + period +
           others + t.invoices + join + QStringLiteral("R.\"UVJET PRODAJE\" IS NULL") + period;
}

void PaymentRows(Database& db, const Tables& t, const Filter& f, const XReportOptions& o,
                 QStringList& out) {
    out << QStringLiteral("Po načinima plaćanja");
    QVariantList params;
    QString sums;
    if (o.cashier) {
        sums = CashierPaymentSums(t, f);
        params = f.params;
        params << o.from << o.to;
    } else {
        sums = AllPaymentSums(t);
        params = {o.warehouse, kRetailBook, o.year, o.from, o.to};
        for (int i = 0; i < 3; ++i) {
            params << o.warehouse << kRetailBook << o.year << o.from << o.to;
        }
    }
    Statement q = db.Prepare(NamedPaymentSums(sums));
    q.Exec(params);
    while (q.Next()) {
        const QString kind = q.Text(0);
        const QString card = q.Text(1);
        out << Row(card.isEmpty() ? kind : kind + QLatin1Char(' ') + card, q.Double(2));
    }
}

void ItemRecap(Database& db, const Tables& t, const Filter& f, const XReportOptions& o,
               QStringList& out) {
    out << QString(kWidth, QLatin1Char('-')) << QStringLiteral("Rekapitulacija po stavkama")
        << QStringLiteral("Naziv                 Količina      Iznos");
    Statement q = db.Prepare(QStringLiteral("SELECT ") + kItemName +
                             QStringLiteral(", SUM(S.\"KOLICINA\"), SUM(S.\"UKUPNO_\") FROM ") +
                             LineJoin(t) + QStringLiteral(" WHERE ") + f.sql +
                             QStringLiteral(" AND R.\"DATUM\" BETWEEN ? AND ? GROUP BY "
                                            "S.\"TIP_STAVKE\", S.\"SIFRA\" ORDER BY 1"));
    QVariantList params = f.params;
    params << o.from << o.to;
    q.Exec(params);
    while (q.Next()) {
        out << ItemRow(q.Text(0), q.Double(1), q.Double(2));
    }
}

void ArticlesByDocument(Database& db, const Tables& t, const Filter& f, const XReportOptions& o,
                        QStringList& out) {
    out << QString(kWidth, QLatin1Char('-'))
        << QStringLiteral("Rekapitulacija artikala po dokumentima");
    Statement q = db.Prepare(QStringLiteral("SELECT R.\"BROJ RACUNA\", ") + kItemName +
                             QStringLiteral(", S.\"KOLICINA\", S.\"UKUPNO_\" FROM ") + LineJoin(t) +
                             QStringLiteral(" WHERE ") + f.sql +
                             QStringLiteral(" AND R.\"DATUM\" BETWEEN ? AND ? ORDER BY "
                                            "R.\"BROJ RACUNA\", S.\"RBR_STAVKE\""));
    QVariantList params = f.params;
    params << o.from << o.to;
    q.Exec(params);
    int last = -1;
    while (q.Next()) {
        if (q.Int(0) != last) {
            last = q.Int(0);
            out << QStringLiteral("Račun ") + QString::number(last);
        }
        out << ItemRow(q.Text(1), q.Double(2), q.Double(3));
    }
}

void GroupRecap(Database& db, const Tables& t, const Filter& f, const XReportOptions& o,
                QStringList& out) {
    out << QString(kWidth, QLatin1Char('-'))
        << QStringLiteral("Rekapitulacija po grupama artikala");
    Statement q = db.Prepare(
        QStringLiteral("SELECT COALESCE(G.\"NAZIV\", ''), SUM(S.\"UKUPNO_\") FROM ") + LineJoin(t) +
        QStringLiteral(" JOIN \"ARTIKLI\" A ON A.\"SIFRA\" = S.\"SIFRA\" LEFT JOIN \"GRUPE_A\" G "
                       "ON G.\"SIFRA\" = A.\"GRUPA_A\" WHERE S.\"TIP_STAVKE\" = 'ART' AND ") +
        f.sql +
        QStringLiteral(" AND R.\"DATUM\" BETWEEN ? AND ? GROUP BY COALESCE(G.\"NAZIV\", '') "
                       "ORDER BY 1"));
    QVariantList params = f.params;
    params << o.from << o.to;
    q.Exec(params);
    while (q.Next()) {
        out << Row(q.Text(0), q.Double(1));
    }
}

void StockLevels(Database& db, const XReportOptions& o, QStringList& out) {
    out << QString(kWidth, QLatin1Char('-')) << QStringLiteral("Stanje skladišta")
        << QStringLiteral("Naziv                 Količina");
    Statement q = db.Prepare(QStringLiteral(
        "SELECT A.\"NAZIV\", SUM(N.\"KOLICINA\") FROM \"NABAVE\" N JOIN \"ARTIKLI\" A ON "
        "A.\"SIFRA\" = N.\"SIFRA_ARTIKLA\" WHERE N.\"SKLADISTE\" = ? AND N.\"GODINA\" = ? GROUP "
        "BY N.\"SIFRA_ARTIKLA\", A.\"NAZIV\" HAVING ROUND(SUM(N.\"KOLICINA\"), 10) <> 0 ORDER "
        "BY 1"));
    q.Exec({o.warehouse, o.year});
    while (q.Next()) {
        out << q.Text(0).left(20).leftJustified(20, QLatin1Char(' ')) +
                   Amount(q.Double(1)).rightJustified(9, QLatin1Char(' '));
    }
}

}  // namespace

QString AllCashiersQuestion() {
    return QStringLiteral("Želite li ukupni ispis za sve prodavače ?");
}
QString ItemRecapQuestion() {
    return QStringLiteral("Želite li ispis rekapitulacije računa po stavkama ?");
}
QString ArticlesByDocumentQuestion() {
    return QStringLiteral("Želite li ispis rekapitulacije artikala po dokumentima ?");
}
QString GroupRecapQuestion() {
    return QStringLiteral("Želite li ispis rekapitulacije računa po grupama artikala ?");
}
QString StockLevelsQuestion() {
    return QStringLiteral("Želite li ispis stanja skladišta ?");
}

XReportOptions AskXReport(Session& session, Prompter& prompter, const QDate& from,
                          const QDate& to) {
    XReportOptions o;
    o.warehouse = session.activeWarehouse.code;
    o.year = session.businessYear;
    o.from = from;
    o.to = to;
    o.summed = session.company.sumRetailInvoices;
    o.cashier = session.userName;
    if (session.userName != QLatin1String("admin")) {
        return o;
    }
    const QString title = QStringLiteral("Promet u maloprodaji");
    if (prompter.AskYesNo(AllCashiersQuestion(), title, false)) {
        o.cashier.reset();
    }
    o.itemRecap = prompter.AskYesNo(ItemRecapQuestion(), title, false);
    o.articlesByDocument = prompter.AskYesNo(ArticlesByDocumentQuestion(), title, false);
    o.groupRecap = prompter.AskYesNo(GroupRecapQuestion(), title, false);
    o.stockLevels = prompter.AskYesNo(StockLevelsQuestion(), title, false);
    return o;
}

QString UnconfirmedReceiptsWarning(Database& db) {
    const int count =
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_RACUNI\" WHERE \"JIR\" IS NULL"))
            .toInt();
    if (count == 0) {
        return {};
    }
    return QStringLiteral("UPOZORENJE: računa bez JIR-a: ") + QString::number(count);
}

QStringList XReportLines(Database& db, const XReportOptions& o) {
    const Tables t = TablesFor(o.summed);
    const Filter f = InvoiceFilter(o);
    QStringList out;
    CompanyBlock(db, out);
    out << QString(kWidth, QLatin1Char('*')) << QStringLiteral("Promet u maloprodaji")
        << QStringLiteral("od ") + o.from.toString(QStringLiteral("dd.MM.yyyy")) +
               QStringLiteral(" do ") + o.to.toString(QStringLiteral("dd.MM.yyyy"))
        << QString(kWidth, QLatin1Char('-'));
    if (o.dayEnd) {
        const QString warning = UnconfirmedReceiptsWarning(db);
        if (!warning.isEmpty()) {
            out << warning << QString(kWidth, QLatin1Char('-'));
        }
    }
    GroupSums grand;
    const PeriodSums sold = SumsPerGroup(db, t, f, QStringLiteral("\"DATUM\""), o, false);
    const PeriodSums cancelled =
        SumsPerGroup(db, t, f, QStringLiteral("\"DATUM_STORNA\""), o, true);
    GroupRows(sold, 1, out, grand);
    out << QStringLiteral("STORNO RAČUNI");
    GroupRows(cancelled, -1, out, grand);
    out << QString(kWidth, QLatin1Char('-')) << QStringLiteral("UKUPNO PO SVIM GRUPAMA POREZA")
        << Row(QStringLiteral("OSNOVICA :"), grand.base)
        << Row(QStringLiteral("POREZ :"), grand.tax) << Row(QStringLiteral("UKUPNO :"), grand.total)
        << QString(kWidth, QLatin1Char('-'));
    if (!o.cashier) {
        CashierRows(sold, cancelled, out);
        out << QString(kWidth, QLatin1Char('-'));
    }
    PaymentRows(db, t, f, o, out);
    if (o.itemRecap) {
        ItemRecap(db, t, f, o, out);
    }
    if (o.articlesByDocument) {
        ArticlesByDocument(db, t, f, o, out);
    }
    if (o.groupRecap) {
        GroupRecap(db, t, f, o, out);
    }
    if (o.stockLevels) {
        StockLevels(db, o, out);
    }
    out << QString(kWidth, QLatin1Char('='));
    return out;
}

QString PrintReportLines(Session& session, const QStringList& lines) {
    QStringList withFeeds = lines;
    for (int i = 0; i < std::clamp(session.workstation.posPrinterLineFeeds, 0, 99); ++i) {
        withFeeds << QString();
    }
    return pos::PrintLines(session.workstation, withFeeds, pos::NoPrinterText());
}

}  // namespace zodra::retail
