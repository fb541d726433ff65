#include "app/desktop/CommandWiring.h"

#include "app/ui/ShellCommands.h"
#include "cashbook/ui/CashBookCommands.h"
#include "pricelists/ui/PriceListCommands.h"
#include "production/ui/ProductionWindows.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "registers/ui/RegisterCommands.h"
#include "sales/ui/InvoiceListCommands.h"
#include "sales/ui/InvoiceWindows.h"
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
    stockdocs::ui::RegisterStockDocsCommands(registry);
    stock::ui::RegisterStockCommands(registry);
    production::ui::RegisterProductionCommands(registry);
}

}  // namespace zodra::desktop
