#include "app/ui/WarehouseRegister.h"

#include "registers/Catalogue.h"
#include "registers/ui/CoreRegisterWindows.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

std::shared_ptr<const RegisterDescription> WarehouseRegister() {
    static const std::shared_ptr<const RegisterDescription> description = [] {
        auto d = registers::ui::WindowDescription(registers::catalogue::Warehouses(),
                                                  QStringLiteral("Skladista"));
        // A warehouse added, renamed or deleted shows in the main window's box at once.
        d->afterChange = [](WindowHost& host) { host.RefillWarehouses(); };
        return d;
    }();
    return description;
}

void BindWarehouseRegister(CommandRegistry& registry) {
    const CommandRegistry* r = &registry;
    registry.Register(QStringLiteral("Skladista"),
                      [r](WindowHost& host) { ShowRegisterList(host, WarehouseRegister(), r); });
    registry.RegisterEntry(QStringLiteral("SKLADISTA"), [r](WindowHost& host, QWidget* parent) {
        return OpenRegisterEntry(host, WarehouseRegister(), r, parent);
    });
}

}  // namespace zodra::ui
