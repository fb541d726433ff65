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

using namespace zodra;
using zodra::test::CompanyTest;

namespace {
int PartnerCount(Database& db) {
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\"")).toInt();
}
void AddPartner(Database& db, const QString& name) {
    db.Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\") VALUES (?)"), {name});
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
    Open()->SetPassword(QStringLiteral("tajna"));
    EXPECT_EQ(Database::Open(CompanyPath(), QStringLiteral("kriva")).status,
              Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(CompanyPath(), QStringLiteral("Tajna")).status,
              Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(CompanyPath(), QStringLiteral("tajna")).status,
              Database::OpenStatus::Ok);
    // The password is kept as a hash, never in clear.
    const QString stored = Open(QStringLiteral("tajna"))->Meta(QStringLiteral("LOZINKA"));
    EXPECT_TRUE(stored.startsWith(QStringLiteral("$argon2id$")));
    EXPECT_FALSE(stored.contains(QStringLiteral("tajna")));
    // Set back to empty, the company opens without one again.
    Open(QStringLiteral("tajna"))->SetPassword(QString());
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::Ok);
}

TEST_F(DatabaseOpen, MissingForeignAndDamagedFilesAreToldApart) {
    EXPECT_EQ(Database::Open(Folder() + QStringLiteral("/nema.mdb"), QString()).status,
              Database::OpenStatus::Missing);
    EXPECT_EQ(Database::Open(QString(), QString()).status, Database::OpenStatus::Missing);

    const QString text = Folder() + QStringLiteral("/tekst.mdb");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Ovo nije baza podataka, samo tekst koji je netko nazvao .mdb\n");
    }
    EXPECT_EQ(Database::Open(text, QString()).status, Database::OpenStatus::NotACompany);

    // A database of some other program.
    const QString other = Folder() + QStringLiteral("/drugi.mdb");
    {
        auto db = Database::OpenRaw(other, true);
        db->ExecRaw(QStringLiteral("CREATE TABLE \"PARTNERI\" (\"x\" INTEGER)"));
    }
    EXPECT_EQ(Database::Open(other, QString()).status, Database::OpenStatus::NotACompany);
    // Neither was touched.
    EXPECT_TRUE(QFileInfo::exists(text));
    EXPECT_TRUE(QFileInfo::exists(other));

    // A company file that lost one of its core tables.
    {
        auto db = Database::OpenRaw(CompanyPath(), false);
        db->ExecRaw(QStringLiteral("DROP TABLE \"USLUGE\""));
    }
    auto damaged = Database::Open(CompanyPath(), QString());
    EXPECT_EQ(damaged.status, Database::OpenStatus::Damaged);
    EXPECT_EQ(damaged.db, nullptr);
}

TEST_F(DatabaseOpen, AFileOfANewerVersionIsRefused) {
    Open()->ExecRaw(
        QStringLiteral("PRAGMA user_version = %1").arg(CompanySchema::kCurrentVersion + 1));
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::TooNew);
}

TEST_F(DatabaseOpen, AReadOnlyFileIsRefusedAndLeftAlone) {
    QFile::setPermissions(CompanyPath(), QFileDevice::ReadOwner | QFileDevice::ReadUser);
    if (QFileInfo(CompanyPath()).isWritable()) {
        GTEST_SKIP() << "running as root: permissions do not make a file read-only";
    }
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::ReadOnly);
}

TEST_F(DatabaseOpen, AMissingDetailFileStillOpensTheCompany) {
    const QString detail = CompanySchema::DefaultDetailPath(CompanyPath());
    ASSERT_TRUE(QFile::rename(detail, detail + QStringLiteral(".negdje")));
    auto result = Database::Open(CompanyPath(), QString());
    ASSERT_EQ(result.status, Database::OpenStatus::Ok);
    EXPECT_FALSE(result.db->DetailAttached());
    // Nothing was created in its place.
    EXPECT_FALSE(QFileInfo::exists(detail));
}

class DatabaseTransactions : public CompanyTest {};

