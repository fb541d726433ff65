// Lines of a wholesale invoice on its working copy: the arithmetic of a line from the lot, the
// price list and the customer; the 100 % discount; taxation; the merge question; the lot's free
// quantity following every line; line numbers; totals at the cent.

#include "sales/InvoiceTest.h"
#include "stock/Lots.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class InvoiceLinesTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        // Lot 1: 10 pieces at cost 5.00, selling price 8.00, retail margin 25 %.
        docs->Receipt({{screw, 10, 5.00, 8.00, 25.0}});
    }
    sales::InvoiceLine Only(const sales::InvoiceDraft& draft) {
        const auto lines = sales::WorkingLinesOf(db(), draft.sessionCode);
        EXPECT_EQ(lines.size(), 1u);
        return lines.empty() ? sales::InvoiceLine{} : lines.front();
    }
    double Free(int lot = 1) { return LotOf(db(), 1, Year(), lot, screw).freeQuantity; }
};

TEST_F(InvoiceLinesTest, AnArticleLineIsPricedFromItsLotWithTheCustomersDiscountAndTax) {
    const int regular = AddCustomer(QStringLiteral("Stalni kupac"), 10);
    sales::InvoiceDraft draft = Draft(2, 1, regular);
    Line(draft, screw, 3);
    const sales::InvoiceLine l = Only(draft);
    EXPECT_EQ(l.lot, 1);
    EXPECT_DOUBLE_EQ(l.priceBeforeDiscount, 8.0);
    EXPECT_DOUBLE_EQ(l.valueBeforeDiscount, 24.0);
    EXPECT_DOUBLE_EQ(l.discountPercent, 10.0);
    EXPECT_DOUBLE_EQ(l.discount, 2.4);
    EXPECT_DOUBLE_EQ(l.value, 21.6);
    EXPECT_DOUBLE_EQ(l.price, 7.2);
    EXPECT_EQ(l.taxGroup, QStringLiteral("PDV"));
    EXPECT_DOUBLE_EQ(l.taxRate, 25.0);
    EXPECT_DOUBLE_EQ(l.tax, 5.4);
    EXPECT_DOUBLE_EQ(l.total, 27.0);
    EXPECT_DOUBLE_EQ(l.costPrice, 5.0);
    EXPECT_DOUBLE_EQ(l.costValue, 15.0);
    EXPECT_DOUBLE_EQ(l.margin, 6.6);
    EXPECT_NEAR(l.marginPercent, 44.0, 1e-9);
    EXPECT_EQ(l.taxationType, 10);
    EXPECT_EQ(l.lineNumber, 1);
    // The lot's free quantity shows what this invoice holds.
    EXPECT_DOUBLE_EQ(Free(), 7.0);
    sales::DiscardInvoice(*session, draft);
    EXPECT_DOUBLE_EQ(Free(), 10.0);
}

TEST_F(InvoiceLinesTest, RetailTermsAddTheLotsRetailMarginAndExemptTermsCarryNoTax) {
    session->warehouseFlags.retail = true;
    sales::InvoiceDraft retail = Draft(1);
    Line(retail, screw, 2);
    EXPECT_DOUBLE_EQ(Only(retail).priceBeforeDiscount, 10.0);  // 8.00 × 1.25
    EXPECT_DOUBLE_EQ(Only(retail).total, 25.0);

    // Terms 6 are of type 13 ("nulta stopa"): no tax although the group has 25 %.
    sales::InvoiceDraft zero = Draft(6);
    Line(zero, screw, 2);
    const sales::InvoiceLine l = Only(zero);
    EXPECT_EQ(l.taxationType, 13);
    EXPECT_DOUBLE_EQ(l.taxRate, 0.0);
    EXPECT_DOUBLE_EQ(l.total, l.value);
    EXPECT_DOUBLE_EQ(l.value, 16.0);

    // Terms of type 15 (exempt under art. 11.b) carry no tax either; type 10 keeps the group's.
    db().Exec(
        QStringLiteral("INSERT INTO \"UVJETI_PRODAJE\" (\"SIFRA\", \"NAZIV\", "
                       "\"TIP_OPOREZIVANJA\") VALUES (8, 'Oslobođeno čl. 11.b', 15)"));
    sales::InvoiceDraft exempt = Draft(8);
    Line(exempt, screw, 2);
    EXPECT_EQ(Only(exempt).taxationType, 15);
    EXPECT_DOUBLE_EQ(Only(exempt).taxRate, 0.0);
    sales::InvoiceDraft taxed = Draft(2);
    Line(taxed, screw, 2);
    EXPECT_DOUBLE_EQ(Only(taxed).taxRate, 25.0);
}

