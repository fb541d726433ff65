#include <QDate>

#include "RegisterTestSupport.h"
#include "data/ExchangeRates.h"
#include "pricelists/PriceLists.h"
#include "registers/BillsOfMaterials.h"
#include "registers/RegisterGridModel.h"

using namespace zodra;
using namespace zodra::test;
using registers::Values;
namespace catalogue = registers::catalogue;

namespace {

using OtherRegistersTest = RegisterTest;

TEST_F(OtherRegistersTest, PartnerChecksInOrder) {
    Values typed{{QStringLiteral("NAZIV"), QString(81, QLatin1Char('n'))},
                 {QStringLiteral("ADRESA"), QString()},
                 {QStringLiteral("MJESTO"), QString(81, QLatin1Char('m'))},
                 {QStringLiteral("TELEFON"), QString(81, QLatin1Char('1'))},
                 {QStringLiteral("OIB"), QString(41, QLatin1Char('2'))},
                 {QStringLiteral("MB/JMBG"), QString(41, QLatin1Char('3'))},
                 {QStringLiteral("ZIRO_RACUN"), QString(81, QLatin1Char('4'))},
                 {QStringLiteral("OSTALO"), QString(256, QLatin1Char('o'))},
                 {QStringLiteral("RABAT"), QStringLiteral("deset")},
                 {QStringLiteral("ODGODA"), QStringLiteral("15,5")},
                 {QStringLiteral("CJENIK"), 77},
                 {QStringLiteral("NACIN_ISPORUKE"), 77}};
    const std::vector<std::tuple<QString, QString, QVariant>> steps = {
        {QStringLiteral("Naziv je duži od 80 znakova ili nije upisan"), QStringLiteral("NAZIV"),
         QStringLiteral("Kod Ane's")},
        {QStringLiteral("Adresa je duža od 80 znakova ili nije upisana"), QStringLiteral("ADRESA"),
         QStringLiteral("Savska 5")},
        {QStringLiteral("Mjesto je duže od 80 znakova ili nije upisano"), QStringLiteral("MJESTO"),
         QStringLiteral("Zagreb")},
        {QStringLiteral("Telefon je duži od 80 znakova"), QStringLiteral("TELEFON"), QString()},
        {QStringLiteral("OIB je duži od 40 znakova"), QStringLiteral("OIB"),
         QStringLiteral("69435151530")},
        {QStringLiteral("MB/JMBG je duži od 40 znakova"), QStringLiteral("MB/JMBG"), QString()},
        {QStringLiteral("Žiro račun je duži od 80 znakova"), QStringLiteral("ZIRO_RACUN"),
         QString()},
        {QStringLiteral("Ostalo je duže od 255 znakova"), QStringLiteral("OSTALO"), QString()},
        {QStringLiteral("Rabat nije upisan kao broj"), QStringLiteral("RABAT"),
         QStringLiteral("10")},
        {QStringLiteral("Odgoda plaćanja nije upisana kao broj"), QStringLiteral("ODGODA"),
         QStringLiteral("30")},
        {QStringLiteral("Cjenik nije ispravno upisan"), QStringLiteral("CJENIK"), 0},
        {QStringLiteral("Način isporuke nije ispravno upisan"), QStringLiteral("NACIN_ISPORUKE"),
         1},
    };
    for (const auto& [message, column, fix] : steps) {
        EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Partners(), typed); }), message);
        typed.insert(column, fix);
    }
    const auto added = registers::Add(db(), catalogue::Partners(), typed);
    EXPECT_EQ(added.name, QStringLiteral("Kod Ane's"));
    const auto stored = registers::Load(db(), catalogue::Partners(), added.code);
    EXPECT_EQ(stored->value(QStringLiteral("ODGODA")).toInt(), 30);
    EXPECT_EQ(stored->value(QStringLiteral("CJENIK")).toInt(), 0);
    // The entry window starts with a payment delay of 15 days.
    EXPECT_EQ(
        registers::StartValues(catalogue::Partners()).value(QStringLiteral("ODGODA")).toString(),
        QStringLiteral("15"));
}

