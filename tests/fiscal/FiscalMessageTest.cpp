#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "FiscalKit.h"
#include "fiscal/Certificate.h"
#include "fiscal/FiscalMessage.h"
#include "support/XmlSchema.h"

namespace zodra::test {
namespace {

fiscal::FiscalReceipt Receipt() {
    fiscal::FiscalReceipt r;
    r.oib = kCompanyOib;
    r.issued = QDateTime(QDate(2026, 3, 10), QTime(8, 5, 9));
    r.number = 17;
    r.premises = QStringLiteral("PP1");
    r.device = QStringLiteral("2");
    r.vat = {{25, 100, 25}, {13, 10, 1.3}};
    r.exempt = 4.5;
    r.total = 140.8;
    r.payment = QStringLiteral("K");
    r.operatorOib = kCashierOib;
    r.protectiveCode = QStringLiteral("e4d909c290d0fb1ca068ffaddf22cbd0");
    return r;
}

class FiscalMessageTest : public ::testing::Test {
protected:
    QString Write(const QByteArray& xml, const QString& name) {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(xml);
        return path;
    }
    // xmlsec's own program, with the certificate trusted and the root's Id registered.
    bool XmlsecVerifies(const QString& path, QString* errors) {
        bool ok = false;
        RunTool(QStringLiteral("xmlsec1"),
                {QStringLiteral("--verify"), QStringLiteral("--trusted-pem"), files->certPem,
                 QStringLiteral("--id-attr:Id"),
                 QStringLiteral("http://www.apis-it.hr/fin/2012/types/f73:RacunZahtjev"), path},
                {}, &ok, errors);
        return ok;
    }

