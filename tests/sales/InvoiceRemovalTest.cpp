// Cancelling and deleting a posted invoice: every guard with its text, the goods back in their
// lots, the generated price change undone with the invoice, counter-entries and counter-payments,
// and lots, card and trade book in agreement after each scenario.

#include "data/ScriptedPrompter.h"
#include "sales/InvoiceRemoval.h"
#include "sales/InvoiceTest.h"
#include "sales/IraBook.h"
#include "stockdocs/PriceChangeRemoval.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class InvoiceRemovalTest : public InvoiceTest {
protected:
    // An invoice of one line of screws, dated 10.3.2026; returns its number.
    int Sell(double quantity, std::optional<double> price = std::nullopt,
             std::optional<double> discount = std::nullopt) {
        sales::InvoiceDraft draft = Draft();
        Line(draft, screw, quantity, price, discount);
        return Post(draft).number;
    }
    void Cancel(int number, const QDate& date = QDate(2026, 3, 12)) {
        sales::CancelInvoice(*session, 1, number, date);
    }
    QVariant Invoice(const char* column, int number) {
        return db().Scalar(
            QStringLiteral("SELECT \"") + QString::fromUtf8(column) +
                QStringLiteral("\" FROM \"RACUNI\" WHERE \"IRA\" = 1 AND \"BROJ RACUNA\" = ?"),
            {number});
    }
    QString CannotCancel(const char* tail) {
        return QStringLiteral("Ovaj račun nemožete stornirati jer ") + QString::fromUtf8(tail);
    }
};

TEST_F(InvoiceRemovalTest, ACancellationReturnsTheGoodsAndUndoesItsPriceChange) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int number = Sell(2, 10.0);  // lot 1 repriced from 8.00 to 10.00
    // The price change goes only with its invoice.
    ExpectRefused([&] { stockdocs::DeletePriceChange(*session, 1); },
                  QStringLiteral("Ovu izmjenu cijena nemožete izbrisati jer je vezana na "
                                 "postojeći račun broj 1"));
    Cancel(number);
    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10.0);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.0);
    EXPECT_DOUBLE_EQ(lot.costPrice, 5.0);

    EXPECT_EQ(Invoice("STORNO", number).toInt(), 1);
    EXPECT_EQ(Invoice("DATUM_STORNA", number).toDate(), QDate(2026, 3, 12));
    // One cancellation counter for price changes and invoices: the change first, then the invoice.
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"RBR_STORNO_DOKUMENTA\" FROM \"IZMJENE_CIJENA\""))
                  .toInt(),
              1);
    EXPECT_EQ(Invoice("RBR_STORNO_DOKUMENTA", number).toInt(), 2);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"STORNO\" FROM \"IZMJENE_CIJENA\"")).toInt(), 1);

    Statement book = db().Prepare(
        QStringLiteral("SELECT \"RBR\", \"TIP_DOKUMENTA\", \"OPIS\", \"NABAVA_VRIJEDNOST\", "
                       "\"PRODAJA_VRIJEDNOST\", \"PRODAJA_POREZ\", \"DATUM\" FROM "
                       "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"RBR\" > 3 ORDER BY \"RBR\""));
    book.Exec();
    ASSERT_TRUE(book.Next());
    EXPECT_EQ(book.Text(1), QStringLiteral("STORNO IZMJENE CIJENA"));
    EXPECT_EQ(book.Text(2), QStringLiteral("Storno izmjene cijena 1"));
    EXPECT_DOUBLE_EQ(book.Double(3), -20.0);
    ASSERT_TRUE(book.Next());
    const int stornoAt = book.Int(0);
    EXPECT_EQ(book.Text(1), QStringLiteral("STORNO RAČUNA"));
    EXPECT_EQ(book.Text(2), QStringLiteral("Storno računa 1"));
    EXPECT_DOUBLE_EQ(book.Double(4), -20.0);
    EXPECT_DOUBLE_EQ(book.Double(5), -5.0);
    EXPECT_EQ(book.Value(6).toDate(), QDate(2026, 3, 12));
    book.Finish();
    EXPECT_EQ(Invoice("STORNO_RBR_TK", number).toInt(), stornoAt);
    ExpectBooksAgree(db(), 1, Year());

    ExpectRefused([&] { Cancel(number); }, QStringLiteral("Ovaj račun je već storniran."));
    ExpectRefused([&] { sales::CheckCanBeCancelled(*session, 1, 7); },
                  QStringLiteral("Ne postoji proknjiženi račun broj 7"));
}

TEST_F(InvoiceRemovalTest, TheCancellationDateIsADateNotBeforeTheInvoice) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int number = Sell(1);
    ExpectRefused([&] { sales::CheckCancellationDate(*session, 1, number, QStringLiteral("x")); },
                  QStringLiteral("Datum storna nije ispravno upisan. Pokušajte ponovo."));
    ExpectRefused(
        [&] { sales::CheckCancellationDate(*session, 1, number, QStringLiteral("9.3.2026")); },
        QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo."));
    ExpectRefused(
        [&] { Cancel(number, QDate(2026, 3, 9)); },
        QStringLiteral("Datum storna nesmije biti prije datuma računa. Pokušajte ponovo."));
    EXPECT_EQ(Invoice("STORNO", number).toInt(), 0);
    EXPECT_EQ(sales::CheckCancellationDate(*session, 1, number, QStringLiteral("10.3.2026")),
              QDate(2026, 3, 10));
    Cancel(number, QDate(2026, 3, 10));
    EXPECT_EQ(Invoice("STORNO", number).toInt(), 1);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceRemovalTest, AnInvoiceWithBoundDeliveryNotesIsNotCancelled) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int number = Sell(1);
    db().Exec(QStringLiteral("INSERT INTO \"OTPREMNICE\" (\"SKLADISTE\", \"GODINA\", "
                             "\"BROJ_OTPREMNICE\", \"SKLADISTE_RACUNA\", \"IRA_RACUNA\", "
                             "\"GODINA_RACUNA\", \"BROJ_RACUNA\") VALUES (1, ?, 4, 1, 1, ?, ?)"),
              {Year(), Year(), number});
    ExpectRefused([&] { Cancel(number); }, CannotCancel("su na njega vezane (1) otpremnice."));
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 9.0);

    // Deleting announces them; No keeps everything, Yes releases them.
    prompter.AnswerNo();
    EXPECT_FALSE(sales::DeleteInvoice(*session, prompter, 1, number));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Na ovaj račun su vezane (1) otpremnice. Želite li ga obrisati?"));
    EXPECT_EQ(Rows("RACUNI"), 1);
    prompter.AnswerYes();
    EXPECT_TRUE(sales::DeleteInvoice(*session, prompter, 1, number));
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_TRUE(db().Scalar(QStringLiteral("SELECT \"BROJ_RACUNA\" FROM \"OTPREMNICE\"")).isNull());
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 10.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceRemovalTest, ALotNoLongerAtThePriceTheGoodsLeftAtRefusesTheCancellation) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    // Sold at the lot's price: a later price change of the lot refuses, its cancellation
    // allows.
    const int plain = Sell(1);
    const int change = docs->PriceChange({{screw, 1, 9.0}});
    ExpectRefused([&] { Cancel(plain); },
                  CannotCancel("artikal 'Vijak M8' više nema istu cijenu na skladištu."));
    docs->CancelPriceChange(change, QDate(2026, 3, 11));
    Cancel(plain);
    ExpectBooksAgree(db(), 1, Year());

    // Sold above it: the invoice's own price change must still be the lot's price.
    const int repriced = Sell(1, 10.0);
    const int later = docs->PriceChange({{screw, 1, 11.0}});
    ExpectRefused([&] { Cancel(repriced); },
                  CannotCancel("je artikal 'Vijak M8' u trenutku izrade imao cijenu bez poreza "
                               "10,00 a sada ima cijenu 11,00."));
    docs->CancelPriceChange(later, QDate(2026, 3, 11));
    Cancel(repriced);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).sellingPrice, 8.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceRemovalTest, ARepricedLotThatMovedSinceKeepsItsInvoice) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int first = Sell(2, 10.0);  // lot to 10.00 for its 10 pieces
    const int second = Sell(1);       // one more at the new price
    const QString refusal =
        CannotCancel("su na artiklu 'Vijak M8' nakon računa rađeni drugi dokumenti.");
    ExpectRefused([&] { Cancel(first); }, refusal);
    ExpectRefused([&] { sales::DeleteInvoice(*session, prompter, 1, first); }, refusal);
    // The later invoice goes first; with its goods back the lot holds what it held right after
    // the first, whose price change can then be undone.
    Cancel(second);
    EXPECT_EQ(Invoice("STORNO", first).toInt(), 0);
    Cancel(first);
    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10.0);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceRemovalTest, CancellingAnInvoiceOfThePooledLotBringsTheGoodsBackAtTheirCost) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int number = Sell(4);
    docs->Receipt({{screw, 6, 8.00, 8.00}}, QDate(2026, 3, 11));  // average 6.50 of 12
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.5);
    Cancel(number);
    // 12 at 6.50 and 4 back at 5.00: 16 at 6.125.
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 16.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.125);
    ExpectBooksAgree(db(), 1, Year());
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
}

TEST_F(InvoiceRemovalTest, DeletingAnInvoiceUndoesItAsIfItHadNeverBeenMade) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int number = Sell(4, 9.0);  // the pooled lot repriced to 9.00
    docs->Receipt({{screw, 6, 8.00, 9.00}}, QDate(2026, 3, 11));
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.5);
    // The later receipt moved the repriced lot: the invoice stays.
    ExpectRefused([&] { sales::DeleteInvoice(*session, prompter, 1, number); },
                  CannotCancel("su na artiklu 'Vijak M8' nakon računa rađeni drugi dokumenti."));

    // Sold at the lot's price, it goes, and the average is rebuilt as if it had never been.
    const int plain = Sell(2);
    db().Exec(QStringLiteral("INSERT INTO \"UPLATE\" (\"Sifra\", \"Skladiste\", \"Godina\", "
                             "\"Partner\", \"Iznos\") VALUES (50, 1, ?, ?, 22.5)"),
              {Year(), customer});
    db().Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                             "\"Broj računa\", \"Iznos\", \"Sifra uplate\") VALUES (1, 1, ?, ?, "
                             "22.5, 50)"),
              {Year(), plain});
    const int entries = Rows("TRGOVACKA_KNJIGA_VELEPRODAJE");
    EXPECT_TRUE(sales::DeleteInvoice(*session, prompter, 1, plain));
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), entries - 1);
    EXPECT_EQ(
        Count(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ?"), {plain}),
        0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"BROJ_RACUNA\" "
                                   "= ?"),
                    {plain}),
              0);
    EXPECT_EQ(Rows("NAPLATA"), 0);
    EXPECT_EQ(Rows("UPLATE"), 0);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 12.0);
    ExpectBooksAgree(db(), 1, Year());
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
}

TEST_F(InvoiceRemovalTest, DeletingAnInvoiceTakesItsPriceChangeAndEntriesWithIt) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int entries = Rows("TRGOVACKA_KNJIGA_VELEPRODAJE");
    const int number = Sell(3, 10.0);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), entries + 2);
    EXPECT_TRUE(sales::DeleteInvoice(*session, prompter, 1, number));
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), entries);
    EXPECT_EQ(Rows("IZMJENE_CIJENA"), 0);
    EXPECT_EQ(Rows("STAVKE_IZMJENA_CIJENA"), 0);
    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10.0);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.0);
    ExpectBooksAgree(db(), 1, Year());
    // A number freed at the end is given again.
    EXPECT_EQ(Sell(1), number);

    // A cancelled invoice stays in the books.
    Cancel(number);
    ExpectRefused([&] { sales::DeleteInvoice(*session, prompter, 1, number); },
                  QStringLiteral("Ovaj račun je već storniran."));
}

