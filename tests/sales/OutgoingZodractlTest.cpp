// The headless doors of offers, pro-formas and delivery notes: posted from files, deleted with
// the question answered No unless --da, never cancelled; delivery notes posted by two programs
// at once beside a compaction, then billed by two programs at once: each note exactly once.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
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

int NumberIn(const QString& out) {
    static const QRegularExpression number(QStringLiteral("pod brojem (\\d+)"));
    const auto match = number.match(out);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

class OutgoingZodractlTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_company = m_dir.filePath(QStringLiteral("firma.mdb"));
        ASSERT_EQ(Ctl({QStringLiteral("demo"), m_company}).exitCode, 0);
        const CtlRun receipt = Ctl({QStringLiteral("post"), m_company,
                                    Source("docs/examples/primka.json"), QStringLiteral("--da")});
        ASSERT_EQ(receipt.exitCode, 0) << receipt.err.toStdString();
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
    QVariant Scalar(const QString& sql, const QVariantList& params = {}) {
        return Open()->Scalar(sql, params);
    }
    QString NoteFile(const QString& name, double quantity) {
        QFile example(Source("docs/examples/otpremnica.json"));
        EXPECT_TRUE(example.open(QIODevice::ReadOnly));
        QJsonObject note = QJsonDocument::fromJson(example.readAll()).object();
        note.insert(QStringLiteral("stavke"),
                    QJsonArray{QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                           {QStringLiteral("kolicina"), quantity}}});
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(note).toJson());
        return path;
    }
    void ExpectStockSound() {
        const CtlRun stock = Ctl({QStringLiteral("stockcheck"), m_company});
        EXPECT_EQ(stock.exitCode, 0) << stock.out.toStdString() << stock.err.toStdString();
    }

    QTemporaryDir m_dir;
    QString m_company;
};

