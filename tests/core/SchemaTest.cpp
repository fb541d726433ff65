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

using namespace Qt::StringLiterals;

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
    EXPECT_EQ(Count(u"SELECT COUNT(*) FROM \"PODACI_FIRME\""_s), 1);
    EXPECT_EQ(db->Scalar(u"SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1"_s).toString(),
              u"EUR"_s);
    EXPECT_EQ(
        db->Scalar(u"SELECT \"NAZIV\" FROM \"UVJETI_PRODAJE\" WHERE \"SIFRA\" = 1"_s).toString(),
        u"Maloprodaja"_s);
    EXPECT_EQ(Count(u"SELECT \"TIP_OPOREZIVANJA\" FROM \"UVJETI_PRODAJE\" WHERE \"SIFRA\" = 1"_s),
              12);
    QSet<int> types;
    Statement terms = db->Prepare(
        u"SELECT \"TIP_OPOREZIVANJA\" FROM \"UVJETI_PRODAJE\" WHERE \"SIFRA\" BETWEEN 1 AND 7"_s);
    terms.Exec();
    while (terms.Next()) {
        types.insert(terms.Int(0));
    }
    EXPECT_EQ(types, (QSet<int>{7, 8, 9, 10, 12, 13, 14}));
    EXPECT_EQ(Count(u"SELECT COUNT(*) FROM \"KNJIGE_IRA\" WHERE \"SIFRA\" = 1"_s), 1);
    EXPECT_EQ(Count(u"SELECT COUNT(*) FROM \"KNJIGE_URA\" WHERE \"SIFRA\" = 1"_s), 1);
    for (const char16_t* partner : {u"Kupac u maloprodaji", u"Prijenos iz prošle godine"}) {
        EXPECT_EQ(Count(u"SELECT COUNT(*) FROM \"PARTNERI\" WHERE \"NAZIV\" = ?"_s,
                        {QString::fromUtf16(partner)}),
                  1);
    }
    for (const char16_t* group : {u"Neoporezivo", u"PDV"}) {
        EXPECT_EQ(Count(u"SELECT COUNT(*) FROM \"GRUPE_POREZA\" WHERE \"NAZIV\" = ?"_s,
                        {QString::fromUtf16(group)}),
                  1);
    }
    EXPECT_EQ(Count(u"SELECT \"STOPA\" FROM \"GRUPE_POREZA\" WHERE \"NAZIV\" = 'Neoporezivo'"_s),
              0);
    EXPECT_EQ(db->Scalar(u"SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"_s,
                         {u"Godina koja se knjiži"_s})
                  .toString(),
              u"2026"_s);
    EXPECT_EQ(db->Scalar(u"SELECT \"Vrijednost\" FROM \"Konfiguracija\" WHERE \"Naziv\" = ?"_s,
                         {u"Vođenje skladišta"_s})
                  .toString(),
              u"FIFO"_s);
}

namespace {

// An older file's views go first: the migration rebuilds them over the changed tables.
void DropViews(Database& db) {
    QStringList views;
    Statement list = db.Prepare(u"SELECT name FROM sqlite_master WHERE type = 'view'"_s);
    list.Exec();
    while (list.Next()) {
        views << list.Text(0);
    }
    list.Finish();
    ASSERT_FALSE(views.isEmpty());
    for (const QString& view : views) {
        db.ExecRaw(u"DROP VIEW \""_s + view + u"\""_s);
    }
}

// The columns version 16 added to the fiscal records (its table of reports is made if missing).
void DropFiscalChangeColumns(Database& db) {
    for (const char* column : {"OIB_PRIMATELJA", "PROMJENA_NACINA", "PROMJENA_OIB"}) {
        db.ExecRaw(
            u"ALTER TABLE \"FISKAL_RACUNI\" DROP COLUMN \"%1\""_s.arg(QString::fromLatin1(column)));
    }
}

// What versions 4 to 12 added (the invoice's currency and rate, the VAT kinds, the output book's
// report table, the input book's 5 and 13 % columns, the article's KPD), dropped to make an
// older file.
void DropVersionsFourToTwelve(Database& db) {
    for (const char* column : {"VALUTA", "TECAJ"}) {
        db.ExecRaw(u"ALTER TABLE \"RACUNI\" DROP COLUMN \"%1\""_s.arg(QString::fromLatin1(column)));
    }
    db.ExecRaw(u"DROP TABLE \"PDV_VRSTE\""_s);
    db.ExecRaw(u"DROP TABLE \"KNJIGA_IRA_IZVJESTAJ\""_s);
    db.ExecRaw(u"ALTER TABLE \"GRUPE_POREZA\" DROP COLUMN \"PDV_VRSTA\""_s);
    db.ExecRaw(u"ALTER TABLE \"ARTIKLI\" DROP COLUMN \"KPD\""_s);
    for (const char* column :
         {"Osnovica5", "PretporezUkupno5", "PretporezOdbiti5", "PretporezNeOdbiti5", "Osnovica13",
          "PretporezUkupno13", "PretporezOdbiti13", "PretporezNeOdbiti13", "Vrsta nabave"}) {
        db.ExecRaw(u"ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" DROP COLUMN \"%1\""_s.arg(
            QString::fromUtf8(column)));
    }
}

}  // namespace

