#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>

#include "data/Errors.h"
#include "data/Transaction.h"
#include "reports/ReportEngine.h"
#include "reports/ReportTestSupport.h"
#include "support/Zodractl.h"

namespace zodra::reports {
namespace {

// A report folder of the test's own with files written by the test, over a company with a
// small table of sales by group.
class ReportRender : public test::CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        db = Open();
        db->ExecRaw(QStringLiteral(
            "CREATE TABLE \"TEST_PROMET\" (\"ID\" INTEGER PRIMARY KEY, \"GRUPA\" TEXT, \"NAZIV\" "
            "TEXT, \"DATUM\" DATE, \"IZNOS\" DOUBLE PRECISION, \"STAVKA\" INTEGER)"));
        db->Exec(
            QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = 'Žuti Čamac d.o.o.', "
                           "\"ADRESA\" = 'Ulica 1', \"OIB\" = '12345678903' WHERE \"ID\" = 1"));
    }

    // rows per group, amounts i + 0.25 for row i of the whole table
    void Fill(const QStringList& groups, int perGroup) {
        Transaction tx(*db);
        int id = 0;
        for (const QString& g : groups) {
            for (int i = 1; i <= perGroup; ++i) {
                ++id;
                db->Exec(QStringLiteral("INSERT INTO \"TEST_PROMET\" VALUES (?, ?, ?, ?, ?, ?)"),
                         {id, g, QStringLiteral("Artikl %1").arg(id), QDate(2026, 3, 1).addDays(i),
                          id + 0.25, i});
            }
        }
        tx.Commit();
    }

    void Write(const QString& name, const QString& text) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }

    int Render(const ReportRequest& request) {
        ReportEngine engine(*db, folder.path());
        return engine.ToPdf(request, Pdf());
    }

    QString Failure(const ReportRequest& request) {
        try {
            Render(request);
        } catch (const UserError& e) {
            return e.message();
        }
        return QString();
    }

    QString Pdf() const { return folder.filePath(QStringLiteral("out.pdf")); }

    std::unique_ptr<Database> db;
    QTemporaryDir folder;
};

const char* kGroupedReport = R"(report "Promet po grupama"
page A4 portrait
margins 15 10 15 10
data
  from "TEST_PROMET"
  order {TEST_PROMET.GRUPA}, {TEST_PROMET.ID}
end
page-header
  company at 0 0 width 100
  text "{@NASLOV}" at 0 20 width 180 align center bold font-size 12
end
column-header height 6
  text "Naziv" at 0 0 width 60 bold
  text "Iznos" at 120 0 width 30 align right bold
end
group {TEST_PROMET.GRUPA}
  header height 6
    text "Grupa {TEST_PROMET.GRUPA}" at 0 0 width 80 bold
  end
  footer height 6
    text "Ukupno grupa {TEST_PROMET.GRUPA}:" at 0 0 width 80
    field sum({TEST_PROMET.IZNOS}) at 120 0 width 30 align right format "Standard"
    field count() at 155 0 width 20 align right
  end
end
detail height 5
  field {TEST_PROMET.NAZIV} at 0 0 width 60
  field {TEST_PROMET.DATUM} at 62 0 width 25 format date
  field {TEST_PROMET.IZNOS} at 90 0 width 25 align right format "0.00"
  field {TEST_PROMET.IZNOS} * 1000 at 120 0 width 30 align right format "Currency"
end
report-footer
  text "Sveukupno" at 0 2 width 60 bold
  field sum({TEST_PROMET.IZNOS}) at 120 2 width 30 align right format "Standard" bold
end
page-footer height 6
  text "Stranica {PageNumber} od {PageCount}" at 100 1 width 80 align right
  field sum({TEST_PROMET.IZNOS}) at 0 1 width 40 format "Standard"
end
)";

