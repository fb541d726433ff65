#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::pricelists::ui {

// "Cjenici" (prices and group discounts of the customers' price lists) and the entry window of
// the price-list register, which the partner window's shortcut opens.
void RegisterPriceListCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::pricelists::ui
