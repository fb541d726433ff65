#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::production::ui {

// Binds "Sastavnice" (Sifarnici_sastavnice), "Radni nalog" (Knjizenje_radni_nalog) and the
// list "Radni nalozi" (Pregledi_radni_nalozi).
void RegisterProductionCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::production::ui
