#include "data/CompanySchema.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUuid>

#include "data/Database.h"
#include "data/Errors.h"
#include "data/PostgresEngine.h"
#include "data/SqliteExtensions.h"
#include "data/Transaction.h"

namespace zodra {

namespace {

// Schema steps after the first version, in order. Each brings the file to `version`.
const std::vector<CompanySchema::Migration>& Migrations() {
    static const std::vector<CompanySchema::Migration> steps = {
        // 2: invoice lines keep the lot's selling price the goods left at, which the article
        // card values them at. Lines posted before it were valued at their own net price.
        {2,
         QStringLiteral(
             "ALTER TABLE \"STAVKE_RACUNA\" ADD COLUMN \"CIJENA_SKLADISTA\" DOUBLE PRECISION; "
             "ALTER TABLE \"STAVKE_RACUNA_PRIVREMENO\" ADD COLUMN \"CIJENA_SKLADISTA\" "
             "DOUBLE PRECISION; "
             "UPDATE \"STAVKE_RACUNA\" SET \"CIJENA_SKLADISTA\" = \"CIJENA_\" "
             "WHERE \"CIJENA_SKLADISTA\" IS NULL;"),
         true},
        // 3: one index of invoice lines by item serves both the delete guards of articles and
        // services (an item in any warehouse) and the article card (an item in a warehouse and
        // year, by lot). Two indexes by item made every posted line dirty two scattered index
        // pages, which in a company of a million lines was most of an invoice's posting.
        {3, QStringLiteral("DROP INDEX IF EXISTS \"IX_STAVKE_RACUNA_SIFRA\"; "
                           "DROP INDEX IF EXISTS \"IX_STAVKE_RACUNA_ARTIKAL\"; "
                           "CREATE INDEX IF NOT EXISTS \"IX_STAVKE_RACUNA_STAVKA\" ON "
                           "\"STAVKE_RACUNA\" (\"SIFRA\", \"SKLADISTE\", \"GODINA\", "
                           "\"BROJ_PRIMKE\");")},
        // 4: an invoice issued in a foreign currency keeps that currency and the rate of its
        // day as it was at posting; invoices before it are in the home currency.
        {4, QStringLiteral("ALTER TABLE \"RACUNI\" ADD COLUMN \"VALUTA\" INTEGER; "
                           "ALTER TABLE \"RACUNI\" ADD COLUMN \"TECAJ\" DOUBLE PRECISION;")},
        // 5: delivery note lines keep the lot's selling price the goods left at, as invoice
        // lines do; the article card values them at it.
        {5,
         QStringLiteral(
             "ALTER TABLE \"STAVKE_OTPREMNICA\" ADD COLUMN \"CIJENA_SKLADISTA\" DOUBLE PRECISION; "
             "UPDATE \"STAVKE_OTPREMNICA\" SET \"CIJENA_SKLADISTA\" = \"CIJENA_\" "
             "WHERE \"CIJENA_SKLADISTA\" IS NULL;"),
         true},
        // 6: the retail turnover report seeks the invoices cancelled in its period instead of
        // scanning every invoice, and reads a day's collections in the order of their kind and
        // card type (the index by date alone is contained in it).
        {6, QStringLiteral("CREATE INDEX IF NOT EXISTS \"IX_RACUNI_STORNO_DATUM\" ON \"RACUNI\" "
                           "(\"SKLADISTE\", \"GODINA\", \"DATUM_STORNA\") WHERE \"STORNO\" = TRUE; "
                           "DROP INDEX IF EXISTS \"IX_NAPLATA_DATUM\"; "
                           "CREATE INDEX IF NOT EXISTS \"IX_NAPLATA_DATUM_TIP\" ON \"NAPLATA\" "
                           "(\"Datum\", \"Tip\", \"Tip kartice\");")},
        // 7: every tax group says which kind of supply its sales are (the line of the VAT
        // return and the column of the invoice books). Taxable groups get the kind of their
        // rate, groups without tax the other exemptions; a group whose rate has no kind stays
        // unset until it is chosen in the register.
        {7,
         QStringLiteral("CREATE TABLE \"PDV_VRSTE\" (\"SIFRA\" INTEGER NOT NULL, \"NAZIV\" TEXT, "
                        "\"VRSTA\" INTEGER NOT NULL, \"REDAK\" INTEGER NOT NULL, "
                        "\"STOPA\" DOUBLE PRECISION, PRIMARY KEY (\"SIFRA\")); "
                        "INSERT INTO \"PDV_VRSTE\" (\"SIFRA\", \"NAZIV\", \"VRSTA\", \"REDAK\", "
                        "\"STOPA\") VALUES "
                        "(1, 'Oporezivo 25 % (redak 203)', 1, 203, 25), "
                        "(2, 'Oporezivo 13 % (redak 202)', 1, 202, 13), "
                        "(3, 'Oporezivo 5 % (redak 201)', 1, 201, 5), "
                        "(4, 'Oslobođeno, ostalo (redak 110)', 2, 110, NULL), "
                        "(5, 'Oslobođeno u tuzemstvu (redak 108)', 2, 108, NULL), "
                        "(6, 'Izvoz (redak 109)', 3, 109, NULL), "
                        "(7, 'Isporuka dobara unutar EU (redak 103)', 4, 103, NULL), "
                        "(8, 'Usluge unutar EU (redak 104)', 4, 104, NULL), "
                        "(9, 'Prijenos porezne obveze u tuzemstvu (redak 101)', 5, 101, NULL), "
                        "(10, 'Stopa 0 % (redak 111)', 2, 111, NULL); "
                        "ALTER TABLE \"GRUPE_POREZA\" ADD COLUMN \"PDV_VRSTA\" INTEGER; "
                        "UPDATE \"GRUPE_POREZA\" SET \"PDV_VRSTA\" = (SELECT k.\"SIFRA\" FROM "
                        "\"PDV_VRSTE\" k WHERE k.\"VRSTA\" = 1 AND k.\"STOPA\" = "
                        "\"GRUPE_POREZA\".\"STOPA\") WHERE \"STOPA\" > 0; "
                        "UPDATE \"GRUPE_POREZA\" SET \"PDV_VRSTA\" = 4 WHERE \"STOPA\" IS NULL OR "
                        "\"STOPA\" = 0;")},
        // 8: stored VAT returns of every form generation, their amounts as numbers, one row per
        // form line; the settings the return's electronic filing reads.
        {8,
         QStringLiteral(
             "CREATE TABLE IF NOT EXISTS \"PDV_OBRASCI\" (\"Godina\" INTEGER NOT NULL, "
             "\"Rbr\" INTEGER NOT NULL, \"OBRAZAC\" TEXT NOT NULL, \"DatumOd\" DATE NOT NULL, "
             "\"DatumDo\" DATE NOT NULL, \"NAPLATA\" BOOLEAN NOT NULL DEFAULT FALSE, "
             "\"PorezniObveznik\" TEXT, \"PoreznaIspostava\" TEXT, \"SifraDjelatnosti\" TEXT, "
             "\"OIB\" TEXT, \"KORISNIK\" TEXT, \"SPREMLJENO\" TIMESTAMP, "
             "PRIMARY KEY (\"Godina\", \"Rbr\")); "
             "CREATE TABLE IF NOT EXISTS \"PDV_OBRASCI_STAVKE\" (\"Godina\" INTEGER NOT NULL, "
             "\"Rbr\" INTEGER NOT NULL, \"RBR_STAVKE\" INTEGER NOT NULL, \"OZNAKA\" TEXT NOT "
             "NULL, \"OPIS\" TEXT, \"OSNOVICA\" DOUBLE PRECISION, \"POREZ\" DOUBLE PRECISION, "
             "PRIMARY KEY (\"Godina\", \"Rbr\", \"RBR_STAVKE\")); "
             "INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") SELECT 'PDV porezna "
             "ispostava', '' WHERE NOT EXISTS (SELECT 1 FROM \"Konfiguracija\" WHERE \"Naziv\" = "
             "'PDV porezna ispostava'); "
             "INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") SELECT 'PDV obrazac "
             "sastavio', '' WHERE NOT EXISTS (SELECT 1 FROM \"Konfiguracija\" WHERE \"Naziv\" = "
             "'PDV obrazac sastavio');")},
        // 9: the output invoice book's work table and its stored queries (views).
        {9,
         QStringLiteral("CREATE TABLE \"KNJIGA_IRA_IZVJESTAJ\" (\"ID\" {{AUTO_ID}}, \"SESIJA\" "
                        "INTEGER, \"SKLADISTE\" INTEGER, \"BROJ_STRANICE\" INTEGER, \"RBR\" "
                        "INTEGER, \"DATUM\" DATE, \"DATUM_PLACANJA\" DATE, \"RACUN\" TEXT, "
                        "\"KUPAC\" TEXT, \"OIB\" TEXT, \"UKUPNO\" DOUBLE PRECISION, "
                        "\"OSNOVICA_1\" DOUBLE PRECISION, \"POREZ_1\" DOUBLE PRECISION, "
                        "\"OSNOVICA_2\" DOUBLE PRECISION, \"POREZ_2\" DOUBLE PRECISION, "
                        "\"OSNOVICA_3\" DOUBLE PRECISION, \"POREZ_3\" DOUBLE PRECISION, "
                        "\"OSNOVICA_EU\" DOUBLE PRECISION, \"OSNOVICA_IZVOZ\" DOUBLE PRECISION, "
                        "\"OSNOVICA_OSLOBODENO\" DOUBLE PRECISION, \"OSNOVICA_PRIJENOS\" DOUBLE "
                        "PRECISION, \"OSNOVICA_OSTALO\" DOUBLE PRECISION, \"POREZ_OSTALO\" DOUBLE "
                        "PRECISION); "
                        "CREATE INDEX \"IX_KNJIGA_IRA_IZVJESTAJ_SESIJA\" ON "
                        "\"KNJIGA_IRA_IZVJESTAJ\" (\"SESIJA\", \"ID\");"),
         true},
        // 10: the input invoice book keeps the current 5 and 13 % rates beside the earlier ones,
        // and the kind of purchase that decides its lines on the VAT form; the payments of input
        // invoices are read with the invoice's amounts scaled by the paid share.
        {10,
         QStringLiteral("ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"Osnovica5\" "
                        "DOUBLE PRECISION DEFAULT 0; "
                        "ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"PretporezUkupno5\" "
                        "DOUBLE PRECISION DEFAULT 0; "
                        "ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"PretporezOdbiti5\" "
                        "DOUBLE PRECISION DEFAULT 0; "
                        "ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"PretporezNeOdbiti5\" "
                        "DOUBLE PRECISION DEFAULT 0; "
                        "ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"Osnovica13\" "
                        "DOUBLE PRECISION DEFAULT 0; "
                        "ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"PretporezUkupno13\" "
                        "DOUBLE PRECISION DEFAULT 0; "
                        "ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"PretporezOdbiti13\" "
                        "DOUBLE PRECISION DEFAULT 0; "
                        "ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"PretporezNeOdbiti13\" "
                        "DOUBLE PRECISION DEFAULT 0; "
                        "ALTER TABLE \"KNJIGE_ULAZNIH_RACUNA\" ADD COLUMN \"Vrsta nabave\" "
                        "INTEGER NOT NULL DEFAULT 0;"),
         true},
        // 11: the kind of purchase alone decides an input invoice's lines on the VAT form. Rows
        // of books 4 (imports) and 5 (services bought abroad) written before the kind was kept
        // take their book's kind, which is what the form read for them until now. The inventory
        // book's movements become views ("KP" and the two report views).
        {11,
         QStringLiteral("UPDATE \"KNJIGE_ULAZNIH_RACUNA\" SET \"Vrsta nabave\" = 5 WHERE "
                        "\"URA\" = 4 AND \"Vrsta nabave\" = 0; "
                        "UPDATE \"KNJIGE_ULAZNIH_RACUNA\" SET \"Vrsta nabave\" = 3 WHERE "
                        "\"URA\" = 5 AND \"Vrsta nabave\" = 0;"),
         true},
        // 12: articles carry their product classification (KPD) for the e-invoice; the
        // company's default code serves articles without one, services and packaging.
        {12, QStringLiteral("ALTER TABLE \"ARTIKLI\" ADD COLUMN \"KPD\" TEXT; "
                            "INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") SELECT "
                            "'KPD zadana šifra', '' WHERE NOT EXISTS (SELECT 1 FROM "
                            "\"Konfiguracija\" WHERE \"Naziv\" = 'KPD zadana šifra');")},
        // 13: fiscalized receipts. One row per receipt sent to the tax administration (a
        // cancellation is a receipt of its own): its fiscal number, protective code and what the
        // message carries, frozen at posting; a row without JIR is waiting in the outbox. The
        // operators' OIBs, and the company's fiscal settings in the configuration.
        {13,
         QStringLiteral(
             "CREATE TABLE IF NOT EXISTS \"FISKAL_RACUNI\" (\"ID\" {{AUTO_ID}}, \"SKLADISTE\" "
             "INTEGER NOT NULL, "
             "\"IRA\" INTEGER NOT NULL, \"GODINA\" INTEGER NOT NULL, \"BROJ_RACUNA\" INTEGER NOT "
             "NULL, \"DETALJNO\" BOOLEAN NOT NULL DEFAULT FALSE, \"STORNO\" BOOLEAN NOT NULL "
             "DEFAULT FALSE, \"BROJ\" INTEGER NOT NULL, \"OZNAKA_PP\" TEXT NOT NULL, "
             "\"OZNAKA_NU\" TEXT NOT NULL, \"SLIJED\" TEXT NOT NULL, \"GODINA_BROJA\" INTEGER "
             "NOT NULL, \"IZDAN\" TIMESTAMP NOT NULL, \"UKUPNO\" DOUBLE PRECISION NOT NULL, "
             "\"POREZI\" TEXT, \"OIB\" TEXT NOT NULL, \"U_SUSTAVU_PDV\" BOOLEAN NOT NULL, "
             "\"OIB_OPERATERA\" TEXT NOT NULL, \"OPERATER\" TEXT, \"ZKI\" TEXT NOT NULL, "
             "\"NACIN_PLACANJA\" TEXT NOT NULL DEFAULT 'G', \"JIR\" TEXT, \"POKUSAJA\" INTEGER "
             "NOT NULL DEFAULT 0, \"ZADNJI_POKUSAJ\" TIMESTAMP, \"GRESKA\" TEXT); "
             "CREATE UNIQUE INDEX IF NOT EXISTS \"UX_FISKAL_RACUNI_RACUN\" ON \"FISKAL_RACUNI\" "
             "(\"SKLADISTE\", "
             "\"IRA\", \"GODINA\", \"BROJ_RACUNA\", \"DETALJNO\", \"STORNO\"); "
             "CREATE UNIQUE INDEX IF NOT EXISTS \"UX_FISKAL_RACUNI_BROJ_P\" ON \"FISKAL_RACUNI\" "
             "(\"OZNAKA_PP\", \"GODINA_BROJA\", \"BROJ\") WHERE \"SLIJED\" = 'P'; "
             "CREATE UNIQUE INDEX IF NOT EXISTS \"UX_FISKAL_RACUNI_BROJ_N\" ON \"FISKAL_RACUNI\" "
             "(\"OZNAKA_PP\", \"OZNAKA_NU\", \"GODINA_BROJA\", \"BROJ\") WHERE \"SLIJED\" = 'N'; "
             "CREATE INDEX IF NOT EXISTS \"IX_FISKAL_RACUNI_CEKAJU\" ON \"FISKAL_RACUNI\" (\"ID\") "
             "WHERE "
             "\"JIR\" IS NULL; "
             "CREATE TABLE IF NOT EXISTS \"FISKAL_OPERATERI\" (\"KORISNIK\" TEXT NOT NULL, \"OIB\" "
             "TEXT NOT "
             "NULL, PRIMARY KEY (\"KORISNIK\"));")},
        // 14: bills imported from the appointment planner keep their identity and invoice, so
        // that a bill signalled twice is billed once.
        {14,
         QStringLiteral("CREATE TABLE IF NOT EXISTS \"PLANER_RACUNI\" (\"OZNAKA\" TEXT NOT NULL, "
                        "\"SKLADISTE\" INTEGER NOT NULL, \"IRA\" INTEGER NOT NULL, "
                        "\"GODINA\" INTEGER NOT NULL, \"BROJ_RACUNA\" INTEGER NOT NULL, "
                        "\"DATUM_UVOZA\" TIMESTAMP, PRIMARY KEY (\"OZNAKA\"));")},
        // 15: a bank statement's line is looked up by its payment text before it is recorded,
        // so that a statement imported twice is recorded once; the look-up seeks.
        {15, QStringLiteral("CREATE INDEX IF NOT EXISTS \"IX_UPLATE_OPIS\" ON \"UPLATE\" "
                            "(\"Opis\");")},
        // 16: the reports of issued e-invoices and of their payments wait in an outbox of their
        // own until the tax administration accepts them. A fiscalized receipt keeps the buyer's
        // OIB it was sent with and the payment method and buyer's OIB of its last accepted
        // same-day change.
        {16, QStringLiteral(
                 "CREATE TABLE IF NOT EXISTS \"FISKAL_IZVJESTAJI\" (\"ID\" {{AUTO_ID}}, \"VRSTA\" "
                 "TEXT NOT NULL, \"SKLADISTE\" INTEGER NOT NULL, \"IRA\" INTEGER NOT NULL, "
                 "\"GODINA\" INTEGER NOT NULL, \"BROJ_RACUNA\" INTEGER NOT NULL, \"NAPLATA\" "
                 "INTEGER, \"DATUM_NAPLATE\" DATE, \"IZNOS\" DOUBLE PRECISION, \"NACIN\" TEXT, "
                 "\"NASTAO\" TIMESTAMP NOT NULL, \"PRIHVACEN\" TIMESTAMP, \"POKUSAJA\" INTEGER NOT "
                 "NULL DEFAULT 0, \"ZADNJI_POKUSAJ\" TIMESTAMP, \"GRESKA\" TEXT); "
                 "CREATE UNIQUE INDEX IF NOT EXISTS \"UX_FISKAL_IZVJESTAJI_RACUN\" ON "
                 "\"FISKAL_IZVJESTAJI\" (\"VRSTA\", \"SKLADISTE\", \"IRA\", \"GODINA\", "
                 "\"BROJ_RACUNA\") WHERE \"NAPLATA\" IS NULL; "
                 "CREATE UNIQUE INDEX IF NOT EXISTS \"UX_FISKAL_IZVJESTAJI_NAPLATA\" ON "
                 "\"FISKAL_IZVJESTAJI\" (\"NAPLATA\") WHERE \"NAPLATA\" IS NOT NULL; "
                 "CREATE INDEX IF NOT EXISTS \"IX_FISKAL_IZVJESTAJI_CEKAJU\" ON "
                 "\"FISKAL_IZVJESTAJI\" (\"ID\") WHERE \"PRIHVACEN\" IS NULL; "
                 "ALTER TABLE \"FISKAL_RACUNI\" ADD COLUMN \"OIB_PRIMATELJA\" TEXT; "
                 "ALTER TABLE \"FISKAL_RACUNI\" ADD COLUMN \"PROMJENA_NACINA\" TEXT; "
                 "ALTER TABLE \"FISKAL_RACUNI\" ADD COLUMN \"PROMJENA_OIB\" TEXT;")},
        // 17: a same-day change of a confirmed receipt waits in an outbox of its own until the
        // service confirms it (one row per receipt: the payment code and buyer's OIB last asked
        // for). A receipt, change or report being sent is marked in FISKAL_SLANJE by its sender,
        // so that two workstations never send the same one at once. The report that withdraws
        // a deleted collection's accepted payment report names the same collection, so a
        // collection's reports are unique per kind.
        {17, QStringLiteral(
                 "CREATE TABLE IF NOT EXISTS \"FISKAL_PROMJENE\" (\"RACUN\" INTEGER NOT NULL, "
                 "\"NACIN\" TEXT NOT NULL, \"OIB\" TEXT, \"NASTALA\" TIMESTAMP NOT NULL, "
                 "\"POKUSAJA\" INTEGER NOT NULL DEFAULT 0, \"ZADNJI_POKUSAJ\" TIMESTAMP, "
                 "\"GRESKA\" TEXT, PRIMARY KEY (\"RACUN\")); "
                 "CREATE TABLE IF NOT EXISTS \"FISKAL_SLANJE\" (\"VRSTA\" TEXT NOT NULL, \"ID\" "
                 "INTEGER NOT NULL, \"OZNAKA\" TEXT NOT NULL, \"OD\" TIMESTAMP NOT NULL, "
                 "PRIMARY KEY (\"VRSTA\", \"ID\")); "
                 "DROP INDEX IF EXISTS \"UX_FISKAL_IZVJESTAJI_NAPLATA\"; "
                 "CREATE UNIQUE INDEX IF NOT EXISTS \"UX_FISKAL_IZVJESTAJI_VRSTA_NAPLATA\" ON "
                 "\"FISKAL_IZVJESTAJI\" (\"VRSTA\", \"NAPLATA\") WHERE \"NAPLATA\" IS NOT NULL;")},
        // 18: the search keys of articles and partners are indexed in character-code order,
        // the order the searches compare them in whatever the database's own collation (a
        // server database made with a language's collation would otherwise order "nj…" after
        // every other "n…", and a prefix search would not find it).
        {18, QStringLiteral(
                 "DROP INDEX IF EXISTS \"IX_ARTIKLI_KLJUC_NAZIV\"; "
                 "DROP INDEX IF EXISTS \"IX_ARTIKLI_KLJUC_OPIS\"; "
                 "DROP INDEX IF EXISTS \"IX_ARTIKLI_KLJUC_NAZIV_OPIS\"; "
                 "DROP INDEX IF EXISTS \"IX_ARTIKLI_KLJUC_OPIS_NAZIV\"; "
                 "DROP INDEX IF EXISTS \"IX_PARTNERI_KLJUC_NAZIV\"; "
                 "CREATE INDEX \"IX_ARTIKLI_KLJUC_NAZIV\" ON \"ARTIKLI\" "
                 "(zfold(\"NAZIV\"){{BYTEWISE}}); "
                 "CREATE INDEX \"IX_ARTIKLI_KLJUC_OPIS\" ON \"ARTIKLI\" "
                 "(zfold(\"OPIS\"){{BYTEWISE}}); "
                 "CREATE INDEX \"IX_ARTIKLI_KLJUC_NAZIV_OPIS\" ON \"ARTIKLI\" (zfold(\"NAZIV\" "
                 "|| ' - ' || COALESCE(\"OPIS\", '')){{BYTEWISE}}); "
                 "CREATE INDEX \"IX_ARTIKLI_KLJUC_OPIS_NAZIV\" ON \"ARTIKLI\" "
                 "(zfold(COALESCE(\"OPIS\", '') || ' - ' || \"NAZIV\"){{BYTEWISE}}); "
                 "CREATE INDEX \"IX_PARTNERI_KLJUC_NAZIV\" ON \"PARTNERI\" "
                 "(zfold(\"NAZIV\"){{BYTEWISE}});")},
    };
    return steps;
}

