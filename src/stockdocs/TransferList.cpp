#include "stockdocs/TransferList.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "stockdocs/StockDocumentChoices.h"
#include "stockdocs/TransferRemoval.h"

namespace zodra::stockdocs {

namespace {

using Format = TableColumn::Format;

QString RowKey(Database& db) {
    return QLatin1Char('"') + QString::fromUtf16(RowKeyColumn(db.Dialect())) + QLatin1Char('"');
}

std::vector<TableColumn> LineColumns() {
    return {{QStringLiteral("Rb."), Format::Integer},
            {QStringLiteral("Šifra")},
            {QStringLiteral("Naziv")},
            {QStringLiteral("Primka"), Format::Integer},
            {QStringLiteral("Količina"), Format::Quantity},
            {QStringLiteral("Nab. cijena"), Format::Number, 4},
            {QStringLiteral("Cijena"), Format::Number, 4},
            {QStringLiteral("Vrijednost"), Format::Money},
            {QStringLiteral("Odr. cijena"), Format::Number, 4},
            {QStringLiteral("Odr. vrijednost"), Format::Money}};
}

// The line columns of table `s` joined with the article `a`.
const QString kLineSelect = QStringLiteral(
    "s.\"RBR_STAVKE\", a.\"OPIS\", a.\"NAZIV\", s.\"BROJ_PRIMKE\", s.\"KOLICINA\", "
    "s.\"NABAVNA_CIJENA\", s.\"CIJENA\", s.\"VRIJEDNOST\", s.\"ODREDISNA_CIJENA\", "
    "s.\"ODREDISNA_VRIJEDNOST\" ");
const QString kArticleJoin =
    QStringLiteral("LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = s.\"SIFRA_ARTIKLA\" ");
const QString kPostedKey =
    QStringLiteral("\"SKLADISTE\" = ? AND \"GODINA\" = ? AND \"BROJ_MEDUSKLADISNICE\" = ?");

// The value of the lines of one table under a condition, each line rounded to the cent.
double ValueOf(Database& db, const QString& table, const QString& where,
               const QVariantList& params) {
    Statement s = db.Prepare(QStringLiteral("SELECT \"VRIJEDNOST\" FROM \"") + table +
                             QStringLiteral("\" WHERE ") + where);
    s.Exec(params);
    MoneyTotal total;
    while (s.Next()) {
        total += s.Double(0);
    }
    return total.Value();
}

QString DateText(const QVariant& value) {
    return sqlvalue::ToDate(value).toString(QStringLiteral("dd.MM.yyyy"));
}

}  // namespace

TableData WorkingTransferGrid(Session& session, int sessionCode) {
    Database& db = session.Db();
    std::vector<TableColumn> columns{{QStringLiteral("id"), Format::Integer, -1, true}};
    for (TableColumn& c : LineColumns()) {
        columns.push_back(c);
    }
    return ReadTable(db,
                     QStringLiteral("SELECT s.") + RowKey(db) + QStringLiteral(", ") + kLineSelect +
                         QStringLiteral("FROM \"STAVKE_MEDUSKLADISNICA_PRIVREMENO\" s ") +
                         kArticleJoin +
                         QStringLiteral("WHERE s.\"Multiuser_sifra\" = ? ORDER BY s.") + RowKey(db),
                     {sessionCode}, columns);
}

QString WorkingTransferTotals(Session& session, int sessionCode) {
    Database& db = session.Db();
    return QStringLiteral("Ukupno : ") +
           HomeCurrencyAmount(db,
                              ValueOf(db, QStringLiteral("STAVKE_MEDUSKLADISNICA_PRIVREMENO"),
                                      QStringLiteral("\"Multiuser_sifra\" = ?"), {sessionCode}));
}

TableData TransferChoices(Database& db, int warehouse, int year) {
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT h.\"BROJ_MEDUSKLADISNICE\", h.\"DATUM\", CAST(h.\"ODREDISNO_SKLADISTE\" AS "
            "TEXT) || ' - ' || COALESCE(w.\"NAZIV\", ''), h.\"BROJ_ODREDISNE_PRIMKE\", (SELECT "
            "SUM(s.\"VRIJEDNOST\") FROM \"STAVKE_MEDUSKLADISNICA\" s WHERE s.\"SKLADISTE\" = "
            "h.\"SKLADISTE\" AND s.\"GODINA\" = h.\"GODINA\" AND s.\"BROJ_MEDUSKLADISNICE\" = "
            "h.\"BROJ_MEDUSKLADISNICE\"), h.\"STORNO\" FROM \"MEDUSKLADISNICE\" h LEFT JOIN "
            "\"SKLADISTA\" w ON w.\"SIFRA\" = h.\"ODREDISNO_SKLADISTE\" WHERE h.\"SKLADISTE\" = ? "
            "AND h.\"GODINA\" = ? ORDER BY h.\"BROJ_MEDUSKLADISNICE\""),
        {warehouse, year},
        {{QStringLiteral("Broj"), Format::Integer},
         {QStringLiteral("Datum"), Format::Date},
         {QStringLiteral("Odredišno skladište")},
         {QStringLiteral("Odredišna primka"), Format::Integer},
         {QStringLiteral("Vrijednost"), Format::Money},
         {QStringLiteral("Storno"), Format::Boolean}});
}

