// Entering and posting price changes, and every check that refuses a posting.

#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "data/Errors.h"
#include "stock/Lots.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class PriceChangePostingTest : public PriceChangeTest {};

TEST_F(PriceChangePostingTest, AFifoLotIsRepricedAloneAndTheBookGetsTheChangeOfValue) {
    const int older = docs->Receipt({{screw, 10, 5.00, 9.00}});
    const int newer = docs->Receipt({{screw, 4, 5.50, 9.50}, {nut, 3, 1.00, 2.00}});
    const int number = Post(screw, older, 12.345);
    EXPECT_EQ(number, 1);
    EXPECT_DOUBLE_EQ(Price(older, screw), 12.345);
    EXPECT_DOUBLE_EQ(Price(newer, screw), 9.50);
    EXPECT_DOUBLE_EQ(Price(newer, nut), 2.00);
    // 10 × 3.345 = 33.45, after the two receipts' entries.
    const auto entry = Entry(QStringLiteral("IZMJENA CIJENA"), number);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->position, 3);
    EXPECT_EQ(entry->description, QStringLiteral("IZMJENA CIJENA 1"));
    EXPECT_DOUBLE_EQ(entry->value, 33.45);
    EXPECT_EQ(Count(QStringLiteral("SELECT \"RBR_TK\" FROM \"IZMJENE_CIJENA\" WHERE "
                                   "\"BROJ_IZMJENE_CIJENA\" = 1")),
              3);
    Statement line = db().Prepare(QStringLiteral(
        "SELECT \"BROJ_PRIMKE\", \"ARTIKAL\", \"KOLICINA\", \"STARA_CIJENA\", \"NOVA_CIJENA\", "
        "\"GRUPA_POREZA\", \"POREZ_%\" FROM \"STAVKE_IZMJENA_CIJENA\" WHERE "
        "\"BROJ_IZMJENE_CIJENA\" = 1"));
    line.Exec();
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Int(0), older);
    EXPECT_EQ(line.Int(1), screw);
    EXPECT_DOUBLE_EQ(line.Double(2), 10);
    EXPECT_DOUBLE_EQ(line.Double(3), 9.00);
    EXPECT_DOUBLE_EQ(line.Double(4), 12.345);
    EXPECT_FALSE(line.Value(5).toString().isEmpty());
    EXPECT_DOUBLE_EQ(line.Double(6), 25);
    EXPECT_FALSE(line.Next());
    EXPECT_EQ(WorkingLines(*session), 0);
    ExpectBooksAgree(db(), 1, Year());

    // Without a lot, FIFO reprices every lot of the article that has stock.
    docs->Post(Issue::IssueNote, {{screw, 10, older}});
    const std::vector<stock::PriceChangeLine> lines =
        stockdocs::AddPriceChangeLine(*session, screw, std::nullopt, 11.00);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].lot, newer);
    EXPECT_EQ(stockdocs::PostPriceChange(*session, {0, QDate(2026, 3, 4)}), 2);
    EXPECT_DOUBLE_EQ(Price(newer, screw), 11.00);
    EXPECT_DOUBLE_EQ(Price(older, screw), 12.345);
    EXPECT_DOUBLE_EQ(Entry(QStringLiteral("IZMJENA CIJENA"), 2)->value, 6.00);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(PriceChangePostingTest, ThePooledLotIsRepricedUnderAverageAndLastPrice) {
    for (StockMethod method : {StockMethod::Average, StockMethod::LastPrice}) {
        SCOPED_TRACE(StockMethodText(method).toStdString());
        UseMethod(method);
        const int article = docs->AddArticle(StockMethodText(method));
        docs->Receipt({{article, 10, 5.00, 8.00}});
        docs->Receipt({{article, 10, 6.00, 8.00}});
        docs->Post(Issue::Invoice, {{article, 5}});
        // The lot is the pooled one whatever lot would be named.
        const int number = Post(article, std::nullopt, 7.20);
        EXPECT_DOUBLE_EQ(Pooled(article).sellingPrice, 7.20);
        EXPECT_DOUBLE_EQ(Pooled(article).costPrice, 5.50);
        EXPECT_DOUBLE_EQ(Entry(QStringLiteral("IZMJENA CIJENA"), number)->value, -12.00);
        ExpectBooksAgree(db(), 1, Year());
        // A later receipt averages (or, at last price, replaces) from the new price.
        docs->Receipt({{article, 5, 6.00, 9.00}});
        EXPECT_DOUBLE_EQ(Pooled(article).sellingPrice,
                         method == StockMethod::Average ? (15 * 7.20 + 5 * 9.00) / 20 : 9.00);
        ExpectBooksAgree(db(), 1, Year());
    }
}

TEST_F(PriceChangePostingTest, EntryTakesOnlyLotsWithStockAndEachLotOnce) {
    const int lot = docs->Receipt({{screw, 10, 5.00, 9.00}});
    EXPECT_REFUSED(stockdocs::AddPriceChangeLine(*session, nut, std::nullopt, 1.00),
                   "Artikla 'Matica M8' nema na skladištu.");
    EXPECT_REFUSED(stockdocs::AddPriceChangeLine(*session, screw, lot + 1, 1.00),
                   "Napravljen je storno primke po kojoj je ušao artikal Vijak M8");
    EXPECT_REFUSED(stockdocs::AddPriceChangeLine(*session, screw, lot, std::nan("")),
                   "Nova cijena nije ispravan broj !");
    EXPECT_EQ(WorkingLines(*session), 0);
    stockdocs::AddPriceChangeLine(*session, screw, lot, 10.00);
    stockdocs::AddPriceChangeLine(*session, screw, lot, 11.00);
    const auto lines = stockdocs::WorkingPriceChangeLines(db(), session->sessionCode);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].line.newPrice, 11.00);
    EXPECT_DOUBLE_EQ(lines[0].line.oldPrice, 9.00);
    EXPECT_DOUBLE_EQ(lines[0].line.quantity, 10);
    stockdocs::RemovePriceChangeLine(*session, lines[0].id);
    EXPECT_EQ(WorkingLines(*session), 0);
    // A lot used up is no longer offered.
    docs->Post(Issue::IssueNote, {{screw, 10, lot}});
    EXPECT_REFUSED(stockdocs::AddPriceChangeLine(*session, screw, lot, 1.00),
                   "Artikla 'Vijak M8' nema na skladištu.");
    // The price with tax follows the article's rate (25 %).
    EXPECT_DOUBLE_EQ(stockdocs::ArticleTaxRate(db(), screw), 25);
    EXPECT_DOUBLE_EQ(stockdocs::PriceWithTax(8.00, 25), 10.00);
    EXPECT_DOUBLE_EQ(stockdocs::PriceWithoutTax(10.15, 25), 8.12);
}

TEST_F(PriceChangePostingTest, EachLotIsCheckedAtPostingAndARefusalLeavesNothing) {
    const int lot = docs->Receipt({{screw, 10, 5.00, 9.00}, {nut, 5, 1.00, 2.00}});
    const int headers = Headers();
    int entries = BookEntries();
    auto expectNothingPosted = [&](const char* text) {
        SCOPED_TRACE(text);
        EXPECT_EQ(Headers(), headers);
        EXPECT_EQ(BookEntries(), entries);
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZMJENA_CIJENA\"")), 0);
        EXPECT_DOUBLE_EQ(Price(lot, nut), 2.00);
        // The working copy stays for correction.
        EXPECT_EQ(WorkingLines(*session), 2);
    };
    EXPECT_REFUSED(stockdocs::PostPriceChange(*session, {0, QDate(2026, 3, 3)}),
                   "Izmjena cijena nema niti jedne stavke !");

    // Goods taken from the lot between entry and posting.
    stockdocs::AddPriceChangeLine(*session, nut, lot, 2.50);
    stockdocs::AddPriceChangeLine(*session, screw, lot, 10.00);
    const int issue = docs->Post(Issue::IssueNote, {{screw, 1, lot}});
    entries = BookEntries();
    EXPECT_REFUSED(stockdocs::PostPriceChange(*session, {0, QDate(2026, 3, 3)}),
                   "Količina artikla Vijak M8 se promijenila.");
    expectNothingPosted("quantity");
    docs->Delete(Issue::IssueNote, issue);

    // Another workstation repriced the lot meanwhile.
    std::unique_ptr<Session> other = StartSession(1);
    other->workstation.debugMode = true;
    const int theirs = Post(*other, screw, lot, 9.90);
    EXPECT_REFUSED(stockdocs::PostPriceChange(*session, {0, QDate(2026, 3, 3)}),
                   "Promijenjena je cijena artikla Vijak M8");
    EXPECT_DOUBLE_EQ(Price(lot, nut), 2.00);
    EXPECT_DOUBLE_EQ(Price(lot, screw), 9.90);
    EXPECT_EQ(WorkingLines(*session), 2);
    EXPECT_EQ(WorkingLines(*other), 0);

    // The lot is gone (its receipt cancelled by hand in the data, as no guard would let it go).
    db().Exec(QStringLiteral("DELETE FROM \"NABAVE\" WHERE \"SIFRA_ARTIKLA\" = ?"), {screw});
    EXPECT_REFUSED(stockdocs::PostPriceChange(*session, {0, QDate(2026, 3, 3)}),
                   "Napravljen je storno primke po kojoj je ušao artikal Vijak M8");
    EXPECT_DOUBLE_EQ(Price(lot, nut), 2.00);
    EXPECT_EQ(Headers(), headers + 1) << "only the other workstation's " << theirs;
}

TEST_F(PriceChangePostingTest, TheNumberTypedIsCheckedAndATakenOneGivesTheNext) {
    const int lot = docs->Receipt({{screw, 10, 5.00, 9.00}});
    EXPECT_REFUSED(stockdocs::CheckPriceChangeNumber(db(), 1, Year(), QStringLiteral("x1")),
                   "Nije ispravno upisan broj !");
    EXPECT_EQ(stockdocs::CheckPriceChangeNumber(db(), 1, Year(), QStringLiteral(" 7 ")), 7);
    stockdocs::AddPriceChangeLine(*session, screw, lot, 10.00);
    EXPECT_EQ(stockdocs::PostPriceChange(*session, {7, QDate(2026, 3, 3)}), 7);
    EXPECT_REFUSED(stockdocs::CheckPriceChangeNumber(db(), 1, Year(), QStringLiteral("7")),
                   "Izmjena cijena pod ovim brojem je već napravljena !");
    stockdocs::AddPriceChangeLine(*session, screw, lot, 11.00);
    EXPECT_EQ(stockdocs::PostPriceChange(*session, {7, QDate(2026, 3, 3)}), 8);
    EXPECT_EQ(stockdocs::PostedMessage(8),
              QStringLiteral("Izmjena cijena je proknjižena pod brojem 8"));
    ExpectBooksAgree(db(), 1, Year());
}

// Two workstations draw up price changes of one warehouse at once: each posts its own lines
// under its own number.
TEST_F(PriceChangePostingTest, TwoWorkstationsPostOnlyTheirOwnLines) {
    const int lot = docs->Receipt({{screw, 10, 5.00, 9.00}, {nut, 5, 1.00, 2.00}});
    std::unique_ptr<Session> other = StartSession(1);
    other->workstation.debugMode = true;
    stockdocs::AddPriceChangeLine(*session, screw, lot, 10.00);
    stockdocs::AddPriceChangeLine(*other, nut, lot, 3.00);
    EXPECT_EQ(stockdocs::PostPriceChange(*other, {0, QDate(2026, 3, 3)}), 1);
    EXPECT_EQ(WorkingLines(*session), 1);
    EXPECT_EQ(stockdocs::PostPriceChange(*session, {0, QDate(2026, 3, 3)}), 2);
    EXPECT_EQ(Count(QStringLiteral("SELECT \"ARTIKAL\" FROM \"STAVKE_IZMJENA_CIJENA\" WHERE "
                                   "\"BROJ_IZMJENE_CIJENA\" = 1")),
              nut);
    EXPECT_EQ(Count(QStringLiteral("SELECT \"ARTIKAL\" FROM \"STAVKE_IZMJENA_CIJENA\" WHERE "
                                   "\"BROJ_IZMJENE_CIJENA\" = 2")),
              screw);
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace
