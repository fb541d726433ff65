// Cancelling and deleting posted price changes: the lots back at their old prices, the trade
// book and the card agreeing after each step, and every guard with its text on both sides.

#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "stock/Lots.h"
#include "stockdocs/PriceChangeRemoval.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

class PriceChangeRemovalTest : public PriceChangeTest {
protected:
    bool HeaderExists(int number) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"IZMJENE_CIJENA\" WHERE "
                                    "\"BROJ_IZMJENE_CIJENA\" = ?"),
                     {number}) == 1;
    }
    // The deletion is refused with the text, and nothing of it changes.
    void ExpectDeletionRefused(int number, const QString& text) {
        const int entries = BookEntries();
        EXPECT_REFUSED(sd::DeletePriceChange(*session, number), text);
        EXPECT_TRUE(HeaderExists(number));
        EXPECT_EQ(BookEntries(), entries);
    }
    QString LaterRefusal(const QString& tail, const QString& verb = QStringLiteral("izbrisati")) {
        return QStringLiteral("Ovu izmjenu cijena nemožete ") + verb +
               QStringLiteral(" jer su na artiklima iz izmjene cijena nakon njenog izdavanja ") +
               tail;
    }
};

TEST_F(PriceChangeRemovalTest, AFifoPriceChangeCancelledAndThenDeletedLeavesBooksThatAgree) {
    const int lot = docs->Receipt({{screw, 10, 5.00, 9.00}});
    const int number = Post(screw, lot, 12.00);
    EXPECT_REFUSED(sd::CancelPriceChange(*session, number, QDate(2026, 3, 2)),
                   "Datum storna nesmije biti prije datuma izmjene cijena. Pokušajte ponovo.");
    EXPECT_DOUBLE_EQ(Price(lot, screw), 12.00);

    EXPECT_EQ(sd::CancelPriceChange(*session, number, QDate(2026, 3, 5)), 1);
    EXPECT_DOUBLE_EQ(Price(lot, screw), 9.00);
    const auto cancellation = Entry(QStringLiteral("STORNO IZMJENE CIJENA"), number);
    ASSERT_TRUE(cancellation);
    EXPECT_EQ(cancellation->position, 3);
    EXPECT_EQ(cancellation->description, QStringLiteral("Storno izmjene cijena 1"));
    EXPECT_DOUBLE_EQ(cancellation->value, -30.00);
    Statement header = db().Prepare(QStringLiteral(
        "SELECT \"STORNO\", \"DATUM_STORNA\", \"STORNO_RBR_TK\", \"RBR_STORNO_DOKUMENTA\" FROM "
        "\"IZMJENE_CIJENA\" WHERE \"BROJ_IZMJENE_CIJENA\" = ?"));
    header.Exec({number});
    ASSERT_TRUE(header.Next());
    EXPECT_TRUE(sqlvalue::ToBool(header.Value(0)));
    EXPECT_EQ(header.Value(1).toDate(), QDate(2026, 3, 5));
    EXPECT_EQ(header.Int(2), 3);
    EXPECT_EQ(header.Int(3), 1);
    header.Finish();
    ExpectBooksAgree(db(), 1, Year());
    EXPECT_REFUSED(sd::CancelPriceChange(*session, number, QDate(2026, 3, 5)),
                   "Ova izmjena cijena je već stornirana.");

    // Deleting the cancelled change takes both entries and leaves the lot at its old price.
    sd::DeletePriceChange(*session, number);
    EXPECT_FALSE(HeaderExists(number));
    EXPECT_FALSE(Entry(QStringLiteral("IZMJENA CIJENA"), number));
    EXPECT_FALSE(Entry(QStringLiteral("STORNO IZMJENE CIJENA"), number));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZMJENA_CIJENA\"")), 0);
    EXPECT_DOUBLE_EQ(Price(lot, screw), 9.00);
    ExpectBooksAgree(db(), 1, Year());
    EXPECT_REFUSED(sd::DeletePriceChange(*session, number),
                   "Ne postoji proknjižena izmjena cijena broj 1");
}

