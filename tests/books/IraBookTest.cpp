#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "books/IraBookReport.h"
#include "data/Database.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "demo/DemoCompany.h"
#include "reports/ReportEngine.h"
#include "support/TestCompany.h"
#include "support/ZodractlCompany.h"

namespace zodra::books {
namespace {

using test::CompanyTest;

using BookRows = std::vector<std::pair<QString, double>>;

// Warehouse 1, book 1, the year of `from`.
IraRange Range(const QDate& from, const QDate& to) {
    IraRange range;
    range.warehouse = 1;
    range.book = 1;
    range.year = from.year();
    range.from = from;
    range.to = to;
    return range;
}

struct Line {
    const char* group;
    double rate;
    int taxation;
    double base;
};

class IraBookTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        db = Open();
        db->ExecRaw(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"OIB\") "
                           "VALUES (901, 'Kupac d.o.o.', '12345678903')"));
    }

    // A posted invoice as the posting leaves it: header and lines; a cancelled one with the
    // date of its cancellation.
    void AddInvoice(int number, const QDate& date, const std::vector<Line>& lines, int terms = 2,
                    const QDate& cancelled = QDate()) {
        db->Exec(
            QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                           "\"BROJ RACUNA\", \"DATUM\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", "
                           "\"RBR_IRA\", \"STORNO\", \"DATUM_STORNA\") VALUES (1, 1, ?, ?, ?, "
                           "901, ?, ?, ?, ?)"),
            {date.year(), number, date, terms, number, cancelled.isValid(),
             cancelled.isValid() ? QVariant(cancelled) : QVariant()});
        for (const Line& l : lines) {
            const double tax = l.base * l.rate / 100;
            db->Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                                    "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", "
                                    "\"VRIJEDNOST_\", \"GRUPA_POREZA\", \"POREZ_%\", "
                                    "\"POREZ_IZNOS\", \"UKUPNO_\", \"TIP_OPOREZIVANJA\") VALUES "
                                    "(1, 1, ?, ?, 'USL', 1, ?, ?, ?, ?, ?, ?)"),
                     {date.year(), number, l.base, QString::fromUtf8(l.group), l.rate, tax,
                      l.base + tax, l.taxation});
        }
    }

    void AddCollection(int number, int year, const QDate& date, double amount) {
        db->Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                                "\"Broj računa\", \"Tip\", \"Datum\", \"Iznos\") VALUES (1, 1, ?, "
                                "?, 'gotovina', ?, ?)"),
                 {year, number, date, amount});
    }

    IraBookResult Build(IraVariant variant, const QDate& from, const QDate& to, int session = 7,
                        int perPage = kIraRowsPerPage) {
        return BuildIraBook(*db, session, variant, Range(from, to), perPage);
    }

    // The session's booking rows: invoice text and one amount column.
    std::vector<std::pair<QString, double>> Rows(const char* column, int session = 7) {
        Statement rows = db->Prepare(
            QStringLiteral("SELECT \"RACUN\", \"%1\" FROM \"KNJIGA_IRA_IZVJESTAJ\" WHERE "
                           "\"SESIJA\" = ? AND \"RBR\" IS NOT NULL ORDER BY \"ID\"")
                .arg(QLatin1String(column)));
        rows.Exec({session});
        std::vector<std::pair<QString, double>> list;
        while (rows.Next()) {
            list.emplace_back(rows.Text(0), rows.Double(1));
        }
        return list;
    }

    std::unique_ptr<Database> db;
};

