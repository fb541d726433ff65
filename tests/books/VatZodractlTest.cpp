#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include "data/Database.h"
#include "data/Rounding.h"
#include "support/ZodractlCompany.h"

namespace zodra::test {
namespace {

// The demo company without the example receipt: the VAT return reads its invoices only.
class VatZodractlTest : public ZodractlCompanyTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeDemo()); }

    // The first whole month of the demo's invoices.
    QDate DemoMonth() {
        const QDate first = QDate::fromString(
            Scalar(QStringLiteral("SELECT MIN(\"DATUM\") FROM \"RACUNI\"")).toString(),
            Qt::ISODate);
        const QDate next = first.addMonths(1);
        return QDate(next.year(), next.month(), 1);
    }

    static QString Day(const QDate& d) { return d.toString(QStringLiteral("dd.MM.yyyy")); }
};

int StoredNumber(const QString& out) {
    static const QRegularExpression said(QStringLiteral("spremljen pod brojem (\\d+)/"));
    const QRegularExpressionMatch m = said.match(out);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// A month of the demo company on invoice dates: each rate line holds what plain SQL sums for
// that rate over the month's invoices less those cancelled in the month; the stored return
// prints to PDF and is deleted through the same door.
TEST_F(VatZodractlTest, DemoMonthEqualsTheInvoicesSummedBySql) {
    const QDate from = DemoMonth();
    const QDate to = from.addMonths(1).addDays(-1);
    const QString pdf = m_dir.filePath(QStringLiteral("pdv.pdf"));
    const ZodractlRun run =
        Run(Args("vat --od", Day(from), "--do", Day(to), "--spremi --pdf", pdf));
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const int number = StoredNumber(run.out);
    ASSERT_EQ(number, 1) << run.out.toStdString();
    EXPECT_TRUE(QFile(pdf).size() > 1000);

    auto db = Open();
    int taxedLines = 0;
    for (const char* line : {"201", "202", "203"}) {
        const double rate =
            db->Scalar(QStringLiteral("SELECT \"STOPA\" FROM \"PDV_VRSTE\" WHERE \"REDAK\" = ?"),
                       {QString::fromLatin1(line).toInt()})
                .toDouble();
        const QString sum = QStringLiteral(
            "SELECT COALESCE(SUM(s.\"VRIJEDNOST_\"), 0), COALESCE(SUM(s.\"POREZ_IZNOS\"), 0) "
            "FROM \"STAVKE_RACUNA\" s JOIN \"RACUNI\" r ON r.\"SKLADISTE\" = s.\"SKLADISTE\" AND "
            "r.\"IRA\" = s.\"IRA\" AND r.\"GODINA\" = s.\"GODINA\" AND r.\"BROJ RACUNA\" = "
            "s.\"BROJ_RACUNA\" WHERE s.\"TIP_OPOREZIVANJA\" IN (10, 12) AND s.\"POREZ_%\" = ? "
            "AND ");
        Statement issued(*db, sum + QStringLiteral("r.\"DATUM\" BETWEEN ? AND ?"));
        issued.Exec({rate, from, to});
        ASSERT_TRUE(issued.Next());
        Statement cancelled(*db, sum + QStringLiteral("r.\"STORNO\" = TRUE AND "
                                                      "r.\"DATUM_STORNA\" BETWEEN ? AND ?"));
        cancelled.Exec({rate, from, to});
        ASSERT_TRUE(cancelled.Next());
        const double base = issued.Double(0) - cancelled.Double(0);
        const double tax = issued.Double(1) - cancelled.Double(1);
        Statement stored(*db, QStringLiteral("SELECT \"OSNOVICA\", \"POREZ\" FROM "
                                             "\"PDV_OBRASCI_STAVKE\" WHERE \"Godina\" = ? AND "
                                             "\"Rbr\" = 1 AND \"OZNAKA\" = ?"));
        stored.Exec({to.year(), QString::fromLatin1(line)});
        ASSERT_TRUE(stored.Next()) << line;
        EXPECT_NEAR(stored.Double(0), base, 1e-6) << line;
        EXPECT_NEAR(stored.Double(1), tax, 1e-6) << line;
        taxedLines += base != 0 ? 1 : 0;
    }
    EXPECT_GT(taxedLines, 0);  // the month has sales to compare

    const QStringList remove = Args("vat --brisi 1 --godina", QString::number(to.year()));
    const ZodractlRun removed = Run(remove);
    EXPECT_EQ(removed.exitCode, 0) << removed.err.toStdString();
    const ZodractlRun again = Run(remove);
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("Ne postoji proknjiženi PDV obrazac broj 1")))
        << again.err.toStdString();
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PDV_OBRASCI_STAVKE\"")).toInt(), 0);
}

// Several programs store returns at once while another compacts the company: every one is
// stored, each under a number of its own, and the form's lines belong to their own return.
TEST_F(VatZodractlTest, ReturnsStoredAtOnceGetNumbersOfTheirOwn) {
    const QDate from = DemoMonth();
    const QDate to = from.addMonths(1).addDays(-1);
    RunFailures failures;
    QList<int> numbers;
    constexpr int kPrograms = 4;
    RunBesideCompaction(
        m_company, kPrograms,
        [&](int worker) {
            const ZodractlRun run = Run(Args("vat --od", Day(from), "--do", Day(to), "--spremi"));
            const int number = StoredNumber(run.out);
            failures.Check(run.exitCode == 0 && number > 0, QString::number(worker), run);
            std::lock_guard<std::mutex> guard(failures.Mutex());
            numbers << number;
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    const QSet<int> distinct(numbers.begin(), numbers.end());
    EXPECT_EQ(distinct, (QSet<int>{1, 2, 3, 4}));
    auto db = Open();
    EXPECT_EQ(
        db->Scalar(QStringLiteral("SELECT COUNT(DISTINCT \"Rbr\") FROM \"PDV_OBRASCI\"")).toInt(),
        kPrograms);
    // Every return has its full set of lines, none has another's.
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(DISTINCT n) FROM (SELECT COUNT(*) AS n "
                                        "FROM \"PDV_OBRASCI_STAVKE\" GROUP BY \"Rbr\") c"))
                  .toInt(),
              1);
}

// A filing without the company's OIB is refused with its message and leaves no file and no
// stored return behind.
TEST_F(VatZodractlTest, XmlWithoutOibIsRefused) {
    ASSERT_EQ(Open()->Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OIB\" = ''")), 1);
    const QString xml = m_dir.filePath(QStringLiteral("pdv.xml"));
    const QDate from = DemoMonth();
    const ZodractlRun run = Run(Args("vat --od", Day(from), "--do",
                                     Day(from.addMonths(1).addDays(-1)), "--spremi --xml", xml));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("OIB poduzeća nije upisan ili nije ispravan")))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(xml));
    EXPECT_EQ(Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PDV_OBRASCI\"")).toInt(), 0);
}

}  // namespace
}  // namespace zodra::test
