// Correcting a posted invoice ("ISPRAVAK"): every change goes at once into the lines, the lot
// and the trade-book entry; the refusals leave all as it was; two workstations correcting and
// posting at once share the lot's free quantity.
#include "sales/InvoiceCorrection.h"
#include "sales/InvoiceRemoval.h"
#include "sales/InvoiceTest.h"

namespace zodra::test {

namespace {

class InvoiceCorrectionTest : public InvoiceTest {
protected:
    // Invoice 1 in book 1 under terms 2: 4 screws from receipt 1 (10 at cost 5, price 8), one
    // delivery service.
    sales::InvoiceKey PostedInvoice() {
        docs->Receipt({{screw, 10, 5.00, 8.00}});
        service =
            Count(QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"CIJENA\", "
                                 "\"GRUPA_P\") VALUES ('Dostava', 4, 1) RETURNING "
                                 "\"SIFRA\""));
        sales::InvoiceDraft draft = Draft();
        Line(draft, screw, 4);
        sales::AddServiceLine(*session, prompter, draft,
                              {service, 1, std::nullopt, std::nullopt, std::nullopt, QString()});
        const sales::PostedInvoice posted = Post(draft);
        return {1, 1, Year(), posted.number};
    }
    stock::Lot Lot() { return LotOf(db(), 1, Year(), 1, screw); }
    double Entry(const char* column) {
        return Value(QStringLiteral("SELECT \"") + QString::fromLatin1(column) +
                     QStringLiteral("\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                    "\"TIP_DOKUMENTA\" = '1RAČUN'"));
    }
    double Line(const char* column, int lineNumber) {
        return Value(QStringLiteral("SELECT \"") + QString::fromLatin1(column) +
                         QStringLiteral("\" FROM \"STAVKE_RACUNA\" WHERE \"RBR_STAVKE\" = ?"),
                     {lineNumber});
    }
    using InvoiceTest::Line;

    int service = 0;
};

}  // namespace

TEST_F(InvoiceCorrectionTest, ALinesQuantityAndDiscountMoveTheLotAndTheTradeBook) {
    const sales::InvoiceKey key = PostedInvoice();
    EXPECT_DOUBLE_EQ(Lot().quantity, 6);
    // Six screws at 8 less 10 %: 43.20 net; the lot gives two more.
    sales::ChangePostedLine(*session, key, 1, {6, 8, 10});
    EXPECT_DOUBLE_EQ(Lot().quantity, 4);
    EXPECT_DOUBLE_EQ(Lot().freeQuantity, 4);
    EXPECT_DOUBLE_EQ(Line("VRIJEDNOST_", 1), 43.2);
    EXPECT_DOUBLE_EQ(Line("NABAVNA_VRIJEDNOST", 1), 30);
    EXPECT_DOUBLE_EQ(Line("UKUPNO_", 1), 54);
    // The entry carries the articles only: the service stays out of the trade book.
    EXPECT_DOUBLE_EQ(Entry("PRODAJA_VRIJEDNOST"), 43.2);
    EXPECT_DOUBLE_EQ(Entry("PRODAJA_POREZ"), 10.8);
    EXPECT_DOUBLE_EQ(Entry("PRODAJA_UKUPNO"), 54);
    // Back to one: five return to the lot.
    sales::ChangePostedLine(*session, key, 1, {1, 8, 0});
    EXPECT_DOUBLE_EQ(Lot().quantity, 9);
    EXPECT_DOUBLE_EQ(Entry("PRODAJA_VRIJEDNOST"), 8);
    ExpectLotsMatchCard();
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceCorrectionTest, LinesAreAddedMergedAndDeletedWithTheirStock) {
    const sales::InvoiceKey key = PostedInvoice();
    // The same screws again: the merge question, Yes adds into line 1.
    prompter.AnswerYes();
    const auto merged = sales::AddPostedArticleLine(
        *session, prompter, key,
        {screw, 1, 2, std::nullopt, std::nullopt, std::nullopt, QStringLiteral("dodatno")});
    ASSERT_TRUE(merged);
    EXPECT_TRUE(merged->merged);
    EXPECT_DOUBLE_EQ(Line("KOLICINA", 1), 6);
    EXPECT_DOUBLE_EQ(Lot().quantity, 4);
    // No writes nothing.
    prompter.AnswerNo();
    EXPECT_FALSE(sales::AddPostedArticleLine(
        *session, prompter, key,
        {screw, 1, 2, std::nullopt, std::nullopt, std::nullopt, QString()}));
    EXPECT_DOUBLE_EQ(Lot().quantity, 4);
    // A service of its own is a new line; deleting the first service closes the gap.
    const int other =
        Count(QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"CIJENA\", "
                             "\"GRUPA_P\") VALUES ('Montaža', 20, 1) RETURNING "
                             "\"SIFRA\""));
    const auto added = sales::AddPostedServiceLine(
        *session, prompter, key, {other, 2, 10.0, std::nullopt, std::nullopt, QString()});
    ASSERT_TRUE(added);
    EXPECT_EQ(added->lineNumber, 3);
    sales::DeletePostedLine(*session, key, 2);
    EXPECT_EQ(Count(QStringLiteral("SELECT \"RBR_STAVKE\" FROM \"STAVKE_RACUNA\" WHERE "
                                   "\"SIFRA\" = ? AND \"TIP_STAVKE\" = 'USL'"),
                    {other}),
              2);
    // Deleting the article line gives all six back.
    sales::DeletePostedLine(*session, key, 1);
    EXPECT_DOUBLE_EQ(Lot().quantity, 10);
    EXPECT_DOUBLE_EQ(Lot().freeQuantity, 10);
    EXPECT_DOUBLE_EQ(Entry("PRODAJA_VRIJEDNOST"), 0);
    ExpectLotsMatchCard();
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceCorrectionTest, RefusalsLeaveEverythingAsItWas) {
    const sales::InvoiceKey key = PostedInvoice();
    auto unchanged = [&] {
        EXPECT_DOUBLE_EQ(Lot().quantity, 6);
        EXPECT_DOUBLE_EQ(Line("KOLICINA", 1), 4);
        EXPECT_DOUBLE_EQ(Entry("PRODAJA_VRIJEDNOST"), 32);
    };
    // Numbers that are none, and none at all.
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_THROW(sales::ChangePostedLine(*session, key, 1, {bad, 8, 0}), UserError);
        EXPECT_THROW(sales::ChangePostedLine(*session, key, 1, {4, bad, 0}), UserError);
        EXPECT_THROW(sales::ChangePostedLine(*session, key, 1, {4, 8, bad}), UserError);
    }
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, key, 1, {0, 8, 0});
        },
        QStringLiteral("Količina ne može biti nula !"));
    // More than the lot has; a price the lot does not sell at (no price change is generated).
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, key, 1, {11, 8, 0});
        },
        QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, key, 1, {4, 9, 0});
        },
        QStringLiteral("Cijena artikla Vijak M8 u ispravku mora biti jednaka cijeni "
                       "na skladištu (8,00)."));
    unchanged();
    // A discount is free to change; the lot's price is not touched by it.
    sales::ChangePostedLine(*session, key, 1, {4, 8, 50});
    EXPECT_DOUBLE_EQ(Entry("PRODAJA_VRIJEDNOST"), 16);
    sales::ChangePostedLine(*session, key, 1, {4, 8, 0});
    // Once the lot was repriced the goods cannot go back at another price.
    const int change = docs->PriceChange({{screw, 1, 9.00}});
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, key, 1, {3, 8, 0});
        },
        QStringLiteral("Ovaj račun nemožete ispraviti jer artikal 'Vijak M8' više nema "
                       "istu cijenu na skladištu."));
    ExpectRefused([&] { sales::DeletePostedLine(*session, key, 1); },
                  QStringLiteral("Ovaj račun nemožete ispraviti jer artikal 'Vijak M8' više nema "
                                 "istu cijenu na skladištu."));
    EXPECT_DOUBLE_EQ(Line("KOLICINA", 1), 4);
    docs->CancelPriceChange(change);
    // A cancelled invoice is not corrected, a missing one not found.
    sales::CancelInvoice(*session, 1, key.number, QDate(2026, 3, 10));
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, key, 2, {1, 4, 0});
        },
        QStringLiteral("Ovaj račun je već storniran."));
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, {1, 1, Year(), 99}, 1, {1, 4, 0});
        },
        QStringLiteral("Ne postoji proknjiženi račun broj 99"));
    ExpectLotsMatchCard();
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceCorrectionTest, APooledLotRecomputesItsCostFromTheInvoiceOn) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 4);
    const sales::PostedInvoice posted = Post(draft);
    docs->Receipt({{screw, 10, 7.00, 8.00}}, QDate(2026, 3, 12));
    // Two more of the first receipt's cost leave before the second came in.
    sales::ChangePostedLine(*session, {1, 1, Year(), posted.number}, 1, {6, 8, 0});
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 14);
    EXPECT_DOUBLE_EQ(Line("NABAVNA_CIJENA", 1), 5);
    ExpectLotsMatchCard();
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoiceCorrectionTest, ANewCustomerTakesThePaymentsOnlyWhenAsked) {
    const sales::InvoiceKey key = PostedInvoice();
    const int other = AddCustomer(QStringLiteral("Hotel Ćiro d.d."));
    const int payment =
        Count(QStringLiteral("INSERT INTO \"UPLATE\" (\"Skladiste\", \"Godina\", \"Partner\", "
                             "\"Iznos\") VALUES (1, ?, ?, 10) RETURNING \"Sifra\""),
              {Year(), customer});
    db().Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                             "\"Broj računa\", \"Iznos\", \"Sifra uplate\") VALUES (1, 1, ?, ?, "
                             "10, ?)"),
              {Year(), key.number, payment});
    prompter.AnswerNo();
    ExpectRefused([&] { sales::ChangePostedCustomer(*session, prompter, key, other); },
                  QStringLiteral("Kupca nemožete promijeniti dok ne obrišete plaćanje ovog "
                                 "računa."));
    EXPECT_EQ(sales::ReadPostedInvoice(db(), key)->customer, customer);
    prompter.AnswerYes();
    sales::ChangePostedCustomer(*session, prompter, key, other);
    const auto h = sales::ReadPostedInvoice(db(), key);
    EXPECT_EQ(h->customer, other);
    EXPECT_EQ(h->customerName, QStringLiteral("Hotel Ćiro d.d."));
    EXPECT_EQ(
        Count(QStringLiteral("SELECT \"Partner\" FROM \"UPLATE\" WHERE \"Sifra\" = ?"), {payment}),
        other);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"ISPORUKA NAZIV\" FROM \"RACUNI\"")).toString(),
              QStringLiteral("Hotel Ćiro d.d."));
}

