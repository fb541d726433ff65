#include "app/CommandStates.h"

#include "data/CommandCatalogue.h"

namespace zodra::commands {

namespace {

void Hide(std::map<QString, State>& s, std::initializer_list<const char16_t*> names) {
    for (const char16_t* n : names) {
        s[QString::fromUtf16(n)].visible = false;
    }
}

void Disable(std::map<QString, State>& s, std::initializer_list<const char16_t*> names) {
    for (const char16_t* n : names) {
        s[QString::fromUtf16(n)].enabled = false;
    }
}

}  // namespace

std::map<QString, State> ComputeStates(const Situation& situation) {
    std::map<QString, State> s;
    for (const Command& c : Menu()) {
        s[c.name] = State{};
    }
    for (const ToolButton& b : ToolBar()) {
        s[b.name] = State{};
    }
    s[QStringLiteral("DBComboSkladista")] = State{};

    // The recent databases: an entry is shown only when set, the separator above them only
    // when the first is set.
    for (int i = 0; i < 3; ++i) {
        const bool set = i < situation.recent.size() && !situation.recent[i].isEmpty();
        s[QStringLiteral("Baza%1").arg(i + 1)].visible = set;
    }
    s[QStringLiteral("r45")].visible =
        !situation.recent.isEmpty() && !situation.recent.first().isEmpty();

    if (!situation.sessionActive) {
        Hide(s, {u"Sifarnici", u"Knjizenje", u"Izvjestaji", u"Prozori", u"Zatvori",
                 u"Odrzavanje_baze_podataka", u"DBComboSkladista"});
        Disable(s, {u"Sifarnici_Korisnici"});
        // Without a company only opening, help and exit do anything on the tool bar.
        for (const ToolButton& b : ToolBar()) {
            const bool keep = b.name == QLatin1String("SSCommand1") ||
                              b.name == QLatin1String("SSCommand14") ||
                              b.name == QLatin1String("SSCommand15");
            s[b.name].enabled = keep;
        }
        return s;
    }

    Hide(s, {u"Otvori", u"Upis_novog"});
    Disable(s, {u"SSCommand1"});

    if (situation.rights) {
        const users::AppliedRights& r = *situation.rights;
        for (const auto& [name, on] : r.commandEnabled) {
            s[name].enabled = on;
        }
        s[QStringLiteral("Odrzavanje_baze_podataka")].enabled = r.maintenanceEnabled;
        s[QStringLiteral("Sifarnici_Korisnici")].visible = r.usersVisible;
        s[QStringLiteral("Sifarnici_Korisnici")].enabled = r.usersVisible;
    } else {
        // No rights known: nothing beyond the company menu.
        for (const users::Right& right : users::Rights()) {
            for (const QString& name : right.commands) {
                s[name].enabled = false;
            }
        }
        Disable(s, {u"Odrzavanje_baze_podataka"});
        Hide(s, {u"Sifarnici_Korisnici"});
    }

    // Hidden for reasons of their own, whatever the rights say.
    if (!situation.r2) {
        Hide(s, {u"KPI", u"PDI", u"Knjiga_prometa"});
    }
    if (!situation.commissionWarehouse) {
        Hide(s, {u"Knjizenje_odjava", u"Pregledi_odjave", u"Rekapitulacija_odjava",
                 u"Odjava_artikala_po_meduskladisnicama"});
    }
    if (!situation.employeesAndServiceDuration) {
        Hide(s, {u"Sifarnici_Djelatnici", u"Rekapitulacija_vremena_po_djelatnicima"});
    }
    if (!situation.wordDocuments) {
        Hide(s, {u"Word_dokumenti"});
    }
    return s;
}

}  // namespace zodra::commands
