#include <gtest/gtest.h>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <map>

#include "data/CompanySchema.h"
#include "data/Database.h"
#include "support/Zodractl.h"

using namespace Qt::StringLiterals;

using namespace zodra;

namespace {

using Outcome = zodra::test::ZodractlRun;

Outcome Zodractl(const QStringList& args, const QString& password = QString(),
                 bool setPassword = false, const QString& newPassword = QString(),
                 const QString& workingFolder = QString()) {
    zodra::test::ZodractlOptions options;
    if (setPassword) {
        options.password = password;
    }
    if (!newPassword.isNull()) {
        options.newPassword = newPassword;
    }
    options.workingFolder = workingFolder;
    return zodra::test::RunZodractl(args, options);
}

// Every file of a folder with its bytes and modification time: what a command that must change
// nothing is compared against.
std::map<QString, std::pair<QByteArray, QDateTime>> FolderState(const QString& folder) {
    std::map<QString, std::pair<QByteArray, QDateTime>> state;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(info.filePath());
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        state[info.fileName()] = {file.readAll(), info.lastModified()};
    }
    return state;
}

QStringList FileNames(const std::map<QString, std::pair<QByteArray, QDateTime>>& state) {
    QStringList names;
    for (const auto& [name, contents] : state) {
        names << name;
    }
    return names;
}

// Bytes 18 and 19 of an SQLite header are 2 while the file is in WAL mode and 1 otherwise.
bool HeaderSaysWal(const QByteArray& file) {
    return file.size() >= 100 && file.at(18) == 2 && file.at(19) == 2;
}

}  // namespace

TEST(Zodractl, CreateCheckAndQueryACompany) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"nova.mdb"_s);
    Outcome r = Zodractl({u"create"_s, path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(u"nova.det"_s)));
    r = Zodractl({u"check"_s, path});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(u"Verzija sheme: %1"_s.arg(CompanySchema::kCurrentVersion)));
    EXPECT_TRUE(r.out.contains(u"Provjera ispravnosti: ok"_s));
    EXPECT_TRUE(r.out.contains(u"KORISNICI: 1"_s));
    // Creating over an existing company is refused.
    r = Zodractl({u"create"_s, path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u"Za novu datoteku morate izabrati novo ime !"_s));
    // A detail file left over under the new name is named, and neither taken over nor
    // overwritten.
    const QString other = dir.filePath(u"druga.mdb"_s);
    QFile leftover(dir.filePath(u"druga.det"_s));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write("stari detalji");
    leftover.close();
    r = Zodractl({u"create"_s, other});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(), u"Uz to ime već postoji datoteka detalja "_s + leftover.fileName() +
                                   u" (ostatak druge baze?). Za novu datoteku morate izabrati novo "
                                   "ime ili najprije ukloniti tu datoteku."_s);
    EXPECT_FALSE(QFile::exists(other));
    ASSERT_TRUE(leftover.open(QIODevice::ReadOnly));
    EXPECT_EQ(leftover.readAll(), QByteArray("stari detalji"));

    r = Zodractl({u"sql"_s, path, u"SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1"_s});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, u"NAZIV\nEUR\n"_s);
    // Read-only unless asked.
    r = Zodractl({u"sql"_s, path, u"DELETE FROM \"PARTNERI\""_s});
    EXPECT_EQ(r.exitCode, 1);
    r = Zodractl({u"sql"_s, path, u"UPDATE \"VALUTE\" SET \"NAZIV\" = 'EURO' WHERE \"SIFRA\" = 1"_s,
                  u"--write"_s});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(Database::Open(path, QString())
                  .db->Scalar(u"SELECT \"NAZIV\" FROM \"VALUTE\""_s)
                  .toString(),
              u"EURO"_s);
}

TEST(Zodractl, ExitCodesTellFailuresApart) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"firma.mdb"_s);
    ASSERT_EQ(Zodractl({u"create"_s, path}, u"tajna"_s, true).exitCode, 0);
    EXPECT_EQ(Zodractl({u"check"_s, path}, u"kriva"_s, true).exitCode, 3);
    EXPECT_EQ(Zodractl({u"check"_s, path}).exitCode, 3);  // no password given
    EXPECT_EQ(Zodractl({u"check"_s, path}, u"tajna"_s, true).exitCode, 0);
    EXPECT_EQ(Zodractl({u"check"_s, dir.filePath(u"nema.mdb"_s)}).exitCode, 6);
    const QString text = dir.filePath(u"tekst.mdb"_s);
    {
        QFile f(text);
        f.open(QIODevice::WriteOnly);
        f.write("nije baza");
    }
    EXPECT_EQ(Zodractl({u"check"_s, text}).exitCode, 4);
    EXPECT_EQ(Zodractl({u"nepoznata"_s}).exitCode, 2);
    EXPECT_EQ(Zodractl({u"check"_s}).exitCode, 2);
}

