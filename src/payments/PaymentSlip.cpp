#include "payments/PaymentSlip.h"

#include <QRegularExpression>
#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Statement.h"
#include "payments/Hub3Barcode.h"
#include "sales/InvoicePrint.h"

namespace zodra::payments {

namespace {

// Fifteen digits of cents.
constexpr qint64 kMaxCents = 999999999999999LL;

QString CompactIban(const QString& iban) {
    QString compact = iban.toUpper();
    compact.remove(QRegularExpression(QStringLiteral("\\s")));
    return compact;
}

// The letters of ISO 8859-2 the slips meet: the Croatian ones and the accented letters that
// sit where ISO 8859-1 has them.
char Latin2(QChar c) {
    const char16_t u = c.unicode();
    if (u >= 0x20 && u < 0x7F) {
        return static_cast<char>(u);
    }
    switch (u) {
        case u'Č':
            return '\xC8';
        case u'č':
            return '\xE8';
        case u'Ć':
            return '\xC6';
        case u'ć':
            return '\xE6';
        case u'Đ':
            return '\xD0';
        case u'đ':
            return '\xF0';
        case u'Š':
            return '\xA9';
        case u'š':
            return '\xB9';
        case u'Ž':
            return '\xAE';
        case u'ž':
            return '\xBE';
        default:
            break;
    }
    static const QString shared = QStringLiteral("ÁÂÄÇÉËÍÎÓÔÖ×ÚÜÝßáâäçéëíîóôö÷úüý");
    if (shared.contains(c)) {
        return static_cast<char>(u);
    }
    return '?';
}

// A text field of the block: one line, blanks at the ends trimmed, cut to its length.
QByteArray Field(const QString& text, int length) {
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    line = line.trimmed().left(length);
    QByteArray bytes;
    bytes.reserve(line.size());
    for (const QChar c : line) {
        bytes.append(Latin2(c));
    }
    return bytes;
}

qint64 Cents(double amount) {
    return std::llround(RoundMoney(amount) * 100.0);
}

void Refuse(const QString& reason) {
    throw UserError(QStringLiteral("Uplatnica se ne može ispisati: ") + reason);
}

struct Company {
    SlipParty party;
    QString iban;
};

Company ReadCompany(Database& db) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"ZIRO_RACUN\" FROM \"PODACI_FIRME\" "
        "ORDER BY \"ID\" LIMIT 1"));
    s.Exec();
    Company company;
    if (s.Next()) {
        company.party = {s.Text(0), s.Text(1), s.Text(2)};
        company.iban = s.Text(3);
    }
    return company;
}

}  // namespace

void CheckPaymentSlip(const PaymentSlip& slip) {
    const QString iban = CompactIban(slip.iban);
    if (iban.isEmpty()) {
        Refuse(QStringLiteral("primatelj ") + slip.payee.name.trimmed() +
               QStringLiteral(" nema upisan IBAN."));
    }
    if (iban.size() > kHub3Iban || !IbanValid(iban)) {
        Refuse(QStringLiteral("IBAN primatelja ") + slip.iban.trimmed() +
               QStringLiteral(" nije ispravan."));
    }
    if (!std::isfinite(slip.amount) || Cents(slip.amount) <= 0 ||
        std::fabs(slip.amount) * 100.0 > static_cast<double>(kMaxCents)) {
        Refuse(QStringLiteral("iznos mora biti veći od nule i manji od 10000000000000,00."));
    }
    static const QRegularExpression model(QStringLiteral("^HR[0-9]{2}$"));
    if (!model.match(slip.model).hasMatch()) {
        Refuse(QStringLiteral("model ") + slip.model + QStringLiteral(" nije ispravan."));
    }
    static const QRegularExpression reference(QStringLiteral("^[0-9-]{0,22}$"));
    if (!reference.match(slip.reference).hasMatch()) {
        Refuse(QStringLiteral("poziv na broj ") + slip.reference +
               QStringLiteral(" smije imati samo brojke i crtice, najviše 22 znaka."));
    }
    static const QRegularExpression purpose(QStringLiteral("^[A-Z]{4}$"));
    if (!purpose.match(slip.purpose).hasMatch()) {
        Refuse(QStringLiteral("šifra namjene ") + slip.purpose + QStringLiteral(" nije ispravna."));
    }
}

