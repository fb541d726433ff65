#pragma once

#include <QDateTime>
#include <QDeadlineTimer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "data/Session.h"
#include "fiscal/Certificate.h"
#include "fiscal/FiscalClient.h"
#include "fiscal/FiscalMessage.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/Outbox.h"
#include "fiscal/ReportOutbox.h"

class QObject;

namespace zodra::fiscal {

// How one delivery attempt ended.
enum class Delivery {
    Confirmed,  // the JIR is stored
    Rejected,   // the service answered with errors: kept in words, the receipt stays queued
    NoAnswer,   // no answer in time: the receipt stays queued
    Busy,       // another sender is sending it right now: nothing was done here
    Settled,    // another sender delivered it meanwhile: nothing was sent here
};

struct RetryResult {
    int confirmed = 0;
    int rejected = 0;
    int unanswered = 0;
};
// "Potvrđeno: " n ", odbijeno: " n ", bez odgovora: " n (receipts and e-invoice reports together)
QString RetryResultText(const RetryResult& result);

// Fiscalization of one company's receipts at one till: its settings, the certificate (loaded
// once, checked again at each receipt for its validity) and the company's OIB.
class FiscalService {
public:
    // Reads the settings; loads the certificate when fiscalization is on. A certificate that
    // cannot be used does not stop the service being made: every receipt is then refused with
    // the certificate's message (CertificateProblem), so no receipt is issued without a ZKI.
    FiscalService(Database& db, const FiscalSettings& settings, const QDateTime& now);

    bool Enabled() const { return m_settings.enabled; }
    // Whether this workstation can deliver the outbox: fiscalization is on, or a certificate is
    // set up (records made while it was on, and negative receipts of them, still go).
    bool CanDeliver() const { return m_settings.enabled || !m_settings.certificatePath.isEmpty(); }
    const FiscalSettings& Settings() const { return m_settings; }
    const QString& CertificateProblem() const { return m_certificateProblem; }

    // Inside the sale's transaction: numbers the receipt, computes its ZKI and writes its
    // record (in the outbox until a JIR comes). Refuses (UserError) without a usable
    // certificate or without the cashier's OIB, which rolls the sale back.
    void RecordSale(Session& session, const Session::RetailSaleEvent& sale);

    // After the sale and its payment: the payment method is taken from the collections and the
    // receipt is sent once (NakDost false).
    std::optional<Delivery> SendSale(Session& session, const Session::RetailSaleEvent& sale);

    // The invoice window's counterparts. An invoice is fiscalized when it is paid in cash (G)
    // or by card (K), or from 2026 by bank transfer (T) when the buyer is a consumer (a partner
    // without a valid OIB); the code comes from the header's payment method. Others are left
    // alone. RecordInvoice runs inside the posting's transaction, SendInvoice after it.
    void RecordInvoice(Session& session, const Session::InvoicePostingEvent& invoice);
    std::optional<Delivery> SendInvoice(Session& session,
                                        const Session::InvoicePostingEvent& invoice);
    // Inside the cancelling transaction of a fiscalized receipt: its negative receipt (a new
    // number, the amounts negated, its own ZKI, the cancelling user as operator) is recorded in
    // the outbox. Nothing for an invoice that was never fiscalized or whose negative receipt is
    // already recorded. A fiscalized receipt gets its negative receipt whether fiscalization is
    // on now or not. Refuses as RecordSale does, which leaves the invoice uncancelled; where
    // fiscalization is off and the certificate cannot be used, with
    // sales::FiscalizedCancelRefusal() and the certificate's problem.
    void RecordCancellation(Session& session, const Session::RetailSaleEvent& invoice);

    // After the cancellation committed: its negative receipt, when it has one, is sent once.
    std::optional<Delivery> SendCancellation(Session& session,
                                             const Session::RetailSaleEvent& invoice);

    // One attempt for a record: a new message id, signed, sent with the configured timeout.
    // The record is taken for the sending (Busy while another sender has it). The JIR is stored
    // against the payment code and buyer's OIB the request carried: a change written into the
    // record meanwhile is queued as a change request and sent at once (StoreConfirmation).
    Delivery Deliver(Database& db, int recordId, bool late);

    // One attempt for the change waiting for a confirmed receipt (FISKAL_PROMJENE): the receipt
    // as it was confirmed with the change, signed, sent; Settled when nothing waits any more. On
    // another day than the receipt's it is not sent: the change keeps LateChangeMessage as its
    // error (Rejected). An error answer or silence is kept with the change, which waits for the
    // next round. `text` gets the confirmation or what went wrong.
    Delivery DeliverChange(Database& db, int recordId, QString* text = nullptr);

    // The outbox, oldest first, each with NakDost true (nothing unless CanDeliver()); then the
    // waiting changes (DeliverChange); then the e-invoice reports. What another sender is sending
    // at the moment is passed over. The first request the service does not answer ends the round
    // (the rest would wait as long for nothing).
    RetryResult RetryOutbox(Database& db);

    // One attempt for an e-invoice report: built from the company file, signed (XAdES), sent to
    // the e-invoice service. A report of an e-invoice the service already holds (S008) counts
    // as accepted: it is the answer to a repeated request whose first answer was lost.
    Delivery DeliverReport(Database& db, int reportId);

