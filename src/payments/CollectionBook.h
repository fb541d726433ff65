#pragma once

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

#include "data/TableData.h"
#include "payments/PaymentModels.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// What customers have paid against output invoices. A customer payment (UPLATE) is money
// received on a date by a model; its collections (NAPLATA) close invoices with parts of it, each
// naming the payment in "Sifra uplate". A payment may close several invoices and an invoice may
// be closed by several payments; what is left of either is its amount less the collections,
// compared in cents. Every write is one transaction that re-reads the limits it checks under
// the company's write lock, so two workstations never both close the last cents of an invoice.
// For companies taxed on collection ("R-2") the same transaction writes the book of receipts and
// expenditures.
namespace zodra::payments {

struct InvoiceKey {
    int warehouse = 0;
    int book = 0;
    int year = 0;
    int number = 0;
};

// An invoice's total as it is printed (its lines' amounts at the cent, added) and the sum of its
// collections (each at the cent).
struct InvoiceBalance {
    double amount = 0;
    double collected = 0;
    double Open() const;
};
InvoiceBalance InvoiceBalanceOf(Database& db, const InvoiceKey& key);

struct RecordResult {
    int payment = 0;               // UPLATE.Sifra
    std::optional<int> bookEntry;  // the number of the entry written into the R-2 book
};

// "Upis naplate računa" (window Collection) and "Upis uplate i zatvaranje izlaznog računa"
// (PaymentAndClose): the checks, then the payment and its collection of the invoice, and the R-2
// book. Refusals: the entry's checks, "Ne postoji račun …" for an invoice that is not there or
// is cancelled, and the overpayment message when the collected sum and the amount would exceed
// the invoice's total at the cent.
RecordResult RecordCollection(Session& session, const InvoiceKey& invoice,
                              const PaymentEntry& entry,
                              EntryWindow window = EntryWindow::Collection);

// "Upis uplate i zatvaranje izlaznog računa": the customer and one of his open invoices picked
// first ("Nije izabran račun !", "Nije izabran kupac !"), then RecordCollection's checks in the
// window's wording.
RecordResult RecordPaymentAndClose(Session& session, std::optional<int> customer,
                                   const std::optional<InvoiceKey>& invoice,
                                   const PaymentEntry& entry);

// "Upis uplate kupca", kind "Uplata": a payment that closes no invoice yet.
RecordResult RecordCustomerPayment(Session& session, std::optional<int> customer,
                                   const PaymentEntry& entry);

// The customer's and the supplier's opening balances ("Početno stanje duguje/potražuje").
enum class OpeningSide { Debit, Credit };
QStringList CustomerEntryKinds();  // "Uplata", "Početno stanje duguje", "Početno stanje potražuje"
int RecordOpeningBalance(Session& session, bool supplier, std::optional<int> partner,
                         OpeningSide side, const QDate& date, const QString& text, double amount);
bool DeleteOpeningBalance(Session& session, bool supplier, int code);

// "Naknadno zatvaranje izlaznih računa": a collection of the invoice taken from an earlier
// payment of the same customer, its model, date, text and card type copied from the payment.
// Checks in the window's order: amount not zero, customer, invoice, payment chosen, the
// payment's cover, the invoice's overpayment.
void CloseLater(Session& session, std::optional<int> customer,
                const std::optional<InvoiceKey>& invoice, std::optional<int> payment,
                double amount);

// Deleting a collection (NAPLATA.Sifra): its payment goes with it when no other collection
// refers to that payment and the payment's amount equals the collection's at the cent (a
// payment typed together with this collection); a larger payment keeps what else it holds.
// Returns whether the payment was deleted too; false and nothing done when there is no such
// collection.
// A collection reported to the tax administration (the report of an e-invoice's payment) is
// deleted together with its report: the report goes while it waits, an accepted one is withdrawn
// by a report of its own (the session's collection-removal hooks, run for every collection
// deleted here and by DeletePayment). Where the session has no such hook the deletion is
// refused: ReportedCollectionRemovalRefusal() ("Naplata je prijavljena Poreznoj upravi pa se i
// njezino brisanje mora prijaviti, a u ovom programu fiskalizacija nije postavljena.").
QString ReportedCollectionRemovalRefusal();
struct DeletedCollection {
    bool found = false;
    bool paymentDeleted = false;
};
DeletedCollection DeleteCollection(Session& session, int collection);
// Deleting a payment (UPLATE.Sifra) with every collection taken from it. Returns how many
// collections went; nothing when there was no such payment.
std::optional<int> DeletePayment(Session& session, int payment);

// The upper grid of "Naplata izlaznih računa": the not cancelled invoices of a book (of one year
// when given): "Skladište", "Godina", "Broj", "Kupac", "Datum", "Dospijeće", "Iznos", with the
// warehouse code hidden after them.
TableData BookInvoices(Database& db, int book, std::optional<int> year);
// The lower grid: "Šifra uplate", "Datum", "Iznos", "Vrsta plaćanja", "Dokument" by date, with
// the collection's own code hidden after them.
TableData InvoiceCollections(Database& db, const InvoiceKey& key);
// A customer's invoices of a book that are not cancelled and not fully collected:
// "Račun" (number "/" year "-" warehouse), "Ukupno:", "Naplaćeno:", "Dugovanje:", then hidden
// warehouse, year, number.
TableData OpenInvoices(Database& db, int customer, int book);
// A customer's payments by date: "Datum", "Opis", "Iznos:", "Zatvoreno:", "Sifra", "Tip",
// "Tip kartice".
TableData CustomerPayments(Database& db, int customer);
// "Uplate kupaca": the payments of a period (of one customer when given): "Sifra", "Datum",
// "Kupac", "Tip", "Opis", "Iznos", "Zatvoreno".
TableData PaymentList(Database& db, bool supplier, const QDate& from, const QDate& to,
                      std::optional<int> partner);
// "Početna stanja kupaca / dobavljača": "Sifra", "Partner", "Datum", "Opis", "Duguje",
// "Potražuje" of the business year.
TableData OpeningBalances(Database& db, bool supplier, int year);

// "Naplaćeno:" and "Dugovanje:" of the invoice selected, as the window shows them.
QString CollectedText(const InvoiceBalance& balance);
QString OwedText(const InvoiceBalance& balance);

}  // namespace zodra::payments
