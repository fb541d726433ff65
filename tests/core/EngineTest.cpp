#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

#include "data/Database.h"
#include "data/DirectStatement.h"
#include "data/DocumentKind.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Transaction.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::CompanyTest;

namespace {

// Words that name an engine or its own syntax. Outside the data layer's own files none may
// appear, in code or in comments: the engine is the data layer's business.
const QRegularExpression kEngineWords(
    QStringLiteral(R"(sqlite|pragma|rowid|or\s+ignore|or\s+replace|vacuum|begin\s+immediate)"),
    QRegularExpression::CaseInsensitiveOption);

// The lines of `text` that name an engine; "#pragma once" is the compiler's, not the engine's.
QStringList EngineLines(const QString& text) {
    QStringList found;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].trimmed() == QLatin1String("#pragma once")) {
            continue;
        }
        if (kEngineWords.match(lines[i]).hasMatch()) {
            found << u"%1: %2"_s.arg(i + 1).arg(lines[i].trimmed());
        }
    }
    return found;
}

// Sends one byte through a pipe and waits for one: the two processes take turns.
void Signal(int fd) {
    const char c = 'x';
    ASSERT_EQ(write(fd, &c, 1), 1);
}
bool Await(int fd) {
    char c = 0;
    return read(fd, &c, 1) == 1;
}

int NextIssueNote(Database& db) {
    return numbering::NextDocumentNumber(db, DocumentKind::IssueNote, 1, 2026);
}

void InsertIssueNote(Database& db, int number) {
    db.Exec(
        u"INSERT INTO \"IZDATNICE\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", "
        "\"DATUM\") VALUES (1, 2026, ?, '2026-03-02')"_s,
        {number});
}

// Takes `amount` off the lot the way a posting does: read the quantity, write it back less.
void TakeFromLot(Database& db, double amount) {
    const double quantity =
        db.Scalar(
              u"SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 AND "
              "\"GODINA\" = 2026 AND \"BROJ_PRIMKE\" = 1 AND "
              "\"SIFRA_ARTIKLA\" = 7"_s)
            .toDouble();
    db.Exec(
        u"UPDATE \"NABAVE\" SET \"KOLICINA\" = ? WHERE \"SKLADISTE\" = 1 AND "
        "\"GODINA\" = 2026 AND \"BROJ_PRIMKE\" = 1 AND \"SIFRA_ARTIKLA\" = 7"_s,
        {quantity - amount});
}

}  // namespace

TEST(EngineNeutralSources, NothingOutsideTheDataLayerNamesAnEngine) {
    // The scan itself: it must see an engine's words and must let the compiler's pragma pass.
    EXPECT_EQ(EngineLines(u"#pragma once\nint x;\n"_s), QStringList());
    EXPECT_EQ(EngineLines(u"a\n  db.Exec(\"INSERT Or  Ignore INTO t\");\n"_s),
              QStringList{u"2: db.Exec(\"INSERT Or  Ignore INTO t\");"_s});
    EXPECT_EQ(EngineLines(u"// ORDER BY ROWID\n"_s).size(), 1);
    EXPECT_EQ(EngineLines(u"#include \"data/SqliteStatement.h\"\n"_s).size(), 1);

    const QString src = QStringLiteral(ZODRA_SOURCE_DIR "/src");
    const QString dataLayer = src + u"/data/"_s;
    int scanned = 0;
    QStringList offenders;
    QDirIterator it(src, {u"*.h"_s, u"*.cpp"_s, u"CMakeLists.txt"_s}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        // The data layer's own files (not its subfolders, such as the registers) hold the
        // engines.
        if (path.startsWith(dataLayer) && !path.mid(dataLayer.size()).contains(QLatin1Char('/'))) {
            continue;
        }
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        ++scanned;
        for (const QString& line : EngineLines(QString::fromUtf8(file.readAll()))) {
            offenders << path.mid(src.size() + 1) + u":"_s + line;
        }
    }
    EXPECT_GT(scanned, 100);
    EXPECT_TRUE(offenders.isEmpty()) << offenders.join(QLatin1Char('\n')).toStdString();
}

class EngineWriteLock : public CompanyTest {};