QByteArray Hub3DataBlock(const PaymentSlip& slip) {
    CheckPaymentSlip(slip);
    const QList<QByteArray> fields = {
        QByteArrayLiteral("HRVHUB30"),
        QByteArrayLiteral("EUR"),
        QByteArray::number(Cents(slip.amount)).rightJustified(15, '0'),
        Field(slip.payer.name, kHub3PayerName),
        Field(slip.payer.address, kHub3PayerAddress),
        Field(slip.payer.place, kHub3PayerPlace),
        Field(slip.payee.name, kHub3PayeeName),
        Field(slip.payee.address, kHub3PayeeAddress),
        Field(slip.payee.place, kHub3PayeePlace),
        CompactIban(slip.iban).toLatin1(),
        slip.model.toLatin1(),
        slip.reference.toLatin1(),
        slip.purpose.toLatin1(),
        Field(slip.description, kHub3Description),
    };
    QByteArray block;
    for (const QByteArray& field : fields) {
        block += field + '\n';
    }
    return block;
}

QString PaymentSlipFile(SlipKind kind) {
    switch (kind) {
        case SlipKind::OutputInvoiceOrder:
            return QStringLiteral("ira_virman.rpt");
        case SlipKind::OutputInvoiceCash:
            return QStringLiteral("ira_uplatnica.rpt");
        case SlipKind::InputInvoiceOrder:
            return QStringLiteral("ura_virman.rpt");
    }
    return {};
}

std::vector<PaymentSlip> OutputInvoiceSlips(Database& db, const OutputSlipRange& range) {
    const Company company = ReadCompany(db);
    Statement s = db.Prepare(QStringLiteral(
        "SELECT r.\"BROJ RACUNA\", r.\"POZIV NA BROJ\", r.\"ZIRO_RACUN\", p.\"NAZIV\", "
        "p.\"ADRESA\", p.\"MJESTO\", (SELECT SUM(s.\"UKUPNO_\") FROM \"STAVKE_RACUNA\" s WHERE "
        "s.\"SKLADISTE\" = r.\"SKLADISTE\" AND s.\"IRA\" = r.\"IRA\" AND s.\"GODINA\" = "
        "r.\"GODINA\" AND s.\"BROJ_RACUNA\" = r.\"BROJ RACUNA\"), (SELECT SUM(n.\"Iznos\") FROM "
        "\"NAPLATA\" n WHERE n.\"Skladište\" = r.\"SKLADISTE\" AND n.\"IRA\" = r.\"IRA\" AND "
        "n.\"Godina\" = r.\"GODINA\" AND n.\"Broj računa\" = r.\"BROJ RACUNA\") FROM \"RACUNI\" r "
        "LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = r.\"SIFRA PARTNERA\" WHERE r.\"SKLADISTE\" = ? "
        "AND r.\"IRA\" = ? AND r.\"GODINA\" = ? AND r.\"BROJ RACUNA\" >= ? AND r.\"BROJ RACUNA\" "
        "<= ? AND r.\"DATUM\" >= ? AND r.\"DATUM\" <= ? AND r.\"STORNO\" = ? ORDER BY "
        "r.\"BROJ RACUNA\""));
    s.Exec({range.warehouse, range.book, range.year, range.firstNumber, range.lastNumber,
            range.from, range.to, false});
    std::vector<PaymentSlip> slips;
    while (s.Next()) {
        const double open = RoundMoney(s.Double(6)) - RoundMoney(s.Double(7));
        if (RoundMoney(open) <= 0) {
            continue;
        }
        const int number = s.Int(0);
        PaymentSlip slip;
        slip.amount = open;
        slip.payer = {s.Text(3), s.Text(4), s.Text(5)};
        slip.payee = company.party;
        // An invoice that names one of the company's accounts is paid to that one.
        slip.iban = IbanValid(s.Text(2)) ? s.Text(2) : company.iban;
        const QString reference =
            sales::PaymentReference(s.Text(1), number, range.book, range.year);
        slip.model = reference.left(4);
        slip.reference = reference.mid(5);
        slip.purpose = QStringLiteral("GDSV");
        slip.description = QStringLiteral("Račun br. ") + QString::number(number) +
                           QLatin1Char('-') + QString::number(range.book) + QLatin1Char('-') +
                           QString::number(range.year);
        slips.push_back(slip);
    }
    return slips;
}