QString TransferDetails(Database& db, int warehouse, int year, int number) {
    Statement h = db.Prepare(
        QStringLiteral("SELECT h.\"DATUM\", h.\"ODREDISNO_SKLADISTE\", w.\"NAZIV\", "
                       "h.\"BROJ_ODREDISNE_PRIMKE\", h.\"OPIS\", h.\"STORNO\", h.\"DATUM_STORNA\" "
                       "FROM \"MEDUSKLADISNICE\" h LEFT JOIN \"SKLADISTA\" w ON w.\"SIFRA\" = "
                       "h.\"ODREDISNO_SKLADISTE\" WHERE h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? "
                       "AND h.\"BROJ_MEDUSKLADISNICE\" = ?"));
    h.Exec({warehouse, year, number});
    if (!h.Next()) {
        return {};
    }
    QString text = QStringLiteral("Datum: ") + DateText(h.Value(0)) +
                   QStringLiteral("   Odredišno skladište: ") + QString::number(h.Int(1)) +
                   QStringLiteral(" - ") + h.Text(2);
    if (sqlvalue::ToBool(h.Value(5))) {
        text += QStringLiteral("   STORNO od ") + DateText(h.Value(6));
        return text;
    }
    text += QStringLiteral("   Odredišna primka: ") + QString::number(h.Int(3));
    if (!h.Text(4).isEmpty()) {
        text += QStringLiteral("   ") + h.Text(4);
    }
    return text;
}

TableData TransferTable(Database& db, int warehouse, int year) {
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT h.\"BROJ_MEDUSKLADISNICE\", CAST(h.\"ODREDISNO_SKLADISTE\" AS TEXT) || ' - ' "
            "|| COALESCE(w.\"NAZIV\", ''), h.\"BROJ_ODREDISNE_PRIMKE\" FROM \"MEDUSKLADISNICE\" h "
            "LEFT JOIN \"SKLADISTA\" w ON w.\"SIFRA\" = h.\"ODREDISNO_SKLADISTE\" WHERE "
            "h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? ORDER BY h.\"BROJ_MEDUSKLADISNICE\""),
        {warehouse, year},
        {{QStringLiteral("Broj"), Format::Integer},
         {QStringLiteral("Odredišno skladište")},
         {QStringLiteral("Odredišna primka"), Format::Integer}});
}

TableData PostedTransferLines(Database& db, int warehouse, int year, int number) {
    return ReadTable(db,
                     QStringLiteral("SELECT ") + kLineSelect +
                         QStringLiteral("FROM \"STAVKE_MEDUSKLADISNICA\" s ") + kArticleJoin +
                         QStringLiteral("WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND "
                                        "s.\"BROJ_MEDUSKLADISNICE\" = ? ORDER BY "
                                        "s.\"RBR_STAVKE\", a.\"NAZIV\""),
                     {warehouse, year, number}, LineColumns());
}

bool TransferExists(Database& db, int warehouse, int year, int number) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM \"MEDUSKLADISNICE\" WHERE ") + kPostedKey,
                {warehouse, year, number})
        .isValid();
}

QString TransferReportFile(bool quantitiesOnly) {
    return quantitiesOnly ? QStringLiteral("meduskl_kol.rpt") : QStringLiteral("meduskl.rpt");
}

QString TransferPrintTitle(int number) {
    return QStringLiteral("Ispis međuskladišnice br. ") + QString::number(number);
}

reports::ReportRequest TransferPrintRequest(Session& session, int number, bool quantitiesOnly) {
    using reports::CompareOp;
    Database& db = session.Db();
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    const QVariant cancelled =
        db.Scalar(QStringLiteral("SELECT \"STORNO\" FROM \"MEDUSKLADISNICE\" WHERE ") + kPostedKey,
                  {w, y, number});
    if (!cancelled.isValid()) {
        throw UserError(NoSuchTransferMessage(number));
    }
    if (sqlvalue::ToBool(cancelled)) {
        throw UserError(QStringLiteral("Međuskladišnica broj ") + QString::number(number) +
                        QStringLiteral(" je stornirana i nema stavaka za ispis."));
    }
    reports::ReportRequest request;
    request.reportFile = TransferReportFile(quantitiesOnly);
    request.title = TransferPrintTitle(number);
    request.selection.Where(QStringLiteral("STAVKE_MEDUSKLADISNICA.SKLADISTE"), CompareOp::Equal, w)
        .Where(QStringLiteral("STAVKE_MEDUSKLADISNICA.GODINA"), CompareOp::Equal, y)
        .Where(QStringLiteral("STAVKE_MEDUSKLADISNICA.BROJ_MEDUSKLADISNICE"), CompareOp::Equal,
               number);
    request.Formula(QStringLiteral("SKLADISTE"),
                    QString::number(w) + QStringLiteral(" - ") + session.activeWarehouse.name);
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace zodra::stockdocs
