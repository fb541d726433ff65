// Posting a wholesale invoice: FIFO and pooled lots, the generated price change, header checks,
// numbering, a book that takes no stock, and a refusal that leaves nothing behind.

#include "sales/InvoiceTest.h"
#include "stock/Lots.h"

using namespace zodra;
using namespace zodra::test;

namespace {

class InvoicePostingTest : public InvoiceTest {
protected:
    QVariant Header(const char* column, int number = 1) {
        return db().Scalar(QStringLiteral("SELECT \"") + QString::fromUtf8(column) +
                               QStringLiteral("\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND "
                                              "\"IRA\" = 1 AND \"GODINA\" = ? AND \"BROJ RACUNA\" "
                                              "= ?"),
                           {Year(), number});
    }
};

TEST_F(InvoicePostingTest, AnInvoiceFromFifoLotsTakesEachLineFromItsLotAndBooksItsSale) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});  // lot 1
    docs->Receipt({{screw, 10, 6.00, 9.00}});  // lot 2
    db().Exec(
        QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"JED_M\", \"CIJENA\", "
                       "\"GRUPA_P\") VALUES ('Dostava', 'kom', 20, 1)"));
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 4);  // the oldest lot with stock
    Line(draft, screw, 3, std::nullopt, std::nullopt, 2);
    sales::AddServiceLine(*session, prompter, draft,
                          {1, 1, std::nullopt, std::nullopt, std::nullopt, QString()});
    const sales::PostedInvoice posted = Post(draft);
    EXPECT_EQ(posted.number, 1);
    EXPECT_FALSE(posted.numberChanged);
    EXPECT_FALSE(posted.priceChange.has_value());
    EXPECT_FALSE(posted.wantsPayment);
    EXPECT_EQ(sales::PostedMessage(posted.number),
              QStringLiteral("Račun je proknjižen pod brojem 1"));

    EXPECT_EQ(Header("SIFRA PARTNERA").toInt(), customer);
    EXPECT_EQ(Header("UVJET PRODAJE").toInt(), 2);
    EXPECT_EQ(Header("ISPORUKA NAZIV").toString(), QStringLiteral("Kod Ane's d.o.o."));
    EXPECT_EQ(Header("ROK PLACANJA").toInt(), 30);
    EXPECT_EQ(Header("DOSPIJECE RACUNA").toDate(), QDate(2026, 4, 9));
    EXPECT_EQ(Header("ZIRO_RACUN").toString(), QStringLiteral("HR1210010051863000160"));
    EXPECT_EQ(Header("PLACENO").toInt(), 0);
    EXPECT_EQ(Header("SKIDA").toInt(), 1);
    EXPECT_TRUE(Header("IZMJENA_CIJENA").isNull());
    const int position = Header("RBR_TK").toInt();
    EXPECT_EQ(position, 3);

    // Lines under the final number, with the cost and price of the lot each came from.
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA\" WHERE \"BROJ_RACUNA\" "
                                   "= 1 AND \"IRA\" = 1")),
              3);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"NABAVNA_CIJENA\" FROM \"STAVKE_RACUNA\" "
                                          "WHERE \"BROJ_PRIMKE\" = 2")),
                     6.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"CIJENA_SKLADISTA\" FROM \"STAVKE_RACUNA\" "
                                          "WHERE \"BROJ_PRIMKE\" = 2")),
                     9.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 6.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 2, screw).quantity, 7.0);
    // The reservation became the take: the free quantity is the quantity.
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).freeQuantity, 6.0);
    EXPECT_EQ(sales::Totals(db(), draft.sessionCode).lines, 0);

    // The trade-book entry holds the article lines only: 4 × 8 + 3 × 9 = 59 and 25 % tax.
    Statement entry = db().Prepare(QStringLiteral(
        "SELECT \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"OPIS\", \"PRODAJA_VRIJEDNOST\", "
        "\"PRODAJA_POREZ\", \"PRODAJA_UKUPNO\", \"NABAVA_VRIJEDNOST\" FROM "
        "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"RBR\" = ?"));
    entry.Exec({position});
    ASSERT_TRUE(entry.Next());
    EXPECT_EQ(entry.Text(0), QStringLiteral("1RAČUN"));
    EXPECT_EQ(entry.Int(1), 1);
    EXPECT_EQ(entry.Text(2), QStringLiteral("RAČUN 1 Kod Ane's d.o.o."));
    EXPECT_DOUBLE_EQ(entry.Double(3), 59.0);
    EXPECT_DOUBLE_EQ(entry.Double(4), 14.75);
    EXPECT_DOUBLE_EQ(entry.Double(5), 73.75);
    EXPECT_DOUBLE_EQ(entry.Double(6), 0.0);
    entry.Finish();
    ExpectBooksAgree(db(), 1, Year());
}

