#include "fiscal/FiscalService.h"

#include <QFile>
#include <QSettings>
#include <QSslCertificate>
#include <QThread>
#include <QTimer>
#include <QUuid>
#include <atomic>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "fiscal/EInvoiceData.h"
#include "fiscal/EInvoiceReport.h"
#include "fiscal/FiscalClient.h"
#include "fiscal/FiscalMessage.h"
#include "fiscal/ProtectiveCode.h"
#include "fiscal/ReceiptMarks.h"
#include "sales/InvoiceRemoval.h"

namespace zodra::fiscal {

namespace {

// The VAT per rate as the sale carries it: rates above 0 each on a row of their own, lines
// without VAT as the exempt amount.
void TakeTaxes(const std::vector<Session::RetailSaleEvent::Tax>& taxes, FiscalReceipt& r) {
    for (const Session::RetailSaleEvent::Tax& tax : taxes) {
        if (RoundMoney(tax.rate) == 0) {
            r.exempt += RoundMoney(tax.base);
        } else {
            r.vat.push_back({tax.rate, RoundMoney(tax.base), RoundMoney(tax.amount)});
        }
    }
    r.exempt = RoundMoney(r.exempt);
}

InvoiceRef RefOf(const Session::RetailSaleEvent& sale) {
    return {sale.warehouse, sale.book, sale.year, sale.number, sale.detailed, false};
}

InvoiceRef RefOf(const Session::InvoicePostingEvent& invoice) {
    return {invoice.warehouse, invoice.book, invoice.year, invoice.number, false, false};
}

// A buyer without a valid OIB is taken for a consumer.
bool IsConsumer(Database& db, int customer) {
    const QString oib =
        db.Scalar(QStringLiteral("SELECT \"OIB\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"),
                  {customer})
            .toString()
            .trimmed();
    return !IsValidOib(oib);
}

QByteArray ReadPem(const QString& path, const QString& what) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw UserError(what + QStringLiteral(" nije moguće pročitati: ") + path);
    }
    return file.readAll();
}

QList<QSslCertificate> TrustedCas(const QString& path) {
    if (path.isEmpty()) {
        return {};
    }
    const QString what = QStringLiteral("Pouzdane certifikate za HTTPS");
    const QList<QSslCertificate> cas = QSslCertificate::fromData(ReadPem(path, what));
    if (cas.isEmpty()) {
        throw UserError(what + QStringLiteral(" nije moguće pročitati: ") + path);
    }
    return cas;
}

QByteArray ServiceCertificate(const QString& path) {
    return path.isEmpty()
               ? QByteArray()
               : ReadPem(path, QStringLiteral("Certifikat poslužitelja za provjeru odgovora"));
}

}  // namespace

QString SameDayChangeMessage(const QDate& issued) {
    return QStringLiteral(
               "Način plaćanja i OIB kupca mogu se promijeniti samo na dan izdavanja "
               "računa (") +
           issued.toString(QStringLiteral("dd.MM.yyyy.")) +
           QStringLiteral("). Račun treba stornirati i izdati novi.");
}

QString ChangeWaitsMessage() {
    return QStringLiteral(
        "Promjena čeka i šalje se ponovno do ponoći; ako do tada ne prođe, račun treba "
        "stornirati i izdati novi.");
}

QString QueuedChangeMessage() {
    return QStringLiteral(
        "Račun se upravo šalje s drugog računala: promjena čeka i poslat će se pri sljedećem "
        "slanju nepotvrđenih računa.");
}

QString LateChangeMessage(const QDate& issued) {
    return QStringLiteral(
               "Promjena načina plaćanja i OIB-a kupca nije dostavljena na dan izdavanja "
               "računa (") +
           issued.toString(QStringLiteral("dd.MM.yyyy.")) +
           QStringLiteral(") i više se ne može poslati. Račun treba stornirati i izdati novi.");
}

QString UnsignedAnswerMessage(const QString& problem) {
    return QStringLiteral("Potpis odgovora poslužitelja nije ispravan (") + problem +
           QStringLiteral("): odgovor nije prihvaćen.");
}

