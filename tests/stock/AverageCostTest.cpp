#include <gtest/gtest.h>

#include "StockTest.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "documents/IssuePosting.h"
#include "stock/AverageCost.h"
#include "stock/Lots.h"
#include "stock/ReceiptCost.h"
#include "stock/TradeBook.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class AverageCostTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        UseMethod(StockMethod::Average);
        screw = docs->AddArticle(QStringLiteral("Vijak M8"));
        nut = docs->AddArticle(QStringLiteral("Matica M8"));
    }
    double IssueCost(int number, int article) {
        return LineCost(db(), QStringLiteral("STAVKE_IZDATNICA"), QStringLiteral("BROJ"),
                        QStringLiteral("SIFRA_ARTIKLA"), 1, Year(), number, article);
    }
    double Cost(Issue kind, int number, int article) {
        const stock::CostFamily& f = StockDocuments::Family(kind);
        if (f.fields == stock::CostFields::CountCost) {
            return sqlvalue::ToDouble(
                db().Scalar(QStringLiteral("SELECT \"N_CIJENA\" FROM \"STAVKE_INVENTURA\" WHERE "
                                           "\"BROJ_INVENTURE\" = ? AND \"SIFRA_ARTIKLA\" = ?"),
                            {number, article}));
        }
        return LineCost(db(), f.lineTable, f.lineNumber, f.articleColumn, 1, Year(), number,
                        article);
    }
    // An issue posted without the stock check, as an old document of a lot that ran below zero.
    int UncheckedIssue(int article, double quantity) {
        Transaction t(db());
        const documents::DocumentKey key =
            documents::NewDocumentKey(db(), DocumentKind::IssueNote, 1, Year());
        documents::IssuePosting posting(*session, key);
        posting.WriteHeader(QDate(2026, 3, 2));
        posting.Finish(posting.StockEntry(QDate(2026, 3, 2)));
        const int number = key.number;
        const stock::Lot lot = Pooled(article);
        db().Exec(QStringLiteral("INSERT INTO \"STAVKE_IZDATNICA\" (\"SKLADISTE\", \"GODINA\", "
                                 "\"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                                 "\"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"CIJENA\", "
                                 "\"VRIJEDNOST\") VALUES (1, ?, ?, ?, 0, ?, ?, ?, ?, ?)"),
                  {Year(), number, article, quantity, lot.costPrice, quantity * lot.costPrice,
                   lot.sellingPrice, quantity * lot.sellingPrice});
        stock::TakeFromLot(db(), {1, Year(), 0, article}, quantity);
        t.Commit();
        return number;
    }
    int screw = 0;
    int nut = 0;
};

// The double-count question. With pooled receipts before the position, the opening stock
// already holds the issues before the first affected receipt; adding them a second time (as an
// interval "from entry 1") would take 4 more pieces out and give the later issue
// (10 × 4 + 12 × 6.875) / 22 = 5.568…; counted once it is 150 / 26.
TEST_F(AverageCostTest, EveryIssueIsCountedOnceWhenAnEarlierIssueIsDeleted) {
    docs->Receipt({{screw, 10, 5.00, 9.00}});                       // 1: 10 @ 5
    const int first = docs->Post(Issue::IssueNote, {{screw, 4}});   // 2: 6 @ 5
    docs->Receipt({{screw, 10, 8.00, 9.00}});                       // 3: 16 @ 6.875
    const int second = docs->Post(Issue::IssueNote, {{screw, 6}});  // 4: 10 @ 6.875
    docs->Receipt({{screw, 10, 4.00, 9.00}});                       // 5: 20 @ 5.4375
    const int third = docs->Post(Issue::IssueNote, {{screw, 5}});   // 6: 15 @ 5.4375
    EXPECT_DOUBLE_EQ(IssueCost(first, screw), 5.00);
    EXPECT_DOUBLE_EQ(IssueCost(second, screw), 6.875);
    EXPECT_DOUBLE_EQ(IssueCost(third, screw), 5.4375);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);

    docs->Delete(Issue::IssueNote, second);
    EXPECT_DOUBLE_EQ(IssueCost(first, screw), 5.00);
    EXPECT_DOUBLE_EQ(IssueCost(third, screw), 150.0 / 26.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 21);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 150.0 / 26.0);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(AverageCostTest, NothingChangesWithoutAPooledReceiptAtOrAfterThePosition) {
    docs->Receipt({{screw, 10, 5.00, 9.00}});
    const int issue = docs->Post(Issue::IssueNote, {{screw, 4}});
    const int position = docs->Position(Issue::IssueNote, issue);
    db().Exec(QStringLiteral("UPDATE \"STAVKE_IZDATNICA\" SET \"NABAVNA_CIJENA\" = 99"));
    stock::RecomputeAverageCost(db(), 1, Year(), screw, position);
    EXPECT_DOUBLE_EQ(IssueCost(issue, screw), 99.0);
    // From the receipt on, the issue is brought back to the average of its moment.
    stock::RecomputeAverageCost(db(), 1, Year(), screw, 1);
    EXPECT_DOUBLE_EQ(IssueCost(issue, screw), 5.00);
    // Another article, warehouse or year is another pooled lot.
    stock::RecomputeAverageCost(db(), 1, Year(), nut, 0);
    stock::RecomputeAverageCost(db(), 2, Year(), screw, 0);
    EXPECT_FALSE(LotExists(db(), 1, Year(), 0, nut));
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 6);
}

