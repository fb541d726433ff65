// The summary reports: every member printed on the demo company with its presets, a sample of
// them against sums taken by plain SQL, the first and last numbers per document kind, the
// stock search with an apostrophe and Croatian letters, and the CSV export with exact figures.

#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include "app/SessionStart.h"
#include "data/Rounding.h"
#include "data/ScriptedPrompter.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "reports/ReportTestSupport.h"
#include "reports/ValueFormat.h"
#include "summary/SummaryReports.h"
#include "support/DemoTestCompany.h"
#include "support/Refused.h"
#include "support/Zodractl.h"

namespace zodra::summary {
namespace {

// The server run (ZODRA_TEST_ON_SERVER) skips every test, saying why, when no server is given.
const bool kServerRunRegistered = (test::AddServerRunEnvironment(), true);

QString ReportFolder() {
    return QStringLiteral(ZODRA_SOURCE_DIR "/share/reports");
}

QString Money(double amount) {
    return reports::ValueFormat(QStringLiteral("EUR")).Format(amount, QStringLiteral("Standard"));
}

reports::ReportRange Range(const QString& from, const QString& to, std::optional<int> first = {},
                           std::optional<int> last = {}) {
    reports::ReportRange range;
    range.fromText = from;
    range.toText = to;
    range.from = QDate::fromString(from, QStringLiteral("dd.MM.yyyy"));
    range.to = QDate::fromString(to, QStringLiteral("dd.MM.yyyy"));
    range.fromDateArgs = reports::DateArgs(range.from);
    range.toDateArgs = reports::DateArgs(range.to);
    range.first = first;
    range.last = last;
    range.cancelled = false;
    return range;
}

QString Rendered(Session& session, const reports::ReportRequest& request, const QString& folder,
                 const QString& name) {
    const QString pdf = folder + QLatin1Char('/') + name + QStringLiteral(".pdf");
    reports::ReportEngine(session.Db(), ReportFolder()).ToPdf(request, pdf);
    test::KeepPdf(pdf, name + QStringLiteral(".pdf"));
    // The PDF's font joins "fi" and "fl" into ligatures, which the text extraction keeps.
    return test::PdfText(pdf)
        .replace(QChar(0xFB01), QStringLiteral("fi"))
        .replace(QChar(0xFB02), QStringLiteral("fl"))
        .simplified();
}

// The member of that command printed with `choice`, its text.
QString PrintMember(Session& session, const QString& command, const SummaryChoice& choice,
                    const QString& folder, const QString& name) {
    return Rendered(session,
                    SummaryReportRequest(session, *SummaryReportByCommand(command), choice), folder,
                    name);
}

// Per-row sums by plain SQL, each rounded to the cent as the report prints its rows, added up.
double SumOfRows(Database& db, const QString& sql, const QVariantList& values) {
    Statement st = db.Prepare(sql);
    st.Exec(values);
    double total = 0;
    while (st.Next()) {
        total += RoundMoney(st.Double(0));
    }
    return total;
}

// The grand total line as printed: "SVEUKUPNO" and SumOfRows of `perRow` (its %1 each of
// `columns`) in that order.
QString GrandTotal(Database& db, const QString& perRow, const QStringList& columns,
                   const QVariantList& values) {
    QString line = QStringLiteral("SVEUKUPNO");
    for (const QString& column : columns) {
        line += QLatin1Char(' ') + Money(SumOfRows(db, perRow.arg(column), values));
    }
    return line;
}

// ---------------------------------------------------------------------------------------------
// The demo company, made once for the program.

class SummaryDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        s_demo = new test::DemoTestCompany(s_dir->path(), QDate(2026, 6, 30));
        s_path = s_demo->Path();
    }
    static void TearDownTestSuite() {
        delete s_demo;
        s_demo = nullptr;
        delete s_dir;
        s_dir = nullptr;
    }
    std::unique_ptr<Session> Start(int warehouse) {
        auto session = std::make_unique<Session>();
        session->databasePath = s_path;
        session->Attach(Database::Open(s_path, QString()).db);
        ScriptedPrompter quiet;
        sessionstart::Start(*session, warehouse, quiet, QDate(2026, 6, 30));
        return session;
    }
    static QString Folder() { return s_dir->path(); }

    static inline QTemporaryDir* s_dir = nullptr;
    static inline test::DemoTestCompany* s_demo = nullptr;
    static inline QString s_path;
};

// Every member prints with what its command presets: the numbers of its document kind, the
// business year up to the day, and its title with the dates as typed.
TEST_F(SummaryDemo, EveryMemberPrintsWithItsPresets) {
    auto session = Start(1);
    for (const SummaryReportInfo& info : SummaryReports()) {
        SCOPED_TRACE(info.command.toStdString());
        SummaryChoice choice;
        QString title = info.dateField.isEmpty()
                            ? info.title
                            : info.title + QStringLiteral(" od 01.01.2026 do 30.06.2026");
        if (info.limits == Limits::Day) {
            ScriptedPrompter quiet;
            choice.range = DayRange(QStringLiteral("30.06.2026"), QDate(2026, 6, 30), quiet);
            title = info.title + QStringLiteral(" na dan 30.06.2026");
        }
        if (info.limits == Limits::ArticleAndDates) {
            choice.article = ArticleByCode(session->Db(), QStringLiteral("1"));
            choice.range = Range(QStringLiteral("01.01.2026"), QStringLiteral("30.06.2026"));
        }
        if (info.limits == Limits::NumbersAndDates || info.limits == Limits::Dates) {
            NumberBounds bounds;
            if (info.limits == Limits::NumbersAndDates) {
                bounds = DocumentNumberBounds(session->Db(), info.documentKey, 1, 2026);
            }
            choice.range = Range(QStringLiteral("01.01.2026"), QStringLiteral("30.06.2026"),
                                 bounds.first.value_or(0), bounds.last.value_or(0));
        }
        const QString text = Rendered(*session, SummaryReportRequest(*session, info, choice),
                                      Folder(), info.file.section(QLatin1Char('.'), 0, 0));
        EXPECT_TRUE(text.contains(title)) << text.left(400).toStdString();
    }
}

