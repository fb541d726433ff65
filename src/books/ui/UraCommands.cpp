#include "books/ui/UraCommands.h"

#include "books/UraReport.h"
#include "books/ui/BookDialog.h"
#include "books/ui/UraListWindow.h"
#include "data/Session.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::books::ui {

namespace {

// The input invoice book the window or report works on: asked when the company keeps more
// than one.
std::optional<int> AskBook(zodra::ui::WindowHost& host) {
    BookDialog::Choices books;
    for (const UraBookChoice& b : UraBookChoices(host.CurrentSession().Db())) {
        books.emplace_back(b.code, b.name);
    }
    return BookDialog::Ask(QStringLiteral("Knjiga ulaznih računa"), books, host.DialogParent());
}

void PrintBook(zodra::ui::WindowHost& host, UraReportKind kind) {
    host.SetStatusText(UraStatusText(kind));
    Session& session = host.CurrentSession();
    const std::optional<int> book = AskBook(host);
    if (!book) {
        return;
    }
    const bool numbers = kind == UraReportKind::Total;
    const auto range = reports::ui::RangeDialog::Ask(
        host.UserPrompter(), host.DialogParent(), session.businessYear, numbers,
        numbers ? std::optional<int>(1) : std::nullopt,
        numbers ? std::optional<int>(999999) : std::nullopt);
    if (!range) {
        return;
    }
    reports::ui::ShowReport(host, UraReportRequest(session, *book, kind, *range));
}

}  // namespace

void RegisterUraCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(QStringLiteral("URA_Upis"), [](zodra::ui::WindowHost& host) {
        host.SetStatusText(QStringLiteral(" Knjiga ulaznih računa"));
        const std::optional<int> book = AskBook(host);
        if (!book || host.FindWindow(UraListWindow::ObjectName(*book))) {
            return;
        }
        host.ShowWindow(new UraListWindow(host, *book),
                        QStringLiteral("Knjiga ulaznih računa ") + QString::number(*book));
    });
    registry.Register(QStringLiteral("URA_Izvještaj"),
                      [](zodra::ui::WindowHost& host) { PrintBook(host, UraReportKind::Total); });
    registry.Register(QStringLiteral("URA_Izvjestaj_po_placanju"),
                      [](zodra::ui::WindowHost& host) { PrintBook(host, UraReportKind::Paid); });
    registry.Register(QStringLiteral("URA_R2"),
                      [](zodra::ui::WindowHost& host) { PrintBook(host, UraReportKind::PaidR2); });
}

}  // namespace zodra::books::ui
