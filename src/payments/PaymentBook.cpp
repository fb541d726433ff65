#include "payments/PaymentBook.h"

#include "books/KpiBook.h"
#include "books/KpiDailySales.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "payments/PaymentRows.h"

namespace zodra::payments {

namespace {

using rows::kSupplierSide;

QVariantList Params(const InputInvoiceKey& k) {
    return {k.book, k.year, k.serial};
}

struct InputHead {
    int supplier = 0;
    QString number;
    double amount = 0;
};

InputHead RequireInputInvoice(Database& db, const InputInvoiceKey& k) {
    Statement s(db, QStringLiteral("SELECT \"Šifra dobavljača\", \"Račun broj\", \"Iznos računa "
                                   "sa porezom\" FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = ? "
                                   "AND \"GODINA\" = ? AND \"Redni broj\" = ?"));
    s.Exec(Params(k));
    if (!s.Next()) {
        throw UserError(QStringLiteral("Ne postoji ulazni račun pod rednim brojem ") +
                        QString::number(k.serial) + QLatin1Char('.'));
    }
    return {s.IsNull(0) ? 0 : s.Int(0), s.Text(1), s.IsNull(2) ? 0 : s.Double(2)};
}

double PaidOn(Database& db, const InputInvoiceKey& k) {
    return rows::SumAtCent(
        db,
        QStringLiteral("SELECT \"Iznos\" FROM \"PLACANJA\" WHERE \"URA\" = ? AND "
                       "\"GODINA\" = ? AND \"Redni broj knjige UFA\" = ?"),
        Params(k));
}

std::optional<int> BookInvoicePayment(Session& session, const InputInvoiceKey& k, const QDate& date,
                                      double amount, const QString& model, bool deleted) {
    if (!session.options.r2) {
        return std::nullopt;
    }
    books::KpiEntry e = books::ProposeSupplierPaymentEntry(session.Db(), k.book, k.year, k.serial,
                                                           date, amount, model);
    return books::AppendKpiEntry(session.Db(), session.businessYear,
                                 deleted ? rows::Negated(e) : e);
}

// A payment to a supplier that closes no invoice: the whole amount an expenditure of the
// model's column, "<supplier>, -".
std::optional<int> BookSupplierPayment(Session& session, int supplier, const QDate& date,
                                       double amount, const QString& model, bool deleted) {
    if (!session.options.r2 || Cents(amount) == 0) {
        return std::nullopt;
    }
    Database& db = session.Db();
    books::KpiEntry e;
    e.date = date;
    e.description =
        (db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"),
                   {supplier})
             .toString() +
         QStringLiteral(", -"))
            .left(books::kKpiMaxDescription);
    const auto column = books::KpiColumnForModel(model, false);
    e.amounts[column ? *column : books::kCashExpenditures] = amount;
    books::ComputeKpiTotals(e.amounts);
    return books::AppendKpiEntry(db, session.businessYear, deleted ? rows::Negated(e) : e);
}

struct PaymentRow {
    int supplier = 0;
    QDate date;
    QString model;
    double amount = 0;
};

std::optional<PaymentRow> ReadPayment(Database& db, int payment) {
    Statement s(db, QStringLiteral("SELECT \"Partner\", \"Datum\", \"Tip\", \"Iznos\" FROM "
                                   "\"UPLATE_URA\" WHERE \"Sifra\" = ?"));
    s.Exec({payment});
    if (!s.Next()) {
        return std::nullopt;
    }
    return PaymentRow{s.IsNull(0) ? 0 : s.Int(0), sqlvalue::ToDate(s.Value(1)), s.Text(2),
                      s.IsNull(3) ? 0 : s.Double(3)};
}

}  // namespace

InvoiceBalance InputInvoiceBalanceOf(Database& db, const InputInvoiceKey& key) {
    return {RequireInputInvoice(db, key).amount, PaidOn(db, key)};
}

QString DefaultPurpose(Database& db, const InputInvoiceKey& key) {
    return QStringLiteral("Plaćanje po računu br. ") + RequireInputInvoice(db, key).number;
}

