#include <gtest/gtest.h>

#include "ReceiptTestSupport.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptLines.h"
#include "purchasing/ReceiptList.h"
#include "purchasing/ReceiptPrint.h"
#include "stock/LastPriceMethod.h"
#include "stock/TradeBook.h"
#include "stock/support/StockDocuments.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;

namespace {

class ReceiptPostingTest : public ReceiptTest {};

}  // namespace

TEST_F(ReceiptPostingTest, PostingWritesHeaderBookLinesLotsAndClearsTheWorkingCopy) {
    Enter(screw, 5, 10.00);
    Enter(beer, 24, 0.60, 50);  // brings 24 bottles with it
    ASSERT_EQ(WorkingLines(), 3);
    const std::vector<ReceiptRow> working = receiptlines::Read(db(), Working());
    ReceiptHeaderData header = Header();
    ASSERT_EQ(header.number, 1);
    const int number = Post(std::nullopt, header);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(WorkingLines(), 0);

    // Header: supplier, document and its date, position, the method in force, type 1.
    Statement h = db().Prepare(QStringLiteral(
        "SELECT \"DATUM\", \"SIFRA DOBAVLJACA\", \"DOKUMENT DOBAVLJACA\", \"DATUM DOKUMENTA "
        "DOBAVLJACA\", \"RBR_TK\", \"SkladisnaMetoda\", \"TIP_PRIMKE\", \"VALUTA\" FROM "
        "\"PRIMKE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND \"BROJ PRIMKE\" = 1"));
    h.Exec();
    ASSERT_TRUE(h.Next());
    EXPECT_EQ(sqlvalue::ToDate(h.Value(0)), QDate(2026, 3, 2));
    EXPECT_EQ(h.Int(1), supplier);
    EXPECT_EQ(h.Text(2), QStringLiteral("R-1"));
    EXPECT_EQ(sqlvalue::ToDate(h.Value(3)), QDate(2026, 3, 1));
    EXPECT_EQ(h.Int(4), 1);
    EXPECT_EQ(h.Text(5), QStringLiteral("FIFO"));
    EXPECT_EQ(h.Int(6), 1);
    EXPECT_EQ(h.Int(7), 1);
    h.Finish();

    // The trade-book entry: the selling value of the article lines only (not the bottles).
    Statement tk = db().Prepare(QStringLiteral(
        "SELECT \"RBR\", \"OPIS\", \"NABAVA_VRIJEDNOST\", \"STANJE_ROBE\" FROM "
        "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026"));
    tk.Exec();
    ASSERT_TRUE(tk.Next());
    EXPECT_EQ(tk.Int(0), 1);
    EXPECT_EQ(tk.Text(1), QStringLiteral("PRIMKA 1 R-1"));
    EXPECT_DOUBLE_EQ(tk.Double(2), 62.50 + 24 * 0.90);
    EXPECT_DOUBLE_EQ(tk.Double(3), 62.50 + 24 * 0.90);
    EXPECT_FALSE(tk.Next());
    tk.Finish();

    // The lines as they were in the working copy, with the articles' tax groups.
    const std::vector<ReceiptRow> posted =
        receiptlines::Read(db(), ReceiptTarget::Posted(1, 2026, 1));
    ASSERT_EQ(posted.size(), working.size());
    for (size_t i = 0; i < posted.size(); ++i) {
        EXPECT_EQ(posted[i].Values(), working[i].Values()) << "line " << i + 1;
        EXPECT_EQ(posted[i].kind, working[i].kind);
        EXPECT_EQ(posted[i].code, working[i].code);
    }
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"GRUPA_POREZA\" "
                                   "= 'PDV' AND \"POREZ_%\" = 25 AND \"TIP_STAVKE\" = 'ART'")),
              2);
    // Packaging is not an article: no tax group of an article that happens to share its code.
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"TIP_STAVKE\" = "
                                   "'AMB' AND \"GRUPA_POREZA\" IS NULL")),
              1);

    // FIFO: a lot per article under the receipt's number.
    const stock::Lot lot = Lot(1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 5);
    EXPECT_DOUBLE_EQ(lot.costPrice, 10.00);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 12.50);
    EXPECT_EQ(lot.retailMargin, std::optional<double>(10.0));
    EXPECT_DOUBLE_EQ(Lot(1, beer).quantity, 24);
    // Packaging lines do not enter the lots.
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"NABAVE\"")), 2);
    ExpectConsistent();
    EXPECT_EQ(PostedMessage(1), QStringLiteral("Primka je proknjižena pod brojem 1"));
}

