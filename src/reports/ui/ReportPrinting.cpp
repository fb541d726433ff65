#include "reports/ui/ReportPrinting.h"

#include <QMdiSubWindow>
#include <QPrinter>

#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/ReportWindow.h"
#include "ui/WindowHost.h"

namespace zodra::reports::ui {

ReportWindow* ShowReport(zodra::ui::WindowHost& host, const ReportRequest& request) {
    Session& session = host.CurrentSession();
    host.SetStatusText(QLatin1Char(' ') + request.title);
    auto* window = new ReportWindow(session.Db(), host.UserPrompter(), request,
                                    session.workstation.reportZoom);
    window->setObjectName(QStringLiteral("Izvještaj"));
    if (!window->Render()) {
        delete window;
        return nullptr;
    }
    if (QMdiSubWindow* sub = host.ShowWindow(window, request.title)) {
        sub->showMaximized();
    }
    window->setFocus();
    return window;
}

bool PrintReport(zodra::ui::WindowHost& host, const ReportRequest& request) {
    host.SetStatusText(QLatin1Char(' ') + request.title);
    QPrinter printer(QPrinter::HighResolution);
    try {
        ReportEngine(host.CurrentSession().Db()).ToPrinter(request, printer);
        return true;
    } catch (const std::exception& e) {
        host.UserPrompter().Inform(FailureText(e), request.title);
        return false;
    }
}

void OutputReport(zodra::ui::WindowHost& host, const ReportRequest& request, int destination) {
    if (destination == static_cast<int>(Destination::Screen)) {
        ShowReport(host, request);
    } else {
        PrintReport(host, request);
    }
}

}  // namespace zodra::reports::ui
