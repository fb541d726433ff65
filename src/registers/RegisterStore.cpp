#include "registers/RegisterStore.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/SqlValue.h"
#include "data/TextSearch.h"
#include "data/Transaction.h"
#include "registers/EntryChecks.h"
#include "registers/RowAdder.h"
#include "registers/TypedValue.h"

namespace zodra::registers {

namespace {

QString Quoted(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
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
    return EntryChecks(db, description).Validate(typed, code);
}

SavedRow Add(Database& db, const RegisterDescription& description, const Values& typed,
             const OperationContext& context) {
    Transaction tx(db);
    const SavedRow saved = RowAdder(db, description, context).Add(typed);
    tx.Commit();
    return saved;
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
    RegisterDescription none;
    return EntryChecks(db, none).ReferenceCode(field, nameOrCode);
}

std::vector<SavedRow> Choices(Database& db, const QString& table, const QString& nameColumn) {
    RegisterDescription description;
    description.table = table;
    description.nameColumn = nameColumn;
    return List(db, description);
}

}  // namespace zodra::registers
