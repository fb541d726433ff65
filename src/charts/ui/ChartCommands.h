#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::charts::ui {

// Every command of the menu "Grafikoni" opens the window "Grafikon" on its chart (an open one
// switches to it).
void RegisterChartCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::charts::ui