TEST_F(ReceiptPostingTest, NumbersRangesAndANumberTakenMeanwhile) {
    // A generated receipt takes the first number of its own range.
    EnterPlain(screw, 1, 1, 2);
    ReceiptHeaderData generated = Header();
    generated.type = 2;
    generated.number = 0;
    EXPECT_EQ(Post(std::nullopt, generated), 100001);

    // Two windows proposed 1; the second posts after the first took it: it gets 2.
    const ReceiptHeaderData first = Header();
    EXPECT_EQ(first.number, 1);
    EnterPlain(screw, 1, 1, 2);
    EXPECT_EQ(Post(std::nullopt, first), 1);
    EnterPlain(screw, 1, 1, 2);
    EXPECT_EQ(Post(std::nullopt, first), 2);
    // A typed free number is kept.
    ReceiptHeaderData typed = Header();
    typed.number = 50;
    EnterPlain(screw, 1, 1, 2);
    EXPECT_EQ(Post(std::nullopt, typed), 50);
    EXPECT_EQ(Header().number, 51);

    // The number box's checks.
    EXPECT_EQ(Refusal([&] { CheckReceiptNumber(db(), 1, Year(), QStringLiteral("12a")); }),
              QStringLiteral("Nije ispravno upisan broj !"));
    EXPECT_EQ(Refusal([&] { CheckReceiptNumber(db(), 1, Year(), QStringLiteral("0")); }),
              QStringLiteral("Broj primke nesmije biti 0 (nula) !"));
    EXPECT_EQ(Refusal([&] { CheckReceiptNumber(db(), 1, Year(), QStringLiteral("2")); }),
              QStringLiteral("Primka pod ovim brojem je već napravljena !"));
    EXPECT_EQ(CheckReceiptNumber(db(), 1, Year(), QStringLiteral(" 3 ")), 3);
    // Another warehouse's receipt 2 does not take the number here.
    EXPECT_EQ(CheckReceiptNumber(db(), 7, Year(), QStringLiteral("2")), 2);
}

