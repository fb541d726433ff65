#include <gtest/gtest.h>

#include "ReceiptTestSupport.h"
#include "data/Errors.h"
#include "purchasing/ReceiptCorrection.h"
#include "purchasing/ReceiptLines.h"
#include "stock/Lots.h"
#include "stock/support/StockDocuments.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;

namespace {

class ReceiptCorrectionTest : public ReceiptTest {
protected:
    ReceiptTarget PostedTarget(int number) { return ReceiptTarget::Posted(*session, number); }
    double InvoiceLineCost(int invoice, int article) {
        return LineCost(db(), QStringLiteral("STAVKE_RACUNA"), QStringLiteral("BROJ_RACUNA"),
                        QStringLiteral("SIFRA"), 1, Year(), invoice, article);
    }
};

}  // namespace

TEST_F(ReceiptCorrectionTest, FifoLinesAddedAndDeletedKeepLotAndBookInStep) {
    const int number = Receive({{screw, 10, 5.00, 8.00}});
    const ReceiptTarget t = PostedTarget(number);
    const std::optional<PostedReceipt> r = ReadPostedReceipt(db(), 1, Year(), number);
    ASSERT_TRUE(r);
    EXPECT_EQ(CorrectionCaption(number, r->supplierName),
              QStringLiteral("Primka br.1 - Veletrgovina Čakovec d.d."));

    // A new article: its own lot, the book grows by its value.
    const AcceptedLine nutLine = EnterPlain(nut, 4, 1.00, 1.50, &t);
    EXPECT_EQ(nutLine.lineNumber, 2);
    EXPECT_DOUBLE_EQ(Lot(number, nut).quantity, 4);
    EXPECT_DOUBLE_EQ(BookValue(number), 86.00);
    // More of the same article: its lot grows at the weighted cost and price.
    EnterPlain(screw, 10, 7.00, 10.00, &t);
    stock::Lot lot = Lot(number, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 20);
    EXPECT_DOUBLE_EQ(lot.costPrice, 6.00);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 9.00);
    EXPECT_DOUBLE_EQ(LastBalance(), 186.00);
    ExpectConsistent();
    // The packaging of a beer added in correction joins the posted receipt too.
    EnterPlain(beer, 12, 0.50, 0.80, &t);
    EXPECT_DOUBLE_EQ(receiptlines::FindPackaging(db(), t, bottle)->quantity, 12);

    // An invoice took from the screws: the screw lines stay, with the invoice message.
    StockDocuments docs(*session);
    const int invoice = docs.Post(StockDocuments::Issue::Invoice, {{screw, 3}});
    EXPECT_EQ(Refusal([&] { DeleteReceiptLine(*session, t, 1); }),
              QStringLiteral("Ovaj artikal primke nemožete obrisati jer su na njemu već rađeni "
                             "računi."));
    // The nut line goes: lot and book follow.
    DeleteReceiptLine(*session, t, nutLine.lineNumber);
    EXPECT_FALSE(LotExists(db(), 1, Year(), number, nut));
    EXPECT_DOUBLE_EQ(BookValue(number), 180.00 + 12 * 0.80);
    ExpectConsistent();
    docs.Delete(StockDocuments::Issue::Invoice, invoice);
    // One of two screw lines goes: the lot keeps the other at its own cost.
    DeleteReceiptLine(*session, t, 1);
    lot = Lot(number, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10);
    EXPECT_DOUBLE_EQ(lot.costPrice, 7.00);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 10.00);
    ExpectConsistent();
    EXPECT_EQ(Refusal([&] { DeleteReceiptLine(*session, t, 1); }),
              QStringLiteral("Nije pronađena stavka primke."));
}

