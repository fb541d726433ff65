#include <QDate>

#include "RegisterTestSupport.h"
#include "data/InputRules.h"
#include "pricelists/PriceLists.h"
#include "registers/Articles.h"
#include "registers/BillsOfMaterials.h"
#include "registers/TypedValue.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::test;
using registers::Values;
namespace catalogue = registers::catalogue;
namespace articles = registers::articles;

namespace {

class ArticleRegisterTest : public RegisterTest {
protected:
    int ArticleCount() { return Count(db(), u"SELECT COUNT(*) FROM \"ARTIKLI\""_s); }

    // A posted receipt line of an article (on its card), with a lot.
    void Receive(int article, int number, double quantity, int warehouse = 1, int year = 2026,
                 int supplier = 2) {
        db().Exec(
            u"INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ "
            "PRIMKE\", \"DATUM\", \"SIFRA DOBAVLJACA\", \"RBR_TK\") VALUES "
            "(?, ?, ?, '2026-03-02', ?, ?) ON CONFLICT DO NOTHING"_s,
            {warehouse, year, number, supplier, number});
        db().Exec(
            u"INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
            "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
            "\"NABAVNA_CIJENA\", \"CIJENA\", \"RUC_%\", \"RBR_STAVKE\") VALUES "
            "(?, ?, ?, 'ART', ?, ?, ?, ?, ?, 1)"_s,
            {warehouse, year, number, article, quantity, 8.0 + number, 10.0 + number, 25.0});
        db().Exec(
            u"INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", "
            "\"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\", "
            "\"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", \"VELEPRODAJNA "
            "CIJENA\") VALUES (?, ?, ?, ?, ?, ?, 8, 10)"_s,
            {warehouse, year, number, article, quantity, quantity});
    }
};

TEST_F(ArticleRegisterTest, EntryChecksRunInTheirOrderAndEachStopsWithItsMessage) {
    AddArticle(db(), u"Postojeći"_s, u"P-1"_s, u"385000"_s);
    // Every box wrong at once; fixing them one by one must bring the messages in this order.
    Values typed{{u"NAZIV"_s, QString()},
                 {u"OPIS"_s, QString(21, QLatin1Char('x'))},
                 {u"NAPOMENA"_s, QString(51, QLatin1Char('n'))},
                 {u"CARINA%"_s, u"pet"_s},
                 {u"BARKOD"_s, QString(21, QLatin1Char('1'))},
                 {u"JED_M"_s, QString()},
                 {u"CIJENA_U_VALUTI"_s, u"1,2,3"_s},
                 {u"MIN_ZAL"_s, QString()},
                 {u"PAKOVANJE"_s, u"x"_s},
                 {u"VALUTA"_s, 99},
                 {u"GRUPA_A"_s, QString()},
                 {u"GRUPA_P"_s, u"PDV"_s}};
    const std::vector<std::pair<QString, QVariant>> steps = {
        {u"Naziv je duži od 255 znakova ili nije upisan"_s, u"Postojeći"_s},
        {u"Šifra je duža od 20 znakova"_s, u"P-1"_s},
        {u"Napomena je duža od 50 znakova"_s, QString(50, QLatin1Char('n'))},
        {u"Carina % mora biti upisana kao broj (možete upisati i nulu)"_s, u"2,5"_s},
        {u"Barkod je duži od 20 znakova"_s, u"385000"_s},
        {u"Jedinica mjere je duža od 3 znaka ili nije upisana"_s, u"kom"_s},
        {u"Cijena u valuti mora biti upisana kao broj (možete upisati i nulu)"_s, u"12.5"_s},
        {u"Minimalna zaliha mora biti upisana kao broj (možete upisati i nulu)"_s, u"0"_s},
        {u"Pakovanje mora biti upisano kao broj"_s, u"6"_s},
        {u"Valuta nije ispravno upisana"_s, 1},
        {u"Grupa artikla nije ispravno upisana"_s, 1},
        {u"Grupa poreza nije ispravno upisana"_s, 2},
        {u"Artikal sa nazivom 'Postojeći' je već upisan."_s, u"Novi"_s},
        {u"Artikal sa šifrom 'P-1' je već upisan."_s, u"N-1"_s},
        {u"Artikal sa barkodom '385000' je već upisan."_s, u"385001"_s},
    };
    const QStringList columns = {u"NAZIV"_s,     u"OPIS"_s,   u"NAPOMENA"_s,        u"CARINA%"_s,
                                 u"BARKOD"_s,    u"JED_M"_s,  u"CIJENA_U_VALUTI"_s, u"MIN_ZAL"_s,
                                 u"PAKOVANJE"_s, u"VALUTA"_s, u"GRUPA_A"_s,         u"GRUPA_P"_s,
                                 u"NAZIV"_s,     u"OPIS"_s,   u"BARKOD"_s};
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(RefusedAdd(catalogue::Articles(), typed), steps[i].first) << "step " << i;
        EXPECT_EQ(ArticleCount(), 1) << "nothing is written while a check fails";
        typed.insert(columns.at(static_cast<int>(i)), steps[i].second);
    }
    const auto added = registers::Add(db(), catalogue::Articles(), typed);
    EXPECT_EQ(added.name, u"Novi"_s);
    EXPECT_GT(added.code, 1);
    const auto stored = registers::Load(db(), catalogue::Articles(), added.code);
    ASSERT_TRUE(stored);
    EXPECT_DOUBLE_EQ(stored->value(u"CARINA%"_s).toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(stored->value(u"CIJENA_U_VALUTI"_s).toDouble(), 12.5);
    EXPECT_EQ(stored->value(u"GRUPA_P"_s).toInt(), 2);
    EXPECT_EQ(db().Scalar(u"SELECT \"BarCodeString\" FROM \"ARTIKLI\" WHERE "
                          "\"SIFRA\" = ?"_s,
                          {added.code})
                  .toString(),
              u"*385001*"_s);
}

TEST_F(ArticleRegisterTest, TypedNumbersAreReadAsEveryNumberBoxReadsThem) {
    // What a register's box takes is what a number box takes: an exponent is a slip of the
    // finger, not a hundred thousand.
    for (const char* form : {"1e5", "1E5", "12,5e1", "1 000", "1.234,5", "inf", "nan", "0x10"}) {
        EXPECT_EQ(registers::ParseNumber(QString::fromLatin1(form)),
                  inputrules::ParseNumber(QString::fromLatin1(form)))
            << form;
        Values typed = Article(u"Čaj"_s, QString(), QString());
        typed.insert(u"CIJENA_U_VALUTI"_s, QString::fromLatin1(form));
        EXPECT_EQ(RefusedAdd(catalogue::Articles(), typed),
                  u"Cijena u valuti mora biti upisana kao broj (možete upisati i "
                  "nulu)"_s)
            << form;
    }
    EXPECT_EQ(ArticleCount(), 0);
    for (const char* form : {"12,5", "12.5", "-3", "+7", ",5", "12,"}) {
        const auto read = registers::ParseNumber(QString::fromLatin1(form));
        ASSERT_TRUE(read.has_value()) << form;
        EXPECT_EQ(read, inputrules::ParseNumber(QString::fromLatin1(form))) << form;
    }
    // An empty box holds no number (a required one is refused, an optional one stays empty),
    // where an empty number box reads as 0.
    EXPECT_FALSE(registers::ParseNumber(QString()).has_value());
    Values typed = Article(u"Čaj"_s, QString(), QString());
    typed.insert(u"CIJENA_U_VALUTI"_s, u" 1234,5 "_s);
    const auto added = registers::Add(db(), catalogue::Articles(), typed);
    EXPECT_DOUBLE_EQ(registers::Load(db(), catalogue::Articles(), added.code)
                         ->value(u"CIJENA_U_VALUTI"_s)
                         .toDouble(),
                     1234.5);
}

TEST_F(ArticleRegisterTest, LengthLimitsAcceptTheirMaximum) {
    Values typed = Article(QString(255, QChar(u'č')), QString(20, QLatin1Char('S')),
                           QString(20, QLatin1Char('9')));
    typed.insert(u"NAPOMENA"_s, QString(50, QChar(u'ž')));
    typed.insert(u"JED_M"_s, u"kom"_s);
    EXPECT_NO_THROW(registers::Add(db(), catalogue::Articles(), typed));
    typed.insert(u"NAZIV"_s, QString(256, QChar(u'd')));
    EXPECT_EQ(RefusedAdd(catalogue::Articles(), typed),
              u"Naziv je duži od 255 znakova ili nije upisan"_s);
    typed.insert(u"NAZIV"_s, u"   "_s);
    EXPECT_EQ(RefusedAdd(catalogue::Articles(), typed),
              u"Naziv je duži od 255 znakova ili nije upisan"_s);
    typed.insert(u"NAZIV"_s, u"Drugi"_s);
    typed.insert(u"JED_M"_s, u"kuti"_s);
    EXPECT_EQ(RefusedAdd(catalogue::Articles(), typed),
              u"Jedinica mjere je duža od 3 znaka ili nije upisana"_s);
}

TEST_F(ArticleRegisterTest, DuplicatesFoldLetterCaseAndIgnoreEmptyCodesAndBarcodes) {
    AddArticle(db(), u"Čaj od šipka"_s, u"Čš-1"_s);
    EXPECT_EQ(Refusal([&] { AddArticle(db(), u"ČAJ OD ŠIPKA"_s); }),
              u"Artikal sa nazivom 'ČAJ OD ŠIPKA' je već upisan."_s);
    EXPECT_EQ(Refusal([&] { AddArticle(db(), u"Čaj od kamilice"_s, u"čŠ-1"_s); }),
              u"Artikal sa šifrom 'čŠ-1' je već upisan."_s);
    // Articles without a code or a barcode are not duplicates of each other.
    EXPECT_NO_THROW(AddArticle(db(), u"Bez šifre 1"_s));
    EXPECT_NO_THROW(AddArticle(db(), u"Bez šifre 2"_s));
    EXPECT_EQ(Count(db(),
                    u"SELECT COUNT(*) FROM \"ARTIKLI\" WHERE \"OPIS\" IS NULL "
                    "AND \"BARKOD\" IS NULL"_s),
              2);
    // Blanks around a name are not part of it.
    EXPECT_EQ(Refusal([&] { AddArticle(db(), u"  Bez šifre 1 "_s); }),
              u"Artikal sa nazivom 'Bez šifre 1' je već upisan."_s);
}

TEST_F(ArticleRegisterTest, ApostrophesAndCroatianLettersAreKeptAsTyped) {
    const QString name = u"Kod Ane's \"Đakovački\" džem; šljiva 'extra'"_s;
    const int code = AddArticle(db(), name, u"A'1"_s, u"3850'1"_s);
    const auto stored = registers::Load(db(), catalogue::Articles(), code);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->value(u"NAZIV"_s).toString(), name);
    EXPECT_EQ(stored->value(u"OPIS"_s).toString(), u"A'1"_s);
    EXPECT_EQ(Refusal([&] { AddArticle(db(), name); }),
              u"Artikal sa nazivom '"_s + name + u"' je već upisan."_s);
    EXPECT_EQ(articles::FindByBarcode(db(), u"3850'1"_s), code);
    EXPECT_EQ(articles::FindByCode(db(), u"a'1"_s), code);
}

