#pragma once

#include <QList>
#include <QVariantMap>

#include "registers/RegisterDescription.h"
#include "ui/FieldForm.h"

namespace zodra {
class Session;
}

// How a register's fields appear in its windows: the boxes the list and entry windows (and the
// article window) build from the description, and the stored values as those boxes show them.
namespace zodra::registers::ui {

// The boxes of a register's fields. Number boxes are text boxes here, so that the entry checks
// say in their own words which number is wrong ("Carina % mora biti upisana kao broj …");
// lookups are choice boxes with a shortcut button to the referenced register's entry window.
QList<zodra::ui::FieldSpec> FieldBoxes(const RegisterDescription& description);

// The register's values as its boxes show them (numbers with a decimal comma).
QVariantMap ShownValues(const RegisterDescription& description, const Values& stored);

// The operation context of the session (its active warehouse).
OperationContext ContextOf(zodra::Session& session);

}  // namespace zodra::registers::ui
