#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::assets::ui {

// Binds the menu "Popis dugotrajne imovine": "Upis" (PDI_Upis, the list window of the business
// year with its entry window) and "Izvještaj" (PDI_Izvjestaj, the printed list on screen).
void RegisterFixedAssetCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::assets::ui
