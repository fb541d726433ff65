// The finishing work order: material from the bill or typed, nothing received into stock.

#include <gtest/gtest.h>

#include <limits>

#include "data/Errors.h"
#include "data/SqlValue.h"
#include "production/FinishingWorkOrder.h"
#include "production/WorkOrder.h"
#include "registers/BillsOfMaterials.h"
#include "stock/Lots.h"
#include "stock/StockTest.h"
#include "support/Refused.h"

using namespace zodra;
using namespace zodra::test;
namespace pr = zodra::production;
namespace bom = zodra::registers::billsofmaterials;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class FinishingWorkOrderTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        chair = docs->AddArticle(QStringLiteral("Stolica"));
        car = docs->AddArticle(QStringLiteral("Prikolica"));
        leg = docs->AddArticle(QStringLiteral("Noga"));
        varnish = docs->AddArticle(QStringLiteral("Lak"));
        bom::SetPart(db(), bom::Add(db(), chair), leg, QStringLiteral("4"));
        firstLot = docs->Receipt({{leg, 10, 1.00, 2.00}});
        secondLot = docs->Receipt({{leg, 10, 1.50, 2.00}});
        varnishLot = docs->Receipt({{varnish, 8, 2.00, 3.00}});
        db().Exec(QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"Kupac\") VALUES (?, 1)"),
                  {QStringLiteral("Auto Ana's d.o.o.")});
        owner =
            sqlvalue::ToInt(db().Scalar(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"PARTNERI\"")));
        code = session->sessionCode;
    }
    int Count(const QString& sql) { return sqlvalue::ToInt(db().Scalar(sql)); }
    double Stock(int article) { return stock::ArticleStock(db(), 1, Year(), article); }
    // Three chairs from the bill (12 legs), and the trailer with 2 of varnish and a service.
    void EnterBoth() {
        pr::FinishedProductEntry chairs;
        chairs.product = chair;
        chairs.quantity = 3;
        chairs.fromBill = true;
        pr::AddFinishedProduct(*session, code, chairs);
        pr::FinishedProductEntry trailer;
        trailer.product = car;
        trailer.quantity = 1;
        trailer.material = {{varnish, 2, 0}};
        trailer.services = {{QStringLiteral("Lakiranje"), 2, 15}};
        pr::AddFinishedProduct(*session, code, trailer);
    }
    pr::PostedFinishingOrder Post(int number = 0, int partner = -1) {
        return pr::PostFinishingOrder(
            *session, code,
            {number, QDate(2026, 3, 3), QStringLiteral("Dorada"), partner < 0 ? owner : partner});
    }
    int Written() {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI_DORADA\"")) +
               Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_DORADA\"")) +
               Count(
                   QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_DORADA_USLUGE\"")) +
               Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                    "\"TIP_DOKUMENTA\" = 'RADNI NALOG DORADA'"));
    }
    int chair = 0;
    int car = 0;
    int leg = 0;
    int varnish = 0;
    int firstLot = 0;
    int secondLot = 0;
    int varnishLot = 0;
    int owner = 0;
    int code = 0;
};

