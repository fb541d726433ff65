#include <QDate>

#include "RegisterTestSupport.h"
#include "data/ExchangeRates.h"
#include "pricelists/PriceLists.h"
#include "registers/BillsOfMaterials.h"
#include "registers/RegisterGridModel.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::test;
using registers::Values;
namespace catalogue = registers::catalogue;

namespace {

using OtherRegistersTest = RegisterTest;

TEST_F(OtherRegistersTest, PartnerChecksInOrder) {
    Values typed{{u"NAZIV"_s, QString(81, QLatin1Char('n'))},
                 {u"ADRESA"_s, QString()},
                 {u"MJESTO"_s, QString(81, QLatin1Char('m'))},
                 {u"TELEFON"_s, QString(81, QLatin1Char('1'))},
                 {u"OIB"_s, QString(41, QLatin1Char('2'))},
                 {u"MB/JMBG"_s, QString(41, QLatin1Char('3'))},
                 {u"ZIRO_RACUN"_s, QString(81, QLatin1Char('4'))},
                 {u"OSTALO"_s, QString(256, QLatin1Char('o'))},
                 {u"RABAT"_s, u"deset"_s},
                 {u"ODGODA"_s, u"15,5"_s},
                 {u"CJENIK"_s, 77},
                 {u"NACIN_ISPORUKE"_s, 77}};
    const std::vector<std::tuple<QString, QString, QVariant>> steps = {
        {u"Naziv je duži od 80 znakova ili nije upisan"_s, u"NAZIV"_s, u"Kod Ane's"_s},
        {u"Adresa je duža od 80 znakova ili nije upisana"_s, u"ADRESA"_s, u"Savska 5"_s},
        {u"Mjesto je duže od 80 znakova ili nije upisano"_s, u"MJESTO"_s, u"Zagreb"_s},
        {u"Telefon je duži od 80 znakova"_s, u"TELEFON"_s, QString()},
        {u"OIB je duži od 40 znakova"_s, u"OIB"_s, u"69435151530"_s},
        {u"MB/JMBG je duži od 40 znakova"_s, u"MB/JMBG"_s, QString()},
        {u"Žiro račun je duži od 80 znakova"_s, u"ZIRO_RACUN"_s, QString()},
        {u"Ostalo je duže od 255 znakova"_s, u"OSTALO"_s, QString()},
        {u"Rabat nije upisan kao broj"_s, u"RABAT"_s, u"10"_s},
        {u"Odgoda plaćanja nije upisana kao broj"_s, u"ODGODA"_s, u"30"_s},
        {u"Cjenik nije ispravno upisan"_s, u"CJENIK"_s, 0},
        {u"Način isporuke nije ispravno upisan"_s, u"NACIN_ISPORUKE"_s, 1},
    };
    for (const auto& [message, column, fix] : steps) {
        EXPECT_EQ(RefusedAdd(catalogue::Partners(), typed), message);
        typed.insert(column, fix);
    }
    const auto added = registers::Add(db(), catalogue::Partners(), typed);
    EXPECT_EQ(added.name, u"Kod Ane's"_s);
    const auto stored = registers::Load(db(), catalogue::Partners(), added.code);
    EXPECT_EQ(stored->value(u"ODGODA"_s).toInt(), 30);
    EXPECT_EQ(stored->value(u"CJENIK"_s).toInt(), 0);
    // The entry window starts with a payment delay of 15 days.
    EXPECT_EQ(registers::StartValues(catalogue::Partners()).value(u"ODGODA"_s).toString(), u"15"_s);
}

TEST_F(OtherRegistersTest, PartnerDuplicatesByNameAndOibButNotByAnEmptyOib) {
    registers::Add(db(), catalogue::Partners(), Partner(u"Đurđevac trade"_s, u"94577403194"_s));
    EXPECT_EQ(RefusedAdd(catalogue::Partners(), Partner(u"đurđevac TRADE"_s)),
              u"Partner sa nazivom 'đurđevac TRADE' je već upisan."_s);
    EXPECT_EQ(RefusedAdd(catalogue::Partners(), Partner(u"Drugi"_s, u"94577403194"_s)),
              u"Partner sa OIB-om '94577403194' je već upisan."_s);
    EXPECT_NO_THROW(registers::Add(db(), catalogue::Partners(), Partner(u"Bez OIB-a 1"_s)));
    EXPECT_NO_THROW(
        registers::Add(db(), catalogue::Partners(), Partner(u"Bez OIB-a 2"_s, u"  "_s)));
}

TEST_F(OtherRegistersTest,
       TheTwoPartnersTheProgramNeedsCannotBeDeletedAndDocumentsKeepTheirPartner) {
    EXPECT_EQ(RefusedDelete(catalogue::Partners(), 2),
              u"Prijenos iz prošle godine ne možete izbrisati"_s);
    EXPECT_EQ(RefusedDelete(catalogue::Partners(), 1),
              u"Kupca u maloprodaji ne možete izbrisati"_s);
    EXPECT_TRUE(prompter.Shown().isEmpty()) << "refused before asking";
    const int customer =
        registers::Add(db(), catalogue::Partners(), Partner(u"Kupac d.o.o."_s)).code;
    db().Exec(
        u"INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
        "RACUNA\", \"SIFRA PARTNERA\") VALUES (1, 1, 2026, 1, ?)"_s,
        {customer});
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::Partners(), customer),
              u"Nije dozvoljeno brisanje jer za ovog partnera postoje dokumenti."_s);
    EXPECT_EQ(prompter.Shown().last(), u"Sigurno želite izbrisati partnera Kupac d.o.o. ?"_s);
    db().Exec(u"DELETE FROM \"RACUNI\""_s);
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Partners(), customer, prompter));
}