RecordResult RecordInputInvoicePayment(Session& session, const InputInvoiceKey& invoice,
                                       const PaymentEntry& entry, const QString& purpose,
                                       EntryWindow window) {
    Database& db = session.Db();
    CheckPaymentEntry(db, entry, SupplierModels(), window, session.businessYear);
    if (const auto bad = limits::CheckText(purpose, QStringLiteral("Svrha doznake"))) {
        throw UserError(*bad);
    }
    Transaction tx(db);
    const InputHead head = RequireInputInvoice(db, invoice);
    if (Cents(PaidOn(db, invoice)) + Cents(entry.amount) > Cents(head.amount)) {
        throw UserError(window == EntryWindow::Collection ? OverpaidMessage()
                                                          : OverpaidLaterMessage());
    }
    RecordResult result;
    result.payment = rows::InsertPayment(db, kSupplierSide, session.activeWarehouse.code,
                                         invoice.year, head.supplier, entry);
    db.Exec(QStringLiteral("INSERT INTO \"PLACANJA\" (\"URA\", \"GODINA\", \"Redni broj knjige "
                           "UFA\", \"Tip\", \"Datum\", \"Opis dokumenta\", \"Iznos\", \"Svrha "
                           "doznake\", \"Sifra uplate URA\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {invoice.book, invoice.year, invoice.serial, entry.model, entry.date, entry.text,
             entry.amount,
             purpose.trimmed().isEmpty() ? QStringLiteral("Plaćanje po računu br. ") + head.number
                                         : purpose,
             result.payment});
    result.bookEntry =
        BookInvoicePayment(session, invoice, entry.date, entry.amount, entry.model, false);
    tx.Commit();
    return result;
}

RecordResult RecordSupplierPaymentAndClose(Session& session, std::optional<int> supplier,
                                           const std::optional<InputInvoiceKey>& invoice,
                                           const PaymentEntry& entry, const QString& purpose) {
    if (!invoice) {
        throw UserError(NoInvoiceMessage());
    }
    if (!supplier || *supplier <= 0) {
        throw UserError(NoSupplierMessage());
    }
    if (RequireInputInvoice(session.Db(), *invoice).supplier != *supplier) {
        throw UserError(NoInvoiceMessage());
    }
    return RecordInputInvoicePayment(session, *invoice, entry, purpose,
                                     EntryWindow::PaymentAndClose);
}

RecordResult RecordSupplierPayment(Session& session, std::optional<int> supplier,
                                   const PaymentEntry& entry) {
    Database& db = session.Db();
    rows::RequirePartner(db, supplier, NoSupplierMessage());
    CheckPaymentEntry(db, entry, SupplierModels(), EntryWindow::PaymentAndClose,
                      session.businessYear);
    Transaction tx(db);
    RecordResult result;
    result.payment = rows::InsertPayment(db, kSupplierSide, session.activeWarehouse.code,
                                         session.businessYear, *supplier, entry);
    result.bookEntry =
        BookSupplierPayment(session, *supplier, entry.date, entry.amount, entry.model, false);
    tx.Commit();
    return result;
}

DeletedCollection DeleteInputInvoicePayment(Session& session, int closing) {
    Database& db = session.Db();
    Transaction tx(db);
    Statement s(db, QStringLiteral("SELECT \"URA\", \"GODINA\", \"Redni broj knjige UFA\", "
                                   "\"Tip\", \"Datum\", \"Iznos\", \"Sifra uplate URA\" FROM "
                                   "\"PLACANJA\" WHERE \"Sifra\" = ?"));
    s.Exec({closing});
    if (!s.Next()) {
        return {};
    }
    const InputInvoiceKey key{s.Int(0), s.Int(1), s.Int(2)};
    const QString model = s.Text(3);
    const QDate date = sqlvalue::ToDate(s.Value(4));
    const double amount = s.IsNull(5) ? 0 : s.Double(5);
    const int payment = s.IsNull(6) ? 0 : s.Int(6);
    s.Finish();
    db.Exec(QStringLiteral("DELETE FROM \"PLACANJA\" WHERE \"Sifra\" = ?"), {closing});
    const DeletedCollection result{
        true, rows::DeletePaymentOfLoneClosing(db, kSupplierSide, payment, amount)};
    if (result.paymentDeleted) {
        BookInvoicePayment(session, key, date, amount, model, true);
    }
    tx.Commit();
    return result;
}

std::optional<int> DeleteSupplierPayment(Session& session, int payment) {
    Database& db = session.Db();
    Transaction tx(db);
    const std::optional<PaymentRow> paid = ReadPayment(db, payment);
    if (!paid) {
        return std::nullopt;
    }
    struct Closing {
        InputInvoiceKey key;
        QDate date;
        double amount;
    };
    std::vector<Closing> closings;
    {
        Statement s(db, QStringLiteral("SELECT \"URA\", \"GODINA\", \"Redni broj knjige UFA\", "
                                       "\"Datum\", \"Iznos\" FROM \"PLACANJA\" WHERE \"Sifra "
                                       "uplate URA\" = ?"));
        s.Exec({payment});
        while (s.Next()) {
            closings.push_back({{s.Int(0), s.Int(1), s.Int(2)},
                                sqlvalue::ToDate(s.Value(3)),
                                s.IsNull(4) ? 0 : s.Double(4)});
        }
    }
    MoneyTotal closed;
    for (const Closing& c : closings) {
        closed.Add(c.amount);
        // The proposal reads the invoice, so the counter-entry is made before the rows go.
        if (db.Scalar(QStringLiteral("SELECT 1 FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE \"URA\" = ? "
                                     "AND \"GODINA\" = ? AND \"Redni broj\" = ?"),
                      Params(c.key))
                .isValid()) {
            BookInvoicePayment(session, c.key, c.date, c.amount, paid->model, true);
        }
    }
    db.Exec(QStringLiteral("DELETE FROM \"PLACANJA\" WHERE \"Sifra uplate URA\" = ?"), {payment});
    db.Exec(QStringLiteral("DELETE FROM \"UPLATE_URA\" WHERE \"Sifra\" = ?"), {payment});
    BookSupplierPayment(session, paid->supplier, paid->date,
                        static_cast<double>(Cents(paid->amount) - Cents(closed.Value())) / 100.0,
                        paid->model, true);
    tx.Commit();
    return static_cast<int>(closings.size());
}

