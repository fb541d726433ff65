#include "retail/ui/RetailCommands.h"

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "retail/ui/DetailInvoicesWindow.h"
#include "retail/ui/PaymentDialog.h"
#include "retail/ui/PosKasaWindow.h"
#include "sales/InvoiceCorrection.h"
#include "sales/ui/CompositeLineDialog.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::retail::ui {

QString RegisterCommand() {
    return QStringLiteral("Knjizenje_kasa");
}

std::optional<RegisterLineResult> EnterCompositeProduct(zodra::ui::WindowHost& host,
                                                        const TillSale& sale, QWidget* parent) {
    std::optional<RegisterLineResult> added;
    sales::ui::CompositeLineDialog dialog(
        host, sale.draft,
        [&](const sales::CompositeLineInput& input) -> std::optional<sales::AcceptedLine> {
            if (input.product == 0) {
                throw UserError(QStringLiteral("Nije izabran artikal !"));
            }
            added =
                AddRegisterCompositeLine(host.CurrentSession(), sale, input.product, input.quantity,
                                         input.discount.value_or(0), input.price);
            return sales::AcceptedLine{added->lineNumber, false};
        },
        parent);
    dialog.exec();
    return added;
}

void RegisterRetailCommands(zodra::ui::CommandRegistry& registry, const RegisterHooks& hooks) {
    registry.Register(RegisterCommand(), [hooks](zodra::ui::WindowHost& host) {
        if (host.FindWindow(RegisterCommand())) {
            return;  // one register per workstation: brought to the front
        }
        if (PosKasaWindow* window = PosKasaWindow::Open(host, hooks)) {
            host.ShowWindow(window, window->Caption());
        }
    });
    registry.Register(DetailInvoicesCommand(), [](zodra::ui::WindowHost& host) {
        if (host.FindWindow(DetailInvoicesCommand())) {
            return;
        }
        auto* window = new DetailInvoicesWindow(host);
        host.ShowWindow(window, window->windowTitle());
    });
}

void OpenRetailPaymentForInvoice(zodra::ui::WindowHost& host, const sales::InvoiceKey& key,
                                 double alreadyPaid) {
    RetailPaymentInput invoice;
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        Database& db = host.CurrentSession().Db();
        const auto header = sales::ReadPostedInvoice(db, key);
        if (!header) {
            throw UserError(sales::NoSuchInvoiceMessage(key.number));
        }
        invoice.warehouse = key.warehouse;
        invoice.book = key.book;
        invoice.year = key.year;
        invoice.number = key.number;
        invoice.date = header->date;
        invoice.customer = header->customer;
        invoice.total = sales::TotalsOf(db, {0, key}).total;
    });
    if (invoice.number == 0) {
        return;
    }
    PaymentDialog dialog(host, invoice, alreadyPaid > 0 ? alreadyPaid : invoice.total,
                         host.DialogParent());
    dialog.exec();
}

}  // namespace zodra::retail::ui