// A January invoice cancelled in February is in January's book at its amounts and in
// February's as a cancellation row with the amounts negative, each in its rate's column; the
// rates not on the invoice stay 0.
TEST_F(IraBookTest, ACancellationCountsInItsOwnPeriod) {
    AddInvoice(1, QDate(2026, 1, 20), {{"PDV", 25, 10, 100}, {"PDV 5%", 5, 10, 40}}, 2,
               QDate(2026, 2, 5));
    AddInvoice(2, QDate(2026, 2, 10), {{"PDV 13%", 13, 10, 200}});

    const IraBookResult january = Build(IraVariant::Total, {2026, 1, 1}, {2026, 1, 31});
    EXPECT_EQ(january.rows, 1);
    EXPECT_EQ(Rows("OSNOVICA_3"), (BookRows{{QStringLiteral("1"), 100}}));
    EXPECT_EQ(january.sums[kIraTax3], 25);
    EXPECT_EQ(january.sums[kIraBase1], 40);
    EXPECT_EQ(january.sums[kIraTax1], 2);
    EXPECT_EQ(january.sums[kIraBase2], 0);
    EXPECT_EQ(january.sums[kIraTotal], 167);

    const IraBookResult february = Build(IraVariant::Total, {2026, 2, 1}, {2026, 2, 28});
    EXPECT_EQ(february.rows, 2);
    EXPECT_EQ(Rows("OSNOVICA_3"),
              (BookRows{{QStringLiteral("1 storno"), -100}, {QStringLiteral("2"), 0}}));
    EXPECT_EQ(Rows("POREZ_2"),
              (BookRows{{QStringLiteral("1 storno"), 0}, {QStringLiteral("2"), 26}}));
    EXPECT_EQ(february.sums[kIraTax1], -2);
    EXPECT_DOUBLE_EQ(february.sums[kIraTotal], -167 + 226);

    // The invoice numbers limit the total book; the cancellation shares its invoice's number.
    IraRange numbered = Range({2026, 2, 1}, {2026, 2, 28});
    numbered.first = 2;
    EXPECT_EQ(BuildIraBook(*db, 7, IraVariant::Total, numbered).rows, 1);
    EXPECT_EQ(Rows("UKUPNO"), (BookRows{{QStringLiteral("2"), 226}}));
}

// Tax-free treatments and the tax group's kind decide the column, not the rate alone.
TEST_F(IraBookTest, TaxFreeSalesGoToTheirColumns) {
    AddInvoice(
        1, QDate(2026, 3, 2),
        {{"PDV", 25, 8, 10}, {"PDV", 25, 14, 20}, {"PDV", 25, 15, 30}, {"Neoporezivo", 0, 10, 40}});
    db->ExecRaw(
        QStringLiteral("UPDATE \"GRUPE_POREZA\" SET \"PDV_VRSTA\" = (SELECT \"SIFRA\" "
                       "FROM \"PDV_VRSTE\" WHERE \"REDAK\" = 103) WHERE \"SIFRA\" = 3"));
    AddInvoice(2, QDate(2026, 3, 3), {{"PDV 5%", 0, 10, 50}});
    const IraBookResult march = Build(IraVariant::Total, {2026, 3, 1}, {2026, 3, 31});
    EXPECT_EQ(march.sums[kIraExport], 10);
    EXPECT_EQ(march.sums[kIraExempt], 20 + 30 + 40);
    EXPECT_EQ(march.sums[kIraEu], 50);
    EXPECT_EQ(march.sums[kIraBase1], 0);
    EXPECT_EQ(march.sums[kIraBase3], 0);
    EXPECT_EQ(march.sums[kIraOtherBase], 0);
}

// The retail invoices of a day are one row of the daily variant; wholesale invoices keep their
// own rows; the total variant lists every invoice.
TEST_F(IraBookTest, RetailDaysAreSummed) {
    AddInvoice(5, QDate(2026, 2, 10), {{"PDV", 25, 12, 10}}, 1);
    AddInvoice(6, QDate(2026, 2, 10), {{"PDV", 25, 12, 20}, {"PDV 13%", 13, 12, 100}}, 1);
    AddInvoice(7, QDate(2026, 2, 10), {{"PDV", 25, 12, 30}}, 1, QDate(2026, 2, 11));
    AddInvoice(8, QDate(2026, 2, 11), {{"PDV", 25, 12, 5}}, 1);
    AddInvoice(9, QDate(2026, 2, 10), {{"PDV", 25, 10, 1000}}, 2);

    EXPECT_EQ(Build(IraVariant::Total, {2026, 2, 1}, {2026, 2, 28}).rows, 6);
    const IraBookResult daily = Build(IraVariant::RetailDaily, {2026, 2, 1}, {2026, 2, 28});
    EXPECT_EQ(Rows("OSNOVICA_3"), (BookRows{{QStringLiteral("5-7"), 60},
                                            {QStringLiteral("9"), 1000},
                                            {QStringLiteral("8"), 5},
                                            {QStringLiteral("7 storno"), -30}}));
    EXPECT_EQ(daily.rows, 4);
    EXPECT_EQ(daily.sums[kIraBase2], 100);
    EXPECT_EQ(daily.sums[kIraBase3], 1035);
    Statement customer = db->Prepare(
        QStringLiteral("SELECT \"KUPAC\" FROM \"KNJIGA_IRA_IZVJESTAJ\" WHERE \"RACUN\" = '5-7'"));
    customer.Exec();
    ASSERT_TRUE(customer.Next());
    EXPECT_EQ(customer.Text(0), QStringLiteral("Maloprodaja"));
}

