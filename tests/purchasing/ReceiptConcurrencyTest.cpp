#include <gtest/gtest.h>

#include <QSet>
#include <atomic>
#include <thread>

#include "ReceiptTestSupport.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/ScriptedPrompter.h"
#include "purchasing/ReceiptLines.h"
#include "stock/StockCheck.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;

namespace {

class ReceiptConcurrencyTest : public ReceiptTest {};

constexpr int kPerWorkstation = 12;

}  // namespace

// Two workstations enter receipts at the same time, each proposing the number it sees, and
// post them: every receipt is stored whole under its own number and its own trade-book
// position, nothing of one workstation's lines ends up in the other's receipt.
TEST_F(ReceiptConcurrencyTest, TwoWorkstationsPostingAtOnceGetDistinctNumbersAndPositions) {
    std::atomic<int> failures{0};
    auto workstation = [&](int article, double price) {
        std::unique_ptr<Session> s = StartSession(1);
        if (!s) {
            ++failures;
            return;
        }
        s->workstation.debugMode = true;
        ScriptedPrompter quiet;
        const ReceiptTarget working = ReceiptTarget::WorkingCopy(*s);
        try {
            for (int i = 0; i < kPerWorkstation; ++i) {
                ReceiptHeaderData h;
                h.number = numbering::NextDocumentNumber(s->Db(), DocumentKind::GoodsReceipt, 1,
                                                         s->businessYear, 1);
                h.date = QDate(2026, 3, 2);
                h.supplier = supplier;
                h.supplierDocument = QStringLiteral("WS-%1").arg(i);
                for (int line = 0; line < 3; ++line) {
                    AcceptArticleLine(
                        *s, quiet, working,
                        ReceiptRow::Plain(article, 1 + line, price, (1 + line) * price, price * 2,
                                          (1 + line) * price * 2, 0),
                        CalculationMode::Entry);
                }
                if (!PostReceipt(*s, quiet, h, std::nullopt)) {
                    ++failures;
                }
            }
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what();
            ++failures;
        }
    };
    std::thread a(workstation, screw, 1.00);
    std::thread b(workstation, nut, 3.00);
    a.join();
    b.join();
    ASSERT_EQ(failures.load(), 0);

    QSet<int> numbers;
    QSet<int> positions;
    Statement h = db().Prepare(QStringLiteral(
        "SELECT h.\"BROJ PRIMKE\", h.\"RBR_TK\", COUNT(s.\"RBR_STAVKE\"), COUNT(DISTINCT "
        "s.\"SIFRA\"), SUM(s.\"VRIJEDNOST\") FROM \"PRIMKE\" h LEFT JOIN \"STAVKE_PRIMKI\" s ON "
        "s.\"SKLADISTE\" = h.\"SKLADISTE\" AND s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_PRIMKE\" "
        "= h.\"BROJ PRIMKE\" GROUP BY h.\"BROJ PRIMKE\", h.\"RBR_TK\""));
    h.Exec();
    int receipts = 0;
    while (h.Next()) {
        ++receipts;
        numbers.insert(h.Int(0));
        positions.insert(h.Int(1));
        // Three lines of one article, merged into one as the workstation answered.
        EXPECT_EQ(h.Int(2), 1) << "receipt " << h.Int(0);
        EXPECT_EQ(h.Int(3), 1) << "receipt " << h.Int(0) << " mixes the workstations' lines";
        const double value = h.Double(4);
        EXPECT_TRUE(value == 12.0 || value == 36.0) << value;
        EXPECT_DOUBLE_EQ(BookValue(h.Int(0)), value);
    }
    EXPECT_EQ(receipts, 2 * kPerWorkstation);
    EXPECT_EQ(numbers.size(), 2 * kPerWorkstation);
    EXPECT_EQ(positions.size(), 2 * kPerWorkstation);
    EXPECT_EQ(*std::max_element(numbers.begin(), numbers.end()), 2 * kPerWorkstation);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\"")), 0);
    ExpectConsistent();
    EXPECT_NO_THROW(stock::CheckStockAgainstCard(db(), 1, Year()));
}