TEST_F(DatabaseTransactions, AGuardRollsBackUnlessCommittedAndOnARefusal) {
    auto db = Open();
    const int before = PartnerCount(*db);
    {
        Transaction tx(*db);
        AddPartner(*db, QStringLiteral("Privremeni"));
        EXPECT_EQ(PartnerCount(*db), before + 1);
    }
    EXPECT_EQ(PartnerCount(*db), before);
    {
        Transaction tx(*db);
        AddPartner(*db, QStringLiteral("Trajni"));
        tx.Commit();
    }
    EXPECT_EQ(PartnerCount(*db), before + 1);
    // A refusal thrown inside a posting leaves nothing of it.
    EXPECT_THROW(
        {
            Transaction tx(*db);
            AddPartner(*db, QStringLiteral("A"));
            throw UserError(QStringLiteral("Nedovoljna količina artikla X"));
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
        AddPartner(*db, QStringLiteral("Vanjski"));
        {
            Transaction inner(*db);
            AddPartner(*db, QStringLiteral("Unutarnji odbačen"));
        }
        {
            Transaction inner(*db);
            AddPartner(*db, QStringLiteral("Unutarnji prihvaćen"));
            inner.Commit();
        }
        outer.Commit();
    }
    EXPECT_EQ(PartnerCount(*db), before + 2);
    EXPECT_FALSE(db->Scalar(QStringLiteral("SELECT 1 FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"),
                            {QStringLiteral("Unutarnji odbačen")})
                     .isValid());
    // An inner commit does not survive the outer rollback.
    {
        Transaction outer(*db);
        {
            Transaction inner(*db);
            AddPartner(*db, QStringLiteral("Izgubljen"));
            inner.Commit();
        }
    }
    EXPECT_EQ(PartnerCount(*db), before + 2);
}

TEST_F(DatabaseTransactions, TwoConnectionsCannotBothWriteAtOnce) {
    auto first = Open();
    auto second = Open();
    second->ExecRaw(QStringLiteral("PRAGMA busy_timeout = 50"));
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
        db->Exec(QStringLiteral("SELECT \"NEPOSTOJECI\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"),
                 {1});
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.sql().contains(QStringLiteral("NEPOSTOJECI")));
        EXPECT_TRUE(e.driverText().contains(QStringLiteral("NEPOSTOJECI")));
    }
}

class DatabaseValues : public CompanyTest {};

TEST_F(DatabaseValues, TextsWithQuotesPercentAndCroatianLettersRoundTrip) {
    auto db = Open();
    const QStringList names = {QStringLiteral("Kod Ane's"), QStringLiteral("\"Navodnici\" d.o.o."),
                               QStringLiteral("100% čisto"),
                               QStringLiteral("Đurđa & Žiga; DROP TABLE x"),
                               QStringLiteral("a_b\\c")};
    for (const QString& n : names) {
        AddPartner(*db, n);
    }
    for (const QString& n : names) {
        EXPECT_EQ(
            db->Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"),
                       {n})
                .toString(),
            n);
    }
    EXPECT_TRUE(db->TableExists(QStringLiteral("PARTNERI")));
}

TEST_F(DatabaseValues, SearchFoldsCroatianLettersAndEscapesWildcards) {
    auto db = Open();
    for (const char16_t* n :
         {u"Čaj od kamilice", u"čokolada", u"Cesta", u"100% sok", u"1000 sokova", u"a_b", u"axb"}) {
        AddPartner(*db, QString::fromUtf16(n));
    }
    auto count = [&](const QString& typed) {
        return db
            ->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\" WHERE zfold(\"NAZIV\") "
                                    "LIKE ? ESCAPE '\\'"),
                     {textsearch::PrefixPattern(typed)})
            .toInt();
    };
    EXPECT_EQ(count(QStringLiteral("č")), 2);  // SQLite's own LIKE would find only one
    EXPECT_EQ(count(QStringLiteral("ČAJ")), 1);
    EXPECT_EQ(count(QStringLiteral("c")), 1);  // C is not Č
    EXPECT_EQ(count(QStringLiteral("100%")), 1);
    EXPECT_EQ(count(QStringLiteral("100")), 2);
    EXPECT_EQ(count(QStringLiteral("a_b")), 1);
    EXPECT_EQ(count(QStringLiteral("*kamil")), 1);
    EXPECT_EQ(count(QStringLiteral("ča*mil")), 1);
}

TEST_F(DatabaseValues, TheCroatianCollationOrdersLettersAsCroatianReadersExpect) {
    auto db = Open();
    db->ExecRaw(QStringLiteral("DELETE FROM \"PARTNERI\""));
    const QStringList expected = {
        QStringLiteral("Ana"),   QStringLiteral("Cesta"),   QStringLiteral("Čaj"),
        QStringLiteral("Ćevap"), QStringLiteral("Dario"),   QStringLiteral("Džemal"),
        QStringLiteral("Đuro"),  QStringLiteral("Lovro"),   QStringLiteral("Ljiljana"),
        QStringLiteral("Sisak"), QStringLiteral("Šibenik"), QStringLiteral("Zagreb"),
        QStringLiteral("Žaba")};
    for (auto it = expected.rbegin(); it != expected.rend(); ++it) {
        AddPartner(*db, *it);
    }
    QStringList sorted;
    Statement s = db->Prepare(
        QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" ORDER BY \"NAZIV\" COLLATE \"HR\""));
    s.Exec();
    while (s.Next()) {
        sorted << s.Text(0);
    }
    EXPECT_EQ(sorted, expected);
}

class DetailFile : public CompanyTest {
protected:
    int DetailRows(Database& db) {
        return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\"")).toInt();
    }
    void PostDetail(Database& db, int number) {
        Transaction tx(db);
        AddPartner(db, QStringLiteral("Kupac %1").arg(number));
        tx.DeferDetail(QStringLiteral("INSERT INTO \"RACUNI_DETALJNO\" (\"SKLADISTE\", \"IRA\", "
                                      "\"GODINA\", \"BROJ RACUNA\") VALUES (?, ?, ?, ?)"),
                       {1, 1, 2026, number});
        tx.Commit();
    }
};

