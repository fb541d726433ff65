// The five simple stock documents: posting, deletion and their guards.

#include <gtest/gtest.h>

#include <cmath>

#include "PriceChangeTest.h"
#include "data/ScriptedPrompter.h"
#include "stock/Lots.h"
#include "stockdocs/IssueDocuments.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

class IssueDocumentsTest : public PriceChangeTest {
protected:
    int Post(DocumentKind kind, std::vector<sd::IssueLineEntry> lines, int number = 0) {
        for (const sd::IssueLineEntry& line : lines) {
            sd::AddIssueLine(*session, kind, session->sessionCode, line);
        }
        sd::IssueHeaderData header;
        header.number = number;
        header.date = QDate(2026, 3, 3);
        header.supplier = 2;
        return sd::PostWorkingIssueDocument(*session, kind, header, session->sessionCode);
    }
    int Headers(DocumentKind kind) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"") + Info(kind).headerTable +
                     QStringLiteral("\""));
    }
};

// Each of the five under each method: lot and book move by the quantity, deletion undoes it.
TEST_F(IssueDocumentsTest, EachDocumentPostedAndDeletedUnderEachMethod) {
    session->warehouseFlags.commission = true;
    for (StockMethod method : {StockMethod::Fifo, StockMethod::Average, StockMethod::LastPrice}) {
        UseMethod(method);
        for (const sd::IssueDocumentTexts& texts : sd::IssueDocuments()) {
            SCOPED_TRACE(StockMethodText(method).toStdString() + ' ' + texts.caption.toStdString());
            const int article = docs->AddArticle(texts.caption + StockMethodText(method));
            docs->Receipt({{article, 10, 4.00, 8.00}});
            docs->Receipt({{article, 10, 5.00, 8.00}});
            const int lot = *stock::DefaultLot(db(), 1, Year(), article);
            const int number = Post(texts.kind, {{article, lot, 3}});
            const bool in = texts.kind == DocumentKind::ReturnNote;
            EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), article), in ? 23 : 17);
            const auto entry = Entry(documents::CostFamilyOf(texts.kind).tradeBookType, number);
            ASSERT_TRUE(entry);
            EXPECT_DOUBLE_EQ(entry->value, in ? 24.0 : -24.0);
            ExpectBooksAgree(db(), 1, Year());
            if (method != StockMethod::Fifo) {
                ExpectPooledLotFollowsReplay(db(), 1, Year(), article);
            }
            sd::DeleteIssueDocument(*session, texts.kind, number);
            EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), article), 20);
            EXPECT_FALSE(Entry(documents::CostFamilyOf(texts.kind).tradeBookType, number));
            EXPECT_EQ(Headers(texts.kind), 0);
            ExpectBooksAgree(db(), 1, Year());
        }
    }
}

// A deletion is refused after a later price change or stock count of one of its lots, and
// allowed before; a return note's goods that went out again cannot be taken back.
TEST_F(IssueDocumentsTest, DeletionGuardsOnBothSides) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}, {nut, 10, 1.00, 2.00}});
    const int first = Post(DocumentKind::IssueNote, {{screw, receipt, 2}});
    const int second = Post(DocumentKind::IssueNote, {{screw, receipt, 1}});
    sd::DeleteIssueDocument(*session, DocumentKind::IssueNote, second);  // nothing after it
    docs->StockCount({{screw, receipt, 8}});
    EXPECT_REFUSED(sd::DeleteIssueDocument(*session, DocumentKind::IssueNote, first),
                   "Ovu izdatnicu nemožete stornirati jer su na artiklima iz izdatnice nakon "
                   "njenog izdavanja rađene inventure.");
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, screw).quantity, 8);

    const int writeOff = Post(DocumentKind::WriteOff, {{nut, receipt, 1}});
    docs->PriceChange({{nut, receipt, 2.50}});
    EXPECT_REFUSED(sd::DeleteIssueDocument(*session, DocumentKind::WriteOff, writeOff),
                   "Ovaj rashod nemožete stornirati jer su na artiklima iz rashoda nakon njenog "
                   "izdavanja rađene izmjene cijena.");
    EXPECT_REFUSED(sd::DeleteIssueDocument(*session, DocumentKind::WriteOff, 99),
                   "Ne postoji proknjiženi rashod broj 99");

    const int back = Post(DocumentKind::ReturnNote, {{nut, receipt, 4}});  // 9 + 4
    docs->Post(Issue::IssueNote, {{nut, 11, receipt}});
    EXPECT_REFUSED(sd::DeleteIssueDocument(*session, DocumentKind::ReturnNote, back),
                   "Ovu povratnicu nemožete izbrisati jer bi količina na skladištu nekog "
                   "artikla iz povratnice pala ispod nule.");
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, nut).quantity, 2);
    ScriptedPrompter no;
    no.AnswerNo();
    const int kept = Post(DocumentKind::SupplierReturn, {{nut, receipt, 1}});
    EXPECT_FALSE(sd::DeleteIssueDocument(*session, no, DocumentKind::SupplierReturn, kept));
    EXPECT_EQ(no.Shown(),
              QStringList{QStringLiteral("Želite li izbrisati povratnicu dobavljaču!")});
    EXPECT_EQ(Headers(DocumentKind::SupplierReturn), 1);
    ExpectBooksAgree(db(), 1, Year());
}

