// zodractl's doors of both work orders, and several programs posting beside compactions.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

#include "data/SqlValue.h"
#include "registers/BillsOfMaterials.h"
#include "stock/StockTest.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;
namespace bom = zodra::registers::billsofmaterials;

namespace {

// The company's own workstation sets it up and ends: the programs below are the only ones.
class OrderCommandsTest : public StockTest {
protected:
    QString Write(const QString& name, const QJsonObject& o) {
        return WriteJson(Folder() + QLatin1Char('/') + name, o);
    }
    ZodractlRun PostFile(const QString& name, const QJsonObject& o, QStringList more = {}) {
        return RunZodractl(QStringList{QStringLiteral("post"), CompanyPath(), Write(name, o)} +
                           more);
    }
    // zodractl `door` `kind` `number` in warehouse 1.
    ZodractlRun Door(const char* door, const char* kind, int number, QStringList more = {}) {
        return RunZodractl(QStringList{QString::fromLatin1(door), CompanyPath(),
                                       QString::fromLatin1(kind), QString::number(number),
                                       QStringLiteral("--skladiste"), QStringLiteral("1")} +
                           more);
    }
    // The order with its first product's quantity changed.
    QJsonObject WithFirstQuantity(double quantity) const {
        QJsonObject changed = order;
        QJsonArray products = changed.value(QStringLiteral("proizvodi")).toArray();
        QJsonObject line = products.first().toObject();
        line.insert(QStringLiteral("kolicina"), quantity);
        products.replace(0, line);
        changed.insert(QStringLiteral("proizvodi"), products);
        return changed;
    }
    double Scalar(const QString& sql) {
        std::unique_ptr<Database> db = Open();
        return sqlvalue::ToDouble(db->Scalar(sql));
    }
    // Two programs post `each` copies of the order while a third compacts; the report of every
    // posting that ended well and said `posted`.
    QList<QRegularExpressionMatch> PostFromTwoPrograms(const QRegularExpression& posted, int each,
                                                       RunFailures& failures) {
        QList<QRegularExpressionMatch> reports;
        RunBesideCompaction(
            CompanyPath(), 2,
            [&](int program) {
                for (int i = 0; i < each; ++i) {
                    const QString name = QStringLiteral("p-%1-%2.json").arg(program).arg(i);
                    const ZodractlRun run = PostFile(name, order);
                    const auto match = posted.match(run.out);
                    failures.Check(run.exitCode == 0 && match.hasMatch(), name, run);
                    if (run.exitCode == 0 && match.hasMatch()) {
                        std::lock_guard<std::mutex> guard(failures.Mutex());
                        reports << match;
                    }
                }
            },
            failures, 3);
        return reports;
    }
    QJsonObject order;
};

class WorkOrderCommandsTest : public OrderCommandsTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        const int table = docs->AddArticle(QStringLiteral("Stol"));
        const int leg = docs->AddArticle(QStringLiteral("Noga"));
        const int bill = bom::Add(db(), table);
        bom::SetPart(db(), bill, leg, QStringLiteral("2"));
        bom::AddCost(db(), bill, QStringLiteral("Rad"), QStringLiteral("1"), QStringLiteral("2"));
        docs->Receipt({{leg, 15, 3.00, 5.00}});
        docs->Receipt({{leg, 10, 4.00, 6.00}});
        store = AddWarehouse(db(), QStringLiteral("Gotovi proizvodi"));
        order = QJsonObject{{QStringLiteral("vrsta"), QStringLiteral("radni-nalog")},
                            {QStringLiteral("skladiste"), 1},
                            {QStringLiteral("odrediste"), store},
                            {QStringLiteral("datum"), QStringLiteral("2026-03-03")},
                            {QStringLiteral("opis"), QStringLiteral("Serija")},
                            {QStringLiteral("proizvodi"),
                             QJsonArray{QJsonObject{{QStringLiteral("artikal"), table},
                                                    {QStringLiteral("kolicina"), 1},
                                                    {QStringLiteral("cijena_materijala"), 8},
                                                    {QStringLiteral("prodajna_cijena"), 12}}}}};
        docs.reset();
        session.reset();
    }
    ZodractlRun Delete(int number, QStringList more = {}) {
        return Door("delete", "radni-nalog", number, more);
    }
    int store = 0;
};

