#include "stock/ui/TradeBookPrinting.h"

#include "data/Session.h"

namespace zodra::stock::ui {

reports::ReportRequest TradeBookReportRequest(const Session& session, tradebook::Book book,
                                              const QDate& from, const QDate& to) {
    const QString table = tradebook::TableName(book);
    reports::ReportRequest request;
    request.reportFile = tradebook::ReportFile(book);
    request.title = tradebook::ReportWindowTitle(book, from, to);
    request.Formula(QStringLiteral("NASLOV"), tradebook::ReportTitle(book, from, to));
    request.selection
        .Where(table + QStringLiteral(".SKLADISTE"), reports::CompareOp::Equal,
               session.activeWarehouse.code)
        .Where(table + QStringLiteral(".GODINA"), reports::CompareOp::Equal, session.businessYear)
        .Where(table + QStringLiteral(".DATUM"), reports::CompareOp::GreaterOrEqual, from)
        .Where(table + QStringLiteral(".DATUM"), reports::CompareOp::LessOrEqual, to);
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace zodra::stock::ui