TEST_F(OtherRegistersTest, PartnerDuplicatesByNameAndOibButNotByAnEmptyOib) {
    registers::Add(db(), catalogue::Partners(),
                   Partner(QStringLiteral("Đurđevac trade"), QStringLiteral("94577403194")));
    EXPECT_EQ(Refusal([&] {
                  registers::Add(db(), catalogue::Partners(),
                                 Partner(QStringLiteral("đurđevac TRADE")));
              }),
              QStringLiteral("Partner sa nazivom 'đurđevac TRADE' je već upisan."));
    EXPECT_EQ(Refusal([&] {
                  registers::Add(db(), catalogue::Partners(),
                                 Partner(QStringLiteral("Drugi"), QStringLiteral("94577403194")));
              }),
              QStringLiteral("Partner sa OIB-om '94577403194' je već upisan."));
    EXPECT_NO_THROW(
        registers::Add(db(), catalogue::Partners(), Partner(QStringLiteral("Bez OIB-a 1"))));
    EXPECT_NO_THROW(registers::Add(db(), catalogue::Partners(),
                                   Partner(QStringLiteral("Bez OIB-a 2"), QStringLiteral("  "))));
}

TEST_F(OtherRegistersTest,
       TheTwoPartnersTheProgramNeedsCannotBeDeletedAndDocumentsKeepTheirPartner) {
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Partners(), 2, prompter); }),
              QStringLiteral("Prijenos iz prošle godine ne možete izbrisati"));
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Partners(), 1, prompter); }),
              QStringLiteral("Kupca u maloprodaji ne možete izbrisati"));
    EXPECT_TRUE(prompter.Shown().isEmpty()) << "refused before asking";
    const int customer =
        registers::Add(db(), catalogue::Partners(), Partner(QStringLiteral("Kupac d.o.o."))).code;
    db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                             "RACUNA\", \"SIFRA PARTNERA\") VALUES (1, 1, 2026, 1, ?)"),
              {customer});
    prompter.AnswerYes();
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Partners(), customer, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer za ovog partnera postoje dokumenti."));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Sigurno želite izbrisati partnera Kupac d.o.o. ?"));
    db().Exec(QStringLiteral("DELETE FROM \"RACUNI\""));
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Partners(), customer, prompter));
}

TEST_F(OtherRegistersTest, ServiceChecksAndDeletionCountsOnlyServiceLines) {
    Values typed{{QStringLiteral("NAZIV"), QString()},
                 {QStringLiteral("JED_M"), QStringLiteral("sati")},
                 {QStringLiteral("CIJENA"), QStringLiteral("x")},
                 {QStringLiteral("GRUPA_P"), 9},
                 {QStringLiteral("TRAJANJE_MINUTA"), QString()}};
    const std::vector<std::tuple<QString, QString, QVariant>> steps = {
        {QStringLiteral("Grupa poreza nije ispravno upisana"), QStringLiteral("GRUPA_P"), 1},
        {QStringLiteral("Naziv je duži od 255 znakova ili nije upisan"), QStringLiteral("NAZIV"),
         QStringLiteral("Montaža")},
        {QStringLiteral("Jedinica mjere je duža od 3 znaka ili nije upisana"),
         QStringLiteral("JED_M"), QStringLiteral("h")},
        {QStringLiteral("Cijena nije ispravno upisana"), QStringLiteral("CIJENA"),
         QStringLiteral("25,00")},
        {QStringLiteral("Trajanje nije ispravno upisana"), QStringLiteral("TRAJANJE_MINUTA"),
         QStringLiteral("60")},
    };
    for (const auto& [message, column, fix] : steps) {
        EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Services(), typed); }), message);
        typed.insert(column, fix);
    }
    const int service = registers::Add(db(), catalogue::Services(), typed).code;
    EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Services(), typed); }),
              QStringLiteral("Usluga sa nazivom 'Montaža' je već upisana."));
    // An article with the same code on an invoice does not hold the service.
    db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                             "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                             "\"RBR_STAVKE\") VALUES (1, 1, 2026, 1, 'ART', ?, 1, 1)"),
              {service});
    const int second = registers::Add(db(), catalogue::Services(),
                                      {{QStringLiteral("NAZIV"), QStringLiteral("Dostava")},
                                       {QStringLiteral("GRUPA_P"), 1}})
                           .code;
    db().Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                             "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                             "\"RBR_STAVKE\") VALUES (1, 1, 2026, 1, 'USL', ?, 1, 2)"),
              {second});
    prompter.AnswerYes().AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Services(), service, prompter));
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Services(), second, prompter); }),
              QStringLiteral(
                  "Ova usluga je upisana na nekim računima i nije dozvoljeno njeno brisanje."));
    EXPECT_EQ(prompter.Shown().last(), QStringLiteral("Sigurno želite izbrisati uslugu Dostava ?"));
}