TEST(Migrations, StepsRunInOrderOnceEachAndAFailingStepChangesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"m.mdb"_s);
    zodra::test::CopyTemplateCompany(path);
    auto db = Database::Open(path, QString()).db;
    const int base = CompanySchema::kCurrentVersion;
    const std::vector<CompanySchema::Migration> steps = {
        {base + 1, u"CREATE TABLE \"PROBA\" (\"A\" INTEGER);"_s},
        {base + 2,
         u"ALTER TABLE \"PROBA\" ADD COLUMN \"B\" TEXT; "
         "INSERT INTO \"PROBA\" (\"A\", \"B\") VALUES (1, 'x;y');"_s},
    };
    CompanySchema::Migrate(*db, steps);
    EXPECT_EQ(db->Scalar(u"PRAGMA user_version"_s).toInt(), base + 2);
    EXPECT_EQ(db->Scalar(u"SELECT \"B\" FROM \"PROBA\""_s).toString(), u"x;y"_s);
    CompanySchema::Migrate(*db, steps);  // nothing left to do
    EXPECT_EQ(db->Scalar(u"SELECT COUNT(*) FROM \"PROBA\""_s).toInt(), 1);

    const std::vector<CompanySchema::Migration> broken = {
        {base + 3, u"INSERT INTO \"PROBA\" (\"A\") VALUES (2); SELECT * FROM \"NEMA\";"_s}};
    EXPECT_THROW(CompanySchema::Migrate(*db, broken), DbError);
    EXPECT_EQ(db->Scalar(u"PRAGMA user_version"_s).toInt(), base + 2);
    EXPECT_EQ(db->Scalar(u"SELECT COUNT(*) FROM \"PROBA\""_s).toInt(), 1);
}

