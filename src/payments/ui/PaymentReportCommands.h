#pragma once

namespace zodra::ui {
class CommandRegistry;
}

namespace zodra::payments::ui {

// Binds the report commands of "Saldakonti": the debtors ("Dugovi": every debtor at once, or
// "Izbor dužnika" for a range of invoice or due dates and the debtors chosen), the debts by
// payment method, the collected and paid amounts (all, or of a range of payment dates), and the
// customers' and suppliers' cards for a range; each shown on screen.
void RegisterPaymentReportCommands(zodra::ui::CommandRegistry& registry);

}  // namespace zodra::payments::ui
