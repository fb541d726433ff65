// A planner bill imported into a fresh company: the paid retail invoice, its lines and payment
// by plain SQL; a bill billed once; nothing left by a refusal or a failure. (The client and
// services found again by later bills: PlannerZodractlTest.)

#include <gtest/gtest.h>

#include "data/Errors.h"
#include "planner/PlannerImport.h"
#include "planner/PlannerTestBill.h"
#include "support/Refused.h"
#include "support/TestCompany.h"

using namespace zodra;
using namespace zodra::planner;
using namespace zodra::test;

namespace {

class PlannerImportTest : public CompanyTest {
protected:
    void SetUp() override {
        CompanyTest::SetUp();
        session = StartSession(1);
        ASSERT_TRUE(session);
        Db().Exec(QStringLiteral("INSERT INTO \"TIPOVI_KARTICA\" (\"NAZIV\") VALUES ('Maestro')"));
    }
    Database& Db() { return session->Db(); }
    ImportedBill Import(const ExampleEdits& edits = {}) {
        return ImportPlannerBill(*session, ParsePlannerBill(ExampleBill(edits)));
    }
    int Count(const QString& where, const QVariantList& params = {}) {
        return Db().Scalar(QStringLiteral("SELECT COUNT(*) FROM ") + where, params).toInt();
    }
    // The rows of every table an import writes.
    QString Footprint() {
        QStringList counts;
        for (const char* table : {"RACUNI", "STAVKE_RACUNA", "UPLATE", "NAPLATA", "PARTNERI",
                                  "USLUGE", "PLANER_RACUNI", "STAVKE_RACUNA_PRIVREMENO"}) {
            counts << QString::number(
                Count(QLatin1Char('"') + QLatin1String(table) + QLatin1Char('"')));
        }
        return counts.join(QLatin1Char('/'));
    }
    // The invoice's one line of that service with these figures.
    int Lines(int number, const char* service, double quantity, double net, double total,
              const QString& note) {
        return Count(
            QStringLiteral("\"STAVKE_RACUNA\" l JOIN \"USLUGE\" u ON u.\"SIFRA\" = "
                           "l.\"SIFRA\" WHERE l.\"IRA\" = 1 AND l.\"BROJ_RACUNA\" = ? AND "
                           "l.\"TIP_STAVKE\" = 'USL' AND u.\"NAZIV\" = ? AND l.\"KOLICINA\" "
                           "= ? AND ROUND(l.\"VRIJEDNOST_\", 3) = ? AND "
                           "ROUND(l.\"UKUPNO_\", 3) = ? AND COALESCE(l.\"OPIS\", '') = ?"),
            {number, QString::fromUtf8(service), quantity, net, total, note});
    }
    std::unique_ptr<Session> session;
};

TEST_F(PlannerImportTest, ABillBecomesAPaidRetailInvoiceOnce) {
    const ImportedBill first = Import();
    EXPECT_TRUE(first.partnerAdded);
    EXPECT_EQ(first.servicesAdded, 2);
    EXPECT_DOUBLE_EQ(first.total, 110.63);  // 95.00 + 15.625, rounded line by line
    const int client =
        Db().Scalar(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = "
                                   "'O''Brien Ana' AND \"MJESTO\" = 'Zagreb' AND \"Kupac\" = TRUE"))
            .toInt();
    EXPECT_EQ(Count(QStringLiteral("\"RACUNI\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1 AND "
                                   "\"GODINA\" = 2026 AND \"BROJ RACUNA\" = ? AND \"SIFRA "
                                   "PARTNERA\" = ? AND \"UVJET PRODAJE\" = 1 AND \"DATUM\" = ? AND "
                                   "\"KORISNIK\" = 'admin'"),
                    {first.number, client, QDate(2026, 3, 10)}),
              1);
    // The same service twice is one line of 2 (80.00 less 4.00, 25 % tax), the notes joined.
    EXPECT_EQ(
        Lines(first.number, "Šišanje", 2, 76, 95, QStringLiteral("prvi termin, drugi termin")), 1);
    EXPECT_EQ(Lines(first.number, "Pranje kose", 1, 12.5, 15.625, QStringLiteral("")), 1);
    // One card payment of the total and its collection, bound to each other and the invoice.
    EXPECT_EQ(Count(QStringLiteral("\"UPLATE\" u JOIN \"NAPLATA\" n ON n.\"Sifra uplate\" = "
                                   "u.\"Sifra\" JOIN \"TIPOVI_KARTICA\" k ON k.\"SIFRA\" = u.\"Tip "
                                   "kartice\" AND k.\"SIFRA\" = n.\"Tip kartice\" WHERE "
                                   "n.\"Broj računa\" = ? AND u.\"Partner\" = ? AND u.\"Tip\" = "
                                   "'kartica' AND ROUND(u.\"Iznos\", 2) = 110.63 AND "
                                   "ROUND(n.\"Iznos\", 2) = 110.63 AND k.\"NAZIV\" = 'Maestro' AND "
                                   "u.\"Opis\" = ?"),
                    {first.number, client, QStringLiteral("Račun m. br. %1").arg(first.number)}),
              1);
    EXPECT_EQ(Count(QStringLiteral("\"UPLATE\"")), 1);

    // A second signal for the same bill writes nothing and names the first invoice.
    const QString footprint = Footprint();
    const ImportedBill again = Import();
    EXPECT_TRUE(again.alreadyImported);
    EXPECT_EQ(again.number, first.number);
    EXPECT_EQ(Footprint(), footprint);
}

TEST_F(PlannerImportTest, NothingIsLeftByARefusalOrAFailure) {
    const QString footprint = Footprint();
    // Refused after the new client and services were written inside the transaction.
    EXPECT_REFUSED(Import({{">Maestro<", ">Amex<"}}),
                   "Račun planera: tip kartice \"Amex\" nije upisan.");
    EXPECT_REFUSED(Import({{"2026-03-10", "2020-12-31"}}),
                   "Datum mora biti između 01.01.2021 i 31.12.2027 !");
    EXPECT_EQ(Footprint(), footprint);
    // The bill's record is written last; a table that cannot take it fails the whole bill.
    Db().ExecRaw(QStringLiteral("DROP TABLE \"PLANER_RACUNI\""));
    Db().ExecRaw(QStringLiteral(
        "CREATE TABLE \"PLANER_RACUNI\" (\"OZNAKA\" TEXT, \"BROJ_RACUNA\" INTEGER)"));
    Db().ForgetSchemaCache();
    try {
        Import();
        ADD_FAILURE() << "imported without its record";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.sql().startsWith(QStringLiteral("INSERT INTO \"PLANER_RACUNI\"")));
    }
    EXPECT_EQ(Footprint(), footprint);
}

}  // namespace
