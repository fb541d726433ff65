// The book of receipts and expenditures and the inventory book on the demo company: the daily
// takings entry written by retail payments and rebuilt after a cancellation, entries posted by
// two programs at once beside a compaction, and the inventory book's sums and carries against
// plain SQL over the trade book.

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QSet>
#include <map>

#include "books/InventoryBook.h"
#include "books/KpiBook.h"
#include "data/Rounding.h"
#include "data/Statement.h"
#include "support/ZodractlCompany.h"

using namespace zodra;
using namespace zodra::test;

namespace {

constexpr int kYear = 2026;

class KpiZodractlTest : public ZodractlCompanyTest {
protected:
    // A register sale of the example file on `date`, paid 1.00 in cash and 0.50 by card.
    QString Sale(const QString& name, const char* date) {
        QJsonObject sale = ReadJson(SourceFile("docs/examples/maloprodaja.json"));
        sale.insert(QStringLiteral("datum"), QString::fromLatin1(date));
        return File(name, sale);
    }
    void SetMark(const QString& mark) {
        Open()->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OZNAKA_NA_RACUNU\" = ?"),
                     {mark});
    }
    // The day's takings by plain SQL: collections of retail invoices that day, and the net part
    // by the ratio over the lines of the invoices collected that day.
    std::pair<double, double> Takings(const QString& day) {
        auto db = Open();
        const double gross =
            db->Scalar(QStringLiteral(
                           "SELECT SUM(n.\"Iznos\") FROM \"NAPLATA\" n, \"RACUNI\" r WHERE "
                           "r.\"SKLADISTE\" = n.\"Skladište\" AND r.\"IRA\" = n.\"IRA\" AND "
                           "r.\"GODINA\" = n.\"Godina\" AND r.\"BROJ RACUNA\" = n.\"Broj računa\" "
                           "AND r.\"UVJET PRODAJE\" = 1 AND n.\"Datum\" = ?"),
                       {day})
                .toDouble();
        Statement s(*db, QStringLiteral("SELECT SUM(\"VRIJEDNOST_\"), SUM(\"UKUPNO_\") FROM "
                                        "\"STAVKE_RACUNA\" WHERE \"IRA\" = 1 AND \"BROJ_RACUNA\" "
                                        "IN (SELECT \"Broj računa\" FROM \"NAPLATA\" WHERE "
                                        "\"Datum\" = ? AND \"IRA\" = 1)"));
        s.Exec({day});
        EXPECT_TRUE(s.Next());
        return {gross, RoundMoney(gross * s.Double(0) / s.Double(1))};
    }
    std::vector<books::KpiEntry> DayEntries(const QString& day) {
        std::vector<books::KpiEntry> found;
        for (const books::KpiEntry& e : books::ListKpiEntries(*Open(), kYear)) {
            if (e.date == QDate::fromString(day, Qt::ISODate) &&
                e.description == QStringLiteral("promet u gotovini")) {
                found.push_back(e);
            }
        }
        return found;
    }
};

TEST_F(KpiZodractlTest, RetailPaymentsWriteOneTakingsEntryADayAndCancellationRebuildsIt) {
    // Not taxed on collection: payments leave the book alone.
    ASSERT_EQ(Run(Args("post", Sale(QStringLiteral("a.json"), "2026-03-09"), "--da")).exitCode, 0);
    EXPECT_TRUE(books::ListKpiEntries(*Open(), kYear).empty());

    SetMark(QStringLiteral("R-2"));
    QList<int> sold;
    for (int i = 0; i < 2; ++i) {
        const ZodractlRun run =
            Run(Args("post", Sale(QStringLiteral("b%1.json").arg(i), "2026-03-10"), "--da"));
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        sold << PostedNumber(run.out);
    }
    std::vector<books::KpiEntry> day = DayEntries(QStringLiteral("2026-03-10"));
    ASSERT_EQ(day.size(), 1u);  // two payments, one entry
    const auto [gross, net] = Takings(QStringLiteral("2026-03-10"));
    EXPECT_DOUBLE_EQ(gross, 3.0);
    EXPECT_TRUE(MoneyEqual(day[0].amounts[books::kCashReceipts], gross));
    EXPECT_TRUE(MoneyEqual(day[0].amounts[books::kReceiptsTotal], net));
    EXPECT_TRUE(MoneyEqual(day[0].amounts[books::kReceiptsVat], gross - net));
    EXPECT_LT(net, gross);
    EXPECT_EQ(day[0].voucher, QStringLiteral("-"));
    EXPECT_EQ(day[0].type, 1);

    // Cancelled the same day: the counter-payments net the entry down, under its own number.
    const ZodractlRun cancelled = Run(Args("cancel racun", QString::number(sold[1]),
                                           "--skladiste 1 --knjiga 1 --datum 10.03.2026 --da"));
    ASSERT_EQ(cancelled.exitCode, 0) << cancelled.err.toStdString();
    const std::vector<books::KpiEntry> after = DayEntries(QStringLiteral("2026-03-10"));
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].number, day[0].number);
    EXPECT_TRUE(MoneyEqual(after[0].amounts[books::kCashReceipts], 1.5));
    EXPECT_TRUE(MoneyEqual(after[0].amounts[books::kCashReceipts],
                           Takings(QStringLiteral("2026-03-10")).first));
    EXPECT_TRUE(MoneyEqual(after[0].amounts[books::kReceiptsTotal],
                           Takings(QStringLiteral("2026-03-10")).second));
}

