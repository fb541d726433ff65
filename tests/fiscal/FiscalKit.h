#pragma once

#include <ZXing/ReadBarcode.h>

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <ostream>

#include "FiscalStandIn.h"
#include "data/CompanySchema.h"
#include "demo/DemoCompany.h"
#include "fiscal/FiscalSettings.h"

// Texts in failures as text.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// What the fiscal tests share: a certificate made for the test with the openssl program (never
// a real one), the openssl program itself for independent computations, and the shipped schema.
namespace zodra::test {

inline const QString kCompanyOib = QStringLiteral("12345678903");
inline const QString kCashierOib = QStringLiteral("69696969694");

inline QString FiscalSchemaPath() {
    return QStringLiteral(ZODRA_SOURCE_DIR "/tests/fiscal/data/FiskalizacijaSchema.xsd");
}

// Runs a program with `input` on its standard input; its standard output, or empty with
// `ok` false when it failed.
inline QByteArray RunTool(const QString& program, const QStringList& args,
                          const QByteArray& input = {}, bool* ok = nullptr,
                          QString* errors = nullptr) {
    QProcess p;
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    const bool finished = p.waitForFinished(60000);
    if (ok != nullptr) {
        *ok = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }
    if (errors != nullptr) {
        *errors = QString::fromUtf8(p.readAllStandardError());
    }
    return p.readAllStandardOutput();
}

// The text of the QR code in a picture of one pixel per module, read by an independent decoder
// (scaled up as a printer would); empty when it cannot be read.
inline QString DecodeQr(QImage image) {
    image = image.convertToFormat(QImage::Format_Grayscale8)
                .scaled(image.width() * 4, image.height() * 4);
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                         static_cast<int>(image.bytesPerLine())),
        hints);
    if (!result.isValid()) {
        return {};
    }
    const ZXing::ByteArray& bytes = result.bytes();
    return QString::fromUtf8(reinterpret_cast<const char*>(bytes.data()),
                             static_cast<qsizetype>(bytes.size()));
}

// The openssl program with `words` (split at blanks) followed by `more`; whether it succeeded.
inline bool Openssl(const char* words, const QStringList& more = {}) {
    bool ok = false;
    RunTool(QStringLiteral("openssl"), QString::fromLatin1(words).split(u' ') + more, {}, &ok);
    return ok;
}

// A self-signed RSA certificate for an OIB, its key and a PKCS#12 file with the password
// "lozinka", in a folder of its own. Its serial number is small, as the issuers' are: the
// schema's xs:integer is not checked beyond 24 digits by libxml2.
struct TestCertificate {
    QTemporaryDir dir;
    QString keyPem = dir.filePath(QStringLiteral("key.pem"));
    QString certPem = dir.filePath(QStringLiteral("cert.pem"));
    QString p12 = dir.filePath(QStringLiteral("fiskal.p12"));
    QString password = QStringLiteral("lozinka");
    QByteArray pem;

    explicit TestCertificate(const QString& oib, int days = 30) {
        const QString serial =
            QString::number(QRandomGenerator::global()->bounded(1000000, 2000000000));
        QFile file(certPem);
        if (Openssl("req -x509 -newkey rsa:2048 -nodes -keyout",
                    {keyPem, QStringLiteral("-out"), certPem, QStringLiteral("-days"),
                     QString::number(days), QStringLiteral("-set_serial"), serial,
                     QStringLiteral("-subj"),
                     QStringLiteral("/C=HR/O=Test d.o.o. HR") + oib +
                         QStringLiteral("/CN=FISKAL 1")}) &&
            Openssl("pkcs12 -export -inkey",
                    {keyPem, QStringLiteral("-in"), certPem, QStringLiteral("-out"), p12,
                     QStringLiteral("-passout"), QStringLiteral("pass:") + password}) &&
            file.open(QIODevice::ReadOnly)) {
            pem = file.readAll();
        }
    }
};