TEST_F(PriceChangeRemovalTest, ThePooledLotGoesBackUnderAverageAndLastPrice) {
    for (StockMethod method : {StockMethod::Average, StockMethod::LastPrice}) {
        SCOPED_TRACE(StockMethodText(method).toStdString());
        UseMethod(method);
        const int article = docs->AddArticle(StockMethodText(method));
        docs->Receipt({{article, 10, 5.00, 8.00}});
        docs->Receipt({{article, 10, 6.00, 8.00}});
        docs->Post(Issue::IssueNote, {{article, 4}});
        const int deleted = Post(article, std::nullopt, 8.75);
        sd::DeletePriceChange(*session, deleted);
        EXPECT_DOUBLE_EQ(Pooled(article).sellingPrice, 8.00);
        EXPECT_DOUBLE_EQ(Pooled(article).quantity, 16);
        ExpectBooksAgree(db(), 1, Year());
        const int cancelled = Post(article, std::nullopt, 7.10);
        ExpectBooksAgree(db(), 1, Year());
        sd::CancelPriceChange(*session, cancelled, QDate(2026, 3, 4));
        EXPECT_DOUBLE_EQ(Pooled(article).sellingPrice, 8.00);
        ExpectBooksAgree(db(), 1, Year());
        ExpectPooledLotFollowsReplay(db(), 1, Year(), article);
    }
}

