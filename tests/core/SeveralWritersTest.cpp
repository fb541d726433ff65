// Several programs on one company at once, as the tills and the back office run it: separate
// zodractl processes posting receipts into one demo company, with and without a password, and
// compactions started beside them. Nothing reported as posted may be missing, no number may be
// given twice, the trade book keeps its positions without gaps and the file stays sound.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "data/CompanyLock.h"
#include "data/Database.h"
#include "support/ZodractlCompany.h"

using namespace Qt::StringLiterals;

using namespace zodra;

namespace {

using CtlRun = zodra::test::ZodractlRun;

CtlRun Zodractl(const QStringList& args, const std::optional<QString>& password = std::nullopt) {
    zodra::test::ZodractlOptions options;
    options.password = password;
    return zodra::test::RunZodractl(args, options);
}

class SeveralWritersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_company = m_dir.filePath(u"firma.mdb"_s);
        const CtlRun demo = Zodractl({u"demo"_s, m_company});
        ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
        m_receipt = test::ReadJson(test::SourceFile("docs/examples/primka.json"));
        ASSERT_FALSE(m_receipt.isEmpty());
        auto db = Open();
        m_receiptsBefore = Count(*db, u"SELECT COUNT(*) FROM \"PRIMKE\""_s);
    }

    std::unique_ptr<Database> Open(const QString& password = QString()) {
        auto opened = Database::Open(m_company, password);
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
        return std::move(opened.db);
    }
    static int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
        return db.Scalar(sql, params).toInt();
    }

    // The example receipt under a supplier's document of its own, written to a file.
    QString ReceiptFile(const QString& document) {
        QJsonObject receipt = m_receipt;
        receipt.insert(u"dokument"_s, document);
        return test::WriteJson(m_dir.filePath(document + u".json"_s), receipt);
    }

    struct Outcome {
        std::mutex mutex;
        QList<int> reported;          // numbers reported as posted
        QStringList postedDocuments;  // their supplier documents
        QStringList failures;         // anything else a post said
        int compacted = 0;
        int compactionsRefused = 0;
        QStringList compactionFailures;
    };

    // `workers` processes one after another per worker thread, each posting `each` receipts.
    void Post(Outcome& outcome, int worker, int each, const std::optional<QString>& password) {
        static const QRegularExpression posted(u"Primka je proknjižena pod brojem (\\d+)"_s);
        for (int i = 0; i < each; ++i) {
            const QString document = u"VP-%1-%2"_s.arg(worker).arg(i);
            const QString file = ReceiptFile(document);
            const CtlRun run = Zodractl({u"post"_s, m_company, file, u"--da"_s}, password);
            const auto match = posted.match(run.out);
            std::lock_guard<std::mutex> guard(outcome.mutex);
            if (run.exitCode == 0 && match.hasMatch()) {
                outcome.reported << match.captured(1).toInt();
                outcome.postedDocuments << document;
            } else {
                outcome.failures << u"%1: izlaz %2: %3 %4"_s.arg(document)
                                        .arg(run.exitCode)
                                        .arg(run.out, run.err);
            }
            // A workstation posts a receipt now and then, not back to back: a compaction may
            // find a moment alone with the company.
            QThread::msleep(m_postingGapMs);
        }
    }
    int m_postingGapMs = 0;

    void Compactions(Outcome& outcome, int count, const std::optional<QString>& password) {
        for (int i = 0; i < count; ++i) {
            const CtlRun run = Zodractl({u"compact"_s, m_company}, password);
            std::lock_guard<std::mutex> guard(outcome.mutex);
            if (run.exitCode == 0) {
                ++outcome.compacted;
            } else if (run.exitCode == 1 &&
                       run.err.startsWith(u"Baza je otvorena na drugom računalu"_s)) {
                ++outcome.compactionsRefused;
            } else {
                outcome.compactionFailures
                    << u"izlaz %1: %2 %3"_s.arg(run.exitCode).arg(run.out, run.err);
            }
            QThread::msleep(30);
        }
    }

    // Everything reported is stored once under its own number, with its own trade-book
    // position, the book has no gaps, and both checks find nothing wrong.
    void ExpectWhole(const Outcome& outcome, int expected, const std::optional<QString>& password) {
        EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join(u'\n').toStdString();
        EXPECT_TRUE(outcome.compactionFailures.isEmpty())
            << outcome.compactionFailures.join(u'\n').toStdString();
        EXPECT_EQ(outcome.reported.size(), expected);
        const QSet<int> distinct(outcome.reported.begin(), outcome.reported.end());
        EXPECT_EQ(distinct.size(), outcome.reported.size()) << "a number was reported twice";

        auto db = Open(password.value_or(QString()));
        ASSERT_TRUE(db);
        EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"PRIMKE\""_s), m_receiptsBefore + expected);
        for (int i = 0; i < outcome.reported.size(); ++i) {
            EXPECT_EQ(Count(*db,
                            u"SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" = 1 "
                            "AND \"BROJ PRIMKE\" = ? AND \"DOKUMENT DOBAVLJACA\" = ?"_s,
                            {outcome.reported.at(i), outcome.postedDocuments.at(i)}),
                      1)
                << "receipt " << outcome.reported.at(i) << " is not stored as reported";
        }
        test::ExpectTradeBooksWhole(*db, 1);
        EXPECT_EQ(Count(*db,
                        u"SELECT COUNT(*) FROM \"PRIMKE\" h WHERE \"DOKUMENT DOBAVLJACA\" "
                        "LIKE 'VP-%' AND NOT EXISTS (SELECT 1 FROM "
                        "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t WHERE t.\"SKLADISTE\" = "
                        "h.\"SKLADISTE\" AND t.\"GODINA\" = h.\"GODINA\" AND t.\"RBR\" = "
                        "h.\"RBR_TK\") AND NOT EXISTS (SELECT 1 FROM "
                        "\"TRGOVACKA_KNJIGA_MALOPRODAJE\" t WHERE t.\"SKLADISTE\" = "
                        "h.\"SKLADISTE\" AND t.\"GODINA\" = h.\"GODINA\" AND t.\"RBR\" = "
                        "h.\"RBR_TK\")"_s),
                  0);
        // Every program has ended: no session and no working row is left behind.
        EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"Multiuser\""_s), 0);
        db.reset();
        const CtlRun check = Zodractl({u"check"_s, m_company}, password);
        EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
        EXPECT_TRUE(check.out.contains(u"Provjera ispravnosti: ok"_s));
        const CtlRun stock = Zodractl({u"stockcheck"_s, m_company}, password);
        EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
    }

    QTemporaryDir m_dir;
    QString m_company;
    QJsonObject m_receipt;
    int m_receiptsBefore = 0;
};