    const TestCertificate* files = &CompanyCertificate();
    QTemporaryDir dir;
};

TEST_F(FiscalMessageTest, TheSignedRequestIsSchemaValidAndXmlsecVerifiesItUntilItIsChanged) {
    ASSERT_FALSE(files->pem.isEmpty());
    const fiscal::Certificate certificate = fiscal::Certificate::Load(
        files->p12, files->password, kCompanyOib, QDateTime::currentDateTime());
    const QDateTime sent(QDate(2026, 3, 10), QTime(8, 5, 10));
    const QByteArray plain = fiscal::ReceiptRequestXml(
        Receipt(), QStringLiteral("f81d4fae-7dec-11d0-a765-00a0c91e6bf6"), sent);
    for (const char* part :
         {"<tns:IdPoruke>f81d4fae-7dec-11d0-a765-00a0c91e6bf6</tns:IdPoruke>",
          "<tns:DatumVrijeme>10.03.2026T08:05:10</tns:DatumVrijeme>",
          "<tns:DatVrijeme>10.03.2026T08:05:09</tns:DatVrijeme>",
          "<tns:BrRac><tns:BrOznRac>17</tns:BrOznRac><tns:OznPosPr>PP1</tns:OznPosPr>"
          "<tns:OznNapUr>2</tns:OznNapUr></tns:BrRac>",
          "<tns:Porez><tns:Stopa>13.00</tns:Stopa><tns:Osnovica>10.00</tns:Osnovica>"
          "<tns:Iznos>1.30</tns:Iznos></tns:Porez>",
          "<tns:IznosOslobPdv>4.50</tns:IznosOslobPdv><tns:IznosUkupno>140.80</tns:IznosUkupno>"
          "<tns:NacinPlac>K</tns:NacinPlac>",
          "<tns:NakDost>false</tns:NakDost>"}) {
        EXPECT_TRUE(plain.contains(part)) << part;
    }
    EXPECT_EQ(XmlSchemaErrors(Write(plain, QStringLiteral("plain.xml")), FiscalSchemaPath()),
              QString());

    const QByteArray signedXml = fiscal::SignRequest(plain, certificate);
    for (const char* part :
         {"<CanonicalizationMethod Algorithm=\"http://www.w3.org/2001/10/xml-exc-c14n#\"/>",
          "<SignatureMethod Algorithm=\"http://www.w3.org/2000/09/xmldsig#rsa-sha1\"/>",
          "<Reference URI=\"#RacunZahtjev\">",
          "<Transform Algorithm=\"http://www.w3.org/2000/09/xmldsig#enveloped-signature\"/>",
          "<DigestMethod Algorithm=\"http://www.w3.org/2000/09/xmldsig#sha1\"/>",
          "<X509Certificate>", "<X509IssuerName>", "<X509SerialNumber>"}) {
        EXPECT_TRUE(signedXml.contains(part)) << part;
    }
    const QString signedPath = Write(signedXml, QStringLiteral("signed.xml"));
    EXPECT_EQ(XmlSchemaErrors(signedPath, FiscalSchemaPath()), QString());
    QString errors;
    EXPECT_TRUE(XmlsecVerifies(signedPath, &errors)) << errors.toStdString();
    EXPECT_EQ(fiscal::VerifySignature(signedXml, files->pem), QString());

    // One cent more on the total, or a certificate nobody trusts: refused by both checks.
    QByteArray changed = signedXml;
    changed.replace("<tns:IznosUkupno>140.80<", "<tns:IznosUkupno>140.81<");
    ASSERT_NE(changed, signedXml);
    EXPECT_FALSE(XmlsecVerifies(Write(changed, QStringLiteral("changed.xml")), &errors));
    EXPECT_EQ(fiscal::VerifySignature(changed, files->pem), QStringLiteral("potpis nije ispravan"));
    const TestCertificate stranger(kCompanyOib);
    EXPECT_FALSE(fiscal::VerifySignature(signedXml, stranger.pem).isEmpty());

    // Inside the SOAP envelope the signature still holds: exclusive c14n ignores the envelope.
    const QByteArray soap = fiscal::SoapEnvelope(signedXml);
    EXPECT_TRUE(soap.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<soapenv:Envelope"));
    const qsizetype from = soap.indexOf("<tns:RacunZahtjev");
    const qsizetype to = soap.indexOf("</tns:RacunZahtjev>") + 19;
    EXPECT_EQ(fiscal::VerifySignature(soap.mid(from, to - from), files->pem), QString());
}

// A signature is trusted through the certificates given and nothing else: the signer's own
// certificate or the authority that issued it, never an authority of the system's trust store
// (pointed here at the test authority, as an attacker's certificate from a public authority
// would chain to the system's).
TEST_F(FiscalMessageTest, OnlyTheGivenCertificatesVouchForASignature) {
    const TestTls issued;
    ASSERT_TRUE(issued.ok);
    const QString p12 = dir.filePath(QStringLiteral("issued.p12"));
    ASSERT_TRUE(Openssl(
        "pkcs12 -export -passout pass:lozinka -inkey",
        {issued.keyPem, QStringLiteral("-in"), issued.certPem, QStringLiteral("-out"), p12}));
    const fiscal::Certificate signer = fiscal::Certificate::Load(
        p12, QStringLiteral("lozinka"), QStringLiteral("127.0.0.1"), QDateTime::currentDateTime());
    const QByteArray signedXml = fiscal::SignRequest(
        fiscal::ReceiptRequestXml(Receipt(), QStringLiteral("m"), QDateTime::currentDateTime()),
        signer);
    const auto pem = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray systemStore = qgetenv("SSL_CERT_FILE");
    qputenv("SSL_CERT_FILE", issued.caPem.toLocal8Bit());
    EXPECT_EQ(fiscal::VerifySignature(signedXml, pem(issued.caPem)), QString());
    EXPECT_EQ(fiscal::VerifySignature(signedXml, pem(issued.certPem)), QString());
    EXPECT_EQ(fiscal::VerifySignature(signedXml, files->pem),
              QStringLiteral("potpis nije moguće provjeriti"));
    EXPECT_EQ(fiscal::VerifySignature(signedXml, QByteArrayLiteral("nije PEM")),
              QStringLiteral("certifikat za provjeru nije moguće učitati"));
    if (systemStore.isNull()) {
        qunsetenv("SSL_CERT_FILE");
    } else {
        qputenv("SSL_CERT_FILE", systemStore);
    }
}

TEST(FiscalAnswerTest, AnswersGiveTheJirOrTheErrorsInWords) {
    const fiscal::FiscalAnswer jir = fiscal::ParseAnswer(QByteArrayLiteral(
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
        "<tns:RacunOdgovor xmlns:tns=\"http://www.apis-it.hr/fin/2012/types/f73\"><tns:Zaglavlje>"
        "<tns:IdPoruke>733362f1-063f-11e2-892e-0800200c9a66</tns:IdPoruke><tns:DatumVrijeme>"
        "01.09.2012T21:10:38</tns:DatumVrijeme></tns:Zaglavlje><tns:Jir>"
        "6b7749c6-56c1-4cf5-b7f7-9f29cebc9f7f</tns:Jir></tns:RacunOdgovor></soap:Body>"
        "</soap:Envelope>"));
    EXPECT_EQ(jir.messageId, QStringLiteral("733362f1-063f-11e2-892e-0800200c9a66"));
    EXPECT_EQ(jir.jir, QStringLiteral("6b7749c6-56c1-4cf5-b7f7-9f29cebc9f7f"));
    EXPECT_TRUE(jir.errors.empty());

    const fiscal::FiscalAnswer error = fiscal::ParseAnswer(QByteArrayLiteral(
        "<tns:RacunOdgovor xmlns:tns=\"http://www.apis-it.hr/fin/2012/types/f73\"><tns:Zaglavlje>"
        "<tns:IdPoruke>a</tns:IdPoruke></tns:Zaglavlje><tns:Greske><tns:Greska><tns:SifraGreske>"
        "s002</tns:SifraGreske><tns:PorukaGreske>Certifikat nije izdan od strane produkcijskog\n"
        "   potpisnika.</tns:PorukaGreske></tns:Greska><tns:Greska><tns:SifraGreske>s006"
        "</tns:SifraGreske><tns:PorukaGreske>Sistemska pogreška prilikom obrade zahtjeva."
        "</tns:PorukaGreske></tns:Greska></tns:Greske></tns:RacunOdgovor>"));
    EXPECT_TRUE(error.jir.isEmpty());
    EXPECT_EQ(error.ErrorText(),
              QStringLiteral("s002: Certifikat nije izdan od strane produkcijskog potpisnika.\n"
                             "s006: Sistemska pogreška prilikom obrade zahtjeva."));

    EXPECT_EQ(fiscal::ParseAnswer(QByteArrayLiteral("<html>Bad gateway</html>")).ErrorText(),
              QStringLiteral("Neispravan odgovor poslužitelja: <html>Bad gateway</html>"));
}

}  // namespace
}  // namespace zodra::test
