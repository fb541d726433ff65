#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <vector>

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

// The register's day end (Z on F10) after the X report: summing the detail invoices into one
// summary invoice per day, taking the stock of sales whose stock was left for later, and the
// day's takings in the book of receipts and expenditures. Each step is a function of its own;
// the *Step functions ask the step's question and show its outcome through the Prompter.
namespace zodra::retail {

QString SumQuestion();        // "Želite li sumirati maloprodajne račune ?"
QString SumFifoRefusal();     // "Naknadno sumiranje … nije podržano ako … FIFO metodi."
QString SumDoneMessage();     // "Sumiranje maloprodajnih računa napravljeno uspješno."
QString ReduceQuestion();     // "Želite li napraviti skidanje artikala sa skladišta ?"
QString ReduceFifoRefusal();  // "Naknadno skidanje artikala nije podržano ako … FIFO metodi."

struct SummedDay {
    QDate date;
    int number = 0;       // the summary invoice (RACUNI, IRA book 1, SUMARNI)
    bool reused = false;  // an earlier summary of that day took the lines
    int detailInvoices = 0;
};

// Sums the session warehouse's detail invoices (IRA book 1, terms 1, not yet summed) dated
// from..to into RACUNI in one transaction: per date the lines summed per item, price, discount
// and tax (DetailLinesSummed) as a summary invoice of the retail customer (SUMARNI, SKIDA; an
// existing summary of the warehouse, book, year, customer, delivery name and date takes the
// lines instead), the goods taken from the pooled lots (refused with "Nedovoljna količina
// artikla '" + name + "'. Potrebno je još " + missing + " " + unit + ".", "Artikla sa
// sistemskom šifrom " + code + " nema u artiklima." or "Artikla '" + name + "' nema na
// skladištu."), a price change where the sold price differs from the lot's, the trade-book
// entry; the detail payments summed per kind and card type (DetailPaymentsSummed) as UPLATE and
// NAPLATA rows; the detail invoices marked summed. Refused under FIFO (SumFifoRefusal()).
// Changes of the detail file still waiting to be applied are applied first, so a sale is
// summed exactly once even when a program stopped between the two files' commits; a second run
// finds nothing left to sum.
std::vector<SummedDay> SumRetailInvoices(Session& session, const QDate& from, const QDate& to);

// The bound statements the summing reads from the detail file: lines of the not yet summed
// detail invoices of warehouse, year, one date and numbers up to a bound, summed per item,
// price, discount and tax; and their collections summed per kind and card type.
// Parameters: warehouse, year, date, last number.
QString DetailLinesSummed();
QString DetailPaymentsSummed();

struct DeferredReduction {
    int invoices = 0;
    QStringList priceDifferences;  // "Artikal '" name "' je prodavan po " … " a na skladištu …"
    QString differencesFile;       // the same lines in a text file (empty when there are none)
};

// Takes the stock of the session warehouse's invoices posted with NAKNADNO_SKIDANJE in one
// transaction: each invoice's article lines from their lots (the stop messages of the summing),
// its lines recording the lot's cost, its trade-book entry, SKIDA true and NAKNADNO_SKIDANJE
// false. Lines sold at another price than their lot's are listed. Refused under FIFO
// (ReduceFifoRefusal()); a second run finds nothing.
DeferredReduction ReduceDeferredStock(Session& session);

// The day's takings of retail invoices (cash, cheques, cards collected on `date`) as the row
// "promet u gotovini" of that date in KNJIGA_PRIMITAKA_I_IZDATAKA_UPIS: rewritten when it
// exists, else under the next serial number; receipts net of tax by the day's ratio of totals
// with and without tax. Nothing when nothing was collected.
void WriteDayTakings(Session& session, const QDate& date);

// The Z steps for the register window: each asks its question (No the default) unless the
// step does not apply, runs the step and shows its message or refusal. SumStep asks only in
// summing mode, ReduceStep only with deferred stock; TakingsStep writes for "R-2" companies
// without a question (through the session's afterRetailCollections when the program set one).
// ReduceStep returns the price differences for the window to show.
bool SumStep(Session& session, Prompter& prompter, const QDate& from, const QDate& to);
DeferredReduction ReduceStep(Session& session, Prompter& prompter);
void TakingsStep(Session& session, const QDate& date);

}  // namespace zodra::retail
