// Services with a bill of articles: the service consumption an invoice generates at posting under
// the pooled methods (lots, card and trade book in agreement), the FIFO refusal and a refusal for
// too little stock that leave nothing behind, and the bound documents cancelled or deleted with
// their invoice behind their question and guards.

#include "data/ScriptedPrompter.h"
#include "sales/InvoiceCorrection.h"
#include "sales/InvoiceRemoval.h"
#include "sales/InvoiceTest.h"
#include "sales/ServiceConsumption.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class ServiceConsumptionTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        session->company.serviceConsumptionLists = true;
        nut = docs->AddArticle(QStringLiteral("Matica M8"));
        db().Exec(
            QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"JED_M\", \"CIJENA\", "
                           "\"GRUPA_P\") VALUES ('Montaža', 'kom', 20, 1)"));
        assembly = db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"USLUGE\"")).toInt();
        // One assembly uses up 2 screws and 4 nuts.
        for (const auto& [article, quantity] : {std::pair{screw, 2.0}, std::pair{nut, 4.0}}) {
            db().Exec(QStringLiteral("INSERT INTO \"USLUGE_SPECIFIKACIJA_ARTIKALA\" "
                                     "(\"SIFRA_USLUGE\", \"SIFRA_ARTIKLA\", \"KOLICINA\") VALUES "
                                     "(?, ?, ?)"),
                      {assembly, article, quantity});
        }
    }

    // Screws at cost 5 / price 8 and nuts at 2 / 3 in the pooled lot.
    void Stock(StockMethod method) {
        UseMethod(method);
        docs->Receipt({{screw, 10, 5.00, 8.00}, {nut, 20, 2.00, 3.00}});
    }

    // An invoice of `assemblies` assemblies and one screw sold on its own.
    sales::InvoiceDraft DraftWithAssembly(double assemblies) {
        sales::InvoiceDraft draft = Draft();
        Line(draft, screw, 1);
        sales::AddServiceLine(
            *session, prompter, draft,
            {assembly, assemblies, std::nullopt, std::nullopt, std::nullopt, QString()});
        return draft;
    }

    QVariant Consumption(const char* column, int number = 1) {
        return db().Scalar(QStringLiteral("SELECT \"") + QString::fromUtf8(column) +
                               QStringLiteral("\" FROM \"SPECIFIKACIJE\" WHERE \"SKLADISTE\" = 1 "
                                              "AND \"BROJ_SPECIFIKACIJE\" = ?"),
                           {number});
    }
    QVariant Entry(const char* column, const QString& type) {
        return db().Scalar(QStringLiteral("SELECT \"") + QString::fromUtf8(column) +
                               QStringLiteral("\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                              "\"SKLADISTE\" = 1 AND \"TIP_DOKUMENTA\" = ?"),
                           {type});
    }
    // Lots, card and trade book tell the same story.
    void ExpectBooksAgree() {
        ExpectLotsMatchCard();
        EXPECT_NEAR(TradeBookBalance(), LotsAtSellingValue(), 0.005);
    }

    // An invoice with 3 assemblies under a pooled method: 6 screws and 12 nuts leave as a
    // service consumption of their own.
    void PostsTheBill(StockMethod method) {
        Stock(method);
        const sales::PostedInvoice posted = Post(DraftWithAssembly(3));
        ASSERT_EQ(posted.serviceConsumptions, std::vector<int>{1});

        EXPECT_EQ(Consumption("IRA").toInt(), 1);
        EXPECT_EQ(Consumption("GODINA_RACUNA").toInt(), Year());
        EXPECT_EQ(Consumption("BROJ_RACUNA").toInt(), posted.number);
        EXPECT_EQ(Consumption("DATUM").toDate(), QDate(2026, 3, 10));
        EXPECT_EQ(Consumption("OPIS").toString(), QStringLiteral("Montaža"));
        // 3 × 2 screws and 3 × 4 nuts at the pooled lot's cost and price.
        EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"KOLICINA\" * 1000 + \"VRIJEDNOST\" FROM "
                                              "\"STAVKE_SPECIFIKACIJA\" WHERE \"SIFRA_ARTIKLA\" "
                                              "= ?"),
                               {screw}),
                         6048.0);
        EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"NABAVNA_VRIJEDNOST\" FROM "
                                              "\"STAVKE_SPECIFIKACIJA\" WHERE \"SIFRA_ARTIKLA\" "
                                              "= ?"),
                               {nut}),
                         24.0);
        EXPECT_EQ(Value(QStringLiteral("SELECT \"POREZ_%\" FROM \"STAVKE_SPECIFIKACIJA\" WHERE "
                                       "\"SIFRA_ARTIKLA\" = ?"),
                        {nut}),
                  25.0);
        // The lot gives up what the invoice and the assembly took; nothing stays held.
        EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 3.0);
        EXPECT_DOUBLE_EQ(Pooled(screw).freeQuantity, 3.0);
        EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 8.0);
        EXPECT_DOUBLE_EQ(Pooled(nut).freeQuantity, 8.0);

        // Its own entry right after the invoice's, at selling value.
        const QString type = QStringLiteral("SPECIFIKACIJA");
        EXPECT_EQ(Entry("OPIS", type).toString(), QStringLiteral("SPECIFIKACIJA 1 veza na račun ") +
                                                      QString::number(posted.number));
        EXPECT_DOUBLE_EQ(Entry("NABAVA_VRIJEDNOST", type).toDouble(), -(48.0 + 36.0));
        EXPECT_EQ(Entry("RBR", type).toInt(), Consumption("RBR_TK").toInt());
        EXPECT_EQ(Entry("RBR", type).toInt(), Entry("RBR", QStringLiteral("1RAČUN")).toInt() + 1);
        ExpectBooksAgree();
    }

    int nut = 0;
    int assembly = 0;
    ScriptedPrompter answers;
};

