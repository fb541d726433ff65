#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "app/SessionStart.h"
#include "data/Database.h"
#include "data/Errors.h"
#include "data/Session.h"
#include "data/WorkingCopy.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

using namespace zodra;
using zodra::test::CompanyTest;

class SessionTest : public CompanyTest {
protected:
    std::unique_ptr<Session> Opened() {
        auto s = std::make_unique<Session>();
        s->databasePath = CompanyPath();
        s->userName = QStringLiteral("admin");
        s->Attach(Open());
        return s;
    }
    int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
        return db.Scalar(sql, params).toInt();
    }
};

TEST_F(SessionTest, StartAllocatesThreeCodesInOrderAndCopiesTheWarehouse) {
    auto s = Opened();
    s->Db().ExecRaw(QStringLiteral(
        "INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", \"TELEFON\", "
        "\"MALOPRODAJA\", "
        "\"KOMISIJSKO_SKLADISTE\", \"DOZVOLJENI_SVI_RACUNI\", \"CijeneValuta\", "
        "\"SKLADISTE_ZALIHA\", "
        "\"SKLADISTE_AUTOM_RN\") VALUES (4, 'Dućan Split', 'Riva 1', '021', 1, 1, 0, 1, 5, 6)"));
    const auto result = sessionstart::Start(*s, 4, prompter, QDate(2026, 3, 2));
    EXPECT_FALSE(result.openPlanner);
    EXPECT_GT(s->sessionCode, 0);
    EXPECT_EQ(s->workOrderSessionCode, s->sessionCode + 1);
    EXPECT_EQ(s->transferSessionCode, s->sessionCode + 2);
    EXPECT_EQ(s->activeWarehouse.code, 4);
    EXPECT_EQ(s->activeWarehouse.name, QStringLiteral("Dućan Split"));
    EXPECT_TRUE(s->warehouseFlags.retail);
    EXPECT_TRUE(s->warehouseFlags.commission);
    EXPECT_FALSE(s->warehouseFlags.allInvoicesAllowed);
    EXPECT_TRUE(s->warehouseFlags.pricesInCurrency);
    EXPECT_EQ(s->warehouseFlags.stockWarehouse, 5);
    EXPECT_EQ(s->warehouseFlags.autoWorkOrderWarehouse, 6);
    EXPECT_EQ(s->businessYear, 2026);
    EXPECT_EQ(s->stockMethod, StockMethod::Fifo);
    EXPECT_EQ(s->company.homeCurrencyName, QStringLiteral("EUR"));
    EXPECT_EQ(sessionstart::Title(*s),
              CompanyPath() + QStringLiteral(":Dućan Split - Zodra, UserName: admin"));
    // The home currency got its rate without a question.
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_DOUBLE_EQ(s->Db()
                         .Scalar(QStringLiteral("SELECT \"TECAJ\" FROM \"VALUTE_TECAJ\" WHERE "
                                                "\"SIFRA\" = 1 AND \"DATUM\" = '2026-03-02'"))
                         .toDouble(),
                     1.0);
}

TEST_F(SessionTest, WithoutAWarehouseNothingStarts) {
    auto s = Opened();
    const int codesBefore = Count(s->Db(), QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\""));
    EXPECT_REFUSED(sessionstart::Start(*s, 0, prompter), "Nije izabrano skladište.");
    EXPECT_EQ(Count(s->Db(), QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"")), codesBefore);
    EXPECT_EQ(s->sessionCode, 0);
}

