#include <gtest/gtest.h>

#include "ReceiptTestSupport.h"
#include "data/Errors.h"
#include "purchasing/ReceiptCorrection.h"
#include "purchasing/ReceiptLines.h"
#include "purchasing/ReceiptRemoval.h"
#include "stock/Lots.h"
#include "stock/support/StockDocuments.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;

namespace {

class ReceiptRemovalTest : public ReceiptTest {
protected:
    QString DeleteRefusal(int number) {
        return Refusal([&] { DeleteReceipt(*session, number); });
    }
    QString CancelRefusal(int number) {
        return Refusal([&] { CancelReceipt(*session, prompter, number, QDate(2026, 3, 5)); });
    }
    int Receipts() { return Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\"")); }
    // An invoice line taking from a lot, written directly (as a posted invoice leaves it).
    void InvoiceLine(int lot, int article, double quantity) {
        db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", "
                                 "\"GODINA\", \"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", "
                                 "\"BROJ_PRIMKE\", \"KOLICINA\") VALUES (1, 1, 2026, 1, 'ART', ?, "
                                 "?, ?)"),
                  {article, lot, quantity});
    }
};

}  // namespace

TEST_F(ReceiptRemovalTest, FifoDeletionIsRefusedWhileAnInvoiceLineRefersToItsLot) {
    const int first = Receive({{screw, 10, 5.00, 8.00}});
    Enter(nut, 4, 2.00);
    ReceiptSummary summary;
    summary.invoiceValue = 8;
    summary.items = {{QStringLiteral("Prijevoz"), 0}};
    const int second = Post(AcceptSummary(db(), summary));
    ASSERT_EQ(ReadDependentCosts(db(), 1, Year(), second).size(), 1u);
    EXPECT_DOUBLE_EQ(LastBalance(), 80.00 + 10.00);

    InvoiceLine(second, nut, 1);
    EXPECT_EQ(DeleteRefusal(second),
              QStringLiteral("Ovu primku nemožete izbrisati jer su iz njenih nabava već rađeni "
                             "računi."));
    EXPECT_EQ(Receipts(), 2);
    // The invoice goes: the receipt can go, with its lot, entry, items and lines.
    db().Exec(QStringLiteral("DELETE FROM \"STAVKE_RACUNA\""));
    DeleteReceipt(*session, second);
    EXPECT_EQ(Receipts(), 1);
    EXPECT_FALSE(LotExists(db(), 1, Year(), second, nut));
    EXPECT_TRUE(ReadDependentCosts(db(), 1, Year(), second).empty());
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKI\" WHERE \"BROJ_PRIMKE\" = "
                                   "?"),
                    {second}),
              0);
    EXPECT_DOUBLE_EQ(BookValue(second), 0.0);
    EXPECT_DOUBLE_EQ(LastBalance(), 80.00);
    ExpectConsistent();
    EXPECT_EQ(DeleteRefusal(second), QStringLiteral("Ne postoji proknjižena primka broj 2"));
    EXPECT_EQ(first, 1);
}

TEST_F(ReceiptRemovalTest, FifoGuardsSeeEveryDocumentThatTookFromTheLot) {
    const int number = Receive({{screw, 10, 5.00, 8.00}, {nut, 10, 1.00, 2.00}});
    StockDocuments docs(*session);
    // Other documents that took from the lot guard the receipt just as an invoice does.
    for (const auto& [kind, tail] :
         {std::pair{StockDocuments::Issue::DeliveryNote, "rađena otpremnica."},
          std::pair{StockDocuments::Issue::IssueNote, "rađena izdatnica."},
          std::pair{StockDocuments::Issue::WriteOff, "rađen rashod."}}) {
        const int posted = docs.Post(kind, {{nut, 1}});
        EXPECT_EQ(DeleteRefusal(number),
                  QStringLiteral("Ovu primku nemožete izbrisati jer je iz njenih nabava već ") +
                      QString::fromUtf8(tail));
        docs.Delete(kind, posted);
    }
    // An invoice is searched before a write-off.
    docs.Post(StockDocuments::Issue::WriteOff, {{screw, 1}});
    docs.Post(StockDocuments::Issue::Invoice, {{nut, 1}});
    EXPECT_EQ(DeleteRefusal(number),
              QStringLiteral("Ovu primku nemožete izbrisati jer su iz njenih nabava već rađeni "
                             "računi."));
    EXPECT_EQ(Receipts(), 1);
    ExpectConsistent();
}

