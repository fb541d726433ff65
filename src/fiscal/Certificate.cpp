#include "fiscal/Certificate.h"

#include <openssl/bio.h>
#include <openssl/bn.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/x509.h>

#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <mutex>

#include "data/Errors.h"

namespace zodra::fiscal {

struct Certificate::Keys {
    EVP_PKEY* key = nullptr;
    X509* cert = nullptr;
    std::mutex signingGuard;
    std::shared_ptr<void> signing;
    ~Keys() {
        EVP_PKEY_free(key);
        X509_free(cert);
    }
};

namespace {

QDateTime FromAsn1(const ASN1_TIME* time) {
    struct tm parts {};
    if (ASN1_TIME_to_tm(time, &parts) != 1) {
        return {};
    }
    return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                     QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), QTimeZone::utc());
}

// Every value of the subject's name, one after another: the OIB of a Croatian application
// certificate stands in its organisation or common name ("FIRMA D.O.O. HR12345678901").
QString SubjectValues(X509* cert) {
    QString values;
    const X509_NAME* name = X509_get_subject_name(cert);
    for (int i = 0; i < X509_NAME_entry_count(name); ++i) {
        const ASN1_STRING* data = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, i));
        unsigned char* utf8 = nullptr;
        const int length = ASN1_STRING_to_UTF8(&utf8, data);
        if (length >= 0) {
            values +=
                QString::fromUtf8(reinterpret_cast<const char*>(utf8), length) + QLatin1Char('\n');
            OPENSSL_free(utf8);
        }
    }
    return values;
}

}  // namespace

QString CertificateNotSetMessage() {
    return QStringLiteral("Certifikat za fiskalizaciju nije upisan u postavke.");
}
QString CertificateMissingMessage(const QString& path) {
    return QStringLiteral("Certifikat za fiskalizaciju nije pronađen: ") + path;
}
QString CertificatePasswordMessage() {
    return QStringLiteral(
        "Certifikat za fiskalizaciju nije moguće otvoriti: lozinka nije ispravna ili datoteka "
        "nije PKCS#12 certifikat.");
}
QString CertificateExpiredMessage(const QDateTime& notAfter) {
    return QStringLiteral("Certifikat za fiskalizaciju istekao je ") +
           notAfter.toLocalTime().toString(QStringLiteral("dd.MM.yyyy.")) +
           QStringLiteral(" Računi se ne mogu fiskalizirati.");
}
QString CertificateNotYetValidMessage(const QDateTime& notBefore) {
    return QStringLiteral("Certifikat za fiskalizaciju vrijedi tek od ") +
           notBefore.toLocalTime().toString(QStringLiteral("dd.MM.yyyy.")) +
           QStringLiteral(" Računi se ne mogu fiskalizirati.");
}
QString CertificateOibMessage(const QString& companyOib) {
    return QStringLiteral("Certifikat za fiskalizaciju nije izdan za OIB tvrtke (") + companyOib +
           QStringLiteral(").");
}

Certificate::Certificate() : m_keys(std::make_unique<Keys>()) {}
Certificate::Certificate(Certificate&&) noexcept = default;
Certificate& Certificate::operator=(Certificate&&) noexcept = default;
Certificate::~Certificate() = default;

