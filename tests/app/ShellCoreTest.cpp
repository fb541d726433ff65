#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include "app/AutoBackup.h"
#include "app/CommandStates.h"
#include "app/CompanyOpen.h"
#include "app/RecentDatabases.h"
#include "app/Users.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "support/TestCompany.h"

using namespace zodra;
using zodra::test::CompanyTest;

namespace {

QStringList L(std::initializer_list<const char*> items) {
    QStringList l;
    for (const char* i : items) {
        l << QString::fromLatin1(i);
    }
    return l;
}

}  // namespace

TEST(RecentDatabases, MoveToFrontOverThreeSlots) {
    const QStringList start = L({"a.mdb", "b.mdb", "c.mdb"});
    // Already second: it goes first, the first moves down, the third stays.
    EXPECT_EQ(recent::MoveToFront(start, QStringLiteral("b.mdb")), L({"b.mdb", "a.mdb", "c.mdb"}));
    EXPECT_EQ(recent::MoveToFront(start, QStringLiteral("c.mdb")), L({"c.mdb", "a.mdb", "b.mdb"}));
    EXPECT_EQ(recent::MoveToFront(start, QStringLiteral("a.mdb")), start);
    // New: everything moves down and the last drops.
    EXPECT_EQ(recent::MoveToFront(start, QStringLiteral("d.mdb")), L({"d.mdb", "a.mdb", "b.mdb"}));
    EXPECT_EQ(recent::MoveToFront({}, QStringLiteral("d.mdb")), L({"d.mdb", "", ""}));
}

TEST(RecentDatabases, DropShiftsTheEntriesBelowUp) {
    const QStringList start = L({"a.mdb", "b.mdb", "c.mdb"});
    EXPECT_EQ(recent::Drop(start, 0), L({"b.mdb", "c.mdb", ""}));
    EXPECT_EQ(recent::Drop(start, 1), L({"a.mdb", "c.mdb", ""}));
    EXPECT_EQ(recent::Drop(start, 2), L({"a.mdb", "b.mdb", ""}));
    EXPECT_EQ(recent::Caption(1, QStringLiteral("/x/b.mdb")), QStringLiteral("&2 /x/b.mdb"));
}

TEST(RecentDatabases, KeptInTheUsersSettingsUnderTheirGroups) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Zodra.ini"));
    {
        QSettings s(file, QSettings::IniFormat);
        EXPECT_EQ(recent::Load(s), L({"", "", ""}));
        EXPECT_TRUE(recent::LoadShowBars(s));
        recent::Save(s, L({"a.mdb", "b.mdb"}));
        recent::SaveShowBars(s, false);
    }
    QSettings s(file, QSettings::IniFormat);
    EXPECT_EQ(s.value(QStringLiteral("ZadnjeBaze/Baza1")).toString(), QStringLiteral("a.mdb"));
    EXPECT_EQ(s.value(QStringLiteral("ZadnjeBaze/Baza3")).toString(), QString());
    EXPECT_EQ(s.value(QStringLiteral("Opcije/PomocneTrake")).toString(), QStringLiteral("False"));
    EXPECT_EQ(recent::Load(s), L({"a.mdb", "b.mdb", ""}));
    EXPECT_FALSE(recent::LoadShowBars(s));
}

class CommandStatesTest : public CompanyTest {
protected:
    commands::State Of(const std::map<QString, commands::State>& s, const char* name) {
        return s.at(QString::fromLatin1(name));
    }
};

TEST_F(CommandStatesTest, BeforeOpeningOnlyTheCompanyMenuAndHelpWork) {
    commands::Situation none;
    none.recent = L({"a.mdb", "", ""});
    const auto s = commands::ComputeStates(none);
    for (const char* hidden : {"Sifarnici", "Knjizenje", "Izvjestaji", "Prozori", "Zatvori",
                               "Odrzavanje_baze_podataka", "DBComboSkladista", "Baza2"}) {
        EXPECT_FALSE(Of(s, hidden).visible) << hidden;
    }
    EXPECT_TRUE(Of(s, "Otvori").visible);
    EXPECT_TRUE(Of(s, "Baza1").visible);
    EXPECT_TRUE(Of(s, "r45").visible);
    EXPECT_FALSE(Of(s, "Sifarnici_Korisnici").enabled);
    EXPECT_TRUE(Of(s, "SSCommand1").enabled);
    EXPECT_FALSE(Of(s, "SSCommand2").enabled);
    EXPECT_FALSE(Of(s, "SSCommand6").enabled);
    EXPECT_TRUE(Of(s, "SSCommand15").enabled);

    commands::Situation empty;
    EXPECT_FALSE(Of(commands::ComputeStates(empty), "r45").visible);
}

