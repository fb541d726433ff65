#include "books/ui/IraCommands.h"

#include "books/IraBookReport.h"
#include "books/ui/BookDialog.h"
#include "data/Session.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "sales/InvoiceList.h"
#include "ui/CommandRegistry.h"
#include "ui/WindowHost.h"

namespace zodra::books::ui {

namespace {

void PrintBook(zodra::ui::WindowHost& host, IraVariant variant) {
    host.SetStatusText(IraStatusText(variant));
    Session& session = host.CurrentSession();
    BookDialog::Choices books;
    for (const sales::IraBookChoice& b : sales::IraBookChoices(session.Db())) {
        books.emplace_back(b.code, b.name);
    }
    const std::optional<int> book =
        BookDialog::Ask(QStringLiteral("Knjiga izlaznih računa"), books, host.DialogParent());
    if (!book) {
        return;
    }
    const bool numbers = variant == IraVariant::Total;
    const int warehouse = session.activeWarehouse.code;
    const IraNumberSpan span =
        numbers ? IraNumbers(session.Db(), warehouse, *book, session.businessYear)
                : IraNumberSpan{};
    const auto range =
        reports::ui::RangeDialog::Ask(host.UserPrompter(), host.DialogParent(),
                                      session.businessYear, numbers, span.first, span.last);
    if (!range) {
        return;
    }
    reports::ui::ShowReport(host, PrepareIraBook(session, variant, *book, *range));
}

}  // namespace

void RegisterIraCommands(zodra::ui::CommandRegistry& registry) {
    const std::pair<const char*, IraVariant> commands[] = {
        {"IRA_ukupno", IraVariant::Total},
        {"IRA_ukupno_po_danima", IraVariant::RetailDaily},
        {"IRA_DP", IraVariant::Paid},
        {"IRA_DP_po_danima", IraVariant::PaidRetailDaily},
    };
    for (const auto& [name, variant] : commands) {
        const IraVariant v = variant;
        registry.Register(QString::fromLatin1(name),
                          [v](zodra::ui::WindowHost& host) { PrintBook(host, v); });
    }
}

}  // namespace zodra::books::ui
