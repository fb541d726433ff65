#include "purchasing/ReceiptPrint.h"

#include "data/Database.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "purchasing/ReceiptPosting.h"

namespace zodra::purchasing {

QString ReceiptReportFile(Database& db, int warehouse, int year, int number, ReceiptReport report) {
    if (report == ReceiptReport::RetailPrices) {
        return QStringLiteral("primka_k_mpc.rpt");
    }
    const int items = sqlvalue::ToInt(db.Scalar(
        QStringLiteral("SELECT COUNT(*) FROM \"PRIMKE_ZAVISNI_TROSKOVI\" WHERE \"SKLADISTE\" = ? "
                       "AND \"GODINA\" = ? AND \"BROJ PRIMKE\" = ?"),
        {warehouse, year, number}));
    return items > 0 ? QStringLiteral("primka_k_zavisni.rpt") : QStringLiteral("primka_k.rpt");
}

reports::ReportRequest ReceiptPrintRequest(Session& session, int number, ReceiptReport report) {
    using reports::CompareOp;
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    reports::ReportRequest request;
    request.reportFile = ReceiptReportFile(session.Db(), w, y, number, report);
    request.title = QStringLiteral("Ispis primke br. ") + QString::number(number);
    request.selection.Where(QStringLiteral("STAVKE_PRIMKI.SKLADISTE"), CompareOp::Equal, w)
        .Where(QStringLiteral("STAVKE_PRIMKI.GODINA"), CompareOp::Equal, y)
        .Where(QStringLiteral("STAVKE_PRIMKI.BROJ_PRIMKE"), CompareOp::Equal, number);
    reports::Selection items;
    items.Where(QStringLiteral("PRIMKE_ZAVISNI_TROSKOVI.SKLADISTE"), CompareOp::Equal, w)
        .Where(QStringLiteral("PRIMKE_ZAVISNI_TROSKOVI.GODINA"), CompareOp::Equal, y)
        .Where(QStringLiteral("PRIMKE_ZAVISNI_TROSKOVI.BROJ PRIMKE"), CompareOp::Equal, number);
    request.SubreportSelection(QStringLiteral("PRIMKA_K_ZT.RPT"), items);
    request.parameters = reports::SessionParameters(session);
    request.Parameter(QStringLiteral("BROJ"), number);
    return request;
}

reports::ReportRequest WorkingReceiptPrintRequest(Session& session,
                                                  const ReceiptHeaderData& header) {
    Database& db = session.Db();
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("primka_k_radna.rpt");
    request.title = QStringLiteral("Ispis primke br. ") + QString::number(header.number);
    request.parameters = reports::SessionParameters(session);
    const QString supplier =
        header.supplier
            ? sqlvalue::ToText(db.Scalar(
                  QStringLiteral("SELECT \"NAZIV\" FROM \"PARTNERI\" WHERE \"SIFRA\" = ?"),
                  {*header.supplier}))
            : QString();
    request.Formula(QStringLiteral("BROJ"), QString::number(header.number))
        .Formula(QStringLiteral("DATUM"), header.date.toString(QStringLiteral("dd.MM.yyyy")))
        .Formula(QStringLiteral("SKLADISTE"), QString::number(session.activeWarehouse.code) +
                                                  QStringLiteral(" - ") +
                                                  session.activeWarehouse.name)
        .Formula(QStringLiteral("DOBAVLJAC"), supplier)
        .Formula(QStringLiteral("DOKUMENT"), header.supplierDocument)
        .Formula(QStringLiteral("DATUM_DOKUMENTA"),
                 header.supplierDocumentDate.toString(QStringLiteral("dd.MM.yyyy")));
    return request;
}

}  // namespace zodra::purchasing