void RemoveIfExists(const QString& path) {
    if (QFileInfo::exists(path)) {
        QFile::remove(path);
    }
}

}  // namespace

QStringList CompanySchema::RequiredTables() {
    return {QStringLiteral("PARTNERI"),    QStringLiteral("ARTIKLI"), QStringLiteral("USLUGE"),
            QStringLiteral("PRIMKE"),      QStringLiteral("RACUNI"),  QStringLiteral("ZODRA_META"),
            QStringLiteral("DET_ODGODENO")};
}

QString CompanySchema::DefaultDetailPath(const QString& companyPath) {
    const QFileInfo info(companyPath);
    const QString suffix = info.suffix();
    if (suffix.isEmpty()) {
        return companyPath + QStringLiteral(".det");
    }
    return companyPath.left(companyPath.size() - suffix.size()) + QStringLiteral("det");
}

QString CompanySchema::ExpandTokens(QString sql, SqlDialect dialect) {
    if (dialect == SqlDialect::Sqlite) {
        sql.replace(QStringLiteral("{{AUTO_ID}}"),
                    QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT"));
        sql.replace(QStringLiteral("{{BLOB}}"), QStringLiteral("BLOB"));
        sql.replace(QStringLiteral("{{BYTEWISE}}"), QString());
    } else {
        sql.replace(QStringLiteral("{{BYTEWISE}}"), QStringLiteral(" COLLATE \"C\""));
        sql.replace(QStringLiteral("{{AUTO_ID}}"),
                    QStringLiteral("INTEGER GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"));
        sql.replace(QStringLiteral("{{BLOB}}"), QStringLiteral("BYTEA"));
    }
    return sql;
}

QString CompanySchema::Script(const QString& name, SqlDialect dialect) {
    QFile file(QStringLiteral(":/schema/") + name);
    if (!file.open(QIODevice::ReadOnly)) {
        throw DbError(name, QStringLiteral("Nedostaje shema ") + name);
    }
    return ExpandTokens(QString::fromUtf8(file.readAll()), dialect);
}

QStringList CompanySchema::SplitStatements(const QString& script) {
    QStringList statements;
    QString current;
    enum class State { Normal, Single, Double, LineComment, BlockComment } state = State::Normal;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script.at(i);
        const QChar next = i + 1 < script.size() ? script.at(i + 1) : QChar();
        switch (state) {
            case State::Normal:
                if (c == QLatin1Char('\'')) {
                    state = State::Single;
                } else if (c == QLatin1Char('"')) {
                    state = State::Double;
                } else if (c == QLatin1Char('-') && next == QLatin1Char('-')) {
                    state = State::LineComment;
                    ++i;
                    continue;
                } else if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                    state = State::BlockComment;
                    ++i;
                    continue;
                } else if (c == QLatin1Char(';')) {
                    const QString trimmed = current.trimmed();
                    if (!trimmed.isEmpty()) {
                        statements << trimmed;
                    }
                    current.clear();
                    continue;
                }
                current += c;
                break;
            case State::Single:
                current += c;
                if (c == QLatin1Char('\'')) {
                    state = State::Normal;
                }
                break;
            case State::Double:
                current += c;
                if (c == QLatin1Char('"')) {
                    state = State::Normal;
                }
                break;
            case State::LineComment:
                if (c == QLatin1Char('\n')) {
                    state = State::Normal;
                    current += c;
                }
                break;
            case State::BlockComment:
                if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                    state = State::Normal;
                    ++i;
                }
                break;
        }
    }
    const QString trimmed = current.trimmed();
    if (!trimmed.isEmpty()) {
        statements << trimmed;
    }
    return statements;
}

