// Composite products on the invoice: the line of its own kind (checks, merge, delete, totals),
// production at posting (work order, receipt, parts taken, the product sold from its new lot),
// a shortage of parts that leaves nothing, and cancellation and deletion of such an invoice.

#include <limits>

#include "production/WorkOrderPosting.h"
#include "registers/BillsOfMaterials.h"
#include "sales/InvoiceRemoval.h"
#include "sales/InvoiceTest.h"
#include "stock/Lots.h"

using namespace zodra;
using namespace zodra::test;
namespace bom = zodra::registers::billsofmaterials;

namespace {

// A table made of two legs and 2.00 of work per piece; 15 legs at cost 3.00 in warehouse 1.
class CompositeLineTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        table = docs->AddArticle(QStringLiteral("Stol"));
        leg = docs->AddArticle(QStringLiteral("Noga"));
        const int bill = bom::Add(db(), table);
        bom::SetPart(db(), bill, leg, QStringLiteral("2"));
        bom::AddCost(db(), bill, QStringLiteral("Rad"), QStringLiteral("1"), QStringLiteral("2"));
        legLot = docs->Receipt({{leg, 15, 3.00, 5.00}});
    }
    std::optional<sales::AcceptedLine> Composite(const sales::InvoiceDraft& draft, double quantity,
                                                 std::optional<double> price = 20.0) {
        return sales::AddCompositeLine(*session, prompter, draft,
                                       {table, quantity, price, 0.0, std::nullopt, QString()});
    }
    stock::Lot Legs() { return LotOf(db(), 1, Year(), legLot, leg); }
    int WorkOrders() { return Rows("RADNI_NALOZI"); }
    int ProductionReceipts() {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"TIP_PRIMKE\" = 3"));
    }
    int table = 0;
    int leg = 0;
    int legLot = 0;
};

TEST_F(CompositeLineTest, TheLineIsCheckedMergedCountedAndDeletedWithoutTouchingStock) {
    sales::InvoiceDraft draft = Draft();
    // Guards, each with its message; nothing is written by any of them.
    ExpectRefused(
        [&] {
            sales::AddCompositeLine(*session, prompter, draft,
                                    {leg, 1, 20.0, 0.0, std::nullopt, QString()});
        },
        QStringLiteral("Nije izabran artikal !"));
    ExpectRefused([&] { Composite(draft, 0); }, QStringLiteral("Količina ne može biti nula !"));
    ExpectRefused([&] { Composite(draft, -1); },
                  QStringLiteral("Količina mora biti veća od nule !"));
    ExpectRefused([&] { Composite(draft, 1, 0.0); },
                  QStringLiteral("Prodajna cijena nesmije biti nula !"));
    EXPECT_THROW(Composite(draft, std::numeric_limits<double>::quiet_NaN()), UserError);
    EXPECT_THROW(Composite(draft, 1, std::numeric_limits<double>::infinity()), UserError);
    EXPECT_THROW(Composite(draft, 1e15), UserError);
    EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO"), 0);

    // Never produced and not on a price list: nothing to propose, the price is typed.
    EXPECT_EQ(sales::ProposeComposite(*session, draft, table).price, 0.0);
    EXPECT_EQ(sales::ProposeComposite(*session, draft, table).taxRate, 25.0);

    // 2 × 20.00 with 10 % discount, 25 % tax: net 36.00, total 45.00; no lot, nothing reserved.
    ASSERT_EQ(sales::AddCompositeLine(*session, prompter, draft,
                                      {table, 2, 20.0, 10.0, std::nullopt, QString()})
                  ->lineNumber,
              1);
    std::vector<sales::InvoiceLine> lines = sales::WorkingLinesOf(db(), draft.sessionCode);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].kind, QStringLiteral("SLA"));
    EXPECT_FALSE(lines[0].lot.has_value() && *lines[0].lot != 0);
    EXPECT_DOUBLE_EQ(lines[0].value, 36.0);
    EXPECT_DOUBLE_EQ(lines[0].total, 45.0);
    EXPECT_DOUBLE_EQ(sales::Totals(db(), draft.sessionCode).total, 45.0);
    EXPECT_DOUBLE_EQ(Legs().freeQuantity, 15.0);

    // The same product again: No writes nothing, Yes adds into the line.
    prompter.AnswerNo();
    EXPECT_FALSE(Composite(draft, 1).has_value());
    EXPECT_EQ(prompter.Shown().last(), sales::CompositeMergeQuestion());
    prompter.AnswerYes();
    EXPECT_EQ(Composite(draft, 1)->lineNumber, 1);
    lines = sales::WorkingLinesOf(db(), draft.sessionCode);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].quantity, 3.0);
    EXPECT_DOUBLE_EQ(lines[0].value, 56.0);

    // The parts' stock: 3 tables already on the line need 6 legs; 5 more would need 16 of 15.
    const sales::QuantityCheck short5 = sales::CheckCompositeQuantity(*session, draft, table, 5);
    EXPECT_DOUBLE_EQ(short5.quantity, 4.5);
    ASSERT_EQ(short5.messages.size(), 1u);
    EXPECT_EQ(short5.messages[0],
              QStringLiteral("Nedovoljna zaliha artikla Noga. Količina će biti postavljena na "
                             "najveću dopuštenu vrijednost. Potrebno je još 1"));
    const sales::QuantityCheck fits = sales::CheckCompositeQuantity(*session, draft, table, 4.5);
    EXPECT_DOUBLE_EQ(fits.quantity, 4.5);
    EXPECT_TRUE(fits.messages.empty());

    sales::DeleteLine(*session, draft, 1);
    EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO"), 0);
    EXPECT_DOUBLE_EQ(Legs().freeQuantity, 15.0);
}

