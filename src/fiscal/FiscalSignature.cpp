// The XML signature of the fiscal requests, made and checked by xmlsec over libxml2 and
// OpenSSL: canonicalization and signing are never written by hand.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <xmlsec/crypto.h>
#include <xmlsec/openssl/x509.h>
#include <xmlsec/templates.h>
#include <xmlsec/xmldsig.h>
#include <xmlsec/xmlsec.h>
#include <xmlsec/xmltree.h>

#include <QCryptographicHash>
#include <QUuid>
#include <mutex>
#include <vector>

#include "data/Errors.h"
#include "fiscal/Certificate.h"
#include "fiscal/FiscalMessage.h"

namespace zodra::fiscal {

namespace {

// xmlsec and its OpenSSL backend are set up once per process and stay for its life.
bool XmlSecReady() {
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        xmlInitParser();
        ready = xmlSecInit() >= 0 && xmlSecCheckVersion() == 1 &&
                xmlSecCryptoAppInit(nullptr) >= 0 && xmlSecCryptoInit() >= 0;
    });
    return ready;
}

struct DocGuard {
    xmlDocPtr doc = nullptr;
    ~DocGuard() { xmlFreeDoc(doc); }
};
struct CtxGuard {
    xmlSecDSigCtxPtr ctx = nullptr;
    ~CtxGuard() {
        if (ctx != nullptr) {
            xmlSecDSigCtxDestroy(ctx);
        }
    }
};

xmlDocPtr Parse(const QByteArray& xml) {
    return xmlReadMemory(xml.constData(), static_cast<int>(xml.size()), "message.xml", nullptr,
                         XML_PARSE_NONET);
}

// The root's Id attribute is what the reference "#RacunZahtjev" points at.
// The e-reporting requests name theirs with a qualified "id", the XAdES properties with "Id".
void RegisterIds(xmlDocPtr doc) {
    static const xmlChar* ids[] = {BAD_CAST "Id", BAD_CAST "id", nullptr};
    xmlSecAddIDs(doc, xmlDocGetRootElement(doc), ids);
}

QString IdOf(xmlNodePtr node) {
    for (const char* name : {"Id", "id"}) {
        xmlChar* id = xmlGetProp(node, BAD_CAST name);
        const QString result =
            id ? QString::fromUtf8(reinterpret_cast<const char*>(id)) : QString();
        xmlFree(id);
        if (!result.isEmpty()) {
            return result;
        }
    }
    return {};
}

UserError SigningFailed() {
    return UserError(QStringLiteral("Potpisivanje poruke za fiskalizaciju nije uspjelo."));
}

// The certificate's key as xmlsec reads it from the PKCS#12 file, read once per certificate;
// each signature works on a copy of its own (the context destroys the key it is given).
xmlSecKeyPtr SigningKeyCopy(const Certificate& certificate) {
    const std::shared_ptr<void> key = certificate.SigningKey([&certificate]() {
        const QByteArray password = certificate.Password().toUtf8();
        xmlSecKeyPtr loaded = xmlSecCryptoAppKeyLoadMemory(
            reinterpret_cast<const xmlSecByte*>(certificate.Pkcs12().constData()),
            static_cast<xmlSecSize>(certificate.Pkcs12().size()), xmlSecKeyDataFormatPkcs12,
            password.constData(), nullptr, nullptr);
        return loaded == nullptr ? std::shared_ptr<void>()
                                 : std::shared_ptr<void>(loaded, [](void* k) {
                                       xmlSecKeyDestroy(static_cast<xmlSecKeyPtr>(k));
                                   });
    });
    return key ? xmlSecKeyDuplicate(static_cast<xmlSecKeyPtr>(key.get())) : nullptr;
}

// Fills the signature template with the certificate's key and writes the signed document.
QByteArray SignAndWrite(xmlDocPtr doc, xmlNodePtr signature, const Certificate& certificate) {
    CtxGuard ctx{xmlSecDSigCtxCreate(nullptr)};
    if (ctx.ctx == nullptr) {
        throw SigningFailed();
    }
    ctx.ctx->signKey = SigningKeyCopy(certificate);
    if (ctx.ctx->signKey == nullptr || xmlSecDSigCtxSign(ctx.ctx, signature) < 0) {
        throw SigningFailed();
    }
    xmlChar* text = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(doc, &text, &size, "UTF-8");
    QByteArray result(reinterpret_cast<const char*>(text), size);
    xmlFree(text);
    return result;
}

}  // namespace