TEST_F(OtherRegistersTest, SalesTermsOneToSevenAndMaloprodajaStay) {
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::SalesTerms(), 1, prompter); }),
              QStringLiteral("Uvjet prodaje Maloprodaja ne možete izbrisati"));
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::SalesTerms(), 7, prompter); }),
              QStringLiteral("Uvjet prodaje Oslobođeno - tuzemstvo ne možete izbrisati"));
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::SalesTerms(), 3, prompter); }),
              QStringLiteral("Uvjet prodaje Izvoz ne možete izbrisati"));
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_EQ(Refusal([&] {
                  registers::Add(db(), catalogue::SalesTerms(),
                                 {{QStringLiteral("NAZIV"), QString(61, QLatin1Char('u'))}});
              }),
              QStringLiteral("Naziv je duži od 60 znakova ili nije upisan"));
    EXPECT_EQ(Refusal([&] {
                  registers::Add(db(), catalogue::SalesTerms(),
                                 {{QStringLiteral("NAZIV"), QStringLiteral("Akcija")},
                                  {QStringLiteral("POCETNI_BR_RACUNA"), QStringLiteral("prvi")}});
              }),
              QStringLiteral("Početni broj računa nije ispravno upisan"));
    const auto eight =
        registers::Add(db(), catalogue::SalesTerms(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("Akcija")},
                        {QStringLiteral("SAMOSTALNA_NUMERACIJA"), true},
                        {QStringLiteral("POCETNI_BR_RACUNA"), QStringLiteral("5000")}});
    EXPECT_EQ(eight.code, 8);
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::SalesTerms(), 8, prompter));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Sigurno želite izbrisati uvjet prodaje Akcija ?"));
}

TEST_F(OtherRegistersTest, WarehouseChecksDefaultStockWarehouseAndReferences) {
    Values typed{{QStringLiteral("NAZIV"), QString(26, QLatin1Char('s'))},
                 {QStringLiteral("ADRESA"), QString()},
                 {QStringLiteral("TELEFON"), QString(26, QLatin1Char('0'))},
                 {QStringLiteral("SKLADISTE_ZALIHA"), 44}};
    const std::vector<std::tuple<QString, QString, QVariant>> steps = {
        {QStringLiteral("Naziv je duži od 25 znakova ili nije upisan"), QStringLiteral("NAZIV"),
         QStringLiteral("Dućan Split")},
        {QStringLiteral("Adresa je duža od 25 znakova ili nije upisana"), QStringLiteral("ADRESA"),
         QStringLiteral("Riva 1")},
        {QStringLiteral("Telefon je duži od 25 znakova ili nije upisan"), QStringLiteral("TELEFON"),
         QStringLiteral("021 123")},
        {QStringLiteral("Skladište zaliha nije ispravno upisano"),
         QStringLiteral("SKLADISTE_ZALIHA"), QString()},
    };
    for (const auto& [message, column, fix] : steps) {
        EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Warehouses(), typed); }), message);
        typed.insert(column, fix);
    }
    typed.insert(QStringLiteral("MALOPRODAJA"), true);
    const auto shop = registers::Add(db(), catalogue::Warehouses(), typed);
    const auto stored = registers::Load(db(), catalogue::Warehouses(), shop.code);
    EXPECT_EQ(stored->value(QStringLiteral("SKLADISTE_ZALIHA")).toInt(), shop.code)
        << "sells from its own stock";
    EXPECT_TRUE(stored->value(QStringLiteral("MALOPRODAJA")).toBool());
    EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Warehouses(), typed); }),
              QStringLiteral("Skladište sa nazivom 'Dućan Split' je već upisano."));

    Values store{{QStringLiteral("NAZIV"), QStringLiteral("Vanjsko")},
                 {QStringLiteral("ADRESA"), QStringLiteral("Polje 2")},
                 {QStringLiteral("TELEFON"), QStringLiteral("01")},
                 {QStringLiteral("SKLADISTE_ZALIHA"), shop.code}};
    const auto outer = registers::Add(db(), catalogue::Warehouses(), store);
    // The shop is the stock warehouse of the outer store: not deletable.
    prompter.AnswerYes();
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::Warehouses(), shop.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer se drugo skladište poziva na ovo skladište."));
    // Documents or lots in a warehouse keep it.
    db().Exec(QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
                             "\"SIFRA_ARTIKLA\") VALUES (?, 2024, 1, 1)"),
              {outer.code});
    prompter.AnswerYes();
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::Warehouses(), outer.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer za ovo skladište postoje dokumenti."));
    // The warehouse this workstation works in is not deleted under it.
    EXPECT_EQ(Refusal([&] {
                  registers::Delete(db(), catalogue::Warehouses(), shop.code, prompter,
                                    registers::OperationContext{shop.code});
              }),
              QStringLiteral("Nije dozvoljeno brisanje jer je ovo skladište aktivno."));
    db().Exec(QStringLiteral("DELETE FROM \"NABAVE\""));
    prompter.AnswerYes().AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Warehouses(), outer.code, prompter));
    EXPECT_TRUE(registers::Delete(db(), catalogue::Warehouses(), shop.code, prompter));
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"SKLADISTA\"")), 0);
}

