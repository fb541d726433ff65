#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <cstring>

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/TextSearch.h"
#include "data/Transaction.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::CompanyTest;

namespace {
int PartnerCount(Database& db) {
    return db.Scalar(u"SELECT COUNT(*) FROM \"PARTNERI\""_s).toInt();
}
void AddPartner(Database& db, const QString& name) {
    db.Exec(u"INSERT INTO \"PARTNERI\" (\"NAZIV\") VALUES (?)"_s, {name});
}
}  // namespace

class DatabaseOpen : public CompanyTest {};

TEST_F(DatabaseOpen, EmptyPasswordOpensANewCompany) {
    auto result = Database::Open(CompanyPath(), QString());
    ASSERT_EQ(result.status, Database::OpenStatus::Ok);
    EXPECT_TRUE(result.db->DetailAttached());
    EXPECT_EQ(result.db->DetailPath(), CompanySchema::DefaultDetailPath(CompanyPath()));
}

TEST_F(DatabaseOpen, WrongPasswordIsItsOwnOutcome) {
    Open()->SetPassword(u"tajna"_s);
    EXPECT_EQ(Database::Open(CompanyPath(), u"kriva"_s).status,
              Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(CompanyPath(), u"Tajna"_s).status,
              Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(CompanyPath(), u"tajna"_s).status, Database::OpenStatus::Ok);
    // The password is kept as a hash, never in clear.
    const QString stored = Open(u"tajna"_s)->Meta(u"LOZINKA"_s);
    EXPECT_TRUE(stored.startsWith(u"$argon2id$"_s));
    EXPECT_FALSE(stored.contains(u"tajna"_s));
    // Set back to empty, the company opens without one again.
    Open(u"tajna"_s)->SetPassword(QString());
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::Ok);
}

TEST_F(DatabaseOpen, MissingForeignAndDamagedFilesAreToldApart) {
    EXPECT_EQ(Database::Open(Folder() + u"/nema.mdb"_s, QString()).status,
              Database::OpenStatus::Missing);
    EXPECT_EQ(Database::Open(QString(), QString()).status, Database::OpenStatus::Missing);

    const QString text = Folder() + u"/tekst.mdb"_s;
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Ovo nije baza podataka, samo tekst koji je netko nazvao .mdb\n");
    }
    EXPECT_EQ(Database::Open(text, QString()).status, Database::OpenStatus::NotACompany);

    // A database of some other program.
    const QString other = Folder() + u"/drugi.mdb"_s;
    {
        auto db = Database::OpenRaw(other, true);
        db->ExecRaw(u"CREATE TABLE \"PARTNERI\" (\"x\" INTEGER)"_s);
    }
    EXPECT_EQ(Database::Open(other, QString()).status, Database::OpenStatus::NotACompany);
    // Neither was touched.
    EXPECT_TRUE(QFileInfo::exists(text));
    EXPECT_TRUE(QFileInfo::exists(other));

    // A company file that lost one of its core tables.
    {
        auto db = Database::OpenRaw(CompanyPath(), false);
        db->ExecRaw(u"DROP TABLE \"USLUGE\""_s);
    }
    auto damaged = Database::Open(CompanyPath(), QString());
    EXPECT_EQ(damaged.status, Database::OpenStatus::Damaged);
    EXPECT_EQ(damaged.db, nullptr);
}

TEST_F(DatabaseOpen, AFileOfANewerVersionIsRefusedAndAMissingDetailFileIsNotCreated) {
    const QString detail = CompanySchema::DefaultDetailPath(CompanyPath());
    ASSERT_TRUE(QFile::rename(detail, detail + u".negdje"_s));
    auto result = Database::Open(CompanyPath(), QString());
    ASSERT_EQ(result.status, Database::OpenStatus::Ok);
    EXPECT_FALSE(result.db->DetailAttached());
    EXPECT_FALSE(QFileInfo::exists(detail));
    result.db->ExecRaw(u"PRAGMA user_version = %1"_s.arg(CompanySchema::kCurrentVersion + 1));
    result.db.reset();
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::TooNew);
}

TEST_F(DatabaseOpen, AReadOnlyFileIsRefusedAndLeftAlone) {
    QFile::setPermissions(CompanyPath(), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    if (QFileInfo(CompanyPath()).isWritable()) {
        GTEST_SKIP() << "running as root: permissions do not make a file read-only";
    }
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::ReadOnly);
}

class DatabaseTransactions : public CompanyTest {};

