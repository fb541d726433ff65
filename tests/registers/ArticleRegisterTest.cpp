#include <QDate>

#include "RegisterTestSupport.h"
#include "data/InputRules.h"
#include "pricelists/PriceLists.h"
#include "registers/Articles.h"
#include "registers/BillsOfMaterials.h"
#include "registers/TypedValue.h"

using namespace zodra;
using namespace zodra::test;
using registers::Values;
namespace catalogue = registers::catalogue;
namespace articles = registers::articles;

namespace {

class ArticleRegisterTest : public RegisterTest {
protected:
    int ArticleCount() { return Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\"")); }

    // A posted receipt line of an article (on its card), with a lot.
    void Receive(int article, int number, double quantity, int warehouse = 1, int year = 2026,
                 int supplier = 2) {
        db().Exec(QStringLiteral("INSERT INTO \"PRIMKE\" (\"SKLADISTE\", \"GODINA\", \"BROJ "
                                 "PRIMKE\", \"DATUM\", \"SIFRA DOBAVLJACA\", \"RBR_TK\") VALUES "
                                 "(?, ?, ?, '2026-03-02', ?, ?) ON CONFLICT DO NOTHING"),
                  {warehouse, year, number, supplier, number});
        db().Exec(
            QStringLiteral("INSERT INTO \"STAVKE_PRIMKI\" (\"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_PRIMKE\", \"TIP_STAVKE\", \"SIFRA\", \"KOLICINA\", "
                           "\"NABAVNA_CIJENA\", \"CIJENA\", \"RUC_%\", \"RBR_STAVKE\") VALUES "
                           "(?, ?, ?, 'ART', ?, ?, ?, ?, ?, 1)"),
            {warehouse, year, number, article, quantity, 8.0 + number, 10.0 + number, 25.0});
        db().Exec(QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", "
                                 "\"BROJ_PRIMKE\", \"SIFRA_ARTIKLA\", \"KOLICINA\", "
                                 "\"KOLICINA_PRIVREMENO\", \"NABAVNA CIJENA\", \"VELEPRODAJNA "
                                 "CIJENA\") VALUES (?, ?, ?, ?, ?, ?, 8, 10)"),
                  {warehouse, year, number, article, quantity, quantity});
    }
};

