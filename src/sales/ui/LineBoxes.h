#pragma once

#include <QString>
#include <functional>
#include <optional>

#include "data/InputLimits.h"
#include "sales/InvoiceLines.h"

class QComboBox;
class QWidget;

namespace zodra {
class Prompter;
}

namespace zodra::ui {
class NumberBox;
}

namespace zodra::sales::ui {

// A number box of a line dialog: its object name, the kind of number it holds and what its
// limit message calls it.
zodra::ui::NumberBox* MakeLineBox(Prompter& prompter, const QString& name, limits::NumberKind kind,
                                  const QString& what, QWidget* parent);

// The line's quantity ("Kolicina"), which tells an unreadable entry is set to zero.
zodra::ui::NumberBox* MakeQuantityBox(Prompter& prompter, QWidget* parent);

// The code chosen in a list whose first row is left empty; 0 while that row is chosen.
int ChosenCode(const QComboBox* box);

// Hands the line to its writer with the failure shown to the user; true when it was written.
bool WriteLine(Prompter& prompter, const std::function<std::optional<AcceptedLine>()>& write);

}  // namespace zodra::sales::ui
