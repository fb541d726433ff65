#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include "RegisterTestSupport.h"
#include "pricelists/PriceLists.h"
#include "registers/Csv.h"
#include "registers/CsvReader.h"
#include "registers/RegisterTransfer.h"
#include "support/Zodractl.h"

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
    EXPECT_EQ(table.header, (QStringList{QStringLiteral("Naziv"), QStringLiteral("Šifra"),
                                         QStringLiteral("Napomena")}));
    ASSERT_EQ(table.rows.size(), 3u);
    EXPECT_EQ(table.rows[0], (QStringList{QStringLiteral("Vino; crno"), QStringLiteral("V-1"),
                                          QStringLiteral("rekao je \"dobro\"")}));
    EXPECT_EQ(table.rows[1],
              (QStringList{QStringLiteral("Dva\nretka"), QString(), QStringLiteral("zadnji")}));
    EXPECT_EQ(table.rows[2],
              (QStringList{QStringLiteral("Kod Ane's"), QStringLiteral("K'1"), QString()}));
    EXPECT_EQ(table.lines, (std::vector<int>{2, 4, 6}));
}

TEST(Csv, CommaFilesAreRecognisedAndUnclosedQuotesRefused) {
    const auto table =
        csv::Parse(QStringLiteral("Naziv,Cijena u valuti\n\"Čaj, zeleni\",\"1,5\"\n"));
    EXPECT_EQ(table.separator, QLatin1Char(','));
    ASSERT_EQ(table.rows.size(), 1u);
    EXPECT_EQ(table.rows[0], (QStringList{QStringLiteral("Čaj, zeleni"), QStringLiteral("1,5")}));
    EXPECT_EQ(Refusal([] { csv::Parse(QStringLiteral("Naziv\nprvi\n\"drugi\ntreći\n")); }),
              QStringLiteral("Navodnici otvoreni u retku 3 nisu zatvoreni."));
}

TEST(Csv, WrittenFilesReadBackTheSame) {
    const QStringList header{QStringLiteral("Naziv"), QStringLiteral("Napomena")};
    const std::vector<QStringList> rows{
        {QStringLiteral("Vino; \"crno\""), QStringLiteral("a\r\nb")},
        {QStringLiteral(" razmak "), QString()},
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
        const QString name = QStringLiteral("Čaj đurđica € %1").arg(i);
        const QString note = QStringLiteral("prvi red\nšđčćž, drugi %1").arg(i);
        bytes += (name + QStringLiteral(",\"") + note + QStringLiteral("\"\r\n")).toUtf8();
        expected.push_back({name, note});
    }
    ASSERT_GT(bytes.size(), 3 * 64 * 1024);
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    csv::CsvReader reader(buffer);
    EXPECT_EQ(reader.Separator(), QLatin1Char(','));
    EXPECT_EQ(reader.Header(), (QStringList{QStringLiteral("Naziv"), QStringLiteral("Napomena")}));
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
    const QString notUtf8 = QStringLiteral("Datoteka nije zapisana u UTF-8 kodu.");
    QByteArray late = QByteArrayLiteral("Naziv\n") + QByteArray(100000, 'a') + "\n\xe8" + "aj\n";
    EXPECT_EQ(refusalOf(late), notUtf8) << "a Latin-2 č after the first block";
    EXPECT_EQ(refusalOf(QByteArrayLiteral("Naziv\n\xc4")), notUtf8) << "cut at the end";
    EXPECT_EQ(refusalOf(QByteArrayLiteral("Naziv\n\"\xc4\x8d")),
              QStringLiteral("Navodnici otvoreni u retku 2 nisu zatvoreni."))
        << "the č is whole; the quote is not closed";
}

class CsvTransferTest : public RegisterTest {
protected:
    csv::Table File(const QString& text) { return csv::Parse(text); }
    int Articles() { return Count(db(), QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\"")); }
    int ArticleCode(const QString& name) {
        return db()
            .Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE \"NAZIV\" = ?"), {name})
            .toInt();
    }
};

using Outcome = zodra::test::ZodractlRun;

Outcome Zodractl(const QStringList& args) {
    return zodra::test::RunZodractl(args);
}

