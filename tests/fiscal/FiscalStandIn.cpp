#include "FiscalStandIn.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include <QDateTime>
#include <QFile>
#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUuid>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <map>
#include <optional>

#include "fiscal/Certificate.h"
#include "fiscal/FiscalMessage.h"

namespace zodra::test {

struct FiscalStandIn::State {
    QByteArray trustedPem;
    std::optional<fiscal::Certificate> signing;
    QString oib;
    QString schemaPath;
    mutable QMutex mutex;
    Mode mode = Mode::Answer;
    QString code;
    QString text;
    std::vector<Request> requests;
};

namespace {

xmlNodePtr FindElement(xmlNodePtr node, const char* name) {
    for (; node != nullptr; node = node->next) {
        if (node->type == XML_ELEMENT_NODE && xmlStrEqual(node->name, BAD_CAST name)) {
            return node;
        }
        if (xmlNodePtr inner = FindElement(node->children, name)) {
            return inner;
        }
    }
    return nullptr;
}

void CollectSchemaError(void* context, xmlError* error) {
    auto* text = static_cast<QString*>(context);
    if (text->isEmpty() && error != nullptr && error->message != nullptr) {
        *text = QString::fromUtf8(error->message).trimmed();
    }
}

// The RacunZahtjev of the SOAP body as a document of its own, or empty.
QByteArray RequestElement(const QByteArray& soap) {
    xmlDocPtr doc = xmlReadMemory(soap.constData(), static_cast<int>(soap.size()), "soap.xml",
                                  nullptr, XML_PARSE_NONET);
    if (doc == nullptr) {
        return {};
    }
    QByteArray result;
    if (xmlNodePtr node = FindElement(xmlDocGetRootElement(doc), "RacunZahtjev")) {
        xmlDocPtr single = xmlNewDoc(BAD_CAST "1.0");
        xmlNodePtr copy = xmlDocCopyNode(node, single, 1);
        xmlDocSetRootElement(single, copy);
        xmlReconciliateNs(single, copy);
        xmlChar* text = nullptr;
        int size = 0;
        xmlDocDumpMemoryEnc(single, &text, &size, "UTF-8");
        result = QByteArray(reinterpret_cast<const char*>(text), size);
        xmlFree(text);
        xmlFreeDoc(single);
    }
    xmlFreeDoc(doc);
    return result;
}

// The schema is parsed at the first request and kept, as a service keeps it loaded.
QString SchemaProblem(const QByteArray& xml, const QString& schemaPath) {
    struct Parsed {
        xmlSchemaPtr schema = nullptr;
        ~Parsed() { xmlSchemaFree(schema); }
    };
    static QMutex guard;
    static std::map<QString, Parsed> parsed;
    QMutexLocker lock(&guard);
    xmlSchemaPtr& schema = parsed[schemaPath].schema;
    if (schema == nullptr) {
        const QByteArray path = schemaPath.toLocal8Bit();
        xmlSchemaParserCtxtPtr parser = xmlSchemaNewParserCtxt(path.constData());
        schema = xmlSchemaParse(parser);
        xmlSchemaFreeParserCtxt(parser);
    }
    if (schema == nullptr) {
        return QStringLiteral("shema se ne može učitati");
    }
    QString problem;
    xmlDocPtr doc =
        xmlReadMemory(xml.constData(), static_cast<int>(xml.size()), "r.xml", nullptr, 0);
    xmlSchemaValidCtxtPtr valid = xmlSchemaNewValidCtxt(schema);
    xmlSchemaSetValidStructuredErrors(valid, CollectSchemaError, &problem);
    if (doc == nullptr || xmlSchemaValidateDoc(valid, doc) != 0) {
        if (problem.isEmpty()) {
            problem = QStringLiteral("neispravan XML");
        }
    }
    xmlSchemaFreeValidCtxt(valid);
    xmlFreeDoc(doc);
    return problem;
}

QString ElementText(const QByteArray& xml, const QString& name) {
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == name) {
            return reader.readElementText();
        }
    }
    return {};
}