class PooledInvoiceTest : public InvoicePostingTest,
                          public ::testing::WithParamInterface<StockMethod> {};

TEST_P(PooledInvoiceTest, AnInvoiceFromThePooledLotGoesOutAtTheMovingAverageCost) {
    UseMethod(GetParam());
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    docs->Receipt({{screw, 10, 7.00, 8.00}});
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.0);
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 5);
    EXPECT_EQ(sales::WorkingLinesOf(db(), draft.sessionCode).front().lot, 0);
    Post(draft);
    EXPECT_DOUBLE_EQ(Pooled(screw).quantity, 15.0);
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"NABAVNA_VRIJEDNOST\" FROM \"STAVKE_RACUNA\"")),
                     30.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"RUC_IZNOS\" FROM \"STAVKE_RACUNA\"")), 10.0);
    // A later receipt moves the average; the invoice keeps the cost it went out at.
    docs->Receipt({{screw, 5, 9.00, 8.00}});
    EXPECT_DOUBLE_EQ(Pooled(screw).costPrice, 6.75);
    ExpectBooksAgree(db(), 1, Year());
    ExpectPooledLotFollowsReplay(db(), 1, Year(), screw);
}

INSTANTIATE_TEST_SUITE_P(Methods, PooledInvoiceTest,
                         ::testing::Values(StockMethod::Average, StockMethod::LastPrice));

// An article line adds no statement to the posting (each is a round trip to a server): the
// lots of all lines are read with one statement, written with one, and the lines' lots and
// costs recorded with one. The connection counts only while asked to.
TEST_F(InvoicePostingTest, ArticleLinesAddNoStatementsToThePosting) {
    session->workstation.debugMode = false;
    std::vector<int> articles{screw};
    for (int i = 1; i < 4; ++i) {
        articles.push_back(docs->AddArticle(QStringLiteral("Matica %1").arg(i)));
    }
    for (const int article : articles) {
        docs->Receipt({{article, 10, 5.00, 8.00}});
    }
    const auto counted = [&](int lines) {
        const sales::InvoiceDraft draft = Draft();
        for (int i = 0; i < lines; ++i) {
            Line(draft, articles[i], 1);
        }
        db().CountStatements(true);
        Post(draft);
        const StatementCounts counts = db().Counted();
        db().CountStatements(false);
        return counts.executed;
    };
    counted(1);  // the first posting of a session also reads what the connection keeps
    const qint64 one = counted(1);
    EXPECT_GT(one, 0);
    EXPECT_EQ(counted(4), one);
    EXPECT_EQ(db().Counted().executed, 0);
    Post([&] {
        const sales::InvoiceDraft draft = Draft();
        Line(draft, screw, 1);
        return draft;
    }());
    EXPECT_EQ(db().Counted().executed, 0) << "counted while off";
}

TEST_F(InvoicePostingTest, ADiscountNeverRepricesTheLot) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 2, std::nullopt, 20.0);
    const sales::PostedInvoice posted = Post(draft);
    EXPECT_FALSE(posted.priceChange.has_value());
    EXPECT_EQ(Rows("IZMJENE_CIJENA"), 0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).sellingPrice, 8.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"CIJENA_SKLADISTA\" FROM \"STAVKE_RACUNA\"")),
                     8.0);
    ExpectLotsMatchCard();
    // The book sells at the discounted 12.80 while the goods left the lots at 16.00: the book's
    // stock stays above the lots' by the discount.
    EXPECT_NEAR(TradeBookBalance(), LotsAtSellingValue() + 3.2, 1e-9);
}

