#include "fiscal/EInvoiceData.h"

#include <QHash>
#include <QRegularExpression>
#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "fiscal/FiscalSettings.h"
#include "fiscal/Outbox.h"
#include "sales/InvoicePrint.h"

namespace zodra::fiscal {

namespace {

QString Number(int n) {
    return QString::number(n);
}

QString Setting(Database& db, const QString& name) {
    return db
        .Scalar(QStringLiteral("SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
                {name})
        .toString()
        .trimmed();
}

// Units as the company writes them ("kom", "kg" …) to the codes of UN/ECE recommendation 20;
// anything else is counted in pieces.
QString UnitCode(const QString& unit) {
    static const QHash<QString, QString> codes = {
        {QStringLiteral("kom"), QStringLiteral("H87")},
        {QStringLiteral("kg"), QStringLiteral("KGM")},
        {QStringLiteral("g"), QStringLiteral("GRM")},
        {QStringLiteral("t"), QStringLiteral("TNE")},
        {QStringLiteral("l"), QStringLiteral("LTR")},
        {QStringLiteral("m"), QStringLiteral("MTR")},
        {QStringLiteral("m2"), QStringLiteral("MTK")},
        {QStringLiteral("m3"), QStringLiteral("MTQ")},
        {QStringLiteral("h"), QStringLiteral("HUR")},
        {QStringLiteral("sat"), QStringLiteral("HUR")},
        {QStringLiteral("pak"), QStringLiteral("XPK")},
        {QStringLiteral("kut"), QStringLiteral("XBX")},
        {QStringLiteral("par"), QStringLiteral("PR")},
    };
    return codes.value(unit.trimmed().toLower(), QStringLiteral("H87"));
}

// A tax group as the register holds it: its kind of supply (PDV_VRSTE) decides the category.
struct TaxGroupKind {
    int supplyCode = 0;  // PDV_VRSTE.SIFRA, 0 when the group has none
    int kind = 0;        // PDV_VRSTE.VRSTA
};

QHash<QString, TaxGroupKind> TaxGroupKinds(Database& db) {
    QHash<QString, TaxGroupKind> kinds;
    Statement s = db.Prepare(
        QStringLiteral("SELECT g.\"NAZIV\", g.\"PDV_VRSTA\", k.\"VRSTA\" FROM \"GRUPE_POREZA\" g "
                       "LEFT JOIN \"PDV_VRSTE\" k ON k.\"SIFRA\" = g.\"PDV_VRSTA\" "
                       "ORDER BY g.\"SIFRA\""));
    s.Exec();
    while (s.Next()) {
        if (!kinds.contains(s.Text(0))) {
            kinds.insert(s.Text(0), TaxGroupKind{s.IsNull(1) ? 0 : s.Int(1), s.Int(2)});
        }
    }
    return kinds;
}

EInvoiceTaxCategory Category(const QString& code, const QString& mark, double rate,
                             const QString& reason = QString()) {
    return EInvoiceTaxCategory{code, mark, rate, reason};
}

const QString kExempt = QStringLiteral("Oslobođeno PDV-a");

// The category of a line: the sales terms' taxation type first (export, exemptions, zero rate,
// outside the scope), else the kind of supply of the line's tax group, else its rate.
EInvoiceTaxCategory CategoryOf(int taxationType, const TaxGroupKind* group, double rate) {
    switch (taxationType) {
        case 7:
            return Category(QStringLiteral("O"), QStringLiteral("HR:O"), 0,
                            QStringLiteral("Ne podliježe oporezivanju PDV-om"));
        case 8:
            return Category(QStringLiteral("G"), QStringLiteral("HR:G"), 0,
                            QStringLiteral("Oslobođeno PDV-a, izvoz (čl. 45. Zakona o PDV-u)"));
        case 13:
            return Category(QStringLiteral("Z"), QStringLiteral("HR:Z"), 0);
        case 14:
            return Category(
                QStringLiteral("E"), QStringLiteral("HR:E"), 0,
                QStringLiteral("Oslobođeno PDV-a u tuzemstvu (čl. 39. Zakona o PDV-u)"));
        case 9:
        case 15:
            return Category(QStringLiteral("E"), QStringLiteral("HR:E"), 0, kExempt);
        default:
            break;
    }
    if (group && group->supplyCode != 0) {
        switch (group->kind) {
            case 2:
                if (group->supplyCode == 10) {
                    return Category(QStringLiteral("Z"), QStringLiteral("HR:Z"), 0);
                }
                return Category(
                    QStringLiteral("E"), QStringLiteral("HR:E"), 0,
                    group->supplyCode == 5
                        ? QStringLiteral("Oslobođeno PDV-a u tuzemstvu (čl. 39. Zakona o PDV-u)")
                        : kExempt);
            case 3:
                return Category(QStringLiteral("G"), QStringLiteral("HR:G"), 0,
                                QStringLiteral("Oslobođeno PDV-a, izvoz (čl. 45. Zakona o PDV-u)"));
            case 4:
                if (group->supplyCode == 8) {
                    return Category(QStringLiteral("AE"), QStringLiteral("HR:AE"), 0,
                                    QStringLiteral("Prijenos porezne obveze, usluga unutar EU "
                                                   "(čl. 17. st. 1. Zakona o PDV-u)"));
                }
                return Category(QStringLiteral("K"), QStringLiteral("HR:K"), 0,
                                QStringLiteral("Oslobođeno PDV-a, isporuka dobara unutar EU "
                                               "(čl. 41. Zakona o PDV-u)"));
            case 5:
                return Category(QStringLiteral("AE"), QStringLiteral("HR:AE"), 0,
                                QStringLiteral("Prijenos porezne obveze (čl. 75. st. 3. "
                                               "Zakona o PDV-u)"));
            default:
                break;
        }
    }
    if (RoundDecimal(rate, 4) == 0) {
        return Category(QStringLiteral("E"), QStringLiteral("HR:E"), 0, kExempt);
    }
    QString mark;
    for (int known : {25, 13, 5}) {
        if (RoundDecimal(rate, 4) == known) {
            mark = QStringLiteral("HR:PDV") + Number(known);
        }
    }
    return Category(QStringLiteral("S"), mark, rate);
}

void Refuse(const QString& message) {
    throw UserError(message);
}

void ReadHeader(Database& db, EInvoiceData& e, int* partner, QString* user, QString* account,
                QString* reference) {
    Statement h = db.Prepare(QStringLiteral(
        "SELECT \"DATUM\", \"DATUM_I_VRIJEME_KNJIZENJA\", \"DOSPIJECE RACUNA\", \"ROK PLACANJA\", "
        "\"DATUM ISPORUKE\", \"STORNO\", \"DATUM_STORNA\", \"SIFRA PARTNERA\", \"KORISNIK\", "
        "\"ZIRO_RACUN\", \"POZIV NA BROJ\", \"NACIN PLACANJA\", \"NARUDZBENICA\", \"VEC PLACENO\", "
        "\"VALUTA\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? "
        "AND \"BROJ RACUNA\" = ?"));
    h.Exec({e.warehouse, e.book, e.year, e.number});
    if (!h.Next()) {
        Refuse(QStringLiteral("Ne postoji proknjiženi račun broj ") + Number(e.number));
    }
    if (!h.IsNull(14) && h.Int(14) != 1) {
        Refuse(QStringLiteral("Račun broj ") + Number(e.number) +
               QStringLiteral(" izdan je u stranoj valuti; eRačun se izdaje samo u eurima."));
    }
    e.issueDate = h.Value(0).toDate();
    const QDateTime posted = h.Value(1).toDateTime();
    e.issueTime = posted.isValid() ? posted.time() : QTime(0, 0);
    e.issueTime = QTime(e.issueTime.hour(), e.issueTime.minute(), e.issueTime.second());
    e.dueDate = h.Value(2).toDate();
    if (!e.dueDate.isValid()) {
        e.dueDate = e.issueDate.addDays(h.IsNull(3) ? 0 : h.Int(3));
    }
    e.deliveryDate = h.Value(4).toDate();
    e.cancelled = h.Value(5).toBool();
    e.cancellationDate = h.Value(6).toDate();
    *partner = h.IsNull(7) ? 0 : h.Int(7);
    *user = h.Text(8).trimmed();
    *account = h.Text(9).trimmed();
    *reference = h.Text(10);
    e.paymentNote = h.Text(11).trimmed();
    e.orderReference = h.Text(12).trimmed().remove(QRegularExpression(QStringLiteral("\\s")));
    e.prepaid = RoundMoney(h.IsNull(13) ? 0 : h.Double(13));
}

void ReadSeller(Database& db, EInvoiceData& e) {
    Statement c = db.Prepare(
        QStringLiteral("SELECT \"NAZIV\", \"OIB\", \"ADRESA\", \"MJESTO\", \"ZIRO_RACUN\", "
                       "\"TEKST O REGISTRACIJI\" FROM \"PODACI_FIRME\" ORDER BY \"ID\" LIMIT 1"));
    c.Exec();
    if (!c.Next() || c.Text(0).trimmed().isEmpty()) {
        Refuse(QStringLiteral("Naziv poduzeća nije upisan u podacima o poduzeću."));
    }
    e.seller.name = c.Text(0).trimmed();
    e.seller.oib = c.Text(1).trimmed();
    e.seller.street = c.Text(2).trimmed();
    SplitPlace(c.Text(3), &e.seller.postalCode, &e.seller.city);
    e.seller.legalForm = c.Text(5).simplified();
    if (!IsValidOib(e.seller.oib)) {
        Refuse(QStringLiteral("OIB poduzeća nije upisan ili nije ispravan (podaci o poduzeću)."));
    }
    if (e.iban.isEmpty()) {
        e.iban = c.Text(4);
    }
    e.iban.remove(QLatin1Char(' '));
    e.iban = e.iban.toUpper();
    if (e.iban.isEmpty()) {
        Refuse(QStringLiteral("Poduzeće nema upisan IBAN žiro računa (podaci o poduzeću)."));
    }
    if (!IsValidIban(e.iban)) {
        Refuse(QStringLiteral("IBAN žiro računa ") + e.iban + QStringLiteral(" nije ispravan."));
    }
}

void ReadBuyer(Database& db, EInvoiceData& e, int partner) {
    Statement p = db.Prepare(QStringLiteral(
        "SELECT \"NAZIV\", \"OIB\", \"ADRESA\", \"MJESTO\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"));
    p.Exec({partner});
    if (!p.Next()) {
        Refuse(QStringLiteral("Račun broj ") + Number(e.number) +
               QStringLiteral(" nema kupca iz šifarnika partnera."));
    }
    e.buyer.name = p.Text(0).trimmed();
    e.buyer.oib = p.Text(1).trimmed();
    e.buyer.street = p.Text(2).trimmed();
    SplitPlace(p.Text(3), &e.buyer.postalCode, &e.buyer.city);
    if (e.buyer.oib.isEmpty()) {
        Refuse(QStringLiteral("Kupac ") + e.buyer.name +
               QStringLiteral(" nema upisan OIB; eRačun se izdaje samo poslovnim subjektima."));
    }
    if (!IsValidOib(e.buyer.oib)) {
        Refuse(QStringLiteral("OIB kupca ") + e.buyer.name + QStringLiteral(" (") + e.buyer.oib +
               QStringLiteral(") nije ispravan."));
    }
    if (e.buyer.city.isEmpty()) {
        Refuse(QStringLiteral("Kupac ") + e.buyer.name + QStringLiteral(" nema upisano mjesto."));
    }
}

void ReadLines(Database& db, EInvoiceData& e) {
    const QString defaultKpd = Setting(db, DefaultKpdSetting());
    const QHash<QString, TaxGroupKind> groups = TaxGroupKinds(db);
    Statement s = db.Prepare(QStringLiteral(
        "SELECT s.\"TIP_STAVKE\", COALESCE(a.\"NAZIV\", u.\"NAZIV\", m.\"NAZIV\"), "
        "COALESCE(a.\"JED_M\", u.\"JED_M\", m.\"JED_M\"), a.\"KPD\", s.\"KOLICINA\", "
        "s.\"CIJENA_\", s.\"VRIJEDNOST_\", s.\"GRUPA_POREZA\", s.\"POREZ_%\", s.\"POREZ_IZNOS\", "
        "s.\"TIP_OPOREZIVANJA\", s.\"OPIS\" FROM \"STAVKE_RACUNA\" s "
        "LEFT JOIN \"ARTIKLI\" a ON s.\"TIP_STAVKE\" = 'ART' AND a.\"SIFRA\" = s.\"SIFRA\" "
        "LEFT JOIN \"USLUGE\" u ON s.\"TIP_STAVKE\" = 'USL' AND u.\"SIFRA\" = s.\"SIFRA\" "
        "LEFT JOIN \"AMBALAZA\" m ON s.\"TIP_STAVKE\" IN ('AMB', 'AMP') AND "
        "m.\"SIFRA\" = s.\"SIFRA\" WHERE s.\"SKLADISTE\" = ? AND s.\"IRA\" = ? AND "
        "s.\"GODINA\" = ? AND s.\"BROJ_RACUNA\" = ? ORDER BY s.\"RBR_STAVKE\""));
    s.Exec({e.warehouse, e.book, e.year, e.number});
    MoneyTotal lineTotal, taxTotal;
    while (s.Next()) {
        EInvoiceLine line;
        line.position = static_cast<int>(e.lines.size()) + 1;
        line.name = s.Text(1).trimmed();
        line.description = s.Text(11).trimmed();
        if (line.name.isEmpty()) {
            line.name = line.description;
            line.description.clear();
        }
        line.unitCode = UnitCode(s.Text(2));
        line.kpd = s.Text(3).trimmed();
        if (line.kpd.isEmpty()) {
            line.kpd = defaultKpd;
        }
        if (!IsKpdCode(line.kpd)) {
            Refuse(QStringLiteral("Stavka ") + Number(line.position) + QStringLiteral(" (") +
                   line.name +
                   QStringLiteral(") nema ispravnu KPD šifru; upišite je na artiklu ili zadanu "
                                  "KPD šifru u postavkama eRačuna."));
        }
        line.quantity = RoundQuantity(s.Double(4));
        line.price = RoundDecimal(s.Double(5), 6);
        line.amount = RoundMoney(s.Double(6));
        line.tax = RoundMoney(s.Double(9));
        const auto group = groups.constFind(s.Text(7));
        line.category =
            CategoryOf(s.IsNull(10) ? 0 : s.Int(10),
                       group == groups.constEnd() ? nullptr : &group.value(), s.Double(8));
        if (line.category.code != QLatin1String("S") && line.tax != 0) {
            line.category = CategoryOf(0, nullptr, s.Double(8));
        }
        lineTotal += line.amount;
        taxTotal += line.tax;
        auto subtotal = std::find_if(
            e.taxes.begin(), e.taxes.end(),
            [&line](const EInvoiceTaxSubtotal& t) { return t.category == line.category; });
        if (subtotal == e.taxes.end()) {
            e.taxes.push_back(EInvoiceTaxSubtotal{line.category, 0, 0});
            subtotal = e.taxes.end() - 1;
        }
        MoneyTotal taxable, tax;
        taxable += subtotal->taxable;
        taxable += line.amount;
        tax += subtotal->tax;
        tax += line.tax;
        subtotal->taxable = taxable.Value();
        subtotal->tax = tax.Value();
        e.lines.push_back(line);
    }
    if (e.lines.empty()) {
        Refuse(QStringLiteral("Račun broj ") + Number(e.number) +
               QStringLiteral(" nema niti jedne stavke."));
    }
    e.lineTotal = lineTotal.Value();
    e.taxTotal = taxTotal.Value();
}

}  // namespace

bool EInvoiceTaxCategory::operator==(const EInvoiceTaxCategory& other) const {
    return code == other.code && mark == other.mark &&
           RoundDecimal(rate, 4) == RoundDecimal(other.rate, 4) &&
           exemptionReason == other.exemptionReason;
}

double EInvoiceData::Payable() const {
    MoneyTotal payable;
    payable += lineTotal;
    payable += taxTotal;
    payable += -prepaid;
    return payable.Value();
}

QString DefaultKpdSetting() {
    return QStringLiteral("KPD zadana šifra");
}

QString InvoiceOperator(Database& db, int warehouse, int book, int year, int number) {
    const QVariant user = db.Scalar(
        QStringLiteral("SELECT COALESCE(\"KORISNIK\", '') FROM \"RACUNI\" WHERE \"SKLADISTE\" = ? "
                       "AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?"),
        {warehouse, book, year, number});
    if (!user.isValid() || user.isNull()) {
        return {};
    }
    const QString name = user.toString().trimmed();
    return name.isEmpty() ? QStringLiteral("admin") : name;
}

bool IsKpdCode(const QString& code) {
    static const QRegularExpression kpd(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d$"));
    return kpd.match(code).hasMatch();
}

void SplitPlace(const QString& place, QString* postalCode, QString* city) {
    static const QRegularExpression numbered(QStringLiteral("^\\s*(\\d{4,6})\\s+(.*\\S)\\s*$"));
    const QRegularExpressionMatch m = numbered.match(place);
    *postalCode = m.hasMatch() ? m.captured(1) : QString();
    *city = m.hasMatch() ? m.captured(2) : place.trimmed();
}

EInvoiceData ReadEInvoiceData(Database& db, int warehouse, int book, int year, int number) {
    EInvoiceData e;
    e.warehouse = warehouse;
    e.book = book;
    e.year = year;
    e.number = number;
    e.id = EInvoiceId(warehouse, book, year, number);
    int partner = 0;
    QString user, typedReference;
    ReadHeader(db, e, &partner, &user, &e.iban, &typedReference);
    ReadSeller(db, e);
    ReadBuyer(db, e, partner);
    e.operatorName = user.isEmpty() ? QStringLiteral("admin") : user;
    e.operatorOib = OperatorOib(db, e.operatorName);  // the same OIB the receipts carry
    if (!IsValidOib(e.operatorOib)) {
        Refuse(QStringLiteral("Operater ") + e.operatorName +
               QStringLiteral(" nema upisan ispravan OIB (postavke eRačuna)."));
    }
    e.paymentReference = sales::PaymentReference(typedReference, number, book, year);
    ReadLines(db, e);
    return e;
}

}  // namespace zodra::fiscal