TEST_F(OtherRegistersTest, InvoiceBookOneStaysAndBooksWithInvoicesStay) {
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::OutputInvoiceBooks(), 1, prompter); }),
        QStringLiteral("Ovu knjigu IRA ne možete izbrisati"));
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::InputInvoiceBooks(), 1, prompter); }),
        QStringLiteral("Ovu knjigu URA ne možete izbrisati"));
    const auto ira =
        registers::Add(db(), catalogue::OutputInvoiceBooks(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("Veleprodaja")},
                        {QStringLiteral("TekstIspis"), QStringLiteral("Plaćanje u roku")},
                        {QStringLiteral("SKIDA"), true}});
    EXPECT_TRUE(registers::Load(db(), catalogue::OutputInvoiceBooks(), ira.code)
                    ->value(QStringLiteral("SKIDA"))
                    .toBool());
    db().Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                             "RACUNA\") VALUES (1, ?, 2026, 1)"),
              {ira.code});
    prompter.AnswerYes();
    EXPECT_EQ(Refusal([&] {
                  registers::Delete(db(), catalogue::OutputInvoiceBooks(), ira.code, prompter);
              }),
              QStringLiteral("Nije dozvoljeno brisanje jer u ovoj knjizi IRA postoje računi."));
    const auto ura = registers::Add(db(), catalogue::InputInvoiceBooks(),
                                    {{QStringLiteral("NAZIV"), QStringLiteral("Troškovi")}});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::InputInvoiceBooks(), ura.code, prompter));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Sigurno želite izbrisati knjigu URA Troškovi ?"));
}