void CompanySchema::RunScript(Database& db, const QString& script) {
    for (const QString& statement : SplitStatements(script)) {
        db.ExecRaw(statement);
    }
}

void CompanySchema::CreateDetailFile(const QString& detailPath, const QString& identity) {
    if (QFileInfo::exists(detailPath)) {
        throw UserError(QStringLiteral("Za novu datoteku morate izabrati novo ime !"));
    }
    const QString temp = detailPath + QStringLiteral(".nova");
    RemoveIfExists(temp);
    {
        auto db = Database::OpenRaw(temp, true);
        db->ExecRaw(QStringLiteral("PRAGMA application_id = %1").arg(kDetailApplicationId));
        db->ExecRaw(QStringLiteral("BEGIN"));
        RunScript(*db, Script(QStringLiteral("det.sql"), db->Dialect()));
        if (!identity.isEmpty()) {
            db->Exec(QStringLiteral("INSERT INTO \"DET_META\" (\"Naziv\", \"Vrijednost\") VALUES "
                                    "('IDENTITET', ?)"),
                     {identity});
        }
        db->ExecRaw(QStringLiteral("PRAGMA user_version = %1").arg(kCurrentVersion));
        db->ExecRaw(QStringLiteral("COMMIT"));
    }
    if (!QFile::rename(temp, detailPath)) {
        RemoveIfExists(temp);
        throw DbError(detailPath, QStringLiteral("Datoteka se ne može zapisati: ") + detailPath);
    }
}

