#include "yearend/ui/YearTransferCommands.h"

#include <QApplication>
#include <QFileInfo>

#include "data/Session.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"
#include "yearend/YearTransfer.h"

namespace zodra::yearend::ui {

namespace {

// The hourglass while the transfer runs; the questions before it show the normal pointer.
void ShowBusy(bool on) {
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QApplication::processEvents();
    } else {
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace

void RegisterYearTransferCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(QStringLiteral("Prijenos"), [](zodra::ui::WindowHost& host) {
        Session& session = host.CurrentSession();
        host.SetStatusText(QStringLiteral(" Prijenos u novu godinu"));
        const std::optional<Outcome> done = RunTransfer(
            session, host.UserPrompter(), QFileInfo(session.databasePath).absolutePath(), ShowBusy);
        if (done && session.company.multiYearDatabase && session.businessYear == done->newYear) {
            // The same file now works in the new year: the configuration is read again.
            host.ReloadCompanyOptions();
        }
        host.SetStatusText(QString());
    });
}

}  // namespace zodra::yearend::ui