TEST_F(ReceiptPostingTest, TheSuppliersDocumentIsTwentyCharactersAtMost) {
    EnterPlain(screw, 1, 1, 2);
    ReceiptHeaderData h = Header(QStringLiteral("123456789012345678901"));
    try {
        PostReceipt(*session, prompter, h, std::nullopt);
        ADD_FAILURE() << "21 characters accepted";
    } catch (const FieldRefusal& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Dokument dobavljača je duži od 20 znakova"));
        EXPECT_EQ(e.field(), SupplierDocumentField());
    }
    h.supplierDocument = QStringLiteral("   ");
    EXPECT_EQ(Refusal([&] { PostReceipt(*session, prompter, h, std::nullopt); }),
              QStringLiteral("Dokument dobavljača mora biti upisan"));
    EXPECT_EQ(WorkingLines(), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")), 0);
    h.supplierDocument = QStringLiteral("12345678901234567890");
    EXPECT_EQ(Post(std::nullopt, h), 1);

    // Lines need a supplier and a document first.
    ReceiptHeaderData none = Header();
    none.supplier.reset();
    EXPECT_EQ(Refusal([&] { CheckReadyForLines(none); }),
              QStringLiteral("Nije izabran dobavljač !"));
    none.supplier = supplier;
    none.supplierDocument.clear();
    EXPECT_EQ(Refusal([&] { CheckReadyForLines(none); }),
              QStringLiteral("Dokument dobavljača mora biti upisan"));
    // Nothing to post.
    EXPECT_EQ(Refusal([&] { PostReceipt(*session, prompter, Header(), std::nullopt); }),
              QStringLiteral("Primka nema niti jedne stavke !"));
}

TEST_F(ReceiptPostingTest, ControlTotalsAskBeforeThePostingAndNoKeepsTheReceiptOpen) {
    Enter(screw, 5, 10.00);  // invoice 50.00, discount 0, net 50.00
    ReceiptSummary summary;
    summary.invoiceValue = 50.01;  // a cent off
    summary.discount = 0;          // not entered: not compared
    summary.customs = 0;
    prompter.AnswerNo();
    EXPECT_FALSE(PostReceipt(*session, prompter, Header(), summary).has_value());
    ASSERT_EQ(prompter.Shown().size(), 1);
    EXPECT_EQ(prompter.Shown().first(),
              QStringLiteral("Ukupna fakturna vrijednost (50,01 EUR) nije jednaka zbroju "
                             "fakturnih vrijednosti (50,00 EUR) po artiklima. ŽELITE LI "
                             "PROKNJIŽITI PRIMKU UNATOČ RAZLIKAMA?"));
    EXPECT_EQ(WorkingLines(), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")), 0);
    EXPECT_EQ(db().TransactionDepth(), 0);

    // Equal at two decimals: no question.
    prompter.Clear();
    summary.invoiceValue = 50.004;
    EXPECT_TRUE(
        ControlTotalQuestions(summary, receiptlines::Totals(db(), Working()), QStringLiteral("EUR"))
            .isEmpty());

    // Every amount has its question, in order; Yes to all posts.
    summary.invoiceValue = 51;
    summary.discount = 1;
    summary.customs = 2;
    summary.forwarding = 3;
    summary.otherCosts = 4;
    const QStringList questions = ControlTotalQuestions(
        summary, receiptlines::Totals(db(), Working()), QStringLiteral("EUR"));
    ASSERT_EQ(questions.size(), 5);
    EXPECT_TRUE(questions[1].startsWith(
        QStringLiteral("Ukupni iznos rabata (1,00 EUR) nije jednak zbroju iznosa rabata (0,00 "
                       "EUR) po artiklima.")));
    EXPECT_TRUE(questions[2].startsWith(
        QStringLiteral("Ukupni iznos carine (2,00 EUR) nije jednak zbroju iznosa carina (")));
    EXPECT_TRUE(questions[3].startsWith(
        QStringLiteral("Ukupni iznos špedicije (3,00 EUR) nije jednak zbroju iznosa špedicije (")));
    EXPECT_TRUE(questions[4].startsWith(
        QStringLiteral("Ukupni dodatni zavisni troškovi (4,00 EUR) nisu jednaki zbroju "
                       "dodatnih zavisnih troškova (0,00 EUR) po artiklima. ŽELITE LI")));
    prompter.AnswerYes().AnswerYes().AnswerNo();
    EXPECT_FALSE(PostReceipt(*session, prompter, Header(), summary).has_value());
    EXPECT_EQ(prompter.Shown().size(), 3);
    prompter.Clear();
    for (int i = 0; i < 5; ++i) {
        prompter.AnswerYes();
    }
    EXPECT_EQ(Post(summary), 1);
}

TEST_F(ReceiptPostingTest, SummaryAmountsBecomePercentagesThatTheLinesAddUpTo) {
    Enter(screw, 5, 10.00);
    Enter(nut, 3, 20.00);
    Enter(beer, 10, 1.00);  // and 10 bottles at 0.07: 0.70 of packaging
    ReceiptSummary typed;
    typed.invoiceValue = 50 + 60 + 10 + 0.70;  // the supplier's total, packaging included
    typed.discount = 12.00;
    typed.customs = 5.40;
    typed.forwarding = 2.16;
    typed.otherCosts = 0;  // replaced by the items
    typed.items = {{QStringLiteral("Prijevoz"), 8.00}, {QStringLiteral("Osiguranje"), 2.80}};
    const ReceiptSummary summary = AcceptSummary(db(), typed);
    EXPECT_DOUBLE_EQ(summary.otherCosts, 10.80);
    const double packaging = receiptlines::Totals(db(), Working()).packagingValue;
    EXPECT_DOUBLE_EQ(packaging, 0.70);
    const SummaryPercentages p = PercentagesOf(summary, packaging);
    EXPECT_DOUBLE_EQ(p.discount, 10.0);  // 12 of the goods' 120
    EXPECT_DOUBLE_EQ(p.customs, 5.0);    // of the net 108
    EXPECT_DOUBLE_EQ(p.forwarding, 2.0);
    EXPECT_DOUBLE_EQ(p.otherCosts, 10.0);
    ApplyPercentages(db(), Working(), p, false);
    const ReceiptTotals t = receiptlines::Totals(db(), Working());
    EXPECT_NEAR(t.discount, 12.00, 1e-9);
    EXPECT_NEAR(t.customs, 5.40, 1e-9);
    EXPECT_NEAR(t.forwarding, 2.16, 1e-9);
    EXPECT_NEAR(t.otherCosts, 10.80, 1e-9);
    EXPECT_TRUE(ControlTotalQuestions(summary, t, QStringLiteral("EUR")).isEmpty());
    // Every line keeps its arithmetic; the selling price stays, the margin follows the cost.
    for (const ReceiptRow& r : receiptlines::Read(db(), Working())) {
        EXPECT_NEAR(r.costValue,
                    r.invoiceValue - r.discountAmount + r.customsAmount + r.forwardingAmount +
                        r.otherAmount,
                    1e-9);
        EXPECT_NEAR(r.netPrice * r.quantity, r.netValue, 1e-9);
        EXPECT_NEAR(r.costPrice * r.quantity, r.costValue, 1e-9);
        EXPECT_NEAR(r.marginAmount, r.value - r.costValue, 1e-9);
        if (r.kind == ArticleKind()) {
            EXPECT_NEAR(r.marginPercent, (r.value - r.costValue) / r.costValue * 100, 1e-9);
        } else {
            EXPECT_EQ(r.discountAmount, 0.0);  // packaging carries no discount or costs
        }
    }
    const ReceiptRow line = *receiptlines::FindArticle(db(), Working(), screw);
    EXPECT_DOUBLE_EQ(line.price, 12.50);
    EXPECT_NEAR(line.costPrice, 9.00 * 1.17, 1e-12);
    // Posting: no questions, the items go with the receipt.
    const int number = Post(summary);
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_EQ(ReadDependentCosts(db(), 1, Year(), number).size(), 2u);
    ExpectConsistent();
}

TEST_F(ReceiptPostingTest, CustomsFromArticlesAndForeignCurrency) {
    // With "Carina % iz artikala" the nut keeps its own 10 % customs.
    ReceiptSummary s;
    s.invoiceValue = 100;
    s.customs = 50;
    s.customsFromArticles = true;
    const ReceiptSummary accepted = AcceptSummary(db(), s);
    CalculationContext context;
    context.summary = accepted;
    const PriceCalculation c =
        NewCalculation(db(), ReadArticleFacts(*session, nut), 10, context, CalculationMode::Entry);
    EXPECT_DOUBLE_EQ(c.Value(PriceCalculation::Box::CustomsPercent), 10.0);
    Enter(nut, 10, 10.00);
    ApplyPercentages(db(), Working(), PercentagesOf(accepted, 0), true);
    EXPECT_DOUBLE_EQ(receiptlines::FindArticle(db(), Working(), nut)->customsPercent, 0.0);
    ApplyPercentages(db(), Working(), PercentagesOf(accepted, 0), false);
    EXPECT_DOUBLE_EQ(receiptlines::FindArticle(db(), Working(), nut)->customsPercent, 50.0);

    // A foreign currency needs its rate on the date; the amounts follow from the currency's.
    db().Exec(QStringLiteral("INSERT INTO \"VALUTE\" (\"SIFRA\", \"NAZIV\") VALUES (2, 'USD')"));
    ReceiptSummary usd;
    usd.currency = 2;
    usd.rateDate = QDate(2026, 3, 2);
    usd.currencyInvoiceValue = 100;
    usd.currencyDiscount = 10;
    EXPECT_EQ(Refusal([&] { AcceptSummary(db(), usd); }),
              QStringLiteral("Nije upisan tečaj USD za 02.03.2026."));
    db().Exec(QStringLiteral("INSERT INTO \"VALUTE_TECAJ\" (\"SIFRA\", \"DATUM\", \"TECAJ\") "
                             "VALUES (2, ?, 0.92)"),
              {QDate(2026, 3, 2)});
    const ReceiptSummary converted = AcceptSummary(db(), usd);
    EXPECT_DOUBLE_EQ(converted.rate, 0.92);
    EXPECT_DOUBLE_EQ(converted.invoiceValue, 92.0);
    EXPECT_DOUBLE_EQ(converted.discount, 9.2);
    ReceiptSummary zero;
    EXPECT_EQ(Refusal([&] { AcceptSummary(db(), zero); }),
              QStringLiteral("Fakturna vrijednost nesmije biti nula !"));
    // Posting stores the currency and the rate's date.
    ClearWorkingReceipt(*session);
    CalculationContext foreign;
    foreign.summary = converted;
    PriceCalculation line = NewCalculation(db(), ReadArticleFacts(*session, screw), 10, foreign,
                                           CalculationMode::Entry);
    line.Type(PriceCalculation::Box::CurrencyPrice, 10);  // USD
    EXPECT_DOUBLE_EQ(line.Value(PriceCalculation::Box::InvoicePrice), 9.2);
    AcceptArticleLine(*session, prompter, Working(), ReceiptRow::FromCalculation(screw, line, 10),
                      CalculationMode::Entry);
    ApplyPercentages(db(), Working(), PercentagesOf(converted, 0), false);
    const int number = Post(converted);
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_EQ(Count(QStringLiteral("SELECT \"VALUTA\" FROM \"PRIMKE\" WHERE \"BROJ PRIMKE\" = ? "
                                   "AND \"DATUM_VALUTE\" = '2026-03-02'"),
                    {number}),
              2);
    const ReceiptSummary back = PostedSummary(db(), 1, Year(), number);
    EXPECT_EQ(back.currency, 2);
    EXPECT_DOUBLE_EQ(back.rate, 0.92);
    EXPECT_NEAR(back.currencyInvoiceValue, 100, 1e-9);
}

TEST_F(ReceiptPostingTest, ARefusalInsideTheTransactionLeavesNothingAndKeepsTheWorkingCopy) {
    UseMethod(StockMethod::LastPrice);
    // The pooled lot stands at −5 (more went out than came in) at cost 5.00 and price 8.00.
    db().Exec(QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
                             "\"SIFRA_ARTIKLA\", \"KOLICINA\", \"KOLICINA_PRIVREMENO\", \"NABAVNA "
                             "CIJENA\", \"VELEPRODAJNA CIJENA\") VALUES (1, 2026, 0, ?, -5, -5, "
                             "5, 8)"),
              {screw});
    session->workstation.debugMode = false;  // the lot above has no card of its own
    EnterPlain(screw, 5, 6.00, 8.00);
    EnterPlain(nut, 2, 1.00, 2.00);
    const QString message =
        Refusal([&] { PostReceipt(*session, prompter, Header(), std::nullopt); });
    EXPECT_EQ(message,
              stock::LastPriceMethod::CostMismatchMessage(QStringLiteral("Vijak M8"), 5.0, 6.0));
    EXPECT_EQ(message, QStringLiteral("Nabavna cijena artikla 'Vijak M8' na zalihi (5) nije ista "
                                      "nabavnoj cijeni na stavci (6) a zbroj količina je nula. "
                                      "Nije dozvoljeno knjiženje."));
    EXPECT_EQ(db().TransactionDepth(), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\"")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\"")), 0);
    EXPECT_EQ(
        Count(QStringLiteral("SELECT COUNT(*) FROM \"NABAVE\" WHERE \"SIFRA_ARTIKLA\" = ?"), {nut}),
        0);
    EXPECT_DOUBLE_EQ(Lot(0, screw).quantity, -5);
    EXPECT_EQ(WorkingLines(), 2);
}

