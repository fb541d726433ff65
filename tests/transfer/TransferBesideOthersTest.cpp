// The transfers as separate programs beside the company's other work: a receipt and delivery-note
// transfer and a year transfer each run while another program posts receipts and a third
// compacts. Nothing
// reported may be missing or stored twice, numbers and trade-book positions stay gap-free, and
// the company's checks find nothing wrong.

#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <map>

#include "support/ZodractlCompany.h"

namespace zodra::test {
namespace {

class TransferBesideOthersTest : public ZodractlCompanyTest {
protected:
    // A program posting the example receipt `count` times under supplier documents "VP-i",
    // each number it reports kept in `numbers`.
    std::function<void()> Poster(int count, RunFailures& failures, QList<int>& numbers,
                                 QStringList& documents) {
        return [this, count, &failures, &numbers, &documents] {
            QJsonObject receipt = ReadJson(SourceFile("docs/examples/primka.json"));
            for (int i = 0; i < count; ++i) {
                const QString document = QStringLiteral("VP-%1").arg(i);
                receipt.insert(QStringLiteral("dokument"), document);
                const ZodractlRun run =
                    Run({QStringLiteral("post"), File(document + QStringLiteral(".json"), receipt),
                         QStringLiteral("--da")});
                const int number = PostedNumber(run.out);
                failures.Check(run.exitCode == 0 && number > 0, document, run);
                if (number > 0) {
                    std::lock_guard<std::mutex> guard(failures.Mutex());
                    numbers << number;
                    documents << document;
                }
                QThread::msleep(40);
            }
        };
    }

    // Every year's receipt numbers of warehouse 1 (entered ones, below the generated ranges)
    // run 1 … n without a gap or a repeat.
    void ExpectReceiptNumbersWhole() {
        auto db = Open();
        Statement years(
            *db, QStringLiteral("SELECT \"GODINA\", COUNT(*), COUNT(DISTINCT \"BROJ PRIMKE\"), "
                                "MAX(\"BROJ PRIMKE\") FROM \"PRIMKE\" WHERE \"SKLADISTE\" = 1 "
                                "AND \"BROJ PRIMKE\" < 100000 GROUP BY \"GODINA\""));
        years.Exec();
        while (years.Next()) {
            SCOPED_TRACE("year " + std::to_string(years.Int(0)));
            EXPECT_EQ(years.Int(1), years.Int(2));
            EXPECT_EQ(years.Int(3), years.Int(1));
        }
    }

    // The receipts reported by the posting program are each stored once, under their number.
    void ExpectStored(const QList<int>& numbers, const QStringList& documents, int year = 0) {
        auto db = Open();
        for (int i = 0; i < numbers.size(); ++i) {
            EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE "
                                                "\"SKLADISTE\" = 1 AND \"BROJ PRIMKE\" = ? AND "
                                                "\"DOKUMENT DOBAVLJACA\" = ? AND (? = 0 OR "
                                                "\"GODINA\" = ?)"),
                                 {numbers.at(i), documents.at(i), year, year})
                          .toInt(),
                      1)
                << documents.at(i).toStdString();
        }
    }

    void ExpectCompanySound() {
        {
            auto db = Open();
            ExpectTradeBooksWhole(*db, 1);
            EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")).toInt(), 0);
        }
        const ZodractlRun check = Run({QStringLiteral("check")});
        EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
        EXPECT_TRUE(check.out.contains(QStringLiteral("Provjera ispravnosti: ok")));
        ExpectStockSound();
    }
};

// Receipts 1 and 2 of another company carried in three times, and its delivery notes 1 and 2
// as price changes, while receipts are posted and the company compacted: every carried and
// posted document under a number of its own, none lost.
TEST_F(TransferBesideOthersTest, AReceiptTransferBesidePostingsAndCompactionsLosesNothing) {
    const QString source = m_dir.filePath(QStringLiteral("izvor.mdb"));
    ASSERT_EQ(RunZodractl({QStringLiteral("demo"), source}).exitCode, 0);
    const int before = Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")).toInt();
    const int changesBefore =
        Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")).toInt();
    RunFailures failures;
    QList<int> carried;
    QList<int> changes;
    QList<int> posted;
    QStringList documents;
    const auto transfer = [&](const QString& kind, const QString& reports, QList<int>& numbers) {
        const QRegularExpression said(reports + QStringLiteral(": ([0-9, ]+)"));
        const ZodractlRun run = RunZodractl({QStringLiteral("transfer"), source, m_company, kind,
                                             QStringLiteral("--od-broja"), QStringLiteral("1"),
                                             QStringLiteral("--do-broja"), QStringLiteral("2"),
                                             QStringLiteral("--skladiste"), QStringLiteral("1")});
        const auto match = said.match(run.out);
        failures.Check(run.exitCode == 0 && match.hasMatch(), kind, run);
        std::lock_guard<std::mutex> guard(failures.Mutex());
        for (const QString& n : match.captured(1).split(QStringLiteral(", "))) {
            numbers << n.toInt();
        }
    };
    const auto transfers = [&] {
        for (int i = 0; i < 3; ++i) {
            transfer(QStringLiteral("receipts"), QStringLiteral("Proknjižene primke"), carried);
            transfer(QStringLiteral("deliveries"), QStringLiteral("Proknjižene izmjene cijena"),
                     changes);
            QThread::msleep(30);
        }
    };
    RunBesideCompaction(m_company, {transfers, Poster(4, failures, posted, documents)}, failures,
                        6);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_EQ(failures.CompactionFaults(), 0);
    ASSERT_EQ(carried.size(), 3 * 2);
    ASSERT_EQ(changes.size(), 3 * 2);
    ASSERT_EQ(posted.size(), 4);
    const QList<int> all = carried + posted;
    EXPECT_EQ(QSet<int>(all.begin(), all.end()).size(), all.size()) << "a number was given twice";
    EXPECT_EQ(QSet<int>(changes.begin(), changes.end()).size(), changes.size());
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")).toInt(), before + 10);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\" WHERE \"OPIS\" LIKE "
                                    "'IZMJENA CIJENA (NIVELACIJA) %'"))
                  .toInt(),
              6);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")).toInt(),
              changesBefore + 6);
    ExpectStored(posted, documents);
    ExpectReceiptNumbersWhole();
    ExpectCompanySound();
}