TEST_F(KpiZodractlTest, TwoRegistersAtOnceLeaveOneTakingsEntryForTheDay) {
    SetMark(QStringLiteral("R-2"));
    RunFailures failures;
    const QList<int> sold = PostBesideCompaction(
        2, 3,
        [&](int worker, int i) {
            return Sale(QStringLiteral("r%1-%2.json").arg(worker).arg(i), "2026-03-12");
        },
        failures, {QStringLiteral("--da")}, QStringLiteral("naplata je upisana"));
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(sold.size(), 6);
    const std::vector<books::KpiEntry> day = DayEntries(QStringLiteral("2026-03-12"));
    ASSERT_EQ(day.size(), 1u);
    EXPECT_TRUE(MoneyEqual(day[0].amounts[books::kCashReceipts], 6 * 1.5));
    EXPECT_TRUE(MoneyEqual(day[0].amounts[books::kReceiptsTotal],
                           Takings(QStringLiteral("2026-03-12")).second));
}

TEST_F(KpiZodractlTest, TwoProgramsPostEntriesAtOnceBesideACompaction) {
    constexpr int kEach = 5;
    RunFailures failures;
    const QList<int> reported = PostBesideCompaction(
        2, kEach,
        [&](int worker, int i) {
            return File(
                QStringLiteral("k%1-%2.json").arg(worker).arg(i),
                QJsonObject{{QStringLiteral("vrsta"), QStringLiteral("kpi")},
                            {QStringLiteral("skladiste"), 1},
                            {QStringLiteral("datum"), QStringLiteral("2026-04-02")},
                            {QStringLiteral("opis"), QStringLiteral("Program %1").arg(worker)},
                            {QStringLiteral("primici_na_ziro_racun"), 10.5},
                            {QStringLiteral("pdv_u_primicima"), 2.1}});
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    ASSERT_EQ(reported.size(), 2 * kEach);
    EXPECT_EQ(QSet<int>(reported.begin(), reported.end()).size(), 2 * kEach);
    const std::vector<books::KpiEntry> entries = books::ListKpiEntries(*Open(), kYear);
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(2 * kEach));
    EXPECT_EQ(entries.back().number, 2 * kEach);
    EXPECT_DOUBLE_EQ(entries.back().amounts[books::kReceiptsTotal], 8.4);

    // A file with an amount that is not a number, and a description too long, write nothing.
    const ZodractlRun bad =
        Run({QStringLiteral("post"),
             File(QStringLiteral("bad.json"),
                  QJsonObject{{QStringLiteral("vrsta"), QStringLiteral("kpi")},
                              {QStringLiteral("datum"), QStringLiteral("2026-04-02")},
                              {QStringLiteral("opis"), QString(256, u'a')}})});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_TRUE(bad.err.contains(QStringLiteral("Opis je duži od 255 znakova !")))
        << bad.err.toStdString();

    // Delete: an entry that is there, then one that is not.
    EXPECT_EQ(Run(Args("delete kpi 3 --skladiste 1 --da")).exitCode, 0);
    const ZodractlRun missing = Run(Args("delete kpi 3 --skladiste 1 --da"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(
        QStringLiteral("Ne postoji stavka knjige primitaka i izdataka pod rednim brojem 3.")));
    EXPECT_EQ(books::ListKpiEntries(*Open(), kYear).size(),
              static_cast<std::size_t>(2 * kEach - 1));

    // 9 entries make the first page; the rest, the second.
    const QString pdf = m_dir.filePath(QStringLiteral("kpi.pdf"));
    const ZodractlRun printed = Run(Args("kpi --od 01.01.2026 --do 31.12.2026 --pdf", pdf));
    EXPECT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    EXPECT_TRUE(printed.out.contains(QStringLiteral("(stranica: 2)"))) << printed.out.toStdString();
}

TEST_F(KpiZodractlTest, InventoryBookAgreesWithTheTradeBook) {
    auto db = Open();
    const QDate from(kYear, 3, 1);
    const QDate to(kYear, 3, 31);
    const books::InventoryBookTotals march = books::BuildInventoryBook(*db, 5, 1, kYear, from, to);
    Statement plain(*db,
                    QStringLiteral("SELECT COUNT(*), SUM(\"NABAVA_VRIJEDNOST\"), "
                                   "SUM(\"PRODAJA_VRIJEDNOST\") FROM "
                                   "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = 1 "
                                   "AND \"GODINA\" = ? AND \"DATUM\" >= ? AND \"DATUM\" <= ?"));
    plain.Exec({kYear, from, to});
    ASSERT_TRUE(plain.Next());
    ASSERT_GT(plain.Int(0), 0);
    EXPECT_EQ(march.movements, plain.Int(0));
    EXPECT_TRUE(MoneyEqual(march.charged, plain.Double(1)));
    EXPECT_TRUE(MoneyEqual(march.discharged, plain.Double(2)));
    plain.Finish();

    // The whole year: more than one page; every page's own movements sum to the difference of
    // its carries, and each carry goes over unchanged.
    const books::InventoryBookTotals year =
        books::BuildInventoryBook(*db, 5, 1, kYear, QDate(kYear, 1, 1), QDate(kYear, 12, 31));
    ASSERT_GT(year.movements, books::kInventoryRowsPerPage);
    EXPECT_EQ(year.pages, year.movements / books::kInventoryRowsPerPage + 1);
    Statement rows(*db, QStringLiteral("SELECT \"BROJ_STRANICE\", COALESCE(\"RBR\", 0), "
                                       "\"ISPRAVA\", \"ZADUZENJE\", \"RAZDUZENJE\" FROM "
                                       "\"KNJIGA_POPISA\" WHERE \"SESIJA\" = 5 ORDER BY \"ID\""));
    rows.Exec();
    std::map<int, MoneyTotal> charged;
    std::map<int, int> perPage;
    std::map<int, double> in;
    std::map<int, double> out;
    int lastNumber = 0;
    while (rows.Next()) {
        const int page = rows.Int(0);
        if (rows.Int(1) > 0) {
            EXPECT_EQ(rows.Int(1), lastNumber + 1);
            lastNumber = rows.Int(1);
            charged[page] += rows.Double(3);
            ++perPage[page];
        } else if (rows.Text(2).startsWith(QStringLiteral("DONOS SA STRANE "))) {
            EXPECT_EQ(rows.Text(2), QStringLiteral("DONOS SA STRANE %1").arg(page - 1));
            in[page] = rows.Double(3);
        } else {
            EXPECT_EQ(rows.Text(2), QStringLiteral("PRIJENOS NA STRANICU %1").arg(page + 1));
            out[page] = rows.Double(3);
        }
    }
    EXPECT_EQ(lastNumber, year.movements);
    EXPECT_EQ(perPage[1], books::kInventoryRowsPerPage);
    EXPECT_EQ(static_cast<int>(out.size()), year.pages - 1);
    for (const auto& [page, carried] : out) {
        EXPECT_TRUE(MoneyEqual(carried - in[page], charged[page].Value())) << page;
        EXPECT_DOUBLE_EQ(in[page + 1], carried) << page;
    }
    EXPECT_TRUE(MoneyEqual(out.rbegin()->second + charged[year.pages].Value(), year.charged));

    // The three printouts from the command line.
    for (const QString& kind :
         {QStringLiteral("kp1"), QStringLiteral("kp"), QStringLiteral("kp_sum")}) {
        const ZodractlRun run =
            Run(Args("kp --skladiste 1 --od 01.01.2026 --do 31.12.2026 --pdf",
                     m_dir.filePath(kind + QStringLiteral(".pdf")), "--ispis", kind));
        EXPECT_EQ(run.exitCode, 0) << kind.toStdString() << run.err.toStdString();
    }
}

}  // namespace