constexpr int kWorkers = 4;
#ifdef __SANITIZE_ADDRESS__
// The sanitizer build runs several times slower: the same scenarios with fewer postings.
constexpr int kPostsEach = 12;
constexpr int kCompactions = 5;
#else
constexpr int kPostsEach = 50;
constexpr int kCompactions = 10;
#endif

void RunWorkers(int count, const std::function<void(int)>& work) {
    std::vector<std::thread> threads;
    for (int w = 0; w < count; ++w) {
        threads.emplace_back(work, w);
    }
    for (std::thread& t : threads) {
        t.join();
    }
}

}  // namespace

// Without the password variable, with it set empty on a company without a password (which then
// opens with any), and with the company's password in it: each program opens the company exactly
// once, and nothing is lost.
TEST_F(SeveralWritersTest, FourProgramsPostingAtOnceLoseNothingWhateverThePasswordVariable) {
    const std::optional<QString> passwords[] = {std::nullopt, QString(), u"tajna"_s};
    for (const std::optional<QString>& password : passwords) {
        if (password && !password->isEmpty()) {
            Open()->SetPassword(*password);
        }
        {
            auto db = Open(password.value_or(QString()));
            m_receiptsBefore = Count(*db, u"SELECT COUNT(*) FROM \"PRIMKE\""_s);
        }
        Outcome outcome;
        RunWorkers(kWorkers, [&](int w) { Post(outcome, w, kPostsEach, password); });
        ExpectWhole(outcome, kWorkers * kPostsEach, password);
    }
    // An empty password in the environment is the wrong one now, and is refused as such.
    const CtlRun wrong = Zodractl({u"check"_s, m_company}, QString());
    EXPECT_EQ(wrong.exitCode, 3);
}

