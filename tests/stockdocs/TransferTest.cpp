// Inter-warehouse transfers: posting with the destination receipt, and cancellation.

#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "data/ScriptedPrompter.h"
#include "data/Transaction.h"
#include "data/WorkingCopy.h"
#include "purchasing/ReceiptRemoval.h"
#include "stock/Lots.h"
#include "stock/ReceiptLots.h"
#include "stockdocs/TransferLines.h"
#include "stockdocs/TransferRemoval.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

class TransferTest : public PriceChangeTest {
protected:
    void SetUp() override {
        PriceChangeTest::SetUp();
        store = AddWarehouse(db(), QStringLiteral("Trgovina"));
    }
    // Enters the lines into the session's working copy and posts them.
    documents::PostedTransfer Transfer(const std::vector<sd::TransferLineEntry>& lines) {
        for (const sd::TransferLineEntry& line : lines) {
            sd::AddTransferLine(*session, session->sessionCode, store, line);
        }
        return sd::PostWorkingTransfer(*session, {0, QDate(2026, 3, 3), store, {}},
                                       session->sessionCode);
    }
    void ExpectBothAgree() {
        ExpectBooksAgree(db(), 1, Year());
        ExpectBooksAgree(db(), store, Year());
    }
    int Rows(const char* table) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"") + QString::fromLatin1(table) +
                     QStringLiteral("\""));
    }
    // The trade-book entry of a warehouse: its description and value.
    std::pair<QString, double> Book(int warehouse, const QString& type, int number) {
        Statement row = db().Prepare(QStringLiteral(
            "SELECT \"OPIS\", \"NABAVA_VRIJEDNOST\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
            "\"SKLADISTE\" = ? AND \"TIP_DOKUMENTA\" = ? AND \"BROJ_DOKUMENTA\" = ?"));
        row.Exec({warehouse, type, number});
        if (!row.Next()) {
            return {QString(), 0};
        }
        return {row.Value(0).toString(), row.Double(1)};
    }
    int store = 0;
};

// Two lines of one lot at two prices: one destination lot at the weighted selling price.
TEST_F(TransferTest, TwoLinesOfOneArticleUnderFifoAddToOneDestinationLot) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}});
    const documents::PostedTransfer t =
        Transfer({{screw, receipt, 3, 10.00}, {screw, receipt, 1, std::nullopt, 15.00}});
    EXPECT_EQ(t.number, 1);
    EXPECT_EQ(t.receipt, 100001);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, screw).quantity, 6);
    const stock::Lot in = LotOf(db(), store, Year(), t.receipt, screw);
    EXPECT_DOUBLE_EQ(in.quantity, 4);
    EXPECT_DOUBLE_EQ(in.costPrice, 4.00);
    // 15.00 with 25 % tax is 12.00 without: (3 × 10 + 1 × 12) / 4.
    EXPECT_DOUBLE_EQ(in.sellingPrice, 10.50);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"SKLADISTE\" = "
                                   "? AND \"BROJ_PRIMKE\" = ?"),
                    {store, t.receipt}),
              2);
    EXPECT_EQ(Book(1, QStringLiteral("MEĐUSKLADIŠNICA"), 1),
              std::make_pair(QStringLiteral("MEĐUSKLADIŠNICA 1"), -32.0));
    EXPECT_EQ(Book(store, QStringLiteral("PRIMKA"), t.receipt),
              std::make_pair(QStringLiteral("PRIMKA-MEĐUSKL. 100001"), 42.0));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" = ? AND "
                                   "\"TIP_PRIMKE\" = 2 AND \"DOKUMENT DOBAVLJACA\" = ?"),
                    {store, QStringLiteral("Međuskl.1/Skladište 1")}),
              1);
    EXPECT_EQ(Rows("STAVKE_MEDUSKLADISNICA_PRIVREMENO"), 0);
    ExpectBothAgree();
}

