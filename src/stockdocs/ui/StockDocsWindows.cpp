#include "stockdocs/ui/StockDocsWindows.h"

#include <memory>

#include "data/Session.h"
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/StockCount.h"
#include "stockdocs/ui/IssueDocumentController.h"
#include "stockdocs/ui/IssueListController.h"
#include "stockdocs/ui/PriceChangeController.h"
#include "stockdocs/ui/PriceChangeListController.h"
#include "stockdocs/ui/StockCountController.h"
#include "stockdocs/ui/StockCountListController.h"
#include "stockdocs/ui/TransferController.h"
#include "stockdocs/ui/TransferListController.h"
#include "ui/CommandRegistry.h"
#include "ui/DocumentWindows.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

zodra::ui::DocumentWindow* OpenStockCount(zodra::ui::WindowHost& host,
                                          const zodra::ui::CommandRegistry* registry) {
    if (auto* open = qobject_cast<zodra::ui::DocumentWindow*>(
            host.FindWindow(StockCountController::CommandName()))) {
        return open;
    }
    Session& session = host.CurrentSession();
    if (!PrepareStockCount(session, host.UserPrompter(), NextStockCountNumber(session))) {
        return nullptr;
    }
    return zodra::ui::ShowDocumentWindow(host, std::make_unique<StockCountController>(), registry);
}

void RegisterStockDocsCommands(zodra::ui::CommandRegistry& registry) {
    zodra::ui::BindDocument(
        registry, [] { return std::make_unique<PriceChangeController>(); },
        [] { return std::make_unique<PriceChangeListController>(); });
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(StockCountController::CommandName(),
                      [r](zodra::ui::WindowHost& host) { OpenStockCount(host, r); });
    zodra::ui::BindDocument(registry, nullptr,
                            [] { return std::make_unique<StockCountListController>(); });
    zodra::ui::BindDocument(
        registry, [] { return std::make_unique<TransferController>(); },
        [] { return std::make_unique<TransferListController>(); });
    for (const IssueDocumentTexts& texts : IssueDocuments()) {
        const DocumentKind kind = texts.kind;
        zodra::ui::BindDocument(
            registry, [kind] { return std::make_unique<IssueDocumentController>(kind); },
            [kind] { return std::make_unique<IssueListController>(kind); });
    }
}

}  // namespace zodra::stockdocs::ui