TEST_F(OtherRegistersTest, ReferencedGroupsAndCurrenciesAreRefusedWithNothingChanged) {
    const auto group =
        registers::Add(db(), catalogue::ArticleGroups(),
                       {{QStringLiteral("NAZIV"), QStringLiteral("Pića")},
                        {QStringLiteral("VELEPRODAJNA_MARZA"), QStringLiteral("20")},
                        {QStringLiteral("MALOPRODAJNA_MARZA"), QStringLiteral("10")}});
    const auto tax = registers::Add(db(), catalogue::TaxGroups(),
                                    {{QStringLiteral("NAZIV"), QStringLiteral("PDV 10%")},
                                     {QStringLiteral("STOPA"), QStringLiteral("10")}});
    const auto usd = registers::Add(db(), catalogue::Currencies(),
                                    {{QStringLiteral("NAZIV"), QStringLiteral("USD")}});
    Values typed = Article(QStringLiteral("Sok"));
    typed.insert(QStringLiteral("GRUPA_A"), group.code);
    typed.insert(QStringLiteral("GRUPA_P"), tax.code);
    typed.insert(QStringLiteral("VALUTA"), usd.code);
    const int article = registers::Add(db(), catalogue::Articles(), typed).code;
    registers::Add(
        db(), catalogue::Services(),
        {{QStringLiteral("NAZIV"), QStringLiteral("Usluga")}, {QStringLiteral("GRUPA_P"), 4}});
    const auto before =
        db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"GRUPE_A\"")).toInt() * 100 +
        db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"GRUPE_POREZA\"")).toInt() * 10 +
        db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"VALUTE\"")).toInt();
    prompter.AnswerYes().AnswerYes().AnswerYes().AnswerYes();
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::ArticleGroups(), group.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer u ovoj grupi artikala postoje artikli."));
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::TaxGroups(), tax.code, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer postoje artikli s ovom grupom poreza."));
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::TaxGroups(), 4, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer postoje usluge s ovom grupom poreza."));
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::Currencies(), usd.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer postoje artikli s cijenom u ovoj valuti."));
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Currencies(), 1, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer je ovo domaća valuta."));
    const auto after =
        db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"GRUPE_A\"")).toInt() * 100 +
        db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"GRUPE_POREZA\"")).toInt() * 10 +
        db().Scalar(QStringLiteral("SELECT COUNT(*) FROM \"VALUTE\"")).toInt();
    EXPECT_EQ(after, before);

    // A group in a price list's discounts and a currency of a list price are references too.
    const auto list = registers::Add(db(), pricelists::Register(),
                                     {{QStringLiteral("NAZIV"), QStringLiteral("A")}});
    pricelists::SetDiscount(db(), list.code, group.code, 5, false);
    pricelists::SetPrice(db(), list.code, article, usd.code, 2);
    prompter.AnswerYes();
    registers::Update(db(), catalogue::Articles(), article,
                      {{QStringLiteral("GRUPA_A"), 1}, {QStringLiteral("VALUTA"), 1}});
    prompter.Clear();
    prompter.AnswerYes().AnswerYes();
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::ArticleGroups(), group.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer je ova grupa artikala upisana u cjenicima."));
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::Currencies(), usd.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer je ova valuta upisana u cjenicima."));
    // Once free, a currency goes with its rates.
    pricelists::SetPrice(db(), list.code, article, 1, 2);
    exchangerates::SetRate(db(), usd.code, QDate(2026, 3, 2), QStringLiteral("0,92"));
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Currencies(), usd.code, prompter));
    EXPECT_EQ(
        Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"VALUTE_TECAJ\" WHERE \"SIFRA\" = ?"),
              {usd.code}),
        0);
}

TEST_F(OtherRegistersTest, SmallRegistersCheckTheirNamesAndReferences) {
    EXPECT_EQ(
        Refusal([&] {
            registers::Add(db(), catalogue::Employees(), {{QStringLiteral("IME"), QString()}});
        }),
        QStringLiteral("Ime je duže od 255 znakova ili nije upisano"));
    const auto worker = registers::Add(db(), catalogue::Employees(),
                                       {{QStringLiteral("IME"), QStringLiteral("Marko Đurić")}});
    EXPECT_EQ(Refusal([&] {
                  registers::Add(db(), catalogue::Employees(),
                                 {{QStringLiteral("IME"), QStringLiteral("marko đurić")}});
              }),
              QStringLiteral("Djelatnik sa imenom 'marko đurić' je već upisan."));
    db().Exec(
        QStringLiteral("INSERT INTO \"STAVKE_RACUNA_DJELATNICI\" (\"SKLADISTE\", \"IRA\", "
                       "\"GODINA\", \"BROJ_RACUNA\", \"DJELATNIK\") VALUES (1, 1, 2026, 1, ?)"),
        {worker.code});
    prompter.AnswerYes();
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::Employees(), worker.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer je ovaj djelatnik upisan na računima."));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Sigurno želite izbrisati djelatnika Marko Đurić ?"));

    const auto post = registers::Add(db(), catalogue::DeliveryMethods(),
                                     {{QStringLiteral("NAZIV"), QStringLiteral("pošta")}});
    Values partner = Partner(QStringLiteral("Kupac"));
    partner.insert(QStringLiteral("NACIN_ISPORUKE"), post.code);
    registers::Add(db(), catalogue::Partners(), partner);
    prompter.AnswerYes();
    EXPECT_EQ(
        Refusal(
            [&] { registers::Delete(db(), catalogue::DeliveryMethods(), post.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer je ovaj način isporuke upisan kod partnera."));

    const auto visa = registers::Add(db(), catalogue::CardTypes(),
                                     {{QStringLiteral("NAZIV"), QStringLiteral("Visa")}});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::CardTypes(), visa.code, prompter));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Sigurno želite izbrisati tip kreditne kartice Visa ?"));

    const auto crate = registers::Add(db(), catalogue::Packaging(),
                                      {{QStringLiteral("NAZIV"), QStringLiteral("Gajba")},
                                       {QStringLiteral("CIJENA"), QStringLiteral("3")}});
    EXPECT_EQ(Refusal([&] {
                  registers::Add(db(), catalogue::Packaging(),
                                 {{QStringLiteral("NAZIV"), QStringLiteral("Boca")},
                                  {QStringLiteral("CIJENA"), QStringLiteral("x")}});
              }),
              QStringLiteral("Cijena nije ispravno upisana"));
    db().Exec(QStringLiteral("INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
                             "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\") VALUES "
                             "(1, 2026, 1, 'AMB', ?, 1)"),
              {crate.code});
    prompter.AnswerYes();
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::Packaging(), crate.code, prompter); }),
        QStringLiteral("Nije dozvoljeno brisanje jer je ova ambalaža upisana na dokumentima."));
    // Lists are in Croatian order: Č after C, Đ after D.
    for (const char16_t* name : {u"Čakovec", u"Cres", u"Đakovo", u"Dubrovnik", u"Zadar"}) {
        registers::Add(db(), catalogue::DeliveryMethods(),
                       {{QStringLiteral("NAZIV"), QString::fromUtf16(name)}});
    }
    QStringList names;
    for (const auto& row : registers::List(db(), catalogue::DeliveryMethods())) {
        names << row.name;
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Cres"), QStringLiteral("Čakovec"),
                                  QStringLiteral("Dubrovnik"), QStringLiteral("Đakovo"),
                                  QStringLiteral("osobno"), QStringLiteral("pošta"),
                                  QStringLiteral("Zadar")}));
}