TEST_F(OtherRegistersTest, ServiceChecksAndDeletionCountsOnlyServiceLines) {
    Values typed{{u"NAZIV"_s, QString()},
                 {u"JED_M"_s, u"sati"_s},
                 {u"CIJENA"_s, u"x"_s},
                 {u"GRUPA_P"_s, 9},
                 {u"TRAJANJE_MINUTA"_s, QString()}};
    const std::vector<std::tuple<QString, QString, QVariant>> steps = {
        {u"Grupa poreza nije ispravno upisana"_s, u"GRUPA_P"_s, 1},
        {u"Naziv je duži od 255 znakova ili nije upisan"_s, u"NAZIV"_s, u"Montaža"_s},
        {u"Jedinica mjere je duža od 3 znaka ili nije upisana"_s, u"JED_M"_s, u"h"_s},
        {u"Cijena nije ispravno upisana"_s, u"CIJENA"_s, u"25,00"_s},
        {u"Trajanje nije ispravno upisana"_s, u"TRAJANJE_MINUTA"_s, u"60"_s},
    };
    for (const auto& [message, column, fix] : steps) {
        EXPECT_EQ(RefusedAdd(catalogue::Services(), typed), message);
        typed.insert(column, fix);
    }
    const int service = registers::Add(db(), catalogue::Services(), typed).code;
    EXPECT_EQ(RefusedAdd(catalogue::Services(), typed),
              u"Usluga sa nazivom 'Montaža' je već upisana."_s);
    // An article with the same code on an invoice does not hold the service.
    db().Exec(
        u"INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
        "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
        "\"RBR_STAVKE\") VALUES (1, 1, 2026, 1, 'ART', ?, 1, 1)"_s,
        {service});
    const int second =
        registers::Add(db(), catalogue::Services(), {{u"NAZIV"_s, u"Dostava"_s}, {u"GRUPA_P"_s, 1}})
            .code;
    db().Exec(
        u"INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
        "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
        "\"RBR_STAVKE\") VALUES (1, 1, 2026, 1, 'USL', ?, 1, 2)"_s,
        {second});
    prompter.AnswerYes().AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Services(), service, prompter));
    EXPECT_EQ(RefusedDelete(catalogue::Services(), second),
              u"Ova usluga je upisana na nekim računima i nije dozvoljeno njeno brisanje."_s);
    EXPECT_EQ(prompter.Shown().last(), u"Sigurno želite izbrisati uslugu Dostava ?"_s);
}

