#include "payments/ui/PaymentSlipPrinting.h"

#include "books/IraBookReport.h"
#include "data/Session.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::payments::ui {

void PrintOutputInvoiceSlips(zodra::ui::WindowHost& host, int book, SlipKind kind) {
    Session& session = host.CurrentSession();
    Prompter& prompter = host.UserPrompter();
    books::IraNumberSpan span;
    if (!zodra::ui::Guarded(prompter, [&] {
            span = books::IraNumbers(session.Db(), session.activeWarehouse.code, book,
                                     session.businessYear);
        })) {
        return;
    }
    const auto range =
        reports::ui::RangeDialog::Ask(prompter, host.DialogParent(), session.businessYear, true,
                                      span.first.value_or(1), span.last.value_or(1));
    if (!range) {
        return;
    }
    reports::ReportRequest request;
    const bool made = zodra::ui::Guarded(prompter, [&] {
        OutputSlipRange slips;
        slips.warehouse = session.activeWarehouse.code;
        slips.book = book;
        slips.year = session.businessYear;
        slips.firstNumber = range->first.value_or(1);
        slips.lastNumber = range->last.value_or(span.last.value_or(1));
        slips.from = range->from;
        slips.to = range->to;
        request = PaymentSlipRequest(kind, OutputInvoiceSlips(session.Db(), slips));
    });
    if (made) {
        reports::ui::ShowReport(host, request);
    }
}

void PrintInputInvoiceSlips(zodra::ui::WindowHost& host, int book, int first, int last) {
    Session& session = host.CurrentSession();
    reports::ReportRequest request;
    if (zodra::ui::Guarded(host.UserPrompter(), [&] {
            request = PaymentSlipRequest(
                SlipKind::InputInvoiceOrder,
                InputInvoiceSlips(session.Db(), book, session.businessYear, first, last));
        })) {
        reports::ui::ShowReport(host, request);
    }
}

}  // namespace zodra::payments::ui
