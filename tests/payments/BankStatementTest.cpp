// A camt.053 statement against the company's invoices: each kind of line gets the status it
// must (matched by reference or by payer and amount, ambiguous, unmatched, debit), the import
// records only the matched ones and a second import of the same statement records nothing.

#include <gtest/gtest.h>

#include <QFile>

#include "data/Session.h"
#include "data/Statement.h"
#include "payments/BankStatement.h"
#include "support/Refused.h"
#include "support/TestCompany.h"
#include "support/Zodractl.h"

namespace zodra::payments {
namespace {

using Status = BankMatch::Status;

class BankStatements : public test::CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        StartSession();  // the company's warehouse 1, where the import's session starts
        auto db = Open();
        db->Exec(
            QStringLiteral("INSERT INTO \"PARTNERI\" (\"SIFRA\", \"NAZIV\", \"ZIRO_RACUN\") "
                           "VALUES (77, 'Kod Ane''s', 'HR2323600001101234565'), (78, 'Drugi "
                           "d.o.o.', NULL)"));
        // 7: 100.00 of which 60.00 collected; 8: cancelled; 9: its own reference; 10 and 11:
        // two invoices of 30.00 of the same customer; 12: 15.00 of the second customer.
        Add(*db, 7, 77, 100);
        Add(*db, 8, 77, 50, true);
        Add(*db, 9, 78, 25, false, QStringLiteral("HR01 555-12"));
        Add(*db, 10, 77, 30);
        Add(*db, 11, 77, 30);
        Add(*db, 12, 78, 15);
        db->Exec(
            QStringLiteral("INSERT INTO \"NAPLATA\" (\"Skladište\", \"IRA\", \"Godina\", "
                           "\"Broj računa\", \"Tip\", \"Datum\", \"Iznos\") VALUES (1, 2, "
                           "2026, 7, 'gotovina', '2026-03-01', 60)"));
    }
    static void Add(Database& db, int number, int customer, double total, bool cancelled = false,
                    const QString& reference = {}) {
        db.Exec(QStringLiteral("INSERT INTO \"RACUNI\" (\"SKLADISTE\", \"IRA\", \"GODINA\", \"BROJ "
                               "RACUNA\", \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"STORNO\", "
                               "\"POZIV NA BROJ\") VALUES (1, 2, 2026, ?, ?, 2, ?, ?)"),
                {number, customer, cancelled, reference});
        db.Exec(QStringLiteral("INSERT INTO \"STAVKE_RACUNA\" (\"SKLADISTE\", \"IRA\", \"GODINA\", "
                               "\"BROJ_RACUNA\", \"TIP_STAVKE\", \"VRIJEDNOST_\", \"UKUPNO_\") "
                               "VALUES (1, 2, 2026, ?, 'ART', ?, ?)"),
                {number, total * 0.8, total});
    }
    static QString Sample() {
        return QStringLiteral(ZODRA_SOURCE_DIR "/tests/payments/statement.xml");
    }
    static QByteArray SampleBytes() {
        QFile f(Sample());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
};

TEST_F(BankStatements, EveryLineGetsItsStatusAndNothingIsGuessed) {
    const BankStatement statement = ReadBankStatement(SampleBytes());
    EXPECT_EQ(statement.id, QStringLiteral("2026-031"));
    EXPECT_EQ(statement.account, QStringLiteral("HR1210010051863000160"));
    auto db = Open();
    const std::vector<BankMatch> m = MatchBankStatement(*db, statement);
    ASSERT_EQ(m.size(), 8u);
    const auto invoice = [&](int i) { return m[i].invoice ? m[i].invoice->number : 0; };
    EXPECT_EQ(m[0].status, Status::Matched);  // HR00 7-2-2026, 40.00 of 40.00 owed
    EXPECT_EQ(invoice(0), 7);
    EXPECT_EQ(m[1].status, Status::Matched);  // the reference typed on invoice 9
    EXPECT_EQ(invoice(1), 9);
    EXPECT_EQ(m[2].status, Status::Ambiguous);  // 30.00 fits invoices 10 and 11
    EXPECT_EQ(m[2].candidates.size(), 2u);
    EXPECT_FALSE(m[2].invoice);
    EXPECT_EQ(m[3].status, Status::Unmatched);  // a payer no customer is
    EXPECT_EQ(m[3].reason, QStringLiteral("kupac nije prepoznat"));
    EXPECT_EQ(m[4].status, Status::Debit);
    EXPECT_EQ(m[5].status, Status::Matched);  // the batch's first transfer: payer and amount
    EXPECT_EQ(invoice(5), 12);
    EXPECT_DOUBLE_EQ(m[5].line.amount, 15);
    EXPECT_EQ(m[5].line.entryId, QStringLiteral("B-0006.1"));
    EXPECT_EQ(m[6].status, Status::Unmatched);  // 99.99 is more than invoice 7 still owes
    EXPECT_EQ(m[6].reason, QStringLiteral("iznos je veći od dugovanja po računu"));
    EXPECT_EQ(m[7].status, Status::Unmatched);  // the reference of a cancelled invoice
    EXPECT_EQ(m[7].reason, QStringLiteral("račun po pozivu na broj je storniran"));

    EXPECT_REFUSED(ReadBankStatement("<Document><BkToCstmrStmt>"),
                   QStringLiteral("Datoteka nije ispravan izvod banke (camt.053): ") +
                       QStringLiteral("Premature end of document."));
    EXPECT_REFUSED(ReadBankStatement("<Document/>"),
                   "Datoteka nije ispravan izvod banke (camt.053): nema izvoda (Stmt).");
    QByteArray badAmount = SampleBytes();
    badAmount.replace("<Amt Ccy=\"EUR\">40.00</Amt>", "<Amt Ccy=\"EUR\">NaN</Amt>");
    EXPECT_REFUSED(ReadBankStatement(badAmount),
                   "Datoteka nije ispravan izvod banke (camt.053): iznos \"NaN\" u retku 1.");
}

TEST_F(BankStatements, TheImportRecordsTheMatchedLinesOnce) {
    test::ZodractlOptions options;
    options.home = Folder();
    const QStringList args{QStringLiteral("import"),      CompanyPath(),
                           QStringLiteral("bank"),        Sample(),
                           QStringLiteral("--skladiste"), QStringLiteral("1")};
    const test::ZodractlRun dry = test::RunZodractl(args, options);
    ASSERT_EQ(dry.exitCode, 0) << dry.err.toStdString();
    EXPECT_TRUE(dry.out.contains(QStringLiteral("Prepoznatih uplata: 3. Ništa nije upisano")))
        << dry.out.toStdString();
    auto db = Open();
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"UPLATE\"")).toInt(), 0);

    const test::ZodractlRun run =
        test::RunZodractl(args + QStringList{QStringLiteral("--da")}, options);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("Upisano uplata: 3."))) << run.out.toStdString();
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT SUM(\"Iznos\") FROM \"NAPLATA\" WHERE \"Broj "
                                        "računa\" IN (7, 9, 12)"))
                  .toDouble(),
              60 + 40 + 25 + 15);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"UPLATE\" WHERE \"Opis\" = "
                                        "'Izvod 2026-031/B-0001' AND \"Tip\" = 'žiro račun' AND "
                                        "\"Partner\" = 77"))
                  .toInt(),
              1);
    const test::ZodractlRun again =
        test::RunZodractl(args + QStringList{QStringLiteral("--da")}, options);
    EXPECT_TRUE(again.out.contains(QStringLiteral("Upisano uplata: 0.")))
        << again.out.toStdString();
    EXPECT_EQ(again.out.count(QStringLiteral("UPISANO")), 3);
    EXPECT_EQ(db->Scalar(QStringLiteral("SELECT COUNT(*) FROM \"UPLATE\"")).toInt(), 3);
}

