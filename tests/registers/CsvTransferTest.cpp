#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "RegisterTestSupport.h"
#include "pricelists/PriceLists.h"
#include "registers/Csv.h"
#include "registers/CsvReader.h"
#include "registers/RegisterTransfer.h"
#include "support/Zodractl.h"

using namespace Qt::StringLiterals;

using namespace zodra;
using namespace zodra::test;
namespace catalogue = registers::catalogue;
namespace transfer = registers::transfer;

namespace {

TEST(Csv, QuotesSeparatorsLineBreaksAndDoubledQuotes) {
    const QString text = QString::fromUtf8(
        "\xEF\xBB\xBFNaziv;Šifra;Napomena\r\n"
        "\"Vino; crno\";V-1;\"rekao je \"\"dobro\"\"\"\r\n"
        "\r\n"
        "\"Dva\nretka\";;zadnji\n"
        "Kod Ane's;K'1;\n");
    const auto table = csv::Parse(text);
    EXPECT_EQ(table.separator, QLatin1Char(';'));
    EXPECT_EQ(table.header, (QStringList{u"Naziv"_s, u"Šifra"_s, u"Napomena"_s}));
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0], (QStringList{u"Vino; crno"_s, u"V-1"_s, u"rekao je \"dobro\""_s}));
    EXPECT_EQ(table.rows[1], (QStringList{u"Dva\nretka"_s, QString(), u"zadnji"_s}));
    EXPECT_EQ(table.rows[2], (QStringList{u"Kod Ane's"_s, u"K'1"_s, QString()}));
    EXPECT_EQ(table.lines, (std::vector<int>{2, 4, 6}));
}

TEST(Csv, CommaFilesAreRecognisedAndUnclosedQuotesRefused) {
    const auto table = csv::Parse(u"Naziv,Cijena u valuti\n\"Čaj, zeleni\",\"1,5\"\n"_s);
    EXPECT_EQ(table.separator, QLatin1Char(','));
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0], (QStringList{u"Čaj, zeleni"_s, u"1,5"_s}));
    EXPECT_EQ(Refusal([] { csv::Parse(u"Naziv\nprvi\n\"drugi\ntreći\n"_s); }),
              u"Navodnici otvoreni u retku 3 nisu zatvoreni."_s);
}

TEST(Csv, WrittenFilesReadBackTheSame) {
    const QStringList header{u"Naziv"_s, u"Napomena"_s};
    const std::vector<QStringList> rows{
        {u"Vino; \"crno\""_s, u"a\r\nb"_s},
        {u" razmak "_s, QString()},
    };
    for (const QChar sep : {QLatin1Char(';'), QLatin1Char(',')}) {
        const auto back = csv::Parse(csv::Write(header, rows, sep));
        EXPECT_EQ(back.header, header);
        ASSERT_EQ(back.rows.size(), 2u);
        EXPECT_EQ(back.rows[0], rows[0]);
        EXPECT_EQ(back.rows[1], rows[1]);
    }
}

// Records read from a file of several blocks: characters of two and three bytes and a quoted
// field with a line break fall across the block boundaries somewhere.
TEST(Csv, TheReaderReadsLongFilesRecordByRecordAcrossBlocks) {
    QByteArray bytes = QByteArrayLiteral("\xEF\xBB\xBFNaziv,Napomena\r\n");
    std::vector<QStringList> expected;
    for (int i = 0; i < 4000; ++i) {
        const QString name = u"Čaj đurđica € %1"_s.arg(i);
        const QString note = u"prvi red\nšđčćž, drugi %1"_s.arg(i);
        bytes += (name + u",\""_s + note + u"\"\r\n"_s).toUtf8();
        expected.push_back({name, note});
    }
    ASSERT_GT(bytes.size(), 3 * 64 * 1024);
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    csv::CsvReader reader(buffer);
    EXPECT_EQ(reader.Separator(), QLatin1Char(','));
    EXPECT_EQ(reader.Header(), (QStringList{u"Naziv"_s, u"Napomena"_s}));
    QStringList record;
    int line = 0;
    size_t count = 0;
    while (reader.Next(record, line)) {
        ASSERT_LT(count, expected.size());
        ASSERT_EQ(record, expected[count]) << "record " << count;
        ASSERT_EQ(line, 2 + 2 * static_cast<int>(count));
        ++count;
    }
    EXPECT_EQ(count, expected.size());
}

