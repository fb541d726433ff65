#include <gtest/gtest.h>

#include "StockTest.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "stock/CostFamilies.h"
#include "stock/Lots.h"
#include "stock/ReceiptLots.h"
#include "stock/TradeBook.h"
#include "support/Refused.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class ReceiptLotsTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        screw = docs->AddArticle(QStringLiteral("Vijak M8"));
        nut = docs->AddArticle(QStringLiteral("Matica M8"));
        washer = docs->AddArticle(QStringLiteral("Podloška"));
    }
    int Count(const QString& sql, const QVariantList& params = {}) {
        return db().Scalar(sql, params).toInt();
    }
    double Balance() { return tradebook::LastBalance(db(), tradebook::Book::Wholesale, 1, Year()); }
    int screw = 0;
    int nut = 0;
    int washer = 0;
};

TEST_F(ReceiptLotsTest, AverageTenAtFiveAndTenAtSixGiveTwentyAtFiveFiftyAndDeletionsUndoThem) {
    UseMethod(StockMethod::Average);
    const int first = docs->Receipt({{screw, 10, 5.00, 8.00, 30.0}});
    stock::Lot lot = Pooled(screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.00);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.00);

    const int second = docs->Receipt({{screw, 10, 6.00, 10.00, 25.0}}, QDate(2026, 3, 3));
    lot = Pooled(screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 20);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 20);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.50);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 9.00);
    EXPECT_EQ(lot.retailMargin, std::optional<double>(25.0));
    EXPECT_DOUBLE_EQ(Balance(), 180.00);

    docs->DeleteReceipt(second);
    lot = Pooled(screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 10);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.00);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.00);
    EXPECT_DOUBLE_EQ(Balance(), 80.00);
    ExpectBooksAgree(db(), 1, Year());

    // The only receipt of the article goes: so does its pooled lot, and the book is empty.
    docs->DeleteReceipt(first);
    EXPECT_FALSE(LotExists(db(), 1, Year(), 0, screw));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\"")), 0);
}

TEST_F(ReceiptLotsTest, AverageReceiptBringingTheLotToZeroLeavesItsPrices) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int minus = docs->Receipt({{screw, -10, 5.00, 8.00}}, QDate(2026, 3, 3));
    stock::Lot lot = Pooled(screw);
    EXPECT_EQ(lot.quantity, 0.0);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.00);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.00);
    // Taking the negative receipt out again divides by the remaining 10, not by 0.
    docs->DeleteReceipt(minus);
    lot = Pooled(screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.00);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.00);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(ReceiptLotsTest, FifoAddsASecondLineOfTheSameArticleIntoTheReceiptsLot) {
    UseMethod(StockMethod::Fifo);
    const int receipt =
        docs->Receipt({{screw, 10, 5.00, 8.00}, {nut, 2, 1.00, 1.50}, {screw, 30, 7.00, 12.00}});
    const stock::Lot lot = LotOf(db(), 1, Year(), receipt, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 40);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 40);
    EXPECT_DOUBLE_EQ(lot.costPrice, 6.50);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 11.00);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"NABAVE\"")), 2);
    ExpectBooksAgree(db(), 1, Year());
    docs->DeleteReceipt(receipt);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"NABAVE\"")), 0);
}

TEST_F(ReceiptLotsTest, AReceiptIsDeletedUnderTheMethodItWasPostedWith) {
    UseMethod(StockMethod::Fifo);
    const int fifo = docs->Receipt({{screw, 10, 5.00, 8.00}});
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"SkladisnaMetoda\" FROM \"PRIMKE\" WHERE "
                                         "\"BROJ PRIMKE\" = ?"),
                          {fifo})
                  .toString(),
              QStringLiteral("FIFO"));
    UseMethod(StockMethod::Average);
    const int pooled = docs->Receipt({{screw, 4, 6.00, 9.00}});
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), fifo, screw).quantity, 10);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 4);
    EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), screw), 14);

    UseMethod(StockMethod::LastPrice);
    docs->DeleteReceipt(fifo);
    EXPECT_FALSE(LotExists(db(), 1, Year(), fifo, screw));
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 4);
    docs->DeleteReceipt(pooled);
    EXPECT_FALSE(LotExists(db(), 1, Year(), 0, screw));
}

