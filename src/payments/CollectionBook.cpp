#include "payments/CollectionBook.h"

#include <map>
#include <tuple>

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

using rows::kCustomerSide;
using rows::SumAtCent;

using Key = std::tuple<int, int, int, int>;  // warehouse, book, year, number

const char* kInvoiceWhere =
    "\"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ RACUNA\" = ?";
const char* kCollectionWhere =
    "\"Skladište\" = ? AND \"IRA\" = ? AND \"Godina\" = ? AND \"Broj računa\" = ?";

QVariantList Params(const InvoiceKey& k) {
    return {k.warehouse, k.book, k.year, k.number};
}

struct InvoiceHead {
    int partner = 0;
    int salesTerms = 0;
};

// The invoice a collection is written against: it must be there and not cancelled.
InvoiceHead RequireInvoice(Database& db, const InvoiceKey& k) {
    Statement s(db, QStringLiteral("SELECT \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"STORNO\" FROM "
                                   "\"RACUNI\" WHERE ") +
                        QString::fromUtf8(kInvoiceWhere));
    s.Exec(Params(k));
    if (!s.Next()) {
        throw UserError(
            QStringLiteral("Ne postoji račun broj %1 u knjizi IRA %2.").arg(k.number).arg(k.book));
    }
    if (sqlvalue::ToBool(s.Value(2))) {
        throw UserError(QStringLiteral("Račun broj %1 je storniran.").arg(k.number));
    }
    return {s.IsNull(0) ? 0 : s.Int(0), s.IsNull(1) ? 0 : s.Int(1)};
}

double InvoiceTotal(Database& db, const InvoiceKey& k) {
    return SumAtCent(
        db,
        QStringLiteral("SELECT \"UKUPNO_\" FROM \"STAVKE_RACUNA\" WHERE \"SKLADISTE\" "
                       "= ? AND \"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ?"),
        Params(k));
}

double CollectedOn(Database& db, const InvoiceKey& k) {
    return SumAtCent(db,
                     QStringLiteral("SELECT \"Iznos\" FROM \"NAPLATA\" WHERE ") +
                         QString::fromUtf8(kCollectionWhere),
                     Params(k));
}

// Refuses an amount that would take the invoice's collections beyond its total at the cent.
void RequireNotOverpaid(Database& db, const InvoiceKey& k, double amount, const QString& message) {
    if (Cents(CollectedOn(db, k)) + Cents(amount) > Cents(InvoiceTotal(db, k))) {
        throw UserError(message);
    }
}

QVariant CardOf(const PaymentEntry& e) {
    return e.model == CardModel() && e.cardType ? QVariant(*e.cardType) : QVariant();
}