// The RacunOdgovor (Id "RacunOdgovor"), signed with the stand-in's certificate when it has one,
// in a SOAP envelope.
QByteArray Answer(const FiscalStandIn::State& state, const QString& messageId, const QString& jir,
                  const QString& code, const QString& text, bool breakSignature) {
    const QString ns = QString::fromLatin1(fiscal::kFiscalNamespace);
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeNamespace(ns, QStringLiteral("tns"));
    xml.writeStartElement(ns, QStringLiteral("RacunOdgovor"));
    xml.writeAttribute(QStringLiteral("Id"), QStringLiteral("RacunOdgovor"));
    xml.writeStartElement(ns, QStringLiteral("Zaglavlje"));
    xml.writeTextElement(ns, QStringLiteral("IdPoruke"), messageId);
    xml.writeTextElement(ns, QStringLiteral("DatumVrijeme"),
                         fiscal::MessageDateTime(QDateTime::currentDateTime()));
    xml.writeEndElement();
    if (!jir.isEmpty()) {
        xml.writeTextElement(ns, QStringLiteral("Jir"), jir);
    } else {
        xml.writeStartElement(ns, QStringLiteral("Greske"));
        xml.writeStartElement(ns, QStringLiteral("Greska"));
        xml.writeTextElement(ns, QStringLiteral("SifraGreske"), code);
        xml.writeTextElement(ns, QStringLiteral("PorukaGreske"), text);
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    if (state.signing) {
        out = fiscal::SignRequest(out, *state.signing);
    }
    if (breakSignature && !jir.isEmpty()) {
        out.replace(jir.toUtf8(), QUuid::createUuid().toString(QUuid::WithoutBraces).toUtf8());
    }
    return fiscal::SoapEnvelope(out);
}

// What the service makes of one request body: the request as seen, and the HTTP reply.
QByteArray Handle(FiscalStandIn::State& state, const QByteArray& body) {
    FiscalStandIn::Request seen;
    seen.body = body;
    const QByteArray request = RequestElement(body);
    seen.messageId = ElementText(request, QStringLiteral("IdPoruke"));
    seen.late = ElementText(request, QStringLiteral("NakDost")) == QStringLiteral("true");
    QString code;
    QString text;
    if (request.isEmpty()) {
        code = QStringLiteral("s001");
        text = QStringLiteral("Poruka nije u skladu s XML shemom : RacunZahtjev");
    } else if (const QString problem = SchemaProblem(request, state.schemaPath);
               !problem.isEmpty()) {
        code = QStringLiteral("s001");
        text = QStringLiteral("Poruka nije u skladu s XML shemom : ") + problem;
    } else if (!fiscal::VerifySignature(body, state.trustedPem).isEmpty()) {
        code = QStringLiteral("s004");
        text = QStringLiteral("Neispravan digitalni potpis.");
    } else if (ElementText(request, QStringLiteral("Oib")) != state.oib) {
        code = QStringLiteral("s005");
        text = QStringLiteral("OIB iz poruke zahtjeva nije jednak OIB-u iz certifikata.");
    }
    QMutexLocker lock(&state.mutex);
    if (code.isEmpty() && state.mode == FiscalStandIn::Mode::Error) {
        code = state.code;
        text = state.text;
    }
    if (code.isEmpty()) {
        seen.jir = QUuid::createUuid().toString(QUuid::WithoutBraces);
    }
    seen.errorCode = code;
    state.requests.push_back(seen);
    const QByteArray answer = Answer(state, seen.messageId, seen.jir, code, text,
                                     state.mode == FiscalStandIn::Mode::BadSignature);
    return (seen.jir.isEmpty() ? QByteArrayLiteral("HTTP/1.1 500 Internal Server Error\r\n")
                               : QByteArrayLiteral("HTTP/1.1 200 OK\r\n")) +
           QByteArrayLiteral("Content-Type: text/xml; charset=utf-8\r\nContent-Length: ") +
           QByteArray::number(answer.size()) + QByteArrayLiteral("\r\nConnection: close\r\n\r\n") +
           answer;
}

}  // namespace

