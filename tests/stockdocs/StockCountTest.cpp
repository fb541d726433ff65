// The stock count: prepared, counted, posted and deleted, with its guards and questions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "PriceChangeTest.h"
#include "data/Transaction.h"
#include "stock/Lots.h"
#include "stockdocs/StockCount.h"
#include "stockdocs/StockCountRemoval.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

class StockCountTest : public PriceChangeTest {
protected:
    double Quantity(int lot, int article) { return LotOf(db(), 1, Year(), lot, article).quantity; }
    double Free(int lot, int article) { return LotOf(db(), 1, Year(), lot, article).freeQuantity; }
    int Counts() { return Count(QStringLiteral("SELECT COUNT(*) FROM \"INVENTURE\"")); }
    int CountLines(Session& s) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_INVENTURA_PRIVREMENO\" WHERE "
                                    "\"Multiuser_sifra\" = ?"),
                     {s.sessionCode});
    }
    // Prepares the session's count from the book, sets the lots given and posts it.
    int CountAndPost(Session& s, const std::vector<std::tuple<int, int, double>>& counted) {
        sd::PrepareStockCount(s, sd::NextStockCountNumber(s), std::nullopt);
        for (const auto& [article, lot, quantity] : counted) {
            sd::SetCountedQuantityOfLot(s, article, lot, quantity);
        }
        return sd::PostStockCount(s, {0, QDate(2026, 3, 10)});
    }
};

TEST_F(StockCountTest, ACountAsBookedChangesNoLotAndAShortageBooksItsValue) {
    const int lot = docs->Receipt({{screw, 10, 3.00, 5.00}});
    docs->Receipt({{nut, 4, 1.00, 2.00}});
    // Prepared with No and posted without edits: every lot as it was, an entry of 0.
    EXPECT_EQ(sd::PrepareStockCount(*session, 1, std::nullopt), 2);
    EXPECT_EQ(sd::WorkingStockCountTotals(*session),
              QStringLiteral("Nabavna vr.: 34,00 EUR        Prodajna vr.: 58,00 EUR"));
    const int first = sd::PostStockCount(*session, {0, QDate(2026, 3, 10)});
    EXPECT_EQ(sd::StockCountPostedMessage(first),
              QStringLiteral("Inventura je proknjižena pod brojem 1"));
    EXPECT_DOUBLE_EQ(Quantity(lot, screw), 10);
    ASSERT_TRUE(Entry(QStringLiteral("INVENTURA"), first));
    EXPECT_DOUBLE_EQ(Entry(QStringLiteral("INVENTURA"), first)->value, 0.0);
    EXPECT_EQ(CountLines(*session), 0);

    // Book 10, counted 8 at 5.00: −10.00; the lot and its free quantity go to 8.
    const int second = CountAndPost(*session, {{screw, lot, 8}});
    EXPECT_EQ(second, 2);
    EXPECT_DOUBLE_EQ(Quantity(lot, screw), 8);
    EXPECT_DOUBLE_EQ(Free(lot, screw), 8);
    EXPECT_DOUBLE_EQ(Entry(QStringLiteral("INVENTURA"), second)->value, -10.00);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_INVENTURA\" WHERE "
                                   "\"BROJ_INVENTURE\" = 2 AND \"GRUPA_POREZA\" IS NOT NULL")),
              2);
    ExpectBooksAgree(db(), 1, Year());

    // Deleting it puts the 2 back and takes its entry.
    sd::DeleteStockCount(*session, second, false);
    EXPECT_DOUBLE_EQ(Quantity(lot, screw), 10);
    EXPECT_FALSE(Entry(QStringLiteral("INVENTURA"), second));
    EXPECT_EQ(Counts(), 1);
    ExpectBooksAgree(db(), 1, Year());
    EXPECT_REFUSED(sd::DeleteStockCount(*session, 9, false),
                   "Ne postoji proknjižena inventura broj 9");
}

