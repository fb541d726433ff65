// The day end's summing of the generated retail transfers and their receipts: per source
// warehouse and day into the first one, up to a date, in the trade book too; twice is once;
// refused under FIFO; the Z step's option, question and date box.

#include "data/ScriptedPrompter.h"
#include "retail/RetailTest.h"
#include "retail/TransferSumming.h"

namespace zodra::test {
namespace {

// The register (warehouse 1) holds 10 loaves, the store 100: every sale beyond the 10 brings
// its loaves by a generated transfer and receipt.
class TransferSummingTest : public RetailTest {
protected:
    void SetUp() override {
        RetailTest::SetUp();
        UseMethod(StockMethod::Average);
        ForgetStock();
        docs->Receipt({{bread, 10, 80, 100, 25.0}});
        store = AddWarehouse(db(), QStringLiteral("Skladište"));
        docs->Receipt({{bread, 100, 70, 90, 10.0}}, QDate(2026, 3, 1), store);
    }

    int Sell(const QDate& date, double quantity) {
        retail::TillSale sale = retail::OpenTillSale(*session, date);
        sale.transferWarehouse = store;
        Add(sale, bread, quantity);
        const auto posted = retail::PostRetailSale(*session, sale, 0);
        retail::CloseTillSale(*session, sale);
        return posted ? posted->number : 0;
    }
    QList<int> Numbers(const QString& sql, const QVariantList& params) {
        Statement rows = db().Prepare(sql);
        rows.Exec(params);
        QList<int> numbers;
        while (rows.Next()) {
            numbers << rows.Int(0);
        }
        return numbers;
    }
    QList<int> Transfers(const QDate& day) {
        return Numbers(QStringLiteral("SELECT \"BROJ_MEDUSKLADISNICE\" FROM "
                                      "\"MALOPRODAJNE_MEDUSKLADISNICE\" WHERE \"DATUM\" = ? "
                                      "ORDER BY 1"),
                       {day});
    }
    QList<int> Receipts(const QDate& day) {
        return Numbers(QStringLiteral("SELECT \"BROJ PRIMKE\" FROM \"PRIMKE\" WHERE "
                                      "\"SKLADISTE\" = 1 AND \"TIP_PRIMKE\" = 2 AND \"DATUM\" = ? "
                                      "ORDER BY 1"),
                       {day});
    }
    double BookSum(int warehouse, const QString& column) {
        return Value(QStringLiteral("SELECT SUM(\"") + column +
                         QStringLiteral("\") FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                        "\"SKLADISTE\" = ?"),
                     {warehouse});
    }
    double LastBalance(int warehouse) {
        return Value(QStringLiteral("SELECT \"STANJE_ROBE\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" "
                                    "WHERE \"SKLADISTE\" = ? ORDER BY \"RBR\" DESC LIMIT 1"),
                     {warehouse});
    }
    // What `zodractl stockcheck` runs: lots against the card, trade-book balances, and the
    // replay of the pooled average against the cost every issue recorded.
    void ExpectStockCheckClean() {
        const ZodractlRun run = RunZodractl({QStringLiteral("stockcheck"), CompanyPath()});
        EXPECT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(
            QStringLiteral("Zalihe, kartice artikala i trgovačke knjige se slažu.")))
            << run.out.toStdString();
    }
    int Entries(int warehouse) {
        return Rows("TRGOVACKA_KNJIGA_VELEPRODAJE", "\"SKLADISTE\" = ?", {warehouse});
    }