TEST_F(InvoiceLinesTest, RetailTermsAreRefusedInAWarehouseThatIsNotRetail) {
    const QString refusal = QStringLiteral(
        "Ovo nije maloprodajno skladište i nije dozvoljena izrada maloprodajnog računa.");
    ExpectRefused([&] { sales::CheckSalesTerms(*session, 1); }, refusal);
    EXPECT_NO_THROW(sales::CheckSalesTerms(*session, 2));
    session->warehouseFlags.allInvoicesAllowed = true;
    EXPECT_NO_THROW(sales::CheckSalesTerms(*session, 1));
}

TEST_F(InvoiceLinesTest, ThePriceListsPriceAndGroupDiscountWinOverTheLotAndTheCustomer) {
    db().Exec(QStringLiteral("INSERT INTO \"CJENICI\" (\"SIFRA\", \"NAZIV\") VALUES (3, 'A')"));
    db().Exec(QStringLiteral("INSERT INTO \"CJENICI_STAVKE_CIJENA\" VALUES (3, ?, 9.5, 1)"),
              {screw});
    db().Exec(
        QStringLiteral("INSERT INTO \"CJENICI_STAVKE_RABATA\" (\"SIFRA_CJENIKA\", "
                       "\"SIFRA_GRUPE_ARTIKALA\", \"RABAT\") VALUES (3, 1, 4)"));
    const int listed = AddCustomer(QStringLiteral("Kupac s cjenikom"), 10, 3);
    sales::InvoiceDraft draft = Draft(2, 1, listed);
    Line(draft, screw, 2);
    EXPECT_DOUBLE_EQ(Only(draft).priceBeforeDiscount, 9.5);
    EXPECT_DOUBLE_EQ(Only(draft).discountPercent, 4.0);
    EXPECT_DOUBLE_EQ(Only(draft).value, 18.24);
    // Without the group's row the list's general row (0/0) is not there either: the customer's.
    db().Exec(QStringLiteral("DELETE FROM \"CJENICI_STAVKE_RABATA\""));
    sales::InvoiceDraft second = Draft(2, 1, listed);
    Line(second, screw, 1);
    EXPECT_DOUBLE_EQ(Only(second).discountPercent, 10.0);
}

TEST_F(InvoiceLinesTest, AHundredPercentDiscountLeavesNothingToDivideByAndAWholeNegativeMargin) {
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 4, std::nullopt, 100.0);
    const sales::InvoiceLine l = Only(draft);
    EXPECT_DOUBLE_EQ(l.value, 0.0);
    EXPECT_DOUBLE_EQ(l.price, 0.0);
    EXPECT_DOUBLE_EQ(l.tax, 0.0);
    EXPECT_DOUBLE_EQ(l.margin, -20.0);  // the whole purchase value
    EXPECT_DOUBLE_EQ(l.marginPercent, -100.0);
    EXPECT_TRUE(std::isfinite(l.marginPercent));

    // A lot bought at no cost: no purchase value, a margin percent of 0, not a division by 0.
    const int gift = docs->AddArticle(QStringLiteral("Poklon"));
    docs->Receipt({{gift, 5, 0.0, 0.0}});
    sales::InvoiceDraft free = Draft();
    Line(free, gift, 1, 2.0, 100.0);
    const sales::InvoiceLine g = Only(free);
    EXPECT_DOUBLE_EQ(g.marginPercent, 0.0);
    EXPECT_DOUBLE_EQ(g.margin, 0.0);
}