TEST_F(DatabaseTransactions, AGuardRollsBackUnlessCommittedAndOnARefusal) {
    auto db = Open();
    const int before = PartnerCount(*db);
    {
        Transaction tx(*db);
        AddPartner(*db, u"Privremeni"_s);
        EXPECT_EQ(PartnerCount(*db), before + 1);
    }
    EXPECT_EQ(PartnerCount(*db), before);
    {
        Transaction tx(*db);
        AddPartner(*db, u"Trajni"_s);
        tx.Commit();
    }
    EXPECT_EQ(PartnerCount(*db), before + 1);
    // A refusal thrown inside a posting leaves nothing of it.
    EXPECT_THROW(
        {
            Transaction tx(*db);
            AddPartner(*db, u"A"_s);
            throw UserError(u"Nedovoljna količina artikla X"_s);
        },
        UserError);
    EXPECT_EQ(PartnerCount(*db), before + 1);
    EXPECT_EQ(db->TransactionDepth(), 0);
}

TEST_F(DatabaseTransactions, NestedGuardsAreSavepoints) {
    auto db = Open();
    const int before = PartnerCount(*db);
    {
        Transaction outer(*db);
        AddPartner(*db, u"Vanjski"_s);
        {
            Transaction inner(*db);
            AddPartner(*db, u"Unutarnji odbačen"_s);
        }
        {
            Transaction inner(*db);
            AddPartner(*db, u"Unutarnji prihvaćen"_s);
            inner.Commit();
        }
        outer.Commit();
    }
    EXPECT_EQ(PartnerCount(*db), before + 2);
    EXPECT_FALSE(
        db->Scalar(u"SELECT 1 FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"_s, {u"Unutarnji odbačen"_s})
            .isValid());
    // An inner commit does not survive the outer rollback.
    {
        Transaction outer(*db);
        {
            Transaction inner(*db);
            AddPartner(*db, u"Izgubljen"_s);
            inner.Commit();
        }
    }
    EXPECT_EQ(PartnerCount(*db), before + 2);
}

TEST_F(DatabaseTransactions, TwoConnectionsCannotBothWriteAtOnce) {
    auto first = Open();
    auto second = Open();
    second->ExecRaw(u"PRAGMA busy_timeout = 50"_s);
    Transaction tx(*first);
    try {
        Transaction other(*second);
        FAIL() << "a second write transaction began while the first was open";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isBusy()) << e.what();
    }
}

TEST_F(DatabaseTransactions, DbErrorCarriesTheStatementAndTheDriverText) {
    auto db = Open();
    try {
        db->Exec(u"SELECT \"NEPOSTOJECI\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"_s, {1});
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.sql().contains(u"NEPOSTOJECI"_s));
        EXPECT_TRUE(e.driverText().contains(u"NEPOSTOJECI"_s));
    }
}

class DatabaseValues : public CompanyTest {};

TEST_F(DatabaseValues, TextsWithQuotesPercentAndCroatianLettersRoundTrip) {
    auto db = Open();
    const QStringList names = {u"Kod Ane's"_s, u"\"Navodnici\" d.o.o."_s, u"100% čisto"_s,
                               u"Đurđa & Žiga; DROP TABLE x"_s, u"a_b\\c"_s};
    for (const QString& n : names) {
        AddPartner(*db, n);
    }
    for (const QString& n : names) {
        EXPECT_EQ(
            db->Scalar(u"SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"_s, {n}).toString(),
            n);
    }
    EXPECT_TRUE(db->TableExists(u"PARTNERI"_s));
}

TEST_F(DatabaseValues, SearchFoldsCroatianLettersAndEscapesWildcards) {
    auto db = Open();
    for (const char16_t* n :
         {u"Čaj od kamilice", u"čokolada", u"Cesta", u"100% sok", u"1000 sokova", u"a_b", u"axb"}) {
        AddPartner(*db, QString::fromUtf16(n));
    }
    auto count = [&](const QString& typed) {
        return db
            ->Scalar(
                u"SELECT COUNT(*) FROM \"PARTNERI\" WHERE zfold(\"NAZIV\") "
                "LIKE ? ESCAPE '\\'"_s,
                {textsearch::PrefixPattern(typed)})
            .toInt();
    };
    EXPECT_EQ(count(u"č"_s), 2);  // SQLite's own LIKE would find only one
    EXPECT_EQ(count(u"ČAJ"_s), 1);
    EXPECT_EQ(count(u"c"_s), 1);  // C is not Č
    EXPECT_EQ(count(u"100%"_s), 1);
    EXPECT_EQ(count(u"100"_s), 2);
    EXPECT_EQ(count(u"a_b"_s), 1);
    EXPECT_EQ(count(u"*kamil"_s), 1);
    EXPECT_EQ(count(u"ča*mil"_s), 1);
}