TEST_F(ReportRender, GroupsSumsTotalsAndPageNumbers) {
    Fill({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}, 30);
    Write(QStringLiteral("grupe.rpt"), QString::fromUtf8(kGroupedReport));
    ReportRequest request;
    request.reportFile = QStringLiteral("GRUPE.RPT");  // found without regard to letter case
    request.Formula(QStringLiteral("NASLOV"), QStringLiteral("Promet od 1.3.2026 do 31.3.2026"));
    const int pages = Render(request);
    ASSERT_EQ(pages, test::PdfPages(Pdf()));
    ASSERT_GE(pages, 2);
    for (int p = 1; p <= pages; ++p) {
        const QString text = test::PdfPageText(Pdf(), p);
        // Page header and column headings on every page.
        EXPECT_TRUE(text.contains(QStringLiteral("Žuti Čamac d.o.o."))) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("Promet od 1.3.2026 do 31.3.2026"))) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("Naziv"))) << p;
        EXPECT_TRUE(text.contains(QStringLiteral("Stranica %1 od %2").arg(p).arg(pages))) << p;
    }
    const QString all = test::PdfText(Pdf());
    // Group A: rows 1..30 → Σ(i + 0.25) = 465 + 7.5; B: 31..60 → 1365 + 7.5; C: 2265 + 7.5.
    EXPECT_TRUE(all.contains(QStringLiteral("Grupa A")));
    EXPECT_TRUE(all.contains(QRegularExpression(QStringLiteral("Ukupno grupa A:\\s+472,50\\s+30"))))
        << all.toStdString();
    EXPECT_TRUE(
        all.contains(QRegularExpression(QStringLiteral("Ukupno grupa B:\\s+1.372,50\\s+30"))));
    EXPECT_TRUE(
        all.contains(QRegularExpression(QStringLiteral("Ukupno grupa C:\\s+2.272,50\\s+30"))));
    EXPECT_TRUE(all.contains(QRegularExpression(QStringLiteral("Sveukupno\\s+4.117,50"))));
    // Formats: date, "0.00" without grouping, "Currency" with the home currency.
    EXPECT_TRUE(all.contains(
        QRegularExpression(QStringLiteral("Artikl 45\\s+16.03.2026\\s+45,25\\s+45.250,00 EUR"))));
    // The page footer sums its own page: the two pages' sums add up to the total.
    double pageSums = 0;
    for (int p = 1; p <= pages; ++p) {
        const QString last = test::PdfPageText(Pdf(), p).trimmed().split(QLatin1Char('\n')).last();
        pageSums += last.trimmed()
                        .section(QLatin1Char(' '), 0, 0)
                        .remove(QLatin1Char('.'))
                        .replace(QLatin1Char(','), QLatin1Char('.'))
                        .toDouble();
    }
    EXPECT_DOUBLE_EQ(pageSums, 4117.5);
}

