#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::desktop {

// Binds every subsystem's windows to the command catalogue: the one place that knows all the
// window libraries. Each subsystem adds one line here (and its include).
void RegisterAllCommands(ui::CommandRegistry& registry);

}  // namespace zodra::desktop