TEST_F(OtherRegistersTest, ADeletedRowIsReportedNotSilentlyIgnored) {
    const auto visa = registers::Add(db(), catalogue::CardTypes(),
                                     {{QStringLiteral("NAZIV"), QStringLiteral("Visa")}});
    db().Exec(QStringLiteral("DELETE FROM \"TIPOVI_KARTICA\""));
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::CardTypes(), visa.code,
                                    {{QStringLiteral("NAZIV"), QStringLiteral("Amex")}});
              }),
              QStringLiteral("Ovaj zapis je u međuvremenu izbrisan."));
    EXPECT_EQ(
        Refusal([&] { registers::Delete(db(), catalogue::CardTypes(), visa.code, prompter); }),
        QStringLiteral("Ovaj zapis je u međuvremenu izbrisan."));
}

TEST_F(OtherRegistersTest, BillsOfMaterialsKeepPartsAndCosts) {
    const int product = AddArticle(db(), QStringLiteral("Stol"));
    const int leg = AddArticle(db(), QStringLiteral("Noga stola"));
    const int top = AddArticle(db(), QStringLiteral("Ploča"));
    EXPECT_EQ(Refusal([&] { registers::billsofmaterials::Add(db(), 999); }),
              QStringLiteral("Nije izabran artikal"));
    const int bill = registers::billsofmaterials::Add(db(), product);
    EXPECT_EQ(Refusal([&] { registers::billsofmaterials::Add(db(), product); }),
              QStringLiteral("Sastavnica za artikal 'Stol' je već upisana."));
    EXPECT_EQ(Refusal([&] {
                  registers::billsofmaterials::SetPart(db(), bill, product, QStringLiteral("1"));
              }),
              QStringLiteral("Proizvod ne može biti dio svoje sastavnice."));
    EXPECT_EQ(Refusal([&] {
                  registers::billsofmaterials::SetPart(db(), bill, leg, QStringLiteral("0"));
              }),
              QStringLiteral("Količina nesmije biti nula !"));
    EXPECT_EQ(Refusal([&] {
                  registers::billsofmaterials::SetPart(db(), bill, leg, QStringLiteral("-2"));
              }),
              QStringLiteral("Količina nije ispravno upisana"));
    registers::billsofmaterials::SetPart(db(), bill, leg, QStringLiteral("4"));
    registers::billsofmaterials::SetPart(db(), bill, top, QStringLiteral("1"), 12);
    registers::billsofmaterials::SetPart(db(), bill, leg, QStringLiteral("3"));
    const auto parts = registers::billsofmaterials::Parts(db(), bill);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].name, QStringLiteral("Noga stola"));
    EXPECT_DOUBLE_EQ(parts[0].quantity, 3);
    EXPECT_EQ(parts[1].lot, 12);
    EXPECT_EQ(Refusal([&] {
                  registers::billsofmaterials::AddCost(db(), bill, QString(), QStringLiteral("1"),
                                                       QStringLiteral("1"));
              }),
              QStringLiteral("Opis je duži od 255 znakova ili nije upisan"));
    EXPECT_EQ(Refusal([&] {
                  registers::billsofmaterials::AddCost(db(), bill, QStringLiteral("Rad"),
                                                       QStringLiteral("2"), QStringLiteral("x"));
              }),
              QStringLiteral("Cijena nije ispravno upisana"));
    registers::billsofmaterials::AddCost(db(), bill, QStringLiteral("Rad"), QStringLiteral("2,5"),
                                         QStringLiteral("12"));
    ASSERT_EQ(registers::billsofmaterials::Costs(db(), bill).size(), 1u);
    EXPECT_DOUBLE_EQ(registers::billsofmaterials::Costs(db(), bill).front().value, 30);
    registers::billsofmaterials::AddCost(db(), bill, QStringLiteral("Lak"), QStringLiteral("1"),
                                         QStringLiteral("4,5"));
    EXPECT_DOUBLE_EQ(registers::billsofmaterials::DependentCostPerUnit(db(), bill), 34.5);
    EXPECT_EQ(registers::billsofmaterials::BillOf(db(), product), bill);
    EXPECT_FALSE(registers::billsofmaterials::BillOf(db(), leg));
    ASSERT_EQ(registers::billsofmaterials::List(db()).size(), 1u);
    prompter.AnswerNo();
    EXPECT_FALSE(registers::billsofmaterials::Delete(db(), bill, prompter));
    EXPECT_EQ(prompter.Shown().last(),
              QStringLiteral("Sigurno želite izbrisati sastavnicu za Stol ?"));
    prompter.AnswerYes();
    EXPECT_TRUE(registers::billsofmaterials::Delete(db(), bill, prompter));
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_SASTAVNICA\"")), 0);
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_SASTAVNICA_TROSKOVI\"")),
              0);
}

