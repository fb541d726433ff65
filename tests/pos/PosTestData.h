#pragma once

#include <QByteArray>
#include <QString>

namespace zodra {
class Database;
}

namespace zodra::test::pos {

// Posted retail invoices of warehouse `warehouse`, year 2026, written as the posting leaves them:
//  7  (04.12.2026, IRA 1, terms 1) a named customer, a discounted article, a service with a
//     description, packaging, an article with a long code; paid 20,00 cash and 6,47 by card;
//  9  (04.12.2026, IRA 1, terms 1) one article, the retail customer;
//  10 (04.12.2026, IRA 2) a wholesale invoice of the same day;
//  11 (05.12.2026, IRA 1, terms 1) the next day;
//  8  (05.12.2026) only in the detail tables (summing at day end), paid 0,84 cash.
void AddInvoices(Database& db, int warehouse);

// An expected file of tests/pos/data.
QByteArray Expected(const QString& name);

}  // namespace zodra::test::pos
