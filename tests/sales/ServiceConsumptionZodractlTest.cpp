// Services with a bill of articles through the headless door: two programs post invoices with such
// a service at once while a third compacts; every invoice gets exactly one service consumption of
// its own number, numbers and trade-book positions neither repeat nor leave gaps; then one invoice
// is cancelled (the bound documents announced and answered) and one deleted from the command
// line, and lots, cards and books agree throughout.

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
#include "support/Zodractl.h"

using namespace zodra;

namespace {

using CtlRun = zodra::test::ZodractlRun;

QString Source(const char* path) {
    return QStringLiteral(ZODRA_SOURCE_DIR "/") + QString::fromLatin1(path);
}

class ServiceConsumptionZodractlTest : public ::testing::Test {
protected:
    // The demo company kept at the average price with service consumption on, the example
    // receipt posted into the pooled lots, and the delivery service using up one piece of the
    // receipt's first article per delivery.
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_company = m_dir.filePath(QStringLiteral("firma.mdb"));
        ASSERT_EQ(Run({QStringLiteral("demo")}).exitCode, 0);
        {
            auto db = Open();
            db->Exec(
                QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = 'Prosječna "
                               "cijena' WHERE \"Naziv\" = 'Vođenje skladišta'"));
            db->Exec(
                QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = 'DA' WHERE "
                               "\"Naziv\" = 'Specifikacije usluga'"));
        }
        const CtlRun receipt = Run(
            {QStringLiteral("post"), Source("docs/examples/primka.json"), QStringLiteral("--da")});
        ASSERT_EQ(receipt.exitCode, 0) << receipt.err.toStdString();
        auto db = Open();
        m_article = db->Scalar(QStringLiteral("SELECT MIN(\"SIFRA_ARTIKLA\") FROM \"NABAVE\" WHERE "
                                              "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = 0"))
                        .toInt();
        ASSERT_GT(m_article, 0);
        m_stockBefore = Stock(*db);
        db->Exec(QStringLiteral("INSERT INTO \"USLUGE_SPECIFIKACIJA_ARTIKALA\" (\"SIFRA_USLUGE\", "
                                "\"SIFRA_ARTIKLA\", \"KOLICINA\") SELECT \"SIFRA\", ?, 1 FROM "
                                "\"USLUGE\" WHERE \"NAZIV\" = 'Dostava na adresu'"),
                 {m_article});
        QFile example(Source("docs/examples/racun.json"));
        ASSERT_TRUE(example.open(QIODevice::ReadOnly));
        m_invoice = QJsonDocument::fromJson(example.readAll()).object();
    }
    std::unique_ptr<Database> Open() {
        auto opened = Database::Open(m_company, QString());
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
        return std::move(opened.db);
    }
    double Stock(Database& db) {
        return db
            .Scalar(QStringLiteral("SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 "
                                   "AND \"BROJ_PRIMKE\" = 0 AND \"SIFRA_ARTIKLA\" = ?"),
                    {m_article})
            .toDouble();
    }
    CtlRun Run(const QStringList& args) {
        QStringList all{args.first(), m_company};
        all << args.mid(1);
        return zodra::test::RunZodractl(all, {});
    }
    // An invoice of one piece of beer and one delivery (one piece of the bill's article).
    QString InvoiceFile(const QString& name) {
        QJsonObject invoice = m_invoice;
        invoice.insert(
            QStringLiteral("stavke"),
            QJsonArray{QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                   {QStringLiteral("kolicina"), 1}},
                       QJsonObject{{QStringLiteral("usluga"), QStringLiteral("Dostava na adresu")},
                                   {QStringLiteral("kolicina"), 1}}});
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(invoice).toJson());
        return path;
    }
    void ExpectStockSound() {
        const CtlRun stock = Run({QStringLiteral("stockcheck")});
        EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
    }

    QTemporaryDir m_dir;
    QString m_company;
    QJsonObject m_invoice;
    int m_article = 0;
    double m_stockBefore = 0;
};

