#include <gtest/gtest.h>

#include "ReceiptTestSupport.h"
#include "data/Errors.h"
#include "purchasing/ReceiptLines.h"
#include "registers/Articles.h"
#include "stock/Lots.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;
using Box = PriceCalculation::Box;

namespace {

class ReceiptEntryTest : public ReceiptTest {
protected:
    std::optional<ReceiptRow> Packaging(int packaging) {
        return receiptlines::FindPackaging(db(), Working(), packaging);
    }
};

}  // namespace

TEST_F(ReceiptEntryTest, ARepeatedArticleIsMergedOnYesAndKeptApartOnNo) {
    Enter(screw, 5, 10.00);
    prompter.AnswerYes();
    const AcceptedLine merged = Enter(screw, 5, 12.00, 50);
    ASSERT_EQ(prompter.Shown().size(), 1);
    EXPECT_EQ(prompter.Shown().first(),
              QStringLiteral("Ovaj artikal je već upisan. Želite li dodati na postojeću "
                             "stavku?"));
    EXPECT_TRUE(merged.merged);
    EXPECT_EQ(merged.lineNumber, 1);
    EXPECT_EQ(WorkingLines(), 1);
    const ReceiptRow line = *receiptlines::Read(db(), Working(), 1);
    EXPECT_DOUBLE_EQ(line.quantity, 10);
    EXPECT_DOUBLE_EQ(line.invoiceValue, 110.00);
    EXPECT_DOUBLE_EQ(line.invoicePrice, 11.00);
    EXPECT_DOUBLE_EQ(line.costValue, 110.00);
    EXPECT_DOUBLE_EQ(line.value, 62.50 + 90.00);
    EXPECT_DOUBLE_EQ(line.price, 15.25);
    EXPECT_NEAR(line.marginPercent, 152.5 / 110.0 * 100 - 100, 1e-12);

    prompter.Clear();
    prompter.AnswerNo();
    const AcceptedLine apart = Enter(screw, 1, 10.00);
    EXPECT_FALSE(apart.merged);
    EXPECT_EQ(apart.lineNumber, 2);
    EXPECT_EQ(WorkingLines(), 2);
    // Another article asks nothing.
    prompter.Clear();
    Enter(nut, 1, 1.00);
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_EQ(receiptlines::NextLineNumber(db(), Working()), 4);

    // Posting takes both lines of the article into its one FIFO lot.
    const int number = Post();
    const stock::Lot lot = Lot(number, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 11);
    EXPECT_NEAR(lot.costPrice, 120.0 / 11, 1e-12);
    ExpectConsistent();
}

TEST_F(ReceiptEntryTest, PackagingFollowsItsArticlesIntoOneLinePerPackaging) {
    // A crate of 20 bottles goes with every unit of a second beer.
    const int crate = AddPackaging(QStringLiteral("Gajba"), 3.00);
    const int dark = AddArticle(QStringLiteral("Pivo tamno 0,5 l"));
    registers::articles::LinkPackaging(db(), dark, bottle, 1);
    registers::articles::LinkPackaging(db(), dark, crate, 0.05);
    EXPECT_DOUBLE_EQ(receiptlines::PackagingValuePerUnit(db(), dark), 0.07 + 0.15);

    Enter(beer, 24, 0.60);
    ASSERT_TRUE(Packaging(bottle));
    EXPECT_DOUBLE_EQ(Packaging(bottle)->quantity, 24);
    EXPECT_DOUBLE_EQ(Packaging(bottle)->value, 24 * 0.07);
    Enter(dark, 40, 0.70);
    // The bottles of both beers are one line of the receipt; the crates their own.
    EXPECT_DOUBLE_EQ(Packaging(bottle)->quantity, 64);
    EXPECT_NEAR(Packaging(bottle)->invoiceValue, 64 * 0.07, 1e-12);
    EXPECT_NEAR(Packaging(bottle)->costValue, 64 * 0.07, 1e-12);
    EXPECT_DOUBLE_EQ(Packaging(bottle)->price, 0.07);
    EXPECT_DOUBLE_EQ(Packaging(crate)->quantity, 2);
    EXPECT_EQ(WorkingLines(), 4);
    // A merged article adds its packaging too.
    prompter.AnswerYes();
    Enter(beer, 6, 0.60);
    EXPECT_DOUBLE_EQ(Packaging(bottle)->quantity, 70);
    // A packaging line typed by hand joins the line as well.
    AddPackagingLine(*session, Working(), bottle, 10);
    EXPECT_DOUBLE_EQ(Packaging(bottle)->quantity, 80);
    EXPECT_EQ(WorkingLines(), 4);
    // A changed quantity changes the packaging by the difference.
    const ReceiptRow darkLine = *receiptlines::FindArticle(db(), Working(), dark);
    ReceiptRow changed = darkLine;
    changed.quantity = 20;
    changed.DeriveFromAmounts();
    AcceptArticleLine(*session, prompter, Working(), changed, CalculationMode::Change,
                      darkLine.lineNumber);
    EXPECT_DOUBLE_EQ(Packaging(bottle)->quantity, 60);
    EXPECT_DOUBLE_EQ(Packaging(crate)->quantity, 1);
    // Deleting an article takes its packaging out; a line brought to 0 goes.
    DeleteReceiptLine(*session, Working(), darkLine.lineNumber);
    EXPECT_DOUBLE_EQ(Packaging(bottle)->quantity, 40);
    EXPECT_FALSE(Packaging(crate));
    EXPECT_EQ(DeleteLineQuestion(QStringLiteral("ART")),
              QStringLiteral("Želite li izbrisati stavku artikla ?"));

    const int number = Post();
    // Packaging lines are stored with the receipt but hold no lot.
    EXPECT_EQ(receiptlines::CountLines(db(), ReceiptTarget::Posted(1, Year(), number)), 2);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"NABAVE\" WHERE \"BROJ_PRIMKE\" = ?"),
                    {number}),
              1);
    ExpectConsistent();
}

