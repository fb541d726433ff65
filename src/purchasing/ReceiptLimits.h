#pragma once

#include <QString>

#include "data/InputLimits.h"
#include "purchasing/PriceCalculation.h"
#include "purchasing/ReceiptPosting.h"
#include "purchasing/ReceiptRow.h"
#include "purchasing/ReceiptSummary.h"

// The input limits (data/InputLimits.h) as a goods receipt applies them. Every core operation
// that writes a receipt line, its summary or its header calls them before it writes, so the
// receipt window, the file import and any later caller refuse the same values with the same
// messages, and a refused value leaves the company as it was.
namespace zodra::purchasing {

// The rule of a box of the price calculation and the name its message gives the box: prices
// are not negative, the discount lies within ±100 %, margins and costs within the percent
// range, the tax rate within 0…100, values and per-unit amounts are amounts with a sign. The
// calculation window's boxes and the file import check what is typed by it.
limits::NumberKind KindOfBox(PriceCalculation::Box box);
QString NameOfBox(PriceCalculation::Box box);
// A value typed into a box: refused (UserError) outside its rule.
void CheckTyped(PriceCalculation::Box box, double value);

// Every number of a line: quantity, unit prices (not negative), percentages of discount,
// customs, forwarding and other costs, the retail margin, and every amount.
void CheckReceiptRow(const ReceiptRow& row);

// The summary's amounts (in the home currency and in the document's currency), its rate, and
// each dependent-cost item with its description.
void CheckSummaryLimits(const ReceiptSummary& summary);
void CheckDependentCosts(const std::vector<DependentCost>& items);

// The header: a receipt number (when one is given) within its type's range, the receipt date
// within the business year's reach, the supplier's document date and its text.
void CheckHeaderLimits(const ReceiptHeaderData& header, int businessYear);

}  // namespace zodra::purchasing
