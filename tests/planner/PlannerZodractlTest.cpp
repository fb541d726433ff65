// Two programs importing planner bills beside a compaction, one bill offered by both.

#include <gtest/gtest.h>

#include <QSet>

#include "planner/PlannerTestBill.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

using PlannerZodractlTest = ZodractlCompanyTest;

TEST_F(PlannerZodractlTest, TwoProgramsImportBesideACompactionAndOneBillOnce) {
    constexpr int kEach = 4;
    const QString shared = File(QStringLiteral("isti.xml"), ExampleBill());
    RunFailures failures;
    QList<int> numbers;
    int refusedAsDone = 0;
    RunBesideCompaction(
        m_company, 2,
        [&](int worker) {
            for (int i = 0; i <= kEach; ++i) {
                // Bill 0 is the same for both programs; the others differ by their time.
                const QByteArray time = QStringLiteral("T0%1:0%2").arg(worker).arg(i).toLatin1();
                const QString file = i == 0 ? shared
                                            : File(QStringLiteral("r%1-%2.xml").arg(worker).arg(i),
                                                   ExampleBill({{"T14:30", time.constData()}}));
                const ZodractlRun run = Run(Args("planner-import", file, "--skladiste 2"));
                const bool posted = run.exitCode == 0 && PostedNumber(run.out) > 0;
                const bool done = i == 0 && run.exitCode == 1 &&
                                  run.err.startsWith(QStringLiteral("Račun planera je već uvezen"));
                if (!posted && !done) {
                    failures.Add(QStringLiteral("%1/%2: %3").arg(worker).arg(i).arg(run.err));
                    continue;
                }
                std::lock_guard<std::mutex> guard(failures.Mutex());
                posted ? void(numbers << PostedNumber(run.out)) : void(++refusedAsDone);
            }
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(refusedAsDone, 1);
    EXPECT_EQ(QSet<int>(numbers.begin(), numbers.end()).size(), 2 * kEach + 1);
    auto db = Open();
    // Each bill once, whole: its invoice with two lines and its card collection of 110.63.
    EXPECT_EQ(db->Scalar(QStringLiteral(
                             "SELECT COUNT(*) FROM \"PLANER_RACUNI\" p JOIN \"NAPLATA\" c ON "
                             "c.\"Skladište\" = 2 AND c.\"IRA\" = 1 AND c.\"Broj računa\" = "
                             "p.\"BROJ_RACUNA\" AND ROUND(c.\"Iznos\", 2) = 110.63 WHERE "
                             "p.\"SKLADISTE\" = 2 AND (SELECT COUNT(*) FROM \"STAVKE_RACUNA\" l "
                             "WHERE l.\"SKLADISTE\" = 2 AND l.\"IRA\" = 1 AND l.\"BROJ_RACUNA\" "
                             "= p.\"BROJ_RACUNA\") = 2"))
                  .toInt(),
              2 * kEach + 1);
    // Every bill wanted the same new client: it was added once and found by the others.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"NAZIV\" = "
                                        "'O''Brien Ana'"))
                  .toInt(),
              1);
}

}  // namespace
