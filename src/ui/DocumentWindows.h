#pragma once

// The document window framework: a document's controllers (DocumentController for the
// document window, DocumentListController for the list of posted documents and its views)
// give it the document window, the list of posted documents, the view of one posted document
// and the table view of all of them.

#include <functional>
#include <memory>

#include "ui/DocumentController.h"
#include "ui/DocumentListController.h"
#include "ui/DocumentTableView.h"
#include "ui/DocumentWindow.h"
#include "ui/PostedDocumentController.h"
#include "ui/PostedDocumentView.h"
#include "ui/PostedDocumentsWindow.h"

namespace zodra::ui {

class CommandRegistry;

// Makes a fresh controller for each window the command opens.
using DocumentControllerFactory = std::function<std::unique_ptr<DocumentController>()>;
using DocumentListControllerFactory = std::function<std::unique_ptr<DocumentListController>()>;

// Binds the document's command (the document window) and its list command (the list of posted
// documents) in the registry, under the names their controllers give; either may be null.
void BindDocument(CommandRegistry& registry, DocumentControllerFactory document,
                  DocumentListControllerFactory list);

}  // namespace zodra::ui
