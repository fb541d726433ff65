#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <cstring>

#include <QThread>

#include "data/Compaction.h"
#include "data/Database.h"
#include "data/DocumentKind.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::CompanyTest;

namespace {

// A posting as every stock document makes it: header, lines, trade-book entry and a change for
// the detail file, in one transaction. `killAfterLines` ≥ 0 kills the process half-way.
int PostIssueNote(Database& db, int warehouse, int lines, int killAfterLines = -1) {
    Transaction tx(db);
    const int number = numbering::NextDocumentNumber(db, DocumentKind::IssueNote, warehouse, 2026);
    const int rbr = numbering::NextTradeBookNumber(db, warehouse, 2026, false);
    db.Exec(
        u"INSERT INTO \"TRGOVACKA_KNJIGA_VELEPRODAJE\" (\"SKLADISTE\", \"GODINA\", "
        "\"RBR\", \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"NABAVA_VRIJEDNOST\") "
        "VALUES (?, 2026, ?, 'IZDATNICA', ?, ?)"_s,
        {warehouse, rbr, number, -10.0 * lines});
    db.Exec(
        u"INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", \"DATUM\", "
        "\"RBR_TK\") VALUES (?, 2026, ?, '2026-03-02', ?)"_s,
        {warehouse, number, rbr});
    for (int i = 0; i < lines; ++i) {
        if (i == killAfterLines) {
            raise(SIGKILL);
        }
        db.Exec(
            u"INSERT INTO \"STAVKE_IZDATNICA\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", "
            "\"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\", \"VRIJEDNOST\") "
            "VALUES (?, 2026, ?, ?, 1, 1, 10)"_s,
            {warehouse, number, i + 1});
    }
    tx.DeferDetail(
        u"INSERT INTO \"RACUNI_DETALJNO\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
        "\"BROJ RACUNA\") VALUES (?, 1, 2026, ?)"_s,
        {warehouse, number});
    tx.Commit();
    return number;
}

// Runs `child` in a forked process and returns how it ended.
template <typename F>
int InChild(F child, bool* killed) {
    const pid_t pid = fork();
    if (pid == 0) {
        child();
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    *killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

class CrashTest : public CompanyTest {
protected:
    struct State {
        int headers, lines, entries, detail, pending;
    };
    State Read(const QString& path = QString()) {
        auto db = Database::Open(path.isEmpty() ? CompanyPath() : path, QString()).db;
        auto n = [&](const char* sql) { return db->Scalar(QString::fromUtf8(sql)).toInt(); };
        return {n("SELECT COUNT(*) FROM \"IZDATNICE\""),
                n("SELECT COUNT(*) FROM \"STAVKE_IZDATNICA\""),
                n("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\""),
                n("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\""), db->PendingDetailCount()};
    }
};

// A process killed in the middle of a posting leaves no trace of it; killed after the commit it
// leaves the whole document, and its detail change is applied by the next opening, once.
TEST_F(CrashTest, AKilledPostingLeavesNoTraceOrTheWholeDocumentAndItsDetailOnce) {
    const struct {
        const char* killedAt;  // a checkpoint, or "lines" for half-way through the lines
        int lines;
    } cases[] = {{"lines", 1}, {"committed", 30}, {"detail-applied", 5}};
    for (const auto& c : cases) {
        const QString path = Folder() + u"/%1.mdb"_s.arg(QString::fromLatin1(c.killedAt));
        zodra::test::CopyTemplateCompany(path);
        bool killed = false;
        InChild(
            [&] {
                auto db = Database::Open(path, QString()).db;
                if (std::strcmp(c.killedAt, "lines") == 0) {
                    PostIssueNote(*db, 1, 1);         // a complete one first
                    PostIssueNote(*db, 1, 200, 120);  // killed after 120 of 200 lines
                }
                const char* point = c.killedAt;
                db->SetCheckpointHook([point](const char* reached) {
                    if (std::strcmp(point, reached) == 0) {
                        raise(SIGKILL);
                    }
                });
                PostIssueNote(*db, 1, c.lines);
            },
            &killed);
        ASSERT_TRUE(killed) << c.killedAt;
        for (int opening = 0; opening < 2; ++opening) {  // a second opening changes nothing
            const State s = Read(path);
            EXPECT_EQ(s.headers, 1) << c.killedAt;
            EXPECT_EQ(s.lines, c.lines) << c.killedAt;
            EXPECT_EQ(s.entries, 1) << c.killedAt;
            EXPECT_EQ(s.detail, 1) << c.killedAt;
            EXPECT_EQ(s.pending, 0) << c.killedAt;
        }
    }
}

TEST_F(CrashTest, TwoProcessesPostingAtOnceNeverShareANumber) {
    constexpr int kEach = 25;
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        if (child == 0) {
            auto db = Database::Open(CompanyPath(), QString()).db;
            if (!db) {
                _exit(4);
            }
            for (int i = 0; i < kEach; ++i) {
                // A workstation told that the database is busy tries again; on a loaded machine
                // the other process may hold the write lock longer than the wait allows.
                for (int attempt = 0;; ++attempt) {
                    try {
                        PostIssueNote(*db, 1, 3);
                        break;
                    } catch (const DbError& e) {
                        if (!e.isBusy() || attempt == 20) {
                            _exit(3);
                        }
                    }
                }
            }
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    auto db = Open();
    EXPECT_EQ(db->Scalar(u"SELECT COUNT(DISTINCT \"BROJ\") FROM \"IZDATNICE\""_s).toInt(),
              2 * kEach);
    EXPECT_EQ(db->Scalar(u"SELECT MAX(\"BROJ\") FROM \"IZDATNICE\""_s).toInt(), 2 * kEach);
    EXPECT_EQ(db->Scalar(u"SELECT COUNT(*) FROM \"STAVKE_IZDATNICA\""_s).toInt(), 6 * kEach);
    // Every header points at its own trade-book entry.
    EXPECT_EQ(
        db->Scalar(u"SELECT COUNT(*) FROM \"IZDATNICE\" h JOIN \"TRGOVACKA_KNJIGA_VELEPRODAJE\" t "
                   "ON t.\"SKLADISTE\" = h.\"SKLADISTE\" AND t.\"GODINA\" = h.\"GODINA\" AND "
                   "t.\"RBR\" = h.\"RBR_TK\" AND t.\"BROJ_DOKUMENTA\" = h.\"BROJ\""_s)
            .toInt(),
        2 * kEach);
    EXPECT_EQ(db->Scalar(u"SELECT COUNT(*) FROM \"RACUNI_DETALJNO\""_s).toInt(), 2 * kEach);
}

// A workstation killed in the middle of a posting holds nothing: the kernel releases its locks,
// so a compaction right after it runs, and the compacted company has no trace of the half
// posting nor of the killed program's session.
TEST_F(CrashTest, ACompactionAfterAKilledPostingRunsAndKeepsOnlyWhatWasCommitted) {
    bool killed = false;
    InChild(
        [&] {
            auto db = Database::Open(CompanyPath(), QString()).db;
            PostIssueNote(*db, 1, 2);
            workingcopy::AllocateSessionCode(*db);
            PostIssueNote(*db, 1, 200, 150);
        },
        &killed);
    ASSERT_TRUE(killed);
    // A working row whose session code is gone altogether: the compaction sweeps it too.
    Open()->Exec(
        u"INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" (\"SKLADISTE\", "
        "\"GODINA\", \"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", "
        "\"KOLICINA\", \"Multiuser_sifra\") VALUES (1, 2026, 1, 1, 1, 1, "
        "999999)"_s);
    const auto compacted = compaction::Compact(CompanyPath(), QString());
    ASSERT_TRUE(compacted.ok) << compacted.message.toStdString();
    EXPECT_EQ(compaction::IntegrityCheck(CompanyPath()), u"ok"_s);
    const State s = Read();
    EXPECT_EQ(s.headers, 1);
    EXPECT_EQ(s.lines, 2);
    EXPECT_EQ(s.entries, 1);
    EXPECT_EQ(s.detail, 1);
    EXPECT_EQ(Open()->Scalar(u"SELECT COUNT(*) FROM \"Multiuser\""_s).toInt(), 0);
    EXPECT_EQ(Open()->Scalar(u"SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\""_s).toInt(), 0);
}

// Postings in one process and compactions in another, each killed at some point: whatever was
// committed is there once, the file stays sound, and nothing is ever half replaced.
TEST_F(CrashTest, PostingsAndCompactionsKilledBesideEachOtherLoseNothingCommitted) {
    int committed = 0;
    for (int round = 0; round < 3; ++round) {
        const int before = committed;
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t poster = fork();
        if (poster == 0) {
            ::close(fds[0]);
            for (;;) {
                // Each posting by a program of its own, as the tills post.
                auto db = Database::Open(CompanyPath(), QString()).db;
                if (!db) {
                    continue;
                }
                try {
                    PostIssueNote(*db, 1, 3);
                    const char one = 1;
                    (void)!::write(fds[1], &one, 1);
                } catch (const DbError&) {
                }
            }
        }
        ::close(fds[1]);
        const pid_t compactor = fork();
        if (compactor == 0) {
            for (;;) {
                compaction::Compact(CompanyPath(), QString());
                QThread::msleep(30);
            }
        }
        QThread::msleep(600);
        kill(poster, SIGKILL);
        kill(compactor, SIGKILL);
        waitpid(poster, nullptr, 0);
        waitpid(compactor, nullptr, 0);
        char buffer[4096];
        for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) {
            committed += static_cast<int>(n);
        }
        EXPECT_GT(committed, before) << "round " << round << " posted nothing";
        ::close(fds[0]);
        EXPECT_EQ(compaction::IntegrityCheck(CompanyPath()), u"ok"_s);
        // Every posting reported as committed is there; at most the one in flight beyond.
        const State s = Read();
        EXPECT_GE(s.headers, committed);
        EXPECT_LE(s.headers, committed + 1);
        EXPECT_EQ(s.lines, 3 * s.headers);
        EXPECT_EQ(s.entries, s.headers);
        committed = s.headers;
    }
    EXPECT_GT(committed, 0);
    EXPECT_TRUE(compaction::Compact(CompanyPath(), QString()).ok);
}
