#pragma once

#include <QString>

#include "data/TableData.h"
#include "reports/ReportEngine.h"
#include "stockdocs/StockCount.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// What the list "Izbor inventure" and the prints of a stock count read.
namespace zodra::stockdocs {

// The counts of the warehouse and year: number, date, book value, counted value, difference.
TableData StockCountChoices(Database& db, int warehouse, int year);
// "Datum: 31.03.2026   Knjižno: … EUR   Stvarno: … EUR   Razlika: … EUR"
QString StockCountDetails(Database& db, int warehouse, int year, int number);
// The lines of a posted count that have stock on either side, by article name.
TableData PostedStockCountLines(Database& db, int warehouse, int year, int number);

// "inventura.rpt" (with "inventura_porez.rpt"), titled "Ispis inventure br. " n; refused with
// "Ne postoji proknjižena inventura broj " n when there is none. Lines with both quantities 0
// are not printed.
reports::ReportRequest StockCountPrintRequest(Session& session, int number);
// The count in progress: "inventura_pr.rpt", "Ispis inventure u radu", the session's copy.
reports::ReportRequest WorkingStockCountPrintRequest(Session& session,
                                                     const StockCountHeaderData& header);
// The count list to count by: "inv_l.rpt", the session's copy without quantities counted.
reports::ReportRequest StockCountListPrintRequest(Session& session,
                                                  const StockCountHeaderData& header);

}  // namespace zodra::stockdocs