TEST_F(ReceiptCorrectionTest, ALineWhoseStockIsGoneCannotBeDeleted) {
    UseMethod(StockMethod::Average);
    const int number = Receive({{screw, 10, 5.00, 8.00}});
    StockDocuments docs(*session);
    // The 10 went out before the receipt was corrected (an invoice after it: the invoice
    // message); a second receipt brings 4 back.
    docs.Post(StockDocuments::Issue::Invoice, {{screw, 10}});
    EXPECT_EQ(Refusal([&] { DeleteReceiptLine(*session, PostedTarget(number), 1); }),
              QStringLiteral("Ovaj artikal primke nemožete obrisati jer su na njemu već rađeni "
                             "računi."));
    // A receipt line whose pooled stock would fall below zero.
    const int second = Receive({{nut, 2, 1.00, 2.00}});
    session->workstation.debugMode = false;
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = 1 WHERE \"SIFRA_ARTIKLA\" = ?"),
              {nut});
    EXPECT_EQ(Refusal([&] { DeleteReceiptLine(*session, PostedTarget(second), 1); }),
              QStringLiteral("Ovaj artikal primke nemožete obrisati jer bi njegova količina na "
                             "skladištu pala ispod nule."));
}

TEST_F(ReceiptCorrectionTest, SummaryAppliedToAPostedFifoReceiptRecostsLotAndIssues) {
    Enter(screw, 10, 10.00);  // cost 10.00, price 12.50
    const int number = Post();
    StockDocuments docs(*session);
    const int invoice = docs.Post(StockDocuments::Issue::Invoice, {{screw, 4}});
    EXPECT_DOUBLE_EQ(InvoiceLineCost(invoice, screw), 10.00);

    ReceiptSummary summary = PostedSummary(db(), 1, Year(), number);
    EXPECT_DOUBLE_EQ(summary.invoiceValue, 100.00);
    summary.discount = 10.00;
    summary.customs = 4.50;  // 5 % of the net 90
    summary.items = {{QStringLiteral("Prijevoz"), 1.80}};
    summary = AcceptSummary(db(), summary);
    ApplySummaryToPosted(*session, number, summary);
    const ReceiptRow line = receiptlines::Read(db(), PostedTarget(number)).at(0);
    EXPECT_DOUBLE_EQ(line.discountPercent, 10);
    EXPECT_NEAR(line.customsAmount, 4.50, 1e-9);
    EXPECT_NEAR(line.otherAmount, 1.80, 1e-9);
    EXPECT_NEAR(line.costPrice, 9.63, 1e-12);
    EXPECT_NEAR(line.netPrice, 9.00, 1e-12);
    EXPECT_DOUBLE_EQ(line.price, 12.50);  // the selling price stays
    EXPECT_NEAR(line.marginAmount, 125.00 - 96.30, 1e-9);
    // The lot and the invoice that took from it follow, with the invoice's margin.
    EXPECT_NEAR(Lot(number, screw).costPrice, 9.63, 1e-12);
    EXPECT_NEAR(InvoiceLineCost(invoice, screw), 9.63, 1e-12);
    const double margin = Sum(QStringLiteral("SELECT \"RUC_IZNOS\" FROM \"STAVKE_RACUNA\""));
    EXPECT_NEAR(margin, 4 * 12.50 - 4 * 9.63, 1e-9);
    EXPECT_EQ(ReadDependentCosts(db(), 1, Year(), number).size(), 1u);
    ExpectConsistent();
}

TEST_F(ReceiptCorrectionTest, PooledCorrectionsFollowTheAverageIntoLaterIssues) {
    UseMethod(StockMethod::Average);
    Enter(screw, 10, 5.00);
    const int first = Post();
    StockDocuments docs(*session);
    const int invoice = docs.Post(StockDocuments::Issue::Invoice, {{screw, 4}});
    Receive({{screw, 10, 6.00, 10.00}});
    EXPECT_DOUBLE_EQ(InvoiceLineCost(invoice, screw), 5.00);

    // 20 % discount on the first receipt: its cost becomes 4.00 and the invoice after it too.
    ReceiptSummary summary = PostedSummary(db(), 1, Year(), first);
    summary.discount = 10.00;
    ApplySummaryToPosted(*session, first, AcceptSummary(db(), summary));
    EXPECT_NEAR(InvoiceLineCost(invoice, screw), 4.00, 1e-12);
    const stock::Lot lot = Lot(0, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 16);
    EXPECT_NEAR(lot.costPrice, (6 * 4.00 + 10 * 6.00) / 16, 1e-12);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
    ExpectConsistent();

    // A line added to the first receipt in correction changes the average of the invoice too.
    const ReceiptTarget t = PostedTarget(first);
    EnterPlain(screw, 10, 1.00, 6.25, &t);
    EXPECT_NEAR(InvoiceLineCost(invoice, screw), (10 * 4.00 + 10 * 1.00) / 20, 1e-12);
    EXPECT_DOUBLE_EQ(Lot(0, screw).quantity, 26);
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
    ExpectConsistent();
}