TEST_F(ReceiptEntryTest, DefaultsOfANewLineComeFromArticleGroupSupplierAndReceipt) {
    ReceiptSummary summary;
    summary.invoiceValue = 200;
    summary.discount = 20;
    summary.customs = 9;
    summary.forwarding = 18;
    summary.otherCosts = 3.6;
    CalculationContext context;
    context.summary = AcceptSummary(db(), summary);
    context.supplier = supplier;
    const ArticleFacts nutFacts = ReadArticleFacts(*session, nut);
    EXPECT_DOUBLE_EQ(nutFacts.taxRate, 13);
    PriceCalculation c = NewCalculation(db(), nutFacts, 4, context, CalculationMode::Entry);
    EXPECT_DOUBLE_EQ(c.Value(Box::TaxPercent), 13);
    EXPECT_DOUBLE_EQ(c.Value(Box::MarginPercent), 25);
    EXPECT_DOUBLE_EQ(c.Value(Box::RetailMarginPercent), 10);
    EXPECT_DOUBLE_EQ(c.Value(Box::DiscountPercent), 10);  // the receipt's: no supplier discount
    EXPECT_DOUBLE_EQ(c.Value(Box::CustomsPercent), 5);
    EXPECT_DOUBLE_EQ(c.Value(Box::ForwardingPercent), 10);
    EXPECT_DOUBLE_EQ(c.Value(Box::OtherCostsPercent), 2);
    // The supplier's own discount comes first.
    context.supplier = AddSupplier(QStringLiteral("Kod Ane's d.o.o."), 7);
    c = NewCalculation(db(), nutFacts, 4, context, CalculationMode::Entry);
    EXPECT_DOUBLE_EQ(c.Value(Box::DiscountPercent), 7);
    // The beer brings the value of its packaging per unit.
    c = NewCalculation(db(), ReadArticleFacts(*session, beer), 4, context, CalculationMode::Entry);
    EXPECT_DOUBLE_EQ(c.PackagingPerUnit(), 0.07);

    // The last receipt's prices are proposed for an article priced in a foreign currency,
    // with that line's discount instead of the supplier's.
    Enter(nut, 5, 2.00, 50);
    Post();
    db().Exec(QStringLiteral("INSERT INTO \"VALUTE\" (\"SIFRA\", \"NAZIV\") VALUES (2, 'USD')"));
    db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"VALUTA\" = 2, \"CIJENA_U_VALUTI\" = 2.2 "
                             "WHERE \"SIFRA\" = ?"),
              {nut});
    const ArticleFacts again = ReadArticleFacts(*session, nut);
    EXPECT_TRUE(again.hasLastReceipt);
    EXPECT_DOUBLE_EQ(again.lastCurrencyInvoicePrice, 2.00);
    EXPECT_DOUBLE_EQ(again.lastDiscountPercent, 0);
    EXPECT_DOUBLE_EQ(again.lastPrice, 3.00);
    EXPECT_DOUBLE_EQ(again.stock, 5);
    EXPECT_DOUBLE_EQ(again.lotPrice, 3.00);
    EXPECT_EQ(again.currencyName, QStringLiteral("USD"));
    EXPECT_TRUE(again.PricedInForeignCurrency());
    CalculationContext plain;
    plain.supplier = context.supplier;  // its discount is 7 %
    c = NewCalculation(db(), again, 1, plain, CalculationMode::Entry);
    EXPECT_DOUBLE_EQ(c.Value(Box::CurrencyPrice), 2.00);
    EXPECT_DOUBLE_EQ(c.Value(Box::DiscountPercent), 0);
    EXPECT_DOUBLE_EQ(c.Value(Box::Price), 3.00);
    EXPECT_DOUBLE_EQ(c.Value(Box::MarginPercent), 50);

    // In the home currency the last receipt proposes nothing: the supplier's discount stands.
    for (const char* price : {"0", "2.2"}) {
        db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"VALUTA\" = 1, \"CIJENA_U_VALUTI\" = ") +
                      QString::fromLatin1(price) + QStringLiteral(" WHERE \"SIFRA\" = ?"),
                  {nut});
        const ArticleFacts home = ReadArticleFacts(*session, nut);
        EXPECT_FALSE(home.PricedInForeignCurrency());
        c = NewCalculation(db(), home, 1, plain, CalculationMode::Entry);
        EXPECT_DOUBLE_EQ(c.Value(Box::DiscountPercent), 7) << price;
        EXPECT_DOUBLE_EQ(c.Value(Box::CurrencyPrice), 0) << price;
        EXPECT_DOUBLE_EQ(c.Value(Box::MarginPercent), 25) << price;  // the group's
    }
    // Unless the company asks for the article's previous data.
    plain.proposeFromLastReceipt = true;
    c = NewCalculation(db(), ReadArticleFacts(*session, nut), 1, plain, CalculationMode::Entry);
    EXPECT_DOUBLE_EQ(c.Value(Box::CurrencyPrice), 2.00);
    EXPECT_DOUBLE_EQ(c.Value(Box::DiscountPercent), 0);

    // A line being changed fills the boxes from the line.
    const ReceiptRow posted = receiptlines::Read(db(), ReceiptTarget::Posted(1, Year(), 1)).at(0);
    const PriceCalculation line = CalculationOfLine(again, posted, 1.0);
    EXPECT_EQ(line.Mode(), CalculationMode::Change);
    EXPECT_DOUBLE_EQ(line.Value(Box::Quantity), 5);
    EXPECT_DOUBLE_EQ(line.Value(Box::InvoicePrice), 2.00);
    EXPECT_DOUBLE_EQ(line.Value(Box::Price), 3.00);
    EXPECT_DOUBLE_EQ(line.Value(Box::MarginPercent), 50);
}

