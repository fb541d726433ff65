#include "fiscal/EInvoiceReport.h"

#include <QLocale>
#include <QXmlStreamWriter>
#include <cmath>

#include "data/Errors.h"
#include "data/Rounding.h"

namespace zodra::fiscal {

namespace {

QString Amount(double value) {
    return FixedNumberText(value, 2, QLocale::c());
}

QString Decimal(double value, int decimals) {
    return ShownNumber(value, decimals).replace(QLatin1Char(','), QLatin1Char('.'));
}

class RequestWriter {
public:
    RequestWriter(QByteArray* out, const QString& ns) : m_xml(out), m_ns(ns) {
        m_xml.setAutoFormatting(true);
    }
    QXmlStreamWriter& Xml() { return m_xml; }
    void Open(const QString& name) { m_xml.writeStartElement(m_ns, name); }
    void Close() { m_xml.writeEndElement(); }
    void Text(const QString& name, const QString& text) {
        if (!text.isEmpty()) {
            m_xml.writeTextElement(m_ns, name, text);
        }
    }

private:
    QXmlStreamWriter m_xml;
    QString m_ns;
};

void StartRequest(RequestWriter& w, const QString& ns, const QString& element,
                  const QString& requestId, const QDateTime& sent) {
    w.Xml().writeStartDocument();
    w.Xml().writeNamespace(ns, QStringLiteral("fis"));
    w.Open(element);
    w.Xml().writeAttribute(ns, QStringLiteral("id"), requestId);
    w.Open(QStringLiteral("Zaglavlje"));
    w.Text(QStringLiteral("datumVrijemeSlanja"), RequestTimeStamp(sent));
}

void WriteTaxes(RequestWriter& w, const EInvoiceData& e) {
    for (const EInvoiceTaxSubtotal& t : e.taxes) {
        w.Open(QStringLiteral("RaspodjelaPdv"));
        w.Text(QStringLiteral("kategorijaPdv"), t.category.code);
        w.Text(QStringLiteral("oporeziviIznos"), Amount(t.taxable));
        w.Text(QStringLiteral("iznosPoreza"), Amount(t.tax));
        w.Text(QStringLiteral("stopa"), Decimal(t.category.rate, 2));
        w.Text(QStringLiteral("tekstRazlogaOslobodenja"), t.category.exemptionReason);
        w.Text(QStringLiteral("hrOznakaKategorijaPdv"), t.category.mark);
        w.Close();
    }
}

void WriteLines(RequestWriter& w, const EInvoiceData& e) {
    for (const EInvoiceLine& l : e.lines) {
        w.Open(QStringLiteral("StavkaERacuna"));
        w.Text(QStringLiteral("kolicina"), Decimal(l.quantity, 10));
        w.Text(QStringLiteral("jedinicaMjere"), l.unitCode);
        w.Text(QStringLiteral("neto"), Amount(l.amount));
        w.Text(QStringLiteral("artiklNetoCijena"), Decimal(l.price, 6));
        w.Text(QStringLiteral("artiklOsnovnaKolicina"), QStringLiteral("1"));
        w.Text(QStringLiteral("artiklJedinicaMjereZaOsnovnuKolicinu"), l.unitCode);
        w.Text(QStringLiteral("artiklKategorijaPdv"), l.category.code);
        w.Text(QStringLiteral("artiklStopaPdv"), Decimal(l.category.rate, 2));
        w.Text(QStringLiteral("artiklNaziv"), l.name);
        w.Text(QStringLiteral("artiklOpis"), l.description);
        w.Text(QStringLiteral("artiklHrOznakaKategorijaPdv"), l.category.mark);
        w.Open(QStringLiteral("ArtiklIdentifikatorKlasifikacija"));
        w.Text(QStringLiteral("identifikatorKlasifikacije"), l.kpd);
        w.Text(QStringLiteral("identifikatorSheme"), QStringLiteral("CG"));
        w.Close();
        w.Close();
    }
}

}  // namespace

QString EFiscalizationNamespace() {
    return QStringLiteral("http://www.porezna-uprava.gov.hr/fin/2024/types/eFiskalizacija");
}

QString EReportingNamespace() {
    return QStringLiteral("http://www.porezna-uprava.gov.hr/fin/2024/types/eIzvjestavanje");
}

QString RequestTimeStamp(const QDateTime& sent) {
    return sent.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) + QLatin1Char('0');
}

QByteArray UnsignedEInvoiceReportRequest(const EInvoiceData& e, EInvoiceKind kind,
                                         const QString& requestId, const QDateTime& sent) {
    const bool credit = kind == EInvoiceKind::CreditNote;
    if (credit && !e.cancelled) {
        throw UserError(QStringLiteral("Račun broj ") + QString::number(e.number) +
                        QStringLiteral(" nije storniran."));
    }
    QByteArray out;
    RequestWriter w(&out, EFiscalizationNamespace());
    StartRequest(w, EFiscalizationNamespace(), QStringLiteral("EvidentirajERacunZahtjev"),
                 requestId, sent);
    w.Text(QStringLiteral("vrstaERacuna"), QStringLiteral("I"));
    w.Close();
    w.Open(QStringLiteral("ERacun"));
    w.Text(QStringLiteral("brojDokumenta"), credit ? e.id + QStringLiteral("-S") : e.id);
    w.Text(QStringLiteral("datumIzdavanja"),
           (credit ? e.cancellationDate : e.issueDate).toString(Qt::ISODate));
    w.Text(QStringLiteral("vrstaDokumenta"),
           credit ? QStringLiteral("381") : QStringLiteral("380"));
    w.Text(QStringLiteral("valutaERacuna"), QStringLiteral("EUR"));
    if (!credit) {
        w.Text(QStringLiteral("datumDospijecaPlacanja"), e.dueDate.toString(Qt::ISODate));
    }
    w.Text(QStringLiteral("vrstaPoslovnogProcesa"),
           credit ? QStringLiteral("P10") : QStringLiteral("P1"));
    if (e.deliveryDate.isValid()) {
        w.Text(QStringLiteral("datumIsporuke"), e.deliveryDate.toString(Qt::ISODate));
    }
    if (credit) {
        w.Open(QStringLiteral("PrethodniERacun"));
        w.Text(QStringLiteral("brojDokumenta"), e.id);
        w.Text(QStringLiteral("datumIzdavanja"), e.issueDate.toString(Qt::ISODate));
        w.Close();
    }
    w.Open(QStringLiteral("Izdavatelj"));
    w.Text(QStringLiteral("ime"), e.seller.name);
    w.Text(QStringLiteral("oibPorezniBroj"), e.seller.oib);
    w.Text(QStringLiteral("oibOperatera"), e.operatorOib);
    w.Close();
    w.Open(QStringLiteral("Primatelj"));
    w.Text(QStringLiteral("ime"), e.buyer.name);
    w.Text(QStringLiteral("oibPorezniBroj"), e.buyer.oib);
    w.Close();
    w.Open(QStringLiteral("PrijenosSredstava"));
    w.Text(QStringLiteral("identifikatorRacunaZaPlacanje"), e.iban);
    w.Close();
    MoneyTotal inclusive;
    inclusive += e.lineTotal;
    inclusive += e.taxTotal;
    const double prepaid = credit ? 0 : e.prepaid;
    w.Open(QStringLiteral("DokumentUkupanIznos"));
    w.Text(QStringLiteral("neto"), Amount(e.lineTotal));
    w.Text(QStringLiteral("iznosBezPdv"), Amount(e.lineTotal));
    w.Text(QStringLiteral("pdv"), Amount(e.taxTotal));
    w.Text(QStringLiteral("iznosSPdv"), Amount(inclusive.Value()));
    if (prepaid != 0) {
        w.Text(QStringLiteral("placeniIznos"), Amount(prepaid));
    }
    w.Text(QStringLiteral("iznosKojiDospijevaZaPlacanje"),
           Amount(credit ? inclusive.Value() : e.Payable()));
    w.Close();
    WriteTaxes(w, e);
    WriteLines(w, e);
    w.Text(QStringLiteral("indikatorKopije"), QStringLiteral("false"));
    w.Close();
    w.Close();
    w.Xml().writeEndDocument();
    return out;
}

QByteArray UnsignedPaymentReportRequest(const EInvoiceData& e, const QDate& paidOn, double amount,
                                        const QString& method, const QString& requestId,
                                        const QDateTime& sent) {
    // A negative amount withdraws a payment reported before (the service's way to correct one).
    if (!std::isfinite(amount) || RoundMoney(amount) == 0 || std::abs(amount) > 1e12) {
        throw UserError(QStringLiteral("Iznos naplate nije ispravan."));
    }
    if (method != QLatin1String("T") && method != QLatin1String("O") &&
        method != QLatin1String("Z")) {
        throw UserError(QStringLiteral("Način naplate mora biti T, O ili Z."));
    }
    QByteArray out;
    RequestWriter w(&out, EReportingNamespace());
    StartRequest(w, EReportingNamespace(), QStringLiteral("EvidentirajNaplatuZahtjev"), requestId,
                 sent);
    w.Close();
    w.Open(QStringLiteral("Naplata"));
    w.Text(QStringLiteral("brojDokumenta"), e.id);
    w.Text(QStringLiteral("datumIzdavanja"), e.issueDate.toString(Qt::ISODate));
    w.Text(QStringLiteral("oibPorezniBrojIzdavatelja"), e.seller.oib);
    w.Text(QStringLiteral("oibPorezniBrojPrimatelja"), e.buyer.oib);
    w.Text(QStringLiteral("datumNaplate"), paidOn.toString(Qt::ISODate));
    w.Text(QStringLiteral("naplaceniIznos"), Amount(amount));
    w.Text(QStringLiteral("nacinPlacanja"), method);
    w.Close();
    w.Close();
    w.Xml().writeEndDocument();
    return out;
}

}  // namespace zodra::fiscal
