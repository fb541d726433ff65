#include "registers/Catalogue.h"

#include <QRegularExpression>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/Statement.h"
#include "registers/Articles.h"

namespace zodra::registers::catalogue {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

using limits::NumberKind;

Field Text(const char16_t* column, const char16_t* caption, const char16_t* start = u"") {
    return Field{T(column), T(caption), FieldKind::Text, T(start), {}, false, {}, false, {}, {}};
}
Field MultiLineText(const char16_t* column, const char16_t* caption) {
    return Field{T(column), T(caption), FieldKind::Text, QString(), {}, false, {}, true, {}, {}};
}
Field Number(const char16_t* column, const char16_t* caption, NumberKind kind,
             const char16_t* start = u"0") {
    return Field{T(column), T(caption), FieldKind::Number, T(start), {}, false, {}, false,
                 kind,      {}};
}
Field Integer(const char16_t* column, const char16_t* caption, const char16_t* start) {
    return Field{T(column), T(caption), FieldKind::Integer, T(start), {}, false, {}, false, {}, {}};
}
Field Flag(const char16_t* column, const char16_t* caption) {
    return Field{T(column), T(caption), FieldKind::Flag, QString(), {}, false, {}, false, {}, {}};
}
// A lookup box; `shortcut` captions the button that adds a row to the referenced register.
Field Reference(const char16_t* column, const char16_t* caption, const char16_t* table,
                const char16_t* shortcut, const char16_t* start = u"") {
    return Field{T(column), T(caption), FieldKind::Reference, T(start), T(table), false, {},
                 false,     {},         T(shortcut)};
}
Field OptionalReference(const char16_t* column, const char16_t* caption, const char16_t* table,
                        const char16_t* shortcut, QVariant none = QVariant()) {
    return Field{T(column), T(caption), FieldKind::Reference, QString(), T(table), true, none,
                 false,     {},         T(shortcut)};
}

Check Length(const char16_t* column, int maxLength, bool required, const char16_t* message) {
    return Check{Check::Kind::Length, T(column), maxLength, required, T(message)};
}
Check IsNumber(const char16_t* column, const char16_t* message) {
    return Check{Check::Kind::Number, T(column), 0, false, T(message)};
}
Check IsInteger(const char16_t* column, const char16_t* message) {
    return Check{Check::Kind::Integer, T(column), 0, false, T(message)};
}
Check Exists(const char16_t* column, const char16_t* message) {
    return Check{Check::Kind::Reference, T(column), 0, false, T(message)};
}

DuplicateCheck Duplicate(const char16_t* column, const char16_t* before, const char16_t* after,
                         bool folded = true) {
    return DuplicateCheck{T(column), T(before), T(after), folded};
}

ProtectedRow ProtectedCode(int from, int to, std::function<QString(const QString&)> message) {
    return ProtectedRow{from, to, QString(), std::move(message)};
}
ProtectedRow ProtectedName(const char16_t* name, const char16_t* message) {
    const QString text = T(message);
    return ProtectedRow{0, -1, T(name), [text](const QString&) { return text; }};
}
std::function<QString(const QString&)> Fixed(const char16_t* message) {
    const QString text = T(message);
    return [text](const QString&) { return text; };
}

DeleteGuard Guard(QString sql, const char16_t* message) {
    return DeleteGuard{std::move(sql), T(message)};
}

// A short name register: one name column, its length check and duplicate check.
RegisterDescription NameOnly(const char16_t* id, const char16_t* table, const char16_t* command,
                             const char16_t* list, const char16_t* entry,
                             const char16_t* duplicateBefore, const char16_t* duplicateAfter,
                             const char16_t* question) {
    RegisterDescription d;
    d.id = T(id);
    d.table = T(table);
    d.command = T(command);
    d.listCaption = T(list);
    d.entryCaption = T(entry);
    d.fields = {Text(u"NAZIV", u"Naziv")};
    d.checks = {Length(u"NAZIV", 255, true, u"Naziv je duži od 255 znakova ili nije upisan")};
    d.duplicates = {Duplicate(u"NAZIV", duplicateBefore, duplicateAfter)};
    d.deleteQuestion = T(question);
    return d;
}

const char16_t* const kArticleTaxGroupColumn = u"GRUPA_P";

RegisterDescription MakeArticles() {
    RegisterDescription d;
    d.id = QStringLiteral("artikli");
    d.table = QStringLiteral("ARTIKLI");
    d.command = QStringLiteral("Sifarnici_artikli");
    d.listCaption = QStringLiteral("Artikli");
    d.entryCaption = QStringLiteral("Upis novog artikla");
    d.fields = {
        Text(u"NAZIV", u"Naziv"),
        Text(u"OPIS", u"Šifra"),
        Text(u"JED_M", u"Jedinica mjere", u"kom"),
        Reference(u"GRUPA_A", u"Grupa artikla", u"GRUPE_A", u"Nova grupa"),
        Reference(u"GRUPA_P", u"Grupa poreza", u"GRUPE_POREZA", u"Nova grupa poreza"),
        Reference(u"VALUTA", u"Valuta", u"VALUTE", u"Nova valuta", u"1"),
        Number(u"CIJENA_U_VALUTI", u"Cijena u valuti", NumberKind::Price),
        Number(u"MIN_ZAL", u"Minimalna zaliha", NumberKind::Quantity),
        Number(u"PAKOVANJE", u"Pakovanje", NumberKind::Quantity, u"1"),
        Number(u"CARINA%", u"Carina %", NumberKind::Percent),
        Text(u"BARKOD", u"Barkod"),
        Text(u"NAPOMENA", u"Napomena"),
        Text(u"KPD", u"KPD šifra"),
    };
    d.checks = {
        Length(u"NAZIV", 255, true, u"Naziv je duži od 255 znakova ili nije upisan"),
        Length(u"OPIS", 20, false, u"Šifra je duža od 20 znakova"),
        Length(u"NAPOMENA", 50, false, u"Napomena je duža od 50 znakova"),
        IsNumber(u"CARINA%", u"Carina % mora biti upisana kao broj (možete upisati i nulu)"),
        Length(u"BARKOD", 20, false, u"Barkod je duži od 20 znakova"),
        Length(u"JED_M", 3, true, u"Jedinica mjere je duža od 3 znaka ili nije upisana"),
        IsNumber(u"CIJENA_U_VALUTI",
                 u"Cijena u valuti mora biti upisana kao broj (možete upisati i nulu)"),
        IsNumber(u"MIN_ZAL",
                 u"Minimalna zaliha mora biti upisana kao broj (možete upisati i "
                 u"nulu)"),
        IsNumber(u"PAKOVANJE", u"Pakovanje mora biti upisano kao broj"),
        Exists(u"VALUTA", u"Valuta nije ispravno upisana"),
        Exists(u"GRUPA_A", u"Grupa artikla nije ispravno upisana"),
        Exists(u"GRUPA_P", u"Grupa poreza nije ispravno upisana"),
    };
    d.duplicates = {
        Duplicate(u"NAZIV", u"Artikal sa nazivom '", u"' je već upisan."),
        Duplicate(u"OPIS", u"Artikal sa šifrom '", u"' je već upisan."),
        Duplicate(u"BARKOD", u"Artikal sa barkodom '", u"' je već upisan.", false),
    };
    d.beforeSave = [](Database& db, int code, Values& stored, const OperationContext&) {
        if (code != 0) {
            articles::CheckTaxGroupChange(db, code, stored.value(T(kArticleTaxGroupColumn)));
        }
        // The product classification of the e-invoice: six digits in pairs, or empty for the
        // company's default code.
        static const QRegularExpression kpd(QStringLiteral("^\\d\\d\\.\\d\\d\\.\\d\\d$"));
        const QString kpdCode = stored.value(QStringLiteral("KPD")).toString().trimmed();
        if (!kpdCode.isEmpty() && !kpd.match(kpdCode).hasMatch()) {
            throw UserError(
                QStringLiteral("KPD šifra mora biti upisana u obliku 00.00.00 (npr. "
                               "10.71.11)."));
        }
        if (stored.contains(QStringLiteral("KPD"))) {
            stored.insert(QStringLiteral("KPD"),
                          kpdCode.isEmpty() ? QVariant() : QVariant(kpdCode));
        }
        const QString font =
            articles::BarcodeFontText(stored.value(QStringLiteral("BARKOD")).toString());
        stored.insert(QStringLiteral("BarCodeString"),
                      font.isEmpty() ? QVariant() : QVariant(font));
    };
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati artikal ");
    d.deleteGuards = {
        Guard(QStringLiteral("SELECT 1 FROM \"SASTAVNICE\" WHERE \"SIFRA_ARTIKLA\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer za ovaj artikal postoji sastavnica."),
        Guard(QStringLiteral("SELECT 1 FROM \"STAVKE_RACUNA\" WHERE \"SIFRA\" = ? AND "
                             "\"TIP_STAVKE\" = 'ART' LIMIT 1"),
              u"Nije dozvoljeno brisanje jer za ovaj artikal postoje računi."),
        Guard(QStringLiteral("SELECT 1 FROM \"NABAVE\" WHERE \"SIFRA_ARTIKLA\" = ? AND "
                             "ABS(\"KOLICINA\") >= 0.00000000005 LIMIT 1"),
              u"Nije dozvoljeno brisanje jer ovaj artikal ima zalihu na skladištu."),
        Guard(QStringLiteral(
                  "SELECT 1 FROM \"STAVKE_SASTAVNICA\" WHERE \"SIFRA_DIJELA\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer je ovaj artikal dio sastavnice."),
    };
    d.cascadeDeletes = {
        QStringLiteral("DELETE FROM \"ARTIKLI_VOZILA\" WHERE \"SIFRA\" = ?"),
        QStringLiteral("DELETE FROM \"ARTIKLI_AMBALAZA\" WHERE \"Artikal\" = ?"),
        QStringLiteral("DELETE FROM \"ARTIKLI_KONFIGURACIJA_DODATNI_PODACI\" WHERE \"Sifra\" = ?"),
        QStringLiteral("DELETE FROM \"DEKLARACIJE\" WHERE \"SIFRA\" = ?"),
        QStringLiteral("DELETE FROM \"CJENICI_STAVKE_CIJENA\" WHERE \"SIFRA_ARTIKLA\" = ?"),
    };
    return d;
}

RegisterDescription MakePartners() {
    RegisterDescription d;
    d.id = QStringLiteral("partneri");
    d.table = QStringLiteral("PARTNERI");
    d.command = QStringLiteral("Sifarnici_Partneri");
    d.listCaption = QStringLiteral("Partneri");
    d.entryCaption = QStringLiteral("Upis novog partnera");
    d.fields = {
        Text(u"NAZIV", u"Naziv"),
        Text(u"ADRESA", u"Adresa"),
        Text(u"MJESTO", u"Mjesto"),
        Text(u"TELEFON", u"Telefon"),
        Text(u"OIB", u"OIB"),
        Text(u"MB/JMBG", u"MB/JMBG"),
        Text(u"ZIRO_RACUN", u"Žiro račun"),
        MultiLineText(u"OSTALO", u"Ostalo"),
        Number(u"RABAT", u"Rabat", NumberKind::Discount),
        Integer(u"ODGODA", u"Odgoda plaćanja", u"15"),
        Flag(u"Kupac", u"Kupac"),
        Flag(u"Dobavljac", u"Dobavljač"),
        OptionalReference(u"CJENIK", u"Cjenik", u"CJENICI", u"Novi cjenik", 0),
        OptionalReference(u"NACIN_ISPORUKE", u"Način isporuke", u"NACINI_ISPORUKE",
                          u"Novi način isporuke"),
    };
    d.checks = {
        Length(u"NAZIV", 80, true, u"Naziv je duži od 80 znakova ili nije upisan"),
        Length(u"ADRESA", 80, true, u"Adresa je duža od 80 znakova ili nije upisana"),
        Length(u"MJESTO", 80, true, u"Mjesto je duže od 80 znakova ili nije upisano"),
        Length(u"TELEFON", 80, false, u"Telefon je duži od 80 znakova"),
        Length(u"OIB", 40, false, u"OIB je duži od 40 znakova"),
        Length(u"MB/JMBG", 40, false, u"MB/JMBG je duži od 40 znakova"),
        Length(u"ZIRO_RACUN", 80, false, u"Žiro račun je duži od 80 znakova"),
        Length(u"OSTALO", 255, false, u"Ostalo je duže od 255 znakova"),
        IsNumber(u"RABAT", u"Rabat nije upisan kao broj"),
        IsInteger(u"ODGODA", u"Odgoda plaćanja nije upisana kao broj"),
        Exists(u"CJENIK", u"Cjenik nije ispravno upisan"),
        Exists(u"NACIN_ISPORUKE", u"Način isporuke nije ispravno upisan"),
    };
    d.duplicates = {
        Duplicate(u"NAZIV", u"Partner sa nazivom '", u"' je već upisan."),
        Duplicate(u"OIB", u"Partner sa OIB-om '", u"' je već upisan.", false),
    };
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati partnera ");
    d.protectedRows = {
        ProtectedName(u"Prijenos iz prošle godine",
                      u"Prijenos iz prošle godine ne možete izbrisati"),
        ProtectedName(u"Kupac u maloprodaji", u"Kupca u maloprodaji ne možete izbrisati"),
    };
    d.deleteGuards = {
        Guard(AnyReference({{u"RACUNI", u"SIFRA PARTNERA"},
                            {u"PONUDE", u"SIFRA PARTNERA"},
                            {u"PREDRACUNI", u"SIFRA PARTNERA"},
                            {u"OTPREMNICE", u"SIFRA_PARTNERA"},
                            {u"PRIMKE", u"SIFRA DOBAVLJACA"},
                            {u"POVRATNICE_DOBAVLJACIMA", u"SIFRA_DOBAVLJACA"},
                            {u"NARUDZBENICE", u"SIFRA_DOBAVLJACA"},
                            {u"REZERVACIJE", u"SIFRA_PARTNERA"},
                            {u"RADNI_NALOZI_DORADA", u"SIFRA_PARTNERA"},
                            {u"SITUACIJE", u"SIFRA_PARTNERA"},
                            {u"DOPISI", u"SIFRA_PARTNERA"},
                            {u"WordDokumenti", u"SIFRA_PARTNERA"},
                            {u"UPLATE", u"Partner"},
                            {u"UPLATE_URA", u"Partner"},
                            {u"PARTNERI POCETNO STANJE", u"Partner"},
                            {u"DOBAVLJACI POCETNO STANJE", u"Partner"},
                            {u"KNJIGE_ULAZNIH_RACUNA", u"Šifra dobavljača"},
                            {u"KONTAKTI", u"PARTNER"}}),
              u"Nije dozvoljeno brisanje jer za ovog partnera postoje dokumenti."),
    };
    d.cascadeDeletes = {QStringLiteral("DELETE FROM \"IZABRANI_PARTNERI\" WHERE \"SIFRA\" = ?")};
    return d;
}

RegisterDescription MakeServices() {
    RegisterDescription d;
    d.id = QStringLiteral("usluge");
    d.table = QStringLiteral("USLUGE");
    d.command = QStringLiteral("Sifarnici_usluge");
    d.listCaption = QStringLiteral("Usluge");
    d.entryCaption = QStringLiteral("Upis nove usluge");
    d.fields = {
        Text(u"NAZIV", u"Naziv"),
        Text(u"JED_M", u"Jedinica mjere", u"kom"),
        Number(u"CIJENA", u"Cijena", NumberKind::Price),
        Reference(u"GRUPA_P", u"Grupa poreza", u"GRUPE_POREZA", u"Nova grupa poreza"),
        Number(u"TRAJANJE_MINUTA", u"Trajanje (minuta)", NumberKind::Quantity),
    };
    d.checks = {
        Exists(u"GRUPA_P", u"Grupa poreza nije ispravno upisana"),
        Length(u"NAZIV", 255, true, u"Naziv je duži od 255 znakova ili nije upisan"),
        Length(u"JED_M", 3, true, u"Jedinica mjere je duža od 3 znaka ili nije upisana"),
        IsNumber(u"CIJENA", u"Cijena nije ispravno upisana"),
        IsNumber(u"TRAJANJE_MINUTA", u"Trajanje nije ispravno upisana"),
    };
    d.duplicates = {Duplicate(u"NAZIV", u"Usluga sa nazivom '", u"' je već upisana.")};
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati uslugu ");
    // Only service lines count: an article with the same code on an invoice is another item.
    d.deleteGuards = {
        Guard(QStringLiteral("SELECT 1 FROM \"STAVKE_RACUNA\" WHERE \"SIFRA\" = ? AND "
                             "\"TIP_STAVKE\" = 'USL' LIMIT 1"),
              u"Ova usluga je upisana na nekim računima i nije dozvoljeno njeno brisanje."),
    };
    d.cascadeDeletes = {
        QStringLiteral("DELETE FROM \"USLUGE_SPECIFIKACIJA_ARTIKALA\" WHERE \"SIFRA_USLUGE\" = ?")};
    return d;
}

RegisterDescription MakePackaging() {
    RegisterDescription d;
    d.id = QStringLiteral("ambalaza");
    d.table = QStringLiteral("AMBALAZA");
    d.command = QStringLiteral("Sifarnici_ambalaza");
    d.listCaption = QStringLiteral("Ambalaža");
    d.entryCaption = QStringLiteral("Upis nove ambalaže");
    d.fields = {
        Text(u"NAZIV", u"Naziv"),
        Text(u"JED_M", u"Jedinica mjere", u"kom"),
        Number(u"CIJENA", u"Cijena", NumberKind::Price),
        Text(u"BARKOD", u"Barkod"),
    };
    d.checks = {
        Length(u"NAZIV", 255, true, u"Naziv je duži od 255 znakova ili nije upisan"),
        Length(u"JED_M", 3, true, u"Jedinica mjere je duža od 3 znaka ili nije upisana"),
        IsNumber(u"CIJENA", u"Cijena nije ispravno upisana"),
        Length(u"BARKOD", 20, false, u"Barkod je duži od 20 znakova"),
    };
    d.duplicates = {
        Duplicate(u"NAZIV", u"Ambalaža sa nazivom '", u"' je već upisana."),
        Duplicate(u"BARKOD", u"Ambalaža sa barkodom '", u"' je već upisana.", false),
    };
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati ambalažu ");
    d.deleteGuards = {
        Guard(QStringLiteral("SELECT 1 FROM \"ARTIKLI_AMBALAZA\" WHERE \"AMBALAZA\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer je ova ambalaža vezana uz artikle."),
        Guard(QStringLiteral(
                  "SELECT 1 WHERE EXISTS (SELECT 1 FROM \"STAVKE_RACUNA\" WHERE \"SIFRA\" = ? AND "
                  "\"TIP_STAVKE\" IN ('AMB', 'AMP')) OR EXISTS (SELECT 1 FROM \"STAVKE_PRIMKI\" "
                  "WHERE \"SIFRA\" = ? AND \"TIP_STAVKE\" IN ('AMB', 'AMP'))"),
              u"Nije dozvoljeno brisanje jer je ova ambalaža upisana na dokumentima."),
    };
    return d;
}

RegisterDescription MakeArticleGroups() {
    RegisterDescription d;
    d.id = QStringLiteral("grupe-artikala");
    d.table = QStringLiteral("GRUPE_A");
    d.command = QStringLiteral("Sifarnici_grupe_artikala");
    d.listCaption = QStringLiteral("Grupe artikla");
    d.entryCaption = QStringLiteral("Upis nove grupe artikla");
    d.fields = {
        Text(u"NAZIV", u"Naziv"),
        Number(u"VELEPRODAJNA_MARZA", u"Veleprodajna marža %", NumberKind::Percent),
        Number(u"MALOPRODAJNA_MARZA", u"Maloprodajna marža %", NumberKind::Percent),
    };
    d.checks = {
        Length(u"NAZIV", 255, true, u"Naziv je duži od 255 znakova ili nije upisan"),
        IsNumber(u"VELEPRODAJNA_MARZA",
                 u"Veleprodajna marža mora biti upisana kao broj (možete upisati i nulu)"),
        IsNumber(u"MALOPRODAJNA_MARZA",
                 u"Maloprodajna marža mora biti upisana kao broj (možete upisati i nulu)"),
    };
    d.duplicates = {Duplicate(u"NAZIV", u"Grupa artikla sa nazivom '", u"' je već upisana.")};
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati grupu artikla ");
    d.deleteGuards = {
        Guard(QStringLiteral("SELECT 1 FROM \"ARTIKLI\" WHERE \"GRUPA_A\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer u ovoj grupi artikala postoje artikli."),
        Guard(QStringLiteral("SELECT 1 FROM \"CJENICI_STAVKE_RABATA\" WHERE "
                             "\"SIFRA_GRUPE_ARTIKALA\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer je ova grupa artikala upisana u cjenicima."),
    };
    return d;
}

// A tax group left without its kind of supply gets the taxable kind of its rate, or the other
// exemptions when it has no tax. A taxable kind must be the one of the group's rate: a group at
// 25 % reported on the 5 % line would put its tax on the wrong line of the return.
void SetTaxGroupKind(Database& db, Values& stored) {
    const QVariant chosen = stored.value(QStringLiteral("PDV_VRSTA"));
    const double rate = stored.value(QStringLiteral("STOPA")).toDouble();
    if (chosen.isNull() || !chosen.isValid()) {
        const QVariant kind =
            rate > 0 ? db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PDV_VRSTE\" WHERE "
                                                "\"VRSTA\" = 1 AND \"STOPA\" = ?"),
                                 {rate})
                     : db.Scalar(QStringLiteral("SELECT MIN(\"SIFRA\") FROM \"PDV_VRSTE\" "
                                                "WHERE \"VRSTA\" = 2"));
        stored.insert(QStringLiteral("PDV_VRSTA"), kind.isNull() ? QVariant() : kind);
        return;
    }
    Statement kind = db.Prepare(QStringLiteral(
        "SELECT \"NAZIV\", \"VRSTA\", \"STOPA\" FROM \"PDV_VRSTE\" WHERE \"SIFRA\" = ?"));
    kind.Exec({chosen});
    if (kind.Next() && kind.Int(1) == 1 && kind.Double(2) != rate) {
        throw UserError(QStringLiteral("Vrsta isporuke '") + kind.Text(0) +
                        QStringLiteral("' nije za stopu ") + QString::number(rate) +
                        QStringLiteral(" %."));
    }
}

RegisterDescription MakeTaxGroups() {
    RegisterDescription d;
    d.id = QStringLiteral("grupe-poreza");
    d.table = QStringLiteral("GRUPE_POREZA");
    d.command = QStringLiteral("Sifarnici_grupe_poreza");
    d.listCaption = QStringLiteral("Grupe poreza");
    d.entryCaption = QStringLiteral("Upis nove grupe poreza");
    d.fields = {Text(u"NAZIV", u"Naziv"), Number(u"STOPA", u"Stopa %", NumberKind::TaxRate),
                OptionalReference(u"PDV_VRSTA", u"Vrsta isporuke (PDV)", u"PDV_VRSTE",
                                  u"Nova vrsta isporuke")};
    d.checks = {
        Length(u"NAZIV", 255, true, u"Naziv je duži od 255 znakova ili nije upisan"),
        IsNumber(u"STOPA", u"Stopa mora biti upisana kao broj (možete upisati i nulu)"),
        Exists(u"PDV_VRSTA", u"Vrsta isporuke nije ispravno izabrana"),
    };
    d.beforeSave = [](Database& db, int, Values& stored, const OperationContext&) {
        SetTaxGroupKind(db, stored);
    };
    d.duplicates = {Duplicate(u"NAZIV", u"Grupa poreza sa nazivom '", u"' je već upisana.")};
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati grupu poreza ");
    d.deleteGuards = {
        Guard(QStringLiteral("SELECT 1 FROM \"ARTIKLI\" WHERE \"GRUPA_P\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer postoje artikli s ovom grupom poreza."),
        Guard(QStringLiteral("SELECT 1 FROM \"USLUGE\" WHERE \"GRUPA_P\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer postoje usluge s ovom grupom poreza."),
    };
    return d;
}

RegisterDescription MakeSalesTerms() {
    RegisterDescription d;
    d.id = QStringLiteral("uvjeti-prodaje");
    d.table = QStringLiteral("UVJETI_PRODAJE");
    d.command = QStringLiteral("Sifarnici_uvjeti_prodaje");
    d.listCaption = QStringLiteral("Uvjeti prodaje");
    d.entryCaption = QStringLiteral("Upis novog uvjeta prodaje");
    d.fields = {
        Text(u"NAZIV", u"Naziv"),
        Integer(u"TIP_OPOREZIVANJA", u"Tip oporezivanja", u"10"),
        Flag(u"SAMOSTALNA_NUMERACIJA", u"Samostalna numeracija"),
        Integer(u"POCETNI_BR_RACUNA", u"Početni broj računa", u"1"),
    };
    d.checks = {
        Length(u"NAZIV", 60, true, u"Naziv je duži od 60 znakova ili nije upisan"),
        IsInteger(u"TIP_OPOREZIVANJA", u"Tip oporezivanja nije ispravno upisan"),
        IsInteger(u"POCETNI_BR_RACUNA", u"Početni broj računa nije ispravno upisan"),
    };
    d.duplicates = {Duplicate(u"NAZIV", u"Uvjet prodaje sa nazivom '", u"' je već upisan.")};
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati uvjet prodaje ");
    d.protectedRows = {
        ProtectedName(u"Maloprodaja", u"Uvjet prodaje Maloprodaja ne možete izbrisati"),
        ProtectedCode(1, 7,
                      [](const QString& name) {
                          return QStringLiteral("Uvjet prodaje ") + name +
                                 QStringLiteral(" ne možete izbrisati");
                      }),
    };
    d.deleteGuards = {
        Guard(AnyReference({{u"RACUNI", u"UVJET PRODAJE"},
                            {u"PONUDE", u"UVJET PRODAJE"},
                            {u"PREDRACUNI", u"UVJET PRODAJE"},
                            {u"OTPREMNICE", u"UVJET PRODAJE"}}),
              u"Nije dozvoljeno brisanje jer postoje dokumenti s ovim uvjetom prodaje."),
    };
    return d;
}

RegisterDescription MakeWarehouses() {
    RegisterDescription d;
    d.id = QStringLiteral("skladista");
    d.table = QStringLiteral("SKLADISTA");
    d.command = QStringLiteral("Skladista");
    d.listCaption = QStringLiteral("Skladišta");
    d.entryCaption = QStringLiteral("Upis novog skladišta");
    d.fields = {
        Text(u"NAZIV", u"Naziv"),
        Text(u"ADRESA", u"Adresa"),
        Text(u"TELEFON", u"Telefon"),
        Flag(u"MALOPRODAJA", u"Maloprodaja"),
        Flag(u"DOZVOLJENI_SVI_RACUNI", u"Dozvoljeni svi računi"),
        Flag(u"KOMISIJSKO_SKLADISTE", u"Komisijsko skladište"),
        Flag(u"CijeneValuta", u"Cijene u valuti"),
        OptionalReference(u"SKLADISTE_ZALIHA", u"Skladište zaliha", u"SKLADISTA",
                          u"Novo skladište"),
        OptionalReference(u"SKLADISTE_AUTOM_RN", u"Skladište automatskih radnih naloga",
                          u"SKLADISTA", u"Novo skladište"),
    };
    d.checks = {
        Length(u"NAZIV", 25, true, u"Naziv je duži od 25 znakova ili nije upisan"),
        Length(u"ADRESA", 25, true, u"Adresa je duža od 25 znakova ili nije upisana"),
        Length(u"TELEFON", 25, true, u"Telefon je duži od 25 znakova ili nije upisan"),
        Exists(u"SKLADISTE_ZALIHA", u"Skladište zaliha nije ispravno upisano"),
        Exists(u"SKLADISTE_AUTOM_RN", u"Skladište automatskih radnih naloga nije ispravno upisano"),
    };
    d.duplicates = {Duplicate(u"NAZIV", u"Skladište sa nazivom '", u"' je već upisano.")};
    // A new warehouse sells from its own stock unless another warehouse was chosen.
    d.afterAdd = [](Database& db, int code, Values& stored) {
        if (stored.value(QStringLiteral("SKLADISTE_ZALIHA")).isNull()) {
            db.Exec(QStringLiteral(
                        "UPDATE \"SKLADISTA\" SET \"SKLADISTE_ZALIHA\" = ? WHERE \"SIFRA\" = ?"),
                    {code, code});
            stored.insert(QStringLiteral("SKLADISTE_ZALIHA"), code);
        }
    };
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati skladište ");
    d.deleteRefusal = [](Database&, int code,
                         const OperationContext& context) -> std::optional<QString> {
        if (code == context.activeWarehouse) {
            return QStringLiteral("Nije dozvoljeno brisanje jer je ovo skladište aktivno.");
        }
        return std::nullopt;
    };
    d.deleteGuards = {
        Guard(AnyReference({{u"NABAVE", u"SKLADISTE"},
                            {u"TRGOVACKA_KNJIGA_VELEPRODAJE", u"SKLADISTE"},
                            {u"TRGOVACKA_KNJIGA_MALOPRODAJE", u"SKLADISTE"},
                            {u"PRIMKE", u"SKLADISTE"},
                            {u"RACUNI", u"SKLADISTE"},
                            {u"PONUDE", u"SKLADISTE"},
                            {u"PREDRACUNI", u"SKLADISTE"},
                            {u"OTPREMNICE", u"SKLADISTE"},
                            {u"OTPREMNICE", u"SKLADISTE_RACUNA"},
                            {u"IZMJENE_CIJENA", u"SKLADISTE"},
                            {u"MEDUSKLADISNICE", u"SKLADISTE"},
                            {u"MEDUSKLADISNICE", u"ODREDISNO_SKLADISTE"},
                            {u"MALOPRODAJNE_MEDUSKLADISNICE", u"SKLADISTE"},
                            {u"MALOPRODAJNE_MEDUSKLADISNICE", u"ODREDISNO_SKLADISTE"},
                            {u"INVENTURE", u"SKLADISTE"},
                            {u"RASHODI", u"SKLADISTE"},
                            {u"ODJAVE", u"SKLADISTE"},
                            {u"IZDATNICE", u"SKLADISTE"},
                            {u"POVRATNICE", u"SKLADISTE"},
                            {u"POVRATNICE_DOBAVLJACIMA", u"SKLADISTE"},
                            {u"SPECIFIKACIJE", u"SKLADISTE"},
                            {u"RADNI_NALOZI", u"SKLADISTE"},
                            {u"RADNI_NALOZI", u"ODREDISNO_SKLADISTE"},
                            {u"RADNI_NALOZI_DORADA", u"SKLADISTE"},
                            {u"RADNI_NALOZI_DORADA", u"ODREDISNO_SKLADISTE"},
                            {u"NARUDZBENICE", u"SKLADISTE"},
                            {u"REZERVACIJE", u"SKLADISTE"},
                            {u"ZAPISNIK_POREZ", u"SKLADISTE"},
                            {u"SITUACIJE", u"SKLADISTE"},
                            {u"DOPISI", u"SKLADISTE"},
                            {u"WordDokumenti", u"SKLADISTE"},
                            {u"BLAGAJNA_UPLATNICE", u"SKLADISTE"},
                            {u"BLAGAJNA_ISPLATNICE", u"SKLADISTE"},
                            {u"UPLATE", u"Skladiste"},
                            {u"UPLATE_URA", u"Skladiste"},
                            {u"NAPLATA", u"Skladište"},
                            {u"PARTNERI POCETNO STANJE", u"Skladiste"},
                            {u"DOBAVLJACI POCETNO STANJE", u"Skladiste"},
                            {u"OtvoreniDokumenti", u"Skladiste"}}),
              u"Nije dozvoljeno brisanje jer za ovo skladište postoje dokumenti."),
        Guard(QStringLiteral("SELECT 1 FROM \"SKLADISTA\" WHERE (\"SKLADISTE_ZALIHA\" = ? OR "
                             "\"SKLADISTE_AUTOM_RN\" = ?) AND \"SIFRA\" <> ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer se drugo skladište poziva na ovo skladište."),
    };
    return d;
}

RegisterDescription MakeOutputInvoiceBooks() {
    RegisterDescription d =
        NameOnly(u"knjige-ira", u"KNJIGE_IRA", u"Sifarnici_knjige_ira", u"Knjige IRA",
                 u"Upis nove knjige IRA", u"Knjiga IRA sa nazivom '", u"' je već upisana.",
                 u"Sigurno želite izbrisati knjigu IRA ");
    d.fields.push_back(Text(u"TekstIspis", u"Tekst na računu"));
    d.fields.push_back(Flag(u"SKIDA", u"Računi skidaju artikle sa skladišta"));
    d.protectedRows = {ProtectedCode(1, 1, Fixed(u"Ovu knjigu IRA ne možete izbrisati"))};
    d.deleteGuards = {
        Guard(AnyReference({{u"RACUNI", u"IRA"},
                            {u"PONUDE", u"IRA"},
                            {u"PREDRACUNI", u"IRA"},
                            {u"IZMJENE_CIJENA", u"IRA"},
                            {u"SPECIFIKACIJE", u"IRA"},
                            {u"NAPLATA", u"IRA"}}),
              u"Nije dozvoljeno brisanje jer u ovoj knjizi IRA postoje računi."),
    };
    return d;
}

RegisterDescription MakeInputInvoiceBooks() {
    RegisterDescription d =
        NameOnly(u"knjige-ura", u"KNJIGE_URA", u"Sifarnici_knjige_ura", u"Knjige URA",
                 u"Upis nove knjige URA", u"Knjiga URA sa nazivom '", u"' je već upisana.",
                 u"Sigurno želite izbrisati knjigu URA ");
    d.protectedRows = {ProtectedCode(1, 1, Fixed(u"Ovu knjigu URA ne možete izbrisati"))};
    d.deleteGuards = {
        Guard(AnyReference({{u"KNJIGE_ULAZNIH_RACUNA", u"URA"}, {u"PLACANJA", u"URA"}}),
              u"Nije dozvoljeno brisanje jer u ovoj knjizi URA postoje računi."),
    };
    return d;
}

RegisterDescription MakeCurrencies() {
    RegisterDescription d =
        NameOnly(u"valute", u"VALUTE", u"Sifarnici_valute", u"Valute", u"Upis nove valute",
                 u"Valuta sa nazivom '", u"' je već upisana.", u"Sigurno želite izbrisati valutu ");
    d.protectedRows = {
        ProtectedCode(1, 1, Fixed(u"Nije dozvoljeno brisanje jer je ovo domaća valuta.")),
    };
    d.deleteGuards = {
        Guard(QStringLiteral("SELECT 1 FROM \"ARTIKLI\" WHERE \"VALUTA\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer postoje artikli s cijenom u ovoj valuti."),
        Guard(
            QStringLiteral("SELECT 1 FROM \"CJENICI_STAVKE_CIJENA\" WHERE \"VALUTA\" = ? LIMIT 1"),
            u"Nije dozvoljeno brisanje jer je ova valuta upisana u cjenicima."),
        Guard(QStringLiteral("SELECT 1 FROM \"PRIMKE\" WHERE \"VALUTA\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer postoje primke u ovoj valuti."),
    };
    d.cascadeDeletes = {QStringLiteral("DELETE FROM \"VALUTE_TECAJ\" WHERE \"SIFRA\" = ?")};
    return d;
}

RegisterDescription MakeCardTypes() {
    RegisterDescription d =
        NameOnly(u"tipovi-kartica", u"TIPOVI_KARTICA", u"Sifarnici_Tipovi_kartica",
                 u"Tipovi kreditnih kartica", u"Upis novog tipa kreditne kartice",
                 u"Tip kreditne kartice sa nazivom '", u"' je već upisan.",
                 u"Sigurno želite izbrisati tip kreditne kartice ");
    d.deleteGuards = {
        Guard(AnyReference({{u"UPLATE", u"Tip kartice"},
                            {u"UPLATE_URA", u"Tip kartice"},
                            {u"NAPLATA", u"Tip kartice"}}),
              u"Nije dozvoljeno brisanje jer postoje uplate s ovim tipom kartice."),
    };
    return d;
}

RegisterDescription MakeEmployees() {
    RegisterDescription d;
    d.id = QStringLiteral("djelatnici");
    d.table = QStringLiteral("DJELATNICI");
    d.command = QStringLiteral("Sifarnici_Djelatnici");
    d.nameColumn = QStringLiteral("IME");
    d.listCaption = QStringLiteral("Djelatnici");
    d.entryCaption = QStringLiteral("Upis novog djelatnika");
    d.fields = {Text(u"IME", u"Ime")};
    d.checks = {Length(u"IME", 255, true, u"Ime je duže od 255 znakova ili nije upisano")};
    d.duplicates = {Duplicate(u"IME", u"Djelatnik sa imenom '", u"' je već upisan.")};
    d.deleteQuestion = QStringLiteral("Sigurno želite izbrisati djelatnika ");
    d.deleteGuards = {
        Guard(QStringLiteral(
                  "SELECT 1 FROM \"STAVKE_RACUNA_DJELATNICI\" WHERE \"DJELATNIK\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer je ovaj djelatnik upisan na računima."),
    };
    return d;
}

RegisterDescription MakeDeliveryMethods() {
    RegisterDescription d =
        NameOnly(u"nacini-isporuke", u"NACINI_ISPORUKE", u"Sifarnici_nacini_isporuke",
                 u"Načini isporuke", u"Upis novog načina isporuke", u"Način isporuke sa nazivom '",
                 u"' je već upisan.", u"Sigurno želite izbrisati način isporuke ");
    d.deleteGuards = {
        Guard(QStringLiteral("SELECT 1 FROM \"PARTNERI\" WHERE \"NACIN_ISPORUKE\" = ? LIMIT 1"),
              u"Nije dozvoljeno brisanje jer je ovaj način isporuke upisan kod partnera."),
    };
    return d;
}

}  // namespace

QString AnyReference(std::initializer_list<ColumnRef> columns) {
    QStringList parts;
    for (const ColumnRef& ref : columns) {
        parts << QStringLiteral("EXISTS (SELECT 1 FROM \"") + T(ref.table) +
                     QStringLiteral("\" WHERE \"") + T(ref.column) + QStringLiteral("\" = ?)");
    }
    return QStringLiteral("SELECT 1 WHERE ") + parts.join(QStringLiteral(" OR "));
}

#define ZODRA_REGISTER(function, maker)                   \
    const RegisterDescription& function() {               \
        static const RegisterDescription value = maker(); \
        return value;                                     \
    }

ZODRA_REGISTER(Articles, MakeArticles)
ZODRA_REGISTER(Partners, MakePartners)
ZODRA_REGISTER(Services, MakeServices)
ZODRA_REGISTER(Packaging, MakePackaging)
ZODRA_REGISTER(ArticleGroups, MakeArticleGroups)
ZODRA_REGISTER(TaxGroups, MakeTaxGroups)
ZODRA_REGISTER(SalesTerms, MakeSalesTerms)
ZODRA_REGISTER(Warehouses, MakeWarehouses)
ZODRA_REGISTER(OutputInvoiceBooks, MakeOutputInvoiceBooks)
ZODRA_REGISTER(InputInvoiceBooks, MakeInputInvoiceBooks)
ZODRA_REGISTER(Currencies, MakeCurrencies)
ZODRA_REGISTER(CardTypes, MakeCardTypes)
ZODRA_REGISTER(Employees, MakeEmployees)
ZODRA_REGISTER(DeliveryMethods, MakeDeliveryMethods)

#undef ZODRA_REGISTER

const std::vector<const RegisterDescription*>& All() {
    static const std::vector<const RegisterDescription*> all = {
        &Articles(),   &Services(),   &Packaging(),  &Partners(),           &ArticleGroups(),
        &TaxGroups(),  &SalesTerms(), &Warehouses(), &OutputInvoiceBooks(), &InputInvoiceBooks(),
        &Currencies(), &CardTypes(),  &Employees(),  &DeliveryMethods()};
    return all;
}

const RegisterDescription* ById(const QString& id) {
    for (const RegisterDescription* d : All()) {
        if (d->id == id) {
            return d;
        }
    }
    return nullptr;
}

}  // namespace zodra::registers::catalogue