// Collections by the date paid: each takes its share of every tax group of its invoice; an
// invoice of total 0 gives the whole collection as base with tax 0; retail collections of a
// day are one row of the daily paid variant.
TEST_F(IraBookTest, CollectionsTakeTheirShareByTheDatePaid) {
    AddInvoice(1, QDate(2026, 2, 20), {{"PDV", 25, 10, 100}, {"PDV 5%", 5, 10, 100}});  // 230
    AddInvoice(2, QDate(2026, 3, 1), {{"PDV", 25, 10, 0}});
    AddInvoice(3, QDate(2026, 3, 4), {{"PDV", 25, 12, 8}}, 1);
    AddInvoice(4, QDate(2026, 3, 4), {{"PDV", 25, 12, 16}}, 1);
    AddCollection(1, 2026, QDate(2026, 2, 28), 115);
    AddCollection(1, 2026, QDate(2026, 3, 2), 46);
    AddCollection(2, 2026, QDate(2026, 3, 3), 10);
    AddCollection(3, 2026, QDate(2026, 3, 4), 10);
    AddCollection(4, 2026, QDate(2026, 3, 4), 20);

    const IraBookResult paid = Build(IraVariant::Paid, {2026, 3, 1}, {2026, 3, 31});
    EXPECT_EQ(paid.rows, 4);
    EXPECT_EQ(Rows("OSNOVICA_3"), (BookRows{{QStringLiteral("1"), 20},
                                            {QStringLiteral("2"), 10},
                                            {QStringLiteral("3"), 8},
                                            {QStringLiteral("4"), 16}}));
    EXPECT_EQ(Rows("POREZ_3")[1].second, 0);  // the invoice of total 0
    EXPECT_EQ(Rows("POREZ_1")[0].second, 1);  // 46 of 230: 20 at 5 % with tax 1
    EXPECT_EQ(paid.sums[kIraTotal], 86);

    const IraBookResult daily = Build(IraVariant::PaidRetailDaily, {2026, 3, 1}, {2026, 3, 31});
    EXPECT_EQ(daily.rows, 3);
    EXPECT_EQ(Rows("OSNOVICA_3").back(), (std::pair{QStringLiteral("3-4"), 24.0}));
    EXPECT_EQ(Rows("POREZ_3").back().second, 6);
    EXPECT_EQ(daily.sums[kIraTotal], 86);
}

// Every full page ends with the carry to the next and the next starts with it, carrying the
// sums of all rows so far; two sessions building at once keep their own rows.
TEST_F(IraBookTest, PagesCarryTheirSumsAndSessionsKeepTheirRows) {
    for (int n = 1; n <= 5; ++n) {
        AddInvoice(n, QDate(2026, 4, n), {{"PDV", 25, 10, 10.0 * n}});
    }
    const IraBookResult book = Build(IraVariant::Total, {2026, 4, 1}, {2026, 4, 30}, 7, 2);
    EXPECT_EQ(book.rows, 5);
    EXPECT_EQ(book.pages, 3);
    Statement rows = db->Prepare(QStringLiteral(
        "SELECT \"BROJ_STRANICE\", \"RACUN\", \"OSNOVICA_3\", \"POREZ_3\" FROM "
        "\"KNJIGA_IRA_IZVJESTAJ\" WHERE \"SESIJA\" = 7 AND \"RBR\" IS NULL ORDER BY \"ID\""));
    rows.Exec();
    std::vector<std::tuple<int, QString, double, double>> carries;
    while (rows.Next()) {
        carries.emplace_back(rows.Int(0), rows.Text(1), rows.Double(2), rows.Double(3));
    }
    const std::vector<std::tuple<int, QString, double, double>> expected = {
        {1, QStringLiteral("DONOS SA STRANE 0"), 0, 0},
        {1, QStringLiteral("PRIJENOS NA STRANICU 2"), 30, 7.5},
        {2, QStringLiteral("DONOS SA STRANE 1"), 30, 7.5},
        {2, QStringLiteral("PRIJENOS NA STRANICU 3"), 100, 25},
        {3, QStringLiteral("DONOS SA STRANE 2"), 100, 25},
    };
    EXPECT_EQ(carries, expected);

    Build(IraVariant::Total, {2026, 4, 1}, {2026, 4, 2}, 8);
    EXPECT_EQ(Rows("OSNOVICA_3", 8).size(), 2u);
    EXPECT_EQ(Rows("OSNOVICA_3", 7).size(), 5u);
    Build(IraVariant::Total, {2026, 4, 3}, {2026, 4, 3}, 7);
    EXPECT_EQ(Rows("OSNOVICA_3", 7), (BookRows{{QStringLiteral("3"), 30}}));
    EXPECT_EQ(Rows("OSNOVICA_3", 8).size(), 2u);
}

