#include "app/ui/RegisterDescription.h"

#include "data/Session.h"

namespace zodra::ui {

void UseRegisterTable(RegisterDescription& d, const RegisterTable& table) {
    const RegisterTable* t = &table;
    d.name = table.Spec().table;
    d.nameKey = table.Spec().nameColumn;
    d.list = [t](Session& s) { return t->List(s.Db()); };
    d.read = [t](Session& s, int code) { return t->Read(s.Db(), code); };
    d.add = [t](Session& s, const QVariantMap& v) { return t->Add(s.Db(), v); };
    d.update = [t](Session& s, int code, const QVariantMap& v) { t->Update(s.Db(), code, v); };
    d.remove = [t](Session& s, int code) { t->Delete(s.Db(), code); };
}

}  // namespace zodra::ui
