#include "data/BoundRows.h"

#include <cmath>

#include "data/Errors.h"
#include "data/InputLimits.h"

namespace zodra {

namespace {

QString Quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

}  // namespace

BoundRows::BoundRows(std::vector<Column> columns) : m_columns(std::move(columns)) {}

void BoundRows::Add(const std::vector<QVariant>& values) {
    Q_ASSERT(values.size() == m_columns.size());
    // A JSON array of arrays: both engines read it with their own JSON functions. Reals are
    // written with 17 significant digits, which reads back as the same double.
    QString row = QStringLiteral("[");
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            row += QLatin1Char(',');
        }
        const QVariant& value = values[i];
        if (!value.isValid() || value.isNull()) {
            row += QStringLiteral("null");
        } else if (m_columns[i].type == Type::Integer) {
            row += QString::number(value.toLongLong());
        } else {
            const double number = value.toDouble();
            if (!std::isfinite(number)) {
                throw UserError(limits::NotANumberMessage(QStringLiteral("Vrijednost")));
            }
            row += QString::number(number, 'g', 17);
        }
    }
    row += QLatin1Char(']');
    m_text += (m_size == 0 ? QStringLiteral("[") : QStringLiteral(",")) + row;
    ++m_size;
}

QString BoundRows::Source(SqlDialect dialect, const QString& alias) const {
    QString select;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        const bool integer = m_columns[i].type == Type::Integer;
        const QString index = QString::number(i);
        QString value;
        if (dialect == SqlDialect::Sqlite) {
            value = QStringLiteral("CAST(json_extract(\"r\".\"value\", '$[") + index +
                    QStringLiteral("]') AS ") +
                    (integer ? QStringLiteral("INTEGER") : QStringLiteral("REAL")) +
                    QLatin1Char(')');
        } else {
            value = QStringLiteral("CAST(\"r\".\"e\" ->> ") + index + QStringLiteral(" AS ") +
                    (integer ? QStringLiteral("BIGINT") : QStringLiteral("DOUBLE PRECISION")) +
                    QLatin1Char(')');
        }
        select += (i == 0 ? QString() : QStringLiteral(", ")) + value + QStringLiteral(" AS ") +
                  Quoted(m_columns[i].name);
    }
    const QString rows =
        dialect == SqlDialect::Sqlite
            ? QStringLiteral("json_each(?) AS \"r\"")
            : QStringLiteral("json_array_elements(CAST(? AS json)) AS \"r\"(\"e\")");
    return QStringLiteral("(SELECT ") + select + QStringLiteral(" FROM ") + rows +
           QStringLiteral(") AS ") + Quoted(alias);
}

QVariant BoundRows::Value() const {
    return m_size == 0 ? QStringLiteral("[]") : m_text + QLatin1Char(']');
}

}  // namespace zodra
