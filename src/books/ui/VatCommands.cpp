#include "books/ui/VatCommands.h"

#include "books/VatReturn.h"
#include "books/ui/VatReturnListWindow.h"
#include "books/ui/VatReturnWindow.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/RangeDialog.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::books::ui {

void RegisterVatCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(QStringLiteral("PDV_obrasci_Prijava"), [](zodra::ui::WindowHost& host) {
        host.SetStatusText(QStringLiteral(" PDV obrazac"));
        Session& session = host.CurrentSession();
        const auto range = reports::ui::RangeDialog::Ask(host.UserPrompter(), host.DialogParent(),
                                                         session.businessYear);
        if (!range) {
            return;
        }
        zodra::ui::Guarded(host.UserPrompter(), [&] {
            VatReturn vat =
                ComputeVatReturn(session.Db(), session.businessYear, range->from, range->to);
            for (const QString& warning : vat.warnings) {
                host.UserPrompter().Inform(warning);
            }
            auto* window = new VatReturnWindow(host, std::move(vat));
            host.ShowWindow(window, VatReturnWindow::Caption());
        });
    });
    registry.Register(QStringLiteral("PDV_obrasci_Pregled"), [](zodra::ui::WindowHost& host) {
        host.SetStatusText(QStringLiteral(" Pregled PDV obrazaca"));
        if (host.FindWindow(VatReturnListWindow::ObjectName())) {
            return;
        }
        auto* window = new VatReturnListWindow(host);
        host.ShowWindow(window, VatReturnListWindow::Caption());
    });
}

}  // namespace zodra::books::ui