// Returns the collection's code.
int InsertCollection(Database& db, const InvoiceKey& k, const QString& model, const QDate& date,
                     const QString& text, double amount, const QVariant& card, int payment) {
    db.Exec(QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", \"Broj "
                           "računa\", \"Tip\", \"Datum\", \"Opis dokumenta\", \"Iznos\", \"Tip "
                           "kartice\", \"Sifra uplate\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {k.warehouse, k.book, k.year, k.number, model, date, text, amount, card, payment});
    // The write lock is held: the highest code is the row just added.
    return db.Scalar(QStringLiteral("SELECT MAX(\"Sifra\") FROM \"NAPLATA\"")).toInt();
}

Session::CollectionEvent CollectionEventOf(const InvoiceKey& k, int collection, const QDate& date,
                                           double amount, const QString& model) {
    return {k.warehouse, k.book, k.year, k.number, collection, date, amount, model};
}

// The R-2 book after a collection changed: a retail invoice's day is rebuilt from its
// collections, any other collection gets its own entry (a counter-entry when it was deleted).
std::optional<int> BookCollection(Session& session, const InvoiceKey& k, int salesTerms,
                                  const QDate& date, double amount, const QString& model,
                                  bool deleted) {
    if (!session.options.r2) {
        return std::nullopt;
    }
    Database& db = session.Db();
    if (salesTerms == 1) {
        return books::RebuildDailyCashSales(db, session.businessYear, date);
    }
    books::KpiEntry e = books::ProposeCollectionEntry(db, k.warehouse, k.book, k.year, k.number,
                                                      date, amount, model);
    return books::AppendKpiEntry(db, session.businessYear, deleted ? rows::Negated(e) : e);
}

std::optional<int> BookCustomerPayment(Session& session, int partner, const QDate& date,
                                       double amount, const QString& model, bool deleted) {
    if (!session.options.r2 || Cents(amount) == 0) {
        return std::nullopt;
    }
    Database& db = session.Db();
    books::KpiEntry e =
        books::ProposeCustomerPaymentEntry(db, session.businessYear, partner, date, amount, model);
    return books::AppendKpiEntry(db, session.businessYear, deleted ? rows::Negated(e) : e);
}

struct PaymentRow {
    int partner = 0;
    QDate date;
    QString model;
    QString text;
    double amount = 0;
    QVariant card;
};

std::optional<PaymentRow> ReadPayment(Database& db, int payment) {
    Statement s(db, QStringLiteral("SELECT \"Partner\", \"Datum\", \"Tip\", \"Opis\", \"Iznos\", "
                                   "\"Tip kartice\" FROM \"UPLATE\" WHERE \"Sifra\" = ?"));
    s.Exec({payment});
    if (!s.Next()) {
        return std::nullopt;
    }
    return PaymentRow{s.IsNull(0) ? 0 : s.Int(0),
                      sqlvalue::ToDate(s.Value(1)),
                      s.Text(2),
                      s.Text(3),
                      s.IsNull(4) ? 0 : s.Double(4),
                      s.Value(5)};
}

// A collection reported to the tax administration is deleted only where the program records
// the deletion's report too (the session's removal hook).
void RefuseUnrecordedRemoval(Session& session, int collection) {
    if (session.duringCollectionRemoval) {
        return;
    }
    const QVariant reported = session.Db().Scalar(
        QStringLiteral("SELECT 1 FROM \"FISKAL_IZVJESTAJI\" WHERE \"VRSTA\" = 'NAPLATA' AND "
                       "\"NAPLATA\" = ?"),
        {collection});
    if (reported.isValid() && !reported.isNull()) {
        throw UserError(ReportedCollectionRemovalRefusal());
    }
}

void RecordRemoval(Session& session, const Session::CollectionEvent& event) {
    RefuseUnrecordedRemoval(session, event.collection);
    if (session.duringCollectionRemoval) {
        session.duringCollectionRemoval(session, event);
    }
}

QString WarehouseName(Database& db, int code) {
    return db
        .Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"SKLADISTA\" WHERE \"SIFRA\" = ?"), {code})
        .toString();
}

}  // namespace

QString ReportedCollectionRemovalRefusal() {
    return QStringLiteral(
        "Naplata je prijavljena Poreznoj upravi pa se i njezino brisanje mora prijaviti, a u ovom "
        "programu fiskalizacija nije postavljena.");
}

double InvoiceBalance::Open() const {
    return static_cast<double>(Cents(amount) - Cents(collected)) / 100.0;
}

InvoiceBalance InvoiceBalanceOf(Database& db, const InvoiceKey& key) {
    return {InvoiceTotal(db, key), CollectedOn(db, key)};
}

RecordResult RecordCollection(Session& session, const InvoiceKey& invoice,
                              const PaymentEntry& entry, EntryWindow window) {
    Database& db = session.Db();
    CheckPaymentEntry(db, entry, CustomerModels(), window, session.businessYear);
    Transaction tx(db);
    const InvoiceHead head = RequireInvoice(db, invoice);
    RequireNotOverpaid(
        db, invoice, entry.amount,
        window == EntryWindow::Collection ? OverpaidMessage() : OverpaidLaterMessage());
    RecordResult result;
    result.payment = rows::InsertPayment(db, kCustomerSide, invoice.warehouse, invoice.year,
                                         head.partner, entry, CardOf(entry));
    const int collection = InsertCollection(db, invoice, entry.model, entry.date, entry.text,
                                            entry.amount, CardOf(entry), result.payment);
    result.bookEntry = BookCollection(session, invoice, head.salesTerms, entry.date, entry.amount,
                                      entry.model, false);
    const Session::CollectionEvent event =
        CollectionEventOf(invoice, collection, entry.date, entry.amount, entry.model);
    if (session.duringInvoiceCollection) {
        session.duringInvoiceCollection(session, event);
    }
    tx.Commit();
    if (session.afterInvoiceCollection) {
        session.afterInvoiceCollection(session, event);
    }
    return result;
}

