#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThread>
#include <vector>

// A local stand-in for the tax administration's fiscalization services over HTTP(S): it checks a
// receipt, a same-day change or an e-invoice report as the service does (schema, signature, the
// certificate's OIB, the change's day and data, an e-invoice reported twice) and answers with
// the service's codes, signed when given a certificate; or with an error of our choosing, or not
// at all.
namespace zodra::test {

class FiscalStandIn {
public:
    // BadSignature: a JIR whose signature no longer matches (changed after signing).
    enum class Mode { Answer, Error, Silent, BadSignature };
    // How the stand-in shows itself: its answers signed with a PKCS#12 certificate (issued to
    // `signingOib`) when one is given, and HTTPS with a PEM key and certificate when given.
    struct Identity {
        QString signingP12;
        QString signingPassword;
        QString signingOib;
        QString tlsKeyPem;
        QString tlsCertPem;
    };
    struct Request {
        QString kind;  // the request element: "RacunZahtjev", "EvidentirajNaplatuZahtjev" …
        QString messageId;
        bool late = false;  // NakDost
        QString errorCode;  // what was answered: an error code, or empty with a JIR
        QString jir;
        QByteArray body;
        QByteArray answer;  // the answer element as sent (inside the SOAP body)
    };

    FiscalStandIn(const QByteArray& trustedPem, const QString& certificateOib,
                  const QString& schemaPath, const Identity& identity = {});
    ~FiscalStandIn();

    QString Url() const;
    void SetMode(Mode mode, const QString& code = {}, const QString& text = {});
    std::vector<Request> Requests() const;
    // Connections are kept open between requests (HTTP keep-alive) unless told to drop each
    // after its answer (without announcing it), as a server drops an idle one.
    void SetClosingAfterEachAnswer(bool closing);
    int ConnectionsAccepted() const;
    // The payment code the service holds for a receipt (by its protective code): its last
    // confirmed change's, else the receipt's own; empty for a receipt it does not know.
    QString PaymentOnRecord(const QString& protectiveCode) const;
    // Answers are worked out as they come but kept back until ReleaseAnswers (a slow line);
    // WaitForHeld waits until `count` answers are kept back, false when they are not in time.
    void HoldAnswers();
    bool WaitForHeld(int count, int timeoutMs);
    void ReleaseAnswers();
    // Each answer goes out `ms` after its request came (the requests are taken one at a time).
    void SetDelay(int ms);

    struct State;

private:
    State* m_state;
    QThread m_thread;
    quint16 m_port = 0;
    bool m_tls = false;
};

}  // namespace zodra::test
