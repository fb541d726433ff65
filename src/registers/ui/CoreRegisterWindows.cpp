#include "registers/ui/CoreRegisterWindows.h"

#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "registers/RegisterStore.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::registers::ui {

namespace {

using zodra::ui::Choice;
using zodra::ui::FieldSpec;

QString ShortcutCaption(const QString& table) {
    if (table == QLatin1String("GRUPE_A")) {
        return QStringLiteral("Nova grupa");
    }
    if (table == QLatin1String("GRUPE_POREZA")) {
        return QStringLiteral("Nova grupa poreza");
    }
    if (table == QLatin1String("VALUTE")) {
        return QStringLiteral("Nova valuta");
    }
    if (table == QLatin1String("NACINI_ISPORUKE")) {
        return QStringLiteral("Novi način isporuke");
    }
    if (table == QLatin1String("CJENICI")) {
        return QStringLiteral("Novi cjenik");
    }
    if (table == QLatin1String("SKLADISTA")) {
        return QStringLiteral("Novo skladište");
    }
    return QString();
}

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
            box.referenceCaption = ShortcutCaption(table);
            break;
        }
    }
    return box;
}

}  // namespace

OperationContext ContextOf(Session& session) {
    return OperationContext{session.activeWarehouse.code};
}

QVariantMap ShownValues(const RegisterDescription& core, const Values& stored) {
    QVariantMap shown;
    for (const Field& field : core.fields) {
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

std::shared_ptr<zodra::ui::RegisterDescription> WindowDescription(const RegisterDescription& core,
                                                                  const QString& command) {
    auto d = std::make_shared<zodra::ui::RegisterDescription>();
    d->name = core.table;
    d->command = command;
    d->listCaption = core.listCaption;
    d->entryCaption = core.entryCaption.isEmpty() ? core.listCaption : core.entryCaption;
    d->nameKey = core.nameColumn;
    for (const Field& field : core.fields) {
        d->fields.append(Box(field));
    }
    const RegisterDescription* description = &core;
    d->list = [description](Session& session) {
        QList<zodra::ui::RegisterRow> rows;
        for (const SavedRow& row : List(session.Db(), *description)) {
            rows.append(zodra::ui::RegisterRow{row.code, row.name});
        }
        return rows;
    };
    d->read = [description](Session& session, int code) {
        const auto values = Load(session.Db(), *description, code);
        return values ? ShownValues(*description, *values) : QVariantMap();
    };
    d->add = [description](Session& session, const QVariantMap& values) {
        return Add(session.Db(), *description, values, ContextOf(session)).code;
    };
    d->update = [description](Session& session, int code, const QVariantMap& values) {
        Update(session.Db(), *description, code, values, ContextOf(session));
    };
    // The rows that can never be deleted are refused before the question; the references are
    // checked again with the deletion itself.
    d->refuseBeforeDelete = [description](Session& session, int code) {
        RefuseBeforeQuestion(session.Db(), *description, code, ContextOf(session));
    };
    d->deleteQuestion = [description](const QString& name) {
        return DeleteQuestion(*description, name);
    };
    d->remove = [description](Session& session, int code) {
        RefuseBeforeQuestion(session.Db(), *description, code, ContextOf(session));
        DeleteAnswered(session.Db(), *description, code);
    };
    return d;
}

void Bind(zodra::ui::CommandRegistry& registry, const RegisterDescription& core,
          const QString& command) {
    std::shared_ptr<const zodra::ui::RegisterDescription> window = WindowDescription(core, command);
    const zodra::ui::CommandRegistry* r = &registry;
    registry.Register(command, [window, r](zodra::ui::WindowHost& host) {
        zodra::ui::ShowRegisterList(host, window, r);
    });
    registry.RegisterEntry(core.table, [window, r](zodra::ui::WindowHost& host, QWidget* parent) {
        return zodra::ui::OpenRegisterEntry(host, window, r, parent);
    });
}

}  // namespace zodra::registers::ui
