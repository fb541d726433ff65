#include <gtest/gtest.h>

#include "app/SessionStart.h"
#include "data/Errors.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "documents/IssuePosting.h"
#include "documents/PostedLines.h"
#include "documents/WorkingLines.h"
#include "stock/Lots.h"
#include "stock/StockTest.h"

using namespace zodra;
using namespace zodra::test;
using documents::DocumentLine;
using documents::WorkingLines;

namespace {

// Two workstations drawing up issue notes from the same pooled lot of 10.
class LineStoreTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        UseMethod(StockMethod::Average);
        screw = docs->AddArticle(QStringLiteral("Vijak M8"));
        docs->Receipt({{screw, 10, 5.00, 8.00}});
        other = StartSession(1);
        ASSERT_TRUE(other);
        other->stockMethod = StockMethod::Average;
    }
    std::unique_ptr<WorkingLines> IssueLines(Session& s) {
        return std::make_unique<WorkingLines>(s.Db(), DocumentKind::IssueNote, s.sessionCode, 1,
                                              s.businessYear);
    }
    DocumentLine Line(double quantity) {
        DocumentLine line;
        line.article = screw;
        line.lot = stock::kPooledLot;
        line.quantity = quantity;
        return line;
    }
    double Free() { return Pooled(screw).freeQuantity; }
    double Held() { return stock::HeldByWorkingCopies(db(), {1, Year(), 0, screw}); }
    void ExpectRefused(const std::function<void()>& change) {
        try {
            change();
            ADD_FAILURE() << "a working line took more than the lot has free";
        } catch (const UserError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("Nedovoljna količina artikla Vijak M8"));
        }
    }
    int screw = 0;
    std::unique_ptr<Session> other;
};

TEST_F(LineStoreTest, WorkingLinesReserveWhatTheyHoldAndNoMoreThanIsFree) {
    auto mine = IssueLines(*session);
    auto theirs = IssueLines(*other);
    const qint64 id = mine->Add(Line(6));
    // The other workstation sees at once what this one holds.
    EXPECT_DOUBLE_EQ(Free(), 4.0);
    ExpectRefused([&] { theirs->Add(Line(5)); });
    EXPECT_TRUE(theirs->List().empty());
    EXPECT_DOUBLE_EQ(Free(), 4.0);
    const qint64 theirId = theirs->Add(Line(4));
    EXPECT_DOUBLE_EQ(Free(), 0.0);
    EXPECT_DOUBLE_EQ(Held(), 10.0);

    // Growing a line beyond what is free is refused and keeps the line and its reservation.
    DocumentLine bigger = Line(7);
    bigger.id = id;
    ExpectRefused([&] { mine->Update(bigger); });
    ASSERT_EQ(mine->List().size(), 1u);
    EXPECT_DOUBLE_EQ(mine->List().front().quantity, 6.0);
    EXPECT_DOUBLE_EQ(Free(), 0.0);
    // Shrinking gives back the difference; removing gives back the rest.
    DocumentLine smaller = Line(2);
    smaller.id = id;
    mine->Update(smaller);
    EXPECT_DOUBLE_EQ(Free(), 4.0);
    theirs->Remove(theirId);
    EXPECT_DOUBLE_EQ(Free(), 8.0);
    EXPECT_DOUBLE_EQ(Held(), 2.0);
    // What the stores left is what a workstation opening its window recounts.
    stock::ResetFreeQuantities(db());
    EXPECT_DOUBLE_EQ(Free(), 8.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 10.0);
}

TEST_F(LineStoreTest, OnlyArticleLinesOfAnInvoiceHoldStockAndReturnNotesHoldNothing) {
    WorkingLines invoice(db(), DocumentKind::Invoice, session->sessionCode, 1, Year());
    DocumentLine article = Line(3);
    article.other = {{QStringLiteral("TIP_STAVKE"), QStringLiteral("ART")}};
    DocumentLine service = Line(100);
    service.other = {{QStringLiteral("TIP_STAVKE"), QStringLiteral("USL")}};
    invoice.Add(article);
    const qint64 serviceId = invoice.Add(service);
    EXPECT_DOUBLE_EQ(Free(), 7.0);
    EXPECT_DOUBLE_EQ(Held(), 3.0);
    invoice.Remove(serviceId);
    EXPECT_DOUBLE_EQ(Free(), 7.0);

    WorkingLines returns(db(), DocumentKind::ReturnNote, session->sessionCode, 1, Year());
    returns.Add(Line(50));
    EXPECT_DOUBLE_EQ(Free(), 7.0);
    ASSERT_EQ(returns.List().size(), 1u);
    EXPECT_DOUBLE_EQ(returns.List().front().quantity, 50.0);
}

TEST_F(LineStoreTest, PostingTurnsTheReservationIntoTheTakeWhileTheOtherStillHolds) {
    auto mine = IssueLines(*session);
    auto theirs = IssueLines(*other);
    mine->Add(Line(6));
    theirs->Add(Line(4));

    // A controller posts its working lines through the issue posting and lets the copy go:
    // the quantity goes down, the free quantity stays where the reservations put it.
    int number = 0;
    {
        Transaction transaction(db());
        documents::IssuePosting posting(
            *session, documents::NewDocumentKey(db(), DocumentKind::IssueNote, 1, Year()));
        posting.WriteHeader(QDate(2026, 3, 2));
        for (const DocumentLine& line : mine->List()) {
            posting.WriteLine(posting.Take({line.article, line.quantity, line.lot}));
        }
        posting.Finish(posting.StockEntry(QDate(2026, 3, 2)));
        workingcopy::ClearWorkingCopy(db(), DocumentKind::IssueNote, session->sessionCode);
        transaction.Commit();
        number = posting.Key().number;
    }
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 4.0);
    EXPECT_DOUBLE_EQ(Free(), 0.0);
    stock::ResetFreeQuantities(db());
    EXPECT_DOUBLE_EQ(Free(), 0.0);
    EXPECT_TRUE(mine->List().empty());
    ASSERT_EQ(theirs->List().size(), 1u);

    // The posted lines are a store of their own under the document's key.
    documents::PostedLines posted(db(), {DocumentKind::IssueNote, 1, std::nullopt, Year(), number});
    ASSERT_EQ(posted.List().size(), 1u);
    DocumentLine line = posted.List().front();
    EXPECT_DOUBLE_EQ(line.quantity, 6.0);
    line.other = {{QStringLiteral("CIJENA"), 8.5}};
    posted.Update(line);
    EXPECT_DOUBLE_EQ(documents::ValueOf(posted.List({QStringLiteral("CIJENA")}).front().other,
                                        QStringLiteral("CIJENA"))
                         .toDouble(),
                     8.5);
    // Posted lines hold nothing on the lot: removing one leaves the lot as it is (a deletion or
    // correction returns the goods itself).
    posted.Remove(line.id);
    EXPECT_TRUE(posted.List().empty());
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 4.0);
    EXPECT_DOUBLE_EQ(Free(), 0.0);
    sessionstart::End(*other);
}

}  // namespace
