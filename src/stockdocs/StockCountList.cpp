#include "stockdocs/StockCountList.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "reports/ValueFormat.h"
#include "stockdocs/StockCountRemoval.h"

namespace zodra::stockdocs {

namespace {

using Format = TableColumn::Format;

const QString kKey =
    QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_INVENTURE\" = ?");

QString Money(Database& db, double amount) {
    const QString currency = sqlvalue::ToText(
        db.Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1")));
    return reports::ValueFormat(currency).Format(amount, QStringLiteral("Currency"));
}

QString DateText(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

void SelectWorkingCopy(Session& session, reports::ReportRequest& request) {
    using reports::CompareOp;
    request.selection
        .Where(QStringLiteral("STAVKE_INVENTURA_PRIVREMENO.SKLADISTE"), CompareOp::Equal,
               session.activeWarehouse.code)
        .Where(QStringLiteral("STAVKE_INVENTURA_PRIVREMENO.GODINA"), CompareOp::Equal,
               session.businessYear)
        .Where(QStringLiteral("STAVKE_INVENTURA_PRIVREMENO.Multiuser_sifra"), CompareOp::Equal,
               session.sessionCode);
    request.parameters = reports::SessionParameters(session);
}

}  // namespace

TableData StockCountChoices(Database& db, int warehouse, int year) {
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT h.\"BROJ_INVENTURE\", h.\"DATUM\", (SELECT SUM(s.\"KNJIZNO_VRIJEDNOST\") FROM "
            "\"STAVKE_INVENTURA\" s WHERE s.\"SKLADISTE\" = h.\"SKLADISTE\" AND s.\"GODINA\" = "
            "h.\"GODINA\" AND s.\"BROJ_INVENTURE\" = h.\"BROJ_INVENTURE\"), (SELECT "
            "SUM(s.\"STVARNO_VRIJEDNOST\") FROM \"STAVKE_INVENTURA\" s WHERE s.\"SKLADISTE\" = "
            "h.\"SKLADISTE\" AND s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_INVENTURE\" = "
            "h.\"BROJ_INVENTURE\"), t.\"NABAVA_VRIJEDNOST\" FROM \"INVENTURE\" h LEFT JOIN "
            "\"TRGOVACKA_KNJIGA_VELEPRODAJE\" t ON t.\"SKLADISTE\" = h.\"SKLADISTE\" AND "
            "t.\"GODINA\" = h.\"GODINA\" AND t.\"RBR\" = h.\"RBR_TK\" WHERE h.\"SKLADISTE\" = ? "
            "AND h.\"GODINA\" = ? ORDER BY h.\"BROJ_INVENTURE\""),
        {warehouse, year},
        {{QStringLiteral("Broj"), Format::Integer},
         {QStringLiteral("Datum"), Format::Date},
         {QStringLiteral("Knjižno"), Format::Money},
         {QStringLiteral("Stvarno"), Format::Money},
         {QStringLiteral("Razlika"), Format::Money}});
}

QString StockCountDetails(Database& db, int warehouse, int year, int number) {
    Statement s = db.Prepare(QStringLiteral("SELECT \"KNJIZNO_VRIJEDNOST\", \"STVARNO_VRIJEDNOST\" "
                                            "FROM \"STAVKE_INVENTURA\" WHERE ") +
                             kKey);
    s.Exec({warehouse, year, number});
    MoneyTotal book;
    MoneyTotal counted;
    while (s.Next()) {
        book += s.Double(0);
        counted += s.Double(1);
    }
    const QVariant date =
        db.Scalar(QStringLiteral("SELECT \"DATUM\" FROM \"INVENTURE\" WHERE ") + kKey,
                  {warehouse, year, number});
    if (!date.isValid()) {
        return {};
    }
    return QStringLiteral("Datum: ") + DateText(sqlvalue::ToDate(date)) +
           QStringLiteral("   Knjižno: ") + Money(db, book.Value()) +
           QStringLiteral("   Stvarno: ") + Money(db, counted.Value()) +
           QStringLiteral("   Razlika: ") + Money(db, counted.Value() - book.Value());
}

TableData PostedStockCountLines(Database& db, int warehouse, int year, int number) {
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT a.\"OPIS\", a.\"NAZIV\", a.\"JED_M\", s.\"BROJ_PRIMKE\", s.\"V_CIJENA\", "
            "s.\"KNJIZNO_KOLICINA\", s.\"KNJIZNO_VRIJEDNOST\", s.\"STVARNO_KOLICINA\", "
            "s.\"STVARNO_VRIJEDNOST\", s.\"STVARNO_VRIJEDNOST\" - s.\"KNJIZNO_VRIJEDNOST\" FROM "
            "\"STAVKE_INVENTURA\" s LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = s.\"SIFRA_ARTIKLA\" "
            "WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.\"BROJ_INVENTURE\" = ? AND "
            "(s.\"KNJIZNO_KOLICINA\" <> 0 OR s.\"STVARNO_KOLICINA\" <> 0) ORDER BY a.\"NAZIV\" "
            "COLLATE \"HR\", s.\"BROJ_PRIMKE\""),
        {warehouse, year, number},
        {{QStringLiteral("Šifra")},
         {QStringLiteral("Naziv")},
         {QStringLiteral("JM")},
         {QStringLiteral("Primka"), Format::Integer},
         {QStringLiteral("Prod. cijena"), Format::Number, 4},
         {QStringLiteral("Knjižno"), Format::Quantity},
         {QStringLiteral("Knjižna vr."), Format::Money},
         {QStringLiteral("Stvarno"), Format::Quantity},
         {QStringLiteral("Stvarna vr."), Format::Money},
         {QStringLiteral("Razlika vr."), Format::Money}});
}

reports::ReportRequest StockCountPrintRequest(Session& session, int number) {
    using reports::CompareOp;
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    if (!session.Db()
             .Scalar(QStringLiteral("SELECT 1 FROM \"INVENTURE\" WHERE ") + kKey, {w, y, number})
             .isValid()) {
        throw UserError(NoSuchStockCountMessage(number));
    }
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("inventura.rpt");
    request.title = QStringLiteral("Ispis inventure br. ") + QString::number(number);
    request.selection.Where(QStringLiteral("STAVKE_INVENTURA.SKLADISTE"), CompareOp::Equal, w)
        .Where(QStringLiteral("STAVKE_INVENTURA.GODINA"), CompareOp::Equal, y)
        .Where(QStringLiteral("STAVKE_INVENTURA.BROJ_INVENTURE"), CompareOp::Equal, number);
    request.parameters = reports::SessionParameters(session);
    return request;
}

reports::ReportRequest WorkingStockCountPrintRequest(Session& session,
                                                     const StockCountHeaderData& header) {
    reports::ReportRequest request;
    request.reportFile = QStringLiteral("inventura_pr.rpt");
    request.title = QStringLiteral("Ispis inventure u radu");
    SelectWorkingCopy(session, request);
    request.Formula(QStringLiteral("BROJ"), QString::number(header.number))
        .Formula(QStringLiteral("DATUM"), DateText(header.date));
    return request;
}

reports::ReportRequest StockCountListPrintRequest(Session& session,
                                                  const StockCountHeaderData& header) {
    reports::ReportRequest request = WorkingStockCountPrintRequest(session, header);
    request.reportFile = QStringLiteral("inv_l.rpt");
    request.title = QStringLiteral("Inventurna lista");
    return request;
}

}  // namespace zodra::stockdocs