TEST_F(CommandStatesTest, RightsSwitchCommandsAndOnlyAdminMaintainsAndSeesUsers) {
    auto db = Open();
    users::AddUser(*db, QStringLiteral("Marko"), QString(), true);
    users::SetRight(*db, QStringLiteral("Marko"), QStringLiteral("Primka"), false);
    const auto marko = users::ApplyUserRights(*db, QStringLiteral("Marko"));
    const auto admin = users::ApplyUserRights(*db, QStringLiteral("admin"));

    commands::Situation in;
    in.sessionActive = true;
    in.rights = &marko;
    auto s = commands::ComputeStates(in);
    for (const char* off : {"Knjizenje_primka", "SSCommand6", "Pregledi_primke",
                            "Odrzavanje_baze_podataka", "SSCommand1"}) {
        EXPECT_FALSE(Of(s, off).enabled) << off;
    }
    for (const char* on : {"Knjizenje_racun", "SSCommand7", "Pregledi_racuni", "SSCommand2",
                           "Knjizenje", "Sifarnici"}) {
        EXPECT_TRUE(Of(s, on).enabled) << on;
    }
    EXPECT_FALSE(Of(s, "Sifarnici_Korisnici").visible);
    EXPECT_FALSE(Of(s, "Otvori").visible);
    EXPECT_TRUE(Of(s, "Zatvori").visible);
    EXPECT_TRUE(Of(s, "DBComboSkladista").visible);

    in.rights = &admin;
    s = commands::ComputeStates(in);
    EXPECT_TRUE(Of(s, "Knjizenje_primka").enabled);
    EXPECT_TRUE(Of(s, "Odrzavanje_baze_podataka").enabled);
    EXPECT_TRUE(Of(s, "Sifarnici_Korisnici").visible);
}

TEST_F(CommandStatesTest, CompanyAndWarehouseFactsHideMenusWhateverTheRights) {
    auto db = Open();
    const auto admin = users::ApplyUserRights(*db, QStringLiteral("admin"));
    commands::Situation in;
    in.sessionActive = true;
    in.rights = &admin;
    auto s = commands::ComputeStates(in);
    for (const char* hidden :
         {"KPI", "PDI", "Knjiga_prometa", "Knjizenje_odjava", "Pregledi_odjave",
          "Rekapitulacija_odjava", "Odjava_artikala_po_meduskladisnicama", "Sifarnici_Djelatnici",
          "Rekapitulacija_vremena_po_djelatnicima", "Word_dokumenti"}) {
        EXPECT_FALSE(Of(s, hidden).visible) << hidden;
    }
    in.r2 = in.commissionWarehouse = in.employeesAndServiceDuration = in.wordDocuments = true;
    s = commands::ComputeStates(in);
    for (const char* shown : {"KPI", "PDI", "Knjiga_prometa", "Knjizenje_odjava",
                              "Rekapitulacija_vremena_po_djelatnicima", "Word_dokumenti"}) {
        EXPECT_TRUE(Of(s, shown).visible) << shown;
    }
}

class CompanyOpenTest : public CompanyTest {};

