#include "app/ui/WarehouseRegister.h"

#include "app/ui/WindowHost.h"
#include "data/registers/Catalogue.h"

namespace zodra::ui {

std::shared_ptr<const RegisterDescription> WarehouseRegister() {
    static const std::shared_ptr<const RegisterDescription> description = [] {
        auto d = FromRegister(registers::catalogue::Warehouses(), QStringLiteral("Skladista"));
        // A warehouse added, renamed or deleted shows in the main window's box at once.
        d->afterChange = [](WindowHost& host) { host.RefillWarehouses(); };
        return d;
    }();
    return description;
}

}  // namespace zodra::ui
