#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QToolBar>
#include <memory>

#include "app/AutoBackup.h"
#include "app/Users.h"
#include "app/ui/AdministrationWindow.h"
#include "app/ui/CompanyDataDialog.h"
#include "app/ui/LoginDialog.h"
#include "app/ui/LogoLabel.h"
#include "app/ui/ShellCommands.h"
#include "app/ui/WarehouseChoiceDialog.h"
#include "app/ui/ZodraMain.h"
#include "data/CommandCatalogue.h"
#include "data/Database.h"
#include "registers/ui/RegisterWindows.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"
#include "ui/PlaceholderWindow.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::ui;
using zodra::test::WhenShown;

namespace {

// The main window on a company of its own, with a scripted prompter and its own settings.
struct Shell {
    test::WindowTestFolder folder;
    QString company = folder.NewCompany();
    QSettings settings{folder.SettingsFile(), QSettings::IniFormat};
    ScriptedPrompter prompter;
    CommandRegistry registry;
    std::unique_ptr<ZodraMain> main;

    Shell() {
        RegisterShellCommands(registry);
        Db()->ExecRaw(
            u"INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", \"TELEFON\", "
            "\"KOMISIJSKO_SKLADISTE\") VALUES (1, 'Veleprodaja', 'A', '1', 0), "
            "(2, 'Komisija', 'B', '2', 1)"_s);
    }
    void Start() {
        main = std::make_unique<ZodraMain>(registry, settings, &prompter);
        main->show();
    }
    std::unique_ptr<Database> Db(const QString& password = QString()) {
        return std::move(Database::Open(company, password).db);
    }
    int MultiuserRows() { return Db()->Scalar(u"SELECT COUNT(*) FROM \"Multiuser\""_s).toInt(); }
    QAction* A(const char* name) { return main->Action(QString::fromUtf8(name)); }
};

void AnswerLogin(const QString& name, const QString& password) {
    WhenShown<LoginDialog>([name, password](LoginDialog* d) {
        d->NameField()->setText(name);
        d->PasswordField()->setText(password);
        d->findChild<QPushButton*>(u"cmdOK"_s)->click();
    });
}

void AnswerWarehouse(int code) {
    WhenShown<WarehouseChoiceDialog>([code](WarehouseChoiceDialog* d) {
        QVERIFY(d->Choose(code));
        d->findChild<QPushButton*>(u"Prihvati"_s)->click();
    });
}

bool OpenAs(Shell& s, const QString& user, const QString& password = QString(), int warehouse = 1) {
    AnswerLogin(user, password);
    AnswerWarehouse(warehouse);
    return s.main->OpenCompany(s.company);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void beforeOpeningOnlyTheCompanyMenuAndHelpWorkAndTheBarsAreRemembered() {
        Shell s;
        s.Start();
        QCOMPARE(s.main->windowTitle(), u"Zodra"_s);
        QVERIFY(!s.A("Sifarnici")->isVisible());
        QVERIFY(!s.A("Knjizenje")->isVisible());
        QVERIFY(!s.A("Zatvori")->isVisible());
        QVERIFY(s.A("Otvori")->isVisible());
        QVERIFY(!s.A("SSCommand2")->isEnabled());
        QVERIFY(s.A("SSCommand1")->isEnabled());
        QVERIFY(!s.main->WarehouseBox()->isVisibleTo(s.main.get()));
        QCOMPARE(s.main->ToolBar()->actions().size(), 16);
        // Help is there without a company.
        s.A("SSCommand14")->trigger();
        QVERIFY(s.main->FindWindow(u"Pomoc_pomoc"_s));
        QCOMPARE(s.main->StatusText(), u" Pomoć"_s);
        // The auxiliary bars are switched off and stay off at the next start.
        QVERIFY(s.main->ToolBar()->isVisible());
        s.A("Pomoćne_trake")->trigger();
        QVERIFY(!s.main->ToolBar()->isVisible());
        QVERIFY(!s.A("Pomoćne_trake")->isChecked());
        QCOMPARE(s.settings.value(u"Opcije/PomocneTrake"_s).toString(), u"False"_s);
        s.main.reset();
        s.Start();
        QVERIFY(!s.main->ToolBar()->isVisible());
        s.A("Pomoćne_trake")->trigger();
        QVERIFY(s.main->ToolBar()->isVisible());
        QCOMPARE(s.settings.value(u"Opcije/PomocneTrake"_s).toString(), u"True"_s);
    }

    void theWrongPasswordIsAskedAgainUntilRight() {
        Shell s;
        s.Db()->SetPassword(u"tajna"_s);
        s.Start();
        // An empty answer gives up: no company is left open.
        s.prompter.AnswerText(QString());
        QVERIFY(!s.main->OpenCompany(s.company));
        QCOMPARE(s.prompter.LastMessage(), u"Nije upisan točan password."_s);
        QVERIFY(!s.main->CurrentSession().IsOpen());
        QCOMPARE(s.main->windowTitle(), u"Zodra"_s);

        s.prompter.Clear();
        s.prompter.AnswerText(u"kriva"_s).AnswerText(u"tajna"_s);
        QVERIFY(OpenAs(s, u"admin"_s));
        QCOMPARE(s.prompter.Shown().count(u"Upišite password za izabranu bazu podataka."_s), 2);
        QVERIFY(s.main->SessionActive());
        QCOMPARE(s.main->windowTitle(), s.company + u":Veleprodaja - Zodra, UserName: admin"_s);
        QCOMPARE(s.main->CurrentSession().databasePassword, u"tajna"_s);
        QVERIFY(s.A("Zatvori")->isVisible());
        QVERIFY(!s.A("Otvori")->isVisible());
        QVERIFY(!s.A("SSCommand1")->isEnabled());
        QVERIFY(s.A("SSCommand2")->isEnabled());
        QCOMPARE(s.main->WarehouseBox()->currentText(), u"Veleprodaja"_s);
    }

    void aMissingRecentFileIsDroppedFromTheList() {
        Shell s;
        const QString missing = s.folder.Path(u"nema.mdb"_s);
        s.settings.setValue(u"ZadnjeBaze/Baza1"_s, missing);
        s.settings.setValue(u"ZadnjeBaze/Baza2"_s, s.company);
        s.Start();
        QCOMPARE(s.A("Baza1")->text(), u"&1 "_s + missing);
        QVERIFY(s.A("Baza2")->isVisible());
        QVERIFY(!s.A("Baza3")->isVisible());
        s.A("Baza1")->trigger();
        QCOMPARE(s.prompter.Messages(), QStringList{u"Ove datoteke nema."_s});
        QCOMPARE(s.main->Recent(), (QStringList{s.company, QString(), QString()}));
        QCOMPARE(s.A("Baza1")->text(), u"&1 "_s + s.company);
        QVERIFY(!s.A("Baza2")->isVisible());
        QCOMPARE(QSettings(s.folder.SettingsFile(), QSettings::IniFormat)
                     .value(u"ZadnjeBaze/Baza2"_s)
                     .toString(),
                 QString());
        QVERIFY(!s.main->CurrentSession().IsOpen());
    }

    void theOpenedCompanyMovesToTheFrontOfTheRecentList() {
        Shell s;
        s.settings.setValue(u"ZadnjeBaze/Baza1"_s, u"/x/a.mdb"_s);
        s.settings.setValue(u"ZadnjeBaze/Baza2"_s, s.company);
        s.settings.setValue(u"ZadnjeBaze/Baza3"_s, u"/x/c.mdb"_s);
        s.Start();
        AnswerLogin(u"admin"_s, QString());
        AnswerWarehouse(1);
        s.A("Baza2")->trigger();
        QVERIFY(s.main->SessionActive());
        QCOMPARE(s.main->Recent(), (QStringList{s.company, u"/x/a.mdb"_s, u"/x/c.mdb"_s}));
        QCOMPARE(s.A("Baza2")->text(), u"&2 /x/a.mdb"_s);
    }

    void theLoginRefusesAnotherLetterCaseAndLetsTheUserTryAgain() {
        Shell s;
        s.Start();
        bool refusedAndKept = false;
        WhenShown<LoginDialog>([&](LoginDialog* d) {
            d->NameField()->setText(u"ADMIN"_s);
            d->findChild<QPushButton*>(u"cmdOK"_s)->click();
            refusedAndKept = d->isVisible() &&
                             s.prompter.LastMessage() == u"Neispravan username ili password."_s;
            d->NameField()->setText(u"admin"_s);
            d->findChild<QPushButton*>(u"cmdOK"_s)->click();
        });
        AnswerWarehouse(1);
        QVERIFY(s.main->OpenCompany(s.company));
        QVERIFY(refusedAndKept);
        QCOMPARE(s.main->CurrentSession().userName, u"admin"_s);
    }

    void cancellingTheLoginClosesTheCompanyCleanly() {
        Shell s;
        s.Start();
        const int before = s.MultiuserRows();
        WhenShown<LoginDialog>(
            [](LoginDialog* d) { d->findChild<QPushButton*>(u"cmdCancel"_s)->click(); });
        QVERIFY(!s.main->OpenCompany(s.company));
        QVERIFY(!s.main->CurrentSession().IsOpen());
        QVERIFY(!s.main->SessionActive());
        QVERIFY(s.main->CurrentSession().databasePath.isEmpty());
        QVERIFY(s.main->CurrentSession().userName.isEmpty());
        QCOMPARE(s.main->windowTitle(), u"Zodra"_s);
        QCOMPARE(s.MultiuserRows(), before);
        QVERIFY(!s.A("Knjizenje")->isVisible());
        QVERIFY(s.prompter.Messages().isEmpty());
    }

    void rightsSwitchTheCommandsOfTheUser() {
        Shell s;
        {
            auto db = s.Db();
            users::AddUser(*db, u"Marko"_s, u"m1"_s, true);
            users::SetRight(*db, u"Marko"_s, u"Primka"_s, false);
        }
        s.Start();
        QVERIFY(OpenAs(s, u"Marko"_s, u"m1"_s));
        // The states themselves are the command table's; the window applies them.
        QVERIFY(!s.A("Knjizenje_primka")->isEnabled());
        QVERIFY(!s.A("SSCommand6")->isEnabled());
        QVERIFY(s.A("Knjizenje_racun")->isEnabled());
        QVERIFY(!s.A("Sifarnici_Korisnici")->isVisible());
        QVERIFY(!s.A("Odrzavanje_baze_podataka")->isEnabled());
        Q_EMIT qobject_cast<LogoLabel*>(s.main->LogoPicture())->doubleClicked();
        QVERIFY(!s.main->FindWindow(u"Administracija"_s));
        // A command a right switched off does not run from code either.
        s.main->RunCommand(u"Knjizenje_primka"_s);
        QVERIFY(s.main->Area()->subWindowList().isEmpty());
        // The session keeps the rights the document windows read.
        QVERIFY(s.main->CurrentSession().rights.registerZReportAllowed);
    }

    void theAdministratorGetsMaintenanceUsersAndAdministration() {
        Shell s;
        s.Start();
        QVERIFY(OpenAs(s, u"admin"_s));
        QVERIFY(s.A("Sifarnici_Korisnici")->isVisible());
        QVERIFY(s.A("Odrzavanje_baze_podataka")->isEnabled());
        Q_EMIT qobject_cast<LogoLabel*>(s.main->LogoPicture())->doubleClicked();
        auto* admin = qobject_cast<AdministrationWindow*>(s.main->FindWindow(u"Administracija"_s));
        QVERIFY(admin);
        admin->Sql()->setPlainText(u"SELECT \"NAZIV\" FROM \"SKLADISTA\" ORDER BY 1"_s);
        admin->ExecuteQuery();
        QCOMPARE(admin->Outcome(), u"Redaka: 2"_s);
        s.A("Sifarnici_Korisnici")->trigger();
        QVERIFY(s.main->FindWindow(u"Sifarnici_Korisnici"_s));
        // A command without its window says it is not available.
        s.A("Pregledi_racuni")->trigger();
        auto* placeholder =
            qobject_cast<PlaceholderWindow*>(s.main->FindWindow(u"Pregledi_racuni"_s));
        QVERIFY(placeholder);
        QCOMPARE(placeholder->windowTitle(), u"Računi"_s);
        QCOMPARE(placeholder->findChild<QLabel*>(u"placeholderText"_s)->text(),
                 commands::NotAvailableText());
        QCOMPARE(s.main->StatusText(), u" Pregled računa"_s);
        // The till only in a retail warehouse.
        s.A("Knjizenje_kasa")->trigger();
        QCOMPARE(s.prompter.LastMessage(),
                 u"Ovo nije maloprodajno skladište i nije dozvoljena izrada "
                 "maloprodajnog računa."_s);
        QVERIFY(!s.main->FindWindow(u"Knjizenje_kasa"_s));
    }

    void changingTheWarehouseClosesWindowsAndReadsItsFlags() {
        Shell s;
        s.Start();
        QVERIFY(OpenAs(s, u"admin"_s));
        QVERIFY(!s.A("Knjizenje_odjava")->isVisible());
        s.main->RunCommand(u"Pregledi_racuni"_s);
        QCOMPARE(s.main->Area()->subWindowList().size(), 1);
        // The same warehouse again changes nothing.
        Q_EMIT s.main->WarehouseBox()->activated(s.main->WarehouseBox()->findData(1));
        QCOMPARE(s.main->Area()->subWindowList().size(), 1);
        Q_EMIT s.main->WarehouseBox()->activated(s.main->WarehouseBox()->findData(2));
        test::Settle();
        QVERIFY(s.main->Area()->subWindowList().isEmpty());
        QCOMPARE(s.main->CurrentSession().activeWarehouse.code, 2);
        QVERIFY(s.main->CurrentSession().warehouseFlags.commission);
        QVERIFY(s.A("Knjizenje_odjava")->isVisible());
        QVERIFY(s.A("Pregledi_odjave")->isVisible());
        QCOMPARE(s.main->windowTitle(), s.company + u":Komisija - Zodra, UserName: admin"_s);
    }

    void windowsStayInsideTheAreaAreRememberedPerUserAndListed() {
        Shell s;
        s.Start();
        s.main->resize(900, 700);
        QVERIFY(OpenAs(s, u"admin"_s));
        QMdiArea* area = s.main->Area();
        const QRect room = area->viewport()->rect();
        s.A("Pregledi_racuni")->trigger();
        QMdiSubWindow* sub = area->activeSubWindow();
        QVERIFY(sub);
        QVERIFY(room.contains(sub->geometry()));
        QCOMPARE(s.main->StatusText(), u" Pregled računa"_s);
        // Moved and resized, closed: the status bar is cleared, and the window comes back
        // where the user left it.
        sub->setGeometry(30, 40, 300, 200);
        sub->close();
        test::Settle();
        QVERIFY(area->subWindowList().isEmpty());
        QCOMPARE(s.main->StatusText(), QString());
        QCOMPARE(s.settings.value(u"Prozori/admin/Pregledi_racuni"_s).toRect(),
                 QRect(30, 40, 300, 200));
        s.A("Pregledi_racuni")->trigger();
        QCOMPARE(area->activeSubWindow()->geometry(), QRect(30, 40, 300, 200));
        area->activeSubWindow()->close();
        test::Settle();

        // A place remembered on a larger screen, or a window larger than the area, is brought
        // wholly inside.
        for (const QRect& remembered : {QRect(5000, 4000, 300, 200), QRect(-50, -80, 5000, 5000)}) {
            s.settings.setValue(u"Prozori/admin/Pregledi_racuni"_s, remembered);
            s.A("Pregledi_racuni")->trigger();
            QVERIFY(area->activeSubWindow());
            const QRect shown = area->activeSubWindow()->geometry();
            QVERIFY2(room.contains(shown), qPrintable(u"%1,%2 %3x%4"_s.arg(shown.x())
                                                          .arg(shown.y())
                                                          .arg(shown.width())
                                                          .arg(shown.height())));
            area->activeSubWindow()->close();
            test::Settle();
        }

        // "Prozori" lists the open windows; choosing one brings it to the front.
        s.settings.remove(u"Prozori"_s);
        s.A("Pregledi_racuni")->trigger();
        s.A("Pregledi_otpremnice")->trigger();
        QMenu* windows = s.main->MenuOf(u"Prozori"_s);
        Q_EMIT windows->aboutToShow();
        auto* first = windows->findChild<QAction*>(u"Prozor_1"_s);
        auto* second = windows->findChild<QAction*>(u"Prozor_2"_s);
        QVERIFY(first && second);
        QCOMPARE(first->text(), u"&1 Računi"_s);
        QCOMPARE(second->text(), u"&2 Otpremnice"_s);
        QVERIFY(!first->isChecked());
        QVERIFY(second->isChecked());
        first->trigger();
        QCOMPARE(area->activeSubWindow()->widget()->objectName(), u"Pregledi_racuni"_s);
        // Listed again, the closed one is gone.
        area->activeSubWindow()->close();
        test::Settle();
        Q_EMIT windows->aboutToShow();
        QStringList listed;
        for (QAction* a : windows->actions()) {
            if (a->objectName().startsWith(u"Prozor_"_s)) {
                listed << a->text();
            }
        }
        QCOMPARE(listed, QStringList{u"&1 Otpremnice"_s});
    }

    void onlyTheToolBarButtonMakesTheAutomaticBackup() {
        Shell s;
        s.Db()->ExecRaw(u"UPDATE \"PODACI_FIRME\" SET \"AutoBackup\" = 1"_s);
        const QString backup = autobackup::TargetPath(s.company, QDate::currentDate());
        s.Start();
        QVERIFY(OpenAs(s, u"admin"_s));
        s.A("Zatvori")->trigger();
        QVERIFY(!s.main->CurrentSession().IsOpen());
        QCOMPARE(s.main->StatusText(), u" Zatvaranje poduzeća"_s);
        QVERIFY(!QFile::exists(backup));
        QVERIFY(OpenAs(s, u"admin"_s));
        s.A("SSCommand2")->trigger();
        QVERIFY(!s.main->CurrentSession().IsOpen());
        QVERIFY(QFile::exists(backup));
        QCOMPARE(s.main->windowTitle(), u"Zodra"_s);
    }

    void exitAsksAndReleasesTheSession() {
        Shell s;
        s.Start();
        const int before = s.MultiuserRows();
        QVERIFY(OpenAs(s, u"admin"_s));
        QCOMPARE(s.MultiuserRows(), before + 3);
        s.prompter.AnswerNo();
        QVERIFY(!s.main->close());
        QCOMPARE(s.prompter.Shown().last(), u"Želite li napustiti program ?"_s);
        QVERIFY(s.main->CurrentSession().IsOpen());
        s.prompter.AnswerYes();
        QVERIFY(s.main->close());
        QCOMPARE(s.MultiuserRows(), before);
        QCOMPARE(QSettings(s.folder.SettingsFile(), QSettings::IniFormat)
                     .value(u"ZadnjeBaze/Baza1"_s)
                     .toString(),
                 s.company);
    }

    void aNewCompanyNeedsANewNameAndStartsWithItsData() {
        Shell s;
        s.Start();
        s.prompter.AnswerText(s.company);
        s.A("Upis_novog")->trigger();
        QCOMPARE(s.prompter.Messages(),
                 QStringList{u"Za novu datoteku morate izabrati novo ime !"_s});
        QVERIFY(!s.main->CurrentSession().IsOpen());

        const QString fresh = s.folder.Path(u"nova.mdb"_s);
        s.prompter.AnswerText(fresh);
        WhenShown<CompanyDataDialog>([](CompanyDataDialog* d) {
            qobject_cast<QLineEdit*>(d->Field(u"NAZIV"_s))->setText(u"Nova d.o.o."_s);
            qobject_cast<QLineEdit*>(d->Field(u"ZIRO_RACUN"_s))->setText(u"HR11"_s);
            d->findChild<QPushButton*>(u"Prihvati"_s)->click();
        });
        QString presetName;
        WhenShown<LoginDialog>([&presetName](LoginDialog* d) {
            presetName = d->NameField()->text();
            d->findChild<QPushButton*>(u"cmdOK"_s)->click();
        });
        // An empty company has no warehouse yet: one is added from the warehouse choice.
        WhenShown<WarehouseChoiceDialog>([](WarehouseChoiceDialog* d) {
            WhenShown<registers::ui::RegisterEntryDialog>(
                [](registers::ui::RegisterEntryDialog* e) {
                    e->Form()->SetValues({{u"NAZIV"_s, u"Glavno"_s},
                                          {u"ADRESA"_s, u"Ulica 1"_s},
                                          {u"TELEFON"_s, u"01"_s}});
                    e->findChild<QPushButton*>(u"Prihvati"_s)->click();
                });
            d->findChild<QPushButton*>(u"NovoSkladiste"_s)->click();
            d->findChild<QPushButton*>(u"Prihvati"_s)->click();
        });
        s.A("Upis_novog")->trigger();
        QCOMPARE(presetName, u"admin"_s);
        QVERIFY(s.main->SessionActive());
        QCOMPARE(s.main->CurrentSession().databasePath, fresh);
        QCOMPARE(s.main->CurrentSession().activeWarehouse.name, u"Glavno"_s);
        QCOMPARE(s.main->CurrentSession()
                     .Db()
                     .Scalar(u"SELECT \"NAZIV\" FROM \"PODACI_FIRME\""_s)
                     .toString(),
                 u"Nova d.o.o."_s);
        QCOMPARE(s.main->CurrentSession().businessYear, QDate::currentDate().year());
    }
};

ZODRA_WINDOW_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