TEST_F(ServiceConsumptionZodractlTest, TwoProgramsPostDeliveriesBesideACompactionThenUndoThem) {
    constexpr int kEach = 4;
    std::mutex mutex;
    QList<int> reported;
    QStringList failures;
    auto post = [&](int worker) {
        static const QRegularExpression number(QStringLiteral("pod brojem (\\d+)"));
        for (int i = 0; i < kEach; ++i) {
            const CtlRun run = Run({QStringLiteral("post"),
                                    InvoiceFile(QStringLiteral("r%1-%2.json").arg(worker).arg(i))});
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
                                                                "Baza je otvorena na drugom")))) {
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
    {
        auto db = Open();
        ASSERT_TRUE(db);
        // One document per invoice, each bound to its own invoice, numbered 1 … n.
        Statement bound = db->Prepare(QStringLiteral(
            "SELECT COUNT(*), COUNT(DISTINCT \"BROJ_RACUNA\"), MIN(\"BROJ_SPECIFIKACIJE\"), "
            "MAX(\"BROJ_SPECIFIKACIJE\") FROM \"SPECIFIKACIJE\" WHERE \"SKLADISTE\" = 1"));
        bound.Exec();
        ASSERT_TRUE(bound.Next());
        EXPECT_EQ(bound.Int(0), 2 * kEach);
        EXPECT_EQ(bound.Int(1), 2 * kEach);
        EXPECT_EQ(bound.Int(2), 1);
        EXPECT_EQ(bound.Int(3), 2 * kEach);
        bound.Finish();
        for (int n : reported) {
            EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"SPECIFIKACIJE\" s JOIN "
                                                "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t ON t.\"RBR\" "
                                                "= s.\"RBR_TK\" AND t.\"SKLADISTE\" = 1 WHERE "
                                                "s.\"IRA\" = 1 AND s.\"BROJ_RACUNA\" = ? AND "
                                                "t.\"OPIS\" = 'SPECIFIKACIJA ' || "
                                                "s.\"BROJ_SPECIFIKACIJE\" || ' veza na račun ' "
                                                "|| ?"),
                                 {n, n})
                          .toInt(),
                      1)
                << "invoice " << n;
        }
        Statement positions = db->Prepare(QStringLiteral(
            "SELECT COUNT(*), COUNT(DISTINCT \"RBR\"), MAX(\"RBR\") FROM "
            "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = 1 GROUP BY \"GODINA\""));
        positions.Exec();
        while (positions.Next()) {
            EXPECT_EQ(positions.Int(0), positions.Int(1)) << "a position repeats";
            EXPECT_EQ(positions.Int(2), positions.Int(0)) << "the trade book has a gap";
        }
        positions.Finish();
        EXPECT_DOUBLE_EQ(Stock(*db), m_stockBefore - 2 * kEach);
    }
    ExpectStockSound();

    // --da answers the cancellation's questions, the announcement of the bound document too.
    const QString first = QString::number(reported.first());
    const QStringList cancel{
        QStringLiteral("cancel"),      QStringLiteral("racun"), first,
        QStringLiteral("--skladiste"), QStringLiteral("1"),     QStringLiteral("--datum"),
        QStringLiteral("12.03.2026")};
    const CtlRun cancelled = Run(QStringList(cancel) << QStringLiteral("--da"));
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err.toStdString();
    EXPECT_TRUE(cancelled.err.contains(
        QStringLiteral("Na ovaj račun postoje vezane specifikacije i te će specifikacije također "
                       "biti stornirane! Želite li nastaviti? Da")));
    const QString second = QString::number(reported.last());
    const CtlRun deleted =
        Run({QStringLiteral("delete"), QStringLiteral("racun"), second,
             QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
    ASSERT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    {
        auto db = Open();
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT \"STORNO\" FROM \"SPECIFIKACIJE\" WHERE "
                                            "\"BROJ_RACUNA\" = ?"),
                             {reported.first()})
                      .toInt(),
                  1);
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"SPECIFIKACIJE\" WHERE "
                                            "\"BROJ_RACUNA\" = ?"),
                             {reported.last()})
                      .toInt(),
                  0);
        EXPECT_DOUBLE_EQ(Stock(*db), m_stockBefore - 2 * kEach + 2);
    }
    ExpectStockSound();
}

}  // namespace