TEST_F(OtherRegistersTest, SalesTermsOneToSevenAndMaloprodajaStay) {
    EXPECT_EQ(RefusedDelete(catalogue::SalesTerms(), 1),
              u"Uvjet prodaje Maloprodaja ne možete izbrisati"_s);
    EXPECT_EQ(RefusedDelete(catalogue::SalesTerms(), 7),
              u"Uvjet prodaje Oslobođeno - tuzemstvo ne možete izbrisati"_s);
    EXPECT_EQ(RefusedDelete(catalogue::SalesTerms(), 3),
              u"Uvjet prodaje Izvoz ne možete izbrisati"_s);
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_EQ(RefusedAdd(catalogue::SalesTerms(), {{u"NAZIV"_s, QString(61, QLatin1Char('u'))}}),
              u"Naziv je duži od 60 znakova ili nije upisan"_s);
    EXPECT_EQ(RefusedAdd(catalogue::SalesTerms(),
                         {{u"NAZIV"_s, u"Akcija"_s}, {u"POCETNI_BR_RACUNA"_s, u"prvi"_s}}),
              u"Početni broj računa nije ispravno upisan"_s);
    const auto eight = registers::Add(db(), catalogue::SalesTerms(),
                                      {{u"NAZIV"_s, u"Akcija"_s},
                                       {u"SAMOSTALNA_NUMERACIJA"_s, true},
                                       {u"POCETNI_BR_RACUNA"_s, u"5000"_s}});
    EXPECT_EQ(eight.code, 8);
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::SalesTerms(), 8, prompter));
    EXPECT_EQ(prompter.Shown().last(), u"Sigurno želite izbrisati uvjet prodaje Akcija ?"_s);
}

TEST_F(OtherRegistersTest, WarehouseChecksDefaultStockWarehouseAndReferences) {
    Values typed{{u"NAZIV"_s, QString(26, QLatin1Char('s'))},
                 {u"ADRESA"_s, QString()},
                 {u"TELEFON"_s, QString(26, QLatin1Char('0'))},
                 {u"SKLADISTE_ZALIHA"_s, 44}};
    const std::vector<std::tuple<QString, QString, QVariant>> steps = {
        {u"Naziv je duži od 25 znakova ili nije upisan"_s, u"NAZIV"_s, u"Dućan Split"_s},
        {u"Adresa je duža od 25 znakova ili nije upisana"_s, u"ADRESA"_s, u"Riva 1"_s},
        {u"Telefon je duži od 25 znakova ili nije upisan"_s, u"TELEFON"_s, u"021 123"_s},
        {u"Skladište zaliha nije ispravno upisano"_s, u"SKLADISTE_ZALIHA"_s, QString()},
    };
    for (const auto& [message, column, fix] : steps) {
        EXPECT_EQ(RefusedAdd(catalogue::Warehouses(), typed), message);
        typed.insert(column, fix);
    }
    typed.insert(u"MALOPRODAJA"_s, true);
    const auto shop = registers::Add(db(), catalogue::Warehouses(), typed);
    const auto stored = registers::Load(db(), catalogue::Warehouses(), shop.code);
    EXPECT_EQ(stored->value(u"SKLADISTE_ZALIHA"_s).toInt(), shop.code)
        << "sells from its own stock";
    EXPECT_TRUE(stored->value(u"MALOPRODAJA"_s).toBool());
    EXPECT_EQ(RefusedAdd(catalogue::Warehouses(), typed),
              u"Skladište sa nazivom 'Dućan Split' je već upisano."_s);

    Values store{{u"NAZIV"_s, u"Vanjsko"_s},
                 {u"ADRESA"_s, u"Polje 2"_s},
                 {u"TELEFON"_s, u"01"_s},
                 {u"SKLADISTE_ZALIHA"_s, shop.code}};
    const auto outer = registers::Add(db(), catalogue::Warehouses(), store);
    // The shop is the stock warehouse of the outer store: not deletable.
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::Warehouses(), shop.code),
              u"Nije dozvoljeno brisanje jer se drugo skladište poziva na ovo skladište."_s);
    // Documents or lots in a warehouse keep it.
    db().Exec(
        u"INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
        "\"SIFRA_ARTIKLA\") VALUES (?, 2024, 1, 1)"_s,
        {outer.code});
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::Warehouses(), outer.code),
              u"Nije dozvoljeno brisanje jer za ovo skladište postoje dokumenti."_s);
    // The warehouse this workstation works in is not deleted under it.
    EXPECT_EQ(Refusal([&] {
                  registers::Delete(db(), catalogue::Warehouses(), shop.code, prompter,
                                    registers::OperationContext{shop.code});
              }),
              u"Nije dozvoljeno brisanje jer je ovo skladište aktivno."_s);
    db().Exec(u"DELETE FROM \"NABAVE\""_s);
    prompter.AnswerYes().AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Warehouses(), outer.code, prompter));
    EXPECT_TRUE(registers::Delete(db(), catalogue::Warehouses(), shop.code, prompter));
    EXPECT_EQ(Count(db(), u"SELECT COUNT(*) FROM \"SKLADISTA\""_s), 0);
}