TEST_F(CompositeLineTest, PostingProducesTheProductAndSellsItFromTheNewLot) {
    sales::InvoiceDraft draft = Draft();
    ASSERT_TRUE(Composite(draft, 3));  // 3 tables at 20.00: 6 legs, cost (3 × 2 + 2) a piece
    const sales::PostedInvoice posted = Post(draft);

    EXPECT_EQ(WorkOrders(), 1);
    EXPECT_EQ(ProductionReceipts(), 1);
    EXPECT_DOUBLE_EQ(Legs().quantity, 9.0);
    EXPECT_DOUBLE_EQ(Legs().freeQuantity, 9.0);
    const int receipt = Count(QStringLiteral("SELECT \"BROJ_PRIMKE\" FROM \"RADNI_NALOZI\""));
    EXPECT_EQ(receipt, 200001);
    const stock::Lot made = LotOf(db(), 1, Year(), receipt, table);
    EXPECT_DOUBLE_EQ(made.quantity, 0.0);
    EXPECT_DOUBLE_EQ(made.freeQuantity, 0.0);
    EXPECT_DOUBLE_EQ(made.costPrice, 8.0);
    EXPECT_DOUBLE_EQ(made.sellingPrice, 20.0);

    // The posted line is an ordinary article line on the produced lot.
    const QString line = QStringLiteral(
        "SELECT %1 FROM \"STAVKE_RACUNA\" WHERE \"BROJ_RACUNA\" = ? AND \"IRA\" = 1");
    EXPECT_EQ(db().Scalar(line.arg(QStringLiteral("\"TIP_STAVKE\"")), {posted.number}).toString(),
              QStringLiteral("ART"));
    EXPECT_EQ(Count(line.arg(QStringLiteral("\"BROJ_PRIMKE\"")), {posted.number}), receipt);
    EXPECT_DOUBLE_EQ(Value(line.arg(QStringLiteral("\"NABAVNA_VRIJEDNOST\"")), {posted.number}),
                     24.0);
    EXPECT_DOUBLE_EQ(Value(line.arg(QStringLiteral("\"RUC_IZNOS\"")), {posted.number}), 36.0);
    EXPECT_FALSE(posted.priceChange.has_value());  // the lot was made at the line's price
    EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO"), 0);

    // The work order's entries come before the invoice's in the trade book.
    const int invoicePosition =
        Count(QStringLiteral("SELECT \"RBR_TK\" FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ?"),
              {posted.number});
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                   "\"SKLADISTE\" = 1 AND \"RBR\" < ? AND ((\"TIP_DOKUMENTA\" = "
                                   "'PRIMKA' AND \"BROJ_DOKUMENTA\" = 200001) OR "
                                   "(\"TIP_DOKUMENTA\" = 'RADNI NALOG' AND "
                                   "\"BROJ_DOKUMENTA\" = 1))"),
                    {invoicePosition}),
              2);
    EXPECT_DOUBLE_EQ(
        Value(QStringLiteral("SELECT \"PRODAJA_VRIJEDNOST\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                             "WHERE \"RBR\" = ? AND \"SKLADISTE\" = 1"),
              {invoicePosition}),
        60.0);
    ExpectLotsMatchCard();

    // Cancelling: the tables return to their lot, the work order and its receipt stay.
    sales::CancelInvoice(*session, 1, posted.number, QDate(2026, 3, 11));
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, table).quantity, 3.0);
    EXPECT_EQ(WorkOrders(), 1);
    EXPECT_DOUBLE_EQ(Legs().quantity, 9.0);
    ExpectLotsMatchCard();

    // A second invoice sells two of those tables and produces nothing; deleting it puts them
    // back, a third one with a composite line makes its own work order, deleting it keeps it.
    sales::InvoiceDraft second = Draft();
    Line(second, table, 2, 20.0);
    const int secondNumber = Post(second).number;
    EXPECT_EQ(WorkOrders(), 1);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, table).quantity, 1.0);
    sales::InvoiceDraft third = Draft();
    ASSERT_TRUE(Composite(third, 1, 25.0));
    const int thirdNumber = Post(third).number;
    EXPECT_EQ(WorkOrders(), 2);
    EXPECT_DOUBLE_EQ(Legs().quantity, 7.0);
    prompter.AnswerYes();
    ASSERT_TRUE(sales::DeleteInvoice(*session, prompter, 1, thirdNumber));
    prompter.AnswerYes();
    ASSERT_TRUE(sales::DeleteInvoice(*session, prompter, 1, secondNumber));
    EXPECT_EQ(WorkOrders(), 2);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), receipt, table).quantity, 3.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 200002, table).quantity, 1.0);
    ExpectLotsMatchCard();
}