// A sample of members against plain SQL, in two warehouses at once: wholesale invoices within
// a narrower number range, goods receipts, sales by article and stock on hand.
TEST_F(SummaryDemo, PrintedTotalsAgreeWithPlainSqlInEachWarehouse) {
    auto first = Start(1);
    auto second = Start(2);
    for (Session* session : {first.get(), second.get()}) {
        const int warehouse = session->activeWarehouse.code;
        SCOPED_TRACE(warehouse);
        Database& db = session->Db();

        // Wholesale invoices of March, numbers within the kind's without its first and last.
        const NumberBounds invoices =
            DocumentNumberBounds(db, QStringLiteral("Veleprodajni račun"), warehouse, 2026);
        ASSERT_TRUE(invoices.first && invoices.last);
        ASSERT_LT(*invoices.first + 1, *invoices.last - 1);
        SummaryChoice march;
        march.range = Range(QStringLiteral("01.03.2026"), QStringLiteral("31.03.2026"),
                            *invoices.first + 1, *invoices.last - 1);
        const QString perInvoice = QStringLiteral(
            "SELECT SUM(s.%1) FROM \"RACUNI\" r JOIN \"STAVKE_RACUNA\" s ON s.\"SKLADISTE\" = "
            "r.\"SKLADISTE\" AND s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = r.\"GODINA\" AND "
            "s.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\" WHERE r.\"SKLADISTE\" = ? AND r.\"GODINA\" = "
            "2026 AND r.\"UVJET PRODAJE\" <> 1 AND r.\"STORNO\" = FALSE AND r.\"BROJ RACUNA\" "
            "BETWEEN ? AND ? AND r.\"DATUM\" BETWEEN '2026-03-01' AND '2026-03-31' GROUP BY "
            "r.\"IRA\", r.\"BROJ RACUNA\"");
        const QVariantList args{warehouse, *invoices.first + 1, *invoices.last - 1};
        const double total = SumOfRows(db, perInvoice.arg(QStringLiteral("\"UKUPNO_\"")), args);
        ASSERT_GT(total, 0);
        const QString wholesale =
            PrintMember(*session, QStringLiteral("Rek_vrac_uk"), march, Folder(),
                        QStringLiteral("rek_vrac_%1").arg(warehouse));
        EXPECT_TRUE(wholesale.contains(
            QStringLiteral("Rekapitulacija veleprodajnih računa od 01.03.2026 do 31.03.2026")));
        EXPECT_TRUE(wholesale.contains(
            GrandTotal(db, perInvoice,
                       {QStringLiteral("\"VRIJEDNOST_\""), QStringLiteral("\"POREZ_IZNOS\""),
                        QStringLiteral("\"UKUPNO_\"")},
                       args)))
            << wholesale.right(300).toStdString();

        // Goods receipts of the year to the day.
        const NumberBounds receipts =
            DocumentNumberBounds(db, QStringLiteral("Primka"), warehouse, 2026);
        SummaryChoice year;
        year.range = Range(QStringLiteral("01.01.2026"), QStringLiteral("30.06.2026"),
                           receipts.first, receipts.last);
        const QString perReceipt = QStringLiteral(
            "SELECT SUM(s.\"%1\") FROM \"STAVKE_PRIMKI\" s WHERE s.\"SKLADISTE\" = ? AND "
            "s.\"GODINA\" = 2026 GROUP BY s.\"BROJ_PRIMKE\"");
        const QString receiptText =
            PrintMember(*session, QStringLiteral("Rek_prim_uk"), year, Folder(),
                        QStringLiteral("rek_prim_%1").arg(warehouse));
        EXPECT_TRUE(receiptText.contains(
            GrandTotal(db, perReceipt,
                       {QStringLiteral("NETTO_FAKTURNA_VRIJEDNOST"),
                        QStringLiteral("NABAVNA_VRIJEDNOST"), QStringLiteral("VRIJEDNOST")},
                       {warehouse})))
            << receiptText.right(300).toStdString();

        // Sales by article and service, best turnover first: the first row is the best seller.
        const QString perItem = QStringLiteral(
            "SELECT SUM(s.\"VRIJEDNOST_\") AS v, s.\"SIFRA\", COALESCE(MAX(a.\"NAZIV\"), "
            "MAX(u.\"NAZIV\")) FROM \"RACUNI\" r JOIN \"STAVKE_RACUNA\" s ON s.\"SKLADISTE\" = "
            "r.\"SKLADISTE\" AND s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = r.\"GODINA\" AND "
            "s.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\" LEFT JOIN \"ARTIKLI\" a ON s.\"TIP_STAVKE\" = "
            "'ART' AND a.\"SIFRA\" = s.\"SIFRA\" LEFT JOIN \"USLUGE\" u ON s.\"TIP_STAVKE\" = "
            "'USL' AND u.\"SIFRA\" = s.\"SIFRA\" WHERE r.\"SKLADISTE\" = ? AND r.\"GODINA\" = "
            "2026 AND r.\"STORNO\" = FALSE AND r.\"DATUM\" BETWEEN '2026-03-01' AND '2026-03-31' "
            "GROUP BY s.\"TIP_STAVKE\", s.\"SIFRA\" ORDER BY v DESC");
        const QString sales =
            PrintMember(*session, QStringLiteral("Prodaja_po_art_usl_promet"), march, Folder(),
                        QStringLiteral("p_stavke_%1").arg(warehouse));
        Statement best = db.Prepare(perItem + QStringLiteral(" LIMIT 1"));
        best.Exec({warehouse});
        ASSERT_TRUE(best.Next());
        EXPECT_TRUE(sales.contains(QStringLiteral("Zarada 1 ") + best.Text(1) + QLatin1Char(' ') +
                                   best.Text(2)))
            << sales.left(600).toStdString();
        const QString bestValue = QLatin1Char(' ') + Money(best.Double(0)) + QLatin1Char(' ');
        best.Finish();
        EXPECT_TRUE(sales.contains(bestValue));
        EXPECT_TRUE(sales.contains(QStringLiteral("SVEUKUPNO ") +
                                   Money(SumOfRows(db, perItem, {warehouse}))));

        // Stock on hand: cost and selling value per article.
        const QString perArticle = QStringLiteral(
            "SELECT SUM(\"KOLICINA\" * \"%1\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = ? AND "
            "\"GODINA\" = 2026 GROUP BY \"SIFRA_ARTIKLA\" HAVING SUM(\"KOLICINA\") <> 0");
        const QString stock = PrintMember(*session, QStringLiteral("Stanje1(0)"), {}, Folder(),
                                          QStringLiteral("stanje_s_%1").arg(warehouse));
        EXPECT_TRUE(stock.contains(
            GrandTotal(db, perArticle,
                       {QStringLiteral("NABAVNA CIJENA"), QStringLiteral("VELEPRODAJNA CIJENA")},
                       {warehouse})))
            << stock.right(300).toStdString();
    }
}

