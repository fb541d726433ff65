#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::books::ui {

// Binds the menu "PDV obrasci": "Prijava" (PDV_obrasci_Prijava: the range dialog, then the
// computed return in "PDV Obrazac") and "Pregled" (PDV_obrasci_Pregled: the stored returns).
void RegisterVatCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::books::ui
