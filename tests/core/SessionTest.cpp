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

using namespace Qt::StringLiterals;

using namespace zodra;
using zodra::test::CompanyTest;

class SessionTest : public CompanyTest {
protected:
    std::unique_ptr<Session> Opened() {
        auto s = std::make_unique<Session>();
        s->databasePath = CompanyPath();
        s->userName = u"admin"_s;
        s->Attach(Open());
        return s;
    }
    int Count(Database& db, const QString& sql, const QVariantList& params = {}) {
        return db.Scalar(sql, params).toInt();
    }
};

TEST_F(SessionTest, StartAllocatesThreeCodesInOrderAndCopiesTheWarehouse) {
    auto s = Opened();
    // Without a warehouse nothing starts.
    const int codesBefore = Count(s->Db(), u"SELECT COUNT(*) FROM \"Multiuser\""_s);
    EXPECT_REFUSED(sessionstart::Start(*s, 0, prompter), "Nije izabrano skladište.");
    EXPECT_EQ(Count(s->Db(), u"SELECT COUNT(*) FROM \"Multiuser\""_s), codesBefore);
    EXPECT_EQ(s->sessionCode, 0);
    s->Db().ExecRaw(
        u"INSERT INTO \"SKLADISTA\" (\"SIFRA\", \"NAZIV\", \"ADRESA\", \"TELEFON\", "
        "\"MALOPRODAJA\", "
        "\"KOMISIJSKO_SKLADISTE\", \"DOZVOLJENI_SVI_RACUNI\", \"CijeneValuta\", "
        "\"SKLADISTE_ZALIHA\", "
        "\"SKLADISTE_AUTOM_RN\") VALUES (4, 'Dućan Split', 'Riva 1', '021', 1, 1, 0, 1, 5, 6)"_s);
    const auto result = sessionstart::Start(*s, 4, prompter, QDate(2026, 3, 2));
    EXPECT_FALSE(result.openPlanner);
    EXPECT_GT(s->sessionCode, 0);
    EXPECT_EQ(s->workOrderSessionCode, s->sessionCode + 1);
    EXPECT_EQ(s->transferSessionCode, s->sessionCode + 2);
    EXPECT_EQ(s->activeWarehouse.code, 4);
    EXPECT_EQ(s->activeWarehouse.name, u"Dućan Split"_s);
    EXPECT_TRUE(s->warehouseFlags.retail);
    EXPECT_TRUE(s->warehouseFlags.commission);
    EXPECT_FALSE(s->warehouseFlags.allInvoicesAllowed);
    EXPECT_TRUE(s->warehouseFlags.pricesInCurrency);
    EXPECT_EQ(s->warehouseFlags.stockWarehouse, 5);
    EXPECT_EQ(s->warehouseFlags.autoWorkOrderWarehouse, 6);
    EXPECT_EQ(s->businessYear, 2026);
    EXPECT_EQ(s->stockMethod, StockMethod::Fifo);
    EXPECT_EQ(s->company.homeCurrencyName, u"EUR"_s);
    EXPECT_EQ(sessionstart::Title(*s), CompanyPath() + u":Dućan Split - Zodra, UserName: admin"_s);
    // The home currency got its rate without a question.
    EXPECT_TRUE(prompter.Shown().isEmpty());
    EXPECT_DOUBLE_EQ(s->Db()
                         .Scalar(u"SELECT \"TECAJ\" FROM \"VALUTE_TECAJ\" WHERE "
                                 "\"SIFRA\" = 1 AND \"DATUM\" = '2026-03-02'"_s)
                         .toDouble(),
                     1.0);
}