TEST_F(ServiceConsumptionTest, AnAssemblyTakesItsBillOutOfTheAverageLot) {
    PostsTheBill(StockMethod::Average);
}

TEST_F(ServiceConsumptionTest, AnAssemblyTakesItsBillOutOfTheLastPriceLot) {
    PostsTheBill(StockMethod::LastPrice);
}

TEST_F(ServiceConsumptionTest, NothingIsGeneratedWithoutTheSwitchOrWithoutABill) {
    Stock(StockMethod::Average);
    session->company.serviceConsumptionLists = false;
    EXPECT_TRUE(Post(DraftWithAssembly(1)).serviceConsumptions.empty());
    session->company.serviceConsumptionLists = true;
    db().Exec(QStringLiteral("DELETE FROM \"USLUGE_SPECIFIKACIJA_ARTIKALA\""));
    EXPECT_TRUE(Post(DraftWithAssembly(1)).serviceConsumptions.empty());
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 20.0);
}

TEST_F(ServiceConsumptionTest, RefusalsLeaveNothingAndKeepTheWorkingCopy) {
    Stock(StockMethod::Fifo);
    sales::InvoiceDraft draft = DraftWithAssembly(1);
    ExpectRefused([&] { Post(draft); }, sales::FifoConsumptionRefusal());
    EXPECT_EQ(sales::FifoConsumptionRefusal(),
              QStringLiteral("Automatske specifikacije vezane na usluge nisu podržane ako se "
                             "skladište vodi po FIFO metodi."));
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 0);
    EXPECT_EQ(sales::Totals(db(), draft.sessionCode).lines, 2);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 10.0);
}

TEST_F(ServiceConsumptionTest, TooFewOrHeldArticlesRefuseThePostingAndLeaveNothing) {
    Stock(StockMethod::Average);
    docs->Receipt({{screw, 10, 5.00, 8.00}});  // screws enough
    // 6 assemblies want 24 nuts of 20.
    sales::InvoiceDraft draft = DraftWithAssembly(6);
    ExpectRefused([&] { Post(draft); }, QStringLiteral("Nedovoljna količina artikla Matica M8"));
    // 5 would fit, but another workstation's open invoice holds 4 of the nuts.
    std::unique_ptr<Session> other = StartSession(1);
    sales::InvoiceDraft held = sales::OpenInvoice(*other, QDate(2026, 3, 10));
    held.book = 1;
    held.salesTerms = 2;
    held.customer = customer;
    sales::AddArticleLine(
        *other, prompter, held,
        {nut, std::nullopt, 4, std::nullopt, std::nullopt, std::nullopt, QString()});
    sales::DiscardInvoice(*session, draft);
    draft = DraftWithAssembly(5);
    ExpectRefused([&] { Post(draft); }, QStringLiteral("Nedovoljna količina artikla Matica M8"));
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 0);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), 2);  // the receipts'
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 20.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 20.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).freeQuantity, 16.0);
    EXPECT_GT(sales::Totals(db(), draft.sessionCode).lines, 0);
}

TEST_F(ServiceConsumptionTest, CancellingTheInvoiceAsksFirstAndReturnsTheAssemblysGoods) {
    Stock(StockMethod::Average);
    const int number = Post(DraftWithAssembly(3)).number;
    // No: nothing changes.
    answers.AnswerNo();
    EXPECT_FALSE(sales::CancelInvoice(*session, answers, 1, number, QDate(2026, 3, 12)));
    EXPECT_EQ(answers.Shown(), QStringList{sales::BoundConsumptionQuestion()});
    EXPECT_EQ(sales::BoundConsumptionQuestion(),
              QStringLiteral("Na ovaj račun postoje vezane specifikacije i te će specifikacije "
                             "također biti stornirane! Želite li nastaviti?"));
    EXPECT_EQ(Consumption("STORNO").toInt(), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT \"STORNO\" FROM \"RACUNI\"")), 0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 8.0);

    answers.AnswerYes();
    EXPECT_TRUE(sales::CancelInvoice(*session, answers, 1, number, QDate(2026, 3, 12)));
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 10.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 20.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).freeQuantity, 20.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).costPrice, 2.0);
    EXPECT_EQ(Consumption("STORNO").toInt(), 1);
    EXPECT_EQ(Consumption("DATUM_STORNA").toDate(), QDate(2026, 3, 12));
    // The cancellation numbers continue from the invoice's.
    EXPECT_EQ(Consumption("RBR_STORNO_DOKUMENTA").toInt(),
              Count(QStringLiteral("SELECT \"RBR_STORNO_DOKUMENTA\" FROM \"RACUNI\"")) + 1);
    const QString storno = QStringLiteral("STORNO SPECIFIKACIJE");
    EXPECT_EQ(Consumption("STORNO_RBR_TK").toInt(), Entry("RBR", storno).toInt());
    EXPECT_EQ(Entry("OPIS", storno).toString(), QStringLiteral("Storno specifikacije 1"));
    EXPECT_DOUBLE_EQ(Entry("NABAVA_VRIJEDNOST", storno).toDouble(), 84.0);
    ExpectBooksAgree();
    // A cancelled invoice asks nothing more.
    ExpectRefused([&] { sales::CancelInvoice(*session, answers, 1, number, QDate(2026, 3, 12)); },
                  QStringLiteral("Ovaj račun je već storniran."));
}

