#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "app/CompanyConfig.h"
#include "app/Users.h"
#include "app/WorkstationConfig.h"
#include "app/ui/CompanyDataDialog.h"
#include "app/ui/ConfigurationDialog.h"
#include "app/ui/UsersWindow.h"
#include "data/Database.h"
#include "data/Paths.h"
#include "pos/PosDevice.h"
#include "support/PseudoTerminal.h"
#include "support/WindowTest.h"

using namespace zodra;
using namespace zodra::ui;

namespace {

int RowOf(QTableWidget* grid, const QString& name) {
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->text() == name) {
            return r;
        }
    }
    return -1;
}

}  // namespace

class ShellWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void usersGetRightsInPlaceAndPasswordsThroughADialog() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Database& db = host.CurrentSession().Db();
        UsersWindow window(host);
        window.show();
        QCOMPARE(window.Grid()->columnCount(), 1);
        host.prompter.AnswerText(QStringLiteral("Ivana"))
            .AnswerText(QStringLiteral("tajna1"))
            .AnswerText(QStringLiteral("tajna1"));
        window.AddUser();
        QCOMPARE(window.Grid()->columnCount(), 2);
        QCOMPARE(window.CurrentUser(), QStringLiteral("Ivana"));
        // Stored as a hash, never as typed.
        const QString stored =
            db.Scalar(QStringLiteral(
                          "SELECT \"Password\" FROM \"KORISNICI\" WHERE \"Username\" = 'Ivana'"))
                .toString();
        QVERIFY(!stored.isEmpty());
        QVERIFY(!stored.contains(QStringLiteral("tajna1")));
        QVERIFY(users::CheckLogin(db, QStringLiteral("Ivana"), QStringLiteral("tajna1")));
        QCOMPARE(window.Grid()->item(0, 1)->text(), QStringLiteral("postavljen"));
        // A right switched on in the grid is stored at once.
        const int primka = 3;  // row 0 is the password, then Sifarnici, Knjizenje, Primka
        QCOMPARE(window.Grid()->verticalHeaderItem(primka)->text(), QStringLiteral("Primka"));
        window.Grid()->item(primka, 1)->setCheckState(Qt::Checked);
        QVERIFY(users::ApplyUserRights(db, QStringLiteral("Ivana"))
                    .commandEnabled.at(QStringLiteral("Knjizenje_primka")));
        // Two different answers change nothing.
        host.prompter.AnswerText(QStringLiteral("nova1")).AnswerText(QStringLiteral("nova2"));
        window.ChangePassword();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Upisani passwordi nisu jednaki. Password nije promijenjen."));
        QVERIFY(users::CheckLogin(db, QStringLiteral("Ivana"), QStringLiteral("tajna1")));
        // The administrator stays.
        QVERIFY(window.SelectUser(QStringLiteral("admin")));
        host.prompter.AnswerYes();
        window.DeleteUser();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Korisnika admin ne možete izbrisati"));
        QVERIFY(window.SelectUser(QStringLiteral("Ivana")));
        host.prompter.AnswerYes();
        window.DeleteUser();
        QCOMPARE(host.prompter.Shown().last(),
                 QStringLiteral("Sigurno želite izbrisati korisnika Ivana ?"));
        QCOMPARE(window.Grid()->columnCount(), 1);
    }

    void configurationChangesOnlyValues() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Database& db = host.CurrentSession().Db();
        const QString workstation = paths::WorkstationConfigFile();
        workstationconfig::Load(workstation);
        ConfigurationDialog dialog(db, host.prompter, workstation);
        dialog.show();
        QTableWidget* company = dialog.CompanyGrid();
        const int row = RowOf(company, QStringLiteral("Vođenje skladišta"));
        QVERIFY(row >= 0);
        QVERIFY(!(company->item(row, 0)->flags() & Qt::ItemIsEditable));
        Q_EMIT company->cellDoubleClicked(row, 0);
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Mijenjati možete samo polje vrijednosti."));
        company->item(row, 1)->setText(QStringLiteral("Prosječna cijena"));
        QCOMPARE(companyconfig::Value(db, QStringLiteral("Vođenje skladišta")),
                 QStringLiteral("Prosječna cijena"));
        QTableWidget* grid = dialog.WorkstationGrid();
        const int zoom = RowOf(grid, QStringLiteral("Report Zoom"));
        QVERIFY(zoom >= 0);
        grid->item(zoom, 1)->setText(QStringLiteral("150"));
        QCOMPARE(workstationconfig::Load(workstation).reportZoom, 150);
    }

    void theTestButtonPrintsOnThePrinterAsTheGridNowSetsIt() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        const QString workstation = paths::WorkstationConfigFile();
        workstationconfig::Load(workstation);
        ConfigurationDialog dialog(host.CurrentSession().Db(), host.prompter, workstation);
        dialog.show();
        auto* button = dialog.findChild<QPushButton*>(QStringLiteral("TestPos"));
        QVERIFY(button);
        button->click();
        QCOMPARE(host.prompter.LastMessage(), pos::NoPrinterText());

        test::PseudoTerminal printer;
        QVERIFY(!printer.Path().isEmpty());
        QTableWidget* grid = dialog.WorkstationGrid();
        auto set = [&](const QString& key, const QString& value) {
            const int row = RowOf(grid, key);
            QVERIFY(row >= 0);
            grid->item(row, 1)->setText(value);
        };
        set(QStringLiteral("POS Printer"), QStringLiteral("DA"));
        set(QStringLiteral("POS Printer Port"), printer.Path());
        set(QStringLiteral("POS Code Page"), QStringLiteral("852"));
        set(QStringLiteral("POS Printer Code Page Select"), QStringLiteral("NE"));
        set(QStringLiteral("POS Printer Line Feed Number"), QStringLiteral("0"));
        button->click();
        QCOMPARE(host.prompter.LastMessage(),
                 QStringLiteral("Probni ispis je poslan na POS printer."));
        const QByteArray received = printer.Received();
        // No character table command ("NE"), the letters in code page 852.
        QVERIFY2(received.startsWith("TEST POS PRINTERA\n"), received.constData());
        QVERIFY(received.contains("\xE6\xD1\xAC\x8F\xA6 \xE7\xD0\x9F\x86\xA7\n"));
        QVERIFY(received.endsWith(QByteArray(40, '=') + '\n'));
    }

    void companyDataNeedsANameAndAnAccountAndAppliesR2AtOnce() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        Database& db = host.CurrentSession().Db();
        CompanyDataDialog dialog(db, host.prompter, nullptr, &host);
        dialog.show();
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Naziv mora biti upisan."));
        qobject_cast<QLineEdit*>(dialog.Field(QStringLiteral("NAZIV")))
            ->setText(QStringLiteral("Obrt Ana"));
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(), QStringLiteral("Žiro račun mora biti upisan."));
        qobject_cast<QLineEdit*>(dialog.Field(QStringLiteral("ZIRO_RACUN")))
            ->setText(QStringLiteral("HR99"));
        qobject_cast<QComboBox*>(dialog.Field(QStringLiteral("OZNAKA_NA_RACUNU")))
            ->setCurrentText(QStringLiteral("R-2"));
        QCOMPARE(host.optionReloads, 0);
        QVERIFY(dialog.Accept());
        QCOMPARE(host.optionReloads, 1);
        QCOMPARE(db.Scalar(QStringLiteral("SELECT \"OZNAKA_NA_RACUNU\" FROM \"PODACI_FIRME\""))
                     .toString(),
                 QStringLiteral("R-2"));
    }
};

ZODRA_WINDOW_TEST_MAIN(ShellWindowsTest)
#include "ShellWindowsTest.moc"