// Posted and cancelled under each method: afterwards both warehouses are as before the transfer,
// and lots, cards and books agree at every step.
TEST_F(TransferTest, TransferThenCancellationUnderEachMethod) {
    for (StockMethod method : {StockMethod::Fifo, StockMethod::Average, StockMethod::LastPrice}) {
        SCOPED_TRACE(StockMethodText(method).toStdString());
        UseMethod(method);
        const int article = docs->AddArticle(QStringLiteral("Artikl %1").arg(int(method)));
        const int receipt = docs->Receipt({{article, 10, 4.00, 8.00}});
        docs->Receipt({{article, 10, 6.00, 8.00}});
        const int lot = method == StockMethod::Fifo ? receipt : stock::kPooledLot;
        // The destination already holds the article at another cost.
        docs->Receipt({{article, 5, 7.00, 9.00}}, QDate(2026, 3, 2), store);
        // A new selling price there: the last-price method reprices the 5 on hand by a price
        // change that goes with the receipt when the transfer is cancelled.
        const documents::PostedTransfer t = Transfer({{article, lot, 4, 9.90}});
        ExpectBothAgree();
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), store, Year(), article), 9);
        if (method != StockMethod::Fifo) {
            ExpectPooledLotFollowsReplay(db(), 1, Year(), article);
            ExpectPooledLotFollowsReplay(db(), store, Year(), article);
            // 5 at 7.00 and 4 at the source average 5.00.
            EXPECT_NEAR(LotOf(db(), store, Year(), 0, article).costPrice, 55.0 / 9.0, 1e-9);
        }
        ScriptedPrompter answers;
        answers.AnswerYes();
        ASSERT_TRUE(sd::CancelTransfer(*session, answers, t.number, QDate(2026, 3, 4)));
        EXPECT_EQ(answers.Shown(), QStringList{sd::CancelTransferQuestion()});
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), article), 20);
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), store, Year(), article), 5);
        EXPECT_FALSE(stock::ReadReceiptHeader(db(), {store, Year(), t.receipt}));
        EXPECT_EQ(Book(1, QStringLiteral("MEĐUSKLADIŠNICA"), t.number).first, QString());
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"MEDUSKLADISNICE\" WHERE "
                                       "\"BROJ_MEDUSKLADISNICE\" = ? AND \"STORNO\""),
                        {t.number}),
                  1);
        ExpectBothAgree();
        if (method != StockMethod::Fifo) {
            ExpectPooledLotFollowsReplay(db(), 1, Year(), article);
            EXPECT_DOUBLE_EQ(LotOf(db(), store, Year(), 0, article).costPrice, 7.00);
            EXPECT_NEAR(LotOf(db(), store, Year(), 0, article).sellingPrice, 9.00, 1e-9);
        }
        EXPECT_REFUSED(sd::CheckTransferCanBeCancelled(*session, t.number),
                       QStringLiteral("Ne postoji proknjižena međuskladišnica broj ") +
                           QString::number(t.number));
    }
}

TEST_F(TransferTest, WhatIsRefusedBeforeAnythingIsWritten) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}});
    for (const auto& [code, name] : sd::DestinationWarehouses(*session)) {
        EXPECT_NE(code, 1) << name.toStdString();
    }
    const int code = session->sessionCode;
    for (int destination : {0, 1}) {
        EXPECT_REFUSED(sd::AddTransferLine(*session, code, destination, {screw, receipt, 1}),
                       "Nije izabrano odredišno skladište !");
    }
    EXPECT_REFUSED(sd::AddTransferLine(*session, code, store, {screw, receipt, 11}),
                   "Nedovoljna količina artikla Vijak M8");
    EXPECT_REFUSED(sd::AddTransferLine(*session, code, store, {screw, receipt, std::nan("")}),
                   "Količina nije ispravan broj !");
    // An empty transfer takes neither a number nor a trade-book position.
    const int entries = BookEntries();
    EXPECT_REFUSED(sd::PostWorkingTransfer(*session, {0, QDate(2026, 3, 3), store, {}}, code),
                   "Međuskladišnica nema niti jedne stavke !");
    EXPECT_EQ(BookEntries(), entries);
    // A second workstation holds 8 of the lot: only 2 are free for this one.
    std::unique_ptr<Session> other = StartSession(1);
    sd::AddTransferLine(*other, other->sessionCode, store, {screw, receipt, 8});
    EXPECT_REFUSED(sd::AddTransferLine(*session, code, store, {screw, receipt, 3}),
                   "Nedovoljna količina artikla Vijak M8");
    EXPECT_EQ(Rows("STAVKE_MEDUSKLADISNICA_PRIVREMENO"), 1);
    EXPECT_EQ(Rows("MEDUSKLADISNICE"), 0);
}

TEST_F(TransferTest, CancellationGuardsInEitherWarehouse) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}, {nut, 5, 1.00, 2.00}});
    const documents::PostedTransfer t = Transfer({{screw, receipt, 4}});
    const documents::PostedTransfer u = Transfer({{nut, receipt, 5}});
    auto unchanged = [&](int number, double sourceStock) {
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"MEDUSKLADISNICE\" WHERE "
                                       "\"BROJ_MEDUSKLADISNICE\" = ? AND NOT \"STORNO\""),
                        {number}),
                  1);
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), number == t.number ? screw : nut),
                         sourceStock);
    };
    // A stock count of the screw in the destination, after the transfer's receipt there.
    auto storeSession = StartSession(store);
    StockDocuments(*storeSession).StockCount({{screw, t.receipt, 4}});
    EXPECT_REFUSED(sd::CheckTransferCanBeCancelled(*session, t.number),
                   "Ovu međuskladišnicu nemožete stornirati jer su na artiklima iz "
                   "međuskladišnice nakon njenog knjiženja rađene inventure.");
    EXPECT_REFUSED(sd::CancelTransfer(*session, t.number, QDate(2026, 3, 4), false),
                   "Ovu međuskladišnicu nemožete stornirati jer su na artiklima iz "
                   "međuskladišnice nakon njenog knjiženja rađene inventure.");
    unchanged(t.number, 6);
    // The nuts went out of the destination again: its receipt cannot be deleted.
    StockDocuments(*storeSession).Post(Issue::IssueNote, {{nut, 1, u.receipt}});
    EXPECT_REFUSED(sd::CancelTransfer(*session, u.number, QDate(2026, 3, 4), false),
                   "Ovu primku nemožete izbrisati jer je iz njenih nabava već rađena izdatnica.\n"
                   "Zbog nemogućnosti storniranja primke storno međuskladišnice je prekinut.");
    unchanged(u.number, 0);
    ExpectBothAgree();
}

// Positions of one warehouse are never compared with another's: a price change in the source
// before the transfer has a higher position than the destination receipt has in its own book,
// and must not stop the cancellation.
TEST_F(TransferTest, PositionsOfDifferentWarehousesAreNeverCompared) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}});
    docs->PriceChange({{screw, receipt, 8.50}});                          // source position 2
    const documents::PostedTransfer t = Transfer({{screw, receipt, 4}});  // source 3, store 1
    ScriptedPrompter answers;
    answers.AnswerYes();
    EXPECT_TRUE(sd::CancelTransfer(*session, answers, t.number, QDate(2026, 3, 4)));
    ExpectBothAgree();
}

TEST_F(TransferTest, AReceiptGoneOrCancelledInTheDestination) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}});
    const documents::PostedTransfer gone = Transfer({{screw, receipt, 2}});
    const documents::PostedTransfer cancelled = Transfer({{screw, receipt, 3}});
    auto storeSession = StartSession(store);
    purchasing::DeleteReceipt(*storeSession, gone.receipt);
    ScriptedPrompter no;
    no.AnswerYes().AnswerNo();
    EXPECT_FALSE(sd::CancelTransfer(*session, no, gone.number, QDate(2026, 3, 4)));
    EXPECT_EQ(no.Shown(),
              (QStringList{sd::CancelTransferQuestion(), sd::DestinationReceiptGoneQuestion()}));
    EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), screw), 5);
    ScriptedPrompter yes;
    yes.AnswerYes().AnswerYes();
    EXPECT_TRUE(sd::CancelTransfer(*session, yes, gone.number, QDate(2026, 3, 4)));
    EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), screw), 7);

    ScriptedPrompter answers;
    answers.AnswerNo();
    purchasing::CancelReceipt(*storeSession, answers, cancelled.receipt, QDate(2026, 3, 4));
    const QString cancelledRefusal =
        QStringLiteral("Ovu primku nemožete izbrisati jer je stornirana storno primkom broj ") +
        QString::number(cancelled.receipt + 1) +
        QStringLiteral(
            ". Najprije izbrišite storno primku.\nZbog nemogućnosti storniranja "
            "primke storno međuskladišnice je prekinut.");
    ScriptedPrompter unasked;
    EXPECT_REFUSED(sd::CancelTransfer(*session, unasked, cancelled.number, QDate(2026, 3, 4)),
                   cancelledRefusal);
    EXPECT_TRUE(unasked.Shown().isEmpty());
    EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), screw), 7);
    ExpectBothAgree();
}

}  // namespace
