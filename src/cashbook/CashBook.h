#pragma once

#include <QDate>
#include <QString>
#include <vector>

#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// The cash book of a warehouse and business year: cash receipts ("uplatnice") and cash
// payments ("isplatnice"), each numbered on its own from 1 per warehouse and year, printed one
// by one, and the cash-book report for a date range, page by page with the amounts carried.
namespace zodra::cashbook {

enum class VoucherKind { Receipt, Payment };

struct Voucher {
    int number = 0;
    QDate date;
    QString party;    // "Od koga" (receipts) / "Kome" (payments)
    QString purpose;  // "Za"
    double amount = 0;
    QString words;  // "Slovima": the amount in words
};

QString TableName(VoucherKind kind);     // BLAGAJNA_UPLATNICE / BLAGAJNA_ISPLATNICE
QString PartyColumn(VoucherKind kind);   // "Od koga" / "Kome"
QString ListCaption(VoucherKind kind);   // "Uplatnice" / "Isplatnice"
QString EntryCaption(VoucherKind kind);  // "Upis uplatnice" / "Upis isplatnice"
QString PartyLabel(VoucherKind kind);    // "Od koga :" / "Kome :"
QString StatusText(VoucherKind kind);    // " Blagajničke uplatnice" / " Blagajničke isplatnice"
QString DuplicateMessage(VoucherKind kind);
QString InvalidNumberMessage();  // "Nije ispravno upisan broj !"
QString DeleteQuestion();        // "Želite li obrisati stavku?"

// MAX(Broj) + 1 over the vouchers of the warehouse and year in the kind's table; 1 for none.
int NextVoucherNumber(Database& db, VoucherKind kind, int warehouse, int year);
bool VoucherExists(Database& db, VoucherKind kind, int warehouse, int year, int number);

// The list window's rows, by number.
std::vector<Voucher> ListVouchers(Database& db, VoucherKind kind, int warehouse, int year);

// "Prihvati" of the entry window: appends the voucher. The number is checked again inside the
// write transaction, because another workstation may have taken it since the field was left;
// then the duplicate message is thrown and nothing is written.
void InsertVoucher(Database& db, VoucherKind kind, int warehouse, int year, const Voucher& v);

// An edited row of the list saved in place (the row that had originalNumber). Its words are
// always set again from its amount. A number changed to one that is taken is refused with the
// duplicate message.
void UpdateVoucher(Database& db, VoucherKind kind, int warehouse, int year, int originalNumber,
                   Voucher v);

// "Brisanje" deletes at once; deleting a row in the grid asks first (No is the default).
void DeleteVoucher(Database& db, VoucherKind kind, int warehouse, int year, int number);
bool DeleteVoucherAsked(Database& db, VoucherKind kind, int warehouse, int year, int number,
                        Prompter& prompter);

// Printing a voucher ("Ispis"): blag_uplatnica.rpt / blag_isplatnica.rpt with the selection
// of the warehouse, year and number, titled "Ispis blagajničke uplatnice br. " + number.
reports::ReportRequest VoucherReportRequest(const Session& session, VoucherKind kind, int number);

// The work table of the cash-book report.
struct CashBookTotals {
    int bookings = 0;
    int pages = 1;
    double receipts = 0;
    double payments = 0;
    double balance = 0;
};
constexpr int kCashBookRowsPerPage = 40;

// Rebuilds the session's rows of BLAGAJNICKI_IZVJESTAJ from the vouchers of the warehouse and
// year dated within the range: receipts and payments by date (receipts first on a day, then
// by number), 40 a page with the carry rows. Only the rows of this session are replaced, so two
// workstations printing at the same time each print their own.
CashBookTotals BuildCashBookReport(Database& db, int sessionCode, int warehouse, int year,
                                   const QDate& from, const QDate& to);

// The menu command "Izvještaj" after the range dialog: builds the work table and returns what
// to print (blag_izv.rpt, title "Blagajnički izvještaj", NASLOV with the dates as typed, the
// summary sub-report's selection).
reports::ReportRequest PrepareCashBookReport(Session& session, const reports::ReportRange& range);

}  // namespace zodra::cashbook
