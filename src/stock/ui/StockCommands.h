#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::stock::ui {

// Binds the stock subsystem's commands: the two trade books.
void RegisterStockCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::stock::ui
