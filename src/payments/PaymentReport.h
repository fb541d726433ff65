#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "reports/ReportEngine.h"
#include "reports/ReportRange.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// The printed lists of what customers owe and have paid and of what is owed to suppliers: the
// debtors, the collections and payments, the opening balances and the partners' cards. They
// share one shape (a file, a title, a date field chosen by a range, maybe the partners chosen
// for the print), so one table below drives every one of them.
namespace zodra::payments {

enum class PaymentReportKind {
    DebtorsAll,            // duznici.rpt, every debtor
    DebtorsByDate,         // duznici.rpt, invoices of a date range, in order of invoice date
    DebtorsByDueDate,      // duznici.rpt, by due date
    DebtorsBySalesTerms,   // duznici.rpt, by sales terms and invoice date
    DebtsByPaymentMethod,  // dug_nacini_placanja.rpt
    CollectedAll,          // naplaceno.rpt
    CollectedByDate,       // naplaceno.rpt, collections of a date range
    SupplierDebtsAll,      // dug_UFA.rpt
    SupplierDebtsByDate,
    SupplierDebtsByDueDate,
    PaidAll,                   // placeno_UFA.rpt
    PaidByDate,                // placeno_UFA.rpt, payments of a date range
    CustomerPayments,          // uplate.rpt
    CustomerPaymentsByDay,     // uplate_dan.rpt
    SupplierPayments,          // uplate_ura.rpt
    SupplierPaymentsByDay,     // uplate_ura_dan.rpt
    CustomerOpeningBalances,   // poc_stanja.rpt
    SupplierOpeningBalances,   // poc_stanja_ura.rpt
    CustomerCards,             // kartice_kupaca.rpt, every warehouse
    CustomerCardsOfWarehouse,  // kartice_kupaca.rpt, the ActiveWarehouse
    SupplierCards,             // kartice_dobavljaca.rpt
};

// The partners a print is for: none (every partner of the list), customers or suppliers
// chosen in "Izbor dužnika".
enum class PartnerSide { None, Customers, Suppliers };

struct PaymentReportInfo {
    PaymentReportKind kind;
    QString command;     // the menu command ("Dugovi_datum"), empty where a window prints it
    QString file;        // "duznici.rpt"
    QString statusText;  // " Dužnici" … (with the leading blank of the status line)
    QString title;       // NASLOV; a range adds " od " from " do " to
    QString dateField;   // the field the range selects on; empty: no range
    PartnerSide partners = PartnerSide::None;
    QString warehouseField;  // selected by the ActiveWarehouse when set
    QString yearField;       // selected by the BusinessYear when set
    QString partnerField;    // a card: selected by the one partner chosen, if any
    int order = 0;           // :REDOSLIJED of duznici.rpt and dug_UFA.rpt
};

const std::vector<PaymentReportInfo>& PaymentReports();
const PaymentReportInfo& PaymentReportOf(PaymentReportKind kind);
std::optional<PaymentReportKind> PaymentReportByCommand(const QString& command);
// By the menu command, or by the file for the reports that a window prints ("uplate.rpt"),
// without regard to letter case: the name zodractl takes.
std::optional<PaymentReportKind> PaymentReportByName(const QString& name);

// What the print command asked for: the range of a report that has one, and the partners
// chosen for it (empty: every partner the report lists).
struct PaymentReportChoice {
    std::optional<reports::ReportRange> range;
    std::vector<int> partners;
};

// A partner offered in "Izbor dužnika": code and name.
struct PartnerEntry {
    int code = 0;
    QString name;
};

// The customers with an invoice still not paid in full (not cancelled; open at the cent), or
// the suppliers with such an input invoice, in Croatian order of names.
std::vector<PartnerEntry> Debtors(Database& db, PartnerSide side);

// Keeps the partners chosen for this workstation's next print in IZABRANI_PARTNERI under its
// session code; another workstation's choice is left alone. One transaction.
void KeepChosenPartners(Database& db, int sessionCode, const std::vector<int>& partners);

// The request of a report: its file, NASLOV, the selection of the range, warehouse and year,
// and the parameters. A report for chosen partners keeps them first (every debtor when the
// choice names none). A card is of the one partner chosen, or of every partner when none is; more
// than one is refused. A range that the report needs and the choice lacks is refused.
reports::ReportRequest PaymentReportRequest(Session& session, PaymentReportKind kind,
                                            const PaymentReportChoice& choice);

// "Početni datum nije ispravno upisan." / "Završni datum nije ispravno upisan.": the checks of
// the dates in "Izbor dužnika", start date first. Empty when both are dates.
QString DebtorDatesProblem(const reports::RangeInput& input);

}  // namespace zodra::payments
