#pragma once

#include <functional>

#include "sales/InvoiceEntry.h"
#include "sales/InvoicePosting.h"
#include "sales/OutgoingDocument.h"

namespace zodra::ui {
class CommandRegistry;
class DocumentWindow;
class WindowHost;
}  // namespace zodra::ui

// The invoice's windows, on the document window framework: the invoice window "Račun" for a new
// invoice (its own working copy under a session code of its own, the article and service line
// dialogs, "Proknjiži" through the header dialog "Zaglavlje računa") and for the correction of a
// posted one ("ISPRAVAK": every change written at once).
namespace zodra::sales::ui {

// The print choices of the header dialog, handed to the printing that follows posting.
struct InvoicePrintChoice {
    bool invoice = false;              // " računa"
    bool invoiceDeliveryNote = false;  // " računa-otpremnice"
    bool deliveryNote = false;         // " otpremnice"
    bool foreignCurrency = false;      // " deviznog računa"
    int copies = 1;                    // "Broj kopija :"
    // An offer, pro-forma or delivery note: its own printout (" Ispis ponude" …), the offer's
    // without discount columns, the delivery note's with purchase values.
    bool document = false;
    bool withoutDiscount = false;
    bool purchaseValues = false;

    bool Any() const {
        return invoice || invoiceDeliveryNote || deliveryNote || foreignCurrency || document;
    }
};

// What follows a posting outside the invoice's own windows. Both are empty until the windows
// that do them exist: without `openRetailPayment` a retail invoice is posted without its payment
// dialog; without `printAfterPosting` the header dialog offers no printing (its print boxes are
// disabled).
struct InvoiceAfterPosting {
    // The retail payment dialog, for an invoice whose PostedInvoice::wantsPayment is set, with
    // the amount already paid typed in the header.
    std::function<void(zodra::ui::WindowHost&, const InvoiceKey&, double alreadyPaid)>
        openRetailPayment;
    // Prints the posted invoice as the header dialog's print boxes say.
    std::function<void(zodra::ui::WindowHost&, const InvoiceKey&, const InvoicePrintChoice&)>
        printAfterPosting;
};

// "Knjizenje_racun"
QString InvoiceCommand();

// The invoice window for a new invoice, or the one already open.
zodra::ui::DocumentWindow* OpenInvoiceWindow(zodra::ui::WindowHost& host,
                                             const zodra::ui::CommandRegistry* registry,
                                             const InvoiceAfterPosting& after = {});
// The same window for an offer, a pro-forma or a delivery note ("Knjizenje_ponuda",
// "Knjizenje_predracun", "Knjizenje_otpremnica"), or the one of that kind already open.
zodra::ui::DocumentWindow* OpenOutgoingWindow(zodra::ui::WindowHost& host,
                                              const zodra::ui::CommandRegistry* registry,
                                              const OutgoingDocument& document);

// The invoice window on a posted invoice of the session's warehouse and year, in the book
// given ("ISPRAVAK"). Refused when there is no such invoice ("Ne postoji proknjiženi račun broj
// " + n) or it is cancelled ("Ovaj račun je već storniran.").
zodra::ui::DocumentWindow* OpenInvoiceCorrection(zodra::ui::WindowHost& host,
                                                 const zodra::ui::CommandRegistry* registry,
                                                 int book, int number);

// Binds "Knjizenje_racun" (and with it the tool-bar button "Račun"), and the windows of the
// offer, the pro-forma and the delivery note.
void RegisterSalesCommands(zodra::ui::CommandRegistry& registry,
                           const InvoiceAfterPosting& after = {});

}  // namespace zodra::sales::ui