    const QDate day1{2026, 3, 10};
    const QDate day2{2026, 3, 11};
    const QDate day3{2026, 3, 12};
    int store = 0;
};

TEST_F(TransferSummingTest, TheDaysTransfersAndReceiptsFoldIntoTheFirstOnceUpToTheDate) {
    const int a = Sell(day1, 12);  // 10 from the register, 2 brought
    const int b = Sell(day1, 3);
    Sell(day1, 1);
    Sell(day2, 2);
    Sell(day3, 4);
    Sell(day3, 5);
    const QList<int> first = Transfers(day1);
    const QList<int> firstReceipts = Receipts(day1);
    ASSERT_EQ(first.size(), 3);
    ASSERT_EQ(firstReceipts.size(), 3);
    const double dayOneTransfers =
        Sum("NABAVA_VRIJEDNOST", "TRGOVACKA_KNJIGA_VELEPRODAJE",
            "\"SKLADISTE\" = ? AND \"DATUM\" = ? AND \"TIP_DOKUMENTA\" <> 'PRIMKA'", {store, day1});
    EXPECT_DOUBLE_EQ(dayOneTransfers, -6 * 90.0);
    const double dayOneReceipts = Value(
        QStringLiteral("SELECT SUM(\"PRODAJA_VRIJEDNOST\" + \"NABAVA_VRIJEDNOST\") FROM "
                       "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = 1 AND \"DATUM\" = ? "
                       "AND \"TIP_DOKUMENTA\" = 'PRIMKA' AND \"BROJ_DOKUMENTA\" > 100000"),
        {day1});
    EXPECT_GT(dayOneReceipts, 0);
    const double storeValue = BookSum(store, QStringLiteral("NABAVA_VRIJEDNOST"));
    const double shopValue = BookSum(1, QStringLiteral("NABAVA_VRIJEDNOST"));
    const double storeBalance = LastBalance(store);
    const double shopBalance = LastBalance(1);
    const int storeEntries = Entries(store);
    const int shopEntries = Entries(1);

    const retail::SummedTransfers summed = retail::SumRetailTransfers(*session, day2);
    EXPECT_EQ(summed.transfersFolded, 2);
    EXPECT_EQ(summed.groupsKept, 1);
    // Day 1 is the first transfer and its receipt with all six loaves; day 2 had one, day 3 is
    // after the date.
    EXPECT_EQ(Transfers(day1), QList<int>{first.first()});
    EXPECT_EQ(Receipts(day1), QList<int>{firstReceipts.first()});
    EXPECT_EQ(Transfers(day2).size(), 1);
    EXPECT_EQ(Transfers(day3).size(), 2);
    EXPECT_EQ(Receipts(day3).size(), 2);
    EXPECT_DOUBLE_EQ(Sum("KOLICINA", "STAVKE_MALOPRODAJNE_MEDUSKLADISNICE",
                         "\"BROJ_MEDUSKLADISNICE\" = ?", {first.first()}),
                     6);
    EXPECT_EQ(Numbers(QStringLiteral("SELECT \"RBR_STAVKE\" FROM \"STAVKE_PRIMKI\" WHERE "
                                     "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = ? ORDER BY 1"),
                      {firstReceipts.first()}),
              (QList<int>{1, 2, 3}));
    // The kept transfer's entry carries the three: 6 loaves at the store's price.
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"NABAVA_VRIJEDNOST\" FROM "
                                          "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"SKLADISTE\" = "
                                          "? AND \"BROJ_DOKUMENTA\" = ? AND \"TIP_DOKUMENTA\" <> "
                                          "'PRIMKA'"),
                           {store, first.first()}),
                     dayOneTransfers);
    EXPECT_DOUBLE_EQ(Value(QStringLiteral("SELECT \"PRODAJA_VRIJEDNOST\" + \"NABAVA_VRIJEDNOST\" "
                                          "FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
                                          "\"SKLADISTE\" = 1 AND \"TIP_DOKUMENTA\" = 'PRIMKA' AND "
                                          "\"BROJ_DOKUMENTA\" = ?"),
                           {firstReceipts.first()}),
                     dayOneReceipts);
    // The books lose two entries each and keep their sums and balances.
    EXPECT_EQ(Entries(store), storeEntries - 2);
    EXPECT_EQ(Entries(1), shopEntries - 2);
    EXPECT_NEAR(BookSum(store, QStringLiteral("NABAVA_VRIJEDNOST")), storeValue, 1e-9);
    EXPECT_NEAR(BookSum(1, QStringLiteral("NABAVA_VRIJEDNOST")), shopValue, 1e-9);
    EXPECT_NEAR(LastBalance(store), storeBalance, 1e-9);
    EXPECT_NEAR(LastBalance(1), shopBalance, 1e-9);
    // The sales name the documents that hold their goods now.
    for (const int sale : {a, b}) {
        Statement h = db().Prepare(QStringLiteral(
            "SELECT \"MALOPRODAJNA_MEDUSKLADISNICA\", \"MALOPRODAJNA_PRIMKA\" FROM \"RACUNI\" "
            "WHERE \"BROJ RACUNA\" = ?"));
        h.Exec({sale});
        ASSERT_TRUE(h.Next());
        EXPECT_EQ(h.Int(0), first.first());
        EXPECT_EQ(h.Int(1), firstReceipts.first());
    }
    ExpectStockCheckClean();

    // Again: nothing left to fold; a later date takes day 3.
    EXPECT_EQ(retail::SumRetailTransfers(*session, day2).transfersFolded, 0);
    EXPECT_EQ(Entries(store), storeEntries - 2);
    EXPECT_EQ(retail::SumRetailTransfers(*session, day3).transfersFolded, 1);
    EXPECT_EQ(Transfers(day3).size(), 1);
    ExpectStockCheckClean();
}