// Two workstations on one lot: the free quantity refuses the second line, and an older
// reservation's posting finds too little and writes nothing.
TEST_F(IssueDocumentsTest, TwoWorkstationsIssuingFromOneLot) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}});
    std::unique_ptr<Session> other = StartSession(1);
    sd::AddIssueLine(*session, DocumentKind::IssueNote, session->sessionCode, {screw, receipt, 7});
    EXPECT_REFUSED(
        sd::AddIssueLine(*other, DocumentKind::WriteOff, other->sessionCode, {screw, receipt, 4}),
        "Nedovoljna količina artikla Vijak M8");
    sd::AddIssueLine(*other, DocumentKind::WriteOff, other->sessionCode, {screw, receipt, 3});
    // The lot loses 2 by a stock count in between: the first posting still fits, the second not.
    docs->StockCount({{screw, receipt, 8}});
    sd::IssueHeaderData header;
    header.date = QDate(2026, 3, 3);
    sd::PostWorkingIssueDocument(*session, DocumentKind::IssueNote, header, session->sessionCode);
    const int entries = BookEntries();
    EXPECT_REFUSED(
        sd::PostWorkingIssueDocument(*other, DocumentKind::WriteOff, header, other->sessionCode),
        "Nedovoljna količina artikla Vijak M8");
    EXPECT_EQ(BookEntries(), entries);
    EXPECT_EQ(Headers(DocumentKind::WriteOff), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RASHODA_PRIVREMENO\"")), 1);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, screw).quantity, 1);
}

TEST_F(IssueDocumentsTest, WhatIsRefusedBeforeAnythingIsWritten) {
    UseMethod(StockMethod::Fifo);
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}});
    const int code = session->sessionCode;
    sd::IssueHeaderData header;
    header.date = QDate(2026, 3, 3);
    const int entries = BookEntries();
    EXPECT_REFUSED(sd::PostWorkingIssueDocument(*session, DocumentKind::IssueNote, header, code),
                   "Dokument nema niti jedne stavke !");
    EXPECT_EQ(BookEntries(), entries);
    EXPECT_REFUSED(
        sd::AddIssueLine(*session, DocumentKind::CommissionReturn, code, {screw, receipt, 1}),
        "Odjava se radi samo na komisijskom skladištu.");
    EXPECT_REFUSED(
        sd::AddIssueLine(*session, DocumentKind::IssueNote, code, {screw, receipt, std::nan("")}),
        "Količina nije ispravan broj !");
    EXPECT_REFUSED(sd::AddIssueLine(*session, DocumentKind::IssueNote, code, {screw, receipt, -1}),
                   "Količina mora biti veća od nule !");
    EXPECT_REFUSED(
        sd::AddIssueLine(*session, DocumentKind::ReturnNote, code, {screw, receipt, -11}),
        "Količina artikla bi pala ispod nule.");
    // A return to supplier names a supplier; the customer 1 is none.
    sd::AddIssueLine(*session, DocumentKind::SupplierReturn, code, {screw, receipt, 1});
    header.supplier = 1;
    EXPECT_REFUSED(
        sd::PostWorkingIssueDocument(*session, DocumentKind::SupplierReturn, header, code),
        "Nije izabran dobavljač !");
    EXPECT_EQ(BookEntries(), entries);
    // A number already used posts under the next one.
    sd::ClearWorkingIssueDocument(*session, DocumentKind::SupplierReturn, code);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, screw).freeQuantity, 10);
    EXPECT_EQ(Post(DocumentKind::IssueNote, {{screw, receipt, 1}}, 5), 5);
    EXPECT_EQ(Post(DocumentKind::IssueNote, {{screw, receipt, 1}}, 5), 6);
    // A price change between entry and posting.
    sd::AddIssueLine(*session, DocumentKind::IssueNote, code, {screw, receipt, 1});
    docs->PriceChange({{screw, receipt, 9.00}});
    header.supplier.reset();
    EXPECT_REFUSED(sd::PostWorkingIssueDocument(*session, DocumentKind::IssueNote, header, code),
                   "Promijenjena je cijena artikla Vijak M8");
}

}  // namespace
