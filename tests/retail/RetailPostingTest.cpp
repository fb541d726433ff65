#include <cmath>
#include "data/Database.h"
#include "data/InputLimits.h"
#include "data/ScriptedPrompter.h"
#include "retail/RetailPayment.h"
#include "retail/RetailTest.h"
#include "stock/StockCheck.h"

namespace zodra::test {
namespace {

class RetailPostingTest : public RetailTest {
protected:
    retail::TillSale SaleOfTwo(Session& s) {
        retail::TillSale sale = Open(s);
        sale.cashier = QStringLiteral("Ana");
        retail::ScanBarcode(s, sale, QStringLiteral("3850001000012"));
        retail::ScanBarcode(s, sale, QStringLiteral("3850001000012"));
        return sale;
    }
    QString TradeBook(int number) {
        return db()
            .Scalar(QStringLiteral("SELECT \"TIP_DOKUMENTA\" || '|' || \"OPIS\" FROM "
                                   "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"BROJ_DOKUMENTA\" = ? "
                                   "AND \"TIP_DOKUMENTA\" = '1RAČUN'"),
                    {number})
            .toString();
    }
};

TEST_F(RetailPostingTest, F12PostsTheRetailInvoiceTakesTheLotAndWritesTheTradeBook) {
    retail::TillSale empty = Open(*session);
    EXPECT_FALSE(retail::PostRetailSale(*session, empty, 1));

    retail::TillSale sale = SaleOfTwo(*session);
    const auto posted = retail::PostRetailSale(*session, sale, 1);
    ASSERT_TRUE(posted);
    EXPECT_EQ(posted->number, 1);
    EXPECT_DOUBLE_EQ(posted->total, 312.5);
    Statement h = db().Prepare(QStringLiteral(
        "SELECT \"PLACENO\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"NACIN ISPORUKE\", "
        "\"NACIN PLACANJA\", \"KORISNIK\", \"SKIDA\", \"NAKNADNO_SKIDANJE\", \"ISPORUKA NAZIV\" "
        "FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1 AND \"BROJ RACUNA\" = 1"));
    h.Exec();
    ASSERT_TRUE(h.Next());
    EXPECT_EQ(h.Int(0), 1);
    EXPECT_EQ(h.Int(1), retail::RetailCustomer(db()));
    EXPECT_EQ(h.Int(2), 1);
    EXPECT_EQ(h.Text(3), QStringLiteral("osobno"));
    EXPECT_EQ(h.Text(4), QStringLiteral("gotovinom"));
    EXPECT_EQ(h.Text(5), QStringLiteral("Ana"));
    EXPECT_EQ(h.Int(6), 1);
    EXPECT_EQ(h.Int(7), 0);
    EXPECT_EQ(h.Text(8), QStringLiteral("Kupac u maloprodaji"));
    h.Finish();
    EXPECT_EQ(TradeBook(1), QStringLiteral("1RAČUN|RAČUN 1 Maloprodaja"));
    EXPECT_DOUBLE_EQ(QuantityOf(firstLot, bread), 8);
    EXPECT_DOUBLE_EQ(FreeOf(firstLot, bread), 8);
    EXPECT_EQ(Rows("STAVKE_RACUNA_PRIVREMENO"), 0);
    // The retail price carries the margin; the lot keeps its price without it: no price change.
    EXPECT_FALSE(posted->priceChange);
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));

    // The number shown was taken meanwhile: the next one.
    retail::TillSale again = SaleOfTwo(*session);
    const auto second = retail::PostRetailSale(*session, again, 1);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->number, 2);
    EXPECT_TRUE(second->numberChanged);
    EXPECT_EQ(TradeBook(2), QStringLiteral("1RAČUN|RAČUN 2 Maloprodaja"));
}

TEST_F(RetailPostingTest, DeferredModeMovesNoLotAndMarksTheHeader) {
    session->company.deferredRegisterStock = true;
    retail::TillSale sale = SaleOfTwo(*session);
    const auto posted = retail::PostRetailSale(*session, sale, 0);
    ASSERT_TRUE(posted);
    EXPECT_EQ(Rows("RACUNI",
                   "\"BROJ RACUNA\" = ? AND \"NAKNADNO_SKIDANJE\" = TRUE AND "
                   "\"SKIDA\" = FALSE",
                   {posted->number}),
              1);
    EXPECT_DOUBLE_EQ(QuantityOf(firstLot, bread), 10);
    EXPECT_DOUBLE_EQ(FreeOf(firstLot, bread), 10);
    EXPECT_EQ(Rows("STAVKE_RACUNA"), 1);
}

