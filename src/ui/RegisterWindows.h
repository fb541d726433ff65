#pragma once

// The register window framework: a register described once (RegisterDescription) gets its
// list window and its entry window.

#include <memory>

#include "ui/CommandRegistry.h"
#include "ui/RegisterDescription.h"
#include "ui/RegisterEntryDialog.h"
#include "ui/RegisterListWindow.h"

namespace zodra::ui {

// Binds the register's list command and its entry window in the registry. The registry must
// outlive the windows (it is the program's).
void BindRegister(CommandRegistry& registry,
                  std::shared_ptr<const RegisterDescription> description);

}  // namespace zodra::ui
