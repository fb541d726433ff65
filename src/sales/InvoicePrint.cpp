#include "sales/InvoicePrint.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <map>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "reports/AmountInWords.h"
#include "reports/QrCode.h"
#include "sales/InvoiceLines.h"

namespace zodra::sales {

namespace {

// A layout named in the company record: a bare report file name, nothing that leads elsewhere.
bool IsPlainReportName(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[^/\\\\]+\\.rpt$"),
                                          QRegularExpression::CaseInsensitiveOption);
    return plain.match(name).hasMatch() && !name.startsWith(QLatin1Char('.'));
}

// The file of that name (letter case aside) in the folder, or empty.
QString FileIn(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (!dir.exists()) {
        return QString();
    }
    const QString folded = name.toCaseFolded();
    for (const QString& file : dir.entryList(QDir::Files)) {
        if (file.toCaseFolded() == folded) {
            return dir.filePath(file);
        }
    }
    return QString();
}

// The invoice's layout: the company's own for the terms (a bare ".rpt" name that one of the
// folders holds), else "racun_p.rpt".
QString BaseInvoiceFile(Database& db, const QStringList& folders, int salesTerms) {
    const QString column = salesTerms == kRetailTerms ? QStringLiteral("REPORT MRACUNA")
                                                      : QStringLiteral("REPORT VRACUNA");
    const QString own = sqlvalue::ToText(db.Scalar(QStringLiteral("SELECT \"") + column +
                                                   QStringLiteral("\" FROM \"PODACI_FIRME\" "
                                                                  "ORDER BY \"ID\" LIMIT 1")))
                            .trimmed();
    if (IsPlainReportName(own)) {
        for (const QString& folder : folders) {
            if (!FileIn(folder, own).isEmpty()) {
                return own;
            }
        }
    }
    return QStringLiteral("racun_p.rpt");
}

struct Header {
    int salesTerms = 0;
    QDate date;
    bool cancelled = false;
    double alreadyPaid = 0;
    QString additionalText;
    QString paymentReference;
    QString currency;  // a foreign currency's name, else empty
    double rate = 1;
};

Header ReadHeader(Database& db, int warehouse, int book, int year, int number) {
    Statement s = db.Prepare(QStringLiteral(
        "SELECT \"UVJET PRODAJE\", \"DATUM\", \"STORNO\", \"VEC PLACENO\", \"DODATNI TEKST\", "
        "\"POZIV NA BROJ\", v.\"NAZIV\", r.\"TECAJ\" FROM \"RACUNI\" r LEFT JOIN \"VALUTE\" v ON "
        "v.\"SIFRA\" = r.\"VALUTA\" AND r.\"VALUTA\" <> 1 WHERE r.\"SKLADISTE\" = ? AND "
        "r.\"IRA\" = ? AND r.\"GODINA\" = ? AND r.\"BROJ RACUNA\" = ?"));
    s.Exec({warehouse, book, year, number});
    if (!s.Next()) {
        throw UserError(QStringLiteral("Ne postoji proknjiženi račun broj ") +
                        QString::number(number));
    }
    Header h;
    h.salesTerms = s.Int(0);
    h.date = sqlvalue::ToDate(s.Value(1));
    h.cancelled = s.Int(2) != 0;
    h.alreadyPaid = s.Double(3);
    h.additionalText = s.Text(4);
    h.paymentReference = s.Text(5);
    if (!s.IsNull(6) && !s.IsNull(7) && s.Double(7) > 0) {
        h.currency = s.Text(6);
        h.rate = s.Double(7);
    }
    return h;
}

}  // namespace

double InvoiceSummary::ToPay() const {
    MoneyTotal left;
    left += total;
    left += -alreadyPaid;
    return left.Value();
}