// The transferred cost (70) differs from the register's average (80), and a receipt and a
// plain sale lie between the day's two transfers: after the summing every sale must still
// carry the average the book gives at its place.
TEST_F(TransferSummingTest, UnderTheAverageTheFoldLeavesTheStockCheckClean) {
    const int a = Sell(day1, 12);  // 10 from the register at 80, 2 brought at 70
    docs->Receipt({{bread, 5, 95, 100, 25.0}}, day1);
    ASSERT_NE(Sell(day1, 3), 0);  // from the register's own stock
    Sell(day1, 4);                // 2 left, 2 brought
    ASSERT_EQ(Transfers(day1).size(), 2);
    ExpectStockCheckClean();
    const double shopQuantity = QuantityOf(0, bread);

    EXPECT_EQ(retail::SumRetailTransfers(*session, day1).transfersFolded, 1);
    EXPECT_EQ(Transfers(day1).size(), 1);
    ExpectStockCheckClean();
    EXPECT_NEAR(QuantityOf(0, bread), shopQuantity, 1e-9);
    // The first sale now takes from 10 at 80 and 4 at 70.
    EXPECT_NEAR(Value(QStringLiteral("SELECT \"NABAVNA_CIJENA\" FROM \"STAVKE_RACUNA\" WHERE "
                                     "\"BROJ_RACUNA\" = ? AND \"SKLADISTE\" = 1"),
                      {a}),
                (10 * 80.0 + 4 * 70.0) / 14, 1e-9);
    EXPECT_EQ(retail::SumRetailTransfers(*session, day1).transfersFolded, 0);

    // Goods coming into the store between two transfers (here at another cost) keep them
    // apart: the later transfer cannot move before them. The one after folds into the second.
    Sell(day2, 2);
    docs->Receipt({{bread, 10, 40, 90, 10.0}}, day2, store);
    Sell(day2, 1);
    Sell(day2, 1);
    const QList<int> second = Transfers(day2);
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(retail::SumRetailTransfers(*session, day2).transfersFolded, 1);
    EXPECT_EQ(Transfers(day2), (QList<int>{second[0], second[1]}));
    ExpectStockCheckClean();
}

// Under the last price a receipt's cost is the lot's from its place on: other goods received
// in the register between two transfers keep them apart, as the store's receipt does above.
TEST_F(TransferSummingTest, UnderTheLastPriceAReceiptInTheRegisterKeepsTransfersApart) {
    UseMethod(StockMethod::LastPrice);
    Sell(day1, 12);
    Sell(day1, 1);
    EXPECT_EQ(retail::SumRetailTransfers(*session, day1).transfersFolded, 1);
    Sell(day2, 1);
    docs->Receipt({{bread, 5, 95, 100, 25.0}}, day2);
    Sell(day2, 6);  // 5 from the register, 1 brought
    ASSERT_EQ(Transfers(day2).size(), 2);
    EXPECT_EQ(retail::SumRetailTransfers(*session, day2).transfersFolded, 0);
    EXPECT_EQ(Transfers(day2).size(), 2);
    EXPECT_EQ(Transfers(day1).size(), 1);
}

TEST_F(TransferSummingTest, RefusedUnderFifoAndAskedOnlyWithTheOption) {
    Sell(day1, 12);
    Sell(day1, 3);
    // The option off: no question, nothing folded.
    session->company.sumTransfersAndReceipts = false;
    ScriptedPrompter off;
    EXPECT_FALSE(retail::TransferSumStep(*session, off, day1));
    EXPECT_TRUE(off.Shown().isEmpty());
    EXPECT_EQ(Transfers(day1).size(), 2);

    session->company.sumTransfersAndReceipts = true;
    UseMethod(StockMethod::Fifo);
    ExpectRefused([&] { retail::SumRetailTransfers(*session, day1); },
                  retail::TransferSumFifoRefusal());
    ScriptedPrompter fifo;
    fifo.AnswerYes();
    EXPECT_FALSE(retail::TransferSumStep(*session, fifo, day1));
    EXPECT_EQ(fifo.Shown(),
              (QStringList{retail::TransferSumQuestion(), retail::TransferSumFifoRefusal()}));
    EXPECT_EQ(Transfers(day1).size(), 2);

    UseMethod(StockMethod::Average);
    ScriptedPrompter no;
    no.AnswerNo();
    EXPECT_FALSE(retail::TransferSumStep(*session, no, day1));
    EXPECT_EQ(Transfers(day1).size(), 2);
    // A bad date asks again; a cancelled box ends the step with nothing folded.
    ScriptedPrompter cancelled;
    cancelled.AnswerYes().AnswerText(QStringLiteral("32.3.2026")).Cancel();
    EXPECT_FALSE(retail::TransferSumStep(*session, cancelled, day1));
    EXPECT_EQ(cancelled.Messages(), QStringList{retail::TransferSumBadDate()});
    EXPECT_EQ(Transfers(day1).size(), 2);
    ScriptedPrompter yes;
    yes.AnswerYes().AnswerText(QStringLiteral("abc")).AnswerText(QStringLiteral("10.3.2026"));
    EXPECT_TRUE(retail::TransferSumStep(*session, yes, day2));
    EXPECT_EQ(yes.Shown(),
              (QStringList{retail::TransferSumQuestion(), retail::TransferSumDatePrompt(),
                           retail::TransferSumBadDate(), retail::TransferSumDatePrompt()}));
    EXPECT_EQ(Transfers(day1).size(), 1);

    // Receipts posted under FIFO are lots of their own: their transfers stay after a change of
    // method.
    UseMethod(StockMethod::Fifo);
    Sell(day2, 1);
    Sell(day2, 1);
    ASSERT_EQ(Transfers(day2).size(), 2);
    UseMethod(StockMethod::Average);
    EXPECT_EQ(retail::SumRetailTransfers(*session, day2).transfersFolded, 0);
    EXPECT_EQ(Transfers(day2).size(), 2);
}

TEST_F(TransferSummingTest, TwoZReportsAtOnceBesideACompactionFoldOnce) {
    for (int i = 0; i < 4; ++i) {
        Sell(day1, i == 0 ? 12 : 2);
    }
    ASSERT_EQ(Transfers(day1).size(), 4);
    const QList<int> before = Transfers(day1);
    const double storeBalance = LastBalance(store);
    const double shopBalance = LastBalance(1);
    SetOption(QStringLiteral("Vođenje skladišta"), QStringLiteral("Prosječna cijena"));
    SetOption(QStringLiteral("Sumiranje međuskladišnica i primki"), QStringLiteral("DA"));
    Programs programs(*this);
    std::mutex mutex;
    QStringList said;
    auto closing = [&](int i) {
        return [&, i] {
            const ZodractlRun run =
                programs.ZReport(QStringLiteral("10.03.2026"), QStringLiteral("z%1.txt").arg(i));
            if (run.exitCode != 0) {
                programs.Fail(run.err);
            }
            std::lock_guard<std::mutex> guard(mutex);
            said << run.out;
        };
    };
    const QStringList failures = programs.BesideCompaction({closing(0), closing(1)});
    EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
    // One of them folded the three, the other found nothing left.
    ASSERT_EQ(said.size(), 2);
    const QString none = QStringLiteral("Sumirano međuskladišnica i primki: 0");
    const QString three = QStringLiteral("Sumirano međuskladišnica i primki: 3");
    EXPECT_TRUE((said[0].contains(none) && said[1].contains(three)) ||
                (said[0].contains(three) && said[1].contains(none)))
        << said.join(u'\n').toStdString();
    session = StartSession(1);
    EXPECT_EQ(Transfers(day1), QList<int>{before.first()});
    EXPECT_EQ(Receipts(day1).size(), 1);
    EXPECT_NEAR(LastBalance(store), storeBalance, 1e-9);
    EXPECT_NEAR(LastBalance(1), shopBalance, 1e-9);
    ExpectStockCheckClean();
}

}  // namespace
}  // namespace zodra::test
