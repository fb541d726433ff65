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
        Db()->ExecRaw(QStringLiteral(
            "INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", \"TELEFON\", "
            "\"KOMISIJSKO_SKLADISTE\") VALUES (1, 'Veleprodaja', 'A', '1', 0), "
            "(2, 'Komisija', 'B', '2', 1)"));
    }
    void Start() {
        main = std::make_unique<ZodraMain>(registry, settings, &prompter);
        main->show();
    }
    std::unique_ptr<Database> Db(const QString& password = QString()) {
        return std::move(Database::Open(company, password).db);
    }
    int MultiuserRows() {
        return Db()->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")).toInt();
    }
    QAction* A(const char* name) { return main->Action(QString::fromUtf8(name)); }
};

void AnswerLogin(const QString& name, const QString& password) {
    WhenShown<LoginDialog>([name, password](LoginDialog* d) {
        d->NameField()->setText(name);
        d->PasswordField()->setText(password);
        d->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
    });
}

void AnswerWarehouse(int code) {
    WhenShown<WarehouseChoiceDialog>([code](WarehouseChoiceDialog* d) {
        QVERIFY(d->Choose(code));
        d->findChild<QPushButton*>(QStringLiteral("Prihvati"))->click();
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
    void beforeOpeningOnlyTheCompanyMenuWorks() {
        Shell s;
        s.Start();
        QCOMPARE(s.main->windowTitle(), QStringLiteral("Zodra"));
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
        QVERIFY(s.main->FindWindow(QStringLiteral("Pomoc_pomoc")));
        QCOMPARE(s.main->StatusText(), QStringLiteral(" Pomoć"));
    }

    void auxiliaryBarsAreSwitchedAndRemembered() {
        Shell s;
        s.Start();
        QVERIFY(s.main->ToolBar()->isVisible());
        s.A("Pomoćne_trake")->trigger();
        QVERIFY(!s.main->ToolBar()->isVisible());
        QVERIFY(!s.A("Pomoćne_trake")->isChecked());
        QCOMPARE(s.settings.value(QStringLiteral("Opcije/PomocneTrake")).toString(),
                 QStringLiteral("False"));
        // The next start keeps them hidden.
        s.main.reset();
        s.Start();
        QVERIFY(!s.main->ToolBar()->isVisible());
        s.A("Pomoćne_trake")->trigger();
        QVERIFY(s.main->ToolBar()->isVisible());
        QCOMPARE(s.settings.value(QStringLiteral("Opcije/PomocneTrake")).toString(),
                 QStringLiteral("True"));
    }

    void theWrongPasswordIsAskedAgainUntilRight() {
        Shell s;
        s.Db()->SetPassword(QStringLiteral("tajna"));
        s.Start();
        // An empty answer gives up: no company is left open.
        s.prompter.AnswerText(QString());
        QVERIFY(!s.main->OpenCompany(s.company));
        QCOMPARE(s.prompter.LastMessage(), QStringLiteral("Nije upisan točan password."));
        QVERIFY(!s.main->CurrentSession().IsOpen());
        QCOMPARE(s.main->windowTitle(), QStringLiteral("Zodra"));

        s.prompter.Clear();
        s.prompter.AnswerText(QStringLiteral("kriva")).AnswerText(QStringLiteral("tajna"));
        QVERIFY(OpenAs(s, QStringLiteral("admin")));
        QCOMPARE(
            s.prompter.Shown().count(QStringLiteral("Upišite password za izabranu bazu podataka.")),
            2);
        QVERIFY(s.main->SessionActive());
        QCOMPARE(s.main->windowTitle(),
                 s.company + QStringLiteral(":Veleprodaja - Zodra, UserName: admin"));
        QCOMPARE(s.main->CurrentSession().databasePassword, QStringLiteral("tajna"));
        QVERIFY(s.A("Zatvori")->isVisible());
        QVERIFY(!s.A("Otvori")->isVisible());
        QVERIFY(!s.A("SSCommand1")->isEnabled());
        QVERIFY(s.A("SSCommand2")->isEnabled());
        QCOMPARE(s.main->WarehouseBox()->currentText(), QStringLiteral("Veleprodaja"));
    }

    void aMissingRecentFileIsDroppedFromTheList() {
        Shell s;
        const QString missing = s.folder.Path(QStringLiteral("nema.mdb"));
        s.settings.setValue(QStringLiteral("ZadnjeBaze/Baza1"), missing);
        s.settings.setValue(QStringLiteral("ZadnjeBaze/Baza2"), s.company);
        s.Start();
        QCOMPARE(s.A("Baza1")->text(), QStringLiteral("&1 ") + missing);
        QVERIFY(s.A("Baza2")->isVisible());
        QVERIFY(!s.A("Baza3")->isVisible());
        s.A("Baza1")->trigger();
        QCOMPARE(s.prompter.Messages(), QStringList{QStringLiteral("Ove datoteke nema.")});
        QCOMPARE(s.main->Recent(), (QStringList{s.company, QString(), QString()}));
        QCOMPARE(s.A("Baza1")->text(), QStringLiteral("&1 ") + s.company);
        QVERIFY(!s.A("Baza2")->isVisible());
        QCOMPARE(QSettings(s.folder.SettingsFile(), QSettings::IniFormat)
                     .value(QStringLiteral("ZadnjeBaze/Baza2"))
                     .toString(),
                 QString());
        QVERIFY(!s.main->CurrentSession().IsOpen());
    }

    void theOpenedCompanyMovesToTheFrontOfTheRecentList() {
        Shell s;
        s.settings.setValue(QStringLiteral("ZadnjeBaze/Baza1"), QStringLiteral("/x/a.mdb"));
        s.settings.setValue(QStringLiteral("ZadnjeBaze/Baza2"), s.company);
        s.settings.setValue(QStringLiteral("ZadnjeBaze/Baza3"), QStringLiteral("/x/c.mdb"));
        s.Start();
        AnswerLogin(QStringLiteral("admin"), QString());
        AnswerWarehouse(1);
        s.A("Baza2")->trigger();
        QVERIFY(s.main->SessionActive());
        QCOMPARE(s.main->Recent(),
                 (QStringList{s.company, QStringLiteral("/x/a.mdb"), QStringLiteral("/x/c.mdb")}));
        QCOMPARE(s.A("Baza2")->text(), QStringLiteral("&2 /x/a.mdb"));
    }

    void theLoginRefusesAnotherLetterCaseAndLetsTheUserTryAgain() {
        Shell s;
        s.Start();
        bool refusedAndKept = false;
        WhenShown<LoginDialog>([&](LoginDialog* d) {
            d->NameField()->setText(QStringLiteral("ADMIN"));
            d->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
            refusedAndKept =
                d->isVisible() &&
                s.prompter.LastMessage() == QStringLiteral("Neispravan username ili password.");
            d->NameField()->setText(QStringLiteral("admin"));
            d->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        AnswerWarehouse(1);
        QVERIFY(s.main->OpenCompany(s.company));
        QVERIFY(refusedAndKept);
        QCOMPARE(s.main->CurrentSession().userName, QStringLiteral("admin"));
    }

    void cancellingTheLoginClosesTheCompanyCleanly() {
        Shell s;
        s.Start();
        const int before = s.MultiuserRows();
        WhenShown<LoginDialog>([](LoginDialog* d) {
            d->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        QVERIFY(!s.main->OpenCompany(s.company));
        QVERIFY(!s.main->CurrentSession().IsOpen());
        QVERIFY(!s.main->SessionActive());
        QVERIFY(s.main->CurrentSession().databasePath.isEmpty());
        QVERIFY(s.main->CurrentSession().userName.isEmpty());
        QCOMPARE(s.main->windowTitle(), QStringLiteral("Zodra"));
        QCOMPARE(s.MultiuserRows(), before);
        QVERIFY(!s.A("Knjizenje")->isVisible());
        QVERIFY(s.prompter.Messages().isEmpty());
    }

    void rightsSwitchTheCommandsOfTheUser() {
        Shell s;
        {
            auto db = s.Db();
            users::AddUser(*db, QStringLiteral("Marko"), QStringLiteral("m1"), true);
            users::SetRight(*db, QStringLiteral("Marko"), QStringLiteral("Primka"), false);
        }
        s.Start();
        QVERIFY(OpenAs(s, QStringLiteral("Marko"), QStringLiteral("m1")));
        QVERIFY(!s.A("Knjizenje_primka")->isEnabled());
        QVERIFY(!s.A("SSCommand6")->isEnabled());
        QVERIFY(!s.A("Pregledi_primke")->isEnabled());
        QVERIFY(s.A("Knjizenje_racun")->isEnabled());
        QVERIFY(s.A("SSCommand7")->isEnabled());
        // Administrator's commands.
        QVERIFY(!s.A("Sifarnici_Korisnici")->isVisible());
        QVERIFY(!s.A("Odrzavanje_baze_podataka")->isEnabled());
        Q_EMIT qobject_cast<LogoLabel*>(s.main->LogoPicture())->doubleClicked();
        QVERIFY(!s.main->FindWindow(QStringLiteral("Administracija")));
        // A command a right switched off does not run from code either.
        s.main->RunCommand(QStringLiteral("Knjizenje_primka"));
        QVERIFY(s.main->Area()->subWindowList().isEmpty());
        // The session keeps the rights the document windows read.
        QVERIFY(s.main->CurrentSession().rights.registerZReportAllowed);
    }

    void theAdministratorGetsMaintenanceUsersAndAdministration() {
        Shell s;
        s.Start();
        QVERIFY(OpenAs(s, QStringLiteral("admin")));
        QVERIFY(s.A("Sifarnici_Korisnici")->isVisible());
        QVERIFY(s.A("Odrzavanje_baze_podataka")->isEnabled());
        Q_EMIT qobject_cast<LogoLabel*>(s.main->LogoPicture())->doubleClicked();
        auto* admin = qobject_cast<AdministrationWindow*>(
            s.main->FindWindow(QStringLiteral("Administracija")));
        QVERIFY(admin);
        admin->Sql()->setPlainText(
            QStringLiteral("SELECT \"NAZIV\" FROM \"SKLADISTA\" ORDER BY 1"));
        admin->ExecuteQuery();
        QCOMPARE(admin->Outcome(), QStringLiteral("Redaka: 2"));
        s.A("Sifarnici_Korisnici")->trigger();
        QVERIFY(s.main->FindWindow(QStringLiteral("Sifarnici_Korisnici")));
        // A command without its window says it is not available.
        s.A("Pregledi_racuni")->trigger();
        auto* placeholder =
            qobject_cast<PlaceholderWindow*>(s.main->FindWindow(QStringLiteral("Pregledi_racuni")));
        QVERIFY(placeholder);
        QCOMPARE(placeholder->windowTitle(), QStringLiteral("Računi"));
        QCOMPARE(placeholder->findChild<QLabel*>(QStringLiteral("placeholderText"))->text(),
                 commands::NotAvailableText());
        QCOMPARE(s.main->StatusText(), QStringLiteral(" Pregled računa"));
        // The till only in a retail warehouse.
        s.A("Knjizenje_kasa")->trigger();
        QCOMPARE(s.prompter.LastMessage(),
                 QStringLiteral("Ovo nije maloprodajno skladište i nije dozvoljena izrada "
                                "maloprodajnog računa."));
        QVERIFY(!s.main->FindWindow(QStringLiteral("Knjizenje_kasa")));
    }

    void changingTheWarehouseClosesWindowsAndReadsItsFlags() {
        Shell s;
        s.Start();
        QVERIFY(OpenAs(s, QStringLiteral("admin")));
        QVERIFY(!s.A("Knjizenje_odjava")->isVisible());
        s.main->RunCommand(QStringLiteral("Pregledi_racuni"));
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
        QCOMPARE(s.main->windowTitle(),
                 s.company + QStringLiteral(":Komisija - Zodra, UserName: admin"));
    }

    void windowsStayInsideTheAreaAreRememberedPerUserAndListed() {
        Shell s;
        s.Start();
        s.main->resize(900, 700);
        QVERIFY(OpenAs(s, QStringLiteral("admin")));
        QMdiArea* area = s.main->Area();
        const QRect room = area->viewport()->rect();
        s.A("Pregledi_racuni")->trigger();
        QMdiSubWindow* sub = area->activeSubWindow();
        QVERIFY(sub);
        QVERIFY(room.contains(sub->geometry()));
        QCOMPARE(s.main->StatusText(), QStringLiteral(" Pregled računa"));
        // Moved and resized, closed: the status bar is cleared, and the window comes back
        // where the user left it.
        sub->setGeometry(30, 40, 300, 200);
        sub->close();
        test::Settle();
        QVERIFY(area->subWindowList().isEmpty());
        QCOMPARE(s.main->StatusText(), QString());
        QCOMPARE(s.settings.value(QStringLiteral("Prozori/admin/Pregledi_racuni")).toRect(),
                 QRect(30, 40, 300, 200));
        s.A("Pregledi_racuni")->trigger();
        QCOMPARE(area->activeSubWindow()->geometry(), QRect(30, 40, 300, 200));
        area->activeSubWindow()->close();
        test::Settle();

        // A place remembered on a larger screen, or a window larger than the area, is brought
        // wholly inside.
        for (const QRect& remembered : {QRect(5000, 4000, 300, 200), QRect(-50, -80, 5000, 5000)}) {
            s.settings.setValue(QStringLiteral("Prozori/admin/Pregledi_racuni"), remembered);
            s.A("Pregledi_racuni")->trigger();
            QVERIFY(area->activeSubWindow());
            const QRect shown = area->activeSubWindow()->geometry();
            QVERIFY2(room.contains(shown), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                          .arg(shown.x())
                                                          .arg(shown.y())
                                                          .arg(shown.width())
                                                          .arg(shown.height())));
            area->activeSubWindow()->close();
            test::Settle();
        }

        // "Prozori" lists the open windows; choosing one brings it to the front.
        s.settings.remove(QStringLiteral("Prozori"));
        s.A("Pregledi_racuni")->trigger();
        s.A("Pregledi_otpremnice")->trigger();
        QMenu* windows = s.main->MenuOf(QStringLiteral("Prozori"));
        Q_EMIT windows->aboutToShow();
        auto* first = windows->findChild<QAction*>(QStringLiteral("Prozor_1"));
        auto* second = windows->findChild<QAction*>(QStringLiteral("Prozor_2"));
        QVERIFY(first && second);
        QCOMPARE(first->text(), QStringLiteral("&1 Računi"));
        QCOMPARE(second->text(), QStringLiteral("&2 Otpremnice"));
        QVERIFY(!first->isChecked());
        QVERIFY(second->isChecked());
        first->trigger();
        QCOMPARE(area->activeSubWindow()->widget()->objectName(),
                 QStringLiteral("Pregledi_racuni"));
        // Listed again, the closed one is gone.
        area->activeSubWindow()->close();
        test::Settle();
        Q_EMIT windows->aboutToShow();
        QStringList listed;
        for (QAction* a : windows->actions()) {
            if (a->objectName().startsWith(QStringLiteral("Prozor_"))) {
                listed << a->text();
            }
        }
        QCOMPARE(listed, QStringList{QStringLiteral("&1 Otpremnice")});
    }

    void onlyTheToolBarButtonMakesTheAutomaticBackup() {
        Shell s;
        s.Db()->ExecRaw(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"AutoBackup\" = 1"));
        const QString backup = autobackup::TargetPath(s.company, QDate::currentDate());
        s.Start();
        QVERIFY(OpenAs(s, QStringLiteral("admin")));
        s.A("Zatvori")->trigger();
        QVERIFY(!s.main->CurrentSession().IsOpen());
        QCOMPARE(s.main->StatusText(), QStringLiteral(" Zatvaranje poduzeća"));
        QVERIFY(!QFile::exists(backup));
        QVERIFY(OpenAs(s, QStringLiteral("admin")));
        s.A("SSCommand2")->trigger();
        QVERIFY(!s.main->CurrentSession().IsOpen());
        QVERIFY(QFile::exists(backup));
        QCOMPARE(s.main->windowTitle(), QStringLiteral("Zodra"));
    }

    void exitAsksAndReleasesTheSession() {
        Shell s;
        s.Start();
        const int before = s.MultiuserRows();
        QVERIFY(OpenAs(s, QStringLiteral("admin")));
        QCOMPARE(s.MultiuserRows(), before + 3);
        s.prompter.AnswerNo();
        QVERIFY(!s.main->close());
        QCOMPARE(s.prompter.Shown().last(), QStringLiteral("Želite li napustiti program ?"));
        QVERIFY(s.main->CurrentSession().IsOpen());
        s.prompter.AnswerYes();
        QVERIFY(s.main->close());
        QCOMPARE(s.MultiuserRows(), before);
        QCOMPARE(QSettings(s.folder.SettingsFile(), QSettings::IniFormat)
                     .value(QStringLiteral("ZadnjeBaze/Baza1"))
                     .toString(),
                 s.company);
    }

    void aNewCompanyNeedsANewNameAndStartsWithItsData() {
        Shell s;
        s.Start();
        s.prompter.AnswerText(s.company);
        s.A("Upis_novog")->trigger();
        QCOMPARE(s.prompter.Messages(),
                 QStringList{QStringLiteral("Za novu datoteku morate izabrati novo ime !")});
        QVERIFY(!s.main->CurrentSession().IsOpen());

        const QString fresh = s.folder.Path(QStringLiteral("nova.mdb"));
        s.prompter.AnswerText(fresh);
        WhenShown<CompanyDataDialog>([](CompanyDataDialog* d) {
            qobject_cast<QLineEdit*>(d->Field(QStringLiteral("NAZIV")))
                ->setText(QStringLiteral("Nova d.o.o."));
            qobject_cast<QLineEdit*>(d->Field(QStringLiteral("ZIRO_RACUN")))
                ->setText(QStringLiteral("HR11"));
            d->findChild<QPushButton*>(QStringLiteral("Prihvati"))->click();
        });
        QString presetName;
        WhenShown<LoginDialog>([&presetName](LoginDialog* d) {
            presetName = d->NameField()->text();
            d->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        // An empty company has no warehouse yet: one is added from the warehouse choice.
        WhenShown<WarehouseChoiceDialog>([](WarehouseChoiceDialog* d) {
            WhenShown<registers::ui::RegisterEntryDialog>(
                [](registers::ui::RegisterEntryDialog* e) {
                    e->Form()->SetValues({{QStringLiteral("NAZIV"), QStringLiteral("Glavno")},
                                          {QStringLiteral("ADRESA"), QStringLiteral("Ulica 1")},
                                          {QStringLiteral("TELEFON"), QStringLiteral("01")}});
                    e->findChild<QPushButton*>(QStringLiteral("Prihvati"))->click();
                });
            d->findChild<QPushButton*>(QStringLiteral("NovoSkladiste"))->click();
            d->findChild<QPushButton*>(QStringLiteral("Prihvati"))->click();
        });
        s.A("Upis_novog")->trigger();
        QCOMPARE(presetName, QStringLiteral("admin"));
        QVERIFY(s.main->SessionActive());
        QCOMPARE(s.main->CurrentSession().databasePath, fresh);
        QCOMPARE(s.main->CurrentSession().activeWarehouse.name, QStringLiteral("Glavno"));
        QCOMPARE(s.main->CurrentSession()
                     .Db()
                     .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PODACI_FIRME\""))
                     .toString(),
                 QStringLiteral("Nova d.o.o."));
        QCOMPARE(s.main->CurrentSession().businessYear, QDate::currentDate().year());
    }
};

ZODRA_WINDOW_TEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