InvoiceSummary SumOfLines(Database& db, const QString& lineTable, const QStringList& keyColumns,
                          const QVariantList& key, double rate) {
    QString where;
    for (const QString& column : keyColumns) {
        where += (where.isEmpty() ? QStringLiteral(" WHERE \"") : QStringLiteral(" AND \"")) +
                 column + QStringLiteral("\" = ?");
    }
    Statement s = db.Prepare(
        QStringLiteral("SELECT COALESCE(\"POREZ_%\", 0), \"VRIJEDNOST_BEZ_RABATA\", "
                       "\"RABAT_IZNOS\", \"VRIJEDNOST_\", \"POREZ_IZNOS\", \"UKUPNO_\" FROM \"") +
        lineTable + QStringLiteral("\"") + where);
    s.Exec(key);
    struct RateTotals {
        MoneyTotal base, tax;
    };
    std::map<double, RateTotals> rates;
    MoneyTotal before, discount, value, tax, total;
    while (s.Next()) {
        RateTotals& r = rates[RoundDecimal(s.Double(0), 6)];
        r.base += s.Double(3) / rate;
        r.tax += s.Double(4) / rate;
        before += s.Double(1) / rate;
        discount += s.Double(2) / rate;
        value += s.Double(3) / rate;
        tax += s.Double(4) / rate;
        total += s.Double(5) / rate;
    }
    InvoiceSummary summary;
    for (const auto& [taxRate, sums] : rates) {
        summary.perRate.push_back({taxRate, sums.base.Value(), sums.tax.Value()});
    }
    summary.valueBeforeDiscount = before.Value();
    summary.discount = discount.Value();
    summary.value = value.Value();
    summary.tax = tax.Value();
    summary.total = total.Value();
    return summary;
}

QString TermsReportFile(const QString& reportFolder, int salesTerms, const QString& name) {
    const QString own = FileIn(QDir::cleanPath(QDir(reportFolder).absolutePath()) +
                                   QLatin1Char('_') + QString::number(salesTerms),
                               name);
    return own.isEmpty() ? name : own;
}

InvoiceSummary SummaryOfInvoice(Database& db, int warehouse, int book, int year, int number,
                                double rate) {
    const Header header = ReadHeader(db, warehouse, book, year, number);
    InvoiceSummary summary;
    summary.salesTerms = header.salesTerms;
    summary.date = header.date;
    summary.cancelled = header.cancelled;
    summary.alreadyPaid = header.alreadyPaid;
    const InvoiceSummary sums =
        SumOfLines(db, QStringLiteral("STAVKE_RACUNA"),
                   {QStringLiteral("SKLADISTE"), QStringLiteral("IRA"), QStringLiteral("GODINA"),
                    QStringLiteral("BROJ_RACUNA")},
                   {warehouse, book, year, number}, rate);
    summary.perRate = sums.perRate;
    summary.valueBeforeDiscount = sums.valueBeforeDiscount;
    summary.discount = sums.discount;
    summary.value = sums.value;
    summary.tax = sums.tax;
    summary.total = sums.total;
    return summary;
}

