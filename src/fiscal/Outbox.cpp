#include "fiscal/Outbox.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUuid>
#include <set>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "fiscal/ReportOutbox.h"

namespace zodra::fiscal {

namespace {

const QString kColumns = QStringLiteral(
    "\"ID\", \"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", \"DETALJNO\", \"STORNO\", "
    "\"BROJ\", \"OZNAKA_PP\", \"OZNAKA_NU\", \"SLIJED\", \"IZDAN\", \"UKUPNO\", \"POREZI\", "
    "\"OIB\", \"U_SUSTAVU_PDV\", \"OIB_OPERATERA\", \"OPERATER\", \"ZKI\", \"NACIN_PLACANJA\", "
    "\"JIR\", \"POKUSAJA\", \"ZADNJI_POKUSAJ\", \"GRESKA\", \"OIB_PRIMATELJA\", "
    "\"PROMJENA_NACINA\", \"PROMJENA_OIB\"");

// The VAT rows and the exempt amount, kept as JSON text with the record.
QString TaxesText(const FiscalReceipt& r) {
    QJsonArray rows;
    for (const FiscalTax& tax : r.vat) {
        rows.append(QJsonObject{{QStringLiteral("stopa"), tax.rate},
                                {QStringLiteral("osnovica"), tax.base},
                                {QStringLiteral("iznos"), tax.amount}});
    }
    const QJsonObject all{{QStringLiteral("pdv"), rows}, {QStringLiteral("oslobodeno"), r.exempt}};
    return QString::fromUtf8(QJsonDocument(all).toJson(QJsonDocument::Compact));
}

void ReadTaxes(const QString& text, FiscalReceipt& r) {
    const QJsonObject all = QJsonDocument::fromJson(text.toUtf8()).object();
    for (const QJsonValue& row : all.value(QStringLiteral("pdv")).toArray()) {
        const QJsonObject o = row.toObject();
        r.vat.push_back({o.value(QStringLiteral("stopa")).toDouble(),
                         o.value(QStringLiteral("osnovica")).toDouble(),
                         o.value(QStringLiteral("iznos")).toDouble()});
    }
    r.exempt = all.value(QStringLiteral("oslobodeno")).toDouble();
}

FiscalRecord ReadRecord(Statement& q) {
    FiscalRecord f;
    f.id = q.Value(0).toInt();
    f.invoice = {q.Value(1).toInt(), q.Value(2).toInt(),           q.Value(3).toInt(),
                 q.Value(4).toInt(), sqlvalue::ToBool(q.Value(5)), sqlvalue::ToBool(q.Value(6))};
    FiscalReceipt& r = f.receipt;
    r.number = q.Value(7).toLongLong();
    r.premises = q.Value(8).toString();
    r.device = q.Value(9).toString();
    r.sequence = q.Value(10).toString();
    r.issued = sqlvalue::ToDateTime(q.Value(11));
    r.total = sqlvalue::ToDouble(q.Value(12));
    ReadTaxes(sqlvalue::ToText(q.Value(13)), r);
    r.oib = q.Value(14).toString();
    r.inVatSystem = sqlvalue::ToBool(q.Value(15));
    r.operatorOib = q.Value(16).toString();
    f.operatorName = sqlvalue::ToText(q.Value(17));
    r.protectiveCode = q.Value(18).toString();
    r.payment = q.Value(19).toString();
    f.jir = sqlvalue::ToText(q.Value(20));
    f.attempts = q.Value(21).toInt();
    f.lastAttempt = sqlvalue::ToDateTime(q.Value(22));
    f.error = sqlvalue::ToText(q.Value(23));
    r.buyerOib = sqlvalue::ToText(q.Value(24));
    f.changed = !q.IsNull(25);
    f.changedPayment = sqlvalue::ToText(q.Value(25));
    f.changedBuyerOib = sqlvalue::ToText(q.Value(26));
    return f;
}

std::vector<FiscalRecord> Select(Database& db, const QString& where, const QVariantList& params) {
    Statement q = db.Prepare(QStringLiteral("SELECT ") + kColumns +
                             QStringLiteral(" FROM \"FISKAL_RACUNI\" ") + where);
    q.Exec(params);
    std::vector<FiscalRecord> records;
    while (q.Next()) {
        records.push_back(ReadRecord(q));
    }
    return records;
}

// A time as the wall clock showed it: a bound date-time value may be shifted to UTC on the way
// into a column without a time zone, and the issue time must read back exactly as the protective
// code was computed from it.
QString Stamp(const QDateTime& at) {
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

void StoreAttempt(Database& db, int id, const QVariant& jir, const QVariant& error,
                  const QDateTime& at) {
    Transaction transaction(db);
    db.Exec(QStringLiteral("UPDATE \"FISKAL_RACUNI\" SET \"JIR\" = COALESCE(\"JIR\", ?), "
                           "\"GRESKA\" = ?, \"POKUSAJA\" = \"POKUSAJA\" + 1, "
                           "\"ZADNJI_POKUSAJ\" = ? WHERE \"ID\" = ?"),
            {jir, error, Stamp(at), id});
    transaction.Commit();
}

}  // namespace

QString EInvoiceId(int warehouse, int book, int year, int number) {
    return QString::number(number) + QLatin1Char('-') + QString::number(warehouse) +
           QLatin1Char('-') + QString::number(book) + QLatin1Char('-') + QString::number(year);
}

QString EInvoiceId(const InvoiceRef& invoice) {
    return EInvoiceId(invoice.warehouse, invoice.book, invoice.year, invoice.number);
}

qint64 NextFiscalNumber(Database& db, const QString& sequence, const QString& premises,
                        const QString& device, int year) {
    QString sql = QStringLiteral(
        "SELECT MAX(\"BROJ\") FROM \"FISKAL_RACUNI\" WHERE \"SLIJED\" = ? AND \"OZNAKA_PP\" = ? "
        "AND \"GODINA_BROJA\" = ?");
    QVariantList params{sequence, premises, year};
    if (sequence == QStringLiteral("N")) {
        sql += QStringLiteral(" AND \"OZNAKA_NU\" = ?");
        params << device;
    }
    return db.Scalar(sql, params).toLongLong() + 1;
}

int InsertFiscalRecord(Database& db, const InvoiceRef& inv, const FiscalReceipt& r,
                       const QString& operatorName) {
    db.Exec(QStringLiteral(
                "INSERT INTO \"FISKAL_RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                "\"BROJ_RACUNA\", \"DETALJNO\", \"STORNO\", \"BROJ\", \"OZNAKA_PP\", "
                "\"OZNAKA_NU\", \"SLIJED\", \"GODINA_BROJA\", \"IZDAN\", \"UKUPNO\", \"POREZI\", "
                "\"OIB\", \"U_SUSTAVU_PDV\", \"OIB_OPERATERA\", \"OPERATER\", \"ZKI\", "
                "\"NACIN_PLACANJA\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                "?, ?)"),
            {inv.warehouse,          inv.book,        inv.year,     inv.number,       inv.detailed,
             inv.cancellation,       r.number,        r.premises,   r.device,         r.sequence,
             r.issued.date().year(), Stamp(r.issued), r.total,      TaxesText(r),     r.oib,
             r.inVatSystem,          r.operatorOib,   operatorName, r.protectiveCode, r.payment});
    return db
        .Scalar(QStringLiteral("SELECT \"ID\" FROM \"FISKAL_RACUNI\" WHERE \"SKLADISTE\" = ? AND "
                               "\"IRA\" = ? AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ? AND "
                               "\"DETALJNO\" = ? AND \"STORNO\" = ?"),
                {inv.warehouse, inv.book, inv.year, inv.number, inv.detailed, inv.cancellation})
        .toInt();
}

std::optional<FiscalRecord> FindFiscalRecord(Database& db, const InvoiceRef& inv) {
    auto found =
        Select(db,
               QStringLiteral("WHERE \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? "
                              "AND \"BROJ_RACUNA\" = ? AND \"DETALJNO\" = ? AND "
                              "\"STORNO\" = ?"),
               {inv.warehouse, inv.book, inv.year, inv.number, inv.detailed, inv.cancellation});
    if (found.empty()) {
        return std::nullopt;
    }
    return found.front();
}

FiscalRecord FiscalRecordById(Database& db, int id) {
    auto found = Select(db, QStringLiteral("WHERE \"ID\" = ?"), {id});
    if (found.empty()) {
        throw UserError(QStringLiteral("Fiskalni zapis ") + QString::number(id) +
                        QStringLiteral(" ne postoji."));
    }
    return found.front();
}

std::vector<FiscalRecord> UnconfirmedReceipts(Database& db) {
    return Select(db, QStringLiteral("WHERE \"JIR\" IS NULL ORDER BY \"ID\""), {});
}

int UnconfirmedCount(Database& db) {
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_RACUNI\" WHERE \"JIR\" IS NULL"))
        .toInt();
}

