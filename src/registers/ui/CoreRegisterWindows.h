#pragma once

#include <QString>
#include <memory>

#include "registers/RegisterDescription.h"
#include "ui/RegisterWindows.h"

namespace zodra {
class Session;
}
namespace zodra::ui {
class CommandRegistry;
class WindowHost;
}  // namespace zodra::ui

// The registers' list and entry windows, built by the window kit's register framework from the
// core description of each register: its fields as boxes, its entry checks, duplicate checks
// and delete guards through the core operations.
namespace zodra::registers::ui {

// The window description of a register. Number boxes are text boxes here, so that the entry
// checks say in their own words which number is wrong ("Carina % mora biti upisana kao broj
// …"); lookups are choice boxes with a shortcut button to the referenced register's entry
// window.
std::shared_ptr<zodra::ui::RegisterDescription> WindowDescription(const RegisterDescription& core,
                                                                  const QString& command);

// The register's values as its boxes show them (numbers with a decimal comma).
QVariantMap ShownValues(const RegisterDescription& core, const Values& stored);

// Binds the list command and the entry window (by table name) of a register.
void Bind(zodra::ui::CommandRegistry& registry, const RegisterDescription& core,
          const QString& command);

// The operation context of the session (its active warehouse).
OperationContext ContextOf(zodra::Session& session);

}  // namespace zodra::registers::ui