QString PaymentReference(const QString& typed, int number, int book, int year) {
    static const QRegularExpression model(QStringLiteral("^\\s*HR\\s*(\\d\\d)\\s*(.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression notAllowed(QStringLiteral("[^0-9-]"));
    QString body = typed.trimmed();
    QString modelCode = QStringLiteral("00");
    if (const QRegularExpressionMatch m = model.match(body); m.hasMatch()) {
        modelCode = m.captured(1);
        body = m.captured(2);
    }
    body.remove(notAllowed);
    while (body.startsWith(QLatin1Char('-'))) {
        body.remove(0, 1);
    }
    while (body.endsWith(QLatin1Char('-'))) {
        body.chop(1);
    }
    if (body.isEmpty()) {
        modelCode = QStringLiteral("00");
        body = QString::number(number) + QLatin1Char('-') + QString::number(book) +
               QLatin1Char('-') + QString::number(year);
    }
    return QStringLiteral("HR") + modelCode + QLatin1Char(' ') + body.left(22);
}

QString InvoiceReportFile(Database& db, const QString& reportFolder, int salesTerms,
                          InvoicePrintKind kind, bool withoutDiscount) {
    const QString termsFolder = QDir::cleanPath(QDir(reportFolder).absolutePath()) +
                                QLatin1Char('_') + QString::number(salesTerms);
    QString name;
    switch (kind) {
        case InvoicePrintKind::Invoice:
            name = BaseInvoiceFile(db, {termsFolder, reportFolder}, salesTerms);
            break;
        case InvoicePrintKind::InvoiceDeliveryNote:
            name = QStringLiteral("rac_otpr.rpt");
            break;
        case InvoicePrintKind::DeliveryNote:
            name = QStringLiteral("otprem.rpt");
            withoutDiscount = false;
            break;
        case InvoicePrintKind::Cancellation:
            name = salesTerms == kRetailTerms ? QStringLiteral("racun_m_storno.rpt")
                                              : QStringLiteral("racun_storno.rpt");
            withoutDiscount = false;
            break;
        case InvoicePrintKind::ForeignCurrency:
            name = QStringLiteral("racun_dev.rpt");
            withoutDiscount = false;
            break;
    }
    if (withoutDiscount) {
        name = QStringLiteral("BezRabata_") + name;
    }
    const QString own = FileIn(termsFolder, name);
    return own.isEmpty() ? name : own;
}

namespace {

// The fiscal marks of a fiscalized invoice ("ZKI" empty when it has none, which hides the
// layout's fiscal block): its number, moment of issue, operator, ZKI, JIR and the QR code as
// base64 PNG.
void FiscalFormulas(Session& session, reports::ReportRequest& request,
                    const Session::RetailSaleEvent& invoice, bool cancellation) {
    const std::optional<Session::FiscalMarks> marks = session.FiscalMarksOf(invoice, cancellation);
    if (!marks) {
        request.Formula(QStringLiteral("ZKI"), QString());
        return;
    }
    request.Formula(QStringLiteral("FiskalniBroj"), marks->number)
        .Formula(QStringLiteral("VrijemeIzdavanja"),
                 marks->issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")))
        .Formula(QStringLiteral("Operater"), marks->operatorMark)
        .Formula(QStringLiteral("ZKI"), marks->protectiveCode)
        .Formula(QStringLiteral("JIR"), marks->jir)
        .Formula(QStringLiteral("FiskalniQR"),
                 QString::fromLatin1(reports::QrCodePng(marks->qrText.toUtf8()).toBase64()));
}

}  // namespace

reports::ReportRequest InvoicePrintRequest(Session& session, int book, int number,
                                           InvoicePrintKind kind, bool withoutDiscount,
                                           const QString& reportFolder) {
    using reports::CompareOp;
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    const Header header = ReadHeader(db, w, book, y, number);
    if (kind == InvoicePrintKind::Cancellation && !header.cancelled) {
        throw UserError(QStringLiteral("Račun broj ") + QString::number(number) +
                        QStringLiteral(" nije storniran."));
    }
    const InvoiceSummary summary = SummaryOfInvoice(db, w, book, y, number);
    const QString n = QString::number(number);

    reports::ReportRequest request;
    request.reportFile =
        InvoiceReportFile(db, reportFolder, header.salesTerms, kind, withoutDiscount);
    switch (kind) {
        case InvoicePrintKind::Invoice:
            request.title = QStringLiteral("Ispis računa br. ") + n;
            break;
        case InvoicePrintKind::InvoiceDeliveryNote:
            request.title = QStringLiteral("Ispis računa-otpremnice br. ") + n;
            break;
        case InvoicePrintKind::DeliveryNote:
            request.title = QStringLiteral("Ispis otpremnice br. ") + n;
            break;
        case InvoicePrintKind::Cancellation:
            request.title = QStringLiteral("Ispis storna računa br. ") + n;
            break;
        case InvoicePrintKind::ForeignCurrency:
            break;  // below, with the currency
    }
    request.selection.Where(QStringLiteral("STAVKE_RACUNA.SKLADISTE"), CompareOp::Equal, w)
        .Where(QStringLiteral("STAVKE_RACUNA.IRA"), CompareOp::Equal, book)
        .Where(QStringLiteral("STAVKE_RACUNA.GODINA"), CompareOp::Equal, y)
        .Where(QStringLiteral("STAVKE_RACUNA.BROJ_RACUNA"), CompareOp::Equal, number);
    request.parameters = reports::SessionParameters(session);
    request.Parameter(QStringLiteral("PSKLADISTE"), w)
        .Parameter(QStringLiteral("PIRA"), book)
        .Parameter(QStringLiteral("PGODINA"), y)
        .Parameter(QStringLiteral("PBROJ"), number);

    const int extraData = sqlvalue::ToInt(
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_DODATNI_PODACI\" WHERE "
                                 "\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
                                 "\"BROJ_RACUNA\" = ?"),
                  {w, book, y, number}));
    // The payments block ("naplata_racuna") prints only for an invoice that has payments.
    const int payments = sqlvalue::ToInt(
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"NAPLATA\" WHERE \"Skladište\" = ? AND "
                                 "\"IRA\" = ? AND \"Godina\" = ? AND \"Broj računa\" = ?"),
                  {w, book, y, number}));
    request.Formula(QStringLiteral("Naplate"),
                    payments > 0 ? QString::number(payments) : QString());
    request.Formula(QStringLiteral("DodatniTekst"), header.additionalText)
        .Formula(QStringLiteral("DodatniPodaci"),
                 extraData > 0 ? QStringLiteral("2") : QStringLiteral("0"))
        .Formula(QStringLiteral("IznosSlovima"),
                 AmountInWords(
                     db, kind == InvoicePrintKind::Cancellation ? -summary.total : summary.ToPay()))
        .Formula(QStringLiteral("PozivNaBroj"),
                 PaymentReference(header.paymentReference, number, book, y))
        .Formula(QStringLiteral("ZaPlatiti"), MoneyText(summary.ToPay()));
    Session::RetailSaleEvent fiscalKey;
    fiscalKey.warehouse = w;
    fiscalKey.book = book;
    fiscalKey.year = y;
    fiscalKey.number = number;
    FiscalFormulas(session, request, fiscalKey, kind == InvoicePrintKind::Cancellation);

    if (kind == InvoicePrintKind::ForeignCurrency) {
        if (header.currency.isEmpty()) {
            throw UserError(QStringLiteral("Račun broj ") + n +
                            QStringLiteral(" nije izdan u stranoj valuti."));
        }
        const struct {
            QString currency;
            double rate;
        } rate{header.currency, header.rate};
        request.title = QStringLiteral("Ispis računa br. ") + n + QStringLiteral(" u devizama (") +
                        rate.currency + QStringLiteral(")");
        // The totals in the currency add the lines' amounts in it as they print.
        const InvoiceSummary inCurrency = SummaryOfInvoice(db, w, book, y, number, rate.rate);
        const auto text = [&](double amount) {
            return MoneyText(amount) + QLatin1Char(' ') + rate.currency;
        };
        request.Formula(QStringLiteral("TECAJ"), QString::number(rate.rate, 'g', 15))
            .Formula(QStringLiteral("TECAJ_TEKST"),
                     FixedNumberText(rate.rate, 6, QLocale(QLocale::Croatian, QLocale::Croatia)))
            .Formula(QStringLiteral("VALUTA"), rate.currency)
            .Formula(QStringLiteral("UKUPNO_DEV_RABAT_IZNOS"), text(inCurrency.discount))
            .Formula(QStringLiteral("UKUPNO_DEV_VRIJEDNOST"), text(inCurrency.value))
            .Formula(QStringLiteral("UKUPNO_DEV_POREZ_IZNOS"), text(inCurrency.tax))
            .Formula(QStringLiteral("UKUPNO_DEV_UKUPNO"), text(inCurrency.total));
    }
    return request;
}