TEST_F(ArticleRegisterTest, ChangingInPlaceRunsTheEntryChecksAndKeepsWhatWasNotTyped) {
    const int first = AddArticle(db(), u"Prvi"_s, u"K1"_s, u"111"_s);
    const int second = AddArticle(db(), u"Drugi"_s, u"K2"_s, u"222"_s);
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::Articles(), second, {{u"NAZIV"_s, QString()}});
              }),
              u"Naziv je duži od 255 znakova ili nije upisan"_s);
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::Articles(), second, {{u"NAZIV"_s, u"prvi"_s}});
              }),
              u"Artikal sa nazivom 'prvi' je već upisan."_s);
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::Articles(), second, {{u"BARKOD"_s, u"111"_s}});
              }),
              u"Artikal sa barkodom '111' je već upisan."_s);
    EXPECT_EQ(
        Refusal([&] {
            registers::Update(db(), catalogue::Articles(), second, {{u"MIN_ZAL"_s, u"mnogo"_s}});
        }),
        u"Minimalna zaliha mora biti upisana kao broj (možete upisati i nulu)"_s);
    EXPECT_EQ(registers::NameOf(db(), catalogue::Articles(), second), u"Drugi"_s);
    // A row is never its own duplicate; untouched boxes keep their values.
    const auto saved =
        registers::Update(db(), catalogue::Articles(), first, {{u"NAPOMENA"_s, u"nova"_s}});
    EXPECT_EQ(saved.name, u"Prvi"_s);
    const auto stored = registers::Load(db(), catalogue::Articles(), first);
    EXPECT_EQ(stored->value(u"OPIS"_s).toString(), u"K1"_s);
    EXPECT_EQ(stored->value(u"BARKOD"_s).toString(), u"111"_s);
    EXPECT_EQ(stored->value(u"NAPOMENA"_s).toString(), u"nova"_s);
}