TEST_F(ReceiptPostingTest, TaxSummaryPerRateForTheInputInvoiceBook) {
    Enter(screw, 5, 10.00);  // 25 %
    Enter(nut, 3, 20.00);    // 13 %
    Enter(beer, 10, 1.00);   // 25 %, and 0.70 of bottles
    ReceiptSummary s;
    s.invoiceValue = 120.70;
    s.discount = 12;
    ApplyPercentages(db(), Working(), PercentagesOf(AcceptSummary(db(), s), 0.70), false);
    const int number = Post(s);
    const ReceiptTaxSummary tax = TaxSummary(db(), 1, Year(), number);
    ASSERT_EQ(tax.perRate.size(), 2u);
    EXPECT_DOUBLE_EQ(tax.perRate[0].rate, 13);
    EXPECT_NEAR(tax.perRate[0].base, 54.00, 1e-9);
    EXPECT_DOUBLE_EQ(tax.perRate[1].rate, 25);
    EXPECT_NEAR(tax.perRate[1].base, 54.00, 1e-9);
    EXPECT_NEAR(tax.packagingBase, 0.70, 1e-9);
    EXPECT_NEAR(tax.Base(), 108.70, 1e-9);
    EXPECT_NEAR(tax.Tax(), 54 * 0.13 + 54 * 0.25, 1e-9);
    EXPECT_EQ(tax.paymentDelay, 30);
    // Another receipt's packaging is not this receipt's base.
    EnterPlain(beer, 100, 1, 2);
    Post();
    EXPECT_NEAR(TaxSummary(db(), 1, Year(), number).packagingBase, 0.70, 1e-9);
}

