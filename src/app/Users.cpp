#include "app/Users.h"

#include "data/Database.h"
#include "data/Errors.h"
#include "data/PasswordHash.h"
#include "data/Prompter.h"
#include "data/TextSearch.h"

namespace zodra::users {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}
QString Q(const QString& identifier) {
    return QLatin1Char('"') + identifier + QLatin1Char('"');
}

Right R(const char16_t* column, std::initializer_list<const char16_t*> commands) {
    Right r{T(column), {}};
    for (const char16_t* c : commands) {
        r.commands << T(c);
    }
    return r;
}

bool IsRightColumn(const QString& column) {
    for (const Right& r : Rights()) {
        if (r.column == column) {
            return true;
        }
    }
    return SessionRightColumns().contains(column);
}

}  // namespace

const std::vector<Right>& Rights() {
    static const std::vector<Right> rights = {
        R(u"Sifarnici",
          {u"Sifarnici", u"SSCommand3", u"SSCommand4", u"SSCommand5", u"SSCommand16"}),
        R(u"Knjizenje", {u"Knjizenje"}),
        R(u"Primka", {u"Knjizenje_primka", u"SSCommand6", u"Pregledi_primke"}),
        R(u"Racun", {u"Knjizenje_racun", u"SSCommand7", u"Pregledi_racuni"}),
        R(u"POS", {u"Knjizenje_kasa"}),
        R(u"Otpremnica", {u"Knjizenje_otpremnica", u"Pregledi_otpremnice"}),
        R(u"Izmjena cijena",
          {u"Knjizenje_izmjena_cijena", u"SSCommand8", u"Pregledi_izmjene_cijena"}),
        R(u"Meduskladisnica",
          {u"Knjizenje_meduskladisnica", u"SSCommand9", u"Pregledi_meduskladisnice"}),
        R(u"Povratnica dobavljacu",
          {u"Knjizenje_povratnica_dobavljacu", u"Pregledi_povratnice_dobavljacima"}),
        R(u"Radni nalog", {u"Knjizenje_radni_nalog", u"Pregledi_radni_nalozi"}),
        R(u"Radni nalog dorada",
          {u"Knjizenje_radni_nalog_dorada", u"Pregledi_radni_nalozi_dorada"}),
        R(u"Specifikacija", {u"Knjizenje_specifikacija", u"Pregledi_specifikacije"}),
        R(u"Rashod", {u"Knjizenje_rashod", u"Pregledi_rashodi"}),
        R(u"Odjava", {u"Knjizenje_odjava", u"Pregledi_odjave"}),
        R(u"Ponuda", {u"Knjizenje_ponuda", u"Pregledi_ponude"}),
        R(u"Predracun", {u"Knjizenje_predracun", u"Pregledi_predracuni"}),
        R(u"Narudzbenica", {u"Knjizenje_narudzbenica", u"Pregledi_narudzbenice"}),
        R(u"Rezervacija", {u"Knjizenje_rezervacija", u"Pregledi_rezervacije"}),
        R(u"Inventura", {u"Knjizenje_inventura", u"Pregledi_inventure"}),
        R(u"Dopis", {u"Dopis", u"Pregledi_dopisi"}),
        R(u"Prijenos", {u"Prijenos"}),
        R(u"Promjene", {u"Pregledi"}),
        R(u"URA IRA",
          {u"Knjiga_izlaznih_racuna", u"Knjiga_ulaznih_racuna", u"SSCommand11", u"PDV_obrasci"}),
        R(u"Obrt", {u"KPI", u"Knjiga_prometa", u"PDI"}),
        R(u"Knjiga popisa", {u"Knjiga_popisa", u"SSCommand10"}),
        R(u"Rekapitulacije", {u"Rekapitulacije"}),
        R(u"Blagajnicki izvjestaj", {u"Blagajnicki_izvjestaj"}),
        R(u"Kartice artikala", {u"Kartice_artikala"}),
        R(u"Prodaja", {u"Prodaja"}),
        R(u"Dodatni ispisi", {u"Dodatni_ispisi"}),
        R(u"Saldakonti kupaca", {u"PL_IFA"}),
        R(u"Saldakonti dobavljaca", {u"PL_UFA"}),
        R(u"Grafikoni", {u"Grafikoni", u"SSCommand13"}),
        R(u"Cjenici", {u"Cjenici", u"SSCommand12"}),
        R(u"Stanje na skladistu", {u"Stanje_na_skladistu"}),
    };
    return rights;
}

QStringList SessionRightColumns() {
    return {T(u"Vidljive nabavne cijene"), T(u"Dozvoljena promjena cijene"),
            T(u"Dozvoljen Z kase")};
}

QString LoginRefusedMessage() {
    return T(u"Neispravan username ili password.");
}

bool Login(Database& db, Prompter& prompter, const QString& typedName,
           const QString& typedPassword) {
    if (CheckLogin(db, typedName, typedPassword)) {
        return true;
    }
    prompter.Inform(LoginRefusedMessage());
    return false;
}

bool CheckLogin(Database& db, const QString& typedName, const QString& typedPassword) {
    // The key seek is exact; the stored name must also equal the typed one in every character.
    Statement row = db.Prepare(QStringLiteral(
        "SELECT \"Username\", \"Password\" FROM \"KORISNICI\" WHERE \"Username\" = ?"));
    row.Exec({typedName});
    if (!row.Next()) {
        return false;
    }
    if (row.Text(0) != typedName) {
        return false;
    }
    const QString stored = row.Text(1);
    if (stored.isEmpty()) {
        return typedPassword.isEmpty();
    }
    return PasswordHash::Verify(stored, typedPassword);
}

