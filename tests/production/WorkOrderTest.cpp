// The work order: entry against the lots, the product line, saving, posting and deletion.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "production/WorkOrder.h"
#include "production/WorkOrderPosting.h"
#include "registers/BillsOfMaterials.h"
#include "stock/Lots.h"
#include "stock/StockTest.h"
#include "support/Refused.h"

using namespace zodra;
using namespace zodra::test;
namespace pr = zodra::production;
namespace bom = zodra::registers::billsofmaterials;

namespace {

class WorkOrderTest : public StockTest {
protected:
    void SetUp() override {
        StockTest::SetUp();
        table = docs->AddArticle(QStringLiteral("Stol"));
        leg = docs->AddArticle(QStringLiteral("Noga"));
        bill = bom::Add(db(), table);
        bom::SetPart(db(), bill, leg, QStringLiteral("2"));
        bom::AddCost(db(), bill, QStringLiteral("Rad"), QStringLiteral("1"), QStringLiteral("2"));
        firstLot = docs->Receipt({{leg, 15, 3.00, 5.00}});
        secondLot = docs->Receipt({{leg, 10, 4.00, 6.00}});
        store = AddWarehouse(db(), QStringLiteral("Gotovi proizvodi"));
        codes = pr::SessionCodes(*session);
    }
    int Count(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToInt(db().Scalar(sql, params));
    }
    double Free(int lot) { return LotOf(db(), 1, Year(), lot, leg).freeQuantity; }
    double Stock(int lot) { return LotOf(db(), 1, Year(), lot, leg).quantity; }
    pr::ProductEntry Entry(double quantity, double material = 8, double selling = 12) {
        pr::ProductEntry e;
        e.product = table;
        e.quantity = quantity;
        e.materialPrice = material;
        e.sellingPrice = selling;
        return e;
    }
    pr::PostedWorkOrder Post(int number = 0, int destination = 0) {
        return pr::PostWorkOrder(*session, codes,
                                 {number, QDate(2026, 3, 3), QStringLiteral("Serija"),
                                  destination ? destination : store});
    }
    // Rows of a work order and its receipts anywhere: what a refused posting must not leave.
    int Written() {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI\"")) +
               Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA\"")) +
               Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI\"")) +
               Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"TIP_PRIMKE\" = 3"));
    }
    struct BookRow {
        QString description;
        double value = 0;
    };
    std::optional<BookRow> Book(int warehouse, const QString& type, int number) {
        Statement row = db().Prepare(QStringLiteral(
            "SELECT \"OPIS\", \"NABAVA_VRIJEDNOST\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
            "\"SKLADISTE\" = ? AND \"TIP_DOKUMENTA\" = ? AND \"BROJ_DOKUMENTA\" = ?"));
        row.Exec({warehouse, type, number});
        if (!row.Next()) {
            return std::nullopt;
        }
        return BookRow{row.Text(0), row.Double(1)};
    }

    int table = 0;
    int leg = 0;
    int bill = 0;
    int firstLot = 0;
    int secondLot = 0;
    int store = 0;
    pr::WorkOrderCodes codes;
};

