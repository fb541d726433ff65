#include "books/UraXml.h"

#include <QRegularExpression>
#include <QUuid>
#include <QXmlStreamWriter>

#include "books/UraBook.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/Statement.h"

namespace zodra::books {

QString UraFormSchema::Namespace() {
    return QStringLiteral("http://e-porezna.porezna-uprava.hr/sheme/zahtjevi/ObrazacURA/v2-0");
}
QString UraFormSchema::MetadataNamespace() {
    return QStringLiteral("http://e-porezna.porezna-uprava.hr/sheme/Metapodaci/v2-0");
}
QString UraFormSchema::Version() {
    return QStringLiteral("2.0");
}
QString UraFormSchema::Conformance() {
    return QStringLiteral("ObrazacURA-v2-0");
}

namespace {

const QRegularExpression& OibPattern() {
    static const QRegularExpression oib(QStringLiteral("^\\d{11}$"));
    return oib;
}

QString Amount(double value) {
    return QString::number(RoundMoney(value), 'f', 2);
}

// "Ulica 12a" → street and house number; the number is the last word when it starts with a
// digit and has at most four characters.
struct Address {
    QString street;
    QString number;
};
std::optional<Address> SplitAddress(const QString& text) {
    static const QRegularExpression tail(QStringLiteral("^(.*\\S)\\s+(\\d[0-9A-Za-z/]{0,3})$"));
    const auto m = tail.match(text.trimmed());
    if (!m.hasMatch() || m.captured(1).size() < 2) {
        return std::nullopt;
    }
    return Address{m.captured(1), m.captured(2)};
}

struct Company {
    QString name, oib, street, number, place, activity, preparerFirst, preparerLast;
};

Company ReadCompany(Database& db, const QString& preparer) {
    Statement s(db, QStringLiteral("SELECT \"NAZIV\", \"OIB\", \"ADRESA\", \"MJESTO\", "
                                   "\"DJELATNOST\", \"DIREKTOR\" FROM \"PODACI_FIRME\" ORDER BY "
                                   "\"ID\""));
    s.Exec();
    if (!s.Next()) {
        throw UserError(QStringLiteral("Podaci firme nisu upisani."));
    }
    Company c;
    c.name = s.Text(0).trimmed();
    c.oib = s.Text(1).trimmed();
    const QString address = s.Text(2).trimmed();
    c.place = s.Text(3).trimmed();
    c.activity = s.Text(4).trimmed();
    const QString person = preparer.trimmed().isEmpty() ? s.Text(5).trimmed() : preparer.trimmed();
    if (!OibPattern().match(c.oib).hasMatch()) {
        throw UserError(
            QStringLiteral("U podacima firme nije upisan ispravan OIB (11 znamenki). "
                           "Obrazac U-RA se ne može izraditi."));
    }
    if (c.name.size() < 2 || c.name.size() > 128) {
        throw UserError(
            QStringLiteral("U podacima firme nije upisan naziv (2 do 128 znakova). "
                           "Obrazac U-RA se ne može izraditi."));
    }
    const auto split = SplitAddress(address);
    if (!split || split->street.size() > 128) {
        throw UserError(
            QStringLiteral("U podacima firme adresa nije upisana kao ulica i kućni "
                           "broj (npr. \"Ilica 12\"). Obrazac U-RA se ne može "
                           "izraditi."));
    }
    c.street = split->street;
    c.number = split->number;
    if (c.place.size() < 2 || c.place.size() > 128) {
        throw UserError(
            QStringLiteral("U podacima firme nije upisano mjesto. Obrazac U-RA se ne "
                           "može izraditi."));
    }
    const qsizetype blank = person.lastIndexOf(QLatin1Char(' '));
    if (blank < 2 || person.size() - blank - 1 < 2) {
        throw UserError(
            QStringLiteral("Nije upisano ime i prezime osobe koja je sastavila "
                           "obrazac (u podacima firme: direktor). Obrazac U-RA se ne "
                           "može izraditi."));
    }
    c.preparerFirst = person.left(blank).trimmed();
    c.preparerLast = person.mid(blank + 1).trimmed();
    return c;
}

struct Sum {
    MoneyTotal base0, base5, base13, base25, total, tax, d5, n5, d13, n13, d25, n25;
};

}  // namespace

UraForm BuildUraForm(Database& db, const UraFormRequest& request) {
    const Company company = ReadCompany(db, request.preparer);
    UraForm form;
    QXmlStreamWriter w(&form.xml);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeDefaultNamespace(UraFormSchema::Namespace());
    w.writeStartElement(UraFormSchema::Namespace(), QStringLiteral("ObrazacURA"));
    w.writeAttribute(QStringLiteral("verzijaSheme"), UraFormSchema::Version());

    const QString meta = UraFormSchema::MetadataNamespace();
    w.writeStartElement(meta, QStringLiteral("Metapodaci"));
    auto dc = [&](const char* element, const QString& text, const char* term) {
        w.writeStartElement(meta, QString::fromLatin1(element));
        w.writeAttribute(QStringLiteral("dc"), QString::fromLatin1(term));
        w.writeCharacters(text);
        w.writeEndElement();
    };
    dc("Naslov", QStringLiteral("Knjiga primljenih (ulaznih) računa"),
       "http://purl.org/dc/elements/1.1/title");
    dc("Autor", company.preparerFirst + QLatin1Char(' ') + company.preparerLast,
       "http://purl.org/dc/elements/1.1/creator");
    dc("Datum", request.written.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")),
       "http://purl.org/dc/elements/1.1/date");
    dc("Format", QStringLiteral("text/xml"), "http://purl.org/dc/elements/1.1/format");
    dc("Jezik", QStringLiteral("hr-HR"), "http://purl.org/dc/elements/1.1/language");
    dc("Identifikator", QUuid::createUuid().toString(QUuid::WithoutBraces),
       "http://purl.org/dc/elements/1.1/identifier");
    dc("Uskladjenost", UraFormSchema::Conformance(), "http://purl.org/dc/terms/conformsTo");
    dc("Tip", QStringLiteral("Elektronički obrazac"), "http://purl.org/dc/elements/1.1/type");
    w.writeTextElement(meta, QStringLiteral("Adresant"),
                       QStringLiteral("Ministarstvo Financija, Porezna uprava, Zagreb"));
    w.writeEndElement();

    const QString ns = UraFormSchema::Namespace();
    auto text = [&](const char* element, const QString& value) {
        w.writeTextElement(ns, QString::fromLatin1(element), value);
    };
    w.writeStartElement(ns, QStringLiteral("Zaglavlje"));
    w.writeStartElement(ns, QStringLiteral("Razdoblje"));
    text("DatumOd", request.from.toString(Qt::ISODate));
    text("DatumDo", request.to.toString(Qt::ISODate));
    w.writeEndElement();
    w.writeStartElement(ns, QStringLiteral("Obveznik"));
    text("OIB", company.oib);
    text("Naziv", company.name);
    w.writeStartElement(ns, QStringLiteral("Adresa"));
    text("Mjesto", company.place);
    text("Ulica", company.street);
    text("Broj", company.number);
    w.writeEndElement();
    static const QRegularExpression activityCode(QStringLiteral("^\\d{4}$"));
    if (activityCode.match(company.activity).hasMatch()) {
        text("SifraDjelatnosti", company.activity);
    }
    w.writeEndElement();
    w.writeStartElement(ns, QStringLiteral("ObracunSastavio"));
    text("Ime", company.preparerFirst);
    text("Prezime", company.preparerLast);
    w.writeEndElement();
    w.writeEndElement();

    w.writeStartElement(ns, QStringLiteral("Tijelo"));
    w.writeStartElement(ns, QStringLiteral("Racuni"));
    Statement s(
        db,
        QStringLiteral("SELECT k.\"Redni broj\", k.\"Račun broj\", k.\"Račun datum\", p.\"NAZIV\", "
                       "p.\"ADRESA\", p.\"MJESTO\", p.\"OIB\", k.\"Osnovica0\", k.\"Osnovica5\", "
                       "k.\"Osnovica13\", k.\"Osnovica25\", k.\"Iznos računa sa porezom\", "
                       "k.\"PretporezOdbiti5\", k.\"PretporezNeOdbiti5\", "
                       "k.\"PretporezOdbiti13\", k.\"PretporezNeOdbiti13\", "
                       "k.\"PretporezOdbiti25\", k.\"PretporezNeOdbiti25\", k.\"Osnovica10\" + "
                       "k.\"Osnovica22\" + k.\"Osnovica23\", k.\"PretporezUkupno10\" + "
                       "k.\"PretporezUkupno22\" + k.\"PretporezUkupno23\" FROM "
                       "\"KNJIGE_ULAZNIH_RACUNA\" k LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = "
                       "k.\"Šifra dobavljača\" WHERE k.\"URA\" = ? AND k.\"GODINA\" = ? AND "
                       "k.\"Račun datum\" >= ? AND k.\"Račun datum\" <= ? ORDER BY "
                       "k.\"Redni broj\""));
    s.Exec({request.book, request.year, request.from, request.to});
    Sum sum;
    while (s.Next()) {
        const int number = s.Int(0);
        const QString no = QString::number(number);
        if (s.Double(18) != 0 || s.Double(19) != 0) {
            throw UserError(QStringLiteral("Ulazni račun broj ") + no +
                            QStringLiteral(" ima iznose po stopi 10, 22 ili 23 %, koje obrazac "
                                           "U-RA nema. Obrazac se ne može izraditi."));
        }
        const QString supplier = s.Text(3).trimmed();
        const QString oib = s.Text(6).trimmed();
        if (!OibPattern().match(oib).hasMatch()) {
            throw UserError(QStringLiteral("Dobavljač \"") + supplier +
                            QStringLiteral("\" (ulazni račun broj ") + no +
                            QStringLiteral(") nema upisan ispravan OIB. Obrazac U-RA se ne može "
                                           "izraditi."));
        }
        QString seat = s.Text(4).trimmed();
        if (!s.Text(5).trimmed().isEmpty()) {
            seat += (seat.isEmpty() ? QString() : QStringLiteral(", ")) + s.Text(5).trimmed();
        }
        const double base0 = RoundMoney(s.Double(7)), base5 = RoundMoney(s.Double(8)),
                     base13 = RoundMoney(s.Double(9)), base25 = RoundMoney(s.Double(10)),
                     total = RoundMoney(s.Double(11)), d5 = RoundMoney(s.Double(12)),
                     n5 = RoundMoney(s.Double(13)), d13 = RoundMoney(s.Double(14)),
                     n13 = RoundMoney(s.Double(15)), d25 = RoundMoney(s.Double(16)),
                     n25 = RoundMoney(s.Double(17));
        MoneyTotal tax;
        for (double t : {d5, n5, d13, n13, d25, n25}) {
            tax += t;
        }
        w.writeStartElement(ns, QStringLiteral("R"));
        text("R1", no);
        text("R2", s.Text(1).trimmed());
        text("R3", sqlvalue::ToDate(s.Value(2)).toString(Qt::ISODate));
        text("R4", supplier.left(128));
        text("R5", seat.left(200));
        text("R6", QStringLiteral("1"));
        text("R7", oib);
        text("R19", Amount(base0));
        text("R8", Amount(base5));
        text("R9", Amount(base13));
        text("R10", Amount(base25));
        text("R11", Amount(total));
        text("R12", Amount(tax.Value()));
        text("R13", Amount(d5));
        text("R14", Amount(n5));
        text("R15", Amount(d13));
        text("R16", Amount(n13));
        text("R17", Amount(d25));
        text("R18", Amount(n25));
        w.writeEndElement();
        ++form.totals.invoices;
        sum.base0 += base0;
        sum.base5 += base5;
        sum.base13 += base13;
        sum.base25 += base25;
        sum.total += total;
        sum.tax += tax.Value();
        sum.d5 += d5;
        sum.n5 += n5;
        sum.d13 += d13;
        sum.n13 += n13;
        sum.d25 += d25;
        sum.n25 += n25;
    }
    w.writeEndElement();
    UraFormTotals& t = form.totals;
    t.base0 = sum.base0.Value();
    t.base5 = sum.base5.Value();
    t.base13 = sum.base13.Value();
    t.base25 = sum.base25.Value();
    t.total = sum.total.Value();
    t.tax = sum.tax.Value();
    t.deductible5 = sum.d5.Value();
    t.nonDeductible5 = sum.n5.Value();
    t.deductible13 = sum.d13.Value();
    t.nonDeductible13 = sum.n13.Value();
    t.deductible25 = sum.d25.Value();
    t.nonDeductible25 = sum.n25.Value();
    w.writeStartElement(ns, QStringLiteral("Ukupno"));
    text("U19", Amount(t.base0));
    text("U8", Amount(t.base5));
    text("U9", Amount(t.base13));
    text("U10", Amount(t.base25));
    text("U11", Amount(t.total));
    text("U12", Amount(t.tax));
    text("U13", Amount(t.deductible5));
    text("U14", Amount(t.nonDeductible5));
    text("U15", Amount(t.deductible13));
    text("U16", Amount(t.nonDeductible13));
    text("U17", Amount(t.deductible25));
    text("U18", Amount(t.nonDeductible25));
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return form;
}

}  // namespace zodra::books
