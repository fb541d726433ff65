#include <gtest/gtest.h>

#include <QDir>
#include <QJsonObject>
#include <QProcess>
#include <set>

#include "assets/FixedAssetRegister.h"
#include "data/Database.h"
#include "support/Pdf.h"
#include "support/TestCompany.h"
#include "support/ZodractlCompany.h"

namespace zodra::assets {
namespace {

class FixedAssetDoors : public test::CompanyTest {
protected:
    template <typename... Parts>
    test::ZodractlRun Run(const Parts&... parts) {
        QStringList args = test::Args(parts...);
        args.insert(1, CompanyPath());
        test::ZodractlOptions options;
        options.home = test::SourceFile("share");
        return test::RunZodractl(args, options);
    }
    QString File(const QString& name, const QJsonObject& o) {
        return test::WriteJson(Folder() + QLatin1Char('/') + name, o);
    }
    int Rows(const char* table = "POPIS_DUGOTRAJNE_IMOVINE_REV1") {
        return Open()
            ->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"") + QLatin1String(table) +
                     QLatin1Char('"'))
            .toInt();
    }
    static QJsonObject Asset(const QString& group, double purchase, double book, double rate,
                             int months) {
        return {{QStringLiteral("vrsta"), QStringLiteral("dugotrajna-imovina")},
                {QStringLiteral("godina"), 2026},
                {QStringLiteral("naziv"), QStringLiteral("Stvar ") + group},
                {QStringLiteral("isprava"), QStringLiteral("R-1/2026, 02.01.2026")},
                {QStringLiteral("skupina"), group},
                {QStringLiteral("nabavna_vrijednost"), purchase},
                {QStringLiteral("knjigovodstvena_vrijednost"), book},
                {QStringLiteral("stopa_otpisa"), rate},
                {QStringLiteral("mjeseci"), months}};
    }
};

TEST_F(FixedAssetDoors, PostComputesTheDepreciationAndRefusesBadFiles) {
    auto run =
        Run("post", File(QStringLiteral("a.json"),
                         Asset(QStringLiteral("Nematerijalna imovina"), 12000, 9000, 25, 6)));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(),
              QStringLiteral("Dugotrajna imovina je upisana pod brojem 1 u godini 2026."));
    auto rows = ListAssets(*Open(), 2026);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_DOUBLE_EQ(rows[0].depreciation, 1500);
    EXPECT_DOUBLE_EQ(rows[0].yearEndValue, 7500);

    struct Bad {
        const char* key;
        QJsonValue value;
        const char* message;
    };
    const Bad bad[] = {
        {"naziv", QString(101, QChar(u'a')),
         "Naziv stvari je duži od 100 znakova ili nije upisan!"},
        {"isprava", QString(), "Isprava broj/nadnevak je duži od 50 znakova ili nije upisan!"},
        {"skupina", QString(51, QChar(u'a')), "Skupina je duža od 50 znakova ili nije upisana!"},
        {"nabavna_vrijednost", QStringLiteral("12000"), "Nabavna vrijednost nije ispravan broj !"},
        {"nabavna_vrijednost", -5, "Nabavna vrijednost nesmije biti negativna !"},
        {"stopa_otpisa", 150, "Stopa otpisa mora biti između 0 i 100 !"},
        {"mjeseci", 13, "Broj mjeseci mora biti između 0 i 12."},
        {"redni_broj", 1, "Dugotrajna imovina pod ovim rednim brojem je već upisana !"},
        {"svota_otpisa", 9500,
         "Knjigovodstvena vrijednost na kraju godine nesmije biti negativna !"},
    };
    for (const Bad& b : bad) {
        QJsonObject o = Asset(QStringLiteral("Ostala oprema"), 12000, 9000, 25, 6);
        o.insert(QLatin1String(b.key), b.value);
        run = Run("post", File(QStringLiteral("bad.json"), o));
        EXPECT_EQ(run.exitCode, 1) << b.key;
        EXPECT_EQ(run.err.trimmed(), QString::fromUtf8(b.message)) << b.key;
    }
    // A number too large for a double is no number either.
    QFile huge(Folder() + QStringLiteral("/huge.json"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(R"({"vrsta": "dugotrajna-imovina", "godina": 2026, "naziv": "a", "isprava": "b",
                  "skupina": "c", "nabavna_vrijednost": 1e400, "stopa_otpisa": 10})");
    huge.close();
    run = Run("post", huge.fileName());
    EXPECT_EQ(run.exitCode, 1) << run.out.toStdString();
    EXPECT_EQ(Rows(), 1);
}