TEST_F(ArticleRegisterTest, TaxGroupChangesOnlyWhileTheArticleHasNoMovements) {
    const int quiet = AddArticle(db(), u"Bez prometa"_s);
    const int sold = AddArticle(db(), u"S prometom"_s);
    Receive(sold, 1, 5);
    EXPECT_TRUE(articles::HasMovements(db(), sold));
    EXPECT_FALSE(articles::HasMovements(db(), quiet));
    registers::Update(db(), catalogue::Articles(), quiet, {{u"GRUPA_P"_s, 2}});
    EXPECT_EQ(registers::Load(db(), catalogue::Articles(), quiet)->value(u"GRUPA_P"_s).toInt(), 2);
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::Articles(), sold,
                                    {{u"GRUPA_P"_s, 2}, {u"NAPOMENA"_s, u"x"_s}});
              }),
              u"Nije dozvoljeno direktno mijenjati stopu poreza jer je artikal "
              "evidentiran na dokumentima. Za promjenu grupe poreza koristite "
              "zapisnik o promjeni grupe poreza."_s);
    const auto unchanged = registers::Load(db(), catalogue::Articles(), sold);
    EXPECT_EQ(unchanged->value(u"GRUPA_P"_s).toInt(), 1);
    EXPECT_TRUE(unchanged->value(u"NAPOMENA"_s).isNull());
    // Other changes of an article with movements are fine.
    EXPECT_NO_THROW(
        registers::Update(db(), catalogue::Articles(), sold, {{u"NAPOMENA"_s, u"x"_s}}));
}

