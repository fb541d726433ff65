// The BOOLEAN columns on the server, which refuses an integer where a boolean belongs: the user
// rights and the company record's automatic backup, written and read back through the program's
// own functions.

#include <gtest/gtest.h>

#include "PgCompany.h"
#include "app/CompanyData.h"
#include "app/Users.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::PgCompanyTest;

namespace {

class PgBooleanColumnsTest : public PgCompanyTest {};

TEST_F(PgBooleanColumnsTest, UserRightsAreWrittenAndChangedAsBooleans) {
    auto db = Open();
    ASSERT_TRUE(db);
    users::AddUser(*db, u"Blagajnik"_s, u"tajna"_s, true);
    users::AddUser(*db, u"Vježbenik"_s, QString(), false);
    users::SetRight(*db, u"Blagajnik"_s, u"Racun"_s, false);
    users::SetRight(*db, u"Vježbenik"_s, u"Primka"_s, true);

    std::map<QString, std::map<QString, bool>> byUser;
    for (const users::UserRights& u : users::AllRights(*db)) {
        byUser[u.name] = u.rights;
    }
    ASSERT_EQ(byUser.count(u"Blagajnik"_s), 1u);
    ASSERT_EQ(byUser.count(u"Vježbenik"_s), 1u);
    const auto& cashier = byUser[u"Blagajnik"_s];
    const auto& trainee = byUser[u"Vježbenik"_s];
    EXPECT_FALSE(cashier.at(u"Racun"_s));
    EXPECT_TRUE(cashier.at(u"Primka"_s));
    EXPECT_TRUE(trainee.at(u"Primka"_s));
    EXPECT_FALSE(trainee.at(u"Racun"_s));
}

TEST_F(PgBooleanColumnsTest, TheAutomaticBackupIsSwitchedOnAndOff) {
    auto db = Open();
    ASSERT_TRUE(db);
    QVariantMap record = companydata::Read(*db);
    record[u"NAZIV"_s] = u"Trgovina d.o.o."_s;
    record[u"ZIRO_RACUN"_s] = u"HR1210010051863000160"_s;
    record.remove(u"OZNAKA_NA_RACUNU"_s);
    record.remove(u"ARTIKLI"_s);
    for (const bool on : {true, false}) {
        record[u"AutoBackup"_s] = on;
        companydata::Save(*db, record);
        EXPECT_EQ(companydata::Read(*db).value(u"AutoBackup"_s), QVariant(on));
    }
}

}  // namespace
