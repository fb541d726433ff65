#include "data/registers/RegisterStore.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/SqlValue.h"
#include "data/TextSearch.h"
#include "data/Transaction.h"
#include "data/registers/TypedValue.h"

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

bool ReferenceExists(Database& db, const Field& field, const QVariant& typed) {
    if (IsNone(field, typed)) {
        return field.optional;
    }
    const auto code = ParseInteger(typed);
    if (!code) {
        return false;
    }
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM ") + Quoted(field.referenceTable) +
                    QStringLiteral(" WHERE \"SIFRA\" = ?"),
                {*code})
        .isValid();
}

void RunCheck(Database& db, const RegisterDescription& description, const Check& check,
              const QVariant& typed) {
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
            const Field* field = description.FindField(check.column);
            Q_ASSERT(field != nullptr);
            failed = field == nullptr || !ReferenceExists(db, *field, typed);
            break;
        }
    }
    if (failed) {
        throw UserError(check.message);
    }
}

void RunDuplicateCheck(Database& db, const RegisterDescription& description,
                       const DuplicateCheck& duplicate, const QVariant& typed, int code) {
    const QString text = TextOf(typed);
    if (text.isEmpty()) {
        return;  // an empty optional value (no code, no OIB) is never a duplicate
    }
    const QString column = Quoted(duplicate.column);
    const QString compared =
        duplicate.folded ? QStringLiteral("zfold(") + column + QLatin1Char(')') : column;
    const QVariant found =
        db.Scalar(QStringLiteral("SELECT 1 FROM ") + Quoted(description.table) +
                      QStringLiteral(" WHERE ") + compared + QStringLiteral(" = ? AND ") +
                      Quoted(description.keyColumn) + QStringLiteral(" <> ? LIMIT 1"),
                  {duplicate.folded ? textsearch::Fold(text) : text, code});
    if (found.isValid()) {
        throw UserError(duplicate.before + text + duplicate.after);
    }
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

QVariant LoadedValue(const Field& field, const QVariant& stored) {
    if (stored.isNull()) {
        return field.kind == FieldKind::Flag ? QVariant(false) : QVariant();
    }
    switch (field.kind) {
        case FieldKind::Text:
            return stored.toString();
        case FieldKind::Number:
            return stored.toDouble();
        case FieldKind::Integer:
        case FieldKind::Reference:
            return stored.toLongLong();
        case FieldKind::Flag:
            return sqlvalue::ToBool(stored);
    }
    return stored;
}

QString RowName(Database& db, const RegisterDescription& description, int code) {
    return db
        .Scalar(QStringLiteral("SELECT ") + Quoted(description.nameColumn) +
                    QStringLiteral(" FROM ") + Quoted(description.table) +
                    QStringLiteral(" WHERE ") + Quoted(description.keyColumn) +
                    QStringLiteral(" = ?"),
                {code})
        .toString();
}

bool RowExists(Database& db, const RegisterDescription& description, int code) {
    return db
        .Scalar(QStringLiteral("SELECT 1 FROM ") + Quoted(description.table) +
                    QStringLiteral(" WHERE ") + Quoted(description.keyColumn) +
                    QStringLiteral(" = ?"),
                {code})
        .isValid();
}

QVariantList CodeFor(const QString& sql, int code) {
    return QVariantList(sql.count(QLatin1Char('?')), code);
}

const QString kRowGone = QStringLiteral("Ovaj zapis je u međuvremenu izbrisan.");

}  // namespace

const Field* RegisterDescription::FindField(const QString& column) const {
    for (const Field& field : fields) {
        if (field.column == column) {
            return &field;
        }
    }
    return nullptr;
}

Values StartValues(const RegisterDescription& description) {
    Values values;
    for (const Field& field : description.fields) {
        if (field.kind == FieldKind::Flag) {
            values.insert(field.column, FlagOf(field.startValue));
        } else {
            values.insert(field.column, field.startValue);
        }
    }
    return values;
}

Values Validate(Database& db, const RegisterDescription& description, const Values& typed,
                int code) {
    for (const Check& check : description.checks) {
        RunCheck(db, description, check, typed.value(check.column));
    }
    for (const DuplicateCheck& duplicate : description.duplicates) {
        RunDuplicateCheck(db, description, duplicate, typed.value(duplicate.column), code);
    }
    Values stored;
    for (const Field& field : description.fields) {
        stored.insert(field.column, StoredValue(field, typed.value(field.column)));
    }
    return stored;
}

SavedRow Add(Database& db, const RegisterDescription& description, const Values& typed,
             const OperationContext& context) {
    Values full = StartValues(description);
    for (auto it = typed.begin(); it != typed.end(); ++it) {
        full.insert(it.key(), it.value());
    }
    Transaction tx(db);
    Values stored = Validate(db, description, full, 0);
    if (description.beforeSave) {
        description.beforeSave(db, 0, stored, context);
    }
    QStringList columns;
    QStringList marks;
    QVariantList params;
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        columns << Quoted(it.key());
        marks << QStringLiteral("?");
        params << it.value();
    }
    Statement insert = db.Prepare(QStringLiteral("INSERT INTO ") + Quoted(description.table) +
                                  QStringLiteral(" (") + columns.join(QStringLiteral(", ")) +
                                  QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
                                  QLatin1Char(')'));
    insert.Exec(params);
    const int code = insert.LastInsertId().toInt();
    insert.Finish();
    if (description.afterAdd) {
        description.afterAdd(db, code, stored);
    }
    tx.Commit();
    return SavedRow{code, stored.value(description.nameColumn).toString()};
}

