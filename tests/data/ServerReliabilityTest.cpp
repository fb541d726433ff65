// A company on a PostgreSQL server under the tills' load, each till its own zodractl process:
// four tills posting 250 invoices each at once lose nothing and never give a number twice; a till
// killed in the middle of its postings and a server restarted under a posting leave every
// invoice whole or absent, and the postings that failed go through when repeated.

#include <gtest/gtest.h>

#include <QDate>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <mutex>
#include <thread>
#include <vector>

#include "ServerDemo.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/PostgresEngine.h"
#include "data/Statement.h"
#include "support/ZodractlCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::ServerDemoTest;

namespace {

const QRegularExpression kPosted(u"Račun je proknjižen pod brojem (\\d+)"_s);

QString Today() {
    return QDate::currentDate().toString(Qt::ISODate);
}

int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
    return db.Scalar(sql, params).toInt();
}

class ServerReliability : public ServerDemoTest {
public:
    using ServerDemoTest::Ctl;
    // The demo company on the server (or at `url`), with stock enough for every invoice: lots of
    // an article that had none in the warehouse.
    void Prepare(const QString& url) {
        const auto copy = Ctl({u"copy"_s, DemoFile(), url});
        ASSERT_EQ(copy.exitCode, 0) << copy.err.toStdString();
        {
            auto opened = Database::Open(url, QString());
            ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
            m_article = opened.db
                            ->Scalar(
                                u"SELECT MIN(\"OPIS\") FROM \"ARTIKLI\" a WHERE NOT EXISTS (SELECT "
                                "1 FROM \"NABAVE\" n WHERE n.\"SIFRA_ARTIKLA\" = a.\"SIFRA\" AND "
                                "n.\"SKLADISTE\" = 1)"_s)
                            .toString();
            ASSERT_FALSE(m_article.isEmpty());
        }
        // Two lots: the older one of three pieces is reserved by the first tills' open invoices
        // at once, so the others' default lot must be the newer one.
        for (const int quantity : {3, 5000}) {
            QJsonObject receipt{{u"skladiste"_s, 1},
                                {u"datum"_s, Today()},
                                {u"dobavljac"_s, u"Pivovara Žitnjak d.o.o."_s},
                                {u"dokument"_s, u"ZALIHA-%1"_s.arg(quantity)},
                                {u"datum_dokumenta"_s, Today()}};
            receipt.insert(u"stavke"_s, QJsonArray{QJsonObject{{u"artikal"_s, m_article},
                                                               {u"kolicina"_s, quantity},
                                                               {u"fakturna_cijena"_s, 0.62},
                                                               {u"marza_%"_s, 30}}});
            const auto stock =
                Ctl({u"post"_s, url, test::WriteJson(m_dir.filePath(u"zaliha.json"_s), receipt),
                     u"--da"_s});
            ASSERT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
        }
        auto opened = Database::Open(url, QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        m_invoicesBefore = Count(*opened.db, u"SELECT COUNT(*) FROM \"RACUNI\""_s);
        m_lastBefore = Count(*opened.db,
                             u"SELECT MAX(\"BROJ RACUNA\") FROM "
                             "\"RACUNI\" WHERE \"SKLADISTE\" = 1 AND "
                             "\"IRA\" = 1"_s);
    }

    // An invoice of one article from the lots and one service, marked by the customer's order
    // number `tag`.
    QString InvoiceFile(const QString& tag) {
        const QJsonObject invoice{
            {u"skladiste"_s, 1},
            {u"knjiga"_s, 1},
            {u"uvjet_prodaje"_s, 2},
            {u"kupac"_s, u"Kod Ane's d.o.o."_s},
            {u"datum"_s, Today()},
            {u"narudzbenica"_s, tag},
            {u"stavke"_s,
             QJsonArray{QJsonObject{{u"artikal"_s, m_article}, {u"kolicina"_s, 1}},
                        QJsonObject{{u"usluga"_s, u"Dostava na adresu"_s}, {u"kolicina"_s, 1}}}}};
        return test::WriteJson(m_dir.filePath(tag + u".json"_s), invoice);
    }

    // Every invoice of the tags is whole (its two lines, its trade-book entry) or absent, none
    // is there twice, and the trade books number their entries without a gap. Returns the tags
    // that are there.
    QSet<QString> ExpectWholeOrAbsent(Database& db, const QStringList& tags) {
        QSet<QString> present;
        for (const QString& tag : tags) {
            Statement invoice = db.Prepare(
                u"SELECT r.\"BROJ RACUNA\", (SELECT COUNT(*) FROM \"STAVKE_RACUNA\" s WHERE "
                "s.\"SKLADISTE\" = r.\"SKLADISTE\" AND s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = "
                "r.\"GODINA\" AND s.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\"), (SELECT COUNT(*) FROM "
                "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t WHERE t.\"SKLADISTE\" = r.\"SKLADISTE\" AND "
                "t.\"GODINA\" = r.\"GODINA\" AND t.\"RBR\" = r.\"RBR_TK\") FROM \"RACUNI\" r "
                "WHERE r.\"NARUDZBENICA\" = ?"_s);
            invoice.Exec({tag});
            int rows = 0;
            while (invoice.Next()) {
                ++rows;
                EXPECT_EQ(invoice.Int(1), 2) << tag.toStdString() << " has not both lines";
                EXPECT_EQ(invoice.Int(2), 1) << tag.toStdString() << " has no trade-book entry";
            }
            EXPECT_LE(rows, 1) << tag.toStdString() << " is there twice";
            if (rows == 1) {
                present.insert(tag);
            }
        }
        for (const char* book : {"TRGOVACKA_KNJIGA_VELEPRODAJE", "TRGOVACKA_KNJIGA_MALOPRODAJE"}) {
            Statement positions = db.Prepare(
                u"SELECT \"SKLADISTE\", \"GODINA\", COUNT(*), COUNT(DISTINCT "
                "\"RBR\"), MIN(\"RBR\"), MAX(\"RBR\") FROM \""_s +
                QString::fromLatin1(book) + u"\" GROUP BY \"SKLADISTE\", \"GODINA\""_s);
            positions.Exec();
            while (positions.Next()) {
                const std::string where = std::string(book) + " " +
                                          positions.Text(0).toStdString() + "/" +
                                          positions.Text(1).toStdString();
                EXPECT_EQ(positions.Int(2), positions.Int(3)) << where << " repeats a position";
                EXPECT_EQ(positions.Int(4), 1) << where;
                EXPECT_EQ(positions.Int(5), positions.Int(2)) << where << " has a gap";
            }
        }
        return present;
    }

    void ExpectChecksClean(const QString& url) {
        const auto check = Ctl({u"check"_s, url});
        EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
        const auto stock = Ctl({u"stockcheck"_s, url});
        EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
        EXPECT_TRUE(stock.out.contains(u"Zalihe, kartice artikala i trgovačke knjige se slažu."_s));
    }

    // Starts one till posting the files in one session; its reports are read as they come.
    std::unique_ptr<QProcess> StartTill(const QString& url, const QStringList& files) {
        auto till = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"ZODRA_PASSWORD"_s, QString());
        till->setProcessEnvironment(env);
        till->setStandardInputFile(QProcess::nullDevice());
        till->start(QStringLiteral(ZODRACTL_PATH),
                    QStringList{u"post"_s, url} + files + QStringList{u"--da"_s});
        EXPECT_TRUE(till->waitForStarted());
        return till;
    }
    // Waits until the till has reported `count` postings (or ended); returns what it wrote.
    static QString AwaitPostings(QProcess& till, int count) {
        QString out;
        while (out.count(kPosted) < count && till.state() == QProcess::Running) {
            till.waitForReadyRead(100);
            out += QString::fromUtf8(till.readAllStandardOutput());
        }
        return out;
    }