TEST_F(ArticleRegisterTest, EntryChecksRunInTheirOrderAndEachStopsWithItsMessage) {
    AddArticle(db(), QStringLiteral("Postojeći"), QStringLiteral("P-1"), QStringLiteral("385000"));
    // Every box wrong at once; fixing them one by one must bring the messages in this order.
    Values typed{{QStringLiteral("NAZIV"), QString()},
                 {QStringLiteral("OPIS"), QString(21, QLatin1Char('x'))},
                 {QStringLiteral("NAPOMENA"), QString(51, QLatin1Char('n'))},
                 {QStringLiteral("CARINA%"), QStringLiteral("pet")},
                 {QStringLiteral("BARKOD"), QString(21, QLatin1Char('1'))},
                 {QStringLiteral("JED_M"), QString()},
                 {QStringLiteral("CIJENA_U_VALUTI"), QStringLiteral("1,2,3")},
                 {QStringLiteral("MIN_ZAL"), QString()},
                 {QStringLiteral("PAKOVANJE"), QStringLiteral("x")},
                 {QStringLiteral("VALUTA"), 99},
                 {QStringLiteral("GRUPA_A"), QString()},
                 {QStringLiteral("GRUPA_P"), QStringLiteral("PDV")}};
    const std::vector<std::pair<QString, QVariant>> steps = {
        {QStringLiteral("Naziv je duži od 255 znakova ili nije upisan"),
         QStringLiteral("Postojeći")},
        {QStringLiteral("Šifra je duža od 20 znakova"), QStringLiteral("P-1")},
        {QStringLiteral("Napomena je duža od 50 znakova"), QString(50, QLatin1Char('n'))},
        {QStringLiteral("Carina % mora biti upisana kao broj (možete upisati i nulu)"),
         QStringLiteral("2,5")},
        {QStringLiteral("Barkod je duži od 20 znakova"), QStringLiteral("385000")},
        {QStringLiteral("Jedinica mjere je duža od 3 znaka ili nije upisana"),
         QStringLiteral("kom")},
        {QStringLiteral("Cijena u valuti mora biti upisana kao broj (možete upisati i nulu)"),
         QStringLiteral("12.5")},
        {QStringLiteral("Minimalna zaliha mora biti upisana kao broj (možete upisati i nulu)"),
         QStringLiteral("0")},
        {QStringLiteral("Pakovanje mora biti upisano kao broj"), QStringLiteral("6")},
        {QStringLiteral("Valuta nije ispravno upisana"), 1},
        {QStringLiteral("Grupa artikla nije ispravno upisana"), 1},
        {QStringLiteral("Grupa poreza nije ispravno upisana"), 2},
        {QStringLiteral("Artikal sa nazivom 'Postojeći' je već upisan."), QStringLiteral("Novi")},
        {QStringLiteral("Artikal sa šifrom 'P-1' je već upisan."), QStringLiteral("N-1")},
        {QStringLiteral("Artikal sa barkodom '385000' je već upisan."), QStringLiteral("385001")},
    };
    const QStringList columns = {
        QStringLiteral("NAZIV"),           QStringLiteral("OPIS"),    QStringLiteral("NAPOMENA"),
        QStringLiteral("CARINA%"),         QStringLiteral("BARKOD"),  QStringLiteral("JED_M"),
        QStringLiteral("CIJENA_U_VALUTI"), QStringLiteral("MIN_ZAL"), QStringLiteral("PAKOVANJE"),
        QStringLiteral("VALUTA"),          QStringLiteral("GRUPA_A"), QStringLiteral("GRUPA_P"),
        QStringLiteral("NAZIV"),           QStringLiteral("OPIS"),    QStringLiteral("BARKOD")};
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Articles(), typed); }),
                  steps[i].first)
            << "step " << i;
        EXPECT_EQ(ArticleCount(), 1) << "nothing is written while a check fails";
        typed.insert(columns.at(static_cast<int>(i)), steps[i].second);
    }
    const auto added = registers::Add(db(), catalogue::Articles(), typed);
    EXPECT_EQ(added.name, QStringLiteral("Novi"));
    EXPECT_GT(added.code, 1);
    const auto stored = registers::Load(db(), catalogue::Articles(), added.code);
    ASSERT_TRUE(stored);
    EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("CARINA%")).toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("CIJENA_U_VALUTI")).toDouble(), 12.5);
    EXPECT_EQ(stored->value(QStringLiteral("GRUPA_P")).toInt(), 2);
    EXPECT_EQ(db().Scalar(QStringLiteral("SELECT \"BarCodeString\" FROM \"ARTIKLI\" WHERE "
                                         "\"SIFRA\" = ?"),
                          {added.code})
                  .toString(),
              QStringLiteral("*385001*"));
}

TEST_F(ArticleRegisterTest, TypedNumbersAreReadAsEveryNumberBoxReadsThem) {
    // What a register's box takes is what a number box takes: an exponent is a slip of the
    // finger, not a hundred thousand.
    for (const char* form : {"1e5", "1E5", "12,5e1", "1 000", "1.234,5", "inf", "nan", "0x10"}) {
        EXPECT_EQ(registers::ParseNumber(QString::fromLatin1(form)),
                  inputrules::ParseNumber(QString::fromLatin1(form)))
            << form;
        Values typed = Article(QStringLiteral("Čaj"), QString(), QString());
        typed.insert(QStringLiteral("CIJENA_U_VALUTI"), QString::fromLatin1(form));
        EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Articles(), typed); }),
                  QStringLiteral("Cijena u valuti mora biti upisana kao broj (možete upisati i "
                                 "nulu)"))
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
    Values typed = Article(QStringLiteral("Čaj"), QString(), QString());
    typed.insert(QStringLiteral("CIJENA_U_VALUTI"), QStringLiteral(" 1234,5 "));
    const auto added = registers::Add(db(), catalogue::Articles(), typed);
    EXPECT_DOUBLE_EQ(registers::Load(db(), catalogue::Articles(), added.code)
                         ->value(QStringLiteral("CIJENA_U_VALUTI"))
                         .toDouble(),
                     1234.5);
}