// Under each method: the lots lose the material, nothing is received, the book carries it at
// selling prices, the value adds the services; deletion gives every lot back.
TEST_F(FinishingWorkOrderTest, TwoProductsUnderEachMethodPostAndDelete) {
    for (StockMethod method : {StockMethod::Fifo, StockMethod::Average, StockMethod::LastPrice}) {
        SCOPED_TRACE(StockMethodText(method).toStdString());
        UseMethod(method);
        // Fresh lots under this method.
        leg = docs->AddArticle(QStringLiteral("Noga ") + StockMethodText(method));
        varnish = docs->AddArticle(QStringLiteral("Lak ") + StockMethodText(method));
        chair = docs->AddArticle(QStringLiteral("Stolica ") + StockMethodText(method));
        bom::SetPart(db(), bom::Add(db(), chair), leg, QStringLiteral("4"));
        docs->Receipt({{leg, 10, 1.00, 2.00}});
        docs->Receipt({{leg, 10, 1.50, 2.00}});
        docs->Receipt({{varnish, 8, 2.00, 3.00}});

        // The pooled lot's cost (average or last price) as it stands before the order.
        const double legCost = method == StockMethod::Fifo ? 0 : Pooled(leg).costPrice;
        EnterBoth();
        const auto products = pr::FinishedProducts(*session, code);
        ASSERT_EQ(products.size(), 2u);
        EXPECT_EQ(products[0].product, chair);
        EXPECT_DOUBLE_EQ(products[0].quantity, 3);
        EXPECT_DOUBLE_EQ(products[0].materialValue, 24);
        EXPECT_DOUBLE_EQ(products[1].services, 30);
        if (method == StockMethod::Fifo) {
            // 12 legs: the 10 of the first lot, then 2 of the second.
            const auto material = pr::FinishingMaterials(*session, code);
            ASSERT_EQ(material.size(), 3u);
            EXPECT_DOUBLE_EQ(material[0].quantity, 10);
            EXPECT_DOUBLE_EQ(material[1].quantity, 2);
            EXPECT_DOUBLE_EQ(material[1].costPrice, 1.5);
            EXPECT_EQ(material[2].product, car);
        }
        const pr::PostedFinishingOrder posted = Post();
        EXPECT_DOUBLE_EQ(posted.value, 24 + 6 + 30);
        EXPECT_DOUBLE_EQ(Stock(leg), 8);
        EXPECT_DOUBLE_EQ(Stock(varnish), 6);
        EXPECT_DOUBLE_EQ(Stock(chair), 0);
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), car), 0);
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"TIP_PRIMKE\" = 3")),
                  0);
        Statement book = db().Prepare(QStringLiteral(
            "SELECT \"OPIS\", \"NABAVA_VRIJEDNOST\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
            "\"TIP_DOKUMENTA\" = 'RADNI NALOG DORADA' AND \"BROJ_DOKUMENTA\" = ?"));
        book.Exec({posted.number});
        ASSERT_TRUE(book.Next());
        EXPECT_EQ(book.Text(0), QStringLiteral("RADNI NALOG ") + QString::number(posted.number));
        EXPECT_DOUBLE_EQ(book.Double(1), -30);
        book.Finish();
        const double materialCost = sqlvalue::ToDouble(db().Scalar(
            QStringLiteral(
                "SELECT SUM(\"NABAVNA_VRIJEDNOST\") FROM \"STAVKE_RADNIH_NALOGA_DORADA\" "
                "WHERE \"BROJ_RADNOG_NALOGA\" = ?"),
            {posted.number}));
        EXPECT_DOUBLE_EQ(materialCost,
                         (method == StockMethod::Fifo ? 10 * 1.0 + 2 * 1.5 : 12 * legCost) + 4);
        EXPECT_DOUBLE_EQ(
            sqlvalue::ToDouble(db().Scalar(
                QStringLiteral("SELECT \"NABAVNA_VRIJEDNOST\" FROM "
                               "\"RADNI_NALOZI_DORADA\" WHERE \"BROJ_RADNOG_NALOGA\" = ?"),
                {posted.number})),
            materialCost + 30);
        EXPECT_TRUE(pr::FinishedProducts(*session, code).empty());
        ExpectBooksAgree(db(), 1, Year());

        pr::DeleteFinishingOrder(*session, posted.number);
        EXPECT_DOUBLE_EQ(Stock(leg), 20);
        EXPECT_DOUBLE_EQ(Stock(varnish), 8);
        EXPECT_EQ(Written(), 0);
        ExpectBooksAgree(db(), 1, Year());
        if (method != StockMethod::Fifo) {
            ExpectPooledLotFollowsReplay(db(), 1, Year(), leg);
        }
    }
}