    QString m_article;
    int m_invoicesBefore = 0;
    int m_lastBefore = 0;
};

}  // namespace

// Four tills post 250 invoices each at once, every till in five runs of fifty (one in the
// sanitizer build): every invoice reported is there once under its number, the numbers continue
// the book without a gap, the trade book too, and both checks find nothing wrong.
TEST_F(ServerReliability, FourTillsPostAThousandInvoicesAtOnce) {
    Prepare(Url());
    constexpr int kTills = 4;
#ifdef __SANITIZE_ADDRESS__
    // The sanitizer build runs several times slower: it checks the same with fewer postings.
    constexpr int kRuns = 1;
#else
    constexpr int kRuns = 5;
#endif
    constexpr int kEach = 50;
    std::vector<QStringList> tags(kTills);
    std::vector<std::vector<QStringList>> runs(kTills);
    for (int t = 0; t < kTills; ++t) {
        for (int r = 0; r < kRuns; ++r) {
            QStringList files;
            for (int i = 0; i < kEach; ++i) {
                const QString tag = u"B%1-%2"_s.arg(t).arg(r * kEach + i);
                tags[t] << tag;
                files << InvoiceFile(tag);
            }
            runs[t].push_back(files);
        }
    }
    std::mutex mutex;
    QStringList failures;
    // Invoices a till was refused (too little free stock in the lot it was given, a lock not had
    // in time), counted from what the tills wrote, for the figures.
    int refused = 0;
    int busy = 0;
    std::vector<std::pair<int, QString>> reported;  // number, tag
    QElapsedTimer clock;
    clock.start();
    std::vector<std::thread> tills;
    for (int t = 0; t < kTills; ++t) {
        tills.emplace_back([&, t] {
            int next = 0;
            for (const QStringList& files : runs[t]) {
                const auto run =
                    Ctl(QStringList{u"post"_s, Url()} + files + QStringList{u"--da"_s});
                std::lock_guard<std::mutex> guard(mutex);
                const QString said = run.out + run.err;
                refused += int(said.count(u"Nedovoljna količina artikla"_s));
                busy += int(said.count(DbError::BusyMessage()));
                if (run.exitCode != 0) {
                    failures << u"till %1: exit %2: %3"_s.arg(t).arg(run.exitCode).arg(run.err);
                }
                auto it = kPosted.globalMatch(run.out);
                while (it.hasNext()) {
                    reported.emplace_back(it.next().captured(1).toInt(), tags[t].value(next++));
                }
            }
        });
    }
    for (std::thread& t : tills) {
        t.join();
    }
    const double seconds = clock.elapsed() / 1000.0;
    RecordProperty("seconds", QString::number(seconds, 'f', 1).toStdString());
    std::printf("[ figures  ] %d invoices by %d tills in %.1f s (%.1f per second)\n",
                kTills * kRuns * kEach, kTills, seconds, kTills * kRuns * kEach / seconds);
    std::printf("[ figures  ] refused: %d for too little stock, %d told busy\n", refused, busy);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
    EXPECT_EQ(refused, 0);
    ASSERT_EQ(static_cast<int>(reported.size()), kTills * kRuns * kEach);

    QSet<int> numbers;
    for (const auto& [number, tag] : reported) {
        numbers.insert(number);
    }
    EXPECT_EQ(numbers.size(), kTills * kRuns * kEach) << "a number was reported twice";
    EXPECT_EQ(*std::min_element(numbers.begin(), numbers.end()), m_lastBefore + 1);
    EXPECT_EQ(*std::max_element(numbers.begin(), numbers.end()),
              m_lastBefore + kTills * kRuns * kEach);

    auto db = OpenServer();
    ASSERT_TRUE(db);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"RACUNI\""_s),
              m_invoicesBefore + kTills * kRuns * kEach);
    for (const auto& [number, tag] : reported) {
        ASSERT_EQ(Count(*db,
                        u"SELECT COUNT(*) FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 "
                        "AND \"IRA\" = 1 AND \"BROJ RACUNA\" = ? AND "
                        "\"NARUDZBENICA\" = ?"_s,
                        {number, tag}),
                  1)
            << "invoice " << number << " is not stored as reported";
    }
    QStringList all;
    for (const QStringList& t : tags) {
        all << t;
    }
    EXPECT_EQ(ExpectWholeOrAbsent(*db, all).size(), all.size());
    db.reset();
    ExpectChecksClean(Url());
}

