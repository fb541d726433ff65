// A printed total is the sum of the printed amounts: sums printed at fixed decimals add their
// values rounded to those decimals, in every band and scope; amounts just below a half cent
// print rounded up; carried sums of a paged book add amounts at the cent.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "data/Transaction.h"
#include "reports/PagedBook.h"
#include "reports/ReportEngine.h"
#include "reports/ReportTestSupport.h"

namespace zodra::reports {
namespace {

class PrintedTotals : public test::CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        db = Open();
        db->ExecRaw(
            QStringLiteral("CREATE TABLE \"TEST_IZNOSI\" (\"ID\" INTEGER PRIMARY KEY, "
                           "\"GRUPA\" TEXT, \"IZNOS\" DOUBLE PRECISION)"));
    }

    void Add(const QString& group, double amount) {
        db->Exec(QStringLiteral("INSERT INTO \"TEST_IZNOSI\" (\"GRUPA\", \"IZNOS\") VALUES (?, ?)"),
                 {group, amount});
    }

    // The text of the report rendered from a definition whose data is TEST_IZNOSI by ID.
    QString Printed(const QString& layout) {
        QFile f(folder.filePath(QStringLiteral("iznosi.rpt")));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write((QStringLiteral("report \"Iznosi\"\npage A4 portrait\nmargins 15 10 15 10\n"
                                "font \"DejaVu Sans\" 9\ndata\n  from \"TEST_IZNOSI\"\n  order "
                                "{TEST_IZNOSI.GRUPA}, {TEST_IZNOSI.ID}\nend\n") +
                 layout)
                    .toUtf8());
        f.close();
        ReportRequest request;
        request.reportFile = QStringLiteral("iznosi.rpt");
        ReportEngine engine(*db, folder.path());
        const QString pdf = folder.filePath(QStringLiteral("iznosi.pdf"));
        engine.ToPdf(request, pdf);
        return test::PdfText(pdf);
    }

    std::unique_ptr<Database> db;
    QTemporaryDir folder;
};

TEST_F(PrintedTotals, SumsAtFixedDecimalsAddTheAmountsAsPrinted) {
    Add(QStringLiteral("A"), 0.125);
    Add(QStringLiteral("A"), 0.125);
    double merged = 1 * 12.0375;
    merged += 9 * 12.0375;  // 120.37499999999999
    Add(QStringLiteral("B"), merged);
    Add(QStringLiteral("B"), 0.10);
    Add(QStringLiteral("B"), 29.90);
    const QString printed = Printed(QStringLiteral(
        "group {TEST_IZNOSI.GRUPA}\n  footer\n"
        "    text \"Grupa {TEST_IZNOSI.GRUPA}:\" at 0 0 width 30\n"
        "    field sum({TEST_IZNOSI.IZNOS}) at 40 0 width 40 format \"Standard\"\n"
        "  end\nend\n"
        "detail\n  field {TEST_IZNOSI.IZNOS} at 0 0 width 40 format \"Standard\"\nend\n"
        "report-footer\n"
        "  field \"Ukupno \" & format(sum({TEST_IZNOSI.IZNOS}), \"0.00\") at 0 0 width 80\n"
        "  field sum({TEST_IZNOSI.IZNOS}) at 0 6 width 40 format \"#,##0.00\"\n"
        "  field sum({TEST_IZNOSI.IZNOS}) at 0 12 width 40\n"
        "end\n"));
    QStringList lines;
    for (const QString& line : printed.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        lines << line.simplified();
    }
    // The lines as printed, and each group's total of them.
    EXPECT_EQ(lines.count(QStringLiteral("0,13")), 2) << printed.toStdString();
    EXPECT_TRUE(lines.contains(QStringLiteral("120,38")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Grupa A: 0,26")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Grupa B: 150,38")));
    // The report's totals at two decimals: 0,13 + 0,13 + 120,38 + 0,10 + 29,90, whether the
    // field's format or format() prints them.
    EXPECT_TRUE(lines.contains(QStringLiteral("150,64")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Ukupno 150,64")));
    // Without a fixed number of decimals the sum adds the values as they are.
    EXPECT_TRUE(lines.contains(QStringLiteral("150,625")));
}

TEST(PrintedTotalsBook, CarriedSumsAddTheBookingsAtTheCent) {
    std::vector<double> carried;
    PagedBook book(2, 1, [&](const PagedBook::Row& row) {
        if (row.kind == PagedBook::Row::Kind::CarryOut) {
            carried.push_back(row.amounts[0]);
        }
    });
    book.Start();
    book.Add({0.125});
    book.Add({0.125});
    book.Add({0.1});
    book.Add({0.2});
    ASSERT_EQ(carried.size(), 2u);
    EXPECT_EQ(carried[0], 0.26);
    EXPECT_EQ(carried[1], 0.56);  // not 0.5600000000000001
    EXPECT_EQ(book.Sums()[0], 0.56);
}

TEST_F(PrintedTotals, TheCashBookBalanceAddsTheVouchersAtTheCent) {
    test::AddVoucher(*db, cashbook::VoucherKind::Receipt, 1, 2026, 1, QDate(2026, 3, 2), 0.125);
    test::AddVoucher(*db, cashbook::VoucherKind::Receipt, 1, 2026, 2, QDate(2026, 3, 2), 0.125);
    test::AddVoucher(*db, cashbook::VoucherKind::Payment, 1, 2026, 1, QDate(2026, 3, 3), 0.1);
    const cashbook::CashBookTotals totals =
        cashbook::BuildCashBookReport(*db, 7, 1, 2026, QDate(2026, 1, 1), QDate(2026, 12, 31));
    EXPECT_EQ(totals.bookings, 3);
    EXPECT_EQ(totals.receipts, 0.26);
    EXPECT_EQ(totals.payments, 0.1);
    EXPECT_EQ(totals.balance, 0.16);
}

}  // namespace
}  // namespace zodra::reports
