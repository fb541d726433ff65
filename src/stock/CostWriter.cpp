#include "stock/CostWriter.h"

#include "data/Database.h"

namespace zodra::stock {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

// The SET list of a family and how many times the cost is bound in it.
QString Assignments(const CostFamily& family, int* costParameters) {
    switch (family.fields) {
        case CostFields::CountCost:
            *costParameters = 1;
            return QStringLiteral("\"N_CIJENA\" = ?");
        case CostFields::CostValueAndMargin:
            // A line of zero cost value keeps its margin percentage: it has no base.
            *costParameters = 6;
            return QStringLiteral(
                "\"NABAVNA_CIJENA\" = ?, \"NABAVNA_VRIJEDNOST\" = \"KOLICINA\" * ?, "
                "\"RUC_IZNOS\" = \"VRIJEDNOST_\" - ? * \"KOLICINA\", \"RUC_%\" = CASE WHEN ? * "
                "\"KOLICINA\" <> 0 THEN (\"VRIJEDNOST_\" - ? * \"KOLICINA\") / (? * "
                "\"KOLICINA\") * 100 ELSE \"RUC_%\" END");
        case CostFields::CostAndValue:
            break;
    }
    *costParameters = 2;
    return QStringLiteral("\"NABAVNA_CIJENA\" = ?, \"NABAVNA_VRIJEDNOST\" = \"KOLICINA\" * ?");
}

QString ArticleFilter(const CostFamily& family) {
    return family.articleLinesByKind ? QStringLiteral(" AND \"TIP_STAVKE\" = 'ART'") : QString();
}

}  // namespace

Statement& CostWriter::Prepared(const QString& sql) {
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        it = m_statements.emplace(sql, std::make_unique<Statement>(m_db, sql)).first;
    }
    return *it->second;
}

void CostWriter::SetDocumentCost(const CostFamily& family, int warehouse, int year, int book,
                                 int number, int article, int lot, double cost) {
    int costParameters = 0;
    const QString set = Assignments(family, &costParameters);
    // The document's key leads the search; the unary plus keeps the planner from choosing the
    // article index instead, which would visit every line of the article.
    const QString sql = QStringLiteral("UPDATE ") + Q(family.lineTable) + QStringLiteral(" SET ") +
                        set + QStringLiteral(" WHERE \"SKLADISTE\" = ?") +
                        (family.invoiceBook ? QStringLiteral(" AND \"IRA\" = ?") : QString()) +
                        QStringLiteral(" AND \"GODINA\" = ? AND ") + Q(family.lineNumber) +
                        QStringLiteral(" = ? AND +") + Q(family.articleColumn) +
                        QStringLiteral(" = ? AND +\"BROJ_PRIMKE\" = ?") + ArticleFilter(family);
    Statement& update = Prepared(sql);
    int i = 0;
    for (; i < costParameters; ++i) {
        update.Bind(i, cost);
    }
    update.Bind(i++, warehouse);
    if (family.invoiceBook) {
        update.Bind(i++, book);
    }
    for (const int value : {year, number, article, lot}) {
        update.Bind(i++, value);
    }
    update.Exec();
}

int CostWriter::SetLotCost(const CostFamily& family, int warehouse, int year, int article, int lot,
                           double cost) {
    int costParameters = 0;
    const QString set = Assignments(family, &costParameters);
    const QString sql = QStringLiteral("UPDATE ") + Q(family.lineTable) + QStringLiteral(" SET ") +
                        set + QStringLiteral(" WHERE \"SKLADISTE\" = ? AND \"GODINA\" = ? AND ") +
                        Q(family.articleColumn) + QStringLiteral(" = ? AND \"BROJ_PRIMKE\" = ?") +
                        ArticleFilter(family);
    Statement& update = Prepared(sql);
    int i = 0;
    for (; i < costParameters; ++i) {
        update.Bind(i, cost);
    }
    for (const int value : {warehouse, year, article, lot}) {
        update.Bind(i++, value);
    }
    update.Exec();
    return update.RowsAffected();
}

}  // namespace zodra::stock