TEST_F(ArticleRegisterTest, LengthLimitsAcceptTheirMaximum) {
    Values typed = Article(QString(255, QChar(u'č')), QString(20, QLatin1Char('S')),
                           QString(20, QLatin1Char('9')));
    typed.insert(QStringLiteral("NAPOMENA"), QString(50, QChar(u'ž')));
    typed.insert(QStringLiteral("JED_M"), QStringLiteral("kom"));
    EXPECT_NO_THROW(registers::Add(db(), catalogue::Articles(), typed));
    typed.insert(QStringLiteral("NAZIV"), QString(256, QChar(u'd')));
    EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Articles(), typed); }),
              QStringLiteral("Naziv je duži od 255 znakova ili nije upisan"));
    typed.insert(QStringLiteral("NAZIV"), QStringLiteral("   "));
    EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Articles(), typed); }),
              QStringLiteral("Naziv je duži od 255 znakova ili nije upisan"));
    typed.insert(QStringLiteral("NAZIV"), QStringLiteral("Drugi"));
    typed.insert(QStringLiteral("JED_M"), QStringLiteral("kuti"));
    EXPECT_EQ(Refusal([&] { registers::Add(db(), catalogue::Articles(), typed); }),
              QStringLiteral("Jedinica mjere je duža od 3 znaka ili nije upisana"));
}

TEST_F(ArticleRegisterTest, DuplicatesFoldLetterCaseAndIgnoreEmptyCodesAndBarcodes) {
    AddArticle(db(), QStringLiteral("Čaj od šipka"), QStringLiteral("Čš-1"));
    EXPECT_EQ(Refusal([&] { AddArticle(db(), QStringLiteral("ČAJ OD ŠIPKA")); }),
              QStringLiteral("Artikal sa nazivom 'ČAJ OD ŠIPKA' je već upisan."));
    EXPECT_EQ(Refusal([&] {
                  AddArticle(db(), QStringLiteral("Čaj od kamilice"), QStringLiteral("čŠ-1"));
              }),
              QStringLiteral("Artikal sa šifrom 'čŠ-1' je već upisan."));
    // Articles without a code or a barcode are not duplicates of each other.
    EXPECT_NO_THROW(AddArticle(db(), QStringLiteral("Bez šifre 1")));
    EXPECT_NO_THROW(AddArticle(db(), QStringLiteral("Bez šifre 2")));
    EXPECT_EQ(Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\" WHERE \"OPIS\" IS NULL "
                                         "AND \"BARKOD\" IS NULL")),
              2);
    // Blanks around a name are not part of it.
    EXPECT_EQ(Refusal([&] { AddArticle(db(), QStringLiteral("  Bez šifre 1 ")); }),
              QStringLiteral("Artikal sa nazivom 'Bez šifre 1' je već upisan."));
}

TEST_F(ArticleRegisterTest, ApostrophesAndCroatianLettersAreKeptAsTyped) {
    const QString name = QStringLiteral("Kod Ane's \"Đakovački\" džem; šljiva 'extra'");
    const int code = AddArticle(db(), name, QStringLiteral("A'1"), QStringLiteral("3850'1"));
    const auto stored = registers::Load(db(), catalogue::Articles(), code);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->value(QStringLiteral("NAZIV")).toString(), name);
    EXPECT_EQ(stored->value(QStringLiteral("OPIS")).toString(), QStringLiteral("A'1"));
    EXPECT_EQ(Refusal([&] { AddArticle(db(), name); }),
              QStringLiteral("Artikal sa nazivom '") + name + QStringLiteral("' je već upisan."));
    EXPECT_EQ(articles::FindByBarcode(db(), QStringLiteral("3850'1")), code);
    EXPECT_EQ(articles::FindByCode(db(), QStringLiteral("a'1")), code);
}

