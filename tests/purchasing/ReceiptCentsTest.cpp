// One receipt, the same cents in its totals, printout, list and trade book: a line's amount is
// rounded to the cent and a total is the sum of the rounded amounts (docs/money.md).
#include <QProcess>
#include <QTemporaryDir>

#include "ReceiptTestSupport.h"
#include "data/Rounding.h"
#include "purchasing/ReceiptList.h"
#include "purchasing/ReceiptPrint.h"
#include "purchasing/ReceiptSummary.h"
#include "stock/TradeBook.h"
#include "support/Pdf.h"

namespace zodra::test {
namespace {

using namespace purchasing;

constexpr int kValueColumn = 13;  // "Vrijednost bez poreza" of the list of receipts

class ReceiptCentsTest : public ReceiptTest {
protected:
    void SetUp() override {
        ReceiptTest::SetUp();
        washer = AddArticle(QStringLiteral("Podloška M8"));
    }

    // The receipt printed by the command-line tool to a PDF, as text.
    QString PrintedText(int number) {
        const QString pdf = Folder() + QStringLiteral("/primka.pdf");
        const reports::ReportRequest request = ReceiptPrintRequest(*session, number);
        const ZodractlRun run = Zodractl(
            {QStringLiteral("report"), CompanyPath(), request.reportFile,
             QStringLiteral("--selection"), request.selection.ToText(), QStringLiteral("--param"),
             QStringLiteral("BROJ=") + QString::number(number), QStringLiteral("--pdf"), pdf});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        return PdfText(pdf);
    }

    // The first printed line that holds `text`, trimmed.
    static QString PrintedLine(const QString& printed, const QString& text) {
        for (const QString& line : printed.split(QLatin1Char('\n'))) {
            if (line.contains(text)) {
                return line.trimmed();
            }
        }
        return QString();
    }

    // The receipt's row in the list of receipts.
    double ListedValue(int number) {
        const TableData table = ReceiptTable(db(), 1, Year());
        for (int r = 0; r < table.RowCount(); ++r) {
            if (table.Value(r, 0).toInt() == number) {
                return table.Value(r, kValueColumn).toDouble();
            }
        }
        ADD_FAILURE() << "receipt " << number << " is not listed";
        return 0;
    }

    // The receipt's entry in the wholesale trade book, as the book window reads it.
    tradebook::StoredEntry BookEntry(int number) {
        for (const tradebook::StoredEntry& e :
             tradebook::Entries(db(), tradebook::Book::Wholesale, 1, Year(), QDate(Year(), 1, 1),
                                QDate(Year(), 12, 31))) {
            if (e.entry.type == QLatin1String("PRIMKA") && e.entry.documentNumber == number) {
                return e;
            }
        }
        ADD_FAILURE() << "receipt " << number << " has no trade-book entry";
        return {};
    }

