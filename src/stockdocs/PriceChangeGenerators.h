#pragma once

#include <QString>
#include <vector>

namespace zodra {
class Session;
}

// The buttons of "Izmjena cijena" that fill the working copy from the lots: each adds one line
// per lot of the session's warehouse and year that holds stock (a lot already on the working
// copy gets the new price instead), with the lot's quantity and selling price and a new price
// computed as a number. Each runs in one transaction and returns the number of lines written.
namespace zodra::stockdocs {

// "U postotku": the lots of the articles chosen get their selling price (or, `fromCost`, their
// cost price) raised by `percent` (negative lowers): price + price × percent / 100. The
// percentage is held to the input limits of a percentage ("Postotak").
int AddLinesByPercent(Session& session, const std::vector<int>& articles, double percent,
                      bool fromCost);

// "Na nabavnu": every lot gets its cost price as its selling price.
int AddLinesAtCost(Session& session);

// "Zaokruži MPC": every lot gets the price whose price with tax (at its article's rate) is
// rounded to the cent, half away from zero: round(price × (1 + rate / 100), 2) / (1 + rate / 100).
int AddLinesRoundedRetail(Session& session);

// "Izjednači": for the article groups chosen, every lot whose article has stock in the other
// warehouse gets the highest selling price among that warehouse's lots of the article with
// stock, where the two differ (at 10 decimals). Without a warehouse: "Nije izabrano odredišno
// skladište !".
int AddLinesEqualisedWith(Session& session, int otherWarehouse,
                          const std::vector<int>& articleGroups);
QString NoOtherWarehouseMessage();

}  // namespace zodra::stockdocs
