#include "stockdocs/PriceChangePrint.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "stockdocs/PriceChangeLines.h"
#include "stockdocs/PriceChangeList.h"
#include "stockdocs/PriceChangeRemoval.h"

namespace zodra::stockdocs {

QString PriceChangeReportFile(bool cancelled) {
    return cancelled ? QStringLiteral("izmjena_storno.rpt") : QStringLiteral("izmjena.rpt");
}

QString PriceChangePrintTitle(int number, bool cancelled) {
    return (cancelled ? QStringLiteral("Ispis storna izmjene cijena br. ")
                      : QStringLiteral("Ispis izmjene cijena br. ")) +
           QString::number(number);
}

reports::ReportRequest PriceChangePrintRequest(Session& session, int number) {
    using reports::CompareOp;
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    if (!PriceChangeExists(session.Db(), w, y, number)) {
        throw UserError(NoSuchPriceChangeMessage(number));
    }
    const bool cancelled = PriceChangeIsCancelled(session.Db(), w, y, number);
    reports::ReportRequest request;
    request.reportFile = PriceChangeReportFile(cancelled);
    request.title = PriceChangePrintTitle(number, cancelled);
    request.selection.Where(QStringLiteral("STAVKE_IZMJENA_CIJENA.SKLADISTE"), CompareOp::Equal, w)
        .Where(QStringLiteral("STAVKE_IZMJENA_CIJENA.GODINA"), CompareOp::Equal, y)
        .Where(QStringLiteral("STAVKE_IZMJENA_CIJENA.BROJ_IZMJENE_CIJENA"), CompareOp::Equal,
               number);
    request.parameters = reports::SessionParameters(session);
    return request;
}

reports::ReportRequest WorkingPriceChangePrintRequest(Session& session,
                                                      const PriceChangeHeaderData& header) {
    using reports::CompareOp;
    if (!session.Db()
             .Scalar(QStringLiteral("SELECT 1 FROM \"STAVKE_IZMJENA_CIJENA_PRIVREMENO\" WHERE "
                                    "\"Multiuser_sifra\" = ? LIMIT 1"),
                     {session.sessionCode})
             .isValid()) {
        throw UserError(NoLinesMessage());
    }
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("izmjena_pr.rpt");
    request.title = QStringLiteral("Ispis izmjene cijena u radu");
    request.selection
        .Where(QStringLiteral("STAVKE_IZMJENA_CIJENA_PRIVREMENO.SKLADISTE"), CompareOp::Equal,
               session.activeWarehouse.code)
        .Where(QStringLiteral("STAVKE_IZMJENA_CIJENA_PRIVREMENO.GODINA"), CompareOp::Equal,
               session.businessYear)
        .Where(QStringLiteral("STAVKE_IZMJENA_CIJENA_PRIVREMENO.Multiuser_sifra"), CompareOp::Equal,
               session.sessionCode);
    request.Formula(QStringLiteral("BROJ"), QString::number(header.number))
        .Formula(QStringLiteral("DATUM"), header.date.toString(QStringLiteral("dd.MM.yyyy")));
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace zodra::stockdocs