TableData BookInputInvoices(Database& db, int book, int year) {
    TableData t = ReadTable(
        db,
        QStringLiteral("SELECT k.\"Redni broj\", k.\"Račun broj\", p.\"NAZIV\", k.\"Račun datum\", "
                       "k.\"Dospijeće\", k.\"Iznos računa sa porezom\", 0 FROM "
                       "\"KNJIGE_ULAZNIH_RACUNA\" k LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = "
                       "k.\"Šifra dobavljača\" WHERE k.\"URA\" = ? AND k.\"GODINA\" = ? ORDER BY "
                       "k.\"Redni broj\""),
        {book, year},
        {{QStringLiteral("Redni broj"), TableColumn::Format::Integer},
         {QStringLiteral("Račun broj")},
         {QStringLiteral("Dobavljač")},
         {QStringLiteral("Datum"), TableColumn::Format::Date},
         {QStringLiteral("Dospijeće"), TableColumn::Format::Date},
         {QStringLiteral("Iznos"), TableColumn::Format::Money},
         {QStringLiteral("Plaćeno"), TableColumn::Format::Money}});
    for (QVariantList& row : t.rows) {
        row[6] = PaidOn(db, {book, year, row[0].toInt()});
    }
    return t;
}

TableData InputInvoicePayments(Database& db, const InputInvoiceKey& key) {
    return ReadTable(db,
                     QStringLiteral("SELECT \"Sifra uplate URA\", \"Datum\", \"Iznos\", \"Tip\", "
                                    "\"Opis dokumenta\", \"Svrha doznake\", \"Sifra\" FROM "
                                    "\"PLACANJA\" WHERE \"URA\" = ? AND \"GODINA\" = ? AND "
                                    "\"Redni broj knjige UFA\" = ? ORDER BY \"Datum\", \"Sifra\""),
                     Params(key),
                     {{QStringLiteral("Šifra uplate"), TableColumn::Format::Integer},
                      {QStringLiteral("Datum"), TableColumn::Format::Date},
                      {QStringLiteral("Iznos"), TableColumn::Format::Money},
                      {QStringLiteral("Vrsta plaćanja")},
                      {QStringLiteral("Dokument")},
                      {QStringLiteral("Svrha doznake")},
                      {QStringLiteral("Šifra plaćanja"), TableColumn::Format::Integer, -1, true}});
}

TableData OpenInputInvoices(Database& db, int supplier, int book) {
    TableData t;
    t.columns = {{QStringLiteral("Račun")},
                 {QStringLiteral("Ukupno:"), TableColumn::Format::Money},
                 {QStringLiteral("Plaćeno:"), TableColumn::Format::Money},
                 {QStringLiteral("Dugovanje:"), TableColumn::Format::Money},
                 {QStringLiteral("Godina"), TableColumn::Format::Integer, -1, true},
                 {QStringLiteral("Redni broj"), TableColumn::Format::Integer, -1, true}};
    Statement s(db, QStringLiteral("SELECT \"GODINA\", \"Redni broj\", \"Račun broj\", \"Iznos "
                                   "računa sa porezom\" FROM \"KNJIGE_ULAZNIH_RACUNA\" WHERE "
                                   "\"Šifra dobavljača\" = ? AND \"URA\" = ? ORDER BY \"GODINA\", "
                                   "\"Redni broj\""));
    s.Exec({supplier, book});
    std::vector<QVariantList> candidates;
    while (s.Next()) {
        candidates.push_back({s.Int(0), s.Int(1), s.Text(2), s.IsNull(3) ? 0.0 : s.Double(3)});
    }
    s.Finish();
    for (const QVariantList& c : candidates) {
        const double paid = PaidOn(db, {book, c[0].toInt(), c[1].toInt()});
        const double amount = c[3].toDouble();
        if (Cents(paid) != 0 && Cents(amount) <= Cents(paid)) {
            continue;
        }
        t.rows.push_back(
            {QStringLiteral("%1 (%2/%3)").arg(c[2].toString()).arg(c[1].toInt()).arg(c[0].toInt()),
             amount, paid, static_cast<double>(Cents(amount) - Cents(paid)) / 100.0, c[0], c[1]});
    }
    return t;
}

}  // namespace zodra::payments
