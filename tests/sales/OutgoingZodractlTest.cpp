// zodractl's doors of offers, pro-formas and delivery notes: posted, deleted (No unless --da),
// never cancelled; posted and billed by two programs at once beside a compaction.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <algorithm>

#include "data/SqlValue.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class OutgoingZodractlTest : public ZodractlCompanyTest {
protected:
    // An example document of `kind` ("otpremnica", "ponuda", "predracun") for `quantity` of
    // PI-015: the examples' 48 would take two programs' working copies past the lot's free stock.
    QString Doc(const QString& name, const QString& kind, double quantity) {
        QJsonObject doc = ReadJson(SourceFile(kind == QStringLiteral("otpremnica")
                                                  ? "docs/examples/otpremnica.json"
                                                  : "docs/examples/ponuda.json"));
        if (kind != QStringLiteral("otpremnica")) {
            doc.insert(QStringLiteral("vrsta"), kind);
        }
        doc.insert(QStringLiteral("stavke"),
                   QJsonArray{QJsonObject{{QStringLiteral("artikal"), QStringLiteral("PI-015")},
                                          {QStringLiteral("kolicina"), quantity}}});
        return File(name, doc);
    }
    double Real(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToDouble(Scalar(sql, params));
    }
};

TEST_F(OutgoingZodractlTest, DocumentsArePostedAndDeletedButNeverCancelled) {
    // The demo has made offers: the file's is the next of the book, whatever invoices number.
    const int next = Scalar(QStringLiteral("SELECT COALESCE(MAX(\"BROJ RACUNA\"), 0) + 1 FROM "
                                           "\"PONUDE\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                         .toInt();
    const ZodractlRun offer =
        Run({QStringLiteral("post"), SourceFile("docs/examples/ponuda.json")});
    ASSERT_EQ(offer.exitCode, 0) << offer.err.toStdString();
    const int number = PostedNumber(offer.out);
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
    const ZodractlRun missing = Run(QStringList(del) << QStringLiteral("--da"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Ne postoji proknjižena ponuda broj ") +
                                     QString::number(number)));

    const ZodractlRun note =
        Run({QStringLiteral("post"), SourceFile("docs/examples/otpremnica.json")});
    ASSERT_EQ(note.exitCode, 0) << note.err.toStdString();
    const QString noteNumber = QString::number(PostedNumber(note.out));
    const QStringList door{QStringLiteral("otpremnica"), noteNumber, QStringLiteral("--skladiste"),
                           QStringLiteral("1"), QStringLiteral("--da")};
    const ZodractlRun cancel = Run(QStringList{QStringLiteral("cancel")} + door);
    EXPECT_EQ(cancel.exitCode, 2);
    EXPECT_TRUE(cancel.err.contains(QStringLiteral("se ne stornira")));
    EXPECT_EQ(Run(QStringList{QStringLiteral("delete")} + door).exitCode, 0);
    ExpectStockSound();
}

TEST_F(OutgoingZodractlTest, TwoProgramsPostAllKindsAndBillDeliveryNotesAtOnceBesideACompaction) {
    constexpr int kEach = 4;
    const QString books[] = {QStringLiteral("PONUDE"), QStringLiteral("PREDRACUNI")};
    auto lastOf = [&](const QString& table) {
        return Scalar(QStringLiteral("SELECT COALESCE(MAX(\"BROJ RACUNA\"), 0) FROM \"%1\" WHERE "
                                     "\"SKLADISTE\" = 1 AND \"IRA\" = 1")
                          .arg(table))
            .toInt();
    };
    const int lastOffer[] = {lastOf(books[0]), lastOf(books[1])};
    RunFailures failures;
    int posted = 0;
    QList<int> offers[2];  // the numbers reported for offers and for pro-formas
    // Every round a delivery note, and an offer or a pro-forma in turn.
    RunBesideCompaction(
        m_company, 2,
        [&](int worker) {
            for (int i = 0; i < kEach; ++i) {
                const ZodractlRun run = Run(
                    {QStringLiteral("post"), Doc(QStringLiteral("o%1-%2.json").arg(worker).arg(i),
                                                 QStringLiteral("otpremnica"), 1 + worker)});
                failures.Check(run.exitCode == 0 && PostedNumber(run.out) > 0,
                               QStringLiteral("post %1/%2").arg(worker).arg(i), run);
                const QString kind =
                    i % 2 == 0 ? QStringLiteral("ponuda") : QStringLiteral("predracun");
                const ZodractlRun offer = Run(
                    {QStringLiteral("post"),
                     Doc(QStringLiteral("%1%2-%3.json").arg(kind).arg(worker).arg(i), kind, 1)});
                failures.Check(offer.exitCode == 0 && PostedNumber(offer.out) > 0,
                               QStringLiteral("%1 %2/%3").arg(kind).arg(worker).arg(i), offer);
                std::lock_guard<std::mutex> guard(failures.Mutex());
                posted += run.exitCode == 0 && PostedNumber(run.out) > 0 ? 1 : 0;
                offers[i % 2] << PostedNumber(offer.out);
            }
        },
        failures);
    ASSERT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(posted, 2 * kEach);
    // Offers and pro-formas each numbered on from the book's last, none twice, none skipped.
    for (int k = 0; k < 2; ++k) {
        std::sort(offers[k].begin(), offers[k].end());
        QList<int> expected;
        for (int n = lastOffer[k] + 1; n <= lastOffer[k] + kEach; ++n) {
            expected << n;
        }
        EXPECT_EQ(offers[k], expected) << books[k].toStdString();
        EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE \"SKLADISTE\" = 1 AND "
                                        "\"IRA\" = 1 AND \"BROJ RACUNA\" > ?")
                             .arg(books[k]),
                         {lastOffer[k]})
                      .toInt(),
                  kEach)
            << books[k].toStdString();
    }
    const int notes = Scalar(QStringLiteral("SELECT COUNT(*) FROM \"OTPREMNICE\" WHERE "
                                            "\"BROJ_RACUNA\" IS NULL"))
                          .toInt();
    EXPECT_GE(notes, 2 * kEach);
    const double noteQuantity = Real(QStringLiteral(
        "SELECT SUM(s.\"KOLICINA\") FROM \"STAVKE_OTPREMNICA\" s JOIN \"OTPREMNICE\" o ON "
        "o.\"SKLADISTE\" = s.\"SKLADISTE\" AND o.\"GODINA\" = s.\"GODINA\" AND "
        "o.\"BROJ_OTPREMNICE\" = s.\"BROJ_OTPREMNICE\" WHERE o.\"SKLADISTE\" = 1 AND "
        "o.\"BROJ_RACUNA\" IS NULL AND "
        "s.\"TIP_STAVKE\" = 'ART'"));
    const int invoicesBefore = Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt();
    const int lastInvoice = Scalar(QStringLiteral("SELECT MAX(\"BROJ RACUNA\") FROM \"RACUNI\" "
                                                  "WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1"))
                                .toInt();
    const QString stock =
        QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1");
    const double stockBefore = Real(stock);

    int billedRuns = 0;
    RunBesideCompaction(
        m_company, 2,
        [&](int) {
            const ZodractlRun run = Run(
                {QStringLiteral("invoice-deliveries"), QStringLiteral("--od"),
                 QStringLiteral("01.01.2026"), QStringLiteral("--do"), QStringLiteral("31.12.2026"),
                 QStringLiteral("--skladiste"), QStringLiteral("1"), QStringLiteral("--da")});
            failures.Check(run.exitCode == 0 ||
                               run.err.contains(QStringLiteral("nema otpremnica za koje treba")),
                           QStringLiteral("bill"), run);
            std::lock_guard<std::mutex> guard(failures.Mutex());
            billedRuns += run.exitCode == 0 ? 1 : 0;
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    EXPECT_GE(billedRuns, 1);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 "
                                    "AND \"BROJ_RACUNA\" IS NULL"))
                  .toInt(),
              0);
    // Every note's quantity is on exactly one new invoice, and no lot moved again.
    EXPECT_DOUBLE_EQ(
        Real(QStringLiteral(
                 "SELECT SUM(s.\"KOLICINA\") FROM \"STAVKE_RACUNA\" s JOIN \"RACUNI\" r "
                 "ON r.\"SKLADISTE\" = s.\"SKLADISTE\" AND r.\"IRA\" = s.\"IRA\" AND "
                 "r.\"GODINA\" = s.\"GODINA\" AND r.\"BROJ RACUNA\" = s.\"BROJ_RACUNA\" "
                 "WHERE r.\"SKLADISTE\" = 1 AND r.\"IRA\" = 1 AND r.\"BROJ RACUNA\" > ? AND "
                 "r.\"OTPREMNICA\" IS NOT NULL AND r.\"SKIDA\" = FALSE AND "
                 "s.\"TIP_STAVKE\" = 'ART'"),
             {lastInvoice}),
        noteQuantity);
    EXPECT_GT(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")).toInt(), invoicesBefore);
    EXPECT_DOUBLE_EQ(Real(stock), stockBefore);
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