    // The reports' side of the postings: an e-invoice (or its credit note) written for the
    // intermediary queues its report, a collection of an invoice issued as an e-invoice queues
    // the payment's; each in the caller's transaction, sent once after it.
    void RecordEInvoice(Session& session, const Session::EInvoiceEvent& event);
    std::optional<Delivery> SendEInvoice(Session& session, const Session::EInvoiceEvent& event);
    void RecordCollection(Session& session, const Session::CollectionEvent& event);
    std::optional<Delivery> SendCollection(Session& session, const Session::CollectionEvent& event);
    // A collection deleted: its unaccepted payment report goes with it, an accepted one is
    // withdrawn (WithdrawPaymentReport) whether fiscalization is on now or not; the withdrawal is
    // sent after the commit where this workstation can deliver.
    void RecordCollectionRemoval(Session& session, const Session::CollectionEvent& event);
    std::optional<Delivery> SendCollectionRemoval(Session& session,
                                                  const Session::CollectionEvent& event);

    // The same-day change of a fiscalized receipt's payment code and (when `buyerOib` is given;
    // empty removes it) the buyer's OIB. A receipt still in the outbox simply goes out with the
    // new data (Unsent). A confirmed one is changed by a signed change request: with the buyer's
    // OIB involved PromijeniPodatkeRacunaZahtjev, else PromijeniNacPlacZahtjev. The change is
    // queued first and sent at once (DeliverChange); refused or unanswered it stays queued for
    // the retries until midnight (ChangeWaitsMessage), and while another workstation is sending
    // the receipt it waits for the next round (Queued). Refused (UserError): fiscalization off,
    // no fiscal record, a code other than G, K, T, O, an invalid OIB, nothing changed (compared
    // with the change last asked for), and any day but the receipt's own (SameDayChangeMessage).
    enum class ChangeOutcome { Unsent, Confirmed, Rejected, NoAnswer, Queued };
    struct ChangeResult {
        ChangeOutcome outcome = ChangeOutcome::Rejected;
        QString text;  // the service's confirmation or errors, or why it did not answer
    };
    ChangeResult ChangeReceipt(Database& db, const InvoiceRef& invoice, const QString& payment,
                               const std::optional<QString>& buyerOib);

    // Clock and sender, replaceable for tests and measurements.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

private:
    const Certificate& UsableCertificate();
    // Deliver's attempt once the record is held; `changeQueued` set when a change written into
    // the record meanwhile was queued.
    Delivery SendReceipt(Database& db, int recordId, bool late, bool* changeQueued);
    // Posts a signed request; the reply's body, or nullopt with `problem` set when there was no
    // answer in time or the settings' files cannot be read (`unreadable` then). The time counts
    // from `began` (before the request was signed), so signing and waiting together stay within
    // the configured timeout.
    std::optional<QByteArray> Post(const QString& url, const QByteArray& soap, QString* problem,
                                   bool* unreadable, const QDeadlineTimer& until);
    QDeadlineTimer Until() const { return QDeadlineTimer(m_settings.timeoutMs, Qt::PreciseTimer); }
    // Empty when the service's signature on `body` holds or is not checked.
    QString AnswerSignatureProblem(const QByteArray& body);
    void Record(Session& session, const InvoiceRef& ref, double total,
                const std::vector<Session::RetailSaleEvent::Tax>& taxes, const QString& cashier,
                const QString& payment);

    FiscalSettings m_settings;
    QString m_companyOib;
    std::optional<Certificate> m_certificate;
    // Kept for the service's life: consecutive receipts share one connection.
    std::unique_ptr<FiscalClient> m_client = std::make_unique<FiscalClient>();
    bool m_certificateTried = false;
    QString m_certificateProblem;
};

// A change asked for on another day than the receipt's: "Način plaćanja i OIB kupca mogu se
// promijeniti samo na dan izdavanja računa (" date "). Račun treba stornirati i izdati novi."
QString SameDayChangeMessage(const QDate& issued);

// Said of a change the service did not confirm: "Promjena čeka i šalje se ponovno do ponoći; ako
// do tada ne prođe, račun treba stornirati i izdati novi."
QString ChangeWaitsMessage();
// A change taken while another workstation sends the receipt.
QString QueuedChangeMessage();
// Kept with a change still waiting once its day is over: "Promjena načina plaćanja i OIB-a kupca
// nije dostavljena na dan izdavanja računa (" date ") i više se ne može poslati. Račun treba
// stornirati i izdati novi." It stays listed until the receipt is cancelled.
QString LateChangeMessage(const QDate& issued);

// Stored with a receipt whose answer came with a signature the service's certificate does not
// confirm; `problem` says what is wrong with it.
QString UnsignedAnswerMessage(const QString& problem);

// The payment code an invoice is fiscalized with, from the name of its payment method ("gotovinom":
// G, "karticom": K, "virmanom" or another bank transfer: T when the buyer is a consumer and the
// invoice is dated 2026 or later); empty when the invoice is not fiscalized.
QString InvoicePaymentCode(const QString& paymentMethod, bool consumer, const QDate& date);

// Sets the session's retail and invoice hooks so that every sale (and every invoice paid so that
// it must be) is fiscalized: the service is made for
// the session's company on the first sale (and again when another company is opened), with
// the workstation settings read from `settingsFile` (an INI or native QSettings file).
void InstallFiscalHooks(Session& session, const QString& settingsFile);

// Delivers the outbox of the session's company in the background of a program: `firstDelayMs`
// after start and then every `intervalMs`, each round with NakDost true (RetryOutbox) whenever a
// company is open. The rounds run in a thread of their own with a connection of their own, so a
// silent service never holds up the owner's thread; the timer and the thread belong to `owner`.
void StartOutboxRetries(QObject& owner, Session& session, const QString& settingsFile,
                        int intervalMs = 5 * 60 * 1000, int firstDelayMs = 10 * 1000);

}  // namespace zodra::fiscal