RecordResult RecordPaymentAndClose(Session& session, std::optional<int> customer,
                                   const std::optional<InvoiceKey>& invoice,
                                   const PaymentEntry& entry) {
    if (!invoice) {
        throw UserError(NoInvoiceMessage());
    }
    if (!customer || *customer <= 0) {
        throw UserError(NoCustomerMessage());
    }
    const QVariant owner =
        session.Db().Scalar(QStringLiteral("SELECT \"SIFRA PARTNERA\" FROM \"RACUNI\" WHERE ") +
                                QString::fromUtf8(kInvoiceWhere),
                            Params(*invoice));
    if (owner.isValid() && owner.toInt() != *customer) {
        throw UserError(NoInvoiceMessage());
    }
    return RecordCollection(session, *invoice, entry, EntryWindow::PaymentAndClose);
}

RecordResult RecordCustomerPayment(Session& session, std::optional<int> customer,
                                   const PaymentEntry& entry) {
    Database& db = session.Db();
    rows::RequirePartner(db, customer, NoCustomerMessage());
    CheckPaymentEntry(db, entry, CustomerModels(), EntryWindow::PaymentAndClose,
                      session.businessYear);
    Transaction tx(db);
    RecordResult result;
    result.payment = rows::InsertPayment(db, kCustomerSide, session.activeWarehouse.code,
                                         session.businessYear, *customer, entry, CardOf(entry));
    result.bookEntry =
        BookCustomerPayment(session, *customer, entry.date, entry.amount, entry.model, false);
    tx.Commit();
    return result;
}

QStringList CustomerEntryKinds() {
    return {QStringLiteral("Uplata"), QStringLiteral("Početno stanje duguje"),
            QStringLiteral("Početno stanje potražuje")};
}

int RecordOpeningBalance(Session& session, bool supplier, std::optional<int> partner,
                         OpeningSide side, const QDate& date, const QString& text, double amount) {
    Database& db = session.Db();
    rows::RequirePartner(db, partner, supplier ? NoSupplierMessage() : NoCustomerMessage());
    limits::RequireNumber(amount, limits::NumberKind::Amount, QStringLiteral("Iznos"));
    if (Cents(amount) == 0) {
        throw UserError(ZeroAmountMessage());
    }
    limits::RequireDocumentDate(date, session.businessYear, QStringLiteral("Datum"));
    if (const auto bad = limits::CheckText(text, QStringLiteral("Opis"))) {
        throw UserError(*bad);
    }
    const QString table = supplier ? QStringLiteral("\"DOBAVLJACI POCETNO STANJE\"")
                                   : QStringLiteral("\"PARTNERI POCETNO STANJE\"");
    Transaction tx(db);
    db.Exec(
        QStringLiteral("INSERT INTO ") + table +
            QStringLiteral(" (\"Skladiste\", \"Godina\", \"Partner\", \"Datum\", \"Opis\", "
                           "\"Duguje\", \"Potražuje\") VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {session.activeWarehouse.code, session.businessYear, *partner, date, text,
         side == OpeningSide::Debit ? amount : 0.0, side == OpeningSide::Credit ? amount : 0.0});
    const int code = db.Scalar(QStringLiteral("SELECT MAX(\"Sifra\") FROM ") + table).toInt();
    tx.Commit();
    return code;
}

bool DeleteOpeningBalance(Session& session, bool supplier, int code) {
    Database& db = session.Db();
    Transaction tx(db);
    const int n = db.Exec(QStringLiteral("DELETE FROM ") +
                              (supplier ? QStringLiteral("\"DOBAVLJACI POCETNO STANJE\"")
                                        : QStringLiteral("\"PARTNERI POCETNO STANJE\"")) +
                              QStringLiteral(" WHERE \"Sifra\" = ?"),
                          {code});
    tx.Commit();
    return n > 0;
}

