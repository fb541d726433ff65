// Composite lines through the headless door: two programs post invoices whose lines are made
// at posting, with a compaction beside them; each invoice gets its own work order and receipt,
// and lots, cards and books agree afterwards. A file refusing a composite line is also checked.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

#include "registers/BillsOfMaterials.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;
namespace bom = zodra::registers::billsofmaterials;

namespace {

// The demo company with the example receipt posted and a six-pack "PK-006" made of six beers
// (PI-015) and 0.50 of packing per piece.
class CompositeZodractlTest : public ZodractlCompanyTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ZodractlCompanyTest::SetUp());
        auto db = Open();
        db->Exec(QStringLiteral(
            "INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\", \"JED_M\", \"GRUPA_A\", \"GRUPA_P\") "
            "SELECT 'Pivo paket 6', 'PK-006', 'kom', \"GRUPA_A\", \"GRUPA_P\" FROM \"ARTIKLI\" "
            "WHERE \"OPIS\" = 'PI-015'"));
        const int pack =
            db->Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"OPIS\" = "
                                      "'PK-006'"))
                .toInt();
        beer = db->Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"OPIS\" = "
                                         "'PI-015'"))
                   .toInt();
        const int bill = bom::Add(*db, pack);
        bom::SetPart(*db, bill, beer, QStringLiteral("6"));
        bom::AddCost(*db, bill, QStringLiteral("Pakiranje"), QStringLiteral("1"),
                     QStringLiteral("0.5"));
        beersBefore = BeerStock(*db);
    }
    double BeerStock(Database& db) {
        return db
            .Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
                                   "\"SKLADISTE\" = 1 AND \"SIFRA_ARTIKLA\" = ?"),
                    {beer})
            .toDouble();
    }
    QJsonObject Invoice(const QJsonArray& lines) {
        return {{QStringLiteral("skladiste"), 1},
                {QStringLiteral("knjiga"), 1},
                {QStringLiteral("uvjet_prodaje"), 2},
                {QStringLiteral("kupac"), QStringLiteral("Kod Ane's d.o.o.")},
                {QStringLiteral("datum"), QStringLiteral("2026-03-10")},
                {QStringLiteral("stavke"), lines}};
    }

    int beer = 0;
    double beersBefore = 0;
};

TEST_F(CompositeZodractlTest, TwoProgramsPostingCompositeInvoicesAtOnceBesideACompaction) {
    constexpr int kEach = 4;
    RunFailures failures;
    const QList<int> reported = PostBesideCompaction(
        2, kEach,
        [&](int worker, int i) {
            const QJsonObject invoice =
                Invoice({QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PK-006")},
                                     {QStringLiteral("kolicina"), 1},
                                     {QStringLiteral("cijena"), 9.5},
                                     {QStringLiteral("slozeni"), true}},
                         QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                     {QStringLiteral("kolicina"), 1}}});
            return File(QStringLiteral("c%1-%2.json").arg(worker).arg(i), invoice);
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(reported.size(), 2 * kEach);
    EXPECT_EQ(QSet<int>(reported.begin(), reported.end()).size(), 2 * kEach);

    auto db = Open();
    ASSERT_TRUE(db);
    // One work order and one production receipt per invoice, each number once.
    Statement orders = db->Prepare(QStringLiteral(
        "SELECT COUNT(*), COUNT(DISTINCT \"BROJ_RADNOG_NALOGA\"), COUNT(DISTINCT "
        "\"BROJ_PRIMKE\"), MIN(\"BROJ_PRIMKE\"), MAX(\"BROJ_PRIMKE\") FROM \"RADNI_NALOZI\" "
        "WHERE \"SKLADISTE\" = 1"));
    orders.Exec();
    ASSERT_TRUE(orders.Next());
    EXPECT_EQ(orders.Int(0), 2 * kEach);
    EXPECT_EQ(orders.Int(1), 2 * kEach);
    EXPECT_EQ(orders.Int(2), 2 * kEach);
    EXPECT_EQ(orders.Int(3), 200001);
    EXPECT_EQ(orders.Int(4), 200000 + 2 * kEach);
    orders.Finish();
    // Each invoice sold its six-pack from its own produced lot.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(DISTINCT s.\"BROJ_PRIMKE\") FROM "
                                        "\"STAVKE_RACUNA\" s JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = "
                                        "s.\"SIFRA\" WHERE a.\"OPIS\" = 'PK-006' AND "
                                        "s.\"TIP_STAVKE\" = 'ART' AND s.\"BROJ_PRIMKE\" >= 200001"))
                  .toInt(),
              2 * kEach);
    // 7 beers a invoice: six in the pack, one sold as it is.
    EXPECT_DOUBLE_EQ(BeerStock(*db), beersBefore - 7 * 2 * kEach);
    EXPECT_EQ(
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\"")).toInt(), 0);
    db.reset();
    ExpectStockSound();
}

TEST_F(CompositeZodractlTest, AFileIsRefusedForACompositeLineItCannotPost) {
    const auto refused = [&](const QJsonObject& line, const QString& name) {
        const ZodractlRun run = Run({QStringLiteral("post"), File(name, Invoice({line}))});
        EXPECT_NE(run.exitCode, 0) << name.toStdString();
        return run.err;
    };
    // An article without a bill, a lot named with it, a value that is not true or false.
    EXPECT_TRUE(refused({{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                         {QStringLiteral("kolicina"), 1},
                         {QStringLiteral("cijena"), 2},
                         {QStringLiteral("slozeni"), true}},
                        QStringLiteral("a.json"))
                    .contains(QStringLiteral("Nije izabran artikal !")));
    EXPECT_TRUE(refused({{QStringLiteral("artikal"), QStringLiteral("PK-006")},
                         {QStringLiteral("kolicina"), 1},
                         {QStringLiteral("primka"), 1},
                         {QStringLiteral("slozeni"), true}},
                        QStringLiteral("b.json"))
                    .contains(QStringLiteral("složeni proizvod nema \"primka\"")));
    EXPECT_TRUE(refused({{QStringLiteral("artikal"), QStringLiteral("PK-006")},
                         {QStringLiteral("kolicina"), 1},
                         {QStringLiteral("slozeni"), QStringLiteral("da")}},
                        QStringLiteral("c.json"))
                    .contains(QStringLiteral("\"slozeni\" nije true ili false")));
    // More packs than there are beers: the production's shortage, nothing posted.
    const QString shortage = refused({{QStringLiteral("artikal"), QStringLiteral("PK-006")},
                                      {QStringLiteral("kolicina"), 100000},
                                      {QStringLiteral("cijena"), 9.5},
                                      {QStringLiteral("slozeni"), true}},
                                     QStringLiteral("d.json"));
    EXPECT_TRUE(shortage.contains(QStringLiteral("Nedovoljna zaliha artikla ")))
        << shortage.toStdString();
    auto db = Open();
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI\"")).toInt(), 0);
    EXPECT_DOUBLE_EQ(BeerStock(*db), beersBefore);
}

}  // namespace
