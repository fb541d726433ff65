#pragma once

namespace zodra::ui {
class CommandRegistry;
class DocumentWindow;
class PostedDocumentsWindow;
class WindowHost;
}  // namespace zodra::ui

// The goods receipt's windows, all built on the document window framework, each with a
// controller of its own: the receipt window "Primka" in "UPIS" (NewReceiptController, a new
// receipt in the session's working copy) and in "ISPRAVAK" (ReceiptCorrectionController, a
// posted receipt whose every change is written at once), and the list "Izbor primke"
// (ReceiptListController) with its table view "Primke" and the view of one receipt
// (PostedReceiptController). Lines come from the quick line entry and the calculation window,
// packaging from "Ambalaža", the whole-receipt data from "Zbirni p.".
namespace zodra::purchasing::ui {

// The receipt window for a new receipt ("UPIS"), or the one already open.
zodra::ui::DocumentWindow* OpenReceiptWindow(zodra::ui::WindowHost& host,
                                             const zodra::ui::CommandRegistry* registry);
// The receipt window on a posted receipt of the session's warehouse and year ("ISPRAVAK").
zodra::ui::DocumentWindow* OpenReceiptCorrection(zodra::ui::WindowHost& host,
                                                 const zodra::ui::CommandRegistry* registry,
                                                 int number);
// "Izbor primke".
zodra::ui::PostedDocumentsWindow* OpenReceiptList(zodra::ui::WindowHost& host,
                                                  const zodra::ui::CommandRegistry* registry);

// Binds "Knjizenje_primka" (and with it the tool-bar button "Primka") and "Pregledi_primke".
void RegisterPurchasingCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::purchasing::ui
