#include "ui/Guard.h"

#include "data/Errors.h"
#include "data/Prompter.h"

namespace zodra::ui {

QString DatabaseErrorText(const QString& driverText) {
    return QStringLiteral("Greška u radu s bazom podataka: ") + driverText;
}

bool Guarded(Prompter& prompter, const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const UserError& e) {
        prompter.Inform(e.message());
    } catch (const DbError& e) {
        prompter.Inform(DatabaseErrorText(e.driverText()));
    }
    return false;
}

}  // namespace zodra::ui