// The sales totals, the articles by invoice and the list of invoices from - to against plain SQL
// over the invoice lines of the second quarter (each printed row rounded to the cent).
TEST_F(SummaryDemo, SalesMembersAgreeWithPlainSql) {
    auto session = Start(1);
    Database& db = session->Db();
    const QString lines = QStringLiteral(
        "FROM \"RACUNI\" r JOIN \"STAVKE_RACUNA\" s ON s.\"SKLADISTE\" = r.\"SKLADISTE\" AND "
        "s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = r.\"GODINA\" AND s.\"BROJ_RACUNA\" = "
        "r.\"BROJ RACUNA\" WHERE r.\"SKLADISTE\" = 1 AND r.\"GODINA\" = 2026 AND r.\"STORNO\" = "
        "FALSE AND r.\"DATUM\" BETWEEN '2026-04-01' AND '2026-06-30' ");
    const NumberBounds wholesale =
        DocumentNumberBounds(db, QStringLiteral("Veleprodajni račun"), 1, 2026);
    ASSERT_TRUE(wholesale.first && wholesale.last);
    SummaryChoice quarter;
    quarter.range = Range(QStringLiteral("01.04.2026"), QStringLiteral("30.06.2026"),
                          *wholesale.first + 1, *wholesale.last);
    const QString byMonth = QStringLiteral(
        " GROUP BY SUBSTR(CAST(r.\"DATUM\" AS TEXT), 1, 7), "
        "r.\"UVJET PRODAJE\" = 1");
    const QString invoiceLines =
        QStringLiteral(
            "AND r.\"UVJET PRODAJE\" <> 1 AND r.\"BROJ RACUNA\" > %1 GROUP BY r.\"IRA\", "
            "r.\"BROJ RACUNA\", s.\"RBR_STAVKE\", s.\"SIFRA\", s.\"TIP_STAVKE\"")
            .arg(*wholesale.first);
    struct Case {
        const char16_t* command;
        const char16_t* title;
        QStringList sums;  // plain SQL of each printed total, in the order printed
    } const cases[] = {
        {u"Prodaja_ukupno",
         u"Ukupna prodaja po mjesecima",
         {QStringLiteral("SELECT SUM(s.\"VRIJEDNOST_\") ") + lines + byMonth,
          QStringLiteral("SELECT SUM(s.\"POREZ_IZNOS\") ") + lines + byMonth,
          QStringLiteral("SELECT SUM(s.\"UKUPNO_\") ") + lines + byMonth,
          QStringLiteral("SELECT SUM(s.\"VRIJEDNOST_\" - COALESCE(s.\"NABAVNA_VRIJEDNOST\", 0)) ") +
              lines + byMonth}},
        {u"Rekapitulacija_artikala_po_racunima",
         u"Rekapitulacija artikala po računima",
         {QStringLiteral("SELECT SUM(s.\"VRIJEDNOST_\") ") + lines +
          QStringLiteral("AND s.\"TIP_STAVKE\" = 'ART' GROUP BY s.\"SIFRA\", r.\"IRA\", "
                         "r.\"BROJ RACUNA\"")}},
        {u"Racuni_od_do",
         u"Ispis računa",
         {QStringLiteral("SELECT SUM(s.\"VRIJEDNOST_\") ") + lines + invoiceLines,
          QStringLiteral("SELECT SUM(s.\"POREZ_IZNOS\") ") + lines + invoiceLines,
          QStringLiteral("SELECT SUM(s.\"UKUPNO_\") ") + lines + invoiceLines}},
    };
    for (const Case& c : cases) {
        const QString command = QString::fromUtf16(c.command);
        SCOPED_TRACE(command.toStdString());
        QString expected = QStringLiteral("SVEUKUPNO");
        for (const QString& sql : c.sums) {
            const double sum = SumOfRows(db, sql, {});
            ASSERT_NE(sum, 0);
            expected += QLatin1Char(' ') + Money(sum);
        }
        const QString text = PrintMember(*session, command, quarter, Folder(), command);
        EXPECT_TRUE(text.contains(QString::fromUtf16(c.title) +
                                  QStringLiteral(" od 01.04.2026 do 30.06.2026")));
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n"
                                             << text.right(300).toStdString();
    }
}

