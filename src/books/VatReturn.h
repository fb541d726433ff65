#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

#include "books/UraBook.h"
#include "books/VatForm.h"
#include "reports/ReportEngine.h"

namespace zodra {
class Database;
class Prompter;
class Session;
}  // namespace zodra

// The VAT return ("PDV obrazac") of a period: computed from the output invoices (RACUNI and
// their lines, the summed retail days among them) and the input invoice book
// (KNJIGE_ULAZNIH_RACUNA), on invoice dates or, for a company taxed on collection ("R-2"), on
// the dates of collections and payments; checked and corrected by hand, stored as a numbered
// return of the business year, listed, printed and deleted.
namespace zodra::books {

// An amount of output invoice lines of one tax treatment, rate and tax group.
struct VatOutputFigure {
    int treatment = 0;  // TIP_OPOREZIVANJA of the lines
    double rate = 0;    // POREZ_%
    QString taxGroup;   // GRUPA_POREZA
    double base = 0;
    double tax = 0;
};

// The deductible amount of input invoices of one kind of purchase at one rate column of the
// book.
struct VatInputFigure {
    PurchaseKind kind = PurchaseKind::Domestic;
    double rate = 0;
    double base = 0;
    double tax = 0;
};

// Which form lines a figure of the books feeds.
class VatLineAssignment {
public:
    virtual ~VatLineAssignment() = default;
    virtual QStringList OutputLines(const VatOutputFigure& figure) const = 0;
    virtual QStringList InputLines(const VatInputFigure& figure) const = 0;
    // The lines where the buyer owes the tax of a purchase he taxes himself (none on the forms
    // before 2013).
    virtual QStringList OwedLines(const VatInputFigure&) const { return {}; }
    // The taxed lines' own rates (the current form's come from its tax groups).
    virtual std::map<QString, double> LineRates() const { return {}; }
};

// The line assignment of a generation; the current form's is read from the company's tax groups.
std::unique_ptr<VatLineAssignment> VatAssignmentFor(Database& db, VatFormGeneration generation);

struct VatReturn {
    int year = 0;
    int number = 0;  // 0 until stored
    QDate from;
    QDate to;
    bool collectionBasis = false;  // computed on collections and payments
    QString taxpayer;              // name, address and place on three lines
    QString taxOffice;             // the company's place
    QString activity;              // DJELATNOST
    QString oib;
    VatForm form{VatFormGeneration::Current};
    // What the user is told before checking the return (unclosed payments): the return is
    // filled all the same.
    QStringList warnings;
};

// "Ograničenja nisu ispravno upisana." for a range that ends before it begins.
QString VatRangeRefusal();
QString VatDeleteQuestion();                  // "Želite li izbrisati PDV obrazac?"
QString VatMissingReturnMessage(int number);  // "Ne postoji proknjiženi PDV obrazac broj " + n
QString VatPrintTitle(int number);            // "Ispis PDV obrasca br. " + n

// The warnings of a return on collections: payments of customers ("Za ovaj period postoji " +
// amount + " nezatvorenih uplata kupaca!") and to suppliers ("… nezatvorenih uplata
// dobavljačima!") dated in the range whose amount is not yet closed against invoices, the amount
// their open parts as currency. Such a payment counts on no invoice and so in no line.
QString VatUnclosedCustomerPayments(const QString& amount);
QString VatUnclosedSupplierPayments(const QString& amount);

// Computes the return of the range from..to (both days included) over the business year's
// documents, for the form generation of the range's end; the company record decides the
// basis (R-2: collections and payments, with the unclosed payments' warnings) and fills the
// header.
VatReturn ComputeVatReturn(Database& db, int year, const QDate& from, const QDate& to);

// Stores the return under the next number of its year (MAX + 1, taken inside the write
// transaction, so two workstations storing at once get two numbers) and returns the number.
// An amount that is not a finite number, or beyond what the form can hold, is refused.
int StoreVatReturn(Database& db, const VatReturn& vat, const QString& user);

struct VatReturnListRow {
    int number = 0;
    QDate from;
    QDate to;
    VatFormGeneration generation = VatFormGeneration::Current;
};
std::vector<VatReturnListRow> ListVatReturns(Database& db, int year);

// A stored return as it was stored (its lines' amounts, totals as stored).
std::optional<VatReturn> LoadVatReturn(Database& db, int year, int number);

// Deletes a stored return; one that is not there is refused with VatMissingReturnMessage.
void DeleteVatReturn(Database& db, int year, int number);
// "Brisanje": asks first (No is the default); true when it was deleted.
bool DeleteVatReturnAsked(Database& db, int year, int number, Prompter& prompter);

// Printing a stored return: the layout of its own generation, titled VatPrintTitle(number),
// selected on its year and number.
reports::ReportRequest VatReturnReportRequest(Database& db, int year, int number);

}  // namespace zodra::books