TEST(Csv, TheReaderRefusesBytesThatAreNotUtf8WhereverTheyAre) {
    const auto refusalOf = [](QByteArray bytes) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        return Refusal([&] {
            csv::CsvReader reader(buffer);
            QStringList record;
            int line = 0;
            while (reader.Next(record, line)) {
            }
        });
    };
    const QString notUtf8 = u"Datoteka nije zapisana u UTF-8 kodu."_s;
    QByteArray late = QByteArrayLiteral("Naziv\n") + QByteArray(100000, 'a') + "\n\xe8" + "aj\n";
    EXPECT_EQ(refusalOf(late), notUtf8) << "a Latin-2 č after the first block";
    EXPECT_EQ(refusalOf(QByteArrayLiteral("Naziv\n\xc4")), notUtf8) << "cut at the end";
    EXPECT_EQ(refusalOf(QByteArrayLiteral("Naziv\n\"\xc4\x8d")),
              u"Navodnici otvoreni u retku 2 nisu zatvoreni."_s)
        << "the č is whole; the quote is not closed";
}

class CsvTransferTest : public RegisterTest {
protected:
    csv::Table File(const QString& text) { return csv::Parse(text); }
    int Articles() { return Count(db(), u"SELECT COUNT(*) FROM \"ARTIKLI\""_s); }
    int ArticleCode(const QString& name) {
        return db()
            .Scalar(u"SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"NAZIV\" = ?"_s, {name})
            .toInt();
    }
};

using Outcome = zodra::test::ZodractlRun;

Outcome Zodractl(const QStringList& args) {
    return zodra::test::RunZodractl(args);
}

TEST_F(CsvTransferTest, ABadRowLeavesTheRegisterAsItWasAndEveryRefusalIsReported) {
    AddArticle(db(), u"Postojeći"_s, u"X-1"_s);
    const auto file = File(
        u"Naziv;Šifra;Grupa artikla;Grupa poreza;Cijena u valuti;Barkod\n"
        "Čaj od kamilice;P-1;Roba;PDV 5%;1,29;3850001\n"
        "postojeći;P-2;Roba;PDV;1;\n"
        "Kava;X-1;Roba;PDV;3.49;\n"
        "Med;P-4;Nepostojeća;PDV;4;\n"
        "Kod Ane's džem;P-5;1;3;2,5;\n"
        "Čaj od kamilice;P-6;Roba;PDV;1;\n"_s);
    const auto report = transfer::Import(db(), catalogue::Articles(), file, false);
    EXPECT_FALSE(report.committed);
    EXPECT_EQ(report.imported, 0);
    EXPECT_EQ(Articles(), 1) << "nothing half-imported";
    EXPECT_EQ(report.Lines(),
              (QStringList{u"Redak 3: Artikal sa nazivom 'postojeći' je već upisan."_s,
                           u"Redak 4: Artikal sa šifrom 'X-1' je već upisan."_s,
                           u"Redak 5: Grupa artikla nije ispravno upisana"_s,
                           u"Redak 7: Artikal sa nazivom 'Čaj od kamilice' je već upisan."_s,
                           u"Datoteka nije uvezena: odbijeno redaka 4."_s}));

    const auto kept = transfer::Import(db(), catalogue::Articles(), file, true);
    EXPECT_TRUE(kept.committed);
    EXPECT_EQ(kept.imported, 2);
    EXPECT_EQ(kept.refused.size(), 4u);
    EXPECT_EQ(kept.Lines().last(), u"Uvezeno redaka: 2, odbijeno: 4."_s);
    EXPECT_EQ(Articles(), 3);
    const int tea = ArticleCode(u"Čaj od kamilice"_s);
    const auto stored = registers::Load(db(), catalogue::Articles(), tea);
    EXPECT_EQ(stored->value(u"GRUPA_P"_s).toInt(), 3) << "tax group found by name";
    EXPECT_DOUBLE_EQ(stored->value(u"CIJENA_U_VALUTI"_s).toDouble(), 1.29);
    EXPECT_EQ(stored->value(u"JED_M"_s).toString(), u"kom"_s) << "start value";
    EXPECT_DOUBLE_EQ(stored->value(u"PAKOVANJE"_s).toDouble(), 1);
}

