#include "books/UraReport.h"

#include "data/Database.h"
#include "data/Session.h"
#include "data/SqlValue.h"

namespace zodra::books {

QDate UraNewLayoutsFrom() {
    return QDate(2012, 3, 1);
}

QString UraReportFile(UraReportKind kind, const QDate& to) {
    const QString stem =
        kind == UraReportKind::Total ? QStringLiteral("ura") : QStringLiteral("ura_dp");
    return to < UraNewLayoutsFrom() ? stem + QStringLiteral("_prije_01_03_2012.rpt")
                                    : stem + QStringLiteral(".rpt");
}

QString UraStatusText(UraReportKind kind) {
    switch (kind) {
        case UraReportKind::Total:
            return QStringLiteral(" Knjiga ulaznih računa");
        case UraReportKind::Paid:
            return QStringLiteral(" Knjiga plaćenih ulaznih računa po datumima plaćanja");
        case UraReportKind::PaidR2:
            return QStringLiteral(" Knjiga plaćenih ulaznih R-2 računa po datumima plaćanja");
    }
    return {};
}

QString UraBookName(Database& db, int book) {
    return sqlvalue::ToText(db.Scalar(
        QStringLiteral("SELECT \"NAZIV\" FROM \"KNJIGE_URA\" WHERE \"SIFRA\" = ?"), {book}));
}

reports::ReportRequest UraReportRequest(Session& session, int book, UraReportKind kind,
                                        const reports::ReportRange& range) {
    using reports::CompareOp;
    QString titlePart;
    switch (kind) {
        case UraReportKind::Total:
            titlePart = QStringLiteral(" od ");
            break;
        case UraReportKind::Paid:
            titlePart = QStringLiteral(" - plaćeni računi po datumima plaćanja od ");
            break;
        case UraReportKind::PaidR2:
            titlePart = QStringLiteral(" - plaćeni R-2 računi po datumima plaćanja od ");
            break;
    }
    reports::ReportRequest request;
    request.reportFile = UraReportFile(kind, range.to);
    request.title = UraStatusText(kind).trimmed();
    request.Formula(QStringLiteral("NASLOV"), UraBookName(session.Db(), book) + titlePart +
                                                  range.fromText + QStringLiteral(" do ") +
                                                  range.toText);
    if (kind == UraReportKind::Total) {
        const QString t = QStringLiteral("KNJIGE_ULAZNIH_RACUNA.");
        request.selection.Where(t + QStringLiteral("URA"), CompareOp::Equal, book)
            .Where(t + QStringLiteral("GODINA"), CompareOp::Equal, session.businessYear);
        if (range.first && range.last) {
            request.selection
                .Where(t + QStringLiteral("REDNI BROJ"), CompareOp::GreaterOrEqual, *range.first)
                .Where(t + QStringLiteral("REDNI BROJ"), CompareOp::LessOrEqual, *range.last);
        }
        request.selection
            .Where(t + QStringLiteral("RAČUN DATUM"), CompareOp::GreaterOrEqual, range.from)
            .Where(t + QStringLiteral("RAČUN DATUM"), CompareOp::LessOrEqual, range.to);
    } else {
        // Payments are chosen by the day they were paid: the report is by payment dates.
        const QString t = QStringLiteral("Query ulazni računi plaćeno.");
        if (kind == UraReportKind::PaidR2) {
            request.selection.Where(t + QStringLiteral("Tip računa"), CompareOp::Equal,
                                    QStringLiteral("R-2"));
        }
        request.selection.Where(t + QStringLiteral("URA"), CompareOp::Equal, book)
            .Where(t + QStringLiteral("GODINA"), CompareOp::Equal, session.businessYear)
            .Where(t + QStringLiteral("Datum plaćanja"), CompareOp::GreaterOrEqual, range.from)
            .Where(t + QStringLiteral("Datum plaćanja"), CompareOp::LessOrEqual, range.to);
    }
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace zodra::books
