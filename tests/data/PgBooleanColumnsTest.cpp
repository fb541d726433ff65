// The BOOLEAN columns on the server, which refuses an integer where a boolean belongs: the user
// rights and the company record's automatic backup, written and read back through the program's
// own functions.

#include <gtest/gtest.h>

#include "PgCompany.h"
#include "app/CompanyData.h"
#include "app/Users.h"

using namespace zodra;
using zodra::test::PgCompanyTest;

namespace {

class PgBooleanColumnsTest : public PgCompanyTest {};

TEST_F(PgBooleanColumnsTest, UserRightsAreWrittenAndChangedAsBooleans) {
    auto db = Open();
    ASSERT_TRUE(db);
    users::AddUser(*db, QStringLiteral("Blagajnik"), QStringLiteral("tajna"), true);
    users::AddUser(*db, QStringLiteral("Vježbenik"), QString(), false);
    users::SetRight(*db, QStringLiteral("Blagajnik"), QStringLiteral("Racun"), false);
    users::SetRight(*db, QStringLiteral("Vježbenik"), QStringLiteral("Primka"), true);

    std::map<QString, std::map<QString, bool>> byUser;
    for (const users::UserRights& u : users::AllRights(*db)) {
        byUser[u.name] = u.rights;
    }
    ASSERT_EQ(byUser.count(QStringLiteral("Blagajnik")), 1u);
    ASSERT_EQ(byUser.count(QStringLiteral("Vježbenik")), 1u);
    const auto& cashier = byUser[QStringLiteral("Blagajnik")];
    const auto& trainee = byUser[QStringLiteral("Vježbenik")];
    EXPECT_FALSE(cashier.at(QStringLiteral("Racun")));
    EXPECT_TRUE(cashier.at(QStringLiteral("Primka")));
    EXPECT_TRUE(trainee.at(QStringLiteral("Primka")));
    EXPECT_FALSE(trainee.at(QStringLiteral("Racun")));
}

TEST_F(PgBooleanColumnsTest, TheAutomaticBackupIsSwitchedOnAndOff) {
    auto db = Open();
    ASSERT_TRUE(db);
    QVariantMap record = companydata::Read(*db);
    record[QStringLiteral("NAZIV")] = QStringLiteral("Trgovina d.o.o.");
    record[QStringLiteral("ZIRO_RACUN")] = QStringLiteral("HR1210010051863000160");
    record.remove(QStringLiteral("OZNAKA_NA_RACUNU"));
    record.remove(QStringLiteral("ARTIKLI"));
    for (const bool on : {true, false}) {
        record[QStringLiteral("AutoBackup")] = on;
        companydata::Save(*db, record);
        EXPECT_EQ(companydata::Read(*db).value(QStringLiteral("AutoBackup")), QVariant(on));
    }
}

}  // namespace
