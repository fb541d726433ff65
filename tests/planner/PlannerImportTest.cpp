// A planner bill imported into a fresh company: the paid retail invoice with its lines and
// payment rows, read by plain SQL; the client and services found again by the next bill; the
// same bill billed once; a refusal or a failure leaving nothing.

#include <gtest/gtest.h>

#include <cmath>

#include "data/Errors.h"
#include "data/SqlValue.h"
#include "data/Statement.h"
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
        maestro = Int(QStringLiteral("SELECT \"SIFRA\" FROM \"TIPOVI_KARTICA\""));
    }
    Database& Db() { return session->Db(); }
    int Int(const QString& sql, const QVariantList& params = {}) {
        return sqlvalue::ToInt(Db().Scalar(sql, params));
    }
    QString Text(const QString& sql, const QVariantList& params = {}) {
        return Db().Scalar(sql, params).toString();
    }
    // The first row of a query, its values joined by "|": numbers to 3 decimals, NULL as "-",
    // dates in ISO form, alike on both engines.
    QString Row(const QString& sql, const QVariantList& params = {}) {
        Statement row = Db().Prepare(sql);
        row.Exec(params);
        if (!row.Next()) {
            return QStringLiteral("(none)");
        }
        QStringList values;
        for (int i = 0; i < row.ColumnCount(); ++i) {
            const QVariant v = row.Value(i);
            if (v.isNull()) {
                values << QStringLiteral("-");
            } else if (v.typeId() == QMetaType::Double) {
                values << QString::number(std::round(v.toDouble() * 1000) / 1000);
            } else if (v.typeId() == QMetaType::QDate) {
                values << v.toDate().toString(Qt::ISODate);
            } else {
                values << v.toString();
            }
        }
        return values.join(QLatin1Char('|'));
    }
    ImportedBill Import(const TestBill& bill) {
        return ImportPlannerBill(*session, ParsePlannerBill(BillXml(bill)));
    }
    // What a refused or failed import must not leave: rows of every table it writes.
    QString Footprint() {
        QStringList counts;
        for (const char* table :
             {"RACUNI", "STAVKE_RACUNA", "UPLATE", "NAPLATA", "PARTNERI", "USLUGE", "PLANER_RACUNI",
              "STAVKE_RACUNA_PRIVREMENO", "Multiuser"}) {
            counts << QString::number(Int(QStringLiteral("SELECT COUNT(*) FROM \"") +
                                          QLatin1String(table) + QLatin1Char('"')));
        }
        return counts.join(QLatin1Char('/'));
    }
    // "quantity|net|tax|total|description" of the invoice's line of that service.
    QString Line(int number, const QString& service) {
        return Row(
            QStringLiteral(
                "SELECT l.\"KOLICINA\", l.\"VRIJEDNOST_\", l.\"POREZ_IZNOS\", l.\"UKUPNO_\", "
                "l.\"OPIS\" FROM \"STAVKE_RACUNA\" l JOIN \"USLUGE\" u ON u.\"SIFRA\" = "
                "l.\"SIFRA\" WHERE l.\"SKLADISTE\" = 1 AND l.\"IRA\" = 1 AND l.\"GODINA\" = "
                "2026 AND l.\"BROJ_RACUNA\" = ? AND l.\"TIP_STAVKE\" = 'USL' AND u.\"NAZIV\" "
                "= ?"),
            {number, service});
    }
    std::unique_ptr<Session> session;
    int maestro = 0;
};