// 10 tables × 2 legs: 15 from the first lot, 5 from the second; 10 a unit (8 + 2), sold for 120.
TEST_F(WorkOrderTest, TenUnitsTakePartsFromSeveralLotsAndTheProductLineFollows) {
    EXPECT_EQ(pr::AddProduct(*session, codes, Entry(10)), 1);
    const auto parts = pr::PartLines(*session, codes);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].lot, firstLot);
    EXPECT_DOUBLE_EQ(parts[0].quantity, 15);
    EXPECT_DOUBLE_EQ(parts[0].costPrice, 3);
    EXPECT_EQ(parts[1].lot, secondLot);
    EXPECT_DOUBLE_EQ(parts[1].quantity, 5);
    EXPECT_DOUBLE_EQ(parts[1].sellingPrice, 6);
    EXPECT_DOUBLE_EQ(Free(firstLot), 0);
    EXPECT_DOUBLE_EQ(Free(secondLot), 5);
    EXPECT_DOUBLE_EQ(Stock(secondLot), 10);

    const auto products = pr::ProductLines(*session, codes);
    ASSERT_EQ(products.size(), 1u);
    const pr::ProductLine& p = products.front();
    EXPECT_DOUBLE_EQ(p.costPrice, 10);
    EXPECT_DOUBLE_EQ(p.costValue, 100);
    EXPECT_DOUBLE_EQ(p.value, 120);
    EXPECT_DOUBLE_EQ(p.marginAmount, 20);
    EXPECT_NEAR(p.marginPercent, 20, 1e-9);
    EXPECT_DOUBLE_EQ(p.dependentValue, 20);

    const auto costs = pr::CostLines(*session, codes);
    ASSERT_EQ(costs.size(), 1u);
    EXPECT_EQ(costs[0].description, QStringLiteral("Rad"));
    EXPECT_DOUBLE_EQ(costs[0].quantity, 10);
    EXPECT_DOUBLE_EQ(costs[0].value, 20);
    EXPECT_EQ(costs[0].product, table);
}

// The entry's checks in the window's order, each stopping before the next; nothing is written.
TEST_F(WorkOrderTest, EntryChecksInOrder) {
    pr::ProductEntry none = Entry(0, 0, 0);
    none.product = 0;
    EXPECT_REFUSED(pr::AddProduct(*session, codes, none), "Nije izabran artikal !");
    pr::ProductEntry noBill = Entry(1);
    noBill.product = leg;
    EXPECT_REFUSED(pr::AddProduct(*session, codes, noBill), "Nije izabran artikal !");
    EXPECT_REFUSED(pr::AddProduct(*session, codes, Entry(0, 0, 0)), "Količina nesmije biti nula !");
    EXPECT_REFUSED(pr::AddProduct(*session, codes, Entry(1, 0, 0)),
                   "Proizvodna cijena nesmije biti nula !");
    EXPECT_REFUSED(pr::AddProduct(*session, codes, Entry(1, 8, 0)),
                   "Prodajna cijena nesmije biti nula !");
    EXPECT_THROW(pr::AddProduct(*session, codes, Entry(std::numeric_limits<double>::quiet_NaN())),
                 UserError);
    EXPECT_THROW(pr::AddProduct(*session, codes, Entry(1, std::numeric_limits<double>::infinity())),
                 UserError);
    EXPECT_TRUE(pr::PartLines(*session, codes).empty());
    EXPECT_TRUE(pr::ProductLines(*session, codes).empty());
    EXPECT_DOUBLE_EQ(Free(firstLot), 15);
}

// Quantities in (0, 1e9) and prices in [0, 1e12); a refused edit leaves the bill as it was.
TEST_F(WorkOrderTest, TheBillRefusesNumbersOutOfRange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const QVariant& q : {QVariant(nan), QVariant(inf), QVariant(-inf), QVariant(1e9),
                              QVariant(QStringLiteral("nan")), QVariant(QStringLiteral("1e3"))}) {
        EXPECT_REFUSED(bom::SetPart(db(), bill, leg, q), "Količina nije ispravno upisana");
        EXPECT_REFUSED(bom::AddCost(db(), bill, QStringLiteral("Lak"), q, QStringLiteral("1")),
                       "Količina nije ispravno upisana");
    }
    for (const QVariant& p : {QVariant(nan), QVariant(inf), QVariant(-0.01), QVariant(1e12)}) {
        EXPECT_REFUSED(bom::AddCost(db(), bill, QStringLiteral("Lak"), QStringLiteral("1"), p),
                       "Cijena nije ispravno upisana");
    }
    ASSERT_EQ(bom::Parts(db(), bill).size(), 1u);
    EXPECT_DOUBLE_EQ(bom::Parts(db(), bill).front().quantity, 2);
    EXPECT_EQ(bom::Costs(db(), bill).size(), 1u);
    bom::SetPart(db(), bill, leg, 999999999.0);
    EXPECT_DOUBLE_EQ(bom::Parts(db(), bill).front().quantity, 999999999.0);
    bom::AddCost(db(), bill, QStringLiteral("Lak"), QStringLiteral("0,5"), 999999999999.0);
    EXPECT_EQ(bom::Costs(db(), bill).size(), 2u);
}

