// The statements a connection to a server keeps prepared: a text that runs again is prepared
// once, two statements of one text in flight at once each have their own, and what is kept
// stays right after a rolled-back transaction, a schema change and a lost connection.

#include <unistd.h>

#include <gtest/gtest.h>

#include "PgCompany.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Statement.h"
#include "data/Transaction.h"

using namespace zodra;

namespace {

class PostgresStatements : public zodra::test::PgCompanyTest {};

// How many statements of the connection the server holds prepared with `marker` in their text
// (the marker is bound, so this statement's own text does not hold it).
int Prepared(Database& db, const QString& marker) {
    return db
        .Scalar(QStringLiteral("SELECT COUNT(*) FROM pg_prepared_statements WHERE "
                               "strpos(statement, ?) > 0"),
                {marker})
        .toInt();
}

const QString kPartnerName =
    QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ? /* naziv */");

}  // namespace

TEST(StatementCacheRules, SchemaChangesAreToldFromOtherStatements) {
    for (const char* sql : {"CREATE TABLE x (a int)", "  alter TABLE x ADD b int", "DROP VIEW v",
                            "DO $$ BEGIN END $$", "create\tindex i on x (a)"}) {
        EXPECT_TRUE(StatementCache::ChangesSchema(QString::fromUtf8(sql))) << sql;
    }
    for (const char* sql : {"SELECT 1", "INSERT INTO \"DROPS\" VALUES (1)", "UPDATE x SET a = 1",
                            "DOCUMENT", "CREATED", "DELETE FROM x"}) {
        EXPECT_FALSE(StatementCache::ChangesSchema(QString::fromUtf8(sql))) << sql;
    }
}

// A text run many times is prepared once; two statements of one text in flight at once read
// their own results, and both are kept afterwards (the next two users take them).
TEST_F(PostgresStatements, ATextIsPreparedOnceAndTwoInFlightKeepTheirOwnResults) {
    auto db = Open();
    ASSERT_TRUE(db);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(db->Scalar(kPartnerName, {1 + i % 2}).toString().isEmpty(), false);
    }
    EXPECT_EQ(Prepared(*db, QStringLiteral("/* naziv */")), 1);

    const QString first = db->Scalar(kPartnerName, {1}).toString();
    const QString second = db->Scalar(kPartnerName, {2}).toString();
    ASSERT_NE(first, second);
    {
        Statement a(*db, kPartnerName);
        Statement b(*db, kPartnerName);
        a.Exec({1});
        b.Exec({2});
        ASSERT_TRUE(a.Next());
        ASSERT_TRUE(b.Next());
        EXPECT_EQ(a.Text(0), first);
        EXPECT_EQ(b.Text(0), second);
        EXPECT_FALSE(a.Next());
        // The first is run again while the second is still open: the second keeps its row.
        a.Exec({2});
        ASSERT_TRUE(a.Next());
        EXPECT_EQ(a.Text(0), second);
        EXPECT_EQ(b.Text(0), second);
        EXPECT_EQ(Prepared(*db, QStringLiteral("/* naziv */")), 2);
    }
    EXPECT_EQ(Prepared(*db, QStringLiteral("/* naziv */")), 2);
    {
        Statement a(*db, kPartnerName);
        Statement b(*db, kPartnerName);
        a.Exec({1});
        b.Exec({1});
        EXPECT_EQ(Prepared(*db, QStringLiteral("/* naziv */")), 2);
    }
    // A kept statement does not carry the values its last user bound: unbound is NULL.
    {
        Statement withTwo(*db, QStringLiteral("SELECT COALESCE(?::int, -1) + COALESCE(?::int, "
                                              "-1) /* zbroj */"));
        withTwo.Exec({5, 7});
        ASSERT_TRUE(withTwo.Next());
        EXPECT_EQ(withTwo.Int(0), 12);
    }
    Statement again(*db, QStringLiteral("SELECT COALESCE(?::int, -1) + COALESCE(?::int, -1) /* "
                                        "zbroj */"));
    again.Bind(0, 5).Exec();
    ASSERT_TRUE(again.Next());
    EXPECT_EQ(again.Int(0), 4);
}