TEST_F(CsvTransferTest, ABadRowLeavesTheRegisterAsItWasAndEveryRefusalIsReported) {
    AddArticle(db(), QStringLiteral("Postojeći"), QStringLiteral("X-1"));
    const auto file =
        File(QStringLiteral("Naziv;Šifra;Grupa artikla;Grupa poreza;Cijena u valuti;Barkod\n"
                            "Čaj od kamilice;P-1;Roba;PDV 5%;1,29;3850001\n"
                            "postojeći;P-2;Roba;PDV;1;\n"
                            "Kava;X-1;Roba;PDV;3.49;\n"
                            "Med;P-4;Nepostojeća;PDV;4;\n"
                            "Kod Ane's džem;P-5;1;3;2,5;\n"
                            "Čaj od kamilice;P-6;Roba;PDV;1;\n"));
    const auto report = transfer::Import(db(), catalogue::Articles(), file, false);
    EXPECT_FALSE(report.committed);
    EXPECT_EQ(report.imported, 0);
    EXPECT_EQ(Articles(), 1) << "nothing half-imported";
    EXPECT_EQ(
        report.Lines(),
        (QStringList{QStringLiteral("Redak 3: Artikal sa nazivom 'postojeći' je već upisan."),
                     QStringLiteral("Redak 4: Artikal sa šifrom 'X-1' je već upisan."),
                     QStringLiteral("Redak 5: Grupa artikla nije ispravno upisana"),
                     QStringLiteral("Redak 7: Artikal sa nazivom 'Čaj od kamilice' je već upisan."),
                     QStringLiteral("Datoteka nije uvezena: odbijeno redaka 4.")}));

    const auto kept = transfer::Import(db(), catalogue::Articles(), file, true);
    EXPECT_TRUE(kept.committed);
    EXPECT_EQ(kept.imported, 2);
    EXPECT_EQ(kept.refused.size(), 4u);
    EXPECT_EQ(kept.Lines().last(), QStringLiteral("Uvezeno redaka: 2, odbijeno: 4."));
    EXPECT_EQ(Articles(), 3);
    const int tea = ArticleCode(QStringLiteral("Čaj od kamilice"));
    const auto stored = registers::Load(db(), catalogue::Articles(), tea);
    EXPECT_EQ(stored->value(QStringLiteral("GRUPA_P")).toInt(), 3) << "tax group found by name";
    EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("CIJENA_U_VALUTI")).toDouble(), 1.29);
    EXPECT_EQ(stored->value(QStringLiteral("JED_M")).toString(), QStringLiteral("kom"))
        << "start value";
    EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("PAKOVANJE")).toDouble(), 1);
}

TEST_F(CsvTransferTest, TheHeaderMustNameKnownColumnsOnceAndTheName) {
    EXPECT_EQ(Refusal([&] {
                  transfer::Import(db(), catalogue::Articles(),
                                   File(QStringLiteral("Naziv;Boja\nA;b\n")), false);
              }),
              QStringLiteral("Nepoznat stupac 'Boja'."));
    EXPECT_EQ(Refusal([&] {
                  transfer::Import(db(), catalogue::Articles(),
                                   File(QStringLiteral("Naziv;NAZIV\nA;b\n")), false);
              }),
              QStringLiteral("Stupac 'NAZIV' se ponavlja."));
    EXPECT_EQ(Refusal([&] {
                  transfer::Import(db(), catalogue::Partners(), File(QStringLiteral("OIB\n1\n")),
                                   false);
              }),
              QStringLiteral("U datoteci nema stupca 'Naziv'."));
}