TEST_F(PlannerImportTest, ABillBecomesAPaidRetailInvoiceAndIsBilledOnce) {
    const int partnersBefore = Int(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\""));
    const ImportedBill first = Import(TestBill{});
    ASSERT_GT(first.number, 0);
    EXPECT_FALSE(first.alreadyImported);
    EXPECT_TRUE(first.partnerAdded);
    EXPECT_EQ(first.servicesAdded, 2);
    // 2 × 40.00 less 10 % of one = 76.00 + 25 % = 95.00; 12.50 + 25 % = 15.625 → 15.63.
    EXPECT_DOUBLE_EQ(first.total, 110.63);

    const int client = Int(QStringLiteral("SELECT \"SIFRA\" FROM \"PARTNERI\" WHERE \"NAZIV\" = ? "
                                          "AND \"ADRESA\" = 'Ilica 1' AND \"MJESTO\" = 'Zagreb' "
                                          "AND \"TELEFON\" = '01 234 567' AND \"Kupac\" = TRUE"),
                           {QStringLiteral("O'Brien Ana")});
    EXPECT_GT(client, 2);
    EXPECT_EQ(
        Row(QStringLiteral("SELECT \"SIFRA PARTNERA\", \"UVJET PRODAJE\", \"DATUM\", "
                           "\"KORISNIK\" FROM \"RACUNI\" WHERE \"SKLADISTE\" = 1 AND \"IRA\" = 1 "
                           "AND \"GODINA\" = 2026 AND \"BROJ RACUNA\" = ?"),
            {first.number}),
        QStringLiteral("%1|1|2026-03-10|admin").arg(client));
    // The same service twice is one line of quantity 2, its notes joined; tax group "PDV".
    EXPECT_EQ(Line(first.number, QStringLiteral("Šišanje")),
              QStringLiteral("2|76|19|95|prvi, drugi"));
    EXPECT_EQ(Line(first.number, QStringLiteral("Pranje kose")),
              QStringLiteral("1|12.5|3.125|15.625|-"));
    EXPECT_EQ(Int(QStringLiteral("SELECT COUNT(*) FROM \"USLUGE\" u JOIN \"GRUPE_POREZA\" g ON "
                                 "g.\"SIFRA\" = u.\"GRUPA_P\" WHERE g.\"NAZIV\" = 'PDV' AND "
                                 "u.\"NAZIV\" IN ('Šišanje', 'Pranje kose')")),
              2);
    // One card payment of the whole total, and its collection bound to it and to the invoice.
    EXPECT_EQ(
        Row(QStringLiteral("SELECT u.\"Partner\", u.\"Tip\", u.\"Iznos\", u.\"Tip kartice\", "
                           "u.\"Opis\", n.\"Iznos\", n.\"Skladište\" FROM \"UPLATE\" u JOIN "
                           "\"NAPLATA\" n ON n.\"Sifra uplate\" = u.\"Sifra\" WHERE n.\"IRA\" = 1 "
                           "AND n.\"Godina\" = 2026 AND n.\"Broj računa\" = ?"),
            {first.number}),
        QStringLiteral("%1|kartica|110.63|%2|Račun m. br. %3|110.63|1")
            .arg(client)
            .arg(maestro)
            .arg(first.number));
    EXPECT_EQ(Int(QStringLiteral("SELECT COUNT(*) FROM \"UPLATE\"")), 1);
    EXPECT_EQ(Int(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\"")), 0);

    // The same bill again (a second signal): nothing written, the first invoice named.
    const QString footprint = Footprint();
    const ImportedBill again = Import(TestBill{});
    EXPECT_TRUE(again.alreadyImported);
    EXPECT_EQ(again.number, first.number);
    EXPECT_EQ(Footprint(), footprint);
    EXPECT_EQ(AlreadyImportedMessage(first.number),
              QStringLiteral("Račun planera je već uvezen kao račun broj %1.").arg(first.number));

    // The client's next bill, in cash: the partner and the service are reused, the line is the
    // new invoice's own (the first invoice's line of that service stays as it was).
    TestBill next;
    next.date = QStringLiteral("2026-03-11T09:00:00");
    next.payment = QStringLiteral("gotovina");
    next.services = {{QStringLiteral("S1"), QStringLiteral("40"), QString(), QString()}};
    const ImportedBill second = Import(next);
    EXPECT_NE(second.number, first.number);
    EXPECT_FALSE(second.partnerAdded);
    EXPECT_EQ(second.servicesAdded, 0);
    EXPECT_EQ(Int(QStringLiteral("SELECT COUNT(*) FROM \"PARTNERI\"")), partnersBefore + 1);
    EXPECT_EQ(Int(QStringLiteral("SELECT COUNT(*) FROM \"USLUGE\" WHERE \"NAZIV\" = 'Šišanje'")),
              1);
    EXPECT_EQ(Line(second.number, QStringLiteral("Šišanje")), QStringLiteral("1|40|10|50|-"));
    EXPECT_EQ(Line(first.number, QStringLiteral("Šišanje")),
              QStringLiteral("2|76|19|95|prvi, drugi"));
    EXPECT_EQ(Row(QStringLiteral("SELECT \"Tip\", \"Iznos\", \"Tip kartice\" FROM \"NAPLATA\" "
                                 "WHERE \"Broj računa\" = ?"),
                  {second.number}),
              QStringLiteral("gotovina|50|-"));
}

