#include <gtest/gtest.h>
#include <QDate>
#include <QSet>
#include <QTemporaryDir>

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Statement.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

using namespace zodra;
using zodra::test::CompanyTest;

class EmptyCompany : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        db = Open();
    }
    int Count(const QString& sql, const QVariantList& params = {}) {
        return db->Scalar(sql, params).toInt();
    }
    std::unique_ptr<Database> db;
};

TEST_F(EmptyCompany, HoldsTheRowsEveryCompanyNeeds) {
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PODACI_FIRME\"")), 1);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1"))
                  .toString(),
              QStringLiteral("EUR"));
    EXPECT_EQ(
        db->Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"UVJETI_PRODAJE\" WHERE \"SIFRA\" = 1"))
            .toString(),
        QStringLiteral("Maloprodaja"));
    EXPECT_EQ(Count(QStringLiteral(
                  "SELECT \"TIP_OPOREZIVANJA\" FROM \"UVJETI_PRODAJE\" WHERE \"SIFRA\" = 1")),
              12);
    QSet<int> types;
    Statement terms = db->Prepare(QStringLiteral(
        "SELECT \"TIP_OPOREZIVANJA\" FROM \"UVJETI_PRODAJE\" WHERE \"SIFRA\" BETWEEN 1 AND 7"));
    terms.Exec();
    while (terms.Next()) {
        types.insert(terms.Int(0));
    }
    EXPECT_EQ(types, (QSet<int>{7, 8, 9, 10, 12, 13, 14}));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"KNJIGE_IRA\" WHERE \"SIFRA\" = 1")), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"KNJIGE_URA\" WHERE \"SIFRA\" = 1")), 1);
    for (const char16_t* partner : {u"Kupac u maloprodaji", u"Prijenos iz prošle godine"}) {
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"),
                        {QString::fromUtf16(partner)}),
                  1);
    }
    for (const char16_t* group : {u"Neoporezivo", u"PDV"}) {
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"GRUPE_POREZA\" WHERE \"NAZIV\" = ?"),
                        {QString::fromUtf16(group)}),
                  1);
    }
    EXPECT_EQ(Count(QStringLiteral(
                  "SELECT \"STOPA\" FROM \"GRUPE_POREZA\" WHERE \"NAZIV\" = 'Neoporezivo'")),
              0);
    EXPECT_EQ(db->Scalar(QStringLiteral(
                             "SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
                         {QStringLiteral("Godina koja se knjiži")})
                  .toString(),
              QStringLiteral("2026"));
    EXPECT_EQ(db->Scalar(QStringLiteral(
                             "SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"),
                         {QStringLiteral("Vođenje skladišta")})
                  .toString(),
              QStringLiteral("FIFO"));
}

namespace {

// An older file's views go first: the migration rebuilds them over the changed tables.
void DropViews(Database& db) {
    QStringList views;
    Statement list =
        db.Prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'view'"));
    list.Exec();
    while (list.Next()) {
        views << list.Text(0);
    }
    list.Finish();
    ASSERT_FALSE(views.isEmpty());
    for (const QString& view : views) {
        db.ExecRaw(QStringLiteral("DROP VIEW \"") + view + QStringLiteral("\""));
    }
}

// The columns version 16 added to the fiscal records (its table of reports is made if missing).
void DropFiscalChangeColumns(Database& db) {
    for (const char* column : {"OIB_PRIMATELJA", "PROMJENA_NACINA", "PROMJENA_OIB"}) {
        db.ExecRaw(QStringLiteral("ALTER TABLE \"FISKAL_RACUNI\" DROP COLUMN \"%1\"")
                       .arg(QString::fromLatin1(column)));
    }
}

// What versions 4 to 12 added (the invoice's currency and rate, the VAT kinds, the output book's
// report table, the input book's 5 and 13 % columns, the article's KPD), dropped to make an
// older file.
void DropVersionsFourToTwelve(Database& db) {
    for (const char* column : {"VALUTA", "TECAJ"}) {
        db.ExecRaw(QStringLiteral("ALTER TABLE \"RACUNI\" DROP COLUMN \"%1\"")
                       .arg(QString::fromLatin1(column)));
    }
    db.ExecRaw(QStringLiteral("DROP TABLE \"PDV_VRSTE\""));
    db.ExecRaw(QStringLiteral("DROP TABLE \"KNJIGA_IRA_IZVJESTAJ\""));
    db.ExecRaw(QStringLiteral("ALTER TABLE \"GRUPE_POREZA\" DROP COLUMN \"PDV_VRSTA\""));
    db.ExecRaw(QStringLiteral("ALTER TABLE \"ARTIKLI\" DROP COLUMN \"KPD\""));
    for (const char* column :
         {"Osnovica5", "PretporezUkupno5", "PretporezOdbiti5", "PretporezNeOdbiti5", "Osnovica13",
          "PretporezUkupno13", "PretporezOdbiti13", "PretporezNeOdbiti13", "Vrsta nabave"}) {
        db.ExecRaw(QStringLiteral("ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" DROP COLUMN \"%1\"")
                       .arg(QString::fromUtf8(column)));
    }
}

}  // namespace