TEST_F(ArticleRegisterTest, ChangingInPlaceRunsTheEntryChecksAndKeepsWhatWasNotTyped) {
    const int first =
        AddArticle(db(), QStringLiteral("Prvi"), QStringLiteral("K1"), QStringLiteral("111"));
    const int second =
        AddArticle(db(), QStringLiteral("Drugi"), QStringLiteral("K2"), QStringLiteral("222"));
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::Articles(), second,
                                    {{QStringLiteral("NAZIV"), QString()}});
              }),
              QStringLiteral("Naziv je duži od 255 znakova ili nije upisan"));
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::Articles(), second,
                                    {{QStringLiteral("NAZIV"), QStringLiteral("prvi")}});
              }),
              QStringLiteral("Artikal sa nazivom 'prvi' je već upisan."));
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::Articles(), second,
                                    {{QStringLiteral("BARKOD"), QStringLiteral("111")}});
              }),
              QStringLiteral("Artikal sa barkodom '111' je već upisan."));
    EXPECT_EQ(
        Refusal([&] {
            registers::Update(db(), catalogue::Articles(), second,
                              {{QStringLiteral("MIN_ZAL"), QStringLiteral("mnogo")}});
        }),
        QStringLiteral("Minimalna zaliha mora biti upisana kao broj (možete upisati i nulu)"));
    EXPECT_EQ(registers::NameOf(db(), catalogue::Articles(), second), QStringLiteral("Drugi"));
    // A row is never its own duplicate; untouched boxes keep their values.
    const auto saved = registers::Update(db(), catalogue::Articles(), first,
                                         {{QStringLiteral("NAPOMENA"), QStringLiteral("nova")}});
    EXPECT_EQ(saved.name, QStringLiteral("Prvi"));
    const auto stored = registers::Load(db(), catalogue::Articles(), first);
    EXPECT_EQ(stored->value(QStringLiteral("OPIS")).toString(), QStringLiteral("K1"));
    EXPECT_EQ(stored->value(QStringLiteral("BARKOD")).toString(), QStringLiteral("111"));
    EXPECT_EQ(stored->value(QStringLiteral("NAPOMENA")).toString(), QStringLiteral("nova"));
}

TEST_F(ArticleRegisterTest, TaxGroupChangesOnlyWhileTheArticleHasNoMovements) {
    const int quiet = AddArticle(db(), QStringLiteral("Bez prometa"));
    const int sold = AddArticle(db(), QStringLiteral("S prometom"));
    Receive(sold, 1, 5);
    EXPECT_TRUE(articles::HasMovements(db(), sold));
    EXPECT_FALSE(articles::HasMovements(db(), quiet));
    registers::Update(db(), catalogue::Articles(), quiet, {{QStringLiteral("GRUPA_P"), 2}});
    EXPECT_EQ(registers::Load(db(), catalogue::Articles(), quiet)
                  ->value(QStringLiteral("GRUPA_P"))
                  .toInt(),
              2);
    EXPECT_EQ(Refusal([&] {
                  registers::Update(db(), catalogue::Articles(), sold,
                                    {{QStringLiteral("GRUPA_P"), 2},
                                     {QStringLiteral("NAPOMENA"), QStringLiteral("x")}});
              }),
              QStringLiteral("Nije dozvoljeno direktno mijenjati stopu poreza jer je artikal "
                             "evidentiran na dokumentima. Za promjenu grupe poreza koristite "
                             "zapisnik o promjeni grupe poreza."));
    const auto unchanged = registers::Load(db(), catalogue::Articles(), sold);
    EXPECT_EQ(unchanged->value(QStringLiteral("GRUPA_P")).toInt(), 1);
    EXPECT_TRUE(unchanged->value(QStringLiteral("NAPOMENA")).isNull());
    // Other changes of an article with movements are fine.
    EXPECT_NO_THROW(registers::Update(db(), catalogue::Articles(), sold,
                                      {{QStringLiteral("NAPOMENA"), QStringLiteral("x")}}));
}