TEST_F(OtherRegistersTest, InvoiceBookOneStaysAndBooksWithInvoicesStay) {
    EXPECT_EQ(RefusedDelete(catalogue::OutputInvoiceBooks(), 1),
              u"Ovu knjigu IRA ne možete izbrisati"_s);
    EXPECT_EQ(RefusedDelete(catalogue::InputInvoiceBooks(), 1),
              u"Ovu knjigu URA ne možete izbrisati"_s);
    const auto ira = registers::Add(db(), catalogue::OutputInvoiceBooks(),
                                    {{u"NAZIV"_s, u"Veleprodaja"_s},
                                     {u"TekstIspis"_s, u"Plaćanje u roku"_s},
                                     {u"SKIDA"_s, true}});
    EXPECT_TRUE(registers::Load(db(), catalogue::OutputInvoiceBooks(), ira.code)
                    ->value(u"SKIDA"_s)
                    .toBool());
    db().Exec(
        u"INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
        "RACUNA\") VALUES (1, ?, 2026, 1)"_s,
        {ira.code});
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::OutputInvoiceBooks(), ira.code),
              u"Nije dozvoljeno brisanje jer u ovoj knjizi IRA postoje računi."_s);
    const auto ura =
        registers::Add(db(), catalogue::InputInvoiceBooks(), {{u"NAZIV"_s, u"Troškovi"_s}});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::InputInvoiceBooks(), ura.code, prompter));
    EXPECT_EQ(prompter.Shown().last(), u"Sigurno želite izbrisati knjigu URA Troškovi ?"_s);
}