TEST_F(ReceiptPostingTest, TheReceiptListAndItsTableWithSums) {
    Enter(screw, 5, 10.00);
    Post();
    EnterPlain(nut, 2, 3.00, 4.00);
    ReceiptHeaderData h = Header(QStringLiteral("OTP-77"));
    Post(std::nullopt, h);
    const TableData choice = ReceiptChoice(db(), 1, Year());
    ASSERT_EQ(choice.RowCount(), 2);
    EXPECT_EQ(choice.Value(1, 0).toInt(), 2);
    EXPECT_EQ(choice.Value(1, 3).toString(), QStringLiteral("OTP-77"));
    EXPECT_EQ(ReceiptChoiceDetails(db(), 1, Year(), 2),
              QStringLiteral("Datum: 02.03.2026    Dobavljač: Veletrgovina Čakovec d.d.    "
                             "Dokument dobavljača: OTP-77"));
    const TableData table = ReceiptTable(db(), 1, Year());
    EXPECT_DOUBLE_EQ(table.Value(0, 5).toDouble(), 50.00);
    EXPECT_DOUBLE_EQ(table.Value(0, 11).toDouble(), 50.00);
    EXPECT_DOUBLE_EQ(table.Value(0, 12).toDouble(), 12.50);
    EXPECT_DOUBLE_EQ(table.Value(0, 13).toDouble(), 62.50);
    EXPECT_DOUBLE_EQ(table.Value(1, 13).toDouble(), 8.00);
    EXPECT_TRUE(ReceiptTableTotals(db(), 1, Year())
                    .contains(QStringLiteral("vrijednost bez "
                                             "poreza 70,50")));
}

