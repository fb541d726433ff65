// The input invoice book's headless doors on the demo company: a month of its receipts entered
// as input invoices, the printed book and the form U-RA against plain SQL, the form valid
// against the tax administration's schema, refusals that leave no file, deletion, and several
// programs entering invoices at once beside compactions.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QXmlStreamReader>
#include <algorithm>
#include <map>

#include "books/UraReport.h"
#include "reports/ReportTestSupport.h"
#include "reports/ValueFormat.h"
#include "support/XmlSchema.h"
#include "support/ZodractlCompany.h"

namespace zodra::test {
namespace {

class UraCommandsTest : public ZodractlCompanyTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeDemo()); }
    QString Path(const QString& name) { return m_dir.filePath(name); }
    double Sum(const QString& expression, const QString& where = QString()) {
        return Scalar(QStringLiteral("SELECT ROUND(SUM(") + expression +
                      QStringLiteral("), 2) FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = 1 "
                                     "AND \"GODINA\" = 2026 AND \"Račun datum\" BETWEEN "
                                     "'2026-03-01' AND '2026-03-31'") +
                      where)
            .toDouble();
    }
    // Every receipt of warehouse 1 dated in March 2026 entered as an input invoice (R-2 every
    // third), and one invoice typed with amounts at 5 and 13 % and a part not deductible.
    int EnterMarch() {
        auto db = Open();
        Statement s(*db, QStringLiteral("SELECT \"BROJ PRIMKE\" FROM \"PRIMKE\" WHERE "
                                        "\"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND \"DATUM\" "
                                        "BETWEEN '2026-03-01' AND '2026-03-31' ORDER BY 1"));
        s.Exec();
        QList<int> receipts;
        while (s.Next()) {
            receipts << s.Int(0);
        }
        s.Finish();
        db.reset();
        EXPECT_GE(receipts.size(), 2);
        int entered = 0;
        for (int receipt : receipts) {
            const QJsonObject o{
                {QStringLiteral("vrsta"), QStringLiteral("ura")},
                {QStringLiteral("primka"), receipt},
                {QStringLiteral("broj_racuna"), QStringLiteral("P-%1").arg(receipt)},
                {QStringLiteral("tip"),
                 entered % 3 == 2 ? QStringLiteral("R-2") : QStringLiteral("R-1")}};
            const ZodractlRun run =
                Run({QStringLiteral("post"), File(QStringLiteral("p%1.json").arg(receipt), o)});
            EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
            entered += PostedNumber(run.out) > 0 ? 1 : 0;
        }
        const QJsonObject typed{
            {QStringLiteral("vrsta"), QStringLiteral("ura")},
            {QStringLiteral("broj_racuna"), QStringLiteral("M-17/2026")},
            {QStringLiteral("datum"), QStringLiteral("2026-03-31")},
            {QStringLiteral("dobavljac"), QStringLiteral("Mljekara Zagorje d.o.o.")},
            {QStringLiteral("osnovica_0"), 3.10},
            {QStringLiteral("stope"), QJsonArray{QJsonObject{{QStringLiteral("stopa"), 5},
                                                             {QStringLiteral("osnovica"), 211.13}},
                                                 QJsonObject{{QStringLiteral("stopa"), 13},
                                                             {QStringLiteral("osnovica"), 99.99},
                                                             {QStringLiteral("ne_odbiti"), 4}}}},
            {QStringLiteral("ukupno"), 337.78}};
        const ZodractlRun run =
            Run({QStringLiteral("post"), File(QStringLiteral("m.json"), typed)});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return entered + (run.exitCode == 0 ? 1 : 0);
    }
    ZodractlRun Book(const QStringList& more) {
        return Run(Args("ura --od 01.03.2026 --do 31.03.2026") + more);
    }
};

QString Schema() {
    return QStringLiteral(ZODRA_SOURCE_DIR "/tests/books/schemas/URA-v2/ObrazacURA-v2-0.xsd");
}