TEST_F(ServiceConsumptionTest, AStockCountOnItsArticlesAfterwardsBlocksCancellingAndDeleting) {
    Stock(StockMethod::Average);
    const int bolt = docs->AddArticle(QStringLiteral("Podloška"));
    docs->Receipt({{bolt, 5, 1.00, 2.00}});
    const int number = Post(DraftWithAssembly(1)).number;
    // Counting an article the assembly did not use blocks nothing.
    docs->StockCount({{bolt, 0, 5}});
    EXPECT_NO_THROW(sales::CheckCanBeCancelled(*session, 1, number));

    docs->StockCount({{nut, 0, 16}});
    ExpectRefused([&] { sales::CheckCanBeCancelled(*session, 1, number); },
                  sales::LaterStockCountRefusal());
    ExpectRefused([&] { sales::CancelInvoice(*session, 1, number, QDate(2026, 3, 12)); },
                  QStringLiteral("Vezanu specifikaciju nemožete stornirati jer su na artiklima "
                                 "iz specifikacije nakon njenog izdavanja rađene inventure."));
    ExpectRefused([&] { sales::DeleteInvoice(*session, answers, 1, number); },
                  sales::LaterStockCountRefusal());
    EXPECT_EQ(Consumption("STORNO").toInt(), 0);
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 1);
    EXPECT_EQ(Rows("RACUNI"), 1);
}

TEST_F(ServiceConsumptionTest, APriceChangeOnItsArticlesAfterwardsBlocksTheCancellation) {
    Stock(StockMethod::Average);
    const int number = Post(DraftWithAssembly(1)).number;
    docs->PriceChange({{nut, 0, 3.50}});  // nuts went out only with the assembly
    ExpectRefused([&] { sales::CancelInvoice(*session, 1, number, QDate(2026, 3, 12)); },
                  QStringLiteral("Vezanu specifikaciju nemožete stornirati jer su na artiklima "
                                 "iz specifikacije nakon njenog izdavanja rađene izmjene "
                                 "cijena."));
    EXPECT_EQ(Count(QStringLiteral("SELECT \"STORNO\" FROM \"RACUNI\"")), 0);
}

TEST_F(ServiceConsumptionTest, AnAssemblyFromALotTheInvoiceRepricedGoesBackWithTheInvoice) {
    Stock(StockMethod::Average);
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 1, 10.0);  // the pooled screws repriced from 8 to 10
    sales::AddServiceLine(*session, prompter, draft,
                          {assembly, 1, std::nullopt, std::nullopt, std::nullopt, QString()});
    const sales::PostedInvoice posted = Post(draft);
    ASSERT_TRUE(posted.priceChange.has_value());
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"CIJENA\" FROM \"STAVKE_SPECIFIKACIJA\" WHERE "
                                          "\"SIFRA_ARTIKLA\" = ?"),
                           {screw}),
                     10.0);
    ExpectBooksAgree();
    // Another document from the repriced lot still stands in the way of undoing the change.
    const int other = Post(DraftWithAssembly(1)).number;
    ExpectRefused([&] { sales::CheckCanBeCancelled(*session, 1, posted.number); },
                  QStringLiteral("Ovaj račun nemožete stornirati jer su na artiklu 'Vijak M8' "
                                 "nakon računa rađeni drugi dokumenti."));
    EXPECT_TRUE(sales::DeleteInvoice(*session, answers, 1, other));
    // Its own assembly does not: it comes back with the invoice at the price it left at.
    answers.AnswerYes();
    EXPECT_TRUE(sales::CancelInvoice(*session, answers, 1, posted.number, QDate(2026, 3, 12)));
    EXPECT_EQ(Consumption("STORNO").toInt(), 1);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 10.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).sellingPrice, 8.0);
    ExpectBooksAgree();
}

TEST_F(ServiceConsumptionTest, DeletingTheInvoiceTakesItsConsumptionAndRecomputesTheAverage) {
    Stock(StockMethod::Average);
    const int number = Post(DraftWithAssembly(3)).number;       // nuts: 8 left at cost 2
    docs->Receipt({{nut, 8, 4.00, 3.00}}, QDate(2026, 3, 11));  // 16 at 3
    EXPECT_DOUBLE_EQ(Pooled(nut).costPrice, 3.0);
    EXPECT_TRUE(sales::DeleteInvoice(*session, answers, 1, number));
    EXPECT_TRUE(answers.Shown().isEmpty());
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 0);
    EXPECT_EQ(Rows("STAVKE_SPECIFIKACIJA"), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                   "\"TIP_DOKUMENTA\" IN ('SPECIFIKACIJA', '1RAČUN')")),
              0);
    // As if never sold: 20 at 2 and 8 at 4.
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 28.0);
    EXPECT_NEAR(Pooled(nut).costPrice, (20 * 2.0 + 8 * 4.0) / 28, 1e-9);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 10.0);
    ExpectBooksAgree();
}

}  // namespace