TEST_F(InvoicePostingTest, APriceAboveTheLotsRepricesTheLotByAGeneratedPriceChange) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 2, 10.0, 5.0);  // sold at 10.00 before a 5 % discount
    const sales::PostedInvoice posted = Post(draft);
    ASSERT_TRUE(posted.priceChange.has_value());
    EXPECT_EQ(*posted.priceChange, 1);
    EXPECT_EQ(Header("IZMJENA_CIJENA").toInt(), 1);
    Statement line = db().Prepare(
        QStringLiteral("SELECT \"BROJ_PRIMKE\", \"ARTIKAL\", \"KOLICINA\", \"STARA_CIJENA\", "
                       "\"NOVA_CIJENA\", \"GRUPA_POREZA\", \"POREZ_%\" FROM "
                       "\"STAVKE_IZMJENA_CIJENA\""));
    line.Exec();
    ASSERT_TRUE(line.Next());
    EXPECT_EQ(line.Int(0), 1);
    EXPECT_EQ(line.Int(1), screw);
    EXPECT_DOUBLE_EQ(line.Double(2), 10.0);  // the whole lot before the sale
    EXPECT_DOUBLE_EQ(line.Double(3), 8.0);
    EXPECT_DOUBLE_EQ(line.Double(4), 10.0);
    EXPECT_EQ(line.Text(5), QStringLiteral("PDV"));
    EXPECT_DOUBLE_EQ(line.Double(6), 25.0);
    EXPECT_FALSE(line.Next());
    line.Finish();
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"BROJ_RACUNA\" FROM \"IZMJENE_CIJENA\"")).toInt(),
              1);
    // The price change's entry comes right before the invoice's.
    Statement book = db().Prepare(
        QStringLiteral("SELECT \"RBR\", \"TIP_DOKUMENTA\", \"OPIS\", \"NABAVA_VRIJEDNOST\" FROM "
                       "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"RBR\" > 1 ORDER BY \"RBR\""));
    book.Exec();
    ASSERT_TRUE(book.Next());
    EXPECT_EQ(book.Text(1), QStringLiteral("IZMJENA CIJENA"));
    EXPECT_EQ(book.Text(2), QStringLiteral("IZMJENA CIJENA (NIVELACIJA) 1"));
    EXPECT_DOUBLE_EQ(book.Double(3), 20.0);
    const int changeAt = book.Int(0);
    ASSERT_TRUE(book.Next());
    EXPECT_EQ(book.Text(1), QStringLiteral("1RAČUN"));
    EXPECT_EQ(book.Int(0), changeAt + 1);
    EXPECT_EQ(Header("RBR_TK").toInt(), changeAt + 1);
    book.Finish();

    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 10.0);
    EXPECT_DOUBLE_EQ(lot.quantity, 8.0);
    ExpectLotsMatchCard();
    // The book sold 19.00 of goods that left the lot at 20.00.
    EXPECT_NEAR(TradeBookBalance(), LotsAtSellingValue() + 1.0, 1e-9);
}

TEST_F(InvoicePostingTest, AHundredPercentDiscountTakesTheGoodsAndSellsThemForNothing) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 3, std::nullopt, 100.0);
    const sales::PostedInvoice posted = Post(draft);
    EXPECT_FALSE(posted.priceChange.has_value());
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 7.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"RUC_IZNOS\" FROM \"STAVKE_RACUNA\"")), -15.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"RUC_%\" FROM \"STAVKE_RACUNA\"")), -100.0);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"PRODAJA_UKUPNO\" FROM "
                                          "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                          "\"TIP_DOKUMENTA\" = '1RAČUN'")),
                     0.0);
    ExpectLotsMatchCard();
    EXPECT_NEAR(TradeBookBalance(), LotsAtSellingValue() + 24.0, 1e-9);
}

