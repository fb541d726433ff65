#include "app/desktop/CommandWiring.h"

#include "app/Users.h"
#include "app/ui/LoginDialog.h"
#include "app/ui/ShellCommands.h"
#include "cashbook/ui/CashBookCommands.h"
#include "data/Session.h"
#include "pricelists/ui/PriceListCommands.h"
#include "production/ui/ProductionWindows.h"
#include "purchasing/ui/ReceiptWindows.h"
#include "registers/ui/RegisterCommands.h"
#include "retail/ui/RetailCommands.h"
#include "sales/ui/InvoiceListCommands.h"
#include "sales/ui/InvoiceWindows.h"
#include "stock/ui/StockCommands.h"
#include "stockdocs/ui/StockDocsWindows.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

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
    // "Naplata nakon maloprodajnog računa"
    afterInvoice.openRetailPayment = &retail::ui::OpenRetailPaymentForInvoice;
    sales::ui::RegisterSalesCommands(registry, afterInvoice);
    // "Izbor računa"; its "Ispravak" opens the invoice window on the posted invoice.
    sales::ui::RegisterInvoiceListCommands(registry, &sales::ui::OpenInvoiceCorrection);
    stockdocs::ui::RegisterStockDocsCommands(registry);
    stock::ui::RegisterStockCommands(registry);
    production::ui::RegisterProductionCommands(registry);
    retail::ui::RegisterRetailCommands(registry, RegisterHooks());
}

retail::ui::RegisterHooks RegisterHooks() {
    retail::ui::RegisterHooks hooks;
    hooks.rightsOf = [](Database& db, const QString& user) {
        const users::AppliedRights applied = users::ApplyUserRights(db, user);
        retail::ui::CashierRights rights;
        const auto pos = applied.commandEnabled.find(retail::ui::RegisterCommand());
        rights.useRegister = applied.found && pos != applied.commandEnabled.end() && pos->second;
        rights.reports = applied.found && applied.session.registerZReportAllowed;
        return rights;
    };
    hooks.logIn = [](ui::WindowHost& host, QWidget* parent) {
        Session& session = host.CurrentSession();
        ui::LoginDialog login(session.Db(), host.UserPrompter(), QString(), parent);
        return login.exec() == QDialog::Accepted ? login.UserName() : QString();
    };
    // F9 and F10 stay empty until the X and Z reports are wired here.
    return hooks;
}

}  // namespace zodra::desktop
