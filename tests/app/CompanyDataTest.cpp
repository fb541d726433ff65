#include <gtest/gtest.h>

#include <QFile>

#include "app/Administration.h"
#include "app/CompanyConfig.h"
#include "app/CompanyData.h"
#include "app/Users.h"
#include "data/Errors.h"
#include "support/TestCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::CompanyTest;

namespace {

QString Refusal(const std::function<void()>& action) {
    try {
        action();
    } catch (const UserError& e) {
        return e.message();
    }
    return QString();
}

}  // namespace

class CompanyDataTest : public CompanyTest {};

TEST_F(CompanyDataTest, TheRecordNeedsANameAndABankAccount) {
    auto db = Open();
    QVariantMap v = companydata::Read(*db);
    EXPECT_EQ(v.value(u"OZNAKA_NA_RACUNU"_s).toString(), u"R-1"_s);
    v[u"NAZIV"_s] = u"  "_s;
    EXPECT_EQ(Refusal([&] { companydata::Save(*db, v); }), u"Naziv mora biti upisan."_s);
    v[u"NAZIV"_s] = u"Kod Ane's d.o.o."_s;
    EXPECT_EQ(Refusal([&] { companydata::Save(*db, v); }), u"Žiro račun mora biti upisan."_s);
    EXPECT_TRUE(companydata::Read(*db).value(u"NAZIV"_s).toString().isEmpty());
    v[u"ZIRO_RACUN"_s] = u"HR1210010051863000160"_s;
    v[u"OZNAKA_NA_RACUNU"_s] = u"R-2"_s;
    v[u"ARTIKLI"_s] = u"po šifri i nazivu"_s;
    v[u"AutoBackup"_s] = true;
    companydata::Save(*db, v);
    const QVariantMap back = companydata::Read(*db);
    EXPECT_EQ(back.value(u"NAZIV"_s).toString(), u"Kod Ane's d.o.o."_s);
    EXPECT_EQ(back.value(u"OZNAKA_NA_RACUNU"_s).toString(), u"R-2"_s);
    EXPECT_TRUE(back.value(u"AutoBackup"_s).toBool());
    v[u"OZNAKA_NA_RACUNU"_s] = u"R-3"_s;
    EXPECT_FALSE(Refusal([&] { companydata::Save(*db, v); }).isEmpty());
}

TEST_F(CompanyDataTest, SettingsNeedTheReportNamesAndTheNumberFormat) {
    auto db = Open();
    QVariantMap v = companydata::Read(*db);
    v[u"REPORT MRACUNA"_s] = QString();
    EXPECT_EQ(Refusal([&] { companydata::SaveSettings(*db, v); }),
              u"Upišite report maloprodajnog računa."_s);
    v[u"REPORT MRACUNA"_s] = u"racun_m2.rpt"_s;
    v[u"FormatBroj"_s] = QString();
    EXPECT_EQ(Refusal([&] { companydata::SaveSettings(*db, v); }), u"Upišite format brojeva."_s);
    v[u"FormatBroj"_s] = u"0.00"_s;
    companydata::SaveSettings(*db, v);
    EXPECT_EQ(companydata::Read(*db).value(u"REPORT MRACUNA"_s).toString(), u"racun_m2.rpt"_s);
}

TEST_F(CompanyDataTest, TheLogoIsTheBitmapItself) {
    auto db = Open();
    const QString bmp = Folder() + u"/logo.bmp"_s;
    QByteArray bytes("BM");
    const quint32 size = 30;
    for (int i = 0; i < 4; ++i) {
        bytes.append(static_cast<char>((size >> (8 * i)) & 0xff));
    }
    bytes.append(QByteArray(24, '\x01'));
    QFile f(bmp);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    companydata::StoreLogo(*db, bmp);
    EXPECT_EQ(companydata::Logo(*db), bytes);

    const QString text = Folder() + u"/nije.bmp"_s;
    QFile g(text);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("ovo nije slika, ali je dovoljno dugo");
    g.close();
    EXPECT_EQ(Refusal([&] { companydata::StoreLogo(*db, text); }),
              u"Izabrana datoteka nije ispravna bitmap slika."_s);
    EXPECT_EQ(companydata::Logo(*db), bytes);
}

TEST_F(CompanyDataTest, FurtherBankAccounts) {
    auto db = Open();
    const int a = companydata::AddBankAccount(*db, u"HR11"_s, u"PBZ"_s);
    companydata::AddBankAccount(*db, u"HR22"_s, QString());
    EXPECT_EQ(Refusal([&] { companydata::AddBankAccount(*db, u" "_s, QString()); }),
              u"Žiro račun mora biti upisan."_s);
    companydata::DeleteBankAccount(*db, a);
    const auto accounts = companydata::BankAccounts(*db);
    ASSERT_EQ(accounts.size(), 1);
    EXPECT_EQ(accounts[0].account, u"HR22"_s);
}

TEST_F(CompanyDataTest, AdministrationQueriesCannotChangeAnything) {
    auto db = Open();
    const TableData rows =
        administration::RunQuery(*db, u"SELECT \"Username\" FROM \"KORISNICI\""_s);
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.columns[0].header, u"Username"_s);
    EXPECT_EQ(rows.Value(0, 0).toString(), u"admin"_s);
    EXPECT_THROW(administration::RunQuery(*db, u"DELETE FROM \"KORISNICI\""_s), DbError);
    EXPECT_EQ(db->Scalar(u"SELECT COUNT(*) FROM \"KORISNICI\""_s).toInt(), 1);
    // The switch is off again for the program's own work.
    EXPECT_EQ(administration::Execute(*db,
                                      u"UPDATE \"PODACI_FIRME\" SET \"URL\" = 'x'; UPDATE "
                                      "\"PODACI_FIRME\" SET \"EMAIL\" = 'y'"_s),
              2);
    // A failing statement takes the others back with it.
    EXPECT_THROW(administration::Execute(*db,
                                         u"UPDATE \"PODACI_FIRME\" SET \"URL\" = 'z'; UPDATE "
                                         "\"NEMA\" SET \"A\" = 1"_s),
                 DbError);
    EXPECT_EQ(db->Scalar(u"SELECT \"URL\" FROM \"PODACI_FIRME\""_s).toString(), u"x"_s);
    EXPECT_EQ(administration::StockCheck(*db).RowCount(), 0);
}

TEST_F(CompanyDataTest, EveryUsersRightsWithoutTheirPasswords) {
    auto db = Open();
    users::AddUser(*db, u"Marko"_s, u"tajna"_s, false);
    users::SetRight(*db, u"Marko"_s, u"Primka"_s, true);
    const auto all = users::AllRights(*db);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].name, u"admin"_s);
    EXPECT_FALSE(all[0].hasPassword);
    EXPECT_TRUE(all[0].rights.at(u"Racun"_s));
    EXPECT_EQ(all[1].name, u"Marko"_s);
    EXPECT_TRUE(all[1].hasPassword);
    EXPECT_TRUE(all[1].rights.at(u"Primka"_s));
    EXPECT_FALSE(all[1].rights.at(u"Racun"_s));
    EXPECT_FALSE(all[1].rights.at(u"Dozvoljen Z kase"_s));
    const auto keys = companyconfig::ReadAll(*db);
    EXPECT_GE(keys.size(), companyconfig::Keys().size() - 1);
}