TEST_F(InvoicePostingTest, APriceListPriceRepricesTheLotAndItsDiscountDoesNot) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    db().Exec(QStringLiteral("INSERT INTO \"CJENICI\" (\"SIFRA\", \"NAZIV\") VALUES (3, 'A')"));
    db().Exec(QStringLiteral("INSERT INTO \"CJENICI_STAVKE_CIJENA\" VALUES (3, ?, 9.5, 1)"),
              {screw});
    db().Exec(
        QStringLiteral("INSERT INTO \"CJENICI_STAVKE_RABATA\" (\"SIFRA_CJENIKA\", "
                       "\"SIFRA_GRUPE_ARTIKALA\", \"RABAT\") VALUES (3, 0, 15)"));
    const int listed = AddCustomer(QStringLiteral("Kupac s cjenikom"), 0, 3);
    sales::InvoiceDraft draft = Draft(2, 1, listed);
    Line(draft, screw, 2);
    const sales::InvoiceLine line = sales::WorkingLinesOf(db(), draft.sessionCode).front();
    EXPECT_DOUBLE_EQ(line.priceBeforeDiscount, 9.5);
    EXPECT_DOUBLE_EQ(line.discountPercent, 15.0);  // the list's general row
    EXPECT_TRUE(Post(draft).priceChange.has_value());
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).sellingPrice, 9.5);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"NOVA_CIJENA\" FROM \"STAVKE_IZMJENA_CIJENA\"")),
                     9.5);
    ExpectLotsMatchCard();
}

TEST_F(InvoicePostingTest, RetailTermsCompareThePriceWithoutTheRetailMargin) {
    session->warehouseFlags.retail = true;
    docs->Receipt({{screw, 10, 5.00, 8.00, 25.0}});
    // 10.00 is the lot's 8.00 with its 25 % retail margin: no change.
    sales::InvoiceDraft same = Draft(1);
    Line(same, screw, 1);
    EXPECT_FALSE(Post(same).priceChange.has_value());
    // 12.50 with the margin is 10.00 without it: the lot goes to 10.00.
    sales::InvoiceDraft dearer = Draft(1);
    Line(dearer, screw, 1, 12.5);
    const sales::PostedInvoice posted = Post(dearer);
    EXPECT_TRUE(posted.priceChange.has_value());
    EXPECT_TRUE(posted.wantsPayment);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).sellingPrice, 10.0);
    ExpectLotsMatchCard();
}

