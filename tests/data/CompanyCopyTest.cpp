// Moving a company between engines with `zodractl copy`: the demo company to a server and back
// to a file with every row of every table as it was, the password and the row keys kept and the
// sequences past the copied keys; targets that hold something refused and left alone, a source
// of another schema version refused without being changed; and a copy that fails or is stopped
// part-way leaves no target behind.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "ServerDemo.h"
#include "data/CompanyCopy.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/PostgresEngine.h"
#include "data/Statement.h"
#include "data/Transaction.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::ServerDemoTest;

namespace {

// Every row of every table (the detail tables too) with its row key, in row-key order, each
// value with its stored type.
QStringList Rows(Database& db, bool detail) {
    QStringList rows;
    const QString schema = detail ? u"\"det\""_s : u"\"main\""_s;
    QStringList tables;
    {
        Statement list = db.Prepare(u"SELECT name FROM "_s + schema +
                                    u".sqlite_master WHERE type = 'table' AND "
                                    "name NOT LIKE 'sqlite%' ORDER BY name"_s);
        list.Exec();
        while (list.Next()) {
            tables << list.Text(0);
        }
    }
    for (const QString& table : tables) {
        Statement read = db.Prepare(u"SELECT \"rowid\", * FROM "_s + schema + u".\""_s + table +
                                    u"\" ORDER BY \"rowid\""_s);
        read.Exec();
        while (read.Next()) {
            QString row = table;
            for (int c = 0; c < read.ColumnCount(); ++c) {
                const QVariant v = read.Value(c);
                row += u"|%1:%2"_s.arg(v.isNull() ? -1 : v.typeId())
                           .arg(v.typeId() == QMetaType::Double
                                    ? QString::number(v.toDouble(), 'g', 17)
                                    : v.toString());
            }
            rows << row;
        }
    }
    return rows;
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

}  // namespace

// File → server → file: the last file holds exactly the first one's rows (documents under their
// numbers, lines under their row keys, the detail store too). On the way the server company
// opens only with the company's password, and a new row continues after the copied keys. The
// server database existed empty beforehand, as an administrator makes it.
TEST_F(ServerDemoTest, ADemoCompanyGoesToTheServerAndBackUnchanged) {
    const QString first = LocalDemo();
    {
        auto db = Database::Open(first, QString()).db;
        ASSERT_TRUE(db);
        db->SetPassword(u"tajna"_s);
        // A detailed retail invoice with a date, a time and flags, and lines whose row keys
        // have a gap that the copies must keep.
        db->Exec(
            u"INSERT INTO \"det\".\"RACUNI_DETALJNO\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
            "\"BROJ RACUNA\", \"PLACENO\", \"DATUM\", \"DATUM_I_VRIJEME_KNJIZENJA\") VALUES "
            "(1, 1, 2026, 5, 1, '2026-03-02', '2026-03-02 10:15:30')"_s);
        for (int line = 1; line <= 3; ++line) {
            db->Exec(
                u"INSERT INTO \"det\".\"STAVKE_RACUNA_DETALJNO\" "
                "(\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", "
                "\"TIP_STAVKE\", \"KOLICINA\") VALUES (1, 1, 2026, 5, 'A', ?)"_s,
                {line + 0.1});
        }
        db->Exec(u"DELETE FROM \"det\".\"STAVKE_RACUNA_DETALJNO\" WHERE \"KOLICINA\" = 2.1"_s);
    }
    Maintenance()->ExecRaw(u"CREATE DATABASE \""_s + DatabaseName() + u"\""_s);

    const auto there = Ctl({u"copy"_s, first, Url()}, u"tajna"_s);
    ASSERT_EQ(there.exitCode, 0) << there.out.toStdString() << there.err.toStdString();
    EXPECT_TRUE(there.out.contains(u"Broj redaka svake tablice jednak je izvoru."_s))
        << there.out.toStdString();
    EXPECT_TRUE(there.out.contains(u"Zalihe, kartice artikala i trgovačke knjige se slažu."_s));

    EXPECT_EQ(Database::Open(Url(), u"kriva"_s).status, Database::OpenStatus::WrongPassword);
    {
        auto server = OpenServer(u"tajna"_s);
        ASSERT_TRUE(server);
        EXPECT_EQ(server->SchemaVersion(), CompanySchema::kCurrentVersion);
        const int partners = server
                                 ->Scalar(
                                     u"SELECT MAX(\"SIFRA\") FROM "
                                     "\"PARTNERI\""_s)
                                 .toInt();
        Transaction tx(*server);  // rolled back: the server copy stays as copied
        Statement insert = server->Prepare(u"INSERT INTO \"PARTNERI\" (\"NAZIV\") VALUES (?)"_s);
        insert.Exec({u"Nakon kopije"_s});
        EXPECT_EQ(insert.LastInsertId().toInt(), partners + 1);
        // A table without a key of its own continues its row keys too.
        const qint64 lines =
            server->Scalar(u"SELECT MAX(\"rowid\") FROM \"STAVKE_RACUNA\""_s).toLongLong();
        server->Exec(
            u"INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
            "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\") VALUES (9, 9, "
            "9, 9, 'A')"_s);
        EXPECT_EQ(server
                      ->Scalar(u"SELECT \"rowid\" FROM \"STAVKE_RACUNA\" WHERE "
                               "\"SKLADISTE\" = 9"_s)
                      .toLongLong(),
                  lines + 1);
    }

    // A name without a suffix: its detail file is "arhiva.det".
    const QString last = m_dir.filePath(u"arhiva"_s);
    const auto back = Ctl({u"copy"_s, Url(), last}, u"tajna"_s);
    ASSERT_EQ(back.exitCode, 0) << back.out.toStdString() << back.err.toStdString();
    EXPECT_TRUE(QFile::exists(CompanySchema::DefaultDetailPath(last)));
    EXPECT_EQ(Database::Open(last, QString()).status, Database::OpenStatus::WrongPassword);

    auto a = Database::Open(first, u"tajna"_s).db;
    auto b = Database::Open(last, u"tajna"_s).db;
    ASSERT_TRUE(a && b);
    ASSERT_TRUE(a->DetailAttached() && b->DetailAttached());
    for (const bool detail : {false, true}) {
        const QStringList before = Rows(*a, detail);
        const QStringList after = Rows(*b, detail);
        EXPECT_GT(before.size(), detail ? 3 : 3000);
        ASSERT_EQ(before.size(), after.size()) << (detail ? "detail" : "company");
        for (int i = 0; i < before.size(); ++i) {
            ASSERT_EQ(before.at(i), after.at(i)) << "row " << i;
        }
    }
}

// A target that holds a company (a database with tables, an existing file) is refused with its
// message and left as it was; so is a source of an older schema version, which is not brought
// up to date by the attempt.
TEST_F(ServerDemoTest, TargetsThatHoldSomethingAndOlderSourcesAreRefused) {
    CompanySchema::CreateCompany(Url(), 2026);
    const auto onCompany = Ctl({u"copy"_s, DemoFile(), Url()});
    EXPECT_EQ(onCompany.exitCode, 1);
    EXPECT_EQ(onCompany.err.trimmed(),
              u"Baza podataka "_s + DatabaseName() +
                  u" na poslužitelju već postoji i nije prazna: kopija se ne "
                  "zapisuje preko postojećih podataka. Izaberite novo ime ili "
                  "praznu bazu podataka."_s);
    EXPECT_EQ(OpenServer()->Scalar(u"SELECT COUNT(*) FROM \"PARTNERI\""_s).toInt(), 2);

    const QString existing = m_dir.filePath(u"postoji.db"_s);
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("nešto");
    }
    const auto onFile = Ctl({u"copy"_s, Url(), existing});
    EXPECT_EQ(onFile.exitCode, 1);
    EXPECT_EQ(onFile.err.trimmed(), u"Odredište "_s + existing +
                                        u" već postoji: kopija se ne zapisuje preko postojeće "
                                        "datoteke. Izaberite novo ime."_s);
    {
        QFile file(existing);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), QByteArray("nešto"));
    }

    const QString old = m_dir.filePath(u"stara.db"_s);
    CompanySchema::CreateCompany(old, 2026);
    Database::OpenRaw(old, false)->ExecRaw(u"PRAGMA user_version = 5"_s);
    const QString target = OtherDatabase(u"_s"_s);
    const auto older = Ctl({u"copy"_s, old, target});
    EXPECT_EQ(older.exitCode, 1);
    EXPECT_EQ(older.err.trimmed(), u"Poduzeće "_s + old +
                                       u" ima stariju verziju sheme (5, a ovaj program radi s %1). "
                                       "Otvorite ga najprije programom (ili zodractl check "_s.arg(
                                           CompanySchema::kCurrentVersion) +
                                       old + u") da se shema osvježi, pa ga onda kopirajte."_s);
    EXPECT_EQ(Database::OpenRaw(old, false)->SchemaVersion(), 5);
    EXPECT_FALSE(DatabaseExists(PostgresEngine::Parse(target).database));
}