TEST_F(DatabaseValues, TheCroatianCollationOrdersLettersAsCroatianReadersExpect) {
    auto db = Open();
    db->ExecRaw(u"DELETE FROM \"PARTNERI\""_s);
    const QStringList expected = {u"Ana"_s,     u"Cesta"_s,  u"Čaj"_s,   u"Ćevap"_s,    u"Dario"_s,
                                  u"Džemal"_s,  u"Đuro"_s,   u"Lovro"_s, u"Ljiljana"_s, u"Sisak"_s,
                                  u"Šibenik"_s, u"Zagreb"_s, u"Žaba"_s};
    for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
        AddPartner(*db, *it);
    }
    QStringList sorted;
    Statement s =
        db->Prepare(u"SELECT \"NAZIV\" FROM \"PARTNERI\" ORDER BY \"NAZIV\" COLLATE \"HR\""_s);
    s.Exec();
    while (s.Next()) {
        sorted << s.Text(0);
    }
    EXPECT_EQ(sorted, expected);
}

class DetailFile : public CompanyTest {
protected:
    int DetailRows(Database& db) {
        return db.Scalar(u"SELECT COUNT(*) FROM \"RACUNI_DETALJNO\""_s).toInt();
    }
    void PostDetail(Database& db, int number) {
        Transaction tx(db);
        AddPartner(db, u"Kupac %1"_s.arg(number));
        tx.DeferDetail(
            u"INSERT INTO \"RACUNI_DETALJNO\" (\"SKLADISTE\", \"IRA\", "
            "\"GODINA\", \"BROJ RACUNA\") VALUES (?, ?, ?, ?)"_s,
            {1, 1, 2026, number});
        tx.Commit();
    }
};

// The detail tables are reached under their own names but live in the detail file.
TEST_F(DetailFile, DetailTablesAreReachedUnderTheirOwnNamesAndAPostingReachesThemOnce) {
    auto db = Open();
    EXPECT_TRUE(db->TableExists(u"RACUNI_DETALJNO"_s));
    EXPECT_TRUE(db->TableExists(u"STAVKE_RACUNA_DETALJNO"_s));
    EXPECT_TRUE(db->TableExists(u"NAPLATA_DETALJNO"_s));
    // They live in the detail file, not in the company file.
    EXPECT_EQ(db->Scalar(u"SELECT COUNT(*) FROM \"main\".\"sqlite_master\" WHERE "
                         "\"name\" = 'RACUNI_DETALJNO'"_s)
                  .toInt(),
              0);

    // A rolled-back posting leaves nothing in either file, a committed one reaches it once.
    const int partners = PartnerCount(*db);
    {
        Transaction tx(*db);
        AddPartner(*db, u"X"_s);
        tx.DeferDetail(
            u"INSERT INTO \"RACUNI_DETALJNO\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
            "\"BROJ RACUNA\") VALUES (1, 1, 2026, 1)"_s,
            {});
    }
    EXPECT_EQ(PartnerCount(*db), partners);
    EXPECT_EQ(db->PendingDetailCount(), 0);
    EXPECT_EQ(DetailRows(*db), 0);
    PostDetail(*db, 7);
    EXPECT_EQ(DetailRows(*db), 1);
    EXPECT_EQ(db->PendingDetailCount(), 0);
    EXPECT_EQ(db->ApplyPendingDetail(), 0);
    EXPECT_EQ(DetailRows(*db), 1);
}

TEST_F(DetailFile, ChangesWaitWhileTheDetailFileIsMissingAndApplyWhenItIsBack) {
    const QString detail = CompanySchema::DefaultDetailPath(CompanyPath());
    ASSERT_TRUE(QFile::rename(detail, detail + u".odnesena"_s));
    {
        auto db = Open();
        PostDetail(*db, 1);
        PostDetail(*db, 2);
        EXPECT_EQ(db->PendingDetailCount(), 2);
    }
    ASSERT_TRUE(QFile::rename(detail + u".odnesena"_s, detail));
    auto db = Open();
    EXPECT_EQ(db->PendingDetailCount(), 0);
    EXPECT_EQ(DetailRows(*db), 2);
}