void CloseLater(Session& session, std::optional<int> customer,
                const std::optional<InvoiceKey>& invoice, std::optional<int> payment,
                double amount) {
    Database& db = session.Db();
    limits::RequireNumber(amount, limits::NumberKind::Amount, QStringLiteral("Iznos"));
    if (Cents(amount) == 0) {
        throw UserError(ZeroAmountMessage());
    }
    if (!customer || *customer <= 0) {
        throw UserError(NoCustomerMessage());
    }
    if (!invoice) {
        throw UserError(NoInvoiceMessage());
    }
    if (!payment) {
        throw UserError(NoPaymentMessage());
    }
    Transaction tx(db);
    const InvoiceHead head = RequireInvoice(db, *invoice);
    const std::optional<PaymentRow> paid = ReadPayment(db, *payment);
    if (!paid) {
        throw UserError(NoPaymentMessage());
    }
    // A payment closes only invoices of the customer who made it.
    if (paid->partner != *customer || head.partner != *customer) {
        throw UserError(NoCoverMessage());
    }
    if (Cents(rows::ClosedFrom(db, kCustomerSide, *payment)) + Cents(amount) >
        Cents(paid->amount)) {
        throw UserError(NoCoverMessage());
    }
    RequireNotOverpaid(db, *invoice, amount, OverpaidLaterMessage());
    const int collection = InsertCollection(db, *invoice, paid->model, paid->date, paid->text,
                                            amount, paid->card, *payment);
    const Session::CollectionEvent event =
        CollectionEventOf(*invoice, collection, paid->date, amount, paid->model);
    if (session.duringInvoiceCollection) {
        session.duringInvoiceCollection(session, event);
    }
    if (head.salesTerms == 1 && session.options.r2) {
        books::RebuildDailyCashSales(db, session.businessYear, paid->date);
    }
    tx.Commit();
    if (session.afterInvoiceCollection) {
        session.afterInvoiceCollection(session, event);
    }
}

DeletedCollection DeleteCollection(Session& session, int collection) {
    Database& db = session.Db();
    Transaction tx(db);
    Statement s(db, QStringLiteral("SELECT \"Skladište\", \"IRA\", \"Godina\", \"Broj računa\", "
                                   "\"Tip\", \"Datum\", \"Iznos\", \"Sifra uplate\" FROM "
                                   "\"NAPLATA\" WHERE \"Sifra\" = ?"));
    s.Exec({collection});
    if (!s.Next()) {
        return {};
    }
    const InvoiceKey key{s.Int(0), s.Int(1), s.Int(2), s.Int(3)};
    const QString model = s.Text(4);
    const QDate date = sqlvalue::ToDate(s.Value(5));
    const double amount = s.IsNull(6) ? 0 : s.Double(6);
    const int payment = s.IsNull(7) ? 0 : s.Int(7);
    s.Finish();
    const Session::CollectionEvent event = CollectionEventOf(key, collection, date, amount, model);
    RecordRemoval(session, event);
    const QVariant terms =
        db.Scalar(QStringLiteral("SELECT \"UVJET PRODAJE\" FROM \"RACUNI\" WHERE ") +
                      QString::fromUtf8(kInvoiceWhere),
                  Params(key));
    db.Exec(QStringLiteral("DELETE FROM \"NAPLATA\" WHERE \"Sifra\" = ?"), {collection});
    const DeletedCollection result{
        true, rows::DeletePaymentOfLoneClosing(db, kCustomerSide, payment, amount)};
    const int salesTerms = terms.isValid() ? terms.toInt() : 0;
    // The retail day follows its collections; another invoice's entry is undone only when the
    // money itself is gone (a payment kept still stands in the book as received).
    if (salesTerms == 1 || result.paymentDeleted) {
        BookCollection(session, key, salesTerms, date, amount, model, true);
    }
    tx.Commit();
    if (session.afterCollectionRemoval) {
        session.afterCollectionRemoval(session, event);
    }
    return result;
}