// The look-up of a statement line's payment text seeks by its index on either engine; the
// server's planner is told to avoid a scan, since on a table this small it would prefer one.
TEST_F(BankStatements, TheRecordedLineIsFoundByIndex) {
    auto db = Open();
    const bool server = db->Dialect() == SqlDialect::Postgres;
    if (server) {
        db->ExecRaw(QStringLiteral("SET enable_seqscan = off"));
    }
    const QString query =
        QStringLiteral("SELECT 1 FROM \"UPLATE\" WHERE \"Opis\" = 'Izvod 2026-031/B-0001'");
    if (server) {
        // The server explains no prepared statement: the plan is read through a function.
        db->ExecRaw(QStringLiteral("CREATE FUNCTION pg_temp.\"plan\"() RETURNS SETOF text "
                                   "LANGUAGE plpgsql AS $f$ BEGIN RETURN QUERY EXECUTE "
                                   "'EXPLAIN ") +
                    QString(query).replace(QLatin1Char('\''), QStringLiteral("''")) +
                    QStringLiteral("'; END $f$"));
    }
    Statement plan = db->Prepare(server ? QStringLiteral("SELECT * FROM pg_temp.\"plan\"()")
                                        : QStringLiteral("EXPLAIN QUERY PLAN ") + query);
    plan.Exec();
    QString text;
    while (plan.Next()) {
        text += plan.Text(server ? 0 : 3) + QLatin1Char('\n');
    }
    EXPECT_TRUE(text.contains(QStringLiteral("IX_UPLATE_OPIS"))) << text.toStdString();
}

}  // namespace
}  // namespace zodra::payments