// A fixed lot too small, another workstation's reservation and a part never stocked.
TEST_F(WorkOrderTest, ShortStockWarnsWithTheMissingQuantity) {
    const int chair = docs->AddArticle(QStringLiteral("Stolica"));
    const int seat = docs->AddArticle(QStringLiteral("Sjedalo"));
    const int seatLot = docs->Receipt({{seat, 5, 2.00, 4.00}});
    docs->Receipt({{seat, 50, 2.00, 4.00}});
    const int chairs = bom::Add(db(), chair);
    bom::SetPart(db(), chairs, seat, QStringLiteral("2"), seatLot);
    const QString fixedShort = QStringLiteral(
        "Nedovoljna zaliha artikla Sjedalo po izabranoj primci u sastavnici. Količina će biti "
        "postavljena na najveću dopuštenu vrijednost. Potrebno je još 1");
    pr::QuantityCheck check = pr::CheckProductQuantity(*session, chair, 3);
    ASSERT_EQ(check.warnings.size(), 1);
    EXPECT_EQ(check.warnings.front(), fixedShort);
    EXPECT_DOUBLE_EQ(check.allowed, 2.5);
    pr::ProductEntry e = Entry(3);
    e.product = chair;
    EXPECT_REFUSED(pr::AddProduct(*session, codes, e), fixedShort);
    EXPECT_TRUE(pr::PartLines(*session, codes).empty());
    e.quantity = 2.5;
    pr::AddProduct(*session, codes, e);
    EXPECT_EQ(pr::PartLines(*session, codes).front().lot, seatLot);

    // The other workstation holds 20 legs; 25 were there, so 3 tables (6 legs) miss 1.
    auto other = StartSession(1);
    pr::AddProduct(*other, pr::SessionCodes(*other), Entry(10));
    check = pr::CheckProductQuantity(*session, table, 3);
    ASSERT_EQ(check.warnings.size(), 1);
    EXPECT_EQ(check.warnings.front(),
              QStringLiteral("Nedovoljna zaliha artikla Noga. Količina će biti postavljena na "
                             "najveću dopuštenu vrijednost. Potrebno je još 1"));
    EXPECT_DOUBLE_EQ(check.allowed, 2.5);
    EXPECT_TRUE(pr::CheckProductQuantity(*session, table, 2.5).warnings.isEmpty());

    const int lamp = docs->AddArticle(QStringLiteral("Lampa"));
    const int bulb = docs->AddArticle(QStringLiteral("Žarulja"));
    bom::SetPart(db(), bom::Add(db(), lamp), bulb, QStringLiteral("1"));
    check = pr::CheckProductQuantity(*session, lamp, 1);
    EXPECT_EQ(check.warnings,
              QStringList{QStringLiteral("Na ovom skladištu nema podataka o artiklu 'Žarulja")});
    EXPECT_DOUBLE_EQ(check.allowed, 0);
}

