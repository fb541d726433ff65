#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

namespace zodra::fiscal {

class Certificate;

constexpr const char* kFiscalNamespace = "http://www.apis-it.hr/fin/2012/types/f73";

// One VAT rate of a receipt: its base and tax.
struct FiscalTax {
    double rate = 0;
    double base = 0;
    double amount = 0;
};

// Everything a receipt request carries, as it was frozen when the receipt was issued.
struct FiscalReceipt {
    QString oib;
    bool inVatSystem = true;
    QDateTime issued;
    QString sequence = QStringLiteral("P");
    qint64 number = 0;
    QString premises;
    QString device;
    std::vector<FiscalTax> vat;  // rates above 0
    double exempt = 0;           // IznosOslobPdv: lines without VAT
    double total = 0;
    QString payment = QStringLiteral("G");  // G, K, T or O
    QString operatorOib;
    QString protectiveCode;
    bool lateDelivery = false;  // NakDost: the receipt was issued without a JIR
    QString buyerOib;           // OibPrimateljaRacuna; empty: not sent
};

// The receipt number as printed: "number/premises/device".
QString FiscalNumber(const FiscalReceipt& receipt);

// The RacunZahtjev element (Id "RacunZahtjev"), unsigned, as a document of its own.
QByteArray ReceiptRequestXml(const FiscalReceipt& receipt, const QString& messageId,
                             const QDateTime& sentAt);

// The same-day change of a fiscalized receipt: `PaymentMethod` (PromijeniNacPlacZahtjev) changes
// the payment code alone, and a buyer's OIB reported before is taken as removed by it;
// `InvoiceData` (PromijeniPodatkeRacunaZahtjev) changes the payment code and the buyer's OIB.
enum class ChangeKind { PaymentMethod, InvoiceData };
struct ReceiptChange {
    ChangeKind kind = ChangeKind::InvoiceData;
    QString payment;   // PromijenjeniNacinPlac: G, K, T or O
    QString buyerOib;  // PromijenjeniOibPrimateljaRacuna (InvoiceData): empty removes it
};
// The request's element name, also its Id.
QString ChangeRequestName(ChangeKind kind);
// The change request, unsigned: the receipt exactly as it was fiscalized, then the change.
QByteArray ChangeRequestXml(const FiscalReceipt& receipt, const ReceiptChange& change,
                            const QString& messageId, const QDateTime& sentAt);

// `xml` with an enveloped XML signature of its root element (exclusive c14n, RSA-SHA1, SHA-1
// digest; the certificate and its issuer and serial in KeyInfo), made by xmlsec.
QByteArray SignRequest(const QByteArray& xml, const Certificate& certificate);

// `xml` (an e-invoice fiscalization or e-reporting request, its root named by its "id") with an
// enveloped XAdES-B signature: exclusive c14n, RSA-SHA256, SHA-256 digests of the root and of
// the signed properties (signing time, the certificate's SHA-256 digest); the certificate in
// KeyInfo.
QByteArray SignReportRequest(const QByteArray& xml, const Certificate& certificate,
                             const QDateTime& signingTime);

// Checks the enveloped signature in `xml` (a request, or a SOAP envelope around one) with
// xmlsec against the trusted certificate (PEM): one of its references must be the element it
// stands in, and every reference must hold. Empty when sound; else what is wrong.
QString VerifySignature(const QByteArray& xml, const QByteArray& trustedPem);

// The signed request inside a SOAP 1.1 envelope, ready to post.
QByteArray SoapEnvelope(const QByteArray& signedXml);

// The answer of the service: a JIR, or its errors, or a reply that is neither.
struct FiscalAnswer {
    QString messageId;
    QString jir;
    std::vector<std::pair<QString, QString>> errors;  // code, text
    QString confirmationCode;  // PorukaOdgovora of a change: "p001" or "p005"
    QString confirmationText;
    QString ErrorText() const;  // "s005: OIB …"; the errors one per line
};
// Reads a RacunOdgovor or the answer to a change (inside a SOAP envelope or not). A body that
// holds neither a JIR, a confirmation nor errors comes back with one error "Neispravan odgovor
// poslužitelja" and the text it had.
FiscalAnswer ParseAnswer(const QByteArray& body);

// The "dd.MM.yyyyTHH:mm:ss" of the messages.
QString MessageDateTime(const QDateTime& value);

}  // namespace zodra::fiscal
