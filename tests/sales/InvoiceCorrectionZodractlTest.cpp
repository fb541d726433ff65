// The correction's door: zodractl correcting lines of posted invoices, its refusals, and two
// programs correcting at once while a third compacts the company.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>
#include <mutex>
#include <thread>

#include "data/Database.h"
#include "data/SqlValue.h"
#include "support/Zodractl.h"

using namespace zodra;

namespace {

using CtlRun = zodra::test::ZodractlRun;

QString Source(const char* path) {
    return QStringLiteral(ZODRA_SOURCE_DIR "/") + QString::fromLatin1(path);
}

// The demo company with the example receipt and four invoices of two beers and a delivery.
class InvoiceCorrectionZodractlTest : public ::testing::Test {
protected:
    static constexpr int kInvoices = 4;

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_company = m_dir.filePath(QStringLiteral("firma.mdb"));
        ASSERT_EQ(zodra::test::RunZodractl({QStringLiteral("demo"), m_company}).exitCode, 0);
        ASSERT_EQ(Run({QStringLiteral("post"), Source("docs/examples/primka.json"),
                       QStringLiteral("--da")})
                      .exitCode,
                  0);
        QFile example(Source("docs/examples/racun.json"));
        ASSERT_TRUE(example.open(QIODevice::ReadOnly));
        QJsonObject invoice = QJsonDocument::fromJson(example.readAll()).object();
        invoice.insert(
            QStringLiteral("stavke"),
            QJsonArray{QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                   {QStringLiteral("kolicina"), 2}},
                       QJsonObject{{QStringLiteral("usluga"), QStringLiteral("Dostava na adresu")},
                                   {QStringLiteral("kolicina"), 1}}});
        for (int i = 0; i < kInvoices; ++i) {
            const QString path = m_dir.filePath(QStringLiteral("r%1.json").arg(i));
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QJsonDocument(invoice).toJson());
            file.close();
            const CtlRun posted = Run({QStringLiteral("post"), path});
            ASSERT_EQ(posted.exitCode, 0) << posted.err.toStdString();
            // "Račun je proknjižen pod brojem n": the demo company has invoices of its own.
            m_numbers.push_back(posted.out.trimmed().section(u' ', -1).toInt());
            ASSERT_GT(m_numbers.back(), 0) << posted.out.toStdString();
        }
    }
    // The n-th invoice this test posted (1-based).
    int N(int n) const { return m_numbers.at(n - 1); }
    CtlRun Run(const QStringList& args) {
        QStringList all{args.first(), m_company};
        all << args.mid(1);
        return zodra::test::RunZodractl(all, {});
    }
    CtlRun Correct(int number, const QStringList& more) {
        return Run(QStringList{QStringLiteral("correct"), QStringLiteral("racun"),
                               QString::number(number), QStringLiteral("--stavka"),
                               QStringLiteral("1"), QStringLiteral("--skladiste"),
                               QStringLiteral("1")} +
                   more);
    }
    double Scalar(const QString& sql, const QVariantList& params = {}) {
        auto opened = Database::Open(m_company, QString());
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok);
        return sqlvalue::ToDouble(opened.db->Scalar(sql, params));
    }
    double Quantity(int number) {
        return Scalar(QStringLiteral("SELECT \"KOLICINA\" FROM \"STAVKE_RACUNA\" WHERE \"IRA\" = 1 "
                                     "AND \"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = 1"),
                      {number});
    }
    void ExpectStockSound() {
        const CtlRun stock = Run({QStringLiteral("stockcheck")});
        EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
    }

    QTemporaryDir m_dir;
    QString m_company;
    std::vector<int> m_numbers;
};

}  // namespace