TEST_F(CsvTransferTest, PartnersGoOutAndComeBackWithTheirListsAndFlags) {
    const auto list = registers::Add(db(), pricelists::Register(),
                                     {{QStringLiteral("NAZIV"), QStringLiteral("Veleprodaja")}});
    const auto post = registers::Add(db(), catalogue::DeliveryMethods(),
                                     {{QStringLiteral("NAZIV"), QStringLiteral("pošta")}});
    auto partner =
        Partner(QStringLiteral("Kod Ane's \"Đurđica\"; obrt"), QStringLiteral("69435151530"));
    partner.insert(QStringLiteral("RABAT"), QStringLiteral("2,5"));
    partner.insert(QStringLiteral("Kupac"), true);
    partner.insert(QStringLiteral("CJENIK"), list.code);
    partner.insert(QStringLiteral("NACIN_ISPORUKE"), post.code);
    partner.insert(QStringLiteral("OSTALO"), QStringLiteral("dva\nretka"));
    registers::Add(db(), catalogue::Partners(), partner);
    const auto exported = transfer::Export(db(), catalogue::Partners(), QLatin1Char(';'));
    ASSERT_EQ(exported.rows.size(), 3u);  // with the two partners of every company
    const QString text = csv::Write(exported.header, exported.rows, QLatin1Char(';'));

    // Into another company that has a list and a delivery method of the same names.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("druga.mdb"));
    CopyTemplateCompany(path);
    auto other = Database::Open(path, QString()).db;
    registers::Add(*other, catalogue::DeliveryMethods(),
                   {{QStringLiteral("NAZIV"), QStringLiteral("Pošta")}});
    const auto otherList = registers::Add(
        *other, pricelists::Register(), {{QStringLiteral("NAZIV"), QStringLiteral("veleprodaja")}});
    const auto report = transfer::Import(*other, catalogue::Partners(), csv::Parse(text), true);
    // The two fixed partners exist there already.
    EXPECT_EQ(report.imported, 1);
    EXPECT_EQ(report.refused.size(), 2u);
    const int code = other
                         ->Scalar(QStringLiteral(
                             "SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"OIB\" = '69435151530'"))
                         .toInt();
    const auto stored = registers::Load(*other, catalogue::Partners(), code);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->value(QStringLiteral("NAZIV")).toString(),
              QStringLiteral("Kod Ane's \"Đurđica\"; obrt"));
    EXPECT_EQ(stored->value(QStringLiteral("OSTALO")).toString(), QStringLiteral("dva\nretka"));
    EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("RABAT")).toDouble(), 2.5);
    EXPECT_TRUE(stored->value(QStringLiteral("Kupac")).toBool());
    EXPECT_FALSE(stored->value(QStringLiteral("Dobavljac")).toBool());
    EXPECT_EQ(stored->value(QStringLiteral("CJENIK")).toInt(), otherList.code);
    EXPECT_EQ(stored->value(QStringLiteral("ODGODA")).toInt(), 15);
}

TEST_F(CsvTransferTest, ControlCharactersAndNumbersOutOfRangeRefuseTheirRow) {
    auto file = File(QStringLiteral(
        "Grupa artikla;Grupa poreza;Naziv;Šifra;Cijena u valuti;Minimalna zaliha;Carina %;"
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
        "Roba;PDV;Isto dobar;D-11;0;2,5;1000;\n"));
    for (QStringList& row : file.rows) {
        for (QString& cell : row) {
            cell.replace(QStringLiteral("_NUL_"), QString(QChar(0)));
            cell.replace(QStringLiteral("_ESC_"), QString(QChar(0x1b)));
            cell.replace(QStringLiteral("_TAB_"), QString(QChar(u'\t')));
        }
    }
    const QStringList refusals{
        QStringLiteral("Redak 3: Naziv sadrži nedopušten znak !"),
        QStringLiteral("Redak 4: Šifra sadrži nedopušten znak !"),
        QStringLiteral("Redak 5: Napomena sadrži nedopušten znak !"),
        // A file's numbers are read as a number box reads them: no exponent.
        QStringLiteral("Redak 6: Cijena u valuti mora biti upisana kao broj (možete upisati i "
                       "nulu)"),
        QStringLiteral("Redak 7: Cijena u valuti mora biti upisana kao broj (možete upisati i "
                       "nulu)"),
        QStringLiteral("Redak 8: Cijena u valuti mora biti upisana kao broj (možete upisati i "
                       "nulu)"),
        QStringLiteral("Redak 9: Cijena u valuti nesmije biti negativna !"),
        QStringLiteral("Redak 10: Minimalna zaliha mora biti između -999999999,9999999999 i "
                       "999999999,9999999999 !"),
        QStringLiteral("Redak 11: Carina % mora biti između -100 i 1000 !"),
    };
    const auto whole = transfer::Import(db(), catalogue::Articles(), file, false);
    EXPECT_FALSE(whole.committed);
    EXPECT_EQ(whole.Lines(),
              refusals + QStringList{QStringLiteral("Datoteka nije uvezena: odbijeno redaka 9.")});
    EXPECT_EQ(Articles(), 0);

    const auto good = transfer::Import(db(), catalogue::Articles(), file, true);
    EXPECT_EQ(good.Lines(),
              refusals + QStringList{QStringLiteral("Uvezeno redaka: 2, odbijeno: 9.")});
    const auto first =
        registers::Load(db(), catalogue::Articles(), ArticleCode(QStringLiteral("Dobar")));
    ASSERT_TRUE(first);
    EXPECT_DOUBLE_EQ(first->value(QStringLiteral("CIJENA_U_VALUTI")).toDouble(), 999999999999.98);
    EXPECT_DOUBLE_EQ(first->value(QStringLiteral("MIN_ZAL")).toDouble(), -3);
    EXPECT_DOUBLE_EQ(first->value(QStringLiteral("CARINA%")).toDouble(), -100);
    EXPECT_NE(ArticleCode(QStringLiteral("Isto dobar")), 0);
}

