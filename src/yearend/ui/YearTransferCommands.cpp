#include "yearend/ui/YearTransferCommands.h"

#include <QApplication>
#include <QFileInfo>
#include <memory>

#include "data/Session.h"
#include "ui/CommandRegistry.h"
#include "ui/ProgressSteps.h"
#include "ui/WindowHost.h"
#include "yearend/YearTransfer.h"

namespace zodra::yearend::ui {

void RegisterYearTransferCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(QStringLiteral("Prijenos"), [](zodra::ui::WindowHost& host) {
        Session& session = host.CurrentSession();
        host.SetStatusText(QStringLiteral(" Prijenos u novu godinu"));
        // While the transfer runs (after every question) its steps and the hourglass; it runs
        // in one transaction, so it is not offered for cancelling.
        std::unique_ptr<zodra::ui::ProgressSteps> progress;
        const auto busy = [&](bool on) {
            if (on) {
                QApplication::setOverrideCursor(Qt::WaitCursor);
                progress = std::make_unique<zodra::ui::ProgressSteps>(
                    host.DialogParent(), QStringLiteral("Prijenos u novu godinu"),
                    QStringLiteral("Prijenos u novu godinu u tijeku…"));
            } else {
                progress.reset();
                QApplication::restoreOverrideCursor();
            }
        };
        const auto steps = [&](const QString& step, int done, int total) {
            if (progress) {
                progress->Step(step, done, total);
            }
        };
        const std::optional<Outcome> done =
            RunTransfer(session, host.UserPrompter(),
                        QFileInfo(session.databasePath).absolutePath(), busy, steps);
        if (done && session.company.multiYearDatabase && session.businessYear == done->newYear) {
            // The same file now works in the new year: the configuration is read again.
            host.ReloadCompanyOptions();
        }
        host.SetStatusText(QString());
    });
}

}  // namespace zodra::yearend::ui
