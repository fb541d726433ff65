#include "fiscal/FiscalClient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>

namespace zodra::fiscal {

FiscalExchange PostSoap(const QString& url, const QByteArray& soap, int timeoutMs,
                        const QList<QSslCertificate>& trustedCas) {
    FiscalExchange exchange;
    QNetworkAccessManager network;
    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::ContentTypeHeader,
                      QByteArrayLiteral("text/xml; charset=utf-8"));
    request.setRawHeader(QByteArrayLiteral("SOAPAction"),
                         QByteArrayLiteral("http://e-porezna.porezna-uprava.hr/fiskalizacija/"
                                           "2012/services/FiskalizacijaService/racuni"));
    request.setTransferTimeout(timeoutMs);
    if (!trustedCas.isEmpty()) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.addCaCertificates(trustedCas);
        request.setSslConfiguration(tls);
    }
    QNetworkReply* reply = network.post(request, soap);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    deadline.start(timeoutMs);
    if (!reply->isFinished()) {
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!reply->isFinished()) {
        reply->abort();
        exchange.problem = QStringLiteral("Poslužitelj za fiskalizaciju nije odgovorio u ") +
                           QString::number(timeoutMs) + QStringLiteral(" ms.");
        delete reply;
        return exchange;
    }
    exchange.httpStatus = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    exchange.body = reply->readAll();
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