TEST_F(ArticleRegisterTest, DeleteAsksWithNoAsDefaultAndKeepsTheArticleOnNo) {
    const int code = AddArticle(db(), QStringLiteral("Čekić 500 g"));
    prompter.AnswerNo();
    EXPECT_FALSE(registers::Delete(db(), catalogue::Articles(), code, prompter));
    ASSERT_EQ(prompter.Shown().size(), 1);
    EXPECT_EQ(prompter.Shown().first(),
              QStringLiteral("Sigurno želite izbrisati artikal Čekić 500 g ?"));
    EXPECT_EQ(ArticleCount(), 1);
    // No answer queued: the default is No.
    EXPECT_FALSE(registers::Delete(db(), catalogue::Articles(), code, prompter));
    EXPECT_EQ(ArticleCount(), 1);
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Articles(), code, prompter));
    EXPECT_EQ(ArticleCount(), 0);
}

TEST_F(ArticleRegisterTest, DeleteGuardsRefuseWhileReferencedAndAllowAfterwards) {
    const int product = AddArticle(db(), QStringLiteral("Proizvod"));
    const int part = AddArticle(db(), QStringLiteral("Dio"));
    const int bill = registers::billsofmaterials::Add(db(), product);
    registers::billsofmaterials::SetPart(db(), bill, part, QStringLiteral("2"));
    prompter.AnswerYes().AnswerYes();
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Articles(), product, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer za ovaj artikal postoji sastavnica."));
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Articles(), part, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer je ovaj artikal dio sastavnice."));
    EXPECT_EQ(ArticleCount(), 2);
    prompter.AnswerYes();
    ASSERT_TRUE(registers::billsofmaterials::Delete(db(), bill, prompter));

    // On an invoice as an article: refused. A service line with the same code does not count.
    const int invoiced = AddArticle(db(), QStringLiteral("Fakturirani"));
    db().Exec(
        QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                       "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", "
                       "\"KOLICINA\", \"RBR_STAVKE\") VALUES (1, 1, 2026, 1, 'USL', ?, 0, 1, 1)"),
        {invoiced});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Articles(), invoiced, prompter));
    const int sold = AddArticle(db(), QStringLiteral("Prodani"));
    db().Exec(
        QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                       "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", "
                       "\"KOLICINA\", \"RBR_STAVKE\") VALUES (2, 1, 2025, 9, 'ART', ?, 0, 1, 1)"),
        {sold});
    prompter.AnswerYes();
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Articles(), sold, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer za ovaj artikal postoje računi."));

    // Only on receipts: allowed once nothing is left in its lots; refused while any lot holds
    // stock, in any warehouse or year.
    const int stocked = AddArticle(db(), QStringLiteral("Na zalihi"));
    Receive(stocked, 3, 4, 3, 2025);
    prompter.AnswerYes();
    EXPECT_EQ(Refusal([&] { registers::Delete(db(), catalogue::Articles(), stocked, prompter); }),
              QStringLiteral("Nije dozvoljeno brisanje jer ovaj artikal ima zalihu na skladištu."));
    EXPECT_TRUE(registers::Load(db(), catalogue::Articles(), stocked));
    db().Exec(QStringLiteral("UPDATE \"NABAVE\" SET \"KOLICINA\" = 0 WHERE \"SIFRA_ARTIKLA\" = ?"),
              {stocked});
    prompter.AnswerYes();
    EXPECT_TRUE(registers::Delete(db(), catalogue::Articles(), stocked, prompter));
}

