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

// A self-signed RSA certificate for an OIB, its key and a PKCS#12 file with the password
// "lozinka", in a folder of its own. Its serial number is small, as the issuers' are: the
// schema's xs:integer is not checked beyond 24 digits by libxml2.
struct TestCertificate {
    QTemporaryDir dir;
    QString keyPem;
    QString certPem;
    QString p12;
    QString password = QStringLiteral("lozinka");
    QByteArray pem;

    explicit TestCertificate(const QString& oib, int days = 30) {
        keyPem = dir.filePath(QStringLiteral("key.pem"));
        certPem = dir.filePath(QStringLiteral("cert.pem"));
        p12 = dir.filePath(QStringLiteral("fiskal.p12"));
        bool ok = false;
        RunTool(QStringLiteral("openssl"),
                {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                 QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                 keyPem, QStringLiteral("-out"), certPem, QStringLiteral("-days"),
                 QString::number(days), QStringLiteral("-set_serial"),
                 QString::number(QRandomGenerator::global()->bounded(1000000, 2000000000)),
                 QStringLiteral("-subj"),
                 QStringLiteral("/C=HR/O=Test d.o.o. HR") + oib + QStringLiteral("/CN=FISKAL 1")},
                {}, &ok);
        if (ok) {
            RunTool(QStringLiteral("openssl"),
                    {QStringLiteral("pkcs12"), QStringLiteral("-export"), QStringLiteral("-inkey"),
                     keyPem, QStringLiteral("-in"), certPem, QStringLiteral("-out"), p12,
                     QStringLiteral("-passout"), QStringLiteral("pass:") + password},
                    {}, &ok);
        }
        QFile file(certPem);
        if (ok && file.open(QIODevice::ReadOnly)) {
            pem = file.readAll();
        }
    }
};

// A test certificate authority and a server certificate it issued for 127.0.0.1, for the
// stand-in's HTTPS: the client trusts the authority only when told to.
struct TestTls {
    QTemporaryDir dir;
    QString caPem;
    QString keyPem;
    QString certPem;
    bool ok = false;

    TestTls() {
        caPem = dir.filePath(QStringLiteral("ca.pem"));
        const QString caKey = dir.filePath(QStringLiteral("ca.key"));
        keyPem = dir.filePath(QStringLiteral("server.key"));
        certPem = dir.filePath(QStringLiteral("server.pem"));
        const QString csr = dir.filePath(QStringLiteral("server.csr"));
        const QString ext = dir.filePath(QStringLiteral("server.ext"));
        QFile extFile(ext);
        if (!extFile.open(QIODevice::WriteOnly)) {
            return;
        }
        extFile.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n");
        extFile.close();
        const QString openssl = QStringLiteral("openssl");
        bool step = false;
        RunTool(openssl,
                {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                 QStringLiteral("rsa:2048"), QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                 caKey, QStringLiteral("-out"), caPem, QStringLiteral("-days"), QStringLiteral("2"),
                 QStringLiteral("-subj"), QStringLiteral("/C=HR/O=Test/CN=Test CA")},
                {}, &step);
        if (!step) {
            return;
        }
        RunTool(
            openssl,
            {QStringLiteral("req"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
             QStringLiteral("-nodes"), QStringLiteral("-keyout"), keyPem, QStringLiteral("-out"),
             csr, QStringLiteral("-subj"), QStringLiteral("/C=HR/O=Test/CN=127.0.0.1")},
            {}, &step);
        if (!step) {
            return;
        }
        RunTool(
            openssl,
            {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"), csr,
             QStringLiteral("-CA"), caPem, QStringLiteral("-CAkey"), caKey,
             QStringLiteral("-set_serial"), QStringLiteral("2"), QStringLiteral("-days"),
             QStringLiteral("2"), QStringLiteral("-extfile"), ext, QStringLiteral("-out"), certPem},
            {}, &ok);
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

}  // namespace zodra::test