TEST_F(AverageCostTest, ACorrectedFirstReceiptCarriesThroughTheWholeCard) {
    const int receipt = docs->Receipt({{screw, 10, 5.00, 9.00}});  // 1
    const int a = docs->Post(Issue::IssueNote, {{screw, 4}});      // 2
    docs->Receipt({{screw, 10, 8.00, 9.00}});                      // 3
    const int b = docs->Post(Issue::IssueNote, {{screw, 6}});      // 4
    docs->CorrectReceiptCost(receipt, screw, 6.00);
    EXPECT_DOUBLE_EQ(IssueCost(a, screw), 6.00);
    EXPECT_DOUBLE_EQ(IssueCost(b, screw), 7.25);  // (6 × 6 + 10 × 8) / 16
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 7.25);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 10);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(AverageCostTest, CancelledIssuesComeBackAtTheirOwnCostAlsoAfterARecomputation) {
    const int receipt = docs->Receipt({{screw, 10, 5.00, 9.00}});  // 1: 10 @ 5
    const int invoice = docs->Post(Issue::Invoice, {{screw, 4}});  // 2: 6 @ 5
    docs->Receipt({{screw, 10, 8.00, 9.00}});                      // 3: 16 @ 6.875
    docs->CancelInvoice(invoice);                                  // 4: 20 @ 6.5
    const int issue = docs->Post(Issue::IssueNote, {{screw, 5}});  // 5
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.5);
    EXPECT_DOUBLE_EQ(IssueCost(issue, screw), 6.5);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
    ExpectBooksAgree(db(), 1, Year());

    docs->CorrectReceiptCost(receipt, screw, 6.00);
    EXPECT_DOUBLE_EQ(Cost(Issue::Invoice, invoice, screw), 6.00);
    // 3: (6 × 6 + 10 × 8) / 16 = 7.25; 4: the 4 pieces back at 6: (16 × 7.25 + 24) / 20 = 7
    EXPECT_DOUBLE_EQ(IssueCost(issue, screw), 7.00);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 15);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 7.00);
    // The invoice's margin follows its cost: 4 × 9 sold against 4 × 6.
    EXPECT_DOUBLE_EQ(sqlvalue::ToDouble(db().Scalar(
                         QStringLiteral("SELECT \"RUC_IZNOS\" FROM \"STAVKE_RACUNA\""))),
                     12.00);
    EXPECT_DOUBLE_EQ(
        sqlvalue::ToDouble(db().Scalar(QStringLiteral("SELECT \"RUC_%\" FROM \"STAVKE_RACUNA\""))),
        50.00);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
    ExpectBooksAgree(db(), 1, Year());
}

