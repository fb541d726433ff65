// Offers, pro-formas and delivery notes posted through the invoice's working copy, deleted with
// their guards, and made into invoices: an offer or pro-forma copied into a new invoice at the
// lots' current purchase prices, open delivery notes billed per customer with their lines summed.

#include "sales/DeliveryNoteBilling.h"
#include "sales/InvoiceRemoval.h"
#include "sales/InvoiceTest.h"
#include "sales/OutgoingPosting.h"
#include "sales/OutgoingRemoval.h"
#include "sales/QuotationInvoice.h"
#include "stock/Lots.h"

using namespace zodra;
using namespace zodra::test;
using sales::DeliveryNoteDocument;
using sales::OfferDocument;
using sales::ProFormaDocument;

namespace {

class OutgoingDocumentsTest : public InvoiceTest {
protected:
    sales::PostedInvoice PostAs(const sales::OutgoingDocument& doc,
                                const sales::InvoiceDraft& draft, int shown = 0) {
        sales::InvoiceHeader header = sales::ProposeHeader(*session, draft);
        header.number = shown;
        return sales::PostOutgoing(*session, doc, draft, header);
    }
    // A delivery note of `quantity` screws from lot `lot` at `price` (discount in percent).
    int Note(double quantity, std::optional<double> price = std::nullopt,
             std::optional<double> discount = std::nullopt, std::optional<int> lot = 1,
             std::optional<int> who = std::nullopt) {
        sales::InvoiceDraft draft = Draft(2, 1, who);
        Line(draft, screw, quantity, price, discount, lot);
        return PostAs(DeliveryNoteDocument(), draft).number;
    }
    QVariant NoteColumn(const char* column, int number) {
        return db().Scalar(QStringLiteral("SELECT \"") + QString::fromUtf8(column) +
                               QStringLiteral("\" FROM \"OTPREMNICE\" WHERE \"SKLADISTE\" = 1 AND "
                                              "\"GODINA\" = ? AND \"BROJ_OTPREMNICE\" = ?"),
                           {Year(), number});
    }
    int TradeBookRows(const QString& type) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                    "\"TIP_DOKUMENTA\" = ?"),
                     {type});
    }
};

TEST_F(OutgoingDocumentsTest, TheDescriptionsCarryTheirOwnTexts) {
    EXPECT_EQ(sales::DocumentCaption(OfferDocument(), QStringLiteral("Ana")),
              QStringLiteral("Ponuda - Ana"));
    EXPECT_EQ(sales::DocumentCaption(ProFormaDocument(), QStringLiteral("Ana")),
              QStringLiteral("Predračun - Ana"));
    EXPECT_EQ(sales::CorrectionCaption(DeliveryNoteDocument(), 4, QStringLiteral("Ana")),
              QStringLiteral("Otpremnica br.4 - Ana"));
    EXPECT_EQ(OfferDocument().headerTitle, QStringLiteral("Zaglavlje ponude"));
    EXPECT_EQ(OfferDocument().dueDateLabel, QStringLiteral("Ponuda vrijedi do :"));
    EXPECT_EQ(ProFormaDocument().headerTitle, QStringLiteral("Zaglavlje predračuna"));
    EXPECT_EQ(ProFormaDocument().dueDateLabel, QStringLiteral("Predračun vrijedi do :"));
    EXPECT_EQ(sales::OutgoingPostedMessage(ProFormaDocument(), 3),
              QStringLiteral("Predračun je proknjižen pod brojem 3"));
}

