#include "stockdocs/ui/StockDocsWindows.h"

#include <memory>

#include "stockdocs/ui/PriceChangeController.h"
#include "stockdocs/ui/PriceChangeListController.h"
#include "ui/DocumentWindows.h"

namespace zodra::stockdocs::ui {

void RegisterStockDocsCommands(zodra::ui::CommandRegistry& registry) {
    zodra::ui::BindDocument(
        registry, [] { return std::make_unique<PriceChangeController>(); },
        [] { return std::make_unique<PriceChangeListController>(); });
}

}  // namespace zodra::stockdocs::ui
