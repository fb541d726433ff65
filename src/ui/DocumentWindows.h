#pragma once

// The document window framework: a stock document described once (DocumentDescription) gets
// its document window, the list of posted documents and the view of one posted document.

#include <memory>

#include "ui/DocumentDescription.h"
#include "ui/DocumentTableView.h"
#include "ui/DocumentWindow.h"
#include "ui/PostedDocumentView.h"
#include "ui/PostedDocumentsWindow.h"

namespace zodra::ui {

class CommandRegistry;

// Binds the document's command and its list command in the registry.
void BindDocument(CommandRegistry& registry,
                  std::shared_ptr<const DocumentDescription> description);

}  // namespace zodra::ui
