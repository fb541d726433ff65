#include <QDate>
#include <QTemporaryDir>
#include <atomic>
#include <latch>
#include <thread>

#include "RegisterTestSupport.h"
#include "demo/DemoCompany.h"
#include "pricelists/Pricing.h"
#include "registers/Articles.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::test;
namespace catalogue = registers::catalogue;

namespace {

using ConcurrencyTest = CompanyTest;

// Two workstations type the same new article and press "Prihvati" at the same moment: the
// duplicate check and the insert of each run under the write lock, so exactly one is added
// and the other gets the duplicate message.
TEST_F(ConcurrencyTest, TwoWorkstationsAddingTheSameNameAtOnceAddItOnce) {
    constexpr int kRounds = 20;
    std::latch ready(2);
    std::atomic<int> added{0};
    QStringList refusals[2];
    auto workstation = [&](int index) {
        auto opened = Database::Open(CompanyPath(), QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        ready.arrive_and_wait();
        for (int round = 0; round < kRounds; ++round) {
            try {
                registers::Add(*opened.db, catalogue::Articles(),
                               Article(u"Čokolada %1"_s.arg(round), u"Č-%1"_s.arg(round)));
                ++added;
            } catch (const UserError& e) {
                refusals[index] << e.message();
            }
        }
    };
    std::thread first(workstation, 0);
    std::thread second(workstation, 1);
    first.join();
    second.join();
    EXPECT_EQ(added.load(), kRounds);
    EXPECT_EQ(refusals[0].size() + refusals[1].size(), kRounds);
    for (const QStringList& list : refusals) {
        for (const QString& message : list) {
            EXPECT_TRUE(message.startsWith(u"Artikal sa nazivom 'Čokolada "_s) &&
                        message.endsWith(u"' je već upisan."_s))
                << message.toStdString();
        }
    }
    auto db = Open();
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"ARTIKLI\""_s), kRounds);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(DISTINCT zfold(\"NAZIV\")) FROM \"ARTIKLI\""_s), kRounds);
}

TEST(DemoCompany, HasRealisticMasterDataThatPassesTheEntryChecks) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"demo.mdb"_s);
    const QDate today(2026, 3, 2);
    demo::CreateDemoCompany(path, today);
    auto db = Database::Open(path, QString()).db;
    ASSERT_NE(db, nullptr);
    EXPECT_GE(Count(*db, u"SELECT COUNT(*) FROM \"ARTIKLI\""_s), 200);
    EXPECT_EQ(
        Count(*db,
              u"SELECT COUNT(*) FROM \"ARTIKLI\" WHERE \"BARKOD\" IS NULL OR \"OPIS\" IS NULL"_s),
        0);
    EXPECT_GE(Count(*db, u"SELECT COUNT(DISTINCT \"GRUPA_A\") FROM \"ARTIKLI\""_s), 6);
    EXPECT_GE(Count(*db, u"SELECT COUNT(DISTINCT \"GRUPA_P\") FROM \"ARTIKLI\""_s), 3);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"SKLADISTA\" WHERE \"MALOPRODAJA\" = 1"_s), 1);
    EXPECT_GE(Count(*db, u"SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"Kupac\" = 1"_s), 10);
    EXPECT_GE(Count(*db, u"SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"Dobavljac\" = 1"_s), 8);
    // Every OIB carries a correct ISO 7064 check digit.
    Statement oibs = db->Prepare(u"SELECT \"OIB\" FROM \"PARTNERI\" WHERE \"OIB\" IS NOT NULL"_s);
    oibs.Exec();
    int checked = 0;
    while (oibs.Next()) {
        const QString oib = oibs.Text(0);
        ASSERT_EQ(oib.size(), 11);
        int a = 10;
        for (int i = 0; i < 10; ++i) {
            a = (a + oib.at(i).digitValue()) % 10;
            a = ((a == 0 ? 10 : a) * 2) % 11;
        }
        EXPECT_EQ((11 - a) % 10, oib.at(10).digitValue()) << oib.toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 20);
    // Every barcode is a valid EAN-13.
    Statement codes = db->Prepare(u"SELECT \"BARKOD\" FROM \"ARTIKLI\""_s);
    codes.Exec();
    while (codes.Next()) {
        const QString ean = codes.Text(0);
        ASSERT_EQ(ean.size(), 13);
        int sum = 0;
        for (int i = 0; i < 12; ++i) {
            sum += ean.at(i).digitValue() * (i % 2 == 0 ? 1 : 3);
        }
        EXPECT_EQ((10 - sum % 10) % 10, ean.at(12).digitValue());
    }
    // Every row would pass the entry window again (changing it in place runs all checks).
    Statement all = db->Prepare(u"SELECT \"SIFRA\" FROM \"ARTIKLI\""_s);
    all.Exec();
    std::vector<int> articles;
    while (all.Next()) {
        articles.push_back(all.Int(0));
    }
    all.Finish();
    for (const int code : articles) {
        ASSERT_NO_THROW(registers::Update(*db, catalogue::Articles(), code, {})) << code;
    }
    // A customer on the price list is priced and discounted by it.
    const int customer =
        db->Scalar(u"SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"CJENIK\" <> 0 LIMIT 1"_s).toInt();
    const int listed =
        db->Scalar(
              u"SELECT \"SIFRA_ARTIKLA\" FROM \"CJENICI_STAVKE_CIJENA\" c JOIN \"PARTNERI\" p "
              "ON p.\"CJENIK\" = c.\"SIFRA_CJENIKA\" WHERE p.\"SIFRA\" = ? LIMIT 1"_s,
              {customer})
            .toInt();
    ASSERT_GT(listed, 0);
    EXPECT_TRUE(pricing::CustomerListPrice(*db, customer, listed, today));
    EXPECT_GT(pricing::ProposedDiscount(*db, customer, listed), 0);
    // The foreign-currency list converts by the day's rate.
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"VALUTE_TECAJ\" WHERE \"DATUM\" = '2026-03-02'"_s),
              2);
}

}  // namespace
