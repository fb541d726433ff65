// The receipt text of posted retail invoices, byte for byte in each code page, the summed
// invoices of the detail tables, the control tape and the range reprint.
#include <QStringList>

#include "data/Errors.h"
#include "pos/PosTestData.h"
#include "pos/ReceiptText.h"
#include "support/TestCompany.h"

namespace zodra::test {
namespace {

using zodra::pos::InvoiceKey;
using zodra::pos::ReceiptOptions;

class ReceiptTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        db = Open();
        ASSERT_TRUE(db);
        pos::AddInvoices(*db, 1);
        options.footer = QStringLiteral("Hvala na kupnji");
        options.printTime = true;
        options.lineFeeds = 2;
    }
    std::unique_ptr<Database> db;
    ReceiptOptions options;
};

TEST_F(ReceiptTest, TheReceiptIsByteForByteTheExpectedOneInEachCodePage) {
    const QStringList lines = zodra::pos::ReceiptLines(*db, options, {1, 1, 2026, 7});
    for (const QString& line : lines) {
        EXPECT_LE(line.size(), 40) << line.toStdString();
    }
    for (const auto& [codePage, file] : {std::pair{437, "receipt_437.txt"},
                                         {852, "receipt_852.txt"},
                                         {1250, "receipt_1250.txt"},
                                         {65001, "receipt_utf8.txt"}}) {
        EXPECT_EQ(zodra::pos::EncodeLines(lines, codePage),
                  pos::Expected(QString::fromLatin1(file)))
            << "code page " << codePage;
    }
}

TEST_F(ReceiptTest, WithoutTimeDiscountOrCustomerTheRowsAreTheShortOnes) {
    options.printTime = false;
    options.footer.clear();
    options.lineFeeds = 0;
    const QStringList lines = zodra::pos::ReceiptLines(*db, options, {1, 1, 2026, 9});
    EXPECT_EQ(lines.at(6), QStringLiteral("RAČUN br.:9 R-1 Datum:04.12.2026"));
    EXPECT_EQ(lines.at(7), QStringLiteral("Prodavač:Iva"));
    // The retail customer has no block: the column heads follow the seller.
    EXPECT_EQ(lines.at(8), QStringLiteral("Rbr.Naziv                 Šifra"));
    EXPECT_EQ(lines.at(11), QStringLiteral("1.  Kruh                  20"));
    EXPECT_EQ(lines.at(12), QStringLiteral("     1,00     5,00      0,84        0,84"));
    // No payment rows were written: the double rule closes the receipt (no footer, no feed).
    EXPECT_EQ(lines.last(), QString(40, QLatin1Char('=')));
    EXPECT_FALSE(lines.join(QLatin1Char('\n')).contains(QStringLiteral("Ambalaža:")));
}

TEST_F(ReceiptTest, SummedInvoicesAreReadFromTheDetailTablesOnly) {
    options.lineFeeds = 0;
    options.footer.clear();
    // Number 8 exists only in the detail tables.
    EXPECT_THROW(zodra::pos::ReceiptLines(*db, options, {1, 1, 2026, 8}), UserError);
    options.summed = true;
    const QStringList lines = zodra::pos::ReceiptLines(*db, options, {1, 1, 2026, 8});
    EXPECT_EQ(lines.at(6), QStringLiteral("RAČUN br.:8 R-1 Datum:05.12.2026  09:05"));
    EXPECT_EQ(lines.last(), QStringLiteral("Pl. gotovina EUR :                  0,84"));
    // Another home currency names the rows; a payment kind too long for the label's 18 columns
    // takes the amount's blanks, and the row stays 40 wide.
    options.currency = QStringLiteral("Km");
    db->Exec(
        QStringLiteral("INSERT INTO \"NAPLATA_DETALJNO\" (\"Skladište\", \"IRA\", \"Godina\", "
                       "\"Broj računa\", \"Tip\", \"Iznos\") VALUES (1, 1, 2026, 8, 'žiro "
                       "račun', 1000.5)"));
    const QStringList km = zodra::pos::ReceiptLines(*db, options, {1, 1, 2026, 8});
    EXPECT_EQ(km.mid(km.size() - 2),
              (QStringList{QStringLiteral(" Pl. gotovina Km :                  0,84"),
                           QStringLiteral("Pl. žiro račun Km :              1000,50")}));
    EXPECT_TRUE(km.contains(QStringLiteral("   Za platiti Km :                  0,84")));
    try {
        zodra::pos::ReceiptLines(*db, options, {1, 1, 2026, 7});
        ADD_FAILURE() << "an invoice of the company tables was read in summing mode";
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Račun broj 7 nije pronađen."));
    }
}