// Only the last product line goes, after the question, with its costs and parts.
TEST_F(WorkOrderTest, OnlyTheLastProductLineIsDeleted) {
    pr::AddProduct(*session, codes, Entry(5));  // 10 legs of the first lot
    pr::AddProduct(*session, codes, Entry(4));  // 5 of the first, 3 of the second
    EXPECT_DOUBLE_EQ(Free(firstLot), 0);
    EXPECT_REFUSED(pr::RemoveProductLine(*session, prompter, codes, 1),
                   "Brisati možete samo zadnju stavku !");
    EXPECT_REFUSED(pr::RemoveProductLine(*session, codes, 1),
                   "Brisati možete samo zadnju stavku !");
    prompter.AnswerNo();
    EXPECT_FALSE(pr::RemoveProductLine(*session, prompter, codes, 2));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Želite li izbrisati stavku ?"));
    EXPECT_EQ(pr::ProductLines(*session, codes).size(), 2u);
    prompter.AnswerYes();
    EXPECT_TRUE(pr::RemoveProductLine(*session, prompter, codes, 2));
    ASSERT_EQ(pr::ProductLines(*session, codes).size(), 1u);
    const auto parts = pr::PartLines(*session, codes);
    ASSERT_EQ(parts.size(), 1u);
    EXPECT_DOUBLE_EQ(parts[0].quantity, 10);
    EXPECT_DOUBLE_EQ(Free(firstLot), 5);
    EXPECT_DOUBLE_EQ(Free(secondLot), 10);
    ASSERT_EQ(pr::CostLines(*session, codes).size(), 1u);
    EXPECT_DOUBLE_EQ(pr::CostLines(*session, codes)[0].quantity, 5);
}

// Saved unposted: the window empties, the reservations stay, and it comes back whole.
TEST_F(WorkOrderTest, SavedWorkOrderComesBack) {
    pr::AddProduct(*session, codes, Entry(3));
    pr::SaveOpenWorkOrder(*session, codes, {7, QDate(2026, 3, 3), QStringLiteral("Za sajam")});
    EXPECT_TRUE(pr::ProductLines(*session, codes).empty());
    EXPECT_TRUE(pr::PartLines(*session, codes).empty());
    EXPECT_DOUBLE_EQ(Free(firstLot), 9);
    ASSERT_EQ(pr::OpenWorkOrders(*session).size(), 1u);
    pr::AddProduct(*session, codes, Entry(1));
    EXPECT_REFUSED(
        pr::SaveOpenWorkOrder(*session, codes, {7, QDate(2026, 3, 3), QStringLiteral("x")}),
        "Otvoreni radni nalog broj 7 već postoji");
    EXPECT_REFUSED(pr::LoadOpenWorkOrder(*session, codes, 7), "Radni nalog već ima stavke.");
    pr::ClearWorkOrder(*session, codes);
    EXPECT_DOUBLE_EQ(Free(firstLot), 9);
    const pr::OpenWorkOrder loaded = pr::LoadOpenWorkOrder(*session, codes, 7);
    EXPECT_EQ(loaded.description, QStringLiteral("Za sajam"));
    EXPECT_EQ(pr::ProductLines(*session, codes).size(), 1u);
    EXPECT_DOUBLE_EQ(pr::PartLines(*session, codes)[0].quantity, 6);
    EXPECT_EQ(pr::CostLines(*session, codes).size(), 1u);
    EXPECT_TRUE(pr::OpenWorkOrders(*session).empty());
    // Posted under the number it was saved with, its row is gone for good.
    pr::SaveOpenWorkOrder(*session, codes, {7, QDate(2026, 3, 3), QString()});
    pr::LoadOpenWorkOrder(*session, codes, 7);
    EXPECT_EQ(Post(7).number, 7);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"OtvoreniDokumenti\"")), 0);
    // Another order posted under the number a saved one carries leaves the saved one alone.
    pr::AddProduct(*session, codes, Entry(1));
    pr::SaveOpenWorkOrder(*session, codes, {8, QDate(2026, 3, 3), QString()});
    pr::AddProduct(*session, codes, Entry(1));
    EXPECT_EQ(Post(8).number, 8);
    ASSERT_EQ(pr::OpenWorkOrders(*session).size(), 1u);
    pr::LoadOpenWorkOrder(*session, codes, 8);
    EXPECT_EQ(pr::ProductLines(*session, codes).size(), 1u);
}