// Short material is refused, also against another workstation's open order.
TEST_F(FinishingWorkOrderTest, ShortMaterialIsRefusedWithTheMissingQuantity) {
    pr::FinishedProductEntry chairs;
    chairs.product = chair;
    chairs.quantity = 6;  // 24 legs of 20
    chairs.fromBill = true;
    EXPECT_REFUSED(pr::AddFinishedProduct(*session, code, chairs),
                   "Nedovoljna zaliha artikla Noga. Količina će biti postavljena na najveću "
                   "dopuštenu vrijednost. Potrebno je još 4");
    pr::FinishedProductEntry trailer;
    trailer.product = car;
    trailer.quantity = 1;
    trailer.material = {{varnish, 9, 0}};
    EXPECT_REFUSED(pr::AddFinishedProduct(*session, code, trailer),
                   "Nedovoljna zaliha artikla Lak. Količina će biti postavljena na najveću "
                   "dopuštenu vrijednost. Potrebno je još 1");
    EXPECT_TRUE(pr::FinishedProducts(*session, code).empty());
    EXPECT_TRUE(pr::FinishingMaterials(*session, code).empty());

    std::unique_ptr<Session> other = StartSession(1);
    pr::FinishedProductEntry theirs = trailer;
    theirs.material = {{varnish, 5, 0}};
    pr::AddFinishedProduct(*other, other->sessionCode, theirs);
    trailer.material = {{varnish, 4, 0}};
    EXPECT_REFUSED(pr::AddFinishedProduct(*session, code, trailer),
                   "Nedovoljna zaliha artikla Lak. Količina će biti postavljena na najveću "
                   "dopuštenu vrijednost. Potrebno je još 1");
    trailer.material = {{varnish, 3, 0}};
    pr::AddFinishedProduct(*session, code, trailer);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), varnishLot, varnish).freeQuantity, 0);
    // Both post; the book and the lots agree with two orders taken from the same lot.
    EXPECT_EQ(
        pr::PostFinishingOrder(*other, other->sessionCode, {0, QDate(2026, 3, 3), QString(), owner})
            .number,
        1);
    EXPECT_EQ(Post().number, 2);
    EXPECT_DOUBLE_EQ(Stock(varnish), 0);
    ExpectBooksAgree(db(), 1, Year());
}

// Each entry guard refuses alone and leaves nothing; the corrected entry is taken.
TEST_F(FinishingWorkOrderTest, EntryGuardsRefuseAndTheCorrectedEntryIsTaken) {
    pr::FinishedProductEntry e;
    e.product = car;
    e.quantity = 1;
    e.material = {{varnish, 1, 0}};
    e.services = {{QStringLiteral("Rad"), 1, 10}};
    const auto refused = [&](pr::FinishedProductEntry bad, const char* text) {
        SCOPED_TRACE(text);
        EXPECT_REFUSED(pr::AddFinishedProduct(*session, code, bad), text);
        EXPECT_TRUE(pr::FinishedProducts(*session, code).empty());
        EXPECT_TRUE(pr::FinishingServices(*session, code).empty());
    };
    pr::FinishedProductEntry bad = e;
    bad.product = 0;
    refused(bad, "Nije izabran artikal !");
    bad = e;
    bad.quantity = 0;
    refused(bad, "Količina nesmije biti nula !");
    bad.quantity = -1;
    refused(bad, "Količina mora biti veća od nule !");
    bad = e;
    bad.fromBill = true;
    refused(bad, "Proizvod nema sastavnicu !");
    bad = e;
    bad.material = {{9999, 1, 0}};
    refused(bad, "Nije izabran artikal !");
    bad = e;
    bad.services = {{QStringLiteral("  "), 1, 10}};
    refused(bad, "Nije upisan opis usluge !");
    for (double wrong : {kNaN, kInf, 1e9}) {
        bad = e;
        bad.quantity = wrong;
        EXPECT_THROW(pr::AddFinishedProduct(*session, code, bad), UserError);
        bad = e;
        bad.material = {{varnish, wrong, 0}};
        EXPECT_THROW(pr::AddFinishedProduct(*session, code, bad), UserError);
        bad = e;
        bad.services = {{QStringLiteral("Rad"), 1, wrong == 1e9 ? 1e12 : wrong}};
        EXPECT_THROW(pr::AddFinishedProduct(*session, code, bad), UserError);
    }
    EXPECT_TRUE(pr::FinishedProducts(*session, code).empty());
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), varnishLot, varnish).freeQuantity, 8);

    pr::AddFinishedProduct(*session, code, e);
    EXPECT_REFUSED(pr::AddFinishedProduct(*session, code, e),
                   "Ovaj proizvod je već upisan na radni nalog dorade !");
    EXPECT_EQ(pr::FinishingServices(*session, code).size(), 1u);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), varnishLot, varnish).freeQuantity, 7);
}

