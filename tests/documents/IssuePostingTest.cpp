#include <gtest/gtest.h>

#include <set>

#include "data/Errors.h"
#include "data/Transaction.h"
#include "documents/IssuePosting.h"
#include "documents/PostedLines.h"
#include "stock/Lots.h"
#include "stock/StockTest.h"
#include "stock/TradeBook.h"

using namespace zodra;
using namespace zodra::test;
using documents::DocumentKey;
using documents::IssuePosting;

namespace {

class IssuePostingTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        screw = docs->AddArticle(QStringLiteral("Vijak M8"));
        nut = docs->AddArticle(QStringLiteral("Matica M8"));
    }
    int Count(const QString& table) {
        return db()
            .Scalar(QStringLiteral("SELECT COUNT(*) FROM \"") + table + QStringLiteral("\""))
            .toInt();
    }
    // An issue note of the lines, posted the way a document controller posts it.
    int PostIssueNote(const std::vector<documents::IssueLine>& lines,
                      std::optional<double> enteredPrice = std::nullopt) {
        Transaction transaction(db());
        IssuePosting posting(*session,
                             documents::NewDocumentKey(db(), DocumentKind::IssueNote, 1, Year()));
        posting.WriteHeader(QDate(2026, 3, 2));
        for (const documents::IssueLine& line : lines) {
            posting.WriteLine(posting.Take(line, enteredPrice));
        }
        posting.Finish(posting.StockEntry(QDate(2026, 3, 2)));
        transaction.Commit();
        return posting.Key().number;
    }
    void ExpectRefused(const std::vector<documents::IssueLine>& lines, const QString& message,
                       std::optional<double> enteredPrice = std::nullopt) {
        try {
            PostIssueNote(lines, enteredPrice);
            ADD_FAILURE() << "posted: " << message.toStdString();
        } catch (const UserError& e) {
            EXPECT_EQ(e.message(), message);
        }
    }
    int screw = 0;
    int nut = 0;
};

TEST_F(IssuePostingTest, AnIssueBeyondStockIsRefusedAndLeavesNothingBehind) {
    docs->Receipt({{screw, 10, 5.00, 8.00}, {nut, 3, 1.00, 2.00}});
    const int entries = Count(QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE"));

    // The first line fits and is taken; the second asks for one more than the lot holds, and
    // the whole posting goes: header, lines, entry and the first line's take.
    ExpectRefused({{screw, 4}, {nut, 4}}, QStringLiteral("Nedovoljna količina artikla Matica M8"));
    EXPECT_EQ(Count(QStringLiteral("IZDATNICE")), 0);
    EXPECT_EQ(Count(QStringLiteral("STAVKE_IZDATNICA")), 0);
    EXPECT_EQ(Count(QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE")), entries);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 10.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, nut).quantity, 3.0);
    // An article without any stock has no lot to default to.
    const int washer = docs->AddArticle(QStringLiteral("Podloška"));
    ExpectRefused({{washer, 1}}, QStringLiteral("Nedovoljna količina artikla Podloška"));

    // Exactly the stock is fine, and the refused posting did not use up a number.
    EXPECT_EQ(PostIssueNote({{screw, 4}, {nut, 3}}), 1);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, nut).quantity, 0.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 6.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(IssuePostingTest, LinesCarryTheirLotsCostAndPriceAndTheEntryTheirValue) {
    // FIFO: a line without a lot takes from the oldest with stock at that moment, so the second
    // line finds the first lot empty and goes to the second.
    docs->Receipt({{screw, 2, 5.00, 8.00}});
    docs->Receipt({{screw, 5, 6.00, 9.50}});
    const int number = PostIssueNote({{screw, 2}, {screw, 3}});

    documents::PostedLines lines(db(), {DocumentKind::IssueNote, 1, std::nullopt, Year(), number});
    const std::vector<documents::DocumentLine> posted =
        lines.List({QStringLiteral("NABAVNA_CIJENA"), QStringLiteral("NABAVNA_VRIJEDNOST"),
                    QStringLiteral("CIJENA"), QStringLiteral("VRIJEDNOST")});
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0].lot, 1);
    EXPECT_EQ(posted[1].lot, 2);
    EXPECT_DOUBLE_EQ(
        documents::ValueOf(posted[0].other, QStringLiteral("NABAVNA_CIJENA")).toDouble(), 5.00);
    EXPECT_DOUBLE_EQ(
        documents::ValueOf(posted[1].other, QStringLiteral("NABAVNA_VRIJEDNOST")).toDouble(), 18.0);
    EXPECT_DOUBLE_EQ(documents::ValueOf(posted[1].other, QStringLiteral("CIJENA")).toDouble(),
                     9.50);
    EXPECT_DOUBLE_EQ(documents::ValueOf(posted[1].other, QStringLiteral("VRIJEDNOST")).toDouble(),
                     28.5);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 0.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 2, screw).quantity, 2.0);

    const std::vector<tradebook::StoredEntry> book = tradebook::Entries(
        db(), tradebook::Book::Wholesale, 1, Year(), QDate(2026, 1, 1), QDate(2026, 12, 31));
    ASSERT_EQ(book.size(), 3u);
    EXPECT_EQ(book.back().entry.type, QStringLiteral("IZDATNICA"));
    EXPECT_EQ(book.back().entry.description, QStringLiteral("IZDATNICA 1"));
    EXPECT_DOUBLE_EQ(book.back().entry.purchaseValue, -44.5);
    EXPECT_EQ(docs->Position(Issue::IssueNote, number), book.back().number);
    ExpectBooksAgree(db(), 1, Year());
}

