#include <QFile>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QtTest>

#include "data/Database.h"
#include "maintenance/Archive.h"
#include "maintenance/ui/MaintenanceWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"

using namespace zodra;

class MaintenanceWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every button asks first and then does its work, or refuses with its message and changes
    // nothing; the session goes on working after the compaction and the password change.
    void buttonsAskThenWork() {
        test::WindowTestFolder folder;
        test::TestHost host(folder);
        zodra::ui::CommandRegistry registry;
        maintenance::ui::RegisterMaintenanceCommands(registry);
        host.registry = &registry;
        Session& s = host.CurrentSession();
        QWidget* window = host.Open(QStringLiteral("Odrzavanje_baze_podataka"));
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Održavanje baze podataka"));
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Održavanje baze podataka"));
        const auto click = [window](const char* name) {
            auto* b = window->findChild<QPushButton*>(QLatin1String(name));
            QVERIFY(b);
            b->click();
        };
        ScriptedPrompter& p = host.prompter;

        // Compaction: No changes nothing; another window open refuses; alone it compacts.
        const int code = s.sessionCode;
        s.Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA_PRIVREMENO\" "
                                   "(\"Multiuser_sifra\") VALUES (?)"),
                    {code});
        p.AnswerNo();
        click("Compact");
        QCOMPARE(p.Shown().last(),
                 QStringLiteral(
                     "Prije pakiranja datoteke obavezno napravite BACKUP! Želite li nastaviti?"));
        QVERIFY(p.Messages().isEmpty());
        auto* other = new QWidget;
        other->setObjectName(QStringLiteral("drugi"));
        host.ShowWindow(other, QStringLiteral("Drugi"));
        p.AnswerYes();
        click("Compact");
        QCOMPARE(p.LastMessage(),
                 QStringLiteral("Prije pakiranja datoteke zatvorite sve ostale prozore."));
        delete host.area.subWindowList().last();
        QCOMPARE(host.area.subWindowList().size(), 1);
        p.AnswerYes();
        click("Compact");
        QCOMPARE(p.LastMessage(), QStringLiteral("Pakiranje datoteke napravljeno uspješno."));
        QCOMPARE(s.Db()
                     .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\" "
                                            "WHERE \"Multiuser_sifra\" = ?"),
                             {code})
                     .toInt(),
                 1);

        // Backup into a new archive; the same name again is refused.
        const QString archive = folder.Path(QStringLiteral("arhiva.zip"));
        p.AnswerText(archive);
        click("Backup");
        QCOMPARE(p.LastMessage(),
                 QStringLiteral("Arhiva ") + archive + QStringLiteral(" je napravljena."));
        p.AnswerText(archive);
        click("Backup");
        QCOMPARE(p.LastMessage(), maintenance::ExistingFileText());

        // Restore into a new file, then into the open company's name (refused).
        const QString restored = folder.Path(QStringLiteral("vraceno.mdb"));
        p.AnswerText(archive).AnswerText(restored);
        click("Vracanje");
        QCOMPARE(p.LastMessage(), QStringLiteral("Poduzeće je vraćeno iz arhive u datoteku ") +
                                      restored + QStringLiteral("."));
        p.AnswerText(archive).AnswerText(s.databasePath);
        click("Vracanje");
        QCOMPARE(p.LastMessage(), maintenance::ExistingFileText());

        // Password: 15 characters refused, 14 taken; the session goes on.
        p.AnswerText(s.databasePath).AnswerText(QStringLiteral("123456789012345"));
        click("Password");
        QCOMPARE(p.LastMessage(), QStringLiteral("Password je predugačak (najviše 14 znakova)!"));
        p.AnswerText(s.databasePath).AnswerText(QStringLiteral("12345678901234"));
        click("Password");
        QCOMPARE(p.Shown().at(p.Shown().size() - 2), QStringLiteral("Upišite novi password:"));
        QCOMPARE(p.LastMessage(), QStringLiteral("Password je promijenjen!"));
        QCOMPARE(s.databasePassword, QStringLiteral("12345678901234"));
        s.Db().Exec(QStringLiteral("INSERT INTO \"PLANER\" (\"Opis\") VALUES ('dalje')"));
        QCOMPARE(Database::Open(s.databasePath, QString()).status,
                 Database::OpenStatus::WrongPassword);
    }
};

ZODRA_WINDOW_TEST_MAIN(MaintenanceWindowTest)
#include "MaintenanceWindowTest.moc"
