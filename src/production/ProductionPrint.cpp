#include "production/ProductionPrint.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "production/WorkOrderPosting.h"

namespace zodra::production {

reports::ReportRequest WorkOrderPrintRequest(Session& session, int number) {
    using reports::CompareOp;
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    if (!numbering::DocumentExists(session.Db(), DocumentKind::WorkOrder, w, y, number)) {
        throw UserError(NoSuchWorkOrderMessage(number));
    }
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("r_nalog.rpt");
    request.title = QStringLiteral("Ispis radnog naloga br. ") + QString::number(number);
    request.selection.Where(QStringLiteral("RADNI_NALOZI.SKLADISTE"), CompareOp::Equal, w)
        .Where(QStringLiteral("RADNI_NALOZI.GODINA"), CompareOp::Equal, y)
        .Where(QStringLiteral("RADNI_NALOZI.BROJ_RADNOG_NALOGA"), CompareOp::Equal, number);
    request.parameters = reports::SessionParameters(session);
    return request;
}

reports::ReportRequest BillPrintRequest(Session& session, int bill) {
    using reports::CompareOp;
    const QVariant product = session.Db().Scalar(
        QStringLiteral("SELECT a.\"NAZIV\" FROM \"SASTAVNICE\" s LEFT JOIN \"ARTIKLI\" a ON "
                       "a.\"SIFRA\" = s.\"SIFRA_ARTIKLA\" WHERE s.\"SIFRA_SASTAVNICE\" = ?"),
        {bill});
    if (!product.isValid()) {
        throw UserError(QStringLiteral("Ne postoji sastavnica broj ") + QString::number(bill));
    }
    const QString name = product.toString();
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("sastavn.rpt");
    request.title = QStringLiteral("Izvještaj : Sastavnica za ") + name;
    request.Formula(QStringLiteral("PROIZVOD"), name);
    request.selection.Where(QStringLiteral("SASTAVNICE.SIFRA_SASTAVNICE"), CompareOp::Equal, bill);
    reports::Selection costs;
    costs.Where(QStringLiteral("STAVKE_SASTAVNICA_TROSKOVI.SIFRA_SASTAVNICE"), CompareOp::Equal,
                bill);
    request.SubreportSelection(QStringLiteral("sastavn_trosk.rpt"), costs);
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace zodra::production