TableData UnconfirmedReceiptsTable(Database& db) {
    using F = TableColumn::Format;
    TableData table;
    table.columns = {{QStringLiteral("Broj računa")},
                     {QStringLiteral("Račun"), F::Integer},
                     {QStringLiteral("Storno"), F::Boolean},
                     {QStringLiteral("Izdan")},
                     {QStringLiteral("Iznos"), F::Money},
                     {QStringLiteral("Pokušaja"), F::Integer},
                     {QStringLiteral("Greška")},
                     {QStringLiteral("ID"), F::Integer, -1, true}};
    for (const FiscalRecord& f : UnconfirmedReceipts(db)) {
        table.rows.push_back({FiscalNumber(f.receipt), f.invoice.number, f.invoice.cancellation,
                              f.receipt.issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                              f.receipt.total, f.attempts, f.error, f.id});
    }
    for (const PendingChange& c : PendingChanges(db)) {
        const FiscalRecord f = FiscalRecordById(db, c.receipt);
        table.rows.push_back({PendingChangeCaption(f, c), f.invoice.number, false,
                              f.receipt.issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
                              f.receipt.total, c.attempts, c.error, f.id});
    }
    for (const ReportRecord& r : UnconfirmedReports(db)) {
        const QString document = EInvoiceId(r.invoice);
        table.rows.push_back(
            {ReportKindCaption(r.kind) + QLatin1Char(' ') + document, r.invoice.number,
             r.kind == ReportKind::CreditNote,
             r.queued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")),
             r.kind == ReportKind::Payment || r.kind == ReportKind::PaymentWithdrawal
                 ? QVariant(r.amount)
                 : QVariant(),
             r.attempts, r.error, -r.id});
    }
    return table;
}

