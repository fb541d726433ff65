#include "books/VatXml.h"

#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>
#include <QXmlStreamWriter>

#include "books/VatReturn.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/Statement.h"

namespace zodra::books {

namespace {

struct FilingData {
    QString name;
    QString oib;
    QString place;
    QString street;
    QString houseNumber;
    QString preparerFirst;
    QString preparerLast;
    QString taxOffice;
};

QString Setting(Database& db, const char* name) {
    return sqlvalue::ToText(
               db.Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE "
                                        "\"Naziv\" = ?"),
                         {QString::fromUtf8(name)}))
        .trimmed();
}

// "Radnička cesta 12a" → street "Radnička cesta", number "12a"; an address without a number
// keeps it all as the street.
void SplitAddress(const QString& address, QString& street, QString& number) {
    static const QRegularExpression tail(QStringLiteral("^(.*\\S)\\s+(\\d[^\\s]*)$"));
    const QRegularExpressionMatch m = tail.match(address.trimmed());
    if (m.hasMatch()) {
        street = m.captured(1).trimmed();
        number = m.captured(2);
    } else {
        street = address.trimmed();
        number.clear();
    }
}

FilingData ReadFilingData(Database& db) {
    FilingData d;
    QString address;
    QString director;
    {
        Statement s(db, QStringLiteral("SELECT \"NAZIV\", \"OIB\", \"MJESTO\", \"ADRESA\", "
                                       "\"DIREKTOR\" FROM \"PODACI_FIRME\" ORDER BY \"ID\""));
        s.Exec();
        if (s.Next()) {
            d.name = s.Text(0).trimmed();
            d.oib = s.Text(1).trimmed();
            // The place without the postal code in front of it ("10000 Zagreb").
            d.place = s.Text(2).trimmed();
            static const QRegularExpression postal(QStringLiteral("^\\d{5}\\s+"));
            d.place.remove(postal);
            address = s.Text(3);
            director = s.Text(4).trimmed();
        }
    }
    SplitAddress(address, d.street, d.houseNumber);
    QString preparer = Setting(db, kVatPreparerSetting);
    if (preparer.isEmpty()) {
        preparer = director;
    }
    const qsizetype blank = preparer.lastIndexOf(QLatin1Char(' '));
    if (blank > 0) {
        d.preparerFirst = preparer.left(blank).trimmed();
        d.preparerLast = preparer.mid(blank + 1).trimmed();
    }
    d.taxOffice = Setting(db, kVatTaxOfficeSetting);
    return d;
}

bool Fits(const QString& text) {
    return text.size() >= 2 && text.size() <= 128;
}

void Check(const FilingData& d) {
    static const QRegularExpression oib(QStringLiteral("^\\d{11}$"));
    static const QRegularExpression office(QStringLiteral("^\\d{4}$"));
    if (!oib.match(d.oib).hasMatch()) {
        throw UserError(QStringLiteral(
            "OIB poduzeća nije upisan ili nije ispravan (11 znamenki). Upišite ga u podatke o "
            "poduzeću prije izrade XML datoteke."));
    }
    if (!Fits(d.name)) {
        throw UserError(QStringLiteral("Naziv poduzeća nije upisan u podatke o poduzeću."));
    }
    if (!Fits(d.place)) {
        throw UserError(QStringLiteral("Mjesto poduzeća nije upisano u podatke o poduzeću."));
    }
    if (!Fits(d.street) || d.houseNumber.size() > 10) {
        throw UserError(QStringLiteral(
            "Adresa poduzeća (ulica i kućni broj) nije upisana u podatke o poduzeću."));
    }
    if (!Fits(d.preparerFirst) || !Fits(d.preparerLast)) {
        throw UserError(
            QStringLiteral(
                "Nije upisano ime i prezime osobe koja je sastavila obrazac (postavka \"") +
            QString::fromUtf8(kVatPreparerSetting) +
            QStringLiteral("\" ili direktor u podacima o poduzeću)."));
    }
    if (!office.match(d.taxOffice).hasMatch()) {
        throw UserError(QStringLiteral("Nije upisana šifra porezne ispostave (četiri znamenke, "
                                       "postavka \"") +
                        QString::fromUtf8(kVatTaxOfficeSetting) + QStringLiteral("\")."));
    }
}

QString Amount(double value) {
    const double rounded = RoundMoney(value);
    return QString::number(rounded == 0 ? 0.0 : rounded, 'f', 2);
}

void Meta(QXmlStreamWriter& w, const char* name, const char* dc, const QString& value) {
    w.writeStartElement(QString::fromLatin1(name));
    if (dc != nullptr) {
        w.writeAttribute(QStringLiteral("dc"), QString::fromLatin1(dc));
    }
    w.writeCharacters(value);
    w.writeEndElement();
}

}  // namespace

