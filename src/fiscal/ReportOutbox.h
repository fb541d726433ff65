#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "data/TableData.h"
#include "fiscal/Outbox.h"

namespace zodra {
class Database;
}

// The reports of business e-invoices to the tax administration (FISKAL_IZVJESTAJI): the report of
// an issued e-invoice, of its cancellation's credit note, and of every collection of such an
// invoice. A report is queued in the transaction that issues the document or records the
// collection and stays in the outbox until the service accepts it; what goes out is built anew
// from the company file at every attempt (a new request id and time), signed and sent.
namespace zodra::fiscal {

enum class ReportKind {
    EInvoice,    // EvidentirajERacunZahtjev of the invoice
    CreditNote,  // EvidentirajERacunZahtjev of its cancellation
    Payment,     // EvidentirajNaplatuZahtjev of one collection
    // EvidentirajNaplatuZahtjev withdrawing an accepted payment report when its collection is
    // deleted: the same payment with the amount negated, as the service asks for corrections.
    PaymentWithdrawal,
};

struct ReportRecord {
    int id = 0;
    ReportKind kind = ReportKind::EInvoice;
    InvoiceRef invoice;
    int collection = 0;  // NAPLATA."Sifra" of a payment report
    QDate paidOn;
    double amount = 0;
    QString method;  // T, O or Z
    QDateTime queued;
    QDateTime accepted;  // null while it waits
    int attempts = 0;
    QDateTime lastAttempt;
    QString error;
};

// "eRačun", "Odobrenje", "Naplata", "Storno naplate".
QString ReportKindCaption(ReportKind kind);

// Queues the report of an issued e-invoice (or of its credit note) once: an e-invoice written
// again is not reported again. Returns the report's id, 0 when it was queued before. Runs in the
// caller's transaction.
int QueueEInvoiceReport(Database& db, const InvoiceRef& invoice, bool creditNote,
                        const QDateTime& now);
// Whether the invoice was issued as an e-invoice (its report is queued or accepted).
bool IsReportedEInvoice(Database& db, const InvoiceRef& invoice);
// Queues the report of one collection of the invoice; the caller's transaction.
int QueuePaymentReport(Database& db, const InvoiceRef& invoice, int collection, const QDate& paidOn,
                       double amount, const QString& method, const QDateTime& now);

// The method a collection is reported with, from its payment model: a bank transfer
// ("žiro račun") T, a payment in kind (settled against a counter-claim) O, anything else Z.
QString PaymentReportMethod(const QString& model);

// The report of that id; none once it went with its deleted collection.
std::optional<ReportRecord> FindReportRecord(Database& db, int id);
std::vector<ReportRecord> UnconfirmedReports(Database& db);  // oldest first
int UnconfirmedReportCount(Database& db);
// The report of an issued e-invoice of the invoice, if any.
std::optional<ReportRecord> FindEInvoiceReport(Database& db, const InvoiceRef& invoice,
                                               bool creditNote);

// The report of one collection, if any (with `withdrawal`, the report withdrawing it).
std::optional<ReportRecord> FindPaymentReport(Database& db, int collection,
                                              bool withdrawal = false);

// A collection deleted: its payment report, when it has one, goes with it while it has not been
// accepted; an accepted one is withdrawn by a report of its own (PaymentWithdrawal), queued here.
// Runs in the deletion's transaction; returns the withdrawal's id, 0 when none was needed.
// Refused (UserError, CollectionReportBusyMessage) while another workstation is sending the
// report, whose answer decides between the two.
int WithdrawPaymentReport(Database& db, int collection, const QDateTime& now);
QString CollectionReportBusyMessage();

void StoreReportAccepted(Database& db, int id, const QDateTime& at);
void StoreReportFailure(Database& db, int id, const QString& error, const QDateTime& at);

// The answer of the e-invoice service (EvidentirajERacunOdgovor, EvidentirajNaplatuOdgovor):
// accepted, or the error it names in words ("S008: Već postoji …"). A body that is neither comes
// back unaccepted with "Neispravan odgovor poslužitelja: " and the text it had.
struct ReportAnswer {
    bool accepted = false;
    QString requestId;
    QString error;
};
ReportAnswer ParseReportAnswer(const QByteArray& body);

}  // namespace zodra::fiscal