QString InvoicePaymentCode(const QString& paymentMethod, bool consumer, const QDate& date) {
    const QString name = paymentMethod.trimmed().toLower();
    if (name.startsWith(QStringLiteral("gotov"))) {
        return QStringLiteral("G");
    }
    if (name.startsWith(QStringLiteral("kartic"))) {
        return QStringLiteral("K");
    }
    const bool transfer = name.startsWith(QStringLiteral("virman")) ||
                          name.contains(QStringLiteral("transakcijsk")) ||
                          name.contains(QStringLiteral("žiro"));
    if (transfer && consumer && date.isValid() && date.year() >= 2026) {
        return QStringLiteral("T");
    }
    return {};
}

QString RetryResultText(const RetryResult& r) {
    return QStringLiteral("Potvrđeno: ") + QString::number(r.confirmed) +
           QStringLiteral(", odbijeno: ") + QString::number(r.rejected) +
           QStringLiteral(", bez odgovora: ") + QString::number(r.unanswered);
}

FiscalService::FiscalService(Database& db, const FiscalSettings& settings, const QDateTime& now)
    : m_settings(settings), m_companyOib(CompanyOib(db)) {
    if (!m_settings.enabled) {
        return;
    }
    m_certificateTried = true;
    try {
        m_certificate.emplace(Certificate::Load(m_settings.certificatePath,
                                                m_settings.certificatePassword, m_companyOib, now));
    } catch (const UserError& e) {
        m_certificateProblem = e.message();
    }
}

const Certificate& FiscalService::UsableCertificate() {
    // Where fiscalization is off the certificate is loaded only when a record needs it (the
    // negative receipt of a receipt fiscalized earlier).
    if (!m_certificate && !m_certificateTried) {
        m_certificateTried = true;
        try {
            m_certificate.emplace(Certificate::Load(
                m_settings.certificatePath, m_settings.certificatePassword, m_companyOib, clock()));
        } catch (const UserError& e) {
            m_certificateProblem = e.message();
        }
    }
    if (!m_certificate) {
        throw UserError(m_certificateProblem);
    }
    const QDateTime now = clock();
    if (m_certificate->NotAfter().isValid() && now > m_certificate->NotAfter()) {
        throw UserError(CertificateExpiredMessage(m_certificate->NotAfter()));
    }
    return *m_certificate;
}

void FiscalService::RecordSale(Session& session, const Session::RetailSaleEvent& sale) {
    if (!m_settings.enabled) {
        return;
    }
    Record(session, RefOf(sale), sale.total, sale.taxes, sale.cashier, QStringLiteral("G"));
}

void FiscalService::RecordInvoice(Session& session, const Session::InvoicePostingEvent& invoice) {
    if (!m_settings.enabled) {
        return;
    }
    const QString payment = InvoicePaymentCode(
        invoice.paymentMethod, IsConsumer(session.Db(), invoice.customer), invoice.date);
    if (payment.isEmpty()) {
        return;
    }
    Record(session, RefOf(invoice), invoice.total, invoice.taxes, invoice.user, payment);
}

std::optional<Delivery> FiscalService::SendInvoice(Session& session,
                                                   const Session::InvoicePostingEvent& invoice) {
    if (!m_settings.enabled) {
        return std::nullopt;
    }
    const std::optional<FiscalRecord> record = FindFiscalRecord(session.Db(), RefOf(invoice));
    if (!record || !record->jir.isEmpty()) {
        return std::nullopt;
    }
    return Deliver(session.Db(), record->id, record->attempts > 0);
}

void FiscalService::Record(Session& session, const InvoiceRef& ref, double total,
                           const std::vector<Session::RetailSaleEvent::Tax>& taxes,
                           const QString& cashier, const QString& payment) {
    Database& db = session.Db();
    const Certificate& certificate = UsableCertificate();
    if (m_settings.premises.isEmpty() || m_settings.device.isEmpty()) {
        throw UserError(
            QStringLiteral("Oznaka poslovnog prostora i naplatnog uređaja nisu upisane u postavke "
                           "fiskalizacije."));
    }
    FiscalReceipt r;
    r.oib = m_companyOib;
    r.operatorOib = OperatorOib(db, cashier);
    if (r.operatorOib.isEmpty()) {
        throw UserError(NoOperatorOibMessage(cashier));
    }
    r.payment = payment;
    r.inVatSystem = m_settings.inVatSystem;
    const QDateTime now = clock();
    r.issued =
        QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    r.sequence = m_settings.sequence;
    r.premises = m_settings.premises;
    r.device = m_settings.device;
    r.number = NextFiscalNumber(db, r.sequence, r.premises, r.device, r.issued.date().year());
    r.total = RoundMoney(total);
    TakeTaxes(taxes, r);
    r.protectiveCode =
        ProtectiveCode(certificate, {r.oib, r.issued, r.number, r.premises, r.device, r.total});
    InsertFiscalRecord(db, ref, r, cashier);
}

