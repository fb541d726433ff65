#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::retail::ui {
struct RegisterHooks;
}

namespace zodra::desktop {

// Binds every subsystem's windows to the command catalogue: the one place that knows all the
// window libraries. Each subsystem adds one line here (and its include).
void RegisterAllCommands(ui::CommandRegistry& registry);

// What the register "POS Kasa" takes from the shell: the users' rights and the login window
// for Page Up. F9 and F10 (X and Z reports) are bound here once they exist.
retail::ui::RegisterHooks RegisterHooks();

}  // namespace zodra::desktop
