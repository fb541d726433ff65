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

using namespace Qt::StringLiterals;

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

TEST(RecentDatabases, MoveToFrontAndDropOverThreeSlots) {
    const QStringList start = L({"a.mdb", "b.mdb", "c.mdb"});
    // Already second: it goes first, the first moves down, the third stays.
    EXPECT_EQ(recent::MoveToFront(start, u"b.mdb"_s), L({"b.mdb", "a.mdb", "c.mdb"}));
    EXPECT_EQ(recent::MoveToFront(start, u"c.mdb"_s), L({"c.mdb", "a.mdb", "b.mdb"}));
    EXPECT_EQ(recent::MoveToFront(start, u"a.mdb"_s), start);
    // New: everything moves down and the last drops.
    EXPECT_EQ(recent::MoveToFront(start, u"d.mdb"_s), L({"d.mdb", "a.mdb", "b.mdb"}));
    EXPECT_EQ(recent::MoveToFront({}, u"d.mdb"_s), L({"d.mdb", "", ""}));
    // A dropped entry: those below move up.
    EXPECT_EQ(recent::Drop(start, 0), L({"b.mdb", "c.mdb", ""}));
    EXPECT_EQ(recent::Drop(start, 1), L({"a.mdb", "c.mdb", ""}));
    EXPECT_EQ(recent::Drop(start, 2), L({"a.mdb", "b.mdb", ""}));
    EXPECT_EQ(recent::Caption(1, u"/x/b.mdb"_s), u"&2 /x/b.mdb"_s);
}

TEST(RecentDatabases, KeptInTheUsersSettingsUnderTheirGroups) {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"Zodra.ini"_s);
    {
        QSettings s(file, QSettings::IniFormat);
        EXPECT_EQ(recent::Load(s), L({"", "", ""}));
        EXPECT_TRUE(recent::LoadShowBars(s));
        recent::Save(s, L({"a.mdb", "b.mdb"}));
        recent::SaveShowBars(s, false);
    }
    QSettings s(file, QSettings::IniFormat);
    EXPECT_EQ(s.value(u"ZadnjeBaze/Baza1"_s).toString(), u"a.mdb"_s);
    EXPECT_EQ(s.value(u"ZadnjeBaze/Baza3"_s).toString(), QString());
    EXPECT_EQ(s.value(u"Opcije/PomocneTrake"_s).toString(), u"False"_s);
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
    users::AddUser(*db, u"Marko"_s, QString(), true);
    users::SetRight(*db, u"Marko"_s, u"Primka"_s, false);
    const auto marko = users::ApplyUserRights(*db, u"Marko"_s);
    const auto admin = users::ApplyUserRights(*db, u"admin"_s);

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
    const auto admin = users::ApplyUserRights(*db, u"admin"_s);
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
    Open()->SetPassword(u"tajna"_s);
    prompter.AnswerText(u"kriva"_s).AnswerText(u"tajna"_s);
    auto opened = companyopen::Open(CompanyPath(), prompter);
    ASSERT_NE(opened.db, nullptr);
    EXPECT_EQ(opened.password, u"tajna"_s);
    EXPECT_EQ(prompter.Shown(), (QStringList{u"Upišite password za izabranu bazu "
                                             "podataka."_s,
                                             u"Upišite password za izabranu bazu "
                                             "podataka."_s}));
    EXPECT_TRUE(prompter.Messages().isEmpty());
}

TEST_F(CompanyOpenTest, AnEmptyOrCancelledPasswordStopsTheOpening) {
    Open()->SetPassword(u"tajna"_s);
    prompter.AnswerText(QString());
    EXPECT_EQ(companyopen::Open(CompanyPath(), prompter).db, nullptr);
    EXPECT_EQ(prompter.Messages(), QStringList{u"Nije upisan točan password."_s});
    prompter.Clear();
    prompter.Cancel();
    EXPECT_EQ(companyopen::Open(CompanyPath(), prompter).db, nullptr);
    EXPECT_EQ(prompter.LastMessage(), u"Nije upisan točan password."_s);
}