AppliedRights ApplyUserRights(Database& db, const QString& userName) {
    AppliedRights applied;
    const bool admin = userName == QLatin1String("admin");
    applied.maintenanceEnabled = admin;
    applied.usersVisible = admin;
    applied.administrationAllowed = admin;
    QStringList columns;
    for (const Right& r : Rights()) {
        columns << Q(r.column);
    }
    for (const QString& c : SessionRightColumns()) {
        columns << Q(c);
    }
    Statement row = db.Prepare(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
                               QStringLiteral(" FROM \"KORISNICI\" WHERE \"Username\" = ?"));
    row.Exec({userName});
    if (!row.Next()) {
        return applied;
    }
    applied.found = true;
    int i = 0;
    for (const Right& r : Rights()) {
        const bool on = row.Int(i++) != 0;
        for (const QString& command : r.commands) {
            applied.commandEnabled[command] = on;
        }
    }
    applied.session.purchasePricesVisible = row.Int(i++) != 0;
    applied.session.priceChangeAllowed = row.Int(i++) != 0;
    applied.session.registerZReportAllowed = row.Int(i++) != 0;
    return applied;
}

void AddUser(Database& db, const QString& name, const QString& password, bool allRights) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        throw UserError(T(u"Korisničko ime mora biti upisano."));
    }
    const QString key = textsearch::Fold(trimmed);
    if (db.Scalar(QStringLiteral("SELECT 1 FROM \"KORISNICI\" WHERE \"Username_kljuc\" = ?"), {key})
            .isValid()) {
        throw UserError(QStringLiteral("Korisnik ") + trimmed + QStringLiteral(" je već upisan."));
    }
    QStringList columns = {Q(T(u"Username")), Q(T(u"Password")), Q(T(u"Username_kljuc"))};
    QStringList marks = {QStringLiteral("?"), QStringLiteral("?"), QStringLiteral("?")};
    QVariantList values = {trimmed, password.isEmpty() ? QString() : PasswordHash::Hash(password),
                           key};
    for (const Right& r : Rights()) {
        columns << Q(r.column);
        marks << QStringLiteral("?");
        values << allRights;
    }
    for (const QString& c : SessionRightColumns()) {
        columns << Q(c);
        marks << QStringLiteral("?");
        values << allRights;
    }
    db.Exec(QStringLiteral("INSERT INTO \"KORISNICI\" (") + columns.join(QStringLiteral(", ")) +
                QStringLiteral(") VALUES (") + marks.join(QStringLiteral(", ")) +
                QStringLiteral(")"),
            values);
}

void SetPassword(Database& db, const QString& name, const QString& password) {
    const int changed =
        db.Exec(QStringLiteral("UPDATE \"KORISNICI\" SET \"Password\" = ? WHERE \"Username\" = ?"),
                {password.isEmpty() ? QString() : PasswordHash::Hash(password), name});
    if (changed == 0) {
        throw UserError(QStringLiteral("Korisnik ") + name +
                        QStringLiteral(" nije upisan u listu korisnika."));
    }
}

void SetRight(Database& db, const QString& name, const QString& column, bool value) {
    if (!IsRightColumn(column)) {
        throw UserError(QStringLiteral("Nepoznato pravo ") + column);
    }
    db.Exec(QStringLiteral("UPDATE \"KORISNICI\" SET ") + Q(column) +
                QStringLiteral(" = ? WHERE \"Username\" = ?"),
            {value, name});
}

void DeleteUser(Database& db, const QString& name) {
    if (name == QLatin1String("admin")) {
        throw UserError(T(u"Korisnika admin ne možete izbrisati"));
    }
    db.Exec(QStringLiteral("DELETE FROM \"KORISNICI\" WHERE \"Username\" = ?"), {name});
}

std::vector<UserRights> AllRights(Database& db) {
    QStringList columns;
    for (const Right& r : Rights()) {
        columns << r.column;
    }
    columns << SessionRightColumns();
    QStringList quoted;
    for (const QString& c : columns) {
        quoted << Q(c);
    }
    Statement all =
        db.Prepare(QStringLiteral("SELECT \"Username\", COALESCE(\"Password\", '') <> '', ") +
                   quoted.join(QStringLiteral(", ")) +
                   QStringLiteral(" FROM \"KORISNICI\" ORDER BY \"Username\" COLLATE \"HR\""));
    all.Exec();
    std::vector<UserRights> list;
    while (all.Next()) {
        UserRights u;
        u.name = all.Text(0);
        u.hasPassword = all.Int(1) != 0;
        for (int i = 0; i < columns.size(); ++i) {
            u.rights[columns[i]] = all.Int(i + 2) != 0;
        }
        list.push_back(std::move(u));
    }
    return list;
}

QStringList UserNames(Database& db) {
    QStringList names;
    Statement all = db.Prepare(QStringLiteral(
        "SELECT \"Username\" FROM \"KORISNICI\" ORDER BY \"Username\" COLLATE \"HR\""));
    all.Exec();
    while (all.Next()) {
        names << all.Text(0);
    }
    return names;
}

}  // namespace zodra::users