TEST_F(SessionTest, CompanyOptionsSetR2AndTheArticleOrder) {
    auto s = Opened();
    AddWarehouse(s->Db(), u"Glavno"_s);
    s->Db().ExecRaw(
        u"UPDATE \"PODACI_FIRME\" SET \"OZNAKA_NA_RACUNU\" = 'R-2', "
        "\"ARTIKLI\" = 'po šifri i nazivu', \"FormatBroj\" = '0.00'"_s);
    sessionstart::Start(*s, 1, prompter);
    EXPECT_TRUE(s->options.r2);
    EXPECT_EQ(s->options.numberFormat, u"0.00"_s);
    s->Db().ExecRaw(u"INSERT INTO \"ARTIKLI\" (\"NAZIV\", \"OPIS\") VALUES ('Čekić', 'A-1')"_s);
    EXPECT_EQ(s->Db()
                  .Scalar(u"SELECT "_s + s->options.articleDisplayExpression +
                          u" FROM \"ARTIKLI\" WHERE \"OPIS\" = 'A-1'"_s)
                  .toString(),
              u"A-1 - Čekić"_s);
    s->Db().ExecRaw(u"UPDATE \"PODACI_FIRME\" SET \"ARTIKLI\" = 'po nazivu i šifri'"_s);
    sessionstart::LoadCompanyOptions(*s);
    EXPECT_EQ(s->Db()
                  .Scalar(u"SELECT "_s + s->options.articleDisplayExpression +
                          u" FROM \"ARTIKLI\" WHERE \"OPIS\" = 'A-1'"_s)
                  .toString(),
              u"Čekić - A-1"_s);
}

TEST_F(SessionTest, ChangingTheWarehouseRereadsItsFlags) {
    auto s = StartSession(1);
    const int retail = AddWarehouse(s->Db(), u"Maloprodaja"_s, true);
    EXPECT_FALSE(sessionstart::ChangeWarehouse(*s, 1));
    EXPECT_TRUE(sessionstart::ChangeWarehouse(*s, retail));
    EXPECT_EQ(s->activeWarehouse.name, u"Maloprodaja"_s);
    EXPECT_TRUE(s->warehouseFlags.retail);
    EXPECT_REFUSED(sessionstart::ChangeWarehouse(*s, 999), "Nije izabrano skladište !");
    EXPECT_EQ(s->activeWarehouse.code, retail);
}