TEST(Zodractl, PasswordChangeTakesPasswordsFromTheEnvironmentOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"firma.mdb"_s);
    ASSERT_EQ(Zodractl({u"create"_s, path}).exitCode, 0);
    Outcome r = Zodractl({u"passwd"_s, path}, QString(), false, u"novatajna"_s);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(u"Password je promijenjen!"_s));
    EXPECT_EQ(Database::Open(path, QString()).status, Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(path, u"novatajna"_s).status, Database::OpenStatus::Ok);
    // Fourteen characters are the most a password may have.
    r = Zodractl({u"passwd"_s, path}, u"novatajna"_s, true, u"123456789012345"_s);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(u"Password je predugačak (najviše 14 znakova)!"_s));
    r = Zodractl({u"passwd"_s, path}, u"novatajna"_s, true, u"12345678901234"_s);
    EXPECT_EQ(r.exitCode, 0);
}

TEST(Zodractl, ReadOnlySqlLeavesEveryFileAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"firma.mdb"_s);
    ASSERT_EQ(Zodractl({u"create"_s, path}).exitCode, 0);
    // The first open puts a new company into WAL mode; from then on an open changes nothing.
    ASSERT_EQ(Zodractl({u"check"_s, path}).exitCode, 0);
    const auto before = FolderState(dir.path());
    ASSERT_EQ(FileNames(before),
              (QStringList{u"firma.det"_s, u"firma.mdb"_s, u"firma.mdb-lock"_s}));
    ASSERT_TRUE(HeaderSaysWal(before.at(u"firma.mdb"_s).first));
    const auto sql = [&](const QString& statement, bool write = false) {
        QStringList args{u"sql"_s, path, statement};
        if (write) {
            args << u"--write"_s;
        }
        return Zodractl(args, QString(), false, QString(), dir.path());
    };
    const QString refusal =
        u"Bez --write baza se samo čita: naredba je odbijena jer bi mijenjala bazu podataka ili "
        "pisala u datoteku.\n"_s;
    for (const QString& statement :
         {u"ATTACH DATABASE 'x.db' AS x"_s, u"VACUUM INTO 'y.db'"_s,
          u"PRAGMA journal_mode=DELETE"_s, u"PRAGMA user_version = 7"_s, u"PRAGMA query_only = 0"_s,
          u"PRAGMA wal_checkpoint"_s, u"VACUUM"_s, u"ANALYZE"_s, u"BEGIN IMMEDIATE"_s,
          u"CREATE TEMP TABLE \"t\" (\"x\")"_s,
          u"INSERT INTO \"GRUPE_A\" (\"NAZIV\") VALUES ('Nova')"_s}) {
        const Outcome r = sql(statement);
        EXPECT_EQ(r.exitCode, 1) << statement.toStdString();
        EXPECT_EQ(r.err, refusal) << statement.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        const auto after = FolderState(dir.path());
        EXPECT_EQ(FileNames(after), FileNames(before)) << statement.toStdString();
        EXPECT_TRUE(after == before) << statement.toStdString() << ": a file changed";
    }

    // Reading statements and reading pragmas still answer, and change nothing either.
    EXPECT_EQ(sql(u"SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1"_s).out,
              u"NAZIV\nEUR\n"_s);
    EXPECT_EQ(sql(u"PRAGMA user_version"_s).out,
              u"user_version\n%1\n"_s.arg(CompanySchema::kCurrentVersion));
    EXPECT_EQ(sql(u"PRAGMA journal_mode"_s).out, u"journal_mode\nwal\n"_s);
    EXPECT_EQ(sql(u"PRAGMA integrity_check"_s).out, u"integrity_check\nok\n"_s);
    const Outcome columns = sql(u"PRAGMA table_info(\"VALUTE\")"_s);
    EXPECT_EQ(columns.exitCode, 0) << columns.err.toStdString();
    EXPECT_TRUE(columns.out.contains(u"\tNAZIV\t"_s)) << columns.out.toStdString();
    EXPECT_EQ(sql(u"SELECT \"name\" FROM pragma_table_info('VALUTE') WHERE "
                  "\"name\" = 'NAZIV'"_s)
                  .out,
              u"name\nNAZIV\n"_s);
    EXPECT_TRUE(FolderState(dir.path()) == before);

    // With --write the same connection writes.
    const Outcome written = sql(u"INSERT INTO \"GRUPE_A\" (\"NAZIV\") VALUES ('Nova')"_s, true);
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.out, u"Promijenjeno redaka: 1\n"_s);
    EXPECT_EQ(sql(u"SELECT COUNT(*) FROM \"GRUPE_A\" WHERE \"NAZIV\" = 'Nova'"_s).out,
              u"COUNT(*)\n1\n"_s);
}

