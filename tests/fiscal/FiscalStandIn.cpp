#include "FiscalStandIn.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlschemas.h>

#include <QDateTime>
#include <QFile>
#include <QHostAddress>
#include <QPointer>
#include <QSemaphore>
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
#include <set>

#include "fiscal/Certificate.h"
#include "fiscal/EInvoiceReport.h"
#include "fiscal/FiscalMessage.h"

namespace zodra::test {

struct FiscalStandIn::State {
    QByteArray trustedPem;
    std::optional<fiscal::Certificate> signing;
    QString oib;
    QString schemaPath;
    mutable QMutex mutex;
    Mode mode = Mode::Answer;
    bool closing = false;
    int connections = 0;
    QString code;
    QString text;
    std::vector<Request> requests;
    // What it confirmed: the receipts by protective code (with their payment code and total)
    // and the e-invoices by number and issuer.
    std::map<QString, std::pair<QString, QString>> receipts;
    std::map<QString, QString> changedPayments;
    std::set<QString> einvoices;
    bool hold = false;
    std::vector<std::pair<QPointer<QTcpSocket>, QByteArray>> held;
    QSemaphore heldSignal;
    int delayMs = 0;
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

const char* const kRequests[] = {"RacunZahtjev", "PromijeniNacPlacZahtjev",
                                 "PromijeniPodatkeRacunaZahtjev", "EvidentirajERacunZahtjev",
                                 "EvidentirajNaplatuZahtjev"};

// The request of the SOAP body as a document of its own, or empty; `kind` its element's name.
QByteArray RequestElement(const QByteArray& soap, QString* kind) {
    xmlDocPtr doc = xmlReadMemory(soap.constData(), static_cast<int>(soap.size()), "soap.xml",
                                  nullptr, XML_PARSE_NONET);
    if (doc == nullptr) {
        return {};
    }
    QByteArray result;
    xmlNodePtr node = nullptr;
    for (const char* name : kRequests) {
        if ((node = FindElement(xmlDocGetRootElement(doc), name)) != nullptr) {
            *kind = QString::fromLatin1(name);
            break;
        }
    }
    if (node != nullptr) {
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

QByteArray HttpReply(const QByteArray& answer, bool ok) {
    return (ok ? QByteArrayLiteral("HTTP/1.1 200 OK\r\n")
               : QByteArrayLiteral("HTTP/1.1 500 Internal Server Error\r\n")) +
           QByteArrayLiteral("Content-Type: text/xml; charset=utf-8\r\nContent-Length: ") +
           QByteArray::number(answer.size()) + QByteArrayLiteral("\r\n\r\n") + answer;
}

// The answer to a receipt (RacunOdgovor: `jir` or the error) or to a change (its Odgovor:
// `confirmation` code and text, or the error), with the Id of its element, signed with the
// stand-in's certificate when it has one.
QByteArray ReceiptAnswer(const FiscalStandIn::State& state, const QString& element,
                         const QString& messageId, const QString& jir,
                         const std::pair<QString, QString>& confirmation, const QString& code,
                         const QString& text, bool breakSignature) {
    const QString ns = QString::fromLatin1(fiscal::kFiscalNamespace);
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeNamespace(ns, QStringLiteral("tns"));
    xml.writeStartElement(ns, element);
    xml.writeAttribute(QStringLiteral("Id"), element);
    xml.writeStartElement(ns, QStringLiteral("Zaglavlje"));
    xml.writeTextElement(ns, QStringLiteral("IdPoruke"), messageId);
    xml.writeTextElement(ns, QStringLiteral("DatumVrijeme"),
                         fiscal::MessageDateTime(QDateTime::currentDateTime()));
    xml.writeEndElement();
    if (!jir.isEmpty()) {
        xml.writeTextElement(ns, QStringLiteral("Jir"), jir);
    } else if (code.isEmpty()) {
        xml.writeStartElement(ns, QStringLiteral("PorukaOdgovora"));
        xml.writeTextElement(ns, QStringLiteral("SifraPoruke"), confirmation.first);
        xml.writeTextElement(ns, QStringLiteral("Poruka"), confirmation.second);
        xml.writeEndElement();
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
    return out;
}

// The answer to an e-invoice report: its Odgovor with a request id of the service's own,
// accepted or with the error; the schema wants it signed, so it is whenever the stand-in can.
QByteArray ReportAnswer(const FiscalStandIn::State& state, const QString& kind, const QString& code,
                        const QString& text) {
    const bool payment = kind == QStringLiteral("EvidentirajNaplatuZahtjev");
    const QString ns = payment ? fiscal::EReportingNamespace() : fiscal::EFiscalizationNamespace();
    const QString element = payment ? QStringLiteral("EvidentirajNaplatuOdgovor")
                                    : QStringLiteral("EvidentirajERacunOdgovor");
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.writeStartDocument();
    xml.writeNamespace(ns, QStringLiteral("fis"));
    xml.writeStartElement(ns, element);
    xml.writeAttribute(ns, QStringLiteral("id"),
                       QUuid::createUuid().toString(QUuid::WithoutBraces));
    xml.writeTextElement(ns, QStringLiteral("datumVrijemeSlanja"),
                         fiscal::RequestTimeStamp(QDateTime::currentDateTime()));
    xml.writeStartElement(ns, QStringLiteral("Odgovor"));
    xml.writeTextElement(ns, QStringLiteral("idZahtjeva"),
                         QUuid::createUuid().toString(QUuid::WithoutBraces));
    xml.writeTextElement(ns, QStringLiteral("prihvacenZahtjev"),
                         code.isEmpty() ? QStringLiteral("true") : QStringLiteral("false"));
    if (!code.isEmpty()) {
        xml.writeStartElement(ns, QStringLiteral("greska"));
        xml.writeTextElement(ns, QStringLiteral("sifra"), code);
        xml.writeTextElement(ns, QStringLiteral("redniBrojZapisa"), QStringLiteral("1"));
        xml.writeTextElement(ns, QStringLiteral("opis"), text);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (state.signing) {
        out = fiscal::SignReportRequest(out, *state.signing, QDateTime::currentDateTime());
    }
    return out;
}

QString ReportSchema(const QString& kind) {
    return QStringLiteral(ZODRA_SOURCE_DIR "/share/einvoice/fiscalization/") +
           (kind == QStringLiteral("EvidentirajNaplatuZahtjev")
                ? QStringLiteral("eIzvjestavanjeSchema.xsd")
                : QStringLiteral("eFiskalizacijaSchema.xsd"));
}

// An e-invoice report: checked and answered.
QByteArray HandleReport(FiscalStandIn::State& state, FiscalStandIn::Request& seen,
                        const QByteArray& request) {
    QString code;
    QString text;
    const bool payment = seen.kind == QStringLiteral("EvidentirajNaplatuZahtjev");
    const QString issuer =
        ElementText(request, payment ? QStringLiteral("oibPorezniBrojIzdavatelja")
                                     : QStringLiteral("oibPorezniBroj"));
    if (const QString problem = SchemaProblem(request, ReportSchema(seen.kind));
        !problem.isEmpty()) {
        code = QStringLiteral("S005");
        text = QStringLiteral("Poruka nije u skladu s XML shemom : ") + problem;
    } else if (!fiscal::VerifySignature(seen.body, state.trustedPem).isEmpty()) {
        code = QStringLiteral("S004");
        text = QStringLiteral("Neispravan potpis zahtjeva");
    } else if (issuer != state.oib) {
        code = QStringLiteral("S003");
        text = QStringLiteral(
            "Certifikat nije izdan od davatelja usluga s Pouzdanog potpisa, ili "
            "je istekao ili je ukinut");
    }
    QMutexLocker lock(&state.mutex);
    const QString document =
        issuer + QLatin1Char('/') + ElementText(request, QStringLiteral("brojDokumenta"));
    if (code.isEmpty() && state.mode == FiscalStandIn::Mode::Error) {
        code = state.code;
        text = state.text;
    } else if (code.isEmpty() && !payment && state.einvoices.count(document) > 0) {
        code = QStringLiteral("S008");
        text = QStringLiteral("Već postoji zabilježen eRačun s istim identifikatorom.");
    }
    if (code.isEmpty() && !payment) {
        state.einvoices.insert(document);
    }
    seen.errorCode = code;
    seen.answer = ReportAnswer(state, seen.kind, code, text);
    state.requests.push_back(seen);
    return HttpReply(fiscal::SoapEnvelope(seen.answer), code.isEmpty());
}

// What the service makes of one request body: the request as seen, and the HTTP reply.
QByteArray Handle(FiscalStandIn::State& state, const QByteArray& body) {
    FiscalStandIn::Request seen;
    seen.body = body;
    const QByteArray request = RequestElement(body, &seen.kind);
    if (seen.kind.startsWith(QStringLiteral("Evidentiraj"))) {
        seen.messageId = ElementText(request, QStringLiteral("datumVrijemeSlanja"));
        return HandleReport(state, seen, request);
    }
    const bool change = seen.kind.startsWith(QStringLiteral("Promijeni"));
    const bool dataChange = seen.kind == QStringLiteral("PromijeniPodatkeRacunaZahtjev");
    const QString what =
        dataChange ? QStringLiteral("podataka računa") : QStringLiteral("načina plaćanja");
    seen.messageId = ElementText(request, QStringLiteral("IdPoruke"));
    seen.late = ElementText(request, QStringLiteral("NakDost")) == QStringLiteral("true");
    const QString protectiveCode = ElementText(request, QStringLiteral("ZastKod"));
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
    } else if (change && ElementText(request, QStringLiteral("DatVrijeme")).left(10) !=
                             QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"))) {
        code = dataChange ? QStringLiteral("s011") : QStringLiteral("s007");
        text = QStringLiteral("Datum izdavanja računa u poruci promjene ") + what +
               QStringLiteral(" nije jednak trenutnom datumu.");
    }
    QMutexLocker lock(&state.mutex);
    if (code.isEmpty() && change) {
        const auto found = state.receipts.find(protectiveCode);
        if (found == state.receipts.end() ||
            found->second != std::pair{ElementText(request, QStringLiteral("NacinPlac")),
                                       ElementText(request, QStringLiteral("IznosUkupno"))}) {
            code = dataChange ? QStringLiteral("s012") : QStringLiteral("s008");
            text = QStringLiteral("Podaci za račun u poruci promjene ") + what +
                   QStringLiteral(
                       " razlikuju se od podataka fiskaliziranog računa ili račun "
                       "nije fiskaliziran.");
        }
    }
    if (code.isEmpty() && state.mode == FiscalStandIn::Mode::Error) {
        code = state.code;
        text = state.text;
    }
    std::pair<QString, QString> confirmation;
    if (code.isEmpty() && !change) {
        seen.jir = QUuid::createUuid().toString(QUuid::WithoutBraces);
        state.receipts[protectiveCode] = {ElementText(request, QStringLiteral("NacinPlac")),
                                          ElementText(request, QStringLiteral("IznosUkupno"))};
    } else if (code.isEmpty()) {
        state.changedPayments[protectiveCode] =
            ElementText(request, QStringLiteral("PromijenjeniNacinPlac"));
        confirmation = {dataChange ? QStringLiteral("p005") : QStringLiteral("p001"),
                        QStringLiteral("Uspješna prijava promjene ") + what + QLatin1Char('.')};
    }
    seen.errorCode = code;
    QString element = QStringLiteral("RacunOdgovor");
    if (change) {
        element = seen.kind;
        element.replace(QStringLiteral("Zahtjev"), QStringLiteral("Odgovor"));
    }
    seen.answer = ReceiptAnswer(state, element, seen.messageId, seen.jir, confirmation, code, text,
                                state.mode == FiscalStandIn::Mode::BadSignature);
    state.requests.push_back(seen);
    return HttpReply(fiscal::SoapEnvelope(seen.answer), code.isEmpty());
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
            {
                QMutexLocker lock(&state->mutex);
                ++state->connections;
            }
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
                bool closing = false;
                {
                    QMutexLocker lock(&state->mutex);
                    if (state->mode == Mode::Silent) {
                        state->requests.push_back({});
                        return;  // taken and never answered
                    }
                    closing = state->closing;
                }
                const QByteArray body = buffer->mid(headerEnd + 4, length);
                buffer->remove(0, headerEnd + 4 + length);
                const QByteArray reply = Handle(*state, body);
                int delay = 0;
                {
                    QMutexLocker lock(&state->mutex);
                    if (state->hold) {
                        state->held.emplace_back(socket, reply);
                        state->heldSignal.release();
                        return;
                    }
                    delay = state->delayMs;
                }
                if (delay > 0) {
                    QThread::msleep(static_cast<unsigned long>(delay));
                }
                socket->write(reply);
                // Dropped without a word, as a server ends a kept-alive connection it finds idle.
                if (closing) {
                    socket->disconnectFromHost();
                }
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

void FiscalStandIn::SetClosingAfterEachAnswer(bool closing) {
    QMutexLocker lock(&m_state->mutex);
    m_state->closing = closing;
}

int FiscalStandIn::ConnectionsAccepted() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->connections;
}

QString FiscalStandIn::PaymentOnRecord(const QString& protectiveCode) const {
    QMutexLocker lock(&m_state->mutex);
    if (const auto changed = m_state->changedPayments.find(protectiveCode);
        changed != m_state->changedPayments.end()) {
        return changed->second;
    }
    const auto found = m_state->receipts.find(protectiveCode);
    return found == m_state->receipts.end() ? QString() : found->second.first;
}

void FiscalStandIn::HoldAnswers() {
    QMutexLocker lock(&m_state->mutex);
    m_state->hold = true;
}

bool FiscalStandIn::WaitForHeld(int count, int timeoutMs) {
    if (!m_state->heldSignal.tryAcquire(count, timeoutMs)) {
        return false;
    }
    m_state->heldSignal.release(count);
    return true;
}

void FiscalStandIn::ReleaseAnswers() {
    std::vector<std::pair<QPointer<QTcpSocket>, QByteArray>> held;
    {
        QMutexLocker lock(&m_state->mutex);
        m_state->hold = false;
        held.swap(m_state->held);
        m_state->heldSignal.acquire(m_state->heldSignal.available());
    }
    for (auto& [socket, reply] : held) {
        if (socket) {
            QMetaObject::invokeMethod(
                socket.data(),
                [socket = socket, reply = reply] {
                    if (socket) {
                        socket->write(reply);
                        socket->disconnectFromHost();
                    }
                },
                Qt::QueuedConnection);
        }
    }
}

void FiscalStandIn::SetDelay(int ms) {
    QMutexLocker lock(&m_state->mutex);
    m_state->delayMs = ms;
}

std::vector<FiscalStandIn::Request> FiscalStandIn::Requests() const {
    QMutexLocker lock(&m_state->mutex);
    return m_state->requests;
}

}  // namespace zodra::test
