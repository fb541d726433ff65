// The receipt window's own writes: the line number typed into the grid and "Zbirni p.".
#include <gtest/gtest.h>

#include "ReceiptTestSupport.h"
#include "data/Errors.h"
#include "purchasing/ReceiptCorrection.h"
#include "purchasing/ReceiptLines.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;

namespace {

class ReceiptWindowStepsTest : public ReceiptTest {
protected:
    std::vector<int> LineNumbers(const ReceiptTarget& target) {
        std::vector<int> numbers;
        for (const ReceiptRow& r : receiptlines::Read(db(), target)) {
            numbers.push_back(r.lineNumber);
        }
        return numbers;
    }
    // What the summary may change on the lines, to see that a refusal changed nothing.
    std::vector<std::vector<double>> Amounts(const ReceiptTarget& target) {
        std::vector<std::vector<double>> amounts;
        for (const ReceiptRow& r : receiptlines::Read(db(), target)) {
            amounts.push_back({r.discountPercent, r.discountAmount, r.customsAmount, r.otherAmount,
                               r.netValue, r.costValue, r.costPrice, r.marginAmount});
        }
        return amounts;
    }
    ReceiptSummary Summary(double invoiceValue, double discount) {
        ReceiptSummary s;
        s.invoiceValue = invoiceValue;
        s.discount = discount;
        return AcceptSummary(db(), s);
    }
};

}  // namespace

TEST_F(ReceiptWindowStepsTest, ATypedLineNumberIsWrittenOnlyWhenItIsAFreeWholeNumber) {
    EnterPlain(screw, 1, 1, 2);
    EnterPlain(nut, 1, 1, 2);
    // Another workstation's working receipt has lines 1 and 2 as well.
    std::unique_ptr<Session> other = StartSession(1);
    const ReceiptTarget theirs = ReceiptTarget::WorkingCopy(*other);
    EnterPlain(screw, 3, 1, 2, &theirs);
    EnterPlain(nut, 3, 1, 2, &theirs);

    for (const QString& typed : {QStringLiteral("x"), QStringLiteral("2,5"), QString()}) {
        EXPECT_EQ(Refusal([&] { RenumberReceiptLine(*session, Working(), 2, typed); }),
                  QStringLiteral("Nije ispravno upisan broj !"))
            << typed.toStdString();
    }
    for (const QString& typed : {QStringLiteral("0"), QStringLiteral("-4")}) {
        EXPECT_EQ(Refusal([&] { RenumberReceiptLine(*session, Working(), 2, typed); }),
                  QStringLiteral("Redni broj mora biti veći od nule."));
    }
    EXPECT_EQ(Refusal([&] { RenumberReceiptLine(*session, Working(), 2, QStringLiteral("1")); }),
              QStringLiteral("Stavka s rednim brojem 1 već postoji."));
    EXPECT_EQ(LineNumbers(Working()), (std::vector<int>{1, 2}));

    // Typed with spaces around it, as a grid cell may hand it over.
    RenumberReceiptLine(*session, Working(), 2, QStringLiteral(" 7 "));
    EXPECT_EQ(LineNumbers(Working()), (std::vector<int>{1, 7}));
    EXPECT_EQ(receiptlines::Read(db(), Working(), 7)->code, nut);
    // The other workstation's lines keep their numbers, and its own line 7 is still free.
    EXPECT_EQ(LineNumbers(theirs), (std::vector<int>{1, 2}));
    RenumberReceiptLine(*other, theirs, 1, QStringLiteral("7"));
    EXPECT_EQ(LineNumbers(theirs), (std::vector<int>{2, 7}));
    EXPECT_EQ(db().TransactionDepth(), 0);
}