void CompanySchema::LoadServerSchema(Database& db) {
    PostgresEngine::PrepareSchema(db);
    RunScript(db, Script(QStringLiteral("company.sql"), db.Dialect()));
    PostgresEngine::AddRowKeys(db);
    RunScript(db, Script(QStringLiteral("company_views.sql"), db.Dialect()));
    RunScript(db, Script(QStringLiteral("company_seed.sql"), db.Dialect()));
    db.ExecRaw(QStringLiteral("SET LOCAL search_path = \"det\", public"));
    RunScript(db, Script(QStringLiteral("det.sql"), db.Dialect()));
    db.ExecRaw(QStringLiteral("SET LOCAL search_path = public"));
    PostgresEngine::AddRowKeys(db);
    PostgresEngine::ResetSequences(db);
}

void CompanySchema::CreateServerCompany(const QString& target, int businessYear) {
    const QString url = PostgresEngine::UrlOf(target);
    if (url.isEmpty()) {
        throw UserError(QStringLiteral("Datoteka veze ne sadrži adresu baze podataka: ") + target);
    }
    PostgresEngine::CreateDatabase(url);
    const QString identity = QUuid::createUuid().toString(QUuid::WithoutBraces);
    auto db = Database::OpenRaw(url, true);
    // DDL is transactional on the server: a creation that fails leaves an empty database.
    db->ExecRaw(QStringLiteral("BEGIN"));
    LoadServerSchema(*db);
    db->Exec(QStringLiteral("INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") "
                            "VALUES (?, ?)"),
             {QStringLiteral("Godina koja se knjiži"), QString::number(businessYear)});
    db->Exec(QStringLiteral("INSERT INTO \"ZODRA_META\" (\"Naziv\", \"Vrijednost\") VALUES "
                            "('IDENTITET', ?)"),
             {identity});
    db->Exec(QStringLiteral("INSERT INTO \"det\".\"DET_META\" (\"Naziv\", \"Vrijednost\") "
                            "VALUES ('IDENTITET', ?)"),
             {identity});
    db->GetEngine().SetSchemaVersion(*db, kCurrentVersion);
    db->ExecRaw(QStringLiteral("COMMIT"));
}