// The year closed in the same file while receipts are posted and the company compacted: each
// receipt lands in the old year before the transfer or in the new one after it, and the new
// year's opening stock is exactly the old year's closing stock.
TEST_F(TransferBesideOthersTest, AYearTransferBesidePostingsAndCompactionsLosesNothing) {
    RunFailures failures;
    QList<int> posted;
    QStringList documents;
    const auto newYear = [&] {
        QThread::msleep(150);
        const ZodractlRun run = Run(
            {QStringLiteral("newyear"), QStringLiteral("--datum"), QStringLiteral("01.01.2027")});
        failures.Check(run.exitCode == 0 &&
                           run.out.startsWith(QStringLiteral("Prijenos napravljen uspješno.")),
                       QStringLiteral("newyear"), run);
    };
    RunBesideCompaction(m_company, {newYear, Poster(8, failures, posted, documents)}, failures, 6);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(posted.size(), 8);
    ExpectStored(posted, documents);
    auto db = Open();
    const int before = db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"GODINA\" "
                                                 "= 2026 AND \"DOKUMENT DOBAVLJACA\" LIKE 'VP-%'"))
                           .toInt();
    const int after =
        db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"GODINA\" = "
                                  "2027 AND \"DOKUMENT DOBAVLJACA\" LIKE 'VP-%'"))
            .toInt();
    EXPECT_EQ(before + after, 8);
    RecordProperty("posted_before_the_transfer", before);
    // A workstation that opened the company before the transfer still works in the old year, so
    // a receipt it posts afterwards lands in the old year without reaching the new year's
    // opening. Every receipt posted here is the same, so the old year's closing stock must be the
    // opening stock plus k of them, one k for every article of every warehouse.
    const auto sums = [&](const QString& sql) {
        std::map<std::pair<int, int>, double> out;
        Statement rows = db->Prepare(sql);
        rows.Exec();
        while (rows.Next()) {
            out[{rows.Int(0), rows.Int(1)}] += rows.Double(2);
        }
        return out;
    };
    auto closing = sums(QStringLiteral(
        "SELECT \"SKLADISTE\", \"SIFRA_ARTIKLA\", SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE "
        "\"GODINA\" = 2026 GROUP BY \"SKLADISTE\", \"SIFRA_ARTIKLA\""));
    const QString lines = QStringLiteral(
        "SELECT l.\"SKLADISTE\", l.\"SIFRA\", SUM(l.\"KOLICINA\") FROM \"STAVKE_PRIMKI\" l JOIN "
        "\"PRIMKE\" p ON p.\"SKLADISTE\" = l.\"SKLADISTE\" AND p.\"GODINA\" = l.\"GODINA\" AND "
        "p.\"BROJ PRIMKE\" = l.\"BROJ_PRIMKE\" WHERE l.\"TIP_STAVKE\" = 'ART' AND %1 GROUP BY "
        "l.\"SKLADISTE\", l.\"SIFRA\"");
    auto opening = sums(lines.arg(
        QStringLiteral("p.\"GODINA\" = 2027 AND p.\"DOKUMENT DOBAVLJACA\" = 'Prijenos'")));
    auto one = sums(lines.arg(QStringLiteral("p.\"DOKUMENT DOBAVLJACA\" = 'VP-0'")));
    // k from the receipt's largest article line (its packaging lines move no lots).
    const auto stocked = std::max_element(
        one.begin(), one.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    ASSERT_NE(stocked, one.end());
    const double k =
        std::round((closing[stocked->first] - opening[stocked->first]) / stocked->second);
    EXPECT_GE(k, 0);
    EXPECT_LE(k, before);
    for (const auto& [key, quantity] : closing) {
        SCOPED_TRACE("warehouse " + std::to_string(key.first) + ", article " +
                     std::to_string(key.second));
        EXPECT_NEAR(quantity, opening[key] + k * one[key], 1e-6);
    }
    RecordProperty("posted_into_the_old_year_after_the_transfer", static_cast<int>(k));
    db.reset();
    ExpectReceiptNumbersWhole();
    ExpectCompanySound();
}

}  // namespace
}  // namespace zodra::test
