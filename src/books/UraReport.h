#pragma once

#include <QDate>
#include <QString>

#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

namespace zodra::books {

// The printed input invoice book: every invoice of a book by serial number and invoice date,
// or the payments of its invoices by payment date (all, or only those of R-2 invoices).
enum class UraReportKind { Total, Paid, PaidR2 };

// Periods ending before this day print the layouts of the earlier rates ("…_prije_01_03_2012").
QDate UraNewLayoutsFrom();
QString UraReportFile(UraReportKind kind, const QDate& to);
QString UraStatusText(UraReportKind kind);  // " Knjiga ulaznih računa" …
QString UraBookName(Database& db, int book);

// What to print: the layout of the period's end date, NASLOV = book name + the kind's title
// part + from + " do " + to, and the selection of the book, the business year, the serial
// numbers (when the range has them) and the dates.
reports::ReportRequest UraReportRequest(Session& session, int book, UraReportKind kind,
                                        const reports::ReportRange& range);

}  // namespace zodra::books