TEST_F(ArticleRegisterTest, DeletingAnArticleTakesItsVehicleExtraDataPackagingAndListPricesAlong) {
    const int code = AddArticle(db(), QStringLiteral("Skuter"));
    const int other = AddArticle(db(), QStringLiteral("Kaciga"));
    articles::SaveVehicle(
        db(), code,
        {QStringLiteral("motocikl"), QStringLiteral("Tomos"), QStringLiteral("APN"),
         QStringLiteral("S1"), QStringLiteral("M1"), 1985, QStringLiteral("crvena"), QString()});
    articles::AddExtraData(db(), code, QStringLiteral("Broj šasije"));
    const auto packaging = registers::Add(db(), catalogue::Packaging(),
                                          {{QStringLiteral("NAZIV"), QStringLiteral("Kutija")}});
    articles::LinkPackaging(db(), code, packaging.code, QStringLiteral("1"));
    const auto list = registers::Add(db(), pricelists::Register(),
                                     {{QStringLiteral("NAZIV"), QStringLiteral("A")}});
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
    const int code = AddArticle(db(), QStringLiteral("Automobil"));
    EXPECT_FALSE(articles::IsVehicle(db(), code));
    articles::SetVehicle(db(), code, true);
    EXPECT_TRUE(articles::IsVehicle(db(), code));
    articles::SaveVehicle(db(), code,
                          {QStringLiteral("osobni"), QStringLiteral("Škoda"),
                           QStringLiteral("Octavia"), QStringLiteral("TMB1"), QStringLiteral("CAX"),
                           2019, QStringLiteral("siva"), QStringLiteral("rabljen")});
    EXPECT_EQ(articles::Vehicle(db(), code)->make, QStringLiteral("Škoda"));
    EXPECT_EQ(articles::Vehicle(db(), code)->year, 2019);
    articles::SetVehicle(db(), code, false);  // unticking deletes the data
    EXPECT_FALSE(articles::Vehicle(db(), code));

    EXPECT_EQ(articles::AddExtraData(db(), code, QStringLiteral("Boja")), 1);
    EXPECT_EQ(articles::AddExtraData(db(), code, QStringLiteral("Broj motora")), 2);
    EXPECT_EQ(Refusal([&] { articles::AddExtraData(db(), code, QStringLiteral(" ")); }),
              QStringLiteral("Naziv je duži od 255 znakova ili nije upisan"));
    articles::DeleteExtraData(db(), code, 1);
    ASSERT_EQ(articles::ExtraDataOf(db(), code).size(), 1u);
    EXPECT_EQ(articles::ExtraDataOf(db(), code).front().name, QStringLiteral("Broj motora"));

    const auto box = registers::Add(db(), catalogue::Packaging(),
                                    {{QStringLiteral("NAZIV"), QStringLiteral("Gajba")}});
    EXPECT_EQ(
        Refusal([&] { articles::LinkPackaging(db(), code, box.code, QStringLiteral("dva")); }),
        QStringLiteral("Količina mora biti upisana kao broj"));
    EXPECT_EQ(Refusal([&] { articles::LinkPackaging(db(), code, 999, QStringLiteral("1")); }),
              QStringLiteral("Ambalaža nije ispravno upisana"));
    articles::LinkPackaging(db(), code, box.code, QStringLiteral("2"));
    articles::LinkPackaging(db(), code, box.code, QStringLiteral("0,5"));
    ASSERT_EQ(articles::PackagingOf(db(), code).size(), 1u);
    EXPECT_DOUBLE_EQ(articles::PackagingOf(db(), code).front().quantity, 0.5);
    articles::UnlinkPackaging(db(), code, box.code);
    EXPECT_TRUE(articles::PackagingOf(db(), code).empty());
}