// A test certificate authority and a server certificate it issued for 127.0.0.1, for the
// stand-in's HTTPS: the client trusts the authority only when told to.
struct TestTls {
    QTemporaryDir dir;
    QString caPem = dir.filePath(QStringLiteral("ca.pem"));
    QString keyPem = dir.filePath(QStringLiteral("server.key"));
    QString certPem = dir.filePath(QStringLiteral("server.pem"));
    bool ok = false;

    TestTls() {
        const QString caKey = dir.filePath(QStringLiteral("ca.key"));
        const QString csr = dir.filePath(QStringLiteral("server.csr"));
        const QString ext = dir.filePath(QStringLiteral("server.ext"));
        QFile extFile(ext);
        ok = extFile.open(QIODevice::WriteOnly) &&
             extFile.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n") > 0;
        extFile.close();
        ok = ok &&
             Openssl(
                 "req -x509 -newkey rsa:2048 -nodes -days 2 -subj /C=HR/O=Test/CN=Test-CA "
                 "-keyout",
                 {caKey, QStringLiteral("-out"), caPem}) &&
             Openssl("req -newkey rsa:2048 -nodes -subj /C=HR/O=Test/CN=127.0.0.1 -keyout",
                     {keyPem, QStringLiteral("-out"), csr}) &&
             Openssl("x509 -req -set_serial 2 -days 2 -in",
                     {csr, QStringLiteral("-CA"), caPem, QStringLiteral("-CAkey"), caKey,
                      QStringLiteral("-extfile"), ext, QStringLiteral("-out"), certPem});
    }
};

// The stand-in's side of a test: the certificate it signs its answers with (issued to an OIB of
// its own) and its HTTPS under a test authority. Tests give the workstation both files, as a
// till is given the service's certificate and, where needed, its authority.
inline const QString kServiceOib = QStringLiteral("77777777778");
struct TestService {
    TestCertificate signer{kServiceOib};
    TestTls tls;

    bool Ready() const { return !signer.pem.isEmpty() && tls.ok; }
    FiscalStandIn::Identity Identity() const {
        return {signer.p12, signer.password, kServiceOib, tls.keyPem, tls.certPem};
    }
};

// A copy in `dir` of the demo company of 30.06.2026 (made once per program); its path.
inline QString CopyOfDemo(const QTemporaryDir& dir) {
    static QTemporaryDir made;
    static const QString from = [] {
        const QString path = made.filePath(QStringLiteral("demo.zdb"));
        demo::CreateDemoCompany(path, QDate(2026, 6, 30));
        return path;
    }();
    const QString to = dir.filePath(QStringLiteral("firma.zdb"));
    const bool copied = QFile::copy(from, to) && QFile::copy(CompanySchema::DefaultDetailPath(from),
                                                             CompanySchema::DefaultDetailPath(to));
    return copied ? to : QString();  // an empty path does not open
}

// The company's test certificate and the stand-in's identity, made once per program.
inline const TestCertificate& CompanyCertificate() {
    static const TestCertificate certificate(kCompanyOib);
    return certificate;
}
inline const TestService& StandInService() {
    static const TestService service;
    return service;
}

// Answers are awaited generously (a loaded machine answers late, never 5 s late); silence
// briefly, and only from a stand-in that never answers.
inline constexpr int kAnswered = 5000;
inline constexpr int kSilent = 300;

// Till 1 of premises PP1 fiscalizing at `url` with `company`'s certificate, trusting `service`.
inline fiscal::FiscalSettings TillSettings(const TestCertificate& company,
                                           const TestService& service, const QString& url,
                                           int timeoutMs = kAnswered) {
    fiscal::FiscalSettings s;
    s.enabled = true;
    s.premises = QStringLiteral("PP1");
    s.device = QStringLiteral("1");
    s.certificatePath = company.p12;
    s.certificatePassword = company.password;
    s.endpoint = s.reportEndpoint = url;
    s.timeoutMs = timeoutMs;
    s.serviceCertificatePath = service.signer.certPem;
    s.trustedCaPath = service.tls.caPem;
    return s;
}

}  // namespace zodra::test