TEST_F(InvoiceLinesTest, TheSameArticleAndLotMergesOnYesAndWritesNothingOnNo) {
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 2, 8.0);
    prompter.AnswerYes();
    Line(draft, screw, 2, 10.0);
    const sales::InvoiceLine l = Only(draft);
    EXPECT_DOUBLE_EQ(l.quantity, 4.0);
    EXPECT_DOUBLE_EQ(l.price, 9.0);  // the weighted average of both entries
    EXPECT_DOUBLE_EQ(l.value, 36.0);
    EXPECT_DOUBLE_EQ(l.costValue, 20.0);
    EXPECT_DOUBLE_EQ(Free(), 6.0);
    EXPECT_EQ(prompter.Shown().last(), sales::ArticleMergeQuestion());

    prompter.AnswerNo();
    Line(draft, screw, 3);
    EXPECT_DOUBLE_EQ(Only(draft).quantity, 4.0);
    EXPECT_DOUBLE_EQ(Free(), 6.0);
}

TEST_F(InvoiceLinesTest, LinesHoldTheirLotAndGiveItBackAndCloseTheGap) {
    const int nut = docs->AddArticle(QStringLiteral("Matica M8"));
    const int washer = docs->AddArticle(QStringLiteral("Podloška"));
    docs->Receipt({{nut, 10, 1.0, 2.0}, {washer, 10, 0.1, 0.2}});
    db().Exec(
        QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"JED_M\", \"CIJENA\", "
                       "\"GRUPA_P\") VALUES ('Montaža', 'h', 30, 1)"));
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 3);
    Line(draft, nut, 4);
    sales::AddServiceLine(
        *session, prompter, draft,
        {1, 2, std::nullopt, std::nullopt, std::nullopt, QStringLiteral("Ugradnja")});
    Line(draft, washer, 5);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 2, nut).freeQuantity, 6.0);

    sales::DeleteLine(*session, draft, 2);
    const auto lines = sales::WorkingLinesOf(db(), draft.sessionCode);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].code, screw);
    EXPECT_EQ(lines[1].kind, QStringLiteral("USL"));
    EXPECT_EQ(lines[1].lineNumber, 2);
    EXPECT_DOUBLE_EQ(lines[1].value, 60.0);
    EXPECT_FALSE(lines[1].lot.has_value());
    EXPECT_EQ(lines[2].code, washer);
    EXPECT_EQ(lines[2].lineNumber, 3);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 2, nut).freeQuantity, 10.0);

    // More than the lot has free is refused and nothing is written.
    ExpectRefused([&] { Line(draft, screw, 8); },
                  QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    EXPECT_EQ(sales::WorkingLinesOf(db(), draft.sessionCode).size(), 3u);
    EXPECT_DOUBLE_EQ(Free(), 7.0);
    // The quantity box cuts it to what is free instead, with the message.
    const sales::QuantityCheck check = sales::CheckArticleQuantity(*session, draft, screw, 1, 8);
    EXPECT_DOUBLE_EQ(check.quantity, 7.0);
    ASSERT_FALSE(check.messages.empty());
    EXPECT_EQ(check.messages.front(),
              QStringLiteral("Nedovoljna zaliha artikla. Količina će biti postavljena na najveću "
                             "dopuštenu vrijednost."));
    EXPECT_TRUE(sales::CheckArticleQuantity(*session, draft, screw, 1, 7).messages.empty());
}

TEST_F(InvoiceLinesTest, LinesWaitForBookTermsAndCustomerAndRefuseWhatCannotBeALine) {
    sales::InvoiceDraft draft = sales::OpenInvoice(*session, QDate(2026, 3, 10));
    ExpectRefused([&] { Line(draft, screw, 1); }, QStringLiteral("Nije izabrana knjiga IRA !"));
    draft.book = 1;
    ExpectRefused([&] { Line(draft, screw, 1); }, QStringLiteral("Nije izabran uvjet prodaje !"));
    draft.salesTerms = 2;
    ExpectRefused([&] { Line(draft, screw, 1); }, QStringLiteral("Nije izabran kupac !"));
    draft.customer = customer;
    ExpectRefused([&] { Line(draft, 0, 1); }, QStringLiteral("Nije izabran artikal !"));
    ExpectRefused([&] { Line(draft, screw, 0); }, QStringLiteral("Količina ne može biti nula !"));
    ExpectRefused(
        [&] {
            sales::AddArticleLine(*session, prompter, draft,
                                  {screw, std::nullopt, 1, std::nullopt, std::nullopt, std::nullopt,
                                   QString(256, QLatin1Char('x'))});
        },
        QStringLiteral("Opis je duži od 255 znakova !"));
    ExpectRefused([&] { Line(draft, screw, 1, std::nan("")); },
                  QStringLiteral("Cijena nije ispravan broj !"));
    ExpectRefused(
        [&] {
            sales::AddServiceLine(*session, prompter, draft,
                                  {0, 1, std::nullopt, std::nullopt, std::nullopt, QString()});
        },
        QStringLiteral("Nije izabrana usluga !"));
    EXPECT_TRUE(sales::WorkingLinesOf(db(), draft.sessionCode).empty());
    EXPECT_DOUBLE_EQ(Free(), 10.0);
}

