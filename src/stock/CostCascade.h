#pragma once

#include "stock/CostFamilies.h"
#include "stock/Receipt.h"

namespace zodra {
class Database;
}

// A change of cost can travel from warehouse to warehouse through transfers: the source's
// issue lines change, the destination receipt takes their cost, the destination's lots and
// issues follow. Each step lies later in time than the one before it, so the chain ends; the
// depth guards against data that would loop.
namespace zodra::stock::detail {

// Refuses a chain of cost changes longer than any real sequence of transfers can make.
void CheckDepth(int depth);

int RecomputeAverageCost(Database& db, int warehouse, int year, int article, int position,
                         int depth);
void ApplyReceiptCostChange(Database& db, const ReceiptKey& receipt, int article, int depth);

// A transfer's lines of an article changed cost: the destination receipt's lines of the
// article take it (with the values and margins that follow), then the destination follows.
void FollowTransferDestination(Database& db, const CostFamily& family, int warehouse, int year,
                               int number, int article, int depth);

}  // namespace zodra::stock::detail
