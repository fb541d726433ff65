#include <gtest/gtest.h>

#include <QFile>

#include "app/Administration.h"
#include "app/CompanyConfig.h"
#include "app/CompanyData.h"
#include "app/Users.h"
#include "data/Errors.h"
#include "support/TestCompany.h"

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
    EXPECT_EQ(v.value(QStringLiteral("OZNAKA_NA_RACUNU")).toString(), QStringLiteral("R-1"));
    v[QStringLiteral("NAZIV")] = QStringLiteral("  ");
    EXPECT_EQ(Refusal([&] { companydata::Save(*db, v); }),
              QStringLiteral("Naziv mora biti upisan."));
    v[QStringLiteral("NAZIV")] = QStringLiteral("Kod Ane's d.o.o.");
    EXPECT_EQ(Refusal([&] { companydata::Save(*db, v); }),
              QStringLiteral("Žiro račun mora biti upisan."));
    EXPECT_TRUE(companydata::Read(*db).value(QStringLiteral("NAZIV")).toString().isEmpty());
    v[QStringLiteral("ZIRO_RACUN")] = QStringLiteral("HR1210010051863000160");
    v[QStringLiteral("OZNAKA_NA_RACUNU")] = QStringLiteral("R-2");
    v[QStringLiteral("ARTIKLI")] = QStringLiteral("po šifri i nazivu");
    v[QStringLiteral("AutoBackup")] = true;
    companydata::Save(*db, v);
    const QVariantMap back = companydata::Read(*db);
    EXPECT_EQ(back.value(QStringLiteral("NAZIV")).toString(), QStringLiteral("Kod Ane's d.o.o."));
    EXPECT_EQ(back.value(QStringLiteral("OZNAKA_NA_RACUNU")).toString(), QStringLiteral("R-2"));
    EXPECT_TRUE(back.value(QStringLiteral("AutoBackup")).toBool());
    v[QStringLiteral("OZNAKA_NA_RACUNU")] = QStringLiteral("R-3");
    EXPECT_FALSE(Refusal([&] { companydata::Save(*db, v); }).isEmpty());
}

TEST_F(CompanyDataTest, SettingsNeedTheReportNamesAndTheNumberFormat) {
    auto db = Open();
    QVariantMap v = companydata::Read(*db);
    v[QStringLiteral("REPORT MRACUNA")] = QString();
    EXPECT_EQ(Refusal([&] { companydata::SaveSettings(*db, v); }),
              QStringLiteral("Upišite report maloprodajnog računa."));
    v[QStringLiteral("REPORT MRACUNA")] = QStringLiteral("racun_m2.rpt");
    v[QStringLiteral("FormatBroj")] = QString();
    EXPECT_EQ(Refusal([&] { companydata::SaveSettings(*db, v); }),
              QStringLiteral("Upišite format brojeva."));
    v[QStringLiteral("FormatBroj")] = QStringLiteral("0.00");
    companydata::SaveSettings(*db, v);
    EXPECT_EQ(companydata::Read(*db).value(QStringLiteral("REPORT MRACUNA")).toString(),
              QStringLiteral("racun_m2.rpt"));
}

TEST_F(CompanyDataTest, TheLogoIsTheBitmapItself) {
    auto db = Open();
    const QString bmp = Folder() + QStringLiteral("/logo.bmp");
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

    const QString text = Folder() + QStringLiteral("/nije.bmp");
    QFile g(text);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("ovo nije slika, ali je dovoljno dugo");
    g.close();
    EXPECT_EQ(Refusal([&] { companydata::StoreLogo(*db, text); }),
              QStringLiteral("Izabrana datoteka nije ispravna bitmap slika."));
    EXPECT_EQ(companydata::Logo(*db), bytes);
}

TEST_F(CompanyDataTest, FurtherBankAccounts) {
    auto db = Open();
    const int a = companydata::AddBankAccount(*db, QStringLiteral("HR11"), QStringLiteral("PBZ"));
    companydata::AddBankAccount(*db, QStringLiteral("HR22"), QString());
    EXPECT_EQ(Refusal([&] { companydata::AddBankAccount(*db, QStringLiteral(" "), QString()); }),
              QStringLiteral("Žiro račun mora biti upisan."));
    companydata::DeleteBankAccount(*db, a);
    const auto accounts = companydata::BankAccounts(*db);
    ASSERT_EQ(accounts.size(), 1);
    EXPECT_EQ(accounts[0].account, QStringLiteral("HR22"));
}

TEST_F(CompanyDataTest, AdministrationQueriesCannotChangeAnything) {
    auto db = Open();
    const TableData rows =
        administration::RunQuery(*db, QStringLiteral("SELECT \"Username\" FROM \"KORISNICI\""));
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.columns[0].header, QStringLiteral("Username"));
    EXPECT_EQ(rows.Value(0, 0).toString(), QStringLiteral("admin"));
    EXPECT_THROW(administration::RunQuery(*db, QStringLiteral("DELETE FROM \"KORISNICI\"")),
                 DbError);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"KORISNICI\"")).toInt(), 1);
    // The switch is off again for the program's own work.
    EXPECT_EQ(administration::Execute(
                  *db, QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"URL\" = 'x'; UPDATE "
                                      "\"PODACI_FIRME\" SET \"EMAIL\" = 'y'")),
              2);
    // A failing statement takes the others back with it.
    EXPECT_THROW(administration::Execute(
                     *db, QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"URL\" = 'z'; UPDATE "
                                         "\"NEMA\" SET \"A\" = 1")),
                 DbError);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT \"URL\" FROM \"PODACI_FIRME\"")).toString(),
              QStringLiteral("x"));
    EXPECT_EQ(administration::StockCheck(*db).RowCount(), 0);
}

TEST_F(CompanyDataTest, EveryUsersRightsWithoutTheirPasswords) {
    auto db = Open();
    users::AddUser(*db, QStringLiteral("Marko"), QStringLiteral("tajna"), false);
    users::SetRight(*db, QStringLiteral("Marko"), QStringLiteral("Primka"), true);
    const auto all = users::AllRights(*db);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].name, QStringLiteral("admin"));
    EXPECT_FALSE(all[0].hasPassword);
    EXPECT_TRUE(all[0].rights.at(QStringLiteral("Racun")));
    EXPECT_EQ(all[1].name, QStringLiteral("Marko"));
    EXPECT_TRUE(all[1].hasPassword);
    EXPECT_TRUE(all[1].rights.at(QStringLiteral("Primka")));
    EXPECT_FALSE(all[1].rights.at(QStringLiteral("Racun")));
    EXPECT_FALSE(all[1].rights.at(QStringLiteral("Dozvoljen Z kase")));
    const auto keys = companyconfig::ReadAll(*db);
    EXPECT_GE(keys.size(), companyconfig::Keys().size() - 1);
}