// Compactions started while three programs post: each either runs alone or refuses with its
// message; the postings wait for a running one and go on.
TEST_F(SeveralWritersTest, CompactionsBesidePostingsRefuseOrRunAloneAndDamageNothing) {
    Outcome outcome;
    m_postingGapMs = 20;
    RunWorkers(4, [&](int w) {
        if (w == 3) {
            Compactions(outcome, kCompactions, std::nullopt);
        } else {
            Post(outcome, w, 2 * kCompactions, std::nullopt);
        }
    });
    RecordProperty("compacted", outcome.compacted);
    RecordProperty("refused", outcome.compactionsRefused);
    EXPECT_EQ(outcome.compacted + outcome.compactionsRefused, kCompactions);
    ExpectWhole(outcome, 6 * kCompactions, std::nullopt);
    // Alone now, a compaction runs.
    const CtlRun alone = Zodractl({u"compact"_s, m_company});
    EXPECT_EQ(alone.exitCode, 0) << alone.err.toStdString();
    EXPECT_EQ(alone.out.trimmed(), u"Pakiranje datoteke napravljeno uspješno."_s);
}

// A program that opens the company while a compaction holds it waits for the compaction and
// then works on the compacted file; it never opens the file that is about to be replaced.
TEST_F(SeveralWritersTest, APostingStartedDuringACompactionWaitsForIt) {
    auto exclusive = CompanyLock::Acquire(m_company, CompanyLock::Mode::Exclusive, 0);
    ASSERT_TRUE(exclusive);
    std::atomic<bool> finished{false};
    CtlRun run;
    std::thread poster([&] {
        run = Zodractl({u"post"_s, m_company, ReceiptFile(u"CEKA-1"_s), u"--da"_s});
        finished = true;
    });
    QThread::msleep(1500);
    EXPECT_FALSE(finished.load()) << "the posting did not wait for the compaction";
    exclusive.reset();
    poster.join();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(u"Primka je proknjižena pod brojem"_s));
}

// Imports of articles from two programs at once, beside compactions: every file goes in whole,
// nothing is lost or doubled, and a file with a value that cannot be is refused with its row's
// message and leaves the register as it was.
TEST_F(SeveralWritersTest, ImportsFromTwoProgramsBesideCompactionsLoseNothing) {
    const auto articles = [&] {
        auto db = Open();
        return Count(*db, u"SELECT COUNT(*) FROM \"ARTIKLI\""_s);
    };
    const int before = articles();
    constexpr int kFiles = 3;
    constexpr int kRows = 100;
    const auto file = [&](int worker, int n, const QString& price) {
        QString text =
            u"Naziv;Šifra;Jedinica mjere;Grupa artikla;Grupa poreza;Valuta;Cijena u valuti\n"_s;
        for (int row = 0; row < kRows; ++row) {
            text += u"Uvoz %1-%2-%3;UV-%1-%2-%3;kom;Auto oprema;PDV;EUR;%4\n"_s.arg(worker)
                        .arg(n)
                        .arg(row)
                        .arg(row == kRows / 2 ? price : u"1,5"_s);
        }
        const QString path = m_dir.filePath(u"uvoz-%1-%2.csv"_s.arg(worker).arg(n));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
        return path;
    };
    std::mutex mutex;
    QStringList failures;
    Outcome compactions;
    RunWorkers(3, [&](int w) {
        if (w == 2) {
            Compactions(compactions, kCompactions, std::nullopt);
            return;
        }
        for (int n = 0; n < kFiles; ++n) {
            const CtlRun run =
                Zodractl({u"import"_s, m_company, u"articles"_s, file(w, n, u"2"_s)});
            if (run.exitCode != 0) {
                std::lock_guard<std::mutex> guard(mutex);
                failures << run.err;
            }
        }
    });
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
    EXPECT_TRUE(compactions.compactionFailures.isEmpty())
        << compactions.compactionFailures.join(u'\n').toStdString();
    EXPECT_EQ(articles(), before + 2 * kFiles * kRows);

    const CtlRun refused = Zodractl({u"import"_s, m_company, u"articles"_s, file(7, 0, u"inf"_s)});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(
        (refused.out + refused.err).contains(u"Redak %1: Cijena u valuti"_s.arg(kRows / 2 + 2)))
        << (refused.out + refused.err).toStdString();
    EXPECT_EQ(articles(), before + 2 * kFiles * kRows);
    const CtlRun check = Zodractl({u"check"_s, m_company});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
}