TEST_F(InvoicePostingTest, TwoWorkstationsShareTheLotsFreeQuantityAndGetNumbersOfTheirOwn) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    std::unique_ptr<Session> other = StartSession(1);
    ASSERT_TRUE(other);
    other->workstation.debugMode = true;
    sales::InvoiceDraft mine = Draft();
    Line(mine, screw, 6);
    sales::InvoiceDraft theirs = sales::OpenInvoice(*other, QDate(2026, 3, 10));
    theirs.book = 1;
    theirs.salesTerms = 2;
    theirs.customer = customer;
    auto enter = [&](double quantity) {
        sales::AddArticleLine(
            *other, prompter, theirs,
            {screw, std::nullopt, quantity, std::nullopt, std::nullopt, std::nullopt, QString()});
    };
    // The other workstation sees the six held here: five more are refused, four fit.
    ExpectRefused([&] { enter(5); }, QStringLiteral("Nedovoljna količina artikla Vijak M8"));
    enter(4);
    const sales::InvoiceHeader myHeader = sales::ProposeHeader(*session, mine);
    const sales::InvoiceHeader theirHeader = sales::ProposeHeader(*other, theirs);
    EXPECT_EQ(myHeader.number, theirHeader.number);
    EXPECT_EQ(sales::PostInvoice(*session, mine, myHeader).number, 1);
    const sales::PostedInvoice second = sales::PostInvoice(*other, theirs, theirHeader);
    EXPECT_EQ(second.number, 2);
    EXPECT_TRUE(second.numberChanged);
    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 0.0);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 0.0);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoicePostingTest, ARefusalInsideThePostingLeavesNothingAndKeepsTheWorkingCopy) {
    const int nut = docs->AddArticle(QStringLiteral("Matica M8"));
    docs->Receipt({{screw, 10, 5.00, 8.00}, {nut, 4, 1.00, 2.00}});
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 2, 10.0);  // would reprice lot 1 first
    Line(draft, nut, 4);
    // A stock count found two nuts fewer since the line was entered (an issue note could not
    // take them: the line holds them).
    docs->StockCount({{nut, 1, 2}});
    const int entries = Rows("TRGOVACKA_KNJIGA_VELEPRODAJE");
    ExpectRefused([&] { Post(draft); }, QStringLiteral("Nedovoljna količina artikla Matica M8"));
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_EQ(Rows("STAVKE_RACUNA"), 0);
    EXPECT_EQ(Rows("IZMJENE_CIJENA"), 0);
    EXPECT_EQ(Rows("STAVKE_IZMJENA_CIJENA"), 0);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), entries);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).sellingPrice, 8.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 10.0);
    EXPECT_EQ(sales::WorkingLinesOf(db(), draft.sessionCode).size(), 2u);

    // A lot whose receipt was deleted meanwhile refuses with its own message.
    sales::DeleteLine(*session, draft, 2);
    const int bolt = docs->AddArticle(QStringLiteral("Svornjak"));
    const int receipt = docs->Receipt({{bolt, 5, 2.00, 3.00}});
    Line(draft, bolt, 1);
    docs->DeleteReceipt(receipt);
    ExpectRefused([&] { Post(draft); },
                  QStringLiteral("Napravljen je storno primke po kojoj je ušao artikal Svornjak"));
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_EQ(Rows("IZMJENE_CIJENA"), 0);

    // Corrected, the same working copy posts.
    sales::DeleteLine(*session, draft, 2);
    EXPECT_EQ(Post(draft).number, 1);
    EXPECT_EQ(Rows("STAVKE_RACUNA"), 1);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoicePostingTest, TheHeaderIsCheckedFieldByFieldInOrder) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    sales::InvoiceDraft draft = Draft();
    const sales::InvoiceHeader good = sales::ProposeHeader(*session, draft);
    ExpectRefused([&] { sales::PostInvoice(*session, draft, good); },
                  QStringLiteral("Račun nema niti jedne stavke !"));
    Line(draft, screw, 1);
    auto refused = [&](auto change, const char* message) {
        sales::InvoiceHeader h = good;
        change(h);
        ExpectRefused([&] { sales::PostInvoice(*session, draft, h); }, QString::fromUtf8(message));
    };
    refused([](auto& h) { h.deliveryName = QString(81, QLatin1Char('a')); },
            "Isporuka-naziv je duži od 80 znakova ili nije upisan");
    refused(
        [](auto& h) {
            h.deliveryName.clear();
            h.deliveryAddress.clear();
        },
        "Isporuka-naziv je duži od 80 znakova ili nije upisan");
    refused([](auto& h) { h.deliveryAddress = QStringLiteral("  "); },
            "Isporuka-adresa je duža od 80 znakova ili nije upisana");
    refused([](auto& h) { h.deliveryPlace.clear(); },
            "Isporuka-mjesto je duže od 80 znakova ili nije upisano");
    refused([](auto& h) { h.bankAccount.clear(); },
            "Žiro račun je duži od 80 znakova ili nije upisan");
    refused([](auto& h) { h.deliveryDate = QStringLiteral("31.2.2026"); },
            "U polje datum isporuke mora biti upisan datum.");
    refused([](auto& h) { h.paymentTerm = QStringLiteral("tri"); },
            "U polje rok plaćanja mora biti upisan broj.");
    refused([](auto& h) { h.dueDate = QString(); },
            "U polje dospijeće računa mora biti upisan datum.");
    refused([](auto& h) { h.alreadyPaid = QStringLiteral("x"); },
            "U polje već plaćeno mora biti upisan broj odnosno nula.");
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).quantity, 10.0);
    // Exactly 80 characters, a delivery date and a paid amount with a comma are fine.
    sales::InvoiceHeader h = good;
    h.deliveryName = QString(80, QLatin1Char('a'));
    h.deliveryDate = QStringLiteral("12.3.2026");
    h.alreadyPaid = QStringLiteral("12,50");
    EXPECT_EQ(sales::PostInvoice(*session, draft, h).number, 1);
    EXPECT_EQ(Header("DATUM ISPORUKE").toDate(), QDate(2026, 3, 12));
    EXPECT_DOUBLE_EQ(Header("VEC PLACENO").toDouble(), 12.5);
}

