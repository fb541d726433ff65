// zodractl's doors of transfers and the five simple documents.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>

#include "data/SqlValue.h"
#include "support/Pdf.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// The demo company as it is made.
class StockDocumentCommandsTest : public ZodractlCompanyTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeDemo()); }
    static QJsonObject Example(const char* name) {
        return ReadJson(SourceFile("docs/examples/") + QLatin1String(name));
    }
    int Scalar(const QString& sql) { return sqlvalue::ToInt(ZodractlCompanyTest::Scalar(sql)); }
    ZodractlRun Door(const char* command, const char* kind, int number, QStringList more = {}) {
        return RunZodractl(QStringList{QString::fromLatin1(command), m_company,
                                       QString::fromLatin1(kind), QString::number(number),
                                       QStringLiteral("--skladiste"), QStringLiteral("1")} +
                           more);
    }
};

TEST_F(StockDocumentCommandsTest, TheDoorsPostCancelAndDeleteEachKind) {
    ZodractlRun run =
        RunZodractl({QStringLiteral("post"), m_company,
                     File(QStringLiteral("m.json"), Example("meduskladisnica.json"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(),
              QStringLiteral("Međuskladišnica je proknjižena pod brojem 1 (odredišna primka "
                             "100001)"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" "
                                    "= 2 AND \"BROJ_PRIMKE\" = 100001")),
              3);
    ExpectStockSound();
    run = Door("delete", "meduskladisnica", 1, {QStringLiteral("--da")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Međuskladišnica se ne briše nego stornira (zodractl cancel)."));
    run = Door("cancel", "meduskladisnica", 1);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Želite li stornirati međuskladišnicu! Ne\n"
                                                "Međuskladišnica nije stornirana."));
    run = Door("cancel", "meduskladisnica", 1, {QStringLiteral("--da")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Međuskladišnica broj 1 je stornirana."));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"BROJ PRIMKE\" = "
                                    "100001")),
              0);
    ExpectStockSound();

    const QJsonObject issue = Example("izdatnica.json");
    const struct {
        const char* word;
        const char* posted;
        const char* deleted;
    } kinds[] = {
        {"izdatnica", "Izdatnica je proknjižena pod brojem 1", "Izdatnica broj 1 je izbrisana."},
        {"povratnica", "Povratnica je proknjižena pod brojem 1", "Povratnica broj 1 je izbrisana."},
        {"rashod", "Rashod je proknjižen pod brojem 1", "Rashod broj 1 je izbrisan."},
        {"povratnica-dobavljacu", "Povratnica dobavljaču je proknjižena pod brojem 1",
         "Povratnica dobavljaču broj 1 je izbrisana."},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.word);
        QJsonObject o = issue;
        o.insert(QStringLiteral("vrsta"), QString::fromLatin1(kind.word));
        o.insert(QStringLiteral("dobavljac"), 2);
        run = RunZodractl({QStringLiteral("post"), m_company, File(QStringLiteral("i.json"), o)});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), QString::fromUtf8(kind.posted));
        ExpectStockSound();
        EXPECT_EQ(Door("cancel", kind.word, 1, {QStringLiteral("--da")}).exitCode, 1);
        run = Door("delete", kind.word, 1, {QStringLiteral("--da")});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), QString::fromUtf8(kind.deleted));
    }
    // The demo's warehouses are not commission warehouses.
    QJsonObject odjava = issue;
    odjava.insert(QStringLiteral("vrsta"), QStringLiteral("odjava"));
    run = RunZodractl({QStringLiteral("post"), m_company, File(QStringLiteral("o.json"), odjava)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Odjava se radi samo na komisijskom skladištu."));
    // A line the lot cannot give, after a good one: nothing is booked, no working line stays.
    QJsonObject tooMuch = issue;
    QJsonArray lines = tooMuch.value(QStringLiteral("stavke")).toArray();
    lines.append(QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-003")},
                             {QStringLiteral("kolicina"), 100000}});
    tooMuch.insert(QStringLiteral("stavke"), lines);
    run = RunZodractl({QStringLiteral("post"), m_company, File(QStringLiteral("t.json"), tooMuch)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("Nedovoljna količina artikla ")))
        << run.err.toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZDATNICE\"")), 0);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\"")), 0);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
    ExpectStockSound();
}