// The layout generation follows the range's end date, not today; an older period's rate
// columns are its own rates, and both layouts print.
TEST_F(IraBookTest, TheLayoutGenerationFollowsThePeriod) {
    EXPECT_EQ(IraReportFile(IraVariant::Total, QDate(2012, 2, 29)),
              QStringLiteral("i-ra_prije_01_03_2012.rpt"));
    EXPECT_EQ(IraReportFile(IraVariant::Total, QDate(2012, 3, 1)), QStringLiteral("i-ra.rpt"));
    EXPECT_EQ(IraReportFile(IraVariant::PaidRetailDaily, QDate(2011, 12, 31)),
              QStringLiteral("i-ra_pl_d_prije_01_03_2012.rpt"));
    EXPECT_EQ(IraReportFile(IraVariant::RetailDaily, QDate(2026, 1, 31)),
              QStringLiteral("i-ra_d.rpt"));

    db->ExecRaw(
        QStringLiteral("INSERT INTO \"GRUPE_POREZA\" (\"SIFRA\", \"NAZIV\", \"STOPA\") "
                       "VALUES (9, 'PDV 22%', 22), (10, 'PDV 10%', 10)"));
    AddInvoice(1, QDate(2012, 2, 10), {{"PDV 22%", 22, 10, 100}, {"PDV 10%", 10, 10, 50}});
    AddInvoice(2, QDate(2012, 2, 11), {{"PDV", 25, 10, 10}});
    const IraBookResult older = Build(IraVariant::Total, {2012, 2, 1}, {2012, 2, 29});
    EXPECT_EQ(older.rates, (std::vector<double>{10, 22, 25}));
    EXPECT_EQ(older.sums[kIraBase1], 50);
    EXPECT_EQ(older.sums[kIraTax2], 22);
    EXPECT_EQ(older.sums[kIraBase3], 10);
    // From 1 March 2012 the columns are the tax groups' setting: 22 % has none.
    const IraBookResult current = Build(IraVariant::Total, {2012, 2, 1}, {2012, 3, 31});
    EXPECT_EQ(current.rates, (std::vector<double>{5, 13, 25}));
    EXPECT_EQ(current.sums[kIraOtherBase], 150);
    EXPECT_EQ(current.sums[kIraOtherTax], 27);
    EXPECT_EQ(current.sums[kIraBase3], 10);

    const int warehouse = AddWarehouse(*db, QStringLiteral("Veleprodaja"));
    auto session = StartSession(warehouse);
    session->businessYear = 2012;
    for (const QDate& to : {QDate(2012, 2, 29), QDate(2012, 3, 31)}) {
        reports::ReportRange range;
        range.from = QDate(2012, 2, 1);
        range.to = to;
        range.fromText = QStringLiteral("01.02.2012");
        range.toText = to.toString(QStringLiteral("dd.MM.yyyy"));
        const reports::ReportRequest request =
            PrepareIraBook(*session, IraVariant::Total, 1, range);
        EXPECT_EQ(request.reportFile, IraReportFile(IraVariant::Total, to));
        EXPECT_EQ(request.formulas.front().second,
                  QStringLiteral("Izlazni računi od 01.02.2012 do ") + range.toText);
    }
}

