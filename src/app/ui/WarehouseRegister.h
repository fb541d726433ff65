#pragma once

#include "registers/ui/RegisterWindowOptions.h"

namespace zodra::ui {

class CommandRegistry;

// The warehouse register's windows, "Skladišta" and "Upis novog skladišta", are the register
// windows of the registers' warehouse description; the shell adds that adding, changing or
// deleting a warehouse refills the main window's warehouse box.
registers::ui::RegisterWindowOptions WarehouseWindowOptions();
// Binds "Skladista" and the entry window of SKLADISTA.
void BindWarehouseRegister(CommandRegistry& registry);

}  // namespace zodra::ui
