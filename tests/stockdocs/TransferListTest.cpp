// What the transfer's windows read and do beside posting: lines, receipts offered, list, table
// and printouts.
#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "data/ScriptedPrompter.h"
#include "stock/Lots.h"
#include "stockdocs/StockDocumentChoices.h"
#include "stockdocs/TransferLines.h"
#include "stockdocs/TransferList.h"
#include "stockdocs/TransferRemoval.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

class TransferListTest : public PriceChangeTest {
protected:
    void SetUp() override {
        PriceChangeTest::SetUp();
        UseMethod(StockMethod::Fifo);
        store = AddWarehouse(db(), QStringLiteral("Trgovina"));
        code = session->sessionCode;
    }
    int store = 0;
    int code = 0;
};

TEST_F(TransferListTest, LinesAreCutMergedAndRenumbered) {
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}, {nut, 5, 1.00, 2.00}});
    // A second workstation holds 3 screws: 7 are free here.
    std::unique_ptr<Session> other = StartSession(1);
    sd::AddTransferLine(*other, other->sessionCode, store, {screw, receipt, 3});
    const std::vector<sd::LotChoice> lots = sd::LotsWithStock(*session, screw);
    ASSERT_EQ(lots.size(), 1u);
    EXPECT_EQ(lots[0].lot, receipt);
    EXPECT_DOUBLE_EQ(lots[0].quantity, 10);
    EXPECT_DOUBLE_EQ(lots[0].freeQuantity, 7);
    EXPECT_DOUBLE_EQ(lots[0].sellingPrice, 8.00);

    sd::QuantityCheck check = sd::CheckLineQuantity(*session, screw, receipt, 9);
    EXPECT_DOUBLE_EQ(check.quantity, 7);
    EXPECT_EQ(check.message, QStringLiteral("Nedovoljna zaliha artikla. Količina će biti "
                                            "postavljena na najveću dopuštenu vrijednost."));
    EXPECT_TRUE(sd::CheckLineQuantity(*session, screw, receipt, 7).message.isEmpty());
    // A return note puts goods back: only a negative quantity beyond the free one is cut.
    EXPECT_TRUE(sd::CheckLineQuantity(*session, screw, receipt, 50, true).message.isEmpty());
    check = sd::CheckLineQuantity(*session, screw, receipt, -8, true);
    EXPECT_DOUBLE_EQ(check.quantity, -7);
    EXPECT_EQ(check.message, QStringLiteral("Količina artikla bi pala ispod nule."));

    // 2 at the source price, then 2 more at 10.00 added to the line: 4 at (2×8 + 2×10) / 4.
    sd::AddTransferLine(*session, code, store, {screw, receipt, 2});
    const std::optional<qint64> line = sd::WorkingTransferLineOf(*session, code, screw, receipt);
    ASSERT_TRUE(line);
    EXPECT_FALSE(sd::WorkingTransferLineOf(*session, code, nut, receipt));
    sd::AddToTransferLine(*session, code, store, *line, {screw, receipt, 2, 10.00});
    TableData grid = sd::WorkingTransferGrid(*session, code);
    ASSERT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.Value(0, 1).toInt(), 1);
    EXPECT_DOUBLE_EQ(grid.Value(0, 5).toDouble(), 4);
    EXPECT_DOUBLE_EQ(grid.Value(0, 8).toDouble(), 32.0);
    EXPECT_DOUBLE_EQ(grid.Value(0, 9).toDouble(), 9.0);
    EXPECT_DOUBLE_EQ(grid.Value(0, 10).toDouble(), 36.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, screw).freeQuantity, 3);
    // More than is free is refused and the line stays as it was.
    EXPECT_REFUSED(sd::AddToTransferLine(*session, code, store, *line, {screw, receipt, 4}),
                   "Nedovoljna količina artikla Vijak M8");
    EXPECT_DOUBLE_EQ(sd::WorkingTransferGrid(*session, code).Value(0, 5).toDouble(), 4);

    sd::AddTransferLine(*session, code, store, {nut, receipt, 5, std::nullopt, 2.50});
    EXPECT_EQ(sd::WorkingTransferTotals(*session, code), QStringLiteral("Ukupno : 42,00 EUR"));
    const qint64 nutLine = sd::WorkingTransferGrid(*session, code).Value(1, 0).toLongLong();
    for (const char* typed : {"x", "0"}) {
        EXPECT_REFUSED(
            sd::SetTransferLineNumber(*session, code, nutLine, QString::fromLatin1(typed)),
            "Nije ispravno upisan broj !");
    }
    sd::SetTransferLineNumber(*session, code, nutLine, QStringLiteral(" 7 "));
    EXPECT_EQ(sd::WorkingTransferGrid(*session, code).Value(1, 1).toInt(), 7);

    const documents::PostedTransfer t =
        sd::PostWorkingTransfer(*session, {0, QDate(2026, 3, 3), store, {}}, code);
    const TableData posted = sd::PostedTransferLines(db(), 1, Year(), t.number);
    ASSERT_EQ(posted.RowCount(), 2);
    EXPECT_EQ(posted.Value(1, 0).toInt(), 7);
    EXPECT_DOUBLE_EQ(posted.Value(1, 8).toDouble(), 2.00);  // 2.50 with 25 % tax
    ExpectBooksAgree(db(), store, Year());
}

