#pragma once

#include <QDate>
#include <QString>

#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// The inventory book ("Knjiga popisa") of a warehouse and business year: its stock movements
// from the wholesale trade book, each charged to stock (ZADUŽENJE: what a document brought in
// at the book's value) or discharged from it (RAZDUŽENJE: what it took out), in trade-book order
// (RBR). Printed as a summary for a date range (kp.rpt), with the retail sales summed per day
// (kp_sum.rpt), and page by page with the two sums carried, 40 movements a page (kp1.rpt).
namespace zodra::books {

constexpr int kInventoryRowsPerPage = 40;

// The movements of the book (the view "KP"): SKLADISTE, GODINA, RBR, DATUM, DOKUMENT,
// ZADUŽENJE, RAZDUŽENJE.
QString InventoryMovementsSql();

struct InventoryBookTotals {
    int movements = 0;
    int pages = 1;
    double charged = 0;     // ZADUŽENJE
    double discharged = 0;  // RAZDUŽENJE
};

// Rebuilds the session's rows of KNJIGA_POPISA from the movements of the warehouse and year
// dated within the range, in RBR order: the opening row, each movement with its running number
// from 1, and the carry rows after every 40.
InventoryBookTotals BuildInventoryBook(Database& db, int sessionCode, int warehouse, int year,
                                       const QDate& from, const QDate& to);

// "Donosi i prijenosi na stranama": builds the rows and returns kp1.rpt titled "Knjiga popisa".
reports::ReportRequest PrepareInventoryBook(Session& session, const reports::ReportRange& range);
// "Sumarni izvještaj" (kp.rpt) and "… maloprodaja sumarno po danima" (kp_sum.rpt): the
// movements of the warehouse, year and dates.
reports::ReportRequest InventorySummaryReport(const Session& session,
                                              const reports::ReportRange& range, bool retailByDay);

}  // namespace zodra::books