// The book of March printed and filed: the form is valid, has every invoice of the month once,
// and its totals are the plain SQL sums that the printed book's last line shows as well; an
// invoice of another year dated in the range is in neither.
TEST_F(UraCommandsTest, AMonthFiledAndPrintedAsTheBookSays) {
    const int entered = EnterMarch();
    ASSERT_GE(entered, 3);
    {
        auto db = Open();
        db->Exec(
            QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
                           "\"Redni broj\", \"Račun broj\", \"Račun datum\", \"Šifra "
                           "dobavljača\", \"Tip računa\", \"Osnovica25\", \"Iznos računa "
                           "sa porezom\") VALUES (1, 2025, 1, 'STARI', '2026-03-05', 7, "
                           "'R-1', 1000, 1250)"));
    }
    const QString xml = Path(QStringLiteral("ura.xml"));
    const QString pdf = Path(QStringLiteral("ura.pdf"));
    const ZodractlRun run = Book(Args("--xml", xml, "--pdf", pdf));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(XmlSchemaErrors(xml, Schema()), QString());

    // Each element's text by name (the totals occur once), and the number of invoices.
    QFile file(xml);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader reader(&file);
    std::map<QString, QString> values;
    int invoices = 0;
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        const QString name = reader.name().toString();
        if (name == QLatin1String("R")) {
            ++invoices;
        } else if (name.startsWith(QLatin1Char('U')) && name.size() <= 3) {
            values[name] = reader.readElementText();
        }
    }
    ASSERT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    EXPECT_EQ(invoices, entered);
    auto total = [&](const char* element) { return values[QString::fromLatin1(element)]; };
    auto money = [](double v) { return QString::number(v, 'f', 2); };
    EXPECT_EQ(total("U19"), money(Sum(QStringLiteral("\"Osnovica0\""))));
    EXPECT_EQ(total("U8"), money(Sum(QStringLiteral("\"Osnovica5\""))));
    EXPECT_EQ(total("U9"), money(Sum(QStringLiteral("\"Osnovica13\""))));
    EXPECT_EQ(total("U10"), money(Sum(QStringLiteral("\"Osnovica25\""))));
    EXPECT_EQ(total("U11"), money(Sum(QStringLiteral("\"Iznos računa sa porezom\""))));
    EXPECT_EQ(total("U12"),
              money(Sum(QStringLiteral("\"PretporezUkupno5\" + \"PretporezUkupno13\" + "
                                       "\"PretporezUkupno25\""))));
    EXPECT_EQ(total("U16"), QStringLiteral("4.00"));
    EXPECT_EQ(total("U15"), money(Sum(QStringLiteral("\"PretporezOdbiti13\""))));
    EXPECT_EQ(total("U17"), money(Sum(QStringLiteral("\"PretporezOdbiti25\""))));
    EXPECT_NE(total("U10"), QStringLiteral("0.00"));

    // The printed book's "UKUPNO" line carries the same totals.
    const QString printed = PdfText(pdf);
    const qsizetype at = printed.lastIndexOf(QStringLiteral("UKUPNO"));
    ASSERT_GE(at, 0) << printed.toStdString();
    const QString line = printed.mid(at, printed.indexOf(QLatin1Char('\n'), at) - at);
    const reports::ValueFormat format;
    for (const char* element : {"U11", "U19", "U8", "U10", "U17"}) {
        EXPECT_TRUE(
            line.contains(format.Format(total(element).toDouble(), QStringLiteral("Standard"))))
            << element << " " << line.toStdString();
    }
    EXPECT_FALSE(printed.contains(QStringLiteral("STARI")));
    EXPECT_EQ(PdfText(pdf).count(QStringLiteral("P-")), entered - 1);
}

