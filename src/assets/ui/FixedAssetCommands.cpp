#include "assets/ui/FixedAssetCommands.h"

#include "assets/FixedAssetRegister.h"
#include "assets/ui/FixedAssetListWindow.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::assets::ui {

void RegisterFixedAssetCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(QStringLiteral("PDI_Upis"), [](zodra::ui::WindowHost& host) {
        if (host.FindWindow(FixedAssetListWindow::ObjectName())) {
            return;  // already open: brought to the front
        }
        host.ShowWindow(new FixedAssetListWindow(host), ListCaption());
    });
    registry.Register(QStringLiteral("PDI_Izvjestaj"), [](zodra::ui::WindowHost& host) {
        Session& session = host.CurrentSession();
        reports::ui::ShowReport(host, AssetReportRequest(session.Db(), session.businessYear));
    });
}

}  // namespace zodra::assets::ui