namespace {

// Correction of a posted invoice's assembly line: the bound document follows the line in the
// same transaction, or nothing changes.
class ServiceConsumptionCorrectionTest : public ServiceConsumptionTest {
protected:
    void SetUp() override {
        ServiceConsumptionTest::SetUp();
        Stock(StockMethod::Average);
    }
    sales::InvoiceKey PostWithAssembly(double assemblies) {
        return {1, 1, Year(), Post(DraftWithAssembly(assemblies)).number};
    }
    double Consumed(int article) {
        return Value(QStringLiteral("SELECT COALESCE(SUM(s.\"KOLICINA\"), 0) FROM "
                                    "\"STAVKE_SPECIFIKACIJA\" s JOIN \"SPECIFIKACIJE\" h USING "
                                    "(\"SKLADISTE\", \"GODINA\", \"BROJ_SPECIFIKACIJE\") WHERE "
                                    "h.\"STORNO\" = FALSE AND s.\"SIFRA_ARTIKLA\" = ?"),
                     {article});
    }
    double LineQuantity(const sales::InvoiceKey& key, int line) {
        return Value(QStringLiteral("SELECT \"KOLICINA\" FROM \"STAVKE_RACUNA\" WHERE "
                                    "\"BROJ_RACUNA\" = ? AND \"RBR_STAVKE\" = ?"),
                     {key.number, line});
    }
    sales::ServiceLineInput Assemblies(double quantity) {
        return {assembly, quantity, std::nullopt, std::nullopt, std::nullopt, QString()};
    }
};

TEST_F(ServiceConsumptionCorrectionTest, TheDocumentFollowsAChangedMergedAndDeletedLine) {
    const sales::InvoiceKey key = PostWithAssembly(3);  // line 2: 3 assemblies, document 1
    sales::ChangePostedLine(*session, key, 2, {1, 20, 0});
    // The same document, now for 1 assembly: 2 screws and 4 nuts.
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 1);
    EXPECT_EQ(Consumption("BROJ_RACUNA").toInt(), key.number);
    EXPECT_DOUBLE_EQ(Consumed(screw), 2.0);
    EXPECT_DOUBLE_EQ(Consumed(nut), 4.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 7.0);  // 10 − 1 sold − 2
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 16.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).freeQuantity, 16.0);
    EXPECT_DOUBLE_EQ(Entry("NABAVA_VRIJEDNOST", QStringLiteral("SPECIFIKACIJA")).toDouble(),
                     -(2 * 8.0 + 4 * 3.0));
    EXPECT_EQ(Entry("OPIS", QStringLiteral("SPECIFIKACIJA")).toString(),
              QStringLiteral("SPECIFIKACIJA 1 veza na račun ") + QString::number(key.number));
    EXPECT_EQ(Entry("RBR", QStringLiteral("SPECIFIKACIJA")).toInt(), Consumption("RBR_TK").toInt());
    ExpectBooksAgree();

    // A price change of the line moves no goods.
    sales::ChangePostedLine(*session, key, 2, {1, 25, 0});
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 16.0);

    // Merged with 2 more: 3 assemblies again.
    answers.AnswerYes();
    ASSERT_TRUE(sales::AddPostedServiceLine(*session, answers, key, Assemblies(2)).has_value());
    EXPECT_DOUBLE_EQ(LineQuantity(key, 2), 3.0);
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 1);
    EXPECT_DOUBLE_EQ(Consumed(nut), 12.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 8.0);
    ExpectBooksAgree();

    // Deleted: as if the assembly had never been sold.
    sales::DeletePostedLine(*session, key, 2);
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 0);
    EXPECT_EQ(Rows("STAVKE_SPECIFIKACIJA"), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                   "\"TIP_DOKUMENTA\" = 'SPECIFIKACIJA'")),
              0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 20.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 9.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).costPrice, 2.0);
    ExpectBooksAgree();
}