TEST_F(ReceiptLotsTest, LastPriceRepricesStockOnHandWithOnePriceChangePerReceipt) {
    UseMethod(StockMethod::LastPrice);
    docs->Receipt({{screw, 10, 5.00, 8.00}, {nut, 5, 2.00, 3.00}, {washer, 4, 1.00, 2.00}});
    EXPECT_DOUBLE_EQ(Balance(), 103.00);
    const int second =
        docs->Receipt({{screw, 10, 6.00, 9.00}, {nut, 5, 2.00, 3.00}, {washer, 2, 1.00, 2.50}},
                      QDate(2026, 3, 5));
    const int position = docs->ReceiptPosition(second);

    Statement header = db().Prepare(QStringLiteral(
        "SELECT \"BROJ_IZMJENE_CIJENA\", \"BROJ_PRIMKE\", \"DATUM\", \"RBR_TK\" FROM "
        "\"IZMJENE_CIJENA\""));
    header.Exec();
    ASSERT_TRUE(header.Next());
    EXPECT_EQ(header.Int(0), 1);
    EXPECT_EQ(header.Int(1), second);
    EXPECT_EQ(sqlvalue::ToDate(header.Value(2)), QDate(2026, 3, 5));
    EXPECT_EQ(header.Int(3), position + 1);
    EXPECT_FALSE(header.Next());
    header.Finish();
    EXPECT_EQ(Count(QStringLiteral("SELECT \"IZMJENA_CIJENA\" FROM \"PRIMKE\" WHERE \"BROJ "
                                   "PRIMKE\" = ?"),
                    {second}),
              1);

    Statement lines = db().Prepare(QStringLiteral(
        "SELECT \"ARTIKAL\", \"BROJ_PRIMKE\", \"KOLICINA\", \"STARA_CIJENA\", \"NOVA_CIJENA\", "
        "\"GRUPA_POREZA\", \"POREZ_%\" FROM \"STAVKE_IZMJENA_CIJENA\" ORDER BY \"ARTIKAL\""));
    lines.Exec();
    ASSERT_TRUE(lines.Next());
    EXPECT_EQ(lines.Int(0), screw);
    EXPECT_EQ(lines.Int(1), 0);             // the pooled lot it reprices
    EXPECT_DOUBLE_EQ(lines.Double(2), 10);  // the stock before the receipt
    EXPECT_DOUBLE_EQ(lines.Double(3), 8.00);
    EXPECT_DOUBLE_EQ(lines.Double(4), 9.00);
    EXPECT_EQ(lines.Text(5), QStringLiteral("PDV"));
    EXPECT_DOUBLE_EQ(lines.Double(6), 25);
    ASSERT_TRUE(lines.Next());
    EXPECT_EQ(lines.Int(0), washer);
    EXPECT_DOUBLE_EQ(lines.Double(2), 4);
    EXPECT_DOUBLE_EQ(lines.Double(3), 2.00);
    EXPECT_DOUBLE_EQ(lines.Double(4), 2.50);
    EXPECT_FALSE(lines.Next());
    lines.Finish();

    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 5.50);
    EXPECT_DOUBLE_EQ(Pooled(screw).sellingPrice, 9.00);
    EXPECT_DOUBLE_EQ(Pooled(washer).quantity, 6);
    EXPECT_DOUBLE_EQ(Pooled(washer).sellingPrice, 2.50);
    const std::optional<int> entry = tradebook::FindDocumentEntry(
        db(), tradebook::Book::Wholesale, 1, QStringLiteral("IZMJENA CIJENA"), Year(), 1);
    ASSERT_EQ(entry, std::optional<int>(position + 1));
    Statement book =
        db().Prepare(QStringLiteral("SELECT \"OPIS\", \"NABAVA_VRIJEDNOST\", \"STANJE_ROBE\" FROM "
                                    "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"RBR\" = ?"));
    book.Exec({*entry});
    ASSERT_TRUE(book.Next());
    EXPECT_EQ(book.Text(0), QStringLiteral("IZMJENA CIJENA 1"));
    EXPECT_DOUBLE_EQ(book.Double(1), 12.00);
    EXPECT_DOUBLE_EQ(book.Double(2), 225.00);
    book.Finish();
    ExpectBooksAgree(db(), 1, Year());

    // A receipt at the prices already held generates nothing.
    const int third = docs->Receipt({{nut, 1, 2.00, 3.00}});
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 1);
    docs->DeleteReceipt(third);

    // Deleting the receipt restores the old prices, through the generated lines found by the
    // price change's number and the article, and takes the price change and its entry along.
    docs->DeleteReceipt(second);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 10);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 5.00);
    EXPECT_DOUBLE_EQ(Pooled(screw).sellingPrice, 8.00);
    EXPECT_DOUBLE_EQ(Pooled(washer).sellingPrice, 2.00);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 5);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZMJENA_CIJENA\"")), 0);
    EXPECT_FALSE(tradebook::FindDocumentEntry(db(), tradebook::Book::Wholesale, 1,
                                              QStringLiteral("IZMJENA CIJENA"), Year(), 1));
    EXPECT_DOUBLE_EQ(Balance(), 103.00);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(ReceiptLotsTest, LastPriceRepricesTwiceForTwoLinesAndTheDeletionUndoesBoth) {
    UseMethod(StockMethod::LastPrice);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int second = docs->Receipt({{screw, 5, 6.00, 9.00}, {screw, 5, 7.00, 10.00}});
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZMJENA_CIJENA\"")), 2);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 20);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 5.75);
    EXPECT_DOUBLE_EQ(Pooled(screw).sellingPrice, 10.00);
    // 10 × (9 − 8) + 15 × (10 − 9)
    EXPECT_DOUBLE_EQ(db().Scalar(QStringLiteral("SELECT \"NABAVA_VRIJEDNOST\" FROM "
                                                "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                                "\"TIP_DOKUMENTA\" = 'IZMJENA CIJENA'"))
                         .toDouble(),
                     25.00);
    ExpectBooksAgree(db(), 1, Year());
    docs->DeleteReceipt(second);
    EXPECT_NEAR(Pooled(screw).costPrice, 5.00, 1e-12);
    EXPECT_NEAR(Pooled(screw).sellingPrice, 8.00, 1e-12);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(ReceiptLotsTest, LastPriceRepricesStockThatHadNoPriceYet) {
    UseMethod(StockMethod::LastPrice);
    docs->Receipt({{screw, 10, 5.00, 0.00}});
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    EXPECT_DOUBLE_EQ(Pooled(screw).sellingPrice, 8.00);
    EXPECT_DOUBLE_EQ(db().Scalar(QStringLiteral("SELECT \"NABAVA_VRIJEDNOST\" FROM "
                                                "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                                "\"TIP_DOKUMENTA\" = 'IZMJENA CIJENA'"))
                         .toDouble(),
                     80.00);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(ReceiptLotsTest, LastPriceRefusesAReceiptThatZeroesTheLotAtAnotherPrice) {
    UseMethod(StockMethod::LastPrice);
    docs->Receipt({{screw, 5, 4.00, 6.00}});
    docs->Receipt({{screw, -10, 4.00, 6.00}});
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, -5);
    const int receipts = Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\""));
    const int entries =
        Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\""));
    EXPECT_REFUSED(docs->Receipt({{screw, 5, 4.50, 6.00}}),
                   QStringLiteral("Nabavna cijena artikla 'Vijak M8' na zalihi (4) nije ista "
                                  "nabavnoj cijeni na stavci (4,5) a zbroj količina je nula. Nije "
                                  "dozvoljeno knjiženje."));
    EXPECT_REFUSED(docs->Receipt({{screw, 5, 4.00, 7.25}}),
                   QStringLiteral("Prodajna cijena artikla 'Vijak M8' na zalihi (6) nije ista "
                                  "prodajnoj cijeni na stavci (7,25) a zbroj količina je nula. "
                                  "Nije dozvoljeno knjiženje."));
    // Nothing of either attempt remains: no receipt, no generated price change, no entry.
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")), receipts);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\"")),
              entries);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, -5);

    docs->Receipt({{screw, 5, 4.00, 6.00}});
    EXPECT_EQ(Pooled(screw).quantity, 0.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(ReceiptLotsTest, LastPriceRefusesADeletionThatWouldTakeStockBelowZero) {
    UseMethod(StockMethod::LastPrice);
    const int receipt = docs->Receipt({{screw, 10, 5.00, 8.00}});
    docs->Post(Issue::IssueNote, {{screw, 6}});
    Transaction t(db());
    EXPECT_REFUSED(stock::RemoveReceiptFromLots(db(), {1, Year(), receipt}),
                   QStringLiteral("Ovu primku nemožete izbrisati jer bi količina "
                                  "artikla Vijak M8 pala ispod nule."));
}

TEST_F(ReceiptLotsTest, AReceiptNeedsItsHeaderAndAKnownMethod) {
    Transaction t(db());
    EXPECT_THROW(stock::PostReceiptIntoLots(db(), {1, Year(), 42}), std::logic_error);
    db().Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ "
                             "PRIMKE\", \"SkladisnaMetoda\") VALUES (1, ?, 42, 'fifo')"),
              {Year()});
    EXPECT_REFUSED(stock::PostReceiptIntoLots(db(), {1, Year(), 42}),
                   QStringLiteral("Primka broj 42 nema ispravno upisanu skladišnu metodu (fifo)."));
}

}  // namespace

