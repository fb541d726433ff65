#include "sales/ui/InvoiceWindows.h"

#include <memory>

#include "data/Errors.h"
#include "data/Session.h"
#include "sales/InvoiceCorrection.h"
#include "sales/ui/InvoiceController.h"
#include "sales/ui/InvoiceCorrectionController.h"
#include "ui/CommandRegistry.h"
#include "ui/DocumentWindows.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

using zodra::ui::DocumentWindow;
using zodra::ui::WindowHost;

QString InvoiceCommand() {
    return QStringLiteral("Knjizenje_racun");
}

DocumentWindow* OpenInvoiceWindow(WindowHost& host, const zodra::ui::CommandRegistry* registry,
                                  const InvoiceAfterPosting& after) {
    if (auto* open = qobject_cast<DocumentWindow*>(host.FindWindow(InvoiceCommand()))) {
        return open;
    }
    auto controller = std::make_unique<InvoiceController>(registry, InvoiceDocument(), after);
    InvoiceController* attached = controller.get();
    DocumentWindow* window = zodra::ui::ShowDocumentWindow(host, std::move(controller), registry);
    attached->Attach(window);
    return window;
}

DocumentWindow* OpenOutgoingWindow(WindowHost& host, const zodra::ui::CommandRegistry* registry,
                                   const OutgoingDocument& document) {
    if (auto* open = qobject_cast<DocumentWindow*>(host.FindWindow(document.command))) {
        return open;
    }
    auto controller =
        std::make_unique<InvoiceController>(registry, document, InvoiceAfterPosting{});
    InvoiceController* attached = controller.get();
    DocumentWindow* window = zodra::ui::ShowDocumentWindow(host, std::move(controller), registry);
    attached->Attach(window);
    return window;
}

DocumentWindow* OpenInvoiceCorrection(WindowHost& host, const zodra::ui::CommandRegistry* registry,
                                      int book, int number) {
    Session& session = host.CurrentSession();
    const InvoiceKey key{session.activeWarehouse.code, book, session.businessYear, number};
    const std::optional<PostedInvoiceHeader> header = ReadPostedInvoice(session.Db(), key);
    if (!header) {
        throw UserError(NoSuchInvoiceMessage(number));
    }
    if (header->cancelled) {
        throw UserError(CancelledInvoiceMessage());
    }
    const QString command = InvoiceCorrectionController::CommandName(book, number);
    if (auto* open = qobject_cast<DocumentWindow*>(host.FindWindow(command))) {
        return open;
    }
    auto controller =
        std::make_unique<InvoiceCorrectionController>(registry, InvoiceDocument(), *header);
    InvoiceCorrectionController* attached = controller.get();
    DocumentWindow* window = zodra::ui::ShowDocumentWindow(host, std::move(controller), registry);
    attached->Attach(window);
    return window;
}

void RegisterSalesCommands(zodra::ui::CommandRegistry& registry, const InvoiceAfterPosting& after) {
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(InvoiceCommand(),
                      [r, after](WindowHost& host) { OpenInvoiceWindow(host, r, after); });
    for (const OutgoingDocument* document :
         {&OfferDocument(), &ProFormaDocument(), &DeliveryNoteDocument()}) {
        registry.Register(document->command, [r, document](WindowHost& host) {
            OpenOutgoingWindow(host, r, *document);
        });
    }
}

}  // namespace zodra::sales::ui
