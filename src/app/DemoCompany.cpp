#include "app/DemoCompany.h"

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Transaction.h"

namespace zodra::demo {

namespace {

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

struct DemoArticle {
    const char16_t* name;
    const char16_t* code;
    const char16_t* unit;
    int group;
    int taxGroup;
};

}  // namespace

void CreateDemoCompany(const QString& path, const QDate& today) {
    CompanySchema::CreateCompany(path, today.year());
    auto opened = Database::Open(path, QString());
    if (opened.status != Database::OpenStatus::Ok) {
        throw DbError(path, QStringLiteral("Demo poduzeće se ne može otvoriti"));
    }
    Database& db = *opened.db;
    Transaction tx(db);
    db.Exec(
        QStringLiteral(
            "UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = ?, \"ADRESA\" = ?, \"MJESTO\" = ?, "
            "\"TELEFON\" = ?, \"OIB\" = ?, \"ZIRO_RACUN\" = ?, \"EMAIL\" = ?, \"DJELATNOST\" = ?, "
            "\"DIREKTOR\" = ? WHERE \"ID\" = 1"),
        {T(u"Demo trgovina d.o.o."), T(u"Ilica 12"), T(u"10000 Zagreb"), T(u"01 4567 890"),
         T(u"12345678903"), T(u"HR1723600001101234565"), T(u"info@demo-trgovina.hr"), T(u"47.19"),
         T(u"Ana Horvat")});
    const struct {
        int code;
        const char16_t* name;
        const char16_t* address;
        bool retail;
    } warehouses[] = {
        {1, u"Veleprodaja", u"Ilica 12", false},
        {2, u"Maloprodaja Centar", u"Trg bana Jelačića 3", true},
        {3, u"Skladište Sesvete", u"Zagrebačka 101", false},
    };
    for (const auto& w : warehouses) {
        db.Exec(
            QStringLiteral(
                "INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", "
                "\"TELEFON\", \"MALOPRODAJA\", \"SKLADISTE_ZALIHA\") VALUES (?, ?, ?, ?, ?, ?)"),
            {w.code, T(w.name), T(w.address), T(u"01 4567 890"), w.retail ? 1 : 0, w.code});
    }
    const struct {
        int code;
        const char16_t* name;
        double wholesale;
        double retail;
    } groups[] = {{2, u"Pića", 20, 10},
                  {3, u"Prehrana", 15, 10},
                  {4, u"Kućanstvo", 25, 15},
                  {5, u"Alati", 30, 20}};
    for (const auto& g : groups) {
        db.Exec(
            QStringLiteral("INSERT INTO \"GRUPE_A\" (\"SIFRA\", \"NAZIV\", \"VELEPRODAJNA_MARZA\", "
                           "\"MALOPRODAJNA_MARZA\") VALUES (?, ?, ?, ?)"),
            {g.code, T(g.name), g.wholesale, g.retail});
    }
    const DemoArticle articles[] = {
        {u"Čaj od kamilice 20 vrećica", u"P-001", u"kom", 3, 3},
        {u"Ćevapi 500 g", u"P-002", u"kom", 3, 2},
        {u"Džem od šljiva 400 g", u"P-003", u"kom", 3, 2},
        {u"Đumbir svježi", u"P-004", u"kg", 3, 3},
        {u"Mlijeko 2,8% 1 l", u"P-005", u"kom", 3, 3},
        {u"Kruh polubijeli 600 g", u"P-006", u"kom", 3, 3},
        {u"Mineralna voda 1,5 l", u"Pi-001", u"kom", 2, 1},
        {u"Sok od naranče 1 l", u"Pi-002", u"kom", 2, 1},
        {u"Pivo svijetlo 0,5 l", u"Pi-003", u"kom", 2, 1},
        {u"Vino graševina 0,75 l", u"Pi-004", u"kom", 2, 1},
        {u"Deterdžent za rublje 3 l", u"K-001", u"kom", 4, 1},
        {u"Spužve za suđe 5/1", u"K-002", u"kom", 4, 1},
        {u"Žarulja LED 9 W", u"K-003", u"kom", 4, 1},
        {u"Čekić 500 g", u"A-001", u"kom", 5, 1},
        {u"Odvijač križni PH2", u"A-002", u"kom", 5, 1},
        {u"Šarafi za drvo 4x40 (100 kom)", u"A-003", u"pak", 5, 1},
        {u"Bušilica akumulatorska 18 V", u"A-004", u"kom", 5, 1},
        {u"Metar 5 m", u"A-005", u"kom", 5, 1},
    };
    int barcode = 1000;
    int code = 1;
    for (const DemoArticle& a : articles) {
        db.Exec(
            QStringLiteral("INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"OPIS\", \"JED_M\", "
                           "\"GRUPA_A\", \"GRUPA_P\", \"BARKOD\", \"VALUTA\", \"MIN_ZAL\") "
                           "VALUES (?, ?, ?, ?, ?, ?, ?, 1, 0)"),
            {code++, T(a.name), T(a.code), T(a.unit), a.group, a.taxGroup,
             QStringLiteral("385%1").arg(++barcode, 10, 10, QLatin1Char('0'))});
    }
    const struct {
        const char16_t* name;
        const char16_t* address;
        const char16_t* place;
        const char16_t* oib;
        bool customer;
        bool supplier;
    } partners[] = {
        {u"Kod Ane's d.o.o.", u"Savska 5", u"10000 Zagreb", u"69435151530", true, false},
        {u"Đurđevac trade j.d.o.o.", u"Trg Nikole Šubića Zrinskog 2", u"48350 Đurđevac",
         u"94577403194", true, false},
        {u"Veletrgovina Čakovec d.d.", u"Zrinsko-Frankopanska 8", u"40000 Čakovec", u"33392005961",
         false, true},
        {u"Alati Šimić obrt", u"Vukovarska 44", u"31000 Osijek", u"81793146560", true, true},
        {u"Pivovara Žitnjak d.o.o.", u"Žitnjak bb", u"10000 Zagreb", u"23057039320", false, true},
    };
    for (const auto& p : partners) {
        db.Exec(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"NAZIV\", \"ADRESA\", \"MJESTO\", \"OIB\", "
                           "\"Kupac\", \"Dobavljac\", \"ODGODA\", \"RABAT\") VALUES (?, ?, ?, ?, "
                           "?, ?, 15, 0)"),
            {T(p.name), T(p.address), T(p.place), T(p.oib), p.customer ? 1 : 0,
             p.supplier ? 1 : 0});
    }
    db.Exec(QStringLiteral(
                "INSERT INTO \"VALUTE_TECAJ\" (\"SIFRA\", \"DATUM\", \"TECAJ\") VALUES (1, ?, 1)"),
            {today});
    tx.Commit();
}

}  // namespace zodra::demo
