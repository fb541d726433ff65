#pragma once

#include <memory>

#include "ui/RegisterWindows.h"

namespace zodra::ui {

// The warehouse register's windows, "Skladišta" and "Upis novog skladišta", from the registers'
// description of the warehouse register. Adding, changing or deleting a warehouse refills the
// main window's warehouse box.
std::shared_ptr<const RegisterDescription> WarehouseRegister();
// Binds "Skladista" and the entry window of SKLADISTA.
void BindWarehouseRegister(CommandRegistry& registry);

}  // namespace zodra::ui
