// The planner's local socket in a running program (the window-test host): a signal imports the
// bill and shows the printer's answer; the same bill again, a malformed bill, a signal with no
// company open, a connection that says something else; a second program and a stale socket.

#include <QFile>
#include <QLocalSocket>
#include <QSignalSpy>

#include "PlannerTestBill.h"
#include "data/Database.h"
#include "data/Session.h"
#include "planner/PlannerImport.h"
#include "planner/ui/PlannerListener.h"
#include "pos/PosDevice.h"
#include "support/WindowTest.h"

using namespace zodra;
using namespace zodra::planner;

namespace {

// A main window before any company is opened.
class ClosedHost : public ui::WindowHost {
public:
    Session& CurrentSession() override { return session; }
    Prompter& UserPrompter() override { return prompter; }
    QWidget* DialogParent() override { return nullptr; }
    QMdiSubWindow* ShowWindow(QWidget*, const QString&) override { return nullptr; }
    QWidget* FindWindow(const QString&) override { return nullptr; }
    void SetStatusText(const QString& text) override { statusTexts << text; }
    void RefillWarehouses() override {}
    void ReloadCompanyOptions() override {}
    void RunCommand(const QString&) override {}
    Session session;
    ScriptedPrompter prompter;
    QStringList statusTexts;
};

bool Signal(const QByteArray& message) {
    QLocalSocket socket;
    socket.connectToServer(ServerName());
    if (!socket.waitForConnected(5000)) {
        return false;
    }
    socket.write(message);
    socket.waitForBytesWritten(5000);
    socket.disconnectFromServer();
    return true;
}

}  // namespace

class PlannerListenerTest : public QObject {
    Q_OBJECT

private:
    test::WindowTestFolder m_folder;
    QString BillPath() const { return m_folder.Path(QStringLiteral("racun.xml")); }
    void WriteBill(const QByteArray& xml) {
        QFile file(BillPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(xml);
    }

private Q_SLOTS:
    void initTestCase() {
        // The socket's file lives in the temporary folder: the test's own, apart from any
        // program running on this machine.
        qputenv("TMPDIR", m_folder.Path(QString()).toLocal8Bit());
    }

    void signalImportsTheBillOnce() {
        test::TestHost host(m_folder);
        Database& db = host.CurrentSession().Db();
        db.Exec(QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"NAZIV\") VALUES ('Maestro')"));
        host.CurrentSession().workstation.plannerBillPath = BillPath();
        WriteBill(test::BillXml(test::TestBill{}));
        PlannerListener listener(host);
        QVERIFY(listener.Start());
        QSignalSpy handled(&listener, &PlannerListener::SignalHandled);

        QVERIFY(Signal(SignalMessage().toLatin1()));
        QVERIFY(handled.wait(10000));
        const int number =
            db.Scalar(QStringLiteral("SELECT \"BROJ_RACUNA\" FROM \"PLANER_RACUNI\"")).toInt();
        QVERIFY(number > 0);
        QCOMPARE(listener.LastOutcome(),
                 QStringLiteral(" Planer: uvezen je račun broj %1.").arg(number));
        QCOMPARE(host.statusTexts.last(), listener.LastOutcome());
        QCOMPARE(db.Scalar(QStringLiteral("SELECT ROUND(SUM(\"Iznos\"), 2) FROM \"NAPLATA\" WHERE "
                                          "\"Broj računa\" = ? AND \"Tip\" = 'kartica'"),
                           {number})
                     .toDouble(),
                 110.63);
        // No receipt printer on this workstation: the register's routine says so; the invoice
        // stays.
        QCOMPARE(host.prompter.LastMessage(), pos::NoPrinterText());

        // A connection that says something else is not a signal; the planner's second signal
        // for the same bill writes nothing.
        QVERIFY(Signal("HELLO"));
        QTest::qWait(300);
        QCOMPARE(handled.count(), 1);
        QVERIFY(Signal(SignalMessage().toLatin1() + "\n"));
        QVERIFY(handled.wait(10000));
        QCOMPARE(handled.count(), 2);
        QCOMPARE(listener.LastOutcome(), QLatin1Char(' ') + AlreadyImportedMessage(number));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt(), 1);

        // A bill cut short: refused with its message, nothing written.
        const QByteArray good = test::BillXml(test::TestBill{});
        WriteBill(good.left(good.indexOf("<Usluge>")));
        host.prompter.Clear();
        QVERIFY(Signal(SignalMessage().toLatin1()));
        QVERIFY(handled.wait(10000));
        QCOMPARE(listener.LastOutcome(), QStringLiteral(" Planer: račun nije uvezen."));
        QVERIFY(host.prompter.LastMessage().startsWith(
            QStringLiteral("Račun planera: datoteka nije ispravan XML (redak ")));
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt(), 1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PLANER_RACUNI\"")).toInt(), 1);
    }

    void noCompanyKeepsTheBill() {
        ClosedHost host;
        WriteBill(test::BillXml(test::TestBill{}));
        PlannerListener listener(host);
        QVERIFY(listener.Start());
        QSignalSpy handled(&listener, &PlannerListener::SignalHandled);
        QVERIFY(Signal(SignalMessage().toLatin1()));
        QVERIFY(handled.wait(10000));
        QCOMPARE(host.statusTexts, QStringList{PlannerListener::NoCompanyText()});
        QVERIFY(host.prompter.Shown().isEmpty());
        QFile kept(BillPath());
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), test::BillXml(test::TestBill{}));
    }

    void oneProgramListensAndAStaleSocketIsTakenOver() {
        ClosedHost first;
        ClosedHost second;
        {
            PlannerListener running(first);
            QVERIFY(running.Start());
            PlannerListener another(second);
            QVERIFY(!another.Start());
            QCOMPARE(second.statusTexts, QStringList{PlannerListener::OtherProgramText()});
            QVERIFY(running.Listening());
        }
        // A program that ended without closing its socket left the name behind.
        QFile stale(m_folder.Path(ServerName()));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();
        ClosedHost third;
        PlannerListener next(third);
        QVERIFY(next.Start());
        QVERIFY(third.statusTexts.isEmpty());
        QVERIFY(Signal(SignalMessage().toLatin1()));
    }
};

ZODRA_WINDOW_TEST_MAIN(PlannerListenerTest)
#include "PlannerListenerTest.moc"
