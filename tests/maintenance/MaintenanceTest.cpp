#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "app/AutoBackup.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "maintenance/Archive.h"
#include "maintenance/Maintenance.h"
#include "support/TestCompany.h"
#include "support/Zodractl.h"

using namespace zodra;
using zodra::test::CompanyTest;

namespace {

const QString kPlanner = QStringLiteral("SELECT COUNT(*) FROM \"PLANER\"");

int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
    return db.Scalar(sql, params).toInt();
}

test::ZodractlRun Ctl(const QStringList& args) {
    return test::RunProgram(QStringLiteral(ZODRACTL_PATH), args, {});
}

QString Refusal(const std::function<void()>& f) {
    try {
        f();
    } catch (const UserError& e) {
        return e.message();
    }
    return QStringLiteral("(nije odbijeno)");
}

}  // namespace

class MaintenanceTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        if (Database::IsServerTarget(CompanyPath())) {
            GTEST_SKIP() << "a company on a server is archived by the server";
        }
    }
    QString In(const char* name) const { return Folder() + QLatin1Char('/') + QLatin1String(name); }
};

// Another program posts row after row while the archive is taken; the archive restores into a
// sound company holding a state the writer really passed through, with its own detail file.
TEST_F(MaintenanceTest, ArchiveTakenWhileAnotherProgramWritesRestoresSound) {
    const int rows = 40;
    QProcess writer;
    writer.start(QStringLiteral("/bin/sh"),
                 {QStringLiteral("-c"),
                  QStringLiteral("i=0; while [ $i -lt %1 ]; do \"$0\" sql \"$1\" "
                                 "\"INSERT INTO \\\"PLANER\\\" (\\\"Opis\\\") VALUES ('red')\" "
                                 "--write >/dev/null || exit 1; i=$((i+1)); done")
                      .arg(rows),
                  QStringLiteral(ZODRACTL_PATH), CompanyPath()});
    ASSERT_TRUE(writer.waitForStarted());
    auto db = Open();
    while (Count(*db, kPlanner) < 3) {
        ASSERT_NE(writer.state(), QProcess::NotRunning) << writer.readAllStandardError().data();
        QThread::msleep(20);
    }
    const QString archive = In("arhiva.zip");
    const test::ZodractlRun made = Ctl({QStringLiteral("archive"), CompanyPath(), archive});
    const int afterArchive = Count(*db, kPlanner);
    ASSERT_TRUE(writer.waitForFinished(120000));
    ASSERT_EQ(writer.exitCode(), 0) << writer.readAllStandardError().data();
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    EXPECT_TRUE(made.out.contains(QStringLiteral("firma.mdb, firma.det")))
        << made.out.toStdString();
    ASSERT_LT(afterArchive, rows) << "the writer was done before the archive was taken";

    const QString restored = In("vraceno.mdb");
    const test::ZodractlRun back = Ctl({QStringLiteral("restore"), archive, restored});
    ASSERT_EQ(back.exitCode, 0) << back.err.toStdString();
    const test::ZodractlRun check = Ctl({QStringLiteral("check"), restored});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
    EXPECT_TRUE(check.out.contains(QStringLiteral("Provjera ispravnosti: ok")));

    auto copy = Database::Open(restored, QString());
    ASSERT_EQ(copy.status, Database::OpenStatus::Ok);
    const int inCopy = Count(*copy.db, kPlanner);
    EXPECT_GE(inCopy, 3);
    EXPECT_LE(inCopy, afterArchive);
    EXPECT_TRUE(copy.db->DetailAttached());
    EXPECT_EQ(copy.db->DetailPath(), CompanySchema::DefaultDetailPath(restored));

    // Neither an archive nor a restore ever replaces an existing file: the restored company,
    // a lone detail file of that name, the live company itself, an existing archive.
    const QString taken = maintenance::ExistingFileText();
    QFile::copy(CompanySchema::DefaultDetailPath(restored), In("samo.det"));
    for (const QString& target : {restored, In("samo.mdb"), CompanyPath()}) {
        const test::ZodractlRun again = Ctl({QStringLiteral("restore"), archive, target});
        EXPECT_EQ(again.exitCode, 1) << target.toStdString();
        EXPECT_EQ(again.err.trimmed(), taken);
    }
    EXPECT_FALSE(QFile::exists(In("samo.mdb")));
    EXPECT_EQ(Count(*copy.db, kPlanner), inCopy);
    const qint64 size = QFileInfo(archive).size();
    EXPECT_EQ(Refusal([&] { maintenance::ArchiveCompany(*db, archive); }), taken);
    EXPECT_EQ(QFileInfo(archive).size(), size);
    EXPECT_TRUE(QDir(Folder())
                    .entryList({QStringLiteral(".zodra-*"), QStringLiteral("*.novi")},
                               QDir::AllEntries | QDir::Hidden)
                    .isEmpty());
}