TEST_F(RetailPostingTest, SummingModeWritesTheDetailFileOnlyWithItsOwnNumbers) {
    session->company.sumRetailInvoices = true;
    const int bookRows = Rows("TRGOVACKA_KNJIGA_VELEPRODAJE");
    retail::TillSale sale = SaleOfTwo(*session);
    const int proposed = retail::ProposedRetailNumber(*session, sale);
    const auto posted = retail::PostRetailSale(*session, sale, proposed);
    ASSERT_TRUE(posted);
    EXPECT_TRUE(posted->detailed);
    EXPECT_EQ(posted->number, proposed);
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_EQ(
        Rows("RACUNI_DETALJNO", "\"BROJ RACUNA\" = ? AND \"KORISNIK\" = 'Ana'", {posted->number}),
        1);
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "STAVKE_RACUNA_DETALJNO"), 2);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), bookRows);
    EXPECT_DOUBLE_EQ(QuantityOf(firstLot, bread), 10);
    EXPECT_DOUBLE_EQ(FreeOf(firstLot, bread), 10);
    retail::TillSale next = SaleOfTwo(*session);
    EXPECT_EQ(retail::ProposedRetailNumber(*session, next), posted->number + 1);

    ScriptedPrompter asked;
    EXPECT_TRUE(retail::RecordRetailPayment(
        db(), asked,
        {1, 1, Year(), posted->number, QDate(2026, 3, 10), retail::RetailCustomer(db()), 312.5,
         312.5, 0, 0, std::nullopt, true}));
    EXPECT_EQ(Rows("NAPLATA_DETALJNO", "\"Tip\" = 'gotovina' AND \"Opis dokumenta\" = ?",
                   {QStringLiteral("Račun m. br. ") + QString::number(posted->number)}),
              1);
    EXPECT_EQ(Rows("UPLATE"), 0);
    EXPECT_EQ(Rows("NAPLATA"), 0);
}

TEST_F(RetailPostingTest, ARefusalLeavesNothingAndKeepsTheLines) {
    retail::TillSale sale = SaleOfTwo(*session);
    db().Exec(QStringLiteral("UPDATE \"STAVKE_RACUNA_PRIVREMENO\" SET \"UKUPNO_\" = NULL"));
    const int bookRows = Rows("TRGOVACKA_KNJIGA_VELEPRODAJE");
    EXPECT_THROW(retail::PostRetailSale(*session, sale, 1), UserError);
    EXPECT_EQ(Rows("RACUNI"), 0);
    EXPECT_EQ(Rows("TRGOVACKA_KNJIGA_VELEPRODAJE"), bookRows);
    EXPECT_DOUBLE_EQ(QuantityOf(firstLot, bread), 10);
    EXPECT_EQ(sales::WorkingLinesOf(db(), sale.draft.sessionCode).size(), 1u);
}

TEST_F(RetailPostingTest, PaymentChecksRoundingAndRowsInTheOrderCashChequeCard) {
    db().Exec(
        QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"SIFRA\", \"NAZIV\") VALUES (2, 'Visa')"));
    const int customer = retail::RetailCustomer(db());
    retail::RetailPaymentInput in{1,     1, Year(), 7, QDate(2026, 3, 10), customer,
                                  100.0, 0, 0,      0, std::nullopt,       false};
    ScriptedPrompter asked;

    in.cash = 60.01;
    in.card = 40;
    in.cardType = 2;
    ExpectRefused([&] { retail::RecordRetailPayment(db(), asked, in); },
                  retail::PaymentExceedsMessage());
    in.cash = 50;
    in.cardType = std::nullopt;
    asked.AnswerNo();
    EXPECT_FALSE(retail::RecordRetailPayment(db(), asked, in));
    ASSERT_EQ(asked.Shown().size(), 1);
    EXPECT_EQ(asked.Shown()[0], retail::PaymentDiffersQuestion());
    asked.AnswerYes();
    ExpectRefused([&] { retail::RecordRetailPayment(db(), asked, in); },
                  retail::NoCardTypeMessage());
    in.cash = std::nan("");
    ExpectRefused([&] { retail::RecordRetailPayment(db(), asked, in); },
                  limits::NotANumberMessage(QStringLiteral("Gotovina")));
    EXPECT_EQ(Rows("UPLATE"), 0);

    // 99.995 is 100.00 at the cent: no question.
    const auto shown = asked.Shown().size();
    in.cash = 59.995;
    in.cheques = 0;
    in.card = 40;
    in.cardType = 2;
    EXPECT_TRUE(retail::RecordRetailPayment(db(), asked, in));
    EXPECT_EQ(asked.Shown().size(), shown);
    // One payment and its collection per kind, cash first; only the card names its type.
    Statement rows = db().Prepare(QStringLiteral(
        "SELECT u.\"Tip\", u.\"Iznos\", u.\"Tip kartice\", u.\"Opis\", u.\"Partner\", "
        "n.\"Broj računa\", n.\"Opis dokumenta\" FROM \"UPLATE\" u JOIN \"NAPLATA\" n ON "
        "n.\"Sifra uplate\" = u.\"Sifra\" ORDER BY u.\"Sifra\""));
    rows.Exec();
    QStringList written;
    while (rows.Next()) {
        written << QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                       .arg(rows.Text(0), QString::number(rows.Double(1)),
                            rows.IsNull(2) ? QStringLiteral("-") : rows.Text(2), rows.Text(3))
                       .arg(rows.Int(4))
                       .arg(rows.Int(5))
                       .arg(rows.Text(6));
    }
    const QString tail = QStringLiteral("|Račun m. br. 7|%1|7|Račun m. br. 7").arg(customer);
    EXPECT_EQ(written, (QStringList{QStringLiteral("gotovina|59.995|-") + tail,
                                    QStringLiteral("kartica|40|2") + tail}));
    EXPECT_DOUBLE_EQ(retail::Change(150, 125.5), 24.5);
}

}  // namespace
}  // namespace zodra::test

