#include "data/RegisterTable.h"

#include <QDate>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/TextSearch.h"
#include "data/Transaction.h"

namespace zodra {

namespace {

QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

std::optional<double> AsNumber(const QVariant& v) {
    if (v.isNull()) {
        return 0.0;
    }
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int ||
        v.typeId() == QMetaType::LongLong) {
        return v.toDouble();
    }
    QString t = v.toString().trimmed();
    if (t.isEmpty()) {
        return 0.0;
    }
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double d = t.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

}  // namespace

RegisterTable::RegisterTable(RegisterTableSpec spec) : m_spec(std::move(spec)) {}

QList<RegisterRow> RegisterTable::List(Database& db) const {
    QList<RegisterRow> rows;
    Statement all = db.Prepare(QStringLiteral("SELECT ") + Q(m_spec.key) + QStringLiteral(", ") +
                               Q(m_spec.nameColumn) + QStringLiteral(" FROM ") + Q(m_spec.table) +
                               QStringLiteral(" ORDER BY ") + Q(m_spec.nameColumn) +
                               QStringLiteral(" COLLATE \"HR\", ") + Q(m_spec.key));
    all.Exec();
    while (all.Next()) {
        rows.append({all.Int(0), all.Text(1)});
    }
    return rows;
}

QVariantMap RegisterTable::Read(Database& db, int code) const {
    QVariantMap values;
    QStringList columns{Q(m_spec.key), Q(m_spec.nameColumn)};
    for (const RegisterColumn& c : m_spec.columns) {
        columns << Q(c.column);
    }
    Statement row = db.Prepare(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                               QStringLiteral(" FROM ") + Q(m_spec.table) +
                               QStringLiteral(" WHERE ") + Q(m_spec.key) + QStringLiteral(" = ?"));
    row.Exec({code});
    if (!row.Next()) {
        return values;
    }
    values[m_spec.key] = row.Int(0);
    values[m_spec.nameColumn] = row.Text(1);
    int i = 2;
    for (const RegisterColumn& c : m_spec.columns) {
        const QVariant v = row.Value(i++);
        switch (c.type) {
            case RegisterColumn::Type::Boolean:
                values[c.column] = sqlvalue::ToBool(v);
                break;
            case RegisterColumn::Type::Date:
                values[c.column] = v.isNull() ? QVariant() : QVariant(sqlvalue::ToDate(v));
                break;
            case RegisterColumn::Type::Text:
                values[c.column] = sqlvalue::ToText(v);
                break;
            default:
                values[c.column] = v;
                break;
        }
    }
    return values;
}

void RegisterTable::Check(Database& db, const QVariantMap& values, int code) const {
    for (const RegisterColumn& c : m_spec.columns) {
        if (!values.contains(c.column)) {
            continue;
        }
        const QVariant v = values.value(c.column);
        if (c.type == RegisterColumn::Type::Text) {
            const QString text = v.toString();
            if ((c.required && text.trimmed().isEmpty()) ||
                (c.maxLength > 0 && text.size() > c.maxLength)) {
                throw UserError(c.lengthMessage);
            }
        } else if (c.type == RegisterColumn::Type::Integer ||
                   c.type == RegisterColumn::Type::Double) {
            if (!AsNumber(v)) {
                throw UserError(c.numberMessage);
            }
        }
    }
    if (!m_spec.duplicateNameMessage.isEmpty() && values.contains(m_spec.nameColumn)) {
        const QString name = values.value(m_spec.nameColumn).toString().trimmed();
        const QVariant other = db.Scalar(
            QStringLiteral("SELECT ") + Q(m_spec.key) + QStringLiteral(" FROM ") + Q(m_spec.table) +
                QStringLiteral(" WHERE zfold(") + Q(m_spec.nameColumn) +
                QStringLiteral(") = ? AND ") + Q(m_spec.key) + QStringLiteral(" <> ? LIMIT 1"),
            {textsearch::Fold(name), code});
        if (other.isValid()) {
            throw UserError(m_spec.duplicateNameMessage.arg(name));
        }
    }
}

QVariant RegisterTable::Stored(const RegisterColumn& column, const QVariant& value) const {
    switch (column.type) {
        case RegisterColumn::Type::Text:
            return value.toString().trimmed();
        case RegisterColumn::Type::Integer:
            return value.isNull() || value.toString().trimmed().isEmpty()
                       ? QVariant()
                       : QVariant(static_cast<qlonglong>(*AsNumber(value)));
        case RegisterColumn::Type::Double:
            return *AsNumber(value);
        case RegisterColumn::Type::Boolean:
            return value.toBool() ? 1 : 0;
        case RegisterColumn::Type::Date:
            return value.toDate().isValid() ? QVariant(value.toDate()) : QVariant();
    }
    return value;
}

int RegisterTable::Add(Database& db, const QVariantMap& values) const {
    Transaction tx(db);
    Check(db, values, 0);
    QStringList columns;
    QStringList marks;
    QVariantList params;
    bool nameWritten = false;
    for (const RegisterColumn& c : m_spec.columns) {
        if (!values.contains(c.column)) {
            continue;
        }
        columns << Q(c.column);
        marks << QStringLiteral("?");
        params << Stored(c, values.value(c.column));
        nameWritten = nameWritten || c.column == m_spec.nameColumn;
    }
    if (!nameWritten && values.contains(m_spec.nameColumn)) {
        columns << Q(m_spec.nameColumn);
        marks << QStringLiteral("?");
        params << values.value(m_spec.nameColumn).toString().trimmed();
    }
    Statement insert =
        db.Prepare(QStringLiteral("INSERT INTO ") + Q(m_spec.table) + QStringLiteral(" (") +
                   columns.join(QStringLiteral(", ")) + QStringLiteral(") VALUES (") +
                   marks.join(QStringLiteral(", ")) + QStringLiteral(")"));
    insert.Exec(params);
    const int code = insert.LastInsertId().toInt();
    tx.Commit();
    return code;
}

void RegisterTable::Update(Database& db, int code, const QVariantMap& values) const {
    Transaction tx(db);
    Check(db, values, code);
    QStringList sets;
    QVariantList params;
    for (const RegisterColumn& c : m_spec.columns) {
        if (!values.contains(c.column)) {
            continue;
        }
        sets << Q(c.column) + QStringLiteral(" = ?");
        params << Stored(c, values.value(c.column));
    }
    if (sets.isEmpty()) {
        return;
    }
    params << code;
    db.Exec(QStringLiteral("UPDATE ") + Q(m_spec.table) + QStringLiteral(" SET ") +
                sets.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") + Q(m_spec.key) +
                QStringLiteral(" = ?"),
            params);
    tx.Commit();
}

void RegisterTable::Delete(Database& db, int code) const {
    db.Exec(QStringLiteral("DELETE FROM ") + Q(m_spec.table) + QStringLiteral(" WHERE ") +
                Q(m_spec.key) + QStringLiteral(" = ?"),
            {code});
}

QString RegisterTable::Name(Database& db, int code) const {
    return db
        .Scalar(QStringLiteral("SELECT ") + Q(m_spec.nameColumn) + QStringLiteral(" FROM ") +
                    Q(m_spec.table) + QStringLiteral(" WHERE ") + Q(m_spec.key) +
                    QStringLiteral(" = ?"),
                {code})
        .toString();
}

}  // namespace zodra
