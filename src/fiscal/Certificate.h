#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

namespace zodra::fiscal {

// The company's application certificate for fiscalization: a PKCS#12 file with the private key
// that signs the protective code and the requests, and the certificate the requests carry. It
// is read from a file named in the workstation's settings (never from the company database),
// and checked at loading for what makes the tax administration refuse every receipt: a missing
// file, a wrong password, a certificate not valid at `now`, or one issued for another OIB.
class Certificate {
public:
    // Throws UserError with the message for the cashier (see the functions below).
    static Certificate Load(const QString& path, const QString& password, const QString& companyOib,
                            const QDateTime& now);

    Certificate(Certificate&&) noexcept;
    Certificate& operator=(Certificate&&) noexcept;
    ~Certificate();

    // PKCS#1 v1.5 RSA signature over SHA-1 of `data`.
    QByteArray SignSha1(const QByteArray& data) const;

    const QByteArray& Pkcs12() const { return m_pkcs12; }
    const QString& Password() const { return m_password; }
    QString Subject() const;
    // The issuer as RFC 2253 writes it ("CN=…,O=…,C=HR") and the serial number in decimal, as
    // the request's X509IssuerSerial carries them.
    QString IssuerName() const;
    QString SerialNumber() const;
    QDateTime NotAfter() const;
    QByteArray Der() const;  // the certificate itself, DER-encoded

    // The signing key as the XML signature library holds it: made by `make` at the first
    // request and kept with the certificate, so that the PKCS#12 file (and its slow password
    // derivation) is opened once per certificate, not once per message. Safe from any thread.
    std::shared_ptr<void> SigningKey(const std::function<std::shared_ptr<void>()>& make) const;

private:
    struct Keys;
    Certificate();
    std::unique_ptr<Keys> m_keys;
    QByteArray m_pkcs12;
    QString m_password;
};

QString CertificateNotSetMessage();  // "Certifikat za fiskalizaciju nije upisan u postavke."
QString CertificateMissingMessage(const QString& path);
QString CertificatePasswordMessage();
QString CertificateExpiredMessage(const QDateTime& notAfter);
QString CertificateNotYetValidMessage(const QDateTime& notBefore);
QString CertificateOibMessage(const QString& companyOib);

}  // namespace zodra::fiscal
