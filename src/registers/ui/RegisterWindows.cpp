#include "registers/ui/RegisterWindows.h"

namespace zodra::registers::ui {

void Bind(zodra::ui::CommandRegistry& registry, const RegisterDescription& description,
          RegisterWindowOptions options) {
    if (!description.command.isEmpty()) {
        const zodra::ui::CommandRegistry* r = &registry;
        const RegisterDescription* d = &description;
        registry.Register(description.command, [d, r, options](zodra::ui::WindowHost& host) {
            ShowRegisterList(host, *d, r, options);
        });
    }
    BindEntry(registry, description, std::move(options));
}

void BindEntry(zodra::ui::CommandRegistry& registry, const RegisterDescription& description,
               RegisterWindowOptions options) {
    const zodra::ui::CommandRegistry* r = &registry;
    const RegisterDescription* d = &description;
    registry.RegisterEntry(description.table, [d, r, options = std::move(options)](
                                                  zodra::ui::WindowHost& host, QWidget* parent) {
        return OpenRegisterEntry(host, *d, r, options, parent);
    });
}

}  // namespace zodra::registers::ui