TEST_F(ArticleRegisterTest, DeleteAsksWithNoAsDefaultAndKeepsTheArticleOnNo) {
    const int code = AddArticle(db(), u"Čekić 500 g"_s);
    prompter.AnswerNo();
    EXPECT_FALSE(registers::Delete(db(), catalogue::Articles(), code, prompter));
    ASSERT_EQ(prompter.Shown().size(), 1);
    EXPECT_EQ(prompter.Shown().first(), u"Sigurno želite izbrisati artikal Čekić 500 g ?"_s);
    EXPECT_EQ(ArticleCount(), 1);
    // No answer queued: the default is No.
    EXPECT_FALSE(registers::Delete(db(), catalogue::Articles(), code, prompter));
    EXPECT_EQ(ArticleCount(), 1);
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Articles(), code, prompter));
    EXPECT_EQ(ArticleCount(), 0);
}

TEST_F(ArticleRegisterTest, DeleteGuardsRefuseWhileReferencedAndAllowAfterwards) {
    const int product = AddArticle(db(), u"Proizvod"_s);
    const int part = AddArticle(db(), u"Dio"_s);
    const int bill = registers::billsofmaterials::Add(db(), product);
    registers::billsofmaterials::SetPart(db(), bill, part, u"2"_s);
    prompter.AnswerYes().AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::Articles(), product),
              u"Nije dozvoljeno brisanje jer za ovaj artikal postoji sastavnica."_s);
    EXPECT_EQ(RefusedDelete(catalogue::Articles(), part),
              u"Nije dozvoljeno brisanje jer je ovaj artikal dio sastavnice."_s);
    EXPECT_EQ(ArticleCount(), 2);
    prompter.AnswerYes();
    ASSERT_TRUE(registers::billsofmaterials::Delete(db(), bill, prompter));

    // On an invoice as an article: refused. A service line with the same code does not count.
    const int invoiced = AddArticle(db(), u"Fakturirani"_s);
    db().Exec(
        u"INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
        "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", "
        "\"KOLICINA\", \"RBR_STAVKE\") VALUES (1, 1, 2026, 1, 'USL', ?, 0, 1, 1)"_s,
        {invoiced});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Articles(), invoiced, prompter));
    const int sold = AddArticle(db(), u"Prodani"_s);
    db().Exec(
        u"INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
        "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", "
        "\"KOLICINA\", \"RBR_STAVKE\") VALUES (2, 1, 2025, 9, 'ART', ?, 0, 1, 1)"_s,
        {sold});
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::Articles(), sold),
              u"Nije dozvoljeno brisanje jer za ovaj artikal postoje računi."_s);

    // Only on receipts: allowed once nothing is left in its lots; refused while any lot holds
    // stock, in any warehouse or year.
    const int stocked = AddArticle(db(), u"Na zalihi"_s);
    Receive(stocked, 3, 4, 3, 2025);
    prompter.AnswerYes();
    EXPECT_EQ(RefusedDelete(catalogue::Articles(), stocked),
              u"Nije dozvoljeno brisanje jer ovaj artikal ima zalihu na skladištu."_s);
    EXPECT_TRUE(registers::Load(db(), catalogue::Articles(), stocked));
    db().Exec(u"UPDATE \"NABAVE\" SET \"KOLICINA\" = 0 WHERE \"SIFRA_ARTIKLA\" = ?"_s, {stocked});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Articles(), stocked, prompter));
}

