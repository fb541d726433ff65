#include "fiscal/FiscalClient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>

namespace zodra::fiscal {

FiscalClient::FiscalClient() = default;
FiscalClient::~FiscalClient() = default;

FiscalExchange FiscalClient::Post(const QString& url, const QByteArray& soap, int timeoutMs,
                                  const QList<QSslCertificate>& trustedCas, QDeadlineTimer until) {
    // A manager answers in the thread that made it: one used from another thread is replaced.
    if (!m_network || m_thread != QThread::currentThread()) {
        m_network = std::make_unique<QNetworkAccessManager>();
        m_thread = QThread::currentThread();
    }
    FiscalExchange exchange;
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("text/xml; charset=utf-8"));
    request.setRawHeader(QByteArrayLiteral("SOAPAction"),
                         QByteArrayLiteral("http://e-porezna.porezna-uprava.hr/fiskalizacija/"
                                           "2012/services/FiskalizacijaService/racuni"));
    const int waitMs = static_cast<int>(
        std::clamp<qint64>(until.isForever() ? timeoutMs : until.remainingTime(), 1, timeoutMs));
    request.setTransferTimeout(waitMs);
    if (!trustedCas.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(trustedCas);
        request.setSslConfiguration(tls);
    }
    QNetworkReply* reply = m_network->post(request, soap);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    // A coarse timer may fire a twentieth of its interval late: the sale waits no longer than
    // the configured time.
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(waitMs);
    if (!reply->isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    const QString silent = QStringLiteral("Poslužitelj za fiskalizaciju nije odgovorio u ") +
                           QString::number(timeoutMs) + QStringLiteral(" ms.");
    if (!reply->isFinished()) {
        // Aborting closes the connection the silent service holds; the next message opens a
        // new one.
        reply->abort();
        exchange.problem = silent;
        delete reply;
        return exchange;
    }
    exchange.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    exchange.body = reply->readAll();
    // The transfer timeout runs out together with the deadline and may end the reply first:
    // nothing cancels it but the timeout, so that is the same silence, not an unreachable host.
    if (reply->error() == QNetworkReply::OperationCanceledError && exchange.body.isEmpty()) {
        exchange.problem = silent;
        delete reply;
        return exchange;
    }
    // The service answers its errors with a SOAP body too (often with status 500): that is an
    // answer. Only a failure without any body means the message did not get through.
    if (reply->error() != QNetworkReply::NoError && exchange.body.isEmpty()) {
        exchange.problem =
            QStringLiteral("Poslužitelj za fiskalizaciju nije dostupan: ") + reply->errorString();
    } else {
        exchange.answered = true;
    }
    delete reply;
    return exchange;
}

}  // namespace zodra::fiscal
