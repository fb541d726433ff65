#include "stockdocs/IssueDocumentList.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Numbering.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/SqlDialect.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
#include "documents/DocumentKey.h"
#include "documents/IssuePosting.h"
#include "stockdocs/IssueDocuments.h"
#include "stockdocs/StockDocumentChoices.h"

namespace zodra::stockdocs {

namespace {

using Format = TableColumn::Format;

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

QString RowKey(Database& db) {
    return Q(QString::fromUtf16(RowKeyColumn(db.Dialect())));
}

std::vector<TableColumn> LineColumns() {
    return {{QStringLiteral("Šifra")},
            {QStringLiteral("Naziv")},
            {QStringLiteral("Primka"), Format::Integer},
            {QStringLiteral("Količina"), Format::Quantity},
            {QStringLiteral("Nab. cijena"), Format::Number, 4},
            {QStringLiteral("Nab. vrijednost"), Format::Money},
            {QStringLiteral("Cijena"), Format::Number, 4},
            {QStringLiteral("Vrijednost"), Format::Money}};
}

// The line columns of table `s` joined with the article `a`.
const QString kLineSelect = QStringLiteral(
    "a.\"OPIS\", a.\"NAZIV\", s.\"BROJ_PRIMKE\", s.\"KOLICINA\", s.\"NABAVNA_CIJENA\", "
    "s.\"NABAVNA_VRIJEDNOST\", s.\"CIJENA\", s.\"VRIJEDNOST\" ");
const QString kArticleJoin =
    QStringLiteral("LEFT JOIN \"ARTIKLI\" a ON a.\"SIFRA\" = s.\"SIFRA_ARTIKLA\" ");

QString WorkingTable(DocumentKind kind) {
    return Info(kind).lines.front().workingTable;
}

// Σ cost value and Σ value of lines, each line at the cent.
std::pair<double, double> Values(Database& db, const QString& table, const QString& where,
                                 const QVariantList& params) {
    Statement s = db.Prepare(QStringLiteral("SELECT \"NABAVNA_VRIJEDNOST\", \"VRIJEDNOST\" FROM ") +
                             Q(table) + QStringLiteral(" WHERE ") + where);
    s.Exec(params);
    MoneyTotal cost;
    MoneyTotal value;
    while (s.Next()) {
        cost += s.Double(0);
        value += s.Double(1);
    }
    return {cost.Value(), value.Value()};
}

documents::DocumentKey Key(DocumentKind kind, int warehouse, int year, int number) {
    return {kind, warehouse, std::nullopt, year, number};
}

}  // namespace

TableData WorkingIssueGrid(Session& session, DocumentKind kind, int sessionCode) {
    IssueDocument(kind);
    Database& db = session.Db();
    std::vector<TableColumn> columns{{QStringLiteral("id"), Format::Integer, -1, true}};
    for (TableColumn& c : LineColumns()) {
        columns.push_back(c);
    }
    return ReadTable(db,
                     QStringLiteral("SELECT s.") + RowKey(db) + QStringLiteral(", ") + kLineSelect +
                         QStringLiteral("FROM ") + Q(WorkingTable(kind)) + QStringLiteral(" s ") +
                         kArticleJoin +
                         QStringLiteral("WHERE s.\"Multiuser_sifra\" = ? ORDER BY s.") + RowKey(db),
                     {sessionCode}, columns);
}

QString WorkingIssueTotals(Session& session, DocumentKind kind, int sessionCode) {
    IssueDocument(kind);
    Database& db = session.Db();
    const auto [cost, value] =
        Values(db, WorkingTable(kind), QStringLiteral("\"Multiuser_sifra\" = ?"), {sessionCode});
    return QStringLiteral("Nabavna vrijednost : ") + HomeCurrencyAmount(db, cost) +
           QStringLiteral("   Ukupno : ") + HomeCurrencyAmount(db, value);
}

int CheckIssueNumber(const QString& typed) {
    bool ok = false;
    const qint64 number = typed.trimmed().toLongLong(&ok);
    if (!ok || number <= 0 || number > numbering::kLastNumber) {
        throw UserError(QStringLiteral("Nije ispravno upisan broj !"));
    }
    return static_cast<int>(number);
}

std::vector<std::pair<int, QString>> SupplierChoices(Database& db) {
    Statement rows = db.Prepare(
        QStringLiteral("SELECT \"SIFRA\", \"NAZIV\" FROM \"PARTNERI\" WHERE \"Dobavljac\" = ? "
                       "ORDER BY \"NAZIV\" COLLATE \"HR\""));
    rows.Exec({true});
    std::vector<std::pair<int, QString>> suppliers;
    while (rows.Next()) {
        suppliers.emplace_back(rows.Int(0), rows.Text(1));
    }
    return suppliers;
}

TableData IssueDocumentChoices(Database& db, DocumentKind kind, int warehouse, int year) {
    IssueDocument(kind);
    const stock::CostFamily& f = documents::CostFamilyOf(kind);
    const bool supplier = kind == DocumentKind::SupplierReturn;
    const QString sums = QStringLiteral("SELECT SUM(s.") + QStringLiteral("%1") +
                         QStringLiteral(") FROM ") + Q(f.lineTable) +
                         QStringLiteral(
                             " s WHERE s.\"SKLADISTE\" = h.\"SKLADISTE\" AND "
                             "s.\"GODINA\" = h.\"GODINA\" AND s.") +
                         Q(f.lineNumber) + QStringLiteral(" = h.") + Q(f.headerNumber);
    QString sql = QStringLiteral("SELECT h.") + Q(f.headerNumber) +
                  QStringLiteral(", h.\"DATUM\", h.\"OPIS\", ");
    std::vector<TableColumn> columns{{QStringLiteral("Broj"), Format::Integer},
                                     {QStringLiteral("Datum"), Format::Date},
                                     {QStringLiteral("Opis")}};
    if (supplier) {
        sql += QStringLiteral("p.\"NAZIV\", ");
        columns.push_back({QStringLiteral("Dobavljač")});
    }
    sql += QLatin1Char('(') + sums.arg(QStringLiteral("\"NABAVNA_VRIJEDNOST\"")) +
           QStringLiteral("), (") + sums.arg(QStringLiteral("\"VRIJEDNOST\"")) +
           QStringLiteral(") FROM ") + Q(f.headerTable) + QStringLiteral(" h ");
    if (supplier) {
        sql += QStringLiteral("LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = h.\"SIFRA_DOBAVLJACA\" ");
    }
    sql += QStringLiteral("WHERE h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? ORDER BY h.") +
           Q(f.headerNumber);
    columns.push_back({QStringLiteral("Nab. vrijednost"), Format::Money});
    columns.push_back({QStringLiteral("Vrijednost"), Format::Money});
    return ReadTable(db, sql, {warehouse, year}, columns);
}

QString IssueDocumentDetails(Database& db, DocumentKind kind, int warehouse, int year, int number) {
    IssueDocument(kind);
    const stock::CostFamily& f = documents::CostFamilyOf(kind);
    const bool supplier = kind == DocumentKind::SupplierReturn;
    const documents::DocumentKey key = Key(kind, warehouse, year, number);
    Statement h =
        db.Prepare(QStringLiteral("SELECT h.\"DATUM\", h.\"OPIS\"") +
                   (supplier ? QStringLiteral(", p.\"NAZIV\" FROM ") : QStringLiteral(" FROM ")) +
                   Q(f.headerTable) + QStringLiteral(" h ") +
                   (supplier ? QStringLiteral("LEFT JOIN \"PARTNERI\" p ON p.\"SIFRA\" = "
                                              "h.\"SIFRA_DOBAVLJACA\" ")
                             : QString()) +
                   QStringLiteral("WHERE h.\"SKLADISTE\" = ? AND h.\"GODINA\" = ? AND h.") +
                   Q(f.headerNumber) + QStringLiteral(" = ?"));
    h.Exec({warehouse, year, number});
    if (!h.Next()) {
        return {};
    }
    const QDate date = sqlvalue::ToDate(h.Value(0));
    const QString description = h.Text(1);
    const QString partner = supplier ? h.Text(2) : QString();
    h.Finish();
    const auto [cost, value] =
        Values(db, f.lineTable, key.Condition(f.lineNumber), key.WhereValues());
    QString text = QStringLiteral("Datum: ") + date.toString(QStringLiteral("dd.MM.yyyy"));
    if (supplier) {
        text += QStringLiteral("   Dobavljač: ") + partner;
    }
    text += QStringLiteral("   Nabavna vrijednost: ") + HomeCurrencyAmount(db, cost) +
            QStringLiteral("   Vrijednost: ") + HomeCurrencyAmount(db, value);
    if (!description.isEmpty()) {
        text += QStringLiteral("   ") + description;
    }
    return text;
}

TableData PostedIssueLines(Database& db, DocumentKind kind, int warehouse, int year, int number) {
    IssueDocument(kind);
    const stock::CostFamily& f = documents::CostFamilyOf(kind);
    return ReadTable(db,
                     QStringLiteral("SELECT ") + kLineSelect + QStringLiteral("FROM ") +
                         Q(f.lineTable) + QStringLiteral(" s ") + kArticleJoin +
                         QStringLiteral("WHERE s.\"SKLADISTE\" = ? AND s.\"GODINA\" = ? AND s.") +
                         Q(f.lineNumber) +
                         QStringLiteral(" = ? ORDER BY a.\"NAZIV\" COLLATE \"HR\", "
                                        "s.\"BROJ_PRIMKE\""),
                     {warehouse, year, number}, LineColumns());
}

reports::ReportRequest IssuePrintRequest(Session& session, DocumentKind kind, int number,
                                         bool quantitiesOnly) {
    using reports::CompareOp;
    const IssueDocumentTexts& texts = IssueDocument(kind);
    const stock::CostFamily& f = documents::CostFamilyOf(kind);
    const int w = session.activeWarehouse.code;
    const int y = session.businessYear;
    if (!numbering::DocumentExists(session.Db(), kind, w, y, number)) {
        throw UserError(texts.noSuchDocument + QString::number(number));
    }
    reports::ReportRequest request;
    request.reportFile =
        quantitiesOnly && !texts.quantityReport.isEmpty() ? texts.quantityReport : texts.report;
    request.title = texts.printTitle + QString::number(number);
    request.selection.Where(f.lineTable + QStringLiteral(".SKLADISTE"), CompareOp::Equal, w)
        .Where(f.lineTable + QStringLiteral(".GODINA"), CompareOp::Equal, y)
        .Where(f.lineTable + QLatin1Char('.') + f.lineNumber, CompareOp::Equal, number);
    request.parameters = reports::SessionParameters(session);
    return request;
}

}  // namespace zodra::stockdocs