TEST_F(ReceiptPostingTest, PrintingChoosesTheReportByTheDependentCostItems) {
    EnterPlain(screw, 1, 1, 2);
    const int plain = Post();
    EnterPlain(screw, 1, 1, 2);
    ReceiptSummary s;
    s.invoiceValue = 1;
    s.items = {{QStringLiteral("Prijevoz"), 0.5}};
    prompter.AnswerYes();  // the other costs on the lines are 0
    const int withItems = Post(AcceptSummary(db(), s));
    reports::ReportRequest r = ReceiptPrintRequest(*session, plain);
    EXPECT_EQ(r.reportFile, QStringLiteral("primka_k.rpt"));
    EXPECT_EQ(r.title, QStringLiteral("Ispis primke br. 1"));
    EXPECT_EQ(r.selection.ToText(),
              QStringLiteral("{STAVKE_PRIMKI.SKLADISTE}=1 AND {STAVKE_PRIMKI.GODINA}=2026 AND "
                             "{STAVKE_PRIMKI.BROJ_PRIMKE}=1"));
    r = ReceiptPrintRequest(*session, withItems);
    EXPECT_EQ(r.reportFile, QStringLiteral("primka_k_zavisni.rpt"));
    ASSERT_EQ(r.subreportSelections.size(), 1u);
    EXPECT_EQ(r.subreportSelections[0].first, QStringLiteral("PRIMKA_K_ZT.RPT"));
    EXPECT_EQ(r.subreportSelections[0].second.ToText(),
              QStringLiteral("{PRIMKE_ZAVISNI_TROSKOVI.SKLADISTE}=1 AND "
                             "{PRIMKE_ZAVISNI_TROSKOVI.GODINA}=2026 AND "
                             "{PRIMKE_ZAVISNI_TROSKOVI.BROJ PRIMKE}=2"));
    EXPECT_EQ(ReceiptPrintRequest(*session, withItems, ReceiptReport::RetailPrices).reportFile,
              QStringLiteral("primka_k_mpc.rpt"));
}

