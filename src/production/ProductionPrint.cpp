#include "production/ProductionPrint.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Session.h"
#include "production/WorkOrderParts.h"
#include "production/WorkOrderPosting.h"

namespace zodra::production {

namespace {

// Both kinds of work order print their header table's row selected by warehouse, year and number.
reports::ReportRequest OrderPrintRequest(Session& session, const WorkOrderTables& tables,
                                         int number, const QString& file, const QString& title) {
    using reports::CompareOp;
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    if (!numbering::DocumentExists(session.Db(), tables.kind, w, y, number)) {
        throw UserError(tables.noSuch(number));
    }
    reports::ReportRequest request;
    request.reportFile = file;
    request.title = title + QString::number(number);
    request.selection.Where(tables.header + QStringLiteral(".SKLADISTE"), CompareOp::Equal, w)
        .Where(tables.header + QStringLiteral(".GODINA"), CompareOp::Equal, y)
        .Where(tables.header + QStringLiteral(".BROJ_RADNOG_NALOGA"), CompareOp::Equal, number);
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace

reports::ReportRequest WorkOrderPrintRequest(Session& session, int number) {
    return OrderPrintRequest(session, OrdinaryTables(), number, QStringLiteral("r_nalog.rpt"),
                             QStringLiteral("Ispis radnog naloga br. "));
}

reports::ReportRequest FinishingOrderPrintRequest(Session& session, int number) {
    return OrderPrintRequest(session, FinishingTables(), number, QStringLiteral("r_nalog_dor.rpt"),
                             QStringLiteral("Ispis radnog naloga dorade br. "));
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
