#include "fiscal/FiscalService.h"

#include <QSettings>
#include <QTimer>
#include <QUuid>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "fiscal/FiscalClient.h"
#include "fiscal/FiscalMessage.h"
#include "fiscal/ProtectiveCode.h"
#include "fiscal/ReceiptMarks.h"

namespace zodra::fiscal {

namespace {

// The VAT per rate as the sale carries it: rates above 0 each on a row of their own, lines
// without VAT as the exempt amount.
void TakeTaxes(const Session::RetailSaleEvent& sale, FiscalReceipt& r) {
    for (const Session::RetailSaleEvent::Tax& tax : sale.taxes) {
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

}  // namespace

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
    try {
        m_certificate.emplace(Certificate::Load(m_settings.certificatePath,
                                                m_settings.certificatePassword, m_companyOib, now));
    } catch (const UserError& e) {
        m_certificateProblem = e.message();
    }
}

const Certificate& FiscalService::UsableCertificate() {
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
    Database& db = session.Db();
    const Certificate& certificate = UsableCertificate();
    if (m_settings.premises.isEmpty() || m_settings.device.isEmpty()) {
        throw UserError(
            QStringLiteral("Oznaka poslovnog prostora i naplatnog uređaja nisu upisane u postavke "
                           "fiskalizacije."));
    }
    FiscalReceipt r;
    r.oib = m_companyOib;
    r.operatorOib = OperatorOib(db, sale.cashier);
    if (r.operatorOib.isEmpty()) {
        throw UserError(NoOperatorOibMessage(sale.cashier));
    }
    r.inVatSystem = m_settings.inVatSystem;
    const QDateTime now = clock();
    r.issued =
        QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second()));
    r.sequence = m_settings.sequence;
    r.premises = m_settings.premises;
    r.device = m_settings.device;
    r.number = NextFiscalNumber(db, r.sequence, r.premises, r.device, r.issued.date().year());
    r.total = RoundMoney(sale.total);
    TakeTaxes(sale, r);
    r.protectiveCode =
        ProtectiveCode(certificate, {r.oib, r.issued, r.number, r.premises, r.device, r.total});
    InsertFiscalRecord(db, RefOf(sale), r, sale.cashier);
}

void FiscalService::RecordCancellation(Session& session, const Session::RetailSaleEvent& sale) {
    if (!m_settings.enabled) {
        return;
    }
    Database& db = session.Db();
    InvoiceRef ref = RefOf(sale);
    const std::optional<FiscalRecord> original = FindFiscalRecord(db, ref);
    ref.cancellation = true;
    if (!original || FindFiscalRecord(db, ref)) {
        return;
    }
    const Certificate& certificate = UsableCertificate();
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
}

std::optional<Delivery> FiscalService::SendCancellation(Session& session,
                                                        const Session::RetailSaleEvent& sale) {
    if (!m_settings.enabled) {
        return std::nullopt;
    }
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

Delivery FiscalService::Deliver(Database& db, int recordId, bool late) {
    FiscalRecord record = FiscalRecordById(db, recordId);
    if (!record.jir.isEmpty()) {
        return Delivery::Confirmed;
    }
    record.receipt.lateDelivery = late;
    const QString messageId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QByteArray soap;
    try {
        const QByteArray xml = ReceiptRequestXml(record.receipt, messageId, clock());
        soap = SoapEnvelope(SignRequest(xml, UsableCertificate()));
    } catch (const UserError& e) {
        StoreFailure(db, recordId, e.message(), clock());
        return Delivery::Rejected;
    }
    const FiscalExchange exchange = PostSoap(m_settings.Url(), soap, m_settings.timeoutMs);
    if (!exchange.answered) {
        StoreFailure(db, recordId, exchange.problem, clock());
        return Delivery::NoAnswer;
    }
    const FiscalAnswer answer = ParseAnswer(exchange.body);
    if (!answer.jir.isEmpty() && answer.messageId == messageId) {
        StoreJir(db, recordId, answer.jir, clock());
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

RetryResult FiscalService::RetryOutbox(Database& db) {
    RetryResult result;
    if (!m_settings.enabled) {
        return result;
    }
    for (const FiscalRecord& record : UnconfirmedReceipts(db)) {
        switch (Deliver(db, record.id, true)) {
            case Delivery::Confirmed:
                ++result.confirmed;
                break;
            case Delivery::Rejected:
                ++result.rejected;
                break;
            case Delivery::NoAnswer:
                ++result.unanswered;
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
    auto serviceFor = [state](Session& s) -> FiscalService& {
        if (!state->service || state->company != s.databasePath) {
            QSettings workstation(state->settingsFile, QSettings::IniFormat);
            state->service = std::make_shared<FiscalService>(
                s.Db(), ReadFiscalSettings(s.Db(), workstation), QDateTime::currentDateTime());
            state->company = s.databasePath;
        }
        return *state->service;
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
    // The marks are read from the records alone, so receipts print them even where this
    // workstation does not fiscalize.
    session.fiscalMarksOf = [](Session& s, const Session::RetailSaleEvent& invoice,
                               bool cancellation) {
        return ReceiptMarks(s.Db(), invoice, cancellation);
    };
}

void StartOutboxRetries(QObject& owner, Session& session, const QString& settingsFile,
                        int intervalMs) {
    auto* timer = new QTimer(&owner);
    auto round = [&session, settingsFile, timer, intervalMs] {
        timer->setInterval(intervalMs);
        if (!session.IsOpen()) {
            return;
        }
        try {
            QSettings workstation(settingsFile, QSettings::IniFormat);
            FiscalService service(session.Db(), ReadFiscalSettings(session.Db(), workstation),
                                  QDateTime::currentDateTime());
            if (fiscal::UnconfirmedCount(session.Db()) > 0) {
                service.RetryOutbox(session.Db());
            }
        } catch (const std::exception&) {
            // A busy or closing company: the next round tries again.
        }
    };
    QObject::connect(timer, &QTimer::timeout, &owner, round);
    timer->start(10 * 1000);
}

}  // namespace zodra::fiscal
