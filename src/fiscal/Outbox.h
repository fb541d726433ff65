#pragma once

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

#include "data/TableData.h"
#include "fiscal/FiscalMessage.h"

namespace zodra {
class Database;
}

// The fiscal records of issued receipts (FISKAL_RACUNI). A record is written in the same
// transaction as the sale it belongs to, so a posted receipt always has one; a record without
// a JIR is in the outbox: issued to the customer with its protective code only, and still to be
// delivered to the tax administration.
namespace zodra::fiscal {

struct InvoiceRef {
    int warehouse = 0;
    int book = 1;
    int year = 0;
    int number = 0;
    bool detailed = false;
    bool cancellation = false;
};

// The e-invoice's document number (cbc:ID, brojDokumenta): "number-warehouse-book-year", e.g.
// "15-2-1-2026". Invoices are numbered per warehouse, book and year, and the service takes the
// number as the invoice's identity per seller, so the warehouse is part of it.
QString EInvoiceId(int warehouse, int book, int year, int number);
QString EInvoiceId(const InvoiceRef& invoice);

struct FiscalRecord {
    int id = 0;
    InvoiceRef invoice;
    FiscalReceipt receipt;
    QString operatorName;
    QString jir;
    int attempts = 0;
    QDateTime lastAttempt;
    QString error;  // the last failure in words: the service's errors or why it did not answer
    // The last same-day change the service accepted: the payment code and buyer's OIB (empty:
    // none) the receipt has had since; `receipt` stays as it was fiscalized.
    bool changed = false;
    QString changedPayment;
    QString changedBuyerOib;
};

// The next receipt number of the premises (sequence P) or of the premises' device (N) in the
// year of `issued`: one more than the highest written. Read inside the posting's transaction,
// which holds the company's write lock, so two tills never take the same one.
qint64 NextFiscalNumber(Database& db, const QString& sequence, const QString& premises,
                        const QString& device, int year);

// Writes the record; returns its id.
int InsertFiscalRecord(Database& db, const InvoiceRef& invoice, const FiscalReceipt& receipt,
                       const QString& operatorName);

std::optional<FiscalRecord> FindFiscalRecord(Database& db, const InvoiceRef& invoice);
FiscalRecord FiscalRecordById(Database& db, int id);

// The records still without a JIR, oldest first.
std::vector<FiscalRecord> UnconfirmedReceipts(Database& db);
int UnconfirmedCount(Database& db);

// The records still without a JIR for a list: "Broj računa" (number/premises/device), "Račun"
// (the invoice's number), "Storno" (a negative receipt), "Izdan", "Iznos", "Pokušaja", "Greška"
// (the last failure in words), the record's id hidden last. The same-day changes not yet
// confirmed follow (PendingChangeCaption, with the receipt's own figures). The e-invoice reports
// not yet accepted follow, "Broj računa" naming the report and the invoice ("eRačun 15-2-1-2026",
// "Naplata …"), "Iznos" the payment's, their id negated.
TableData UnconfirmedReceiptsTable(Database& db);

void SetPaymentMethod(Database& db, int id, const QString& payment);
// A receipt not yet confirmed goes out with this payment code and buyer's OIB (empty: none);
// false when it was confirmed meanwhile (then only a change request can change it).
bool SetUnsentPaymentData(Database& db, int id, const QString& payment, const QString& buyerOib);
// Records a change the service accepted. The change waiting for the receipt goes when it asked
// for exactly this; a newer one asked for meanwhile stays to be sent after it.
void StoreAcceptedChange(Database& db, int id, const QString& payment, const QString& buyerOib);
// An attempt's outcome: the JIR (the error cleared) or the failure in words. Both count the
// attempt and its time.
void StoreJir(Database& db, int id, const QString& jir, const QDateTime& at);
void StoreFailure(Database& db, int id, const QString& error, const QDateTime& at);
// The JIR of a request that carried `sentPayment` and `sentBuyerOib` (empty: none). The record is
// compared with them in the same transaction: when a change was written into the record while
// the request was on its way, the record is set back to what the service now holds and the
// change is queued (FISKAL_PROMJENE) to be sent as a change request. Returns whether it was.
bool StoreConfirmation(Database& db, int id, const QString& jir, const QDateTime& at,
                       const QString& sentPayment, const QString& sentBuyerOib);

// A same-day change of a confirmed receipt the service has not confirmed yet: the payment code
// and buyer's OIB (empty: none) last asked for, with its attempts and last failure.
struct PendingChange {
    int receipt = 0;  // the record's id
    QString payment;
    QString buyerOib;
    QDateTime queued;
    int attempts = 0;
    QDateTime lastAttempt;
    QString error;
};
// Queues the change (replacing one waiting for the same receipt, its attempts and error cleared).
void QueueChange(Database& db, int receipt, const QString& payment, const QString& buyerOib,
                 const QDateTime& now);
std::optional<PendingChange> FindPendingChange(Database& db, int receipt);
std::vector<PendingChange> PendingChanges(Database& db);  // oldest first
int PendingChangeCount(Database& db);
void StoreChangeFailure(Database& db, int receipt, const QString& error, const QDateTime& at);
void DropPendingChange(Database& db, int receipt);

// "Promjena 3/PP1/1: K" and ", OIB …" when the change gives one: how a waiting change is listed.
QString PendingChangeCaption(const FiscalRecord& record, const PendingChange& change);

// What is being sent right now (FISKAL_SLANJE): a receipt or its change, or a report. A sender
// takes the record before it sends and gives it back after; while one holds it no other sends it.
// A mark older than kSendingLifetimeSecs belongs to a sender that is gone and is taken over.
enum class SendingKind { Receipt, Report };
inline constexpr int kSendingLifetimeSecs = 120;
bool IsBeingSent(Database& db, SendingKind kind, int id, const QDateTime& now);

class SendingClaim {
public:
    SendingClaim(Database& db, SendingKind kind, int id, const QDateTime& now);
    ~SendingClaim();
    SendingClaim(const SendingClaim&) = delete;
    SendingClaim& operator=(const SendingClaim&) = delete;
    bool Held() const { return m_held; }

private:
    Database& m_db;
    SendingKind m_kind;
    int m_id;
    QString m_token;
    bool m_held = false;
};

// G, K or O from the collections written for the invoice (cash, card; cheques or a mix are
// "other"); G when none is written (a retail invoice is paid in cash unless told otherwise).
QString PaymentMethodOf(Database& db, const InvoiceRef& invoice);

}  // namespace zodra::fiscal
