#include "ui/RegisterWindows.h"

namespace zodra::ui {

void BindRegister(CommandRegistry& registry,
                  std::shared_ptr<const RegisterDescription> description) {
    const CommandRegistry* r = &registry;
    if (!description->command.isEmpty()) {
        registry.Register(description->command, [description, r](WindowHost& host) {
            ShowRegisterList(host, description, r);
        });
    }
    registry.RegisterEntry(description->name, [description, r](WindowHost& host, QWidget* parent) {
        return OpenRegisterEntry(host, description, r, parent);
    });
}

}  // namespace zodra::ui
