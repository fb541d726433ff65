#pragma once

#include <QStringList>

namespace zodractl {

// zodractl stockcheck PATH [--skladiste N] [--godina G] [--popravi]
// Checks the stock of a company: numbers that cannot be (NULL where one is required, infinite,
// not a number) in receipt lines, lots, the article card and the trade books, lots against the
// article card (quantity, cost and selling value per article), the running balances of both trade
// books, and the pooled cost of every article against a replay of its card. With --popravi the
// balances and pooled costs are recomputed and written; differences between lots and card are only
// reported.
int StockCheck(const QStringList& args);

}  // namespace zodractl
