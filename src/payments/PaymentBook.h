#pragma once

#include <QDate>
#include <QString>
#include <optional>

#include "data/TableData.h"
#include "payments/CollectionBook.h"
#include "payments/PaymentModels.h"

namespace zodra {
class Database;
class Session;
}  // namespace zodra

// What the company has paid its suppliers against input invoices: the same shape as the
// customer side. A payment to a supplier (UPLATE_URA) closes input invoices of the book
// (KNJIGE_ULAZNIH_RACUNA) with its closings (PLACANJA, "Sifra uplate URA"); an invoice is paid
// at most to its "Iznos računa sa porezom" at the cent. One transaction per write, the limits
// read inside it; R-2 companies get the book of receipts and expenditures in it.
namespace zodra::payments {

struct InputInvoiceKey {
    int book = 0;    // URA
    int year = 0;    // GODINA
    int serial = 0;  // Redni broj
};

InvoiceBalance InputInvoiceBalanceOf(Database& db, const InputInvoiceKey& key);

// "Plaćanje po računu br. " and the invoice's number: the purpose a closing proposes.
QString DefaultPurpose(Database& db, const InputInvoiceKey& key);

// "Upis plaćanja ulaznog računa" (and "… za vlastitu potrošnju"; window Collection) and "Upis
// uplate i zatvaranje ulaznog računa" (PaymentAndClose): the payment to the invoice's supplier
// and its closing of the invoice. An empty purpose takes DefaultPurpose.
RecordResult RecordInputInvoicePayment(Session& session, const InputInvoiceKey& invoice,
                                       const PaymentEntry& entry, const QString& purpose = {},
                                       EntryWindow window = EntryWindow::Collection);
// "Upis uplate i zatvaranje ulaznog računa": supplier and invoice picked first.
RecordResult RecordSupplierPaymentAndClose(Session& session, std::optional<int> supplier,
                                           const std::optional<InputInvoiceKey>& invoice,
                                           const PaymentEntry& entry, const QString& purpose = {});
// "Upis uplate dobavljaču": a payment that closes no invoice yet.
RecordResult RecordSupplierPayment(Session& session, std::optional<int> supplier,
                                   const PaymentEntry& entry);
// A closing (PLACANJA.Sifra) deleted, its payment with it under the customer side's rule.
DeletedCollection DeleteInputInvoicePayment(Session& session, int closing);
// A payment to a supplier (UPLATE_URA.Sifra) deleted with its closings.
std::optional<int> DeleteSupplierPayment(Session& session, int payment);

// "Plaćanja ulaznih računa": the input invoices of a book and year: "Redni broj", "Račun broj",
// "Dobavljač", "Datum", "Dospijeće", "Iznos", "Plaćeno".
TableData BookInputInvoices(Database& db, int book, int year);
// The closings of one input invoice: "Šifra uplate", "Datum", "Iznos", "Vrsta plaćanja",
// "Dokument", "Svrha doznake", with the closing's own code hidden after them.
TableData InputInvoicePayments(Database& db, const InputInvoiceKey& key);
// A supplier's input invoices of a book not yet paid in full: "Račun", "Ukupno:", "Plaćeno:",
// "Dugovanje:", then hidden year and serial number.
TableData OpenInputInvoices(Database& db, int supplier, int book);

}  // namespace zodra::payments