TEST(Migrations, StepsRunInOrderOnceEachAndAFailingStepChangesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.mdb"));
    zodra::test::CopyTemplateCompany(path);
    auto db = Database::Open(path, QString()).db;
    const int base = CompanySchema::kCurrentVersion;
    const std::vector<CompanySchema::Migration> steps = {
        {base + 1, QStringLiteral("CREATE TABLE \"PROBA\" (\"A\" INTEGER);")},
        {base + 2, QStringLiteral("ALTER TABLE \"PROBA\" ADD COLUMN \"B\" TEXT; "
                                  "INSERT INTO \"PROBA\" (\"A\", \"B\") VALUES (1, 'x;y');")},
    };
    CompanySchema::Migrate(*db, steps);
    EXPECT_EQ(db->Scalar(QStringLiteral("PRAGMA user_version")).toInt(), base + 2);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT \"B\" FROM \"PROBA\"")).toString(),
              QStringLiteral("x;y"));
    CompanySchema::Migrate(*db, steps);  // nothing left to do
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PROBA\"")).toInt(), 1);

    const std::vector<CompanySchema::Migration> broken = {
        {base + 3,
         QStringLiteral("INSERT INTO \"PROBA\" (\"A\") VALUES (2); SELECT * FROM \"NEMA\";")}};
    EXPECT_THROW(CompanySchema::Migrate(*db, broken), DbError);
    EXPECT_EQ(db->Scalar(QStringLiteral("PRAGMA user_version")).toInt(), base + 2);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"PROBA\"")).toInt(), 1);
}

