#include "books/ui/UraCommands.h"

#include "books/UraReport.h"
#include "books/ui/UraListWindow.h"
#include "data/Session.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::books::ui {

namespace {

// The windows work on the company's first input invoice book (a company with further books
// prints them through zodractl ura --knjiga for now).
constexpr int kBook = 1;

void PrintBook(zodra::ui::WindowHost& host, UraReportKind kind) {
    host.SetStatusText(UraStatusText(kind));
    Session& session = host.CurrentSession();
    const bool numbers = kind == UraReportKind::Total;
    const auto range = reports::ui::RangeDialog::Ask(
        host.UserPrompter(), host.DialogParent(), session.businessYear, numbers,
        numbers ? std::optional<int>(1) : std::nullopt,
        numbers ? std::optional<int>(999999) : std::nullopt);
    if (!range) {
        return;
    }
    reports::ui::ShowReport(host, UraReportRequest(session, kBook, kind, *range));
}

}  // namespace

void RegisterUraCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(UraListWindow::ObjectName(), [](zodra::ui::WindowHost& host) {
        host.SetStatusText(QStringLiteral(" Knjiga ulaznih računa"));
        if (host.FindWindow(UraListWindow::ObjectName())) {
            return;
        }
        host.ShowWindow(new UraListWindow(host, kBook), QStringLiteral("Knjiga ulaznih računa"));
    });
    registry.Register(QStringLiteral("URA_Izvještaj"),
                      [](zodra::ui::WindowHost& host) { PrintBook(host, UraReportKind::Total); });
    registry.Register(QStringLiteral("URA_Izvjestaj_po_placanju"),
                      [](zodra::ui::WindowHost& host) { PrintBook(host, UraReportKind::Paid); });
    registry.Register(QStringLiteral("URA_R2"),
                      [](zodra::ui::WindowHost& host) { PrintBook(host, UraReportKind::PaidR2); });
}

}  // namespace zodra::books::ui