namespace {

TEST_F(ReceiptLotsTest, AReceiptsLaterIssuesAreFoundInEveryFamilyOfTheSharedList) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 5.00, 8.00}});
    EXPECT_EQ(stock::FirstLaterIssue(db(), 1, Year(), screw, receipt, 0), nullptr);
    const int invoice = docs->Post(Issue::Invoice, {{screw, 1, receipt}});
    const stock::CostFamily* found = stock::FirstLaterIssue(db(), 1, Year(), screw, receipt, 0);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, QStringLiteral("Račun"));
    // An invoice of a book that does not take stock moved nothing from the lot.
    db().Exec(QStringLiteral("UPDATE \"RACUNI\" SET \"SKIDA\" = FALSE WHERE \"BROJ RACUNA\" = ?"),
              {invoice});
    EXPECT_EQ(stock::FirstLaterIssue(db(), 1, Year(), screw, receipt, 0), nullptr);
    session->workstation.debugMode = false;  // the lot kept the piece that invoice took
    docs->Post(Issue::ReturnNote, {{screw, 1, receipt}});
    found = stock::FirstLaterIssue(db(), 1, Year(), screw, receipt, 0);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->name, QStringLiteral("Povratnica"));
    // Only documents after the position count.
    EXPECT_EQ(stock::FirstLaterIssue(db(), 1, Year(), screw, receipt, 100), nullptr);
    EXPECT_EQ(stock::FirstLaterIssue(db(), 1, Year(), nut, receipt, 0), nullptr);
}

}  // namespace
