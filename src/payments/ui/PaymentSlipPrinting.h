#pragma once

#include "payments/PaymentSlip.h"

namespace zodra::ui {
class WindowHost;
}

namespace zodra::payments::ui {

// "Virmani" and "Uplatnice" of the invoice lists: the range dialog with the invoice numbers
// (the book's first and last offered) and the dates, then the HUB-3A slips of the book's open
// invoices in that range on screen, for the ActiveWarehouse and the BusinessYear. A refusal (no
// open invoice, a payee without a valid IBAN) is shown and nothing printed.
void PrintOutputInvoiceSlips(zodra::ui::WindowHost& host, int book, SlipKind kind);

// The slips of the input invoices of a book from serial number `first` to `last`.
void PrintInputInvoiceSlips(zodra::ui::WindowHost& host, int book, int first, int last);

}  // namespace zodra::payments::ui