void FiscalService::RecordCancellation(Session& session, const Session::RetailSaleEvent& sale) {
    // Whether the cancellation is fiscalized follows the receipt, not today's switch: a receipt
    // the tax administration knows is never cancelled without its negative receipt, even where
    // fiscalization has been switched off since or this workstation does not fiscalize.
    Database& db = session.Db();
    InvoiceRef ref = RefOf(sale);
    const std::optional<FiscalRecord> original = FindFiscalRecord(db, ref);
    ref.cancellation = true;
    if (!original || FindFiscalRecord(db, ref)) {
        return;
    }
    const Certificate* usable = nullptr;
    try {
        usable = &UsableCertificate();
    } catch (const UserError& e) {
        if (m_settings.enabled) {
            throw;
        }
        throw UserError(sales::FiscalizedCancelRefusal() + QLatin1Char(' ') + e.message());
    }
    const Certificate& certificate = *usable;
    FiscalReceipt r = original->receipt;
    r.operatorOib = OperatorOib(db, sale.cashier);
    if (r.operatorOib.isEmpty()) {
        throw UserError(NoOperatorOibMessage(sale.cashier));
    }
    const QDateTime now = clock();
    r.issued =
        QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    // The negative receipt is numbered where it is issued: this till's marks and sequence.
    if (!m_settings.premises.isEmpty() && !m_settings.device.isEmpty()) {
        r.sequence = m_settings.sequence;
        r.premises = m_settings.premises;
        r.device = m_settings.device;
    }
    r.inVatSystem = m_settings.inVatSystem;
    r.number = NextFiscalNumber(db, r.sequence, r.premises, r.device, r.issued.date().year());
    r.total = RoundMoney(-r.total);
    r.exempt = RoundMoney(-r.exempt);
    for (FiscalTax& tax : r.vat) {
        tax.base = RoundMoney(-tax.base);
        tax.amount = RoundMoney(-tax.amount);
    }
    r.lateDelivery = false;
    r.protectiveCode =
        ProtectiveCode(certificate, {r.oib, r.issued, r.number, r.premises, r.device, r.total});
    InsertFiscalRecord(db, ref, r, sale.cashier);
    // The receipt is cancelled: a change of it still waiting has nothing left to change.
    DropPendingChange(db, original->id);
}

std::optional<Delivery> FiscalService::SendCancellation(Session& session,
                                                        const Session::RetailSaleEvent& sale) {
    InvoiceRef ref = RefOf(sale);
    ref.cancellation = true;
    const std::optional<FiscalRecord> record = FindFiscalRecord(session.Db(), ref);
    if (!record || !record->jir.isEmpty()) {
        return std::nullopt;
    }
    return Deliver(session.Db(), record->id, record->attempts > 0);
}

std::optional<Delivery> FiscalService::SendSale(Session& session,
                                                const Session::RetailSaleEvent& sale) {
    if (!m_settings.enabled) {
        return std::nullopt;
    }
    Database& db = session.Db();
    const std::optional<FiscalRecord> record = FindFiscalRecord(db, RefOf(sale));
    if (!record || !record->jir.isEmpty()) {
        return std::nullopt;
    }
    SetPaymentMethod(db, record->id, PaymentMethodOf(db, record->invoice));
    return Deliver(db, record->id, record->attempts > 0);
}

std::optional<QByteArray> FiscalService::Post(const QString& url, const QByteArray& soap,
                                              QString* problem, bool* unreadable,
                                              const QDeadlineTimer& until) {
    *unreadable = false;
    QList<QSslCertificate> cas;
    try {
        cas = TrustedCas(m_settings.trustedCaPath);
    } catch (const UserError& e) {
        *problem = e.message();
        *unreadable = true;
        return std::nullopt;
    }
    const FiscalExchange exchange = m_client->Post(url, soap, m_settings.timeoutMs, cas, until);
    if (!exchange.answered) {
        *problem = exchange.problem;
        return std::nullopt;
    }
    return exchange.body;
}

