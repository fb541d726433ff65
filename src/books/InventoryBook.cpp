#include "books/InventoryBook.h"

#include "data/Database.h"
#include "data/Session.h"
#include "data/Statement.h"
#include "data/Transaction.h"
#include "reports/PagedBook.h"

namespace zodra::books {

QString InventoryMovementsSql() {
    return QStringLiteral(
        "SELECT \"SKLADISTE\", \"GODINA\", \"RBR\", \"DATUM\", \"DOKUMENT\", \"ZADUŽENJE\", "
        "\"RAZDUŽENJE\" FROM \"KP\"");
}

InventoryBookTotals BuildInventoryBook(Database& db, int sessionCode, int warehouse, int year,
                                       const QDate& from, const QDate& to) {
    Transaction tx(db);
    db.Exec(QStringLiteral("DELETE FROM \"KNJIGA_POPISA\" WHERE \"SESIJA\" = ?"), {sessionCode});
    Statement insert(db, QStringLiteral("INSERT INTO \"KNJIGA_POPISA\" (\"SESIJA\", "
                                        "\"SKLADISTE\", \"GODINA\", \"BROJ_STRANICE\", \"RBR\", "
                                        "\"DATUM\", \"ISPRAVA\", \"ZADUZENJE\", \"RAZDUZENJE\") "
                                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QVariant date;
    QString document;
    PagedBook book(kInventoryRowsPerPage, 2, [&](const PagedBook::Row& row) {
        const bool booking = row.kind == PagedBook::Row::Kind::Booking;
        insert.Exec({sessionCode, warehouse, year, row.page,
                     booking ? QVariant(row.number) : QVariant(), booking ? date : QVariant(),
                     booking ? document : row.text, row.amounts[0], row.amounts[1]});
    });
    book.Start();
    Statement movements(db, QStringLiteral("SELECT k.\"DATUM\", k.\"DOKUMENT\", k.\"ZADUŽENJE\", "
                                           "k.\"RAZDUŽENJE\" FROM (") +
                                InventoryMovementsSql() +
                                QStringLiteral(") k WHERE k.\"SKLADISTE\" = ? AND k.\"GODINA\" = ? "
                                               "AND k.\"DATUM\" >= ? AND k.\"DATUM\" <= ? ORDER "
                                               "BY k.\"RBR\""));
    movements.Exec({warehouse, year, from, to});
    std::vector<double> amounts(2);
    while (movements.Next()) {
        date = movements.Value(0);
        document = movements.Text(1);
        amounts[0] = movements.Double(2);
        amounts[1] = movements.Double(3);
        book.Add(amounts);
    }
    tx.Commit();
    return {book.Bookings(), book.Page(), book.Sums()[0], book.Sums()[1]};
}

reports::ReportRequest PrepareInventoryBook(Session& session, const reports::ReportRange& range) {
    BuildInventoryBook(session.Db(), session.sessionCode, session.activeWarehouse.code,
                       session.businessYear, range.from, range.to);
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("kp1.rpt");
    request.title = QStringLiteral("Knjiga popisa");
    request.Formula(QStringLiteral("NASLOV"), QStringLiteral("Knjiga popisa od ") + range.fromText +
                                                  QStringLiteral(" do ") + range.toText);
    request.parameters = reports::SessionParameters(session);
    return request;
}

reports::ReportRequest InventorySummaryReport(const Session& session,
                                              const reports::ReportRange& range, bool retailByDay) {
    const QString q = retailByDay ? QStringLiteral("KNJIGA POPISA SUMARNO MALOPRODAJA.")
                                  : QStringLiteral("KNJIGA POPISA.");
    reports::ReportRequest request;
    request.reportFile = retailByDay ? QStringLiteral("kp_sum.rpt") : QStringLiteral("kp.rpt");
    request.title = retailByDay ? QStringLiteral("Knjiga popisa - maloprodaja sumarno po danima")
                                : QStringLiteral("Knjiga popisa");
    request.Formula(QStringLiteral("NASLOV"), request.title + QStringLiteral(" od ") +
                                                  range.fromText + QStringLiteral(" do ") +
                                                  range.toText);
    request.selection
        .Where(q + QStringLiteral("SKLADISTE"), reports::CompareOp::Equal,
               session.activeWarehouse.code)
        .Where(q + QStringLiteral("GODINA"), reports::CompareOp::Equal, session.businessYear)
        .Where(q + QStringLiteral("DATUM"), reports::CompareOp::GreaterOrEqual, range.from)
        .Where(q + QStringLiteral("DATUM"), reports::CompareOp::LessOrEqual, range.to);
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace zodra::books
