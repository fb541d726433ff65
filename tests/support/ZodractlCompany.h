#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>
#include <QThread>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "data/Database.h"
#include "support/ServerCompany.h"
#include "support/Zodractl.h"

// A company driven through the command-line tool: the demo company in a test's own folder, the
// example files of the source tree, and several programs at once beside a compaction. The test
// program that includes this defines ZODRACTL_PATH and ZODRA_SOURCE_DIR.
namespace zodra::test {

// A file of the source tree, e.g. "docs/examples/racun.json".
inline QString SourceFile(const char* path) {
    return QStringLiteral(ZODRA_SOURCE_DIR "/") + QString::fromLatin1(path);
}

inline QJsonObject ReadJson(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QJsonDocument::fromJson(file.readAll()).object();
}

// Writes `o` to `path` and returns the path.
inline QString WriteJson(const QString& path, const QJsonObject& o) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(QJsonDocument(o).toJson());
    return path;
}

// The number of "… pod brojem N …" in a posting's report, 0 when there is none.
inline int PostedNumber(const QString& out) {
    static const QRegularExpression number(QStringLiteral("pod brojem (\\d+)"));
    const auto match = number.match(out);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

// A compaction either ran or was refused because another program had the company open; anything
// else is a fault.
inline bool CompactedOrRefused(const ZodractlRun& run) {
    return run.exitCode == 0 ||
           (run.exitCode == 1 &&
            run.err.startsWith(QStringLiteral("Baza je otvorena na drugom računalu")));
}

inline void ExpectStockSound(const QString& company) {
    const ZodractlRun stock = RunZodractl({QStringLiteral("stockcheck"), company});
    EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
}

// Each year's trade books of `warehouse` hold the positions 1 … n once each: no position given
// twice by programs posting at once, no gap left by one that gave up.
inline void ExpectTradeBooksWhole(Database& db, int warehouse) {
    for (const char* book : {"TRGOVACKA_KNJIGA_VELEPRODAJE", "TRGOVACKA_KNJIGA_MALOPRODAJE"}) {
        Statement positions = db.Prepare(
            QStringLiteral("SELECT \"GODINA\", COUNT(*), COUNT(DISTINCT \"RBR\"), MIN(\"RBR\"), "
                           "MAX(\"RBR\") FROM \"") +
            QString::fromLatin1(book) +
            QStringLiteral("\" WHERE \"SKLADISTE\" = ? GROUP BY \"GODINA\""));
        positions.Exec({warehouse});
        while (positions.Next()) {
            SCOPED_TRACE(std::string(book) + " of warehouse " + std::to_string(warehouse) +
                         ", year " + std::to_string(positions.Int(0)));
            EXPECT_EQ(positions.Int(1), positions.Int(2)) << "a position repeats";
            EXPECT_EQ(positions.Int(3), 1);
            EXPECT_EQ(positions.Int(4), positions.Int(1)) << "the book has a gap";
        }
    }
}

// What went wrong in the programs of one run, gathered from several threads.
class RunFailures {
public:
    void Add(const QString& what) {
        std::lock_guard<std::mutex> guard(m_mutex);
        m_list << what;
    }
    // Records "what: exit code, out, err" unless `ok`.
    void Check(bool ok, const QString& what, const ZodractlRun& run) {
        if (!ok) {
            Add(QStringLiteral("%1: %2 %3 %4").arg(what).arg(run.exitCode).arg(run.out, run.err));
        }
    }
    // Guards a test's own tallies kept beside the failures.
    std::mutex& Mutex() { return m_mutex; }
    // Compactions that failed other than by being refused.
    void AddCompactionFault(const ZodractlRun& run) {
        Add(QStringLiteral("compact: %1 %2").arg(run.exitCode).arg(run.err));
        std::lock_guard<std::mutex> guard(m_mutex);
        ++m_compactionFaults;
    }
    int CompactionFaults() {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_compactionFaults;
    }
    bool IsEmpty() {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_list.isEmpty();
    }
    std::string Text() {
        std::lock_guard<std::mutex> guard(m_mutex);
        return m_list.join(u'\n').toStdString();
    }

private:
    std::mutex m_mutex;
    QStringList m_list;
    int m_compactionFaults = 0;
};

// Runs each of `workers` on its own thread while one more thread compacts `company` `rounds`
// times, 30 ms apart; returns how many compactions ran.
inline int RunBesideCompaction(const QString& company,
                               const std::vector<std::function<void()>>& workers,
                               RunFailures& failures, int rounds = 4) {
    int compacted = 0;
    std::vector<std::thread> threads;
    for (const auto& work : workers) {
        threads.emplace_back(work);
    }
    threads.emplace_back([&] {
        for (int i = 0; i < rounds; ++i) {
            const ZodractlRun run = RunZodractl({QStringLiteral("compact"), company});
            if (!CompactedOrRefused(run)) {
                failures.AddCompactionFault(run);
            }
            compacted += run.exitCode == 0 ? 1 : 0;
            QThread::msleep(30);
        }
    });
    for (std::thread& t : threads) {
        t.join();
    }
    return compacted;
}

// The same work on `count` threads, each told its index.
inline int RunBesideCompaction(const QString& company, int count,
                               const std::function<void(int)>& work, RunFailures& failures,
                               int rounds = 4) {
    std::vector<std::function<void()>> workers;
    for (int i = 0; i < count; ++i) {
        workers.emplace_back([&work, i] { work(i); });
    }
    return RunBesideCompaction(company, workers, failures, rounds);
}

// The demo company in the test's own folder with the example receipt posted (240 pieces of
// PI-015 in warehouse 1). Run puts the company after the command.
class ZodractlCompanyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MakeDemo());
        ASSERT_NO_FATAL_FAILURE(PostExampleReceipt());
    }
    void TearDown() override {
        if (!m_serverName.isEmpty()) {
            DropServerCompany(m_serverName);
        }
    }
    void MakeDemo() {
        ASSERT_TRUE(m_dir.isValid());
        if (OnServer()) {
            ASSERT_NO_FATAL_FAILURE(MakeServerDemo());
            return;
        }
        m_company = m_dir.filePath(QStringLiteral("firma.mdb"));
        const ZodractlRun demo = RunZodractl({QStringLiteral("demo"), m_company});
        ASSERT_EQ(demo.exitCode, 0) << demo.err.toStdString();
    }
    // The server run: a copy of the demo company this build of the tool made on the server.
    void MakeServerDemo() {
        const QFileInfo tool(QStringLiteral(ZODRACTL_PATH));
        const QString key = QStringLiteral("demo ") + tool.absoluteFilePath() +
                            QString::number(tool.lastModified().toMSecsSinceEpoch());
        m_serverName = NewServerCompany(key, [](const QString& url) {
            const ZodractlRun demo = RunZodractl({QStringLiteral("demo"), url});
            if (demo.exitCode != 0) {
                throw std::runtime_error("zodractl demo on the server: " + demo.err.toStdString());
            }
        });
        m_company = ServerCompanyUrl(m_serverName);
    }
    void PostExampleReceipt() {
        const ZodractlRun receipt =
            Run({QStringLiteral("post"), SourceFile("docs/examples/primka.json"),
                 QStringLiteral("--da")});
        ASSERT_EQ(receipt.exitCode, 0) << receipt.err.toStdString();
    }
    ZodractlRun Run(const QStringList& args) {
        QStringList all{args.first(), m_company};
        all << args.mid(1);
        return RunZodractl(all);
    }
    std::unique_ptr<Database> Open() {
        auto opened = Database::Open(m_company, QString());
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
        return std::move(opened.db);
    }
    QVariant Scalar(const QString& sql, const QVariantList& params = {}) {
        return Open()->Scalar(sql, params);
    }
    // Writes `o` to the test's folder under `name`.
    QString File(const QString& name, const QJsonObject& o) {
        return WriteJson(m_dir.filePath(name), o);
    }
    QString File(const QString& name, const QByteArray& content) {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(content);
        return path;
    }
    void ExpectStockSound() { test::ExpectStockSound(m_company); }
    // `count` programs each post `each` files, file(worker, i), while another compacts; a posting
    // counts when it ends well and reports its number (and says `mustSay` where given). Returns
    // the numbers reported.
    QList<int> PostBesideCompaction(int count, int each,
                                    const std::function<QString(int, int)>& file,
                                    RunFailures& failures, const QStringList& extra = {},
                                    const QString& mustSay = QString()) {
        QList<int> reported;
        RunBesideCompaction(
            m_company, count,
            [&](int worker) {
                for (int i = 0; i < each; ++i) {
                    const ZodractlRun run =
                        Run(QStringList{QStringLiteral("post"), file(worker, i)} + extra);
                    const int number = PostedNumber(run.out);
                    const bool ok = run.exitCode == 0 && number > 0 &&
                                    (mustSay.isEmpty() || run.out.contains(mustSay));
                    failures.Check(ok, QStringLiteral("%1/%2").arg(worker).arg(i), run);
                    if (ok) {
                        std::lock_guard<std::mutex> guard(failures.Mutex());
                        reported << number;
                    }
                }
            },
            failures);
        return reported;
    }

    QTemporaryDir m_dir;
    QString m_company;
    QString m_serverName;  // the server run: the company database
};

}  // namespace zodra::test