TEST_F(CompanyOpenTest, AWrongPasswordIsAskedAgainUntilRight) {
    Open()->SetPassword(QStringLiteral("tajna"));
    prompter.AnswerText(QStringLiteral("kriva")).AnswerText(QStringLiteral("tajna"));
    auto opened = companyopen::Open(CompanyPath(), prompter);
    ASSERT_NE(opened.db, nullptr);
    EXPECT_EQ(opened.password, QStringLiteral("tajna"));
    EXPECT_EQ(prompter.Shown(), (QStringList{QStringLiteral("Upišite password za izabranu bazu "
                                                            "podataka."),
                                             QStringLiteral("Upišite password za izabranu bazu "
                                                            "podataka.")}));
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

TEST_F(CompanyOpenTest, AnEmptyOrCancelledPasswordStopsTheOpening) {
    Open()->SetPassword(QStringLiteral("tajna"));
    prompter.AnswerText(QString());
    EXPECT_EQ(companyopen::Open(CompanyPath(), prompter).db, nullptr);
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Nije upisan točan password.")});
    prompter.Clear();
    prompter.Cancel();
    EXPECT_EQ(companyopen::Open(CompanyPath(), prompter).db, nullptr);
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Nije upisan točan password."));
}

TEST_F(CompanyOpenTest, ForeignMissingAndCancelledFilesAreRefusedAndLeftAlone) {
    const QString foreign = Folder() + QStringLiteral("/tuda.mdb");
    {
        auto db = Database::OpenRaw(foreign, true);
        db->ExecRaw(QStringLiteral("CREATE TABLE \"X\" (\"A\" INTEGER)"));
    }
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    EXPECT_EQ(companyopen::Open(foreign, prompter).db, nullptr);
    EXPECT_EQ(
        prompter.Messages(),
        QStringList{QStringLiteral("Nije izabrana Zodra datoteka ili je datoteka oštećena.")});
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_FALSE(QFile::exists(foreign + QStringLiteral(".popravak")));

    prompter.Clear();
    EXPECT_EQ(companyopen::Open(Folder() + QStringLiteral("/nema.mdb"), prompter).db, nullptr);
    EXPECT_EQ(prompter.Messages(), QStringList{QStringLiteral("Ove datoteke nema.")});

    prompter.Clear();
    EXPECT_EQ(companyopen::Open(QString(), prompter).db, nullptr);
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST_F(CompanyOpenTest, ADamagedCompanyIsRepairedOnACopyAndOpened) {
    {
        auto db = Open();
        db->ExecRaw(QStringLiteral("DROP TABLE \"USLUGE\""));
    }
    auto opened = companyopen::Open(CompanyPath(), prompter);
    ASSERT_NE(opened.db, nullptr) << prompter.Messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(opened.repaired);
    EXPECT_EQ(prompter.Messages(),
              (QStringList{QStringLiteral("Nije izabrana Zodra datoteka ili je datoteka oštećena. "
                                          "Bit će napravljen popravak datoteke."),
                           QStringLiteral("Popravak datoteke napravljen uspješno. Možete nastaviti "
                                          "sa radom.")}));
    EXPECT_TRUE(opened.db->TableExists(QStringLiteral("USLUGE")));
    // The damaged original is kept beside the file.
    const QStringList kept = QDir(Folder()).entryList({QStringLiteral("firma.mdb.ostecena-*")});
    EXPECT_FALSE(kept.isEmpty());
}

TEST_F(CompanyOpenTest, ANewCompanyNeedsANewName) {
    EXPECT_FALSE(companyopen::CreateNew(CompanyPath(), prompter, QDate(2026, 3, 2)));
    EXPECT_EQ(prompter.Messages(),
              QStringList{QStringLiteral("Za novu datoteku morate izabrati novo ime !")});
    // Still the same company with its password: nothing was copied over it.
    EXPECT_NE(Open(), nullptr);

    prompter.Clear();
    const QString fresh = Folder() + QStringLiteral("/nova.mdb");
    ASSERT_TRUE(companyopen::CreateNew(fresh, prompter, QDate(2027, 1, 5)));
    EXPECT_TRUE(prompter.Messages().isEmpty());
    auto opened = Database::Open(fresh, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
    EXPECT_EQ(opened.db
                  ->Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE "
                                          "\"Naziv\" = 'Godina koja se knjiži'"))
                  .toString(),
              QStringLiteral("2027"));
    EXPECT_TRUE(QFile::exists(CompanySchema::DefaultDetailPath(fresh)));
}

class AutoBackupTest : public CompanyTest {};

TEST_F(AutoBackupTest, WeekdayCopyBesideTheDatabaseOnlyWhenSwitchedOn) {
    EXPECT_EQ(autobackup::WeekdayName(QDate(2026, 3, 1)), QStringLiteral("Nedjelja"));
    EXPECT_EQ(autobackup::WeekdayName(QDate(2026, 3, 5)), QStringLiteral("Četvrtak"));
    EXPECT_EQ(autobackup::WeekdayName(QDate(2026, 3, 7)), QStringLiteral("Subota"));
    EXPECT_EQ(autobackup::TargetPath(QStringLiteral("/d/firma.mdb"), QDate(2026, 3, 1)),
              QStringLiteral("/d/firma_Nedjelja.bak"));

    auto db = Open();
    const QString sunday = Folder() + QStringLiteral("/firma_Nedjelja.bak");
    EXPECT_TRUE(autobackup::Run(*db, QDate(2026, 3, 1)).isEmpty());
    EXPECT_FALSE(QFile::exists(sunday));

    db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"AutoBackup\" = 1, \"NAZIV\" = ?"),
             {QStringLiteral("Prvi tjedan")});
    EXPECT_EQ(autobackup::Run(*db, QDate(2026, 3, 1)), sunday);
    ASSERT_TRUE(QFile::exists(sunday));
    EXPECT_TRUE(QFile::exists(Folder() + QStringLiteral("/firma_Nedjelja.det.bak")));

    // A week later the Sunday copy is replaced; Monday gets its own.
    db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = ?"),
             {QStringLiteral("Drugi tjedan")});
    autobackup::Run(*db, QDate(2026, 3, 8));
    autobackup::Run(*db, QDate(2026, 3, 9));
    EXPECT_TRUE(QFile::exists(Folder() + QStringLiteral("/firma_Ponedjeljak.bak")));
    auto copy = Database::Open(sunday, QString());
    ASSERT_EQ(copy.status, Database::OpenStatus::Ok) << ToString(copy.status);
    EXPECT_EQ(copy.db->Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PODACI_FIRME\"")).toString(),
              QStringLiteral("Drugi tjedan"));
    EXPECT_EQ(QDir(Folder()).entryList({QStringLiteral("*.novi")}).size(), 0);
}

