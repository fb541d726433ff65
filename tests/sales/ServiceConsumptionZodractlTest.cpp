// Services with a bill of articles through zodractl: two programs post beside a compaction, each
// invoice gets one consumption of its own number; then cancelled and deleted from the door.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class ServiceConsumptionZodractlTest : public ZodractlCompanyTest {
protected:
    // The demo company kept at the average price with service consumption on, the example
    // receipt posted into the pooled lots, and the delivery service using up one piece of the
    // receipt's first article per delivery.
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(MakeDemo());
        {
            auto db = Open();
            db->Exec(
                QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = 'Prosječna "
                               "cijena' WHERE \"Naziv\" = 'Vođenje skladišta'"));
            db->Exec(
                QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = 'DA' WHERE "
                               "\"Naziv\" = 'Specifikacije usluga'"));
        }
        ASSERT_NO_FATAL_FAILURE(PostExampleReceipt());
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
        m_invoice = ReadJson(SourceFile("docs/examples/racun.json"));
        ASSERT_FALSE(m_invoice.isEmpty());
    }
    double Stock(Database& db) {
        return db
            .Scalar(QStringLiteral("SELECT \"KOLICINA\" FROM \"NABAVE\" WHERE \"SKLADISTE\" = 1 "
                                   "AND \"BROJ_PRIMKE\" = 0 AND \"SIFRA_ARTIKLA\" = ?"),
                    {m_article})
            .toDouble();
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
        return File(name, invoice);
    }

    QJsonObject m_invoice;
    int m_article = 0;
    double m_stockBefore = 0;
};

TEST_F(ServiceConsumptionZodractlTest, TwoProgramsPostDeliveriesBesideACompactionThenUndoThem) {
    constexpr int kEach = 4;
    RunFailures failures;
    const QList<int> reported = PostBesideCompaction(
        2, kEach,
        [&](int worker, int i) {
            return InvoiceFile(QStringLiteral("r%1-%2.json").arg(worker).arg(i));
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
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
        ExpectTradeBooksWhole(*db, 1);
        EXPECT_DOUBLE_EQ(Stock(*db), m_stockBefore - 2 * kEach);
    }
    ExpectStockSound();

    // --da answers the cancellation's questions, the announcement of the bound document too.
    const QString first = QString::number(reported.first());
    const QStringList cancel{
        QStringLiteral("cancel"),      QStringLiteral("racun"), first,
        QStringLiteral("--skladiste"), QStringLiteral("1"),     QStringLiteral("--datum"),
        QStringLiteral("12.03.2026")};
    const ZodractlRun cancelled = Run(QStringList(cancel) << QStringLiteral("--da"));
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err.toStdString();
    EXPECT_TRUE(cancelled.err.contains(
        QStringLiteral("Na ovaj račun postoje vezane specifikacije i te će specifikacije također "
                       "biti stornirane! Želite li nastaviti? Da")));
    const QString second = QString::number(reported.last());
    const ZodractlRun deleted =
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
    std::vector<int> invoices;
    for (int i = 0; i < 4; ++i) {
        const ZodractlRun run =
            Run({QStringLiteral("post"), InvoiceFile(QStringLiteral("c%1.json").arg(i))});
        ASSERT_TRUE(run.exitCode == 0 && PostedNumber(run.out) > 0) << run.err.toStdString();
        invoices.push_back(PostedNumber(run.out));
    }
    const auto price = [&](int invoice) {
        return Open()
            ->Scalar(QStringLiteral("SELECT \"CIJENA_BEZ_RABATA\" FROM \"STAVKE_RACUNA\" WHERE "
                                    "\"IRA\" = 1 AND \"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = 2"),
                     {invoice})
            .toDouble();
    };
    const QString priceText = QString::number(price(invoices[0]), 'f', 10);
    RunFailures failures;
    RunBesideCompaction(
        m_company, 2,
        [&](int first) {
            for (int round = 1; round <= 3; ++round) {
                for (int invoice : {invoices[first], invoices[first + 2]}) {
                    const ZodractlRun run =
                        Run({QStringLiteral("correct"), QStringLiteral("racun"),
                             QString::number(invoice), QStringLiteral("--stavka"),
                             QStringLiteral("2"), QStringLiteral("--skladiste"),
                             QStringLiteral("1"), QStringLiteral("--kolicina"),
                             QString::number(1 + round), QStringLiteral("--cijena"), priceText,
                             QStringLiteral("--rabat"), QStringLiteral("0")});
                    failures.Check(run.exitCode == 0,
                                   QStringLiteral("%1/%2").arg(invoice).arg(round), run);
                }
            }
        },
        failures, 3);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
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