TEST_F(InvoiceCorrectionZodractlTest, TheDoorCorrectsAndRefusesAsTheWindowDoes) {
    const QString price = QString::number(
        Scalar(QStringLiteral("SELECT \"CIJENA_BEZ_RABATA\" FROM \"STAVKE_RACUNA\" WHERE "
                              "\"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = 1"),
               {N(1)}),
        'f', 10);
    const CtlRun changed = Correct(
        N(1), {QStringLiteral("--kolicina"), QStringLiteral("3"), QStringLiteral("--cijena"), price,
               QStringLiteral("--rabat"), QStringLiteral("0")});
    EXPECT_EQ(changed.exitCode, 0) << changed.err.toStdString();
    EXPECT_EQ(Quantity(N(1)), 3);
    // Another price than the lot's is refused: a posted invoice generates no price change.
    const CtlRun repriced = Correct(
        N(1), {QStringLiteral("--kolicina"), QStringLiteral("3"), QStringLiteral("--cijena"),
               QStringLiteral("99"), QStringLiteral("--rabat"), QStringLiteral("0")});
    EXPECT_EQ(repriced.exitCode, 1);
    EXPECT_TRUE(repriced.err.contains(QStringLiteral("u ispravku mora biti jednaka cijeni")))
        << repriced.err.toStdString();
    for (const char* bad : {"nan", "inf", "1e400", "x"}) {
        const double before = Quantity(N(2));
        const CtlRun refused =
            Correct(N(2), {QStringLiteral("--kolicina"), QString::fromLatin1(bad),
                           QStringLiteral("--cijena"), QStringLiteral("1"),
                           QStringLiteral("--rabat"), QStringLiteral("0")});
        EXPECT_EQ(refused.exitCode, 1) << bad;
        EXPECT_EQ(Quantity(N(2)), before) << bad;
    }
    EXPECT_EQ(Correct(N(2), {QStringLiteral("--kolicina"), QStringLiteral("3")}).exitCode, 2);
    const CtlRun missing =
        Run({QStringLiteral("correct"), QStringLiteral("racun"), QStringLiteral("99"),
             QStringLiteral("--stavka"), QStringLiteral("1"), QStringLiteral("--brisi"),
             QStringLiteral("--skladiste"), QStringLiteral("1")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Ne postoji proknjiženi račun broj 99")))
        << missing.err.toStdString();
    const CtlRun deleted = Correct(N(3), {QStringLiteral("--brisi")});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"IRA\" = 1 AND "
                                    "\"BROJ_RACUNA\" = ?"),
                     {N(3)}),
              1);
    ExpectStockSound();
}

// Two programs correct the beer lines of their own invoices back and forth while a third
// compacts: every correction is done or refused for itself, the last quantity of each line is
// what its program set last, and lots, cards and books agree.
TEST_F(InvoiceCorrectionZodractlTest, TwoProgramsCorrectingAtOnceWithACompactionBeside) {
    const double price = Scalar(
        QStringLiteral(
            "SELECT \"CIJENA_BEZ_RABATA\" FROM \"STAVKE_RACUNA\" WHERE \"BROJ_RACUNA\" = ? AND "
            "\"RBR_STAVKE\" = 1"),
        {N(1)});
    const QString priceText = QString::number(price, 'f', 10);
    std::mutex mutex;
    QStringList failures;
    auto correct = [&](int first) {
        for (int round = 0; round < 4; ++round) {
            for (int number : {first, first + 2}) {
                const CtlRun run =
                    Correct(number, {QStringLiteral("--kolicina"), QString::number(1 + round),
                                     QStringLiteral("--cijena"), priceText,
                                     QStringLiteral("--rabat"), QStringLiteral("5")});
                if (run.exitCode != 0) {
                    std::lock_guard<std::mutex> guard(mutex);
                    failures << QStringLiteral("%1/%2: %3 %4")
                                    .arg(number)
                                    .arg(round)
                                    .arg(run.exitCode)
                                    .arg(run.err);
                }
            }
            QThread::msleep(10);
        }
    };
    std::thread a(correct, N(1));
    std::thread b(correct, N(2));
    std::thread c([&] {
        for (int i = 0; i < 4; ++i) {
            const CtlRun run = Run({QStringLiteral("compact")});
            if (run.exitCode != 0 &&
                !(run.exitCode == 1 &&
                  run.err.startsWith(QStringLiteral("Baza je otvorena na drugom računalu")))) {
                std::lock_guard<std::mutex> guard(mutex);
                failures << QStringLiteral("compact: %1 %2").arg(run.exitCode).arg(run.err);
            }
            QThread::msleep(30);
        }
    });
    a.join();
    b.join();
    c.join();
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
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