TEST_F(ReceiptRemovalTest, FifoLotThatNoLongerHoldsWhatTheReceiptBroughtStays) {
    const int number = Receive({{screw, 10, 5.00, 8.00}});
    // Goods left the lot without a line that names it: the quantity tells.
    session->workstation.debugMode = false;
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = 7"));
    EXPECT_EQ(DeleteRefusal(number),
              QStringLiteral("Ovu primku nemožete izbrisati jer se količina artikla Vijak M8 u "
                             "njenoj nabavi promijenila."));
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = 10"));
    DeleteReceipt(*session, number);
    EXPECT_EQ(Receipts(), 0);
}

TEST_F(ReceiptRemovalTest, PooledDeletionLooksForLaterDocumentsOfTheArticle) {
    UseMethod(StockMethod::Average);
    StockDocuments docs(*session);
    const int first = Receive({{screw, 10, 5.00, 8.00}});
    const int invoice = docs.Post(StockDocuments::Issue::Invoice, {{screw, 4}});
    const int second = Receive({{screw, 10, 6.00, 10.00}});
    // The invoice lies after the first receipt: refused; not after the second.
    EXPECT_EQ(DeleteRefusal(first),
              QStringLiteral("Ovu primku nemožete izbrisati jer su iz njenih nabava već rađeni "
                             "računi."));
    DeleteReceipt(*session, second);
    stock::Lot lot = Lot(0, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 6);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.00);
    ExpectConsistent();
    docs.Delete(StockDocuments::Issue::Invoice, invoice);
    DeleteReceipt(*session, first);
    EXPECT_FALSE(LotExists(db(), 1, Year(), 0, screw));
    ExpectConsistent();
}

TEST_F(ReceiptRemovalTest, LastPriceDeletionCountsOnlyTheReceiptsOwnPriceChangeAsItsOwn) {
    UseMethod(StockMethod::LastPrice);
    const int first = Receive({{screw, 10, 5.00, 8.00}});
    const int second = Receive({{screw, 5, 6.00, 9.00}});  // reprices the 10 on hand to 9.00
    EXPECT_EQ(DeleteRefusal(first),
              QStringLiteral("Ovu primku nemožete izbrisati jer je iz njenih nabava već rađena "
                             "izmjena cijena."));
    DeleteReceipt(*session, second);
    const stock::Lot lot = Lot(0, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.00);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 0);
    ExpectConsistent();
    DeleteReceipt(*session, first);
    EXPECT_EQ(Receipts(), 0);
}

TEST_F(ReceiptRemovalTest, CancellingNegatesTheReceiptOnceAndItsDeletionReleasesIt) {
    Enter(screw, 10, 5.00);
    Enter(beer, 6, 0.80);
    const int original = Post(std::nullopt, Header(QStringLiteral("12345678901234567890")));
    ASSERT_EQ(original, 1);
    EXPECT_NO_THROW(CheckCanBeCancelled(*session, original));
    const int cancellation = CancelReceipt(*session, prompter, original, QDate(2026, 3, 5));
    EXPECT_EQ(cancellation, 2);
    EXPECT_EQ(CancelledMessage(cancellation),
              QStringLiteral("Storno primke je proknjižen pod brojem 2"));
    const std::optional<PostedReceipt> s = ReadPostedReceipt(db(), 1, Year(), cancellation);
    ASSERT_TRUE(s);
    // The generated document is longer than 20 characters: only typed text is checked.
    EXPECT_EQ(s->header.supplierDocument, QStringLiteral("Storno primke 1-12345678901234567890"));
    EXPECT_EQ(s->header.supplier, supplier);
    EXPECT_EQ(s->header.date, QDate(2026, 3, 5));
    EXPECT_EQ(s->header.supplierDocumentDate, QDate(2026, 3, 1));
    EXPECT_EQ(s->cancels, std::optional<int>(original));
    EXPECT_EQ(ReadPostedReceipt(db(), 1, Year(), original)->cancelledBy,
              std::optional<int>(cancellation));
    // Its lines are the original's negated, packaging included.
    const std::vector<ReceiptRow> a = receiptlines::Read(db(), ReceiptTarget::Posted(1, 2026, 1));
    const std::vector<ReceiptRow> b = receiptlines::Read(db(), ReceiptTarget::Posted(1, 2026, 2));
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(b[i].quantity, -a[i].quantity);
        EXPECT_EQ(b[i].costValue, -a[i].costValue);
        EXPECT_EQ(b[i].value, -a[i].value);
        EXPECT_EQ(b[i].costPrice, a[i].costPrice);
        EXPECT_EQ(b[i].price, a[i].price);
    }
    EXPECT_DOUBLE_EQ(BookValue(cancellation), -BookValue(original));
    EXPECT_DOUBLE_EQ(LastBalance(), 0.0);
    EXPECT_DOUBLE_EQ(Lot(cancellation, screw).quantity, -10);
    ExpectConsistent();

    EXPECT_EQ(CancelRefusal(original),
              QStringLiteral("Primka broj 1 je već stornirana storno primkom broj 2 !"));
    EXPECT_EQ(CancelRefusal(cancellation),
              QStringLiteral("Primka broj 2 je storno primke broj 1 i ne može se stornirati !"));
    EXPECT_EQ(DeleteRefusal(original),
              QStringLiteral("Ovu primku nemožete izbrisati jer je stornirana storno primkom "
                             "broj 2. Najprije izbrišite storno primku."));
    EXPECT_EQ(Receipts(), 2);
    // The cancellation deleted: the receipt may be cancelled again.
    DeleteReceipt(*session, cancellation);
    EXPECT_FALSE(ReadPostedReceipt(db(), 1, Year(), original)->cancelledBy.has_value());
    EXPECT_EQ(CancelReceipt(*session, prompter, original, QDate(2026, 3, 6)), 2);
    ExpectConsistent();
}