QString FiscalService::AnswerSignatureProblem(const QByteArray& body) {
    QByteArray serviceCertificate;
    try {
        serviceCertificate = ServiceCertificate(m_settings.serviceCertificatePath);
    } catch (const UserError& e) {
        return e.message();
    }
    if (serviceCertificate.isEmpty()) {
        return {};
    }
    const QString problem = VerifySignature(body, serviceCertificate);
    return problem.isEmpty() ? QString() : UnsignedAnswerMessage(problem);
}

Delivery FiscalService::Deliver(Database& db, int recordId, bool late) {
    bool changeQueued = false;
    Delivery delivery = Delivery::Busy;
    {
        SendingClaim claim(db, SendingKind::Receipt, recordId, clock());
        if (!claim.Held()) {
            return Delivery::Busy;
        }
        delivery = SendReceipt(db, recordId, late, &changeQueued);
    }
    if (changeQueued) {
        DeliverChange(db, recordId);
    }
    return delivery;
}

Delivery FiscalService::SendReceipt(Database& db, int recordId, bool late, bool* changeQueued) {
    const QDeadlineTimer until = Until();
    FiscalRecord record = FiscalRecordById(db, recordId);
    if (!record.jir.isEmpty()) {
        return Delivery::Settled;
    }
    record.receipt.lateDelivery = late;
    const QString messageId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QByteArray soap;
    try {
        const QByteArray xml = ReceiptRequestXml(record.receipt, messageId, clock());
        soap = SoapEnvelope(SignRequest(xml, UsableCertificate()));
        ServiceCertificate(m_settings.serviceCertificatePath);
    } catch (const UserError& e) {
        StoreFailure(db, recordId, e.message(), clock());
        return Delivery::Rejected;
    }
    QString problem;
    bool unreadable = false;
    const std::optional<QByteArray> body =
        Post(m_settings.Url(), soap, &problem, &unreadable, until);
    if (!body) {
        StoreFailure(db, recordId, problem, clock());
        return unreadable ? Delivery::Rejected : Delivery::NoAnswer;
    }
    const FiscalAnswer answer = ParseAnswer(*body);
    // A JIR counts only under the service's signature; an error answer is kept in its words
    // either way (it confirms nothing).
    if (!answer.jir.isEmpty()) {
        if (const QString bad = AnswerSignatureProblem(*body); !bad.isEmpty()) {
            StoreFailure(db, recordId, bad, clock());
            return Delivery::Rejected;
        }
    }
    if (!answer.jir.isEmpty() && answer.messageId == messageId) {
        // What the service holds now is what this request carried, whatever the record says.
        *changeQueued = StoreConfirmation(db, recordId, answer.jir, clock(), record.receipt.payment,
                                          record.receipt.buyerOib);
        return Delivery::Confirmed;
    }
    QString error = answer.ErrorText();
    if (!answer.jir.isEmpty()) {
        error = QStringLiteral("Odgovor poslužitelja ne pripada poslanoj poruci (") +
                answer.messageId + QStringLiteral(").");
    }
    StoreFailure(db, recordId, error, clock());
    return Delivery::Rejected;
}