// A company file of the first version (before invoice lines kept the lot's price) opens as the
// current one: the column is added to the posted and the working lines, the lines posted before
// keep the value the article card gave them (their own net price), and the card reads the new
// column.
TEST(Migrations, AFirstVersionCompanyGetsTheLotPriceOfInvoiceLines) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"stara.mdb"_s);
    zodra::test::CopyTemplateCompany(path);
    {
        auto db = Database::Open(path, QString()).db;
        ASSERT_TRUE(db);
        DropViews(*db);
        for (const char* table :
             {"STAVKE_RACUNA", "STAVKE_RACUNA_PRIVREMENO", "STAVKE_OTPREMNICA"}) {
            db->ExecRaw(u"ALTER TABLE \"%1\" DROP COLUMN \"CIJENA_SKLADISTA\""_s.arg(
                QString::fromLatin1(table)));
        }
        db->ExecRaw(
            u"INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ RACUNA\", "
            "\"DATUM\", \"RBR_TK\", \"SKIDA\") VALUES (1, 1, 2026, 7, '2026-03-02', 3, TRUE)"_s);
        db->ExecRaw(
            u"INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
            "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
            "\"NABAVNA_CIJENA\", \"CIJENA_\") VALUES (1, 1, 2026, 7, 'ART', 5, 2, 4, 5, 7.5)"_s);
        DropVersionsFourToTwelve(*db);
        DropFiscalChangeColumns(*db);
        db->ExecRaw(
            u"INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", \"Redni broj\", "
            "\"Osnovica25\") VALUES (1, 2026, 1, 100)"_s);
        db->ExecRaw(u"PRAGMA user_version = 1"_s);
    }
    auto opened = Database::Open(path, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    Database& db = *opened.db;
    EXPECT_EQ(db.SchemaVersion(), CompanySchema::kCurrentVersion);
    EXPECT_TRUE(db.Columns(u"STAVKE_RACUNA_PRIVREMENO"_s).contains(u"CIJENA_SKLADISTA"_s));
    EXPECT_TRUE(db.Columns(u"FISKAL_RACUNI"_s).contains(u"PROMJENA_OIB"_s));
    // Version 7: the input invoice book's rows gain the 5 and 13 % columns at 0 and the kind of
    // purchase "domestic", and the payments view reads them.
    EXPECT_EQ(db.Scalar(u"SELECT \"Osnovica13\" + \"Vrsta nabave\" + "
                        "\"Osnovica25\" FROM \"KNJIGE_ULAZNIH_RACUNA\""_s)
                  .toDouble(),
              100);
    EXPECT_EQ(db.Scalar(u"SELECT COUNT(*) FROM \"Query ulazni računi plaćeno\""_s).toInt(), 0);
    EXPECT_EQ(db.Scalar(u"SELECT \"CIJENA_SKLADISTA\" FROM \"STAVKE_RACUNA\""_s).toDouble(), 7.5);
    // The card's row of that invoice: 4 out at 7,50 (30,00), as before the new column.
    EXPECT_DOUBLE_EQ(db.Scalar(u"SELECT \"VELEPRODAJNA VRIJEDNOST IZLAZ\" FROM "
                               "\"KARTICA_ARTIKLA\" WHERE \"ARTIKAL\" = 5 AND \"RBR\" = 3"_s)
                         .toDouble(),
                     30.0);
}

TEST(SchemaScripts, StatementsSplitOutsideQuotesAndComments) {
    const QStringList parts = CompanySchema::SplitStatements(
        u"CREATE TABLE \"a;b\" (\"x\" TEXT DEFAULT ';'); -- a comment; with a semicolon\n"
        "/* block; comment */ INSERT INTO \"a;b\" VALUES ('it''s; fine');\n  \n"_s);
    ASSERT_EQ(parts.size(), 2);
    EXPECT_TRUE(parts.at(0).startsWith(u"CREATE TABLE \"a;b\""_s));
    EXPECT_TRUE(parts.at(1).endsWith(u"VALUES ('it''s; fine')"_s));
    EXPECT_EQ(
        CompanySchema::ExpandTokens(u"\"ID\" {{AUTO_ID}}, \"L\" {{BLOB}}"_s, SqlDialect::Postgres),
        u"\"ID\" INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, \"L\" BYTEA"_s);
}

TEST(SchemaScripts, ANewCompanyRefusesAnExistingFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"x.mdb"_s);
    CompanySchema::CreateCompany(path, 2026);
    EXPECT_REFUSED(CompanySchema::CreateCompany(path, 2026),
                   "Za novu datoteku morate izabrati novo ime !");
    EXPECT_EQ(CompanySchema::DefaultDetailPath(u"/a/firma.mdb"_s), u"/a/firma.det"_s);
    EXPECT_EQ(CompanySchema::DefaultDetailPath(u"/a/firma"_s), u"/a/firma.det"_s);
}

TEST_F(EmptyCompany, EveryViewReadsWithoutError) {
    QStringList views;
    for (const char* schema : {"main", "det"}) {
        Statement list = db->Prepare(
            u"SELECT \"name\" FROM \"%1\".\"sqlite_master\" WHERE "
            "\"type\" = 'view'"_s.arg(QString::fromLatin1(schema)));
        list.Exec();
        while (list.Next()) {
            views << list.Text(0);
        }
    }
    EXPECT_GE(views.size(), 40);
    for (const QString& view : views) {
        EXPECT_NO_THROW(db->Scalar(u"SELECT COUNT(*) FROM \""_s + view + u"\""_s))
            << view.toStdString();
    }
}

