#include "books/UraBook.h"

#include <cmath>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "purchasing/ReceiptList.h"
#include "reports/ValueFormat.h"

namespace zodra::books {

namespace {

constexpr int kMaxInvoiceNumberLength = 20;

int RateIndex(int rate) {
    for (std::size_t i = 0; i < kUraRates.size(); ++i) {
        if (kUraRates[i] == rate) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

QString RateColumn(const char* prefix, int rate) {
    return QLatin1Char('"') + QLatin1String(prefix) + QString::number(rate) + QLatin1Char('"');
}

// The amount columns in a fixed order: base 0, then per rate base, total, deductible,
// non-deductible, then the total.
QStringList AmountColumns() {
    QStringList columns{QStringLiteral("\"Osnovica0\"")};
    for (int rate : kUraRates) {
        columns << RateColumn("Osnovica", rate) << RateColumn("PretporezUkupno", rate)
                << RateColumn("PretporezOdbiti", rate) << RateColumn("PretporezNeOdbiti", rate);
    }
    columns << QStringLiteral("\"Iznos računa sa porezom\"");
    return columns;
}

QVariantList AmountValues(const UraInvoice& invoice) {
    QVariantList values{invoice.base0};
    for (const UraRateAmounts& r : invoice.rates) {
        values << r.base << r.tax << r.deductible << r.nonDeductible;
    }
    values << invoice.total;
    return values;
}

const QString& SelectColumns() {
    static const QString columns =
        QStringLiteral(
            "\"URA\", \"GODINA\", \"Redni broj\", \"Račun broj\", \"Račun datum\", "
            "\"Dospijeće\", \"Šifra dobavljača\", \"Tip računa\", \"Vrsta nabave\", ") +
        AmountColumns().join(QStringLiteral(", "));
    return columns;
}

UraInvoice ReadRow(const Statement& s) {
    UraInvoice invoice;
    invoice.book = s.Int(0);
    invoice.year = s.Int(1);
    invoice.number = s.Int(2);
    invoice.invoiceNumber = s.Text(3);
    invoice.date = sqlvalue::ToDate(s.Value(4));
    invoice.due = sqlvalue::ToDate(s.Value(5));
    invoice.supplier = s.Int(6);
    invoice.type = s.Text(7);
    const int kind = s.Int(8);
    invoice.kind = kind >= 0 && kind < kPurchaseKindCount ? static_cast<PurchaseKind>(kind)
                                                          : PurchaseKind::Domestic;
    int column = 9;
    invoice.base0 = s.Double(column++);
    for (UraRateAmounts& r : invoice.rates) {
        r.base = s.Double(column++);
        r.tax = s.Double(column++);
        r.deductible = s.Double(column++);
        r.nonDeductible = s.Double(column++);
    }
    invoice.total = s.Double(column);
    return invoice;
}

void RequireAmount(double value, const QString& what) {
    limits::RequireNumber(value, limits::NumberKind::Amount, what);
}

}  // namespace

PurchaseKind DefaultPurchaseKind(int book) {
    switch (book) {
        case 4:
            return PurchaseKind::Import;
        case 5:
            return PurchaseKind::EuServices;
        default:
            return PurchaseKind::Domestic;
    }
}

QString PurchaseKindName(PurchaseKind kind) {
    switch (kind) {
        case PurchaseKind::Domestic:
            return QStringLiteral("Tuzemni račun");
        case PurchaseKind::DomesticReverse:
            return QStringLiteral("Tuzemni prijenos porezne obveze");
        case PurchaseKind::EuGoods:
            return QStringLiteral("Stjecanje dobara iz EU");
        case PurchaseKind::EuServices:
            return QStringLiteral("Usluge iz EU");
        case PurchaseKind::ForeignServices:
            return QStringLiteral("Dobra i usluge inozemnih poduzetnika");
        case PurchaseKind::Import:
            return QStringLiteral("Uvoz");
    }
    return {};
}

bool IsUraRate(int rate) {
    return RateIndex(rate) >= 0;
}

UraRateAmounts& UraInvoice::AtRate(int rate) {
    const int i = RateIndex(rate);
    Q_ASSERT(i >= 0);
    return rates[static_cast<std::size_t>(i)];
}

const UraRateAmounts& UraInvoice::AtRate(int rate) const {
    const int i = RateIndex(rate);
    Q_ASSERT(i >= 0);
    return rates[static_cast<std::size_t>(i)];
}

double UraInvoice::ComputedTotal() const {
    MoneyTotal sum;
    sum += base0;
    for (const UraRateAmounts& r : rates) {
        sum += r.base;
        sum += r.tax;
    }
    return sum.Value();
}

QString UraMissingSupplierMessage() {
    return QStringLiteral("Nije izabran dobavljač !");
}
QString UraMissingTypeMessage() {
    return QStringLiteral("Nije izabran tip računa (R-1 ili R-2) !");
}
QString UraInvoiceNumberMessage() {
    return QStringLiteral("Broj računa nije upisan ili je duži od 20 znakova !");
}
QString UraDuplicateMessage() {
    return QStringLiteral("Ulazni račun pod ovim rednim brojem je već upisan !");
}
QString UraInvalidSerialMessage() {
    return QStringLiteral("Nije ispravno upisan broj !");
}
QString UraDeleteQuestion() {
    return QStringLiteral("Želite li izbrisati ulazni račun?");
}
QString UraMissingMessage(int number) {
    return QStringLiteral("Ne postoji upisani ulazni račun broj ") + QString::number(number);
}

QString UraOverpaidMessage(double paid, double total, const QString& currency) {
    const reports::ValueFormat format(currency);
    return QStringLiteral("Po ovom računu je evidentirano plaćanje od ") +
           format.Format(paid, QStringLiteral("Currency")) +
           QStringLiteral(" šta je veće od iznosa računa od ") +
           format.Format(total, QStringLiteral("Currency")) +
           QStringLiteral(". Nije dozvoljena promjena.");
}

void CheckUraInvoice(const UraInvoice& invoice) {
    const QString number = invoice.invoiceNumber.trimmed();
    if (number.isEmpty() || number.size() > kMaxInvoiceNumberLength) {
        throw UserError(UraInvoiceNumberMessage());
    }
    if (const auto bad = limits::CheckText(number, QStringLiteral("Broj računa"))) {
        throw UserError(*bad);
    }
    if (invoice.type != QLatin1String("R-1") && invoice.type != QLatin1String("R-2")) {
        throw UserError(UraMissingTypeMessage());
    }
    if (invoice.supplier <= 0) {
        throw UserError(UraMissingSupplierMessage());
    }
    if (invoice.number < 0) {
        throw UserError(UraInvalidSerialMessage());
    }
    limits::RequireDocumentDate(invoice.date, invoice.year, QStringLiteral("Datum računa"));
    if (invoice.due.isValid()) {
        if (const auto bad = limits::CheckDate(invoice.due, QStringLiteral("Dospijeće"))) {
            throw UserError(*bad);
        }
    }
    RequireAmount(invoice.base0, QStringLiteral("Osnovica 0%"));
    for (int rate : kUraRates) {
        const UraRateAmounts& r = invoice.AtRate(rate);
        const QString pct = QString::number(rate) + QLatin1Char('%');
        RequireAmount(r.base, QStringLiteral("Osnovica ") + pct);
        RequireAmount(r.tax, QStringLiteral("Pretporez ") + pct);
        RequireAmount(r.deductible, QStringLiteral("Pretporez koji se može odbiti ") + pct);
        RequireAmount(r.nonDeductible, QStringLiteral("Pretporez koji se ne može odbiti ") + pct);
    }
    RequireAmount(invoice.total, QStringLiteral("Ukupno"));
}

int NextUraNumber(Database& db, int book, int year) {
    return sqlvalue::ToInt(db.Scalar(QStringLiteral("SELECT MAX(\"Redni broj\") FROM "
                                                    "\"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = ? "
                                                    "AND \"GODINA\" = ?"),
                                     {book, year})) +
           1;
}

bool UraExists(Database& db, int book, int year, int number) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = ? AND "
                               "\"GODINA\" = ? AND \"Redni broj\" = ?"),
                {book, year, number})
        .isValid();
}

