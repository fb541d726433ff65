#include "cashbook/CashBook.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "reports/AmountInWords.h"
#include "reports/PagedBook.h"

namespace zodra::cashbook {

namespace {

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

}  // namespace

QString TableName(VoucherKind kind) {
    return kind == VoucherKind::Receipt ? QStringLiteral("BLAGAJNA_UPLATNICE")
                                        : QStringLiteral("BLAGAJNA_ISPLATNICE");
}

QString PartyColumn(VoucherKind kind) {
    return kind == VoucherKind::Receipt ? QStringLiteral("Od koga") : QStringLiteral("Kome");
}

QString ListCaption(VoucherKind kind) {
    return kind == VoucherKind::Receipt ? QStringLiteral("Uplatnice")
                                        : QStringLiteral("Isplatnice");
}

QString EntryCaption(VoucherKind kind) {
    return kind == VoucherKind::Receipt ? QStringLiteral("Upis uplatnice")
                                        : QStringLiteral("Upis isplatnice");
}

QString PartyLabel(VoucherKind kind) {
    return kind == VoucherKind::Receipt ? QStringLiteral("Od koga :") : QStringLiteral("Kome :");
}

QString StatusText(VoucherKind kind) {
    return kind == VoucherKind::Receipt ? QStringLiteral(" Blagajničke uplatnice")
                                        : QStringLiteral(" Blagajničke isplatnice");
}

QString DuplicateMessage(VoucherKind kind) {
    return kind == VoucherKind::Receipt
               ? QStringLiteral("Blagajnička uplatnica pod ovim rednim brojem je već upisana !")
               : QStringLiteral("Blagajnička isplatnica pod ovim rednim brojem je već upisana !");
}

QString InvalidNumberMessage() {
    return QStringLiteral("Nije ispravno upisan broj !");
}

QString DeleteQuestion() {
    return QStringLiteral("Želite li obrisati stavku?");
}

int NextVoucherNumber(Database& db, VoucherKind kind, int warehouse, int year) {
    // The document numbering's own sequence, so that vouchers stop at its cap rather than wrap.
    return numbering::NextDocumentNumber(
        db, kind == VoucherKind::Receipt ? DocumentKind::CashReceipt : DocumentKind::CashPayment,
        warehouse, year);
}

bool VoucherExists(Database& db, VoucherKind kind, int warehouse, int year, int number) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM ") + Quoted(TableName(kind)) +
                    QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"Broj\" = ?"),
                {warehouse, year, number})
        .isValid();
}

std::vector<Voucher> ListVouchers(Database& db, VoucherKind kind, int warehouse, int year) {
    Statement s(db, QStringLiteral("SELECT \"Broj\", \"Datum\", ") + Quoted(PartyColumn(kind)) +
                        QStringLiteral(", \"Za\", \"Iznos\", \"Slovima\" FROM ") +
                        Quoted(TableName(kind)) +
                        QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? ORDER BY "
                                       "\"Broj\""));
    s.Exec({warehouse, year});
    std::vector<Voucher> list;
    while (s.Next()) {
        list.push_back(
            {s.Int(0), sqlvalue::ToDate(s.Value(1)), s.Text(2), s.Text(3), s.Double(4), s.Text(5)});
    }
    return list;
}

void InsertVoucher(Database& db, VoucherKind kind, int warehouse, int year, const Voucher& v) {
    Transaction tx(db);
    if (VoucherExists(db, kind, warehouse, year, v.number)) {
        throw UserError(DuplicateMessage(kind));
    }
    db.Exec(QStringLiteral("INSERT INTO ") + Quoted(TableName(kind)) +
                QStringLiteral(" (\"SKLADISTE\", \"GODINA\", \"Broj\", \"Datum\", ") +
                Quoted(PartyColumn(kind)) +
                QStringLiteral(", \"Za\", \"Iznos\", \"Slovima\") VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
            {warehouse, year, v.number, v.date, v.party, v.purpose, v.amount, v.words});
    tx.Commit();
}

void UpdateVoucher(Database& db, VoucherKind kind, int warehouse, int year, int originalNumber,
                   Voucher v) {
    v.words = AmountInWords(db, v.amount);
    Transaction tx(db);
    if (v.number != originalNumber && VoucherExists(db, kind, warehouse, year, v.number)) {
        throw UserError(DuplicateMessage(kind));
    }
    const int changed = db.Exec(
        QStringLiteral("UPDATE ") + Quoted(TableName(kind)) +
            QStringLiteral(" SET \"Broj\" = ?, \"Datum\" = ?, ") + Quoted(PartyColumn(kind)) +
            QStringLiteral(" = ?, \"Za\" = ?, \"Iznos\" = ?, \"Slovima\" = ? WHERE \"SKLADISTE\" "
                           "= ? AND \"GODINA\" = ? AND \"Broj\" = ?"),
        {v.number, v.date, v.party, v.purpose, v.amount, v.words, warehouse, year, originalNumber});
    if (changed == 0) {
        // Another workstation deleted it in the meantime: nothing is left to edit.
        throw UserError(QStringLiteral("Ova stavka je u međuvremenu obrisana."));
    }
    tx.Commit();
}

void DeleteVoucher(Database& db, VoucherKind kind, int warehouse, int year, int number) {
    Transaction tx(db);
    db.Exec(QStringLiteral("DELETE FROM ") + Quoted(TableName(kind)) +
                QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"Broj\" = ?"),
            {warehouse, year, number});
    tx.Commit();
}