// On the last day of the demo's movements the stock from the article card is the stock the
// lots hold (receipts, invoices, their cancellations, delivery notes), and the tax summary under
// it adds up to its total.
TEST_F(SummaryDemo, StockOnTheLastDayIsTheLotsStock) {
    auto session = Start(1);
    const auto total = [](const QString& text) {
        const qsizetype at = text.indexOf(QStringLiteral("SVEUKUPNO "));
        return at < 0 ? QStringList() : text.mid(at).split(QLatin1Char(' ')).mid(1, 2);
    };
    const QString lots = PrintMember(*session, QStringLiteral("Stanje1(0)"), {}, Folder(),
                                     QStringLiteral("lots_demo"));
    ScriptedPrompter quiet;
    SummaryChoice day;
    day.range = DayRange(QStringLiteral("30.06.2026"), QDate(2026, 6, 30), quiet);
    const QString onDay = PrintMember(*session, QStringLiteral("Stanje1(1)"), day, Folder(),
                                      QStringLiteral("day_demo"));
    ASSERT_EQ(total(lots).size(), 2) << lots.right(400).toStdString();
    EXPECT_EQ(total(onDay), total(lots));
    EXPECT_TRUE(onDay.contains(QStringLiteral("Ukupno ") + total(lots).at(1) + QLatin1Char(' ')))
        << onDay.right(400).toStdString();
}

// ---------------------------------------------------------------------------------------------
// Rows written straight into their tables.

class SummaryRows : public test::CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        session = StartSession(1);
        ASSERT_TRUE(session);
    }
    void TearDown() override {
        session.reset();  // before the company goes (on the server: its database is dropped)
        CompanyTest::TearDown();
    }
    Database& db() { return session->Db(); }
    int AddArticle(const QString& name, const QString& description) {
        return sqlvalue::ToInt(
            db().Scalar(QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", \"JED_M\") "
                                       "VALUES (?, ?, 'kom') RETURNING \"SIFRA\""),
                        {name, description}));
    }
    void AddLot(int article, int receipt, double quantity, double cost, double price,
                int warehouse = 1) {
        db().Exec(QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", "
                                 "\"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\", "
                                 "\"NABAVNA CIJENA\", \"VELEPRODAJNA CIJENA\") VALUES (?, ?, ?, "
                                 "?, ?, ?, ?)"),
                  {warehouse, session->businessYear, receipt, article, quantity, cost, price});
    }
    // A posted receipt of one article line (25 % tax) at trade-book position `rbr`.
    void AddReceipt(int number, const QDate& date, int rbr, int article, double quantity,
                    double cost, double price) {
        db().Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ "
                                 "PRIMKE\", \"DATUM\", \"RBR_TK\") VALUES (1, ?, ?, ?, ?)"),
                  {session->businessYear, number, date, rbr});
        db().Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
                                 "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                                 "\"NABAVNA_CIJENA\", \"CIJENA\", \"GRUPA_POREZA\", \"POREZ_%\") "
                                 "VALUES (1, ?, ?, 'ART', ?, ?, ?, ?, 'PDV 25', 25)"),
                  {session->businessYear, number, article, quantity, cost, price});
        AddLot(article, number, quantity, cost, price);
    }
    // A posted wholesale invoice that took `quantity` of the article from lot `receipt`, with
    // its situation when one is given.
    void AddInvoice(int number, const QDate& date, int rbr, int article, int receipt,
                    double quantity, double cost, double price, QVariant situation = {}) {
        const int year = session->businessYear;
        db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                                 "\"BROJ RACUNA\", \"DATUM\", \"UVJET PRODAJE\", \"SKIDA\", "
                                 "\"RBR_TK\", \"SITUACIJA\") VALUES (1, 1, ?, ?, ?, 2, ?, ?, ?)"),
                  {year, number, date, true, rbr, situation});
        const double value = quantity * price;
        db().Exec(
            QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                           "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", "
                           "\"BROJ_PRIMKE\", \"KOLICINA\", \"NABAVNA_CIJENA\", "
                           "\"NABAVNA_VRIJEDNOST\", \"CIJENA_\", \"VRIJEDNOST_\", "
                           "\"GRUPA_POREZA\", \"POREZ_%\", \"POREZ_IZNOS\", \"UKUPNO_\", "
                           "\"CIJENA_SKLADISTA\", \"RBR_STAVKE\") VALUES (1, 1, ?, ?, 'ART', ?, "
                           "?, ?, ?, ?, ?, ?, 'PDV 25', 25, ?, ?, ?, 1)"),
            {year, number, article, receipt, quantity, cost, quantity * cost, price, value,
             value * 0.25, value * 1.25, price});
        db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = \"KOLICINA\" - ? WHERE "
                                 "\"SKLADISTE\" = 1 AND \"GODINA\" = ? AND \"BROJ_PRIMKE\" = ? "
                                 "AND \"SIFRA_ARTIKLA\" = ?"),
                  {quantity, year, receipt, article});
    }
    QString Print(const QString& command, const SummaryChoice& choice, const QString& name) {
        return PrintMember(*session, command, choice, Folder(), name);
    }
    // The same summary written by the command line (this session closed first) for warehouse 1
    // as CSV: the file's text.
    QString CommandLineCsv(const QStringList& args) {
        session.reset();
        const QString cli = Folder() + QStringLiteral("/cli.csv");
        test::ZodractlOptions options;
        options.home = QStringLiteral(ZODRA_SOURCE_DIR "/share");
        const auto run = test::RunZodractl(
            test::Args("summary", CompanyPath()) + args + test::Args("--skladiste 1 --csv", cli),
            options);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QFile file(cli);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }
    std::unique_ptr<Session> session;
};