// Undoing documents is posting too: one program cancels receipts and another deletes others
// while a third posts new ones and a fourth compacts. Posted and cancelling receipts draw their
// numbers from one sequence, so no number may be reported twice; the deleted ones are gone
// with their lines, and lots, cards and books still agree.
TEST_F(SeveralWritersTest, CancellationsAndDeletionsBesidePostingsAndCompactionsLoseNothing) {
    m_postingGapMs = 40;
    constexpr int kEach = 8;
    Outcome outcome;
    QList<std::pair<int, int>> cancelled;  // the receipt and the number of its cancellation
    QList<int> deleted;
    static const QRegularExpression cancelledAs(u"Storno primke je proknjižen pod brojem (\\d+)"_s);
    // The demo has sold from every receipt's lots, which a deletion refuses: the receipts to
    // delete are posted here first, nothing taken from them.
    static const QRegularExpression postedAs(u"Primka je proknjižena pod brojem (\\d+)"_s);
    QList<int> toDelete;
    for (int i = 0; i < kEach; ++i) {
        const CtlRun run =
            Zodractl({u"post"_s, m_company, ReceiptFile(u"BR-%1"_s.arg(i)), u"--da"_s});
        const auto match = postedAs.match(run.out);
        ASSERT_TRUE(run.exitCode == 0 && match.hasMatch()) << run.err.toStdString();
        toDelete << match.captured(1).toInt();
    }
    RunWorkers(4, [&](int w) {
        if (w == 0) {
            Post(outcome, w, kEach, std::nullopt);
        } else if (w == 3) {
            Compactions(outcome, kEach, std::nullopt);
        } else {
            for (int i = 0; i < kEach; ++i) {
                // The demo company's receipts 1 … 8 are cancelled, the eight above deleted.
                const int number = w == 1 ? 1 + i : toDelete.at(i);
                const CtlRun run =
                    Zodractl({w == 1 ? u"cancel"_s : u"delete"_s, m_company, u"primka"_s,
                              QString::number(number), u"--skladiste"_s, u"1"_s, u"--da"_s});
                std::lock_guard<std::mutex> guard(outcome.mutex);
                const auto match = cancelledAs.match(run.out);
                if (w == 1 && run.exitCode == 0 && match.hasMatch()) {
                    cancelled << std::pair{number, match.captured(1).toInt()};
                } else if (w == 2 && run.exitCode == 0 &&
                           run.out.trimmed() == u"Primka broj %1 je izbrisana."_s.arg(number)) {
                    deleted << number;
                } else {
                    outcome.failures
                        << u"%1 %2: izlaz %3: %4 %5"_s.arg(w == 1 ? u"storno" : u"brisanje")
                               .arg(number)
                               .arg(run.exitCode)
                               .arg(run.out, run.err);
                }
                QThread::msleep(m_postingGapMs);
            }
        }
    });
    EXPECT_TRUE(outcome.failures.isEmpty()) << outcome.failures.join(u'\n').toStdString();
    EXPECT_TRUE(outcome.compactionFailures.isEmpty())
        << outcome.compactionFailures.join(u'\n').toStdString();
    ASSERT_EQ(outcome.reported.size(), kEach);
    ASSERT_EQ(cancelled.size(), kEach);
    ASSERT_EQ(deleted.size(), kEach);

    QSet<int> numbers(outcome.reported.begin(), outcome.reported.end());
    for (const auto& [receipt, cancellation] : cancelled) {
        numbers.insert(cancellation);
    }
    EXPECT_EQ(numbers.size(), 2 * kEach) << "a number was reported twice";

    auto db = Open();
    ASSERT_TRUE(db);
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"PRIMKE\""_s),
              m_receiptsBefore + kEach + kEach + kEach - kEach);
    for (const auto& [receipt, cancellation] : cancelled) {
        EXPECT_EQ(Count(*db,
                        u"SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" = 1 "
                        "AND \"BROJ PRIMKE\" = ? AND \"STORNO_ZA_PRIMKU\" = ?"_s,
                        {cancellation, receipt}),
                  1)
            << "the cancellation of receipt " << receipt << " is not stored as reported";
    }
    for (const int receipt : deleted) {
        EXPECT_EQ(Count(*db,
                        u"SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE "
                        "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = ?"_s,
                        {receipt}),
                  0)
            << "receipt " << receipt << " left lines behind";
    }
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"Multiuser\""_s), 0);
    db.reset();
    const CtlRun stock = Zodractl({u"stockcheck"_s, m_company});
    EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();

    // Both doors refuse what the window refuses, with its message, and change nothing.
    auto door = [&](const QString& command, const QString& kind, const QString& number,
                    QStringList more) {
        return Zodractl(QStringList{command, m_company, kind, number} + more);
    };
    const QStringList warehouseOne = {u"--skladiste"_s, u"1"_s};
    const QStringList yes = warehouseOne + QStringList{u"--da"_s};
    CtlRun again = door(u"cancel"_s, u"primka"_s, u"1"_s, yes);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.startsWith(u"Primka broj 1 je već stornirana"_s))
        << again.err.toStdString();
    again = door(u"delete"_s, u"primka"_s, QString::number(toDelete.first()), yes);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err.trimmed(),
              u"Želite li izbrisati primku! Da\n"
              "Ne postoji proknjižena primka broj "_s +
                  QString::number(toDelete.first()));
    again = door(u"delete"_s, u"pismo"_s, u"1"_s, yes);
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(again.err.trimmed().startsWith(
        u"Nepoznata vrsta dokumenta: pismo (poznate: primka, izmjena"_s))
        << again.err.toStdString();
    // Without --da each question is answered No: receipt 9 is neither cancelled nor deleted.
    again = door(u"cancel"_s, u"primka"_s, u"9"_s, warehouseOne);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err.trimmed(), u"Želite li stornirati primku! Ne\nPrimka nije stornirana."_s);
    again = door(u"delete"_s, u"primka"_s, u"9"_s, warehouseOne);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err.trimmed(), u"Želite li izbrisati primku! Ne\nPrimka nije izbrisana."_s);
    // The demo company has three warehouses: without --skladiste the door asks for one.
    again = door(u"delete"_s, u"primka"_s, u"9"_s, {u"--da"_s});
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err.trimmed(), u"Poduzeće ima više skladišta: navedite --skladiste N."_s);
    db = Open();
    EXPECT_EQ(Count(*db,
                    u"SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" = 1 "
                    "AND (\"BROJ PRIMKE\" = 9 OR \"STORNO_ZA_PRIMKU\" = 9)"_s),
              1);
}