// Every family of the shared list follows a change of the pooled cost, the transfer also in its
// destination warehouse.
TEST_F(AverageCostTest, EveryFamilyOfTheSharedListFollowsTheCost) {
    const int store = AddWarehouse(db(), QStringLiteral("Trgovina"));
    const int receipt = docs->Receipt({{screw, 100, 5.00, 9.00}});
    std::vector<std::pair<Issue, int>> posted;
    for (Issue kind :
         {Issue::IssueNote, Issue::WriteOff, Issue::CommissionReturn, Issue::SupplierReturn,
          Issue::ServiceConsumption, Issue::WorkOrder, Issue::FinishingWorkOrder, Issue::Invoice,
          Issue::DeliveryNote, Issue::ReturnNote}) {
        posted.push_back({kind, docs->Post(kind, {{screw, 2}})});
    }
    const int transfer = docs->Transfer(store, {{screw, 10}});
    const int count = docs->StockCount({{screw, 0, 70}});  // from 72
    docs->CorrectReceiptCost(receipt, screw, 6.00);

    for (const auto& [kind, number] : posted) {
        EXPECT_DOUBLE_EQ(Cost(kind, number, screw), 6.00)
            << StockDocuments::Family(kind).name.toStdString();
    }
    EXPECT_DOUBLE_EQ(
        sqlvalue::ToDouble(db().Scalar(
            QStringLiteral(
                "SELECT \"N_CIJENA\" FROM \"STAVKE_INVENTURA\" WHERE \"BROJ_INVENTURE\" = ?"),
            {count})),
        6.00);
    EXPECT_DOUBLE_EQ(LineCost(db(), QStringLiteral("STAVKE_MEDUSKLADISNICA"),
                              QStringLiteral("BROJ_MEDUSKLADISNICE"),
                              QStringLiteral("SIFRA_ARTIKLA"), 1, Year(), transfer, screw),
                     6.00);
    const int destination = docs->DestinationReceipt(transfer);
    Statement line = db().Prepare(QStringLiteral(
        "SELECT \"NABAVNA_CIJENA\", \"NABAVNA_VRIJEDNOST\", \"FAKTURNA_CIJENA\", "
        "\"NETTO_FAKTURNA_VRIJEDNOST\", \"RUC_IZNOS\" FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" "
        "= ? AND \"BROJ_PRIMKE\" = ?"));
    line.Exec({store, destination});
    ASSERT_TRUE(line.Next());
    EXPECT_DOUBLE_EQ(line.Double(0), 6.00);
    EXPECT_DOUBLE_EQ(line.Double(1), 60.00);
    EXPECT_DOUBLE_EQ(line.Double(2), 6.00);
    EXPECT_DOUBLE_EQ(line.Double(3), 60.00);
    EXPECT_DOUBLE_EQ(line.Double(4), 30.00);
    line.Finish();
    EXPECT_DOUBLE_EQ(LotOf(db(), store, Year(), 0, screw).costPrice, 6.00);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.00);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
    ExpectPooledLotFollowsReplay(db(), store, Year(), screw);
    ExpectBooksAgree(db(), 1, Year());
    ExpectBooksAgree(db(), store, Year());
}

TEST_F(AverageCostTest, AFifoCorrectionReachesTheLinesOfItsLotAndTheTransfersDestination) {
    UseMethod(StockMethod::Fifo);
    const int store = AddWarehouse(db(), QStringLiteral("Trgovina"));
    const int older = docs->Receipt({{screw, 10, 4.00, 9.00}});
    const int receipt = docs->Receipt({{screw, 50, 5.00, 9.00}});
    const int fromOlder = docs->Post(Issue::IssueNote, {{screw, 10}});
    const int invoice = docs->Post(Issue::Invoice, {{screw, 5, receipt}});
    const int transfer = docs->Transfer(store, {{screw, 10, receipt}});
    const int issue = docs->Post(Issue::IssueNote, {{screw, 3, receipt}});
    const int destination = docs->DestinationReceipt(transfer);
    const int sold = [&] {
        StockDocuments there(*session);
        session->activeWarehouse.code = store;
        const int n = there.Post(Issue::IssueNote, {{screw, 4, destination}});
        session->activeWarehouse.code = 1;
        return n;
    }();

    docs->CorrectReceiptCost(receipt, screw, 5.50);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, screw).costPrice, 5.50);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), older, screw).costPrice, 4.00);
    EXPECT_DOUBLE_EQ(IssueCost(fromOlder, screw), 4.00);
    EXPECT_DOUBLE_EQ(IssueCost(issue, screw), 5.50);
    EXPECT_DOUBLE_EQ(Cost(Issue::Invoice, invoice, screw), 5.50);
    EXPECT_DOUBLE_EQ(LotOf(db(), store, Year(), destination, screw).costPrice, 5.50);
    EXPECT_DOUBLE_EQ(LineCost(db(), QStringLiteral("STAVKE_IZDATNICA"), QStringLiteral("BROJ"),
                              QStringLiteral("SIFRA_ARTIKLA"), store, Year(), sold, screw),
                     5.50);
    ExpectBooksAgree(db(), 1, Year());
    ExpectBooksAgree(db(), store, Year());
}

