#pragma once

#include <optional>

namespace zodra {
class Database;
}

// The stock events that forbid undoing a document: a price change or a stock count of one of its
// articles (of its lot, when one is given) posted after it. Positions are trade-book positions
// (RBR_TK) and order the movements of one warehouse and year only, so both the document and the
// event are always sought in the same warehouse and year.
namespace zodra::stockdocs {

// A price change posted (or cancelled) after `position`, other than the one the receipt
// `generatedBy` generated (it goes with that receipt).
bool LaterPriceChange(Database& db, int warehouse, int year, int article, std::optional<int> lot,
                      int position, std::optional<int> generatedBy = std::nullopt);
// A stock count posted after `position`.
bool LaterStockCount(Database& db, int warehouse, int year, int article, std::optional<int> lot,
                     int position);

}  // namespace zodra::stockdocs
