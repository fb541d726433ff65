#include <QFile>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

#include <QDate>
#include "data/Database.h"
#include "maintenance/Archive.h"
#include "maintenance/ui/MaintenanceWindow.h"
#include "support/WindowTest.h"
#include "ui/CommandRegistry.h"

using namespace zodra;

namespace {

const QString kCoffee = QStringLiteral("Kava 'Đir'");
const QString kCoffeeLot = QStringLiteral(
    "SELECT %1 FROM \"NABAVE\" n JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = n.\"SIFRA_ARTIKLA\" WHERE "
    "a.\"NAZIV\" = ?");

double Scalar(Session& s, const QString& sql, const QVariant& value) {
    return s.Db().Scalar(sql, {value}).toDouble();
}

void Click(QWidget* window, const char* name) {
    QPushButton* b = test::Button(window, name);
    QVERIFY(b);
    b->click();
}

}  // namespace

class MaintenanceWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every button asks first and then does its work, or refuses with its message and changes
    // nothing; the session goes on working after the compaction and the password change.
    void buttonsAskThenWork() {
        test::EmptyHost host(maintenance::ui::RegisterMaintenanceCommands);
        Session& s = host.CurrentSession();
        QWidget* window = host.Open(QStringLiteral("Odrzavanje_baze_podataka"));
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), QStringLiteral("Održavanje baze podataka"));
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Održavanje baze podataka"));
        const auto click = [window](const char* name) { Click(window, name); };
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
        QCOMPARE(Scalar(s,
                        QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                       "\"Multiuser_sifra\" = ?"),
                        code),
                 1.0);

        // Backup into a new archive; the same name again is refused.
        const QString archive = host.folder.Path(QStringLiteral("arhiva.zip"));
        p.AnswerText(archive);
        click("Backup");
        QCOMPARE(p.LastMessage(),
                 QStringLiteral("Arhiva ") + archive + QStringLiteral(" je napravljena."));
        p.AnswerText(archive);
        click("Backup");
        QCOMPARE(p.LastMessage(), maintenance::ExistingFileText());

        // Restore into a new file, then into the open company's name (refused).
        const QString restored = host.folder.Path(QStringLiteral("vraceno.mdb"));
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

    // "Prijenos podataka" from the maintenance window: the open company is refused as the
    // source, another company's receipt arrives, the written file exists, a wrong address
    // starts no mail program.
    void transferWindowCarriesReceipts() {
        test::EmptyHost host(maintenance::ui::RegisterMaintenanceCommands);
        Session& s = host.CurrentSession();
        QWidget* maintenanceWindow = host.Open(QStringLiteral("Odrzavanje_baze_podataka"));
        QVERIFY(maintenanceWindow);
        auto* open = maintenanceWindow->findChild<QPushButton*>(QStringLiteral("Prijenos"));
        QVERIFY(open && open->isEnabled());
        open->click();
        QWidget* window = host.LastWindow();
        QCOMPARE(window->windowTitle(), QStringLiteral("Prijenos podataka"));
        QCOMPARE(host.statusTexts.last(), QStringLiteral(" Prijenos podataka"));
        host.Photograph(window, QStringLiteral("prijenos-podataka"));
        const auto click = [window](const char* name) { Click(window, name); };
        ScriptedPrompter& p = host.prompter;
        p.AnswerYes().AnswerText(s.databasePath);
        click("DonosBaza");
        QCOMPARE(p.LastMessage(), QStringLiteral("Polazna i odredišna baza nesmiju biti iste."));

        const QString sourcePath = host.folder.NewCompany(QStringLiteral("izvor.mdb"));
        {
            auto opened = Database::Open(sourcePath, QString());
            QCOMPARE(opened.status, Database::OpenStatus::Ok);
            Database& src = *opened.db;
            src.Exec(QStringLiteral("DELETE FROM \"SKLADISTA\""));
            src.Exec(
                QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (5, ?)"),
                {s.activeWarehouse.name});
            src.Exec(QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"GRUPA_A\", "
                                    "\"GRUPA_P\") VALUES (900, ?, 1, 1)"),
                     {kCoffee});
            src.Exec(
                QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ "
                               "PRIMKE\", \"DATUM\", \"SIFRA DOBAVLJACA\", \"DOKUMENT "
                               "DOBAVLJACA\", \"TIP_PRIMKE\") VALUES (5, ?, 4, ?, 2, 'D-4', 1)"),
                {s.businessYear, QDate(s.businessYear, 3, 2)});
            src.Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
                                    "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                                    "\"FAKTURNA_CIJENA\", \"NABAVNA_CIJENA\", \"CIJENA\", "
                                    "\"RBR_STAVKE\") VALUES (5, ?, 4, 'ART', 900, 6, 2, 2, 3, 1)"),
                     {s.businessYear});
        }
        p.AnswerYes().AnswerText(sourcePath).AnswerText(QStringLiteral("1"));
        click("DonosBaza");
        QCOMPARE(p.LastMessage(),
                 QStringLiteral("Donos primki napravljen uspješno. Proknjižene primke: 1."));
        QCOMPARE(Scalar(s, kCoffeeLot.arg(QStringLiteral("SUM(n.\"KOLICINA\")")), kCoffee), 6.0);

        const QString zip = host.folder.Path(QStringLiteral("primke.zip"));
        p.AnswerText(QStringLiteral("1")).AnswerText(QStringLiteral("1")).AnswerText(zip);
        click("Snimanje");
        QCOMPARE(p.LastMessage(), QStringLiteral("Primke uspješno snimljene."));
        QVERIFY(QFile::exists(zip));
        p.AnswerText(QStringLiteral("nije-adresa"));
        click("Email");
        QCOMPARE(p.LastMessage(), QStringLiteral("Email adresa nije ispravno upisana."));

        // A delivery note of the other company puts its price on the coffee's lot.
        {
            auto opened = Database::Open(sourcePath, QString());
            QCOMPARE(opened.status, Database::OpenStatus::Ok);
            opened.db->Exec(QStringLiteral("INSERT INTO \"OTPREMNICE\" (\"SKLADISTE\", \"GODINA\", "
                                           "\"BROJ_OTPREMNICE\", \"DATUM\") VALUES (5, ?, 8, ?)"),
                            {s.businessYear, QDate(s.businessYear, 3, 9)});
            opened.db->Exec(
                QStringLiteral(
                    "INSERT INTO \"STAVKE_OTPREMNICA\" (\"SKLADISTE\", \"GODINA\", "
                    "\"BROJ_OTPREMNICE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                    "\"CIJENA_BEZ_RABATA\", \"RABAT_%\", \"RBR_STAVKE\") VALUES (5, ?, 8, "
                    "'ART', 900, 2, 5, 10, 1)"),
                {s.businessYear});
        }
        const int shown = static_cast<int>(p.Shown().size());
        p.AnswerYes().AnswerText(sourcePath).AnswerText(QStringLiteral("1"));
        click("DonosOtpremnicaBaza");
        QCOMPARE(p.Shown().mid(shown),
                 (QStringList{
                     QStringLiteral("Želite li napraviti donos otpremnica?"),
                     QStringLiteral("Otvaranje baze podataka za donos otpremnica"),
                     QStringLiteral("Upišite broj otpremnice od koje želite prijenos. Donos "
                                    "otpremnica se radi samo za skladište u kojem se nalazite."),
                     QStringLiteral("Donos otpremnica napravljen uspješno. Proknjižene izmjene "
                                    "cijena: 1.")}));
        QCOMPARE(Scalar(s, kCoffeeLot.arg(QStringLiteral("n.\"VELEPRODAJNA CIJENA\"")), kCoffee),
                 4.5);
    }
};

ZODRA_WINDOW_TEST_MAIN(MaintenanceWindowTest)
#include "MaintenanceWindowTest.moc"