TEST_F(CompositeLineTest, AShortageOfPartsRefusesTheWholePostingAndKeepsTheWorkingCopy) {
    sales::InvoiceDraft draft = Draft();
    Line(draft, leg, 1, 5.0);            // an ordinary line beside it, reserved on the legs' lot
    ASSERT_TRUE(Composite(draft, 7.5));  // 15 legs needed, 14 free of the 15 in stock
    const int positions = Rows("TRGOVACKA_KNJIGA_VELEPRODAJE");
    ExpectRefused([&] { Post(draft); },
                  QStringLiteral("Nedovoljna zaliha artikla Noga. Količina će biti postavljena "
                                 "na najveću dopuštenu vrijednost. Potrebno je još 1"));
    EXPECT_EQ(WorkOrders(), 0);
    EXPECT_EQ(ProductionReceipts(), 0);
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), positions);
    EXPECT_DOUBLE_EQ(Legs().quantity, 15.0);
    EXPECT_DOUBLE_EQ(Legs().freeQuantity, 14.0);
    std::vector<sales::InvoiceLine> lines = sales::WorkingLinesOf(db(), draft.sessionCode);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].kind, QStringLiteral("SLA"));

    // One table less fits: the same working copy posts.
    sales::DeleteLine(*session, draft, 2);
    ASSERT_TRUE(Composite(draft, 7));
    Post(draft);
    EXPECT_EQ(WorkOrders(), 1);
    EXPECT_DOUBLE_EQ(Legs().quantity, 0.0);
    ExpectLotsMatchCard();
}

}  // namespace