TEST_F(ArticleRegisterTest, DeletingAnArticleTakesItsVehicleExtraDataPackagingAndListPricesAlong) {
    const int code = AddArticle(db(), u"Skuter"_s);
    const int other = AddArticle(db(), u"Kaciga"_s);
    articles::SaveVehicle(
        db(), code,
        {u"motocikl"_s, u"Tomos"_s, u"APN"_s, u"S1"_s, u"M1"_s, 1985, u"crvena"_s, QString()});
    articles::AddExtraData(db(), code, u"Broj šasije"_s);
    const auto packaging =
        registers::Add(db(), catalogue::Packaging(), {{u"NAZIV"_s, u"Kutija"_s}});
    articles::LinkPackaging(db(), code, packaging.code, u"1"_s);
    const auto list = registers::Add(db(), pricelists::Register(), {{u"NAZIV"_s, u"A"_s}});
    pricelists::SetPrice(db(), list.code, code, 1, 100);
    pricelists::SetPrice(db(), list.code, other, 1, 10);
    prompter.AnswerYes();
    ASSERT_TRUE(registers::Delete(db(), catalogue::Articles(), code, prompter));
    EXPECT_FALSE(articles::IsVehicle(db(), code));
    EXPECT_TRUE(articles::ExtraDataOf(db(), code).empty());
    EXPECT_TRUE(articles::PackagingOf(db(), code).empty());
    EXPECT_EQ(pricelists::Prices(db(), list.code).size(), 1u);
}