// The target goes away in the middle of the copy, or the copy is stopped (as Ctrl-C stops it):
// a database the copy made is dropped, one that existed empty stays empty, and a file target
// leaves nothing in its folder.
TEST_F(ServerDemoTest, ACopyThatFailsPartWayLeavesNoTarget) {
    const QString source = LocalDemo();
    auto db = Database::Open(source, QString()).db;
    ASSERT_TRUE(db);

    int batches = 0;
    try {
        companycopy::Copy(*db, Url(), QString(), [&](const companycopy::Progress&) {
            if (++batches == 2) {
                Maintenance()->Scalar(
                    u"SELECT COUNT(pg_terminate_backend(pid)) FROM "
                    "pg_stat_activity WHERE datname = ? AND pid <> "
                    "pg_backend_pid()"_s,
                    {DatabaseName()});
            }
            return true;
        });
        FAIL() << "the copy went on without its target";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isConnectionLost()) << e.what();
    }
    EXPECT_GE(batches, 2);
    EXPECT_FALSE(DatabaseExists(DatabaseName()));

    // Stopped on a database that was there, empty: it stays, with nothing in it.
    Maintenance()->ExecRaw(u"CREATE DATABASE \""_s + DatabaseName() + u"\""_s);
    const auto stop = [](const companycopy::Progress& p) { return p.done < p.total / 2; };
    try {
        companycopy::Copy(*db, Url(), QString(), stop);
        FAIL() << "a stopped copy finished";
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(), u"Kopiranje je prekinuto; odredište nije napravljeno."_s);
    }
    ASSERT_TRUE(DatabaseExists(DatabaseName()));
    EXPECT_EQ(Database::OpenRaw(Url(), false)
                  ->Scalar(u"SELECT COUNT(*) FROM pg_catalog.pg_tables WHERE "
                           "schemaname IN ('public', 'det')"_s)
                  .toInt(),
              0);

    const QStringList before = FolderEntries(m_dir.path());
    try {
        companycopy::Copy(*db, m_dir.filePath(u"arhiva.db"_s), QString(), stop);
        FAIL() << "a stopped copy finished";
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(), u"Kopiranje je prekinuto; odredište nije napravljeno."_s);
    }
    EXPECT_EQ(FolderEntries(m_dir.path()), before);

    // Not stopped, the same copy goes through into the empty database.
    const companycopy::Summary done = companycopy::Copy(*db, Url(), QString());
    auto server = OpenServer();
    ASSERT_TRUE(server);
    EXPECT_TRUE(companycopy::CountDifferences(*server, done).isEmpty());
    EXPECT_GT(done.rows, 3000);
}
