#include "cashbook/ui/CashBookCommands.h"

#include "cashbook/CashBook.h"
#include "cashbook/ui/CashVoucherListWindow.h"
#include "data/CommandCatalogue.h"
#include "data/Session.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::cashbook::ui {

namespace {

void OpenList(zodra::ui::WindowHost& host, cashbook::VoucherKind kind) {
    host.SetStatusText(cashbook::StatusText(kind));
    if (host.FindWindow(CashVoucherListWindow::ObjectName(kind))) {
        return;  // already open: brought to the front
    }
    auto* window = new CashVoucherListWindow(host, kind);
    host.ShowWindow(window, cashbook::ListCaption(kind));
}

}  // namespace

void RegisterCashBookCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(QStringLiteral("Blag_izv_Uplatnice"), [](zodra::ui::WindowHost& host) {
        OpenList(host, cashbook::VoucherKind::Receipt);
    });
    registry.Register(QStringLiteral("Blag_izv_Isplatnice"), [](zodra::ui::WindowHost& host) {
        OpenList(host, cashbook::VoucherKind::Payment);
    });
    registry.Register(QStringLiteral("Blag_izv1"), [](zodra::ui::WindowHost& host) {
        host.SetStatusText(QStringLiteral(" Blagajnički izvještaj"));
        Session& session = host.CurrentSession();
        const auto range = reports::ui::RangeDialog::Ask(host.UserPrompter(), host.DialogParent(),
                                                         session.businessYear);
        if (!range) {
            return;
        }
        reports::ui::ShowReport(host, cashbook::PrepareCashBookReport(session, *range));
    });
}

}  // namespace zodra::cashbook::ui