Delivery FiscalService::DeliverReport(Database& db, int reportId) {
    SendingClaim claim(db, SendingKind::Report, reportId, clock());
    if (!claim.Held()) {
        return Delivery::Busy;
    }
    const QDeadlineTimer until = Until();
    // A round lists the outbox before it sends: a report of a collection deleted meanwhile at
    // another workstation is gone, and one delivered there is settled; neither is sent here.
    const std::optional<ReportRecord> found = FindReportRecord(db, reportId);
    if (!found || found->accepted.isValid()) {
        return Delivery::Settled;
    }
    const ReportRecord& report = *found;
    const InvoiceRef& inv = report.invoice;
    const QString requestId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QByteArray soap;
    try {
        const EInvoiceData data =
            ReadEInvoiceData(db, inv.warehouse, inv.book, inv.year, inv.number);
        const QDateTime now = clock();
        const bool payment =
            report.kind == ReportKind::Payment || report.kind == ReportKind::PaymentWithdrawal;
        const QByteArray xml =
            payment ? UnsignedPaymentReportRequest(data, report.paidOn, report.amount,
                                                   report.method, requestId, now)
                    : UnsignedEInvoiceReportRequest(data,
                                                    report.kind == ReportKind::CreditNote
                                                        ? EInvoiceKind::CreditNote
                                                        : EInvoiceKind::Invoice,
                                                    requestId, now);
        soap = SoapEnvelope(SignReportRequest(xml, UsableCertificate(), now));
        ServiceCertificate(m_settings.serviceCertificatePath);
    } catch (const UserError& e) {
        StoreReportFailure(db, reportId, e.message(), clock());
        return Delivery::Rejected;
    }
    QString problem;
    bool unreadable = false;
    const std::optional<QByteArray> body =
        Post(m_settings.ReportUrl(), soap, &problem, &unreadable, until);
    if (!body) {
        StoreReportFailure(db, reportId, problem, clock());
        return unreadable ? Delivery::Rejected : Delivery::NoAnswer;
    }
    const ReportAnswer answer = ParseReportAnswer(*body);
    // The document is already on record: the first request went through, its answer was lost.
    const bool alreadyHeld =
        (report.kind == ReportKind::EInvoice || report.kind == ReportKind::CreditNote) &&
        answer.error.startsWith(QStringLiteral("S008:"));
    if (answer.accepted || alreadyHeld) {
        if (const QString bad = AnswerSignatureProblem(*body); !bad.isEmpty()) {
            StoreReportFailure(db, reportId, bad, clock());
            return Delivery::Rejected;
        }
        StoreReportAccepted(db, reportId, clock());
        return Delivery::Confirmed;
    }
    StoreReportFailure(db, reportId, answer.error, clock());
    return Delivery::Rejected;
}

void FiscalService::RecordEInvoice(Session& session, const Session::EInvoiceEvent& e) {
    if (!m_settings.enabled) {
        return;
    }
    QueueEInvoiceReport(session.Db(), {e.warehouse, e.book, e.year, e.number, false, false},
                        e.creditNote, clock());
}

std::optional<Delivery> FiscalService::SendEInvoice(Session& session,
                                                    const Session::EInvoiceEvent& e) {
    if (!m_settings.enabled) {
        return std::nullopt;
    }
    const std::optional<ReportRecord> report = FindEInvoiceReport(
        session.Db(), {e.warehouse, e.book, e.year, e.number, false, false}, e.creditNote);
    if (!report || report->accepted.isValid()) {
        return std::nullopt;
    }
    return DeliverReport(session.Db(), report->id);
}

void FiscalService::RecordCollection(Session& session, const Session::CollectionEvent& e) {
    const InvoiceRef ref{e.warehouse, e.book, e.year, e.number, false, false};
    if (!m_settings.enabled || !IsReportedEInvoice(session.Db(), ref)) {
        return;
    }
    QueuePaymentReport(session.Db(), ref, e.collection, e.date, e.amount,
                       PaymentReportMethod(e.model), clock());
}

std::optional<Delivery> FiscalService::SendCollection(Session& session,
                                                      const Session::CollectionEvent& e) {
    if (!m_settings.enabled) {
        return std::nullopt;
    }
    const std::optional<ReportRecord> report = FindPaymentReport(session.Db(), e.collection);
    if (!report || report->accepted.isValid()) {
        return std::nullopt;
    }
    return DeliverReport(session.Db(), report->id);
}

void FiscalService::RecordCollectionRemoval(Session& session, const Session::CollectionEvent& e) {
    WithdrawPaymentReport(session.Db(), e.collection, clock());
}

std::optional<Delivery> FiscalService::SendCollectionRemoval(Session& session,
                                                             const Session::CollectionEvent& e) {
    if (!CanDeliver()) {
        return std::nullopt;
    }
    const std::optional<ReportRecord> withdrawal =
        FindPaymentReport(session.Db(), e.collection, true);
    if (!withdrawal || withdrawal->accepted.isValid()) {
        return std::nullopt;
    }
    return DeliverReport(session.Db(), withdrawal->id);
}