TEST_F(ReceiptTest, TheControlTapeHoldsTheDaysRetailInvoicesInNumberOrder) {
    auto numbers = [](const QStringList& lines) {
        QStringList found;
        for (const QString& line : lines) {
            if (line.startsWith(QStringLiteral("RAČUN br.:"))) {
                found << line.section(QLatin1Char(' '), 1, 1).mid(4);
            }
        }
        return found;
    };
    const zodra::pos::TapeText day =
        zodra::pos::ControlTapeLines(*db, options, 1, 2026, QStringLiteral("04.12.2026"));
    EXPECT_TRUE(day.error.isEmpty());
    // 10 is a wholesale invoice of the same day, 11 of the next day.
    EXPECT_EQ(numbers(day.lines), (QStringList{QStringLiteral("7"), QStringLiteral("9")}));
    // Each receipt whole, the first one exactly as printed alone.
    const QStringList first = zodra::pos::ReceiptLines(*db, options, {1, 1, 2026, 7});
    EXPECT_EQ(day.lines.mid(0, first.size()), first);

    EXPECT_EQ(zodra::pos::ControlTapeLines(*db, options, 1, 2026, QStringLiteral("5.12.2026"))
                  .lines.size(),
              zodra::pos::ReceiptLines(*db, options, {1, 1, 2026, 11}).size());
    for (const char* bad : {"31.02.2026", "", "04-12-2026"}) {
        const zodra::pos::TapeText refused =
            zodra::pos::ControlTapeLines(*db, options, 1, 2026, QString::fromLatin1(bad));
        EXPECT_EQ(refused.error, QStringLiteral("Datum nije ispravno upisan.")) << bad;
        EXPECT_TRUE(refused.lines.isEmpty());
    }
    EXPECT_EQ(
        zodra::pos::ControlTapeLines(*db, options, 1, 2026, QStringLiteral("06.12.2026")).error,
        QStringLiteral("Nema maloprodajnih računa za ispis."));
    options.summed = true;
    EXPECT_EQ(
        numbers(zodra::pos::ControlTapeLines(*db, options, 1, 2026, QStringLiteral("05.12.2026"))
                    .lines),
        QStringList{QStringLiteral("8")});
}

TEST_F(ReceiptTest, TheRangeReprintTakesRetailInvoicesBetweenTheNumbers) {
    const zodra::pos::TapeText range = zodra::pos::RangeLines(*db, options, 1, 2026, 8, 11);
    QStringList heads = range.lines.filter(QStringLiteral("RAČUN br.:"));
    ASSERT_EQ(heads.size(), 2);
    EXPECT_TRUE(heads[0].startsWith(QStringLiteral("RAČUN br.:9 ")));
    EXPECT_TRUE(heads[1].startsWith(QStringLiteral("RAČUN br.:11 ")));
    EXPECT_EQ(zodra::pos::RangeLines(*db, options, 1, 2026, 9, 8).error,
              QStringLiteral("Upišite brojeve računa od - do (od ne smije biti veći od do)."));
    EXPECT_EQ(zodra::pos::RangeLines(*db, options, 1, 2026, 9, 9)
                  .lines.filter(QStringLiteral("RAČUN br.:"))
                  .size(),
              1);
}

TEST(ReceiptFooter, IsCentredInFortyColumnsAndWrappedWhenLonger) {
    EXPECT_EQ(zodra::pos::CenteredLines(QStringLiteral("0123456789")),
              QStringList{QString(15, QLatin1Char(' ')) + QStringLiteral("0123456789")});
    // 29 blanks to share: the half is rounded up.
    EXPECT_EQ(
        zodra::pos::CenteredLines(QStringLiteral("Hvala vam!!")).first().indexOf(QLatin1Char('H')),
        15);
    EXPECT_EQ(zodra::pos::CenteredLines(QString(40, QLatin1Char('x'))),
              QStringList{QString(40, QLatin1Char('x'))});
    const QStringList wrapped = zodra::pos::CenteredLines(
        QStringLiteral("Zahvaljujemo na kupnji i veselimo se vašem ponovnom dolasku"));
    ASSERT_EQ(wrapped.size(), 2);
    EXPECT_EQ(wrapped[0], QStringLiteral("  Zahvaljujemo na kupnji i veselimo se"));
    EXPECT_EQ(wrapped[1], QString(9, QLatin1Char(' ')) + QStringLiteral("vašem ponovnom dolasku"));
    EXPECT_TRUE(zodra::pos::CenteredLines(QString()).isEmpty());
}

}  // namespace
}  // namespace zodra::test
