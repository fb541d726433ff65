#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "app/Users.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::CompanyTest;

class UsersTest : public CompanyTest {};

TEST_F(UsersTest, AdminLogsInWithAnEmptyPasswordAndItsExactNameOthersWithTheirExactPassword) {
    auto db = Open();
    EXPECT_TRUE(users::CheckLogin(*db, u"admin"_s, QString()));
    EXPECT_FALSE(users::CheckLogin(*db, u"admin"_s, u"x"_s));
    for (const char* name : {"Admin", "ADMIN", "admin ", "nitko"}) {
        EXPECT_FALSE(users::CheckLogin(*db, QString::fromLatin1(name), QString())) << name;
    }
    // A password is stored as a hash and checked exactly.
    users::AddUser(*db, u"Željka"_s, u"Lozinka1"_s, false);
    const QString stored = db->Scalar(
                                 u"SELECT \"Password\" FROM \"KORISNICI\" WHERE "
                                 "\"Username\" = ?"_s,
                                 {u"Željka"_s})
                               .toString();
    EXPECT_TRUE(stored.startsWith(u"$argon2id$"_s));
    EXPECT_TRUE(users::CheckLogin(*db, u"Željka"_s, u"Lozinka1"_s));
    EXPECT_FALSE(users::CheckLogin(*db, u"Željka"_s, u"lozinka1"_s));
    EXPECT_FALSE(users::CheckLogin(*db, u"željka"_s, u"Lozinka1"_s));
    users::SetPassword(*db, u"Željka"_s, u"Nova"_s);
    EXPECT_TRUE(users::CheckLogin(*db, u"Željka"_s, u"Nova"_s));
    EXPECT_FALSE(users::CheckLogin(*db, u"Željka"_s, u"Lozinka1"_s));
}

TEST_F(UsersTest, UserNamesAreUniqueRegardlessOfLetterCase) {
    auto db = Open();
    users::AddUser(*db, u"Šime"_s, QString(), false);
    EXPECT_REFUSED(users::AddUser(*db, u"šIME"_s, QString(), false),
                   "Korisnik šIME je već upisan.");
    EXPECT_THROW(users::AddUser(*db, u"ADMIN"_s, QString(), true), UserError);
    EXPECT_EQ(users::UserNames(*db), (QStringList{u"admin"_s, u"Šime"_s}));
}

TEST_F(UsersTest, OnlyAdminGetsMaintenanceAndUsers) {
    auto db = Open();
    const users::AppliedRights admin = users::ApplyUserRights(*db, u"admin"_s);
    ASSERT_TRUE(admin.found);
    EXPECT_TRUE(admin.maintenanceEnabled);
    EXPECT_TRUE(admin.usersVisible);
    EXPECT_TRUE(admin.administrationAllowed);
    for (const auto& [command, on] : admin.commandEnabled) {
        EXPECT_TRUE(on) << command.toStdString();
    }
    EXPECT_TRUE(admin.session.registerZReportAllowed);
    // A missing row is not found; admin cannot be deleted.
    EXPECT_FALSE(users::ApplyUserRights(*db, u"nepoznat"_s).found);
    EXPECT_THROW(users::DeleteUser(*db, u"admin"_s), UserError);
}

TEST_F(UsersTest, TheSessionRightsAreCopiedFromTheirColumns) {
    auto db = Open();
    users::AddUser(*db, u"blagajnik"_s, QString(), false);
    users::SetRight(*db, u"blagajnik"_s, u"Dozvoljen Z kase"_s, true);
    const users::AppliedRights r = users::ApplyUserRights(*db, u"blagajnik"_s);
    EXPECT_FALSE(r.session.purchasePricesVisible);
    EXPECT_FALSE(r.session.priceChangeAllowed);
    EXPECT_TRUE(r.session.registerZReportAllowed);
    EXPECT_FALSE(r.commandEnabled.at(u"Knjizenje_kasa"_s));
    EXPECT_THROW(users::SetRight(*db, u"blagajnik"_s, u"Password"_s, true), UserError);
}

TEST(UserRightsTable, EveryRightColumnExistsInTheSchema) {
    // Guards the table against spelling drift between the mapping and the schema.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"f.mdb"_s);
    zodra::test::CopyTemplateCompany(path);
    auto db = Database::Open(path, QString()).db;
    const QStringList& columns = db->Columns(u"KORISNICI"_s);
    for (const users::Right& r : users::Rights()) {
        EXPECT_TRUE(columns.contains(r.column)) << r.column.toStdString();
    }
    for (const QString& c : users::SessionRightColumns()) {
        EXPECT_TRUE(columns.contains(c)) << c.toStdString();
    }
}