TEST_F(ArticleRegisterTest, VehicleExtraDataAndPackagingOfAnArticle) {
    const int code = AddArticle(db(), u"Automobil"_s);
    EXPECT_FALSE(articles::IsVehicle(db(), code));
    articles::SetVehicle(db(), code, true);
    EXPECT_TRUE(articles::IsVehicle(db(), code));
    articles::SaveVehicle(db(), code,
                          {u"osobni"_s, u"Škoda"_s, u"Octavia"_s, u"TMB1"_s, u"CAX"_s, 2019,
                           u"siva"_s, u"rabljen"_s});
    EXPECT_EQ(articles::Vehicle(db(), code)->make, u"Škoda"_s);
    EXPECT_EQ(articles::Vehicle(db(), code)->year, 2019);
    articles::SetVehicle(db(), code, false);  // unticking deletes the data
    EXPECT_FALSE(articles::Vehicle(db(), code));

    EXPECT_EQ(articles::AddExtraData(db(), code, u"Boja"_s), 1);
    EXPECT_EQ(articles::AddExtraData(db(), code, u"Broj motora"_s), 2);
    EXPECT_EQ(Refusal([&] { articles::AddExtraData(db(), code, u" "_s); }),
              u"Naziv je duži od 255 znakova ili nije upisan"_s);
    articles::DeleteExtraData(db(), code, 1);
    ASSERT_EQ(articles::ExtraDataOf(db(), code).size(), 1u);
    EXPECT_EQ(articles::ExtraDataOf(db(), code).front().name, u"Broj motora"_s);

    const auto box = registers::Add(db(), catalogue::Packaging(), {{u"NAZIV"_s, u"Gajba"_s}});
    EXPECT_EQ(Refusal([&] { articles::LinkPackaging(db(), code, box.code, u"dva"_s); }),
              u"Količina mora biti upisana kao broj"_s);
    EXPECT_EQ(Refusal([&] { articles::LinkPackaging(db(), code, 999, u"1"_s); }),
              u"Ambalaža nije ispravno upisana"_s);
    articles::LinkPackaging(db(), code, box.code, u"2"_s);
    articles::LinkPackaging(db(), code, box.code, u"0,5"_s);
    ASSERT_EQ(articles::PackagingOf(db(), code).size(), 1u);
    EXPECT_DOUBLE_EQ(articles::PackagingOf(db(), code).front().quantity, 0.5);
    articles::UnlinkPackaging(db(), code, box.code);
    EXPECT_TRUE(articles::PackagingOf(db(), code).empty());
}

