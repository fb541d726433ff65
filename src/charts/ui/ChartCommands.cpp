#include "charts/ui/ChartCommands.h"

#include "charts/ChartData.h"
#include "charts/ui/ChartWindow.h"
#include "data/CommandCatalogue.h"
#include "data/Session.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::charts::ui {

void RegisterChartCommands(zodra::ui::CommandRegistry& registry) {
    for (const zodra::commands::Command& command : zodra::commands::Menu()) {
        const std::optional<ChartRequest> request = RequestForCommand(command.name);
        if (!request) {
            continue;
        }
        const QString name = command.name;
        registry.Register(name, [name, chart = *request](zodra::ui::WindowHost& host) {
            ChartRequest wanted = chart;
            const Session& session = host.CurrentSession();
            wanted.warehouse = session.activeWarehouse.code;
            wanted.year = session.businessYear;
            if (auto* open =
                    qobject_cast<ChartWindow*>(host.FindWindow(ChartWindow::ObjectName()))) {
                open->Show(wanted);
                return;
            }
            auto* window = new ChartWindow(host, wanted);
            host.ShowWindow(window, zodra::commands::WindowCaption(name));
        });
    }
}

}  // namespace zodra::charts::ui