FiscalService::ChangeResult FiscalService::ChangeReceipt(Database& db, const InvoiceRef& invoice,
                                                         const QString& payment,
                                                         const std::optional<QString>& buyerOib) {
    if (!m_settings.enabled) {
        throw UserError(QStringLiteral("Fiskalizacija nije uključena."));
    }
    std::optional<FiscalRecord> record = FindFiscalRecord(db, invoice);
    if (!record) {
        throw UserError(QStringLiteral("Račun broj ") + QString::number(invoice.number) +
                        QStringLiteral(" nije fiskaliziran."));
    }
    static const QStringList codes{QStringLiteral("G"), QStringLiteral("K"), QStringLiteral("T"),
                                   QStringLiteral("O")};
    if (!codes.contains(payment)) {
        throw UserError(QStringLiteral("Način plaćanja mora biti G, K, T ili O."));
    }
    if (buyerOib && !buyerOib->isEmpty() && !IsValidOib(*buyerOib)) {
        throw UserError(InvalidOibMessage(*buyerOib));
    }
    if (record->receipt.issued.date() != clock().date()) {
        throw UserError(SameDayChangeMessage(record->receipt.issued.date()));
    }
    // Compared with the change last asked for, which the service will hold once it is sent.
    const std::optional<PendingChange> pending = FindPendingChange(db, record->id);
    const QString currentPayment = pending           ? pending->payment
                                   : record->changed ? record->changedPayment
                                                     : record->receipt.payment;
    const QString currentOib = pending           ? pending->buyerOib
                               : record->changed ? record->changedBuyerOib
                                                 : record->receipt.buyerOib;
    const QString newOib = buyerOib.value_or(currentOib);
    if (payment == currentPayment && newOib == currentOib) {
        throw UserError(QStringLiteral("Račun već ima taj način plaćanja i OIB kupca."));
    }
    if (record->jir.isEmpty() && SetUnsentPaymentData(db, record->id, payment, newOib)) {
        return {ChangeOutcome::Unsent,
                QStringLiteral("Račun još nije potvrđen: poslat će se s promijenjenim podacima.")};
    }
    QueueChange(db, record->id, payment, newOib, clock());
    QString text;
    switch (DeliverChange(db, record->id, &text)) {
        case Delivery::Confirmed:
        case Delivery::Settled:
            return {ChangeOutcome::Confirmed, text};
        case Delivery::NoAnswer:
            return {ChangeOutcome::NoAnswer, text};
        case Delivery::Busy:
            return {ChangeOutcome::Queued, QueuedChangeMessage()};
        case Delivery::Rejected:
            break;
    }
    return {ChangeOutcome::Rejected, text};
}

Delivery FiscalService::DeliverChange(Database& db, int recordId, QString* text) {
    QString said;
    if (text == nullptr) {
        text = &said;
    }
    SendingClaim claim(db, SendingKind::Receipt, recordId, clock());
    if (!claim.Held()) {
        return Delivery::Busy;
    }
    const std::optional<PendingChange> change = FindPendingChange(db, recordId);
    if (!change) {
        *text = QStringLiteral("Promjenu je već dostavilo drugo računalo.");
        return Delivery::Settled;
    }
    const FiscalRecord record = FiscalRecordById(db, recordId);
    if (record.receipt.issued.date() != clock().date()) {
        // The service takes a change on the receipt's own day only.
        *text = LateChangeMessage(record.receipt.issued.date());
        if (change->error != *text) {
            StoreChangeFailure(db, recordId, *text, clock());
        }
        return Delivery::Rejected;
    }
    ReceiptChange request;
    request.payment = change->payment;
    request.buyerOib = change->buyerOib;
    const QString heldOib = record.changed ? record.changedBuyerOib : record.receipt.buyerOib;
    // The payment-only request is taken as removing a buyer's OIB reported before.
    request.kind =
        change->buyerOib.isEmpty() && heldOib.isEmpty() && record.receipt.buyerOib.isEmpty()
            ? ChangeKind::PaymentMethod
            : ChangeKind::InvoiceData;
    // The receipt as it was confirmed: a first attempt goes without NakDost, a later one with.
    FiscalReceipt sent = record.receipt;
    sent.lateDelivery = record.attempts > 1;
    const QDeadlineTimer until = Until();
    const QString messageId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QByteArray soap;
    try {
        soap = SoapEnvelope(
            SignRequest(ChangeRequestXml(sent, request, messageId, clock()), UsableCertificate()));
        ServiceCertificate(m_settings.serviceCertificatePath);
    } catch (const UserError& e) {
        *text = e.message();
        StoreChangeFailure(db, recordId, *text, clock());
        return Delivery::Rejected;
    }
    QString problem;
    bool unreadable = false;
    const std::optional<QByteArray> body =
        Post(m_settings.Url(), soap, &problem, &unreadable, until);
    if (!body) {
        *text = problem;
        StoreChangeFailure(db, recordId, *text, clock());
        return unreadable ? Delivery::Rejected : Delivery::NoAnswer;
    }
    const FiscalAnswer answer = ParseAnswer(*body);
    if (!answer.confirmationCode.isEmpty() && answer.errors.empty()) {
        if (const QString bad = AnswerSignatureProblem(*body); !bad.isEmpty()) {
            *text = bad;
        } else if (answer.messageId != messageId) {
            *text = QStringLiteral("Odgovor poslužitelja ne pripada poslanoj poruci (") +
                    answer.messageId + QStringLiteral(").");
        } else {
            StoreAcceptedChange(db, recordId, change->payment, change->buyerOib);
            *text = answer.confirmationCode + QStringLiteral(": ") + answer.confirmationText;
            return Delivery::Confirmed;
        }
    } else {
        *text = answer.ErrorText();
    }
    StoreChangeFailure(db, recordId, *text, clock());
    return Delivery::Rejected;
}