std::optional<int> DeletePayment(Session& session, int payment) {
    Database& db = session.Db();
    Transaction tx(db);
    const std::optional<PaymentRow> paid = ReadPayment(db, payment);
    if (!paid) {
        return std::nullopt;
    }
    struct Closing {
        InvoiceKey key;
        int salesTerms;
        QDate date;
        double amount;
        int code;
    };
    std::vector<Closing> closings;
    {
        Statement s(
            db,
            QStringLiteral("SELECT n.\"Skladište\", n.\"IRA\", n.\"Godina\", n.\"Broj računa\", "
                           "r.\"UVJET PRODAJE\", n.\"Datum\", n.\"Iznos\", n.\"Sifra\" FROM "
                           "\"NAPLATA\" n LEFT "
                           "JOIN \"RACUNI\" r ON r.\"SKLADISTE\" = n.\"Skladište\" AND r.\"IRA\" = "
                           "n.\"IRA\" AND r.\"GODINA\" = n.\"Godina\" AND r.\"BROJ RACUNA\" = "
                           "n.\"Broj računa\" WHERE n.\"Sifra uplate\" = ?"));
        s.Exec({payment});
        while (s.Next()) {
            closings.push_back({{s.Int(0), s.Int(1), s.Int(2), s.Int(3)},
                                s.IsNull(4) ? 0 : s.Int(4),
                                sqlvalue::ToDate(s.Value(5)),
                                s.IsNull(6) ? 0 : s.Double(6),
                                s.Int(7)});
        }
    }
    std::vector<Session::CollectionEvent> removed;
    for (const Closing& c : closings) {
        removed.push_back(CollectionEventOf(c.key, c.code, c.date, c.amount, paid->model));
        RecordRemoval(session, removed.back());
    }
    db.Exec(QStringLiteral("DELETE FROM \"NAPLATA\" WHERE \"Sifra uplate\" = ?"), {payment});
    db.Exec(QStringLiteral("DELETE FROM \"UPLATE\" WHERE \"Sifra\" = ?"), {payment});
    MoneyTotal closed;
    for (const Closing& c : closings) {
        closed.Add(c.amount);
        BookCollection(session, c.key, c.salesTerms, c.date, c.amount, paid->model, true);
    }
    BookCustomerPayment(session, paid->partner, paid->date,
                        static_cast<double>(Cents(paid->amount) - Cents(closed.Value())) / 100.0,
                        paid->model, true);
    tx.Commit();
    if (session.afterCollectionRemoval) {
        for (const Session::CollectionEvent& event : removed) {
            session.afterCollectionRemoval(session, event);
        }
    }
    return static_cast<int>(closings.size());
}

TableData BookInvoices(Database& db, int book, std::optional<int> year) {
    const QString yearWhere = year ? QStringLiteral(" AND r.\"GODINA\" = ?") : QString();
    QVariantList params{book};
    if (year) {
        params << *year;
    }
    std::map<Key, MoneyTotal> totals;
    {
        Statement s(db, QStringLiteral("SELECT l.\"SKLADISTE\", l.\"GODINA\", l.\"BROJ_RACUNA\", "
                                       "l.\"UKUPNO_\" FROM \"STAVKE_RACUNA\" l JOIN \"RACUNI\" r "
                                       "ON r.\"SKLADISTE\" = l.\"SKLADISTE\" AND r.\"IRA\" = "
                                       "l.\"IRA\" AND r.\"GODINA\" = l.\"GODINA\" AND r.\"BROJ "
                                       "RACUNA\" = l.\"BROJ_RACUNA\" WHERE r.\"IRA\" = ? AND "
                                       "r.\"STORNO\" = FALSE") +
                            yearWhere);
        s.Exec(params);
        while (s.Next()) {
            if (!s.IsNull(3)) {
                totals[{s.Int(0), book, s.Int(1), s.Int(2)}].Add(s.Double(3));
            }
        }
    }
    TableData t = ReadTable(
        db,
        QStringLiteral("SELECT w.\"NAZIV\", r.\"GODINA\", r.\"BROJ RACUNA\", p.\"NAZIV\", "
                       "r.\"DATUM\", r.\"DOSPIJECE RACUNA\", 0, r.\"SKLADISTE\" FROM \"RACUNI\" r "
                       "LEFT JOIN \"SKLADISTA\" w ON w.\"SIFRA\" = r.\"SKLADISTE\" LEFT JOIN "
                       "\"PARTNERI\" p ON p.\"SIFRA\" = r.\"SIFRA PARTNERA\" WHERE r.\"IRA\" = ? "
                       "AND r.\"STORNO\" = FALSE") +
            yearWhere +
            QStringLiteral(" ORDER BY r.\"GODINA\", r.\"BROJ RACUNA\", r.\"SKLADISTE\""),
        params,
        {{QStringLiteral("Skladište")},
         {QStringLiteral("Godina"), TableColumn::Format::Integer},
         {QStringLiteral("Broj"), TableColumn::Format::Integer},
         {QStringLiteral("Kupac")},
         {QStringLiteral("Datum"), TableColumn::Format::Date},
         {QStringLiteral("Dospijeće"), TableColumn::Format::Date},
         {QStringLiteral("Iznos"), TableColumn::Format::Money},
         {QStringLiteral("Šifra skladišta"), TableColumn::Format::Integer, -1, true}});
    for (QVariantList& row : t.rows) {
        const auto it = totals.find({row[7].toInt(), book, row[1].toInt(), row[2].toInt()});
        row[6] = it == totals.end() ? 0.0 : it->second.Value();
    }
    return t;
}

