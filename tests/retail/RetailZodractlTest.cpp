// The register's zodractl door: sales posted by two programs beside a compaction, then cancelled
// and deleted through the invoice's doors.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>

#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// The demo company with the example receipt posted (240 pieces of PI-015) and card type 9. Its
// wholesale invoices of book 1 hold numbers the retail numbering of that book steps over.
class RetailZodractlTest : public ZodractlCompanyTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(ZodractlCompanyTest::SetUp());
        auto db = Open();
        db->Exec(
            QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"SIFRA\", \"NAZIV\") VALUES (9, "
                           "'Maestro')"));
        m_invoices = Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\""));
    }
    static int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
        return db.Scalar(sql, params).toInt();
    }
    QString Sale(const QString& name, const QString& cashier) {
        QJsonObject sale = ReadJson(SourceFile("docs/examples/maloprodaja.json"));
        sale.insert(QStringLiteral("blagajnik"), cashier);
        sale.insert(QStringLiteral("placanje"), QJsonObject{{QStringLiteral("gotovina"), 0.5},
                                                            {QStringLiteral("kartica"), 0.25},
                                                            {QStringLiteral("tip_kartice"), 9}});
        return File(name, sale);
    }
    int m_invoices = 0;
};

TEST_F(RetailZodractlTest, TwoRegistersPostAtOnceBesideACompaction) {
    constexpr int kEach = 5;
    RunFailures failures;
    const QList<int> reported = PostBesideCompaction(
        2, kEach,
        [&](int worker, int i) {
            return Sale(QStringLiteral("m%1-%2.json").arg(worker).arg(i),
                        QStringLiteral("Kasa%1").arg(worker));
        },
        failures, {QStringLiteral("--da")}, QStringLiteral("naplata je upisana"));
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
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
        EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) || '/' || CAST(SUM(\"KOLICINA\") AS "
                                            "INTEGER) FROM \"STAVKE_RACUNA\" WHERE \"SKLADISTE\" "
                                            "= 1 AND \"IRA\" = 1 AND \"BROJ_RACUNA\" = ?"),
                             {n})
                      .toString(),
                  QStringLiteral("1/3"));
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
    ExpectStockSound();

    // A retail invoice is cancelled and deleted through the invoice's doors in book 1.
    const auto door = [&](const char* verb, int number) {
        return QStringList{QString::fromLatin1(verb), QStringLiteral("racun"),
                           QString::number(number),   QStringLiteral("--skladiste"),
                           QStringLiteral("1"),       QStringLiteral("--knjiga"),
                           QStringLiteral("1"),       QStringLiteral("--da")};
    };
    const ZodractlRun cancelled = Run(door("cancel", reported.first())
                                      << QStringLiteral("--datum") << QStringLiteral("11.03.2026"));
    EXPECT_EQ(cancelled.exitCode, 0) << cancelled.err.toStdString();
    const ZodractlRun deleted = Run(door("delete", reported.last()));
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
    const ZodractlRun run = Run(
        {QStringLiteral("post"), File(QStringLiteral("bad.json"), bad), QStringLiteral("--da")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Tip kartice nije izabran.")))
        << run.err.toStdString();
    auto db = Open();
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")), m_invoices);
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\"")), 0);
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), 0);
}

}  // namespace