// Stock on a day comes from the movements up to that day, not from today's lots: 10 in on
// 10 March, 4 out on 20 March, 1 in on 25 March. Before the first movement the article is not
// listed; the tax sub-report sums the same day. The command line takes the day too.
TEST_F(SummaryRows, StockOnADayBetweenTwoDocuments) {
    const int year = session->businessYear;
    const int apple = AddArticle(QStringLiteral("Jabuka"), QStringLiteral("J1"));
    AddReceipt(1, QDate(year, 3, 10), 1, apple, 10, 2, 3);
    AddInvoice(1, QDate(year, 3, 20), 2, apple, 1, 4, 2, 3);
    AddReceipt(2, QDate(year, 3, 25), 3, apple, 1, 2.5, 3);
    const QString y = QString::number(year);
    struct Case {
        const char* day;
        const char* row;  // after the code; empty: not listed
        const char* tax;  // the sub-report's row of 25 %
    } const cases[] = {
        {"09.03.", "", ""},
        {"10.03.", "Jabuka kom 10,000 20,00 30,00", "25,00 30,00 7,50 37,50"},
        {"19.03.", "Jabuka kom 10,000 20,00 30,00", "25,00 30,00 7,50 37,50"},
        {"20.03.", "Jabuka kom 6,000 12,00 18,00", "25,00 18,00 4,50 22,50"},
        {"31.03.", "Jabuka kom 7,000 14,50 21,00", "25,00 21,00 5,25 26,25"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.day);
        ScriptedPrompter quiet;
        SummaryChoice choice;
        choice.range = DayRange(QString::fromLatin1(c.day) + y, QDate(year, 12, 31), quiet);
        const QString text = Print(QStringLiteral("Stanje1(1)"), choice, QStringLiteral("na_dan"));
        EXPECT_TRUE(text.contains(QStringLiteral("Stanje na skladištu na dan ") +
                                  QString::fromLatin1(c.day) + y));
        if (*c.row == 0) {
            EXPECT_FALSE(text.contains(QStringLiteral("Jabuka"))) << text.toStdString();
            continue;
        }
        EXPECT_TRUE(
            text.contains(QString::number(apple) + QLatin1Char(' ') + QString::fromUtf8(c.row)))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.tax))) << text.toStdString();
    }
    // On the day of the last movement the card agrees with the lots.
    SummaryChoice none;
    EXPECT_TRUE(Print(QStringLiteral("Stanje1(0)"), none, QStringLiteral("lots"))
                    .contains(QStringLiteral("SVEUKUPNO 14,50 21,00")));
    // A text that is no date: the message, and today.
    ScriptedPrompter told;
    const auto today = DayRange(QStringLiteral("32.13."), QDate(year, 4, 2), told);
    EXPECT_EQ(today.to, QDate(year, 4, 2));
    EXPECT_EQ(told.Messages(),
              QStringList{QStringLiteral("Nije ispravno upisan datum. Biti će postavljen "
                                         "današnji datum.")});

    EXPECT_TRUE(
        CommandLineCsv(test::Args("Stanje1(1) --na-dan", QStringLiteral("20.03.") + y))
            .contains(QString::number(apple) + QStringLiteral(";Jabuka;kom;6,000;12,00;18,00")));
}

