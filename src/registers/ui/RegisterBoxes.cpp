#include "registers/ui/RegisterBoxes.h"

#include "data/InputRules.h"
#include "data/Session.h"
#include "registers/RegisterStore.h"

namespace zodra::registers::ui {

namespace {

using zodra::ui::Choice;
using zodra::ui::FieldSpec;

FieldSpec Box(const Field& field) {
    FieldSpec box;
    box.key = field.column;
    box.label = field.caption + QStringLiteral(" :");
    switch (field.kind) {
        case FieldKind::Text:
        case FieldKind::Number:
        case FieldKind::Integer:
            box.kind = FieldSpec::Kind::Text;
            box.initial = field.startValue;
            break;
        case FieldKind::Flag:
            box.kind = FieldSpec::Kind::Check;
            box.initial = false;
            break;
        case FieldKind::Reference: {
            box.kind = FieldSpec::Kind::Choice;
            const QString table = field.referenceTable;
            box.choices = [table](Session& session) {
                QList<Choice> list;
                for (const SavedRow& row : Choices(session.Db(), table)) {
                    list.append({row.name, row.code});
                }
                return list;
            };
            // An empty entry first: "none" for optional lookups, "not chosen yet" (refused by
            // the entry check) for required ones.
            box.noneText = QStringLiteral("");
            box.initial =
                field.startValue.isEmpty() ? QVariant() : QVariant(field.startValue.toInt());
            box.reference = table;
            box.referenceCaption = field.shortcutCaption;
            break;
        }
    }
    return box;
}

}  // namespace

QList<FieldSpec> FieldBoxes(const RegisterDescription& description) {
    QList<FieldSpec> boxes;
    for (const Field& field : description.fields) {
        boxes.append(Box(field));
    }
    return boxes;
}

OperationContext ContextOf(Session& session) {
    return OperationContext{session.activeWarehouse.code};
}

QVariantMap ShownValues(const RegisterDescription& description, const Values& stored) {
    QVariantMap shown;
    for (const Field& field : description.fields) {
        const QVariant value = stored.value(field.column);
        switch (field.kind) {
            case FieldKind::Number:
                shown.insert(field.column, value.isNull()
                                               ? QString()
                                               : inputrules::FormatNumber(value.toDouble()));
                break;
            case FieldKind::Integer:
                shown.insert(field.column,
                             value.isNull() ? QString() : QString::number(value.toLongLong()));
                break;
            case FieldKind::Text:
                shown.insert(field.column, value.toString());
                break;
            case FieldKind::Flag:
            case FieldKind::Reference:
                shown.insert(field.column, value);
                break;
        }
    }
    return shown;
}

}  // namespace zodra::registers::ui
