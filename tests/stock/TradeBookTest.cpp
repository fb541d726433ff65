#include <gtest/gtest.h>

#include "StockTest.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Transaction.h"
#include "stock/TradeBook.h"
#include "support/Refused.h"
#include "support/ServerCompany.h"

using namespace zodra;
using namespace zodra::test;
using tradebook::Book;

namespace {

class TradeBookTest : public StockTest {
protected:
    tradebook::Entry Document(const QString& type, int number, double purchase, double sales = 0,
                              double salesTax = 0) {
        tradebook::Entry e;
        e.warehouse = 1;
        e.year = Year();
        e.type = type;
        e.documentNumber = number;
        e.date = QDate(2026, 3, 2);
        e.description = type + QStringLiteral(" ") + QString::number(number);
        e.purchaseValue = purchase;
        e.salesValue = sales;
        e.salesTax = salesTax;
        return e;
    }
    int Append(Book book, const tradebook::Entry& e) {
        Transaction t(db());
        const int number = tradebook::AppendEntry(db(), book, e);
        t.Commit();
        return number;
    }
    double Balance(Book book, int number) {
        return sqlvalue::ToDouble(db().Scalar(QStringLiteral("SELECT \"STANJE_ROBE\" FROM \"") +
                                                  tradebook::TableName(book) +
                                                  QStringLiteral("\" WHERE \"SKLADISTE\" = 1 AND "
                                                                 "\"GODINA\" = ? AND \"RBR\" = ?"),
                                              {Year(), number}));
    }
};

TEST_F(TradeBookTest, AReceiptAndAnInvoiceCarryTheBalanceAndTheReceiptsDeletionLeavesMinus300) {
    EXPECT_EQ(tradebook::NextBookNumber(db(), Book::Wholesale, 1, Year()), 1);
    EXPECT_EQ(tradebook::LastBalance(db(), Book::Wholesale, 1, Year()), 0.0);

    const int receipt = Append(Book::Wholesale, Document(QStringLiteral("PRIMKA"), 1, 1000.00));
    EXPECT_EQ(receipt, 1);
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, 1), 1000.00);

    const int invoice =
        Append(Book::Wholesale, Document(QStringLiteral("1RAČUN"), 1, 0, 300.00, 75.00));
    EXPECT_EQ(invoice, 2);
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, 2), 700.00);
    EXPECT_DOUBLE_EQ(
        db().Scalar(QStringLiteral("SELECT \"PRODAJA_UKUPNO\" FROM "
                                   "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"RBR\" = 2"))
            .toDouble(),
        375.00);
    EXPECT_EQ(
        tradebook::FindDocumentEntry(db(), Book::Wholesale, 1, QStringLiteral("1RAČUN"), Year(), 1),
        std::optional<int>(2));

    Transaction t(db());
    EXPECT_EQ(tradebook::DeleteDocumentEntry(db(), Book::Wholesale, 1, QStringLiteral("PRIMKA"),
                                             Year(), 1),
              1);
    t.Commit();
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, 2), -300.00);
    // Numbers are not closed up: the next entry is 3, after the gap left at 1.
    EXPECT_EQ(tradebook::NextBookNumber(db(), Book::Wholesale, 1, Year()), 3);
    EXPECT_FALSE(tradebook::FindDocumentEntry(db(), Book::Wholesale, 1, QStringLiteral("PRIMKA"),
                                              Year(), 1));
}

