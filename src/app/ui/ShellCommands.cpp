#include "app/ui/ShellCommands.h"

#include "app/ui/CompanyDataDialog.h"
#include "app/ui/UsersWindow.h"
#include "app/ui/WarehouseRegister.h"
#include "data/Session.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

void RegisterShellCommands(CommandRegistry& registry) {
    BindWarehouseRegister(registry);
    registry.Register(QStringLiteral("Podaci_poduzeca"), [](WindowHost& host) {
        CompanyDataDialog dialog(host.CurrentSession().Db(), host.UserPrompter(),
                                 host.DialogParent(), &host);
        dialog.exec();
    });
    registry.Register(QStringLiteral("Sifarnici_Korisnici"), [](WindowHost& host) {
        if (host.CurrentSession().userName != QLatin1String("admin") ||
            host.FindWindow(QStringLiteral("Sifarnici_Korisnici"))) {
            return;
        }
        auto* window = new UsersWindow(host);
        host.ShowWindow(window, window->windowTitle());
    });
}

}  // namespace zodra::ui