TEST_F(ReceiptCorrectionTest, LastPriceCorrectionKeepsOneGeneratedPriceChange) {
    UseMethod(StockMethod::LastPrice);
    Receive({{screw, 10, 5.00, 8.00}});
    const int second = Receive({{screw, 5, 6.00, 9.00}});  // generates a price change
    const ReceiptTarget t = PostedTarget(second);
    EXPECT_EQ(Refusal([&] { EnterPlain(screw, 1, 6.00, 9.50, &t); }),
              QStringLiteral("Prodajna cijena artikla 'Vijak M8' na zalihi (9) nije ista "
                             "prodajnoj cijeni na stavci (9,5), a primka je već napravila izmjenu "
                             "cijena. Nije dozvoljeno knjiženje."));
    EnterPlain(screw, 1, 6.00, 9.00, &t);
    EXPECT_DOUBLE_EQ(Lot(0, screw).quantity, 16);
    ExpectConsistent();
}

TEST_F(ReceiptCorrectionTest, HeaderChangesAreWrittenAtOnceWithTheBookEntry) {
    const int number = Receive({{screw, 10, 5.00, 8.00}});
    ReceiptHeaderData h = ReadPostedReceipt(db(), 1, Year(), number)->header;
    h.supplierDocument = QStringLiteral("OTP-2026/117");
    h.date = QDate(2026, 3, 4);
    UpdatePostedHeader(*session, number, h);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"OPIS\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\""))
                  .toString(),
              QStringLiteral("PRIMKA 1 OTP-2026/117"));
    EXPECT_EQ(sqlvalue::ToDate(db().Scalar(
                  QStringLiteral("SELECT \"DATUM\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\""))),
              QDate(2026, 3, 4));
    h.supplierDocument = QStringLiteral("123456789012345678901");
    EXPECT_EQ(Refusal([&] { UpdatePostedHeader(*session, number, h); }),
              QStringLiteral("Dokument dobavljača je duži od 20 znakova"));
    EXPECT_EQ(ReadPostedReceipt(db(), 1, Year(), number)->header.supplierDocument,
              QStringLiteral("OTP-2026/117"));
    EXPECT_EQ(Refusal([&] { UpdatePostedHeader(*session, 99, h); }),
              QStringLiteral("Ne postoji proknjižena primka broj 99"));
}

TEST_F(ReceiptCorrectionTest, AChangedLineIsReplacedUnderTheGuardsOfDeletingIt) {
    const int number = Receive({{screw, 10, 5.00, 8.00}});
    const ReceiptTarget t = PostedTarget(number);
    ReceiptRow row = receiptlines::Read(db(), t, 1).value();
    row.quantity = 12;
    row.costValue = 12 * 5.5;
    row.invoiceValue = row.netValue = row.costValue;
    row.value = 12 * 8.00;
    row.DeriveFromAmounts();
    AcceptArticleLine(*session, prompter, t, row, CalculationMode::Change, 1);
    const stock::Lot lot = Lot(number, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 12);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.50);
    EXPECT_EQ(receiptlines::Read(db(), t).size(), 1u);
    EXPECT_EQ(receiptlines::Read(db(), t).at(0).lineNumber, 1);
    EXPECT_DOUBLE_EQ(BookValue(number), 96.00);
    ExpectConsistent();
    // Once goods went out the line is kept as it is.
    StockDocuments docs(*session);
    docs.Post(StockDocuments::Issue::IssueNote, {{screw, 1}});
    row.quantity = 11;
    EXPECT_EQ(
        Refusal([&] { AcceptArticleLine(*session, prompter, t, row, CalculationMode::Change, 1); }),
        QStringLiteral("Ovaj artikal primke nemožete obrisati jer su na njemu već rađene "
                       "izdatnice."));
    EXPECT_DOUBLE_EQ(Lot(number, screw).quantity, 11);
    ExpectConsistent();
}
