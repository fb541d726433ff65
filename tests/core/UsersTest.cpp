#include <gtest/gtest.h>
#include <QTemporaryDir>

#include "app/Users.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

using namespace zodra;
using zodra::test::CompanyTest;

class UsersTest : public CompanyTest {};

TEST_F(UsersTest, AdminOfANewCompanyLogsInWithAnEmptyPasswordAndItsExactName) {
    auto db = Open();
    EXPECT_TRUE(users::CheckLogin(*db, QStringLiteral("admin"), QString()));
    EXPECT_FALSE(users::CheckLogin(*db, QStringLiteral("admin"), QStringLiteral("x")));
    for (const char* name : {"Admin", "ADMIN", "admin ", "nitko"}) {
        EXPECT_FALSE(users::CheckLogin(*db, QString::fromLatin1(name), QString())) << name;
    }
}

TEST_F(UsersTest, PasswordsAreStoredAsHashesAndCheckedExactly) {
    auto db = Open();
    users::AddUser(*db, QStringLiteral("Željka"), QStringLiteral("Lozinka1"), false);
    const QString stored = db->Scalar(QStringLiteral("SELECT \"Password\" FROM \"KORISNICI\" WHERE "
                                                     "\"Username\" = ?"),
                                      {QStringLiteral("Željka")})
                               .toString();
    EXPECT_TRUE(stored.startsWith(QStringLiteral("$argon2id$")));
    EXPECT_TRUE(users::CheckLogin(*db, QStringLiteral("Željka"), QStringLiteral("Lozinka1")));
    EXPECT_FALSE(users::CheckLogin(*db, QStringLiteral("Željka"), QStringLiteral("lozinka1")));
    EXPECT_FALSE(users::CheckLogin(*db, QStringLiteral("željka"), QStringLiteral("Lozinka1")));
    users::SetPassword(*db, QStringLiteral("Željka"), QStringLiteral("Nova"));
    EXPECT_TRUE(users::CheckLogin(*db, QStringLiteral("Željka"), QStringLiteral("Nova")));
    EXPECT_FALSE(users::CheckLogin(*db, QStringLiteral("Željka"), QStringLiteral("Lozinka1")));
}

TEST_F(UsersTest, UserNamesAreUniqueRegardlessOfLetterCase) {
    auto db = Open();
    users::AddUser(*db, QStringLiteral("Šime"), QString(), false);
    EXPECT_REFUSED(users::AddUser(*db, QStringLiteral("šIME"), QString(), false),
                   "Korisnik šIME je već upisan.");
    EXPECT_THROW(users::AddUser(*db, QStringLiteral("ADMIN"), QString(), true), UserError);
    EXPECT_EQ(users::UserNames(*db),
              (QStringList{QStringLiteral("admin"), QStringLiteral("Šime")}));
}

TEST_F(UsersTest, OnlyAdminGetsMaintenanceAndUsers) {
    auto db = Open();
    const users::AppliedRights admin = users::ApplyUserRights(*db, QStringLiteral("admin"));
    ASSERT_TRUE(admin.found);
    EXPECT_TRUE(admin.maintenanceEnabled);
    EXPECT_TRUE(admin.usersVisible);
    EXPECT_TRUE(admin.administrationAllowed);
    for (const auto& [command, on] : admin.commandEnabled) {
        EXPECT_TRUE(on) << command.toStdString();
    }
    EXPECT_TRUE(admin.session.registerZReportAllowed);
}

TEST_F(UsersTest, TheSessionRightsAreCopiedFromTheirColumns) {
    auto db = Open();
    users::AddUser(*db, QStringLiteral("blagajnik"), QString(), false);
    users::SetRight(*db, QStringLiteral("blagajnik"), QStringLiteral("Dozvoljen Z kase"), true);
    const users::AppliedRights r = users::ApplyUserRights(*db, QStringLiteral("blagajnik"));
    EXPECT_FALSE(r.session.purchasePricesVisible);
    EXPECT_FALSE(r.session.priceChangeAllowed);
    EXPECT_TRUE(r.session.registerZReportAllowed);
    EXPECT_FALSE(r.commandEnabled.at(QStringLiteral("Knjizenje_kasa")));
    EXPECT_THROW(
        users::SetRight(*db, QStringLiteral("blagajnik"), QStringLiteral("Password"), true),
        UserError);
}

TEST_F(UsersTest, AMissingRowIsReportedAsNotFound) {
    auto db = Open();
    EXPECT_FALSE(users::ApplyUserRights(*db, QStringLiteral("nepoznat")).found);
    EXPECT_THROW(users::DeleteUser(*db, QStringLiteral("admin")), UserError);
}

TEST(UserRightsTable, EveryRightColumnExistsInTheSchema) {
    // Guards the table against spelling drift between the mapping and the schema.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.mdb"));
    zodra::test::CopyTemplateCompany(path);
    auto db = Database::Open(path, QString()).db;
    const QStringList& columns = db->Columns(QStringLiteral("KORISNICI"));
    for (const users::Right& r : users::Rights()) {
        EXPECT_TRUE(columns.contains(r.column)) << r.column.toStdString();
    }
    for (const QString& c : users::SessionRightColumns()) {
        EXPECT_TRUE(columns.contains(c)) << c.toStdString();
    }
}
