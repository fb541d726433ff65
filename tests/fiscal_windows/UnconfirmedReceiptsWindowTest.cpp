// "Nepotvrđeni računi" on the demo company through the program's wiring: the receipts without a
// JIR with their last error, and the retry on F5 telling in words why nothing was sent.
#include <QDateTime>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/desktop/CommandWiring.h"
#include "data/Session.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/Outbox.h"
#include "fiscal/ui/UnconfirmedReceiptsWindow.h"
#include "support/WindowTest.h"
#include "ui/DataGrid.h"
#include "ui/WindowTools.h"

using namespace zodra;

class UnconfirmedReceiptsWindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theListShowsWhatWaitsAndF5TellsWhyNothingWasSent() {
        test::DemoHost host({.commands = desktop::RegisterAllCommands});
        Database& db = host.Db();
        db.Exec(QStringLiteral("DELETE FROM \"FISKAL_RACUNI\""));
        fiscal::FiscalReceipt r;
        r.oib = QStringLiteral("12345678903");
        r.issued = QDateTime(QDate(2026, 3, 10), QTime(9, 5, 7));
        r.number = 7;
        r.premises = QStringLiteral("PP1");
        r.device = QStringLiteral("1");
        r.total = 12.5;
        r.operatorOib = QStringLiteral("69696969694");
        r.protectiveCode = QString(32, QLatin1Char('a'));
        const int id = fiscal::InsertFiscalRecord(db, {1, 1, 2026, 41, false, false}, r,
                                                  QStringLiteral("Ana"));
        const QString error = QStringLiteral("s006: Sistemska pogreška prilikom obrade zahtjeva.");
        fiscal::StoreFailure(db, id, error, QDateTime::currentDateTime());

        // Hung on the menu: the command opens it.
        QWidget* opened = host.Open(fiscal::ui::UnconfirmedReceiptsCommand());
        QVERIFY(qobject_cast<fiscal::ui::UnconfirmedReceiptsWindow*>(opened));
        QVERIFY(ui::MnemonicClashes(opened).isEmpty());

        // The window of a workstation where fiscalization is off.
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("till.ini"));
        {
            QSettings workstation(ini, QSettings::IniFormat);
            fiscal::FiscalSettings off;
            off.enabled = false;
            off.premises = QStringLiteral("PP1");
            off.device = QStringLiteral("1");
            fiscal::WriteFiscalSettings(db, workstation, off);
        }
        fiscal::ui::UnconfirmedReceiptsWindow window(host, ini);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* grid = window.findChild<ui::DataGrid*>(QStringLiteral("Racuni"));
        QVERIFY(grid);
        QCOMPARE(grid->Data().RowCount(), 1);
        QCOMPARE(grid->Data().Value(0, 0).toString(), QStringLiteral("7/PP1/1"));
        QCOMPARE(grid->Data().Value(0, 1).toInt(), 41);
        QCOMPARE(grid->Data().Value(0, 5).toInt(), 1);
        QCOMPARE(grid->Data().Value(0, 6).toString(), error);

        host.prompter.Clear();
        QTest::keyClick(grid, Qt::Key_F5);
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Fiskalizacija nije uključena."));
        QCOMPARE(grid->Data().RowCount(), 1);

        // Once the JIR is there, the list is empty and F5 has nothing to send.
        fiscal::StoreJir(db, id, QStringLiteral("12345678-1234-1234-1234-123456789012"),
                         QDateTime::currentDateTime());
        QTest::keyClick(grid, Qt::Key_F5);
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Nema nepotvrđenih računa."));
        QCOMPARE(grid->Data().RowCount(), 0);
    }
};

ZODRA_WINDOW_TEST_MAIN(UnconfirmedReceiptsWindowTest)
#include "UnconfirmedReceiptsWindowTest.moc"
