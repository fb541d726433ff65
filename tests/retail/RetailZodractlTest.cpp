// The headless door of the register: sales posted from files by two programs at once beside a
// compaction, and their invoices cancelled and deleted through the invoice's doors in book 1.

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

// The demo company with the example receipt posted (240 pieces of PI-015) and card type 9. Its
// wholesale invoices of book 1 hold numbers the retail numbering of that book steps over.
class RetailZodractlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_company = m_dir.filePath(QStringLiteral("firma.mdb"));
        ASSERT_EQ(Ctl({QStringLiteral("demo"), m_company}).exitCode, 0);
        const CtlRun receipt = Run(
            {QStringLiteral("post"), Source("docs/examples/primka.json"), QStringLiteral("--da")});
        ASSERT_EQ(receipt.exitCode, 0) << receipt.err.toStdString();
        auto db = Open();
        db->Exec(
            QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"SIFRA\", \"NAZIV\") VALUES (9, "
                           "'Maestro')"));
        m_invoices = Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\""));
    }
    static CtlRun Ctl(const QStringList& args) { return zodra::test::RunZodractl(args, {}); }
    CtlRun Run(const QStringList& args) {
        QStringList all{args.first(), m_company};
        all << args.mid(1);
        return Ctl(all);
    }
    std::unique_ptr<Database> Open() {
        auto opened = Database::Open(m_company, QString());
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok);
        return std::move(opened.db);
    }
    static int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
        return db.Scalar(sql, params).toInt();
    }
    QString Sale(const QString& name, const QString& cashier) {
        QFile example(Source("docs/examples/maloprodaja.json"));
        EXPECT_TRUE(example.open(QIODevice::ReadOnly));
        QJsonObject sale = QJsonDocument::fromJson(example.readAll()).object();
        sale.insert(QStringLiteral("blagajnik"), cashier);
        sale.insert(QStringLiteral("placanje"), QJsonObject{{QStringLiteral("gotovina"), 0.5},
                                                            {QStringLiteral("kartica"), 0.25},
                                                            {QStringLiteral("tip_kartice"), 9}});
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(sale).toJson());
        return path;
    }
    QTemporaryDir m_dir;
    QString m_company;
    int m_invoices = 0;
};

TEST_F(RetailZodractlTest, TwoRegistersPostAtOnceBesideACompaction) {
    constexpr int kEach = 5;
    std::mutex mutex;
    QList<int> reported;
    QStringList failures;
    auto post = [&](int worker) {
        static const QRegularExpression number(QStringLiteral("pod brojem (\\d+)"));
        for (int i = 0; i < kEach; ++i) {
            const CtlRun run = Run({QStringLiteral("post"),
                                    Sale(QStringLiteral("m%1-%2.json").arg(worker).arg(i),
                                         QStringLiteral("Kasa%1").arg(worker)),
                                    QStringLiteral("--da")});
            const auto match = number.match(run.out);
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode == 0 && match.hasMatch() &&
                run.out.contains(QStringLiteral("naplata je upisana"))) {
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
            if (run.exitCode != 0 &&
                !(run.exitCode == 1 &&
                  run.err.startsWith(QStringLiteral("Baza je otvorena na drugom računalu")))) {
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
    for (int n : reported) {
        // Header, the trade-book entry it points at, one line of 3 (the same article and lot
        // adds to its line), two payments with their collections.
        EXPECT_EQ(Count(*db,
                        QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" h JOIN "
                                       "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t ON t.\"SKLADISTE\" = 1 "
                                       "AND t.\"GODINA\" = h.\"GODINA\" AND t.\"RBR\" = "
                                       "h.\"RBR_TK\" AND t.\"TIP_DOKUMENTA\" = '1RAČUN' AND "
                                       "t.\"OPIS\" = ? WHERE h.\"SKLADISTE\" = 1 AND h.\"IRA\" = "
                                       "1 AND h.\"BROJ RACUNA\" = ? AND h.\"UVJET PRODAJE\" = 1 "
                                       "AND h.\"KORISNIK\" LIKE 'Kasa%'"),
                        {QStringLiteral("RAČUN %1 Maloprodaja").arg(n), n}),
                  1)
            << n;
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) || '/' || SUM(\"KOLICINA\") FROM "
                                            "\"STAVKE_RACUNA\" WHERE \"SKLADISTE\" = 1 AND "
                                            "\"IRA\" = 1 AND \"BROJ_RACUNA\" = ?"),
                             {n})
                      .toString(),
                  QStringLiteral("1/3.0"));
        EXPECT_EQ(Count(*db,
                        QStringLiteral("SELECT COUNT(*) FROM \"NAPLATA\" c JOIN \"UPLATE\" u ON "
                                       "u.\"Sifra\" = c.\"Sifra uplate\" WHERE c.\"IRA\" = 1 AND "
                                       "c.\"Broj računa\" = ? AND u.\"Opis\" = ?"),
                        {n, QStringLiteral("Račun m. br. %1").arg(n)}),
                  2);
    }
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")),
              m_invoices + 2 * kEach);
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\"")), 0);
    db.reset();
    const CtlRun stock = Run({QStringLiteral("stockcheck")});
    EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();

    // A retail invoice is cancelled and deleted through the invoice's doors in book 1.
    const QString first = QString::number(reported.first());
    const CtlRun cancelled = Run(
        {QStringLiteral("cancel"), QStringLiteral("racun"), first, QStringLiteral("--skladiste"),
         QStringLiteral("1"), QStringLiteral("--knjiga"), QStringLiteral("1"),
         QStringLiteral("--datum"), QStringLiteral("11.03.2026"), QStringLiteral("--da")});
    EXPECT_EQ(cancelled.exitCode, 0) << cancelled.err.toStdString();
    const QString last = QString::number(reported.last());
    const CtlRun deleted =
        Run({QStringLiteral("delete"), QStringLiteral("racun"), last, QStringLiteral("--skladiste"),
             QStringLiteral("1"), QStringLiteral("--knjiga"), QStringLiteral("1"),
             QStringLiteral("--da")});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err.toStdString();
    EXPECT_EQ(Run({QStringLiteral("stockcheck")}).exitCode, 0);
}

TEST_F(RetailZodractlTest, AFileRefusedBeforePostingLeavesNothing) {
    QJsonObject bad{{QStringLiteral("vrsta"), QStringLiteral("maloprodaja")},
                    {QStringLiteral("skladiste"), 1},
                    {QStringLiteral("datum"), QStringLiteral("2026-03-10")},
                    {QStringLiteral("blagajnik"), QStringLiteral("Ana")},
                    {QStringLiteral("stavke"),
                     QJsonArray{QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                            {QStringLiteral("kolicina"), 1}}}},
                    {QStringLiteral("placanje"), QJsonObject{{QStringLiteral("kartica"), 0.5}}}};
    const QString path = m_dir.filePath(QStringLiteral("bad.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(bad).toJson());
    file.close();
    const CtlRun run = Run({QStringLiteral("post"), path, QStringLiteral("--da")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Tip kartice nije izabran.")))
        << run.err.toStdString();
    auto db = Open();
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")), m_invoices);
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\"")), 0);
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
}

}  // namespace
