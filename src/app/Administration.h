#pragma once

#include <QString>

#include "data/TableData.h"

namespace zodra {
class Database;
}

namespace zodra::administration {

// Free SQL against the company database, for the administrator ("Administracija"). A query
// runs read-only: the engine refuses any change it would make. Statements that change data run
// only after the window has asked, all in one transaction.

// "Execute Query": the rows of one SELECT (any statement that changes something is refused).
TableData RunQuery(Database& db, const QString& sql);
// "Execute SQL": the statements (";"-separated) in one transaction; returns the rows changed.
int Execute(Database& db, const QString& sql);
// The question the window asks before "Execute SQL".
QString ExecuteQuestion();

// "Provjera": articles whose lots and article card disagree (value at cost or at selling
// price), per warehouse and year; empty when everything agrees.
TableData StockCheck(Database& db);

}  // namespace zodra::administration
