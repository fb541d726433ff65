#include "app/desktop/CommandWiring.h"

#include "app/ui/ShellCommands.h"
#include "cashbook/ui/CashBookCommands.h"
#include "pricelists/ui/PriceListCommands.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "registers/ui/RegisterCommands.h"
#include "sales/ui/InvoiceListCommands.h"
#include "sales/ui/InvoiceWindows.h"
#include "sales/ui/OutgoingListWindow.h"
#include "stock/ui/StockCommands.h"
#include "stockdocs/ui/StockDocsWindows.h"
#include "ui/CommandRegistry.h"

namespace zodra::desktop {

void RegisterAllCommands(ui::CommandRegistry& registry) {
    ui::RegisterShellCommands(registry);
    // One line per subsystem, e.g. stock::ui::RegisterStockCommands(registry);
    cashbook::ui::RegisterCashBookCommands(registry);
    registers::ui::RegisterRegisterCommands(registry);
    pricelists::ui::RegisterPriceListCommands(registry);
    purchasing::ui::RegisterPurchasingCommands(registry);
    sales::ui::InvoiceAfterPosting afterInvoice;
    afterInvoice.printAfterPosting = &sales::ui::ShowPostedInvoicePrints;
    sales::ui::RegisterSalesCommands(registry, afterInvoice);
    // "Izbor računa"; its "Ispravak" opens the invoice window on the posted invoice.
    sales::ui::RegisterInvoiceListCommands(registry, &sales::ui::OpenInvoiceCorrection);
    // "Izbor ponude", "Izbor predračuna", "Izbor otpremnica"; their "Ispis" waits for the
    // printouts of these kinds (no printer handed over yet: the button says so).
    sales::ui::RegisterOutgoingListCommands(registry);
    stockdocs::ui::RegisterStockDocsCommands(registry);
    stock::ui::RegisterStockCommands(registry);
}

}  // namespace zodra::desktop
