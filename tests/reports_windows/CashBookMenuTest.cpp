#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "app/ui/LoginDialog.h"
#include "app/ui/ShellCommands.h"
#include "app/ui/WarehouseChoiceDialog.h"
#include "app/ui/ZodraMain.h"
#include "cashbook/CashBook.h"
#include "cashbook/ui/CashBookCommands.h"
#include "cashbook/ui/CashVoucherListWindow.h"
#include "data/Database.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"

using namespace zodra;
using zodra::test::WhenShown;

// The cash book from the real main window's menu: open a company, the voucher lists and the
// cash-book report, as a user would reach them.
class CashBookMenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theMenuOpensTheListsAndTheReport() {
        test::WindowTestFolder folder;
        const QString company = folder.NewCompany();
        {
            auto db = Database::Open(company, QString()).db;
            db->ExecRaw(
                QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", "
                               "\"ADRESA\", \"TELEFON\") VALUES (1, 'Veleprodaja', 'A', "
                               "'1')"));
            for (int i = 1; i <= 3; ++i) {
                cashbook::InsertVoucher(
                    *db, cashbook::VoucherKind::Receipt, 1, QDate::currentDate().year(),
                    {i, QDate(QDate::currentDate().year(), 1, i), QStringLiteral("Kupac %1").arg(i),
                     QStringLiteral("Račun"), 100.0 * i, QString()});
            }
        }
        QSettings settings(folder.SettingsFile(), QSettings::IniFormat);
        ScriptedPrompter prompter;
        ui::CommandRegistry registry;
        ui::RegisterShellCommands(registry);
        cashbook::ui::RegisterCashBookCommands(registry);
        ui::ZodraMain main(registry, settings, &prompter);
        main.show();
        WhenShown<ui::LoginDialog>([](ui::LoginDialog* d) {
            d->NameField()->setText(QStringLiteral("admin"));
            d->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        WhenShown<ui::WarehouseChoiceDialog>([](ui::WarehouseChoiceDialog* d) {
            QVERIFY(d->Choose(1));
            d->findChild<QPushButton*>(QStringLiteral("Prihvati"))->click();
        });
        QVERIFY(main.OpenCompany(company));

        main.Action(QStringLiteral("Blag_izv_Uplatnice"))->trigger();
        auto* list = qobject_cast<cashbook::ui::CashVoucherListWindow*>(
            main.Area()->activeSubWindow()->widget());
        QVERIFY(list);
        QCOMPARE(main.Area()->activeSubWindow()->windowTitle(), QStringLiteral("Uplatnice"));
        QCOMPARE(list->Grid()->rowCount(), 3);
        QCOMPARE(main.StatusText(), QStringLiteral(" Blagajničke uplatnice"));

        main.Action(QStringLiteral("Blag_izv_Isplatnice"))->trigger();
        QCOMPARE(main.Area()->activeSubWindow()->windowTitle(), QStringLiteral("Isplatnice"));

        WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) { d->Accept(); });
        main.Action(QStringLiteral("Blag_izv1"))->trigger();
        auto* report =
            qobject_cast<reports::ui::ReportWindow*>(main.Area()->activeSubWindow()->widget());
        QVERIFY(report);
        QCOMPARE(main.Area()->activeSubWindow()->windowTitle(),
                 QStringLiteral("Blagajnički izvještaj"));
        QVERIFY(main.Area()->activeSubWindow()->isMaximized());
        QCOMPARE(report->PageCount(), 1);
        QCOMPARE(main.StatusText(), QStringLiteral(" Blagajnički izvještaj"));
        QVERIFY(main.CloseCompany(false));
    }
};

ZODRA_WINDOW_TEST_MAIN(CashBookMenuTest)
#include "CashBookMenuTest.moc"