TEST_F(SessionTest, CompanyOptionsSetR2AndTheArticleOrder) {
    auto s = Opened();
    AddWarehouse(s->Db(), QStringLiteral("Glavno"));
    s->Db().ExecRaw(
        QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"OZNAKA_NA_RACUNU\" = 'R-2', "
                       "\"ARTIKLI\" = 'po šifri i nazivu', \"FormatBroj\" = '0.00'"));
    sessionstart::Start(*s, 1, prompter);
    EXPECT_TRUE(s->options.r2);
    EXPECT_EQ(s->options.numberFormat, QStringLiteral("0.00"));
    s->Db().ExecRaw(
        QStringLiteral("INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\") VALUES ('Čekić', 'A-1')"));
    EXPECT_EQ(s->Db()
                  .Scalar(QStringLiteral("SELECT ") + s->options.articleDisplayExpression +
                          QStringLiteral(" FROM \"ARTIKLI\" WHERE \"OPIS\" = 'A-1'"))
                  .toString(),
              QStringLiteral("A-1 - Čekić"));
    s->Db().ExecRaw(
        QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"ARTIKLI\" = 'po nazivu i šifri'"));
    sessionstart::LoadCompanyOptions(*s);
    EXPECT_EQ(s->Db()
                  .Scalar(QStringLiteral("SELECT ") + s->options.articleDisplayExpression +
                          QStringLiteral(" FROM \"ARTIKLI\" WHERE \"OPIS\" = 'A-1'"))
                  .toString(),
              QStringLiteral("Čekić - A-1"));
}

TEST_F(SessionTest, ChangingTheWarehouseRereadsItsFlags) {
    auto s = StartSession(1);
    const int retail = AddWarehouse(s->Db(), QStringLiteral("Maloprodaja"), true);
    EXPECT_FALSE(sessionstart::ChangeWarehouse(*s, 1));
    EXPECT_TRUE(sessionstart::ChangeWarehouse(*s, retail));
    EXPECT_EQ(s->activeWarehouse.name, QStringLiteral("Maloprodaja"));
    EXPECT_TRUE(s->warehouseFlags.retail);
    EXPECT_REFUSED(sessionstart::ChangeWarehouse(*s, 999), "Nije izabrano skladište !");
    EXPECT_EQ(s->activeWarehouse.code, retail);
}

TEST_F(SessionTest, ExitReleasesAllThreeCodesAndTheUnfinishedLines) {
    auto s = StartSession(1);
    auto other = StartSession(1);
    for (int code : {s->sessionCode, other->sessionCode}) {
        s->Db().Exec(QStringLiteral(
                         "INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
                         "\"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                         "\"Multiuser_sifra\") VALUES (1, 2026, 1, 1, 1, 1, ?)"),
                     {code});
    }
    const QList<int> codes = {s->sessionCode, s->workOrderSessionCode, s->transferSessionCode};
    sessionstart::End(*s);
    for (int code : codes) {
        EXPECT_EQ(
            Count(other->Db(),
                  QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" = ?"), {code}),
            0);
    }
    EXPECT_EQ(
        Count(other->Db(), QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" = ?"),
              {other->sessionCode}),
        1);
    EXPECT_EQ(
        Count(other->Db(), QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\"")),
        1);
}

TEST_F(SessionTest, TheFixUpCompletesMissingTaxGroupsOfPostedLines) {
    auto db = Open();
    db->ExecRaw(QStringLiteral(
        "INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"GRUPA_P\") VALUES (5, 'Sok', 1)"));
    db->ExecRaw(QStringLiteral(
        "INSERT INTO \"STAVKE_IZDATNICA\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", "
        "\"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\") VALUES (1, 2026, 1, 5, 1, 2)"));
    db->ExecRaw(
        QStringLiteral("INSERT INTO \"STAVKE_IZMJENA_CIJENA\" (\"SKLADISTE\", \"GODINA\", "
                       "\"BROJ_IZMJENE_CIJENA\", \"BROJ_PRIMKE\", \"ARTIKAL\", \"KOLICINA\") "
                       "VALUES (1, 2026, 1, 1, 5, 2)"));
    EXPECT_EQ(sessionstart::FixUpData(*db), 2);
    const QString expected =
        db->Scalar(QStringLiteral("SELECT \"NAZIV\" FROM \"GRUPE_POREZA\" WHERE \"SIFRA\" = 1"))
            .toString();
    EXPECT_EQ(
        db->Scalar(QStringLiteral("SELECT \"GRUPA_POREZA\" FROM \"STAVKE_IZDATNICA\"")).toString(),
        expected);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT \"GRUPA_POREZA\" FROM \"STAVKE_IZMJENA_CIJENA\""))
                  .toString(),
              expected);
    // A second run finds nothing to do.
    EXPECT_EQ(sessionstart::FixUpData(*db), 0);
}