// One article's card: the running stock carries what came before the range; another article's
// movements are not on it. The article is asked by its code.
TEST_F(SummaryRows, ArticleCardCarriesTheStockBeforeTheRange) {
    const int year = session->businessYear;
    const int apple = AddArticle(QStringLiteral("Jabuka"), QStringLiteral("J1"));
    const int pear = AddArticle(QStringLiteral("Kruška"), QStringLiteral("K1"));
    AddReceipt(1, QDate(year, 3, 10), 1, apple, 10, 2, 3);
    AddReceipt(2, QDate(year, 3, 11), 2, pear, 8, 1, 2);
    AddInvoice(1, QDate(year, 3, 20), 3, apple, 1, 4, 2, 3);
    AddInvoice(2, QDate(year, 3, 21), 4, apple, 1, 1.5, 2, 3);
    SummaryChoice choice;
    choice.article = ArticleByCode(db(), QString::number(apple));
    const QString y = QString::number(year);
    choice.range = Range(QStringLiteral("15.03.") + y, QStringLiteral("31.03.") + y);
    const QString text =
        Print(QStringLiteral("Ispis_kartice_artikla"), choice, QStringLiteral("kartica"));
    EXPECT_TRUE(text.contains(QStringLiteral("Kartica artikla od 15.03.%1 do 31.03.%1").arg(y)));
    EXPECT_TRUE(text.contains(QStringLiteral("Artikl %1 Jabuka (kom)").arg(apple)));
    EXPECT_FALSE(text.contains(QStringLiteral("10,000")));  // the receipt is before the range
    EXPECT_TRUE(text.contains(QStringLiteral("4,000 3,00 -12,00 6,000"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("1,500 3,00 -4,50 4,500"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Ukupno 0,000 5,500 -16,50"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Kruška")));
    test::ExpectRefused([&] { ArticleByCode(db(), QStringLiteral(" ")); },
                        QStringLiteral("Šifra artikla nije upisana."));
    test::ExpectRefused([&] { ArticleByCode(db(), QStringLiteral("x1")); },
                        QStringLiteral("Artikl sa šifrom x1 ne postoji."));
    test::ExpectRefused([&] { ArticleByCode(db(), QString::number(pear + 100)); },
                        QStringLiteral("Artikl sa šifrom %1 ne postoji.").arg(pear + 100));
}

// The invoices of each situation with their sums; an invoice of no situation is not listed.
TEST_F(SummaryRows, SituationsListTheirInvoices) {
    const int year = session->businessYear;
    const int apple = AddArticle(QStringLiteral("Jabuka"), QStringLiteral("J1"));
    AddReceipt(1, QDate(year, 3, 10), 1, apple, 100, 2, 3);
    db().Exec(QStringLiteral("INSERT INTO \"SITUACIJE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", "
                             "\"DATUM\", \"OPIS\") VALUES (1, ?, 7, ?, 'Zgrada A')"),
              {year, QDate(year, 3, 1)});
    AddInvoice(11, QDate(year, 3, 12), 2, apple, 1, 2, 2, 3.333, 7);
    AddInvoice(12, QDate(year, 3, 13), 3, apple, 1, 3, 2, 3.333, 7);
    AddInvoice(13, QDate(year, 3, 14), 4, apple, 1, 5, 2, 3);
    SummaryChoice choice;
    const QString y = QString::number(year);
    choice.range = Range(QStringLiteral("01.03.") + y, QStringLiteral("31.03.") + y);
    const QString text =
        Print(QStringLiteral("Rekapitulacija_po_situacijama"), choice, QStringLiteral("situacije"));
    EXPECT_TRUE(text.contains(QStringLiteral("Rekapitulacija po situacijama od 01.03.%1 do "
                                             "31.03.%1")
                                  .arg(y)));
    EXPECT_TRUE(text.contains(QStringLiteral("Situacija 7 od 01.03.%1 Zgrada A").arg(y)))
        << text.toStdString();
    // 6,666 and 9,999 print as 6,67 and 10,00; the sums add the printed rows.
    EXPECT_TRUE(text.contains(QStringLiteral("11 12.03.%1 6,67 1,67 8,33").arg(y)))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("SVEUKUPNO 16,67 4,17 20,83"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("13 14.03.")));
}

