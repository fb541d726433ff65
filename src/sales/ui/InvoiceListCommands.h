#pragma once

#include "sales/ui/InvoiceListWindow.h"
#include "sales/ui/InvoiceWindows.h"

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::sales::ui {

// Binds "Pregledi_racuni" to "Izbor računa" (an open one is brought to the front and read
// again). "Ispravak" opens the invoice window through `correction` (none: the button says the
// correction is not available); "E-mail" starts the system's mail program; "Storno" hands a
// cancelled receipt to `negativeReceipt`.
void RegisterInvoiceListCommands(zodra::ui::CommandRegistry& registry,
                                 InvoiceCorrectionOpener correction = {},
                                 InvoiceEInvoiceWriter einvoice = {},
                                 InvoiceNegativeReceiptPrinter negativeReceipt = {});

// The printouts the header dialog asked for after posting, each in its preview window (the
// number of copies is the printer dialog's). A printout that cannot be made is told.
void ShowPostedInvoicePrints(zodra::ui::WindowHost& host, const InvoiceKey& key,
                             const InvoicePrintChoice& choice);
// The printout of a posted offer, pro-forma or delivery note the header dialog asked for, in its
// preview window; one that cannot be made is told.
void ShowPostedDocumentPrint(zodra::ui::WindowHost& host, OutgoingKind kind, const InvoiceKey& key,
                             const InvoicePrintChoice& choice);

// Shows "Izbor računa" (or brings the open one to the front, read again).
InvoiceListWindow* OpenInvoiceList(zodra::ui::WindowHost& host,
                                   const zodra::ui::CommandRegistry* registry,
                                   InvoiceCorrectionOpener correction,
                                   InvoiceEInvoiceWriter einvoice = {},
                                   InvoiceNegativeReceiptPrinter negativeReceipt = {});

}  // namespace zodra::sales::ui