TEST_F(CsvTransferTest, TheHeaderMustNameKnownColumnsOnceAndTheName) {
    EXPECT_EQ(Refusal([&] {
                  transfer::Import(db(), catalogue::Articles(), File(u"Naziv;Boja\nA;b\n"_s),
                                   false);
              }),
              u"Nepoznat stupac 'Boja'."_s);
    EXPECT_EQ(Refusal([&] {
                  transfer::Import(db(), catalogue::Articles(), File(u"Naziv;NAZIV\nA;b\n"_s),
                                   false);
              }),
              u"Stupac 'NAZIV' se ponavlja."_s);
    EXPECT_EQ(
        Refusal([&] { transfer::Import(db(), catalogue::Partners(), File(u"OIB\n1\n"_s), false); }),
        u"U datoteci nema stupca 'Naziv'."_s);
}

TEST_F(CsvTransferTest, PartnersGoOutAndComeBackWithTheirListsAndFlags) {
    const auto list =
        registers::Add(db(), pricelists::Register(), {{u"NAZIV"_s, u"Veleprodaja"_s}});
    const auto post =
        registers::Add(db(), catalogue::DeliveryMethods(), {{u"NAZIV"_s, u"pošta"_s}});
    auto partner = Partner(u"Kod Ane's \"Đurđica\"; obrt"_s, u"69435151530"_s);
    partner.insert(u"RABAT"_s, u"2,5"_s);
    partner.insert(u"Kupac"_s, true);
    partner.insert(u"CJENIK"_s, list.code);
    partner.insert(u"NACIN_ISPORUKE"_s, post.code);
    partner.insert(u"OSTALO"_s, u"dva\nretka"_s);
    registers::Add(db(), catalogue::Partners(), partner);
    const auto exported = transfer::Export(db(), catalogue::Partners(), QLatin1Char(';'));
    ASSERT_EQ(exported.rows.size(), 3u);  // with the two partners of every company
    const QString text = csv::Write(exported.header, exported.rows, QLatin1Char(';'));

    // Into another company that has a list and a delivery method of the same names.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"druga.mdb"_s);
    CopyTemplateCompany(path);
    auto other = Database::Open(path, QString()).db;
    registers::Add(*other, catalogue::DeliveryMethods(), {{u"NAZIV"_s, u"Pošta"_s}});
    const auto otherList =
        registers::Add(*other, pricelists::Register(), {{u"NAZIV"_s, u"veleprodaja"_s}});
    const auto report = transfer::Import(*other, catalogue::Partners(), csv::Parse(text), true);
    // The two fixed partners exist there already.
    EXPECT_EQ(report.imported, 1);
    EXPECT_EQ(report.refused.size(), 2u);
    const int code =
        other->Scalar(u"SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"OIB\" = '69435151530'"_s)
            .toInt();
    const auto stored = registers::Load(*other, catalogue::Partners(), code);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->value(u"NAZIV"_s).toString(), u"Kod Ane's \"Đurđica\"; obrt"_s);
    EXPECT_EQ(stored->value(u"OSTALO"_s).toString(), u"dva\nretka"_s);
    EXPECT_DOUBLE_EQ(stored->value(u"RABAT"_s).toDouble(), 2.5);
    EXPECT_TRUE(stored->value(u"Kupac"_s).toBool());
    EXPECT_FALSE(stored->value(u"Dobavljac"_s).toBool());
    EXPECT_EQ(stored->value(u"CJENIK"_s).toInt(), otherList.code);
    EXPECT_EQ(stored->value(u"ODGODA"_s).toInt(), 15);
}