std::optional<UraInvoice> LoadUraInvoice(Database& db, int book, int year, int number) {
    Statement s(db, QStringLiteral("SELECT ") + SelectColumns() +
                        QStringLiteral(" FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = ? AND "
                                       "\"GODINA\" = ? AND \"Redni broj\" = ?"));
    s.Exec({book, year, number});
    if (!s.Next()) {
        return std::nullopt;
    }
    return ReadRow(s);
}

std::vector<UraInvoice> ListUraInvoices(Database& db, int book, int year) {
    Statement s(db, QStringLiteral("SELECT ") + SelectColumns() +
                        QStringLiteral(" FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = ? AND "
                                       "\"GODINA\" = ? ORDER BY \"Redni broj\""));
    s.Exec({book, year});
    std::vector<UraInvoice> list;
    while (s.Next()) {
        list.push_back(ReadRow(s));
    }
    return list;
}

double UraPaid(Database& db, int book, int year, int number) {
    return sqlvalue::ToDouble(
        db.Scalar(QStringLiteral("SELECT SUM(\"Iznos\") FROM \"PLACANJA\" WHERE \"URA\" = ? AND "
                                 "\"GODINA\" = ? AND \"Redni broj knjige UFA\" = ?"),
                  {book, year, number}));
}

int InsertUraInvoice(Database& db, UraInvoice invoice) {
    CheckUraInvoice(invoice);
    Transaction tx(db);
    if (invoice.number == 0) {
        invoice.number = NextUraNumber(db, invoice.book, invoice.year);
    } else if (UraExists(db, invoice.book, invoice.year, invoice.number)) {
        throw UserError(UraDuplicateMessage());
    }
    const QStringList amounts = AmountColumns();
    QString marks = QStringLiteral("?, ?, ?, ?, ?, ?, ?, ?, ?");
    for (qsizetype i = 0; i < amounts.size(); ++i) {
        marks += QStringLiteral(", ?");
    }
    QVariantList values{invoice.book,
                        invoice.year,
                        invoice.number,
                        invoice.invoiceNumber.trimmed(),
                        invoice.date,
                        invoice.due.isValid() ? QVariant(invoice.due) : QVariant(),
                        invoice.supplier,
                        invoice.type,
                        static_cast<int>(invoice.kind)};
    values << AmountValues(invoice);
    db.Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (") + SelectColumns() +
                QStringLiteral(") VALUES (") + marks + QLatin1Char(')'),
            values);
    tx.Commit();
    return invoice.number;
}

