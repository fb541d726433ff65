#pragma once

// The register window framework: a register described once (registers::RegisterDescription)
// gets its list window and its entry window.

#include "registers/RegisterDescription.h"
#include "registers/ui/RegisterBoxes.h"
#include "registers/ui/RegisterEntryDialog.h"
#include "registers/ui/RegisterListWindow.h"
#include "registers/ui/RegisterWindowOptions.h"
#include "ui/CommandRegistry.h"

namespace zodra::registers::ui {

// Binds the register's list command (its `command`, when it has one) and its entry window (by
// its table). The registry and the description must outlive the windows (the program's
// registry, the catalogue's descriptions).
void Bind(zodra::ui::CommandRegistry& registry, const RegisterDescription& description,
          RegisterWindowOptions options = {});
// Binds the entry window alone, for a register whose list window is a window of its own.
void BindEntry(zodra::ui::CommandRegistry& registry, const RegisterDescription& description,
               RegisterWindowOptions options = {});

}  // namespace zodra::registers::ui