QString PendingChangeCaption(const FiscalRecord& record, const PendingChange& change) {
    QString text = QStringLiteral("Promjena ") + FiscalNumber(record.receipt) +
                   QStringLiteral(": ") + change.payment;
    if (!change.buyerOib.isEmpty()) {
        text += QStringLiteral(", OIB ") + change.buyerOib;
    }
    return text;
}

void SetPaymentMethod(Database& db, int id, const QString& payment) {
    Transaction transaction(db);
    db.Exec(QStringLiteral("UPDATE \"FISKAL_RACUNI\" SET \"NACIN_PLACANJA\" = ? WHERE \"ID\" = ? "
                           "AND \"JIR\" IS NULL"),
            {payment, id});
    transaction.Commit();
}

bool SetUnsentPaymentData(Database& db, int id, const QString& payment, const QString& buyerOib) {
    Transaction transaction(db);
    const int changed = db.Exec(
        QStringLiteral("UPDATE \"FISKAL_RACUNI\" SET \"NACIN_PLACANJA\" = ?, \"OIB_PRIMATELJA\" "
                       "= ? WHERE \"ID\" = ? AND \"JIR\" IS NULL"),
        {payment, buyerOib.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : buyerOib, id});
    transaction.Commit();
    return changed > 0;
}

void StoreAcceptedChange(Database& db, int id, const QString& payment, const QString& buyerOib) {
    Transaction transaction(db);
    db.Exec(QStringLiteral("UPDATE \"FISKAL_RACUNI\" SET \"PROMJENA_NACINA\" = ?, "
                           "\"PROMJENA_OIB\" = ? WHERE \"ID\" = ?"),
            {payment, buyerOib, id});
    // The waiting change goes only when it is the one confirmed (read under the write lock).
    if (const std::optional<PendingChange> waiting = FindPendingChange(db, id);
        waiting && waiting->payment == payment && waiting->buyerOib == buyerOib) {
        db.Exec(QStringLiteral("DELETE FROM \"FISKAL_PROMJENE\" WHERE \"RACUN\" = ?"), {id});
    }
    transaction.Commit();
}

