#include "demo/DemoCompany.h"

#include <QRandomGenerator>
#include <vector>

#include "app/SessionStart.h"
#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/ExchangeRates.h"
#include "data/Rounding.h"
#include "data/ScriptedPrompter.h"
#include "data/Session.h"
#include "data/Transaction.h"
#include "demo/DemoInvoices.h"
#include "demo/DemoOutgoing.h"
#include "demo/DemoReceipts.h"
#include "pricelists/PriceLists.h"
#include "registers/Articles.h"
#include "registers/Catalogue.h"
#include "registers/RegisterStore.h"

namespace zodra::demo {

namespace {

using registers::SavedRow;
using registers::Values;
namespace catalogue = registers::catalogue;

QString T(const char16_t* text) {
    return QString::fromUtf16(text);
}

// Tax groups of the empty company.
constexpr int kVat25 = 1;
constexpr int kVat13 = 2;
constexpr int kVat5 = 3;

// A valid-looking OIB: ten digits and the ISO 7064 (MOD 11,10) check digit.
QString MakeOib(QRandomGenerator& random) {
    QString digits;
    int a = 10;
    for (int i = 0; i < 10; ++i) {
        const int d = (i == 0 ? 1 : 0) + static_cast<int>(random.bounded(i == 0 ? 9 : 10));
        digits += QChar(u'0' + d);
        a = (a + d) % 10;
        if (a == 0) {
            a = 10;
        }
        a = (a * 2) % 11;
    }
    const int check = (11 - a) % 10;
    return digits + QChar(u'0' + check);
}

// An EAN-13 with the Croatian prefix 385 and its check digit.
QString MakeEan(int serial) {
    const QString body =
        QStringLiteral("385") + QStringLiteral("%1").arg(serial, 9, 10, QLatin1Char('0'));
    int sum = 0;
    for (int i = 0; i < 12; ++i) {
        sum += body.at(i).digitValue() * (i % 2 == 0 ? 1 : 3);
    }
    return body + QChar(u'0' + (10 - sum % 10) % 10);
}

struct Family {
    const char16_t* name;
    const char16_t* unit;
    int taxGroup;
    double price;
    std::vector<const char16_t*> variants;
};

struct GroupData {
    const char16_t* name;
    const char16_t* prefix;
    double wholesaleMargin;
    double retailMargin;
    std::vector<Family> families;
};

// clang-format off
std::vector<GroupData> Catalogue() {
    return {
        {u"Pića", u"PI", 20, 10,
         {{u"Mineralna voda", u"kom", kVat25, 0.89, {u"0,5 l", u"1 l", u"1,5 l", u"gazirana 1,5 l", u"negazirana 1,5 l"}},
          {u"Sok od naranče", u"kom", kVat25, 1.79, {u"0,2 l", u"1 l", u"100% 1 l", u"s pulpom 1 l"}},
          {u"Sok od jabuke", u"kom", kVat25, 1.59, {u"0,2 l", u"1 l", u"bistri 1 l", u"mutni 1 l"}},
          {u"Pivo svijetlo", u"kom", kVat25, 1.19, {u"0,33 l", u"0,5 l", u"limenka 0,5 l", u"bačva 30 l"}},
          {u"Pivo tamno", u"kom", kVat25, 1.39, {u"0,33 l", u"0,5 l"}},
          {u"Vino graševina", u"kom", kVat25, 5.90, {u"0,75 l", u"1 l", u"kvalitetno 0,75 l", u"vrhunsko 0,75 l"}},
          {u"Vino plavac mali", u"kom", kVat25, 8.50, {u"0,75 l", u"vrhunsko 0,75 l"}},
          {u"Kava mljevena", u"kom", kVat25, 3.49, {u"100 g", u"250 g", u"500 g"}},
          {u"Čaj od kamilice", u"kom", kVat25, 1.29, {u"20 vrećica", u"40 vrećica"}},
          {u"Čaj šipak", u"kom", kVat25, 1.39, {u"20 vrećica"}},
          {u"Ledeni čaj breskva", u"kom", kVat25, 1.49, {u"0,5 l", u"1,5 l"}}}},
        {u"Prehrana", u"PR", 15, 10,
         {{u"Kruh polubijeli", u"kom", kVat5, 1.10, {u"400 g", u"600 g", u"narezani 500 g"}},
          {u"Kruh kukuruzni", u"kom", kVat5, 1.60, {u"500 g"}},
          {u"Mlijeko", u"kom", kVat5, 1.05, {u"2,8% 1 l", u"3,2% 1 l", u"0,9% 1 l", u"bez laktoze 1 l"}},
          {u"Jogurt", u"kom", kVat13, 0.79, {u"180 g", u"500 g", u"1 kg"}},
          {u"Sir gauda", u"kg", kVat13, 9.90, {u"", u"narezani 150 g"}},
          {u"Džem od šljiva", u"kom", kVat13, 2.29, {u"400 g", u"700 g"}},
          {u"Džem od marelica", u"kom", kVat13, 2.39, {u"400 g"}},
          {u"Ćevapi", u"kom", kVat13, 4.90, {u"500 g", u"1 kg"}},
          {u"Đumbir svježi", u"kg", kVat13, 6.50, {u""}},
          {u"Šljive suhe", u"kom", kVat13, 2.90, {u"200 g", u"500 g"}},
          {u"Tjestenina špageti", u"kom", kVat13, 1.19, {u"500 g", u"1 kg", u"integralni 500 g"}},
          {u"Riža dugog zrna", u"kom", kVat13, 1.89, {u"1 kg", u"500 g"}},
          {u"Brašno pšenično T-550", u"kom", kVat13, 0.89, {u"1 kg", u"2 kg", u"5 kg"}},
          {u"Šećer kristal", u"kom", kVat13, 1.09, {u"1 kg", u"500 g"}},
          {u"Ulje suncokretovo", u"kom", kVat13, 2.19, {u"1 l", u"2 l"}},
          {u"Maslinovo ulje ekstra djevičansko", u"kom", kVat13, 9.90, {u"0,5 l", u"0,75 l", u"1 l"}},
          {u"Čokolada mliječna", u"kom", kVat13, 1.49, {u"100 g", u"s lješnjacima 100 g", u"250 g"}},
          {u"Keksi s čokoladom", u"kom", kVat13, 1.29, {u"150 g", u"300 g"}},
          {u"Jaja L", u"kom", kVat5, 2.99, {u"10/1", u"30/1"}}}},
        {u"Kućanstvo", u"KU", 25, 15,
         {{u"Deterdžent za rublje", u"kom", kVat25, 7.90, {u"1,5 l", u"3 l", u"prašak 3 kg", u"za osjetljivu kožu 3 l"}},
          {u"Omekšivač", u"kom", kVat25, 3.90, {u"1 l", u"2 l"}},
          {u"Deterdžent za suđe", u"kom", kVat25, 1.99, {u"500 ml", u"1 l", u"limun 1 l"}},
          {u"Spužve za suđe", u"pak", kVat25, 1.19, {u"5/1", u"10/1"}},
          {u"Toaletni papir", u"pak", kVat25, 3.49, {u"troslojni 10/1", u"dvoslojni 8/1", u"troslojni 24/1"}},
          {u"Papirnati ručnici", u"pak", kVat25, 2.49, {u"2/1", u"4/1"}},
          {u"Vreće za smeće", u"pak", kVat25, 1.59, {u"35 l", u"60 l", u"120 l"}},
          {u"Sredstvo za čišćenje stakla", u"kom", kVat25, 2.29, {u"500 ml", u"750 ml"}},
          {u"Žarulja LED", u"kom", kVat25, 2.99, {u"E27 9 W", u"E27 12 W", u"E14 5 W", u"GU10 5 W"}},
          {u"Baterije alkalne", u"pak", kVat25, 3.99, {u"AA 4/1", u"AAA 4/1", u"9 V 1/1"}},
          {u"Šibice", u"pak", kVat25, 0.49, {u"10/1"}}}},
        {u"Alati", u"AL", 30, 20,
         {{u"Čekić", u"kom", kVat25, 9.90, {u"300 g", u"500 g", u"1000 g"}},
          {u"Odvijač ravni", u"kom", kVat25, 2.90, {u"3 mm", u"5 mm", u"8 mm"}},
          {u"Odvijač križni", u"kom", kVat25, 2.90, {u"PH1", u"PH2", u"PH3"}},
          {u"Set odvijača", u"kom", kVat25, 14.90, {u"6/1", u"12/1"}},
          {u"Kliješta kombinirana", u"kom", kVat25, 8.90, {u"160 mm", u"200 mm"}},
          {u"Šarafi za drvo", u"pak", kVat25, 2.49, {u"3x30 (100 kom)", u"4x40 (100 kom)", u"5x60 (50 kom)"}},
          {u"Tiple plastične", u"pak", kVat25, 1.99, {u"6 mm (50 kom)", u"8 mm (50 kom)", u"10 mm (25 kom)"}},
          {u"Bušilica akumulatorska", u"kom", kVat25, 89.00, {u"12 V", u"18 V", u"18 V s dvije baterije"}},
          {u"Svrdla za metal", u"pak", kVat25, 7.90, {u"set 10/1", u"set 19/1"}},
          {u"Metar", u"kom", kVat25, 3.90, {u"3 m", u"5 m", u"8 m"}},
          {u"Libela", u"kom", kVat25, 9.90, {u"40 cm", u"60 cm", u"100 cm"}},
          {u"Pila za drvo", u"kom", kVat25, 12.90, {u"400 mm", u"550 mm"}},
          {u"Rukavice radne", u"kom", kVat25, 2.49, {u"vel. 9", u"vel. 10", u"zimske vel. 10"}}}},
        {u"Elektro", u"EL", 25, 20,
         {{u"Produžni kabel", u"kom", kVat25, 6.90, {u"3 utičnice 1,5 m", u"5 utičnica 3 m", u"s prekidačem 5 m"}},
          {u"Utičnica nadžbukna", u"kom", kVat25, 3.49, {u"jednostruka", u"dvostruka"}},
          {u"Kabel PP-Y", u"m", kVat25, 0.99, {u"3x1,5", u"3x2,5", u"5x2,5"}},
          {u"Izolir traka", u"kom", kVat25, 0.99, {u"crna", u"plava", u"žuto-zelena"}},
          {u"Grijalica keramička", u"kom", kVat25, 29.90, {u"1500 W", u"2000 W"}},
          {u"Svjetiljka ručna LED", u"kom", kVat25, 7.90, {u"mala", u"velika", u"naglavna"}}}},
        {u"Papirnica", u"PA", 25, 15,
         {{u"Bilježnica A4", u"kom", kVat25, 1.49, {u"crte", u"kocke", u"bez crta"}},
          {u"Bilježnica A5", u"kom", kVat25, 0.99, {u"crte", u"kocke"}},
          {u"Kemijska olovka", u"kom", kVat25, 0.49, {u"plava", u"crna", u"crvena"}},
          {u"Olovka grafitna HB", u"kom", kVat25, 0.29, {u""}},
          {u"Papir za printer A4", u"pak", kVat25, 4.90, {u"80 g 500 listova", u"80 g 2500 listova"}},
          {u"Fascikl s mehanizmom", u"kom", kVat25, 2.49, {u"široki", u"uski"}},
          {u"Ljepilo u stiku", u"kom", kVat25, 1.29, {u"20 g", u"40 g"}}}},
        {u"Kozmetika", u"KO", 25, 15,
         {{u"Šampon za kosu", u"kom", kVat25, 3.49, {u"250 ml", u"400 ml", u"protiv peruti 250 ml"}},
          {u"Gel za tuširanje", u"kom", kVat25, 2.49, {u"250 ml", u"500 ml"}},
          {u"Sapun tekući", u"kom", kVat25, 1.79, {u"300 ml", u"dopuna 1 l"}},
          {u"Pasta za zube", u"kom", kVat25, 1.99, {u"75 ml", u"125 ml", u"za osjetljive zube 75 ml"}},
          {u"Četkica za zube", u"kom", kVat25, 1.49, {u"srednja", u"mekana"}},
          {u"Krema za ruke", u"kom", kVat25, 2.99, {u"75 ml", u"100 ml"}}}},
        {u"Auto oprema", u"AU", 30, 20,
         {{u"Motorno ulje 5W-30", u"kom", kVat25, 24.90, {u"1 l", u"4 l", u"5 l"}},
          {u"Motorno ulje 10W-40", u"kom", kVat25, 19.90, {u"1 l", u"4 l"}},
          {u"Tekućina za stakla", u"kom", kVat25, 2.49, {u"ljetna 3 l", u"zimska 3 l", u"koncentrat 1 l"}},
          {u"Antifriz", u"kom", kVat25, 7.90, {u"1 l", u"5 l"}},
          {u"Metlice brisača", u"kom", kVat25, 9.90, {u"400 mm", u"450 mm", u"500 mm", u"600 mm"}},
          {u"Žarulja za automobil", u"kom", kVat25, 3.90, {u"H1", u"H4", u"H7", u"W5W"}},
          {u"Kabel za paljenje", u"kom", kVat25, 14.90, {u"200 A", u"400 A"}},
          {u"Sredstvo za pranje auta", u"kom", kVat25, 4.90, {u"500 ml", u"1 l"}},
          {u"Mirisni osvježivač", u"kom", kVat25, 1.99, {u"vanilija", u"limun", u"bor", u"nova kola"}}}},
        {u"Sport", u"SP", 30, 20,
         {{u"Lopta nogometna", u"kom", kVat25, 14.90, {u"vel. 4", u"vel. 5"}},
          {u"Lopta košarkaška", u"kom", kVat25, 16.90, {u"vel. 6", u"vel. 7"}},
          {u"Reket za stolni tenis", u"kom", kVat25, 9.90, {u"početnički", u"natjecateljski"}},
          {u"Loptice za stolni tenis", u"pak", kVat25, 3.49, {u"6/1", u"12/1"}},
          {u"Uže za preskakanje", u"kom", kVat25, 4.90, {u""}},
          {u"Boca za vodu", u"kom", kVat25, 5.90, {u"0,5 l", u"0,75 l", u"1 l"}},
          {u"Podloga za vježbanje", u"kom", kVat25, 12.90, {u"6 mm", u"10 mm"}},
          {u"Bučice", u"kom", kVat25, 8.90, {u"1 kg", u"2 kg", u"5 kg"}},
          {u"Čarape sportske", u"pak", kVat25, 6.90, {u"vel. 39-42 3/1", u"vel. 43-46 3/1"}}}},
        {u"Vrt", u"VR", 30, 20,
         {{u"Zemlja za cvijeće", u"kom", kVat25, 4.90, {u"20 l", u"50 l", u"za sobno bilje 10 l"}},
          {u"Gnojivo univerzalno", u"kom", kVat25, 5.90, {u"1 kg", u"5 kg"}},
          {u"Sjeme rajčice", u"kom", kVat25, 1.29, {u"volovsko srce", u"cherry"}},
          {u"Sjeme salate", u"kom", kVat25, 0.99, {u"kristalka", u"puterica"}},
          {u"Crijevo za vrt", u"kom", kVat25, 14.90, {u"1/2\" 20 m", u"1/2\" 50 m"}},
          {u"Lopata", u"kom", kVat25, 16.90, {u"ravna", u"šiljasta"}},
          {u"Škare za živicu", u"kom", kVat25, 19.90, {u""}},
          {u"Kanta za zalijevanje", u"kom", kVat25, 6.90, {u"5 l", u"10 l"}}}},
    };
}
// clang-format on

struct PartnerData {
    const char16_t* name;
    const char16_t* address;
    const char16_t* place;
    bool customer;
    bool supplier;
    double discount;
};

// clang-format off
std::vector<PartnerData> Partners() {
    return {
        {u"Kod Ane's d.o.o.", u"Savska 5", u"10000 Zagreb", true, false, 5},
        {u"Đurđevac trade j.d.o.o.", u"Trg Nikole Šubića Zrinskog 2", u"48350 Đurđevac", true,
         false, 3},
        {u"Veletrgovina Čakovec d.d.", u"Zrinsko-Frankopanska 8", u"40000 Čakovec", false, true, 0},
        {u"Alati Šimić obrt", u"Vukovarska 44", u"31000 Osijek", true, true, 0},
        {u"Pivovara Žitnjak d.o.o.", u"Žitnjak bb", u"10000 Zagreb", false, true, 0},
        {u"Mljekara Zagorje d.o.o.", u"Ulica Ljudevita Gaja 12", u"49000 Krapina", false, true, 0},
        {u"Pekara Klasje obrt", u"Vinogradska 3", u"42000 Varaždin", false, true, 0},
        {u"Elektromaterijal Šoštarić d.o.o.", u"Industrijska 17", u"10360 Sesvete", false, true, 0},
        {u"Papirnica Olovka d.o.o.", u"Frankopanska 22", u"51000 Rijeka", false, true, 0},
        {u"Vrtni centar Ružica", u"Lička 9", u"21000 Split", true, true, 2},
        {u"Caffe bar Đir", u"Obala kneza Branimira 4", u"23000 Zadar", true, false, 4},
        {u"Restoran Šestine", u"Šestinski trg 1", u"10000 Zagreb", true, false, 5},
        {u"Hotel Ćiro d.d.", u"Put Firula 31", u"21000 Split", true, false, 7},
        {u"Obrtnička radnja Žarko", u"Kralja Tomislava 55", u"35000 Slavonski Brod", true, false,
         0},
        {u"Građevinar Ljubić d.o.o.", u"Osječka 120", u"32100 Vinkovci", true, false, 6},
        {u"Dječji vrtić Maslačak", u"Ulica bana Jelačića 8", u"47000 Karlovac", true, false, 0},
        {u"Škola Ivana Gorana Kovačića", u"Školska 2", u"44000 Sisak", true, false, 0},
        {u"Trgovina Kod Mije", u"Trg kralja Petra Krešimira IV. 3", u"22000 Šibenik", true, false,
         3},
        {u"Distribucija Jadran d.o.o.", u"Zagrebačka 77", u"21000 Split", false, true, 0},
        {u"Kemika Dugo Selo d.o.o.", u"Josipa Zorića 90", u"10370 Dugo Selo", false, true, 0},
        {u"Njuškalo Ivić obrt", u"Ilirska 6", u"52100 Pula", true, false, 0},
        {u"Ljekarna Čučerje", u"Čučerska cesta 10", u"10000 Zagreb", true, false, 2},
        {u"Vinarija Kutjevo d.d.", u"Kralja Tomislava 1", u"34340 Kutjevo", false, true, 0},
        {u"Uljara Bašić", u"Put Mira 14", u"52440 Poreč", false, true, 0},
        {u"Moj dom d.o.o.", u"Slavonska avenija 50", u"10000 Zagreb", true, false, 3},
    };
}
// clang-format on

Values ArticleValues(const QString& name, const QString& code, const QString& unit, int group,
                     int taxGroup, double price, const QString& barcode) {
    return Values{{QStringLiteral("NAZIV"), name},
                  {QStringLiteral("OPIS"), code},
                  {QStringLiteral("JED_M"), unit},
                  {QStringLiteral("GRUPA_A"), group},
                  {QStringLiteral("GRUPA_P"), taxGroup},
                  {QStringLiteral("VALUTA"), 1},
                  {QStringLiteral("CIJENA_U_VALUTI"), price},
                  {QStringLiteral("MIN_ZAL"), 5},
                  {QStringLiteral("PAKOVANJE"), 1},
                  {QStringLiteral("CARINA%"), 0},
                  {QStringLiteral("BARKOD"), barcode}};
}

}  // namespace

void CreateDemoCompany(const QString& path, const QDate& today, bool withSales) {
    CompanySchema::CreateCompany(path, today.year());
    auto opened = Database::Open(path, QString());
    if (opened.status != Database::OpenStatus::Ok) {
        throw DbError(path, QStringLiteral("Demo poduzeće se ne može otvoriti"));
    }
    Database& db = *opened.db;
    QRandomGenerator random(20260302);
    Transaction tx(db);
    db.Exec(
        QStringLiteral(
            "UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = ?, \"ADRESA\" = ?, \"MJESTO\" = ?, "
            "\"TELEFON\" = ?, \"OIB\" = ?, \"ZIRO_RACUN\" = ?, \"EMAIL\" = ?, \"DJELATNOST\" = ?, "
            "\"DIREKTOR\" = ? WHERE \"ID\" = 1"),
        {T(u"Demo trgovina d.o.o."), T(u"Ilica 12"), T(u"10000 Zagreb"), T(u"01 4567 890"),
         T(u"12345678903"), T(u"HR1723600001101234565"), T(u"info@demo-trgovina.hr"), T(u"47.19"),
         T(u"Ana Horvat")});

    // Warehouses: wholesale, a retail shop that sells from its own stock, an outer store.
    const struct {
        const char16_t* name;
        const char16_t* address;
        bool retail;
    } warehouses[] = {
        {u"Veleprodaja", u"Ilica 12", false},
        {u"Maloprodaja Centar", u"Trg bana Jelačića 3", true},
        {u"Skladište Sesvete", u"Zagrebačka 101", false},
    };
    for (const auto& w : warehouses) {
        registers::Add(db, catalogue::Warehouses(),
                       {{QStringLiteral("NAZIV"), T(w.name)},
                        {QStringLiteral("ADRESA"), T(w.address)},
                        {QStringLiteral("TELEFON"), T(u"01 4567 890")},
                        {QStringLiteral("MALOPRODAJA"), w.retail}});
    }

    // Small registers.
    for (const char16_t* name : {u"dostava", u"pošta", u"brza pošta"}) {
        registers::Add(db, catalogue::DeliveryMethods(), {{QStringLiteral("NAZIV"), T(name)}});
    }
    for (const char16_t* name : {u"Visa", u"Mastercard", u"Maestro", u"Diners"}) {
        registers::Add(db, catalogue::CardTypes(), {{QStringLiteral("NAZIV"), T(name)}});
    }
    for (const char16_t* name : {u"Ivana Kovačević", u"Marko Đurić", u"Petra Šimunović"}) {
        registers::Add(db, catalogue::Employees(), {{QStringLiteral("IME"), T(name)}});
    }
    registers::Add(
        db, catalogue::OutputInvoiceBooks(),
        {{QStringLiteral("NAZIV"), T(u"Veleprodajni računi")}, {QStringLiteral("SKIDA"), true}});
    const SavedRow usd =
        registers::Add(db, catalogue::Currencies(), {{QStringLiteral("NAZIV"), T(u"USD")}});
    registers::Add(db, catalogue::Currencies(), {{QStringLiteral("NAZIV"), T(u"CHF")}});
    exchangerates::SetRate(db, 1, today, QStringLiteral("1"));
    exchangerates::SetRate(db, usd.code, today, QStringLiteral("0,9210"));
    const struct {
        const char16_t* name;
        double price;
        double minutes;
    } services[] = {
        {u"Dostava na adresu", 5.00, 60},
        {u"Montaža", 25.00, 60},
        {u"Servis alata", 15.00, 45},
        {u"Rezanje po mjeri", 2.00, 10},
    };
    for (const auto& s : services) {
        registers::Add(db, catalogue::Services(),
                       {{QStringLiteral("NAZIV"), T(s.name)},
                        {QStringLiteral("GRUPA_P"), kVat25},
                        {QStringLiteral("CIJENA"), s.price},
                        {QStringLiteral("TRAJANJE_MINUTA"), s.minutes}});
    }
    const SavedRow bottle = registers::Add(
        db, catalogue::Packaging(),
        {{QStringLiteral("NAZIV"), T(u"Boca povratna 0,5 l")}, {QStringLiteral("CIJENA"), 0.07}});
    registers::Add(
        db, catalogue::Packaging(),
        {{QStringLiteral("NAZIV"), T(u"Gajba za pivo")}, {QStringLiteral("CIJENA"), 3.00}});

    // Articles in groups, each with a code, an EAN-13 barcode and the tax group of its kind.
    int serial = 1000;
    std::vector<std::pair<int, int>> listed;  // (article, group) for the price list
    int beer = 0;
    for (const GroupData& g : Catalogue()) {
        const SavedRow group =
            registers::Add(db, catalogue::ArticleGroups(),
                           {{QStringLiteral("NAZIV"), T(g.name)},
                            {QStringLiteral("VELEPRODAJNA_MARZA"), g.wholesaleMargin},
                            {QStringLiteral("MALOPRODAJNA_MARZA"), g.retailMargin}});
        int number = 0;
        for (const Family& f : g.families) {
            double price = f.price;
            for (const char16_t* variant : f.variants) {
                const QString name =
                    T(variant).isEmpty() ? T(f.name) : T(f.name) + QLatin1Char(' ') + T(variant);
                const QString code =
                    T(g.prefix) + QStringLiteral("-%1").arg(++number, 3, 10, QLatin1Char('0'));
                const SavedRow article =
                    registers::Add(db, catalogue::Articles(),
                                   ArticleValues(name, code, T(f.unit), group.code, f.taxGroup,
                                                 RoundMoney(price), MakeEan(++serial)));
                if (name == QStringLiteral("Pivo svijetlo 0,5 l")) {
                    beer = article.code;
                }
                if (number % 3 == 1) {
                    listed.emplace_back(article.code, group.code);
                }
                price = price * 1.35;
            }
        }
    }
    if (beer != 0) {
        registers::articles::LinkPackaging(db, beer, bottle.code, 1);
    }

    // A price list for the regular wholesale customers: net prices for a third of the
    // articles, a bigger discount on drinks and a general one for every other group.
    const SavedRow list = registers::Add(
        db, pricelists::Register(), {{QStringLiteral("NAZIV"), T(u"Veleprodaja - stalni kupci")}});
    for (const auto& [article, group] : listed) {
        Q_UNUSED(group);
        const double price = RoundMoney(
            db.Scalar(
                  QStringLiteral("SELECT \"CIJENA_U_VALUTI\" FROM \"ARTIKLI\" WHERE \"SIFRA\" = ?"),
                  {article})
                .toDouble() *
            0.8);
        pricelists::SetPrice(db, list.code, article, 1, price);
    }
    const int drinks =
        db.Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"GRUPE_A\" WHERE \"NAZIV\" = ?"),
                  {T(u"Pića")})
            .toInt();
    pricelists::SetDiscount(db, list.code, drinks, 8, false);
    pricelists::SetDiscount(db, list.code, pricelists::kAllGroups, 3, false);
    const SavedRow export_ =
        registers::Add(db, pricelists::Register(), {{QStringLiteral("NAZIV"), T(u"Izvoz USD")}});
    for (size_t i = 0; i < listed.size() && i < 10; ++i) {
        pricelists::SetPrice(db, export_.code, listed.at(i).first, usd.code,
                             1.5 + static_cast<double>(i));
    }

    // Customers and suppliers with OIBs; the first two customers buy by the price list.
    int customers = 0;
    for (const PartnerData& p : Partners()) {
        const bool onList = p.customer && customers++ < 2;
        registers::Add(db, catalogue::Partners(),
                       {{QStringLiteral("NAZIV"), T(p.name)},
                        {QStringLiteral("ADRESA"), T(p.address)},
                        {QStringLiteral("MJESTO"), T(p.place)},
                        {QStringLiteral("TELEFON"), QStringLiteral("0%1 %2")
                                                        .arg(1 + random.bounded(50))
                                                        .arg(100000 + random.bounded(899999))},
                        {QStringLiteral("OIB"), MakeOib(random)},
                        {QStringLiteral("RABAT"), p.discount},
                        {QStringLiteral("ODGODA"), p.supplier ? 30 : 15},
                        {QStringLiteral("Kupac"), p.customer},
                        {QStringLiteral("Dobavljac"), p.supplier},
                        {QStringLiteral("CJENIK"), onList ? list.code : 0}});
    }

    // The e-invoice's product classification: drinks, food, household and electrical goods
    // carry their own codes, the other groups take the company's default; the administrator
    // issues invoices as the operator with an OIB of their own.
    const struct {
        const char16_t* group;
        const char16_t* kpd;
    } classifications[] = {{u"Pića", u"11.07.11"},
                           {u"Prehrana", u"10.89.19"},
                           {u"Kućanstvo", u"20.41.32"},
                           {u"Elektro", u"27.33.13"}};
    for (const auto& c : classifications) {
        db.Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"KPD\" = ? WHERE \"GRUPA_A\" IN (SELECT "
                               "\"SIFRA\" FROM \"GRUPE_A\" WHERE \"NAZIV\" = ?)"),
                {T(c.kpd), T(c.group)});
    }
    db.Exec(QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = ? WHERE \"Naziv\" = ?"),
            {T(u"46.90.00"), T(u"KPD zadana šifra")});
    db.Exec(
        QStringLiteral("INSERT INTO \"FISKAL_OPERATERI\" (\"KORISNIK\", \"OIB\") VALUES (?, ?)"),
        {T(u"admin"), T(u"69825036717")});
    tx.Commit();

    // Goods received in every warehouse, through the receipt's own posting.
    Session session;
    session.databasePath = path;
    session.userName = QStringLiteral("admin");
    session.Attach(std::move(opened.db));
    ScriptedPrompter quiet;
    sessionstart::Start(session, 1, quiet, today);
    // Between deliveries the warehouse sells: three invoices per receipt, a few hundred over
    // the year, through the invoice's own posting.
    DemoInvoices invoices(session);
    // Offers, pro-formas and delivery notes beside them; some notes billed.
    DemoOutgoing outgoing(session);
    PostDemoReceipts(session, today, 30, [&](const QDate& from, const QDate& to) {
        if (withSales) {
            invoices.Post(from, to, 3);
            outgoing.Period(from, to);
        }
    });
    sessionstart::End(session);
}

}  // namespace zodra::demo