// A method changed during the year: the FIFO lots and their issues stay as they are, and the
// pooled average is built from the pooled lot's own movements only.
TEST_F(AverageCostTest, FifoMovementsOfTheSameArticleStayOutOfThePooledAverage) {
    UseMethod(StockMethod::Fifo);
    const int fifo = docs->Receipt({{screw, 10, 3.00, 9.00}});               // 1
    const int fifoIssue = docs->Post(Issue::IssueNote, {{screw, 8, fifo}});  // 2
    UseMethod(StockMethod::Average);
    const int pooled = docs->Receipt({{screw, 10, 5.00, 9.00}});  // 3
    const int a = docs->Post(Issue::IssueNote, {{screw, 4, 0}});  // 4
    docs->Receipt({{screw, 10, 8.00, 9.00}});                     // 5
    const int b = docs->Post(Issue::IssueNote, {{screw, 6, 0}});  // 6
    docs->CorrectReceiptCost(pooled, screw, 6.00);
    EXPECT_DOUBLE_EQ(IssueCost(fifoIssue, screw), 3.00);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), fifo, screw).quantity, 2);
    EXPECT_DOUBLE_EQ(IssueCost(a, screw), 6.00);
    EXPECT_DOUBLE_EQ(IssueCost(b, screw), 7.25);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 10);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 7.25);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
    ExpectBooksAgree(db(), 1, Year());
}

// Zero is tested on rounded quantities, and a zero sum leaves the cost as it was: a lot brought
// to 0.000000000001 at another cost must not divide by it.
TEST_F(AverageCostTest, AZeroSumOfQuantitiesKeepsTheCostAndIsTestedRounded) {
    session->workstation.debugMode = false;  // such a lot keeps a residue the card shows
    for (const double back : {-10.0, -9.999999999999}) {
        const int article = docs->AddArticle(QStringLiteral("Artikl %1").arg(back));
        docs->Receipt({{article, 10, 5.00, 9.00}});
        docs->Receipt({{article, back, 9.00, 9.00}});
        EXPECT_EQ(Pooled(article).quantity, 0.0);
        EXPECT_DOUBLE_EQ(Pooled(article).costPrice, 5.00);
        const int issue = UncheckedIssue(article, 1);
        docs->Receipt({{article, 10, 7.00, 9.00}});
        EXPECT_DOUBLE_EQ(Pooled(article).costPrice, 65.0 / 9.0);

        stock::RecomputeAverageCost(db(), 1, Year(), article, 0);
        EXPECT_DOUBLE_EQ(IssueCost(issue, article), 5.00);
        EXPECT_DOUBLE_EQ(Pooled(article).quantity, 9);
        EXPECT_DOUBLE_EQ(Pooled(article).costPrice, 65.0 / 9.0);
        ExpectPooledLotFollowsReplay(db(), 1, Year(), article);
    }
}

// The recomputation keeps what open documents hold: the free quantity moves with the quantity.
TEST_F(AverageCostTest, ALotSetRightByTheReplayKeepsItsReservations) {
    docs->Receipt({{screw, 10, 5.00, 9.00}});
    docs->Receipt({{screw, 10, 7.00, 9.00}});
    stock::ReserveFromLot(db(), {1, Year(), 0, screw}, 3);
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = 25, \"NABAVNA CIJENA\" = 1"));
    stock::RecomputeAverageCost(db(), 1, Year(), screw, 0);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 20);
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, 12);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.00);
}

}  // namespace
