#include <gtest/gtest.h>

#include <map>
#include <random>

#include "StockTest.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "stock/Lots.h"
#include "stock/StockCheck.h"

using namespace zodra;
using namespace zodra::test;

namespace {

// A year of a small shop under one method, changes in the past included: after every step lots,
// card and book agree in both warehouses and pooled lots follow the replay.
class LongScenarioTest : public StockTest, public ::testing::WithParamInterface<StockMethod> {
protected:
    // Deterministic draws (the same on every platform): [0, n).
    int Draw(int n) { return static_cast<int>(m_random() % static_cast<unsigned>(n)); }
    double Money(int from, int to) { return (from * 100 + Draw((to - from) * 100)) / 100.0; }

    std::mt19937 m_random{20260302u};
};

struct Posted {
    Issue kind;
    int number;
};

TEST_P(LongScenarioTest, AYearOfMixedDocumentsKeepsLotsCardAndBookInAgreement) {
    UseMethod(GetParam());
    const bool pooled = GetParam() != StockMethod::Fifo;
    const int store = AddWarehouse(db(), QStringLiteral("Trgovina"));
    std::vector<int> articles;
    std::map<int, double> price;
    for (const char* name : {"Vijak", "Matica", "Podloška", "Tipl"}) {
        const int a = docs->AddArticle(QString::fromUtf8(name));
        articles.push_back(a);
        price[a] = Money(2, 30);
    }
    std::vector<int> receipts;
    std::vector<Posted> issues;
    std::vector<int> invoices;
    std::map<QString, int> done;
    const Issue outKinds[] = {Issue::IssueNote,
                              Issue::WriteOff,
                              Issue::Invoice,
                              Issue::Invoice,
                              Issue::DeliveryNote,
                              Issue::SupplierReturn,
                              Issue::ServiceConsumption,
                              Issue::WorkOrder,
                              Issue::CommissionReturn};

    // A lot of the article with stock, drawn among its lots (FIFO) or the pooled one.
    auto lotWithStock = [&](int article) -> std::optional<int> {
        const std::vector<int> lots = stock::ListLots(db(), 1, Year(), article, true);
        std::vector<int> positive;
        for (int lot : lots) {
            if (LotOf(db(), 1, Year(), lot, article).quantity > 0) {
                positive.push_back(lot);
            }
        }
        if (positive.empty()) {
            return std::nullopt;
        }
        return positive[static_cast<size_t>(Draw(static_cast<int>(positive.size())))];
    };

    for (int step = 0; step < 220; ++step) {
        const QDate date = QDate(2026, 1, 2).addDays(step * 363 / 220);
        const int roll = Draw(100);
        QString what;
        try {
            if (roll < 28 || receipts.empty()) {
                what = QStringLiteral("primka");
                std::vector<StockDocuments::In> lines;
                for (int n = 1 + Draw(3); n > 0; --n) {
                    const int a = articles[static_cast<size_t>(Draw(4))];
                    // One article gets a new selling price now and then (the last-price method
                    // reprices its stock); the others keep theirs, so that documents of theirs
                    // can still be deleted in the past (the goods go back at the price they
                    // left at).
                    if (a == articles.back() && Draw(4) == 0) {
                        price[a] = Money(2, 30);
                    }
                    lines.push_back({a, static_cast<double>(1 + Draw(20)), Money(1, 20), price[a]});
                }
                receipts.push_back(docs->Receipt(lines, date));
            } else if (roll < 60) {
                const Issue kind = outKinds[Draw(9)];
                what = StockDocuments::Family(kind).name;
                const int a = articles[static_cast<size_t>(Draw(4))];
                const std::optional<int> lot = lotWithStock(a);
                if (!lot) {
                    continue;
                }
                const double have = LotOf(db(), 1, Year(), *lot, a).quantity;
                const double quantity = std::max(1.0, std::floor(have * (1 + Draw(10)) / 10.0));
                const int number = docs->Post(kind, {{a, std::min(quantity, have), *lot}}, date);
                issues.push_back({kind, number});
                if (kind == Issue::Invoice) {
                    invoices.push_back(number);
                }
            } else if (roll < 64) {
                what = QStringLiteral("povratnica");
                const int a = articles[static_cast<size_t>(Draw(4))];
                if (const std::optional<int> lot = lotWithStock(a)) {
                    issues.push_back(
                        {Issue::ReturnNote,
                         docs->Post(Issue::ReturnNote,
                                    {{a, static_cast<double>(1 + Draw(3)), *lot}}, date)});
                }
            } else if (roll < 69) {
                what = QStringLiteral("storno računa");
                if (invoices.empty()) {
                    continue;
                }
                const size_t i = static_cast<size_t>(Draw(static_cast<int>(invoices.size())));
                const int number = invoices[i];
                invoices.erase(invoices.begin() + static_cast<long>(i));
                docs->CancelInvoice(number, date);
                // A cancelled invoice stays as it is: it is no longer deleted below.
                std::erase_if(issues, [&](const Posted& p) {
                    return p.kind == Issue::Invoice && p.number == number;
                });
            } else if (roll < 74) {
                what = QStringLiteral("međuskladišnica");
                const int a = articles[static_cast<size_t>(Draw(4))];
                if (const std::optional<int> lot = lotWithStock(a)) {
                    docs->Transfer(store, {{a, 1, *lot}}, date);
                }
            } else if (roll < 86) {
                what = QStringLiteral("brisanje dokumenta u prošlosti");
                if (issues.empty()) {
                    continue;
                }
                const size_t i = static_cast<size_t>(Draw(static_cast<int>(issues.size())));
                const Posted p = issues[i];
                docs->Delete(p.kind, p.number);
                issues.erase(issues.begin() + static_cast<long>(i));
                std::erase(invoices, p.kind == Issue::Invoice ? p.number : -1);
            } else if (roll < 91) {
                what = QStringLiteral("brisanje primke");
                if (Draw(2) == 0) {
                    // A receipt entered by mistake goes again at once: the pooled lot is
                    // un-averaged back to what it was.
                    const int a = articles[static_cast<size_t>(Draw(4))];
                    receipts.push_back(docs->Receipt(
                        {{a, static_cast<double>(1 + Draw(20)), Money(1, 20), price[a]}}, date));
                }
                // The latest, or any: an older one usually has issues after it and is refused.
                const size_t i = Draw(2) == 0
                                     ? receipts.size() - 1
                                     : static_cast<size_t>(Draw(static_cast<int>(receipts.size())));
                docs->DeleteReceipt(receipts[i]);
                receipts.erase(receipts.begin() + static_cast<long>(i));
            } else if (roll < 97) {
                what = QStringLiteral("ispravak nabavne cijene");
                const int number =
                    receipts[static_cast<size_t>(Draw(static_cast<int>(receipts.size())))];
                const int a = sqlvalue::ToInt(
                    db().Scalar(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"STAVKE_PRIMKI\" WHERE "
                                               "\"SKLADISTE\" = 1 AND \"BROJ_PRIMKE\" = ?"),
                                {number}));
                docs->CorrectReceiptCost(number, a, Money(1, 20));
            } else {
                what = QStringLiteral("inventura");
                const int a = articles[static_cast<size_t>(Draw(4))];
                if (const std::optional<int> lot = lotWithStock(a)) {
                    const double have = LotOf(db(), 1, Year(), *lot, a).quantity;
                    docs->StockCount({{a, *lot, have + (Draw(2) == 0 ? -1 : 1)}}, date);
                }
            }
            ++done[what];
        } catch (const UserError& e) {
            // The document's own guards may refuse; the consistency check never may.
            EXPECT_NE(e.message(), stock::CostDifferenceMessage()) << what.toStdString();
            EXPECT_NE(e.message(), stock::SellingDifferenceMessage()) << what.toStdString();
            ++done[QStringLiteral("odbijeno")];
        }
        SCOPED_TRACE(QStringLiteral("step %1: %2").arg(step).arg(what).toStdString());
        ExpectBooksAgree(db(), 1, Year());
        ExpectBooksAgree(db(), store, Year());
        if (pooled) {
            for (int a : articles) {
                ExpectPooledLotFollowsReplay(db(), 1, Year(), a);
                ExpectPooledLotFollowsReplay(db(), store, Year(), a);
            }
        }
        if (HasFailure()) {
            return;
        }
    }
    // The story went through every kind of change, the changes in the past included.
    for (const char16_t* kind : {u"primka", u"Račun", u"povratnica", u"storno računa",
                                 u"međuskladišnica", u"brisanje dokumenta u prošlosti",
                                 u"brisanje primke", u"ispravak nabavne cijene", u"inventura"}) {
        EXPECT_GT(done[QString::fromUtf16(kind)], 0) << QString::fromUtf16(kind).toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, LongScenarioTest,
                         ::testing::Values(StockMethod::Fifo, StockMethod::Average,
                                           StockMethod::LastPrice),
                         [](const ::testing::TestParamInfo<StockMethod>& method) {
                             switch (method.param) {
                                 case StockMethod::Fifo:
                                     return std::string("Fifo");
                                 case StockMethod::Average:
                                     return std::string("Average");
                                 case StockMethod::LastPrice:
                                     break;
                             }
                             return std::string("LastPrice");
                         });

}  // namespace