void CompanySchema::CreateCompany(const QString& path, int businessYear) {
    if (Database::IsServerTarget(path)) {
        CreateServerCompany(path, businessYear);
        return;
    }
    const QString detailPath = DefaultDetailPath(path);
    if (QFileInfo::exists(path)) {
        throw UserError(QStringLiteral("Za novu datoteku morate izabrati novo ime !"));
    }
    if (QFileInfo::exists(detailPath)) {
        // Left over from a company that was deleted without it: it is not silently taken over
        // (it may hold another company's details), nor overwritten.
        throw UserError(QStringLiteral("Uz to ime već postoji datoteka detalja ") + detailPath +
                        QStringLiteral(" (ostatak druge baze?). Za novu datoteku morate izabrati "
                                       "novo ime ili najprije ukloniti tu datoteku."));
    }
    const QString temp = path + QStringLiteral(".nova");
    const QString identity = QUuid::createUuid().toString(QUuid::WithoutBraces);
    RemoveIfExists(temp);
    try {
        auto db = Database::OpenRaw(temp, true);
        db->ExecRaw(QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId));
        db->ExecRaw(QStringLiteral("BEGIN"));
        RunScript(*db, Script(QStringLiteral("company.sql"), db->Dialect()));
        RunScript(*db, Script(QStringLiteral("company_views.sql"), db->Dialect()));
        RunScript(*db, Script(QStringLiteral("company_seed.sql"), db->Dialect()));
        db->Exec(QStringLiteral("INSERT INTO \"Konfiguracija\" (\"Naziv\", \"Vrijednost\") "
                                "VALUES (?, ?)"),
                 {QStringLiteral("Godina koja se knjiži"), QString::number(businessYear)});
        db->Exec(QStringLiteral("INSERT INTO \"ZODRA_META\" (\"Naziv\", \"Vrijednost\") VALUES "
                                "('IDENTITET', ?)"),
                 {identity});
        db->ExecRaw(QStringLiteral("PRAGMA user_version = %1").arg(kCurrentVersion));
        db->ExecRaw(QStringLiteral("COMMIT"));
    } catch (...) {
        RemoveIfExists(temp);
        throw;
    }
    CreateDetailFile(detailPath, identity);
    if (!QFile::rename(temp, path)) {
        RemoveIfExists(temp);
        QFile::remove(detailPath);
        throw DbError(path, QStringLiteral("Datoteka se ne može zapisati: ") + path);
    }
}

