#include "payments/ui/PaymentReportCommands.h"

#include "data/Session.h"
#include "payments/PaymentReport.h"
#include "payments/ui/DebtReportDialog.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::payments::ui {

namespace {

void PrintReport(zodra::ui::WindowHost& host, PaymentReportKind kind) {
    const PaymentReportInfo& info = PaymentReportOf(kind);
    host.SetStatusText(info.statusText);
    Session& session = host.CurrentSession();
    Prompter& prompter = host.UserPrompter();
    PaymentReportChoice choice;
    if (info.partners != PartnerSide::None && !info.dateField.isEmpty()) {
        std::vector<PartnerEntry> debtors;
        if (!zodra::ui::Guarded(prompter,
                                [&] { debtors = Debtors(session.Db(), info.partners); })) {
            return;
        }
        DebtReportDialog dialog(prompter, session.businessYear, std::move(debtors),
                                QDate::currentDate(), host.DialogParent());
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        choice = dialog.Choice();
    } else if (!info.dateField.isEmpty()) {
        choice.range =
            reports::ui::RangeDialog::Ask(prompter, host.DialogParent(), session.businessYear);
        if (!choice.range) {
            return;
        }
    }
    ShowPaymentReport(host, kind, choice);
}

}  // namespace

void ShowPaymentReport(zodra::ui::WindowHost& host, PaymentReportKind kind,
                       const PaymentReportChoice& choice) {
    host.SetStatusText(PaymentReportOf(kind).statusText);
    Session& session = host.CurrentSession();
    reports::ReportRequest request;
    if (zodra::ui::Guarded(host.UserPrompter(),
                           [&] { request = PaymentReportRequest(session, kind, choice); })) {
        reports::ui::ShowReport(host, request);
    }
}

reports::ReportRange RangeOfDates(const QDate& from, const QDate& to) {
    reports::ReportRange range;
    range.from = from;
    range.to = to;
    range.fromText = from.toString(QStringLiteral("dd.MM.yyyy"));
    range.toText = to.toString(QStringLiteral("dd.MM.yyyy"));
    range.fromDateArgs = reports::DateArgs(from);
    range.toDateArgs = reports::DateArgs(to);
    range.cancelled = false;
    return range;
}

void RegisterPaymentReportCommands(zodra::ui::CommandRegistry& registry) {
    for (const PaymentReportInfo& info : PaymentReports()) {
        if (info.command.isEmpty()) {
            continue;
        }
        const PaymentReportKind kind = info.kind;
        registry.Register(info.command,
                          [kind](zodra::ui::WindowHost& host) { PrintReport(host, kind); });
    }
}

}  // namespace zodra::payments::ui