// A company file of the first version (before invoice lines kept the lot's price) opens as the
// current one: the column is added to the posted and the working lines, the lines posted before
// keep the value the article card gave them (their own net price), and the card reads the new
// column.
TEST(Migrations, AFirstVersionCompanyGetsTheLotPriceOfInvoiceLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("stara.mdb"));
    zodra::test::CopyTemplateCompany(path);
    {
        auto db = Database::Open(path, QString()).db;
        ASSERT_TRUE(db);
        DropViews(*db);
        for (const char* table :
             {"STAVKE_RACUNA", "STAVKE_RACUNA_PRIVREMENO", "STAVKE_OTPREMNICA"}) {
            db->ExecRaw(QStringLiteral("ALTER TABLE \"%1\" DROP COLUMN \"CIJENA_SKLADISTA\"")
                            .arg(QString::fromLatin1(table)));
        }
        db->ExecRaw(QStringLiteral(
            "INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
            "\"DATUM\", \"RBR_TK\", \"SKIDA\") VALUES (1, 1, 2026, 7, '2026-03-02', 3, TRUE)"));
        db->ExecRaw(QStringLiteral(
            "INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
            "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
            "\"NABAVNA_CIJENA\", \"CIJENA_\") VALUES (1, 1, 2026, 7, 'ART', 5, 2, 4, 5, 7.5)"));
        DropVersionsFourToTwelve(*db);
        DropFiscalChangeColumns(*db);
        db->ExecRaw(QStringLiteral(
            "INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", \"Redni broj\", "
            "\"Osnovica25\") VALUES (1, 2026, 1, 100)"));
        db->ExecRaw(QStringLiteral("PRAGMA user_version = 1"));
    }
    auto opened = Database::Open(path, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    Database& db = *opened.db;
    EXPECT_EQ(db.SchemaVersion(), CompanySchema::kCurrentVersion);
    EXPECT_TRUE(db.Columns(QStringLiteral("STAVKE_RACUNA_PRIVREMENO"))
                    .contains(QStringLiteral("CIJENA_SKLADISTA")));
    EXPECT_TRUE(
        db.Columns(QStringLiteral("FISKAL_RACUNI")).contains(QStringLiteral("PROMJENA_OIB")));
    // Version 7: the input invoice book's rows gain the 5 and 13 % columns at 0 and the kind of
    // purchase "domestic", and the payments view reads them.
    EXPECT_EQ(db.Scalar(QStringLiteral("SELECT \"Osnovica13\" + \"Vrsta nabave\" + "
                                       "\"Osnovica25\" FROM \"KNJIGE_ULAZNIH_RACUNA\""))
                  .toDouble(),
              100);
    EXPECT_EQ(
        db.Scalar(QStringLiteral("SELECT COUNT(*) FROM \"Query ulazni računi plaćeno\"")).toInt(),
        0);
    EXPECT_EQ(
        db.Scalar(QStringLiteral("SELECT \"CIJENA_SKLADISTA\" FROM \"STAVKE_RACUNA\"")).toDouble(),
        7.5);
    // The card's row of that invoice: 4 out at 7,50 (30,00), as before the new column.
    EXPECT_DOUBLE_EQ(
        db.Scalar(QStringLiteral("SELECT \"VELEPRODAJNA VRIJEDNOST IZLAZ\" FROM "
                                 "\"KARTICA_ARTIKLA\" WHERE \"ARTIKAL\" = 5 AND \"RBR\" = 3"))
            .toDouble(),
        30.0);
}

TEST(SchemaScripts, StatementsSplitOutsideQuotesAndComments) {
    const QStringList parts = CompanySchema::SplitStatements(QStringLiteral(
        "CREATE TABLE \"a;b\" (\"x\" TEXT DEFAULT ';'); -- a comment; with a semicolon\n"
        "/* block; comment */ INSERT INTO \"a;b\" VALUES ('it''s; fine');\n  \n"));
    ASSERT_EQ(parts.size(), 2);
    EXPECT_TRUE(parts.at(0).startsWith(QStringLiteral("CREATE TABLE \"a;b\"")));
    EXPECT_TRUE(parts.at(1).endsWith(QStringLiteral("VALUES ('it''s; fine')")));
    EXPECT_EQ(
        CompanySchema::ExpandTokens(QStringLiteral("\"ID\" {{AUTO_ID}}, \"L\" {{BLOB}}"),
                                    SqlDialect::Postgres),
        QStringLiteral("\"ID\" INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, \"L\" BYTEA"));
}

TEST(SchemaScripts, ANewCompanyRefusesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.mdb"));
    CompanySchema::CreateCompany(path, 2026);
    EXPECT_REFUSED(CompanySchema::CreateCompany(path, 2026),
                   "Za novu datoteku morate izabrati novo ime !");
    EXPECT_EQ(CompanySchema::DefaultDetailPath(QStringLiteral("/a/firma.mdb")),
              QStringLiteral("/a/firma.det"));
    EXPECT_EQ(CompanySchema::DefaultDetailPath(QStringLiteral("/a/firma")),
              QStringLiteral("/a/firma.det"));
}

TEST_F(EmptyCompany, EveryViewReadsWithoutError) {
    QStringList views;
    for (const char* schema : {"main", "det"}) {
        Statement list =
            db->Prepare(QStringLiteral("SELECT \"name\" FROM \"%1\".\"sqlite_master\" WHERE "
                                       "\"type\" = 'view'")
                            .arg(QString::fromLatin1(schema)));
        list.Exec();
        while (list.Next()) {
            views << list.Text(0);
        }
    }
    EXPECT_GE(views.size(), 40);
    for (const QString& view : views) {
        EXPECT_NO_THROW(
            db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"") + view + QStringLiteral("\"")))
            << view.toStdString();
    }
}