// Damage is reported with its exit code, never by an abort; compaction repairs what can be
// repaired and says plainly what it could not.
TEST(Zodractl, DamagedFilesAreReportedAndRepairedWithoutAnAbort) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"firma.mdb"_s);
    ASSERT_EQ(Zodractl({u"demo"_s, path}).exitCode, 0);
    ASSERT_EQ(
        Zodractl({u"sql"_s, path, u"PRAGMA wal_checkpoint(TRUNCATE)"_s, u"--write"_s}).exitCode, 0);
    {
        // Pages near the end (rows of the last tables written), the schema left intact.
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        const qint64 size = f.size();
        for (qint64 at = size - 4096 * 40; at < size; at += 4096 * 3) {
            f.seek(at + 8);
            f.write(QByteArray(200, '\x7f'));
        }
    }
    const Outcome check = Zodractl({u"check"_s, path});
    EXPECT_EQ(check.exitCode, 5) << check.out.toStdString() << check.err.toStdString();
    EXPECT_TRUE(check.out.contains(u"Provjera ispravnosti: "_s));
    EXPECT_FALSE(check.out.contains(u"Provjera ispravnosti: ok"_s));
    EXPECT_FALSE(check.err.contains(u"terminate"_s));

    const Outcome compact = Zodractl({u"compact"_s, path});
    EXPECT_EQ(compact.exitCode, 0) << compact.err.toStdString();
    EXPECT_TRUE(compact.out.startsWith(
        u"Popravak datoteke napravljen uspješno. Original je sačuvan kao "_s))
        << compact.out.toStdString();
    EXPECT_EQ(Zodractl({u"check"_s, path}).exitCode, 0);

    // A detail file of random bytes: the company opens without it, and nobody claims success.
    const QString detail = dir.filePath(u"firma.det"_s);
    {
        QFile f(detail);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(9000, '\x33'));
    }
    const Outcome detailCheck = Zodractl({u"check"_s, path});
    EXPECT_EQ(detailCheck.exitCode, 5);
    EXPECT_TRUE(detailCheck.err.contains(u"nije Zodra datoteka detaljnih računa."_s))
        << detailCheck.err.toStdString();
    const Outcome detailCompact = Zodractl({u"compact"_s, path});
    EXPECT_EQ(detailCompact.exitCode, 5);
    EXPECT_TRUE(detailCompact.err.startsWith(u"Datoteka detalja nije sažeta: "_s))
        << detailCompact.err.toStdString();
    QFile f(detail);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(9000, '\x33'));
}

// A report filled from a session's work table is printed by the command that fills it; the
// corrections the session start makes to the configuration are said on the error output, once;
// a command without a desktop session's runtime folder prints no warning about it.
TEST(Zodractl, CashBookReportCorrectionsAndQuietRuntime) {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"demo.mdb"_s);
    Outcome r = Zodractl({u"demo"_s, path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    r = Zodractl({u"report"_s, path, u"blag_izv.rpt"_s, u"--pdf"_s, dir.filePath(u"x.pdf"_s)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(),
              u"Izvještaj blag_izv.rpt ispisuje se iz radne tablice blagajne: "
              "zodractl cashbook PUTANJA --skladiste N --od DD.MM.GGGG "
              "--do DD.MM.GGGG --pdf IZLAZ.pdf"_s);
    EXPECT_FALSE(QFile::exists(dir.filePath(u"x.pdf"_s)));

    // A stock method the program does not know: the session start sets FIFO and says so.
    r = Zodractl({u"sql"_s, path,
                  u"UPDATE \"Konfiguracija\" SET \"Vrijednost\" = 'NEŠTO' "
                  "WHERE \"Naziv\" = 'Vođenje skladišta'"_s,
                  u"--write"_s});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString book = dir.filePath(u"blagajna.pdf"_s);
    const QStringList cashbook = {
        u"cashbook"_s,   path,      u"--skladiste"_s, u"1"_s,     u"--od"_s,
        u"01.01.2026"_s, u"--do"_s, u"31.12.2026"_s,  u"--pdf"_s, book};
    zodra::test::ZodractlOptions options;
    options.removed = {u"XDG_RUNTIME_DIR"_s};
    r = zodra::test::RunZodractl(cashbook, options);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), u"Izvještaj je zapisan u "_s + book + u" (stranica: 1)."_s);
    EXPECT_GT(QFile(book).size(), 1000);
    EXPECT_EQ(r.err.trimmed(),
              u"Skladišna metoda nije ispravno postavljena, bit će postavljena FIFO "
              "metoda."_s);
    EXPECT_FALSE(r.err.contains(u"XDG_RUNTIME_DIR"_s));
    // Corrected once: the next command has nothing to say.
    r = zodra::test::RunZodractl(cashbook, options);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());

    // A range that is not one is refused before anything is opened.
    r = Zodractl({u"cashbook"_s, path, u"--skladiste"_s, u"1"_s, u"--od"_s, u"31.02.2026"_s,
                  u"--do"_s, u"31.12.2026"_s, u"--pdf"_s, book});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.trimmed().isEmpty());
}