std::vector<PaymentSlip> InputInvoiceSlips(Database& db, int book, int year, int first, int last) {
    const Company company = ReadCompany(db);
    Statement s = db.Prepare(QStringLiteral(
        "SELECT k.\"Račun broj\", k.\"Iznos računa sa porezom\", p.\"NAZIV\", p.\"ADRESA\", "
        "p.\"MJESTO\", p.\"ZIRO_RACUN\", (SELECT SUM(pl.\"Iznos\") FROM \"PLACANJA\" pl WHERE "
        "pl.\"URA\" = k.\"URA\" AND pl.\"GODINA\" = k.\"GODINA\" AND pl.\"Redni broj knjige "
        "UFA\" = k.\"Redni broj\") FROM \"KNJIGE_ULAZNIH_RACUNA\" k LEFT JOIN \"PARTNERI\" p ON "
        "p.\"SIFRA\" = k.\"Šifra dobavljača\" WHERE k.\"URA\" = ? AND k.\"GODINA\" = ? AND "
        "k.\"Redni broj\" >= ? AND k.\"Redni broj\" <= ? ORDER BY k.\"Redni broj\""));
    s.Exec({book, year, first, last});
    std::vector<PaymentSlip> slips;
    while (s.Next()) {
        const double open = RoundMoney(s.Double(1)) - RoundMoney(s.Double(6));
        if (RoundMoney(open) <= 0) {
            continue;
        }
        PaymentSlip slip;
        slip.amount = open;
        slip.payer = company.party;
        slip.payee = {s.Text(2), s.Text(3), s.Text(4)};
        slip.iban = s.Text(5);
        slip.model = QStringLiteral("HR99");
        slip.purpose = QStringLiteral("SUPP");
        slip.description = QStringLiteral("Plaćanje po računu br. ") + s.Text(0);
        slips.push_back(slip);
    }
    return slips;
}

reports::ReportRequest PaymentSlipRequest(SlipKind kind, const std::vector<PaymentSlip>& slips) {
    if (slips.empty()) {
        throw UserError(QStringLiteral("Nema neplaćenih računa za ispis uplatnica."));
    }
    // The slips are the program's own rows of bound values, so names and texts never become
    // SQL. Both engines name the columns of VALUES column1, column2 …
    static const QStringList names = {QStringLiteral("Rbr"),
                                      QStringLiteral("Iznos"),
                                      QStringLiteral("Platitelj"),
                                      QStringLiteral("PlatiteljAdresa"),
                                      QStringLiteral("PlatiteljMjesto"),
                                      QStringLiteral("Primatelj"),
                                      QStringLiteral("PrimateljAdresa"),
                                      QStringLiteral("PrimateljMjesto"),
                                      QStringLiteral("IBAN"),
                                      QStringLiteral("Model"),
                                      QStringLiteral("PozivNaBroj"),
                                      QStringLiteral("SifraNamjene"),
                                      QStringLiteral("Opis"),
                                      QStringLiteral("Barkod")};
    QString row = QStringLiteral("(CAST(? AS INTEGER), CAST(? AS DOUBLE PRECISION)");
    for (qsizetype i = 2; i < names.size(); ++i) {
        row += QStringLiteral(", CAST(? AS TEXT)");
    }
    row += QLatin1Char(')');
    QString select;
    for (qsizetype i = 0; i < names.size(); ++i) {
        select += (i == 0 ? QStringLiteral("SELECT ") : QStringLiteral(", ")) +
                  QStringLiteral("v.\"column") + QString::number(i + 1) +
                  QStringLiteral("\" AS \"") + names.at(i) + QLatin1Char('"');
    }
    reports::ProgramQuery query;
    int n = 0;
    for (const PaymentSlip& slip : slips) {
        const QByteArray block = Hub3DataBlock(slip);
        query.sql += (n > 0 ? QStringLiteral(", ") : QString()) + row;
        query.values << ++n << RoundMoney(slip.amount) << slip.payer.name << slip.payer.address
                     << slip.payer.place << slip.payee.name << slip.payee.address
                     << slip.payee.place << CompactIban(slip.iban) << slip.model << slip.reference
                     << slip.purpose << slip.description
                     << QString::fromLatin1(Hub3BarcodePng(block).toBase64());
    }
    query.sql = select + QStringLiteral(" FROM (VALUES ") + query.sql + QStringLiteral(") AS v");
    reports::ReportRequest request;
    request.reportFile = PaymentSlipFile(kind);
    request.title = kind == SlipKind::OutputInvoiceCash ? QStringLiteral("Uplatnice")
                                                        : QStringLiteral("Virmani");
    request.query = query;
    return request;
}

}  // namespace zodra::payments