TEST_F(OtherRegistersTest, ReferencedGroupsAndCurrenciesAreRefusedWithNothingChanged) {
    const auto group = registers::Add(db(), catalogue::ArticleGroups(),
                                      {{u"NAZIV"_s, u"Pića"_s},
                                       {u"VELEPRODAJNA_MARZA"_s, u"20"_s},
                                       {u"MALOPRODAJNA_MARZA"_s, u"10"_s}});
    const auto tax = registers::Add(db(), catalogue::TaxGroups(),
                                    {{u"NAZIV"_s, u"PDV 10%"_s}, {u"STOPA"_s, u"10"_s}});
    const auto usd = registers::Add(db(), catalogue::Currencies(), {{u"NAZIV"_s, u"USD"_s}});
    Values typed = Article(u"Sok"_s);
    typed.insert(u"GRUPA_A"_s, group.code);
    typed.insert(u"GRUPA_P"_s, tax.code);
    typed.insert(u"VALUTA"_s, usd.code);
    const int article = registers::Add(db(), catalogue::Articles(), typed).code;
    registers::Add(db(), catalogue::Services(), {{u"NAZIV"_s, u"Usluga"_s}, {u"GRUPA_P"_s, 4}});
    const auto before = db().Scalar(u"SELECT COUNT(*) FROM \"GRUPE_A\""_s).toInt() * 100 +
                        db().Scalar(u"SELECT COUNT(*) FROM \"GRUPE_POREZA\""_s).toInt() * 10 +
                        db().Scalar(u"SELECT COUNT(*) FROM \"VALUTE\""_s).toInt();
    prompter.AnswerYes().AnswerYes().AnswerYes().AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::ArticleGroups(), group.code),
              u"Nije dozvoljeno brisanje jer u ovoj grupi artikala postoje artikli."_s);
    EXPECT_EQ(RefusedDelete(catalogue::TaxGroups(), tax.code),
              u"Nije dozvoljeno brisanje jer postoje artikli s ovom grupom poreza."_s);
    EXPECT_EQ(RefusedDelete(catalogue::TaxGroups(), 4),
              u"Nije dozvoljeno brisanje jer postoje usluge s ovom grupom poreza."_s);
    EXPECT_EQ(RefusedDelete(catalogue::Currencies(), usd.code),
              u"Nije dozvoljeno brisanje jer postoje artikli s cijenom u ovoj valuti."_s);
    EXPECT_EQ(RefusedDelete(catalogue::Currencies(), 1),
              u"Nije dozvoljeno brisanje jer je ovo domaća valuta."_s);
    const auto after = db().Scalar(u"SELECT COUNT(*) FROM \"GRUPE_A\""_s).toInt() * 100 +
                       db().Scalar(u"SELECT COUNT(*) FROM \"GRUPE_POREZA\""_s).toInt() * 10 +
                       db().Scalar(u"SELECT COUNT(*) FROM \"VALUTE\""_s).toInt();
    EXPECT_EQ(after, before);

    // A group in a price list's discounts and a currency of a list price are references too.
    const auto list = registers::Add(db(), pricelists::Register(), {{u"NAZIV"_s, u"A"_s}});
    pricelists::SetDiscount(db(), list.code, group.code, 5, false);
    pricelists::SetPrice(db(), list.code, article, usd.code, 2);
    prompter.AnswerYes();
    registers::Update(db(), catalogue::Articles(), article, {{u"GRUPA_A"_s, 1}, {u"VALUTA"_s, 1}});
    prompter.Clear();
    prompter.AnswerYes().AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::ArticleGroups(), group.code),
              u"Nije dozvoljeno brisanje jer je ova grupa artikala upisana u cjenicima."_s);
    EXPECT_EQ(RefusedDelete(catalogue::Currencies(), usd.code),
              u"Nije dozvoljeno brisanje jer je ova valuta upisana u cjenicima."_s);
    // Once free, a currency goes with its rates.
    pricelists::SetPrice(db(), list.code, article, 1, 2);
    exchangerates::SetRate(db(), usd.code, QDate(2026, 3, 2), u"0,92"_s);
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Currencies(), usd.code, prompter));
    EXPECT_EQ(
        Count(db(), u"SELECT COUNT(*) FROM \"VALUTE_TECAJ\" WHERE \"SIFRA\" = ?"_s, {usd.code}), 0);
}

