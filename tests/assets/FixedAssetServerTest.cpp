#include <gtest/gtest.h>

#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <set>
#include <thread>

#include "PgCompany.h"
#include "assets/FixedAssetEntry.h"
#include "assets/FixedAssetRegister.h"
#include "data/ScriptedPrompter.h"
#include "support/Pdf.h"
#include "support/Refused.h"
#include "support/ZodractlCompany.h"

namespace zodra::assets {
namespace {

class FixedAssetsOnServer : public test::PgCompanyTest {};

// The register's statements and the printed list of both tables on the server: numbers across
// both tables, a duplicate refused, the depreciation stored, pdi.rpt's query over both tables.
TEST_F(FixedAssetsOnServer, EntryListAndPrintedList) {
    auto db = Open();
    db->Exec(QStringLiteral(
        "INSERT INTO \"POPIS_DUGOTRAJNE_IMOVINE\" (\"Godina\", \"Redni broj\", \"Naziv stvari\", "
        "\"Isprava broj/nadnevak\", \"Nabavna vrijednost\", \"Knjigovodstvena vrijednost\", "
        "\"Skupina\", \"Stopa otpisa\", \"Svota otpisa\", \"Knjigovodstvena vrijednost na kraju "
        "godine\") VALUES (2026, 2, 'Stari server', 'R-9/2019', 1000, 250, 'Računalna oprema', "
        "50, 250, 0)"));
    ScriptedPrompter prompter;
    FixedAssetEntry entry(*db, 2026, prompter);
    EXPECT_EQ(entry.numberText, QStringLiteral("3"));
    entry.asset.name = QStringLiteral("Prijenosnik \"Kod Ane's\"");
    entry.asset.document = QStringLiteral("R-1/2026");
    entry.asset.group = QStringLiteral("Računalna oprema");
    entry.asset.purchaseValue = 1999.99;
    entry.asset.bookValue = 1999.99;
    entry.asset.rate = 50;
    entry.monthsText = QStringLiteral("3");
    EXPECT_TRUE(entry.MonthsLeft());
    EXPECT_TRUE(entry.Accept()) << prompter.LastMessage().toStdString();
    EXPECT_REFUSED(AddAsset(*db, 2026, entry.asset),
                   "Dugotrajna imovina pod ovim rednim brojem je već upisana !");
    const auto rows = ListAssets(*db, 2026);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].table, AssetTable::Earlier);
    EXPECT_DOUBLE_EQ(rows[1].depreciation, 250);
    EXPECT_DOUBLE_EQ(rows[1].yearEndValue, 1749.99);

    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("pdi.pdf"));
    test::ZodractlOptions options;
    options.home = test::SourceFile("share");
    const auto run = test::RunZodractl({QStringLiteral("pdi"), Url(), QStringLiteral("--godina"),
                                        QStringLiteral("2026"), QStringLiteral("--pdf"), pdf},
                                       options);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = test::PdfText(pdf).simplified();
    EXPECT_TRUE(text.contains(QStringLiteral("2 * Stari server"))) << text.toStdString();
    EXPECT_TRUE(
        text.contains(QStringLiteral("Ukupno skupina Računalna oprema, stopa 50,00 % "
                                     "2.999,99 2.249,99 500,00 1.749,99")))
        << text.toStdString();
}

// Programs posting at once on the server each get a number of their own.
TEST_F(FixedAssetsOnServer, SeveralProgramsPostAtOnce) {
    QTemporaryDir dir;
    test::RunFailures failures;
    std::set<int> numbers;
    std::vector<std::thread> threads;
    for (int worker = 0; worker < 3; ++worker) {
        threads.emplace_back([&, worker] {
            for (int i = 0; i < 3; ++i) {
                const QJsonObject o{{QStringLiteral("vrsta"), QStringLiteral("dugotrajna-imovina")},
                                    {QStringLiteral("godina"), 2026},
                                    {QStringLiteral("naziv"), QStringLiteral("Stvar")},
                                    {QStringLiteral("isprava"), QStringLiteral("R-1")},
                                    {QStringLiteral("skupina"), QStringLiteral("Ostala oprema")},
                                    {QStringLiteral("nabavna_vrijednost"), 100},
                                    {QStringLiteral("knjigovodstvena_vrijednost"), 100},
                                    {QStringLiteral("stopa_otpisa"), 10}};
                const QString file = test::WriteJson(
                    dir.filePath(QStringLiteral("w%1-%2.json").arg(worker).arg(i)), o);
                const auto run = test::RunZodractl({QStringLiteral("post"), Url(), file});
                failures.Check(run.exitCode == 0, QStringLiteral("post"), run);
                std::lock_guard<std::mutex> guard(failures.Mutex());
                numbers.insert(test::PostedNumber(run.out));
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(numbers, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(ListAssets(*Open(), 2026).size(), 9u);
}

}  // namespace
}  // namespace zodra::assets