// Posting: the type-3 receipt from 200001, the header, both book entries; a taken number gives
// the next.
TEST_F(WorkOrderTest, PostingWritesTheReceiptTheOrderAndBothBooks) {
    pr::AddProduct(*session, codes, Entry(10));
    const pr::PostedWorkOrder posted = Post();
    EXPECT_EQ(posted.number, 1);
    EXPECT_EQ(posted.receipt, 200001);
    Statement receipt = db().Prepare(
        QStringLiteral("SELECT \"DOKUMENT DOBAVLJACA\", \"TIP_PRIMKE\" FROM \"PRIMKE\" WHERE "
                       "\"SKLADISTE\" = ? AND \"BROJ PRIMKE\" = 200001"));
    receipt.Exec({store});
    ASSERT_TRUE(receipt.Next());
    EXPECT_EQ(receipt.Text(0),
              QStringLiteral("Radni nalog br. 1/Skladište:") + session->activeWarehouse.name);
    EXPECT_EQ(receipt.Int(1), 3);
    receipt.Finish();
    const stock::Lot made = LotOf(db(), store, Year(), 200001, table);
    EXPECT_DOUBLE_EQ(made.quantity, 10);
    EXPECT_DOUBLE_EQ(made.costPrice, 10);
    EXPECT_DOUBLE_EQ(made.sellingPrice, 12);
    EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), leg), 5);

    const auto in = Book(store, QStringLiteral("PRIMKA"), 200001);
    ASSERT_TRUE(in);
    EXPECT_EQ(in->description, QStringLiteral("PRIMKA-RAD.NALOG 1"));
    EXPECT_DOUBLE_EQ(in->value, 120);
    const auto out = Book(1, QStringLiteral("RADNI NALOG"), 1);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->description, QStringLiteral("RADNI NALOG 1"));
    EXPECT_DOUBLE_EQ(out->value, -(15 * 5.0 + 5 * 6.0));
    Statement header = db().Prepare(QStringLiteral(
        "SELECT \"BROJ_PRIMKE\", \"ODREDISNO_SKLADISTE\", \"NABAVNA_VRIJEDNOST\", "
        "\"PRODAJNA_VRIJEDNOST\" FROM \"RADNI_NALOZI\" WHERE \"BROJ_RADNOG_NALOGA\" = 1"));
    header.Exec();
    ASSERT_TRUE(header.Next());
    EXPECT_EQ(header.Int(0), 200001);
    EXPECT_EQ(header.Int(1), store);
    EXPECT_DOUBLE_EQ(header.Double(2), 15 * 3.0 + 5 * 4.0);
    EXPECT_DOUBLE_EQ(header.Double(3), 105);
    header.Finish();
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA\"")), 2);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RADNIH_NALOGA_TROSKOVI\" WHERE "
                                   "\"BROJ_RADNOG_NALOGA\" = 1 AND \"VRIJEDNOST\" = 20")),
              1);
    EXPECT_TRUE(pr::PartLines(*session, codes).empty());
    EXPECT_TRUE(pr::ProductLines(*session, codes).empty());
    EXPECT_DOUBLE_EQ(Free(secondLot), 5);
    ExpectBooksAgree(db(), 1, Year());
    ExpectBooksAgree(db(), store, Year());

    pr::AddProduct(*session, codes, Entry(1));
    const pr::PostedWorkOrder second = Post(1);
    EXPECT_EQ(second.number, 2);
    EXPECT_EQ(second.receipt, 200002);
    EXPECT_EQ(pr::PostedMessage(second.number),
              QStringLiteral("Radni nalog je proknjižen pod brojem 2"));
    EXPECT_REFUSED(Post(), "Dokument nema niti jedne stavke !");
}

