#pragma once

#include <QString>

#include "data/TableData.h"
#include "reports/ReportEngine.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// What the windows of the inter-warehouse transfer show and print: the working lines being
// drawn up ("Međuskladišnica"), the posted transfers of a warehouse and year ("Izbor
// međuskladišnice" and its table view "Međuskladišnice"), one transfer's lines, and its printout.
namespace zodra::stockdocs {

// The session's working lines in the order entered, the row id hidden first: "Rb." (the only
// column the user may change, TransferLineNumberColumn), "Šifra", "Naziv", "Primka",
// "Količina", "Nab. cijena", "Cijena", "Vrijednost", "Odr. cijena", "Odr. vrijednost".
TableData WorkingTransferGrid(Session& session, int sessionCode);
constexpr int kTransferLineNumberColumn = 1;
// "Ukupno : 1.234,50 EUR": Σ VRIJEDNOST of the working lines.
QString WorkingTransferTotals(Session& session, int sessionCode);

// "Izbor međuskladišnice": "Broj", "Datum", "Odredišno skladište", "Odredišna primka",
// "Vrijednost" and "Storno", by number.
TableData TransferChoices(Database& db, int warehouse, int year);
// The line under the list: "Datum: 03.03.2026   Odredišno skladište: 2 - Trgovina   Odredišna
// primka: 100001", and the cancellation when there is one.
QString TransferDetails(Database& db, int warehouse, int year, int number);
// The table view "Međuskladišnice": "Broj", "Odredišno skladište", "Odredišna primka".
TableData TransferTable(Database& db, int warehouse, int year);
// The lines of a posted transfer (as the working grid, without the row id), by line number.
TableData PostedTransferLines(Database& db, int warehouse, int year, int number);
bool TransferExists(Database& db, int warehouse, int year, int number);

// The printouts: "meduskl.rpt" with prices, "meduskl_kol.rpt" with quantities only, titled
// "Ispis međuskladišnice br. " n, the lines selected by warehouse, year and number, the source
// warehouse in the formula SKLADISTE ("1 - Veleprodaja"; the data names the destination). Refused
// with "Ne postoji proknjižena međuskladišnica broj " n when there is none (a cancelled transfer
// has no lines left to print).
QString TransferReportFile(bool quantitiesOnly);
QString TransferPrintTitle(int number);
reports::ReportRequest TransferPrintRequest(Session& session, int number, bool quantitiesOnly);

}  // namespace zodra::stockdocs