TEST_F(OutgoingDocumentsTest, OffersAndProFormasTouchNoStockAndNumberPerBook) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft offer = Draft();
    Line(offer, screw, 4, 9.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).freeQuantity, 6.0);  // held while drawn up
    const sales::PostedInvoice posted = PostAs(OfferDocument(), offer);
    EXPECT_EQ(posted.number, 1);
    EXPECT_FALSE(posted.priceChange);
    // Nothing left the lot, nothing is held on it, no price change and no trade-book entry.
    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10.0);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 10.0);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.0);
    EXPECT_EQ(Rows("IZMJENE_CIJENA"), 0);
    EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO"), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PONUDA\" WHERE \"BROJ_RACUNA\" "
                                   "= 1 AND \"IRA\" = 1 AND \"KOLICINA\" = 4")),
              1);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"DOSPIJECE RACUNA\" FROM \"PONUDE\"")).toDate(),
              QDate(2026, 4, 9));

    // The number box: taken in the book, free in another book and for pro-formas.
    sales::InvoiceDraft next = Draft();
    ExpectRefused(
        [&] { sales::CheckOutgoingNumber(db(), OfferDocument(), next, QStringLiteral("1")); },
        QStringLiteral("Ponuda pod ovim brojem je već napravljena !"));
    ExpectRefused(
        [&] { sales::CheckOutgoingNumber(db(), OfferDocument(), next, QStringLiteral("x")); },
        QStringLiteral("Nije ispravno upisan broj !"));
    EXPECT_EQ(sales::CheckOutgoingNumber(db(), ProFormaDocument(), next, QStringLiteral("1")), 1);
    EXPECT_EQ(sales::ProposedOutgoingNumber(db(), OfferDocument(), next), 2);
    sales::InvoiceDraft otherBook = Draft(2, 2);
    EXPECT_EQ(sales::ProposedOutgoingNumber(db(), OfferDocument(), otherBook), 1);

    // Shown 1 but taken meanwhile: posted under 2 and told so.
    Line(next, screw, 1);
    const sales::PostedInvoice second = PostAs(OfferDocument(), next, 1);
    EXPECT_EQ(second.number, 2);
    EXPECT_TRUE(second.numberChanged);

    sales::InvoiceDraft proForma = Draft();
    Line(proForma, screw, 2);
    EXPECT_EQ(PostAs(ProFormaDocument(), proForma).number, 1);
    EXPECT_EQ(Rows("STAVKE_PREDRACUNA"), 1);
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).freeQuantity, 10.0);
    ExpectLotsMatchCard();
}

TEST_F(OutgoingDocumentsTest, ADeliveryNoteTakesItsGoodsRepricesItsLotAndBooksOtpremnica) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    // Sold at 10 before a 10 % discount: the lot is repriced to 10, never to the discounted 9.
    const int first = Note(4, 10.0, 10.0);
    EXPECT_EQ(first, 1);
    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 6.0);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 6.0);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 10.0);
    EXPECT_FALSE(NoteColumn("IZMJENA_CIJENA", 1).isNull());
    EXPECT_TRUE(NoteColumn("BROJ_RACUNA", 1).isNull());
    EXPECT_EQ(TradeBookRows(QStringLiteral("OTPREMNICA")), 1);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"OPIS\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                                         "WHERE \"TIP_DOKUMENTA\" = 'OTPREMNICA'"))
                  .toString(),
              QStringLiteral("OTPREMNICA 1 Kod Ane's d.o.o."));
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"PRODAJA_VRIJEDNOST\" FROM "
                                          "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                          "\"TIP_DOKUMENTA\" = 'OTPREMNICA'")),
                     36.0);
    EXPECT_EQ(NoteColumn("RBR_TK", 1).toInt(),
              Count(QStringLiteral("SELECT \"RBR\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                   "\"TIP_DOKUMENTA\" = 'OTPREMNICA'")));
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"CIJENA_SKLADISTA\" FROM "
                                          "\"STAVKE_OTPREMNICA\"")),
                     10.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"NABAVNA_VRIJEDNOST\" FROM "
                                          "\"STAVKE_OTPREMNICA\"")),
                     20.0);
    // The next note of the warehouse and year, whatever the book.
    sales::InvoiceDraft other = Draft(2, 2);
    EXPECT_EQ(sales::ProposedOutgoingNumber(db(), DeliveryNoteDocument(), other), 2);
    ExpectRefused(
        [&] {
            sales::CheckOutgoingNumber(db(), DeliveryNoteDocument(), other, QStringLiteral("1"));
        },
        QStringLiteral("Otpremnica pod ovim brojem je već napravljena !"));
    ExpectLotsMatchCard();

    // More than the lot holds: refused inside the transaction, nothing written, lines kept.
    sales::InvoiceDraft tooMuch = Draft();
    Line(tooMuch, screw, 6);
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = 5"));
    ExpectRefused([&] { PostAs(DeliveryNoteDocument(), tooMuch); },
                  QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    EXPECT_EQ(Rows("OTPREMNICE"), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                   "\"Multiuser_sifra\" = ?"),
                    {tooMuch.sessionCode}),
              1);
}

