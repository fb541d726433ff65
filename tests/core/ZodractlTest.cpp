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
    const QString path = dir.filePath(QStringLiteral("nova.mdb"));
    Outcome r = Zodractl({QStringLiteral("create"), path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("nova.det"))));
    r = Zodractl({QStringLiteral("check"), path});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("Verzija sheme: %1").arg(CompanySchema::kCurrentVersion)));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Provjera ispravnosti: ok")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("KORISNICI: 1")));
    // Creating over an existing company is refused.
    r = Zodractl({QStringLiteral("create"), path});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Za novu datoteku morate izabrati novo ime !")));
    // A detail file left over under the new name is named, and neither taken over nor
    // overwritten.
    const QString other = dir.filePath(QStringLiteral("druga.mdb"));
    QFile leftover(dir.filePath(QStringLiteral("druga.det")));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write("stari detalji");
    leftover.close();
    r = Zodractl({QStringLiteral("create"), other});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(),
              QStringLiteral("Uz to ime već postoji datoteka detalja ") + leftover.fileName() +
                  QStringLiteral(" (ostatak druge baze?). Za novu datoteku morate izabrati novo "
                                 "ime ili najprije ukloniti tu datoteku."));
    EXPECT_FALSE(QFile::exists(other));
    ASSERT_TRUE(leftover.open(QIODevice::ReadOnly));
    EXPECT_EQ(leftover.readAll(), QByteArray("stari detalji"));

    r = Zodractl({QStringLiteral("sql"), path,
                  QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, QStringLiteral("NAZIV\nEUR\n"));
    // Read-only unless asked.
    r = Zodractl({QStringLiteral("sql"), path, QStringLiteral("DELETE FROM \"PARTNERI\"")});
    EXPECT_EQ(r.exitCode, 1);
    r = Zodractl({QStringLiteral("sql"), path,
                  QStringLiteral("UPDATE \"VALUTE\" SET \"NAZIV\" = 'EURO' WHERE \"SIFRA\" = 1"),
                  QStringLiteral("--write")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(Database::Open(path, QString())
                  .db->Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\""))
                  .toString(),
              QStringLiteral("EURO"));
}

TEST(Zodractl, ExitCodesTellFailuresApart) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firma.mdb"));
    ASSERT_EQ(Zodractl({QStringLiteral("create"), path}, QStringLiteral("tajna"), true).exitCode,
              0);
    EXPECT_EQ(Zodractl({QStringLiteral("check"), path}, QStringLiteral("kriva"), true).exitCode, 3);
    EXPECT_EQ(Zodractl({QStringLiteral("check"), path}).exitCode, 3);  // no password given
    EXPECT_EQ(Zodractl({QStringLiteral("check"), path}, QStringLiteral("tajna"), true).exitCode, 0);
    EXPECT_EQ(
        Zodractl({QStringLiteral("check"), dir.filePath(QStringLiteral("nema.mdb"))}).exitCode, 6);
    const QString text = dir.filePath(QStringLiteral("tekst.mdb"));
    {
        QFile f(text);
        f.open(QIODevice::WriteOnly);
        f.write("nije baza");
    }
    EXPECT_EQ(Zodractl({QStringLiteral("check"), text}).exitCode, 4);
    EXPECT_EQ(Zodractl({QStringLiteral("nepoznata")}).exitCode, 2);
    EXPECT_EQ(Zodractl({QStringLiteral("check")}).exitCode, 2);
}