TEST_F(ReceiptEntryTest, OpeningWithoutLinesResetsFreeQuantitiesAndAbandoningClears) {
    const int number = Receive({{screw, 10, 5.00, 8.00}});
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA_PRIVREMENO\" = 3"));
    PrepareWorkingCopy(*session);
    EXPECT_DOUBLE_EQ(Lot(number, screw).freeQuantity, 10);
    // With a line of its own the window leaves the free quantities alone.
    EnterPlain(nut, 1, 1, 2);
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA_PRIVREMENO\" = 3"));
    PrepareWorkingCopy(*session);
    EXPECT_DOUBLE_EQ(Lot(number, screw).freeQuantity, 3);
    ClearWorkingReceipt(*session);
    EXPECT_EQ(WorkingLines(), 0);
}

TEST_F(ReceiptEntryTest, LinesCanBeRenumberedButNotOntoAnother) {
    EnterPlain(screw, 1, 1, 2);
    EnterPlain(nut, 1, 1, 2);
    receiptlines::Renumber(db(), Working(), 2, 7);
    EXPECT_TRUE(receiptlines::Read(db(), Working(), 7));
    EXPECT_THROW(receiptlines::Renumber(db(), Working(), 7, 1), UserError);
    EXPECT_THROW(receiptlines::Renumber(db(), Working(), 7, 0), UserError);
    const TableData grid = receiptlines::Grid(db(), Working());
    ASSERT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Value(1, 2).toInt(), 7);
    EXPECT_EQ(grid.Value(1, 4).toString(), QStringLiteral("Matica M8"));
}