TEST_F(OtherRegistersTest, SmallRegistersCheckTheirNamesAndReferences) {
    EXPECT_EQ(RefusedAdd(catalogue::Employees(), {{u"IME"_s, QString()}}),
              u"Ime je duže od 255 znakova ili nije upisano"_s);
    const auto worker =
        registers::Add(db(), catalogue::Employees(), {{u"IME"_s, u"Marko Đurić"_s}});
    EXPECT_EQ(RefusedAdd(catalogue::Employees(), {{u"IME"_s, u"marko đurić"_s}}),
              u"Djelatnik sa imenom 'marko đurić' je već upisan."_s);
    db().Exec(
        u"INSERT INTO \"STAVKE_RACUNA_DJELATNICI\" (\"SKLADISTE\", \"IRA\", "
        "\"GODINA\", \"BROJ_RACUNA\", \"DJELATNIK\") VALUES (1, 1, 2026, 1, ?)"_s,
        {worker.code});
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::Employees(), worker.code),
              u"Nije dozvoljeno brisanje jer je ovaj djelatnik upisan na računima."_s);
    EXPECT_EQ(prompter.Shown().last(), u"Sigurno želite izbrisati djelatnika Marko Đurić ?"_s);

    const auto post =
        registers::Add(db(), catalogue::DeliveryMethods(), {{u"NAZIV"_s, u"pošta"_s}});
    Values partner = Partner(u"Kupac"_s);
    partner.insert(u"NACIN_ISPORUKE"_s, post.code);
    registers::Add(db(), catalogue::Partners(), partner);
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::DeliveryMethods(), post.code),
              u"Nije dozvoljeno brisanje jer je ovaj način isporuke upisan kod partnera."_s);

    const auto visa = registers::Add(db(), catalogue::CardTypes(), {{u"NAZIV"_s, u"Visa"_s}});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::CardTypes(), visa.code, prompter));
    EXPECT_EQ(prompter.Shown().last(), u"Sigurno želite izbrisati tip kreditne kartice Visa ?"_s);

    const auto crate = registers::Add(db(), catalogue::Packaging(),
                                      {{u"NAZIV"_s, u"Gajba"_s}, {u"CIJENA"_s, u"3"_s}});
    EXPECT_EQ(RefusedAdd(catalogue::Packaging(), {{u"NAZIV"_s, u"Boca"_s}, {u"CIJENA"_s, u"x"_s}}),
              u"Cijena nije ispravno upisana"_s);
    db().Exec(
        u"INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
        "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\") VALUES "
        "(1, 2026, 1, 'AMB', ?, 1)"_s,
        {crate.code});
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::Packaging(), crate.code),
              u"Nije dozvoljeno brisanje jer je ova ambalaža upisana na dokumentima."_s);
    // Lists are in Croatian order: Č after C, Đ after D.
    for (const char16_t* name : {u"Čakovec", u"Cres", u"Đakovo", u"Dubrovnik", u"Zadar"}) {
        registers::Add(db(), catalogue::DeliveryMethods(),
                       {{u"NAZIV"_s, QString::fromUtf16(name)}});
    }
    QStringList names;
    for (const auto& row : registers::List(db(), catalogue::DeliveryMethods())) {
        names << row.name;
    }
    EXPECT_EQ(names, (QStringList{u"Cres"_s, u"Čakovec"_s, u"Dubrovnik"_s, u"Đakovo"_s, u"osobno"_s,
                                  u"pošta"_s, u"Zadar"_s}));
}

TEST_F(OtherRegistersTest, ADeletedRowIsReportedNotSilentlyIgnored) {
    const auto visa = registers::Add(db(), catalogue::CardTypes(), {{u"NAZIV"_s, u"Visa"_s}});
    db().Exec(u"DELETE FROM \"TIPOVI_KARTICA\""_s);
    EXPECT_EQ(
        Refusal([&] {
            registers::Update(db(), catalogue::CardTypes(), visa.code, {{u"NAZIV"_s, u"Amex"_s}});
        }),
        u"Ovaj zapis je u međuvremenu izbrisan."_s);
    EXPECT_EQ(RefusedDelete(catalogue::CardTypes(), visa.code),
              u"Ovaj zapis je u međuvremenu izbrisan."_s);
}