TEST_F(CsvTransferTest, ControlCharactersAndNumbersOutOfRangeRefuseTheirRow) {
    auto file = File(
        u"Grupa artikla;Grupa poreza;Naziv;Šifra;Cijena u valuti;Minimalna zaliha;Carina %;"
        "Napomena\n"
        "Roba;PDV;Dobar;D-1;999999999999,98;-3;-100;\n"
        "Roba;PDV;Čaj_NUL_zeleni;D-2;1;0;0;\n"
        "Roba;PDV;Čaj crni;D-3_ESC_;1;0;0;\n"
        "Roba;PDV;Kava;D-4;1;0;0;dva_TAB_dijela\n"
        "Roba;PDV;Skupo;D-5;1e5;0;0;\n"
        "Roba;PDV;Ništa;D-6;nan;0;0;\n"
        "Roba;PDV;Beskonačno;D-7;inf;0;0;\n"
        "Roba;PDV;Negativno;D-8;-0,01;0;0;\n"
        "Roba;PDV;Previše;D-9;1;1000000000;0;\n"
        "Roba;PDV;Carina;D-10;1;0;1000,5;\n"
        "Roba;PDV;Isto dobar;D-11;0;2,5;1000;\n"_s);
    for (QStringList& row : file.rows) {
        for (QString& cell : row) {
            cell.replace(u"_NUL_"_s, QString(QChar(0)));
            cell.replace(u"_ESC_"_s, QString(QChar(0x1b)));
            cell.replace(u"_TAB_"_s, QString(QChar(u'\t')));
        }
    }
    const QStringList refusals{
        u"Redak 3: Naziv sadrži nedopušten znak !"_s,
        u"Redak 4: Šifra sadrži nedopušten znak !"_s,
        u"Redak 5: Napomena sadrži nedopušten znak !"_s,
        // A file's numbers are read as a number box reads them: no exponent.
        u"Redak 6: Cijena u valuti mora biti upisana kao broj (možete upisati i "
        "nulu)"_s,
        u"Redak 7: Cijena u valuti mora biti upisana kao broj (možete upisati i "
        "nulu)"_s,
        u"Redak 8: Cijena u valuti mora biti upisana kao broj (možete upisati i "
        "nulu)"_s,
        u"Redak 9: Cijena u valuti nesmije biti negativna !"_s,
        u"Redak 10: Minimalna zaliha mora biti između -999999999,9999999999 i "
        "999999999,9999999999 !"_s,
        u"Redak 11: Carina % mora biti između -100 i 1000 !"_s,
    };
    const auto whole = transfer::Import(db(), catalogue::Articles(), file, false);
    EXPECT_FALSE(whole.committed);
    EXPECT_EQ(whole.Lines(),
              refusals + QStringList{u"Datoteka nije uvezena: odbijeno redaka 9."_s});
    EXPECT_EQ(Articles(), 0);

    const auto good = transfer::Import(db(), catalogue::Articles(), file, true);
    EXPECT_EQ(good.Lines(), refusals + QStringList{u"Uvezeno redaka: 2, odbijeno: 9."_s});
    const auto first = registers::Load(db(), catalogue::Articles(), ArticleCode(u"Dobar"_s));
    ASSERT_TRUE(first);
    EXPECT_DOUBLE_EQ(first->value(u"CIJENA_U_VALUTI"_s).toDouble(), 999999999999.98);
    EXPECT_DOUBLE_EQ(first->value(u"MIN_ZAL"_s).toDouble(), -3);
    EXPECT_DOUBLE_EQ(first->value(u"CARINA%"_s).toDouble(), -100);
    EXPECT_NE(ArticleCode(u"Isto dobar"_s), 0);
}

