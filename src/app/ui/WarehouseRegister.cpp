#include "app/ui/WarehouseRegister.h"

#include "app/SessionStart.h"
#include "app/ui/WindowHost.h"
#include "data/Session.h"
#include "data/Warehouses.h"

namespace zodra::ui {

namespace {

FieldSpec Text(const char16_t* key, const char16_t* label) {
    FieldSpec f;
    f.key = QString::fromUtf16(key);
    f.label = QString::fromUtf16(label);
    return f;
}

FieldSpec Check(const char16_t* key, const char16_t* label) {
    FieldSpec f = Text(key, label);
    f.kind = FieldSpec::Kind::Check;
    f.initial = false;
    return f;
}

FieldSpec WarehouseChoice(const char16_t* key, const char16_t* label, const char16_t* none) {
    FieldSpec f = Text(key, label);
    f.kind = FieldSpec::Kind::Choice;
    f.noneText = QString::fromUtf16(none);
    f.choices = [](Session& s) {
        QList<Choice> list;
        for (const auto& [name, code] : sessionstart::Warehouses(s.Db())) {
            list.append({name, code});
        }
        return list;
    };
    return f;
}

}  // namespace

std::shared_ptr<const RegisterDescription> WarehouseRegister() {
    static const std::shared_ptr<const RegisterDescription> description = [] {
        auto d = std::make_shared<RegisterDescription>();
        UseRegisterTable(*d, warehouses::Register());
        d->command = QStringLiteral("Skladista");
        d->listCaption = QStringLiteral("Skladišta");
        d->entryCaption = QStringLiteral("Upis novog skladišta");
        d->fields = {
            Text(u"NAZIV", u"Naziv :"),
            Text(u"ADRESA", u"Adresa :"),
            Text(u"TELEFON", u"Telefon :"),
            Check(u"MALOPRODAJA", u"Maloprodajno skladište"),
            Check(u"DOZVOLJENI_SVI_RACUNI", u"Dozvoljeni svi računi"),
            Check(u"KOMISIJSKO_SKLADISTE", u"Komisijsko skladište"),
            Check(u"CijeneValuta", u"Cijene u valuti"),
            WarehouseChoice(u"SKLADISTE_ZALIHA", u"Skladište zaliha :", u"(ovo skladište)"),
            WarehouseChoice(u"SKLADISTE_AUTOM_RN", u"Skladište za automatske radne naloge :", u""),
        };
        d->add = [](Session& s, const QVariantMap& v) { return warehouses::Add(s.Db(), v); };
        d->update = [](Session& s, int code, const QVariantMap& v) {
            warehouses::Update(s.Db(), code, v);
        };
        d->deleteQuestion = [](const QString& name) { return warehouses::DeleteQuestion(name); };
        d->remove = [](Session& s, int code) { warehouses::Delete(s.Db(), code); };
        d->afterChange = [](WindowHost& host) { host.RefillWarehouses(); };
        return d;
    }();
    return description;
}

}  // namespace zodra::ui
