#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "data/Statement.h"
#include "reports/ReportDefinition.h"
#include "reports/Selection.h"

namespace zodra {
class Database;
}

namespace zodra::reports {

// The SQL the program hands over for a query-fed report: positional "?" values bound.
struct ProgramQuery {
    QString sql;
    QVariantList values;
};

// The rows of one report run. The layout registers the fields it prints; the query then selects
// exactly those columns from the report's source (with its joins, fixed conditions, the
// selection formula and the order) and streams them row by row: nothing is kept but the row at
// hand, so a book of a hundred thousand rows needs no more memory than one of a hundred.
//
// A print that counts its pages first runs twice. A query given a RowCache keeps its rows there
// when they are few (a summary's groups), and the second run reads them back instead of asking
// the database again; a longer result is streamed both times, keeping nothing.
struct RowCache {
    std::size_t limit = 10000;                                   // rows kept of one query at most
    std::map<QString, std::vector<std::vector<QVariant>>> rows;  // by statement and values
};

class ReportQuery {
public:
    using ParameterLookup = std::function<QVariant(const QString&)>;

    ReportQuery(Database& db, const DataSource& source, const std::optional<ProgramQuery>& program,
                ParameterLookup parameters);
    ~ReportQuery();

    // The column a field of the layout will have in each row. A field the source does not
    // have is refused: "Polje {T.F} ne postoji u izvještaju …".
    int Field(const FieldRef& ref);
    // Whether the source has this table (for company fields that are not data).
    bool HasTable(const QString& table) const;

    void SetCache(RowCache* cache) { m_cache = cache; }
    void Open(const Selection& selection);
    bool Next();
    const std::vector<QVariant>& Row() const { return m_row; }
    const QString& Sql() const { return m_sql; }

private:
    struct Source {
        QString name;
        QString fromSql;  // "\"T\"" or "(SELECT …) AS \"Q\""
        QVariantList values;
        QStringList columns;
    };
    QString Resolve(const FieldRef& ref);
    const Source& SourceOf(const FieldRef& ref, QString& column);

    Database& m_db;
    const DataSource& m_source;
    ParameterLookup m_parameters;
    std::vector<Source> m_sources;
    QStringList m_selectList;  // resolved expressions, by column
    QString m_sql;
    std::unique_ptr<Statement> m_statement;
    std::vector<QVariant> m_row;
    RowCache* m_cache = nullptr;
    QString m_cacheKey;
    const std::vector<std::vector<QVariant>>* m_cached = nullptr;  // read back, not queried
    std::size_t m_next = 0;
    std::vector<std::vector<QVariant>> m_recorded;
    bool m_recording = false;
};

// Replaces :NAME placeholders outside quotes with "?" and returns the names in order.
QString PositionalSql(const QString& sql, QStringList& names);
// A name quoted as an SQL identifier.
QString QuoteIdentifier(const QString& name);

}  // namespace zodra::reports
