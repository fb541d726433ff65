#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::books::ui {

// Binds the menu "Knjige ulaznih računa": "Upis" (URA_Upis, the book's list with its entry
// window), "Izvještaj ukupno" (URA_Izvještaj), "Izvještaj po datumima plaćanja"
// (URA_Izvjestaj_po_placanju) and "Izvještaj plaćenih R-2 računa po datumima plaćanja" (URA_R2):
// the range dialog, then the book on screen in the layout of the period.
void RegisterUraCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::books::ui
