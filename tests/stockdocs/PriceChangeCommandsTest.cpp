// zodractl's doors of the price change, and several programs at once beside compactions.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include "data/Numbering.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// The demo company as it is made.
class PriceChangeCommandsTest : public ZodractlCompanyTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeDemo()); }

    static QByteArray Example(const char* name) {
        QFile file(QStringLiteral(ZODRA_SOURCE_DIR "/docs/examples/") + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    int Scalar(const QString& sql, const QVariantList& params = {}) {
        auto opened = Database::Open(m_company, QString());
        EXPECT_EQ(opened.status, Database::OpenStatus::Ok);
        return sqlvalue::ToInt(opened.db->Scalar(sql, params));
    }
    double Number(const QString& sql, const QVariantList& params = {}) {
        auto opened = Database::Open(m_company, QString());
        return sqlvalue::ToDouble(opened.db->Scalar(sql, params));
    }
};

TEST_F(PriceChangeCommandsTest, TheDoorsPostCancelAndDeleteWithTheirQuestions) {
    const QString file = File(QStringLiteral("izmjena.json"), Example("izmjena.json"));
    ZodractlRun run = RunZodractl({QStringLiteral("post"), m_company, file});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Izmjena cijena je proknjižena pod brojem 1"));
    // PI-015 without a lot: each of its FIFO lots with stock; PI-014's lot 7 at 1.00 with 25 %.
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZMJENA_CIJENA\"")), 4);
    EXPECT_DOUBLE_EQ(Number(QStringLiteral("SELECT \"NOVA_CIJENA\" FROM \"STAVKE_IZMJENA_CIJENA\" "
                                           "WHERE \"BROJ_PRIMKE\" = 7")),
                     0.80);
    ExpectStockSound();

    const QStringList one{QStringLiteral("--skladiste"), QStringLiteral("1")};
    auto door = [&](const char* command, QStringList more) {
        return RunZodractl(QStringList{QString::fromLatin1(command), m_company,
                                       QStringLiteral("izmjena"), QStringLiteral("1")} +
                           one + more);
    };
    run = door("delete", {});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Želite li izbrisati izmjenu cijena! Ne\nIzmjena cijena nije "
                             "izbrisana."));
    run = door("cancel",
               {QStringLiteral("--datum"), QStringLiteral("01.03.2026"), QStringLiteral("--da")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(), QStringLiteral("Datum storna nesmije biti prije datuma izmjene "
                                                "cijena. Pokušajte ponovo."));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\" WHERE \"STORNO\"")),
              0);
    // The cancellation counter is shared with invoices: the demo's have taken the first numbers.
    int next = 1;
    {
        auto opened = Database::Open(m_company, QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        next = numbering::NextCancellationNumber(*opened.db, 1, 2026);
    }
    EXPECT_GT(next, 1);
    run = door("cancel",
               {QStringLiteral("--datum"), QStringLiteral("03.03.2026"), QStringLiteral("--da")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(),
              QStringLiteral("Storno izmjene cijena je proknjižen pod brojem %1").arg(next));
    ExpectStockSound();
    run = door("delete", {QStringLiteral("--da")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), QStringLiteral("Izmjena cijena broj 1 je izbrisana."));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 0);
    ExpectStockSound();

    // A file that names what the company does not have books nothing.
    QJsonObject bad = QJsonDocument::fromJson(Example("izmjena.json")).object();
    QJsonArray lines = bad.value(QStringLiteral("stavke")).toArray();
    lines.append(QJsonObject{{QStringLiteral("artikal"), QStringLiteral("NEMA-1")},
                             {QStringLiteral("cijena"), 1.0}});
    bad.insert(QStringLiteral("stavke"), lines);
    run = RunZodractl({QStringLiteral("post"), m_company,
                       File(QStringLiteral("losa.json"), QJsonDocument(bad).toJson())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.trimmed(),
              QStringLiteral("Datoteka izmjene cijena: artikal nije pronađen (stavka 4)."));
    // A price the limits refuse, on the last line: the earlier lines are not booked either.
    lines.removeLast();
    lines.append(QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-003")},
                             {QStringLiteral("cijena"), -1.0}});
    bad.insert(QStringLiteral("stavke"), lines);
    run = RunZodractl({QStringLiteral("post"), m_company,
                       File(QStringLiteral("losa.json"), QJsonDocument(bad).toJson())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("Nova cijena"))) << run.err.toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 0);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\"")),
              0);
    ExpectStockSound();
}