// Deleting the last product, the posting's guards, and a taken number.
TEST_F(FinishingWorkOrderTest, LinesPostingGuardsAndNumbers) {
    EXPECT_REFUSED(Post(), "Dokument nema niti jedne stavke !");
    EnterBoth();
    EXPECT_REFUSED(pr::RemoveFinishedProduct(*session, prompter, code, chair),
                   "Brisati možete samo zadnju stavku !");
    prompter.AnswerNo();
    EXPECT_FALSE(pr::RemoveFinishedProduct(*session, prompter, code, car));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Želite li izbrisati stavku ?"));
    prompter.AnswerYes();
    EXPECT_TRUE(pr::RemoveFinishedProduct(*session, prompter, code, car));
    EXPECT_EQ(pr::FinishedProducts(*session, code).size(), 1u);
    EXPECT_TRUE(pr::FinishingServices(*session, code).empty());
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), varnishLot, varnish).freeQuantity, 8);

    // A product without material moves no stock: no stock document.
    pr::RemoveFinishedProduct(*session, code, chair);
    pr::FinishedProductEntry work;
    work.product = car;
    work.quantity = 1;
    work.services = {{QStringLiteral("Pregled"), 1, 20}};
    pr::AddFinishedProduct(*session, code, work);
    EXPECT_REFUSED(Post(), "Dokument nema niti jedne stavke !");
    pr::ClearFinishingOrder(*session, code);

    EnterBoth();
    EXPECT_REFUSED(Post(0, 0), "Nije izabran vlasnik robe !");
    EXPECT_REFUSED(Post(0, 9999), "Nije izabran vlasnik robe !");
    EXPECT_EQ(Written(), 0);
    EXPECT_EQ(pr::FinishedProducts(*session, code).size(), 2u);
    EXPECT_EQ(Post(5).number, 5);
    work.material = {{varnish, 1, 0}};
    pr::AddFinishedProduct(*session, code, work);
    const pr::PostedFinishingOrder second = Post(5);
    EXPECT_EQ(second.number, 6);
    EXPECT_EQ(pr::FinishingPostedMessage(second.number),
              QStringLiteral("Radni nalog dorada je proknjižen pod brojem 6"));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI_DORADA\" WHERE "
                                   "\"SIFRA_PARTNERA\" = ") +
                    QString::number(owner)),
              2);
    // The ordinary work orders keep their own numbering.
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI\"")), 0);
}

// Deletion: its question and guards.
TEST_F(FinishingWorkOrderTest, DeletionAsksAndIsGuarded) {
    EXPECT_REFUSED(pr::DeleteFinishingOrder(*session, prompter, 9),
                   "Ne postoji proknjiženi radni nalog dorade broj 9");
    EnterBoth();
    const int first = Post().number;
    prompter.AnswerNo();
    EXPECT_FALSE(pr::DeleteFinishingOrder(*session, prompter, first));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Želite li izbrisati radni nalog dorade!"));
    EXPECT_DOUBLE_EQ(Stock(varnish), 6);
    prompter.AnswerYes();
    EXPECT_TRUE(pr::DeleteFinishingOrder(*session, prompter, first));
    EXPECT_EQ(Written(), 0);
    EXPECT_DOUBLE_EQ(Stock(varnish), 8);

    EnterBoth();
    const int second = Post().number;
    docs->PriceChange({{varnish, varnishLot, 3.50}});
    EXPECT_REFUSED(pr::DeleteFinishingOrder(*session, second),
                   "Ovaj radni nalog nemožete izbrisati jer artikal Lak ima na radnom nalogu "
                   "cijenu 3 a na skladištu cijenu 3,5");
    docs->StockCount({{leg, secondLot, 7}});
    EXPECT_REFUSED(pr::CheckFinishingOrderCanBeDeleted(*session, second),
                   "Ovaj radni nalog nemožete stornirati jer su na artiklima iz radnog naloga "
                   "nakon njegovog knjiženja rađene inventure.");
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI_DORADA\"")), 1);
    ExpectBooksAgree(db(), 1, Year());
}

