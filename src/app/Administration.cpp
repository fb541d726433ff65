#include "app/Administration.h"

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Transaction.h"

namespace zodra::administration {

namespace {

// Lets the connection only read for as long as the query runs, however it ends.
class QueryOnly {
public:
    explicit QueryOnly(Database& db) : m_db(db) { m_db.SetQueryOnly(true); }
    ~QueryOnly() {
        try {
            m_db.SetQueryOnly(false);
        } catch (const DbError&) {
        }
    }
    QueryOnly(const QueryOnly&) = delete;
    QueryOnly& operator=(const QueryOnly&) = delete;

private:
    Database& m_db;
};

}  // namespace

TableData RunQuery(Database& db, const QString& sql) {
    const QString text = sql.trimmed();
    if (text.isEmpty()) {
        throw UserError(QStringLiteral("Upišite SQL naredbu."));
    }
    QueryOnly guard(db);
    Statement query = db.Prepare(text);
    query.Exec();
    TableData data;
    for (int i = 0; i < query.ColumnCount(); ++i) {
        data.columns.push_back({query.ColumnName(i), TableColumn::Format::Text});
    }
    while (query.Next()) {
        QVariantList row;
        for (int i = 0; i < query.ColumnCount(); ++i) {
            row << query.Value(i);
        }
        data.rows.push_back(std::move(row));
    }
    return data;
}

int Execute(Database& db, const QString& sql) {
    const QStringList statements = CompanySchema::SplitStatements(sql);
    bool any = false;
    for (const QString& s : statements) {
        any = any || !s.trimmed().isEmpty();
    }
    if (!any) {
        throw UserError(QStringLiteral("Upišite SQL naredbu."));
    }
    Transaction tx(db);
    int changed = 0;
    for (const QString& s : statements) {
        if (!s.trimmed().isEmpty()) {
            changed += db.Exec(s.trimmed());
        }
    }
    tx.Commit();
    return changed;
}

QString ExecuteQuestion() {
    return QStringLiteral(
        "Naredba može promijeniti podatke u bazi podataka. Želite li je izvršiti?");
}

TableData StockCheck(Database& db) {
    return ReadTable(
        db,
        QStringLiteral(
            "SELECT \"SKLADISTE\", \"GODINA\", \"ARTIKAL\", SUM(\"NabaveNIznos\"), "
            "SUM(\"KarticaNIznos\"), SUM(\"NabaveIznos\"), SUM(\"KarticaIznos\") FROM "
            "\"3Provjera\" GROUP BY \"SKLADISTE\", \"GODINA\", \"ARTIKAL\" HAVING "
            "ABS(SUM(\"NabaveNIznos\") - SUM(\"KarticaNIznos\")) > 0.004 OR "
            "ABS(SUM(\"NabaveIznos\") - SUM(\"KarticaIznos\")) > 0.004 ORDER BY 1, 2, 3"),
        {},
        {{QStringLiteral("Skladište"), TableColumn::Format::Integer},
         {QStringLiteral("Godina"), TableColumn::Format::Integer},
         {QStringLiteral("Artikal"), TableColumn::Format::Integer},
         {QStringLiteral("Nabave (nabavno)"), TableColumn::Format::Money},
         {QStringLiteral("Kartica (nabavno)"), TableColumn::Format::Money},
         {QStringLiteral("Nabave (prodajno)"), TableColumn::Format::Money},
         {QStringLiteral("Kartica (prodajno)"), TableColumn::Format::Money}});
}

}  // namespace zodra::administration
