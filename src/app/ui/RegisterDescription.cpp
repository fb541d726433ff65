#include "app/ui/RegisterDescription.h"

#include "data/Session.h"
#include "data/registers/Catalogue.h"
#include "data/registers/RegisterStore.h"

namespace zodra::ui {

namespace {

registers::OperationContext Context(Session& s) {
    return registers::OperationContext{s.activeWarehouse.code};
}

// The name column of a referenced register ("IME" for employees, else "NAZIV").
QString NameColumnOf(const QString& table) {
    for (const registers::RegisterDescription* d : registers::catalogue::All()) {
        if (d->table == table) {
            return d->nameColumn;
        }
    }
    return QStringLiteral("NAZIV");
}

FieldSpec BoxFor(const registers::Field& field) {
    FieldSpec f;
    f.key = field.column;
    f.label = field.caption + QStringLiteral(" :");
    switch (field.kind) {
        case registers::FieldKind::Flag:
            f.kind = FieldSpec::Kind::Check;
            f.label = field.caption;
            f.initial = field.startValue.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
            break;
        case registers::FieldKind::Reference: {
            f.kind = FieldSpec::Kind::Choice;
            const QString table = field.referenceTable;
            const QString nameColumn = NameColumnOf(table);
            f.choices = [table, nameColumn](Session& s) {
                QList<Choice> list;
                for (const registers::SavedRow& row :
                     registers::Choices(s.Db(), table, nameColumn)) {
                    list.append({row.name, row.code});
                }
                return list;
            };
            if (field.optional) {
                f.noneText = QStringLiteral("");
            }
            f.reference = table;
            f.initial = field.startValue.isEmpty() ? QVariant() : QVariant(field.startValue);
            break;
        }
        default:
            f.kind = FieldSpec::Kind::Text;
            f.initial = field.startValue;
            break;
    }
    return f;
}

}  // namespace

std::shared_ptr<RegisterDescription> FromRegister(const registers::RegisterDescription& core,
                                                  const QString& command) {
    const registers::RegisterDescription* c = &core;
    auto d = std::make_shared<RegisterDescription>();
    d->name = core.table;
    d->command = command;
    d->listCaption = core.listCaption;
    d->entryCaption = core.entryCaption;
    d->nameKey = core.nameColumn;
    for (const registers::Field& field : core.fields) {
        FieldSpec box = BoxFor(field);
        if (field.referenceTable == core.table) {
            box.reference.clear();  // no "new row" shortcut inside the register's own windows
        }
        d->fields.append(box);
    }
    d->list = [c](Session& s) {
        QList<RegisterRow> rows;
        for (const registers::SavedRow& row : registers::List(s.Db(), *c)) {
            rows.append({row.code, row.name});
        }
        return rows;
    };
    d->read = [c](Session& s, int code) {
        return registers::Load(s.Db(), *c, code).value_or(QVariantMap());
    };
    d->add = [c](Session& s, const QVariantMap& v) {
        return registers::Add(s.Db(), *c, v, Context(s)).code;
    };
    d->update = [c](Session& s, int code, const QVariantMap& v) {
        registers::Update(s.Db(), *c, code, v, Context(s));
    };
    if (!core.deleteQuestion.isEmpty()) {
        d->refuseBeforeDelete = [c](Session& s, int code) {
            registers::RefuseBeforeQuestion(s.Db(), *c, code, Context(s));
        };
        d->deleteQuestion = [c](const QString& name) {
            return registers::DeleteQuestion(*c, name);
        };
        d->remove = [c](Session& s, int code) { registers::DeleteAnswered(s.Db(), *c, code); };
    }
    return d;
}

}  // namespace zodra::ui
