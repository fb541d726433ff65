// The register's composite line (Home): price, the parts' stock cut and refusal, merging, and
// the sale at F12 producing the products by a work order inside the sale's transaction.

#include "registers/BillsOfMaterials.h"
#include "retail/RetailTest.h"
#include "stock/StockCheck.h"

namespace zodra::test {
namespace {

namespace bom = zodra::registers::billsofmaterials;

// A sandwich made of two breads and 5.00 of work.
class CompositeRegisterTest : public RetailTest {
protected:
    void SetUp() override {
        RetailTest::SetUp();
        sandwich = docs->AddArticle(QStringLiteral("Sendvič"));
        const int bill = bom::Add(db(), sandwich);
        bom::SetPart(db(), bill, bread, QStringLiteral("2"));
        bom::AddCost(db(), bill, QStringLiteral("Rad"), QStringLiteral("1"), QStringLiteral("5"));
    }
    int sandwich = 0;
};

TEST_F(CompositeRegisterTest, HomeLineIsProducedAtF12AndSoldFromTheProducedLot) {
    retail::TillSale sale = Open(*session);
    sale.cashier = QStringLiteral("Ana");
    // Never produced: no price to propose at the register.
    ExpectRefused([&] { retail::AddRegisterCompositeLine(*session, sale, sandwich, 1); },
                  QStringLiteral("Nije pronađena cijena artikla."));
    // 6 sandwiches need 12 breads of 10: cut to 5 with the production's warning.
    const retail::RegisterLineResult added =
        retail::AddRegisterCompositeLine(*session, sale, sandwich, 6, 0, 200.0);
    EXPECT_EQ(added.lineNumber, 1);
    EXPECT_DOUBLE_EQ(added.quantity, 5.0);
    ASSERT_EQ(added.messages.size(), 1u);
    EXPECT_EQ(added.messages[0],
              QStringLiteral("Nedovoljna zaliha artikla Kruh. Količina će biti postavljena na "
                             "najveću dopuštenu vrijednost. Potrebno je još 2"));
    EXPECT_EQ(added.displayName, QStringLiteral("Sendvič"));
    EXPECT_EQ(added.displayAmounts, QStringLiteral("5.00*250.00=1250.00"));
    // Nothing left for another: refused, the line stays as it was.
    ExpectRefused([&] { retail::AddRegisterCompositeLine(*session, sale, sandwich, 1, 0, 200.0); },
                  QStringLiteral("Nedovoljna zaliha artikla Kruh. Količina će biti postavljena "
                                 "na najveću dopuštenu vrijednost. Potrebno je još 2"));
    EXPECT_DOUBLE_EQ(FreeOf(firstLot, bread), 10.0);  // parts are taken at F12, not before

    const auto posted = retail::PostRetailSale(*session, sale, 1);
    ASSERT_TRUE(posted);
    EXPECT_DOUBLE_EQ(posted->total, 1250.0);
    EXPECT_EQ(Rows("RADNI_NALOZI"), 1);
    EXPECT_DOUBLE_EQ(QuantityOf(firstLot, bread), 0.0);
    EXPECT_DOUBLE_EQ(QuantityOf(200001, sandwich), 0.0);
    EXPECT_DOUBLE_EQ(FreeOf(200001, sandwich), 0.0);
    EXPECT_EQ(Count(QStringLiteral("SELECT \"BROJ_PRIMKE\" FROM \"STAVKE_RACUNA\" WHERE "
                                   "\"SIFRA\" = ? AND \"TIP_STAVKE\" = 'ART'"),
                    {sandwich}),
              200001);
    // 4 breads at 80.00 and 5.00 of work a piece: 165.00 a sandwich.
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"NABAVNA_VRIJEDNOST\" FROM \"STAVKE_RACUNA\" "
                                          "WHERE \"SIFRA\" = ?"),
                           {sandwich}),
                     825.0);
    EXPECT_FALSE(posted->priceChange);
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));

    // The next sale proposes the produced lot's price with its margin (none): 200.00.
    retail::TillSale next = Open(*session);
    EXPECT_DOUBLE_EQ(sales::ProposeComposite(*session, next.draft, sandwich).price, 200.0);
    retail::CloseTillSale(*session, next);
}

TEST_F(CompositeRegisterTest, AShortageAtF12LeavesNothingAndTheLinesOnTheRegister) {
    retail::TillSale sale = Open(*session);
    retail::AddRegisterCompositeLine(*session, sale, sandwich, 4, 0, 200.0);
    // Another register sells 3 breads meanwhile: 7 left, 8 needed.
    retail::TillSale other = Open(*session);
    Add(other, bread, 3);
    ASSERT_TRUE(retail::PostRetailSale(*session, other, 0));
    ExpectRefused([&] { retail::PostRetailSale(*session, sale, 0); },
                  QStringLiteral("Nedovoljna zaliha artikla Kruh. Količina će biti postavljena "
                                 "na najveću dopuštenu vrijednost. Potrebno je još 1"));
    EXPECT_EQ(Rows("RADNI_NALOZI"), 0);
    EXPECT_EQ(Rows("RACUNI"), 1);
    EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO", "\"TIP_STAVKE\" = 'SLA' AND \"Multiuser_sifra\" = ?",
                   {sale.draft.sessionCode}),
              1);
    EXPECT_DOUBLE_EQ(QuantityOf(firstLot, bread), 7.0);
    // F8 removes it; the register closes clean.
    retail::DeleteRegisterLine(*session, sale, 1);
    retail::CloseTillSale(*session, sale);
    EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO"), 0);
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));
}

}  // namespace
}  // namespace zodra::test
