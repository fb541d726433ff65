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

using namespace Qt::StringLiterals;

using namespace zodra;

namespace {

class PostgresStatements : public zodra::test::PgCompanyTest {};

// How many statements of the connection the server holds prepared with `marker` in their text
// (the marker is bound, so this statement's own text does not hold it).
int Prepared(Database& db, const QString& marker) {
    return db
        .Scalar(
            u"SELECT COUNT(*) FROM pg_prepared_statements WHERE "
            "strpos(statement, ?) > 0"_s,
            {marker})
        .toInt();
}

const QString kPartnerName =
    u"SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ? /* naziv */"_s;

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
    EXPECT_EQ(Prepared(*db, u"/* naziv */"_s), 1);

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
        EXPECT_EQ(Prepared(*db, u"/* naziv */"_s), 2);
    }
    EXPECT_EQ(Prepared(*db, u"/* naziv */"_s), 2);
    {
        Statement a(*db, kPartnerName);
        Statement b(*db, kPartnerName);
        a.Exec({1});
        b.Exec({1});
        EXPECT_EQ(Prepared(*db, u"/* naziv */"_s), 2);
    }
    // A kept statement does not carry the values its last user bound: unbound is NULL.
    {
        Statement withTwo(*db,
                          u"SELECT COALESCE(?::int, -1) + COALESCE(?::int, "
                          "-1) /* zbroj */"_s);
        withTwo.Exec({5, 7});
        ASSERT_TRUE(withTwo.Next());
        EXPECT_EQ(withTwo.Int(0), 12);
    }
    Statement again(*db,
                    u"SELECT COALESCE(?::int, -1) + COALESCE(?::int, -1) /* "
                    "zbroj */"_s);
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
    const QString insert = u"INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\") VALUES (?, ?)"_s;
    const QString count = u"SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"_s;
    const QString name = u"SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"_s;
    {
        Transaction tx(*db);
        db->Exec(insert, {5, u"Prvo"_s});
        EXPECT_EQ(db->Scalar(count, {5}).toInt(), 1);
    }
    EXPECT_EQ(db->Scalar(count, {5}).toInt(), 0);
    db->Exec(insert, {5, u"Drugo"_s});
    EXPECT_EQ(db->Scalar(count, {5}).toInt(), 1);
    {
        Transaction tx(*db);
        EXPECT_THROW(db->Exec(insert, {5, u"Isti ključ"_s}), DbError);
        // The transaction is aborted: nothing more runs in it, a new text cannot be prepared.
        EXPECT_THROW(db->Scalar(name, {5}), DbError);
        EXPECT_THROW(db->Scalar(count, {5}), DbError);
    }
    EXPECT_EQ(db->Scalar(name, {5}).toString(), u"Drugo"_s);
    EXPECT_EQ(db->Scalar(count, {5}).toInt(), 1);
    db->Exec(insert, {6, u"Treće"_s});
    EXPECT_EQ(db->Scalar(count, {6}).toInt(), 1);
}

// A column added to a table: a statement kept from before would no longer fit the table's new
// shape, so every kept one is dropped and the next run sees the new column.
TEST_F(PostgresStatements, ASchemaChangeDropsTheKeptStatements) {
    auto db = Open();
    ASSERT_TRUE(db);
    db->ExecRaw(u"CREATE TABLE \"PROBA\" (\"A\" INTEGER)"_s);
    db->Exec(u"INSERT INTO \"PROBA\" (\"A\") VALUES (?)"_s, {1});
    const QString all = u"SELECT * FROM \"PROBA\""_s;
    {
        Statement s(*db, all);
        s.Exec();
        EXPECT_EQ(s.ColumnCount(), 1);
    }
    ASSERT_GT(db->Statements()->Size(), 0u);
    db->ExecRaw(u"ALTER TABLE \"PROBA\" ADD COLUMN \"B\" INTEGER DEFAULT 7"_s);
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
        db->ExecRaw(u"ALTER TABLE \"PROBA\" ADD COLUMN \"C\" INTEGER DEFAULT 8"_s);
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
    const QString count = u"SELECT COUNT(*) FROM \"PARTNERI\""_s;
    EXPECT_EQ(db->Scalar(count).toInt(), 2);
    EXPECT_EQ(db->Scalar(kPartnerName, {1}).isNull(), false);
    auto server = Maintenance();
    server->Exec(
        u"SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
        "datname = ? AND pid <> pg_backend_pid()"_s,
        {DatabaseName()});
    usleep(200 * 1000);
    for (const auto& [sql, values] :
         {std::pair{count, QVariantList{}}, std::pair{kPartnerName, QVariantList{1}},
          std::pair{u"SELECT 1 /* nova */"_s, QVariantList{}}}) {
        try {
            db->Scalar(sql, values);
            FAIL() << "ran without a connection: " << sql.toStdString();
        } catch (const DbError& e) {
            EXPECT_TRUE(e.isConnectionLost()) << e.what();
            EXPECT_TRUE(
                e.driverText().startsWith(u"Veza s poslužiteljem baze podataka je prekinuta."_s))
                << e.what();
        }
    }
    try {
        db->ExecRaw(u"BEGIN"_s);
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
