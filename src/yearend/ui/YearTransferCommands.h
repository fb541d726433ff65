#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::yearend::ui {

// Binds "Prijenos u novu godinu" (control "Prijenos").
void RegisterYearTransferCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::yearend::ui