QByteArray SignRequest(const QByteArray& xml, const Certificate& certificate) {
    if (!XmlSecReady()) {
        throw SigningFailed();
    }
    DocGuard doc{Parse(xml)};
    if (doc.doc == nullptr || xmlDocGetRootElement(doc.doc) == nullptr) {
        throw SigningFailed();
    }
    RegisterIds(doc.doc);
    xmlNodePtr root = xmlDocGetRootElement(doc.doc);
    xmlNodePtr signature = xmlSecTmplSignatureCreate(doc.doc, xmlSecTransformExclC14NId,
                                                     xmlSecTransformRsaSha1Id, nullptr);
    if (signature == nullptr) {
        throw SigningFailed();
    }
    xmlAddChild(root, signature);
    const QByteArray uri = (QStringLiteral("#") + IdOf(root)).toUtf8();
    xmlNodePtr reference = xmlSecTmplSignatureAddReference(
        signature, xmlSecTransformSha1Id, nullptr, BAD_CAST uri.constData(), nullptr);
    // xmlsec fills the certificate in, the issuer and serial are ours to write.
    const QByteArray issuer = certificate.IssuerName().toUtf8();
    const QByteArray serial = certificate.SerialNumber().toUtf8();
    xmlNodePtr keyInfo = xmlSecTmplSignatureEnsureKeyInfo(signature, nullptr);
    xmlNodePtr x509 = keyInfo ? xmlSecTmplKeyInfoAddX509Data(keyInfo) : nullptr;
    xmlNodePtr issuerSerial = x509 ? xmlSecTmplX509DataAddIssuerSerial(x509) : nullptr;
    if (reference == nullptr ||
        xmlSecTmplReferenceAddTransform(reference, xmlSecTransformEnvelopedId) == nullptr ||
        xmlSecTmplReferenceAddTransform(reference, xmlSecTransformExclC14NId) == nullptr ||
        x509 == nullptr || xmlSecTmplX509DataAddCertificate(x509) == nullptr ||
        issuerSerial == nullptr ||
        xmlSecTmplX509IssuerSerialAddIssuerName(issuerSerial, BAD_CAST issuer.constData()) ==
            nullptr ||
        xmlSecTmplX509IssuerSerialAddSerialNumber(issuerSerial, BAD_CAST serial.constData()) ==
            nullptr) {
        throw SigningFailed();
    }
    return SignAndWrite(doc.doc, signature, certificate);
}