TEST_F(TradeBookTest, RetailDirectEntriesCarryTheirTaxesAndADeletionLeavesTheOthersAsTheyWere) {
    const int first = tradebook::AppendDirectEntry(db(), Book::Retail, 1, Year(), QDate(2026, 3, 2),
                                                   QStringLiteral("Ulaz"), 100, 25, 40, 10);
    EXPECT_DOUBLE_EQ(Balance(Book::Retail, first), 75.00);
    Statement row = db().Prepare(QStringLiteral(
        "SELECT \"TIP_DOKUMENTA\", \"BROJ_DOKUMENTA\", \"NABAVA_UKUPNO\", \"PRODAJA_UKUPNO\" "
        "FROM \"TRGOVACKA_KNJIGA_MALOPRODAJE\" WHERE \"RBR\" = ?"));
    row.Exec({first});
    ASSERT_TRUE(row.Next());
    EXPECT_EQ(row.Text(0), QStringLiteral("DIREKTAN UPIS"));
    EXPECT_EQ(row.Int(1), 1);
    EXPECT_DOUBLE_EQ(row.Double(2), 125.00);
    EXPECT_DOUBLE_EQ(row.Double(3), 50.00);
    row.Finish();

    const int second = tradebook::AppendDirectEntry(
        db(), Book::Retail, 1, Year(), QDate(2026, 3, 3), QStringLiteral("Prodaja"), 0, 0, 200, 50);
    const int third = tradebook::AppendDirectEntry(db(), Book::Retail, 1, Year(), QDate(2026, 3, 4),
                                                   QStringLiteral("Ulaz"), 400, 100, 0, 0);
    EXPECT_DOUBLE_EQ(Balance(Book::Retail, second), -175.00);
    EXPECT_DOUBLE_EQ(Balance(Book::Retail, third), 325.00);
    EXPECT_EQ(tradebook::NextDirectEntryNumber(db(), Book::Retail, 1, Year()), 4);

    // Deleting the middle entry: the first keeps 75 (the taxes count, as when it was written)
    // and the third loses exactly the second's −250.
    tradebook::DeleteEntryInWindow(db(), Book::Retail, 1, Year(), second);
    EXPECT_DOUBLE_EQ(Balance(Book::Retail, first), 75.00);
    EXPECT_DOUBLE_EQ(Balance(Book::Retail, third), 575.00);
    EXPECT_EQ(tradebook::RecomputeBalance(db(), Book::Retail, 1, Year()), 0);
}

TEST_F(TradeBookTest, DirectEntriesAreNumberedApartAndOnlyTheyCanBeDeletedInTheWindow) {
    const int receipt = Append(Book::Wholesale, Document(QStringLiteral("PRIMKA"), 7, 500));
    const int direct =
        tradebook::AppendDirectEntry(db(), Book::Wholesale, 1, Year(), QDate(2026, 3, 2),
                                     QStringLiteral("Korekcija"), -20, 999, 30, 7.5);
    EXPECT_EQ(direct, 2);
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, direct), 450.00);
    // The wholesale book has no purchase tax: what was typed there is not stored.
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"BROJ_DOKUMENTA\" FROM "
                                         "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE \"RBR\" = 2"))
                  .toInt(),
              1);
    EXPECT_EQ(tradebook::NextDirectEntryNumber(db(), Book::Wholesale, 1, Year()), 2);
    EXPECT_EQ(tradebook::NextDirectEntryNumber(db(), Book::Retail, 1, Year()), 1);

    EXPECT_REFUSED(tradebook::DeleteEntryInWindow(db(), Book::Wholesale, 1, Year(), receipt),
                   tradebook::DocumentEntryRefusal());
    EXPECT_TRUE(tradebook::FindDocumentEntry(db(), Book::Wholesale, 1, QStringLiteral("PRIMKA"),
                                             Year(), 7));

    const int after = Append(Book::Wholesale, Document(QStringLiteral("RASHOD"), 1, -100));
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, after), 350.00);
    tradebook::DeleteEntryInWindow(db(), Book::Wholesale, 1, Year(), direct);
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, after), 400.00);
    // An entry deleted meanwhile by another workstation is no error.
    tradebook::DeleteEntryInWindow(db(), Book::Wholesale, 1, Year(), direct);
}

TEST_F(TradeBookTest, AnEntryIsWrittenOnlyInsideAPostingAndWithTheNumberItsDocumentTook) {
    EXPECT_THROW(
        tradebook::AppendEntry(db(), Book::Wholesale, Document(QStringLiteral("PRIMKA"), 1, 10)),
        std::logic_error);
    {
        Transaction t(db());
        EXPECT_THROW(tradebook::AppendEntry(db(), Book::Wholesale,
                                            Document(QStringLiteral("PRIMKA"), 1, 10), 5),
                     std::logic_error);
        EXPECT_EQ(tradebook::AppendEntry(db(), Book::Wholesale,
                                         Document(QStringLiteral("PRIMKA"), 1, 10), 1),
                  1);
        // Not committed: a failed posting leaves no entry.
    }
    EXPECT_EQ(tradebook::NextBookNumber(db(), Book::Wholesale, 1, Year()), 1);
}

TEST_F(TradeBookTest, RecomputationRewritesOnlyWrongBalancesAndKeepsOtherWarehousesApart) {
    Append(Book::Wholesale, Document(QStringLiteral("PRIMKA"), 1, 100));
    Append(Book::Wholesale, Document(QStringLiteral("PRIMKA"), 2, 50));
    Append(Book::Wholesale, Document(QStringLiteral("1RAČUN"), 1, 0, 30, 7.5));
    tradebook::Entry other = Document(QStringLiteral("PRIMKA"), 1, 9999);
    other.warehouse = 2;
    Append(Book::Wholesale, other);
    EXPECT_EQ(tradebook::RecomputeBalance(db(), Book::Wholesale, 1, Year()), 0);

    db().Exec(
        QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET \"STANJE_ROBE\" = 1 "
                       "WHERE \"SKLADISTE\" = 1 AND \"RBR\" = 2"));
    db().Exec(
        QStringLiteral("UPDATE \"TRGOVACKA_KNJIGA_VELEPRODAJE\" SET \"STANJE_ROBE\" = NULL "
                       "WHERE \"SKLADISTE\" = 1 AND \"RBR\" = 3"));
    EXPECT_EQ(tradebook::RecomputeBalance(db(), Book::Wholesale, 1, Year()), 2);
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, 2), 150.0);
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, 3), 120.0);
    EXPECT_DOUBLE_EQ(tradebook::LastBalance(db(), Book::Wholesale, 2, Year()), 9999.0);
}

TEST_F(TradeBookTest, ADocumentsEntryIsFoundThroughItsIndex) {
    ZODRA_SKIP_ON_SERVER("the plan read here is SQLite's (EXPLAIN QUERY PLAN)");
    Statement plan = db().Prepare(QStringLiteral(
        "EXPLAIN QUERY PLAN SELECT \"RBR\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" WHERE "
        "\"SKLADISTE\" = ? AND \"TIP_DOKUMENTA\" = ? AND \"GODINA\" = ? AND \"BROJ_DOKUMENTA\" = "
        "?"));
    plan.Exec({1, QStringLiteral("PRIMKA"), Year(), 1});
    QString text;
    while (plan.Next()) {
        text += plan.Text(3);
    }
    EXPECT_TRUE(text.contains(QStringLiteral("SKLADISTE_TIP_GODINA_BROJ"))) << text.toStdString();
}

TEST_F(TradeBookTest, TheBookWindowListsADateRangeAndPrintsWithItsTitles) {
    tradebook::Entry march = Document(QStringLiteral("PRIMKA"), 1, 100);
    tradebook::Entry april = Document(QStringLiteral("PRIMKA"), 2, 200);
    april.date = QDate(2026, 4, 15);
    Append(Book::Wholesale, march);
    Append(Book::Wholesale, april);
    const auto entries =
        tradebook::Entries(db(), Book::Wholesale, 1, Year(), QDate(2026, 4, 1), QDate(2026, 4, 30));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].number, 2);
    EXPECT_EQ(entries[0].entry.date, QDate(2026, 4, 15));
    EXPECT_DOUBLE_EQ(entries[0].balance, 300.0);

    EXPECT_EQ(tradebook::ReportTitle(Book::Wholesale, QDate(2026, 1, 1), QDate(2026, 3, 31)),
              QStringLiteral("Trgovačka knjiga veleprodaje od 01.01.2026 do 31.03.2026"));
    EXPECT_EQ(
        tradebook::ReportWindowTitle(Book::Retail, QDate(2026, 1, 1), QDate(2026, 3, 31)),
        QStringLiteral("Izvještaj : Trgovačka knjiga maloprodaje od 01.01.2026 do 31.03.2026"));
}

}  // namespace

namespace {

// A posting may recompute the balances while it still walks rows of its own (a loop over the
// lines of a document being deleted): the recomputation must not need the connection idle.
TEST_F(TradeBookTest, BalancesAreRecomputedWhileAnotherStatementIsRunning) {
    Transaction t(db());
    for (int n = 1; n <= 5; ++n) {
        tradebook::AppendEntry(db(), Book::Wholesale, Document(QStringLiteral("PRIMKA"), n, 100));
    }
    Statement open = db().Prepare(
        QStringLiteral("SELECT \"RBR\" FROM \"TRGOVACKA_KNJIGA_VELEPRODAJE\" ORDER BY \"RBR\""));
    open.Exec();
    ASSERT_TRUE(open.Next());
    for (int n = 1; n <= 2; ++n) {
        EXPECT_EQ(tradebook::DeleteDocumentEntry(db(), Book::Wholesale, 1, QStringLiteral("PRIMKA"),
                                                 Year(), n),
                  1);
    }
    EXPECT_TRUE(open.Next());
    open.Finish();
    t.Commit();
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, 5), 300.0);
    EXPECT_DOUBLE_EQ(Balance(Book::Wholesale, 3), 100.0);
}

}  // namespace