TEST_F(OutgoingZodractlTest, DocumentsArePostedAndDeletedButNeverCancelled) {
    // The demo has made offers: the file's is the next of the book, whatever invoices number.
    const int next = Scalar(QStringLiteral("SELECT COALESCE(MAX(\"BROJ RACUNA\"), 0) + 1 FROM "
                                           "\"PONUDE\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                         .toInt();
    const CtlRun offer = Run({QStringLiteral("post"), Source("docs/examples/ponuda.json")});
    ASSERT_EQ(offer.exitCode, 0) << offer.err.toStdString();
    const int number = NumberIn(offer.out);
    EXPECT_EQ(number, next);
    EXPECT_TRUE(offer.out.startsWith(QStringLiteral("Ponuda je proknjižena pod brojem ")))
        << offer.out.toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT \"DOSPIJECE RACUNA\" FROM \"PONUDE\" WHERE \"BROJ "
                                    "RACUNA\" = ?"),
                     {number})
                  .toDate(),
              QDate(2026, 3, 31));
    const QStringList del{QStringLiteral("delete"), QStringLiteral("ponuda"),
                          QString::number(number), QStringLiteral("--skladiste"),
                          QStringLiteral("1")};
    EXPECT_EQ(Run(del).exitCode, 1);
    auto offers = [&] {
        return Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PONUDE\" WHERE \"BROJ RACUNA\" = ?"),
                      {number})
            .toInt();
    };
    EXPECT_EQ(offers(), 1);
    EXPECT_EQ(Run(QStringList(del) << QStringLiteral("--da")).exitCode, 0);
    EXPECT_EQ(offers(), 0);
    const CtlRun missing = Run(QStringList(del) << QStringLiteral("--da"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Ne postoji proknjižena ponuda broj ") +
                                     QString::number(number)));

    const CtlRun note = Run({QStringLiteral("post"), Source("docs/examples/otpremnica.json")});
    ASSERT_EQ(note.exitCode, 0) << note.err.toStdString();
    const QString noteNumber = QString::number(NumberIn(note.out));
    const CtlRun cancel = Run({QStringLiteral("cancel"), QStringLiteral("otpremnica"), noteNumber,
                               QStringLiteral("--skladiste"), QStringLiteral("1")});
    EXPECT_EQ(cancel.exitCode, 2);
    EXPECT_TRUE(cancel.err.contains(QStringLiteral("se ne stornira")));
    EXPECT_EQ(Run({QStringLiteral("delete"), QStringLiteral("otpremnica"), noteNumber,
                   QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")})
                  .exitCode,
              0);
    ExpectStockSound();
}

TEST_F(OutgoingZodractlTest, TwoProgramsPostAndBillDeliveryNotesAtOnceBesideACompaction) {
    constexpr int kEach = 4;
    std::mutex mutex;
    QStringList failures;
    int posted = 0;
    auto compact = [&] {
        for (int i = 0; i < 4; ++i) {
            const CtlRun run = Run({QStringLiteral("compact")});
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode != 0 && !(run.exitCode == 1 && run.err.startsWith(QStringLiteral(
                                                                "Baza je otvorena na drugom")))) {
                failures << QStringLiteral("compact: %1 %2").arg(run.exitCode).arg(run.err);
            }
            QThread::msleep(30);
        }
    };
    auto post = [&](int worker) {
        for (int i = 0; i < kEach; ++i) {
            const CtlRun run =
                Run({QStringLiteral("post"),
                     NoteFile(QStringLiteral("o%1-%2.json").arg(worker).arg(i), 1 + worker)});
            std::lock_guard<std::mutex> guard(mutex);
            if (run.exitCode == 0 && NumberIn(run.out) > 0) {
                ++posted;
            } else {
                failures << QStringLiteral("post %1/%2: %3 %4")
                                .arg(worker)
                                .arg(i)
                                .arg(run.exitCode)
                                .arg(run.err);
            }
        }
    };
    {
        std::thread a(post, 0), b(post, 1), c(compact);
        a.join();
        b.join();
        c.join();
    }
    ASSERT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
    ASSERT_EQ(posted, 2 * kEach);
    const int notes = Scalar(QStringLiteral("SELECT COUNT(*) FROM \"OTPREMNICE\" WHERE "
                                            "\"BROJ_RACUNA\" IS NULL"))
                          .toInt();
    EXPECT_GE(notes, 2 * kEach);
    const double noteQuantity = sqlvalue::ToDouble(Scalar(QStringLiteral(
        "SELECT SUM(s.\"KOLICINA\") FROM \"STAVKE_OTPREMNICA\" s JOIN \"OTPREMNICE\" o ON "
        "o.\"SKLADISTE\" = s.\"SKLADISTE\" AND o.\"GODINA\" = s.\"GODINA\" AND "
        "o.\"BROJ_OTPREMNICE\" = s.\"BROJ_OTPREMNICE\" WHERE o.\"SKLADISTE\" = 1 AND "
        "o.\"BROJ_RACUNA\" IS NULL AND "
        "s.\"TIP_STAVKE\" = 'ART'")));
    const int invoicesBefore = Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt();
    const int lastInvoice = Scalar(QStringLiteral("SELECT MAX(\"BROJ RACUNA\") FROM \"RACUNI\" "
                                                  "WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                                .toInt();
    const double stockBefore = sqlvalue::ToDouble(
        Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1")));

    int billedRuns = 0;
    auto bill = [&] {
        const CtlRun run =
            Run({QStringLiteral("invoice-deliveries"), QStringLiteral("--od"),
                 QStringLiteral("01.01.2026"), QStringLiteral("--do"), QStringLiteral("31.12.2026"),
                 QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
        std::lock_guard<std::mutex> guard(mutex);
        if (run.exitCode == 0) {
            ++billedRuns;
        } else if (!run.err.contains(QStringLiteral("nema otpremnica za koje treba"))) {
            failures << QStringLiteral("bill: %1 %2").arg(run.exitCode).arg(run.err);
        }
    };
    {
        std::thread a(bill), b(bill), c(compact);
        a.join();
        b.join();
        c.join();
    }
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
    EXPECT_GE(billedRuns, 1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 "
                                    "AND \"BROJ_RACUNA\" IS NULL"))
                  .toInt(),
              0);
    // Every note's quantity is on exactly one new invoice, and no lot moved again.
    EXPECT_DOUBLE_EQ(
        sqlvalue::ToDouble(
            Scalar(QStringLiteral(
                       "SELECT SUM(s.\"KOLICINA\") FROM \"STAVKE_RACUNA\" s JOIN \"RACUNI\" r "
                       "ON r.\"SKLADISTE\" = s.\"SKLADISTE\" AND r.\"IRA\" = s.\"IRA\" AND "
                       "r.\"GODINA\" = s.\"GODINA\" AND r.\"BROJ RACUNA\" = s.\"BROJ_RACUNA\" "
                       "WHERE r.\"SKLADISTE\" = 1 AND r.\"IRA\" = 1 AND r.\"BROJ RACUNA\" > ? AND "
                       "r.\"OTPREMNICA\" IS NOT NULL AND r.\"SKIDA\" = FALSE AND "
                       "s.\"TIP_STAVKE\" = 'ART'"),
                   {lastInvoice})),
        noteQuantity);
    EXPECT_GT(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt(), invoicesBefore);
    EXPECT_DOUBLE_EQ(sqlvalue::ToDouble(Scalar(QStringLiteral(
                         "SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1"))),
                     stockBefore);
    // Every binding names an invoice that exists.
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"OTPREMNICE\" o WHERE o.\"SKLADISTE\" = "
                                    "1 AND NOT EXISTS "
                                    "(SELECT 1 FROM \"RACUNI\" r WHERE r.\"SKLADISTE\" = "
                                    "o.\"SKLADISTE_RACUNA\" AND r.\"IRA\" = o.\"IRA_RACUNA\" AND "
                                    "r.\"GODINA\" = o.\"GODINA_RACUNA\" AND r.\"BROJ RACUNA\" = "
                                    "o.\"BROJ_RACUNA\")"))
                  .toInt(),
              0);
    ExpectStockSound();
}

}  // namespace