TEST_F(TransferListTest, ReceiptsOfferedAreThoseWithGoodsFree) {
    const int first = docs->Receipt({{screw, 10, 4.00, 8.00}});
    const int second = docs->Receipt({{nut, 5, 1.00, 2.00}});
    TableData receipts = sd::ReceiptsWithStock(*session);
    ASSERT_EQ(receipts.RowCount(), 2);
    EXPECT_EQ(receipts.Value(0, 0).toInt(), first);
    // The whole of the first on the transfer: only the second is left to offer.
    EXPECT_EQ(sd::AddReceiptLines(*session, code, store, first), 1);
    receipts = sd::ReceiptsWithStock(*session);
    ASSERT_EQ(receipts.RowCount(), 1);
    EXPECT_EQ(receipts.Value(0, 0).toInt(), second);
    // Under the average price the goods are in the pooled lot, whichever receipt brought them.
    UseMethod(StockMethod::Average);
    const int pooled = docs->Receipt({{nut, 4, 1.50, 2.00}});
    receipts = sd::ReceiptsWithStock(*session);
    ASSERT_EQ(receipts.RowCount(), 2);
    EXPECT_EQ(receipts.Value(1, 0).toInt(), pooled);
}

TEST_F(TransferListTest, TheListTheTableAndThePrintouts) {
    const int receipt = docs->Receipt({{screw, 10, 4.00, 8.00}, {nut, 5, 1.00, 2.00}});
    sd::AddTransferLine(*session, code, store, {screw, receipt, 4, 10.00});
    sd::AddTransferLine(*session, code, store, {nut, receipt, 5});
    const documents::PostedTransfer t = sd::PostWorkingTransfer(
        *session, {0, QDate(2026, 3, 3), store, QStringLiteral("Za izlog")}, code);

    const TableData rows = sd::TransferChoices(db(), 1, Year());
    ASSERT_EQ(rows.RowCount(), 1);
    EXPECT_EQ(rows.Value(0, 0).toInt(), t.number);
    EXPECT_EQ(rows.Value(0, 2).toString(), QString::number(store) + QStringLiteral(" - Trgovina"));
    EXPECT_EQ(rows.Value(0, 3).toInt(), t.receipt);
    EXPECT_DOUBLE_EQ(rows.Value(0, 4).toDouble(), 42.0);
    EXPECT_FALSE(rows.Value(0, 5).toBool());
    EXPECT_EQ(sd::TransferDetails(db(), 1, Year(), t.number),
              QStringLiteral("Datum: 03.03.2026   Odredišno skladište: %1 - Trgovina   Odredišna "
                             "primka: %2   Za izlog")
                  .arg(store)
                  .arg(t.receipt));
    const TableData table = sd::TransferTable(db(), 1, Year());
    ASSERT_EQ(table.columns.size(), 3u);
    EXPECT_EQ(table.columns[1].header, QStringLiteral("Odredišno skladište"));
    EXPECT_EQ(table.Value(0, 2).toInt(), t.receipt);

    for (bool quantities : {false, true}) {
        const reports::ReportRequest request =
            sd::TransferPrintRequest(*session, t.number, quantities);
        EXPECT_EQ(request.reportFile,
                  quantities ? QStringLiteral("meduskl_kol.rpt") : QStringLiteral("meduskl.rpt"));
        EXPECT_EQ(request.title, QStringLiteral("Ispis međuskladišnice br. 1"));
        EXPECT_EQ(request.selection.ToText(),
                  QStringLiteral("{STAVKE_MEDUSKLADISNICA.SKLADISTE}=1 AND "
                                 "{STAVKE_MEDUSKLADISNICA.GODINA}=2026 AND "
                                 "{STAVKE_MEDUSKLADISNICA.BROJ_MEDUSKLADISNICE}=1"));
        EXPECT_EQ(request.formulas, (std::vector<std::pair<QString, QString>>{
                                        {QStringLiteral("SKLADISTE"),
                                         QStringLiteral("1 - ") + session->activeWarehouse.name}}));
    }

    EXPECT_REFUSED(sd::TransferPrintRequest(*session, t.number + 1, false),
                   "Ne postoji proknjižena međuskladišnica broj 2");
    sd::CancelTransfer(*session, t.number, QDate(2026, 3, 4), false);
    EXPECT_TRUE(sd::TransferChoices(db(), 1, Year()).Value(0, 5).toBool());
    EXPECT_EQ(sd::TransferDetails(db(), 1, Year(), t.number),
              QStringLiteral("Datum: 03.03.2026   Odredišno skladište: %1 - Trgovina   STORNO od "
                             "04.03.2026")
                  .arg(store));
    EXPECT_REFUSED(sd::TransferPrintRequest(*session, t.number, false),
                   "Međuskladišnica broj 1 je stornirana i nema stavaka za ispis.");
}

}  // namespace