FiscalStandIn::FiscalStandIn(const QByteArray& trustedPem, const QString& certificateOib,
                             const QString& schemaPath, const Identity& identity)
    : m_state(new State) {
    m_state->trustedPem = trustedPem;
    m_state->oib = certificateOib;
    m_state->schemaPath = schemaPath;
    if (!identity.signingP12.isEmpty()) {
        m_state->signing.emplace(
            fiscal::Certificate::Load(identity.signingP12, identity.signingPassword,
                                      identity.signingOib, QDateTime::currentDateTime()));
    }
    QTcpServer* server = nullptr;
    if (!identity.tlsKeyPem.isEmpty()) {
        auto* tls = new QSslServer;
        QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
        QFile key(identity.tlsKeyPem);
        QFile cert(identity.tlsCertPem);
        if (key.open(QIODevice::ReadOnly) && cert.open(QIODevice::ReadOnly)) {
            configuration.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
            configuration.setLocalCertificate(QSslCertificate(cert.readAll()));
        }
        tls->setSslConfiguration(configuration);
        server = tls;
        m_tls = true;
    } else {
        server = new QTcpServer;
    }
    server->listen(QHostAddress::LocalHost, 0);
    m_port = server->serverPort();
    server->moveToThread(&m_thread);
    State* state = m_state;
    // Over TLS a connection is pending only once its handshake is done, hence this signal.
    QObject::connect(server, &QTcpServer::pendingConnectionAvailable, server, [server, state] {
        while (QTcpSocket* socket = server->nextPendingConnection()) {
            socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            auto* buffer = new QByteArray;
            QObject::connect(socket, &QObject::destroyed, [buffer] { delete buffer; });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, buffer, state] {
                buffer->append(socket->readAll());
                const qsizetype headerEnd = buffer->indexOf("\r\n\r\n");
                if (headerEnd < 0) {
                    return;
                }
                const QByteArray headers = buffer->left(headerEnd).toLower();
                const qsizetype at = headers.indexOf("content-length:");
                const qsizetype lineEnd = headers.indexOf("\r\n", at);
                const int length = at < 0
                                       ? 0
                                       : headers.mid(at + 15, lineEnd < 0 ? -1 : lineEnd - at - 15)
                                             .trimmed()
                                             .toInt();
                if (buffer->size() < headerEnd + 4 + length) {
                    return;
                }
                {
                    QMutexLocker lock(&state->mutex);
                    if (state->mode == Mode::Silent) {
                        state->requests.push_back({});
                        return;  // taken and never answered
                    }
                }
                socket->write(Handle(*state, buffer->mid(headerEnd + 4, length)));
                socket->disconnectFromHost();
            });
        }
    });
    QObject::connect(&m_thread, &QThread::finished, server, &QObject::deleteLater);
    m_thread.start();
}

FiscalStandIn::~FiscalStandIn() {
    m_thread.quit();
    m_thread.wait();
    delete m_state;
}

QString FiscalStandIn::Url() const {
    return (m_tls ? QStringLiteral("https") : QStringLiteral("http")) +
           QStringLiteral("://127.0.0.1:") + QString::number(m_port) +
           QStringLiteral("/FiskalizacijaService");
}

void FiscalStandIn::SetMode(Mode mode, const QString& code, const QString& text) {
    QMutexLocker lock(&m_state->mutex);
    m_state->mode = mode;
    m_state->code = code;
    m_state->text = text;
}

std::vector<FiscalStandIn::Request> FiscalStandIn::Requests() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->requests;
}

}  // namespace zodra::test