// The weekday backup holds the company and its detail file, and restores into a new company
// that uses its own restored detail file, not the one its original was linked to.
TEST_F(MaintenanceTest, WeekdayBackupRestoresWithItsOwnDetailFile) {
    auto db = Open();
    db->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"AutoBackup\" = 1"));
    // Linked by its full path, as after the user relinked it.
    db->RelinkDetail(CompanySchema::DefaultDetailPath(CompanyPath()));
    db->Exec(QStringLiteral("INSERT INTO \"PLANER\" (\"Opis\") VALUES ('nedjelja')"));
    const QDate sunday(2026, 3, 1);
    const QString backup = autobackup::Run(*db, sunday);
    ASSERT_EQ(backup, In("firma_Nedjelja.bak"));
    ASSERT_TRUE(QFile::exists(In("firma_Nedjelja.det.bak")));

    const auto restored = maintenance::Restore(backup, In("nedjelja.mdb"));
    EXPECT_EQ(restored.detailPath, In("nedjelja.det"));
    EXPECT_EQ(restored.schemaVersion, CompanySchema::kCurrentVersion);
    auto copy = Database::Open(restored.companyPath, QString());
    ASSERT_EQ(copy.status, Database::OpenStatus::Ok);
    EXPECT_EQ(copy.db->DetailPath(), In("nedjelja.det"));
    EXPECT_TRUE(copy.db->DetailAttached());
    EXPECT_EQ(Count(*copy.db, kPlanner), 1);
    // What the copy writes stays in the copy.
    copy.db->Exec(QStringLiteral("INSERT INTO \"PLANER\" (\"Opis\") VALUES ('kopija')"));
    EXPECT_EQ(Count(*db, kPlanner), 1);
}

// What is not a sound company of this program is refused, and nothing is left behind.
TEST_F(MaintenanceTest, RestoreRefusesWhatIsNotASoundCompany) {
    QFile text(In("tekst.bak"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("ovo nije baza");
    text.close();
    auto db = Open();
    maintenance::ArchiveCompany(*db, In("puna.zip"));
    // A company of a newer version of the program.
    const QString newer = In("novija.mdb");
    test::CopyTemplateCompany(newer);
    Database::OpenRaw(newer, false)
        ->ExecRaw(
            QStringLiteral("PRAGMA user_version = %1").arg(CompanySchema::kCurrentVersion + 1));
    struct Case {
        QString archive;
        QString message;
    };
    const Case cases[] = {
        {In("tekst.bak"), QStringLiteral("U arhivi nema Zodra poduzeća.")},
        {CompanySchema::DefaultDetailPath(CompanyPath()),
         QStringLiteral("U arhivi nema Zodra poduzeća.")},
        {newer,
         QStringLiteral("Arhivu je napravila novija verzija programa; ova je ne može otvoriti.")},
        {In("nema.zip"), QStringLiteral("Datoteka ne postoji: ") + In("nema.zip")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Refusal([&] { maintenance::Restore(c.archive, In("nova.mdb")); }), c.message)
            << c.archive.toStdString();
        EXPECT_FALSE(QFile::exists(In("nova.mdb")));
        EXPECT_FALSE(QFile::exists(In("nova.det")));
    }
    // The sound archive beside them restores.
    EXPECT_EQ(maintenance::Restore(In("puna.zip"), In("nova.mdb")).detailPath, In("nova.det"));
}

// The compaction from the open session: refused while another workstation works, and then the
// session goes on untouched; alone, it clears what dead sessions left and keeps the session's
// three codes and their working rows, and the session goes on working.
TEST_F(MaintenanceTest, CompactionOfTheOpenCompanyKeepsTheRunningSession) {
    const auto addLine = [](Database& db, const char* table, int code) {
        db.Exec(QStringLiteral("INSERT INTO \"%1\" (\"Multiuser_sifra\") VALUES (?)")
                    .arg(QLatin1String(table)),
                {code});
    };
    // The working lines of a session code in three of the working tables.
    const auto linesOf = [](Database& db, int code) {
        return Count(
            db,
            QStringLiteral("SELECT (SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE "
                           "\"Multiuser_sifra\" = ?) + (SELECT COUNT(*) FROM "
                           "\"STAVKE_RADNIH_NALOGA_PRIVREMENO\" WHERE \"Multiuser_sifra\" = ?) + "
                           "(SELECT COUNT(*) FROM \"STAVKE_MEDUSKLADISNICA_PRIVREMENO\" WHERE "
                           "\"Multiuser_sifra\" = ?)"),
            {code, code, code});
    };
    auto running = StartSession(1);
    auto other = StartSession(1);
    const int dead = other->sessionCode;
    for (Session* s : {running.get(), other.get()}) {
        addLine(s->Db(), "STAVKE_PRIMKE_PRIVREMENO", s->sessionCode);
        addLine(s->Db(), "STAVKE_RADNIH_NALOGA_PRIVREMENO", s->workOrderSessionCode);
        addLine(s->Db(), "STAVKE_MEDUSKLADISNICA_PRIVREMENO", s->transferSessionCode);
    }

    auto refused = maintenance::CompactOpenCompany(*running);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.message.startsWith(QStringLiteral("Baza je otvorena na drugom računalu")))
        << refused.message.toStdString();
    ASSERT_TRUE(running->IsOpen());
    EXPECT_EQ(linesOf(running->Db(), dead), 1);

    other.reset();  // that workstation's program ends without closing its session
    const auto result = maintenance::CompactOpenCompany(*running);
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    Database& db = running->Db();
    for (const int code :
         {running->sessionCode, running->workOrderSessionCode, running->transferSessionCode}) {
        EXPECT_EQ(linesOf(db, code), 1) << code;
    }
    EXPECT_EQ(Count(db, QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\"")), 1);
    EXPECT_EQ(
        Count(db,
              QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" NOT IN "
                             "(?, ?, ?)"),
              {running->sessionCode, running->workOrderSessionCode, running->transferSessionCode}),
        0);
    // The session's codes are held alive again: a workstation starting now leaves them be.
    auto next = StartSession(1);
    EXPECT_EQ(linesOf(next->Db(), running->sessionCode), 1);
    addLine(db, "STAVKE_PRIMKE_PRIVREMENO", running->sessionCode);
    EXPECT_EQ(linesOf(next->Db(), running->sessionCode), 2);
}