TEST_F(CompanyOpenTest, ForeignMissingAndCancelledFilesAreRefusedAndLeftAlone) {
    const QString foreign = Folder() + u"/tuda.mdb"_s;
    {
        auto db = Database::OpenRaw(foreign, true);
        db->ExecRaw(u"CREATE TABLE \"X\" (\"A\" INTEGER)"_s);
    }
    QFile f(foreign);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray before = f.readAll();
    f.close();
    EXPECT_EQ(companyopen::Open(foreign, prompter).db, nullptr);
    EXPECT_EQ(prompter.Messages(),
              QStringList{u"Nije izabrana Zodra datoteka ili je datoteka oštećena."_s});
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    EXPECT_FALSE(QFile::exists(foreign + u".popravak"_s));

    prompter.Clear();
    EXPECT_EQ(companyopen::Open(Folder() + u"/nema.mdb"_s, prompter).db, nullptr);
    EXPECT_EQ(prompter.Messages(), QStringList{u"Ove datoteke nema."_s});

    prompter.Clear();
    EXPECT_EQ(companyopen::Open(QString(), prompter).db, nullptr);
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST_F(CompanyOpenTest, ADamagedCompanyIsRepairedOnACopyAndOpened) {
    {
        auto db = Open();
        db->ExecRaw(u"DROP TABLE \"USLUGE\""_s);
    }
    auto opened = companyopen::Open(CompanyPath(), prompter);
    ASSERT_NE(opened.db, nullptr) << prompter.Messages().join(u" | "_s).toStdString();
    EXPECT_TRUE(opened.repaired);
    EXPECT_EQ(prompter.Messages(),
              (QStringList{u"Nije izabrana Zodra datoteka ili je datoteka oštećena. "
                           "Bit će napravljen popravak datoteke."_s,
                           u"Popravak datoteke napravljen uspješno. Možete nastaviti "
                           "sa radom."_s}));
    EXPECT_TRUE(opened.db->TableExists(u"USLUGE"_s));
    // The damaged original is kept beside the file.
    const QStringList kept = QDir(Folder()).entryList({u"firma.mdb.ostecena-*"_s});
    EXPECT_FALSE(kept.isEmpty());
}

TEST_F(CompanyOpenTest, ANewCompanyNeedsANewName) {
    EXPECT_FALSE(companyopen::CreateNew(CompanyPath(), prompter, QDate(2026, 3, 2)));
    EXPECT_EQ(prompter.Messages(), QStringList{u"Za novu datoteku morate izabrati novo ime !"_s});
    // Still the same company with its password: nothing was copied over it.
    EXPECT_NE(Open(), nullptr);

    prompter.Clear();
    const QString fresh = Folder() + u"/nova.mdb"_s;
    ASSERT_TRUE(companyopen::CreateNew(fresh, prompter, QDate(2027, 1, 5)));
    EXPECT_TRUE(prompter.Messages().isEmpty());
    auto opened = Database::Open(fresh, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
    EXPECT_EQ(opened.db
                  ->Scalar(u"SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE "
                           "\"Naziv\" = 'Godina koja se knjiži'"_s)
                  .toString(),
              u"2027"_s);
    EXPECT_TRUE(QFile::exists(CompanySchema::DefaultDetailPath(fresh)));
}

class AutoBackupTest : public CompanyTest {};

TEST_F(AutoBackupTest, WeekdayCopyBesideTheDatabaseOnlyWhenSwitchedOn) {
    EXPECT_EQ(autobackup::WeekdayName(QDate(2026, 3, 1)), u"Nedjelja"_s);
    EXPECT_EQ(autobackup::WeekdayName(QDate(2026, 3, 5)), u"Četvrtak"_s);
    EXPECT_EQ(autobackup::WeekdayName(QDate(2026, 3, 7)), u"Subota"_s);
    EXPECT_EQ(autobackup::TargetPath(u"/d/firma.mdb"_s, QDate(2026, 3, 1)),
              u"/d/firma_Nedjelja.bak"_s);

    auto db = Open();
    const QString sunday = Folder() + u"/firma_Nedjelja.bak"_s;
    EXPECT_TRUE(autobackup::Run(*db, QDate(2026, 3, 1)).isEmpty());
    EXPECT_FALSE(QFile::exists(sunday));

    db->Exec(u"UPDATE \"PODACI_FIRME\" SET \"AutoBackup\" = 1, \"NAZIV\" = ?"_s,
             {u"Prvi tjedan"_s});
    EXPECT_EQ(autobackup::Run(*db, QDate(2026, 3, 1)), sunday);
    ASSERT_TRUE(QFile::exists(sunday));
    EXPECT_TRUE(QFile::exists(Folder() + u"/firma_Nedjelja.det.bak"_s));

    // A week later the Sunday copy is replaced; Monday gets its own.
    db->Exec(u"UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = ?"_s, {u"Drugi tjedan"_s});
    autobackup::Run(*db, QDate(2026, 3, 8));
    autobackup::Run(*db, QDate(2026, 3, 9));
    EXPECT_TRUE(QFile::exists(Folder() + u"/firma_Ponedjeljak.bak"_s));
    auto copy = Database::Open(sunday, QString());
    ASSERT_EQ(copy.status, Database::OpenStatus::Ok) << ToString(copy.status);
    EXPECT_EQ(copy.db->Scalar(u"SELECT \"NAZIV\" FROM \"PODACI_FIRME\""_s).toString(),
              u"Drugi tjedan"_s);
    EXPECT_EQ(QDir(Folder()).entryList({u"*.novi"_s}).size(), 0);
}

// A detail file of another company in the detail file's place: the company opens, the user is
// told and offered to link the right one; a wrong choice is refused and asked again.
TEST_F(CompanyOpenTest, AnotherCompanysDetailFileIsRefusedAndTheRelinkOffered) {
    const QString detail = CompanySchema::DefaultDetailPath(CompanyPath());
    const QString own = Folder() + u"/pravi.det"_s;
    ASSERT_TRUE(QFile::rename(detail, own));
    const QString other = Folder() + u"/druga.mdb"_s;
    CompanySchema::CreateCompany(other, 2026);
    ASSERT_TRUE(QFile::copy(CompanySchema::DefaultDetailPath(other), detail));
    const QString problem = u"Datoteka detalja "_s + detail + u" pripada drugom poduzeću."_s;

    prompter.AnswerYes()
        .AnswerText(CompanySchema::DefaultDetailPath(other))
        .AnswerYes()
        .AnswerText(own);
    auto opened = companyopen::Open(CompanyPath(), prompter);
    ASSERT_NE(opened.db, nullptr);
    EXPECT_TRUE(opened.db->DetailAttached());
    EXPECT_EQ(opened.db->DetailPath(), own);
    const QString question =
        u"\nDetaljni računi nisu dostupni dok se ne poveže ispravna datoteka. "
        "Želite li sada povezati datoteku detalja?"_s;
    EXPECT_EQ(prompter.Shown(),
              (QStringList{problem + question, u"Baza podataka za detaljne račune"_s,
                           u"Datoteka detalja "_s + CompanySchema::DefaultDetailPath(other) +
                               u" pripada drugom poduzeću."_s,
                           problem + question, u"Baza podataka za detaljne račune"_s}));

    // Answered No, the company opens without its detail file and the file is left alone.
    opened.db->SetMeta(u"DETALJNA_DATOTEKA"_s, QString());
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
