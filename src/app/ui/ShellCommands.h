#pragma once

namespace zodra::ui {

class CommandRegistry;

// The shell's own windows: "Skladišta" (and "Upis novog skladišta"), "Upis podataka poduzeća"
// with "Postavke" and "Konfiguracija", and "Korisnici".
void RegisterShellCommands(CommandRegistry& registry);

}  // namespace zodra::ui