Certificate Certificate::Load(const QString& path, const QString& password,
                              const QString& companyOib, const QDateTime& now) {
    if (path.trimmed().isEmpty()) {
        throw UserError(CertificateNotSetMessage());
    }
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        throw UserError(CertificateMissingMessage(path));
    }
    Certificate result;
    result.m_pkcs12 = file.readAll();
    result.m_password = password;
    const auto* bytes = reinterpret_cast<const unsigned char*>(result.m_pkcs12.constData());
    PKCS12* p12 = d2i_PKCS12(nullptr, &bytes, result.m_pkcs12.size());
    if (p12 == nullptr) {
        throw UserError(CertificatePasswordMessage());
    }
    const QByteArray pass = password.toUtf8();
    const int parsed =
        PKCS12_parse(p12, pass.constData(), &result.m_keys->key, &result.m_keys->cert, nullptr);
    PKCS12_free(p12);
    if (parsed != 1 || result.m_keys->key == nullptr || result.m_keys->cert == nullptr) {
        throw UserError(CertificatePasswordMessage());
    }
    const QDateTime notBefore = FromAsn1(X509_get0_notBefore(result.m_keys->cert));
    const QDateTime notAfter = FromAsn1(X509_get0_notAfter(result.m_keys->cert));
    if (notAfter.isValid() && now > notAfter) {
        throw UserError(CertificateExpiredMessage(notAfter));
    }
    if (notBefore.isValid() && now < notBefore) {
        throw UserError(CertificateNotYetValidMessage(notBefore));
    }
    if (companyOib.isEmpty() || !SubjectValues(result.m_keys->cert).contains(companyOib)) {
        throw UserError(CertificateOibMessage(companyOib));
    }
    return result;
}

std::shared_ptr<void> Certificate::SigningKey(
    const std::function<std::shared_ptr<void>()>& make) const {
    std::lock_guard lock(m_keys->signingGuard);
    if (!m_keys->signing) {
        m_keys->signing = make();
    }
    return m_keys->signing;
}

QByteArray Certificate::SignSha1(const QByteArray& data) const {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
    size_t length = 0;
    QByteArray signature;
    bool ok = context != nullptr &&
              EVP_DigestSignInit(context, nullptr, EVP_sha1(), nullptr, m_keys->key) == 1 &&
              EVP_DigestSign(context, nullptr, &length,
                             reinterpret_cast<const unsigned char*>(data.constData()),
                             static_cast<size_t>(data.size())) == 1;
    if (ok) {
        signature.resize(static_cast<qsizetype>(length));
        ok = EVP_DigestSign(context, reinterpret_cast<unsigned char*>(signature.data()), &length,
                            reinterpret_cast<const unsigned char*>(data.constData()),
                            static_cast<size_t>(data.size())) == 1;
        signature.resize(static_cast<qsizetype>(length));
    }
    EVP_MD_CTX_free(context);
    if (!ok) {
        throw UserError(QStringLiteral("Potpisivanje certifikatom za fiskalizaciju nije uspjelo."));
    }
    return signature;
}

QString Certificate::Subject() const {
    return SubjectValues(m_keys->cert).trimmed().replace(QLatin1Char('\n'), QStringLiteral(", "));
}

QString Certificate::IssuerName() const {
    BIO* out = BIO_new(BIO_s_mem());
    X509_NAME_print_ex(out, X509_get_issuer_name(m_keys->cert), 0,
                       XN_FLAG_RFC2253 & ~ASN1_STRFLGS_ESC_MSB);
    char* data = nullptr;
    const long length = BIO_get_mem_data(out, &data);
    const QString name = QString::fromUtf8(data, static_cast<qsizetype>(length));
    BIO_free(out);
    return name;
}

QByteArray Certificate::Der() const {
    unsigned char* data = nullptr;
    const int size = i2d_X509(m_keys->cert, &data);
    if (size <= 0) {
        return {};
    }
    QByteArray der(reinterpret_cast<const char*>(data), size);
    OPENSSL_free(data);
    return der;
}

QString Certificate::SerialNumber() const {
    BIGNUM* number = ASN1_INTEGER_to_BN(X509_get0_serialNumber(m_keys->cert), nullptr);
    char* text = number ? BN_bn2dec(number) : nullptr;
    const QString serial = text ? QString::fromLatin1(text) : QString();
    OPENSSL_free(text);
    BN_free(number);
    return serial;
}

QDateTime Certificate::NotAfter() const {
    return FromAsn1(X509_get0_notAfter(m_keys->cert));
}

}  // namespace zodra::fiscal
