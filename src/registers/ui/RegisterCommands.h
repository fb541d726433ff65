#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::registers::ui {

// The master-data registers' windows: "Artikli" (and "Upis novog artikla"), "Artikli
// tablično", "Partneri", "Partneri tablično", services, packaging, article groups, tax
// groups, sales terms, delivery methods, invoice books, currencies with their rates, card
// types, employees and bills of materials. The warehouse register is the shell's.
void RegisterRegisterCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::registers::ui