reports::ReportRequest WorkingInvoicePrintRequest(Session& session, const InvoiceDraft& draft,
                                                  const QString& reportFolder) {
    using reports::CompareOp;
    CheckReadyForLines(draft);
    Database& db = session.Db();
    const InvoiceTotals totals = Totals(db, draft.sessionCode);
    if (totals.lines == 0) {
        throw UserError(QStringLiteral("Račun nema niti jedne stavke !"));
    }
    reports::ReportRequest request;
    request.reportFile =
        TermsReportFile(reportFolder, *draft.salesTerms, QStringLiteral("racun_pr.rpt"));
    request.title = QStringLiteral("Ispis računa u radu");
    request.selection
        .Where(QStringLiteral("STAVKE_RACUNA_PRIVREMENO.SKLADISTE"), CompareOp::Equal,
               draft.warehouse)
        .Where(QStringLiteral("STAVKE_RACUNA_PRIVREMENO.GODINA"), CompareOp::Equal, draft.year)
        .Where(QStringLiteral("STAVKE_RACUNA_PRIVREMENO.Multiuser_sifra"), CompareOp::Equal,
               draft.sessionCode);
    request.parameters = reports::SessionParameters(session);
    Statement customer = db.Prepare(QStringLiteral(
        "SELECT \"NAZIV\", \"ADRESA\", \"MJESTO\", \"OIB\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"));
    customer.Exec({*draft.customer});
    const bool found = customer.Next();
    request.Formula(QStringLiteral("KupacNaziv"), found ? customer.Text(0) : QString())
        .Formula(QStringLiteral("KupacAdresa"), found ? customer.Text(1) : QString())
        .Formula(QStringLiteral("KupacMjesto"), found ? customer.Text(2) : QString())
        .Formula(QStringLiteral("KupacOIB"), found ? customer.Text(3) : QString());
    customer.Finish();
    request
        .Formula(QStringLiteral("KnjigaIRA"),
                 sqlvalue::ToText(db.Scalar(
                     QStringLiteral("SELECT \"NAZIV\" FROM \"KNJIGE_IRA\" WHERE \"SIFRA\" = ?"),
                     {*draft.book})))
        .Formula(QStringLiteral("DATUM"), draft.date.toString(QStringLiteral("dd.MM.yyyy")))
        .Formula(QStringLiteral("IznosSlovima"), AmountInWords(db, totals.total));
    return request;
}

}  // namespace zodra::sales