TEST_F(InvoiceRemovalTest, EveryPaymentOfACancelledInvoiceGetsItsCounterPayment) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int number = Sell(2);
    db().Exec(QStringLiteral("INSERT INTO \"UPLATE\" (\"Sifra\", \"Skladiste\", \"Godina\", "
                             "\"Partner\", \"Datum\", \"Tip\", \"Iznos\") VALUES (70, 1, ?, ?, "
                             "'2026-03-10', 'G', 20)"),
              {Year(), customer});
    db().Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                             "\"Broj računa\", \"Tip\", \"Datum\", \"Iznos\", \"Sifra uplate\") "
                             "VALUES (1, 1, ?, ?, 'G', '2026-03-10', 20, 70)"),
              {Year(), number});
    Cancel(number);
    Statement payment = db().Prepare(
        QStringLiteral("SELECT \"Sifra\", \"Partner\", \"Tip\", \"Opis\", \"Iznos\", \"Datum\" "
                       "FROM \"UPLATE\" WHERE \"Sifra\" <> 70"));
    payment.Exec();
    ASSERT_TRUE(payment.Next());
    const int counter = payment.Int(0);
    EXPECT_EQ(payment.Int(1), customer);
    EXPECT_EQ(payment.Text(2), QStringLiteral("G"));
    EXPECT_EQ(payment.Text(3), QStringLiteral("Storno"));
    EXPECT_DOUBLE_EQ(payment.Double(4), -20.0);
    EXPECT_EQ(payment.Value(5).toDate(), QDate(2026, 3, 12));
    payment.Finish();
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT SUM(\"Iznos\") FROM \"NAPLATA\" WHERE "
                                          "\"Broj računa\" = ?"),
                           {number}),
                     0.0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"NAPLATA\" WHERE \"Opis dokumenta\" = "
                                   "'Storno' AND \"Sifra uplate\" = ?"),
                    {counter}),
              1);
}

TEST_F(InvoiceRemovalTest, TheIraBookListsACancelledInvoiceOnItsDateAndOnItsCancellationDate) {
    docs->Receipt({{screw, 20, 5.00, 8.00}});
    db().Exec(
        QStringLiteral("INSERT INTO \"KNJIGE_IRA\" (\"SIFRA\", \"NAZIV\", \"SKIDA\") VALUES "
                       "(2, 'Druga', TRUE)"));
    const int first = Sell(1);   // 10.3.
    const int second = Sell(1);  // 10.3.
    sales::InvoiceDraft later = Draft();
    later.date = QDate(2026, 3, 11);
    Line(later, screw, 1);
    const int third = Post(later).number;
    sales::InvoiceDraft other = Draft(2, 2);
    Line(other, screw, 1);
    const int otherBook = Post(other).number;
    db().Exec(QStringLiteral("UPDATE \"RACUNI\" SET \"RBR_IRA\" = 99 WHERE \"IRA\" = 2"));
    Cancel(first, QDate(2026, 3, 12));
    Cancel(second, QDate(2026, 3, 10));  // on its own date: after the invoice itself

    EXPECT_EQ(sales::RenumberIraBook(db(), 1, 1, Year()), 5);
    EXPECT_EQ(Invoice("RBR_IRA", first).toInt(), 1);
    EXPECT_EQ(Invoice("RBR_IRA", second).toInt(), 2);
    EXPECT_EQ(Invoice("RBR_IRA_STORNO", second).toInt(), 3);
    EXPECT_EQ(Invoice("RBR_IRA", third).toInt(), 4);
    EXPECT_EQ(Invoice("RBR_IRA_STORNO", first).toInt(), 5);
    EXPECT_TRUE(Invoice("RBR_IRA_STORNO", third).isNull());
    // Another book of the same warehouse and year is left as it was.
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"RBR_IRA\" FROM \"RACUNI\" WHERE \"IRA\" = 2 AND "
                                         "\"BROJ RACUNA\" = ?"),
                          {otherBook})
                  .toInt(),
              99);
}

}  // namespace