// Saved unposted it keeps its reservations, owner and description; another workstation loads and
// posts it.
TEST_F(FinishingWorkOrderTest, SavedOrderKeepsItsReservationsAndOwnerAndIsPostedElsewhere) {
    EXPECT_REFUSED(pr::SaveOpenFinishingOrder(*session, code, {4, QDate(2026, 3, 3), QString()}),
                   "Dokument nema niti jedne stavke !");
    EnterBoth();
    EXPECT_REFUSED(
        pr::SaveOpenFinishingOrder(*session, code, {4, QDate(2026, 3, 3), QString(), 9999}),
        "Nije izabran vlasnik robe !");
    EXPECT_REFUSED(
        pr::SaveOpenFinishingOrder(*session, code, {0, QDate(2026, 3, 3), QString(), owner}),
        "Nije ispravno upisan broj !");
    EXPECT_EQ(pr::FinishedProducts(*session, code).size(), 2u);
    pr::SaveOpenFinishingOrder(*session, code,
                               {4, QDate(2026, 3, 3), QStringLiteral("12|Prikolica"), owner});
    EXPECT_TRUE(pr::FinishedProducts(*session, code).empty());
    EXPECT_TRUE(pr::FinishingServices(*session, code).empty());
    stock::ResetFreeQuantities(db());
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), varnishLot, varnish).freeQuantity, 6);
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), firstLot, leg).freeQuantity, 0);
    ASSERT_EQ(pr::OpenFinishingOrders(*session).size(), 1u);
    EXPECT_EQ(pr::OpenFinishingOrders(*session)[0].owner, owner);
    EXPECT_EQ(pr::OpenFinishingOrders(*session)[0].description, QStringLiteral("12|Prikolica"));

    std::unique_ptr<Session> other = StartSession(1);
    pr::FinishedProductEntry trailer;
    trailer.product = car;
    trailer.quantity = 1;
    trailer.material = {{varnish, 7, 0}};
    EXPECT_REFUSED(pr::AddFinishedProduct(*other, other->sessionCode, trailer),
                   "Nedovoljna zaliha artikla Lak. Količina će biti postavljena na najveću "
                   "dopuštenu vrijednost. Potrebno je još 1");
    trailer.material = {{varnish, 1, 0}};
    pr::AddFinishedProduct(*other, other->sessionCode, trailer);
    EXPECT_REFUSED(
        pr::SaveOpenFinishingOrder(*other, other->sessionCode, {4, QDate(2026, 3, 3), QString()}),
        "Otvoreni radni nalog dorade broj 4 već postoji");
    EXPECT_REFUSED(pr::LoadOpenFinishingOrder(*other, other->sessionCode, 4),
                   "Radni nalog dorade već ima stavke.");
    pr::ClearFinishingOrder(*other, other->sessionCode);
    EXPECT_REFUSED(pr::LoadOpenFinishingOrder(*other, other->sessionCode, 5),
                   "Ne postoji otvoreni radni nalog dorade broj 5");
    const pr::OpenWorkOrder loaded = pr::LoadOpenFinishingOrder(*other, other->sessionCode, 4);
    EXPECT_EQ(loaded.owner, owner);
    EXPECT_EQ(loaded.description, QStringLiteral("12|Prikolica"));
    EXPECT_EQ(loaded.date, QDate(2026, 3, 3));
    ASSERT_EQ(pr::FinishedProducts(*other, other->sessionCode).size(), 2u);
    EXPECT_DOUBLE_EQ(pr::FinishedProducts(*other, other->sessionCode)[0].quantity, 3);
    EXPECT_EQ(pr::FinishingServices(*other, other->sessionCode).size(), 1u);
    EXPECT_TRUE(pr::OpenFinishingOrders(*session).empty());
    const pr::PostedFinishingOrder posted = pr::PostFinishingOrder(
        *other, other->sessionCode, {loaded.number, loaded.date, loaded.description, loaded.owner});
    EXPECT_EQ(posted.number, 4);
    EXPECT_DOUBLE_EQ(posted.value, 24 + 6 + 30);
    EXPECT_EQ(Count(QStringLiteral("SELECT \"SIFRA_PARTNERA\" FROM \"RADNI_NALOZI_DORADA\" "
                                   "WHERE \"BROJ_RADNOG_NALOGA\" = 4")),
              owner);
    EXPECT_DOUBLE_EQ(Stock(varnish), 6);
    EXPECT_DOUBLE_EQ(Stock(leg), 8);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"OtvoreniDokumenti\"")), 0);
    ExpectBooksAgree(db(), 1, Year());
}