TEST(Zodractl, PasswordChangeTakesPasswordsFromTheEnvironmentOnly) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firma.mdb"));
    ASSERT_EQ(Zodractl({QStringLiteral("create"), path}).exitCode, 0);
    Outcome r =
        Zodractl({QStringLiteral("passwd"), path}, QString(), false, QStringLiteral("novatajna"));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Password je promijenjen!")));
    EXPECT_EQ(Database::Open(path, QString()).status, Database::OpenStatus::WrongPassword);
    EXPECT_EQ(Database::Open(path, QStringLiteral("novatajna")).status, Database::OpenStatus::Ok);
    // Fourteen characters are the most a password may have.
    r = Zodractl({QStringLiteral("passwd"), path}, QStringLiteral("novatajna"), true,
                 QStringLiteral("123456789012345"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Password je predugačak (najviše 14 znakova)!")));
    r = Zodractl({QStringLiteral("passwd"), path}, QStringLiteral("novatajna"), true,
                 QStringLiteral("12345678901234"));
    EXPECT_EQ(r.exitCode, 0);
}

TEST(Zodractl, ReadOnlySqlLeavesEveryFileAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firma.mdb"));
    ASSERT_EQ(Zodractl({QStringLiteral("create"), path}).exitCode, 0);
    // The first open puts a new company into WAL mode; from then on an open changes nothing.
    ASSERT_EQ(Zodractl({QStringLiteral("check"), path}).exitCode, 0);
    const auto before = FolderState(dir.path());
    ASSERT_EQ(FileNames(before),
              (QStringList{QStringLiteral("firma.det"), QStringLiteral("firma.mdb"),
                           QStringLiteral("firma.mdb-lock")}));
    ASSERT_TRUE(HeaderSaysWal(before.at(QStringLiteral("firma.mdb")).first));
    const auto sql = [&](const QString& statement, bool write = false) {
        QStringList args{QStringLiteral("sql"), path, statement};
        if (write) {
            args << QStringLiteral("--write");
        }
        return Zodractl(args, QString(), false, QString(), dir.path());
    };
    const QString refusal = QStringLiteral(
        "Bez --write baza se samo čita: naredba je odbijena jer bi mijenjala bazu podataka ili "
        "pisala u datoteku.\n");
    for (const QString& statement :
         {QStringLiteral("ATTACH DATABASE 'x.db' AS x"), QStringLiteral("VACUUM INTO 'y.db'"),
          QStringLiteral("PRAGMA journal_mode=DELETE"), QStringLiteral("PRAGMA user_version = 7"),
          QStringLiteral("PRAGMA query_only = 0"), QStringLiteral("PRAGMA wal_checkpoint"),
          QStringLiteral("VACUUM"), QStringLiteral("ANALYZE"), QStringLiteral("BEGIN IMMEDIATE"),
          QStringLiteral("CREATE TEMP TABLE \"t\" (\"x\")"),
          QStringLiteral("INSERT INTO \"GRUPE_A\" (\"NAZIV\") VALUES ('Nova')")}) {
        const Outcome r = sql(statement);
        EXPECT_EQ(r.exitCode, 1) << statement.toStdString();
        EXPECT_EQ(r.err, refusal) << statement.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        const auto after = FolderState(dir.path());
        EXPECT_EQ(FileNames(after), FileNames(before)) << statement.toStdString();
        EXPECT_TRUE(after == before) << statement.toStdString() << ": a file changed";
    }

    // Reading statements and reading pragmas still answer, and change nothing either.
    EXPECT_EQ(sql(QStringLiteral("SELECT \"NAZIV\" FROM \"VALUTE\" WHERE \"SIFRA\" = 1")).out,
              QStringLiteral("NAZIV\nEUR\n"));
    EXPECT_EQ(sql(QStringLiteral("PRAGMA user_version")).out,
              QStringLiteral("user_version\n%1\n").arg(CompanySchema::kCurrentVersion));
    EXPECT_EQ(sql(QStringLiteral("PRAGMA journal_mode")).out,
              QStringLiteral("journal_mode\nwal\n"));
    EXPECT_EQ(sql(QStringLiteral("PRAGMA integrity_check")).out,
              QStringLiteral("integrity_check\nok\n"));
    const Outcome columns = sql(QStringLiteral("PRAGMA table_info(\"VALUTE\")"));
    EXPECT_EQ(columns.exitCode, 0) << columns.err.toStdString();
    EXPECT_TRUE(columns.out.contains(QStringLiteral("\tNAZIV\t"))) << columns.out.toStdString();
    EXPECT_EQ(sql(QStringLiteral("SELECT \"name\" FROM pragma_table_info('VALUTE') WHERE "
                                 "\"name\" = 'NAZIV'"))
                  .out,
              QStringLiteral("name\nNAZIV\n"));
    EXPECT_TRUE(FolderState(dir.path()) == before);

    // With --write the same connection writes.
    const Outcome written =
        sql(QStringLiteral("INSERT INTO \"GRUPE_A\" (\"NAZIV\") VALUES ('Nova')"), true);
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.out, QStringLiteral("Promijenjeno redaka: 1\n"));
    EXPECT_EQ(sql(QStringLiteral("SELECT COUNT(*) FROM \"GRUPE_A\" WHERE \"NAZIV\" = 'Nova'")).out,
              QStringLiteral("COUNT(*)\n1\n"));
}