namespace {

// Counts an attempt; false when the service did not answer (the round ends).
bool Count(RetryResult& result, Delivery delivery) {
    switch (delivery) {
        case Delivery::Confirmed:
            ++result.confirmed;
            return true;
        case Delivery::Rejected:
            ++result.rejected;
            return true;
        case Delivery::Busy:
        case Delivery::Settled:
            return true;  // another sender has it: its outcome is counted there
        case Delivery::NoAnswer:
            break;
    }
    ++result.unanswered;
    return false;
}

}  // namespace

RetryResult FiscalService::RetryOutbox(Database& db) {
    RetryResult result;
    if (!CanDeliver()) {
        return result;
    }
    // Receipts first: they wait for their JIR, the reports only for their record.
    for (const FiscalRecord& record : UnconfirmedReceipts(db)) {
        if (!Count(result, Deliver(db, record.id, true))) {
            return result;
        }
    }
    for (const PendingChange& change : PendingChanges(db)) {
        if (!Count(result, DeliverChange(db, change.receipt))) {
            return result;
        }
    }
    for (const ReportRecord& report : UnconfirmedReports(db)) {
        if (!Count(result, DeliverReport(db, report.id))) {
            return result;
        }
    }
    return result;
}

void InstallFiscalHooks(Session& session, const QString& settingsFile) {
    struct State {
        QString settingsFile;
        QString company;
        std::shared_ptr<FiscalService> service;
    };
    auto state = std::make_shared<State>();
    state->settingsFile = settingsFile;
    // The settings are read again at every event: the switch is the company's, and another
    // workstation may turn it on while this one runs. The service (and its certificate) is made
    // again only when they changed.
    auto serviceFor = [state](Session& s) -> FiscalService& {
        QSettings workstation(state->settingsFile, QSettings::IniFormat);
        FiscalSettings settings = ReadFiscalSettings(s.Db(), workstation);
        if (!state->service || state->company != s.databasePath ||
            !(state->service->Settings() == settings)) {
            state->service =
                std::make_shared<FiscalService>(s.Db(), settings, QDateTime::currentDateTime());
            state->company = s.databasePath;
        }
        return *state->service;
    };
    session.duringInvoicePosting = [serviceFor](Session& s,
                                                const Session::InvoicePostingEvent& invoice) {
        serviceFor(s).RecordInvoice(s, invoice);
    };
    // As with a receipt: the invoice is posted either way, an unanswered one waits in the outbox.
    session.afterInvoicePosting = [serviceFor](Session& s,
                                               const Session::InvoicePostingEvent& invoice) {
        serviceFor(s).SendInvoice(s, invoice);
    };
    session.duringRetailPosting = [serviceFor](Session& s, const Session::RetailSaleEvent& sale) {
        serviceFor(s).RecordSale(s, sale);
    };
    // A receipt the service did not confirm is printed with its ZKI alone and waits in the
    // outbox: the sale is complete either way, so nothing is thrown at the register.
    session.afterRetailSale = [serviceFor](Session& s, const Session::RetailSaleEvent& sale) {
        serviceFor(s).SendSale(s, sale);
    };
    session.duringRetailCancellation = [serviceFor](Session& s,
                                                    const Session::RetailSaleEvent& invoice) {
        serviceFor(s).RecordCancellation(s, invoice);
    };
    session.afterRetailCancellation = [serviceFor](Session& s,
                                                   const Session::RetailSaleEvent& invoice) {
        serviceFor(s).SendCancellation(s, invoice);
    };
    session.duringEInvoiceExport = [serviceFor](Session& s, const Session::EInvoiceEvent& e) {
        serviceFor(s).RecordEInvoice(s, e);
    };
    // The file is written either way; an unanswered report waits in the outbox.
    session.afterEInvoiceExport = [serviceFor](Session& s, const Session::EInvoiceEvent& e) {
        serviceFor(s).SendEInvoice(s, e);
    };
    session.duringInvoiceCollection = [serviceFor](Session& s, const Session::CollectionEvent& e) {
        serviceFor(s).RecordCollection(s, e);
    };
    session.afterInvoiceCollection = [serviceFor](Session& s, const Session::CollectionEvent& e) {
        serviceFor(s).SendCollection(s, e);
    };
    session.duringCollectionRemoval = [serviceFor](Session& s, const Session::CollectionEvent& e) {
        serviceFor(s).RecordCollectionRemoval(s, e);
    };
    session.afterCollectionRemoval = [serviceFor](Session& s, const Session::CollectionEvent& e) {
        serviceFor(s).SendCollectionRemoval(s, e);
    };
    // The marks are read from the records alone, so receipts print them even where this
    // workstation does not fiscalize.
    session.fiscalMarksOf = [](Session& s, const Session::RetailSaleEvent& invoice,
                               bool cancellation) {
        return ReceiptMarks(s.Db(), invoice, cancellation);
    };
}