// Documents of its articles after it, in the order the guard searches them; each refuses both
// undoing ways, and once it is gone the price change may be deleted.
TEST_F(PriceChangeRemovalTest, ALaterDocumentOfItsArticlesRefusesUntilItIsGone) {
    const struct {
        Issue kind;
        const char16_t* tail;
    } cases[] = {
        {Issue::ServiceConsumption, u"rađene specifikacije."},
        {Issue::SupplierReturn, u"rađene povratnice dobavljačima."},
        {Issue::Invoice, u"rađeni računi."},
        {Issue::WorkOrder, u"rađeni radni nalozi."},
        {Issue::WriteOff, u"rađeni rashodi."},
        {Issue::CommissionReturn, u"rađene odjave."},
        {Issue::DeliveryNote, u"rađene otpremnice."},
        {Issue::IssueNote, u"rađene izdatnice."},
        {Issue::ReturnNote, u"rađene povratnice."},
        {Issue::RetailTransfer, u"rađene maloprodajne međuskladišnice."},
        {Issue::FinishingWorkOrder, u"rađeni radni nalozi dorade."},
    };
    for (const auto& c : cases) {
        const QString tail = QString::fromUtf16(c.tail);
        SCOPED_TRACE(tail.toStdString());
        const int article = docs->AddArticle(tail.left(20));
        const int lot = docs->Receipt({{article, 20, 5.00, 9.00}});
        const int number = Post(article, lot, 10.00);
        const int later = docs->Post(c.kind, {{article, 2, lot}});
        ExpectDeletionRefused(number, LaterRefusal(tail));
        EXPECT_REFUSED(sd::CancelPriceChange(*session, number, QDate(2026, 3, 5)),
                       LaterRefusal(tail, QStringLiteral("stornirati")));
        EXPECT_DOUBLE_EQ(Price(lot, article), 10.00);
        docs->Delete(c.kind, later);
        sd::DeletePriceChange(*session, number);
        EXPECT_DOUBLE_EQ(Price(lot, article), 9.00);
        ExpectBooksAgree(db(), 1, Year());
    }
    // Stock counts and transfers, and the order: a service consumption is named before an invoice.
    const int lot = docs->Receipt({{screw, 20, 5.00, 9.00}});
    const int counted = Post(screw, lot, 10.00);
    docs->StockCount({{screw, lot, 19}});
    ExpectDeletionRefused(counted, LaterRefusal(QStringLiteral("rađene inventure.")));
    const int store = AddWarehouse(db(), QStringLiteral("Dućan"));
    const int nutLot = docs->Receipt({{nut, 20, 1.00, 2.00}});
    const int moved = Post(nut, nutLot, 2.50);
    docs->Transfer(store, {{nut, 1, nutLot}});
    ExpectDeletionRefused(moved, LaterRefusal(QStringLiteral("rađene međuskladišnice.")));
    const int both = Post(nut, nutLot, 2.60);
    docs->Post(Issue::Invoice, {{nut, 1, nutLot}});
    docs->Post(Issue::ServiceConsumption, {{nut, 1, nutLot}});
    ExpectDeletionRefused(both, LaterRefusal(QStringLiteral("rađene specifikacije.")));
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(PriceChangeRemovalTest, LaterPriceChangesCountOnTheSameLotAndReceiptsOnThePooledLot) {
    const int a = docs->Receipt({{screw, 10, 5.00, 9.00}});
    const int b = docs->Receipt({{screw, 10, 5.00, 9.00}});
    const int first = Post(screw, a, 10.00);
    Post(screw, b, 11.00);                    // another lot of the article
    docs->Receipt({{screw, 5, 5.00, 9.00}});  // a new FIFO lot touches neither
    sd::DeletePriceChange(*session, first);
    EXPECT_DOUBLE_EQ(Price(a, screw), 9.00);
    const int older = Post(screw, a, 10.00);
    Post(screw, a, 10.50);
    ExpectDeletionRefused(older, LaterRefusal(QStringLiteral("rađene izmjene cijena.")));
    EXPECT_DOUBLE_EQ(Price(a, screw), 10.50);
    ExpectBooksAgree(db(), 1, Year());

    UseMethod(StockMethod::Average);
    docs->Receipt({{nut, 10, 1.00, 2.00}});
    const int pooled = Post(nut, std::nullopt, 2.40);
    docs->Receipt({{nut, 10, 1.00, 2.00}});
    ExpectDeletionRefused(pooled, LaterRefusal(QStringLiteral("rađene primke.")));
    EXPECT_DOUBLE_EQ(Pooled(nut).sellingPrice, 2.20);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(PriceChangeRemovalTest, ItGoesOnlyWithTheDocumentItBelongsTo) {
    UseMethod(StockMethod::LastPrice);
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    const int receipt = docs->Receipt({{screw, 5, 5.00, 9.00}});
    const int generated = Count(
        QStringLiteral(
            "SELECT \"BROJ_IZMJENE_CIJENA\" FROM \"IZMJENE_CIJENA\" WHERE \"BROJ_PRIMKE\" = ?"),
        {receipt});
    ASSERT_GT(generated, 0);
    ExpectDeletionRefused(generated,
                          QStringLiteral("Ovu izmjenu cijena nemožete izbrisati jer je vezana na "
                                         "postojeću primku broj %1")
                              .arg(receipt));
    EXPECT_REFUSED(sd::CancelPriceChange(*session, generated, QDate(2026, 3, 5)),
                   "Ovu izmjenu cijena nemožete stornirati jer je vezana na postojeću primku "
                   "broj 2");
    docs->DeleteReceipt(receipt);
    EXPECT_FALSE(HeaderExists(generated));
    ExpectBooksAgree(db(), 1, Year());

    // Made for an invoice or a service consumption: bound while that document exists.
    const int invoice = docs->Post(Issue::Invoice, {{screw, 1}});
    const int consumption = docs->Post(Issue::ServiceConsumption, {{screw, 1}});
    const int forInvoice = Post(screw, std::nullopt, 8.50);
    db().Exec(QStringLiteral("UPDATE \"IZMJENE_CIJENA\" SET \"IRA\" = 1, \"BROJ_RACUNA\" = ? "
                             "WHERE \"BROJ_IZMJENE_CIJENA\" = ?"),
              {invoice, forInvoice});
    ExpectDeletionRefused(forInvoice,
                          QStringLiteral("Ovu izmjenu cijena nemožete izbrisati jer je vezana na "
                                         "postojeći račun broj %1")
                              .arg(invoice));
    db().Exec(QStringLiteral("UPDATE \"IZMJENE_CIJENA\" SET \"IRA\" = NULL, \"BROJ_RACUNA\" = "
                             "NULL, \"BROJ_SPECIFIKACIJE\" = ? WHERE \"BROJ_IZMJENE_CIJENA\" = ?"),
              {consumption, forInvoice});
    ExpectDeletionRefused(forInvoice,
                          QStringLiteral("Ovu izmjenu cijena nemožete izbrisati jer je vezana na "
                                         "postojeću specifikaciju broj %1")
                              .arg(consumption));
    // A document that no longer exists binds nothing.
    db().Exec(QStringLiteral("UPDATE \"IZMJENE_CIJENA\" SET \"IRA\" = 1, \"BROJ_RACUNA\" = 999, "
                             "\"BROJ_SPECIFIKACIJE\" = 999 WHERE \"BROJ_IZMJENE_CIJENA\" = ?"),
              {forInvoice});
    sd::DeletePriceChange(*session, forInvoice);
    EXPECT_DOUBLE_EQ(Pooled(screw).sellingPrice, 8.00);
    ExpectBooksAgree(db(), 1, Year());
}

// What no guard above sees (the data changed behind the program's back) still refuses: a lot
// whose price, quantity or existence is no longer what the price change left.
TEST_F(PriceChangeRemovalTest, ADeletionNeverUndoesANewerChangeOfTheLot) {
    const int lot = docs->Receipt({{screw, 10, 5.00, 9.00}});
    const int number = Post(screw, lot, 10.00);
    const QString set = QStringLiteral("UPDATE \"NABAVE\" SET ");
    const QString where = QStringLiteral(" WHERE \"SIFRA_ARTIKLA\" = ?");
    db().Exec(set + QStringLiteral("\"VELEPRODAJNA CIJENA\" = 10.5") + where, {screw});
    ExpectDeletionRefused(number,
                          QStringLiteral("Ovu izmjenu cijena nemožete izbrisati jer neki artikal "
                                         "iz izmjene cijena više nema istu cijenu na skladištu."));
    EXPECT_DOUBLE_EQ(Price(lot, screw), 10.50);
    db().Exec(set + QStringLiteral("\"VELEPRODAJNA CIJENA\" = 10, \"KOLICINA\" = 9") + where,
              {screw});
    ExpectDeletionRefused(number, QStringLiteral("Količina artikla Vijak M8 se promijenila."));
    db().Exec(QStringLiteral("DELETE FROM \"NABAVE\"") + where, {screw});
    ExpectDeletionRefused(
        number, QStringLiteral("Napravljen je storno primke po kojoj je ušao artikal Vijak M8"));
}

TEST_F(PriceChangeRemovalTest, TheQuestionComesAfterTheGuardsAndNoChangesNothing) {
    const int lot = docs->Receipt({{screw, 10, 5.00, 9.00}});
    const int number = Post(screw, lot, 10.00);
    prompter.AnswerNo();
    EXPECT_FALSE(sd::DeletePriceChange(*session, prompter, number));
    EXPECT_EQ(prompter.Shown(), QStringList{QStringLiteral("Želite li izbrisati izmjenu cijena!")});
    EXPECT_TRUE(HeaderExists(number));
    prompter.AnswerNo();
    EXPECT_FALSE(sd::CancelPriceChange(*session, prompter, number, QDate(2026, 3, 5)));
    EXPECT_DOUBLE_EQ(Price(lot, screw), 10.00);
    // A refused one asks nothing.
    prompter.Clear();
    EXPECT_REFUSED(sd::DeletePriceChange(*session, prompter, 42),
                   "Ne postoji proknjižena izmjena cijena broj 42");
    EXPECT_TRUE(prompter.Shown().isEmpty());
    prompter.AnswerYes();
    EXPECT_EQ(sd::CancelPriceChange(*session, prompter, number, QDate(2026, 3, 5)), 1);
    EXPECT_EQ(sd::CancelledMessage(1),
              QStringLiteral("Storno izmjene cijena je proknjižen pod brojem 1"));
    prompter.AnswerYes();
    EXPECT_TRUE(sd::DeletePriceChange(*session, prompter, number));
    EXPECT_FALSE(HeaderExists(number));
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace
