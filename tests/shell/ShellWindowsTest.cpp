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

using namespace Qt::StringLiterals;

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
        host.prompter.AnswerText(u"Ivana"_s).AnswerText(u"tajna1"_s).AnswerText(u"tajna1"_s);
        window.AddUser();
        QCOMPARE(window.Grid()->columnCount(), 2);
        QCOMPARE(window.CurrentUser(), u"Ivana"_s);
        // Stored as a hash, never as typed.
        const QString stored =
            db.Scalar(u"SELECT \"Password\" FROM \"KORISNICI\" WHERE \"Username\" = 'Ivana'"_s)
                .toString();
        QVERIFY(!stored.isEmpty());
        QVERIFY(!stored.contains(u"tajna1"_s));
        QVERIFY(users::CheckLogin(db, u"Ivana"_s, u"tajna1"_s));
        QCOMPARE(window.Grid()->item(0, 1)->text(), u"postavljen"_s);
        // A right switched on in the grid is stored at once.
        const int primka = 3;  // row 0 is the password, then Sifarnici, Knjizenje, Primka
        QCOMPARE(window.Grid()->verticalHeaderItem(primka)->text(), u"Primka"_s);
        window.Grid()->item(primka, 1)->setCheckState(Qt::Checked);
        QVERIFY(users::ApplyUserRights(db, u"Ivana"_s).commandEnabled.at(u"Knjizenje_primka"_s));
        // Two different answers change nothing.
        host.prompter.AnswerText(u"nova1"_s).AnswerText(u"nova2"_s);
        window.ChangePassword();
        QCOMPARE(host.prompter.LastMessage(),
                 u"Upisani passwordi nisu jednaki. Password nije promijenjen."_s);
        QVERIFY(users::CheckLogin(db, u"Ivana"_s, u"tajna1"_s));
        // The administrator stays.
        QVERIFY(window.SelectUser(u"admin"_s));
        host.prompter.AnswerYes();
        window.DeleteUser();
        QCOMPARE(host.prompter.LastMessage(), u"Korisnika admin ne možete izbrisati"_s);
        QVERIFY(window.SelectUser(u"Ivana"_s));
        host.prompter.AnswerYes();
        window.DeleteUser();
        QCOMPARE(host.prompter.Shown().last(), u"Sigurno želite izbrisati korisnika Ivana ?"_s);
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
        const int row = RowOf(company, u"Vođenje skladišta"_s);
        QVERIFY(row >= 0);
        QVERIFY(!(company->item(row, 0)->flags() & Qt::ItemIsEditable));
        Q_EMIT company->cellDoubleClicked(row, 0);
        QCOMPARE(host.prompter.LastMessage(), u"Mijenjati možete samo polje vrijednosti."_s);
        company->item(row, 1)->setText(u"Prosječna cijena"_s);
        QCOMPARE(companyconfig::Value(db, u"Vođenje skladišta"_s), u"Prosječna cijena"_s);
        QTableWidget* grid = dialog.WorkstationGrid();
        const int zoom = RowOf(grid, u"Report Zoom"_s);
        QVERIFY(zoom >= 0);
        grid->item(zoom, 1)->setText(u"150"_s);
        QCOMPARE(workstationconfig::Load(workstation).reportZoom, 150);
    }

    void theTestButtonPrintsOnThePrinterAsTheGridNowSetsIt() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        const QString workstation = paths::WorkstationConfigFile();
        workstationconfig::Load(workstation);
        ConfigurationDialog dialog(host.CurrentSession().Db(), host.prompter, workstation);
        dialog.show();
        auto* button = dialog.findChild<QPushButton*>(u"TestPos"_s);
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
        set(u"POS Printer"_s, u"DA"_s);
        set(u"POS Printer Port"_s, printer.Path());
        set(u"POS Code Page"_s, u"852"_s);
        set(u"POS Printer Code Page Select"_s, u"NE"_s);
        set(u"POS Printer Line Feed Number"_s, u"0"_s);
        button->click();
        QCOMPARE(host.prompter.LastMessage(), u"Probni ispis je poslan na POS printer."_s);
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
        QCOMPARE(host.prompter.LastMessage(), u"Naziv mora biti upisan."_s);
        qobject_cast<QLineEdit*>(dialog.Field(u"NAZIV"_s))->setText(u"Obrt Ana"_s);
        QVERIFY(!dialog.Accept());
        QCOMPARE(host.prompter.LastMessage(), u"Žiro račun mora biti upisan."_s);
        qobject_cast<QLineEdit*>(dialog.Field(u"ZIRO_RACUN"_s))->setText(u"HR99"_s);
        qobject_cast<QComboBox*>(dialog.Field(u"OZNAKA_NA_RACUNU"_s))->setCurrentText(u"R-2"_s);
        QCOMPARE(host.optionReloads, 0);
        QVERIFY(dialog.Accept());
        QCOMPARE(host.optionReloads, 1);
        QCOMPARE(db.Scalar(u"SELECT \"OZNAKA_NA_RACUNU\" FROM \"PODACI_FIRME\""_s).toString(),
                 u"R-2"_s);
    }
};

ZODRA_WINDOW_TEST_MAIN(ShellWindowsTest)
#include "ShellWindowsTest.moc"