TEST_F(ReportRender, SelectionFormulasFilterWithValuesBound) {
    Fill({QStringLiteral("A"), QStringLiteral("Kod Ane's"), QStringLiteral("C")}, 3);
    Write(QStringLiteral("grupe.rpt"), QString::fromUtf8(kGroupedReport));
    ReportRequest request;
    request.reportFile = QStringLiteral("grupe.rpt");
    // An apostrophe in a formula prints as an apostrophe.
    request.Formula(QStringLiteral("NASLOV"), QStringLiteral("Promet za 'Kod Ane's'"));
    request.selection = Selection::Parse(
        QStringLiteral("{TEST_PROMET.GRUPA}='Kod Ane''s' AND {TEST_PROMET.DATUM}>=DATE(2026,3,3)"));
    Render(request);
    const QString text = test::PdfText(Pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("Promet za 'Kod Ane's'")));
    EXPECT_TRUE(text.contains(QStringLiteral("Grupa Kod Ane's")));
    EXPECT_FALSE(text.contains(QStringLiteral("Artikl 4 ")));  // dated 2.3.
    EXPECT_TRUE(text.contains(QStringLiteral("Artikl 5")));
    EXPECT_TRUE(text.contains(QStringLiteral("Artikl 6")));
    EXPECT_FALSE(text.contains(QStringLiteral("Grupa A")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Sveukupno\\s+11,50"))));

    request.selection =
        Selection().Like(QStringLiteral("TEST_PROMET.GRUPA"), QStringLiteral("kod*"));
    Render(request);
    EXPECT_TRUE(test::PdfText(Pdf()).contains(QStringLiteral("Artikl 4")));
}

TEST_F(ReportRender, RefusalsNameTheirCause) {
    Fill({QStringLiteral("A")}, 2);
    Write(QStringLiteral("grupe.rpt"), QString::fromUtf8(kGroupedReport));
    ReportRequest request;
    request.reportFile = QStringLiteral("grupe.rpt");
    request.selection = Selection::Parse(QStringLiteral("{TEST_PROMET.NEMA}=1"));
    EXPECT_EQ(Failure(request),
              QStringLiteral("Polje {TEST_PROMET.NEMA} ne postoji: \"TEST_PROMET\" "
                             "nema polja \"NEMA\"."));
    request.selection = Selection::Parse(QStringLiteral("{PRIMKE.SKLADISTE}=1"));
    EXPECT_EQ(Failure(request), QStringLiteral("Polje {PRIMKE.SKLADISTE} ne postoji: izvještaj ne "
                                               "čita \"PRIMKE\"."));
    EXPECT_FALSE(QFile::exists(Pdf()));  // nothing is left behind

    // A failure keeps the file of an earlier run as it was.
    request.selection = Selection();
    Render(request);
    const qint64 size = QFileInfo(Pdf()).size();
    ASSERT_GT(size, 0);
    request.reportFile = QStringLiteral("nema.rpt");
    EXPECT_EQ(Failure(request), QStringLiteral("Nema izvještaja nema.rpt (") +
                                    folder.filePath(QStringLiteral("nema.rpt")) +
                                    QStringLiteral(")."));
    EXPECT_EQ(QFileInfo(Pdf()).size(), size);

    Write(QStringLiteral("param.rpt"),
          QStringLiteral("data\n from \"TEST_PROMET\"\n where {TEST_PROMET.STAVKA} = :STAVKA\n"
                         "end\ndetail\n field {TEST_PROMET.NAZIV} at 0 0 width 50\nend\n"));
    request.reportFile = QStringLiteral("param.rpt");
    EXPECT_EQ(Failure(request), QStringLiteral("Izvještaj param.rpt traži vrijednost parametra "
                                               ":STAVKA, a ona nije zadana."));
    request.Parameter(QStringLiteral("stavka"), 2);  // names without regard to letter case
    Render(request);
    const QString text = test::PdfText(Pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("Artikl 2")));
    EXPECT_FALSE(text.contains(QStringLiteral("Artikl 1")));

    // A database failure ends the command with the engine's own message.
    Write(QStringLiteral("sql.rpt"), QStringLiteral("data\n query \"Q\"\n  SELECT * FROM "
                                                    "\"NEMA_TABLICE\"\n end\nend\n"));
    request.reportFile = QStringLiteral("sql.rpt");
    EXPECT_TRUE(Failure(request).startsWith(QStringLiteral("Izrada izvještaja je prekinuta.\n")));

    Write(QStringLiteral("tablica.rpt"), QStringLiteral("data\n from \"NEMA\"\nend\n"));
    request.reportFile = QStringLiteral("tablica.rpt");
    EXPECT_EQ(Failure(request),
              QStringLiteral("U bazi nema tablice ili upita \"NEMA\" koji izvještaj čita."));
}

TEST_F(ReportRender, QueryFedReportsAndQueriesInTheFile) {
    Fill({QStringLiteral("A"), QStringLiteral("B")}, 4);
    Write(QStringLiteral("upit.rpt"), QStringLiteral(R"(report "Upit"
data
  program-query "Upit"
  order {Upit.UKUPNO} desc
end
page-header
  text "{@NASLOV}" at 0 0 width 150 bold
end
detail
  field {Upit.GRUPA} at 0 0 width 30
  field {Upit.UKUPNO} at 40 0 width 30 align right format "Standard"
end
)"));
    ReportRequest request;
    request.reportFile = QStringLiteral("upit.rpt");
    request.Formula(QStringLiteral("NASLOV"), QStringLiteral("Zbrojevi po grupama"));
    request.query = ProgramQuery{
        QStringLiteral("SELECT \"GRUPA\", SUM(\"IZNOS\") AS \"UKUPNO\" FROM \"TEST_PROMET\" WHERE "
                       "\"STAVKA\" <= ? GROUP BY \"GRUPA\""),
        {3}};
    Render(request);
    QString text = test::PdfText(Pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("Zbrojevi po grupama")));
    // B: 5.25 + 6.25 + 7.25 first (descending), then A: 1.25 + 2.25 + 3.25.
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("B\\s+18,75\\s+A\\s+6,75"))))
        << text.toStdString();

    request.query.reset();
    EXPECT_EQ(Failure(request),
              QStringLiteral("Izvještaj čita upit programa \"Upit\", a program ga nije zadao."));

    Write(QStringLiteral("sql.rpt"), QStringLiteral(R"(data
  query "Po grupama"
    SELECT "GRUPA", COUNT(*) AS "BROJ", ':NIJE' AS "TEKST"
    FROM "TEST_PROMET" WHERE "IZNOS" > :OD GROUP BY "GRUPA"
  end
  order {Po grupama.GRUPA}
end
detail
  text "{Po grupama.GRUPA} {Po grupama.BROJ} {Po grupama.TEKST}" at 0 0 width 100
end
)"));
    request.reportFile = QStringLiteral("sql.rpt");
    request.Parameter(QStringLiteral("OD"), 4);
    Render(request);
    text = test::PdfText(Pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("A 1 :NIJE"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("B 4 :NIJE")));
}

