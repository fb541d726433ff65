#include "data/Numbering.h"

#include <algorithm>

#include "data/Database.h"
#include "data/Errors.h"

namespace zodra::numbering {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// MAX(column) over the rows of the filter; null when there are none.
QVariant MaxOf(Database& db, const QString& table, const QString& column, const QString& where,
               const QVariantList& params) {
    return db.Scalar(QStringLiteral("SELECT MAX(") + Q(column) + QStringLiteral(") FROM ") +
                         Q(table) + QStringLiteral(" WHERE ") + where,
                     params);
}

// The number after the highest stored one (or the first of the range), computed in 64 bits:
// a sequence that has reached the end of its range is refused rather than wrapped.
qint64 Following(const QVariant& max, const NumberRange& range, const QString& documentName) {
    // Compared before adding, so that not even the largest stored value can overflow.
    if (!max.isNull() && max.toLongLong() >= range.last) {
        throw UserError(NoFreeNumberMessage(documentName, range));
    }
    return max.isNull() ? qint64{range.first} : max.toLongLong() + 1;
}

// Receipt types share one key, so a number below the type's range (stored by hand) must not
// lead the type into the range below it.
int NextInRange(const QVariant& max, const NumberRange& range, const QString& documentName) {
    return static_cast<int>(std::max<qint64>(Following(max, range, documentName), range.first));
}

int NextOrStart(const QVariant& max, int start, const QString& documentName) {
    return static_cast<int>(Following(max, NumberRange{start, kLastNumber}, documentName));
}

// Invoices of one book share the key (warehouse, book, year, number) whatever numbering their
// terms follow: the first number from `candidate` on that no invoice of the key space holds, so
// that a sequence never proposes a number another sequence of the book already took.
int FirstFreeInvoiceNumber(Database& db, const QString& table, int warehouse, int book, int year,
                           int candidate) {
    const QString key =
        QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ?");
    const QVariant free = db.Scalar(
        QStringLiteral("SELECT MIN(\"c\") FROM (SELECT CAST(? AS INTEGER) AS \"c\" UNION ALL "
                       "SELECT \"BROJ RACUNA\" + 1 FROM ") +
            Q(table) + key +
            QStringLiteral(" AND \"BROJ RACUNA\" >= ?) AS \"kandidati\" WHERE \"c\" NOT IN "
                           "(SELECT \"BROJ RACUNA\" FROM ") +
            Q(table) + key + QLatin1Char(')'),
        {candidate, warehouse, book, year, candidate, warehouse, book, year});
    return free.isValid() && !free.isNull() ? free.toInt() : candidate;
}

QString ReceiptTypeMessage(int type) {
    return QStringLiteral("Tip primke ") + QString::number(type) +
           QStringLiteral(" nije očekivan. Greška kod dodjele novog broja primke.");
}

}  // namespace

NumberRange ReceiptNumberRange(int type) {
    switch (type) {
        case kReceiptEntered:
            return {1, 100000};
        case kReceiptGenerated:
            return {100001, 200000};
        case kReceiptProduction:
            return {200001, kLastNumber};
        default:
            throw UserError(ReceiptTypeMessage(type));
    }
}

QString ReceiptNumberRangeMessage(int type) {
    const NumberRange range = ReceiptNumberRange(type);
    return QStringLiteral("Broj primke mora biti između ") + QString::number(range.first) +
           QStringLiteral(" i ") + QString::number(range.last) + QStringLiteral(" !");
}

void RequireReceiptNumberInRange(qint64 number, int type) {
    const NumberRange range = ReceiptNumberRange(type);
    if (number < range.first || number > range.last) {
        throw UserError(ReceiptNumberRangeMessage(type));
    }
}

QString NoFreeNumberMessage(const QString& documentName, const NumberRange& range) {
    return QStringLiteral("Nema slobodnog broja za dokument ") + documentName +
           QStringLiteral(": brojevi od ") + QString::number(range.first) + QStringLiteral(" do ") +
           QString::number(range.last) + QStringLiteral(" su potrošeni.");
}