// A selling line written by the issue side carries its margin over the lot's cost; the invoice,
// posted by its own posting, follows the invoice's rule for goods that cost nothing (rate 0).
TEST_F(IssuePostingTest, ASellingLineCarriesItsMarginOverTheLotsCost) {
    docs->Receipt({{screw, 10, 5.00, 8.00}, {nut, 4, 0.00, 2.00}});
    for (const Issue kind : {Issue::DeliveryNote, Issue::Invoice}) {
        const bool invoice = kind == Issue::Invoice;
        const int number = docs->Post(kind, {{screw, 2}, {nut, 1}});
        documents::PostedLines lines(
            db(), {invoice ? DocumentKind::Invoice : DocumentKind::DeliveryNote, 1,
                   invoice ? std::optional<int>(1) : std::nullopt, Year(), number});
        const std::vector<documents::DocumentLine> posted =
            lines.List({QStringLiteral("RUC_IZNOS"), QStringLiteral("RUC_%")});
        ASSERT_EQ(posted.size(), 2u);
        // Sold for 16.00 what cost 10.00.
        EXPECT_DOUBLE_EQ(
            documents::ValueOf(posted[0].other, QStringLiteral("RUC_IZNOS")).toDouble(), 6.0);
        EXPECT_DOUBLE_EQ(documents::ValueOf(posted[0].other, QStringLiteral("RUC_%")).toDouble(),
                         60.0);
        // Goods that cost nothing have a margin; no margin rate (the invoice: rate 0).
        EXPECT_DOUBLE_EQ(
            documents::ValueOf(posted[1].other, QStringLiteral("RUC_IZNOS")).toDouble(), 2.0);
        const QVariant rate = documents::ValueOf(posted[1].other, QStringLiteral("RUC_%"));
        if (invoice) {
            EXPECT_DOUBLE_EQ(rate.toDouble(), 0.0);
        } else {
            EXPECT_TRUE(rate.isNull());
        }
        // The entry is a sale, under the document's type (an invoice: its book's).
        const std::vector<tradebook::StoredEntry> book = tradebook::Entries(
            db(), tradebook::Book::Wholesale, 1, Year(), QDate(2026, 1, 1), QDate(2026, 12, 31));
        EXPECT_EQ(book.back().entry.type,
                  invoice ? QStringLiteral("1RAČUN") : QStringLiteral("OTPREMNICA"));
        EXPECT_DOUBLE_EQ(book.back().entry.salesValue, 18.0);
        EXPECT_DOUBLE_EQ(book.back().entry.purchaseValue, 0.0);
        ExpectBooksAgree(db(), 1, Year());
    }
}

TEST_F(IssuePostingTest, ALotThatChangedPriceOrIsGoneRefusesTheLine) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    // The line was entered at 8.00 and the lot still sells at 8.00: posted.
    PostIssueNote({{screw, 1}}, 8.00);
    // Entered at 7.50, but the lot sells at 8.00 by now.
    ExpectRefused({{screw, 1}}, QStringLiteral("Promijenjena je cijena artikla Vijak M8"), 7.50);
    // A FIFO lot named by a line of a warehouse that never received it.
    ExpectRefused({{screw, 1, 42}},
                  QStringLiteral("Napravljen je storno primke po kojoj je ušao artikal Vijak M8"));
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 9.0);
    EXPECT_EQ(Count(QStringLiteral("IZDATNICE")), 1);
}