TEST_F(InvoiceLinesTest, TheTotalIsTheSumOfTheLinesAtTheCent) {
    const int nut = docs->AddArticle(QStringLiteral("Matica M8"));
    docs->Receipt({{nut, 10, 1.0, 2.0}});
    sales::InvoiceDraft draft = Draft();
    // 1 × 0.125 and 1 × 0.125: each line shows 0,13, so the total is 0,26 (not 0,25).
    Line(draft, screw, 1, 0.125);
    Line(draft, nut, 1, 0.125);
    const sales::InvoiceTotals t = sales::Totals(db(), draft.sessionCode);
    EXPECT_EQ(t.lines, 2);
    EXPECT_DOUBLE_EQ(t.value, 0.26);
    EXPECT_DOUBLE_EQ(t.articleValue, 0.26);
    EXPECT_DOUBLE_EQ(t.tax, 0.06);    // 0.03125 twice, each 0,03
    EXPECT_DOUBLE_EQ(t.total, 0.32);  // 0.15625 twice, each 0,16
}

TEST_F(InvoiceLinesTest, TwoInvoicesOfOneSessionKeepTheirLinesApart) {
    sales::InvoiceDraft first = Draft();
    sales::InvoiceDraft second = Draft();
    EXPECT_NE(first.sessionCode, second.sessionCode);
    Line(first, screw, 2);
    Line(second, screw, 3);
    EXPECT_DOUBLE_EQ(Free(), 5.0);
    sales::DiscardInvoice(*session, first);
    EXPECT_DOUBLE_EQ(Free(), 7.0);
    ASSERT_EQ(sales::WorkingLinesOf(db(), second.sessionCode).size(), 1u);
    EXPECT_DOUBLE_EQ(sales::WorkingLinesOf(db(), second.sessionCode).front().quantity, 3.0);
}

TEST_F(InvoiceLinesTest, CassaScontoIsMinusItsPercentOfTheNetValueSoFar) {
    db().Exec(
        QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"JED_M\", \"CIJENA\", "
                       "\"GRUPA_P\") VALUES ('CASSA SCONTO', '', 0, 1)"));
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 10, 100.0);  // 1 000.00 net
    const sales::ServiceLineInput cassa{1, 1, std::nullopt, std::nullopt, std::nullopt, QString()};
    prompter.AnswerText(QStringLiteral("x"));
    ExpectRefused([&] { sales::AddServiceLine(*session, prompter, draft, cassa); },
                  QStringLiteral("Nije upisan broj"));
    prompter.Cancel();
    EXPECT_FALSE(sales::AddServiceLine(*session, prompter, draft, cassa).has_value());
    prompter.AnswerText(QStringLiteral("2"));
    ASSERT_TRUE(sales::AddServiceLine(*session, prompter, draft, cassa).has_value());
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Upišite postotak za CASSA SCONTO."));
    const auto lines = sales::WorkingLinesOf(db(), draft.sessionCode);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_DOUBLE_EQ(lines[1].quantity, 1.0);
    EXPECT_DOUBLE_EQ(lines[1].value, -20.0);
    EXPECT_DOUBLE_EQ(lines[1].total, -25.0);
    EXPECT_EQ(lines[1].description, QStringLiteral("2%"));
    EXPECT_DOUBLE_EQ(sales::Totals(db(), draft.sessionCode).value, 980.0);
    // The trade book sells the goods; the cash discount is no stock.
    EXPECT_EQ(Post(draft).number, 1);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"PRODAJA_VRIJEDNOST\" FROM "
                                          "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                          "\"TIP_DOKUMENTA\" = '1RAČUN'")),
                     1000.0);
}

}  // namespace
