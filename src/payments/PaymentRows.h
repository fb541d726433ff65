#pragma once

#include <QString>
#include <QVariant>
#include <optional>

#include "books/KpiBook.h"
#include "payments/PaymentModels.h"

namespace zodra {
class Database;
}  // namespace zodra

// What the customer side (UPLATE and its collections NAPLATA) and the supplier side (UPLATE_URA
// and its closings PLACANJA) share: a payment row written and taken away under one rule, sums at
// the cent, and the R-2 book's counter-entries. Used inside the callers' transactions.
namespace zodra::payments::rows {

struct Tables {
    const char* payments;       // the payments' table
    const char* closings;       // the table of what closes invoices from a payment
    const char* paymentColumn;  // the closing's column naming its payment
};
extern const Tables kCustomerSide;
extern const Tables kSupplierSide;

// Adds the first column of the rows `sql` selects, each at the cent.
double SumAtCent(Database& db, const QString& sql, const QVariantList& params);
// What has been closed from `payment` so far.
double ClosedFrom(Database& db, const Tables& side, int payment);
// Refuses with `message` a partner not chosen or not in PARTNERI.
void RequirePartner(Database& db, std::optional<int> partner, const QString& message);
// Writes the payment (`card` NULL unless given) and returns its code; the write lock is held,
// so the highest code is the row just added.
int InsertPayment(Database& db, const Tables& side, int warehouse, int year, int partner,
                  const PaymentEntry& e, const QVariant& card = {});
// After a closing of `amount` from `payment` went: the payment goes too when nothing else
// closes from it and its amount equals the closing's at the cent (a payment typed together with
// that closing). Returns whether it went.
bool DeletePaymentOfLoneClosing(Database& db, const Tables& side, int payment, double amount);
// The R-2 book's counter-entry of `e`.
books::KpiEntry Negated(books::KpiEntry e);

}  // namespace zodra::payments::rows
