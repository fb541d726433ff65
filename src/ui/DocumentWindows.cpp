#include "ui/DocumentWindows.h"

#include "ui/CommandRegistry.h"

namespace zodra::ui {

void BindDocument(CommandRegistry& registry, DocumentControllerFactory document,
                  DocumentListControllerFactory list) {
    const CommandRegistry* r = &registry;
    if (document) {
        registry.Register(document()->Command(), [document, r](WindowHost& host) {
            ShowDocumentWindow(host, document(), r);
        });
    }
    if (list) {
        registry.Register(list()->Command(),
                          [list](WindowHost& host) { ShowPostedDocuments(host, list()); });
    }
}

}  // namespace zodra::ui
