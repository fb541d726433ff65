#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include "app/ui/LoginDialog.h"
#include "app/ui/ShellCommands.h"
#include "app/ui/WarehouseChoiceDialog.h"
#include "app/ui/ZodraMain.h"
#include "data/Database.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportWindow.h"
#include "summary/ui/SummaryCommands.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"

using namespace zodra;
using zodra::test::WhenShown;

// A summary report from the main window's menu: the range dialog comes preset with the first
// and last number of the kind in the active warehouse and year, refuses an emptied number, and
// the report it prints is saved as CSV from the report window.
class SummaryMenuTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qputenv("ZODRA_HOME", ZODRA_SOURCE_DIR "/share"); }

    void theReceiptRecapitulationComesPresetAndSavesCsv() {
        test::WindowTestFolder folder;
        const QString company = folder.NewCompany();
        const int year = QDate::currentDate().year();
        {
            auto db = Database::Open(company, QString()).db;
            db->ExecRaw(
                QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", "
                               "\"ADRESA\", \"TELEFON\") VALUES (1, 'Veleprodaja', 'A', "
                               "'1'), (2, 'Druga', 'B', '2')"));
            for (const auto& [warehouse, number] :
                 {std::pair{1, 3}, {1, 5}, {1, 7}, {2, 1}, {2, 9}}) {
                db->Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", "
                                        "\"BROJ PRIMKE\", \"DATUM\", \"DOKUMENT DOBAVLJACA\") "
                                        "VALUES (?, ?, ?, ?, ?)"),
                         {warehouse, year, number, QDate(year, 1, 1),
                          QStringLiteral("R-%1-%2").arg(warehouse).arg(number)});
            }
        }
        QSettings settings(folder.SettingsFile(), QSettings::IniFormat);
        ScriptedPrompter prompter;
        ui::CommandRegistry registry;
        ui::RegisterShellCommands(registry);
        summary::ui::RegisterSummaryCommands(registry);
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

        QString first;
        QString last;
        WhenShown<reports::ui::RangeDialog>([&](reports::ui::RangeDialog* d) {
            first = d->FirstBox()->text();
            last = d->LastBox()->text();
            d->LastBox()->clear();
            d->Accept();  // refused: the dialog stays
            QVERIFY(d->isVisible());
            d->LastBox()->setText(QStringLiteral("5"));
            d->Accept();
        });
        main.Action(QStringLiteral("Rek_prim_uk"))->trigger();
        QCOMPARE(first, QStringLiteral("3"));
        QCOMPARE(last, QStringLiteral("7"));
        QCOMPARE(prompter.Messages(),
                 QStringList{QStringLiteral("Ograničenja nisu ispravno upisana.")});
        QCOMPARE(main.StatusText(), QStringLiteral(" Rekapitulacija primki"));
        auto* report =
            qobject_cast<reports::ui::ReportWindow*>(main.Area()->activeSubWindow()->widget());
        QVERIFY(report);
        QCOMPARE(main.Area()->activeSubWindow()->windowTitle(),
                 QStringLiteral("Rekapitulacija primki"));

        const QString csv = folder.Path(QStringLiteral("primke.csv"));
        QVERIFY(report->WriteCsv(csv));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(QStringLiteral("R-1-3")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("R-1-5")));
        QVERIFY(!text.contains(QStringLiteral("R-1-7")));
        QVERIFY(!text.contains(QStringLiteral("R-2-")));
        QVERIFY(main.CloseCompany(false));
    }

    // The stock on a day asks the day (a text that is no date: the message, and today), one
    // article's card asks the code (an unknown one is refused and nothing is printed) and then
    // the range.
    void theDayAndTheArticleAreAsked() {
        test::WindowTestFolder folder;
        const QString company = folder.NewCompany();
        {
            auto db = Database::Open(company, QString()).db;
            db->ExecRaw(
                QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES "
                               "(1, 'Veleprodaja')"));
            db->ExecRaw(
                QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", "
                               "\"JED_M\") VALUES (7, 'Jabuka', 'kg')"));
        }
        QSettings settings(folder.SettingsFile(), QSettings::IniFormat);
        ScriptedPrompter prompter;
        ui::CommandRegistry registry;
        ui::RegisterShellCommands(registry);
        summary::ui::RegisterSummaryCommands(registry);
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
        const auto windowTitle = [&main] {
            return main.Area()->activeSubWindow() ? main.Area()->activeSubWindow()->windowTitle()
                                                  : QString();
        };

        prompter.AnswerText(QStringLiteral("31.02."));
        main.Action(QStringLiteral("Stanje1(1)"))->trigger();
        QCOMPARE(prompter.Messages(),
                 QStringList{QStringLiteral(
                     "Nije ispravno upisan datum. Biti će postavljen današnji datum.")});
        QCOMPARE(windowTitle(), QStringLiteral("Stanje na skladištu"));
        main.Area()->closeAllSubWindows();

        prompter.Clear();
        prompter.AnswerText(QStringLiteral("8"));
        main.Action(QStringLiteral("Ispis_kartice_artikla"))->trigger();
        QCOMPARE(prompter.Messages(),
                 QStringList{QStringLiteral("Artikl sa šifrom 8 ne postoji.")});
        QCOMPARE(windowTitle(), QString());

        prompter.Clear();
        prompter.AnswerText(QStringLiteral("7"));
        WhenShown<reports::ui::RangeDialog>([](reports::ui::RangeDialog* d) { d->Accept(); });
        main.Action(QStringLiteral("Ispis_kartice_artikla"))->trigger();
        QCOMPARE(prompter.Messages(), QStringList());
        QCOMPARE(windowTitle(), QStringLiteral("Kartica artikla"));
        QCOMPARE(main.StatusText(), QStringLiteral(" Kartica artikla"));
        QVERIFY(main.CloseCompany(false));
    }
};

ZODRA_WINDOW_TEST_MAIN(SummaryMenuTest)
#include "SummaryMenuTest.moc"