// Two programs post in turn: while one holds its write transaction the other's cannot begin
// (it waits, and after its wait it is told "busy", which the engine classifies as retryable);
// once the first commits, the second's transaction begins and reads the first one's number and
// lot quantity, so it neither repeats the number nor overwrites the quantity.
TEST_F(EngineWriteLock, ASecondWriterWaitsForTheFirstAndSeesItsNumber) {
    {
        auto db = Open();
        db->Exec(
            u"INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", "
            "\"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\") VALUES (1, "
            "2026, 1, 7, 10)"_s);
    }
    int toChild[2];
    int toParent[2];
    ASSERT_EQ(pipe(toChild), 0);
    ASSERT_EQ(pipe(toParent), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        // The second program. Exit codes tell the parent which expectation failed.
        int code = 0;
        try {
            auto db = Database::Open(CompanyPath(), QString()).db;
            if (!db || !Await(toChild[0])) {
                _exit(10);
            }
            // The first holds the lock: a short wait ends busy, and retryable.
            db->ExecRaw(u"PRAGMA busy_timeout = 200"_s);
            try {
                Transaction tx(*db);
                code = 11;  // began while the other held the lock
            } catch (const DbError& e) {
                if (!e.isBusy() || e.kind() != DbError::Kind::Busy || e.isDamage()) {
                    code = 12;
                }
            }
            // Now wait as a posting does; the first commits meanwhile.
            db->ExecRaw(u"PRAGMA busy_timeout = 10000"_s);
            Signal(toParent[1]);
            Transaction tx(*db);
            const int number = NextIssueNote(*db);
            if (code == 0 && number != 2) {
                code = 13;  // did not see the first one's number
            }
            InsertIssueNote(*db, number);
            TakeFromLot(*db, 4);
            tx.Commit();
        } catch (const std::exception&) {
            _exit(14);
        }
        _exit(code);
    }
    ASSERT_GT(pid, 0);
    auto db = Open();
    {
        Transaction tx(*db);
        const int number = NextIssueNote(*db);
        EXPECT_EQ(number, 1);
        InsertIssueNote(*db, number);
        TakeFromLot(*db, 3);
        Signal(toChild[1]);
        // The second has been refused once and is waiting for the lock now.
        ASSERT_TRUE(Await(toParent[0]));
        QThread::msleep(300);
        tx.Commit();
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(db->Scalar(u"SELECT COUNT(*) FROM \"IZDATNICE\" WHERE \"GODINA\" = "
                         "2026 AND \"SKLADISTE\" = 1 AND \"BROJ\" IN (1, 2)"_s)
                  .toInt(),
              2);
    EXPECT_DOUBLE_EQ(
        db->Scalar(u"SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SIFRA_ARTIKLA\" = 7"_s).toDouble(),
        3.0);
    for (int fd : {toChild[0], toChild[1], toParent[0], toParent[1]}) {
        close(fd);
    }
}

// The engine tells damage from everything else, through the generic statements and the direct
// ones alike, and the company's opening says so; a busy or an ordinary error is not damage.
TEST_F(EngineWriteLock, DamageIsClassifiedAsDamage) {
    {
        auto db = Open();
        Transaction tx(*db);
        for (int i = 0; i < 3000; ++i) {
            db->Exec(
                u"INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", "
                "\"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\") VALUES "
                "(1, 2026, ?, ?, 1)"_s,
                {i + 1, i + 1});
        }
        tx.Commit();
        try {
            db->Exec(u"SELECT \"NEMA\" FROM \"NABAVE\""_s);
            FAIL() << "an unknown column was accepted";
        } catch (const DbError& e) {
            EXPECT_EQ(e.kind(), DbError::Kind::Other) << e.what();
        }
    }
    // Checkpointed and closed; now scribble over the middle of the file, header left intact.
    QFile f(CompanyPath());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const qint64 size = f.size();
    ASSERT_GT(size, 16 * 4096);
    for (qint64 pos = 4096; pos < size; pos += 4096 * 3) {
        f.seek(pos);
        f.write(QByteArray(4096, '\x5a'));
    }
    f.close();
    auto db = Database::OpenRaw(CompanyPath(), false);
    const QString scan = u"SELECT SUM(\"KOLICINA\") FROM \"NABAVE\""_s;
    try {
        db->Scalar(scan);
        FAIL() << "a damaged file was read";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isDamage()) << e.what();
        EXPECT_FALSE(e.isBusy());
    }
    try {
        DirectStatement direct(*db, scan);
        direct.Step();
        FAIL() << "a damaged file was read";
    } catch (const DbError& e) {
        EXPECT_EQ(e.kind(), DbError::Kind::Damage) << e.what();
    }
    // Opened as a company, the file is reported damaged and no connection is handed out.
    db.reset();
    const auto opened = Database::Open(CompanyPath(), QString());
    EXPECT_EQ(opened.status, Database::OpenStatus::Damaged);
    EXPECT_EQ(opened.db, nullptr);
}
