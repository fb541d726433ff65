#pragma once

#include <QDate>
#include <optional>

#include "data/TableData.h"

namespace zodra {
class Database;
}

namespace zodra::payments {

// "Kartice kupaca" and "Kartice dobavljača": a partner's movements dated from `from` to `to` by
// date, whatever business year they belong to: "Datum", "Dokument", "Duguje", "Potražuje",
// "Saldo". A customer owes (Duguje) the opening debit and the invoices that are not cancelled and
// is credited (Potražuje) the opening credit and his payments; a supplier is credited his input
// invoices and the opening credit and debited the payments made to him. Everything dated before
// `from` comes first as one row "Donos" (its debits and credits summed), so the balance is the
// same whichever range is shown; it is Duguje − Potražuje carried row by row in cents. With a
// warehouse, a customer's card holds only that warehouse's invoices and payments.
TableData PartnerCard(Database& db, bool supplier, int partner, const QDate& from, const QDate& to,
                      std::optional<int> warehouse = std::nullopt);

QString CarriedForwardText();  // "Donos"

}  // namespace zodra::payments