TEST_F(ReceiptWindowStepsTest, APostedLineIsRenumberedInThePostedReceipt) {
    EnterPlain(screw, 1, 1, 2);
    EnterPlain(nut, 1, 1, 2);
    const int number = Post();
    const ReceiptTarget posted = ReceiptTarget::Posted(*session, number);
    EXPECT_EQ(Refusal([&] { RenumberReceiptLine(*session, posted, 1, QStringLiteral("2")); }),
              QStringLiteral("Stavka s rednim brojem 2 već postoji."));
    RenumberReceiptLine(*session, posted, 1, QStringLiteral("5"));
    EXPECT_EQ(LineNumbers(posted), (std::vector<int>{2, 5}));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"BROJ_PRIMKE\" "
                                   "= ? AND \"RBR_STAVKE\" = 5 AND \"SIFRA\" = ?"),
                    {number, screw}),
              1);
    ExpectConsistent();
}

TEST_F(ReceiptWindowStepsTest, TheSummaryGoesIntoTheWorkingArticleLinesOrNotAtAll) {
    Enter(screw, 10, 10.00);  // 100.00
    Enter(beer, 24, 0.60);    // 14.40, with 24 bottles of packaging (1.68)
    const std::vector<std::vector<double>> before = Amounts(Working());
    ASSERT_EQ(before.size(), 3u);

    // A discount beyond 100 % of a line: refused after the first lines were written, rolled back.
    EXPECT_EQ(Refusal([&] { ApplyReceiptSummary(*session, Working(), Summary(116.08, 200)); }),
              QStringLiteral("Rabat mora biti između -100 i 100 !"));
    EXPECT_EQ(Amounts(Working()), before);
    // An amount beyond the input limits is refused before anything is written.
    ReceiptSummary huge = Summary(116.08, 0);
    huge.customs = 1e13;
    EXPECT_EQ(Refusal([&] { ApplyReceiptSummary(*session, Working(), huge); }),
              QStringLiteral("Carina iznos mora biti između -999999999999,99 i 999999999999,99 !"));
    EXPECT_EQ(Amounts(Working()), before);

    // 11.44 of the goods' 114.40 is 10 %: every article line carries it, the bottles do not.
    ApplyReceiptSummary(*session, Working(), Summary(116.08, 11.44));
    for (const ReceiptRow& r : receiptlines::Read(db(), Working())) {
        if (r.kind == ArticleKind()) {
            EXPECT_DOUBLE_EQ(r.discountPercent, 10);
            EXPECT_NEAR(r.costValue, r.invoiceValue * 0.9, 1e-9);
        } else {
            EXPECT_DOUBLE_EQ(r.discountPercent, 0);
            EXPECT_EQ(Amounts(Working()).at(2), before.at(2));
        }
    }
    EXPECT_NEAR(receiptlines::Totals(db(), Working()).discount, 11.44, 1e-9);
    EXPECT_EQ(db().TransactionDepth(), 0);
    // The posting's control totals agree with the lines now.
    const int number = Post(Summary(116.08, 11.44));
    EXPECT_NEAR(Lot(number, screw).costPrice, 9.00, 1e-12);
    ExpectConsistent();
}

TEST_F(ReceiptWindowStepsTest, TheSummaryOfAPostedReceiptRecostsItsLotOrLeavesItAsItWas) {
    Enter(screw, 10, 10.00);
    const int number = Post();
    const ReceiptTarget posted = ReceiptTarget::Posted(*session, number);
    const std::vector<std::vector<double>> before = Amounts(posted);

    EXPECT_EQ(Refusal([&] { ApplyReceiptSummary(*session, posted, Summary(100, 150)); }),
              QStringLiteral("Rabat mora biti između -100 i 100 !"));
    EXPECT_EQ(Amounts(posted), before);
    EXPECT_DOUBLE_EQ(Lot(number, screw).costPrice, 10.00);

    ApplyReceiptSummary(*session, posted, Summary(100, 20));
    EXPECT_DOUBLE_EQ(receiptlines::Read(db(), posted).at(0).discountPercent, 20);
    EXPECT_NEAR(Lot(number, screw).costPrice, 8.00, 1e-12);
    ExpectConsistent();
}
