#include "ui/DocumentWindows.h"

#include "ui/CommandRegistry.h"

namespace zodra::ui {

void BindDocument(CommandRegistry& registry,
                  std::shared_ptr<const DocumentDescription> description) {
    const CommandRegistry* r = &registry;
    if (!description->command.isEmpty()) {
        registry.Register(description->command, [description, r](WindowHost& host) {
            ShowDocumentWindow(host, description, r);
        });
    }
    if (!description->listCommand.isEmpty()) {
        registry.Register(description->listCommand, [description](WindowHost& host) {
            ShowPostedDocuments(host, description);
        });
    }
}

}  // namespace zodra::ui