// Price changes and receipts of one article from several programs beside a compaction.
TEST_F(PriceChangeCommandsTest, PriceChangesAndReceiptsFromSeveralProgramsAtOnce) {
    const QJsonObject receipt = QJsonDocument::fromJson(Example("primka.json")).object();
    const QJsonObject change = QJsonDocument::fromJson(Example("izmjena.json")).object();
    RunFailures failures;
    QList<int> changes;
    QList<int> receipts;
    auto post = [&](const QByteArray& content, const QString& name, const QRegularExpression& ok,
                    QList<int>& numbers) {
        const ZodractlRun run = RunZodractl(
            {QStringLiteral("post"), m_company, File(name, content), QStringLiteral("--da")});
        const auto match = ok.match(run.out);
        failures.Check(run.exitCode == 0 && match.hasMatch(), name, run);
        if (run.exitCode == 0 && match.hasMatch()) {
            std::lock_guard<std::mutex> guard(failures.Mutex());
            numbers << match.captured(1).toInt();
        }
    };
    constexpr int kEach = 8;
    std::vector<std::function<void()>> workers;
    for (int w = 0; w < 2; ++w) {
        workers.emplace_back([&, w] {
            static const QRegularExpression posted(
                QStringLiteral("Izmjena cijena je proknjižena pod brojem (\\d+)"));
            for (int i = 0; i < kEach; ++i) {
                QJsonObject file = change;
                QJsonArray lines = file.value(QStringLiteral("stavke")).toArray();
                lines[0] = QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                       {QStringLiteral("cijena"), 1.20 + 0.01 * (w * kEach + i)}};
                file.insert(QStringLiteral("stavke"), lines);
                post(QJsonDocument(file).toJson(),
                     QStringLiteral("izmjena-%1-%2.json").arg(w).arg(i), posted, changes);
            }
        });
        workers.emplace_back([&, w] {
            static const QRegularExpression posted(
                QStringLiteral("Primka je proknjižena pod brojem (\\d+)"));
            for (int i = 0; i < kEach; ++i) {
                QJsonObject file = receipt;
                file.insert(QStringLiteral("dokument"), QStringLiteral("IZ-%1-%2").arg(w).arg(i));
                post(QJsonDocument(file).toJson(),
                     QStringLiteral("primka-%1-%2.json").arg(w).arg(i), posted, receipts);
            }
        });
    }
    RunBesideCompaction(m_company, workers, failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(failures.CompactionFaults(), 0);
    ASSERT_EQ(changes.size(), 2 * kEach);
    ASSERT_EQ(receipts.size(), 2 * kEach);
    EXPECT_EQ(QSet<int>(changes.begin(), changes.end()).size(), changes.size());
    EXPECT_EQ(QSet<int>(receipts.begin(), receipts.end()).size(), receipts.size());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 2 * kEach);
    // Every price change has its entry at its own position, and the book has no gaps.
    EXPECT_EQ(Scalar(QStringLiteral(
                  "SELECT COUNT(*) FROM \"IZMJENE_CIJENA\" h INNER JOIN "
                  "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t ON t.\"SKLADISTE\" = h.\"SKLADISTE\" AND "
                  "t.\"GODINA\" = h.\"GODINA\" AND t.\"RBR\" = h.\"RBR_TK\" AND "
                  "t.\"TIP_DOKUMENTA\" = 'IZMJENA CIJENA' AND t.\"BROJ_DOKUMENTA\" = "
                  "h.\"BROJ_IZMJENE_CIJENA\"")),
              2 * kEach);
    ExpectTradeBooksWhole(*Open(), 1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
    ExpectStockSound();
}