TEST_F(PlannerImportTest, ARefusedBillLeavesNothingBehind) {
    const QString footprint = Footprint();
    // Each refusal comes after the new client (and services) would have been written.
    TestBill amex;
    amex.cardType = QStringLiteral("Amex");
    EXPECT_REFUSED(Import(amex), "Račun planera: tip kartice \"Amex\" nije upisan.");
    EXPECT_EQ(Footprint(), footprint);

    TestBill old;
    old.date = QStringLiteral("2020-12-31T10:00:00");
    EXPECT_REFUSED(Import(old), "Datum mora biti između 01.01.2021 i 31.12.2027 !");
    EXPECT_EQ(Footprint(), footprint);

    // A new service needs the tax group "PDV"; services that exist do not.
    ASSERT_EQ(Import(TestBill{}).servicesAdded, 2);
    Db().Exec(
        QStringLiteral("UPDATE \"GRUPE_POREZA\" SET \"NAZIV\" = 'PDV 25%' WHERE \"NAZIV\" = "
                       "'PDV'"));
    TestBill unknown;
    unknown.date = QStringLiteral("2026-03-12T08:00:00");
    unknown.client = QStringLiteral("Novi Klijent");
    unknown.services.push_back({QStringLiteral("S2"), QStringLiteral("5"), QString(), QString()});
    unknown.services.front().code = QStringLiteral("S2");
    const QString beforeKnown = Footprint();
    const ImportedBill known = Import(unknown);
    EXPECT_GT(known.number, 0);
    EXPECT_NE(Footprint(), beforeKnown);

    QByteArray xml = BillXml(unknown);
    xml.replace("2026-03-12T08:00:00", "2026-03-13T08:00:00")
        .replace("<Naziv>Šišanje</Naziv>", "<Naziv>Masaža</Naziv>");
    const QString beforeNew = Footprint();
    EXPECT_REFUSED(ImportPlannerBill(*session, ParsePlannerBill(xml)),
                   "Račun planera: nije upisana grupa poreza \"PDV\" za nove usluge.");
    EXPECT_EQ(Footprint(), beforeNew);

    EXPECT_REFUSED(ImportPlannerFile(*session, Folder() + QStringLiteral("/nema.xml")),
                   QStringLiteral("Račun planera: datoteka ") + Folder() +
                       QStringLiteral("/nema.xml ne postoji."));
}

TEST_F(PlannerImportTest, ADatabaseFailureRollsBackTheWholeBill) {
    // The bill's record is written last: a table that cannot take it (the identity is read, the
    // record not written) makes the invoice, lines, payment, client and services go back too.
    Db().Exec(QStringLiteral("DROP TABLE \"PLANER_RACUNI\""));
    Db().Exec(
        QStringLiteral("CREATE TABLE \"PLANER_RACUNI\" (\"OZNAKA\" TEXT, \"BROJ_RACUNA\" "
                       "INTEGER)"));
    Db().ForgetSchemaCache();
    const QString footprint = Footprint();
    try {
        Import(TestBill{});
        ADD_FAILURE() << "imported without its record";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.sql().contains(QStringLiteral("INSERT INTO \"PLANER_RACUNI\"")))
            << e.sql().toStdString();
    }
    EXPECT_EQ(Footprint(), footprint);
}

TEST_F(PlannerImportTest, SummedRetailInvoicesGoToTheDetailFile) {
    session->company.sumRetailInvoices = true;
    const ImportedBill imported = Import(TestBill{});
    EXPECT_EQ(Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI_DETALJNO\" WHERE \"BROJ RACUNA\" "
                                 "= ? AND \"IRA\" = 1"),
                  {imported.number}),
              1);
    EXPECT_EQ(Row(QStringLiteral("SELECT \"Tip\", \"Iznos\" FROM \"NAPLATA_DETALJNO\" WHERE "
                                 "\"Broj računa\" = ?"),
                  {imported.number}),
              QStringLiteral("kartica|110.63"));
    EXPECT_EQ(Int(QStringLiteral("SELECT COUNT(*) FROM \"RACUNI\"")), 0);
    EXPECT_EQ(Int(QStringLiteral("SELECT COUNT(*) FROM \"UPLATE\"")), 0);
    EXPECT_TRUE(Import(TestBill{}).alreadyImported);
}

}  // namespace
