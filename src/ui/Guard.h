#pragma once

#include <QString>
#include <functional>

namespace zodra {
class Prompter;
}

namespace zodra::ui {

// Runs one user action and shows a refusal (UserError: its message as it stands) or a database
// failure (DbError: "Greška u radu s bazom podataka: " and the driver's text) instead of letting
// it escape into the event loop. Returns true when the action finished.
bool Guarded(Prompter& prompter, const std::function<void()>& action);

// The text shown for a database failure.
QString DatabaseErrorText(const QString& driverText);

}  // namespace zodra::ui
