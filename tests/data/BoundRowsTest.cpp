// Rows bound as one value: read and written by one statement on either engine, every number
// exactly as it was, only the rows named, and a number that is not finite refused before
// anything is written.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cmath>
#include <limits>

#include "PgCompany.h"
#include "data/BoundRows.h"
#include "data/Database.h"
#include "data/Errors.h"

using namespace Qt::StringLiterals;

using namespace zodra;

namespace {

void RoundTrip(Database& db) {
    db.ExecRaw(
        u"CREATE TABLE \"PROBA\" (\"K\" INTEGER NOT NULL, \"V\" DOUBLE "
        "PRECISION, \"N\" BIGINT)"_s);
    for (int key = 1; key <= 5; ++key) {
        db.Exec(u"INSERT INTO \"PROBA\" (\"K\", \"V\", \"N\") VALUES (?, 7, 70)"_s, {key});
    }
    const double third = 1.0 / 3;
    const double values[] = {0.1, -1e-12, 123456789.12345679, third, 5, 1e300};
    BoundRows rows({{u"k"_s, BoundRows::Type::Integer},
                    {u"v"_s, BoundRows::Type::Real},
                    {u"n"_s, BoundRows::Type::Integer}});
    EXPECT_TRUE(rows.Empty());
    rows.Add({1, values[0], 10});
    rows.Add({2, values[1], QVariant()});
    rows.Add({4, values[2], 40});
    rows.Add({5, QVariant(), 9007199254740993LL});  // above 2^53: no detour through a double
    EXPECT_EQ(rows.Size(), 4);
    const QString update =
        u"UPDATE \"PROBA\" SET \"V\" = \"v\".\"v\", \"N\" = \"v\".\"n\" FROM "_s +
        u"%1 WHERE \"PROBA\".\"K\" = \"v\".\"k\""_s;
    EXPECT_EQ(db.Exec(update.arg(rows.Source(db.Dialect(), u"v"_s)), {rows.Value()}), 4);

    Statement read = db.Prepare(
        u"SELECT \"K\", \"V\", \"N\" FROM \"PROBA\" ORDER BY "
        "\"K\""_s);
    read.Exec();
    const struct {
        QVariant value;
        QVariant number;
    } expected[] = {{values[0], 10},
                    {values[1], QVariant()},
                    {7.0, 70},
                    {values[2], 40},
                    {QVariant(), 9007199254740993LL}};
    for (const auto& [value, number] : expected) {
        ASSERT_TRUE(read.Next());
        SCOPED_TRACE(read.Int(0));
        EXPECT_EQ(read.IsNull(1), value.isNull());
        if (!value.isNull()) {
            EXPECT_EQ(read.Double(1), value.toDouble()) << "the same double, to the last bit";
        }
        EXPECT_EQ(read.IsNull(2), number.isNull());
        if (!number.isNull()) {
            EXPECT_EQ(read.Value(2).toLongLong(), number.toLongLong());
        }
    }
    EXPECT_FALSE(read.Next());
    read.Finish();

    // Read back through a join, and the remaining doubles through the same text once more.
    BoundRows more({{u"k"_s, BoundRows::Type::Integer}, {u"v"_s, BoundRows::Type::Real}});
    more.Add({3, values[3]});
    more.Add({3, values[4]});
    more.Add({9, values[5]});
    Statement joined = db.Prepare(u"SELECT \"v\".\"v\", \"PROBA\".\"N\" FROM "_s +
                                  more.Source(db.Dialect(), u"v"_s) +
                                  u" INNER JOIN \"PROBA\" ON \"PROBA\".\"K\" = "
                                  "\"v\".\"k\" ORDER BY 1"_s);
    joined.Exec({more.Value()});
    ASSERT_TRUE(joined.Next());
    EXPECT_EQ(joined.Double(0), values[3]);
    ASSERT_TRUE(joined.Next());
    EXPECT_EQ(joined.Double(0), values[4]);
    EXPECT_FALSE(joined.Next()) << "key 9 names no row";
    joined.Finish();

    // No rows: the same statement changes nothing.
    const BoundRows none({{u"k"_s, BoundRows::Type::Integer},
                          {u"v"_s, BoundRows::Type::Real},
                          {u"n"_s, BoundRows::Type::Integer}});
    EXPECT_EQ(db.Exec(update.arg(none.Source(db.Dialect(), u"v"_s)), {none.Value()}), 0);

    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        BoundRows refused({{u"k"_s, BoundRows::Type::Integer}, {u"v"_s, BoundRows::Type::Real}});
        try {
            refused.Add({1, bad});
            ADD_FAILURE() << "a number that is not finite was taken";
        } catch (const UserError& e) {
            EXPECT_EQ(e.message(), u"Vrijednost nije ispravan broj !"_s);
        }
        EXPECT_TRUE(refused.Empty());
    }
}

TEST(BoundRows, AreReadAndWrittenExactlyInACompanyFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto db = Database::OpenRaw(folder.filePath(u"proba.db"_s), true);
    RoundTrip(*db);
}

class BoundRowsOnServer : public test::PgCompanyTest {};

TEST_F(BoundRowsOnServer, AreReadAndWrittenExactly) {
    RoundTrip(*Open());
}

}  // namespace
