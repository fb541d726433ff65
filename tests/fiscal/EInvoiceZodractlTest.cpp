#include <gtest/gtest.h>

#include <QFile>

#include "UblValidation.h"
#include "support/ZodractlCompany.h"

namespace zodra::test {
namespace {

class EInvoiceZodractlTest : public ZodractlCompanyTest {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeDemo()); }
    QString Path(const QString& name) { return m_dir.filePath(name); }
    int Invoice(int warehouse, bool cancelled) {
        return Scalar(QStringLiteral("SELECT MIN(\"BROJ RACUNA\") FROM \"RACUNI\" WHERE "
                                     "\"SKLADISTE\" = ? AND \"IRA\" = 1 AND \"STORNO\" = ?"),
                      {warehouse, cancelled})
            .toInt();
    }
};

TEST_F(EInvoiceZodractlTest, WritesTheInvoiceAndRefusesWhatItCannotWrite) {
    const int number = Invoice(1, false);
    const QString key = QStringLiteral("1/%1").arg(number);
    const QString out = Path(QStringLiteral("racun.xml"));
    const ZodractlRun run = Run(
        {QStringLiteral("einvoice"), key, out, QStringLiteral("--skladiste"), QStringLiteral("1")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(),
              QStringLiteral("eRačun %1-1-1-2026 zapisan u %2").arg(number).arg(out));
    EXPECT_EQ(UblSchemaErrors(out, false), QString());

    const struct {
        QStringList args;
        int exitCode;
        QString err;
    } cases[] = {
        {{QStringLiteral("1-1"), out},
         2,
         QStringLiteral("Račun nije ispravno naveden (KNJIGA/BROJ): 1-1")},
        {{key, out, QStringLiteral("--godina"), QStringLiteral("20x6")},
         2,
         QStringLiteral("Godina nije ispravna: 20x6")},
        {{key, out, QStringLiteral("--skladiste"), QStringLiteral("1"),
          QStringLiteral("--odobrenje")},
         1,
         QStringLiteral("Račun broj %1 nije storniran.").arg(number)},
        {{key, Path(QStringLiteral("nema/racun.xml")), QStringLiteral("--skladiste"),
          QStringLiteral("1")},
         1,
         QStringLiteral("Datoteku %1 nije moguće zapisati.")
             .arg(Path(QStringLiteral("nema/racun.xml")))},
    };
    for (const auto& c : cases) {
        QStringList args{QStringLiteral("einvoice")};
        args << c.args;
        const ZodractlRun refused = Run(args);
        EXPECT_EQ(refused.exitCode, c.exitCode) << c.err.toStdString();
        EXPECT_EQ(refused.err.trimmed().section(u'\n', 0, 0), c.err);
    }
}

// Workstations write e-invoices of their warehouses while the company is compacted: each file
// is whole (written beside and renamed into place) and valid.
TEST_F(EInvoiceZodractlTest, SeveralProgramsWriteBesideACompaction) {
    RunFailures failures;
    int numbers[3][2];
    for (int w = 0; w < 3; ++w) {
        numbers[w][0] = Invoice(w + 1, false);
        numbers[w][1] = Invoice(w + 1, true);
    }
    RunBesideCompaction(
        m_company, 3,
        [&](int i) {
            for (int credit = 0; credit < 2; ++credit) {
                QStringList args{QStringLiteral("einvoice"),
                                 m_company,
                                 QStringLiteral("1/%1").arg(numbers[i][credit]),
                                 Path(QStringLiteral("w%1-%2.xml").arg(i).arg(credit)),
                                 QStringLiteral("--skladiste"),
                                 QString::number(i + 1)};
                if (credit) {
                    args << QStringLiteral("--odobrenje");
                }
                const ZodractlRun run = RunZodractl(args);
                failures.Check(run.exitCode == 0, QStringLiteral("einvoice"), run);
            }
        },
        failures);
    EXPECT_TRUE(failures.IsEmpty()) << failures.Text();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(UblSchemaErrors(Path(QStringLiteral("w%1-0.xml").arg(i)), false), QString());
        EXPECT_EQ(UblSchemaErrors(Path(QStringLiteral("w%1-1.xml").arg(i)), true), QString());
    }
}

}  // namespace
}  // namespace zodra::test