// Post, a refusal that leaves nothing, and deletion answered No, then Yes.
TEST_F(WorkOrderCommandsTest, TheDoorsPostAndDelete) {
    ZodractlRun run = PostFile(QStringLiteral("r.json"), order);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(),
              QStringLiteral("Radni nalog je proknjižen pod brojem 1 (odredišna primka 200001)"));

    run = PostFile(QStringLiteral("t.json"), WithFirstQuantity(20));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Nedovoljna zaliha artikla Noga. Količina će biti postavljena na "
                             "najveću dopuštenu vrijednost. Potrebno je još 17"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_PRIVREMENO\"")),
              0);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI\"")), 1);

    run = Delete(1);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Želite li izbrisati radni nalog!")));
    EXPECT_TRUE(run.err.trimmed().endsWith(QStringLiteral("Radni nalog nije izbrisan.")))
        << run.err.toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI\"")), 1);
    run = Delete(1, {QStringLiteral("--da")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Radni nalog broj 1 je izbrisan."));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI\"")), 0);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"TIP_PRIMKE\" = 3")),
              0);
    run = Delete(1, {QStringLiteral("--da")});
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Ne postoji proknjiženi radni nalog broj 1"));
    ExpectStockSound(CompanyPath());
}

// Work orders and bills printed to PDF; a missing number is refused by name.
TEST_F(WorkOrderCommandsTest, WorkOrdersAndBillsPrintToPdf) {
    const QString first = Folder() + QStringLiteral("/r1.pdf");
    ZodractlRun run = PostFile(QStringLiteral("r.json"), order, {QStringLiteral("--pdf"), first});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Ispis radnog naloga br. 1 je zapisan u ")));
    EXPECT_GT(QFile(first).size(), 1000);
    const QString again = Folder() + QStringLiteral("/r2.pdf");
    run = Door("print", "radni-nalog", 1, {QStringLiteral("--pdf"), again});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Ispis radnog naloga br. 1 je zapisan u ") + again +
                                     QStringLiteral(" (stranica: 1)."));
    run = Door("print", "radni-nalog", 2, {QStringLiteral("--pdf"), again});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Ne postoji proknjiženi radni nalog broj 2"));

    const QString bill = Folder() + QStringLiteral("/s.pdf");
    run = Door("print", "sastavnica",
               static_cast<int>(
                   Scalar(QStringLiteral("SELECT MAX(\"SIFRA_SASTAVNICE\") FROM \"SASTAVNICE\""))),
               {QStringLiteral("--pdf"), bill});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Izvještaj : Sastavnica za Stol je zapisan u ") +
                                     bill + QStringLiteral(" (stranica: 1)."));
    run = Door("print", "sastavnica", 99, {QStringLiteral("--pdf"), bill});
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Ne postoji sastavnica broj 99"));
}

// Two programs post beside a compaction: own numbers and receipts, no book position twice.
TEST_F(WorkOrderCommandsTest, SeveralProgramsPostAtOnceBesideACompaction) {
    RunFailures failures;
    QList<int> numbers;
    QList<int> receipts;
    constexpr int kEach = 4;
    static const QRegularExpression posted(
        QStringLiteral("pod brojem (\\d+) \\(odredišna primka (\\d+)\\)"));
    for (const QRegularExpressionMatch& m : PostFromTwoPrograms(posted, kEach, failures)) {
        numbers << m.captured(1).toInt();
        receipts << m.captured(2).toInt();
    }
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(numbers.size(), 2 * kEach);
    EXPECT_EQ(QSet<int>(numbers.begin(), numbers.end()).size(), 2 * kEach);
    std::sort(receipts.begin(), receipts.end());
    QList<int> expected;
    for (int n = 200001; n <= 200000 + 2 * kEach; ++n) {
        expected << n;
    }
    EXPECT_EQ(receipts, expected);
    for (int warehouse : {1, store}) {
        EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(DISTINCT \"RBR\") - COUNT(*) FROM "
                                        "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = ") +
                         QString::number(warehouse)),
                  0);
    }
    EXPECT_EQ(Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
                                    "\"SKLADISTE\" = 1")),
              25 - 2 * 2 * kEach);
    // The programs' own session codes are gone, and so are those of the workstation that set the
    // company up and ended.
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
    ExpectStockSound(CompanyPath());
}

class FinishingOrderCommandsTest : public OrderCommandsTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        const int chair = docs->AddArticle(QStringLiteral("Stolica"));
        const int trailer = docs->AddArticle(QStringLiteral("Prikolica"));
        const int leg = docs->AddArticle(QStringLiteral("Noga"));
        const int varnish = docs->AddArticle(QStringLiteral("Lak"));
        bom::SetPart(db(), bom::Add(db(), chair), leg, QStringLiteral("4"));
        docs->Receipt({{leg, 40, 1.00, 2.00}});
        docs->Receipt({{varnish, 20, 2.00, 3.00}});
        db().Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"Kupac\") VALUES (?, 1)"),
                  {QStringLiteral("Auto d.o.o.")});
        const QJsonObject fromBill{{QStringLiteral("artikal"), chair},
                                   {QStringLiteral("kolicina"), 1},
                                   {QStringLiteral("po_sastavnici"), true}};
        const QJsonObject typed{
            {QStringLiteral("artikal"), trailer},
            {QStringLiteral("kolicina"), 1},
            {QStringLiteral("materijal"),
             QJsonArray{QJsonObject{{QStringLiteral("artikal"), varnish},
                                    {QStringLiteral("kolicina"), 2}}}},
            {QStringLiteral("usluge"),
             QJsonArray{QJsonObject{{QStringLiteral("opis"), QStringLiteral("Lakiranje")},
                                    {QStringLiteral("kolicina"), 1},
                                    {QStringLiteral("cijena"), 15}}}}};
        order = QJsonObject{{QStringLiteral("vrsta"), QStringLiteral("radni-nalog-dorada")},
                            {QStringLiteral("skladiste"), 1},
                            {QStringLiteral("partner"), QStringLiteral("Auto d.o.o.")},
                            {QStringLiteral("datum"), QStringLiteral("2026-03-03")},
                            {QStringLiteral("opis"), QStringLiteral("Dorada")},
                            {QStringLiteral("proizvodi"), QJsonArray{fromBill, typed}}};
        docs.reset();
        session.reset();
    }
    ZodractlRun Door(const char* door, int number, QStringList more = {}) {
        return OrderCommandsTest::Door(door, "radni-nalog-dorada", number, more);
    }
};

// Post with printout, a shortfall refused, print again, deletion No / Yes / missing.
TEST_F(FinishingOrderCommandsTest, TheDoorsPostPrintAndDelete) {
    const QString pdf = Folder() + QStringLiteral("/d1.pdf");
    ZodractlRun run = PostFile(QStringLiteral("d.json"), order, {QStringLiteral("--pdf"), pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.startsWith(QStringLiteral("Radni nalog dorada je proknjižen pod brojem 1")))
        << run.out.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Ispis radnog naloga dorade br. 1 je zapisan u ")));
    EXPECT_GT(QFile(pdf).size(), 1000);
    EXPECT_DOUBLE_EQ(Scalar(QStringLiteral("SELECT \"PRODAJNA_VRIJEDNOST\" FROM "
                                           "\"RADNI_NALOZI_DORADA\"")),
                     4 * 2.0 + 2 * 3.0 + 15);

    run = PostFile(QStringLiteral("t.json"), WithFirstQuantity(10));  // 40 legs, 36 left
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Nedovoljna zaliha artikla Noga. Količina će biti postavljena na "
                             "najveću dopuštenu vrijednost. Potrebno je još 4"));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI_DORADA\"")), 1);
    EXPECT_EQ(Scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_DORADA_USLUGE_PRIVREMENO\"")),
              0);

    const QString again = Folder() + QStringLiteral("/d2.pdf");
    run = Door("print", 1, {QStringLiteral("--pdf"), again});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Ispis radnog naloga dorade br. 1 je zapisan u ") +
                                     again + QStringLiteral(" (stranica: 1)."));
    run = Door("cancel", 1);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Radni nalog dorade se ne stornira nego briše (zodractl delete)."));

    run = Door("delete", 1);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Želite li izbrisati radni nalog dorade!")));
    EXPECT_TRUE(run.err.trimmed().endsWith(QStringLiteral("Radni nalog dorade nije izbrisan.")));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI_DORADA\"")), 1);
    run = Door("delete", 1, {QStringLiteral("--da")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Radni nalog dorade broj 1 je izbrisan."));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\"")), 60);
    run = Door("delete", 1, {QStringLiteral("--da")});
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Ne postoji proknjiženi radni nalog dorade broj 1"));
    ExpectStockSound(CompanyPath());
}

// Two programs post finishing orders beside a compaction: numbers 1…n once each, stock sound.
TEST_F(FinishingOrderCommandsTest, SeveralProgramsPostAtOnceBesideACompaction) {
    RunFailures failures;
    QList<int> numbers;
    constexpr int kEach = 4;
    static const QRegularExpression posted(QStringLiteral("pod brojem (\\d+)"));
    for (const QRegularExpressionMatch& m : PostFromTwoPrograms(posted, kEach, failures)) {
        numbers << m.captured(1).toInt();
    }
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    std::sort(numbers.begin(), numbers.end());
    QList<int> expected;
    for (int n = 1; n <= 2 * kEach; ++n) {
        expected << n;
    }
    EXPECT_EQ(numbers, expected);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(DISTINCT \"RBR\") - COUNT(*) FROM "
                                    "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = 1")),
              0);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
                                    "\"SKLADISTE\" = 1")),
              60 - (4 + 2) * 2 * kEach);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
    ExpectStockSound(CompanyPath());
}

}  // namespace
