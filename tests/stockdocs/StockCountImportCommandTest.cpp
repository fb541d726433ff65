// zodractl import … count: counted quantities added to stock counts being drawn up.
#include <gtest/gtest.h>

#include <QThread>
#include <mutex>
#include <thread>

#include "data/Database.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/WorkingCopy.h"
#include "stockdocs/StockCount.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// The demo company as it is made.
class StockCountImportCommandTest : public ZodractlCompanyTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeDemo()); }
    // A workstation that has prepared a count from zero and keeps the company open.
    std::unique_ptr<Session> Workstation(int number) {
        auto opened = Database::Open(m_company, QString());
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok);
        auto s = std::make_unique<Session>();
        s->Attach(std::move(opened.db));
        s->activeWarehouse.code = 1;
        s->businessYear = sqlvalue::ToInt(s->Db().Scalar(
            QStringLiteral("SELECT MAX(\"GODINA\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1")));
        s->sessionCode = workingcopy::AllocateSessionCode(s->Db());
        stockdocs::PrepareStockCount(*s, number, 0.0);
        return s;
    }
    double Counted(Session& s, const QString& article) {
        return sqlvalue::ToDouble(s.Db().Scalar(
            QStringLiteral(
                "SELECT SUM(w.\"STVARNO_KOLICINA\") FROM \"STAVKE_INVENTURA_PRIVREMENO\" "
                "w JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = w.\"SIFRA_ARTIKLA\" WHERE "
                "w.\"Multiuser_sifra\" = ? AND a.\"OPIS\" = ?"),
            {s.sessionCode, article}));
    }
    ZodractlRun Import(const QString& file, std::optional<int> session = std::nullopt) {
        QStringList args{QStringLiteral("import"), m_company, QStringLiteral("count"), file};
        if (session) {
            args << QStringLiteral("--sesija") << QString::number(*session);
        }
        return RunZodractl(args);
    }
};

TEST_F(StockCountImportCommandTest, TheCountIsChosenAndABadFileWritesNothing) {
    const QString good = File(QStringLiteral("g.csv"), "PI-015;2\nPI-015;1,5\n");
    ZodractlRun run = Import(good);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("Nema otvorene inventure")))
        << run.err.toStdString();

    auto first = Workstation(1);
    run = Import(good);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(),
              QStringLiteral("Uvezeno redaka: 2 (inventura br. 1, skladište 1)."));
    EXPECT_DOUBLE_EQ(Counted(*first, QStringLiteral("PI-015")), 3.5);

    auto second = Workstation(2);
    run = Import(good);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("Otvoreno je više inventura, navedite jednu:")));
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("--sesija %1: skladište 1").arg(second->sessionCode)));

    run = Import(File(QStringLiteral("b.csv"), "PI-015;4\nPI-015;1e400\nXX-1;1\n"),
                 second->sessionCode);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Količine nisu uvezene, ništa nije upisano.\n"
                                                "Redak 2: količina \"1e400\" nije ispravan broj.\n"
                                                "Redak 3: artikal \"XX-1\" nije pronađen."));
    EXPECT_DOUBLE_EQ(Counted(*second, QStringLiteral("PI-015")), 0);
    EXPECT_DOUBLE_EQ(Counted(*first, QStringLiteral("PI-015")), 3.5);
}

// Three programs import into two counts beside a compaction: no addition lost or misplaced, and
// the compaction refused while counts are open (it would clear their working rows).
TEST_F(StockCountImportCommandTest, SeveralProgramsImportAtOnceBesideACompaction) {
    auto a = Workstation(1);
    auto b = Workstation(2);
    const QString toA1 = File(QStringLiteral("a1.csv"), "PI-015;2\n");
    const QString toA2 = File(QStringLiteral("a2.csv"), "PI-015,1\nPI-003,1\n");
    const QString toB = File(QStringLiteral("b.csv"), "PI-015;1\nPI-003;2\n");
    constexpr int kEach = 4;
    std::mutex mutex;
    QStringList failures;
    auto importer = [&](const QString& file, int session) {
        for (int i = 0; i < kEach; ++i) {
            const ZodractlRun run = Import(file, session);
            if (run.exitCode != 0) {
                std::lock_guard<std::mutex> guard(mutex);
                failures << QStringLiteral("%1: %2").arg(file, run.err);
            }
        }
    };
    std::thread t1(importer, toA1, a->sessionCode);
    std::thread t2(importer, toA2, a->sessionCode);
    std::thread t3(importer, toB, b->sessionCode);
    std::thread compactor([&] {
        for (int i = 0; i < 3; ++i) {
            const ZodractlRun run = RunZodractl({QStringLiteral("compact"), m_company});
            std::lock_guard<std::mutex> guard(mutex);
            if (!(run.exitCode == 1 &&
                  run.err.startsWith(QStringLiteral("Baza je otvorena na drugom računalu")))) {
                failures << QStringLiteral("compact %1: %2").arg(run.exitCode).arg(run.err);
            }
            QThread::msleep(30);
        }
    });
    t1.join();
    t2.join();
    t3.join();
    compactor.join();
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
    EXPECT_DOUBLE_EQ(Counted(*a, QStringLiteral("PI-015")), 3 * kEach);
    EXPECT_DOUBLE_EQ(Counted(*a, QStringLiteral("PI-003")), kEach);
    EXPECT_DOUBLE_EQ(Counted(*b, QStringLiteral("PI-015")), kEach);
    EXPECT_DOUBLE_EQ(Counted(*b, QStringLiteral("PI-003")), 2 * kEach);
    // The counts still post: the book quantities they were prepared from stand.
    EXPECT_EQ(stockdocs::PostStockCount(*a, {0, QDate(2026, 3, 31)}), 1);
}

}  // namespace
