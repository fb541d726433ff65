#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "data/Compaction.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Transaction.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::CompanyTest;

class CompactionTest : public CompanyTest {
protected:
    void Fill(int partners) {
        auto db = Open();
        Transaction tx(*db);
        for (int i = 0; i < partners; ++i) {
            db->Exec(u"INSERT INTO \"PARTNERI\" (\"NAZIV\", \"ADRESA\") VALUES (?, ?)"_s,
                     {u"Partner %1"_s.arg(i), QString(300, QLatin1Char('x'))});
        }
        tx.Commit();
    }
    int Partners() { return Open()->Scalar(u"SELECT COUNT(*) FROM \"PARTNERI\""_s).toInt(); }
};

TEST_F(CompactionTest, CompactionShrinksTheFileAndKeepsEveryRow) {
    Fill(3000);
    Open()->ExecRaw(u"DELETE FROM \"PARTNERI\" WHERE \"NAZIV\" LIKE 'Partner 1%'"_s);
    const int before = Partners();
    {
        auto db = Open();
        db->ExecRaw(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
    }
    const qint64 sizeBefore = QFileInfo(CompanyPath()).size();
    const auto result = compaction::Compact(CompanyPath(), QString());
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_LT(QFileInfo(CompanyPath()).size(), sizeBefore);
    EXPECT_EQ(Partners(), before);
    EXPECT_EQ(compaction::IntegrityCheck(CompanyPath()), u"ok"_s);
    // No copy is left lying around.
    EXPECT_FALSE(QFileInfo::exists(CompanyPath() + u".sazimanje"_s));
}

// Pages scribbled over near the end, or the last page cut off (a copy that stopped short): the
// repair works on a copy, saves the rows that can still be read with the rest of the company, and
// keeps the damaged original byte for byte.
TEST_F(CompactionTest, ADamagedFileIsRepairedOnACopyAndTheOriginalIsKept) {
    struct Case {
        const char* name;
        std::function<void(QFile&)> damage;
        int partnersAtLeast;
    };
    const std::vector<Case> cases = {
        {"pages overwritten",
         [](QFile& f) {
             const qint64 size = f.size();
             f.seek(size - 4096 * 20);
             f.write(QByteArray(4096 * 3, '\x00'));
             f.seek(size - 4096 * 10);
             f.write(QByteArray(4096, '\x7f'));
         },
         1},
        {"last page cut off", [](QFile& f) { ASSERT_TRUE(f.resize(f.size() - 4096)); }, 1500},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (&c != &cases.front()) {  // a fresh company for the next damage
            for (const char* suffix : {"", "-wal", "-shm"}) {
                QFile::remove(CompanyPath() + QLatin1String(suffix));
            }
            QFile::remove(CompanySchema::DefaultDetailPath(CompanyPath()));
            test::CopyTemplateCompany(CompanyPath());
        }
        Fill(2000);
        Open()->ExecRaw(u"PRAGMA wal_checkpoint(TRUNCATE)"_s);
        QFile f(CompanyPath());
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        c.damage(f);
        f.close();
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray damagedBytes = f.readAll();
        f.close();

        const auto result = compaction::Repair(CompanyPath());
        ASSERT_TRUE(result.ok) << result.message.toStdString();
        EXPECT_EQ(compaction::IntegrityCheck(CompanyPath()), u"ok"_s);
        auto opened = Database::Open(CompanyPath(), QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        EXPECT_GE(opened.db->Scalar(u"SELECT COUNT(*) FROM \"PARTNERI\""_s).toInt(),
                  c.partnersAtLeast);
        EXPECT_EQ(opened.db->Scalar(u"SELECT \"Username\" FROM \"KORISNICI\""_s).toString(),
                  u"admin"_s);
        ASSERT_FALSE(result.keptOriginal.isEmpty());
        QFile kept(result.keptOriginal);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), damagedBytes);
    }
}