int NextDocumentNumber(Database& db, DocumentKind kind, int warehouse, int year,
                       std::optional<int> extra) {
    const DocumentKindInfo& info = Info(kind);
    switch (kind) {
        case DocumentKind::GoodsReceipt: {
            const int type = extra.value_or(kReceiptEntered);
            const NumberRange range = ReceiptNumberRange(type);
            return NextInRange(
                MaxOf(db, info.headerTable, info.numberColumn,
                      QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"TIP_PRIMKE\" = ?"),
                      {warehouse, year, type}),
                range, info.name);
        }
        case DocumentKind::Offer:
        case DocumentKind::ProForma:
            return NextOrStart(
                MaxOf(db, info.headerTable, info.numberColumn,
                      QStringLiteral("\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ?"),
                      {warehouse, extra.value_or(1), year}),
                1, info.name);
        case DocumentKind::WordDocument:
            return NextOrStart(
                MaxOf(db, info.headerTable, info.numberColumn,
                      QStringLiteral(
                          "\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"TIP_DOKUMENTA\" = ?"),
                      {warehouse, year, extra.value_or(0)}),
                1, info.name);
        case DocumentKind::Invoice:
        case DocumentKind::DetailedInvoice:
            // Invoices number by book and sales terms; callers use NextInvoiceNumber.
            return NextInvoiceNumber(db, warehouse, extra.value_or(1), year, 2,
                                     kind == DocumentKind::DetailedInvoice);
        case DocumentKind::RetailReceipt:
            return NextDocumentNumber(db, DocumentKind::GoodsReceipt, warehouse, year,
                                      kReceiptGenerated);
        default:
            break;
    }
    Q_ASSERT(!info.headerTable.isEmpty());
    return NextOrStart(
        MaxOf(db, info.headerTable, info.numberColumn,
              QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ?"), {warehouse, year}),
        info.firstNumber, info.name);
}

int NextInvoiceNumber(Database& db, int warehouse, int book, int year, int salesTerms,
                      bool detailed) {
    const QString table = detailed ? QStringLiteral("RACUNI_DETALJNO") : QStringLiteral("RACUNI");
    bool ownNumbering = false;
    int firstNumber = 1;
    {
        Statement terms = db.Prepare(
            QStringLiteral("SELECT \"SAMOSTALNA_NUMERACIJA\", \"POCETNI_BR_RACUNA\" FROM "
                           "\"UVJETI_PRODAJE\" WHERE \"SIFRA\" = ?"));
        terms.Exec({salesTerms});
        if (terms.Next()) {
            ownNumbering = terms.Int(0) != 0;
            firstNumber = terms.Int(1);
        }
    }
    if (salesTerms == 1) {
        return NextRetailInvoiceNumber(db, warehouse, book, year, detailed);
    }
    if (!ownNumbering) {
        // The shared sequence: every terms but the retail terms 1 and the terms that number on
        // their own (their numbers, from 500 say, would otherwise carry the shared sequence off).
        return FirstFreeInvoiceNumber(
            db, table, warehouse, book, year,
            NextOrStart(
                MaxOf(db, table, QStringLiteral("BROJ RACUNA"),
                      QStringLiteral("\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
                                     "\"UVJET PRODAJE\" <> 1 AND \"UVJET PRODAJE\" NOT IN "
                                     "(SELECT \"SIFRA\" FROM \"UVJETI_PRODAJE\" WHERE "
                                     "\"SAMOSTALNA_NUMERACIJA\" = TRUE)"),
                      {warehouse, book, year}),
                1, Info(DocumentKind::Invoice).name));
    }
    return FirstFreeInvoiceNumber(
        db, table, warehouse, book, year,
        NextOrStart(MaxOf(db, table, QStringLiteral("BROJ RACUNA"),
                          QStringLiteral("\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? "
                                         "AND \"UVJET PRODAJE\" = ?"),
                          {warehouse, book, year, salesTerms}),
                    firstNumber, Info(DocumentKind::Invoice).name));
}

