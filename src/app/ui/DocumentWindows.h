#pragma once

// The document window framework: a stock document described once (DocumentDescription) gets
// its document window, the list of posted documents and the view of one posted document.

#include <memory>

#include "app/ui/DocumentDescription.h"
#include "app/ui/DocumentTableView.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/PostedDocumentView.h"
#include "app/ui/PostedDocumentsWindow.h"

namespace zodra::ui {

class CommandRegistry;

// Binds the document's command and its list command in the registry.
void BindDocument(CommandRegistry& registry,
                  std::shared_ptr<const DocumentDescription> description);

}  // namespace zodra::ui