TEST_F(ArticleRegisterTest, InformationBlockIsForTheActiveWarehouseAndYear) {
    Values typed = Article(QStringLiteral("Bušilica"));
    typed.insert(QStringLiteral("GRUPA_P"), 2);  // 13 %
    typed.insert(QStringLiteral("CIJENA_U_VALUTI"), QStringLiteral("100"));
    const int code = registers::Add(db(), catalogue::Articles(), typed).code;
    db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"REZERVIRANO\" = 3 WHERE \"SIFRA\" = ?"),
              {code});
    const int supplier =
        registers::Add(db(), catalogue::Partners(), Partner(QStringLiteral("Alati Šimić obrt")))
            .code;
    Receive(code, 4, 5, 1, 2026, supplier);
    Receive(code, 7, 2, 1, 2026, supplier);
    Receive(code, 9, 50, 2, 2026, supplier);   // another warehouse
    Receive(code, 11, 60, 1, 2025, supplier);  // another year
    db().Exec(QStringLiteral("INSERT INTO \"NABAVE\" (\"SKLADISTE\", \"GODINA\", \"BROJ_PRIMKE\", "
                             "\"SIFRA_ARTIKLA\", \"KOLICINA\") VALUES (1, 2026, 8, ?, 0)"),
              {code});
    const auto info = articles::Info(db(), code, 1, 2026);
    EXPECT_DOUBLE_EQ(info.stock, 7);
    EXPECT_DOUBLE_EQ(info.reserved, 3);
    ASSERT_TRUE(info.hasReceipt);
    EXPECT_DOUBLE_EQ(info.purchasePrice, 15);   // receipt 7: 8 + 7
    EXPECT_DOUBLE_EQ(info.wholesalePrice, 17);  // 10 + 7
    EXPECT_DOUBLE_EQ(info.wholesalePriceWithTax, 17 * 1.13);
    EXPECT_DOUBLE_EQ(info.marginPercent, 25);
    EXPECT_EQ(info.supplier, QStringLiteral("Alati Šimić obrt : primka 7"));
    EXPECT_DOUBLE_EQ(info.currencyPriceWithTax, 113);
    const auto none = articles::Info(db(), code, 3, 2026);
    EXPECT_DOUBLE_EQ(none.stock, 0);
    EXPECT_FALSE(none.hasReceipt);
}

TEST_F(ArticleRegisterTest, GroupFilterCountsAndFallsBackToAllForAnEmptyGroup) {
    const auto tools = registers::Add(db(), catalogue::ArticleGroups(),
                                      {{QStringLiteral("NAZIV"), QStringLiteral("Alati")}});
    const auto empty = registers::Add(db(), catalogue::ArticleGroups(),
                                      {{QStringLiteral("NAZIV"), QStringLiteral("Prazna")}});
    AddArticle(db(), QStringLiteral("Roba 1"));
    Values hammer = Article(QStringLiteral("Čekić"));
    hammer.insert(QStringLiteral("GRUPA_A"), tools.code);
    registers::Add(db(), catalogue::Articles(), hammer);
    hammer.insert(QStringLiteral("NAZIV"), QStringLiteral("Kliješta"));
    registers::Add(db(), catalogue::Articles(), hammer);

    const auto chosen = articles::ChooseGroup(db(), tools.code);
    EXPECT_EQ(chosen.group, tools.code);
    EXPECT_EQ(chosen.label, QStringLiteral("Za izabranu grupu artikala : 2 art."));
    EXPECT_TRUE(chosen.message.isEmpty());
    const auto fallback = articles::ChooseGroup(db(), empty.code);
    EXPECT_FALSE(fallback.group);
    EXPECT_EQ(fallback.message,
              QStringLiteral("Ova grupa artikala je prazna. Bit će prikazani svi artikli."));
    EXPECT_EQ(fallback.label, QStringLiteral("Za sve grupe artikala : 3 art."));
    EXPECT_EQ(articles::ChooseGroup(db(), std::nullopt).label,
              QStringLiteral("Za sve grupe artikala : 3 art."));
}

TEST_F(ArticleRegisterTest, BarcodeAndCodeLookups) {
    const int code = AddArticle(db(), QStringLiteral("Mlijeko"), QStringLiteral("Ml-1"),
                                QStringLiteral("3850000000017"));
    EXPECT_EQ(articles::FindByBarcode(db(), QStringLiteral("3850000000017")), code);
    EXPECT_EQ(articles::FindByBarcode(db(), QStringLiteral(" 3850000000017 ")), code);
    EXPECT_FALSE(articles::FindByBarcode(db(), QStringLiteral("3850000000024")));
    EXPECT_FALSE(articles::FindByBarcode(db(), QString()));
    EXPECT_EQ(articles::FindByCode(db(), QStringLiteral("ML-1")), code);
    EXPECT_FALSE(articles::FindByCode(db(), QStringLiteral("Ml-2")));
    EXPECT_EQ(articles::BarcodeFontText(QStringLiteral("ab-12č")), QStringLiteral("*AB-12*"));
    EXPECT_TRUE(articles::BarcodeFontText(QString()).isEmpty());
}

}  // namespace