namespace {

// One background round: the company opened by a connection of the round's own (a connection
// belongs to the thread that made it), the outbox delivered, the connection closed again so
// that nothing of the company stays held between rounds.
void RetryRound(const QString& path, const QString& password, const QString& settingsFile) {
    Database::OpenResult opened = Database::Open(path, password);
    if (opened.status != Database::OpenStatus::Ok || !opened.db) {
        return;
    }
    Database& db = *opened.db;
    if (UnconfirmedCount(db) == 0 && PendingChangeCount(db) == 0 &&
        UnconfirmedReportCount(db) == 0) {
        return;
    }
    QSettings workstation(settingsFile, QSettings::IniFormat);
    FiscalService service(db, ReadFiscalSettings(db, workstation), QDateTime::currentDateTime());
    service.RetryOutbox(db);
}

// The thread the rounds run in, owned by the window: it ends with it, after the round in hand.
class RetryThread : public QThread {
public:
    explicit RetryThread(QObject* parent) : QThread(parent) {}
    ~RetryThread() override {
        quit();
        wait();
        delete worker;
    }
    QObject* worker = nullptr;
    std::atomic<bool> busy{false};
};

}  // namespace

void StartOutboxRetries(QObject& owner, Session& session, const QString& settingsFile,
                        int intervalMs, int firstDelayMs) {
    auto* thread = new RetryThread(&owner);
    thread->worker = new QObject;
    thread->worker->moveToThread(thread);
    thread->start();
    auto* timer = new QTimer(&owner);
    // The window's thread only looks at which company is open; the round itself, with its
    // waiting for the service, runs in the retry thread. A round still running skips the tick.
    auto round = [&session, settingsFile, timer, intervalMs, thread] {
        timer->setInterval(intervalMs);
        if (!session.IsOpen() || thread->busy.exchange(true)) {
            return;
        }
        QMetaObject::invokeMethod(
            thread->worker,
            [thread, path = session.databasePath, password = session.databasePassword,
             settingsFile] {
                try {
                    RetryRound(path, password, settingsFile);
                } catch (...) {
                    // A busy, closing or unreachable company: the next round tries again.
                }
                thread->busy = false;
            },
            Qt::QueuedConnection);
    };
    QObject::connect(timer, &QTimer::timeout, &owner, round);
    timer->start(firstDelayMs);
}

}  // namespace zodra::fiscal
