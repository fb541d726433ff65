#include "reports/ReportQuery.h"

#include "data/Database.h"
#include "data/Errors.h"

namespace zodra::reports {

QString QuoteIdentifier(const QString& name) {
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString PositionalSql(const QString& sql, QStringList& names) {
    QString out;
    out.reserve(sql.size());
    QChar quote;
    const auto wordChar = [](QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); };
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            out += c;
            if (c == quote) {
                quote = QChar();
            }
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
            continue;
        }
        const bool afterColon = i > 0 && sql.at(i - 1) == QLatin1Char(':');
        if (c == QLatin1Char(':') && !afterColon && i + 1 < sql.size() && wordChar(sql.at(i + 1)) &&
            !(i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char(':'))) {
            qsizetype j = i + 1;
            while (j < sql.size() && wordChar(sql.at(j))) {
                ++j;
            }
            names << sql.mid(i + 1, j - i - 1);
            out += QLatin1Char('?');
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}

ReportQuery::ReportQuery(Database& db, const DataSource& source,
                         const std::optional<ProgramQuery>& program, ParameterLookup parameters)
    : m_db(db), m_source(source), m_parameters(std::move(parameters)) {
    const auto queryColumns = [&](Source& s) {
        Statement probe(m_db,
                        QStringLiteral("SELECT * FROM ") + s.fromSql + QStringLiteral(" LIMIT 0"));
        probe.Exec(s.values);
        for (int c = 0; c < probe.ColumnCount(); ++c) {
            s.columns << probe.ColumnName(c);
        }
    };
    Source main;
    main.name = source.name;
    switch (source.kind) {
        case DataSource::Kind::None:
            return;
        case DataSource::Kind::Table:
            if (!m_db.TableExists(source.name)) {
                throw UserError(QStringLiteral("U bazi nema tablice ili upita \"") + source.name +
                                QStringLiteral("\" koji izvještaj čita."));
            }
            main.fromSql = QuoteIdentifier(source.name);
            main.columns = m_db.Columns(source.name);
            break;
        case DataSource::Kind::Query: {
            QStringList names;
            main.fromSql = QLatin1Char('(') + PositionalSql(source.sql, names) +
                           QStringLiteral(") AS ") + QuoteIdentifier(source.name);
            for (const QString& name : names) {
                main.values << m_parameters(name);
            }
            queryColumns(main);
            break;
        }
        case DataSource::Kind::ProgramQuery:
            if (!program) {
                throw UserError(QStringLiteral("Izvještaj čita upit programa \"") + source.name +
                                QStringLiteral("\", a program ga nije zadao."));
            }
            break;
    }
    if (program) {
        // A query-fed run: the program's SQL stands in for whatever the file names.
        main.fromSql =
            QLatin1Char('(') + program->sql + QStringLiteral(") AS ") +
            QuoteIdentifier(source.name.isEmpty() ? QStringLiteral("Upit") : source.name);
        main.values = program->values;
        main.columns.clear();
        queryColumns(main);
    }
    m_sources.push_back(main);
    for (const Join& join : source.joins) {
        if (!m_db.TableExists(join.table)) {
            throw UserError(QStringLiteral("U bazi nema tablice ili upita \"") + join.table +
                            QStringLiteral("\" koji izvještaj čita."));
        }
        m_sources.push_back(
            {join.table, QuoteIdentifier(join.table), {}, m_db.Columns(join.table)});
    }
}

ReportQuery::~ReportQuery() = default;

bool ReportQuery::HasTable(const QString& table) const {
    const QString folded = table.toCaseFolded();
    for (const Source& s : m_sources) {
        if (s.name.toCaseFolded() == folded) {
            return true;
        }
    }
    return false;
}

const ReportQuery::Source& ReportQuery::SourceOf(const FieldRef& ref, QString& column) {
    const QString field = ref.field.toCaseFolded();
    const auto findColumn = [&](const Source& s) {
        for (const QString& c : s.columns) {
            if (c.toCaseFolded() == field) {
                column = c;
                return true;
            }
        }
        return false;
    };
    if (m_sources.empty()) {
        throw UserError(QStringLiteral("Polje ") + ref.Text() +
                        QStringLiteral(" se ne može ispisati: izvještaj nema podataka."));
    }
    if (ref.table.isEmpty()) {
        for (const Source& s : m_sources) {
            if (findColumn(s)) {
                return s;
            }
        }
    } else {
        const QString table = ref.table.toCaseFolded();
        for (const Source& s : m_sources) {
            if (s.name.toCaseFolded() == table) {
                if (findColumn(s)) {
                    return s;
                }
                throw UserError(QStringLiteral("Polje ") + ref.Text() +
                                QStringLiteral(" ne postoji: \"") + s.name +
                                QStringLiteral("\" nema polja \"") + ref.field +
                                QStringLiteral("\"."));
            }
        }
        throw UserError(QStringLiteral("Polje ") + ref.Text() +
                        QStringLiteral(" ne postoji: izvještaj ne čita \"") + ref.table +
                        QStringLiteral("\"."));
    }
    throw UserError(QStringLiteral("Polje ") + ref.Text() + QStringLiteral(" ne postoji."));
}

QString ReportQuery::Resolve(const FieldRef& ref) {
    QString column;
    const Source& s = SourceOf(ref, column);
    return QuoteIdentifier(s.name.isEmpty() ? QStringLiteral("Upit") : s.name) + QLatin1Char('.') +
           QuoteIdentifier(column);
}

int ReportQuery::Field(const FieldRef& ref) {
    const QString sql = Resolve(ref);
    const qsizetype existing = m_selectList.indexOf(sql);
    if (existing >= 0) {
        return static_cast<int>(existing);
    }
    m_selectList << sql;
    return static_cast<int>(m_selectList.size() - 1);
}

void ReportQuery::Open(const Selection& selection) {
    if (m_sources.empty()) {
        m_sql.clear();
        return;
    }
    QVariantList values;
    QString sql = QStringLiteral("SELECT ");
    sql += m_selectList.isEmpty() ? QStringLiteral("1") : m_selectList.join(QStringLiteral(", "));
    sql += QStringLiteral(" FROM ") + m_sources.front().fromSql;
    values << m_sources.front().values;
    const auto resolve = [this](const FieldRef& ref) { return Resolve(ref); };
    const auto parameter = [this](const QString& name) { return m_parameters(name); };
    for (std::size_t j = 0; j < m_source.joins.size(); ++j) {
        const Join& join = m_source.joins[j];
        const Selection::Sql on = join.on.ToSql(resolve, parameter);
        sql += (join.left ? QStringLiteral(" LEFT JOIN ") : QStringLiteral(" JOIN ")) +
               m_sources[j + 1].fromSql + QStringLiteral(" ON ") +
               (on.text.isEmpty() ? QStringLiteral("1 = 1") : on.text);
        values << on.values;
    }
    QStringList where;
    const Selection::Sql fixed = m_source.where.ToSql(resolve, parameter);
    if (!fixed.text.isEmpty()) {
        where << fixed.text;
        values << fixed.values;
    }
    const Selection::Sql chosen = selection.ToSql(resolve, parameter);
    if (!chosen.text.isEmpty()) {
        where << chosen.text;
        values << chosen.values;
    }
    if (!where.isEmpty()) {
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    }
    QStringList order;
    for (const OrderTerm& term : m_source.order) {
        QString o = Resolve(term.field);
        if (term.croatian) {
            o += QStringLiteral(" COLLATE \"HR\"");
        }
        if (term.descending) {
            o += QStringLiteral(" DESC");
        }
        order << o;
    }
    if (!order.isEmpty()) {
        sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    }
    m_sql = sql;
    m_row.assign(static_cast<std::size_t>(m_selectList.size()), QVariant());
    m_cached = nullptr;
    m_recording = false;
    m_recorded.clear();
    if (m_cache) {
        m_cacheKey = sql;
        for (const QVariant& v : values) {
            m_cacheKey +=
                QChar(0x1f) + QString::fromLatin1(v.typeName()) + QChar(0x1e) + v.toString();
        }
        if (const auto it = m_cache->rows.find(m_cacheKey); it != m_cache->rows.end()) {
            m_cached = &it->second;
            m_next = 0;
            m_statement.reset();
            return;
        }
        m_recording = true;
    }
    m_statement = std::make_unique<Statement>(m_db, sql);
    m_statement->Exec(values);
}

bool ReportQuery::Next() {
    if (m_cached) {
        if (m_next >= m_cached->size()) {
            return false;
        }
        m_row = (*m_cached)[m_next++];
        return true;
    }
    if (!m_statement) {
        return false;
    }
    if (!m_statement->Next()) {
        m_statement->Finish();
        m_statement.reset();
        if (m_recording) {
            m_cache->rows[m_cacheKey] = std::move(m_recorded);
            m_recorded.clear();
            m_recording = false;
        }
        return false;
    }
    for (std::size_t c = 0; c < m_row.size(); ++c) {
        m_row[c] = m_statement->Value(static_cast<int>(c));
    }
    if (m_recording) {
        if (m_recorded.size() < m_cache->limit) {
            m_recorded.push_back(m_row);
        } else {
            m_recording = false;  // too many to keep: both runs stream
            m_recorded = {};
        }
    }
    return true;
}

}  // namespace zodra::reports
