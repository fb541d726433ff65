#include <gtest/gtest.h>

#include "StockTest.h"
#include "app/SessionStart.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "stock/Lots.h"
#include "stock/TradeBook.h"
#include "stockdocs/IssueDocuments.h"
#include "support/Refused.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class LotsTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        screw = docs->AddArticle(QStringLiteral("Vijak M8"));
    }
    int Count(const QString& table) {
        return db()
            .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"") + table + QStringLiteral("\""))
            .toInt();
    }
    // A line accepted in an issue note's working copy: the row and its reservation together.
    static void AcceptLine(Session& s, int article, int lot, double quantity) {
        Transaction t(s.Db());
        s.Db().Exec(
            QStringLiteral("INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" (\"SKLADISTE\", "
                           "\"GODINA\", \"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", "
                           "\"KOLICINA\", \"Multiuser_sifra\") VALUES (1, ?, 0, ?, ?, ?, ?)"),
            {s.businessYear, article, lot, quantity, s.sessionCode});
        stock::ReserveFromLot(s.Db(), {1, s.businessYear, lot, article}, quantity);
        t.Commit();
    }
    static void DropLines(Session& s, int article, int lot, double quantity) {
        Transaction t(s.Db());
        s.Db().Exec(QStringLiteral("DELETE FROM \"STAVKE_IZDATNICA_PRIVREMENO\" WHERE "
                                   "\"Multiuser_sifra\" = ?"),
                    {s.sessionCode});
        stock::ReleaseToLot(s.Db(), {1, s.businessYear, lot, article}, quantity);
        t.Commit();
    }
    double Free(Session& s, int lot, int article) {
        return LotOf(s.Db(), 1, s.businessYear, lot, article).freeQuantity;
    }
    int screw = 0;
};

TEST_F(LotsTest, FifoKeepsALotPerReceiptAndIssuesTheOlderOneUntilItIsEmpty) {
    UseMethod(StockMethod::Fifo);
    const int first = docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int second = docs->Receipt({{screw, 10, 6.00, 9.00}}, QDate(2026, 3, 3));
    EXPECT_EQ(stock::ListLots(db(), 1, Year(), screw, true), (std::vector<int>{first, second}));
    EXPECT_EQ(stock::DefaultLot(db(), 1, Year(), screw), std::optional<int>(first));
    EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), screw), 20.0);

    const int issue = docs->Post(Issue::IssueNote, {{screw, 10}});
    EXPECT_DOUBLE_EQ(LineCost(db(), QStringLiteral("STAVKE_IZDATNICA"), QStringLiteral("BROJ"),
                              QStringLiteral("SIFRA_ARTIKLA"), 1, Year(), issue, screw),
                     5.00);
    // The used-up lot stays at 0 and is listed among all lots, not among those with stock.
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), first, screw).quantity, 0.0);
    EXPECT_EQ(stock::DefaultLot(db(), 1, Year(), screw), std::optional<int>(second));
    EXPECT_EQ(stock::ListLots(db(), 1, Year(), screw, true), (std::vector<int>{second}));
    EXPECT_EQ(stock::ListLots(db(), 1, Year(), screw, false), (std::vector<int>{first, second}));

    const int next = docs->Post(Issue::IssueNote, {{screw, 4}});
    EXPECT_DOUBLE_EQ(LineCost(db(), QStringLiteral("STAVKE_IZDATNICA"), QStringLiteral("BROJ"),
                              QStringLiteral("SIFRA_ARTIKLA"), 1, Year(), next, screw),
                     6.00);
    EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), screw), 6.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(LotsTest, PooledStockIsLotZeroAndAnArticleWithoutStockHasNoDefault) {
    UseMethod(StockMethod::Average);
    EXPECT_FALSE(stock::DefaultLot(db(), 1, Year(), screw));
    EXPECT_EQ(stock::ArticleStock(db(), 1, Year(), screw), 0.0);
    EXPECT_EQ(stock::ArticleStock(*session, 1, std::nullopt), 0.0);
    docs->Receipt({{screw, 3, 1.00, 2.00}});
    docs->Receipt({{screw, 4, 1.00, 2.00}});
    EXPECT_EQ(stock::DefaultLot(db(), 1, Year(), screw), std::optional<int>(0));
    EXPECT_EQ(stock::ListLots(db(), 1, Year(), screw, true), (std::vector<int>{0}));
    EXPECT_DOUBLE_EQ(stock::ArticleStock(*session, 1, screw), 7.0);
    // Other warehouses and years are not this stock.
    EXPECT_EQ(stock::ArticleStock(db(), 2, Year(), screw), 0.0);
    EXPECT_EQ(stock::ArticleStock(db(), 1, Year() - 1, screw), 0.0);
}