namespace zodra::test {
namespace {

// The register's warehouse has 10, the shop's store (warehouse 2) 20: a sale of 12 takes the 10
// and brings 2 by a generated transfer, in the invoice's transaction.
class RetailTransferTest : public RetailPostingTest,
                           public ::testing::WithParamInterface<StockMethod> {};

TEST_P(RetailTransferTest, MissingGoodsComeByAGeneratedTransferFromTheChosenWarehouse) {
    UseMethod(GetParam());
    // A fresh first lot under the method of this run.
    ForgetStock();
    firstLot = docs->Receipt({{bread, 10, 80, 100, 25.0}});
    const int store = AddWarehouse(db(), QStringLiteral("Skladište"));
    docs->Receipt({{bread, 20, 70, 90, 10.0}}, QDate(2026, 3, 1), store);
    retail::TillSale sale = Open(*session);
    sale.transferWarehouse = store;
    const auto added = Add(sale, bread, 12);
    EXPECT_TRUE(added.messages.empty());
    EXPECT_DOUBLE_EQ(added.quantity, 12);
    const auto posted = retail::PostRetailSale(*session, sale, 0);
    ASSERT_TRUE(posted);
    EXPECT_DOUBLE_EQ(posted->total, 12 * 156.25);
    Statement h = db().Prepare(QStringLiteral(
        "SELECT \"MALOPRODAJNA_MEDUSKLADISNICA\", \"MALOPRODAJNA_PRIMKA\" FROM \"RACUNI\" WHERE "
        "\"BROJ RACUNA\" = ?"));
    h.Exec({posted->number});
    ASSERT_TRUE(h.Next());
    EXPECT_FALSE(h.IsNull(0));
    const int receipt = h.Int(1);
    h.Finish();
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "NABAVE", "\"SKLADISTE\" = ?", {store}), 18);
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "NABAVE", "\"SKLADISTE\" = 1"), 0);
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "STAVKE_RACUNA", "\"BROJ_RACUNA\" = ?", {posted->number}), 12);
    if (GetParam() == StockMethod::Fifo) {
        // The missing 2 sell from the generated receipt's lot on a line of their own.
        EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"KOLICINA\" FROM \"STAVKE_RACUNA\" WHERE "
                                              "\"BROJ_RACUNA\" = ? AND \"BROJ_PRIMKE\" = ?"),
                               {posted->number, receipt}),
                         2);
    }
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), store, Year()));
    EXPECT_EQ(Value(QStringLiteral("SELECT MIN(\"KOLICINA_PRIVREMENO\" - \"KOLICINA\") FROM "
                                   "\"NABAVE\"")),
              0);

    // More than both warehouses hold is cut at entry; without a transfer warehouse the register's
    // stock alone counts.
    retail::TillSale next = Open(*session);
    next.transferWarehouse = store;
    EXPECT_DOUBLE_EQ(Add(next, bread, 30).quantity, 18);
}

INSTANTIATE_TEST_SUITE_P(Methods, RetailTransferTest,
                         ::testing::Values(StockMethod::Fifo, StockMethod::Average));

}  // namespace
}  // namespace zodra::test