TEST_F(OutgoingDocumentsTest, DeletingAskesFirstRefusesABilledNoteAndUndoesAnOpenOne) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    ExpectRefused([&] { sales::DeleteOutgoing(*session, prompter, OfferDocument(), 1, 3); },
                  QStringLiteral("Ne postoji proknjižena ponuda broj 3"));
    ExpectRefused([&] { sales::DeleteOutgoing(*session, prompter, ProFormaDocument(), 1, 3); },
                  QStringLiteral("Ne postoji proknjiženi predračun broj 3"));
    ExpectRefused([&] { sales::DeleteOutgoing(*session, prompter, DeliveryNoteDocument(), 1, 3); },
                  QStringLiteral("Ne postoji proknjižena otpremnica broj 3"));

    sales::InvoiceDraft offer = Draft();
    Line(offer, screw, 1);
    PostAs(OfferDocument(), offer);
    prompter.AnswerNo();
    EXPECT_FALSE(sales::DeleteOutgoing(*session, prompter, OfferDocument(), 1, 1));
    EXPECT_EQ(Rows("PONUDE"), 1);
    prompter.AnswerYes();
    EXPECT_TRUE(sales::DeleteOutgoing(*session, prompter, OfferDocument(), 1, 1));
    EXPECT_EQ(Rows("PONUDE"), 0);
    EXPECT_EQ(Rows("STAVKE_PONUDA"), 0);
    EXPECT_TRUE(prompter.Shown().contains(QStringLiteral("Želite li izbrisati ponudu!")));

    const int open = Note(3);
    const int billed = Note(2);
    sales::BillDeliveryNotes(*session, {billed}, QDate(2026, 3, 10));
    ExpectRefused(
        [&] { sales::DeleteOutgoing(*session, prompter, DeliveryNoteDocument(), 1, billed); },
        QStringLiteral("Ovu otpremnicu nemožete izbrisati jer iz nje već napravljen račun."));

    prompter.AnswerYes();
    EXPECT_TRUE(sales::DeleteOutgoing(*session, prompter, DeliveryNoteDocument(), 1, open));
    // Its goods are back; the billed note keeps its 2.
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 8.0);
    EXPECT_EQ(Rows("OTPREMNICE"), 1);
    EXPECT_EQ(TradeBookRows(QStringLiteral("OTPREMNICA")), 1);
    ExpectLotsMatchCard();
}

TEST_F(OutgoingDocumentsTest, DeletingTheNoteThatRepricedItsLotPutsThePriceBack) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int note = Note(3, 9.0);
    EXPECT_EQ(Rows("IZMJENE_CIJENA"), 1);
    // A later sale from the repriced lot: the price change can no longer be undone.
    sales::InvoiceDraft invoice = Draft();
    Line(invoice, screw, 1, 9.0);
    Post(invoice);
    ExpectRefused([&] { sales::DeleteOutgoing(*session, DeliveryNoteDocument(), 1, note); },
                  QStringLiteral("Ovu otpremnicu nemožete izbrisati jer su na artiklu 'Vijak M8' "
                                 "nakon otpremnice rađeni drugi dokumenti."));
    prompter.AnswerYes();
    ASSERT_TRUE(sales::DeleteInvoice(*session, prompter, 1, 1));
    sales::DeleteOutgoing(*session, DeliveryNoteDocument(), 1, note);
    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10.0);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.0);
    EXPECT_EQ(Rows("IZMJENE_CIJENA"), 0);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), 1);  // the receipt's
    ExpectLotsMatchCard();
}