// Damage is reported with its exit code, never by an abort; compaction repairs what can be
// repaired and says plainly what it could not.
TEST(Zodractl, DamagedFilesAreReportedAndRepairedWithoutAnAbort) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firma.mdb"));
    ASSERT_EQ(Zodractl({QStringLiteral("demo"), path}).exitCode, 0);
    ASSERT_EQ(
        Zodractl({QStringLiteral("sql"), path, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"),
                  QStringLiteral("--write")})
            .exitCode,
        0);
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
    const Outcome check = Zodractl({QStringLiteral("check"), path});
    EXPECT_EQ(check.exitCode, 5) << check.out.toStdString() << check.err.toStdString();
    EXPECT_TRUE(check.out.contains(QStringLiteral("Provjera ispravnosti: ")));
    EXPECT_FALSE(check.out.contains(QStringLiteral("Provjera ispravnosti: ok")));
    EXPECT_FALSE(check.err.contains(QStringLiteral("terminate")));

    const Outcome compact = Zodractl({QStringLiteral("compact"), path});
    EXPECT_EQ(compact.exitCode, 0) << compact.err.toStdString();
    EXPECT_TRUE(compact.out.startsWith(
        QStringLiteral("Popravak datoteke napravljen uspješno. Original je sačuvan kao ")))
        << compact.out.toStdString();
    EXPECT_EQ(Zodractl({QStringLiteral("check"), path}).exitCode, 0);

    // A detail file of random bytes: the company opens without it, and nobody claims success.
    const QString detail = dir.filePath(QStringLiteral("firma.det"));
    {
        QFile f(detail);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(9000, '\x33'));
    }
    const Outcome detailCheck = Zodractl({QStringLiteral("check"), path});
    EXPECT_EQ(detailCheck.exitCode, 5);
    EXPECT_TRUE(detailCheck.err.contains(QStringLiteral("nije Zodra datoteka detaljnih računa.")))
        << detailCheck.err.toStdString();
    const Outcome detailCompact = Zodractl({QStringLiteral("compact"), path});
    EXPECT_EQ(detailCompact.exitCode, 5);
    EXPECT_TRUE(detailCompact.err.startsWith(QStringLiteral("Datoteka detalja nije sažeta: ")))
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
    const QString path = dir.filePath(QStringLiteral("demo.mdb"));
    Outcome r = Zodractl({QStringLiteral("demo"), path});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    r = Zodractl({QStringLiteral("report"), path, QStringLiteral("blag_izv.rpt"),
                  QStringLiteral("--pdf"), dir.filePath(QStringLiteral("x.pdf"))});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.trimmed(),
              QStringLiteral("Izvještaj blag_izv.rpt ispisuje se iz radne tablice blagajne: "
                             "zodractl cashbook PUTANJA --skladiste N --od DD.MM.GGGG "
                             "--do DD.MM.GGGG --pdf IZLAZ.pdf"));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.pdf"))));

    // A stock method the program does not know: the session start sets FIFO and says so.
    r = Zodractl({QStringLiteral("sql"), path,
                  QStringLiteral("UPDATE \"Konfiguracija\" SET \"Vrijednost\" = 'NEŠTO' "
                                 "WHERE \"Naziv\" = 'Vođenje skladišta'"),
                  QStringLiteral("--write")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString book = dir.filePath(QStringLiteral("blagajna.pdf"));
    const QStringList cashbook = {QStringLiteral("cashbook"),    path,
                                  QStringLiteral("--skladiste"), QStringLiteral("1"),
                                  QStringLiteral("--od"),        QStringLiteral("01.01.2026"),
                                  QStringLiteral("--do"),        QStringLiteral("31.12.2026"),
                                  QStringLiteral("--pdf"),       book};
    zodra::test::ZodractlOptions options;
    options.removed = {QStringLiteral("XDG_RUNTIME_DIR")};
    r = zodra::test::RunZodractl(cashbook, options);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(),
              QStringLiteral("Izvještaj je zapisan u ") + book + QStringLiteral(" (stranica: 1)."));
    EXPECT_GT(QFile(book).size(), 1000);
    EXPECT_EQ(r.err.trimmed(),
              QStringLiteral("Skladišna metoda nije ispravno postavljena, bit će postavljena FIFO "
                             "metoda."));
    EXPECT_FALSE(r.err.contains(QStringLiteral("XDG_RUNTIME_DIR")));
    // Corrected once: the next command has nothing to say.
    r = zodra::test::RunZodractl(cashbook, options);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());

    // A range that is not one is refused before anything is opened.
    r = Zodractl({QStringLiteral("cashbook"), path, QStringLiteral("--skladiste"),
                  QStringLiteral("1"), QStringLiteral("--od"), QStringLiteral("31.02.2026"),
                  QStringLiteral("--do"), QStringLiteral("31.12.2026"), QStringLiteral("--pdf"),
                  book});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(r.err.trimmed().isEmpty());
}