// The two kinds keep their saved orders apart; a missing owner comes back as none.
TEST_F(FinishingWorkOrderTest, OrdinaryAndFinishingSavedOrdersStayApart) {
    const pr::WorkOrderCodes ordinary = pr::SessionCodes(*session);
    pr::ProductEntry entry;
    entry.product = chair;
    entry.quantity = 1;
    entry.materialPrice = 8;
    entry.sellingPrice = 12;
    pr::AddProduct(*session, ordinary, entry);
    pr::SaveOpenWorkOrder(*session, ordinary, {9, QDate(2026, 3, 3), QStringLiteral("Redovni")});
    EXPECT_TRUE(pr::OpenFinishingOrders(*session).empty());
    EXPECT_REFUSED(pr::LoadOpenFinishingOrder(*session, code, 9),
                   "Ne postoji otvoreni radni nalog dorade broj 9");

    EnterBoth();
    pr::SaveOpenFinishingOrder(*session, code, {9, QDate(2026, 3, 4), QStringLiteral("Dorada")});
    ASSERT_EQ(pr::OpenWorkOrders(*session).size(), 1u);
    EXPECT_EQ(pr::OpenWorkOrders(*session)[0].description, QStringLiteral("Redovni"));
    ASSERT_EQ(pr::OpenFinishingOrders(*session).size(), 1u);
    EXPECT_EQ(pr::OpenFinishingOrders(*session)[0].owner, 0);

    const pr::OpenWorkOrder back = pr::LoadOpenWorkOrder(*session, ordinary, 9);
    EXPECT_EQ(back.date, QDate(2026, 3, 3));
    EXPECT_EQ(pr::ProductLines(*session, ordinary).size(), 1u);
    EXPECT_TRUE(pr::FinishedProducts(*session, code).empty());
    ASSERT_EQ(pr::OpenFinishingOrders(*session).size(), 1u);
    EXPECT_TRUE(pr::OpenWorkOrders(*session).empty());
    pr::ClearWorkOrder(*session, ordinary);

    const pr::OpenWorkOrder finishing = pr::LoadOpenFinishingOrder(*session, code, 9);
    EXPECT_EQ(finishing.owner, 0);
    EXPECT_EQ(finishing.description, QStringLiteral("Dorada"));
    EXPECT_EQ(pr::FinishedProducts(*session, code).size(), 2u);
    EXPECT_TRUE(pr::ProductLines(*session, ordinary).empty());

    pr::SaveOpenFinishingOrder(*session, code, {9, QDate(2026, 3, 4), QString(), owner});
    db().Exec(QStringLiteral("DELETE FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"), {owner});
    EXPECT_EQ(pr::LoadOpenFinishingOrder(*session, code, 9).owner, 0);
}

}  // namespace