TEST_F(OutgoingDocumentsTest, OpenNotesOfACustomerBecomeOneInvoiceWithSummedLines) {
    docs->Receipt({{screw, 20, 5.00, 8.00}});
    const int other = AddCustomer(QStringLiteral("Brodogradilište d.d."));
    Note(3);
    Note(4);
    Note(1, std::nullopt, std::nullopt, 1, other);
    // Last year's note 1 of the same customer: never bound by this year's billing.
    db().Exec(QStringLiteral("INSERT INTO \"OTPREMNICE\" (\"SKLADISTE\", \"GODINA\", "
                             "\"BROJ_OTPREMNICE\", \"DATUM\", \"SIFRA_PARTNERA\", \"UVJET "
                             "PRODAJE\") VALUES (1, ?, 1, ?, ?, 2)"),
              {Year() - 1, QDate(Year() - 1, 3, 10), customer});
    const double before = LotOf(db(), 1, Year(), 1, screw).quantity;
    EXPECT_DOUBLE_EQ(before, 12.0);

    ExpectRefused(
        [] { sales::CheckBillingRange(QStringLiteral("1.4.2026"), QStringLiteral("1.3.2026")); },
        QStringLiteral("Ograničenja nisu ispravno upisana."));
    ExpectRefused([] { sales::CheckBillingRange(QStringLiteral("x"), QStringLiteral("1.3.2026")); },
                  QStringLiteral("Nije ispravno upisan datum. Biti će postavljen današnji datum."));
    ExpectRefused(
        [&] {
            sales::BillDeliveryNotes(
                *session, prompter, customer,
                sales::CheckBillingRange(QStringLiteral("1.1.2026"), QStringLiteral("1.3.2026")));
        },
        sales::NoOpenNotesMessage());
    prompter.AnswerNo();
    EXPECT_TRUE(sales::BillDeliveryNotes(*session, prompter, std::nullopt,
                                         {QDate(2026, 1, 1), QDate(2026, 3, 31)})
                    .empty());
    EXPECT_EQ(Rows("RACUNI"), 0);

    prompter.AnswerYes();
    const std::vector<sales::BilledInvoice> billed = sales::BillDeliveryNotes(
        *session, prompter, std::nullopt, {QDate(2026, 1, 1), QDate(2026, 3, 31)});
    ASSERT_EQ(billed.size(), 2u);
    EXPECT_EQ(billed[0].customer, customer);
    EXPECT_EQ(billed[0].notes, (std::vector<int>{1, 2}));
    EXPECT_EQ(billed[1].notes, (std::vector<int>{3}));
    EXPECT_NE(billed[0].number, billed[1].number);
    // Two notes of one article and lot: one line of 7 at the notes' price.
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"BROJ_RACUNA\" "
                                   "= ?"),
                    {billed[0].number}),
              1);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"KOLICINA\" FROM \"STAVKE_RACUNA\" WHERE "
                                          "\"BROJ_RACUNA\" = ?"),
                           {billed[0].number}),
                     7.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"CIJENA_\" FROM \"STAVKE_RACUNA\" WHERE "
                                          "\"BROJ_RACUNA\" = ?"),
                           {billed[0].number}),
                     8.0);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"OTPREMNICA\" FROM \"RACUNI\" WHERE \"BROJ "
                                         "RACUNA\" = ?"),
                          {billed[0].number})
                  .toString(),
              QStringLiteral("1,2"));
    EXPECT_EQ(Count(QStringLiteral("SELECT \"SKIDA\" FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ?"),
                    {billed[0].number}),
              0);
    // The goods left with the notes: the invoices take nothing again and book nothing.
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, before);
    EXPECT_EQ(TradeBookRows(QStringLiteral("1RAČUN")), 0);
    EXPECT_EQ(NoteColumn("BROJ_RACUNA", 2).toInt(), billed[0].number);
    EXPECT_EQ(NoteColumn("IRA_RACUNA", 2).toInt(), 1);
    EXPECT_TRUE(db().Scalar(QStringLiteral("SELECT \"BROJ_RACUNA\" FROM \"OTPREMNICE\" WHERE "
                                           "\"GODINA\" = ?"),
                            {Year() - 1})
                    .isNull());
    ExpectLotsMatchCard();

    // The invoice holds its notes: no cancellation; deleting it frees them again.
    ExpectRefused([&] { sales::CheckCanBeCancelled(*session, 1, billed[0].number); },
                  QStringLiteral("Ovaj račun nemožete stornirati jer su na njega vezane (2) "
                                 "otpremnice."));
    prompter.AnswerYes();
    ASSERT_TRUE(sales::DeleteInvoice(*session, prompter, 1, billed[0].number));
    EXPECT_TRUE(NoteColumn("BROJ_RACUNA", 1).isNull());
    EXPECT_TRUE(NoteColumn("BROJ_RACUNA", 2).isNull());
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, before);
    ExpectLotsMatchCard();
    // Billing the same notes twice: what is already billed is left out.
    sales::BillDeliveryNotes(*session, {1}, QDate(2026, 3, 10));
    ExpectRefused(
        [&] {
            sales::BillDeliveryNotes(*session, {1, 3}, QDate(2026, 3, 10));
        },
        sales::NoOpenNotesMessage());
}