TEST_F(IssuePostingTest, AReturnNotePutsTheGoodsBackAndRaisesTheStockValue) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    docs->Post(Issue::IssueNote, {{screw, 4}});
    Transaction transaction(db());
    IssuePosting posting(*session,
                         documents::NewDocumentKey(db(), DocumentKind::ReturnNote, 1, Year()));
    posting.WriteHeader(QDate(2026, 3, 3));
    // A return is not limited by what the lot holds.
    posting.WriteLine(posting.Take({screw, 3}));
    const tradebook::Entry entry = posting.StockEntry(QDate(2026, 3, 3));
    EXPECT_DOUBLE_EQ(entry.purchaseValue, 24.0);
    EXPECT_EQ(entry.description, QStringLiteral("POVRATNICA 1"));
    posting.Finish(entry);
    transaction.Commit();
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 9.0);
    // The returned goods are free again at once, and a recount finds the same.
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, 9.0);
    stock::ResetFreeQuantities(db());
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, 9.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(IssuePostingTest, TwoWorkstationsPostFromOneLotOneAfterTheOther) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    std::unique_ptr<Session> other = StartSession(1);
    ASSERT_TRUE(other);
    other->stockMethod = StockMethod::Average;
    other->workstation.debugMode = true;
    auto post = [&](Session& s, double quantity) {
        Transaction transaction(s.Db());
        IssuePosting posting(
            s, documents::NewDocumentKey(s.Db(), DocumentKind::IssueNote, 1, s.businessYear));
        posting.WriteHeader(QDate(2026, 3, 2));
        posting.WriteLine(posting.Take({screw, quantity}));
        posting.Finish(posting.StockEntry(QDate(2026, 3, 2)));
        transaction.Commit();
        return posting.Key().number;
    };
    EXPECT_EQ(post(*session, 7), 1);
    // The second workstation's posting reads the lot inside its own write transaction, after
    // the first committed: 3 are left, 4 are too many, and its number is the next one.
    try {
        post(*other, 4);
        ADD_FAILURE() << "two workstations issued the same goods";
    } catch (const UserError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    }
    EXPECT_EQ(post(*other, 3), 2);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 0.0);
    EXPECT_EQ(Count(QStringLiteral("IZDATNICE")), 2);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(IssuePostingTest, KeysOrderByKindWarehouseBookYearAndNumberAndReadAsMessagesShowThem) {
    const DocumentKey note{DocumentKind::IssueNote, 1, std::nullopt, 2026, 7};
    const DocumentKey invoice{DocumentKind::Invoice, 1, 1, 2026, 12};
    EXPECT_EQ(note.ToString(), QStringLiteral("Izdatnica 7 (skladište 1, 2026)"));
    EXPECT_EQ(invoice.ToString(), QStringLiteral("Račun 1-12 (skladište 1, 2026)"));
    EXPECT_EQ(documents::TradeBookType(invoice), QStringLiteral("1RAČUN"));
    EXPECT_EQ(documents::TradeBookType(note), QStringLiteral("IZDATNICA"));
    // The number decides only among keys equal in everything before it.
    const std::set<DocumentKey> keys{{DocumentKind::IssueNote, 2, std::nullopt, 2026, 1},
                                     {DocumentKind::IssueNote, 1, std::nullopt, 2026, 9},
                                     {DocumentKind::IssueNote, 1, std::nullopt, 2025, 30},
                                     note};
    std::vector<int> numbers;
    for (const DocumentKey& key : keys) {
        numbers.push_back(key.number);
    }
    EXPECT_EQ(numbers, (std::vector<int>{30, 7, 9, 1}));
    EXPECT_NE(note, (DocumentKey{DocumentKind::ReturnNote, 1, std::nullopt, 2026, 7}));
    EXPECT_TRUE(documents::KeyIsComplete(note));
    EXPECT_FALSE(documents::KeyIsComplete({DocumentKind::Invoice, 1, std::nullopt, 2026, 1}));
}

}  // namespace
