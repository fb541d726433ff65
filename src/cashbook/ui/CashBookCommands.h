#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::cashbook::ui {

// Binds the menu "Blagajnički izvještaj": "Izvještaj" (Blag_izv1: the range dialog, the
// cash-book report on screen), "Uplatnice" (Blag_izv_Uplatnice) and "Isplatnice"
// (Blag_izv_Isplatnice), the voucher lists.
void RegisterCashBookCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::cashbook::ui