namespace {

// Runs `child` in a forked process; true when it ended by SIGKILL.
template <typename F>
bool KilledInChild(F child) {
    const pid_t pid = fork();
    if (pid == 0) {
        child();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

QByteArray Bytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST_F(CompactionTest, TheCompactedFileKeepsThePermissionsGroupAndJournalModeOfTheOriginal) {
    Fill(500);
    const QByteArray path = QFile::encodeName(CompanyPath());
    ASSERT_EQ(::chmod(path.constData(), 0640), 0);
    struct stat before;
    ASSERT_EQ(::stat(path.constData(), &before), 0);
    // Root can give the file any group; others keep their own.
    const gid_t group = ::geteuid() == 0 ? 4 : before.st_gid;
    ASSERT_EQ(::chown(path.constData(), static_cast<uid_t>(-1), group), 0);
    const auto result = compaction::Compact(CompanyPath(), QString());
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    struct stat after;
    ASSERT_EQ(::stat(path.constData(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "the file was not replaced";
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    // Already in the company's journal mode: programs opening it at once need not switch it.
    const QByteArray header = Bytes(CompanyPath()).left(20);
    EXPECT_EQ(header.at(18), 2);
    EXPECT_EQ(header.at(19), 2);
    EXPECT_EQ(after.st_gid, group);
    EXPECT_EQ(after.st_uid, before.st_uid);
}

// A compaction killed with its copy finished leaves the company as it was; the copy is cleared
// by the next opening. Killed right after the swap, the company is the compacted one.
TEST_F(CompactionTest, AKilledCompactionLeavesTheCompanyWholeAndItsCopyIsClearedLater) {
    Fill(800);
    const int partners = Partners();
    const QString copy = CompanyPath() + u".sazimanje"_s;
    for (const char* point : {"copied", "replaced"}) {
        ASSERT_TRUE(KilledInChild([&] {
            compaction::Compact(CompanyPath(), QString(), [&](const char* reached) {
                if (qstrcmp(reached, point) == 0) {
                    raise(SIGKILL);
                }
            });
        })) << point;
        EXPECT_EQ(QFileInfo::exists(copy), qstrcmp(point, "copied") == 0) << point;
        EXPECT_EQ(compaction::IntegrityCheck(CompanyPath()), u"ok"_s) << point;
        EXPECT_EQ(Partners(), partners) << point;
        EXPECT_FALSE(QFileInfo::exists(copy)) << point << ": the copy outlived the next opening";
    }
    // Nothing holds the company any more: the next compaction runs.
    EXPECT_TRUE(compaction::Compact(CompanyPath(), QString()).ok);
}

TEST_F(CompactionTest, CompactionAndRepairRefuseWhileAConnectionOfThisProgramIsOpen) {
    auto mine = Open();
    const auto compacted = compaction::Compact(CompanyPath(), QString());
    EXPECT_FALSE(compacted.ok);
    EXPECT_TRUE(compacted.message.startsWith(u"Baza je otvorena na drugom računalu"_s))
        << compacted.message.toStdString();
    const QByteArray before = Bytes(CompanyPath());
    const auto repaired = compaction::Repair(CompanyPath());
    EXPECT_FALSE(repaired.ok);
    EXPECT_EQ(repaired.message, compacted.message);
    EXPECT_EQ(Bytes(CompanyPath()), before);
    // The connection still works on its own file.
    EXPECT_EQ(mine->Scalar(u"SELECT \"Username\" FROM \"KORISNICI\""_s).toString(), u"admin"_s);
}

// A file that is no database, or one with our mark but none of our tables, is not repaired: a
// fresh empty company must not take its place.
TEST_F(CompactionTest, AFileThatIsNoCompanyIsNotRepairedAndLeftAsItWas) {
    const QString garbage = Folder() + u"/smece.mdb"_s;
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x13'));
    }
    EXPECT_FALSE(compaction::Repair(garbage).ok);
    EXPECT_EQ(Bytes(garbage), QByteArray(8192, '\x13'));

    const QString path = Folder() + u"/tuda.mdb"_s;
    {
        auto raw = Database::OpenRaw(path, true);
        raw->ExecRaw(u"PRAGMA application_id = %1"_s.arg(CompanySchema::kApplicationId));
        raw->ExecRaw(u"CREATE TABLE \"NESTO\" (\"A\" INTEGER)"_s);
        raw->ExecRaw(u"INSERT INTO \"NESTO\" VALUES (1)"_s);
    }
    const QByteArray before = Bytes(path);
    EXPECT_EQ(Database::Open(path, QString()).status, Database::OpenStatus::NotACompany);
    const auto repaired = compaction::Repair(path);
    EXPECT_FALSE(repaired.ok);
    EXPECT_EQ(repaired.message, u"Datoteka nije Zodra baza podataka."_s);
    EXPECT_EQ(Bytes(path), before);
    EXPECT_EQ(Database::Open(path, QString()).status, Database::OpenStatus::NotACompany);
}
