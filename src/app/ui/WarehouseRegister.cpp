#include "app/ui/WarehouseRegister.h"

#include "registers/Catalogue.h"
#include "registers/ui/RegisterWindows.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

registers::ui::RegisterWindowOptions WarehouseWindowOptions() {
    registers::ui::RegisterWindowOptions options;
    // A warehouse added, renamed or deleted shows in the main window's box at once.
    options.afterChange = [](WindowHost& host) { host.RefillWarehouses(); };
    return options;
}

void BindWarehouseRegister(CommandRegistry& registry) {
    registers::ui::Bind(registry, registers::catalogue::Warehouses(), WarehouseWindowOptions());
}

}  // namespace zodra::ui