TEST_F(DetailFile, DetailTablesAreReachedUnderTheirOwnNames) {
    auto db = Open();
    EXPECT_TRUE(db->TableExists(QStringLiteral("RACUNI_DETALJNO")));
    EXPECT_TRUE(db->TableExists(QStringLiteral("STAVKE_RACUNA_DETALJNO")));
    EXPECT_TRUE(db->TableExists(QStringLiteral("NAPLATA_DETALJNO")));
    // They live in the detail file, not in the company file.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"main\".\"sqlite_master\" WHERE "
                                        "\"name\" = 'RACUNI_DETALJNO'"))
                  .toInt(),
              0);
}

TEST_F(DetailFile, ACommittedPostingReachesTheDetailFileOnce) {
    auto db = Open();
    PostDetail(*db, 7);
    EXPECT_EQ(DetailRows(*db), 1);
    EXPECT_EQ(db->PendingDetailCount(), 0);
    EXPECT_EQ(db->ApplyPendingDetail(), 0);
    EXPECT_EQ(DetailRows(*db), 1);
}

TEST_F(DetailFile, ARolledBackPostingLeavesNothingInEitherFile) {
    auto db = Open();
    const int partners = PartnerCount(*db);
    {
        Transaction tx(*db);
        AddPartner(*db, QStringLiteral("X"));
        tx.DeferDetail(QStringLiteral("INSERT INTO \"RACUNI_DETALJNO\" (\"SKLADISTE\", \"IRA\", "
                                      "\"GODINA\", \"BROJ RACUNA\") VALUES (1, 1, 2026, 1)"),
                       {});
    }
    EXPECT_EQ(PartnerCount(*db), partners);
    EXPECT_EQ(db->PendingDetailCount(), 0);
    EXPECT_EQ(DetailRows(*db), 0);
}

TEST_F(DetailFile, ChangesWaitWhileTheDetailFileIsMissingAndApplyWhenItIsBack) {
    const QString detail = CompanySchema::DefaultDetailPath(CompanyPath());
    ASSERT_TRUE(QFile::rename(detail, detail + QStringLiteral(".odnesena")));
    {
        auto db = Open();
        PostDetail(*db, 1);
        PostDetail(*db, 2);
        EXPECT_EQ(db->PendingDetailCount(), 2);
    }
    ASSERT_TRUE(QFile::rename(detail + QStringLiteral(".odnesena"), detail));
    auto db = Open();
    EXPECT_EQ(db->PendingDetailCount(), 0);
    EXPECT_EQ(DetailRows(*db), 2);
}

TEST_F(DetailFile, RelinkingPointsTheCompanyAtAnotherDetailFile) {
    const QString other = Folder() + QStringLiteral("/arhiva/detalji.det");
    QDir().mkpath(Folder() + QStringLiteral("/arhiva"));
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
    EXPECT_EQ(direct->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\"")).toInt(),
              1);
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
    const QString own = detail + QStringLiteral(".prava");
    ASSERT_TRUE(QFile::copy(detail, own));
    const QString otherCompany = Folder() + QStringLiteral("/druga.mdb");
    CompanySchema::CreateCompany(otherCompany, 2026);
    struct Case {
        const char* name;
        QByteArray bytes;
        QString message;
    };
    const QList<Case> cases = {
        {"empty", QByteArray(),
         QStringLiteral("Datoteka detalja ") + detail +
             QStringLiteral(" nije Zodra datoteka detaljnih računa.")},
        {"random", QByteArray(20000, '\x5a'),
         QStringLiteral("Datoteka detalja ") + detail +
             QStringLiteral(" nije Zodra datoteka detaljnih računa.")},
        {"another company's", FileBytes(CompanySchema::DefaultDetailPath(otherCompany)),
         QStringLiteral("Datoteka detalja ") + detail +
             QStringLiteral(" pripada drugom poduzeću.")},
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
        Open()->Exec(QStringLiteral("DELETE FROM \"DET_ODGODENO\""));
    }
    // Relinking to another company's detail file is refused and keeps the link as it was;
    // the company's own file is taken, and what waited reaches it.
    auto db = Open();
    PostDetail(*db, 6);
    EXPECT_REFUSED(db->RelinkDetail(CompanySchema::DefaultDetailPath(otherCompany)),
                   QStringLiteral("Datoteka detalja ") +
                       CompanySchema::DefaultDetailPath(otherCompany) +
                       QStringLiteral(" pripada drugom poduzeću."));
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
    first->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"KORISNICI\""));
    ASSERT_TRUE(LockedForOtherProcesses(CompanyPath()));
    auto second = Open();
    EXPECT_TRUE(CompanySchema::IsDetailFile(CompanySchema::DefaultDetailPath(CompanyPath())));
    EXPECT_TRUE(LockedForOtherProcesses(CompanyPath()));
    first.reset();
    EXPECT_TRUE(LockedForOtherProcesses(CompanyPath()));
    second.reset();
    EXPECT_FALSE(LockedForOtherProcesses(CompanyPath()));
}