    int washer = 0;
};

TEST_F(ReceiptCentsTest, AMergedLineJustBelowTheHalfCentShowsTheSameCentsEverywhere) {
    // 1 × 12.0375, then 9 more merged into the same line: the line holds 120.37499999999999.
    EnterPlain(screw, 1, 10, 12.0375);
    prompter.AnswerYes();
    EnterPlain(screw, 9, 10, 12.0375);
    EnterPlain(nut, 1, 0.05, 0.10);
    EnterPlain(washer, 1, 20, 29.90);
    const int number = Post();
    const std::vector<ReceiptRow> lines =
        receiptlines::Read(db(), ReceiptTarget::Posted(*session, number));
    ASSERT_EQ(lines.size(), 3u);
    // The line keeps its unrounded value; only what is shown and added is rounded.
    EXPECT_LT(lines[0].value, 120.375);
    EXPECT_DOUBLE_EQ(lines[0].quantity, 10);
    EXPECT_EQ(MoneyText(lines[0].value), QStringLiteral("120,38"));

    // The receipt's totals, as the window shows them under the grid.
    const ReceiptTotals totals =
        receiptlines::Totals(db(), ReceiptTarget::Posted(*session, number));
    EXPECT_EQ(totals.value, 150.38);
    EXPECT_EQ(totals.articleValue, 150.38);
    EXPECT_EQ(totals.costValue, 120.05);
    EXPECT_EQ(CurrencyText(totals.value, QStringLiteral("EUR")), QStringLiteral("150,38 EUR"));

    // The list of receipts and the line under it.
    EXPECT_EQ(ListedValue(number), 150.38);
    EXPECT_TRUE(ReceiptTableTotals(db(), 1, Year())
                    .endsWith(QStringLiteral("vrijednost bez poreza 150,38")));

    // The trade book: the stored amount and its balance are the receipt's total.
    const tradebook::StoredEntry entry = BookEntry(number);
    EXPECT_EQ(entry.entry.purchaseValue, 150.38);
    EXPECT_EQ(entry.balance, 150.38);
    EXPECT_EQ(BookValue(number), 150.38);

    // The printout: the line and the totals of the cost and selling value columns.
    const QString printed = PrintedText(number);
    ASSERT_TRUE(printed.contains(QStringLiteral("PRIMKA - KALKULACIJA"))) << printed.toStdString();
    EXPECT_TRUE(
        PrintedLine(printed, QStringLiteral("Vijak M8")).endsWith(QStringLiteral(" 120,38")))
        << printed.toStdString();
    const QString total = PrintedLine(printed, QStringLiteral("UKUPNO"));
    EXPECT_TRUE(total.endsWith(QStringLiteral(" 150,38"))) << total.toStdString();
    EXPECT_TRUE(total.contains(QStringLiteral(" 120,05 ")));
    EXPECT_FALSE(printed.contains(QStringLiteral("120,37")));
    EXPECT_FALSE(printed.contains(QStringLiteral("150,37")));
    ExpectConsistent();
}

TEST_F(ReceiptCentsTest, LinesBelowTheCentAddUpAsTheyAreShown) {
    // Two lines of 0.125 show 0,13 each; the receipt is 0,26 everywhere, not the 0,25 their
    // unrounded sum would round to.
    EnterPlain(screw, 1, 0.1, 0.125);
    EnterPlain(nut, 1, 0.1, 0.125);
    const int number = Post();
    const ReceiptTotals totals =
        receiptlines::Totals(db(), ReceiptTarget::Posted(*session, number));
    EXPECT_EQ(totals.value, 0.26);
    EXPECT_EQ(ListedValue(number), 0.26);
    EXPECT_EQ(BookEntry(number).entry.purchaseValue, 0.26);
    const QString printed = PrintedText(number);
    // The selling value is the last column of a line and of the total.
    EXPECT_TRUE(PrintedLine(printed, QStringLiteral("Vijak M8")).endsWith(QStringLiteral(" 0,13")))
        << printed.toStdString();
    EXPECT_TRUE(
        PrintedLine(printed, QStringLiteral("Matica M8")).endsWith(QStringLiteral(" 0,13")));
    EXPECT_TRUE(PrintedLine(printed, QStringLiteral("UKUPNO")).endsWith(QStringLiteral(" 0,26")));
    EXPECT_FALSE(printed.contains(QStringLiteral("0,25")));

    // A second receipt: the list's total line adds the receipts' totals.
    EnterPlain(washer, 3, 1, 0.335);  // 1.005 → 1,01
    const int second = Post();
    EXPECT_EQ(ListedValue(second), 1.01);
    EXPECT_TRUE(
        ReceiptTableTotals(db(), 1, Year()).endsWith(QStringLiteral("vrijednost bez poreza 1,27")));
    EXPECT_EQ(LastBalance(), 1.27);
}

TEST_F(ReceiptCentsTest, ASpreadDiscountLeavesNoCentBehind) {
    // 10.00 over three lines of 10.00: the line with the largest share takes the missing cent,
    // so the lines add up to the invoice's 10,00 and posting finds no difference.
    EnterPlain(screw, 1, 10, 12);
    EnterPlain(nut, 1, 10, 12);
    EnterPlain(washer, 1, 10, 12);
    ReceiptSummary typed;
    typed.invoiceValue = 30;
    typed.discount = 10;
    const ReceiptSummary summary = AcceptSummary(db(), typed);
    ApplyPercentages(db(), Working(), PercentagesOf(summary, 0), false);
    const ReceiptTotals totals = receiptlines::Totals(db(), Working());
    EXPECT_EQ(totals.discount, 10.00);
    EXPECT_EQ(totals.costValue, 20.00);
    QStringList shown;
    for (const ReceiptRow& r : receiptlines::Read(db(), Working())) {
        shown << MoneyText(r.discountAmount);
        EXPECT_NEAR(r.netValue, r.invoiceValue - r.discountAmount, 1e-9);
        EXPECT_NEAR(r.costPrice * r.quantity, r.costValue, 1e-9);
    }
    EXPECT_EQ(shown, QStringList(
                         {QStringLiteral("3,34"), QStringLiteral("3,33"), QStringLiteral("3,33")}));
    EXPECT_TRUE(ControlTotalQuestions(summary, totals, QStringLiteral("EUR")).isEmpty());

    // A discount that really differs from the lines is still questioned, at the cent.
    ReceiptSummary other = summary;
    other.discount = 10.01;
    EXPECT_EQ(ControlTotalQuestions(other, totals, QStringLiteral("EUR")),
              QStringList(QStringLiteral(
                  "Ukupni iznos rabata (10,01 EUR) nije jednak zbroju iznosa rabata (10,00 EUR) po "
                  "artiklima. ŽELITE LI PROKNJIŽITI PRIMKU UNATOČ RAZLIKAMA?")));
    const int number = Post(summary);
    EXPECT_TRUE(prompter.Shown().isEmpty()) << prompter.Shown().join(u'\n').toStdString();
    EXPECT_EQ(ReceiptTable(db(), 1, Year()).Value(0, 6).toDouble(), 10.00);  // "Rabat"
    EXPECT_EQ(BookValue(number), 36.00);  // 3 × 12 selling value, untouched by the discount
    ExpectConsistent();
}

}  // namespace
}  // namespace zodra::test
