// The planner's link in a running program (the window-test host): zodractl planner-send copies
// the bill and signals, the bill is imported once and the printer's answer shown; a malformed
// bill, a signal with no company open and a connection saying something else change nothing;
// one program listens, a stale name is taken over, a sender without a listener is refused.

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>

#include "app/WorkstationConfig.h"
#include "data/Database.h"
#include "planner/PlannerImport.h"
#include "planner/PlannerTestBill.h"
#include "planner/ui/PlannerListener.h"
#include "pos/PosDevice.h"
#include "support/WindowTest.h"
#include "support/Zodractl.h"

using namespace zodra;
using namespace zodra::planner;

class PlannerListenerTest : public QObject {
    Q_OBJECT
    test::WindowTestFolder m_folder;
    QString m_bill = m_folder.Path(QStringLiteral("dolazni racun.xml"));

    // zodractl planner-send --file (a bill with `edits`), waited for by the listener.
    void Send(PlannerListener& listener, const test::ExampleEdits& edits = {}) {
        QFile file(m_folder.Path(QStringLiteral("poslani.xml")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(test::ExampleBill(edits));
        file.close();
        QSignalSpy handled(&listener, &PlannerListener::SignalHandled);
        QProcess sender;
        sender.start(QStringLiteral(ZODRACTL_PATH),
                     {QStringLiteral("planner-send"), QStringLiteral("--file"), file.fileName()});
        QVERIFY(handled.wait(30000));
        QTRY_VERIFY_WITH_TIMEOUT(sender.state() == QProcess::NotRunning, 30000);
        QCOMPARE(sender.exitCode(), 0);
    }

private Q_SLOTS:
    void initTestCase() {
        // The socket's file and the workstation's settings are the test's own, for this program
        // and the senders it starts.
        qputenv("TMPDIR", m_folder.Path(QString()).toLocal8Bit());
        const QString config = m_folder.Path(QStringLiteral("ZodraConfig.cfg"));
        qputenv("ZODRA_CONFIG", config.toLocal8Bit());
        workstationconfig::Write(config, QStringLiteral("Planer - datoteka računa"), m_bill);
    }

    void aSignalImportsTheBillOnce() {
        const test::ZodractlRun alone = test::RunZodractl({QStringLiteral("planner-send")});
        QCOMPARE(alone.exitCode, 1);
        QVERIFY(alone.err.startsWith(
            QStringLiteral("Program Zodra nije pokrenut: poruku planera nema tko primiti (")));

        test::TestHost host(m_folder);
        Database& db = host.CurrentSession().Db();
        db.Exec(QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"NAZIV\") VALUES ('Maestro')"));
        host.CurrentSession().workstation.plannerBillPath = m_bill;
        PlannerListener listener(host);
        QVERIFY(listener.Start());
        QSignalSpy handled(&listener, &PlannerListener::SignalHandled);
        QLocalSocket other;  // a connection that says something else is not a signal
        other.connectToServer(ServerName());
        QVERIFY(other.waitForConnected(5000));
        other.write("HELLO");
        QVERIFY(other.waitForBytesWritten(5000));

        Send(listener);
        QCOMPARE(handled.count(), 1);
        const int number =
            db.Scalar(QStringLiteral("SELECT \"BROJ_RACUNA\" FROM \"PLANER_RACUNI\"")).toInt();
        QCOMPARE(host.statusTexts.last(),
                 QStringLiteral(" Planer: uvezen je račun broj %1.").arg(number));
        // No receipt printer here: the register's routine says so, the invoice stays.
        QCOMPARE(host.prompter.Messages(), QStringList{pos::NoPrinterText()});

        Send(listener);
        QCOMPARE(listener.LastOutcome(), QLatin1Char(' ') + AlreadyImportedMessage(number));
        Send(listener, {{"</Racun>", ""}});
        QCOMPARE(listener.LastOutcome(), QStringLiteral(" Planer: račun nije uvezen."));
        QVERIFY(host.prompter.LastMessage().startsWith(
            QStringLiteral("Račun planera: datoteka nije ispravan XML (redak ")));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt(), 1);
    }

    void oneProgramListensAStaleNameIsTakenOverAndNoCompanyKeepsTheBill() {
        test::TestHost host(m_folder, 1, QStringLiteral("zatvoreno.mdb"));
        host.CurrentSession().Close();  // the main window before a company is opened
        {
            PlannerListener running(host);
            QVERIFY(running.Start());
            PlannerListener another(host);
            QVERIFY(!another.Start());
            QCOMPARE(host.statusTexts, QStringList{PlannerListener::OtherProgramText()});
            QVERIFY(running.Listening());
        }
        QFile stale(m_folder.Path(ServerName()));  // left by a program that ended badly
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        PlannerListener next(host);
        QVERIFY(next.Start());
        // With no company open the signal is answered in the status bar and the bill waits.
        Send(next);
        QCOMPARE(host.statusTexts.last(), PlannerListener::NoCompanyText());
        QCOMPARE(host.statusTexts.size(), 2);
        QVERIFY(host.prompter.Shown().isEmpty());
        QFile kept(m_bill);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), test::ExampleBill());
    }
};

ZODRA_WINDOW_TEST_MAIN(PlannerListenerTest)
#include "PlannerListenerTest.moc"
