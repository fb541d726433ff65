#include "sales/OutgoingPrint.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "reports/AmountInWords.h"

namespace zodra::sales {

namespace {

// Where a kind's documents live and how they print.
struct PrintDescription {
    QString headerTable;
    QString lineTable;
    QString headerNumber;  // the number column of the header
    QString lineNumber;    // and of the lines
    bool byBook = true;    // the IRA book is part of the key
    QString file;
    QString discountlessFile;  // empty: the kind has no such layout
    QString purchaseFile;      // empty: the kind has no such layout
    QString titlePrefix;
    QString missingMessage;
    bool paymentData = false;  // the payment reference prints
};

const PrintDescription& DescriptionOf(OutgoingKind kind) {
    static const PrintDescription offer{QStringLiteral("PONUDE"),
                                        QStringLiteral("STAVKE_PONUDA"),
                                        QStringLiteral("BROJ RACUNA"),
                                        QStringLiteral("BROJ_RACUNA"),
                                        true,
                                        QStringLiteral("ponuda.rpt"),
                                        QStringLiteral("BezRabata_ponuda.rpt"),
                                        QString(),
                                        QStringLiteral("Ispis ponude br. "),
                                        QStringLiteral("Ne postoji proknjižena ponuda broj "),
                                        false};
    static const PrintDescription proForma{QStringLiteral("PREDRACUNI"),
                                           QStringLiteral("STAVKE_PREDRACUNA"),
                                           QStringLiteral("BROJ RACUNA"),
                                           QStringLiteral("BROJ_RACUNA"),
                                           true,
                                           QStringLiteral("predrac.rpt"),
                                           QString(),
                                           QString(),
                                           QStringLiteral("Ispis predračuna br. "),
                                           QStringLiteral("Ne postoji proknjiženi predračun broj "),
                                           true};
    static const PrintDescription deliveryNote{
        QStringLiteral("OTPREMNICE"),
        QStringLiteral("STAVKE_OTPREMNICA"),
        QStringLiteral("BROJ_OTPREMNICE"),
        QStringLiteral("BROJ_OTPREMNICE"),
        false,
        QStringLiteral("Otpremnica.rpt"),
        QString(),
        QStringLiteral("Otpremnica_nab.rpt"),
        QStringLiteral("Ispis otpremnice br. "),
        QStringLiteral("Ne postoji proknjižena otpremnica broj "),
        false};
    switch (kind) {
        case OutgoingKind::Offer:
            return offer;
        case OutgoingKind::ProForma:
            return proForma;
        case OutgoingKind::DeliveryNote:
            return deliveryNote;
        case OutgoingKind::Invoice:
            break;
    }
    throw UserError(QStringLiteral("Račun se ispisuje kao račun, ne kao ponuda ili otpremnica."));
}

struct Key {
    QStringList headerColumns;
    QStringList lineColumns;
    QVariantList values;
};

Key KeyOf(const PrintDescription& d, int warehouse, int book, int year, int number) {
    Key key;
    key.headerColumns << QStringLiteral("SKLADISTE");
    key.values << warehouse;
    if (d.byBook) {
        key.headerColumns << QStringLiteral("IRA");
        key.values << book;
    }
    key.headerColumns << QStringLiteral("GODINA") << d.headerNumber;
    key.values << year << number;
    key.lineColumns = key.headerColumns;
    key.lineColumns.last() = d.lineNumber;
    return key;
}

struct Header {
    int salesTerms = 0;
    QString additionalText;
    QString paymentReference;
    double alreadyPaid = 0;
};

Header ReadHeader(Database& db, const PrintDescription& d, const Key& key, int number) {
    QString where;
    for (const QString& column : key.headerColumns) {
        where += (where.isEmpty() ? QStringLiteral(" WHERE \"") : QStringLiteral(" AND \"")) +
                 column + QStringLiteral("\" = ?");
    }
    const QString paymentColumns =
        d.byBook ? QStringLiteral("\"POZIV NA BROJ\", \"VEC PLACENO\"") : QStringLiteral("NULL, 0");
    Statement s = db.Prepare(QStringLiteral("SELECT \"UVJET PRODAJE\", \"DODATNI TEKST\", ") +
                             paymentColumns + QStringLiteral(" FROM \"") + d.headerTable +
                             QStringLiteral("\"") + where);
    s.Exec(key.values);
    if (!s.Next()) {
        throw UserError(d.missingMessage + QString::number(number));
    }
    Header h;
    h.salesTerms = s.Int(0);
    h.additionalText = s.Text(1);
    h.paymentReference = s.Text(2);
    h.alreadyPaid = s.Double(3);
    return h;
}

}  // namespace

InvoiceSummary SummaryOfOutgoing(Session& session, OutgoingKind kind, int book, int number) {
    const PrintDescription& d = DescriptionOf(kind);
    const Key key = KeyOf(d, session.activeWarehouse.code, book, session.businessYear, number);
    const Header header = ReadHeader(session.Db(), d, key, number);
    InvoiceSummary summary = SumOfLines(session.Db(), d.lineTable, key.lineColumns, key.values);
    summary.salesTerms = header.salesTerms;
    summary.alreadyPaid = header.alreadyPaid;
    return summary;
}

reports::ReportRequest OutgoingPrintRequest(Session& session, OutgoingKind kind, int book,
                                            int number, const OutgoingPrintOptions& options,
                                            const QString& reportFolder) {
    using reports::CompareOp;
    const PrintDescription& d = DescriptionOf(kind);
    if (options.withoutDiscount && d.discountlessFile.isEmpty()) {
        throw UserError(QStringLiteral("Ovaj dokument nema ispis bez rabata."));
    }
    if (options.purchaseValues && d.purchaseFile.isEmpty()) {
        throw UserError(QStringLiteral("Ovaj dokument nema ispis s nabavnim vrijednostima."));
    }
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    const Key key = KeyOf(d, w, book, y, number);
    const Header header = ReadHeader(db, d, key, number);
    const InvoiceSummary summary = SumOfLines(db, d.lineTable, key.lineColumns, key.values);

    reports::ReportRequest request;
    const QString file = options.withoutDiscount  ? d.discountlessFile
                         : options.purchaseValues ? d.purchaseFile
                                                  : d.file;
    request.reportFile = TermsReportFile(reportFolder, header.salesTerms, file);
    request.title = d.titlePrefix + QString::number(number);
    for (qsizetype i = 0; i < key.lineColumns.size(); ++i) {
        request.selection.Where(d.lineTable + QLatin1Char('.') + key.lineColumns.at(i),
                                CompareOp::Equal, key.values.at(i));
    }
    request.parameters = reports::SessionParameters(session);
    request.Parameter(QStringLiteral("PSKLADISTE"), w)
        .Parameter(QStringLiteral("PGODINA"), y)
        .Parameter(QStringLiteral("PBROJ"), number);
    if (d.byBook) {
        request.Parameter(QStringLiteral("PIRA"), book);
    }
    MoneyTotal toPay;
    toPay += summary.total;
    toPay += -header.alreadyPaid;
    request.Formula(QStringLiteral("DodatniTekst"), header.additionalText)
        .Formula(QStringLiteral("IznosSlovima"), AmountInWords(db, toPay.Value()))
        .Formula(QStringLiteral("Osnovica"), MoneyText(summary.value))
        .Formula(QStringLiteral("Rabat"), MoneyText(summary.discount))
        .Formula(QStringLiteral("Porez"), MoneyText(summary.tax))
        .Formula(QStringLiteral("Ukupno"), MoneyText(summary.total));
    if (d.paymentData) {
        request
            .Formula(QStringLiteral("PozivNaBroj"),
                     PaymentReference(header.paymentReference, number, book, y))
            .Formula(QStringLiteral("ZaPlatiti"), MoneyText(toPay.Value()));
    }
    return request;
}

}  // namespace zodra::sales