// A detail file of another company in the detail file's place: the company opens, the user is
// told and offered to link the right one; a wrong choice is refused and asked again.
TEST_F(CompanyOpenTest, AnotherCompanysDetailFileIsRefusedAndTheRelinkOffered) {
    const QString detail = CompanySchema::DefaultDetailPath(CompanyPath());
    const QString own = Folder() + QStringLiteral("/pravi.det");
    ASSERT_TRUE(QFile::rename(detail, own));
    const QString other = Folder() + QStringLiteral("/druga.mdb");
    CompanySchema::CreateCompany(other, 2026);
    ASSERT_TRUE(QFile::copy(CompanySchema::DefaultDetailPath(other), detail));
    const QString problem =
        QStringLiteral("Datoteka detalja ") + detail + QStringLiteral(" pripada drugom poduzeću.");

    prompter.AnswerYes()
        .AnswerText(CompanySchema::DefaultDetailPath(other))
        .AnswerYes()
        .AnswerText(own);
    auto opened = companyopen::Open(CompanyPath(), prompter);
    ASSERT_NE(opened.db, nullptr);
    EXPECT_TRUE(opened.db->DetailAttached());
    EXPECT_EQ(opened.db->DetailPath(), own);
    const QString question = QStringLiteral(
        "\nDetaljni računi nisu dostupni dok se ne poveže ispravna datoteka. "
        "Želite li sada povezati datoteku detalja?");
    EXPECT_EQ(
        prompter.Shown(),
        (QStringList{problem + question, QStringLiteral("Baza podataka za detaljne račune"),
                     QStringLiteral("Datoteka detalja ") + CompanySchema::DefaultDetailPath(other) +
                         QStringLiteral(" pripada drugom poduzeću."),
                     problem + question, QStringLiteral("Baza podataka za detaljne račune")}));

    // Answered No, the company opens without its detail file and the file is left alone.
    opened.db->SetMeta(QStringLiteral("DETALJNA_DATOTEKA"), QString());
    opened.db.reset();
    QFile foreign(detail);
    ASSERT_TRUE(foreign.open(QIODevice::ReadOnly));
    const QByteArray before = foreign.readAll();
    foreign.close();
    prompter.Clear();
    prompter.AnswerNo();
    opened = companyopen::Open(CompanyPath(), prompter);
    ASSERT_NE(opened.db, nullptr);
    EXPECT_FALSE(opened.db->DetailAttached());
    EXPECT_EQ(prompter.Shown(), QStringList{problem + question});
    opened.db.reset();
    ASSERT_TRUE(foreign.open(QIODevice::ReadOnly));
    EXPECT_EQ(foreign.readAll(), before);
}
