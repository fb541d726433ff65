#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::books::ui {

// Binds the menu "Knjige izlaznih računa": IRA_ukupno, IRA_ukupno_po_danima, IRA_DP and
// IRA_DP_po_danima. Each asks the book (when there are several) and the range (the total with
// the invoice numbers of the book, preset to its first and last), builds the session's rows and
// shows the book's layout for the range's end date.
void RegisterIraCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::books::ui
