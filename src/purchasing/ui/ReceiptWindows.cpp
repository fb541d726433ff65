#include "purchasing/ui/ReceiptWindows.h"

#include <memory>

#include "data/Errors.h"
#include "data/Session.h"
#include "purchasing/ReceiptCorrection.h"
#include "purchasing/ui/NewReceiptController.h"
#include "purchasing/ui/ReceiptCorrectionController.h"
#include "purchasing/ui/ReceiptListController.h"
#include "ui/CommandRegistry.h"
#include "ui/DocumentWindows.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

using zodra::ui::DocumentWindow;
using zodra::ui::WindowHost;

DocumentWindow* OpenReceiptWindow(WindowHost& host, const zodra::ui::CommandRegistry* registry) {
    if (auto* open =
            qobject_cast<DocumentWindow*>(host.FindWindow(NewReceiptController::CommandName()))) {
        return open;
    }
    return zodra::ui::ShowDocumentWindow(host, std::make_unique<NewReceiptController>(registry),
                                         registry);
}

DocumentWindow* OpenReceiptCorrection(WindowHost& host, const zodra::ui::CommandRegistry* registry,
                                      int number) {
    Session& session = host.CurrentSession();
    const std::optional<PostedReceipt> r =
        ReadPostedReceipt(session.Db(), session.activeWarehouse.code, session.businessYear, number);
    if (!r) {
        throw UserError(NoSuchReceiptMessage(number));
    }
    return zodra::ui::ShowDocumentWindow(
        host, std::make_unique<ReceiptCorrectionController>(registry, number, r->supplierName),
        registry);
}

zodra::ui::PostedDocumentsWindow* OpenReceiptList(WindowHost& host,
                                                  const zodra::ui::CommandRegistry* registry) {
    return zodra::ui::ShowPostedDocuments(host, std::make_unique<ReceiptListController>(registry));
}

void RegisterPurchasingCommands(zodra::ui::CommandRegistry& registry) {
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(NewReceiptController::CommandName(),
                      [r](WindowHost& host) { OpenReceiptWindow(host, r); });
    registry.Register(ReceiptListController::CommandName(),
                      [r](WindowHost& host) { OpenReceiptList(host, r); });
}

}  // namespace zodra::purchasing::ui