TEST_F(CsvTransferTest, LineBreaksOnlyInBoxesOfSeveralLinesAndDiscountsWithinAHundred) {
    const auto file =
        File(QStringLiteral("Naziv;Adresa;Mjesto;Ostalo;Rabat\n"
                            "Prvi;Ilica 1;Zagreb;\"dva\nretka\";-5\n"
                            "Drugi;\"Ilica\n2\";Zagreb;;0\n"
                            "Treći;Ilica 3;Zagreb;;100,01\n"));
    const auto report = transfer::Import(db(), catalogue::Partners(), file, true);
    EXPECT_EQ(report.Lines(),
              (QStringList{QStringLiteral("Redak 4: Adresa sadrži nedopušten znak !"),
                           QStringLiteral("Redak 6: Rabat mora biti između -100 i 100 !"),
                           QStringLiteral("Uvezeno redaka: 1, odbijeno: 2.")}));
    EXPECT_EQ(Count(db(),
                    QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"OSTALO\" = ? "
                                   "AND \"RABAT\" = -5"),
                    {QStringLiteral("dva\nretka")}),
              1);
}

TEST_F(CsvTransferTest, FormulaLookingTextIsWrittenProtectedAndReadBackUnchanged) {
    const auto group = registers::Add(db(), catalogue::ArticleGroups(),
                                      {{QStringLiteral("NAZIV"), QStringLiteral("=Grupa")}});
    const QStringList names{
        QStringLiteral("=SUM(A1:A9)"),  QStringLiteral("+385 1 2345"),
        QStringLiteral("-popust"),      QString(QChar(0x2212)) + QStringLiteral("minus"),
        QStringLiteral("@kupac"),       QStringLiteral("'navodnik"),
        QStringLiteral("Obična = roba")};
    for (int i = 0; i < names.size(); ++i) {
        auto article = Article(names[i], QStringLiteral("-%1").arg(i));
        article.insert(QStringLiteral("GRUPA_A"), group.code);
        article.insert(QStringLiteral("MIN_ZAL"), QStringLiteral("-3,5"));
        article.insert(QStringLiteral("CARINA%"), QStringLiteral("-5"));
        registers::Add(db(), catalogue::Articles(), article);
    }
    const auto exported = transfer::Export(db(), catalogue::Articles(), QLatin1Char(';'));
    const QString text = csv::Write(exported.header, exported.rows, QLatin1Char(';'));
    const QString taxGroup = registers::NameOf(db(), catalogue::TaxGroups(), 1);
    for (const QString& line :
         {QStringLiteral("'=SUM(A1:A9);'-0;kom;'=Grupa;") + taxGroup +
              QStringLiteral(";EUR;0;-3,5;1;-5;;;\r\n"),
          QStringLiteral("'+385 1 2345;'-1;"), QStringLiteral("'-popust;'-2;"),
          QStringLiteral("'\u2212minus;'-3;"), QStringLiteral("'@kupac;'-4;"),
          QStringLiteral("''navodnik;'-5;"), QStringLiteral("\nObična = roba;'-6;")}) {
        EXPECT_TRUE(text.contains(line)) << line.toStdString() << " in\n" << text.toStdString();
    }

    // Into another company with a group of the same name, through the reader.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("druga.mdb"));
    CopyTemplateCompany(path);
    auto other = Database::Open(path, QString()).db;
    const auto otherGroup = registers::Add(*other, catalogue::ArticleGroups(),
                                           {{QStringLiteral("NAZIV"), QStringLiteral("=Grupa")}});
    QByteArray bytes = text.toUtf8();
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    csv::CsvReader reader(buffer);
    const auto report = transfer::Import(*other, catalogue::Articles(), reader, false);
    ASSERT_TRUE(report.committed) << report.Lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(report.imported, names.size());
    for (int i = 0; i < names.size(); ++i) {
        const int code = other
                             ->Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"ARTIKLI\" WHERE "
                                                     "\"NAZIV\" = ? AND \"OPIS\" = ?"),
                                      {names[i], QStringLiteral("-%1").arg(i)})
                             .toInt();
        const auto stored = registers::Load(*other, catalogue::Articles(), code);
        ASSERT_TRUE(stored) << names[i].toStdString();
        EXPECT_EQ(stored->value(QStringLiteral("GRUPA_A")).toInt(), otherGroup.code);
        EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("MIN_ZAL")).toDouble(), -3.5);
        EXPECT_DOUBLE_EQ(stored->value(QStringLiteral("CARINA%")).toDouble(), -5);
    }
}

