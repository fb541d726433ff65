#include "fiscal/FiscalMessage.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "fiscal/ProtectiveCode.h"

namespace zodra::fiscal {

QString FiscalNumber(const FiscalReceipt& receipt) {
    return QString::number(receipt.number) + QLatin1Char('/') + receipt.premises +
           QLatin1Char('/') + receipt.device;
}

QString MessageDateTime(const QDateTime& value) {
    return value.toString(QStringLiteral("dd.MM.yyyy'T'HH:mm:ss"));
}

namespace {

// The request element with its header; the Racun element is left open.
void StartRequest(QXmlStreamWriter& xml, const QString& ns, const QString& name,
                  const QString& messageId, const QDateTime& sentAt) {
    xml.writeStartDocument();
    xml.writeNamespace(ns, QStringLiteral("tns"));
    xml.writeStartElement(ns, name);
    xml.writeAttribute(QStringLiteral("Id"), name);
    xml.writeStartElement(ns, QStringLiteral("Zaglavlje"));
    xml.writeTextElement(ns, QStringLiteral("IdPoruke"), messageId);
    xml.writeTextElement(ns, QStringLiteral("DatumVrijeme"), MessageDateTime(sentAt));
    xml.writeEndElement();
    xml.writeStartElement(ns, QStringLiteral("Racun"));
}

// The receipt's elements as every request about it repeats them.
void WriteReceipt(QXmlStreamWriter& xml, const QString& ns, const FiscalReceipt& r);

}  // namespace

QByteArray ReceiptRequestXml(const FiscalReceipt& r, const QString& messageId,
                             const QDateTime& sentAt) {
    const QString ns = QString::fromLatin1(kFiscalNamespace);
    QByteArray out;
    QXmlStreamWriter xml(&out);
    StartRequest(xml, ns, QStringLiteral("RacunZahtjev"), messageId, sentAt);
    WriteReceipt(xml, ns, r);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

QString ChangeRequestName(ChangeKind kind) {
    return kind == ChangeKind::PaymentMethod ? QStringLiteral("PromijeniNacPlacZahtjev")
                                             : QStringLiteral("PromijeniPodatkeRacunaZahtjev");
}

QByteArray ChangeRequestXml(const FiscalReceipt& r, const ReceiptChange& change,
                            const QString& messageId, const QDateTime& sentAt) {
    const QString ns = QString::fromLatin1(kFiscalNamespace);
    QByteArray out;
    QXmlStreamWriter xml(&out);
    StartRequest(xml, ns, ChangeRequestName(change.kind), messageId, sentAt);
    WriteReceipt(xml, ns, r);
    xml.writeTextElement(ns, QStringLiteral("PromijenjeniNacinPlac"), change.payment);
    if (change.kind == ChangeKind::InvoiceData) {
        // An empty element removes the buyer's OIB.
        xml.writeTextElement(ns, QStringLiteral("PromijenjeniOibPrimateljaRacuna"),
                             change.buyerOib);
    }
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

namespace {

void WriteReceipt(QXmlStreamWriter& xml, const QString& ns, const FiscalReceipt& r) {
    xml.writeTextElement(ns, QStringLiteral("Oib"), r.oib);
    xml.writeTextElement(ns, QStringLiteral("USustPdv"),
                         r.inVatSystem ? QStringLiteral("true") : QStringLiteral("false"));
    xml.writeTextElement(ns, QStringLiteral("DatVrijeme"), MessageDateTime(r.issued));
    xml.writeTextElement(ns, QStringLiteral("OznSlijed"), r.sequence);
    xml.writeStartElement(ns, QStringLiteral("BrRac"));
    xml.writeTextElement(ns, QStringLiteral("BrOznRac"), QString::number(r.number));
    xml.writeTextElement(ns, QStringLiteral("OznPosPr"), r.premises);
    xml.writeTextElement(ns, QStringLiteral("OznNapUr"), r.device);
    xml.writeEndElement();
    if (r.inVatSystem && !r.vat.empty()) {
        xml.writeStartElement(ns, QStringLiteral("Pdv"));
        for (const FiscalTax& tax : r.vat) {
            xml.writeStartElement(ns, QStringLiteral("Porez"));
            xml.writeTextElement(ns, QStringLiteral("Stopa"), FiscalAmount(tax.rate));
            xml.writeTextElement(ns, QStringLiteral("Osnovica"), FiscalAmount(tax.base));
            xml.writeTextElement(ns, QStringLiteral("Iznos"), FiscalAmount(tax.amount));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    if (r.inVatSystem && r.exempt != 0) {
        xml.writeTextElement(ns, QStringLiteral("IznosOslobPdv"), FiscalAmount(r.exempt));
    }
    xml.writeTextElement(ns, QStringLiteral("IznosUkupno"), FiscalAmount(r.total));
    xml.writeTextElement(ns, QStringLiteral("NacinPlac"), r.payment);
    xml.writeTextElement(ns, QStringLiteral("OibOper"), r.operatorOib);
    xml.writeTextElement(ns, QStringLiteral("ZastKod"), r.protectiveCode);
    xml.writeTextElement(ns, QStringLiteral("NakDost"),
                         r.lateDelivery ? QStringLiteral("true") : QStringLiteral("false"));
    if (!r.buyerOib.isEmpty()) {
        xml.writeTextElement(ns, QStringLiteral("OibPrimateljaRacuna"), r.buyerOib);
    }
}

}  // namespace

QByteArray SoapEnvelope(const QByteArray& signedXml) {
    QByteArray body = signedXml;
    if (body.startsWith("<?xml")) {
        body = body.mid(body.indexOf("?>") + 2).trimmed();
    }
    return QByteArrayLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\">"
               "<soapenv:Body>") +
           body + QByteArrayLiteral("</soapenv:Body></soapenv:Envelope>\n");
}

QString FiscalAnswer::ErrorText() const {
    QStringList lines;
    for (const auto& [code, text] : errors) {
        lines << (code.isEmpty() ? text : code + QStringLiteral(": ") + text);
    }
    return lines.join(QLatin1Char('\n'));
}

FiscalAnswer ParseAnswer(const QByteArray& body) {
    FiscalAnswer answer;
    QXmlStreamReader xml(body);
    QString code;
    QString faultText;
    bool inHeader = false;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement()) {
            if (xml.isEndElement() && xml.name() == QStringLiteral("Zaglavlje")) {
                inHeader = false;
            }
            continue;
        }
        const auto name = xml.name();
        if (name == QStringLiteral("Zaglavlje")) {
            inHeader = true;
        } else if (inHeader && name == QStringLiteral("IdPoruke")) {
            answer.messageId = xml.readElementText().trimmed();
        } else if (name == QStringLiteral("Jir")) {
            answer.jir = xml.readElementText().trimmed();
        } else if (name == QStringLiteral("SifraGreske")) {
            code = xml.readElementText().trimmed();
        } else if (name == QStringLiteral("PorukaGreske")) {
            answer.errors.emplace_back(code, xml.readElementText().simplified());
            code.clear();
        } else if (name == QStringLiteral("SifraPoruke")) {
            answer.confirmationCode = xml.readElementText().trimmed();
        } else if (name == QStringLiteral("Poruka")) {
            answer.confirmationText = xml.readElementText().simplified();
        } else if (name == QStringLiteral("faultstring")) {
            faultText = xml.readElementText().simplified();
        }
    }
    if (answer.jir.isEmpty() && answer.errors.empty() && answer.confirmationCode.isEmpty()) {
        QString text = faultText;
        if (text.isEmpty()) {
            text = QString::fromUtf8(body.left(300)).simplified();
        }
        answer.errors.emplace_back(QString(),
                                   QStringLiteral("Neispravan odgovor poslužitelja: ") + text);
    }
    return answer;
}

}  // namespace zodra::fiscal
