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
#include "support/Refused.h"

using namespace zodra;
using namespace zodra::test;
using namespace zodra::purchasing;

namespace {

class ReceiptConcurrencyTest : public ReceiptTest {};

constexpr int kPerWorkstation = 12;

}  // namespace

// Two workstations post at once: every receipt whole under its own number and book position.
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

// Both propose the range's last number: the second is refused and keeps its working copy,
// instead of taking a generated or wrapped number.
TEST_F(ReceiptConcurrencyTest, TheLastNumberOfTheRangeGoesToOneWorkstationOnly) {
    db().Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ PRIMKE\", "
                             "\"TIP_PRIMKE\") VALUES (1, ?, 99999, 1)"),
              {Year()});
    std::unique_ptr<Session> other = StartSession(1);
    ASSERT_TRUE(other);
    other->workstation.debugMode = true;
    ScriptedPrompter quiet;
    ReceiptHeaderData mine = Header();
    ReceiptHeaderData theirs = Header();
    theirs.supplierDocument = QStringLiteral("R-2");
    ASSERT_EQ(mine.number, 100000);
    ASSERT_EQ(theirs.number, 100000);
    EnterPlain(screw, 1, 2, 3);
    AcceptArticleLine(*other, quiet, ReceiptTarget::WorkingCopy(*other),
                      ReceiptRow::Plain(nut, 2, 1, 2, 2, 4, std::nullopt), CalculationMode::Entry);
    EXPECT_EQ(PostReceipt(*session, prompter, mine, std::nullopt), std::optional<int>(100000));
    EXPECT_REFUSED(PostReceipt(*other, quiet, theirs, std::nullopt),
                   QStringLiteral("Nema slobodnog broja za dokument Primka: brojevi od "
                                  "1 do 100000 su potrošeni."));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE\" WHERE \"BROJ PRIMKE\" > 100000 "
                                   "OR \"BROJ PRIMKE\" < 1")),
              0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_PRIMKE_PRIVREMENO\" WHERE "
                                   "\"Multiuser_sifra\" = ?"),
                    {other->sessionCode}),
              1);
    ExpectConsistent();
}