TEST_F(StockCountTest, PostingRefusesLotsThatMovedSincePreparationAndKeepsTheCopy) {
    const int lot = docs->Receipt({{screw, 10, 3.00, 5.00}});
    sd::PrepareStockCount(*session, 1, std::nullopt);
    sd::SetCountedQuantityOfLot(*session, screw, lot, 7);
    docs->Post(Issue::Invoice, {{screw, 2, lot}});
    EXPECT_REFUSED(sd::PostStockCount(*session, {0, QDate(2026, 3, 10)}),
                   "Količina artikla Vijak M8 se promijenila.");
    EXPECT_EQ(Counts(), 0);
    EXPECT_EQ(CountLines(*session), 1);
    EXPECT_DOUBLE_EQ(Quantity(lot, screw), 8);

    // Prepared again, then repriced: the price message.
    sd::PrepareStockCount(*session, 1, std::nullopt);
    Post(screw, lot, 6.00);
    EXPECT_REFUSED(sd::PostStockCount(*session, {0, QDate(2026, 3, 10)}),
                   "Promijenjena je cijena artikla Vijak M8");
    EXPECT_EQ(Counts(), 0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(StockCountTest, DeletionGuardsAndQuestions) {
    const int lot = docs->Receipt({{screw, 10, 3.00, 5.00}});
    // Counted 15: a surplus of 5. Then 12 go out: 3 left, so deleting the count would leave −2.
    const int count = CountAndPost(*session, {{screw, lot, 15}});
    docs->Post(Issue::IssueNote, {{screw, 12, lot}});
    EXPECT_TRUE(sd::CheckStockCountCanBeDeleted(*session, count));
    EXPECT_REFUSED(sd::DeleteStockCount(*session, count, false),
                   "Ovu inventuru nemožete izbrisati jer bi količine nekih artikala pale ispod "
                   "nule.");
    prompter.Clear();
    prompter.AnswerYes().AnswerNo();
    EXPECT_FALSE(sd::DeleteStockCount(*session, prompter, count));
    EXPECT_EQ(prompter.Shown(),
              (QStringList{QStringLiteral("Želite li izbrisati inventuru!"),
                           QStringLiteral("Količine nekih artikala će pasti ispod nule. Želite li "
                                          "svejedno izbrisati inventuru!")}));
    EXPECT_EQ(Counts(), 1);

    // Goods held by an open document on another workstation cannot be taken back at all (what
    // the other workstation holds leaves 1 free).
    auto other = StartSession(1);
    const double held = Free(lot, screw) - 1;
    {
        Transaction t(other->Db());
        stock::ReserveFromLot(other->Db(), {1, Year(), lot, screw}, held);
        t.Commit();
    }
    EXPECT_REFUSED(sd::CheckStockCountCanBeDeleted(*session, count),
                   "Ovu inventuru nemožete izbrisati jer bi količine nekih artikala pale ispod "
                   "nule.");
    {
        Transaction t(other->Db());
        stock::ReleaseToLot(other->Db(), {1, Year(), lot, screw}, held);
        t.Commit();
    }
    prompter.Clear();
    prompter.AnswerYes().AnswerYes();
    EXPECT_TRUE(sd::DeleteStockCount(*session, prompter, count));
    EXPECT_DOUBLE_EQ(Quantity(lot, screw), -2);
    ExpectBooksAgree(db(), 1, Year());

    // A count whose lot was repriced since is refused, before any question.
    const int later = CountAndPost(*session, {{screw, lot, 4}});
    Post(screw, lot, 6.00);
    prompter.Clear();
    EXPECT_REFUSED(sd::DeleteStockCount(*session, prompter, later),
                   "Ovu inventuru nemožete izbrisati jer neki artikal iz inventure više nema istu "
                   "cijenu na skladištu.");
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST_F(StockCountTest, AllCountedAsOneQuantityUnderTheAverageMethodAndDeletedAgain) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{nut, 10, 1.00, 2.00}});
    docs->Receipt({{nut, 10, 2.00, 2.00}});
    const double cost = Pooled(nut).costPrice;
    // Yes, then the quantity: every lot counted 4.
    prompter.Clear();
    prompter.AnswerYes().AnswerText(QStringLiteral("4"));
    ASSERT_TRUE(sd::PrepareStockCount(*session, prompter, 1));
    const int count = sd::PostStockCount(*session, {1, QDate(2026, 3, 10)});
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 4);
    EXPECT_DOUBLE_EQ(Entry(QStringLiteral("INVENTURA"), count)->value, -32.00);
    docs->Post(Issue::IssueNote, {{nut, 1}});
    sd::DeleteStockCount(*session, count, false);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 19);
    EXPECT_NEAR(Pooled(nut).costPrice, cost, 1e-9);
    ExpectBooksAgree(db(), 1, Year());

    // A quantity that is not a number prepares nothing.
    prompter.AnswerYes().AnswerText(QStringLiteral("pet"));
    EXPECT_REFUSED(sd::PrepareStockCount(*session, prompter, 2), "Nije ispravno upisan broj !");
}