TEST_F(FixedAssetDoors, DeleteAsksAndFindsTheRowInEitherTable) {
    ASSERT_EQ(Run("post", File(QStringLiteral("a.json"),
                               Asset(QStringLiteral("Ostala oprema"), 1000, 1000, 10, 12)))
                  .exitCode,
              0);
    Open()->Exec(
        QStringLiteral("INSERT INTO \"POPIS_DUGOTRAJNE_IMOVINE\" (\"Godina\", \"Redni "
                       "broj\", \"Naziv stvari\") VALUES (2026, 5, 'Stari stroj')"));
    auto run = Run("delete dugotrajna-imovina 1 --godina 2026");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Rows(), 1);  // answered No without --da
    run = Run("delete dugotrajna-imovina 1 --godina 2025 --da");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Dugotrajna imovina pod rednim brojem 1 u godini 2025 ne postoji."));
    for (const char* number : {"1", "5"}) {
        run = Run("delete dugotrajna-imovina", QString::fromLatin1(number), "--godina 2026 --da");
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(Rows("POPIS_DUGOTRAJNE_IMOVINE"), 0);
}

TEST_F(FixedAssetDoors, SeveralProgramsPostAtOnceBesideACompaction) {
    test::RunFailures failures;
    std::set<int> numbers;
    test::RunBesideCompaction(
        CompanyPath(), 4,
        [&](int worker) {
            for (int i = 0; i < 3; ++i) {
                const QString file =
                    File(QStringLiteral("w%1-%2.json").arg(worker).arg(i),
                         Asset(QStringLiteral("Skupina %1").arg(worker), 1200, 1200, 10, 12));
                const test::ZodractlRun run = Run("post", file);
                failures.Check(run.exitCode == 0, QStringLiteral("post"), run);
                std::lock_guard<std::mutex> guard(failures.Mutex());
                numbers.insert(test::PostedNumber(run.out));
            }
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(numbers, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(Rows(), 12);
}

TEST_F(FixedAssetDoors, PrintedListSumsTheDepreciationByGroupAndRate) {
    const struct {
        const char* group;
        double purchase, book, rate;
        int months;
    } assets[] = {
        {"Računalna oprema", 1999.99, 1999.99, 50, 3},   // 250,00
        {"Računalna oprema", 4000, 500, 50, 12},         // 500,00 (no more than the book value)
        {"Građevinski objekti", 250000, 200000, 5, 12},  // 12.500,00
        {"Osobni automobili", 30000, 30000, 20, 7},      // 3.500,00
    };
    int i = 0;
    for (const auto& a : assets) {
        const auto run = Run(
            "post", File(QStringLiteral("p%1.json").arg(++i),
                         Asset(QString::fromUtf8(a.group), a.purchase, a.book, a.rate, a.months)));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    const QString pdf = Folder() + QStringLiteral("/pdi.pdf");
    auto run = Run("pdi --godina 2026 --pdf", pdf);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QString text = test::PdfText(pdf).simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("Popis dugotrajne imovine za 2026. godinu")));
    EXPECT_TRUE(text.contains(
        QStringLiteral("Ukupno skupina Računalna oprema, stopa 50,00 % 5.999,99 2.499,99 750,00 "
                       "1.749,99")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(
        "Ukupno skupina Građevinski objekti, stopa 5,00 % 250.000,00 200.000,00 12.500,00 "
        "187.500,00")));
    EXPECT_TRUE(text.contains(QStringLiteral("UKUPNO 285.999,99 232.499,99 16.750,00 215.749,99")));
    EXPECT_FALSE(text.contains(QStringLiteral("ranijeg popisa")));

    // A row of the older table: the list takes both tables and marks it.
    Open()->Exec(QStringLiteral(
        "INSERT INTO \"POPIS_DUGOTRAJNE_IMOVINE\" (\"Godina\", \"Redni broj\", \"Naziv stvari\", "
        "\"Isprava broj/nadnevak\", \"Nabavna vrijednost\", \"Knjigovodstvena vrijednost\", "
        "\"Skupina\", \"Stopa otpisa\", \"Svota otpisa\", \"Knjigovodstvena vrijednost na kraju "
        "godine\") VALUES (2026, 9, 'Stari server', 'R-9/2019', 1000, 250, 'Računalna oprema', "
        "50, 250, 0)"));
    run = Run("pdi --godina 2026 --pdf", pdf);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    text = test::PdfText(pdf).simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("9 * Stari server"))) << text.toStdString();
    EXPECT_TRUE(text.contains(
        QStringLiteral("Ukupno skupina Računalna oprema, stopa 50,00 % 6.999,99 2.749,99 "
                       "1.000,00 1.749,99")));
    EXPECT_TRUE(text.contains(QStringLiteral("* stavka iz ranijeg popisa dugotrajne imovine")));
    EXPECT_TRUE(text.contains(QStringLiteral("Osobni automobili")));  // the newer rows too
}

}  // namespace
}  // namespace zodra::assets