SavedRow Update(Database& db, const RegisterDescription& description, int code, const Values& typed,
                const OperationContext& context) {
    Transaction tx(db);
    const auto current = Load(db, description, code);
    if (!current) {
        throw UserError(kRowGone);
    }
    Values merged = *current;
    // A number the row never had (an old row) is shown as the entry window's start value.
    for (const Field& field : description.fields) {
        if ((field.kind == FieldKind::Number || field.kind == FieldKind::Integer) &&
            merged.value(field.column).isNull()) {
            merged.insert(field.column, field.startValue);
        }
    }
    for (auto it = typed.begin(); it != typed.end(); ++it) {
        merged.insert(it.key(), it.value());
    }
    Values stored = Validate(db, description, merged, code);
    if (description.beforeSave) {
        description.beforeSave(db, code, stored, context);
    }
    QStringList assignments;
    QVariantList params;
    for (auto it = stored.begin(); it != stored.end(); ++it) {
        assignments << Quoted(it.key()) + QStringLiteral(" = ?");
        params << it.value();
    }
    params << code;
    db.Exec(QStringLiteral("UPDATE ") + Quoted(description.table) + QStringLiteral(" SET ") +
                assignments.join(QStringLiteral(", ")) + QStringLiteral(" WHERE ") +
                Quoted(description.keyColumn) + QStringLiteral(" = ?"),
            params);
    tx.Commit();
    return SavedRow{code, stored.value(description.nameColumn).toString()};
}

void RefuseBeforeQuestion(Database& db, const RegisterDescription& description, int code,
                          const OperationContext& context) {
    if (!RowExists(db, description, code)) {
        throw UserError(kRowGone);
    }
    const QString name = RowName(db, description, code);
    for (const ProtectedRow& row : description.protectedRows) {
        const bool byName = !row.name.isEmpty() && name == row.name;
        const bool byCode =
            row.toCode >= row.fromCode && code >= row.fromCode && code <= row.toCode;
        if (byName || byCode) {
            throw UserError(row.message(name));
        }
    }
    if (description.deleteRefusal) {
        if (const auto refusal = description.deleteRefusal(db, code, context)) {
            throw UserError(*refusal);
        }
    }
}

QString DeleteQuestion(const RegisterDescription& description, const QString& name) {
    return description.deleteQuestion + name + QStringLiteral(" ?");
}

void DeleteAnswered(Database& db, const RegisterDescription& description, int code) {
    // The answer came without a transaction open; another workstation may have used the row
    // meanwhile, so the references are checked again under the write lock.
    Transaction tx(db);
    if (!RowExists(db, description, code)) {
        throw UserError(kRowGone);
    }
    for (const DeleteGuard& guard : description.deleteGuards) {
        if (db.Scalar(guard.sql, CodeFor(guard.sql, code)).isValid()) {
            throw UserError(guard.message);
        }
    }
    for (const QString& sql : description.cascadeDeletes) {
        db.Exec(sql, CodeFor(sql, code));
    }
    db.Exec(QStringLiteral("DELETE FROM ") + Quoted(description.table) + QStringLiteral(" WHERE ") +
                Quoted(description.keyColumn) + QStringLiteral(" = ?"),
            {code});
    tx.Commit();
}

bool Delete(Database& db, const RegisterDescription& description, int code, Prompter& prompter,
            const OperationContext& context) {
    RefuseBeforeQuestion(db, description, code, context);
    if (!prompter.AskYesNo(DeleteQuestion(description, RowName(db, description, code)),
                           kDeleteTitle, false)) {
        return false;
    }
    DeleteAnswered(db, description, code);
    return true;
}

std::optional<Values> Load(Database& db, const RegisterDescription& description, int code) {
    QStringList columns;
    for (const Field& field : description.fields) {
        columns << Quoted(field.column);
    }
    Statement row = db.Prepare(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                               QStringLiteral(" FROM ") + Quoted(description.table) +
                               QStringLiteral(" WHERE ") + Quoted(description.keyColumn) +
                               QStringLiteral(" = ?"));
    row.Exec({code});
    if (!row.Next()) {
        return std::nullopt;
    }
    Values values;
    for (int i = 0; i < static_cast<int>(description.fields.size()); ++i) {
        const Field& field = description.fields.at(static_cast<size_t>(i));
        values.insert(field.column, LoadedValue(field, row.Value(i)));
    }
    return values;
}

std::vector<SavedRow> List(Database& db, const RegisterDescription& description) {
    std::vector<SavedRow> rows;
    Statement all = db.Prepare(QStringLiteral("SELECT ") + Quoted(description.keyColumn) +
                               QStringLiteral(", ") + Quoted(description.nameColumn) +
                               QStringLiteral(" FROM ") + Quoted(description.table) +
                               QStringLiteral(" ORDER BY ") + Quoted(description.nameColumn) +
                               QStringLiteral(" COLLATE \"HR\", ") + Quoted(description.keyColumn));
    all.Exec();
    while (all.Next()) {
        rows.push_back(SavedRow{all.Int(0), all.Text(1)});
    }
    return rows;
}

QString NameOf(Database& db, const RegisterDescription& description, int code) {
    return RowName(db, description, code);
}

QVariant ReferenceCode(Database& db, const Field& field, const QString& nameOrCode) {
    const QString text = nameOrCode.trimmed();
    if (text.isEmpty()) {
        return QString();
    }
    const QVariant byName =
        db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM ") + Quoted(field.referenceTable) +
                      QStringLiteral(" WHERE zfold(\"NAZIV\") = ? ORDER BY "
                                     "\"SIFRA\" LIMIT 1"),
                  {textsearch::Fold(text)});
    return byName.isValid() ? byName : QVariant(text);
}

std::vector<SavedRow> Choices(Database& db, const QString& table, const QString& nameColumn) {
    RegisterDescription description;
    description.table = table;
    description.nameColumn = nameColumn;
    return List(db, description);
}

}  // namespace zodra::registers