// Two programs correct the delivery lines of two invoices each at once beside a compaction: every
// bound document ends with the line's final quantity, under its own number, and the stock agrees.
TEST_F(ServiceConsumptionZodractlTest, TwoProgramsCorrectDeliveryLinesBesideACompaction) {
    static const QRegularExpression posted(QStringLiteral("pod brojem (\\d+)"));
    std::vector<int> invoices;
    for (int i = 0; i < 4; ++i) {
        const CtlRun run =
            Run({QStringLiteral("post"), InvoiceFile(QStringLiteral("c%1.json").arg(i))});
        const auto match = posted.match(run.out);
        ASSERT_TRUE(run.exitCode == 0 && match.hasMatch()) << run.err.toStdString();
        invoices.push_back(match.captured(1).toInt());
    }
    const auto price = [&](int invoice) {
        return Open()
            ->Scalar(QStringLiteral("SELECT \"CIJENA_BEZ_RABATA\" FROM \"STAVKE_RACUNA\" WHERE "
                                    "\"IRA\" = 1 AND \"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = 2"),
                     {invoice})
            .toDouble();
    };
    const QString priceText = QString::number(price(invoices[0]), 'f', 10);
    std::mutex mutex;
    QStringList failures;
    auto correct = [&](int first) {
        for (int round = 1; round <= 3; ++round) {
            for (int invoice : {invoices[first], invoices[first + 2]}) {
                const CtlRun run = Run({QStringLiteral("correct"), QStringLiteral("racun"),
                                        QString::number(invoice), QStringLiteral("--stavka"),
                                        QStringLiteral("2"), QStringLiteral("--skladiste"),
                                        QStringLiteral("1"), QStringLiteral("--kolicina"),
                                        QString::number(1 + round), QStringLiteral("--cijena"),
                                        priceText, QStringLiteral("--rabat"), QStringLiteral("0")});
                if (run.exitCode != 0) {
                    std::lock_guard<std::mutex> guard(mutex);
                    failures << QStringLiteral("%1/%2: %3 %4")
                                    .arg(invoice)
                                    .arg(round)
                                    .arg(run.exitCode)
                                    .arg(run.err);
                }
            }
        }
    };
    std::thread a(correct, 0);
    std::thread b(correct, 1);
    std::thread c([&] {
        for (int i = 0; i < 3; ++i) {
            const CtlRun run = Run({QStringLiteral("compact")});
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode != 0 && !(run.exitCode == 1 && run.err.startsWith(QStringLiteral(
                                                                "Baza je otvorena na drugom")))) {
                failures << QStringLiteral("compact: %1 %2").arg(run.exitCode).arg(run.err);
            }
            QThread::msleep(30);
        }
    });
    a.join();
    b.join();
    c.join();
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
    auto db = Open();
    ASSERT_TRUE(db);
    for (int invoice : invoices) {
        // Still one document of the invoice, for 4 deliveries of one piece each.
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"SPECIFIKACIJE\" WHERE "
                                            "\"IRA\" = 1 AND \"BROJ_RACUNA\" = ?"),
                             {invoice})
                      .toInt(),
                  1)
            << "invoice " << invoice;
        EXPECT_DOUBLE_EQ(db->Scalar(QStringLiteral("SELECT SUM(s.\"KOLICINA\") FROM "
                                                   "\"STAVKE_SPECIFIKACIJA\" s JOIN "
                                                   "\"SPECIFIKACIJE\" h USING (\"SKLADISTE\", "
                                                   "\"GODINA\", \"BROJ_SPECIFIKACIJE\") WHERE "
                                                   "h.\"IRA\" = 1 AND h.\"BROJ_RACUNA\" = ?"),
                                    {invoice})
                             .toDouble(),
                         4.0)
            << "invoice " << invoice;
    }
    // Four documents numbered 1 … 4, whichever way the corrections met.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(DISTINCT \"BROJ_SPECIFIKACIJE\") FROM "
                                        "\"SPECIFIKACIJE\" WHERE \"SKLADISTE\" = 1 AND "
                                        "\"BROJ_SPECIFIKACIJE\" BETWEEN 1 AND 4"))
                  .toInt(),
              4);
    db.reset();
    ExpectStockSound();
}