bool DeleteVoucherAsked(Database& db, VoucherKind kind, int warehouse, int year, int number,
                        Prompter& prompter) {
    if (!prompter.AskYesNo(DeleteQuestion(), ListCaption(kind), false)) {
        return false;
    }
    DeleteVoucher(db, kind, warehouse, year, number);
    return true;
}

reports::ReportRequest VoucherReportRequest(const Session& session, VoucherKind kind, int number) {
    const bool receipt = kind == VoucherKind::Receipt;
    const QString table = TableName(kind);
    reports::ReportRequest request;
    request.reportFile =
        receipt ? QStringLiteral("blag_uplatnica.rpt") : QStringLiteral("blag_isplatnica.rpt");
    request.title = (receipt ? QStringLiteral("Ispis blagajničke uplatnice br. ")
                             : QStringLiteral("Ispis blagajničke isplatnice br. ")) +
                    QString::number(number);
    request.selection
        .Where(table + QStringLiteral(".SKLADISTE"), reports::CompareOp::Equal,
               session.activeWarehouse.code)
        .Where(table + QStringLiteral(".GODINA"), reports::CompareOp::Equal, session.businessYear)
        .Where(table + QStringLiteral(".BROJ"), reports::CompareOp::Equal, number);
    request.parameters = reports::SessionParameters(session);
    return request;
}

CashBookTotals BuildCashBookReport(Database& db, int sessionCode, int warehouse, int year,
                                   const QDate& from, const QDate& to) {
    Transaction tx(db);
    db.Exec(QStringLiteral("DELETE FROM \"BLAGAJNICKI_IZVJESTAJ\" WHERE \"SESIJA\" = ?"),
            {sessionCode});
    Statement insert(db, QStringLiteral("INSERT INTO \"BLAGAJNICKI_IZVJESTAJ\" (\"SESIJA\", "
                                        "\"SKLADISTE\", \"BROJ_STRANICE\", \"RBR\", \"DATUM\", "
                                        "\"OPIS\", \"PRIMITAK\", \"IZDATAK\", \"SALDO\") VALUES "
                                        "(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // The booking at hand, for the writer of the builder: the builder knows pages and sums,
    // the cash book its dates, texts and the balance.
    QVariant date;
    QString text;
    double balance = 0;
    MoneyTotal balanceTotal;
    PagedBook book(kCashBookRowsPerPage, 2, [&](const PagedBook::Row& row) {
        const bool booking = row.kind == PagedBook::Row::Kind::Booking;
        insert.Exec({sessionCode, warehouse, row.page, booking ? QVariant(row.number) : QVariant(),
                     booking ? date : QVariant(), booking ? text : row.text, row.amounts[0],
                     row.amounts[1], balance});
    });
    book.Start();
    Statement bookings(
        db, QStringLiteral("SELECT \"DATUM\", \"OPIS\", \"PRIMITAK\", \"IZDATAK\" FROM \"Query "
                           "blagajnički izvještaj\" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND "
                           "\"DATUM\" >= ? AND \"DATUM\" <= ? ORDER BY \"DATUM\", CASE \"VRSTA\" "
                           "WHEN 'UPLATNICA' THEN 0 ELSE 1 END, \"BROJ\""));
    bookings.Exec({warehouse, year, from, to});
    std::vector<double> amounts(2);
    while (bookings.Next()) {
        date = bookings.Value(0);
        text = bookings.Text(1);
        amounts[0] = bookings.Double(2);
        amounts[1] = bookings.Double(3);
        balanceTotal += amounts[0];
        balanceTotal += -amounts[1];
        balance = balanceTotal.Value();
        book.Add(amounts);
    }
    tx.Commit();
    return {book.Bookings(), book.Page(), book.Sums()[0], book.Sums()[1], balance};
}

reports::ReportRequest PrepareCashBookReport(Session& session, const reports::ReportRange& range) {
    BuildCashBookReport(session.Db(), session.sessionCode, session.activeWarehouse.code,
                        session.businessYear, range.from, range.to);
    const QString sum = QStringLiteral("Query blagajnički izvještaj sumarno.");
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("blag_izv.rpt");
    request.title = QStringLiteral("Blagajnički izvještaj");
    request.Formula(QStringLiteral("NASLOV"), QStringLiteral("Blagajnički izvještaj od ") +
                                                  range.fromText + QStringLiteral(" do ") +
                                                  range.toText);
    reports::Selection summary;
    summary
        .Where(sum + QStringLiteral("Skladiste"), reports::CompareOp::Equal,
               session.activeWarehouse.code)
        .Where(sum + QStringLiteral("Godina"), reports::CompareOp::Equal, session.businessYear)
        .Where(sum + QStringLiteral("Datum"), reports::CompareOp::GreaterOrEqual, range.from)
        .Where(sum + QStringLiteral("Datum"), reports::CompareOp::LessOrEqual, range.to);
    request.SubreportSelection(QStringLiteral("Blag_izv_sum.rpt"), summary);
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace zodra::cashbook
