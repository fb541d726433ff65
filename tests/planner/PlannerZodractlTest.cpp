// The planner's doors of zodractl: two programs importing bills at once beside a compaction
// (one bill offered by both), and planner-send's signal caught by a local server of the test.

#include <gtest/gtest.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSet>

#include "app/WorkstationConfig.h"
#include "planner/PlannerImport.h"
#include "planner/PlannerTestBill.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// Sets an environment variable for the test and the programs it starts, and puts it back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QString& value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
        qputenv(name, value.toLocal8Bit());
    }
    ~ScopedEnv() {
        if (m_had) {
            qputenv(m_name, m_old);
        } else {
            qunsetenv(m_name);
        }
    }

private:
    const char* m_name;
    bool m_had;
    QByteArray m_old;
};

class PlannerZodractlTest : public ZodractlCompanyTest {
protected:
    QString BillFile(const QString& name, const TestBill& bill) {
        return File(name, BillXml(bill));
    }
    ZodractlRun Import(const QString& file) {
        return Run({QStringLiteral("planner-import"), file, QStringLiteral("--skladiste"),
                    QStringLiteral("2")});
    }
};

TEST_F(PlannerZodractlTest, TwoProgramsImportBesideACompactionAndOneBillOnce) {
    constexpr int kEach = 4;
    const QString shared = BillFile(QStringLiteral("isti.xml"), TestBill{});
    RunFailures failures;
    QList<int> numbers;
    int refusedAsDone = 0;
    RunBesideCompaction(
        m_company, 2,
        [&](int worker) {
            for (int i = 0; i <= kEach; ++i) {
                TestBill bill;
                bill.date = QStringLiteral("2026-03-1%1T1%2:00:00").arg(worker).arg(i);
                const bool same = i == 0;
                const ZodractlRun run =
                    Import(same ? shared
                                : BillFile(QStringLiteral("r%1-%2.xml").arg(worker).arg(i), bill));
                std::lock_guard<std::mutex> guard(failures.Mutex());
                if (run.exitCode == 0 && PostedNumber(run.out) > 0) {
                    numbers << PostedNumber(run.out);
                } else if (same && run.exitCode == 1 &&
                           run.err.contains(QStringLiteral("Račun planera je već uvezen kao "
                                                           "račun broj "))) {
                    ++refusedAsDone;
                } else {
                    failures.Add(QStringLiteral("%1/%2: %3 %4 %5")
                                     .arg(worker)
                                     .arg(i)
                                     .arg(run.exitCode)
                                     .arg(run.out, run.err));
                }
            }
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(refusedAsDone, 1);
    ASSERT_EQ(numbers.size(), 2 * kEach + 1);
    EXPECT_EQ(QSet<int>(numbers.begin(), numbers.end()).size(), 2 * kEach + 1);

    auto db = Open();
    for (int n : numbers) {
        // The invoice, its two lines and its card collection, each once.
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" h JOIN \"NAPLATA\" c "
                                            "ON c.\"Skladište\" = h.\"SKLADISTE\" AND c.\"IRA\" = "
                                            "h.\"IRA\" AND c.\"Godina\" = h.\"GODINA\" AND "
                                            "c.\"Broj računa\" = h.\"BROJ RACUNA\" WHERE "
                                            "h.\"SKLADISTE\" = 2 AND h.\"IRA\" = 1 AND h.\"BROJ "
                                            "RACUNA\" = ? AND c.\"Tip\" = 'kartica' AND "
                                            "ROUND(c.\"Iznos\", 2) = 110.63"),
                             {n})
                      .toInt(),
                  1)
            << n;
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE "
                                            "\"SKLADISTE\" = 2 AND \"IRA\" = 1 AND "
                                            "\"BROJ_RACUNA\" = ?"),
                             {n})
                      .toInt(),
                  2)
            << n;
    }
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PLANER_RACUNI\"")).toInt(),
              2 * kEach + 1);
    // Both programs wanted the new client and services: each was added once.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"),
                         {QStringLiteral("O'Brien Ana")})
                  .toInt(),
              1);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"USLUGE\" WHERE \"NAZIV\" IN "
                                        "('Šišanje', 'Pranje kose')"))
                  .toInt(),
              2);
    EXPECT_EQ(
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\"")).toInt(), 0);
}

TEST_F(PlannerZodractlTest, SendCopiesTheBillAndSignalsTheRunningProgram) {
    const ScopedEnv tmp("TMPDIR", m_dir.path());
    const QString config = m_dir.filePath(QStringLiteral("ZodraConfig.cfg"));
    const ScopedEnv workstation("ZODRA_CONFIG", config);
    const QString target = m_dir.filePath(QStringLiteral("dolazni racun.xml"));
    workstationconfig::Write(config, QStringLiteral("Planer - datoteka računa"), target);
    const QString bill = BillFile(QStringLiteral("racun.xml"), TestBill{});

    // Nobody listens: refused, and said so.
    const ZodractlRun alone =
        RunZodractl({QStringLiteral("planner-send"), QStringLiteral("--file"), bill});
    EXPECT_EQ(alone.exitCode, 1);
    EXPECT_TRUE(alone.err.startsWith(
        QStringLiteral("Program Zodra nije pokrenut: poruku planera nema tko primiti (")))
        << alone.err.toStdString();

    QLocalServer server;
    ASSERT_TRUE(server.listen(planner::ServerName())) << server.errorString().toStdString();
    QFile::remove(target);
    QProcess sender;
    sender.start(QStringLiteral(ZODRACTL_PATH),
                 {QStringLiteral("planner-send"), QStringLiteral("--file"), bill});
    ASSERT_TRUE(server.waitForNewConnection(30000));
    QLocalSocket* socket = server.nextPendingConnection();
    ASSERT_NE(socket, nullptr);
    QByteArray received;
    while (socket->state() == QLocalSocket::ConnectedState && socket->waitForReadyRead(10000)) {
        received += socket->readAll();
    }
    received += socket->readAll();
    EXPECT_EQ(received, planner::SignalMessage().toLatin1());
    ASSERT_TRUE(sender.waitForFinished(30000));
    EXPECT_EQ(sender.exitCode(), 0) << sender.readAllStandardError().toStdString();
    QFile copied(target);
    ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
    EXPECT_EQ(copied.readAll(), BillXml(TestBill{}));
}

}  // namespace