TableData InvoiceCollections(Database& db, const InvoiceKey& key) {
    return ReadTable(db,
                     QStringLiteral("SELECT \"Sifra uplate\", \"Datum\", \"Iznos\", \"Tip\", "
                                    "\"Opis dokumenta\", \"Sifra\" FROM \"NAPLATA\" WHERE ") +
                         QString::fromUtf8(kCollectionWhere) +
                         QStringLiteral(" ORDER BY \"Datum\", \"Sifra\""),
                     Params(key),
                     {{QStringLiteral("Šifra uplate"), TableColumn::Format::Integer},
                      {QStringLiteral("Datum"), TableColumn::Format::Date},
                      {QStringLiteral("Iznos"), TableColumn::Format::Money},
                      {QStringLiteral("Vrsta plaćanja")},
                      {QStringLiteral("Dokument")},
                      {QStringLiteral("Šifra naplate"), TableColumn::Format::Integer, -1, true}});
}

TableData OpenInvoices(Database& db, int customer, int book) {
    TableData t;
    t.columns = {{QStringLiteral("Račun")},
                 {QStringLiteral("Ukupno:"), TableColumn::Format::Money},
                 {QStringLiteral("Naplaćeno:"), TableColumn::Format::Money},
                 {QStringLiteral("Dugovanje:"), TableColumn::Format::Money},
                 {QStringLiteral("Skladište"), TableColumn::Format::Integer, -1, true},
                 {QStringLiteral("Godina"), TableColumn::Format::Integer, -1, true},
                 {QStringLiteral("Broj"), TableColumn::Format::Integer, -1, true}};
    std::vector<InvoiceKey> keys;
    {
        Statement s(db, QStringLiteral("SELECT \"SKLADISTE\", \"GODINA\", \"BROJ RACUNA\" FROM "
                                       "\"RACUNI\" WHERE \"SIFRA PARTNERA\" = ? AND \"IRA\" = ? "
                                       "AND \"STORNO\" = FALSE AND \"BROJ RACUNA\" > 0 ORDER BY "
                                       "\"GODINA\", \"BROJ RACUNA\", \"SKLADISTE\""));
        s.Exec({customer, book});
        while (s.Next()) {
            keys.push_back({s.Int(0), book, s.Int(1), s.Int(2)});
        }
    }
    std::map<int, QString> names;
    for (const InvoiceKey& k : keys) {
        const InvoiceBalance b = InvoiceBalanceOf(db, k);
        if (Cents(b.collected) != 0 && Cents(b.amount) <= Cents(b.collected)) {
            continue;
        }
        if (!names.count(k.warehouse)) {
            names[k.warehouse] = WarehouseName(db, k.warehouse);
        }
        t.rows.push_back(
            {QStringLiteral("%1/%2-%3").arg(k.number).arg(k.year).arg(names[k.warehouse]), b.amount,
             b.collected, b.Open(), k.warehouse, k.year, k.number});
    }
    return t;
}

