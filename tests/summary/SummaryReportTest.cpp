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
#include "demo/DemoCompany.h"
#include "reports/ReportTestSupport.h"
#include "reports/ValueFormat.h"
#include "summary/SummaryReports.h"
#include "support/Refused.h"
#include "support/Zodractl.h"

namespace zodra::summary {
namespace {

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

// ---------------------------------------------------------------------------------------------
// The demo company, made once for the program.

class SummaryDemo : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_dir = new QTemporaryDir;
        s_path = s_dir->filePath(QStringLiteral("demo.mdb"));
        demo::CreateDemoCompany(s_path, QDate(2026, 6, 30));
    }
    static void TearDownTestSuite() {
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
    static inline QString s_path;
};

// Every member prints with what its command presets: the numbers of its document kind, the
// business year up to the day, and its title with the dates as typed.
TEST_F(SummaryDemo, EveryMemberPrintsWithItsPresets) {
    auto session = Start(1);
    for (const SummaryReportInfo& info : SummaryReports()) {
        SCOPED_TRACE(info.command.toStdString());
        SummaryChoice choice;
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
        const QString title = info.dateField.isEmpty()
                                  ? info.title
                                  : info.title + QStringLiteral(" od 01.01.2026 do 30.06.2026");
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
            Rendered(*session,
                     SummaryReportRequest(
                         *session, *SummaryReportByCommand(QStringLiteral("Rek_vrac_uk")), march),
                     Folder(), QStringLiteral("rek_vrac_%1").arg(warehouse));
        EXPECT_TRUE(wholesale.contains(
            QStringLiteral("Rekapitulacija veleprodajnih računa od 01.03.2026 do 31.03.2026")));
        EXPECT_TRUE(wholesale.contains(
            QStringLiteral("SVEUKUPNO ") +
            Money(SumOfRows(db, perInvoice.arg(QStringLiteral("\"VRIJEDNOST_\"")), args)) +
            QLatin1Char(' ') +
            Money(SumOfRows(db, perInvoice.arg(QStringLiteral("\"POREZ_IZNOS\"")), args)) +
            QLatin1Char(' ') + Money(total)))
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
            Rendered(*session,
                     SummaryReportRequest(
                         *session, *SummaryReportByCommand(QStringLiteral("Rek_prim_uk")), year),
                     Folder(), QStringLiteral("rek_prim_%1").arg(warehouse));
        EXPECT_TRUE(receiptText.contains(
            QStringLiteral("SVEUKUPNO ") +
            Money(SumOfRows(db, perReceipt.arg(QStringLiteral("NETTO_FAKTURNA_VRIJEDNOST")),
                            {warehouse})) +
            QLatin1Char(' ') +
            Money(
                SumOfRows(db, perReceipt.arg(QStringLiteral("NABAVNA_VRIJEDNOST")), {warehouse})) +
            QLatin1Char(' ') +
            Money(SumOfRows(db, perReceipt.arg(QStringLiteral("VRIJEDNOST")), {warehouse}))))
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
        const QString sales = Rendered(
            *session,
            SummaryReportRequest(
                *session, *SummaryReportByCommand(QStringLiteral("Prodaja_po_art_usl_promet")),
                march),
            Folder(), QStringLiteral("p_stavke_%1").arg(warehouse));
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
        const QString stock =
            Rendered(*session,
                     SummaryReportRequest(
                         *session, *SummaryReportByCommand(QStringLiteral("Stanje1(0)")), {}),
                     Folder(), QStringLiteral("stanje_s_%1").arg(warehouse));
        EXPECT_TRUE(stock.contains(
            QStringLiteral("SVEUKUPNO ") +
            Money(SumOfRows(db, perArticle.arg(QStringLiteral("NABAVNA CIJENA")), {warehouse})) +
            QLatin1Char(' ') +
            Money(
                SumOfRows(db, perArticle.arg(QStringLiteral("VELEPRODAJNA CIJENA")), {warehouse}))))
            << stock.right(300).toStdString();
    }
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
    std::unique_ptr<Session> session;
};

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

// CSV: the values as the data holds them (the PDF rounds to the cent), the subtotals and totals
// as the report prints them, ";" with the decimal comma or "," with the decimal point, a text
// quoted only where it holds the separator. The command line writes the same file.
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
    // Kruška: 1.5 × 2.345 + 2 × 1.25 = 6.0175 at an average of 1.71928571428…; the total adds
    // the values as printed (1.00 + 6.02).
    EXPECT_EQ(read(semicolon),
              QStringLiteral("Šifra;Naziv;JM;Količina;Nab. cijena;Nabavna vr.;Prodajna vr.\r\n"
                             "%1;Ananas;kom;3;0,333;0,999;1,5\r\n"
                             "%2;Kruška, zelena;kom;3,5;1,7192857143;6,0175;10,85\r\n"
                             "SVEUKUPNO;;;;;7,02;12,35\r\n")
                  .arg(pineapple)
                  .arg(pear));
    const QString comma = Folder() + QStringLiteral("/stanje-comma.csv");
    engine.ToCsv(request, comma, u',');
    EXPECT_TRUE(read(comma).contains(
        QStringLiteral(",\"Kruška, zelena\",kom,3.5,1.7192857143,6.0175,10.85\r\n")));

    session.reset();
    const QString cli = Folder() + QStringLiteral("/cli.csv");
    test::ZodractlOptions options;
    options.home = QStringLiteral(ZODRA_SOURCE_DIR "/share");
    const auto run = test::RunZodractl(
        {QStringLiteral("summary"), CompanyPath(), QStringLiteral("Stanje1(2)"),
         QStringLiteral("--trazi"), QStringLiteral("kru*"), QStringLiteral("--skladiste"),
         QStringLiteral("1"), QStringLiteral("--csv"), cli},
        options);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(read(cli).contains(QStringLiteral(";Kruška, zelena;kom;3,5;")));
    EXPECT_FALSE(read(cli).contains(QStringLiteral("Ananas")));
}

}  // namespace
}  // namespace zodra::summary