QByteArray VatReturnXml(Database& db, const VatReturn& vat, const QDateTime& created) {
    if (vat.form.Generation() != VatFormGeneration::Current) {
        throw UserError(QStringLiteral(
            "XML datoteka (Obrazac PDV) izrađuje se samo za razdoblja od 2013. godine."));
    }
    const FilingData d = ReadFilingData(db);
    Check(d);

    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeDefaultNamespace(QString::fromLatin1(kVatXmlNamespace));
    w.writeStartElement(QString::fromLatin1(kVatXmlNamespace), QStringLiteral("ObrazacPDV"));
    w.writeAttribute(QStringLiteral("verzijaSheme"), QString::fromLatin1(kVatXmlSchemaVersion));

    w.writeStartElement(QStringLiteral("Metapodaci"));
    w.writeDefaultNamespace(
        QStringLiteral("http://e-porezna.porezna-uprava.hr/sheme/Metapodaci/v2-0"));
    Meta(w, "Naslov", "http://purl.org/dc/elements/1.1/title",
         QStringLiteral("Prijava poreza na dodanu vrijednost"));
    Meta(w, "Autor", "http://purl.org/dc/elements/1.1/creator",
         d.preparerFirst + QLatin1Char(' ') + d.preparerLast);
    Meta(w, "Datum", "http://purl.org/dc/elements/1.1/date",
         created.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")));
    Meta(w, "Format", "http://purl.org/dc/elements/1.1/format", QStringLiteral("text/xml"));
    Meta(w, "Jezik", "http://purl.org/dc/elements/1.1/language", QStringLiteral("hr-HR"));
    Meta(w, "Identifikator", "http://purl.org/dc/elements/1.1/identifier",
         QUuid::createUuid().toString(QUuid::WithoutBraces).toLower());
    Meta(w, "Uskladjenost", "http://purl.org/dc/terms/conformsTo",
         QString::fromLatin1(kVatXmlConformsTo));
    Meta(w, "Tip", "http://purl.org/dc/elements/1.1/type", QStringLiteral("Elektronički obrazac"));
    Meta(w, "Adresant", nullptr, QStringLiteral("Ministarstvo Financija, Porezna uprava, Zagreb"));
    w.writeEndElement();

    const QString ns = QString::fromLatin1(kVatXmlNamespace);
    auto el = [&](const QString& name, const QString& text) { w.writeTextElement(ns, name, text); };
    w.writeStartElement(ns, QStringLiteral("Zaglavlje"));
    w.writeStartElement(ns, QStringLiteral("Razdoblje"));
    el(QStringLiteral("DatumOd"), vat.from.toString(Qt::ISODate));
    el(QStringLiteral("DatumDo"), vat.to.toString(Qt::ISODate));
    w.writeEndElement();
    w.writeStartElement(ns, QStringLiteral("Obveznik"));
    el(QStringLiteral("Naziv"), d.name);
    el(QStringLiteral("OIB"), d.oib);
    w.writeStartElement(ns, QStringLiteral("Adresa"));
    el(QStringLiteral("Mjesto"), d.place);
    el(QStringLiteral("Ulica"), d.street);
    el(QStringLiteral("Broj"), d.houseNumber);
    w.writeEndElement();
    w.writeEndElement();
    w.writeStartElement(ns, QStringLiteral("ObracunSastavio"));
    el(QStringLiteral("Ime"), d.preparerFirst);
    el(QStringLiteral("Prezime"), d.preparerLast);
    w.writeEndElement();
    el(QStringLiteral("Ispostava"), d.taxOffice);
    w.writeEndElement();

    w.writeStartElement(ns, QStringLiteral("Tijelo"));
    for (const VatLine& line : vat.form.Lines()) {
        const QString name = QStringLiteral("Podatak") + line.def.code;
        if (IsCurrentPairLine(line.def.code)) {
            w.writeStartElement(ns, name);
            el(QStringLiteral("Vrijednost"), Amount(line.base));
            el(QStringLiteral("Porez"), Amount(line.tax));
            w.writeEndElement();
        } else {
            el(name, Amount(line.def.hasBase ? line.base : line.tax));
        }
    }
    // No real estate supplied in the period (the form's yes/no line).
    el(QStringLiteral("Podatak660"), QStringLiteral("false"));
    w.writeEndElement();

    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

void WriteVatReturnXml(Database& db, const VatReturn& vat, const QString& path) {
    const QByteArray xml = VatReturnXml(db, vat);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(xml) != xml.size() || !file.commit()) {
        throw UserError(QStringLiteral("Datoteka ") + path +
                        QStringLiteral(" se ne može zapisati: ") + file.errorString());
    }
}

}  // namespace zodra::books
