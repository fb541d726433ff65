#pragma once

namespace zodra {
class Database;
}

namespace zodra::sales {

// Numbers the events of one output invoice book (IRA) of a warehouse and year from 1: every
// invoice on its date (RBR_IRA) and every cancellation on its cancellation date
// (RBR_IRA_STORNO), in date order, by invoice number within a date, an invoice before its own
// cancellation on the same date. A cancelled invoice is thus listed twice. Only the book and year
// given are touched. One transaction; returns the number of events.
int RenumberIraBook(Database& db, int warehouse, int book, int year);

}  // namespace zodra::sales