// A till posting fifty invoices in one session is disturbed by `interrupt` after `after` of them
// were reported; then every invoice is whole or absent, the missing ones post when repeated, and
// all fifty are there once with both checks clean.
static void InterruptAndRepeat(ServerReliability& test, const QString& url, int after,
                               const std::function<void(QProcess&)>& interrupt) {
    QStringList tags;
    QStringList files;
    for (int i = 0; i < 50; ++i) {
        tags << u"P-%1"_s.arg(i);
        files << test.InvoiceFile(tags.last());
    }
    auto till = test.StartTill(url, files);
    const QString out = ServerReliability::AwaitPostings(*till, after);
    ASSERT_EQ(till->state(), QProcess::Running) << "the till finished before the interruption";
    interrupt(*till);

    auto opened = Database::Open(url, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    const QSet<QString> present = test.ExpectWholeOrAbsent(*opened.db, tags);
    EXPECT_GE(present.size(), out.count(kPosted));
    EXPECT_LT(present.size(), tags.size());
    std::printf("[ figures  ] %lld of 50 invoices were posted before the interruption\n",
                static_cast<long long>(present.size()));
    opened.db.reset();

    QStringList rest;
    for (int i = 0; i < tags.size(); ++i) {
        if (!present.contains(tags.at(i))) {
            rest << files.at(i);
        }
    }
    const auto again =
        ServerReliability::Ctl(QStringList{u"post"_s, url} + rest + QStringList{u"--da"_s});
    EXPECT_EQ(again.exitCode, 0) << again.err.toStdString();
    EXPECT_EQ(again.out.count(kPosted), rest.size());
    opened = Database::Open(url, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
    EXPECT_EQ(test.ExpectWholeOrAbsent(*opened.db, tags).size(), tags.size());
    EXPECT_EQ(Count(*opened.db, u"SELECT COUNT(*) FROM \"RACUNI\""_s),
              test.m_invoicesBefore + tags.size());
    opened.db.reset();
    test.ExpectChecksClean(url);
}

// A till killed (SIGKILL) in the middle of its postings: nothing stays half-written or locked.
TEST_F(ServerReliability, ATillKilledMidPostingLeavesEveryInvoiceWholeOrAbsent) {
    Prepare(Url());
    InterruptAndRepeat(*this, Url(), 10, [](QProcess& till) {
        QThread::usleep(static_cast<unsigned long>(QDateTime::currentMSecsSinceEpoch() % 20) *
                        1000);
        till.kill();
        till.waitForFinished();
    });
}

// The server is restarted (stopped at once, its connections cut) while a till posts: the
// posting under way fails with the message that the connection was lost and nothing was
// finished. The test runs its own throwaway cluster, so the restart disturbs no other test.
TEST_F(ServerReliability, AServerRestartFailsThePostingCleanlyAndItCanBeRepeated) {
    QTemporaryDir state;
    ASSERT_TRUE(state.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"ZODRA_PG_STATE"_s, state.filePath(u"pg.state"_s));
    const auto cluster = [&](const QString& action) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(test::SourceFile("scripts/pg-cluster.sh"), {action});
        p.waitForFinished(120000);
        return std::pair{p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                         QString::fromUtf8(p.readAllStandardOutput()).trimmed()};
    };
    const auto [started, server] = cluster(u"start"_s);
    if (started == 3) {
        GTEST_SKIP() << "no PostgreSQL server binaries for a cluster of this test's own";
    }
    ASSERT_EQ(started, 0);
    struct Stop {
        std::function<void()> stop;
        ~Stop() { stop(); }
    } stopAtEnd{[&] { cluster(u"stop"_s); }};
    const QString url = PostgresEngine::WithDatabase(server, u"firma"_s);
    Prepare(url);
    InterruptAndRepeat(*this, url, 5, [&](QProcess& till) {
        ASSERT_EQ(cluster(u"restart"_s).first, 0);
        ASSERT_TRUE(till.waitForFinished(60000));
        const QString err = QString::fromUtf8(till.readAllStandardError());
        EXPECT_EQ(till.exitCode(), 1);
        EXPECT_TRUE(
            err.contains(u"Veza s poslužiteljem baze podataka je prekinuta. Započeti posao nije "
                         "dovršen; ponovite ga kad poslužitelj bude dostupan."_s))
            << err.toStdString();
    });
}