bool StoreConfirmation(Database& db, int id, const QString& jir, const QDateTime& at,
                       const QString& sentPayment, const QString& sentBuyerOib) {
    Transaction transaction(db);
    Statement q = db.Prepare(QStringLiteral(
        "SELECT \"NACIN_PLACANJA\", \"OIB_PRIMATELJA\", \"JIR\" FROM \"FISKAL_RACUNI\" WHERE "
        "\"ID\" = ?"));
    q.Exec({id});
    if (!q.Next()) {
        return false;
    }
    const QString payment = q.Text(0);
    const QString buyerOib = sqlvalue::ToText(q.Value(1));
    const bool confirmedBefore = !sqlvalue::ToText(q.Value(2)).isEmpty();
    q.Finish();
    if (confirmedBefore) {
        // Another sender stored the JIR first: the record already holds what the service has.
        transaction.Commit();
        return false;
    }
    db.Exec(QStringLiteral("UPDATE \"FISKAL_RACUNI\" SET \"JIR\" = ?, \"GRESKA\" = NULL, "
                           "\"POKUSAJA\" = \"POKUSAJA\" + 1, \"ZADNJI_POKUSAJ\" = ?, "
                           "\"NACIN_PLACANJA\" = ?, \"OIB_PRIMATELJA\" = ? WHERE \"ID\" = ?"),
            {jir, Stamp(at), sentPayment,
             sentBuyerOib.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : sentBuyerOib, id});
    const bool changedMeanwhile = payment != sentPayment || buyerOib != sentBuyerOib;
    if (changedMeanwhile) {
        QueueChange(db, id, payment, buyerOib, at);
    }
    transaction.Commit();
    return changedMeanwhile;
}

void QueueChange(Database& db, int receipt, const QString& payment, const QString& buyerOib,
                 const QDateTime& now) {
    Transaction transaction(db);
    db.Exec(QStringLiteral("DELETE FROM \"FISKAL_PROMJENE\" WHERE \"RACUN\" = ?"), {receipt});
    db.Exec(QStringLiteral("INSERT INTO \"FISKAL_PROMJENE\" (\"RACUN\", \"NACIN\", \"OIB\", "
                           "\"NASTALA\") VALUES (?, ?, ?, ?)"),
            {receipt, payment,
             buyerOib.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : buyerOib, Stamp(now)});
    transaction.Commit();
}

namespace {

std::vector<PendingChange> SelectChanges(Database& db, const QString& where,
                                         const QVariantList& params) {
    Statement q = db.Prepare(QStringLiteral("SELECT \"RACUN\", \"NACIN\", \"OIB\", \"NASTALA\", "
                                            "\"POKUSAJA\", \"ZADNJI_POKUSAJ\", \"GRESKA\" FROM "
                                            "\"FISKAL_PROMJENE\" ") +
                             where);
    q.Exec(params);
    std::vector<PendingChange> changes;
    while (q.Next()) {
        changes.push_back({q.Value(0).toInt(), q.Text(1), sqlvalue::ToText(q.Value(2)),
                           sqlvalue::ToDateTime(q.Value(3)), q.Value(4).toInt(),
                           sqlvalue::ToDateTime(q.Value(5)), sqlvalue::ToText(q.Value(6))});
    }
    return changes;
}

QString SendingCode(SendingKind kind) {
    return kind == SendingKind::Receipt ? QStringLiteral("RACUN") : QStringLiteral("IZVJESTAJ");
}

}  // namespace

std::optional<PendingChange> FindPendingChange(Database& db, int receipt) {
    auto found = SelectChanges(db, QStringLiteral("WHERE \"RACUN\" = ?"), {receipt});
    if (found.empty()) {
        return std::nullopt;
    }
    return found.front();
}

std::vector<PendingChange> PendingChanges(Database& db) {
    return SelectChanges(db, QStringLiteral("ORDER BY \"NASTALA\", \"RACUN\""), {});
}

int PendingChangeCount(Database& db) {
    return db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"FISKAL_PROMJENE\"")).toInt();
}