void RewriteUraInvoice(Database& db, const UraInvoice& invoice, const QString& currency) {
    CheckUraInvoice(invoice);
    Transaction tx(db);
    if (!UraExists(db, invoice.book, invoice.year, invoice.number)) {
        throw UserError(UraMissingMessage(invoice.number));
    }
    const double paid = UraPaid(db, invoice.book, invoice.year, invoice.number);
    if (RoundMoney(paid) > RoundMoney(invoice.total)) {
        throw UserError(UraOverpaidMessage(paid, invoice.total, currency));
    }
    QString set = QStringLiteral(
        "\"Račun broj\" = ?, \"Račun datum\" = ?, \"Dospijeće\" = ?, \"Šifra dobavljača\" = ?, "
        "\"Tip računa\" = ?, \"Vrsta nabave\" = ?");
    for (const QString& column : AmountColumns()) {
        set += QStringLiteral(", ") + column + QStringLiteral(" = ?");
    }
    QVariantList values{invoice.invoiceNumber.trimmed(),
                        invoice.date,
                        invoice.due.isValid() ? QVariant(invoice.due) : QVariant(),
                        invoice.supplier,
                        invoice.type,
                        static_cast<int>(invoice.kind)};
    values << AmountValues(invoice) << invoice.book << invoice.year << invoice.number;
    db.Exec(QStringLiteral("UPDATE \"KNJIGE_ULAZNIH_RACUNA\" SET ") + set +
                QStringLiteral(" WHERE \"URA\" = ? AND \"GODINA\" = ? AND \"Redni broj\" = ?"),
            values);
    tx.Commit();
}

void DeleteUraInvoice(Database& db, int book, int year, int number) {
    Transaction tx(db);
    const int removed = db.Exec(QStringLiteral("DELETE FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE "
                                               "\"URA\" = ? AND \"GODINA\" = ? AND \"Redni broj\" "
                                               "= ?"),
                                {book, year, number});
    if (removed == 0) {
        throw UserError(UraMissingMessage(number));
    }
    db.Exec(QStringLiteral("DELETE FROM \"PLACANJA\" WHERE \"URA\" = ? AND \"GODINA\" = ? AND "
                           "\"Redni broj knjige UFA\" = ?"),
            {book, year, number});
    tx.Commit();
}

bool DeleteUraInvoiceAsked(Database& db, int book, int year, int number, Prompter& prompter) {
    if (!prompter.AskYesNo(UraDeleteQuestion(), QStringLiteral("Ulazni računi"), false)) {
        return false;
    }
    DeleteUraInvoice(db, book, year, number);
    return true;
}

std::vector<UraBookChoice> UraBookChoices(Database& db) {
    Statement s(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"KNJIGE_URA\" ORDER BY "
                                   "\"SIFRA\""));
    s.Exec();
    std::vector<UraBookChoice> books;
    while (s.Next()) {
        books.push_back({s.Int(0), s.Text(1)});
    }
    return books;
}

std::vector<UraSupplier> UraSuppliers(Database& db) {
    Statement s(db, QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"PARTNERI\" WHERE "
                                   "\"Dobavljac\" = TRUE ORDER BY \"NAZIV\" COLLATE \"HR\", "
                                   "\"SIFRA\""));
    s.Exec();
    std::vector<UraSupplier> list;
    while (s.Next()) {
        list.push_back({s.Int(0), s.Text(1)});
    }
    return list;
}

void FillFromReceipt(UraInvoice& invoice, const purchasing::ReceiptTaxSummary& summary,
                     const QDate& receiptDate) {
    invoice.base0 = summary.packagingBase;
    invoice.rates = {};
    MoneyTotal base0;
    base0 += summary.packagingBase;
    for (const purchasing::TaxBase& t : summary.perRate) {
        if (t.rate == 0) {
            base0 += t.base;
            continue;
        }
        const int rate = static_cast<int>(std::lround(t.rate));
        if (rate != t.rate || !IsUraRate(rate)) {
            throw UserError(QStringLiteral("Knjiga ulaznih računa nema stupac za stopu ") +
                            QString::number(t.rate) + QStringLiteral("% !"));
        }
        UraRateAmounts& r = invoice.AtRate(rate);
        r.base = RoundMoney(r.base + t.base);
        r.tax = RoundMoney(r.tax + t.Tax());
        r.deductible = r.tax;
        r.nonDeductible = 0;
    }
    invoice.base0 = base0.Value();
    invoice.total = invoice.ComputedTotal();
    if (receiptDate.isValid()) {
        invoice.date = receiptDate;
        invoice.due = receiptDate.addDays(summary.paymentDelay);
    }
}

}  // namespace zodra::books