TEST_F(DetailFile, RelinkingPointsTheCompanyAtAnotherDetailFile) {
    const QString other = Folder() + u"/arhiva/detalji.det"_s;
    QDir().mkpath(Folder() + u"/arhiva"_s);
    CompanySchema::CreateDetailFile(other);
    {
        auto db = Open();
        db->RelinkDetail(other);
        EXPECT_TRUE(db->DetailAttached());
        PostDetail(*db, 3);
    }
    auto db = Open();
    EXPECT_EQ(db->DetailPath(), other);
    EXPECT_EQ(DetailRows(*db), 1);
    auto direct = Database::OpenRaw(other, false);
    EXPECT_EQ(direct->Scalar(u"SELECT COUNT(*) FROM \"RACUNI_DETALJNO\""_s).toInt(), 1);
}

namespace {

QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

// A detail file that is not this company's is never attached nor written to: the company opens
// without it, says why, and a relink to such a file is refused.
TEST_F(DetailFile, AnEmptyAForeignOrAnotherCompanysDetailFileIsLeftAlone) {
    const QString detail = CompanySchema::DefaultDetailPath(CompanyPath());
    const QString own = detail + u".prava"_s;
    ASSERT_TRUE(QFile::copy(detail, own));
    const QString otherCompany = Folder() + u"/druga.mdb"_s;
    CompanySchema::CreateCompany(otherCompany, 2026);
    struct Case {
        const char* name;
        QByteArray bytes;
        QString message;
    };
    const QList<Case> cases = {
        {"empty", QByteArray(),
         u"Datoteka detalja "_s + detail + u" nije Zodra datoteka detaljnih računa."_s},
        {"random", QByteArray(20000, '\x5a'),
         u"Datoteka detalja "_s + detail + u" nije Zodra datoteka detaljnih računa."_s},
        {"another company's", FileBytes(CompanySchema::DefaultDetailPath(otherCompany)),
         u"Datoteka detalja "_s + detail + u" pripada drugom poduzeću."_s},
    };
    for (const Case& c : cases) {
        {
            QFile f(detail);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(c.bytes);
        }
        auto opened = Database::Open(CompanyPath(), QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok) << c.name;
        EXPECT_FALSE(opened.db->DetailAttached()) << c.name;
        EXPECT_EQ(opened.db->DetailProblem(), c.message) << c.name;
        // A posting for the detail file waits in the company file instead.
        PostDetail(*opened.db, 5);
        EXPECT_EQ(opened.db->PendingDetailCount(), 1) << c.name;
        opened.db.reset();
        EXPECT_EQ(FileBytes(detail), c.bytes) << c.name << ": the file was changed";
        Open()->Exec(u"DELETE FROM \"DET_ODGODENO\""_s);
    }
    // Relinking to another company's detail file is refused and keeps the link as it was;
    // the company's own file is taken, and what waited reaches it.
    auto db = Open();
    PostDetail(*db, 6);
    EXPECT_REFUSED(db->RelinkDetail(CompanySchema::DefaultDetailPath(otherCompany)),
                   u"Datoteka detalja "_s + CompanySchema::DefaultDetailPath(otherCompany) +
                       u" pripada drugom poduzeću."_s);
    EXPECT_EQ(db->DetailPath(), detail);
    db->RelinkDetail(own);
    EXPECT_TRUE(db->DetailAttached());
    EXPECT_TRUE(db->DetailProblem().isEmpty());
    EXPECT_EQ(DetailRows(*db), 1);
}

namespace {

// Whether another process finds the database file in use by this one: the engine's shared
// lock range cannot be locked for writing.
bool LockedForOtherProcesses(const QString& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
        struct flock probe;
        std::memset(&probe, 0, sizeof probe);
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        probe.l_start = 0x40000000;  // the engine's lock bytes
        probe.l_len = 512;
        if (fd < 0 || fcntl(fd, F_GETLK, &probe) != 0) {
            _exit(2);
        }
        _exit(probe.l_type == F_UNLCK ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 1;
}

}  // namespace

// Opening a company that this program has open already (a second workstation window, a check
// beside a posting) must not take the first connection's locks away: another process would then
// think nobody uses the file, checkpoint and delete its journal under the first connection.
TEST_F(DatabaseOpen, ASecondOpeningInTheSameProgramKeepsTheFirstConnectionsLocks) {
    auto first = Open();
    first->Scalar(u"SELECT COUNT(*) FROM \"KORISNICI\""_s);
    ASSERT_TRUE(LockedForOtherProcesses(CompanyPath()));
    auto second = Open();
    EXPECT_TRUE(CompanySchema::IsDetailFile(CompanySchema::DefaultDetailPath(CompanyPath())));
    EXPECT_TRUE(LockedForOtherProcesses(CompanyPath()));
    first.reset();
    EXPECT_TRUE(LockedForOtherProcesses(CompanyPath()));
    second.reset();
    EXPECT_FALSE(LockedForOtherProcesses(CompanyPath()));
}
