#include "pricelists/ui/PriceListCommands.h"

#include "data/Prompter.h"
#include "pricelists/PriceLists.h"
#include "pricelists/ui/PriceListWindow.h"
#include "registers/ui/RegisterWindows.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::pricelists::ui {

void RegisterPriceListCommands(zodra::ui::CommandRegistry& registry) {
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(QStringLiteral("Cjenici_upis"), [r](zodra::ui::WindowHost& host) {
        if (host.FindWindow(QStringLiteral("Cjenici_upis"))) {
            return;
        }
        auto* window = new PriceListWindow(host, r);
        host.ShowWindow(window, window->windowTitle());
    });
    registers::ui::BindEntry(registry, Register());
}

}  // namespace zodra::pricelists::ui