// The real posting (warehouse 1) leaves the same lots, card and book as the stock tests' helper.
TEST_F(ReceiptPostingTest, TheRealPostingAgreesWithTheStockTestsHelper) {
    const int other = AddWarehouse(db(), QStringLiteral("Drugo"));
    StockDocuments helper(*session);
    for (const auto& [method, name] :
         {std::pair{StockMethod::Fifo, "FIFO"}, std::pair{StockMethod::Average, "Prosječna cijena"},
          std::pair{StockMethod::LastPrice, "Zadnja cijena"}}) {
        UseMethod(method);
        for (const auto& [quantity, cost, price] :
             {std::tuple{10.0, 5.0, 8.0}, std::tuple{4.0, 6.5, 9.0}, std::tuple{-3.0, 6.0, 9.0}}) {
            EnterPlain(screw, quantity, cost, price);
            EnterPlain(nut, quantity * 2, cost / 2, price / 2);
            const int ours = Post();
            const int theirs = helper.Receipt({{screw, quantity, cost, price, 10.0},
                                               {nut, quantity * 2, cost / 2, price / 2, 10.0}},
                                              QDate(2026, 3, 2), other);
            EXPECT_EQ(ours, theirs);
        }
        Statement lots = db().Prepare(QStringLiteral(
            "SELECT a.\"BROJ_PRIMKE\", a.\"SIFRA_ARTIKLA\", a.\"KOLICINA\", a.\"NABAVNA CIJENA\", "
            "a.\"VELEPRODAJNA CIJENA\", b.\"KOLICINA\", b.\"NABAVNA CIJENA\", b.\"VELEPRODAJNA "
            "CIJENA\" FROM \"NABAVE\" a LEFT JOIN \"NABAVE\" b ON b.\"SKLADISTE\" = ? AND "
            "b.\"GODINA\" = a.\"GODINA\" AND b.\"BROJ_PRIMKE\" = a.\"BROJ_PRIMKE\" AND "
            "b.\"SIFRA_ARTIKLA\" = a.\"SIFRA_ARTIKLA\" WHERE a.\"SKLADISTE\" = 1"));
        lots.Exec({other});
        int compared = 0;
        while (lots.Next()) {
            ++compared;
            EXPECT_DOUBLE_EQ(lots.Double(2), lots.Double(5)) << "lot " << lots.Int(0);
            EXPECT_NEAR(lots.Double(3), lots.Double(6), 1e-12) << "lot " << lots.Int(0);
            EXPECT_NEAR(lots.Double(4), lots.Double(7), 1e-12) << "lot " << lots.Int(0);
        }
        lots.Finish();
        EXPECT_GT(compared, 0);
        // Each receipt keeps the method it was posted under, for its deletion.
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"SKLADISTE\" = 1 "
                                       "AND \"SkladisnaMetoda\" <> ?"),
                        {QString::fromUtf8(name)}),
                  0);
        EXPECT_NEAR(LastBalance(),
                    tradebook::LastBalance(db(), tradebook::Book::Wholesale, other, Year()), 1e-9);
        ExpectConsistent();
        ExpectBooksAgree(db(), other, Year());
        // Start the next method on empty warehouses.
        for (const char* table :
             {"NABAVE", "STAVKE_PRIMKI", "PRIMKE", "TRGOVACKA_KNJIGA_VELEPRODAJE",
              "STAVKE_IZMJENA_CIJENA", "IZMJENE_CIJENA"}) {
            db().Exec(QStringLiteral("DELETE FROM \"%1\"").arg(QLatin1String(table)));
        }
    }
}