// The first and last number of each kind: only the active warehouse and year count (the book of
// receipts and expenditures has no warehouse), retail invoices are those of sales terms 1.
TEST_F(SummaryRows, FirstAndLastNumberOfEachDocumentKind) {
    struct Kind {
        const char16_t* key;
        const char16_t* table;
        const char16_t* number;
        const char16_t* extraColumns;  // further columns and their values
        const char16_t* extraValues;
    };
    const Kind kinds[] = {
        {u"Veleprodajni račun", u"RACUNI", u"BROJ RACUNA", u", \"IRA\", \"UVJET PRODAJE\"",
         u", 2, 2"},
        {u"Maloprodajni račun", u"RACUNI", u"BROJ RACUNA", u", \"IRA\", \"UVJET PRODAJE\"",
         u", 1, 1"},
        {u"Primka", u"PRIMKE", u"BROJ PRIMKE", u"", u""},
        {u"Izmjena cijena", u"IZMJENE_CIJENA", u"BROJ_IZMJENE_CIJENA", u"", u""},
        {u"Međuskladišnica", u"MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE", u"", u""},
        {u"Maloprodajna međuskladišnica", u"MALOPRODAJNE_MEDUSKLADISNICE", u"BROJ_MEDUSKLADISNICE",
         u"", u""},
        {u"Povratnica dobavljaču", u"POVRATNICE_DOBAVLJACIMA", u"BROJ_POVRATNICE_DOBAVLJACU", u"",
         u""},
        {u"Radni nalog", u"RADNI_NALOZI", u"BROJ_RADNOG_NALOGA", u"", u""},
        {u"Radni nalog dorada", u"RADNI_NALOZI_DORADA", u"BROJ_RADNOG_NALOGA", u"", u""},
        {u"Inventura", u"INVENTURE", u"BROJ_INVENTURE", u"", u""},
        {u"Specifikacija", u"SPECIFIKACIJE", u"BROJ_SPECIFIKACIJE", u"", u""},
        {u"Rashod", u"RASHODI", u"BROJ_RASHODA", u"", u""},
        {u"Izdatnica", u"IZDATNICE", u"BROJ", u"", u""},
        {u"Povratnica", u"POVRATNICE", u"BROJ", u"", u""},
        {u"Odjava", u"ODJAVE", u"BROJ_ODJAVE", u"", u""},
        {u"Ponuda", u"PONUDE", u"BROJ RACUNA", u", \"IRA\"", u", 1"},
    };
    EXPECT_EQ(DocumentKeys().size(), std::size(kinds) + 1);  // and "KPI"
    const int year = session->businessYear;
    for (const Kind& k : kinds) {
        const QString key = QString::fromUtf16(k.key);
        SCOPED_TRACE(key.toStdString());
        EXPECT_FALSE(DocumentNumberBounds(db(), key, 1, year).first);
        // Numbers of this kind in warehouse 1 and year; others around them that do not count.
        const int retail = key == QStringLiteral("Maloprodajni račun") ? 1 : 0;
        const QString insert =
            QStringLiteral(
                "INSERT INTO \"%1\" (\"SKLADISTE\", \"GODINA\", "
                "\"%2\"%3) VALUES (?, ?, ?%4)")
                .arg(QString::fromUtf16(k.table), QString::fromUtf16(k.number),
                     QString::fromUtf16(k.extraColumns), QString::fromUtf16(k.extraValues));
        for (const auto& [warehouse, y, number] : {std::tuple{1, year, 40 + retail * 100},
                                                   {1, year, 47 + retail * 100},
                                                   {1, year, 44 + retail * 100},
                                                   {2, year, 1 + retail * 100},
                                                   {2, year, 99 + retail * 100},
                                                   {1, year - 1, 2 + retail * 100},
                                                   {1, year + 1, 90 + retail * 100}}) {
            db().Exec(insert, {warehouse, y, number});
        }
        const NumberBounds bounds = DocumentNumberBounds(db(), key, 1, year);
        EXPECT_EQ(bounds.first, 40 + retail * 100);
        EXPECT_EQ(bounds.last, 47 + retail * 100);
    }
    // Wholesale invoices do not see the retail ones written above, and the other way round.
    EXPECT_EQ(DocumentNumberBounds(db(), QStringLiteral("Veleprodajni račun"), 1, year).last, 47);
    EXPECT_EQ(DocumentNumberBounds(db(), QStringLiteral("Maloprodajni račun"), 1, year).first, 140);
    // The book of receipts and expenditures: the year only.
    for (const auto& [y, number] : {std::pair{year, 3}, {year, 12}, {year - 1, 1}}) {
        db().Exec(QStringLiteral("INSERT INTO \"KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS\" "
                                 "(\"GODINA\", \"REDNI BROJ\") VALUES (?, ?)"),
                  {y, number});
    }
    const NumberBounds kpi = DocumentNumberBounds(db(), QStringLiteral("KPI"), 2, year);
    EXPECT_EQ(kpi.first, 3);
    EXPECT_EQ(kpi.last, 12);
    test::ExpectRefused([&] { DocumentNumberBounds(db(), QStringLiteral("Račun"), 1, year); },
                        QStringLiteral("Nepoznata vrsta dokumenta: Račun"));
}

// The limits a member needs: refused without them, the numbers bound on both sides, the title
// with the dates exactly as typed.
TEST_F(SummaryRows, LimitsAreRequiredAndSelectOnBothSides) {
    const SummaryReportInfo& receipts = *SummaryReportByCommand(QStringLiteral("rek_prim_uk"));
    test::ExpectRefused(
        [&] { SummaryReportRequest(*session, receipts, {}); },
        QStringLiteral("Izvještaj rek_prim.rpt traži ograničenja: brojeve dokumenata i datume."));
    const int year = session->businessYear;
    for (int number = 1; number <= 4; ++number) {
        db().Exec(
            QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ PRIMKE\", \"DATUM\", \"DOKUMENT DOBAVLJACA\") VALUES "
                           "(1, ?, ?, ?, ?)"),
            {year, number, QDate(year, 3, number * 10 - 9), QStringLiteral("R-%1").arg(number)});
    }
    SummaryChoice choice;
    // Receipt 1 falls outside the numbers, 4 (31 March) outside the dates.
    choice.range = Range(QStringLiteral("01.03.2026"), QStringLiteral("30.03.2026"), 2, 4);
    choice.range->fromText = QStringLiteral("1.3.2026");
    const QString text = Rendered(*session, SummaryReportRequest(*session, receipts, choice),
                                  Folder(), QStringLiteral("limits"));
    EXPECT_TRUE(text.contains(QStringLiteral("Rekapitulacija primki od 1.3.2026 do 30.03.2026")));
    EXPECT_FALSE(text.contains(QStringLiteral("R-1")));
    EXPECT_TRUE(text.contains(QStringLiteral("R-2")));
    EXPECT_TRUE(text.contains(QStringLiteral("R-3")));
    EXPECT_FALSE(text.contains(QStringLiteral("R-4")));
}

