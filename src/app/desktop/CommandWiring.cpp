#include "app/desktop/CommandWiring.h"

#include "app/ui/CommandRegistry.h"

namespace zodra::desktop {

void RegisterAllCommands(ui::CommandRegistry& registry) {
    // One line per subsystem, e.g. stock::ui::RegisterStockCommands(registry);
    (void)registry;
}

}  // namespace zodra::desktop
