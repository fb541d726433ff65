#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::summary::ui {

// Binds every member of the summary reports to its menu command: the range dialog preset with
// the document kind's first and last numbers (or the dates only, or the stock search text),
// then the report on screen.
void RegisterSummaryCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::summary::ui