TEST_F(OtherRegistersTest, BillsOfMaterialsKeepPartsAndCosts) {
    const int product = AddArticle(db(), u"Stol"_s);
    const int leg = AddArticle(db(), u"Noga stola"_s);
    const int top = AddArticle(db(), u"Ploča"_s);
    EXPECT_EQ(Refusal([&] { registers::billsofmaterials::Add(db(), 999); }),
              u"Nije izabran artikal"_s);
    const int bill = registers::billsofmaterials::Add(db(), product);
    EXPECT_EQ(Refusal([&] { registers::billsofmaterials::Add(db(), product); }),
              u"Sastavnica za artikal 'Stol' je već upisana."_s);
    EXPECT_EQ(Refusal([&] { registers::billsofmaterials::SetPart(db(), bill, product, u"1"_s); }),
              u"Proizvod ne može biti dio svoje sastavnice."_s);
    EXPECT_EQ(Refusal([&] { registers::billsofmaterials::SetPart(db(), bill, leg, u"0"_s); }),
              u"Količina nesmije biti nula !"_s);
    EXPECT_EQ(Refusal([&] { registers::billsofmaterials::SetPart(db(), bill, leg, u"-2"_s); }),
              u"Količina nije ispravno upisana"_s);
    registers::billsofmaterials::SetPart(db(), bill, leg, u"4"_s);
    registers::billsofmaterials::SetPart(db(), bill, top, u"1"_s, 12);
    registers::billsofmaterials::SetPart(db(), bill, leg, u"3"_s);
    const auto parts = registers::billsofmaterials::Parts(db(), bill);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[0].name, u"Noga stola"_s);
    EXPECT_DOUBLE_EQ(parts[0].quantity, 3);
    EXPECT_EQ(parts[1].lot, 12);
    EXPECT_EQ(Refusal([&] {
                  registers::billsofmaterials::AddCost(db(), bill, QString(), u"1"_s, u"1"_s);
              }),
              u"Opis je duži od 255 znakova ili nije upisan"_s);
    EXPECT_EQ(Refusal([&] {
                  registers::billsofmaterials::AddCost(db(), bill, u"Rad"_s, u"2"_s, u"x"_s);
              }),
              u"Cijena nije ispravno upisana"_s);
    registers::billsofmaterials::AddCost(db(), bill, u"Rad"_s, u"2,5"_s, u"12"_s);
    ASSERT_EQ(registers::billsofmaterials::Costs(db(), bill).size(), 1u);
    EXPECT_DOUBLE_EQ(registers::billsofmaterials::Costs(db(), bill).front().value, 30);
    registers::billsofmaterials::AddCost(db(), bill, u"Lak"_s, u"1"_s, u"4,5"_s);
    EXPECT_DOUBLE_EQ(registers::billsofmaterials::DependentCostPerUnit(db(), bill), 34.5);
    EXPECT_EQ(registers::billsofmaterials::BillOf(db(), product), bill);
    EXPECT_FALSE(registers::billsofmaterials::BillOf(db(), leg));
    ASSERT_EQ(registers::billsofmaterials::List(db()).size(), 1u);
    prompter.AnswerNo();
    EXPECT_FALSE(registers::billsofmaterials::Delete(db(), bill, prompter));
    EXPECT_EQ(prompter.Shown().last(), u"Sigurno želite izbrisati sastavnicu za Stol ?"_s);
    prompter.AnswerYes();
    EXPECT_TRUE(registers::billsofmaterials::Delete(db(), bill, prompter));
    EXPECT_EQ(Count(db(), u"SELECT COUNT(*) FROM \"STAVKE_SASTAVNICA\""_s), 0);
    EXPECT_EQ(Count(db(), u"SELECT COUNT(*) FROM \"STAVKE_SASTAVNICA_TROSKOVI\""_s), 0);
}

TEST_F(OtherRegistersTest, ThePartnerGridSavesCellsThroughTheEntryChecks) {
    registers::Add(db(), catalogue::Partners(), Partner(u"Alfa"_s, u"111"_s));
    registers::Add(db(), catalogue::Partners(), Partner(u"Beta"_s, u"222"_s));
    const auto post =
        registers::Add(db(), catalogue::DeliveryMethods(), {{u"NAZIV"_s, u"pošta"_s}});
    registers::RegisterGridModel model(db(), catalogue::Partners(), prompter);
    ASSERT_EQ(model.rowCount(), 4);  // Alfa, Beta, Kupac u maloprodaji, Prijenos iz prošle godine
    const int oib = model.ColumnOf(u"OIB"_s);
    const int delay = model.ColumnOf(u"ODGODA"_s);
    const int customer = model.ColumnOf(u"Kupac"_s);
    const int delivery = model.ColumnOf(u"NACIN_ISPORUKE"_s);
    EXPECT_EQ(model.data(model.index(2, customer)).toString(), u"DA"_s);
    EXPECT_FALSE(model.setData(model.index(1, oib), u"111"_s));
    EXPECT_EQ(prompter.LastMessage(), u"Partner sa OIB-om '111' je već upisan."_s);
    EXPECT_FALSE(model.setData(model.index(0, delay), u"dugo"_s));
    EXPECT_EQ(prompter.LastMessage(), u"Odgoda plaćanja nije upisana kao broj"_s);
    EXPECT_TRUE(model.setData(model.index(0, delivery), u"POŠTA"_s));
    EXPECT_EQ(model.data(model.index(0, delivery)).toString(), u"pošta"_s);
    EXPECT_EQ(registers::Load(
                  db(), catalogue::Partners(),
                  model.data(model.index(0, 0), registers::RegisterGridModel::CodeRole).toInt())
                  ->value(u"NACIN_ISPORUKE"_s)
                  .toInt(),
              post.code);
}

}  // namespace