TableData CustomerPayments(Database& db, int customer) {
    TableData t = ReadTable(
        db,
        QStringLiteral("SELECT u.\"Datum\", u.\"Opis\", u.\"Iznos\", 0, u.\"Sifra\", u.\"Tip\", "
                       "u.\"Tip kartice\" FROM \"UPLATE\" u WHERE u.\"Partner\" = ? ORDER BY "
                       "u.\"Datum\", u.\"Sifra\""),
        {customer},
        {{QStringLiteral("Datum"), TableColumn::Format::Date},
         {QStringLiteral("Opis")},
         {QStringLiteral("Iznos:"), TableColumn::Format::Money},
         {QStringLiteral("Zatvoreno:"), TableColumn::Format::Money},
         {QStringLiteral("Sifra"), TableColumn::Format::Integer},
         {QStringLiteral("Tip")},
         {QStringLiteral("Tip kartice"), TableColumn::Format::Integer}});
    for (QVariantList& row : t.rows) {
        row[3] = rows::ClosedFrom(db, kCustomerSide, row[4].toInt());
    }
    return t;
}

TableData PaymentList(Database& db, bool supplier, const QDate& from, const QDate& to,
                      std::optional<int> partner) {
    const QString table =
        supplier ? QStringLiteral("\"UPLATE_URA\"") : QStringLiteral("\"UPLATE\"");
    QVariantList params{from, to};
    QString where = QStringLiteral(" WHERE u.\"Datum\" >= ? AND u.\"Datum\" <= ?");
    if (partner) {
        where += QStringLiteral(" AND u.\"Partner\" = ?");
        params << *partner;
    }
    TableData t = ReadTable(
        db,
        QStringLiteral("SELECT u.\"Sifra\", u.\"Datum\", p.\"NAZIV\", u.\"Tip\", u.\"Opis\", "
                       "u.\"Iznos\", 0 FROM ") +
            table + QStringLiteral(" u LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = u.\"Partner\"") +
            where + QStringLiteral(" ORDER BY u.\"Datum\", u.\"Sifra\""),
        params,
        {{QStringLiteral("Sifra"), TableColumn::Format::Integer},
         {QStringLiteral("Datum"), TableColumn::Format::Date},
         {supplier ? QStringLiteral("Dobavljač") : QStringLiteral("Kupac")},
         {QStringLiteral("Tip")},
         {QStringLiteral("Opis")},
         {QStringLiteral("Iznos"), TableColumn::Format::Money},
         {QStringLiteral("Zatvoreno"), TableColumn::Format::Money}});
    for (QVariantList& row : t.rows) {
        row[6] =
            rows::ClosedFrom(db, supplier ? rows::kSupplierSide : kCustomerSide, row[0].toInt());
    }
    return t;
}

TableData OpeningBalances(Database& db, bool supplier, int year) {
    return ReadTable(db,
                     QStringLiteral("SELECT o.\"Sifra\", p.\"NAZIV\", o.\"Datum\", o.\"Opis\", "
                                    "o.\"Duguje\", o.\"Potražuje\" FROM ") +
                         (supplier ? QStringLiteral("\"DOBAVLJACI POCETNO STANJE\"")
                                   : QStringLiteral("\"PARTNERI POCETNO STANJE\"")) +
                         QStringLiteral(" o LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = "
                                        "o.\"Partner\" WHERE o.\"Godina\" = ? ORDER BY "
                                        "o.\"Datum\", o.\"Sifra\""),
                     {year},
                     {{QStringLiteral("Sifra"), TableColumn::Format::Integer},
                      {QStringLiteral("Partner")},
                      {QStringLiteral("Datum"), TableColumn::Format::Date},
                      {QStringLiteral("Opis")},
                      {QStringLiteral("Duguje"), TableColumn::Format::Money},
                      {QStringLiteral("Potražuje"), TableColumn::Format::Money}});
}

QString CollectedText(const InvoiceBalance& balance) {
    return QStringLiteral("Naplaćeno: ") + MoneyText(balance.collected);
}

QString OwedText(const InvoiceBalance& balance) {
    return QStringLiteral("Dugovanje: ") + MoneyText(balance.Open());
}

}  // namespace zodra::payments
