#include "fiscal/ReportOutbox.h"

#include <QXmlStreamReader>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/InputLimits.h"
#include "data/Rounding.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"

namespace zodra::fiscal {

namespace {

const QString kColumns = QStringLiteral(
    "\"ID\", \"VRSTA\", \"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", \"NAPLATA\", "
    "\"DATUM_NAPLATE\", \"IZNOS\", \"NACIN\", \"NASTAO\", \"PRIHVACEN\", \"POKUSAJA\", "
    "\"ZADNJI_POKUSAJ\", \"GRESKA\"");

QString KindCode(ReportKind kind) {
    switch (kind) {
        case ReportKind::EInvoice:
            return QStringLiteral("ERACUN");
        case ReportKind::CreditNote:
            return QStringLiteral("ODOBRENJE");
        case ReportKind::PaymentWithdrawal:
            return QStringLiteral("STORNO_NAPLATE");
        case ReportKind::Payment:
            break;
    }
    return QStringLiteral("NAPLATA");
}

ReportKind KindOf(const QString& code) {
    if (code == QStringLiteral("ERACUN")) {
        return ReportKind::EInvoice;
    }
    if (code == QStringLiteral("STORNO_NAPLATE")) {
        return ReportKind::PaymentWithdrawal;
    }
    return code == QStringLiteral("ODOBRENJE") ? ReportKind::CreditNote : ReportKind::Payment;
}

// A time as the wall clock showed it (see the receipts' outbox).
QString Stamp(const QDateTime& at) {
    return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

std::vector<ReportRecord> Select(Database& db, const QString& where, const QVariantList& params) {
    Statement q = db.Prepare(QStringLiteral("SELECT ") + kColumns +
                             QStringLiteral(" FROM \"FISKAL_IZVJESTAJI\" ") + where);
    q.Exec(params);
    std::vector<ReportRecord> records;
    while (q.Next()) {
        ReportRecord r;
        r.id = q.Value(0).toInt();
        r.kind = KindOf(q.Value(1).toString());
        r.invoice = {q.Value(2).toInt(),
                     q.Value(3).toInt(),
                     q.Value(4).toInt(),
                     q.Value(5).toInt(),
                     false,
                     r.kind == ReportKind::CreditNote};
        r.collection = q.Value(6).toInt();
        r.paidOn = sqlvalue::ToDate(q.Value(7));
        r.amount = sqlvalue::ToDouble(q.Value(8));
        r.method = sqlvalue::ToText(q.Value(9));
        r.queued = sqlvalue::ToDateTime(q.Value(10));
        r.accepted = sqlvalue::ToDateTime(q.Value(11));
        r.attempts = q.Value(12).toInt();
        r.lastAttempt = sqlvalue::ToDateTime(q.Value(13));
        r.error = sqlvalue::ToText(q.Value(14));
        records.push_back(r);
    }
    return records;
}

const QString kInvoiceWhere = QStringLiteral(
    "WHERE \"VRSTA\" = ? AND \"SKLADISTE\" = ? AND \"IRA\" = ? AND \"GODINA\" = ? AND "
    "\"BROJ_RACUNA\" = ? AND \"NAPLATA\" IS NULL");

QVariantList InvoiceParams(ReportKind kind, const InvoiceRef& inv) {
    return {KindCode(kind), inv.warehouse, inv.book, inv.year, inv.number};
}

void StoreAttempt(Database& db, int id, const QVariant& accepted, const QVariant& error,
                  const QDateTime& at) {
    Transaction transaction(db);
    db.Exec(QStringLiteral("UPDATE \"FISKAL_IZVJESTAJI\" SET \"PRIHVACEN\" = "
                           "COALESCE(\"PRIHVACEN\", ?), \"GRESKA\" = ?, \"POKUSAJA\" = "
                           "\"POKUSAJA\" + 1, \"ZADNJI_POKUSAJ\" = ? WHERE \"ID\" = ?"),
            {accepted, error, Stamp(at), id});
    transaction.Commit();
}

int Insert(Database& db, ReportKind kind, const InvoiceRef& inv, const QVariant& collection,
           const QVariant& paidOn, const QVariant& amount, const QVariant& method,
           const QDateTime& now) {
    db.Exec(QStringLiteral("INSERT INTO \"FISKAL_IZVJESTAJI\" (\"VRSTA\", \"SKLADISTE\", \"IRA\", "
                           "\"GODINA\", \"BROJ_RACUNA\", \"NAPLATA\", \"DATUM_NAPLATE\", "
                           "\"IZNOS\", \"NACIN\", \"NASTAO\") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, "
                           "?)"),
            {KindCode(kind), inv.warehouse, inv.book, inv.year, inv.number, collection, paidOn,
             amount, method, Stamp(now)});
    // The caller's transaction holds the write lock: the highest id is the row just added.
    return db.Scalar(QStringLiteral("SELECT MAX(\"ID\") FROM \"FISKAL_IZVJESTAJI\"")).toInt();
}

const QVariant kNoText = QVariant(QMetaType::fromType<QString>());

}  // namespace

QString ReportKindCaption(ReportKind kind) {
    switch (kind) {
        case ReportKind::EInvoice:
            return QStringLiteral("eRačun");
        case ReportKind::CreditNote:
            return QStringLiteral("Odobrenje");
        case ReportKind::PaymentWithdrawal:
            return QStringLiteral("Storno naplate");
        case ReportKind::Payment:
            break;
    }
    return QStringLiteral("Naplata");
}

int QueueEInvoiceReport(Database& db, const InvoiceRef& invoice, bool creditNote,
                        const QDateTime& now) {
    const ReportKind kind = creditNote ? ReportKind::CreditNote : ReportKind::EInvoice;
    if (!Select(db, kInvoiceWhere, InvoiceParams(kind, invoice)).empty()) {
        return 0;
    }
    return Insert(db, kind, invoice, QVariant(QMetaType::fromType<int>()),
                  QVariant(QMetaType::fromType<QDate>()), QVariant(QMetaType::fromType<double>()),
                  kNoText, now);
}

bool IsReportedEInvoice(Database& db, const InvoiceRef& invoice) {
    return FindEInvoiceReport(db, invoice, false).has_value();
}

std::optional<ReportRecord> FindEInvoiceReport(Database& db, const InvoiceRef& invoice,
                                               bool creditNote) {
    auto found =
        Select(db, kInvoiceWhere,
               InvoiceParams(creditNote ? ReportKind::CreditNote : ReportKind::EInvoice, invoice));
    if (found.empty()) {
        return std::nullopt;
    }
    return found.front();
}

std::optional<ReportRecord> FindPaymentReport(Database& db, int collection, bool withdrawal) {
    auto found = Select(
        db, QStringLiteral("WHERE \"VRSTA\" = ? AND \"NAPLATA\" = ?"),
        {KindCode(withdrawal ? ReportKind::PaymentWithdrawal : ReportKind::Payment), collection});
    if (found.empty()) {
        return std::nullopt;
    }
    return found.front();
}

int QueuePaymentReport(Database& db, const InvoiceRef& invoice, int collection, const QDate& paidOn,
                       double amount, const QString& method, const QDateTime& now) {
    limits::RequireNumber(amount, limits::NumberKind::Amount, QStringLiteral("Iznos"));
    return Insert(db, ReportKind::Payment, invoice, collection, paidOn, amount, method, now);
}

QString CollectionReportBusyMessage() {
    return QStringLiteral(
        "Naplata se upravo prijavljuje Poreznoj upravi na drugom računalu. Pokušajte je obrisati "
        "ponovno za minutu.");
}

int WithdrawPaymentReport(Database& db, int collection, const QDateTime& now) {
    Transaction transaction(db);
    const std::optional<ReportRecord> report = FindPaymentReport(db, collection);
    if (!report) {
        return 0;
    }
    if (IsBeingSent(db, SendingKind::Report, report->id, now)) {
        throw UserError(CollectionReportBusyMessage());
    }
    int withdrawal = 0;
    if (report->accepted.isValid()) {
        withdrawal = Insert(db, ReportKind::PaymentWithdrawal, report->invoice, collection,
                            report->paidOn, RoundMoney(-report->amount), report->method, now);
    } else {
        // Not on record with the service: it simply goes with the collection.
        db.Exec(QStringLiteral("DELETE FROM \"FISKAL_IZVJESTAJI\" WHERE \"ID\" = ?"), {report->id});
    }
    transaction.Commit();
    return withdrawal;
}

QString PaymentReportMethod(const QString& model) {
    const QString name = model.trimmed().toLower();
    if (name == QStringLiteral("žiro račun") || name.startsWith(QStringLiteral("virman"))) {
        return QStringLiteral("T");
    }
    if (name == QStringLiteral("u naravi")) {
        return QStringLiteral("O");
    }
    return QStringLiteral("Z");
}

std::optional<ReportRecord> FindReportRecord(Database& db, int id) {
    auto found = Select(db, QStringLiteral("WHERE \"ID\" = ?"), {id});
    if (found.empty()) {
        return std::nullopt;
    }
    return found.front();
}

std::vector<ReportRecord> UnconfirmedReports(Database& db) {
    return Select(db, QStringLiteral("WHERE \"PRIHVACEN\" IS NULL ORDER BY \"ID\""), {});
}

int UnconfirmedReportCount(Database& db) {
    return db
        .Scalar(QStringLiteral(
            "SELECT COUNT(*) FROM \"FISKAL_IZVJESTAJI\" WHERE \"PRIHVACEN\" IS NULL"))
        .toInt();
}

void StoreReportAccepted(Database& db, int id, const QDateTime& at) {
    StoreAttempt(db, id, Stamp(at), kNoText, at);
}

void StoreReportFailure(Database& db, int id, const QString& error, const QDateTime& at) {
    StoreAttempt(db, id, kNoText, error, at);
}

ReportAnswer ParseReportAnswer(const QByteArray& body) {
    ReportAnswer answer;
    QXmlStreamReader xml(body);
    bool seen = false;
    QString code;
    QString text;
    QString fault;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement()) {
            continue;
        }
        const auto name = xml.name();
        if (name == QStringLiteral("idZahtjeva")) {
            answer.requestId = xml.readElementText().trimmed();
        } else if (name == QStringLiteral("prihvacenZahtjev")) {
            seen = true;
            answer.accepted = xml.readElementText().trimmed() == QStringLiteral("true");
        } else if (name == QStringLiteral("sifra")) {
            code = xml.readElementText().trimmed();
        } else if (name == QStringLiteral("opis")) {
            text = xml.readElementText().simplified();
        } else if (name == QStringLiteral("faultstring")) {
            fault = xml.readElementText().simplified();
        }
    }
    if (!seen) {
        answer.accepted = false;
        answer.error = QStringLiteral("Neispravan odgovor poslužitelja: ") +
                       (fault.isEmpty() ? QString::fromUtf8(body.left(300)).simplified() : fault);
    } else if (!answer.accepted) {
        answer.error = code.isEmpty() ? text : code + QStringLiteral(": ") + text;
        if (answer.error.isEmpty()) {
            answer.error = QStringLiteral("Zahtjev nije prihvaćen.");
        }
    }
    return answer;
}

}  // namespace zodra::fiscal