int NextRetailInvoiceNumber(Database& db, int warehouse, int book, int year, bool detailed) {
    const QString table = detailed ? QStringLiteral("RACUNI_DETALJNO") : QStringLiteral("RACUNI");
    const int firstNumber = db.Scalar(QStringLiteral("SELECT \"POCETNI_BR_RACUNA\" FROM "
                                                     "\"UVJETI_PRODAJE\" WHERE \"SIFRA\" = 1"))
                                .toInt();
    return FirstFreeInvoiceNumber(
        db, table, warehouse, book, year,
        NextOrStart(MaxOf(db, table, QStringLiteral("BROJ RACUNA"),
                          QStringLiteral("\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? "
                                         "AND \"UVJET PRODAJE\" = 1"),
                          {warehouse, book, year}),
                    firstNumber, Info(DocumentKind::Invoice).name));
}

bool DocumentExists(Database& db, DocumentKind kind, int warehouse, int year, int number,
                    std::optional<int> book) {
    const DocumentKindInfo& info = Info(kind);
    if (info.hasInvoiceBook) {
        return db
            .Scalar(QStringLiteral("SELECT 1 FROM ") + Q(info.headerTable) +
                        QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND "
                                       "\"GODINA\" = ? AND ") +
                        Q(info.numberColumn) + QStringLiteral(" = ?"),
                    {warehouse, book.value_or(1), year, number})
            .isValid();
    }
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM ") + Q(info.headerTable) +
                    QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND ") +
                    Q(info.numberColumn) + QStringLiteral(" = ?"),
                {warehouse, year, number})
        .isValid();
}

int NextCancellationNumber(Database& db, int warehouse, int year) {
    QVariant highest;
    for (const char16_t* table :
         {u"RACUNI", u"RACUNI_DETALJNO", u"SPECIFIKACIJE", u"IZMJENE_CIJENA"}) {
        const QVariant max =
            MaxOf(db, QString::fromUtf16(table), QStringLiteral("RBR_STORNO_DOKUMENTA"),
                  QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ?"), {warehouse, year});
        if (!max.isNull() && (highest.isNull() || max.toLongLong() > highest.toLongLong())) {
            highest = max;
        }
    }
    return NextOrStart(highest, 1, QStringLiteral("Storno"));
}

int NextTradeBookNumber(Database& db, int warehouse, int year, bool retail) {
    return NextOrStart(
        MaxOf(db,
              retail ? QStringLiteral("TRGOVACKA_KNJIGA_MALOPRODAJE")
                     : QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE"),
              QStringLiteral("RBR"), QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ?"),
              {warehouse, year}),
        1, QStringLiteral("Trgovačka knjiga"));
}

int NextDirectEntryNumber(Database& db, int warehouse, int year, bool retail) {
    return NextOrStart(MaxOf(db,
                             retail ? QStringLiteral("TRGOVACKA_KNJIGA_MALOPRODAJE")
                                    : QStringLiteral("TRGOVACKA_KNJIGA_VELEPRODAJE"),
                             QStringLiteral("BROJ_DOKUMENTA"),
                             QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                                            "\"TIP_DOKUMENTA\" = 'DIREKTAN UPIS'"),
                             {warehouse, year}),
                       1, QStringLiteral("Direktan upis"));
}

int NextInputInvoicePosition(Database& db, int book, int year) {
    return NextOrStart(
        MaxOf(db, QStringLiteral("KNJIGE_ULAZNIH_RACUNA"), QStringLiteral("Redni broj"),
              QStringLiteral("\"URA\" = ? AND \"GODINA\" = ?"), {book, year}),
        1, QStringLiteral("Knjiga ulaznih računa"));
}

}  // namespace zodra::numbering
