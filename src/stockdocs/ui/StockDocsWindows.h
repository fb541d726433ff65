#pragma once

namespace zodra::ui {
class CommandRegistry;
class DocumentWindow;
class WindowHost;
}  // namespace zodra::ui

// The windows of the stock documents that are neither purchases nor sales.
namespace zodra::stockdocs::ui {

// "Inventura": when its window is not open yet, the session's count is prepared from the lots
// after the question "Želite li prikaz stvarnog stanja nula?" (and, answered Yes, the quantity
// for every lot); nullptr when the quantity was not given.
zodra::ui::DocumentWindow* OpenStockCount(zodra::ui::WindowHost& host,
                                          const zodra::ui::CommandRegistry* registry);

// Binds "Knjizenje_izmjena_cijena" (and with it the tool-bar button), "Pregledi_izmjene_cijena",
// "Knjizenje_inventura", "Pregledi_inventure", "Knjizenje_meduskladisnica" (and its tool-bar
// button), "Pregledi_meduskladisnice", and the windows and lists of the five simple stock
// documents ("Knjizenje_izdatnica" … "Pregledi_povratnice_dobavljacima").
void RegisterStockDocsCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::stockdocs::ui
