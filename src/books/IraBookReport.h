#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// The output invoice book (IRA): the posted invoices of one book, warehouse and year, printed
// for a range in four variants. Each variant reads its stored query, places every row in its
// column through the tax groups' setting (TaxFormLines) and writes the session's rows of the
// work table KNJIGA_IRA_IZVJESTAJ page by page with the carried sums.
namespace zodra::books {

enum class IraVariant {
    Total,            // every invoice; cancellations on their own date
    RetailDaily,      // the same with retail invoices summed per day
    Paid,             // collections by the date paid, each its share of the invoice
    PaidRetailDaily,  // the same with retail collections summed per day paid
};

QString IraCommandCaption(IraVariant variant);  // "Izvještaj ukupno" …
QString IraStatusText(IraVariant variant);      // " Knjiga izlaznih računa" …
QString IraTitlePart(IraVariant variant);       // " od " …
QString IraQueryName(IraVariant variant);       // "Query knjiga izlaznih računa5" …

// Periods ending before this date print the layouts of the earlier rates.
QDate IraOlderLayoutsUntil();  // 1 March 2012
// The layout file by variant and the range's end date: i-ra.rpt, i-ra_d.rpt, i-ra_dp.rpt,
// i-ra_pl_d.rpt, or each "_prije_01_03_2012" for an end date before 1 March 2012.
QString IraReportFile(IraVariant variant, const QDate& periodEnd);

struct IraRange {
    int warehouse = 0;
    int book = 0;
    int year = 0;
    QDate from;
    QDate to;
    std::optional<int> first;  // invoice numbers (the total variant only)
    std::optional<int> last;
};

// The amount columns of the work table, in this order.
enum IraAmount {
    kIraTotal,
    kIraBase1,
    kIraTax1,
    kIraBase2,
    kIraTax2,
    kIraBase3,
    kIraTax3,
    kIraEu,
    kIraExport,
    kIraExempt,
    kIraReverseCharge,
    kIraOtherBase,
    kIraOtherTax,
    kIraAmountCount
};

struct IraBookResult {
    int rows = 0;
    int pages = 1;
    std::vector<double> sums;   // by IraAmount, of the amounts as rounded to the cent
    std::vector<double> rates;  // the rates of columns 1 to 3 (fewer when the period has fewer)
};

constexpr int kIraRowsPerPage = 30;

// Replaces the session's rows of KNJIGA_IRA_IZVJESTAJ with the book of the range. The rate
// columns are the tax groups' taxable kinds for current periods and the period's own rates
// (the three lowest) for periods before the older-layout date. One transaction.
IraBookResult BuildIraBook(Database& db, int sessionCode, IraVariant variant, const IraRange& range,
                           int rowsPerPage = kIraRowsPerPage);

// The menu command after the range dialog: builds the rows and returns what to print, titled
// with the book's name ("NASLOV"), the rate captions (STOPA1..3) and the session's rows.
reports::ReportRequest PrepareIraBook(Session& session, IraVariant variant, int book,
                                      const reports::ReportRange& range);

// The first and the last invoice number of a book in a warehouse and year, which the range
// dialog offers; none when the book has no invoice yet.
struct IraNumberSpan {
    std::optional<int> first;
    std::optional<int> last;
};
IraNumberSpan IraNumbers(Database& db, int warehouse, int book, int year);

}  // namespace zodra::books