// A transaction rolled back (also one a failed statement aborted) leaves the kept statements
// usable, and a statement that could not be prepared in the aborted transaction is prepared
// anew afterwards.
TEST_F(PostgresStatements, KeptStatementsWorkAfterARolledBackTransaction) {
    auto db = Open();
    ASSERT_TRUE(db);
    const QString insert =
        QStringLiteral("INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (?, ?)");
    const QString count = QStringLiteral("SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?");
    const QString name = QStringLiteral("SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?");
    {
        Transaction tx(*db);
        db->Exec(insert, {5, QStringLiteral("Prvo")});
        EXPECT_EQ(db->Scalar(count, {5}).toInt(), 1);
    }
    EXPECT_EQ(db->Scalar(count, {5}).toInt(), 0);
    db->Exec(insert, {5, QStringLiteral("Drugo")});
    EXPECT_EQ(db->Scalar(count, {5}).toInt(), 1);
    {
        Transaction tx(*db);
        EXPECT_THROW(db->Exec(insert, {5, QStringLiteral("Isti ključ")}), DbError);
        // The transaction is aborted: nothing more runs in it, a new text cannot be prepared.
        EXPECT_THROW(db->Scalar(name, {5}), DbError);
        EXPECT_THROW(db->Scalar(count, {5}), DbError);
    }
    EXPECT_EQ(db->Scalar(name, {5}).toString(), QStringLiteral("Drugo"));
    EXPECT_EQ(db->Scalar(count, {5}).toInt(), 1);
    db->Exec(insert, {6, QStringLiteral("Treće")});
    EXPECT_EQ(db->Scalar(count, {6}).toInt(), 1);
}

// A column added to a table: a statement kept from before would no longer fit the table's new
// shape, so every kept one is dropped and the next run sees the new column.
TEST_F(PostgresStatements, ASchemaChangeDropsTheKeptStatements) {
    auto db = Open();
    ASSERT_TRUE(db);
    db->ExecRaw(QStringLiteral("CREATE TABLE \"PROBA\" (\"A\" INTEGER)"));
    db->Exec(QStringLiteral("INSERT INTO \"PROBA\" (\"A\") VALUES (?)"), {1});
    const QString all = QStringLiteral("SELECT * FROM \"PROBA\"");
    {
        Statement s(*db, all);
        s.Exec();
        EXPECT_EQ(s.ColumnCount(), 1);
    }
    ASSERT_GT(db->Statements()->Size(), 0u);
    db->ExecRaw(QStringLiteral("ALTER TABLE \"PROBA\" ADD COLUMN \"B\" INTEGER DEFAULT 7"));
    EXPECT_EQ(db->Statements()->Size(), 0u);
    {
        Statement s(*db, all);
        s.Exec();
        EXPECT_EQ(s.ColumnCount(), 2);
        ASSERT_TRUE(s.Next());
        EXPECT_EQ(s.Int(1), 7);
    }
    // A statement in use while the change runs is not kept afterwards either.
    {
        Statement held(*db, all);
        held.Exec();
        db->ExecRaw(QStringLiteral("ALTER TABLE \"PROBA\" ADD COLUMN \"C\" INTEGER DEFAULT 8"));
    }
    Statement after(*db, all);
    after.Exec();
    EXPECT_EQ(after.ColumnCount(), 3);
}

// The server's prepared statements go with a lost connection: every statement after it, kept
// text or new, says the connection is lost (not that a statement is missing), nothing is kept,
// and a new connection runs the same texts.
TEST_F(PostgresStatements, ALostConnectionTakesTheKeptStatementsWithIt) {
    auto db = Open();
    ASSERT_TRUE(db);
    const QString count = QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\"");
    EXPECT_EQ(db->Scalar(count).toInt(), 2);
    EXPECT_EQ(db->Scalar(kPartnerName, {1}).isNull(), false);
    auto server = Maintenance();
    server->Exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                "datname = ? AND pid <> pg_backend_pid()"),
                 {DatabaseName()});
    usleep(200 * 1000);
    for (const auto& [sql, values] :
         {std::pair{count, QVariantList{}}, std::pair{kPartnerName, QVariantList{1}},
          std::pair{QStringLiteral("SELECT 1 /* nova */"), QVariantList{}}}) {
        try {
            db->Scalar(sql, values);
            FAIL() << "ran without a connection: " << sql.toStdString();
        } catch (const DbError& e) {
            EXPECT_TRUE(e.isConnectionLost()) << e.what();
            EXPECT_TRUE(e.driverText().startsWith(
                QStringLiteral("Veza s poslužiteljem baze podataka je prekinuta.")))
                << e.what();
        }
    }
    try {
        db->ExecRaw(QStringLiteral("BEGIN"));
        FAIL() << "began a transaction without a connection";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isConnectionLost()) << e.what();
    }
    EXPECT_EQ(db->Statements()->Size(), 0u);
    auto again = Open();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->Scalar(count).toInt(), 2);
    EXPECT_EQ(again->Scalar(kPartnerName, {1}).isNull(), false);
}
