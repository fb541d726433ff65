#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::payments::ui {

// The payment windows on their menu commands: "Evidencija_pregled_IFA" ("Naplata izlaznih
// računa"), "Evidencija_pregled_UFA" ("Plaćanja ulaznih računa"), "Izlazni_racuni_kartice",
// "Izlazni_racuni_kartice_za_izabrano_skladiste" and "Ulazni_racuni_kartice".
void RegisterPaymentCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::payments::ui