// One program cancels, one deletes, one posts (each its own article) and one compacts.
TEST_F(PriceChangeCommandsTest, PriceChangesCancelledAndDeletedBesidePostingsAndCompactions) {
    constexpr int kEach = 4;
    QStringList articles;
    {
        auto opened = Database::Open(m_company, QString());
        ASSERT_EQ(opened.status, Database::OpenStatus::Ok);
        Statement with = opened.db->Prepare(QStringLiteral(
            "SELECT a.\"OPIS\" FROM \"ARTIKLI\" a WHERE EXISTS (SELECT 1 FROM \"NABAVE\" n "
            "WHERE n.\"SKLADISTE\" = 1 AND n.\"SIFRA_ARTIKLA\" = a.\"SIFRA\" AND "
            "n.\"KOLICINA\" > 0) ORDER BY a.\"SIFRA\" LIMIT 12"));
        with.Exec();
        while (with.Next()) {
            articles << with.Text(0);
        }
    }
    ASSERT_EQ(articles.size(), 3 * kEach);
    const QJsonObject example = QJsonDocument::fromJson(Example("izmjena.json")).object();
    auto change = [&](const QString& article, const QString& name) {
        QJsonObject o = example;
        o.insert(QStringLiteral("stavke"),
                 QJsonArray{QJsonObject{{QStringLiteral("artikal"), article},
                                        {QStringLiteral("cijena"), 9.99}}});
        return File(name, QJsonDocument(o).toJson());
    };
    // Price changes 1 … 8 to undo, each of its own article.
    for (int i = 0; i < 2 * kEach; ++i) {
        const ZodractlRun run =
            RunZodractl({QStringLiteral("post"), m_company,
                         change(articles.at(i), QStringLiteral("p%1.json").arg(i))});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    RunFailures failures;
    QList<int> numbers;  // of the new ones and of the cancellations
    static const QRegularExpression numbered(QStringLiteral("pod brojem (\\d+)"));
    const QStringList one{QStringLiteral("--skladiste"), QStringLiteral("1"),
                          QStringLiteral("--da")};
    const auto poster = [&] {
        for (int i = 0; i < kEach; ++i) {
            const ZodractlRun run = RunZodractl(
                {QStringLiteral("post"), m_company,
                 change(articles.at(2 * kEach + i), QStringLiteral("n%1.json").arg(i))});
            const auto match = numbered.match(run.out);
            failures.Check(run.exitCode == 0 && match.hasMatch(), QStringLiteral("post"), run);
            QThread::msleep(20);
        }
    };
    const auto canceller = [&] {
        for (int n = 1; n <= kEach; ++n) {
            const ZodractlRun run =
                RunZodractl(QStringList{QStringLiteral("cancel"), m_company,
                                        QStringLiteral("izmjena"), QString::number(n)} +
                            one);
            failures.Check(
                run.exitCode == 0 && run.out.startsWith(QStringLiteral(
                                         "Storno izmjene cijena je proknjižen pod brojem")),
                QStringLiteral("storno %1").arg(n), run);
            const auto match = numbered.match(run.out);
            if (match.hasMatch()) {
                std::lock_guard<std::mutex> guard(failures.Mutex());
                numbers << match.captured(1).toInt();
            }
            QThread::msleep(20);
        }
    };
    const auto deleter = [&] {
        for (int n = kEach + 1; n <= 2 * kEach; ++n) {
            const ZodractlRun run =
                RunZodractl(QStringList{QStringLiteral("delete"), m_company,
                                        QStringLiteral("izmjena"), QString::number(n)} +
                            one);
            failures.Check(run.exitCode == 0 &&
                               run.out.trimmed() ==
                                   QStringLiteral("Izmjena cijena broj %1 je izbrisana.").arg(n),
                           QStringLiteral("brisanje %1").arg(n), run);
            QThread::msleep(20);
        }
    };
    RunBesideCompaction(m_company, {poster, canceller, deleter}, failures, 5);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(QSet<int>(numbers.begin(), numbers.end()).size(), numbers.size());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 2 * kEach);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\" WHERE \"STORNO\"")),
              kEach);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
    ExpectStockSound();
}

}  // namespace