TEST_F(CsvTransferTest, ZodractlImportsAllOrNothingOrTheGoodRowsAndExports) {
    QTemporaryDir dir;
    const QString csvPath = dir.filePath(QStringLiteral("artikli.csv"));
    {
        QFile file(csvPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("Naziv,Šifra,Grupa artikla,Grupa poreza,Barkod\r\n"
                                  "\"Čokolada, mliječna\",C-1,Roba,PDV,3850000000017\r\n"
                                  "Bez grupe,C-2,,PDV,\r\n"
                                  "Žvakaće,C-3,Roba,PDV,3850000000017\r\n")
                       .toUtf8());
    }
    Outcome r =
        Zodractl({QStringLiteral("import"), CompanyPath(), QStringLiteral("articles"), csvPath});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, QStringLiteral("Redak 3: Grupa artikla nije ispravno upisana\n"
                                    "Redak 4: Artikal sa barkodom '3850000000017' je već upisan.\n"
                                    "Datoteka nije uvezena: odbijeno redaka 2.\n"));
    auto db = Open();
    EXPECT_EQ(Count(*db, QStringLiteral("SELECT COUNT(*) FROM \"ARTIKLI\"")), 0);
    db.reset();
    r = Zodractl({QStringLiteral("import"), CompanyPath(), QStringLiteral("artikli"), csvPath,
                  QStringLiteral("--skip-bad")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("Uvezeno redaka: 1, odbijeno: 2.\n")))
        << r.out.toStdString();
    const QString outPath = dir.filePath(QStringLiteral("izvoz.csv"));
    r = Zodractl({QStringLiteral("export"), CompanyPath(), QStringLiteral("articles"), outPath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    QFile out(outPath);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray bytes = out.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBFNaziv;Šifra;")) << bytes.left(40).toStdString();
    EXPECT_TRUE(
        bytes.contains("Čokolada, mliječna;C-1;kom;Roba;PDV;EUR;0;0;1;0;3850000000017;;\r\n"))
        << bytes.toStdString();
    r = Zodractl({QStringLiteral("import"), CompanyPath(), QStringLiteral("artikli")});
    EXPECT_EQ(r.exitCode, 2);
    QFile latin(dir.filePath(QStringLiteral("latin.csv")));
    ASSERT_TRUE(latin.open(QIODevice::WriteOnly));
    latin.write(
        "Naziv\n\xe8"
        "aj\n");
    latin.close();
    r = Zodractl(
        {QStringLiteral("import"), CompanyPath(), QStringLiteral("articles"), latin.fileName()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("Datoteka nije zapisana u UTF-8 kodu."));
}

TEST_F(CsvTransferTest, ZodractlRefusesANulByteWithItsRowAndKeepsTheGoodRowsWhenAsked) {
    QTemporaryDir dir;
    const QString csvPath = dir.filePath(QStringLiteral("artikli.csv"));
    {
        QFile file(csvPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QByteArray("Naziv;Grupa artikla;Grupa poreza;Cijena u valuti\n"
                       "Dobar;Roba;PDV;1,5\nLo") +
            '\0' +
            QByteArray("š;Roba;PDV;2\nSkupo;Roba;PDV;1000000000000\nTakođer dobar;Roba;PDV;0\n"));
    }
    const QStringList args{QStringLiteral("import"), CompanyPath(), QStringLiteral("articles"),
                           csvPath};
    Outcome r = Zodractl(args);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out,
              QStringLiteral("Redak 3: Naziv sadrži nedopušten znak !\n"
                             "Redak 4: Cijena u valuti mora biti između 0 i 999999999999,99 !\n"
                             "Datoteka nije uvezena: odbijeno redaka 2.\n"));
    EXPECT_EQ(Articles(), 0);
    r = Zodractl(args + QStringList{QStringLiteral("--skip-bad")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("Uvezeno redaka: 2, odbijeno: 2.\n")))
        << r.out.toStdString();
    EXPECT_NE(ArticleCode(QStringLiteral("Dobar")), 0);
    EXPECT_NE(ArticleCode(QStringLiteral("Također dobar")), 0);
    EXPECT_EQ(Articles(), 2);
}

}  // namespace
