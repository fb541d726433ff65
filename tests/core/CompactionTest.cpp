#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "data/Compaction.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Transaction.h"
#include "support/TestCompany.h"

using namespace zodra;
using zodra::test::CompanyTest;

class CompactionTest : public CompanyTest {
protected:
    void Fill(int partners) {
        auto db = Open();
        Transaction tx(*db);
        for (int i = 0; i < partners; ++i) {
            db->Exec(
                QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"ADRESA\") VALUES (?, ?)"),
                {QStringLiteral("Partner %1").arg(i), QString(300, QLatin1Char('x'))});
        }
        tx.Commit();
    }
    int Partners() {
        return Open()->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\"")).toInt();
    }
};

TEST_F(CompactionTest, CompactionShrinksTheFileAndKeepsEveryRow) {
    Fill(3000);
    Open()->ExecRaw(QStringLiteral("DELETE FROM \"PARTNERI\" WHERE \"NAZIV\" LIKE 'Partner 1%'"));
    const int before = Partners();
    {
        auto db = Open();
        db->ExecRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    const qint64 sizeBefore = QFileInfo(CompanyPath()).size();
    const auto result = compaction::Compact(CompanyPath(), QString());
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_LT(QFileInfo(CompanyPath()).size(), sizeBefore);
    EXPECT_EQ(Partners(), before);
    EXPECT_EQ(compaction::IntegrityCheck(CompanyPath()), QStringLiteral("ok"));
    // No copy is left lying around.
    EXPECT_FALSE(QFileInfo::exists(CompanyPath() + QStringLiteral(".sazimanje")));
}

TEST_F(CompactionTest, CompactionIsRefusedWhileAnotherWorkstationHasTheFileOpen) {
    Fill(10);
    auto other = Open();
    other->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\""));
    Transaction reading(*other);  // another workstation in the middle of its work
    const auto result = compaction::Compact(CompanyPath(), QString());
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.message.isEmpty());
}

TEST_F(CompactionTest, ADamagedFileIsRepairedOnACopyAndTheOriginalIsKept) {
    Fill(2000);
    {
        auto db = Open();
        db->ExecRaw(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    }
    QFile f(CompanyPath());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    // Damage a few pages near the end (partner rows), leaving the schema pages intact.
    const qint64 size = f.size();
    f.seek(size - 4096 * 20);
    f.write(QByteArray(4096 * 3, '\x00'));
    f.seek(size - 4096 * 10);
    f.write(QByteArray(4096, '\x7f'));
    f.close();
    const QByteArray damagedBytes = [&] {
        QFile g(CompanyPath());
        g.open(QIODevice::ReadOnly);
        return g.readAll();
    }();
    ASSERT_NE(compaction::IntegrityCheck(CompanyPath()), QStringLiteral("ok"));

    const auto result = compaction::Repair(CompanyPath());
    ASSERT_TRUE(result.ok) << result.message.toStdString();
    EXPECT_EQ(compaction::IntegrityCheck(CompanyPath()), QStringLiteral("ok"));
    auto opened = Database::Open(CompanyPath(), QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
    // Rows that could be read are there; the rest of the company too.
    EXPECT_GT(opened.db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\"")).toInt(), 0);
    EXPECT_EQ(
        opened.db->Scalar(QStringLiteral("SELECT \"Username\" FROM \"KORISNICI\"")).toString(),
        QStringLiteral("admin"));
    // The damaged original is kept, byte for byte.
    ASSERT_FALSE(result.keptOriginal.isEmpty());
    QFile kept(result.keptOriginal);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), damagedBytes);
}

TEST_F(CompactionTest, ARepairThatCannotProduceASoundCopyLeavesTheFileAsItWas) {
    const QString garbage = Folder() + QStringLiteral("/smece.mdb");
    {
        QFile f(garbage);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(8192, '\x13'));
    }
    const auto result = compaction::Repair(garbage);
    // The file is not a database at all: a fresh empty company must not take its place.
    QFile f(garbage);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(8192, '\x13'));
    EXPECT_FALSE(result.ok);
}