// Under each method: posted and deleted with both warehouses' books agreeing.
TEST_F(WorkOrderTest, PostedAndDeletedUnderEachMethod) {
    for (StockMethod method : {StockMethod::Fifo, StockMethod::Average, StockMethod::LastPrice}) {
        SCOPED_TRACE(StockMethodText(method).toStdString());
        UseMethod(method);
        const int part = docs->AddArticle(QStringLiteral("Vijak ") + StockMethodText(method));
        const int product = docs->AddArticle(QStringLiteral("Polica ") + StockMethodText(method));
        bom::SetPart(db(), bom::Add(db(), product), part, QStringLiteral("4"));
        docs->Receipt({{part, 10, 1.00, 2.00}});
        docs->Receipt({{part, 10, 1.50, 2.00}});
        pr::ProductEntry e = Entry(3, 5, 9);
        e.product = product;
        e.dependentCost = 1;
        pr::AddProduct(*session, codes, e);
        const pr::PostedWorkOrder posted = Post();
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), part), 8);
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), store, Year(), product), 3);
        const int lot = method == StockMethod::Fifo ? posted.receipt : stock::kPooledLot;
        EXPECT_DOUBLE_EQ(LotOf(db(), store, Year(), lot, product).costPrice, 6);
        ExpectBooksAgree(db(), 1, Year());
        ExpectBooksAgree(db(), store, Year());
        pr::DeleteWorkOrder(*session, posted.number, false);
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), part), 20);
        EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), store, Year(), product), 0);
        ExpectBooksAgree(db(), 1, Year());
        ExpectBooksAgree(db(), store, Year());
        if (method != StockMethod::Fifo) {
            ExpectPooledLotFollowsReplay(db(), 1, Year(), part);
        }
    }
}

// A lot repriced meanwhile refuses the posting inside its transaction: nothing is left.
TEST_F(WorkOrderTest, RefusedPostingLeavesNothingAndKeepsTheWorkingCopy) {
    pr::AddProduct(*session, codes, Entry(10));
    docs->PriceChange({{leg, secondLot, 7.00}});
    const int entries =
        Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\""));
    EXPECT_REFUSED(Post(), "Promijenjena je cijena artikla Noga");
    EXPECT_EQ(Written(), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\"")),
              entries);
    EXPECT_DOUBLE_EQ(Stock(firstLot), 15);
    EXPECT_DOUBLE_EQ(Free(secondLot), 5);
    EXPECT_EQ(pr::PartLines(*session, codes).size(), 2u);
    EXPECT_EQ(pr::ProductLines(*session, codes).size(), 1u);
    EXPECT_REFUSED(pr::PostWorkOrder(*session, codes, {0, QDate(2026, 3, 3), QString(), 999}),
                   "Nije izabrano odredišno skladište !");
    EXPECT_EQ(Written(), 0);
}

// Deletion and each guard that refuses it.
TEST_F(WorkOrderTest, DeletionGuardsOnBothSides) {
    EXPECT_REFUSED(pr::DeleteWorkOrder(*session, prompter, 9),
                   "Ne postoji proknjiženi radni nalog broj 9");
    pr::AddProduct(*session, codes, Entry(2));
    const int first = Post().number;
    prompter.AnswerNo();
    EXPECT_FALSE(pr::DeleteWorkOrder(*session, prompter, first));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Želite li izbrisati radni nalog!"));
    prompter.AnswerYes();
    EXPECT_TRUE(pr::DeleteWorkOrder(*session, prompter, first));
    EXPECT_EQ(Written(), 0);
    EXPECT_DOUBLE_EQ(Stock(firstLot), 15);
    EXPECT_FALSE(Book(1, QStringLiteral("RADNI NALOG"), first));
    EXPECT_FALSE(Book(store, QStringLiteral("PRIMKA"), 200001));
    ExpectBooksAgree(db(), 1, Year());
    ExpectBooksAgree(db(), store, Year());

    // Products issued from the receipt keep it, and so the order.
    pr::AddProduct(*session, codes, Entry(2));
    const pr::PostedWorkOrder here = Post(0, 1);
    docs->Post(Issue::IssueNote, {{table, 1, here.receipt}});
    prompter.AnswerYes();
    try {
        pr::DeleteWorkOrder(*session, prompter, here.number);
        ADD_FAILURE() << "deleted with its products issued";
    } catch (const UserError& e) {
        EXPECT_TRUE(e.message().endsWith(
            QStringLiteral("\nZbog nemogućnosti storniranja primke storno radnog naloga je "
                           "prekinut")))
            << e.message().toStdString();
    }

    // A lot repriced after the order.
    pr::AddProduct(*session, codes, Entry(1));
    const int third = Post().number;
    docs->PriceChange({{leg, firstLot, 5.50}});
    EXPECT_REFUSED(pr::CheckWorkOrderCanBeDeleted(*session, third),
                   "Ovaj radni nalog nemožete izbrisati jer artikal Noga ima na radnom nalogu "
                   "cijenu 5 a na skladištu cijenu 5,5");

    // A stock count of a lot it took from (15 less 4, 2 and 2 are left in it).
    pr::AddProduct(*session, codes, Entry(1));
    const int fourth = Post().number;
    docs->StockCount({{leg, firstLot, 7}});
    EXPECT_REFUSED(pr::DeleteWorkOrder(*session, fourth, false),
                   "Ovaj radni nalog nemožete stornirati jer su na artiklima iz radnog naloga "
                   "nakon njegovog knjiženja rađene inventure.");
}