TEST_F(StockCountTest, BadNumbersAndQuantitiesAreRefused) {
    const int lot = docs->Receipt({{screw, 10, 3.00, 5.00}});
    CountAndPost(*session, {});
    EXPECT_REFUSED(sd::CheckStockCountNumber(db(), 1, Year(), QStringLiteral("1")),
                   "Inventura pod ovim brojem je već napravljena !");
    EXPECT_REFUSED(sd::CheckStockCountNumber(db(), 1, Year(), QStringLiteral("1a")),
                   "Nije ispravno upisan broj !");
    EXPECT_EQ(sd::CheckStockCountNumber(db(), 1, Year(), QStringLiteral("7")), 7);
    sd::PrepareStockCount(*session, 2, std::nullopt);
    EXPECT_REFUSED(sd::SetCountedQuantityOfLot(*session, screw, lot, -1),
                   "Stvarna količina nesmije biti negativna !");
    for (double wrong : {std::numeric_limits<double>::quiet_NaN(), double(INFINITY), 1e12}) {
        EXPECT_THROW(sd::SetCountedQuantityOfLot(*session, screw, lot, wrong), UserError);
    }
    EXPECT_REFUSED(sd::SetCountedQuantityOfLot(*session, nut, 0, 1),
                   "Artikal Matica M8 nije na inventuri.");
    // A working row spoiled by hand refuses the posting instead of writing a lot of NaN.
    db().Exec(
        QStringLiteral("UPDATE \"STAVKE_INVENTURA_PRIVREMENO\" SET \"STVARNO_KOLICINA\" = "
                       "NULL"));
    EXPECT_THROW(sd::PostStockCount(*session, {0, QDate(2026, 3, 10)}), UserError);
    EXPECT_DOUBLE_EQ(Quantity(lot, screw), 10);
    sd::ClearWorkingStockCount(*session);
    EXPECT_REFUSED(sd::PostStockCount(*session, {0, QDate(2026, 3, 10)}),
                   "Inventura nema niti jedne stavke !");
}

TEST_F(StockCountTest, TwoWorkstationsCountingTheSameLots) {
    const int lot = docs->Receipt({{screw, 10, 3.00, 5.00}});
    auto other = StartSession(1);
    sd::PrepareStockCount(*session, sd::NextStockCountNumber(*session), std::nullopt);
    sd::PrepareStockCount(*other, sd::NextStockCountNumber(*other), std::nullopt);
    // Each works in its own copy.
    sd::SetCountedQuantityOfLot(*session, screw, lot, 9);
    sd::SetCountedQuantityOfLot(*other, screw, lot, 6);
    EXPECT_EQ(sd::PostStockCount(*session, {1, QDate(2026, 3, 10)}), 1);
    // The other found 10 on the book; the lot now holds 9: refused, its copy kept.
    EXPECT_REFUSED(sd::PostStockCount(*other, {1, QDate(2026, 3, 10)}),
                   "Količina artikla Vijak M8 se promijenila.");
    EXPECT_EQ(CountLines(*other), 1);
    EXPECT_DOUBLE_EQ(Quantity(lot, screw), 9);
    // Prepared again it posts under the next number (the one it showed is taken).
    sd::PrepareStockCount(*other, 1, std::nullopt);
    sd::SetCountedQuantityOfLot(*other, screw, lot, 6);
    EXPECT_EQ(sd::PostStockCount(*other, {1, QDate(2026, 3, 11)}), 2);
    EXPECT_DOUBLE_EQ(Quantity(lot, screw), 6);
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace
