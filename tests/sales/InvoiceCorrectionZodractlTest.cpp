// The correction's door: zodractl correcting lines of posted invoices, its refusals, and two
// programs correcting at once while a third compacts the company.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "data/SqlValue.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// The demo company with the example receipt and four invoices of two beers and a delivery.
class InvoiceCorrectionZodractlTest : public ZodractlCompanyTest {
protected:
    static constexpr int kInvoices = 4;

    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ZodractlCompanyTest::SetUp());
        QJsonObject invoice = ReadJson(SourceFile("docs/examples/racun.json"));
        invoice.insert(
            QStringLiteral("stavke"),
            QJsonArray{QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                   {QStringLiteral("kolicina"), 2}},
                       QJsonObject{{QStringLiteral("usluga"), QStringLiteral("Dostava na adresu")},
                                   {QStringLiteral("kolicina"), 1}}});
        for (int i = 0; i < kInvoices; ++i) {
            const ZodractlRun posted =
                Run({QStringLiteral("post"), File(QStringLiteral("r%1.json").arg(i), invoice)});
            ASSERT_EQ(posted.exitCode, 0) << posted.err.toStdString();
            // "Račun je proknjižen pod brojem n": the demo company has invoices of its own.
            m_numbers.push_back(posted.out.trimmed().section(u' ', -1).toInt());
            ASSERT_GT(m_numbers.back(), 0) << posted.out.toStdString();
        }
    }
    // The n-th invoice this test posted (1-based).
    int N(int n) const { return m_numbers.at(n - 1); }
    ZodractlRun Correct(int number, const QStringList& more) {
        return Run(QStringList{QStringLiteral("correct"), QStringLiteral("racun"),
                               QString::number(number), QStringLiteral("--stavka"),
                               QStringLiteral("1"), QStringLiteral("--skladiste"),
                               QStringLiteral("1")} +
                   more);
    }
    // Line 1 set to `quantity` at `price` less `discount` %.
    ZodractlRun Set(int number, const QString& quantity, const QString& price,
                    const QString& discount) {
        return Correct(number, {QStringLiteral("--kolicina"), quantity, QStringLiteral("--cijena"),
                                price, QStringLiteral("--rabat"), discount});
    }
    // The first invoice's line 1 price before discount, as typed.
    QString LotPrice() {
        return QString::number(
            Scalar(QStringLiteral("SELECT \"CIJENA_BEZ_RABATA\" FROM \"STAVKE_RACUNA\" WHERE "
                                  "\"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = 1"),
                   {N(1)}),
            'f', 10);
    }
    double Scalar(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToDouble(ZodractlCompanyTest::Scalar(sql, params));
    }
    double Quantity(int number) {
        return Scalar(QStringLiteral("SELECT \"KOLICINA\" FROM \"STAVKE_RACUNA\" WHERE \"IRA\" = 1 "
                                     "AND \"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = 1"),
                      {number});
    }

    std::vector<int> m_numbers;
};

}  // namespace

TEST_F(InvoiceCorrectionZodractlTest, TheDoorCorrectsAndRefusesAsTheWindowDoes) {
    const QString zero = QStringLiteral("0");
    const ZodractlRun changed = Set(N(1), QStringLiteral("3"), LotPrice(), zero);
    EXPECT_EQ(changed.exitCode, 0) << changed.err.toStdString();
    EXPECT_EQ(Quantity(N(1)), 3);
    // Another price than the lot's is refused: a posted invoice generates no price change.
    const ZodractlRun repriced = Set(N(1), QStringLiteral("3"), QStringLiteral("99"), zero);
    EXPECT_EQ(repriced.exitCode, 1);
    EXPECT_TRUE(repriced.err.contains(QStringLiteral("u ispravku mora biti jednaka cijeni")))
        << repriced.err.toStdString();
    for (const char* bad : {"nan", "inf", "1e400", "x"}) {
        const double before = Quantity(N(2));
        const ZodractlRun refused = Set(N(2), QString::fromLatin1(bad), QStringLiteral("1"), zero);
        EXPECT_EQ(refused.exitCode, 1) << bad;
        EXPECT_EQ(Quantity(N(2)), before) << bad;
    }
    EXPECT_EQ(Correct(N(2), {QStringLiteral("--kolicina"), QStringLiteral("3")}).exitCode, 2);
    const ZodractlRun missing = Correct(99, {QStringLiteral("--brisi")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Ne postoji proknjiženi račun broj 99")))
        << missing.err.toStdString();
    const ZodractlRun deleted = Correct(N(3), {QStringLiteral("--brisi")});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"IRA\" = 1 AND "
                                    "\"BROJ_RACUNA\" = ?"),
                     {N(3)}),
              1);
    ExpectStockSound();
}

// Two programs correct their own invoices' beer lines while a third compacts: the last quantity
// of each line is what its program set last, and lots, cards and books agree.
TEST_F(InvoiceCorrectionZodractlTest, TwoProgramsCorrectingAtOnceWithACompactionBeside) {
    const QString price = LotPrice();
    RunFailures failures;
    RunBesideCompaction(
        m_company, 2,
        [&](int worker) {
            const int first = N(1 + worker);
            for (int round = 0; round < 4; ++round) {
                for (int number : {first, first + 2}) {
                    const ZodractlRun run =
                        Set(number, QString::number(1 + round), price, QStringLiteral("5"));
                    failures.Check(run.exitCode == 0,
                                   QStringLiteral("%1/%2").arg(number).arg(round), run);
                }
                QThread::msleep(10);
            }
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    for (int number : m_numbers) {
        EXPECT_EQ(Quantity(number), 4) << "invoice " << number;
    }
    EXPECT_DOUBLE_EQ(
        Scalar(QStringLiteral("SELECT SUM(\"PRODAJA_VRIJEDNOST\") FROM "
                              "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = 1 AND "
                              "\"TIP_DOKUMENTA\" = '1RAČUN' AND \"BROJ_DOKUMENTA\" >= ?"),
               {N(1)}),
        Scalar(QStringLiteral("SELECT SUM(ROUND(\"VRIJEDNOST_\", 2)) FROM \"STAVKE_RACUNA\" WHERE "
                              "\"SKLADISTE\" = 1 AND \"IRA\" = 1 AND \"BROJ_RACUNA\" >= ? AND "
                              "\"TIP_STAVKE\" = 'ART'"),
               {N(1)}));
    ExpectStockSound();
}
