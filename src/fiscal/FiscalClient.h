#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QSslCertificate>
#include <QString>
#include <memory>

class QNetworkAccessManager;
class QThread;

namespace zodra::fiscal {

// One exchange with the fiscalization service.
struct FiscalExchange {
    bool answered = false;  // a reply came within the time (whatever it says)
    int httpStatus = 0;
    QByteArray body;
    QString problem;  // why there was no answer, in words
};

// The connection of one fiscal service to the tax administration: one network manager kept for
// its life, so consecutive messages go over the same kept-alive connection (one TCP connect and
// one TLS handshake, the trust store read once) instead of a new one each. A connection the
// server has closed in between is opened again by the manager on the next message.
// Belongs to the thread that first posts through it.
class FiscalClient {
public:
    FiscalClient();
    ~FiscalClient();
    FiscalClient(const FiscalClient&) = delete;
    FiscalClient& operator=(const FiscalClient&) = delete;

    // Posts the SOAP message to `url` (HTTPS or, for a local stand-in, HTTP) and waits at most
    // `timeoutMs` for the whole reply; a slower or silent service is given up on (its connection
    // dropped) and the exchange comes back unanswered. Runs its own event loop, so it may be
    // called from a window or a command-line program alike.
    // `trustedCas` are certificate authorities trusted for HTTPS beside the system's own.
    // `until` ends the wait sooner when the message's time began before the post (its signing).
    FiscalExchange Post(const QString& url, const QByteArray& soap, int timeoutMs,
                        const QList<QSslCertificate>& trustedCas = {},
                        QDeadlineTimer until = QDeadlineTimer(QDeadlineTimer::Forever));

private:
    std::unique_ptr<QNetworkAccessManager> m_network;
    QThread* m_thread = nullptr;
};

}  // namespace zodra::fiscal