TEST_F(SessionTest, TheFixUpSeeksOnlyTheLinesWithoutATaxGroup) {
    auto db = Open();
    for (const char16_t* table : {u"STAVKE_PRIMKI", u"STAVKE_IZDATNICA", u"STAVKE_INVENTURA",
                                  u"STAVKE_IZMJENA_CIJENA", u"STAVKE_OTPREMNICA"}) {
        Statement plan = db->Prepare(QStringLiteral("EXPLAIN QUERY PLAN SELECT * FROM \"") +
                                     QString::fromUtf16(table) +
                                     QStringLiteral("\" WHERE \"GRUPA_POREZA\" IS NULL"));
        plan.Exec();
        QString detail;
        while (plan.Next()) {
            detail += plan.Value(QStringLiteral("detail")).toString() + QLatin1Char(' ');
        }
        EXPECT_TRUE(detail.contains(QStringLiteral("INDEX"))) << detail.toStdString();
        EXPECT_FALSE(detail.startsWith(QStringLiteral("SCAN"))) << detail.toStdString();
    }
}

// A program killed with a document half entered leaves its session code and working rows; the
// next session to start (or a compaction) forgets them, while a session still running on
// another workstation keeps its own.
TEST_F(SessionTest, SessionsOfKilledProgramsAreForgottenAndRunningOnesKept) {
    auto running = StartSession(1);
    const auto addLine = [](Database& db, int code) {
        db.Exec(QStringLiteral(
                    "INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
                    "\"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
                    "\"Multiuser_sifra\") VALUES (1, 2026, 1, 1, 1, 1, ?)"),
                {code});
    };
    addLine(running->Db(), running->sessionCode);
    for (int killed = 0; killed < 2; ++killed) {
        const pid_t pid = fork();
        if (pid == 0) {
            auto s = StartSession(1);
            addLine(s->Db(), s->sessionCode);
            addLine(s->Db(), s->transferSessionCode);
            raise(SIGKILL);
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
    }
    Database& db = running->Db();
    const QString lines = QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\"");
    const QString sessions = QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\"");
    // The second killed program's start forgot the first one already: left are the running
    // session's line and three codes, and the second's two lines and three codes.
    ASSERT_EQ(Count(db, lines), 3);
    ASSERT_EQ(Count(db, sessions), 6);

    auto next = StartSession(1);
    EXPECT_EQ(Count(db, lines), 1);
    EXPECT_EQ(Count(db, QStringLiteral("SELECT \"Multiuser_sifra\" FROM "
                                       "\"STAVKE_IZDATNICA_PRIVREMENO\"")),
              running->sessionCode);
    EXPECT_EQ(Count(db, sessions), 6);  // the running session's three and the new one's
    EXPECT_EQ(
        Count(db,
              QStringLiteral("SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" IN "
                             "(?, ?, ?)"),
              {running->sessionCode, running->workOrderSessionCode, running->transferSessionCode}),
        3);
    // Ended properly, the running sessions leave nothing to clear.
    sessionstart::End(*running);
    sessionstart::End(*next);
    EXPECT_EQ(workingcopy::ClearAbandonedSessions(db), 0);
    EXPECT_EQ(Count(db, sessions), 0);
}

// A document saved unposted keeps its lines under its session code even when that session has
// ended.
TEST_F(SessionTest, LinesOfASavedDocumentOutliveTheirSession) {
    auto db = Open();
    const int saved = workingcopy::AllocateSessionCode(*db);
    db->Exec(QStringLiteral("INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" (\"SKLADISTE\", "
                            "\"GODINA\", \"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", "
                            "\"KOLICINA\", \"Multiuser_sifra\") VALUES (1, 2026, 1, 1, 1, 1, ?)"),
             {saved});
    db->Exec(QStringLiteral("INSERT INTO \"OtvoreniDokumenti\" (\"Skladiste\", \"Godina\", "
                            "\"Dokument\", \"Broj\", \"Multiuser_sifra\") VALUES (1, 2026, "
                            "'RADNI NALOG', 1, ?)"),
             {saved});
    db.reset();  // the program that saved it has ended
    auto s = StartSession(1);
    EXPECT_EQ(Count(s->Db(),
                    QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\" "
                                   "WHERE \"Multiuser_sifra\" = ?"),
                    {saved}),
              1);
}