TEST_F(ArticleRegisterTest, InformationBlockIsForTheActiveWarehouseAndYear) {
    Values typed = Article(u"Bušilica"_s);
    typed.insert(u"GRUPA_P"_s, 2);  // 13 %
    typed.insert(u"CIJENA_U_VALUTI"_s, u"100"_s);
    const int code = registers::Add(db(), catalogue::Articles(), typed).code;
    db().Exec(u"UPDATE \"ARTIKLI\" SET \"REZERVIRANO\" = 3 WHERE \"SIFRA\" = ?"_s, {code});
    const int supplier =
        registers::Add(db(), catalogue::Partners(), Partner(u"Alati Šimić obrt"_s)).code;
    Receive(code, 4, 5, 1, 2026, supplier);
    Receive(code, 7, 2, 1, 2026, supplier);
    Receive(code, 9, 50, 2, 2026, supplier);   // another warehouse
    Receive(code, 11, 60, 1, 2025, supplier);  // another year
    db().Exec(
        u"INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
        "\"SIFRA_ARTIKLA\", \"KOLICINA\") VALUES (1, 2026, 8, ?, 0)"_s,
        {code});
    const auto info = articles::Info(db(), code, 1, 2026);
    EXPECT_DOUBLE_EQ(info.stock, 7);
    EXPECT_DOUBLE_EQ(info.reserved, 3);
    ASSERT_TRUE(info.hasReceipt);
    EXPECT_DOUBLE_EQ(info.purchasePrice, 15);   // receipt 7: 8 + 7
    EXPECT_DOUBLE_EQ(info.wholesalePrice, 17);  // 10 + 7
    EXPECT_DOUBLE_EQ(info.wholesalePriceWithTax, 17 * 1.13);
    EXPECT_DOUBLE_EQ(info.marginPercent, 25);
    EXPECT_EQ(info.supplier, u"Alati Šimić obrt : primka 7"_s);
    EXPECT_DOUBLE_EQ(info.currencyPriceWithTax, 113);
    const auto none = articles::Info(db(), code, 3, 2026);
    EXPECT_DOUBLE_EQ(none.stock, 0);
    EXPECT_FALSE(none.hasReceipt);
}

TEST_F(ArticleRegisterTest, GroupFilterCountsAndFallsBackToAllForAnEmptyGroup) {
    const auto tools = registers::Add(db(), catalogue::ArticleGroups(), {{u"NAZIV"_s, u"Alati"_s}});
    const auto empty =
        registers::Add(db(), catalogue::ArticleGroups(), {{u"NAZIV"_s, u"Prazna"_s}});
    AddArticle(db(), u"Roba 1"_s);
    Values hammer = Article(u"Čekić"_s);
    hammer.insert(u"GRUPA_A"_s, tools.code);
    registers::Add(db(), catalogue::Articles(), hammer);
    hammer.insert(u"NAZIV"_s, u"Kliješta"_s);
    registers::Add(db(), catalogue::Articles(), hammer);

    const auto chosen = articles::ChooseGroup(db(), tools.code);
    EXPECT_EQ(chosen.group, tools.code);
    EXPECT_EQ(chosen.label, u"Za izabranu grupu artikala : 2 art."_s);
    EXPECT_TRUE(chosen.message.isEmpty());
    const auto fallback = articles::ChooseGroup(db(), empty.code);
    EXPECT_FALSE(fallback.group);
    EXPECT_EQ(fallback.message, u"Ova grupa artikala je prazna. Bit će prikazani svi artikli."_s);
    EXPECT_EQ(fallback.label, u"Za sve grupe artikala : 3 art."_s);
    EXPECT_EQ(articles::ChooseGroup(db(), std::nullopt).label, u"Za sve grupe artikala : 3 art."_s);
}

TEST_F(ArticleRegisterTest, BarcodeAndCodeLookups) {
    const int code = AddArticle(db(), u"Mlijeko"_s, u"Ml-1"_s, u"3850000000017"_s);
    EXPECT_EQ(articles::FindByBarcode(db(), u"3850000000017"_s), code);
    EXPECT_EQ(articles::FindByBarcode(db(), u" 3850000000017 "_s), code);
    EXPECT_FALSE(articles::FindByBarcode(db(), u"3850000000024"_s));
    EXPECT_FALSE(articles::FindByBarcode(db(), QString()));
    EXPECT_EQ(articles::FindByCode(db(), u"ML-1"_s), code);
    EXPECT_FALSE(articles::FindByCode(db(), u"Ml-2"_s));
    EXPECT_EQ(articles::BarcodeFontText(u"ab-12č"_s), u"*AB-12*"_s);
    EXPECT_TRUE(articles::BarcodeFontText(QString()).isEmpty());
}

}  // namespace