// A company file of version 2 opens with one index of invoice lines by item in place of the
// two it had, with the rows it held, and the look-ups by item still seek through it: the delete
// guard of an article in any warehouse and the article card in a warehouse and year.
TEST(Migrations, ASecondVersionCompanyGetsOneIndexOfInvoiceLinesByItem) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v2.mdb"));
    zodra::test::CopyTemplateCompany(path);
    {
        auto db = Database::Open(path, QString()).db;
        ASSERT_TRUE(db);
        // A second-version file: delivery note lines without the lot's price.
        DropViews(*db);
        db->ExecRaw(
            QStringLiteral("ALTER TABLE \"STAVKE_OTPREMNICA\" DROP COLUMN \"CIJENA_SKLADISTA\""));
        db->ExecRaw(QStringLiteral("DROP INDEX \"IX_STAVKE_RACUNA_STAVKA\""));
        db->ExecRaw(
            QStringLiteral("CREATE INDEX \"IX_STAVKE_RACUNA_ARTIKAL\" ON "
                           "\"STAVKE_RACUNA\" (\"SKLADISTE\", \"GODINA\", \"SIFRA\", "
                           "\"BROJ_PRIMKE\")"));
        db->ExecRaw(
            QStringLiteral("CREATE INDEX \"IX_STAVKE_RACUNA_SIFRA\" ON \"STAVKE_RACUNA\" "
                           "(\"SIFRA\", \"TIP_STAVKE\")"));
        db->ExecRaw(QStringLiteral(
            "INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", "
            "\"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\") VALUES (1, 1, 2026, 7, "
            "'ART', 5, 2, 4)"));
        DropVersionsFourToTwelve(*db);
        DropFiscalChangeColumns(*db);
        db->ExecRaw(QStringLiteral("PRAGMA user_version = 2"));
    }
    auto opened = Database::Open(path, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    Database& db = *opened.db;
    EXPECT_EQ(db.SchemaVersion(), CompanySchema::kCurrentVersion);
    // Version 4 brought the invoice's currency and rate.
    EXPECT_TRUE(db.Columns(QStringLiteral("RACUNI")).contains(QStringLiteral("VALUTA")));
    EXPECT_TRUE(db.Columns(QStringLiteral("RACUNI")).contains(QStringLiteral("TECAJ")));
    // Version 5 brought the lot price of delivery note lines.
    EXPECT_TRUE(db.Columns(QStringLiteral("STAVKE_OTPREMNICA"))
                    .contains(QStringLiteral("CIJENA_SKLADISTA")));
    QStringList indexes;
    Statement list = db.Prepare(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'STAVKE_RACUNA' AND "
        "sql IS NOT NULL ORDER BY name"));
    list.Exec();
    while (list.Next()) {
        indexes << list.Text(0);
    }
    EXPECT_EQ(indexes, (QStringList{QStringLiteral("IX_STAVKE_RACUNA_DOK"),
                                    QStringLiteral("IX_STAVKE_RACUNA_STAVKA")}));
    const auto plan = [&](const QString& sql) {
        QString text;
        Statement rows = db.Prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + sql);
        rows.Exec({5});
        while (rows.Next()) {
            text += rows.Text(3) + QLatin1Char('\n');
        }
        return text;
    };
    EXPECT_TRUE(plan(QStringLiteral("SELECT 1 FROM \"STAVKE_RACUNA\" WHERE \"SIFRA\" = ? AND "
                                    "\"TIP_STAVKE\" = 'ART' LIMIT 1"))
                    .contains(QStringLiteral("IX_STAVKE_RACUNA_STAVKA")));
    EXPECT_TRUE(plan(QStringLiteral("SELECT SUM(\"KOLIČINA IZLAZ\") FROM \"KARTICA_ARTIKLA\" "
                                    "WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
                                    "\"ARTIKAL\" = ?"))
                    .contains(QStringLiteral("USING INDEX IX_STAVKE_RACUNA_STAVKA")));
    EXPECT_EQ(db.Scalar(QStringLiteral("SELECT SUM(\"KOLICINA\") FROM \"STAVKE_RACUNA\" WHERE "
                                       "\"SIFRA\" = 5 AND \"SKLADISTE\" = 1 AND \"GODINA\" = 2026"))
                  .toDouble(),
              4.0);
}