// zodractl print and post --pdf of each kind, --kolicine where the kind has it.
TEST_F(StockDocumentCommandsTest, TheDoorsPrintEachKindToPdf) {
    const QString pdf = m_dir.filePath(QStringLiteral("ispis.pdf"));
    ZodractlRun run = RunZodractl({QStringLiteral("post"), m_company,
                                   File(QStringLiteral("m.json"), Example("meduskladisnica.json")),
                                   QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(),
              QStringLiteral("Međuskladišnica je proknjižena pod brojem 1 (odredišna primka "
                             "100001)\nIspis međuskladišnice br. 1 je zapisan u ") +
                  pdf + QStringLiteral(" (stranica: 1)."));
    QString text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("MEĐUSKLADIŠNICA br. 1/2026"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("1 - Veleprodaja")));
    EXPECT_TRUE(text.contains(QStringLiteral("Primka br. 100001")));
    EXPECT_TRUE(text.contains(QStringLiteral("Odredišna")));
    run = Door("print", "meduskladisnica", 1,
               {QStringLiteral("--pdf"), pdf, QStringLiteral("--kolicine")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    text = PdfText(pdf);
    EXPECT_TRUE(text.contains(QStringLiteral("Ukupna količina")));
    EXPECT_FALSE(text.contains(QStringLiteral("Odredišna")));

    const QJsonObject issue = Example("izdatnica.json");
    const struct {
        const char* word;
        const char* title;
        const char* heading;
        bool quantities;
    } kinds[] = {
        {"izdatnica", "Ispis izdatnice br. 1", "IZDATNICA br. 1/2026", true},
        {"povratnica", "Ispis povratnice br. 1", "POVRATNICA br. 1/2026", true},
        {"rashod", "Ispis rashoda br. 1", "RASHOD br. 1/2026", false},
        {"povratnica-dobavljacu", "Ispis povratnice dobavljaču br. 1",
         "POVRATNICA DOBAVLJAČU br. 1/2026", false},
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.word);
        QJsonObject o = issue;
        o.insert(QStringLiteral("vrsta"), QString::fromLatin1(kind.word));
        o.insert(QStringLiteral("dobavljac"), 5);
        run = RunZodractl({QStringLiteral("post"), m_company, File(QStringLiteral("i.json"), o)});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        run = Door("print", kind.word, 1, {QStringLiteral("--pdf"), pdf});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.trimmed(), QString::fromUtf8(kind.title) +
                                         QStringLiteral(" je zapisan u ") + pdf +
                                         QStringLiteral(" (stranica: 1)."));
        text = PdfText(pdf);
        EXPECT_TRUE(text.contains(QString::fromUtf8(kind.heading))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("Za vlastite potrebe")));
        run = Door("print", kind.word, 1,
                   {QStringLiteral("--pdf"), pdf, QStringLiteral("--kolicine")});
        if (kind.quantities) {
            ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
            EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("Ukupna količina")));
        } else {
            EXPECT_EQ(run.exitCode, 2);
            EXPECT_TRUE(run.err.startsWith(QStringLiteral("upotreba: zodractl print")));
        }
    }
    EXPECT_TRUE(PdfText(pdf).contains(QStringLiteral("Veletrgovina Čakovec d.d.")));
    run = Door("print", "izdatnica", 7, {QStringLiteral("--pdf"), pdf});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Ne postoji proknjižena izdatnica broj 7"));
}

// Transfers, issue notes and write-offs from several programs beside a compaction.
TEST_F(StockDocumentCommandsTest, SeveralProgramsPostAtOnceBesideACompaction) {
    const QJsonObject transfer = Example("meduskladisnica.json");
    const QJsonObject issue = Example("izdatnica.json");
    RunFailures failures;
    QList<int> transfers;
    QList<int> issues;
    auto post = [&](const QJsonObject& o, const QString& name, const QRegularExpression& ok,
                    QList<int>& numbers) {
        const ZodractlRun run = RunZodractl({QStringLiteral("post"), m_company, File(name, o)});
        const auto match = ok.match(run.out);
        failures.Check(run.exitCode == 0 && match.hasMatch(), name, run);
        if (run.exitCode == 0 && match.hasMatch()) {
            std::lock_guard<std::mutex> guard(failures.Mutex());
            numbers << match.captured(1).toInt();
        }
    };
    constexpr int kEach = 5;
    std::vector<std::function<void()>> workers;
    for (int destination : {2, 3}) {
        workers.emplace_back([&, destination] {
            static const QRegularExpression posted(
                QStringLiteral("Međuskladišnica je proknjižena pod brojem (\\d+)"));
            for (int i = 0; i < kEach; ++i) {
                QJsonObject o = transfer;
                o.insert(QStringLiteral("odrediste"), destination);
                post(o, QStringLiteral("m-%1-%2.json").arg(destination).arg(i), posted, transfers);
            }
        });
    }
    workers.emplace_back([&] {
        static const QRegularExpression posted(QStringLiteral("proknjižen[a]? pod brojem (\\d+)"));
        for (int i = 0; i < 2 * kEach; ++i) {
            QJsonObject o = issue;
            o.insert(QStringLiteral("vrsta"),
                     i % 2 ? QStringLiteral("rashod") : QStringLiteral("izdatnica"));
            post(o, QStringLiteral("i-%1.json").arg(i), posted, issues);
        }
    });
    RunBesideCompaction(m_company, workers, failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(transfers.size(), 2 * kEach);
    ASSERT_EQ(issues.size(), 2 * kEach);
    EXPECT_EQ(QSet<int>(transfers.begin(), transfers.end()).size(), 2 * kEach);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(DISTINCT \"ODREDISNO_SKLADISTE\" || '-' || "
                                    "\"BROJ_ODREDISNE_PRIMKE\") FROM \"MEDUSKLADISNICE\"")),
              2 * kEach);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZDATNICE\"")) +
                  Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RASHODI\"")),
              2 * kEach);
    for (int warehouse : {1, 2, 3}) {
        ExpectTradeBooksWhole(*Open(), warehouse);
    }
    // Every transfer's entry sits at the position its header recorded.
    EXPECT_EQ(Scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM \"MEDUSKLADISNICE\" h INNER JOIN "
                  "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t ON t.\"SKLADISTE\" = h.\"SKLADISTE\" AND "
                  "t.\"GODINA\" = h.\"GODINA\" AND t.\"RBR\" = h.\"RBR_TK\" AND "
                  "t.\"TIP_DOKUMENTA\" = 'MEĐUSKLADIŠNICA'")),
              2 * kEach);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
    ExpectStockSound();
}

}  // namespace