TEST_F(OutgoingDocumentsTest, AnOfferBecomesAnInvoiceAtTheLotsCurrentPurchasePrice) {
    UseMethod(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft offer = Draft();
    Line(offer, screw, 4, 12.0, 25.0);
    PostAs(OfferDocument(), offer);
    // A second receipt moves the pooled lot's cost to (10 × 5 + 10 × 7) / 20 = 6.
    docs->Receipt({{screw, 10, 7.00, 8.00}});

    sales::InvoiceDraft invoice = sales::OpenInvoice(*session, QDate(2026, 3, 12));
    prompter.AnswerNo();
    sales::MakeInvoiceFrom(*session, prompter, OfferDocument(), 1, 1, invoice);
    EXPECT_TRUE(prompter.Shown().contains(sales::RealizeOfferQuestion()));
    EXPECT_EQ(Count(QStringLiteral("SELECT \"STORNO\" FROM \"PONUDE\"")), 0);
    EXPECT_EQ(invoice.customer, customer);
    EXPECT_EQ(invoice.salesTerms, 2);
    const std::vector<sales::InvoiceLine> lines = sales::WorkingLinesOf(db(), invoice.sessionCode);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].costPrice, 6.0);
    EXPECT_DOUBLE_EQ(lines[0].costValue, 24.0);
    EXPECT_DOUBLE_EQ(lines[0].value, 36.0);  // 4 × 12 less 25 %
    EXPECT_DOUBLE_EQ(lines[0].margin, 12.0);
    EXPECT_DOUBLE_EQ(lines[0].discountPercent, 25.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, 16.0);
    const sales::PostedInvoice posted = Post(invoice);
    EXPECT_EQ(posted.number, 1);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 16.0);
    ExpectLotsMatchCard();

    // Yes marks it realized; a missing offer is refused before any question.
    sales::InvoiceDraft again = sales::OpenInvoice(*session, QDate(2026, 3, 12));
    prompter.AnswerYes();
    sales::MakeInvoiceFrom(*session, prompter, OfferDocument(), 1, 1, again);
    EXPECT_EQ(Count(QStringLiteral("SELECT \"STORNO\" FROM \"PONUDE\"")), 1);
    sales::DiscardInvoice(*session, again);
    sales::InvoiceDraft none = sales::OpenInvoice(*session, QDate(2026, 3, 12));
    ExpectRefused(
        [&] { sales::MakeInvoiceFrom(*session, prompter, ProFormaDocument(), 1, 9, none); },
        QStringLiteral("Ne postoji proknjiženi predračun broj 9"));
    EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, 16.0);
}

}  // namespace