// Another workstation holds stock of the lot in its working copy: the correction sees only
// what is free, and the other's posting still finds its goods.
TEST_F(InvoiceCorrectionTest, TwoWorkstationsShareTheLotWhileOneCorrects) {
    const sales::InvoiceKey key = PostedInvoice();
    std::unique_ptr<Session> other = StartSession(1);
    ASSERT_TRUE(other);
    other->workstation.debugMode = true;
    sales::InvoiceDraft theirs = sales::OpenInvoice(*other, QDate(2026, 3, 10));
    theirs.book = 1;
    theirs.salesTerms = 2;
    theirs.customer = customer;
    sales::AddArticleLine(
        *other, prompter, theirs,
        {screw, std::nullopt, 5, std::nullopt, std::nullopt, std::nullopt, QString()});
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, key, 1, {6, 8, 0});
        },
        QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    sales::ChangePostedLine(*session, key, 1, {5, 8, 0});
    EXPECT_EQ(sales::PostInvoice(*other, theirs, sales::ProposeHeader(*other, theirs)).number, 2);
    EXPECT_DOUBLE_EQ(Lot().quantity, 0);
    EXPECT_DOUBLE_EQ(Lot().freeQuantity, 0);
    ExpectLotsMatchCard();
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace zodra::test