// The stock search: the text typed is a value of the selection (an apostrophe needs no quoting),
// compared without regard to letter case, Croatian letters included.
TEST_F(SummaryRows, StockSearchTakesApostropheAndCroatianLetters) {
    AddLot(AddArticle(QStringLiteral("Kod Ane's ČOKOLADA"), QStringLiteral("Š-1")), 1, 3, 2, 3);
    AddLot(AddArticle(QStringLiteral("Kod Anes čaj"), QStringLiteral("Š-2")), 1, 5, 1, 2);
    AddLot(AddArticle(QStringLiteral("Šljive"), QStringLiteral("X-3")), 1, 7, 1, 2);
    const SummaryReportInfo& byName = *SummaryReportByCommand(QStringLiteral("Stanje1(2)"));
    EXPECT_EQ(byName.limits, Limits::NameSearch);
    SummaryChoice choice;
    choice.searchText = QStringLiteral("kod ane's č*");
    const auto request = SummaryReportRequest(*session, byName, choice);
    EXPECT_TRUE(request.selection.ToText().endsWith(
        QStringLiteral("{ARTIKLI.NAZIV} like 'kod ane''s č*'")));
    const QString text = Rendered(*session, request, Folder(), QStringLiteral("search"));
    EXPECT_TRUE(text.contains(QStringLiteral("Kod Ane's ČOKOLADA")));
    EXPECT_FALSE(text.contains(QStringLiteral("čaj")));
    EXPECT_FALSE(text.contains(QStringLiteral("Šljive")));

    const SummaryReportInfo& byCode = *SummaryReportByCommand(QStringLiteral("Stanje1(3)"));
    choice.searchText = QStringLiteral("š-*");
    const QString codes = Rendered(*session, SummaryReportRequest(*session, byCode, choice),
                                   Folder(), QStringLiteral("codes"));
    EXPECT_TRUE(codes.contains(QStringLiteral("Kod Anes čaj")));
    EXPECT_FALSE(codes.contains(QStringLiteral("Šljive")));
    EXPECT_EQ(SearchPrompt(Limits::CodeSearch),
              QStringLiteral("Upišite tekst za pretraživanje po opisu artikla"));
}

// CSV: every value as the report prints it (money to the cent, quantities to their format's
// decimals, rounded half away from zero) but without grouping, the totals as printed, ";" with
// the decimal comma or "," with the decimal point, a text quoted only where it holds the
// separator. The command line writes the same file.
TEST_F(SummaryRows, CsvHasExactFiguresAndTheTotals) {
    const int pear = AddArticle(QStringLiteral("Kruška, zelena"), QStringLiteral("K1"));
    AddLot(pear, 1, 1.5, 2.345, 3.1);
    AddLot(pear, 2, 2, 1.25, 3.1);
    const int pineapple = AddArticle(QStringLiteral("Ananas"), QStringLiteral("A1"));
    AddLot(pineapple, 1, 3, 0.333, 0.5);
    const auto request =
        SummaryReportRequest(*session, *SummaryReportByCommand(QStringLiteral("Stanje1(0)")), {});
    const auto read = [](const QString& path) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return QString::fromUtf8(f.readAll());
    };
    const QString semicolon = Folder() + QStringLiteral("/stanje.csv");
    reports::ReportEngine engine(db(), ReportFolder());
    EXPECT_EQ(engine.ToCsv(request, semicolon), 3);  // two articles and the total
    // Kruška: 1.5 × 2.345 + 2 × 1.25 = 6.0175 (6,02) at an average of 1.71928571428… (1,72);
    // the total adds the values as printed (1.00 + 6.02).
    EXPECT_EQ(read(semicolon),
              QStringLiteral("Šifra;Naziv;JM;Količina;Nab. cijena;Nabavna vr.;Prodajna vr.\r\n"
                             "%1;Ananas;kom;3,000;0,33;1,00;1,50\r\n"
                             "%2;Kruška, zelena;kom;3,500;1,72;6,02;10,85\r\n"
                             "SVEUKUPNO;;;;;7,02;12,35\r\n")
                  .arg(pineapple)
                  .arg(pear));
    // Thousands are not grouped: a spreadsheet would read "1,234.50" as text.
    AddLot(AddArticle(QStringLiteral("Zlato"), QStringLiteral("Z1")), 1, 1, 1234.5, 2000);
    const QString comma = Folder() + QStringLiteral("/stanje-comma.csv");
    engine.ToCsv(request, comma, u',');
    EXPECT_TRUE(
        read(comma).contains(QStringLiteral(",\"Kruška, zelena\",kom,3.500,1.72,6.02,10.85\r\n")));
    EXPECT_TRUE(
        read(comma).contains(QStringLiteral(",Zlato,kom,1.000,1234.50,1234.50,2000.00\r\n")));

    const QString cli = CommandLineCsv(test::Args("Stanje1(2) --trazi kru*"));
    EXPECT_TRUE(cli.contains(QStringLiteral(";Kruška, zelena;kom;3,500;1,72;")));
    EXPECT_FALSE(cli.contains(QStringLiteral("Ananas")));
}

}  // namespace
}  // namespace zodra::summary
