// A later count of the receipt's lot (FIFO) or article (pooled) keeps the receipt from deletion
// and correction; a count before it, or one deleted again, does not.
#include <gtest/gtest.h>

#include "PriceChangeTest.h"
#include "data/Transaction.h"
#include "stock/ReceiptGuards.h"
#include "stock/ReceiptLots.h"
#include "stockdocs/StockCount.h"
#include "stockdocs/StockCountRemoval.h"

using namespace zodra;
using namespace zodra::test;
namespace sd = zodra::stockdocs;

namespace {

constexpr char kReceiptRefusal[] =
    "Ovu primku nemožete izbrisati jer je nakon nje rađena inventura.";
constexpr char kLineRefusal[] =
    "Ovaj artikal primke nemožete obrisati jer su na njemu već rađene inventure.";

class StockCountReceiptGuardTest : public PriceChangeTest {
protected:
    int CountAsBooked() {
        sd::PrepareStockCount(*session, sd::NextStockCountNumber(*session), std::nullopt);
        return sd::PostStockCount(*session, {0, QDate(2026, 3, 10)});
    }
    stock::ReceiptHeader Header(int receipt) {
        return *stock::ReadReceiptHeader(db(), {1, Year(), receipt});
    }
    // "" when the step went through, else its refusal; the deletion in a transaction of its own.
    QString Delete(int receipt) {
        return Refusal([&] {
            Transaction t(db());
            stock::DeletePostedReceipt(db(), {1, Year(), receipt});
            t.Commit();
        });
    }
    QString AddLine(int receipt, int article) {
        return Refusal([&] { stock::CheckLineCanBeAdded(db(), Header(receipt), article); });
    }
    QString DeleteLine(int receipt, int article, double quantity) {
        return Refusal(
            [&] { stock::CheckLineCanBeDeleted(db(), Header(receipt), article, quantity); });
    }
};

TEST_F(StockCountReceiptGuardTest, FifoACountThatTookInTheLotKeepsTheReceipt) {
    const int counted = docs->Receipt({{screw, 10, 3.00, 5.00}});
    // Counted exactly as booked: the count still took the lot in.
    const int count = CountAsBooked();
    const int after = docs->Receipt({{nut, 4, 1.00, 2.00}});
    EXPECT_EQ(Delete(counted), QString::fromUtf8(kReceiptRefusal));
    EXPECT_EQ(DeleteLine(counted, screw, 10), QString::fromUtf8(kLineRefusal));
    // Nor may the correction add to the lot the count fixed; another article makes a lot the
    // count never saw.
    EXPECT_EQ(AddLine(counted, screw),
              QStringLiteral("Ovaj artikal primke nemožete dodati jer su na njemu već rađene "
                             "inventure."));
    EXPECT_EQ(AddLine(counted, nut), QString());
    EXPECT_DOUBLE_EQ(LotOf(db(), 1, Year(), counted, screw).quantity, 10);
    // The receipt after the count is free, and so is the first once the count is deleted.
    EXPECT_EQ(DeleteLine(after, nut, 4), QString());
    EXPECT_EQ(Delete(after), QString());
    sd::DeleteStockCount(*session, count, false);
    EXPECT_EQ(Delete(counted), QString());
    ExpectBooksAgree(db(), 1, Year());
}

TEST_F(StockCountReceiptGuardTest, PooledOnlyACountAfterTheReceiptKeepsIt) {
    UseMethod(StockMethod::Average);
    const int before = docs->Receipt({{nut, 10, 1.00, 2.00}});
    CountAsBooked();
    const int after = docs->Receipt({{nut, 5, 1.20, 2.00}});
    EXPECT_EQ(DeleteLine(before, nut, 10), QString::fromUtf8(kLineRefusal));
    EXPECT_EQ(Delete(before), QString::fromUtf8(kReceiptRefusal));
    // The count lies before the second receipt in the trade book: it does not hold it.
    EXPECT_EQ(DeleteLine(after, nut, 5), QString());
    EXPECT_EQ(AddLine(before, nut),
              QStringLiteral("Ovaj artikal primke nemožete dodati jer su na njemu već rađene "
                             "inventure."));
    EXPECT_EQ(AddLine(after, nut), QString());
    EXPECT_EQ(Delete(after), QString());
    EXPECT_DOUBLE_EQ(Pooled(nut).quantity, 10);
    ExpectBooksAgree(db(), 1, Year());
}

}  // namespace