TEST_F(LotsTest, TakingFromALotWhoseReceiptIsGoneRefusesAndWritesNothing) {
    UseMethod(StockMethod::Fifo);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int entries = Count(QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE"));
    EXPECT_REFUSED(docs->Post(Issue::IssueNote, {{screw, 2, 99}}),
                   QStringLiteral("Napravljen je storno primke po kojoj je ušao artikal Vijak M8"));
    EXPECT_EQ(Count(QStringLiteral("IZDATNICE")), 0);
    EXPECT_EQ(Count(QStringLiteral("STAVKE_IZDATNICA")), 0);
    EXPECT_EQ(Count(QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE")), entries);

    const stock::LotKey gone{1, Year(), 99, screw};
    EXPECT_THROW(stock::TakeFromLot(db(), gone, 1), UserError);
    EXPECT_THROW(stock::ReturnToLot(db(), gone, 1), UserError);
    EXPECT_THROW(stock::ReserveFromLot(db(), gone, 1), UserError);
    stock::ReleaseToLot(db(), gone, 1);  // it holds nothing: nothing to release
    EXPECT_FALSE(LotExists(db(), 1, Year(), 99, screw));
}

TEST_F(LotsTest, APostingChecksQuantityAndPriceOfEveryLot) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 5.00, 8.00}});
    const stock::LotKey key{1, Year(), receipt, screw};
    EXPECT_REFUSED(stock::TakeFromLotChecked(db(), key, 10.5),
                   QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    EXPECT_REFUSED(stock::TakeFromLotChecked(db(), key, 1, 8.01),
                   QStringLiteral("Promijenjena je cijena artikla Vijak M8"));
    const stock::Lot before = stock::TakeFromLotChecked(db(), key, 10, 8.00);
    EXPECT_DOUBLE_EQ(before.quantity, 10.0);
    EXPECT_DOUBLE_EQ(before.costPrice, 5.00);
    EXPECT_EQ(LotOf(db(), 1, Year(), receipt, screw).quantity, 0.0);
}

TEST_F(LotsTest, QuantitiesAreStoredAtTenDecimals) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 0.1, 5.00, 8.00}});
    const stock::LotKey key{1, Year(), receipt, screw};
    stock::ReturnToLot(db(), key, 0.2);
    EXPECT_EQ(LotOf(db(), 1, Year(), receipt, screw).quantity, 0.3);
    stock::TakeFromLot(db(), key, 0.3);
    EXPECT_EQ(LotOf(db(), 1, Year(), receipt, screw).quantity, 0.0);
    stock::ReserveFromLot(db(), key, 0.1);
    stock::ReleaseToLot(db(), key, 0.2);
    EXPECT_EQ(LotOf(db(), 1, Year(), receipt, screw).freeQuantity, 0.4);
}

TEST_F(LotsTest, ACancelledIssueComesBackAtTheCostItLeftAt) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    stock::ReturnToLotAtCost(db(), {1, Year(), 0, screw}, 10, 6.00);
    const stock::Lot lot = Pooled(screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 20.0);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 20.0);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.50);
    // Back to exactly zero: the sum has no average, the cost stays.
    stock::TakeFromLot(db(), {1, Year(), 0, screw}, 25);
    stock::ReturnToLotAtCost(db(), {1, Year(), 0, screw}, 5, 9.00);
    EXPECT_EQ(Pooled(screw).quantity, 0.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 5.50);
}

TEST_F(LotsTest, TwoWorkstationsReserveFromOneLotAndThePostingChecksAgain) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    std::unique_ptr<Session> other = StartSession(1);
    ASSERT_TRUE(other);
    other->stockMethod = StockMethod::Average;

    AcceptLine(*session, screw, 0, 6);
    EXPECT_DOUBLE_EQ(Free(*other, 0, screw), 4.0);
    // The other workstation opens its window: the first one's reservation stays.
    stock::ResetFreeQuantities(other->Db());
    EXPECT_DOUBLE_EQ(Free(*other, 0, screw), 4.0);
    EXPECT_DOUBLE_EQ(stock::HeldByWorkingCopies(other->Db(), {1, Year(), 0, screw}), 6.0);
    AcceptLine(*other, screw, 0, 6);
    EXPECT_DOUBLE_EQ(Free(*session, 0, screw), -2.0);

    // The first posts: its reservation becomes the take, the second's reservation stays.
    stockdocs::IssueHeaderData header;
    header.date = QDate(2026, 3, 2);
    stockdocs::PostWorkingIssueDocument(*session, DocumentKind::IssueNote, header,
                                        session->sessionCode);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 4.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, -2.0);
    stock::ResetFreeQuantities(db());
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, -2.0);

    // The second posting finds too little in its own transaction and writes nothing.
    const int entries = Count(QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE"));
    EXPECT_REFUSED(stockdocs::PostWorkingIssueDocument(*other, DocumentKind::IssueNote, header,
                                                       other->sessionCode),
                   QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    EXPECT_EQ(Count(QStringLiteral("IZDATNICE")), 1);
    EXPECT_EQ(Count(QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE")), entries);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 4.0);

    // The second workstation drops its line; then it ends and its codes are released.
    DropLines(*other, screw, 0, 6);
    EXPECT_DOUBLE_EQ(Free(*session, 0, screw), 4.0);
    AcceptLine(*other, screw, 0, 1);
    sessionstart::End(*other);
    stock::ResetFreeQuantities(db());
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, 4.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(LotsTest, RowsOfSessionsThatNoLongerExistHoldNothing) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    db().Exec(
        QStringLiteral("INSERT INTO \"STAVKE_RACUNA_PRIVREMENO\" (\"SKLADISTE\", \"IRA\", "
                       "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", "
                       "\"BROJ_PRIMKE\", \"KOLICINA\", \"Multiuser_sifra\") VALUES (1, 1, ?, "
                       "0, 'ART', ?, 0, 3, ?), (1, 1, ?, 0, 'USL', ?, 0, 100, ?), (1, 1, ?, "
                       "0, 'ART', ?, 0, 50, 987654)"),
        {Year(), screw, session->sessionCode, Year(), screw, session->sessionCode, Year(), screw});
    stock::ResetFreeQuantities(db());
    // Only the article line of the open session holds: not the service line with the same
    // code, not the line of a session that ended without clearing its copy.
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, 7.0);
}

}  // namespace
