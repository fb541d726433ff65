#include "production/ui/ProductionWindows.h"

#include <memory>

#include "data/CommandCatalogue.h"
#include "production/ui/BillsWindow.h"
#include "production/ui/WorkOrderController.h"
#include "production/ui/WorkOrderListController.h"
#include "ui/CommandRegistry.h"
#include "ui/DocumentWindow.h"
#include "ui/DocumentWindows.h"
#include "ui/FieldForm.h"
#include "ui/WindowHost.h"

namespace zodra::production::ui {

void RegisterProductionCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(BillsWindow::CommandName(), [](zodra::ui::WindowHost& host) {
        if (host.FindWindow(BillsWindow::CommandName())) {
            return;
        }
        host.ShowWindow(new BillsWindow(host), commands::WindowCaption(BillsWindow::CommandName()));
    });
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(WorkOrderController::CommandName(), [r](zodra::ui::WindowHost& host) {
        auto* window =
            zodra::ui::ShowDocumentWindow(host, std::make_unique<WorkOrderController>(), r);
        if (window && window->Extra()) {
            if (QWidget* destination =
                    window->Extra()->Editor(WorkOrderController::DestinationKey())) {
                const QString tip =
                    QStringLiteral("Izaberite skladište na koje će biti zaprimljen gotov proizvod");
                destination->setToolTip(tip);
                destination->setStatusTip(tip);
            }
        }
    });
    zodra::ui::BindDocument(registry, nullptr,
                            [] { return std::make_unique<WorkOrderListController>(); });
    // "Radni nalog dorada" and "Radni nalozi dorada": the same windows of the other kind.
    zodra::ui::BindDocument(
        registry, [] { return std::make_unique<WorkOrderController>(WorkOrderKind::Finishing); },
        [] { return std::make_unique<WorkOrderListController>(WorkOrderKind::Finishing); });
}

}  // namespace zodra::production::ui