bool CompanySchema::IsDetailFile(const QString& path) {
    const QByteArray header = ReadSqliteHeader(path);
    const auto b = [&](int i) { return static_cast<quint32>(static_cast<quint8>(header[i])); };
    return header.size() >= 100 && header.startsWith("SQLite format 3") &&
           ((b(68) << 24) | (b(69) << 16) | (b(70) << 8) | b(71)) == kDetailApplicationId;
}

void CompanySchema::Migrate(Database& db) {
    Migrate(db, Migrations());
}

void CompanySchema::Migrate(Database& db, const std::vector<Migration>& migrations) {
    int version = db.SchemaVersion();
    for (const Migration& step : migrations) {
        if (step.version <= version) {
            continue;
        }
        Transaction tx(db);
        // Re-read under the write lock: another workstation may have migrated meanwhile.
        version = db.SchemaVersion();
        if (step.version <= version) {
            continue;
        }
        RunScript(db, ExpandTokens(step.sql, db.Dialect()));
        if (step.recreatesViews) {
            RecreateViews(db);
        }
        if (db.GetEngine().DetailInCompanyDatabase()) {
            // A table a step made gets its row key like the first ones.
            PostgresEngine::AddRowKeys(db);
        }
        db.GetEngine().SetSchemaVersion(db, step.version);
        tx.Commit();
        version = step.version;
        db.ForgetSchemaCache();
    }
}

void CompanySchema::RecreateViews(Database& db) {
    const QString script = Script(QStringLiteral("company_views.sql"), db.Dialect());
    static const QRegularExpression created(QStringLiteral("CREATE\\s+VIEW\\s+\"([^\"]+)\""),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList views;
    for (const QString& statement : SplitStatements(script)) {
        const QRegularExpressionMatch m = created.match(statement);
        if (m.hasMatch()) {
            views << m.captured(1);
        }
    }
    // A view may read another: the later ones go first. The names are the script's own.
    for (auto view = views.crbegin(); view != views.crend(); ++view) {
        db.ExecRaw(QStringLiteral("DROP VIEW IF EXISTS \"") + *view + QStringLiteral("\""));
    }
    RunScript(db, script);
}

}  // namespace zodra