TEST_F(SessionTest, ExitReleasesAllThreeCodesAndTheUnfinishedLines) {
    auto s = StartSession(1);
    auto other = StartSession(1);
    for (int code : {s->sessionCode, other->sessionCode}) {
        s->Db().Exec(
            u"INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
            "\"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
            "\"Multiuser_sifra\") VALUES (1, 2026, 1, 1, 1, 1, ?)"_s,
            {code});
    }
    const QList<int> codes = {s->sessionCode, s->workOrderSessionCode, s->transferSessionCode};
    sessionstart::End(*s);
    for (int code : codes) {
        EXPECT_EQ(
            Count(other->Db(), u"SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" = ?"_s, {code}),
            0);
    }
    EXPECT_EQ(Count(other->Db(), u"SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" = ?"_s,
                    {other->sessionCode}),
              1);
    EXPECT_EQ(Count(other->Db(), u"SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\""_s), 1);
}

TEST_F(SessionTest, TheFixUpCompletesMissingTaxGroupsOfPostedLinesSeekingOnlyThose) {
    auto db = Open();
    db->ExecRaw(
        u"INSERT INTO \"ARTIKLI\" (\"SIFRA\", \"NAZIV\", \"GRUPA_P\") VALUES (5, 'Sok', 1)"_s);
    db->ExecRaw(
        u"INSERT INTO \"STAVKE_IZDATNICA\" (\"SKLADISTE\", \"GODINA\", \"BROJ\", "
        "\"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\") VALUES (1, 2026, 1, 5, 1, 2)"_s);
    db->ExecRaw(
        u"INSERT INTO \"STAVKE_IZMJENA_CIJENA\" (\"SKLADISTE\", \"GODINA\", "
        "\"BROJ_IZMJENE_CIJENA\", \"BROJ_PRIMKE\", \"ARTIKAL\", \"KOLICINA\") "
        "VALUES (1, 2026, 1, 1, 5, 2)"_s);
    EXPECT_EQ(sessionstart::FixUpData(*db), 2);
    const QString expected =
        db->Scalar(u"SELECT \"NAZIV\" FROM \"GRUPE_POREZA\" WHERE \"SIFRA\" = 1"_s).toString();
    EXPECT_EQ(db->Scalar(u"SELECT \"GRUPA_POREZA\" FROM \"STAVKE_IZDATNICA\""_s).toString(),
              expected);
    EXPECT_EQ(db->Scalar(u"SELECT \"GRUPA_POREZA\" FROM \"STAVKE_IZMJENA_CIJENA\""_s).toString(),
              expected);
    // A second run finds nothing to do; it seeks only the lines without a tax group.
    EXPECT_EQ(sessionstart::FixUpData(*db), 0);
    for (const char16_t* table : {u"STAVKE_PRIMKI", u"STAVKE_IZDATNICA", u"STAVKE_INVENTURA",
                                  u"STAVKE_IZMJENA_CIJENA", u"STAVKE_OTPREMNICA"}) {
        Statement plan =
            db->Prepare(u"EXPLAIN QUERY PLAN SELECT * FROM \""_s + QString::fromUtf16(table) +
                        u"\" WHERE \"GRUPA_POREZA\" IS NULL"_s);
        plan.Exec();
        QString detail;
        while (plan.Next()) {
            detail += plan.Value(u"detail"_s).toString() + QLatin1Char(' ');
        }
        EXPECT_TRUE(detail.contains(u"INDEX"_s)) << detail.toStdString();
        EXPECT_FALSE(detail.startsWith(u"SCAN"_s)) << detail.toStdString();
    }
}

// A program killed with a document half entered leaves its session code and working rows; the
// next session to start (or a compaction) forgets them, while a session still running on
// another workstation keeps its own.
TEST_F(SessionTest, SessionsOfKilledProgramsAreForgottenAndRunningOnesKept) {
    auto running = StartSession(1);
    const auto addLine = [](Database& db, int code) {
        db.Exec(
            u"INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" (\"SKLADISTE\", \"GODINA\", "
            "\"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", \"KOLICINA\", "
            "\"Multiuser_sifra\") VALUES (1, 2026, 1, 1, 1, 1, ?)"_s,
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
    const QString lines = u"SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\""_s;
    const QString sessions = u"SELECT COUNT(*) FROM \"Multiuser\""_s;
    // The second killed program's start forgot the first one already: left are the running
    // session's line and three codes, and the second's two lines and three codes.
    ASSERT_EQ(Count(db, lines), 3);
    ASSERT_EQ(Count(db, sessions), 6);

    auto next = StartSession(1);
    EXPECT_EQ(Count(db, lines), 1);
    EXPECT_EQ(Count(db,
                    u"SELECT \"Multiuser_sifra\" FROM "
                    "\"STAVKE_IZDATNICA_PRIVREMENO\""_s),
              running->sessionCode);
    EXPECT_EQ(Count(db, sessions), 6);  // the running session's three and the new one's
    EXPECT_EQ(
        Count(db,
              u"SELECT COUNT(*) FROM \"Multiuser\" WHERE \"SIFRA\" IN "
              "(?, ?, ?)"_s,
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
    db->Exec(
        u"INSERT INTO \"STAVKE_IZDATNICA_PRIVREMENO\" (\"SKLADISTE\", "
        "\"GODINA\", \"BROJ\", \"SIFRA_ARTIKLA\", \"BROJ_PRIMKE\", "
        "\"KOLICINA\", \"Multiuser_sifra\") VALUES (1, 2026, 1, 1, 1, 1, ?)"_s,
        {saved});
    db->Exec(
        u"INSERT INTO \"OtvoreniDokumenti\" (\"Skladiste\", \"Godina\", "
        "\"Dokument\", \"Broj\", \"Multiuser_sifra\") VALUES (1, 2026, "
        "'RADNI NALOG', 1, ?)"_s,
        {saved});
    db.reset();  // the program that saved it has ended
    auto s = StartSession(1);
    EXPECT_EQ(Count(s->Db(),
                    u"SELECT COUNT(*) FROM \"STAVKE_IZDATNICA_PRIVREMENO\" "
                    "WHERE \"Multiuser_sifra\" = ?"_s,
                    {saved}),
              1);
}
