#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// Invoices made from delivery notes ("Izrada računa na osnovu otpremnica"): the open notes of the
// session's warehouse and business year are billed, one invoice per customer in IRA book 1. The
// goods left with the notes, so the invoices take no stock and write no trade-book entry.
namespace zodra::sales {

// An open (not yet billed) delivery note as the choice lists it.
struct OpenDeliveryNote {
    int warehouse = 0;
    int year = 0;
    int number = 0;
    QDate date;
    int customer = 0;
    QString customerName;
};

// The open notes of the warehouse and year dated from `from` to `to` (both included), of one
// customer or of all, in customer and number order.
std::vector<OpenDeliveryNote> OpenDeliveryNotes(Database& db, int warehouse, int year,
                                                std::optional<int> customer, const QDate& from,
                                                const QDate& to);

// The limits as typed: "Nije ispravno upisan datum. Biti će postavljen današnji datum." for a
// date that is none, "Ograničenja nisu ispravno upisana." when `from` is after `to`.
struct BillingRange {
    QDate from;
    QDate to;
};
BillingRange CheckBillingRange(const QString& from, const QString& to);

QString
AllCustomersQuestion();  // "Želite li napraviti račune za otvorene otpremnice svih kupaca ?"
QString NoOpenNotesMessage();   // "Za zadani vremenski interval nema otpremnica za koje …"
QString PrintBilledQuestion();  // "Želite li isprintati napravljene račune?"
QString BillingTitle();         // "Računi iz otpremnica"

// One invoice made from the notes of one customer.
struct BilledInvoice {
    int customer = 0;
    int number = 0;  // in IRA book 1
    std::vector<int> notes;
};

// Bills the chosen notes (numbers in the session's warehouse and year) on `date`, in one
// transaction: the notes still open are read again inside it (a note another workstation billed
// meanwhile is left out; none left: NoOpenNotesMessage()); per customer one invoice in book 1
// numbered by the sales terms of its first note, with the lines of its notes summed per line
// kind, item, lot, tax group, rate and taxation type (unit prices and percents recomputed from
// the sums), header from the partner (payment "virmanom", term its delay, OTPREMNICA the note
// numbers joined by ","), no stock taken; each note bound to its invoice (warehouse, book 1,
// year, number); the consistency check.
std::vector<BilledInvoice> BillDeliveryNotes(Session& session, const std::vector<int>& notes,
                                             const QDate& date);

// The whole door: the open notes in the range (AllCustomersQuestion() first when no customer is
// given; No does nothing), billed on the range's last day.
std::vector<BilledInvoice> BillDeliveryNotes(Session& session, Prompter& prompter,
                                             std::optional<int> customer,
                                             const BillingRange& range);

}  // namespace zodra::sales