// While the compaction has the session's connection closed, a workstation that opens the company
// clears abandoned sessions: the running session's codes are still held, so its working rows
// stay, and it holds them again afterwards.
TEST_F(MaintenanceTest, AWorkstationOpeningDuringTheCompactionLeavesTheSessionsRows) {
    auto running = StartSession(1);
    const QList<int> codes{running->sessionCode, running->workOrderSessionCode,
                           running->transferSessionCode};
    for (const int code : codes) {
        running->Db().Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKE_PRIVREMENO\" "
                                          "(\"Multiuser_sifra\") VALUES (?)"),
                           {code});
    }
    const auto rowsOf = [&](Database& db) {
        return Count(db,
                     QStringLiteral("SELECT (SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\" "
                                    "WHERE \"Multiuser_sifra\" IN (?, ?, ?)) + (SELECT COUNT(*) "
                                    "FROM \"Multiuser\" WHERE \"SIFRA\" IN (?, ?, ?))"),
                     {codes[0], codes[1], codes[2], codes[0], codes[1], codes[2]});
    };
    const auto result = maintenance::CompactOpenCompany(*running, [&](const char* point) {
        ASSERT_EQ(QLatin1String(point), QLatin1String("closed"));
        auto meanwhile = StartSession(1);  // clears the sessions it finds abandoned
        ASSERT_TRUE(meanwhile);
        EXPECT_EQ(rowsOf(meanwhile->Db()), 6);
    });
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(rowsOf(running->Db()), 6);
    auto next = StartSession(1);
    EXPECT_EQ(rowsOf(next->Db()), 6);
}

// The new password holds from the next opening on; the open session and another workstation
// that has the company open go on working meanwhile.
TEST_F(MaintenanceTest, PasswordChangeKeepsOpenSessionsWorking) {
    auto session = StartSession(1);
    auto otherWorkstation = Open();
    const QString fifteen = QStringLiteral("123456789012345");
    EXPECT_EQ(Refusal([&] { maintenance::ChangePassword(*session, CompanyPath(), fifteen); }),
              QStringLiteral("Password je predugačak (najviše 14 znakova)!"));
    EXPECT_EQ(Database::Open(CompanyPath(), QStringLiteral("bilo što")).status,
              Database::OpenStatus::Ok);  // still without a password

    const QString fourteen = QStringLiteral("Lozinka'Č12345");
    maintenance::ChangePassword(*session, CompanyPath(), fourteen);
    EXPECT_EQ(session->databasePassword, fourteen);
    session->Db().Exec(QStringLiteral("INSERT INTO \"PLANER\" (\"Opis\") VALUES ('nakon')"));
    otherWorkstation->Exec(QStringLiteral("INSERT INTO \"PLANER\" (\"Opis\") VALUES ('drugi')"));
    EXPECT_EQ(Count(session->Db(), kPlanner), 2);
    EXPECT_EQ(Database::Open(CompanyPath(), QString()).status, Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(CompanyPath(), fourteen).status, Database::OpenStatus::Ok);

    // Another company file is opened with the session's password: one with a different
    // password is refused and keeps it.
    const QString second = In("druga.mdb");
    test::CopyTemplateCompany(second);
    Database::Open(second, QString()).db->SetPassword(QStringLiteral("tajna"));
    EXPECT_EQ(
        Refusal([&] { maintenance::ChangePassword(*session, second, QStringLiteral("nova")); }),
        QStringLiteral("Password izabrane baze nije isti kao password otvorene baze: ne "
                       "može se promijeniti."));
    EXPECT_EQ(Database::Open(second, QStringLiteral("tajna")).status, Database::OpenStatus::Ok);
}