TEST_F(CsvTransferTest, LineBreaksOnlyInBoxesOfSeveralLinesAndDiscountsWithinAHundred) {
    const auto file = File(
        u"Naziv;Adresa;Mjesto;Ostalo;Rabat\n"
        "Prvi;Ilica 1;Zagreb;\"dva\nretka\";-5\n"
        "Drugi;\"Ilica\n2\";Zagreb;;0\n"
        "Treći;Ilica 3;Zagreb;;100,01\n"_s);
    const auto report = transfer::Import(db(), catalogue::Partners(), file, true);
    EXPECT_EQ(report.Lines(), (QStringList{u"Redak 4: Adresa sadrži nedopušten znak !"_s,
                                           u"Redak 6: Rabat mora biti između -100 i 100 !"_s,
                                           u"Uvezeno redaka: 1, odbijeno: 2."_s}));
    EXPECT_EQ(Count(db(),
                    u"SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"OSTALO\" = ? "
                    "AND \"RABAT\" = -5"_s,
                    {u"dva\nretka"_s}),
              1);
}

TEST_F(CsvTransferTest, FormulaLookingTextIsWrittenProtectedAndReadBackUnchanged) {
    const auto group =
        registers::Add(db(), catalogue::ArticleGroups(), {{u"NAZIV"_s, u"=Grupa"_s}});
    const QStringList names{
        u"=SUM(A1:A9)"_s, u"+385 1 2345"_s, u"-popust"_s,      QString(QChar(0x2212)) + u"minus"_s,
        u"@kupac"_s,      u"'navodnik"_s,   u"Obična = roba"_s};
    for (int i = 0; i < names.size(); ++i) {
        auto article = Article(names[i], u"-%1"_s.arg(i));
        article.insert(u"GRUPA_A"_s, group.code);
        article.insert(u"MIN_ZAL"_s, u"-3,5"_s);
        article.insert(u"CARINA%"_s, u"-5"_s);
        registers::Add(db(), catalogue::Articles(), article);
    }
    const auto exported = transfer::Export(db(), catalogue::Articles(), QLatin1Char(';'));
    const QString text = csv::Write(exported.header, exported.rows, QLatin1Char(';'));
    const QString taxGroup = registers::NameOf(db(), catalogue::TaxGroups(), 1);
    for (const QString& line :
         {u"'=SUM(A1:A9);'-0;kom;'=Grupa;"_s + taxGroup + u";EUR;0;-3,5;1;-5;;;\r\n"_s,
          u"'+385 1 2345;'-1;"_s, u"'-popust;'-2;"_s, u"'\u2212minus;'-3;"_s, u"'@kupac;'-4;"_s,
          u"''navodnik;'-5;"_s, u"\nObična = roba;'-6;"_s}) {
        EXPECT_TRUE(text.contains(line)) << line.toStdString() << " in\n" << text.toStdString();
    }

    // Into another company with a group of the same name, through the reader.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"druga.mdb"_s);
    CopyTemplateCompany(path);
    auto other = Database::Open(path, QString()).db;
    const auto otherGroup =
        registers::Add(*other, catalogue::ArticleGroups(), {{u"NAZIV"_s, u"=Grupa"_s}});
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    csv::CsvReader reader(buffer);
    const auto report = transfer::Import(*other, catalogue::Articles(), reader, false);
    ASSERT_TRUE(report.committed) << report.Lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(report.imported, names.size());
    for (int i = 0; i < names.size(); ++i) {
        const int code = other
                             ->Scalar(
                                 u"SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE "
                                 "\"NAZIV\" = ? AND \"OPIS\" = ?"_s,
                                 {names[i], u"-%1"_s.arg(i)})
                             .toInt();
        const auto stored = registers::Load(*other, catalogue::Articles(), code);
        ASSERT_TRUE(stored) << names[i].toStdString();
        EXPECT_EQ(stored->value(u"GRUPA_A"_s).toInt(), otherGroup.code);
        EXPECT_DOUBLE_EQ(stored->value(u"MIN_ZAL"_s).toDouble(), -3.5);
        EXPECT_DOUBLE_EQ(stored->value(u"CARINA%"_s).toDouble(), -5);
    }
}

