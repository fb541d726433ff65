#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "RegisterTestSupport.h"
#include "data/registers/Csv.h"
#include "data/registers/RegisterTransfer.h"
#include "pricelists/PriceLists.h"

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

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome Zodractl(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(ZODRACTL_PATH), args);
    process.waitForFinished(60000);
    return Outcome{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                   QString::fromUtf8(process.readAllStandardError())};
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
        bytes.contains("Čokolada, mliječna;C-1;kom;Roba;PDV;EUR;0;0;1;0;3850000000017;\r\n"))
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

}  // namespace