TEST_F(InvoicePostingTest, NumbersFollowBookAndTermsAndATakenNumberGivesTheNext) {
    docs->Receipt({{screw, 100, 5.00, 8.00}});
    db().Exec(
        QStringLiteral("UPDATE \"UVJETI_PRODAJE\" SET \"SAMOSTALNA_NUMERACIJA\" = TRUE, "
                       "\"POCETNI_BR_RACUNA\" = 500 WHERE \"SIFRA\" = 3"));
    db().Exec(
        QStringLiteral("UPDATE \"UVJETI_PRODAJE\" SET \"POCETNI_BR_RACUNA\" = 0 WHERE "
                       "\"SIFRA\" = 1"));
    session->warehouseFlags.retail = true;
    db().Exec(
        QStringLiteral("INSERT INTO \"KNJIGE_IRA\" (\"SIFRA\", \"NAZIV\", \"SKIDA\") VALUES "
                       "(2, 'Maloprodaja', TRUE)"));
    auto post = [&](int terms, int book) {
        sales::InvoiceDraft draft = Draft(terms, book);
        Line(draft, screw, 1);
        return Post(draft).number;
    };
    EXPECT_EQ(post(3, 1), 500);  // its own numbering starts at its first number
    EXPECT_EQ(post(3, 1), 501);
    EXPECT_EQ(post(2, 1), 1);  // the shared sequence leaves terms 3 out
    EXPECT_EQ(post(4, 1), 2);
    EXPECT_EQ(post(1, 2), 0);  // the retail terms from their first number, 0
    EXPECT_EQ(post(1, 2), 1);
    EXPECT_EQ(post(2, 1), 3);  // each book numbers apart
    // Numberings of one book whose ranges meet: the shared sequence steps over retail 0 and 1,
    // and the retail sequence then over the shared 2.
    EXPECT_EQ(post(2, 2), 2);
    EXPECT_EQ(post(1, 2), 3);

    // Two invoices both showing 4: the second to post gets 5 and is told.
    sales::InvoiceDraft first = Draft();
    sales::InvoiceDraft second = Draft();
    Line(first, screw, 1);
    Line(second, screw, 1);
    const sales::InvoiceHeader shownFirst = sales::ProposeHeader(*session, first);
    const sales::InvoiceHeader shownSecond = sales::ProposeHeader(*session, second);
    EXPECT_EQ(shownFirst.number, 4);
    EXPECT_EQ(shownSecond.number, 4);
    EXPECT_EQ(sales::PostInvoice(*session, first, shownFirst).number, 4);
    const sales::PostedInvoice later = sales::PostInvoice(*session, second, shownSecond);
    EXPECT_EQ(later.number, 5);
    EXPECT_TRUE(later.numberChanged);
    ExpectRefused([&] { sales::CheckInvoiceNumber(db(), Draft(), QStringLiteral("5")); },
                  QStringLiteral("Račun pod ovim brojem je već napravljen !"));
    ExpectRefused([&] { sales::CheckInvoiceNumber(db(), Draft(), QStringLiteral("5a")); },
                  QStringLiteral("Nije ispravno upisan broj !"));
    EXPECT_EQ(sales::CheckInvoiceNumber(db(), Draft(), QStringLiteral("6")), 6);
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(InvoicePostingTest, ABookThatTakesNoStockMovesNoLotAndWritesNoTradeBookEntry) {
    docs->Receipt({{screw, 10, 5.00, 8.00}});
    db().Exec(
        QStringLiteral("INSERT INTO \"KNJIGE_IRA\" (\"SIFRA\", \"NAZIV\", \"SKIDA\") VALUES "
                       "(2, 'Usluge', FALSE)"));
    const int entries = Rows("TRGOVACKA_KNJIGA_VELEPRODAJE");
    sales::InvoiceDraft draft = Draft(2, 2);
    Line(draft, screw, 3, 12.0);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), 1, screw).freeQuantity, 7.0);
    EXPECT_EQ(Post(draft).number, 1);
    const stock::Lot lot = LotOf(db(), 1, Year(), 1, screw);
    EXPECT_DOUBLE_EQ(lot.quantity, 10.0);
    EXPECT_DOUBLE_EQ(lot.freeQuantity, 10.0);  // the line's reservation given back
    EXPECT_DOUBLE_EQ(lot.sellingPrice, 8.0);   // and no price change
    EXPECT_EQ(Rows("IZMJENE_CIJENA"), 0);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), entries);
    EXPECT_TRUE(db().Scalar(QStringLiteral("SELECT \"RBR_TK\" FROM \"RACUNI\" WHERE \"IRA\" = 2"))
                    .isNull());
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace
