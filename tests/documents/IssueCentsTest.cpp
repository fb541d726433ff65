// An issue document's trade-book entry is the sum of its lines' values rounded to the cent,
// while the lines keep their unrounded values (docs/money.md).
#include <gtest/gtest.h>

#include "data/Transaction.h"
#include "documents/IssuePosting.h"
#include "documents/PostedLines.h"
#include "stock/StockTest.h"
#include "stock/TradeBook.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class IssueCentsTest : public StockTest {};

TEST_F(IssueCentsTest, TheEntryAddsTheLinesAsTheyAreShown) {
    const int screw = docs->AddArticle(QStringLiteral("Vijak M8"));
    const int nut = docs->AddArticle(QStringLiteral("Matica M8"));
    docs->Receipt({{screw, 10, 0.1, 0.125}, {nut, 10, 0.1, 0.125}});
    Transaction transaction(db());
    documents::IssuePosting posting(
        *session, documents::NewDocumentKey(db(), DocumentKind::IssueNote, 1, Year()));
    posting.WriteHeader(QDate(2026, 3, 2));
    posting.WriteLine(posting.Take({screw, 1}));
    posting.WriteLine(posting.Take({nut, 1}));
    // Two lines of 0.125 show 0,13 each: the document is 0,26, not the 0,25 of their sum.
    EXPECT_EQ(posting.Value(), 0.26);
    posting.Finish(posting.StockEntry(QDate(2026, 3, 2)));
    transaction.Commit();

    documents::PostedLines lines(
        db(), {DocumentKind::IssueNote, 1, std::nullopt, Year(), posting.Key().number});
    for (const documents::DocumentLine& line : lines.List({QStringLiteral("VRIJEDNOST")})) {
        EXPECT_EQ(documents::ValueOf(line.other, QStringLiteral("VRIJEDNOST")).toDouble(), 0.125);
    }
    const std::vector<tradebook::StoredEntry> book = tradebook::Entries(
        db(), tradebook::Book::Wholesale, 1, Year(), QDate(2026, 1, 1), QDate(2026, 12, 31));
    ASSERT_EQ(book.size(), 2u);
    EXPECT_EQ(book.front().entry.purchaseValue, 2.5);   // the receipt: 1,25 + 1,25
    EXPECT_EQ(book.back().entry.purchaseValue, -0.26);  // the issue note
    EXPECT_EQ(book.back().balance, 2.24);
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace
