#include "fiscal/EInvoice.h"

#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <QXmlStreamWriter>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/Transaction.h"

namespace zodra::fiscal {

namespace {

// A UBL 2.1 namespace: the prefix every UBL schema shares, then the schema's own name. The build
// takes the prefix from the shipped invoice schema, so the document carries exactly the
// namespaces the schemas check it against.
QString Ubl(const char* schema) {
    return QStringLiteral(ZODRA_UBL_NAMESPACE_PREFIX) + QLatin1String(schema);
}

const QString kInvoiceNs = Ubl("Invoice-2");
const QString kCreditNoteNs = Ubl("CreditNote-2");
const QString kCac = Ubl("CommonAggregateComponents-2");
const QString kCbc = Ubl("CommonBasicComponents-2");
const QString kExt = Ubl("CommonExtensionComponents-2");
const QString kHr = QStringLiteral("urn:mfin.gov.hr:schema:xsd:HRExtensionAggregateComponents-1");
const QString kCurrency = QStringLiteral("EUR");

QString Amount(double value) {
    return FixedNumberText(value, 2, QLocale::c());
}

QString Decimal(double value, int decimals) {
    return ShownNumber(value, decimals).replace(QLatin1Char(','), QLatin1Char('.'));
}

// Writes UBL elements; an element whose text is empty is left out, as the rules forbid empty
// elements.
class UblWriter {
public:
    explicit UblWriter(QByteArray* out) : m_xml(out) { m_xml.setAutoFormatting(true); }

    QXmlStreamWriter& Xml() { return m_xml; }
    void Open(const QString& ns, const QString& name) { m_xml.writeStartElement(ns, name); }
    void Close() { m_xml.writeEndElement(); }
    void Cbc(const QString& name, const QString& text) {
        if (!text.isEmpty()) {
            m_xml.writeTextElement(kCbc, name, text);
        }
    }
    void Cbc(const QString& name, const QString& text, const QString& attribute,
             const QString& value) {
        m_xml.writeStartElement(kCbc, name);
        m_xml.writeAttribute(attribute, value);
        m_xml.writeCharacters(text);
        m_xml.writeEndElement();
    }
    void Money(const QString& name, double value, const QString& ns = QString()) {
        m_xml.writeStartElement(ns.isEmpty() ? kCbc : ns, name);
        m_xml.writeAttribute(QStringLiteral("currencyID"), kCurrency);
        m_xml.writeCharacters(Amount(value));
        m_xml.writeEndElement();
    }

private:
    QXmlStreamWriter m_xml;
};

void WriteParty(UblWriter& w, const EInvoiceParty& party) {
    w.Open(kCac, QStringLiteral("Party"));
    w.Cbc(QStringLiteral("EndpointID"), party.oib, QStringLiteral("schemeID"),
          QStringLiteral("9934"));
    w.Open(kCac, QStringLiteral("PostalAddress"));
    w.Cbc(QStringLiteral("StreetName"), party.street);
    w.Cbc(QStringLiteral("CityName"), party.city);
    w.Cbc(QStringLiteral("PostalZone"), party.postalCode);
    w.Open(kCac, QStringLiteral("Country"));
    w.Cbc(QStringLiteral("IdentificationCode"), QStringLiteral("HR"));
    w.Close();
    w.Close();
    w.Open(kCac, QStringLiteral("PartyTaxScheme"));
    w.Cbc(QStringLiteral("CompanyID"), QStringLiteral("HR") + party.oib);
    w.Open(kCac, QStringLiteral("TaxScheme"));
    w.Cbc(QStringLiteral("ID"), QStringLiteral("VAT"));
    w.Close();
    w.Close();
    w.Open(kCac, QStringLiteral("PartyLegalEntity"));
    w.Cbc(QStringLiteral("RegistrationName"), party.name);
    w.Cbc(QStringLiteral("CompanyLegalForm"), party.legalForm);
    w.Close();
    w.Close();
}

// A tax category in the order UBL gives its parts; `ns` and `scheme` name the element of the
// Croatian extension (HRTaxCategory, HRTaxScheme) where it repeats the breakdown.
void WriteCategory(UblWriter& w, const QString& element, const EInvoiceTaxCategory& c,
                   bool withMark, const QString& ns = kCac,
                   const QString& scheme = QStringLiteral("TaxScheme")) {
    w.Open(ns, element);
    w.Cbc(QStringLiteral("ID"), c.code);
    if (withMark) {
        w.Cbc(QStringLiteral("Name"), c.mark);
    }
    w.Cbc(QStringLiteral("Percent"), Decimal(c.rate, 2));
    w.Cbc(QStringLiteral("TaxExemptionReason"), c.exemptionReason);
    w.Open(ns, scheme);
    w.Cbc(QStringLiteral("ID"), QStringLiteral("VAT"));
    w.Close();
    w.Close();
}

bool NeedsCroatianBreakdown(const EInvoiceData& e) {
    for (const EInvoiceTaxSubtotal& t : e.taxes) {
        if (t.category.code == QLatin1String("E") || t.category.code == QLatin1String("O")) {
            return true;
        }
    }
    return false;
}

// The Croatian VAT breakdown, which the rules ask for beside the standard one when a line is
// exempt or outside the scope of VAT; the part outside the scope is not in the tax base.
void WriteCroatianBreakdown(UblWriter& w, const EInvoiceData& e) {
    MoneyTotal outOfScope;
    for (const EInvoiceTaxSubtotal& t : e.taxes) {
        if (t.category.code == QLatin1String("O")) {
            outOfScope += t.taxable;
        }
    }
    w.Open(kExt, QStringLiteral("UBLExtension"));
    w.Open(kExt, QStringLiteral("ExtensionContent"));
    w.Open(kHr, QStringLiteral("HRFISK20Data"));
    w.Open(kHr, QStringLiteral("HRTaxTotal"));
    w.Money(QStringLiteral("TaxAmount"), e.taxTotal);
    for (const EInvoiceTaxSubtotal& t : e.taxes) {
        w.Open(kHr, QStringLiteral("HRTaxSubtotal"));
        w.Money(QStringLiteral("TaxableAmount"), t.taxable);
        w.Money(QStringLiteral("TaxAmount"), t.tax);
        WriteCategory(w, QStringLiteral("HRTaxCategory"), t.category, true, kHr,
                      QStringLiteral("HRTaxScheme"));
        w.Close();
    }
    w.Close();
    w.Open(kHr, QStringLiteral("HRLegalMonetaryTotal"));
    MoneyTotal base;
    base += e.lineTotal;
    base += -outOfScope.Value();
    w.Money(QStringLiteral("TaxExclusiveAmount"), base.Value());
    w.Money(QStringLiteral("OutOfScopeOfVATAmount"), outOfScope.Value(), kHr);
    w.Close();
    w.Close();
    w.Close();
    w.Close();
}

void WriteHeader(UblWriter& w, const EInvoiceData& e, bool credit) {
    w.Cbc(QStringLiteral("CustomizationID"), EInvoiceCustomization());
    w.Cbc(QStringLiteral("ProfileID"), credit ? QStringLiteral("P10") : QStringLiteral("P1"));
    w.Cbc(QStringLiteral("ID"), credit ? e.id + QStringLiteral("-S") : e.id);
    const QDate issued = credit ? e.cancellationDate : e.issueDate;
    w.Cbc(QStringLiteral("IssueDate"), issued.toString(Qt::ISODate));
    w.Cbc(QStringLiteral("IssueTime"),
          credit ? QStringLiteral("00:00:00") : e.issueTime.toString(QStringLiteral("HH:mm:ss")));
    if (!credit) {
        w.Cbc(QStringLiteral("DueDate"), e.dueDate.toString(Qt::ISODate));
        w.Cbc(QStringLiteral("InvoiceTypeCode"), QStringLiteral("380"));
    } else {
        w.Cbc(QStringLiteral("CreditNoteTypeCode"), QStringLiteral("381"));
    }
    w.Cbc(QStringLiteral("DocumentCurrencyCode"), kCurrency);
    if (!e.orderReference.isEmpty()) {
        w.Open(kCac, QStringLiteral("OrderReference"));
        w.Cbc(QStringLiteral("ID"), e.orderReference);
        w.Close();
    }
    if (credit) {
        w.Open(kCac, QStringLiteral("BillingReference"));
        w.Open(kCac, QStringLiteral("InvoiceDocumentReference"));
        w.Cbc(QStringLiteral("ID"), e.id);
        w.Cbc(QStringLiteral("IssueDate"), e.issueDate.toString(Qt::ISODate));
        w.Close();
        w.Close();
    }
    w.Open(kCac, QStringLiteral("AccountingSupplierParty"));
    WriteParty(w, e.seller);
    w.Open(kCac, QStringLiteral("SellerContact"));
    w.Cbc(QStringLiteral("ID"), e.operatorOib);
    w.Cbc(QStringLiteral("Name"), e.operatorName);
    w.Close();
    w.Close();
    w.Open(kCac, QStringLiteral("AccountingCustomerParty"));
    WriteParty(w, e.buyer);
    w.Close();
    if (e.deliveryDate.isValid()) {
        w.Open(kCac, QStringLiteral("Delivery"));
        w.Cbc(QStringLiteral("ActualDeliveryDate"), e.deliveryDate.toString(Qt::ISODate));
        w.Close();
    }
    w.Open(kCac, QStringLiteral("PaymentMeans"));
    w.Cbc(QStringLiteral("PaymentMeansCode"), QStringLiteral("30"));
    w.Cbc(QStringLiteral("InstructionNote"), e.paymentNote);
    w.Cbc(QStringLiteral("PaymentID"), e.paymentReference);
    w.Open(kCac, QStringLiteral("PayeeFinancialAccount"));
    w.Cbc(QStringLiteral("ID"), e.iban);
    w.Close();
    w.Close();
}

void WriteTotals(UblWriter& w, const EInvoiceData& e, bool credit) {
    w.Open(kCac, QStringLiteral("TaxTotal"));
    w.Money(QStringLiteral("TaxAmount"), e.taxTotal);
    for (const EInvoiceTaxSubtotal& t : e.taxes) {
        w.Open(kCac, QStringLiteral("TaxSubtotal"));
        w.Money(QStringLiteral("TaxableAmount"), t.taxable);
        w.Money(QStringLiteral("TaxAmount"), t.tax);
        WriteCategory(w, QStringLiteral("TaxCategory"), t.category, false);
        w.Close();
    }
    w.Close();
    MoneyTotal inclusive;
    inclusive += e.lineTotal;
    inclusive += e.taxTotal;
    // A credit note gives back the whole invoice; what was paid on it is settled apart.
    const double prepaid = credit ? 0 : e.prepaid;
    w.Open(kCac, QStringLiteral("LegalMonetaryTotal"));
    w.Money(QStringLiteral("LineExtensionAmount"), e.lineTotal);
    w.Money(QStringLiteral("TaxExclusiveAmount"), e.lineTotal);
    w.Money(QStringLiteral("TaxInclusiveAmount"), inclusive.Value());
    if (prepaid != 0) {
        w.Money(QStringLiteral("PrepaidAmount"), prepaid);
    }
    w.Money(QStringLiteral("PayableAmount"), credit ? inclusive.Value() : e.Payable());
    w.Close();
}

void WriteLine(UblWriter& w, const EInvoiceLine& l, bool credit) {
    w.Open(kCac, credit ? QStringLiteral("CreditNoteLine") : QStringLiteral("InvoiceLine"));
    w.Cbc(QStringLiteral("ID"), QString::number(l.position));
    w.Cbc(credit ? QStringLiteral("CreditedQuantity") : QStringLiteral("InvoicedQuantity"),
          Decimal(l.quantity, 10), QStringLiteral("unitCode"), l.unitCode);
    w.Money(QStringLiteral("LineExtensionAmount"), l.amount);
    w.Open(kCac, QStringLiteral("Item"));
    w.Cbc(QStringLiteral("Description"), l.description);
    w.Cbc(QStringLiteral("Name"), l.name);
    w.Open(kCac, QStringLiteral("CommodityClassification"));
    w.Cbc(QStringLiteral("ItemClassificationCode"), l.kpd, QStringLiteral("listID"),
          QStringLiteral("CG"));
    w.Close();
    WriteCategory(w, QStringLiteral("ClassifiedTaxCategory"), l.category, true);
    w.Close();
    w.Open(kCac, QStringLiteral("Price"));
    w.Xml().writeStartElement(kCbc, QStringLiteral("PriceAmount"));
    w.Xml().writeAttribute(QStringLiteral("currencyID"), kCurrency);
    w.Xml().writeCharacters(Decimal(l.price, 6));
    w.Xml().writeEndElement();
    w.Cbc(QStringLiteral("BaseQuantity"), QStringLiteral("1"), QStringLiteral("unitCode"),
          l.unitCode);
    w.Close();
    w.Close();
}

}  // namespace

QString EInvoiceCustomization() {
    return QStringLiteral(
        "urn:cen.eu:en16931:2017#compliant#urn:mfin.gov.hr:cius-2025:1.0#conformant#urn:mfin.gov."
        "hr:ext-2025:1.0");
}

QByteArray EInvoiceXml(const EInvoiceData& e, EInvoiceKind kind) {
    const bool credit = kind == EInvoiceKind::CreditNote;
    if (credit && !e.cancelled) {
        throw UserError(QStringLiteral("Račun broj ") + QString::number(e.number) +
                        QStringLiteral(" nije storniran."));
    }
    QByteArray out;
    UblWriter w(&out);
    QXmlStreamWriter& xml = w.Xml();
    xml.writeStartDocument();
    const QString rootNs = credit ? kCreditNoteNs : kInvoiceNs;
    xml.writeDefaultNamespace(rootNs);
    xml.writeNamespace(kCac, QStringLiteral("cac"));
    xml.writeNamespace(kCbc, QStringLiteral("cbc"));
    xml.writeNamespace(kExt, QStringLiteral("ext"));
    xml.writeNamespace(kHr, QStringLiteral("hrextac"));
    xml.writeStartElement(rootNs,
                          credit ? QStringLiteral("CreditNote") : QStringLiteral("Invoice"));
    if (NeedsCroatianBreakdown(e)) {
        w.Open(kExt, QStringLiteral("UBLExtensions"));
        WriteCroatianBreakdown(w, e);
        w.Close();
    }
    WriteHeader(w, e, credit);
    WriteTotals(w, e, credit);
    for (const EInvoiceLine& line : e.lines) {
        WriteLine(w, line, credit);
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

QByteArray EInvoiceXml(Database& db, int warehouse, int book, int year, int number,
                       EInvoiceKind kind) {
    return EInvoiceXml(ReadEInvoiceData(db, warehouse, book, year, number), kind);
}

QString EInvoiceFileName(const EInvoiceData& data, EInvoiceKind kind) {
    return (kind == EInvoiceKind::CreditNote ? QStringLiteral("Odobrenje_")
                                             : QStringLiteral("eRacun_")) +
           data.id + QStringLiteral(".xml");
}

void WriteEInvoiceFile(const QString& path, const QByteArray& xml) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        throw UserError(QStringLiteral("Datoteku ") + QFileInfo(path).absoluteFilePath() +
                        QStringLiteral(" nije moguće zapisati."));
    }
}

void IssueEInvoice(Session& session, const EInvoiceData& data, EInvoiceKind kind,
                   const QString& path) {
    const QByteArray xml = EInvoiceXml(data, kind);
    const Session::EInvoiceEvent event{data.warehouse, data.book, data.year, data.number,
                                       kind == EInvoiceKind::CreditNote};
    Transaction transaction(session.Db());
    if (session.duringEInvoiceExport) {
        session.duringEInvoiceExport(session, event);
    }
    WriteEInvoiceFile(path, xml);
    transaction.Commit();
    if (session.afterEInvoiceExport) {
        session.afterEInvoiceExport(session, event);
    }
}

}  // namespace zodra::fiscal
