// zodractl's doors of the stock count, and several programs at once beside compactions.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

#include "data/SqlValue.h"
#include "data/Statement.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// The demo company as it is made.
class StockCountCommandsTest : public ZodractlCompanyTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeDemo()); }
    QString Write(const QString& name, const QString& content) {
        return File(name, content.toUtf8());
    }
    double Number(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToDouble(Scalar(sql, params));
    }
    double LotQuantity(int lot, const QString& article) {
        return Number(
            QStringLiteral("SELECT n.\"KOLICINA\" FROM \"NABAVE\" n JOIN \"ARTIKLI\" a ON "
                           "a.\"SIFRA\" = n.\"SIFRA_ARTIKLA\" WHERE n.\"SKLADISTE\" = 1 "
                           "AND n.\"BROJ_PRIMKE\" = ? AND a.\"OPIS\" = ?"),
            {lot, article});
    }
    // A count of one lot of warehouse 1.
    QString CountFile(const QString& name, const QString& article, int lot, const QString& qty) {
        return Write(name, QStringLiteral("{\"vrsta\":\"inventura\",\"skladiste\":1,\"datum\":"
                                          "\"2026-03-31\",\"stavke\":[{\"artikal\":\"%1\","
                                          "\"primka\":%2,\"kolicina\":%3}]}")
                               .arg(article)
                               .arg(lot)
                               .arg(qty));
    }
};

TEST_F(StockCountCommandsTest, TheDoorsPostRefuseTheCancellationAndDeleteAfterTheQuestion) {
    const double book = LotQuantity(12, QStringLiteral("PI-015"));
    const double price = Number(QStringLiteral(
        "SELECT \"VELEPRODAJNA CIJENA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 AND "
        "\"BROJ_PRIMKE\" = 12 AND \"SIFRA_ARTIKLA\" = (SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE "
        "\"OPIS\" = 'PI-015')"));
    ASSERT_GT(book, 2);
    ZodractlRun run = RunZodractl({QStringLiteral("post"), m_company,
                                   CountFile(QStringLiteral("i.json"), QStringLiteral("PI-015"), 12,
                                             QString::number(book - 2))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Inventura je proknjižena pod brojem 1"));
    EXPECT_DOUBLE_EQ(LotQuantity(12, QStringLiteral("PI-015")), book - 2);
    EXPECT_NEAR(Number(QStringLiteral("SELECT \"NABAVA_VRIJEDNOST\" FROM "
                                      "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"TIP_DOKUMENTA\" = "
                                      "'INVENTURA' AND \"BROJ_DOKUMENTA\" = 1")),
                -2 * price, 0.005);
    ExpectStockSound();

    const auto door = [&](const char* command, QStringList more = {}) {
        return RunZodractl(QStringList{QString::fromLatin1(command), m_company,
                                       QStringLiteral("inventura"), QStringLiteral("1"),
                                       QStringLiteral("--skladiste"), QStringLiteral("1")} +
                           more);
    };
    run = door("cancel");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Inventura se ne stornira; proknjižena inventura se može izbrisati."));
    run = door("delete");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Inventura nije izbrisana.")))
        << run.err.toStdString();
    EXPECT_DOUBLE_EQ(LotQuantity(12, QStringLiteral("PI-015")), book - 2);
    run = door("delete", {QStringLiteral("--da")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Inventura broj 1 je izbrisana."));
    EXPECT_DOUBLE_EQ(LotQuantity(12, QStringLiteral("PI-015")), book);

    // A negative count and a NaN refuse the whole file.
    for (const QString& bad : {QStringLiteral("-1"), QStringLiteral("\"nan\"")}) {
        run = RunZodractl({QStringLiteral("post"), m_company,
                           CountFile(QStringLiteral("b.json"), QStringLiteral("PI-015"), 12, bad)});
        EXPECT_EQ(run.exitCode, 1) << bad.toStdString();
    }
    EXPECT_EQ(Number(QStringLiteral("SELECT COUNT(*) FROM \"INVENTURE\"")), 0);
    ExpectStockSound();
}

// Three programs count (own lots), one reprices other articles, one compacts.
TEST_F(StockCountCommandsTest, CountsPostedBySeveralProgramsBesidePriceChangesAndCompactions) {
    constexpr int kEach = 3;
    const QList<std::pair<QString, int>> lots{{QStringLiteral("PI-015"), 12},
                                              {QStringLiteral("PI-014"), 7},
                                              {QStringLiteral("PI-003"), 2}};
    RunFailures failures;
    QList<int> numbers;
    static const QRegularExpression numbered(QStringLiteral("pod brojem (\\d+)"));
    auto counter = [&](int which) {
        for (int i = 1; i <= kEach; ++i) {
            const ZodractlRun run = RunZodractl(
                {QStringLiteral("post"), m_company,
                 CountFile(QStringLiteral("c%1_%2.json").arg(which).arg(i), lots.at(which).first,
                           lots.at(which).second, QString::number(10 * i + which))});
            const auto match = numbered.match(run.out);
            failures.Check(run.exitCode == 0 && match.hasMatch(),
                           QStringLiteral("count %1").arg(which), run);
            if (run.exitCode == 0 && match.hasMatch()) {
                std::lock_guard<std::mutex> guard(failures.Mutex());
                numbers << match.captured(1).toInt();
            }
        }
    };
    const auto repricer = [&] {
        for (int i = 0; i < 3; ++i) {
            const QString file = Write(
                QStringLiteral("p%1.json").arg(i),
                QStringLiteral("{\"vrsta\":\"izmjena\",\"skladiste\":1,\"datum\":\"2026-03-31\","
                               "\"stavke\":[{\"artikal\":\"PI-008\",\"cijena\":%1}]}")
                    .arg(1 + i));
            const ZodractlRun run = RunZodractl({QStringLiteral("post"), m_company, file});
            failures.Check(run.exitCode == 0, QStringLiteral("izmjena"), run);
        }
    };
    RunBesideCompaction(m_company,
                        {[&] { counter(0); }, [&] { counter(1); }, [&] { counter(2); }, repricer},
                        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(numbers.size(), 3 * kEach);
    EXPECT_EQ(QSet<int>(numbers.begin(), numbers.end()).size(), numbers.size());
    for (int which = 0; which < lots.size(); ++which) {
        EXPECT_DOUBLE_EQ(LotQuantity(lots.at(which).second, lots.at(which).first),
                         10 * kEach + which);
    }
    EXPECT_EQ(Number(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
    ExpectStockSound();
}

}  // namespace