TEST_F(ReceiptRemovalTest, CancellingUnderLastPriceMayKeepTheCurrentSellingPrice) {
    UseMethod(StockMethod::LastPrice);
    const int first = Receive({{screw, 10, 5.00, 8.00}});
    Receive({{screw, 10, 6.00, 9.00}});  // the 20 on hand now sell at 9.00
    prompter.AnswerYes();
    const int cancellation = CancelReceipt(*session, prompter, first, QDate(2026, 3, 5));
    ASSERT_EQ(prompter.Shown().size(), 1);
    EXPECT_EQ(prompter.Shown().first(),
              QStringLiteral("Želite li zadržati trenutne prodajne cijene!"));
    const ReceiptRow line =
        receiptlines::Read(db(), ReceiptTarget::Posted(1, 2026, cancellation)).at(0);
    EXPECT_DOUBLE_EQ(line.quantity, -10);
    EXPECT_DOUBLE_EQ(line.price, 9.00);  // the lot's price, not the receipt's 8.00
    EXPECT_DOUBLE_EQ(line.value, -90.00);
    EXPECT_DOUBLE_EQ(line.marginAmount, -90.00 + 50.00);
    EXPECT_NEAR(line.marginPercent, (-90.0 + 50.0) / -50.0 * 100, 1e-9);
    const stock::Lot lot = Lot(0, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10);
    EXPECT_DOUBLE_EQ(lot.costPrice, 6.00);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 9.00);
    // No new price change: only the second receipt's.
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 1);
    ExpectConsistent();
}

TEST_F(ReceiptRemovalTest, CancellingUnderLastPriceWithTheReceiptsPriceRepricesTheStock) {
    UseMethod(StockMethod::LastPrice);
    const int first = Receive({{screw, 10, 5.00, 8.00}});
    Receive({{screw, 10, 6.00, 9.00}});
    prompter.AnswerNo();
    const int cancellation = CancelReceipt(*session, prompter, first, QDate(2026, 3, 5));
    EXPECT_DOUBLE_EQ(
        receiptlines::Read(db(), ReceiptTarget::Posted(1, 2026, cancellation)).at(0).price, 8.00);
    EXPECT_DOUBLE_EQ(Lot(0, screw).sellingPrice, 8.00);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\"")), 2);
    ExpectConsistent();
    // The other methods ask nothing.
    UseMethod(StockMethod::Fifo);
    const int fifo = Receive({{nut, 1, 1.00, 2.00}});
    prompter.Clear();
    CancelReceipt(*session, prompter, fifo, QDate(2026, 3, 5));
    EXPECT_TRUE(prompter.Shown().isEmpty());
}

TEST_F(ReceiptRemovalTest, ACancellationNeverTakesTheLinesOfTheReceiptBeingEntered) {
    const int original = Receive({{screw, 10, 5.00, 8.00}});
    EnterPlain(nut, 3, 1.00, 2.00);  // the window has a receipt open
    const int cancellation = CancelReceipt(*session, prompter, original, QDate(2026, 3, 5));
    EXPECT_EQ(receiptlines::CountLines(db(), ReceiptTarget::Posted(1, 2026, cancellation)), 1);
    EXPECT_EQ(WorkingLines(), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" > ?"),
                    {session->transferSessionCode}),
              0);
}
