#include "sales/ui/InvoiceListCommands.h"

#include "sales/ui/InvoiceListMail.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

InvoiceListWindow* OpenInvoiceList(zodra::ui::WindowHost& host,
                                   const zodra::ui::CommandRegistry* registry,
                                   InvoiceCorrectionOpener correction) {
    if (auto* open =
            qobject_cast<InvoiceListWindow*>(host.FindWindow(InvoiceListWindow::ObjectName()))) {
        open->Reload();
        return open;
    }
    auto* window = new InvoiceListWindow(host, registry, std::move(correction),
                                         std::make_shared<SystemMailProgram>());
    host.ShowWindow(window, window->windowTitle());
    return window;
}

void RegisterInvoiceListCommands(zodra::ui::CommandRegistry& registry,
                                 InvoiceCorrectionOpener correction) {
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(
        QStringLiteral("Pregledi_racuni"),
        [r, correction](zodra::ui::WindowHost& host) { OpenInvoiceList(host, r, correction); });
}

}  // namespace zodra::sales::ui
