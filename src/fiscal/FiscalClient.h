#pragma once

#include <QByteArray>
#include <QList>
#include <QSslCertificate>
#include <QString>

namespace zodra::fiscal {

// One exchange with the fiscalization service.
struct FiscalExchange {
    bool answered = false;  // a reply came within the time (whatever it says)
    int httpStatus = 0;
    QByteArray body;
    QString problem;  // why there was no answer, in words
};

// Posts the SOAP message to `url` (HTTPS or, for a local stand-in, HTTP) and waits at most
// `timeoutMs` for the whole reply; a slower or silent service is given up on and the exchange
// comes back unanswered. Runs its own event loop, so it may be called from a window or a
// command-line program alike.
// `trustedCas` are certificate authorities trusted for HTTPS beside the system's own.
FiscalExchange PostSoap(const QString& url, const QByteArray& soap, int timeoutMs,
                        const QList<QSslCertificate>& trustedCas = {});

}  // namespace zodra::fiscal
