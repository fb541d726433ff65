#include "sales/ui/InvoiceListCommands.h"

#include "data/Errors.h"
#include "data/Prompter.h"
#include "reports/ui/ReportPrinting.h"
#include "sales/InvoicePrint.h"
#include "sales/OutgoingPrint.h"
#include "sales/ui/InvoiceListMail.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

InvoiceListWindow* OpenInvoiceList(zodra::ui::WindowHost& host,
                                   const zodra::ui::CommandRegistry* registry,
                                   InvoiceCorrectionOpener correction,
                                   InvoiceEInvoiceWriter einvoice,
                                   InvoiceNegativeReceiptPrinter negativeReceipt) {
    if (auto* open =
            qobject_cast<InvoiceListWindow*>(host.FindWindow(InvoiceListWindow::ObjectName()))) {
        open->Reload();
        return open;
    }
    auto* window = new InvoiceListWindow(host, registry, std::move(correction),
                                         std::make_shared<SystemMailProgram>());
    window->SetEInvoiceWriter(std::move(einvoice));
    window->SetNegativeReceiptPrinter(std::move(negativeReceipt));
    host.ShowWindow(window, window->windowTitle());
    return window;
}

void ShowPostedInvoicePrints(zodra::ui::WindowHost& host, const InvoiceKey& key,
                             const InvoicePrintChoice& choice) {
    const std::pair<bool, InvoicePrintKind> kinds[] = {
        {choice.invoice, InvoicePrintKind::Invoice},
        {choice.invoiceDeliveryNote, InvoicePrintKind::InvoiceDeliveryNote},
        {choice.deliveryNote, InvoicePrintKind::DeliveryNote},
        {choice.foreignCurrency, InvoicePrintKind::ForeignCurrency}};
    for (const auto& [chosen, kind] : kinds) {
        if (!chosen) {
            continue;
        }
        try {
            reports::ui::ShowReport(
                host, InvoicePrintRequest(host.CurrentSession(), key.book, key.number, kind));
        } catch (const UserError& e) {
            // The invoice is posted; a printout that cannot be made (no rate for the foreign
            // currency, say) is told and the others still come.
            host.UserPrompter().Inform(e.message(), QStringLiteral("Ispis"));
        }
    }
}

void ShowPostedDocumentPrint(zodra::ui::WindowHost& host, OutgoingKind kind, const InvoiceKey& key,
                             const InvoicePrintChoice& choice) {
    OutgoingPrintOptions options;
    options.withoutDiscount = choice.withoutDiscount;
    options.purchaseValues = choice.purchaseValues;
    try {
        reports::ui::ShowReport(
            host, OutgoingPrintRequest(host.CurrentSession(), kind, key.book, key.number, options));
    } catch (const UserError& e) {
        host.UserPrompter().Inform(e.message(), QStringLiteral("Ispis"));
    }
}

void RegisterInvoiceListCommands(zodra::ui::CommandRegistry& registry,
                                 InvoiceCorrectionOpener correction, InvoiceEInvoiceWriter einvoice,
                                 InvoiceNegativeReceiptPrinter negativeReceipt) {
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(QStringLiteral("Pregledi_racuni"),
                      [r, correction, einvoice, negativeReceipt](zodra::ui::WindowHost& host) {
                          OpenInvoiceList(host, r, correction, einvoice, negativeReceipt);
                      });
}

}  // namespace zodra::sales::ui