TEST_F(ReportRender, SubReportsWithLinksAndTheirOwnSelection) {
    Fill({QStringLiteral("A"), QStringLiteral("B")}, 3);
    Write(QStringLiteral("glavni.rpt"), QStringLiteral(R"(data
  query "Grupe"
    SELECT DISTINCT "GRUPA" FROM "TEST_PROMET"
  end
  order {Grupe.GRUPA}
end
detail
  text "Grupa {Grupe.GRUPA}" at 0 0 width 60 bold
  subreport "Stavke.RPT" at 10 6 width 100 link :GRUPA {Grupe.GRUPA}
end
report-footer
  subreport "ukupno.rpt" at 0 2 width 100
end
)"));
    Write(QStringLiteral("stavke.rpt"), QStringLiteral(R"(data
  from "TEST_PROMET"
  where {TEST_PROMET.GRUPA} = :GRUPA
  order {TEST_PROMET.ID}
end
column-header
  text "Stavka" at 0 0 width 40 italic
end
detail
  text "{TEST_PROMET.NAZIV} / {TEST_PROMET.IZNOS|0.00}" at 0 0 width 80
end
report-footer
  text "Zbroj: {TEST_PROMET.GRUPA}" at 0 0 width 40
  field sum({TEST_PROMET.IZNOS}) at 40 0 width 30 format "0.00"
end
)"));
    Write(QStringLiteral("Ukupno.rpt"), QStringLiteral(R"(data
  from "TEST_PROMET"
end
report-footer
  text "Sve stavke" at 0 0 width 40
  field count() at 40 0 width 20
  field sum({TEST_PROMET.IZNOS}) at 60 0 width 30 format "0.00"
end
)"));
    ReportRequest request;
    request.reportFile = QStringLiteral("glavni.rpt");
    // The program's selection of a sub-report, by its name as the layout writes it.
    request.SubreportSelection(QStringLiteral("UKUPNO.rpt"),
                               Selection::Parse(QStringLiteral("{TEST_PROMET.STAVKA}<=2")));
    Render(request);
    const QString text = test::PdfText(Pdf(), false);
    const qsizetype a = text.indexOf(QStringLiteral("Grupa A"));
    const qsizetype a3 = text.indexOf(QStringLiteral("Artikl 3 / 3,25"));
    const qsizetype sumA = text.indexOf(QStringLiteral("Zbroj: A"));
    const qsizetype b = text.indexOf(QStringLiteral("Grupa B"));
    const qsizetype b4 = text.indexOf(QStringLiteral("Artikl 4 / 4,25"));
    ASSERT_GE(a, 0) << text.toStdString();
    EXPECT_LT(a, a3);
    EXPECT_LT(a3, sumA);
    EXPECT_LT(sumA, b);
    EXPECT_LT(b, b4);
    EXPECT_TRUE(text.contains(QStringLiteral("6,75")));  // 1.25 + 2.25 + 3.25
    EXPECT_EQ(text.count(QStringLiteral("Stavka")), 2);
    // Items 1 and 2 of each group: 1.25 + 2.25 + 4.25 + 5.25.
    EXPECT_TRUE(test::PdfText(Pdf()).contains(
        QRegularExpression(QStringLiteral("Sve stavke\\s+4\\s+13,00"))))
        << text.toStdString();
}

TEST_F(ReportRender, LongTextsWrapOrAreCut) {
    Fill({QStringLiteral("A")}, 1);
    const QString longText = QStringLiteral(
        "Ovo je vrlo dugačak opis koji ne stane u jedan redak pa se prelama u više redaka");
    db->Exec(QStringLiteral("UPDATE \"TEST_PROMET\" SET \"NAZIV\" = ?"), {longText});
    Write(QStringLiteral("w.rpt"), QStringLiteral(R"(data
  from "TEST_PROMET"
end
detail height 6
  field {TEST_PROMET.NAZIV} at 0 0 width 40 wrap
end
detail height 6
  text "Ispod" at 0 0 width 40
  field {TEST_PROMET.NAZIV} at 50 0 width 30
end
)"));
    ReportRequest request;
    request.reportFile = QStringLiteral("w.rpt");
    Render(request);
    const QStringList lines =
        test::PdfText(Pdf(), false).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    // Wrapped over several lines, and the next band starts below the last of them.
    EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("Ovo je vrlo")));
    EXPECT_FALSE(lines.at(0).contains(QStringLiteral("redaka")));
    const qsizetype below = lines.indexOf(QStringLiteral("Ispod"));
    ASSERT_GT(below, 1) << lines.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(lines.mid(0, below).join(QLatin1Char(' ')).contains(QStringLiteral("više redaka")));
    // Without wrap the text is cut at its width with an ellipsis.
    const QString cut = lines.mid(below + 1).join(QLatin1Char(' '));
    EXPECT_TRUE(cut.contains(QStringLiteral("…"))) << cut.toStdString();
    EXPECT_FALSE(cut.contains(QStringLiteral("redaka")));
}

// The printer path (CUPS in the program) rendered into a PDF printer, headless.
TEST_F(ReportRender, PrinterDestination) {
    Fill({QStringLiteral("A"), QStringLiteral("B")}, 2);
    Write(QStringLiteral("grupe.rpt"), QString::fromUtf8(kGroupedReport));
    ReportRequest request;
    request.reportFile = QStringLiteral("grupe.rpt");
    request.title = QStringLiteral("Promet");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Pdf());
    ReportEngine engine(*db, folder.path());
    EXPECT_EQ(engine.ToPrinter(request, printer), 1);
    EXPECT_EQ(printer.docName(), QStringLiteral("Promet"));
    EXPECT_TRUE(
        test::PdfText(Pdf()).contains(QRegularExpression(QStringLiteral("Sveukupno\\s+11,00"))))
        << test::PdfText(Pdf()).toStdString();
}

TEST_F(ReportRender, FormulasAsTheOldEngineTookThem) {
    EXPECT_EQ(ParseFormula(QStringLiteral("NASLOV= 'Blagajnički izvještaj od 1.1.2026'")),
              std::make_pair(QStringLiteral("NASLOV"),
                             QStringLiteral("Blagajnički izvještaj od 1.1.2026")));
    EXPECT_EQ(ParseFormula(QStringLiteral("ISPRAVA = 'Kod Ane''s'")).second,
              QStringLiteral("Kod Ane's"));
    EXPECT_EQ(ParseFormula(QStringLiteral("DodatniTekst=bez navodnika")).second,
              QStringLiteral("bez navodnika"));
    EXPECT_THROW(ParseFormula(QStringLiteral("NASLOV")), UserError);
}

TEST_F(ReportRender, ZodractlRendersHeadless) {
    Fill({QStringLiteral("A")}, 2);
    db.reset();
    Write(QStringLiteral("grupe.rpt"), QString::fromUtf8(kGroupedReport));
    const QString file = folder.filePath(QStringLiteral("grupe.rpt"));
    QString out;
    const auto run = [&](const QStringList& args) {
        const test::ZodractlRun done =
            test::RunZodractl(test::Args("report", CompanyPath()) + args);
        out = done.out + done.err;
        return done.exitCode;
    };
    EXPECT_EQ(
        run(test::Args(file, "--formula", QStringLiteral("NASLOV= 'Promet ''A'''"), "--selection",
                       QStringLiteral("{TEST_PROMET.GRUPA}='A'"), "--pdf", Pdf())),
        0)
        << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("(stranica: 1)")));
    const QString text = test::PdfText(Pdf());
    EXPECT_TRUE(text.contains(QStringLiteral("Promet 'A'")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Sveukupno\\s+3,50"))));

    QFile::remove(Pdf());
    EXPECT_EQ(run(test::Args(file, "--selection", QStringLiteral("{TEST_PROMET.GRUPA}='A"), "--pdf",
                             Pdf())),
              1);
    EXPECT_TRUE(
        out.contains(QStringLiteral("Formula za izbor zapisa nije ispravna: tekst nije "
                                    "zatvoren jednostrukim navodnikom (znak 23).")))
        << out.toStdString();
    EXPECT_FALSE(QFile::exists(Pdf()));
    EXPECT_EQ(run({file}), 2);
}

}  // namespace
}  // namespace zodra::reports