// A company file of version 2 opens with one index of invoice lines by item in place of the
// two it had, with the rows it held, and the look-ups by item still seek through it: the delete
// guard of an article in any warehouse and the article card in a warehouse and year.
TEST(Migrations, ASecondVersionCompanyGetsOneIndexOfInvoiceLinesByItem) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"v2.mdb"_s);
    zodra::test::CopyTemplateCompany(path);
    {
        auto db = Database::Open(path, QString()).db;
        ASSERT_TRUE(db);
        // A second-version file: delivery note lines without the lot's price.
        DropViews(*db);
        db->ExecRaw(u"ALTER TABLE \"STAVKE_OTPREMNICA\" DROP COLUMN \"CIJENA_SKLADISTA\""_s);
        db->ExecRaw(u"DROP INDEX \"IX_STAVKE_RACUNA_STAVKA\""_s);
        db->ExecRaw(
            u"CREATE INDEX \"IX_STAVKE_RACUNA_ARTIKAL\" ON "
            "\"STAVKE_RACUNA\" (\"SKLADISTE\", \"GODINA\", \"SIFRA\", "
            "\"BROJ_PRIMKE\")"_s);
        db->ExecRaw(
            u"CREATE INDEX \"IX_STAVKE_RACUNA_SIFRA\" ON \"STAVKE_RACUNA\" "
            "(\"SIFRA\", \"TIP_STAVKE\")"_s);
        db->ExecRaw(
            u"INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ_RACUNA\", "
            "\"TIP_STAVKE\", \"SIFRA\", \"BROJ_PRIMKE\", \"KOLICINA\") VALUES (1, 1, 2026, 7, "
            "'ART', 5, 2, 4)"_s);
        DropVersionsFourToTwelve(*db);
        DropFiscalChangeColumns(*db);
        db->ExecRaw(u"PRAGMA user_version = 2"_s);
    }
    auto opened = Database::Open(path, QString());
    ASSERT_EQ(opened.status, Database::OpenStatus::Ok) << opened.detail.toStdString();
    Database& db = *opened.db;
    EXPECT_EQ(db.SchemaVersion(), CompanySchema::kCurrentVersion);
    // Version 4 brought the invoice's currency and rate.
    EXPECT_TRUE(db.Columns(u"RACUNI"_s).contains(u"VALUTA"_s));
    EXPECT_TRUE(db.Columns(u"RACUNI"_s).contains(u"TECAJ"_s));
    // Version 5 brought the lot price of delivery note lines.
    EXPECT_TRUE(db.Columns(u"STAVKE_OTPREMNICA"_s).contains(u"CIJENA_SKLADISTA"_s));
    QStringList indexes;
    Statement list = db.Prepare(
        u"SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'STAVKE_RACUNA' AND "
        "sql IS NOT NULL ORDER BY name"_s);
    list.Exec();
    while (list.Next()) {
        indexes << list.Text(0);
    }
    EXPECT_EQ(indexes, (QStringList{u"IX_STAVKE_RACUNA_DOK"_s, u"IX_STAVKE_RACUNA_STAVKA"_s}));
    const auto plan = [&](const QString& sql) {
        QString text;
        Statement rows = db.Prepare(u"EXPLAIN QUERY PLAN "_s + sql);
        rows.Exec({5});
        while (rows.Next()) {
            text += rows.Text(3) + QLatin1Char('\n');
        }
        return text;
    };
    EXPECT_TRUE(plan(u"SELECT 1 FROM \"STAVKE_RACUNA\" WHERE \"SIFRA\" = ? AND "
                     "\"TIP_STAVKE\" = 'ART' LIMIT 1"_s)
                    .contains(u"IX_STAVKE_RACUNA_STAVKA"_s));
    EXPECT_TRUE(plan(u"SELECT SUM(\"KOLIČINA IZLAZ\") FROM \"KARTICA_ARTIKLA\" "
                     "WHERE \"SKLADISTE\" = 1 AND \"GODINA\" = 2026 AND "
                     "\"ARTIKAL\" = ?"_s)
                    .contains(u"USING INDEX IX_STAVKE_RACUNA_STAVKA"_s));
    EXPECT_EQ(db.Scalar(u"SELECT SUM(\"KOLICINA\") FROM \"STAVKE_RACUNA\" WHERE "
                        "\"SIFRA\" = 5 AND \"SKLADISTE\" = 1 AND \"GODINA\" = 2026"_s)
                  .toDouble(),
              4.0);
}
