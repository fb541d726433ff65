#pragma once

namespace zodra::ui {
class CommandRegistry;
}

// The windows of the stock documents that are neither purchases nor sales.
namespace zodra::stockdocs::ui {

// Binds "Knjizenje_izmjena_cijena" (and with it the tool-bar button) and
// "Pregledi_izmjene_cijena".
void RegisterStockDocsCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::stockdocs::ui