// The receipt deleted on its own: No keeps the order, Yes deletes it without the receipt.
TEST_F(WorkOrderTest, DeletionAsksWhenTheReceiptIsGone) {
    pr::AddProduct(*session, codes, Entry(2));
    const pr::PostedWorkOrder posted = Post(0, 1);
    docs->DeleteReceipt(posted.receipt);
    EXPECT_FALSE(pr::CheckWorkOrderCanBeDeleted(*session, posted.number));
    EXPECT_REFUSED(pr::DeleteWorkOrder(*session, posted.number, false),
                   "Zbog nemogućnosti storniranja primke storno radnog naloga je prekinut");
    prompter.AnswerYes();
    prompter.AnswerNo();
    EXPECT_FALSE(pr::DeleteWorkOrder(*session, prompter, posted.number));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Odredišna primka je već stornirana. Želite li nastaviti sa stornom "
                             "radnog naloga!"));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI\"")), 1);
    prompter.AnswerYes();
    prompter.AnswerYes();
    EXPECT_TRUE(pr::DeleteWorkOrder(*session, prompter, posted.number));
    EXPECT_EQ(Written(), 0);
    EXPECT_DOUBLE_EQ(stock::ArticleStock(db(), 1, Year(), leg), 25);
    ExpectBooksAgree(db(), 1, Year());
}

// Products made for a sale live and die with the sale's transaction.
TEST_F(WorkOrderTest, ProductsForASaleLiveAndDieWithItsTransaction) {
    const int sessions = Count(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\""));
    {
        Transaction sale(db());
        const stock::LotKey lot = pr::ProduceForSale(*session, table, 2, 12, QDate(2026, 3, 3));
        EXPECT_EQ(lot.warehouse, 1);
        EXPECT_EQ(lot.lot, 200001);
        const stock::Lot made = LotOf(db(), 1, Year(), lot.lot, table);
        EXPECT_DOUBLE_EQ(made.quantity, 2);
        EXPECT_DOUBLE_EQ(made.costPrice, 3 * 2 + 2);  // two legs at 3, the work at 2
    }
    EXPECT_EQ(Written(), 0);
    EXPECT_DOUBLE_EQ(Stock(firstLot), 15);

    Transaction sale(db());
    pr::ProduceForSale(*session, table, 2, 12, QDate(2026, 3, 3));
    EXPECT_REFUSED(pr::ProduceForSale(*session, table, 20, 12, QDate(2026, 3, 3)),
                   "Nedovoljna zaliha artikla Noga. Količina će biti postavljena na najveću "
                   "dopuštenu vrijednost. Potrebno je još 19");
    sale.Commit();
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"RADNI_NALOZI\"")), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), sessions);
    EXPECT_DOUBLE_EQ(Stock(firstLot), 11);
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace
