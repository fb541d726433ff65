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

using namespace zodra;

namespace {

void RoundTrip(Database& db) {
    db.ExecRaw(
        QStringLiteral("CREATE TABLE \"PROBA\" (\"K\" INTEGER NOT NULL, \"V\" DOUBLE "
                       "PRECISION, \"N\" BIGINT)"));
    for (int key = 1; key <= 5; ++key) {
        db.Exec(QStringLiteral("INSERT INTO \"PROBA\" (\"K\", \"V\", \"N\") VALUES (?, 7, 70)"),
                {key});
    }
    const double third = 1.0 / 3;
    const double values[] = {0.1, -1e-12, 123456789.12345679, third, 5, 1e300};
    BoundRows rows({{QStringLiteral("k"), BoundRows::Type::Integer},
                    {QStringLiteral("v"), BoundRows::Type::Real},
                    {QStringLiteral("n"), BoundRows::Type::Integer}});
    EXPECT_TRUE(rows.Empty());
    rows.Add({1, values[0], 10});
    rows.Add({2, values[1], QVariant()});
    rows.Add({4, values[2], 40});
    rows.Add({5, QVariant(), 9007199254740993LL});  // above 2^53: no detour through a double
    EXPECT_EQ(rows.Size(), 4);
    const QString update =
        QStringLiteral("UPDATE \"PROBA\" SET \"V\" = \"v\".\"v\", \"N\" = \"v\".\"n\" FROM ") +
        QStringLiteral("%1 WHERE \"PROBA\".\"K\" = \"v\".\"k\"");
    EXPECT_EQ(db.Exec(update.arg(rows.Source(db.Dialect(), QStringLiteral("v"))), {rows.Value()}),
              4);

    Statement read =
        db.Prepare(QStringLiteral("SELECT \"K\", \"V\", \"N\" FROM \"PROBA\" ORDER BY "
                                  "\"K\""));
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
    BoundRows more({{QStringLiteral("k"), BoundRows::Type::Integer},
                    {QStringLiteral("v"), BoundRows::Type::Real}});
    more.Add({3, values[3]});
    more.Add({3, values[4]});
    more.Add({9, values[5]});
    Statement joined = db.Prepare(QStringLiteral("SELECT \"v\".\"v\", \"PROBA\".\"N\" FROM ") +
                                  more.Source(db.Dialect(), QStringLiteral("v")) +
                                  QStringLiteral(" INNER JOIN \"PROBA\" ON \"PROBA\".\"K\" = "
                                                 "\"v\".\"k\" ORDER BY 1"));
    joined.Exec({more.Value()});
    ASSERT_TRUE(joined.Next());
    EXPECT_EQ(joined.Double(0), values[3]);
    ASSERT_TRUE(joined.Next());
    EXPECT_EQ(joined.Double(0), values[4]);
    EXPECT_FALSE(joined.Next()) << "key 9 names no row";
    joined.Finish();

    // No rows: the same statement changes nothing.
    const BoundRows none({{QStringLiteral("k"), BoundRows::Type::Integer},
                          {QStringLiteral("v"), BoundRows::Type::Real},
                          {QStringLiteral("n"), BoundRows::Type::Integer}});
    EXPECT_EQ(db.Exec(update.arg(none.Source(db.Dialect(), QStringLiteral("v"))), {none.Value()}),
              0);

    for (const double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        BoundRows refused({{QStringLiteral("k"), BoundRows::Type::Integer},
                           {QStringLiteral("v"), BoundRows::Type::Real}});
        try {
            refused.Add({1, bad});
            ADD_FAILURE() << "a number that is not finite was taken";
        } catch (const UserError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Vrijednost nije ispravan broj !"));
        }
        EXPECT_TRUE(refused.Empty());
    }
}

TEST(BoundRows, AreReadAndWrittenExactlyInACompanyFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    auto db = Database::OpenRaw(folder.filePath(QStringLiteral("proba.db")), true);
    RoundTrip(*db);
}

class BoundRowsOnServer : public test::PgCompanyTest {};

TEST_F(BoundRowsOnServer, AreReadAndWrittenExactly) {
    RoundTrip(*Open());
}

}  // namespace
