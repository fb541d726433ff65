// Composite lines through the headless door: two programs post invoices whose lines are made
// at posting, with a compaction beside them; each invoice gets its own work order and receipt,
// and lots, cards and books agree afterwards. A file refusing a composite line is also checked.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <mutex>
#include <thread>

#include "data/Database.h"
#include "registers/BillsOfMaterials.h"
#include "support/Zodractl.h"

using namespace zodra;
namespace bom = zodra::registers::billsofmaterials;

namespace {

using CtlRun = zodra::test::ZodractlRun;

QString Source(const char* path) {
    return QStringLiteral(ZODRA_SOURCE_DIR "/") + QString::fromLatin1(path);
}

// The demo company with the example receipt posted and a six-pack "PK-006" made of six beers
// (PI-015) and 0.50 of packing per piece.
class CompositeZodractlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_company = m_dir.filePath(QStringLiteral("firma.mdb"));
        ASSERT_EQ(zodra::test::RunZodractl({QStringLiteral("demo"), m_company}).exitCode, 0);
        ASSERT_EQ(Run({QStringLiteral("post"), Source("docs/examples/primka.json"),
                       QStringLiteral("--da")})
                      .exitCode,
                  0);
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
    std::unique_ptr<Database> Open() {
        auto opened = Database::Open(m_company, QString());
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
        return std::move(opened.db);
    }
    double BeerStock(Database& db) {
        return db
            .Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
                                   "\"SKLADISTE\" = 1 AND \"SIFRA_ARTIKLA\" = ?"),
                    {beer})
            .toDouble();
    }
    QString File(const QString& name, const QJsonObject& o) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(o).toJson());
        return path;
    }
    CtlRun Run(const QStringList& args) {
        QStringList all{args.first(), m_company};
        all << args.mid(1);
        return zodra::test::RunZodractl(all, {});
    }
    QJsonObject Invoice(const QJsonArray& lines) {
        return {{QStringLiteral("skladiste"), 1},
                {QStringLiteral("knjiga"), 1},
                {QStringLiteral("uvjet_prodaje"), 2},
                {QStringLiteral("kupac"), QStringLiteral("Kod Ane's d.o.o.")},
                {QStringLiteral("datum"), QStringLiteral("2026-03-10")},
                {QStringLiteral("stavke"), lines}};
    }

    QTemporaryDir m_dir;
    QString m_company;
    int beer = 0;
    double beersBefore = 0;
};

TEST_F(CompositeZodractlTest, TwoProgramsPostingCompositeInvoicesAtOnceBesideACompaction) {
    constexpr int kEach = 4;
    std::mutex mutex;
    QList<int> reported;
    QStringList failures;
    auto post = [&](int worker) {
        static const QRegularExpression number(QStringLiteral("pod brojem (\\d+)"));
        for (int i = 0; i < kEach; ++i) {
            const QJsonObject invoice =
                Invoice({QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PK-006")},
                                     {QStringLiteral("kolicina"), 1},
                                     {QStringLiteral("cijena"), 9.5},
                                     {QStringLiteral("slozeni"), true}},
                         QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                     {QStringLiteral("kolicina"), 1}}});
            const CtlRun run =
                Run({QStringLiteral("post"),
                     File(QStringLiteral("c%1-%2.json").arg(worker).arg(i), invoice)});
            const auto match = number.match(run.out);
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode == 0 && match.hasMatch()) {
                reported << match.captured(1).toInt();
            } else {
                failures << QStringLiteral("%1/%2: %3 %4 %5")
                                .arg(worker)
                                .arg(i)
                                .arg(run.exitCode)
                                .arg(run.out, run.err);
            }
        }
    };
    std::thread a(post, 0);
    std::thread b(post, 1);
    std::thread c([&] {
        for (int i = 0; i < 4; ++i) {
            const CtlRun run = Run({QStringLiteral("compact")});
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode != 0 && !(run.exitCode == 1 && run.err.startsWith(QStringLiteral(
                                                                "Baza je otvorena na drugom "
                                                                "računalu")))) {
                failures << QStringLiteral("compact: %1 %2").arg(run.exitCode).arg(run.err);
            }
            QThread::msleep(30);
        }
    });
    a.join();
    b.join();
    c.join();
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
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
    const CtlRun stock = Run({QStringLiteral("stockcheck")});
    EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
}

TEST_F(CompositeZodractlTest, AFileIsRefusedForACompositeLineItCannotPost) {
    const auto refused = [&](const QJsonObject& line, const QString& name) {
        const CtlRun run = Run({QStringLiteral("post"), File(name, Invoice({line}))});
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
