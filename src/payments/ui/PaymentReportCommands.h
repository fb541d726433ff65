#pragma once

#include "payments/PaymentReport.h"

namespace zodra::ui {
class CommandRegistry;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::payments::ui {

// Binds the report commands of "Saldakonti": the debtors ("Dugovi": every debtor at once, or
// "Izbor dužnika" for a range of invoice or due dates and the debtors chosen), the debts by
// payment method, the collected and paid amounts (all, or of a range of payment dates), and the
// customers' and suppliers' cards for a range; each shown on screen.
void RegisterPaymentReportCommands(zodra::ui::CommandRegistry& registry);

// Shows one of the payment reports on screen for what the caller has already chosen (the lists'
// own dates, no partners): the report's status text, then the report, or the refusal's message.
void ShowPaymentReport(zodra::ui::WindowHost& host, PaymentReportKind kind,
                       const PaymentReportChoice& choice);

// The range of a window's own "Od"/"Do" boxes as the reports take it.
reports::ReportRange RangeOfDates(const QDate& from, const QDate& to);

}  // namespace zodra::payments::ui
