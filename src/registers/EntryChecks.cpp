#include "registers/EntryChecks.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Statement.h"
#include "data/TextSearch.h"
#include "registers/TypedValue.h"

namespace zodra::registers {

namespace {

QString Quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

bool IsNone(const Field& field, const QVariant& typed) {
    if (TextOf(typed).isEmpty()) {
        return true;
    }
    if (field.noneValue.isValid() && !field.noneValue.isNull()) {
        const auto code = ParseInteger(typed);
        return code && *code == field.noneValue.toLongLong();
    }
    return false;
}

QVariant StoredValue(const Field& field, const QVariant& typed) {
    switch (field.kind) {
        case FieldKind::Text: {
            const QString text = TextOf(typed);
            return text.isEmpty() ? QVariant() : QVariant(text);
        }
        case FieldKind::Number: {
            const auto number = ParseNumber(typed);
            return number ? QVariant(*number) : QVariant();
        }
        case FieldKind::Integer: {
            const auto number = ParseInteger(typed);
            return number ? QVariant(*number) : QVariant();
        }
        case FieldKind::Flag:
            return FlagOf(typed);
        case FieldKind::Reference: {
            if (IsNone(field, typed)) {
                return field.noneValue;
            }
            const auto code = ParseInteger(typed);
            return code ? QVariant(*code) : field.noneValue;
        }
    }
    return QVariant();
}

}  // namespace

EntryChecks::EntryChecks(Database& db, const RegisterDescription& description)
    : m_db(db), m_description(description) {}

EntryChecks::~EntryChecks() = default;

Statement& EntryChecks::Prepared(const QString& sql) {
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        it = m_statements.emplace(sql, std::make_unique<Statement>(m_db, sql)).first;
    }
    return *it->second;
}

bool EntryChecks::ReferenceExists(const Field& field, const QVariant& typed) {
    if (IsNone(field, typed)) {
        return field.optional;
    }
    const auto code = ParseInteger(typed);
    if (!code) {
        return false;
    }
    const auto key = std::make_pair(field.referenceTable, *code);
    if (m_existing.count(key)) {
        return true;
    }
    Statement& find = Prepared(QStringLiteral("SELECT 1 FROM ") + Quoted(field.referenceTable) +
                               QStringLiteral(" WHERE \"SIFRA\" = ?"));
    find.Exec({*code});
    const bool found = find.Next();
    find.Finish();
    if (found) {
        m_existing.emplace(key, true);
    }
    return found;
}

void EntryChecks::RunCheck(const Check& check, const QVariant& typed) {
    bool failed = false;
    switch (check.kind) {
        case Check::Kind::Length: {
            const QString text = TextOf(typed);
            failed = (check.required && text.isEmpty()) || text.size() > check.maxLength;
            break;
        }
        case Check::Kind::Number:
            failed = !ParseNumber(typed).has_value();
            break;
        case Check::Kind::Integer:
            failed = !ParseInteger(typed).has_value();
            break;
        case Check::Kind::Reference: {
            const Field* field = m_description.FindField(check.column);
            Q_ASSERT(field != nullptr);
            failed = field == nullptr || !ReferenceExists(*field, typed);
            break;
        }
    }
    if (failed) {
        throw UserError(check.message);
    }
}

void EntryChecks::RunDuplicateCheck(const DuplicateCheck& duplicate, const QVariant& typed,
                                    int code) {
    const QString text = TextOf(typed);
    if (text.isEmpty()) {
        return;  // an empty optional value (no code, no OIB) is never a duplicate
    }
    const QString column = Quoted(duplicate.column);
    const QString compared =
        duplicate.folded ? textsearch::KeyExpression(m_db.Dialect(), column) : column;
    Statement& find = Prepared(QStringLiteral("SELECT 1 FROM ") + Quoted(m_description.table) +
                               QStringLiteral(" WHERE ") + compared + QStringLiteral(" = ? AND ") +
                               Quoted(m_description.keyColumn) + QStringLiteral(" <> ? LIMIT 1"));
    find.Exec({duplicate.folded ? textsearch::Fold(text) : text, code});
    const bool found = find.Next();
    find.Finish();
    if (found) {
        throw UserError(duplicate.before + text + duplicate.after);
    }
}

Values EntryChecks::Validate(const Values& typed, int code) {
    for (const Check& check : m_description.checks) {
        RunCheck(check, typed.value(check.column));
    }
    for (const DuplicateCheck& duplicate : m_description.duplicates) {
        RunDuplicateCheck(duplicate, typed.value(duplicate.column), code);
    }
    Values stored;
    for (const Field& field : m_description.fields) {
        stored.insert(field.column, StoredValue(field, typed.value(field.column)));
    }
    return stored;
}

QVariant EntryChecks::ReferenceCode(const Field& field, const QString& nameOrCode) {
    const QString text = nameOrCode.trimmed();
    if (text.isEmpty()) {
        return QString();
    }
    const QString folded = textsearch::Fold(text);
    const auto key = std::make_pair(field.referenceTable, folded);
    if (const auto it = m_named.find(key); it != m_named.end()) {
        return it->second;
    }
    Statement& find =
        Prepared(QStringLiteral("SELECT \"SIFRA\" FROM ") + Quoted(field.referenceTable) +
                 QStringLiteral(" WHERE ") +
                 textsearch::KeyExpression(m_db.Dialect(), QStringLiteral("\"NAZIV\"")) +
                 QStringLiteral(" = ? ORDER BY \"SIFRA\" LIMIT 1"));
    find.Exec({folded});
    const QVariant byName = find.Next() ? find.Value(0) : QVariant();
    find.Finish();
    if (!byName.isValid()) {
        return text;
    }
    m_named.emplace(key, byName.toLongLong());
    return byName;
}

}  // namespace zodra::registers