QByteArray SignReportRequest(const QByteArray& xml, const Certificate& certificate,
                             const QDateTime& signingTime) {
    if (!XmlSecReady()) {
        throw SigningFailed();
    }
    DocGuard doc{Parse(xml)};
    xmlNodePtr root = doc.doc ? xmlDocGetRootElement(doc.doc) : nullptr;
    if (root == nullptr || IdOf(root).isEmpty()) {
        throw SigningFailed();
    }
    const QByteArray tag = QUuid::createUuid().toByteArray(QUuid::Id128);
    const QByteArray signatureId = "id-" + tag;
    const QByteArray propertiesId = "xades-id-" + tag;
    xmlNodePtr signature =
        xmlSecTmplSignatureCreate(doc.doc, xmlSecTransformExclC14NId, xmlSecTransformRsaSha256Id,
                                  BAD_CAST signatureId.constData());
    if (signature == nullptr) {
        throw SigningFailed();
    }
    xmlAddChild(root, signature);
    const QByteArray rootUri = (QStringLiteral("#") + IdOf(root)).toUtf8();
    const QByteArray propertiesUri = "#" + propertiesId;
    xmlNodePtr message = xmlSecTmplSignatureAddReference(
        signature, xmlSecTransformSha256Id, nullptr, BAD_CAST rootUri.constData(), nullptr);
    xmlNodePtr properties = xmlSecTmplSignatureAddReference(
        signature, xmlSecTransformSha256Id, nullptr, BAD_CAST propertiesUri.constData(),
        BAD_CAST "http://uri.etsi.org/01903#SignedProperties");
    xmlNodePtr keyInfo = xmlSecTmplSignatureEnsureKeyInfo(signature, nullptr);
    xmlNodePtr x509 = keyInfo ? xmlSecTmplKeyInfoAddX509Data(keyInfo) : nullptr;
    xmlNodePtr object = xmlSecTmplSignatureAddObject(signature, nullptr, nullptr, nullptr);
    if (message == nullptr || properties == nullptr || object == nullptr ||
        xmlSecTmplReferenceAddTransform(message, xmlSecTransformEnvelopedId) == nullptr ||
        xmlSecTmplReferenceAddTransform(message, xmlSecTransformExclC14NId) == nullptr ||
        xmlSecTmplReferenceAddTransform(properties, xmlSecTransformExclC14NId) == nullptr ||
        x509 == nullptr || xmlSecTmplX509DataAddCertificate(x509) == nullptr) {
        throw SigningFailed();
    }
    // The XAdES-B properties: when it was signed and which certificate signed it.
    xmlNodePtr qualifying = xmlNewChild(object, nullptr, BAD_CAST "QualifyingProperties", nullptr);
    xmlNsPtr xades =
        xmlNewNs(qualifying, BAD_CAST "http://uri.etsi.org/01903/v1.3.2#", BAD_CAST "xades");
    xmlSetNs(qualifying, xades);
    xmlSetProp(qualifying, BAD_CAST "Target", BAD_CAST("#" + signatureId).constData());
    xmlNodePtr signedProperties =
        xmlNewChild(qualifying, xades, BAD_CAST "SignedProperties", nullptr);
    xmlSetProp(signedProperties, BAD_CAST "Id", BAD_CAST propertiesId.constData());
    xmlNodePtr signatureProperties =
        xmlNewChild(signedProperties, xades, BAD_CAST "SignedSignatureProperties", nullptr);
    const QByteArray when = signingTime.toString(Qt::ISODate).toUtf8();
    xmlNewTextChild(signatureProperties, xades, BAD_CAST "SigningTime", BAD_CAST when.constData());
    xmlNodePtr certDigest = xmlNewChild(
        xmlNewChild(
            xmlNewChild(signatureProperties, xades, BAD_CAST "SigningCertificateV2", nullptr),
            xades, BAD_CAST "Cert", nullptr),
        xades, BAD_CAST "CertDigest", nullptr);
    xmlNsPtr ds = xmlSearchNsByHref(doc.doc, signature, xmlSecDSigNs);
    xmlNodePtr digestMethod = xmlNewChild(certDigest, ds, BAD_CAST "DigestMethod", nullptr);
    xmlSetProp(digestMethod, BAD_CAST "Algorithm", xmlSecHrefSha256);
    const QByteArray certHash =
        QCryptographicHash::hash(certificate.Der(), QCryptographicHash::Sha256).toBase64();
    xmlNewTextChild(certDigest, ds, BAD_CAST "DigestValue", BAD_CAST certHash.constData());
    RegisterIds(doc.doc);

    return SignAndWrite(doc.doc, signature, certificate);
}

namespace {

struct X509List {
    std::vector<X509*> certs;
    X509List() = default;
    X509List(const X509List&) = delete;
    X509List& operator=(const X509List&) = delete;
    ~X509List() {
        for (X509* cert : certs) {
            X509_free(cert);
        }
    }
};

// The certificates of a PEM text.
void ReadPemCertificates(const QByteArray& pem, X509List& out) {
    BIO* bio = BIO_new_mem_buf(pem.constData(), static_cast<int>(pem.size()));
    while (bio != nullptr) {
        X509* cert = PEM_read_bio_X509(bio, nullptr, nullptr, nullptr);
        if (cert == nullptr) {
            break;
        }
        out.certs.push_back(cert);
    }
    BIO_free(bio);
    ERR_clear_error();
}

// The certificates a signature carries in its KeyInfo (X509Data/X509Certificate, base64 DER).
void CarriedCertificates(xmlNodePtr signature, X509List& out) {
    xmlNodePtr keyInfo = xmlSecFindChild(signature, xmlSecNodeKeyInfo, xmlSecDSigNs);
    for (xmlNodePtr data = keyInfo ? keyInfo->children : nullptr; data; data = data->next) {
        if (!xmlSecCheckNodeName(data, xmlSecNodeX509Data, xmlSecDSigNs)) {
            continue;
        }
        for (xmlNodePtr item = data->children; item; item = item->next) {
            if (!xmlSecCheckNodeName(item, xmlSecNodeX509Certificate, xmlSecDSigNs)) {
                continue;
            }
            xmlChar* text = xmlNodeGetContent(item);
            const QByteArray der = QByteArray::fromBase64(
                QByteArray(reinterpret_cast<const char*>(text)).simplified().replace(' ', ""));
            xmlFree(text);
            const auto* bytes = reinterpret_cast<const unsigned char*>(der.constData());
            if (X509* cert = d2i_X509(nullptr, &bytes, der.size())) {
                out.certs.push_back(cert);
            }
        }
    }
}

// Whether `cert` is one of the trusted certificates or issued (through the others the signature
// carries) by one of them, valid today. Only the certificates given are trusted: the system's
// authorities are not, since any certificate they issued would otherwise sign an answer.
bool Trusted(X509* cert, const X509List& trusted, const X509List& carried) {
    X509_STORE* store = X509_STORE_new();
    X509_STORE_CTX* ctx = X509_STORE_CTX_new();
    STACK_OF(X509)* chain = sk_X509_new_null();
    bool ok = store != nullptr && ctx != nullptr && chain != nullptr;
    for (X509* anchor : trusted.certs) {
        ok = ok && X509_STORE_add_cert(store, anchor) == 1;
    }
    for (X509* other : carried.certs) {
        ok = ok && (other == cert || sk_X509_push(chain, other) > 0);
    }
    if (ok) {
        // A trusted certificate that is not self-signed (the service's own, say) is an anchor.
        X509_STORE_set_flags(store, X509_V_FLAG_PARTIAL_CHAIN);
        ok = X509_STORE_CTX_init(ctx, store, cert, chain) == 1 && X509_verify_cert(ctx) == 1;
    }
    sk_X509_free(chain);
    X509_STORE_CTX_free(ctx);
    X509_STORE_free(store);
    ERR_clear_error();
    return ok;
}

}  // namespace

QString VerifySignature(const QByteArray& xml, const QByteArray& trustedPem) {
    if (!XmlSecReady()) {
        return QStringLiteral("xmlsec nije dostupan");
    }
    DocGuard doc{Parse(xml)};
    if (doc.doc == nullptr || xmlDocGetRootElement(doc.doc) == nullptr) {
        return QStringLiteral("poruka nije ispravan XML");
    }
    RegisterIds(doc.doc);
    // The signature stands in the element it signs: the root, or the request inside a SOAP
    // envelope.
    xmlNodePtr signature =
        xmlSecFindNode(xmlDocGetRootElement(doc.doc), xmlSecNodeSignature, xmlSecDSigNs);
    if (signature == nullptr || signature->parent == nullptr ||
        signature->parent->type != XML_ELEMENT_NODE) {
        return QStringLiteral("poruka nema potpis");
    }
    const xmlNodePtr signedElement = signature->parent;
    X509List trusted;
    ReadPemCertificates(trustedPem, trusted);
    if (trusted.certs.empty()) {
        return QStringLiteral("certifikat za provjeru nije moguće učitati");
    }
    // The signer is the carried certificate a trusted one vouches for; its key checks the
    // signature (the keys are given to xmlsec directly, so KeyInfo is never looked up).
    X509List carried;
    CarriedCertificates(signature, carried);
    X509* signer = nullptr;
    for (X509* cert : carried.certs) {
        if (Trusted(cert, trusted, carried)) {
            signer = cert;
            break;
        }
    }
    if (signer == nullptr) {
        return QStringLiteral("potpis nije moguće provjeriti");
    }
    CtxGuard ctx{xmlSecDSigCtxCreate(nullptr)};
    xmlSecKeyDataPtr value = ctx.ctx ? xmlSecOpenSSLX509CertGetKey(signer) : nullptr;
    xmlSecKeyPtr key = value ? xmlSecKeyCreate() : nullptr;
    if (key == nullptr || xmlSecKeySetValue(key, value) < 0) {
        if (key != nullptr) {
            xmlSecKeyDestroy(key);
        } else if (value != nullptr) {
            xmlSecKeyDataDestroy(value);
        }
        return QStringLiteral("potpis nije moguće provjeriti");
    }
    ctx.ctx->signKey = key;
    if (xmlSecDSigCtxVerify(ctx.ctx, signature) < 0) {
        return QStringLiteral("potpis nije moguće provjeriti");
    }
    if (ctx.ctx->status != xmlSecDSigStatusSucceeded) {
        return QStringLiteral("potpis nije ispravan");
    }
    // One reference must be the element the signature stands in (the others, such as the
    // signed properties of an XAdES signature, are checked by xmlsec all the same).
    const QString own = QStringLiteral("#") + IdOf(signedElement);
    const xmlSecSize count = xmlSecPtrListGetSize(&ctx.ctx->signedInfoReferences);
    for (xmlSecSize i = 0; i < count && own.size() > 1; ++i) {
        auto* reference = static_cast<xmlSecDSigReferenceCtxPtr>(
            xmlSecPtrListGetItem(&ctx.ctx->signedInfoReferences, i));
        if (reference && reference->uri &&
            QString::fromUtf8(reinterpret_cast<const char*>(reference->uri)) == own) {
            return {};
        }
    }
    return QStringLiteral("potpis ne pokriva poruku");
}

}  // namespace zodra::fiscal