// Workstations printing the book at once, beside compactions: every print completes with the
// whole book of its own session, and a compaction either runs or is refused while they work.
TEST_F(IraBookTest, SeveralProcessesPrintAtOnceBesideACompaction) {
    AddWarehouse(*db, QStringLiteral("Veleprodaja"));
    for (int n = 1; n <= 40; ++n) {
        AddInvoice(n, QDate(2026, 5, 1 + n % 28), {{"PDV", 25, 10, 1.5 * n}, {"PDV 5%", 5, 10, 2}});
    }
    db.reset();
    test::RunFailures failures;
    test::RunBesideCompaction(
        CompanyPath(), 3,
        [&](int w) {
            for (int i = 0; i < 2; ++i) {
                const QString csv = Folder() + QStringLiteral("/ira-%1-%2.csv").arg(w).arg(i);
                const test::ZodractlRun run = test::RunZodractl(
                    test::Args("ira", CompanyPath(),
                               "--skladiste 1 --od 01.05.2026 --do 31.05.2026 --csv", csv));
                failures.Check(run.exitCode == 0, csv, run);
            }
        },
        failures, 3);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    QFile first(Folder() + QStringLiteral("/ira-0-0.csv"));
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    const QByteArray book = first.readAll();
    EXPECT_EQ(book.count('\n'), 1 + 1 + 40 + 2);  // heading, opening, rows, one page's carry
    for (int w = 0; w < 3; ++w) {
        for (int i = 0; i < 2; ++i) {
            QFile other(Folder() + QStringLiteral("/ira-%1-%2.csv").arg(w).arg(i));
            ASSERT_TRUE(other.open(QIODevice::ReadOnly));
            EXPECT_EQ(other.readAll(), book) << w << " " << i;
        }
    }
}

// The book of a month of the demo company against sums computed here by plain SQL over the
// posted invoices (cancellations of the month subtracted), every amount rounded per invoice as
// the book prints it.
TEST(IraDemoBook, AMonthOfTheDemoCompany) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("demo.mdb"));
    demo::CreateDemoCompany(path, QDate(2026, 6, 30));
    auto db = Database::Open(path, QString()).db;
    ASSERT_TRUE(db);
    const IraBookResult book =
        BuildIraBook(*db, 3, IraVariant::Total, Range({2026, 3, 1}, {2026, 3, 31}));

    const auto sql = [&](const QString& amount, const QString& condition) {
        const QString perInvoice =
            QStringLiteral(
                "SELECT ROUND(SUM(s.%1), 2) AS A FROM \"RACUNI\" r JOIN "
                "\"STAVKE_RACUNA\" s ON s.\"SKLADISTE\" = r.\"SKLADISTE\" AND "
                "s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = r.\"GODINA\" AND "
                "s.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\" WHERE r.\"SKLADISTE\" = 1 AND "
                "r.\"IRA\" = 1 AND r.\"GODINA\" = 2026 AND %2 AND %3 GROUP BY "
                "r.\"BROJ RACUNA\"")
                .arg(amount, condition);
        const double issued = db->Scalar(QStringLiteral("SELECT COALESCE(SUM(A), 0) FROM (") +
                                         perInvoice.arg(QStringLiteral(
                                             "r.\"DATUM\" BETWEEN '2026-03-01' AND '2026-03-31'")) +
                                         QStringLiteral(") x"))
                                  .toDouble();
        const double cancelled =
            db->Scalar(QStringLiteral("SELECT COALESCE(SUM(A), 0) FROM (") +
                       perInvoice.arg(QStringLiteral("r.\"STORNO\" = TRUE AND r.\"DATUM_STORNA\" "
                                                     "BETWEEN '2026-03-01' AND '2026-03-31'")) +
                       QStringLiteral(") x"))
                .toDouble();
        return issued - cancelled;
    };
    const QString all = QStringLiteral("1 = 1");
    const double total = sql(QStringLiteral("\"UKUPNO_\""), all);
    ASSERT_GT(total, 0);
    EXPECT_NEAR(book.sums[kIraTotal], total, 1e-6);
    for (const auto& [rate, base, tax] : {std::tuple{5, kIraBase1, kIraTax1},
                                          {13, kIraBase2, kIraTax2},
                                          {25, kIraBase3, kIraTax3}}) {
        const QString atRate =
            QStringLiteral("s.\"POREZ_%\" = %1 AND s.\"TIP_OPOREZIVANJA\" IN (10, 12)").arg(rate);
        EXPECT_NEAR(book.sums[base], sql(QStringLiteral("\"VRIJEDNOST_\""), atRate), 1e-6) << rate;
        EXPECT_NEAR(book.sums[tax], sql(QStringLiteral("\"POREZ_IZNOS\""), atRate), 1e-6) << rate;
    }
    const int invoices =
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND "
                                  "\"IRA\" = 1 AND \"DATUM\" BETWEEN '2026-03-01' AND "
                                  "'2026-03-31'"))
            .toInt() +
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND "
                                  "\"IRA\" = 1 AND \"STORNO\" = TRUE AND \"DATUM_STORNA\" "
                                  "BETWEEN '2026-03-01' AND '2026-03-31'"))
            .toInt();
    EXPECT_EQ(book.rows, invoices);
}

}  // namespace
}  // namespace zodra::books