TEST_F(OtherRegistersTest, ThePartnerGridSavesCellsThroughTheEntryChecks) {
    registers::Add(db(), catalogue::Partners(),
                   Partner(QStringLiteral("Alfa"), QStringLiteral("111")));
    registers::Add(db(), catalogue::Partners(),
                   Partner(QStringLiteral("Beta"), QStringLiteral("222")));
    const auto post = registers::Add(db(), catalogue::DeliveryMethods(),
                                     {{QStringLiteral("NAZIV"), QStringLiteral("pošta")}});
    registers::RegisterGridModel model(db(), catalogue::Partners(), prompter);
    ASSERT_EQ(model.rowCount(), 4);  // Alfa, Beta, Kupac u maloprodaji, Prijenos iz prošle godine
    const int oib = model.ColumnOf(QStringLiteral("OIB"));
    const int delay = model.ColumnOf(QStringLiteral("ODGODA"));
    const int customer = model.ColumnOf(QStringLiteral("Kupac"));
    const int delivery = model.ColumnOf(QStringLiteral("NACIN_ISPORUKE"));
    EXPECT_EQ(model.data(model.index(2, customer)).toString(), QStringLiteral("DA"));
    EXPECT_FALSE(model.setData(model.index(1, oib), QStringLiteral("111")));
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Partner sa OIB-om '111' je već upisan."));
    EXPECT_FALSE(model.setData(model.index(0, delay), QStringLiteral("dugo")));
    EXPECT_EQ(prompter.LastMessage(), QStringLiteral("Odgoda plaćanja nije upisana kao broj"));
    EXPECT_TRUE(model.setData(model.index(0, delivery), QStringLiteral("POŠTA")));
    EXPECT_EQ(model.data(model.index(0, delivery)).toString(), QStringLiteral("pošta"));
    EXPECT_EQ(registers::Load(
                  db(), catalogue::Partners(),
                  model.data(model.index(0, 0), registers::RegisterGridModel::CodeRole).toInt())
                  ->value(QStringLiteral("NACIN_ISPORUKE"))
                  .toInt(),
              post.code);
}

}  // namespace