// A datum the form requires and the data lack is refused by name and no file is written; the
// printed book of a period before March 2012 takes the layout of the earlier rates.
TEST_F(UraCommandsTest, MissingDataRefusedWithoutAFile) {
    ASSERT_GE(EnterMarch(), 1);
    const QString xml = Path(QStringLiteral("nema.xml"));
    {
        auto db = Open();
        db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = ''"));
    }
    ZodractlRun run = Book(Args("--xml", xml));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("U podacima firme nije upisan ispravan OIB (11 znamenki). Obrazac "
                             "U-RA se ne može izraditi."));
    EXPECT_FALSE(QFile::exists(xml));
    {
        auto db = Open();
        db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = '12345678903'"));
        db->Exec(
            QStringLiteral("UPDATE \"PARTNERI\" SET \"OIB\" = NULL WHERE \"NAZIV\" = "
                           "'Mljekara Zagorje d.o.o.'"));
    }
    run = Book(Args("--xml", xml));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("Dobavljač \"Mljekara Zagorje d.o.o.\"")))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(xml));

    reports::ReportRange range;
    range.to = QDate(2012, 2, 29);
    EXPECT_EQ(books::UraReportFile(books::UraReportKind::Total, range.to),
              QStringLiteral("ura_prije_01_03_2012.rpt"));
    EXPECT_EQ(books::UraReportFile(books::UraReportKind::PaidR2, QDate(2012, 3, 1)),
              QStringLiteral("ura_dp.rpt"));
    const QString old = Path(QStringLiteral("stara.pdf"));
    run = Run(Args("ura --od 01.02.2012 --do 29.02.2012 --pdf", old));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(PdfText(old).contains(QStringLiteral("22%")));
    EXPECT_FALSE(PdfText(old).contains(QStringLiteral("13%")));
}

// Deletion by number asks and is answered No without --da; with it the invoice goes; a number
// not in the book is refused by name.
TEST_F(UraCommandsTest, DeleteDoor) {
    ASSERT_GE(EnterMarch(), 1);
    const auto count = [&] {
        return Scalar(QStringLiteral("SELECT COUNT(*) FROM \"KNJIGE_ULAZNIH_RACUNA\"")).toInt();
    };
    const int before = count();
    ZodractlRun run = Run(Args("delete ura 1 --skladiste 1"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(count(), before);
    run = Run(Args("delete ura 1 --knjiga 1 --skladiste 1 --da"));
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(count(), before - 1);
    run = Run(Args("delete ura 1 --skladiste 1 --da"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Ne postoji upisani ulazni račun broj 1"));
}

// Three programs enter input invoices at once while a fourth compacts: every serial number
// 1 … n exactly once, every invoice stored.
TEST_F(UraCommandsTest, SeveralProgramsEnterAtOnceBesideACompaction) {
    RunFailures failures;
    constexpr int kEach = 4;
    QList<int> numbers = PostBesideCompaction(
        3, kEach,
        [&](int worker, int i) {
            const QJsonObject o{
                {QStringLiteral("vrsta"), QStringLiteral("ura")},
                {QStringLiteral("broj_racuna"), QStringLiteral("W%1-%2").arg(worker).arg(i)},
                {QStringLiteral("datum"), QStringLiteral("2026-03-02")},
                {QStringLiteral("dobavljac"), 7},
                {QStringLiteral("stope"),
                 QJsonArray{QJsonObject{{QStringLiteral("stopa"), 25},
                                        {QStringLiteral("osnovica"), 10 + worker}}}}};
            return File(QStringLiteral("w%1-%2.json").arg(worker).arg(i), o);
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    std::sort(numbers.begin(), numbers.end());
    QList<int> expected;
    for (int n = 1; n <= 3 * kEach; ++n) {
        expected << n;
    }
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(DISTINCT \"Redni broj\") FROM "
                                    "\"KNJIGE_ULAZNIH_RACUNA\""))
                  .toInt(),
              3 * kEach);
    EXPECT_DOUBLE_EQ(
        Scalar(QStringLiteral("SELECT SUM(\"Osnovica25\") FROM \"KNJIGE_ULAZNIH_RACUNA\""))
            .toDouble(),
        kEach * (10 + 11 + 12));
}

}  // namespace
}  // namespace zodra::test
