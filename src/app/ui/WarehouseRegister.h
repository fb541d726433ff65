#pragma once

#include <memory>

#include "app/ui/RegisterWindows.h"

namespace zodra::ui {

// The warehouse register's windows: "Skladišta" and "Upis novog skladišta". Adding, changing
// or deleting a warehouse refills the main window's warehouse box.
std::shared_ptr<const RegisterDescription> WarehouseRegister();

}  // namespace zodra::ui