void StoreChangeFailure(Database& db, int receipt, const QString& error, const QDateTime& at) {
    Transaction transaction(db);
    db.Exec(QStringLiteral("UPDATE \"FISKAL_PROMJENE\" SET \"GRESKA\" = ?, \"POKUSAJA\" = "
                           "\"POKUSAJA\" + 1, \"ZADNJI_POKUSAJ\" = ? WHERE \"RACUN\" = ?"),
            {error, Stamp(at), receipt});
    transaction.Commit();
}

void DropPendingChange(Database& db, int receipt) {
    Transaction transaction(db);
    db.Exec(QStringLiteral("DELETE FROM \"FISKAL_PROMJENE\" WHERE \"RACUN\" = ?"), {receipt});
    transaction.Commit();
}

bool IsBeingSent(Database& db, SendingKind kind, int id, const QDateTime& now) {
    const QVariant since =
        db.Scalar(QStringLiteral("SELECT \"OD\" FROM \"FISKAL_SLANJE\" WHERE \"VRSTA\" = ? AND "
                                 "\"ID\" = ?"),
                  {SendingCode(kind), id});
    return since.isValid() && !since.isNull() &&
           sqlvalue::ToDateTime(since).addSecs(kSendingLifetimeSecs) > now;
}

SendingClaim::SendingClaim(Database& db, SendingKind kind, int id, const QDateTime& now)
    : m_db(db),
      m_kind(kind),
      m_id(id),
      m_token(QUuid::createUuid().toString(QUuid::WithoutBraces)) {
    Transaction transaction(db);
    if (IsBeingSent(db, kind, id, now)) {
        return;
    }
    db.Exec(QStringLiteral("DELETE FROM \"FISKAL_SLANJE\" WHERE \"VRSTA\" = ? AND \"ID\" = ?"),
            {SendingCode(kind), id});
    db.Exec(QStringLiteral("INSERT INTO \"FISKAL_SLANJE\" (\"VRSTA\", \"ID\", \"OZNAKA\", "
                           "\"OD\") VALUES (?, ?, ?, ?)"),
            {SendingCode(kind), id, m_token, Stamp(now)});
    transaction.Commit();
    m_held = true;
}

SendingClaim::~SendingClaim() {
    if (!m_held) {
        return;
    }
    try {
        Transaction transaction(m_db);
        m_db.Exec(QStringLiteral("DELETE FROM \"FISKAL_SLANJE\" WHERE \"VRSTA\" = ? AND \"ID\" = ? "
                                 "AND \"OZNAKA\" = ?"),
                  {SendingCode(m_kind), m_id, m_token});
        transaction.Commit();
    } catch (...) {
        // A mark left behind is taken over once it is old enough.
    }
}

void StoreJir(Database& db, int id, const QString& jir, const QDateTime& at) {
    StoreAttempt(db, id, jir, QVariant(QMetaType::fromType<QString>()), at);
}

void StoreFailure(Database& db, int id, const QString& error, const QDateTime& at) {
    StoreAttempt(db, id, QVariant(QMetaType::fromType<QString>()), error, at);
}

QString PaymentMethodOf(Database& db, const InvoiceRef& inv) {
    const QString table =
        inv.detailed ? QStringLiteral("\"NAPLATA_DETALJNO\"") : QStringLiteral("\"NAPLATA\"");
    Statement q = db.Prepare(QStringLiteral("SELECT DISTINCT \"Tip\" FROM ") + table +
                             QStringLiteral(" WHERE \"Skladište\" = ? AND \"IRA\" = ? AND "
                                            "\"Godina\" = ? AND \"Broj računa\" = ?"));
    q.Exec({inv.warehouse, inv.book, inv.year, inv.number});
    std::set<QString> kinds;
    while (q.Next()) {
        kinds.insert(q.Value(0).toString());
    }
    if (kinds.empty() || (kinds.size() == 1 && *kinds.begin() == QStringLiteral("gotovina"))) {
        return QStringLiteral("G");
    }
    if (kinds.size() == 1 && *kinds.begin() == QStringLiteral("kartica")) {
        return QStringLiteral("K");
    }
    return QStringLiteral("O");
}

}  // namespace zodra::fiscal