TEST_F(CsvTransferTest, ZodractlImportsAllOrNothingOrTheGoodRowsAndExports) {
    QTemporaryDir dir;
    const QString csvPath = dir.filePath(u"artikli.csv"_s);
    {
        QFile file(csvPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            u"Naziv,Šifra,Grupa artikla,Grupa poreza,Barkod\r\n"
            "\"Čokolada, mliječna\",C-1,Roba,PDV,3850000000017\r\n"
            "Bez grupe,C-2,,PDV,\r\n"
            "Žvakaće,C-3,Roba,PDV,3850000000017\r\n"_s.toUtf8());
    }
    Outcome r = Zodractl({u"import"_s, CompanyPath(), u"articles"_s, csvPath});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out,
              u"Redak 3: Grupa artikla nije ispravno upisana\n"
              "Redak 4: Artikal sa barkodom '3850000000017' je već upisan.\n"
              "Datoteka nije uvezena: odbijeno redaka 2.\n"_s);
    auto db = Open();
    EXPECT_EQ(Count(*db, u"SELECT COUNT(*) FROM \"ARTIKLI\""_s), 0);
    db.reset();
    r = Zodractl({u"import"_s, CompanyPath(), u"artikli"_s, csvPath, u"--skip-bad"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(u"Uvezeno redaka: 1, odbijeno: 2.\n"_s)) << r.out.toStdString();
    const QString outPath = dir.filePath(u"izvoz.csv"_s);
    r = Zodractl({u"export"_s, CompanyPath(), u"articles"_s, outPath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile out(outPath);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray bytes = out.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBFNaziv;Šifra;")) << bytes.left(40).toStdString();
    EXPECT_TRUE(
        bytes.contains("Čokolada, mliječna;C-1;kom;Roba;PDV;EUR;0;0;1;0;3850000000017;;\r\n"))
        << bytes.toStdString();
    r = Zodractl({u"import"_s, CompanyPath(), u"artikli"_s});
    EXPECT_EQ(r.exitCode, 2);
    QFile latin(dir.filePath(u"latin.csv"_s));
    ASSERT_TRUE(latin.open(QIODevice::WriteOnly));
    latin.write(
        "Naziv\n\xe8"
        "aj\n");
    latin.close();
    r = Zodractl({u"import"_s, CompanyPath(), u"articles"_s, latin.fileName()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), u"Datoteka nije zapisana u UTF-8 kodu."_s);
}

TEST_F(CsvTransferTest, ZodractlRefusesANulByteWithItsRowAndKeepsTheGoodRowsWhenAsked) {
    QTemporaryDir dir;
    const QString csvPath = dir.filePath(u"artikli.csv"_s);
    {
        QFile file(csvPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray("Naziv;Grupa artikla;Grupa poreza;Cijena u valuti\n"
                       "Dobar;Roba;PDV;1,5\nLo") +
            '\0' +
            QByteArray("š;Roba;PDV;2\nSkupo;Roba;PDV;1000000000000\nTakođer dobar;Roba;PDV;0\n"));
    }
    const QStringList args{u"import"_s, CompanyPath(), u"articles"_s, csvPath};
    Outcome r = Zodractl(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out,
              u"Redak 3: Naziv sadrži nedopušten znak !\n"
              "Redak 4: Cijena u valuti mora biti između 0 i 999999999999,99 !\n"
              "Datoteka nije uvezena: odbijeno redaka 2.\n"_s);
    EXPECT_EQ(Articles(), 0);
    r = Zodractl(args + QStringList{u"--skip-bad"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(u"Uvezeno redaka: 2, odbijeno: 2.\n"_s)) << r.out.toStdString();
    EXPECT_NE(ArticleCode(u"Dobar"_s), 0);
    EXPECT_NE(ArticleCode(u"Također dobar"_s), 0);
    EXPECT_EQ(Articles(), 2);
}

}  // namespace