TEST_F(ServiceConsumptionCorrectionTest, AnAddedAssemblyGetsItsOwnDocumentOnlyWithTheSwitch) {
    const sales::InvoiceKey key = PostWithAssembly(1);  // document 1
    sales::DeletePostedLine(*session, key, 2);
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 0);

    session->company.serviceConsumptionLists = false;
    ASSERT_TRUE(sales::AddPostedServiceLine(*session, answers, key, Assemblies(1)).has_value());
    EXPECT_EQ(Rows("SPECIFIKACIJE"), 0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 20.0);
    sales::DeletePostedLine(*session, key, 2);

    session->company.serviceConsumptionLists = true;
    const auto added = sales::AddPostedServiceLine(*session, answers, key, Assemblies(2));
    ASSERT_TRUE(added.has_value());
    EXPECT_EQ(sales::ConsumptionOfServiceLine(db(), 1, 1, Year(), key.number, added->lineNumber),
              std::optional<int>(1));  // the deleted document's number is free again
    EXPECT_EQ(Consumption("BROJ_RACUNA").toInt(), key.number);
    EXPECT_EQ(Consumption("DATUM").toDate(), QDate(2026, 3, 10));
    EXPECT_DOUBLE_EQ(Consumed(nut), 8.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 12.0);
    ExpectBooksAgree();
    // Cancelling the invoice takes the added document with it.
    answers.AnswerYes();
    EXPECT_TRUE(sales::CancelInvoice(*session, answers, 1, key.number, QDate(2026, 3, 12)));
    EXPECT_EQ(Consumption("STORNO").toInt(), 1);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 20.0);
    ExpectBooksAgree();
}

TEST_F(ServiceConsumptionCorrectionTest, ARefusedFollowLeavesInvoiceDocumentAndLotsAsTheyWere) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});  // screws enough
    const sales::InvoiceKey key = PostWithAssembly(3);
    const auto unchanged = [&] {
        EXPECT_DOUBLE_EQ(LineQuantity(key, 2), 3.0);
        EXPECT_DOUBLE_EQ(Consumed(nut), 12.0);
        EXPECT_EQ(Rows("SPECIFIKACIJE"), 1);
        EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 8.0);
        EXPECT_DOUBLE_EQ(Pooled(nut).freeQuantity, 8.0);
        ExpectBooksAgree();
    };
    // 6 assemblies want 24 nuts of 20.
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, key, 2, {6, 20, 0});
        },
        QStringLiteral("Nedovoljna količina artikla Matica M8"));
    unchanged();
    // 5 fit exactly.
    sales::ChangePostedLine(*session, key, 2, {5, 20, 0});
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 0.0);
    sales::ChangePostedLine(*session, key, 2, {3, 20, 0});
    unchanged();

    // A stock count of the nuts afterwards: the document cannot be undone any more.
    docs->StockCount({{nut, 0, 8}});
    ExpectRefused(
        [&] {
            sales::ChangePostedLine(*session, key, 2, {2, 20, 0});
        },
        sales::LaterStockCountRefusal());
    ExpectRefused([&] { sales::DeletePostedLine(*session, key, 2); },
                  sales::LaterStockCountRefusal());
    EXPECT_DOUBLE_EQ(LineQuantity(key, 2), 3.0);
    EXPECT_DOUBLE_EQ(Consumed(nut), 12.0);
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 8.0);
    // The screw line is not bound to it and still corrects.
    sales::ChangePostedLine(*session, key, 1, {2, 8, 0});
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 12.0);  // 20 − 2 − 6
}

}  // namespace
