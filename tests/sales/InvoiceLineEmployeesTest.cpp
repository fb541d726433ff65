// The employees of a service line: written with the line under its key, carried to the posted
// invoice, gone with the line or the abandoned invoice, written straight into the posted invoice
// under correction; two invoices of two sessions at once keep theirs apart.
#include "sales/InvoiceCorrection.h"
#include "sales/InvoiceTest.h"

namespace zodra::test {

namespace {

class InvoiceLineEmployeesTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        ana = AddEmployee(QStringLiteral("Ana"));
        ivo = AddEmployee(QStringLiteral("Ivo"));
        db().Exec(
            QStringLiteral("INSERT INTO \"USLUGE\" (\"NAZIV\", \"CIJENA\", \"GRUPA_P\") "
                           "VALUES ('Montaža', 20, 1)"));
        fitting = Count(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"USLUGE\""));
        docs->Receipt({{screw, 10, 5.00, 8.00}});
    }
    int AddEmployee(const QString& name) {
        db().Exec(QStringLiteral("INSERT INTO \"DJELATNICI\" (\"IME\") VALUES (?)"), {name});
        return Count(QStringLiteral("SELECT MAX(\"SIFRA\") FROM \"DJELATNICI\""));
    }
    void Service(const sales::InvoiceDraft& draft, double quantity, std::vector<int> who) {
        ASSERT_TRUE(sales::AddServiceLine(
                        *session, prompter, draft,
                        {fitting, quantity, std::nullopt, std::nullopt, std::nullopt, QString()},
                        who)
                        .has_value());
    }
    int Working(int sessionCode) {
        return Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_DJELATNICI_PRIVREMENO\" "
                                    "WHERE \"Multiuser_sifra\" = ?"),
                     {sessionCode});
    }
    // The posted employees of an invoice in book 1, in the order of their codes.
    std::vector<int> Posted(int number) {
        Statement rows = db().Prepare(QStringLiteral(
            "SELECT \"DJELATNIK\" FROM \"STAVKE_RACUNA_DJELATNICI\" WHERE \"SKLADISTE\" = 1 AND "
            "\"IRA\" = 1 AND \"GODINA\" = ? AND \"BROJ_RACUNA\" = ? AND \"TIP_STAVKE\" = 'USL' AND "
            "\"SIFRA\" = ? ORDER BY \"DJELATNIK\""));
        rows.Exec({Year(), number, fitting});
        std::vector<int> out;
        while (rows.Next()) {
            out.push_back(rows.Int(0));
        }
        return out;
    }

    int ana = 0;
    int ivo = 0;
    int fitting = 0;
};

TEST_F(InvoiceLineEmployeesTest, TheLinesEmployeesArePostedWithItAndKeptApartBySession) {
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 2);
    Service(draft, 1, {ana});
    // Another session's invoice at the same time with the same service.
    std::unique_ptr<Session> other = StartSession(1);
    sales::InvoiceDraft theirs = sales::OpenInvoice(*other, QDate(2026, 3, 10));
    theirs.book = 1;
    theirs.salesTerms = 2;
    theirs.customer = customer;
    ASSERT_TRUE(sales::AddServiceLine(
                    *other, prompter, theirs,
                    {fitting, 3, std::nullopt, std::nullopt, std::nullopt, QString()}, {ivo})
                    .has_value());
    // The same service again, merged: Ana is not written twice, Ivo joins.
    prompter.AnswerYes();
    Service(draft, 1, {ana, ivo});
    EXPECT_EQ(sales::WorkingLineEmployees(db(), draft.sessionCode, QStringLiteral("USL"), fitting),
              (std::vector<int>{ana, ivo}));
    EXPECT_EQ(sales::WorkingLineEmployees(db(), theirs.sessionCode, QStringLiteral("USL"), fitting),
              (std::vector<int>{ivo}));

    const sales::PostedInvoice posted = Post(draft);
    EXPECT_EQ(Posted(posted.number), (std::vector<int>{ana, ivo}));
    EXPECT_EQ(Working(draft.sessionCode), 0);
    EXPECT_EQ(Working(theirs.sessionCode), 1);

    // The other invoice is abandoned: its employee rows go with it.
    sales::DiscardInvoice(*other, theirs);
    EXPECT_EQ(Rows("STAVKE_RACUNA_DJELATNICI_PRIVREMENO"), 0);
    EXPECT_EQ(Posted(posted.number), (std::vector<int>{ana, ivo}));
}

TEST_F(InvoiceLineEmployeesTest, DeletingTheLineTakesItsEmployeesAndAnUnknownOneIsRefused) {
    sales::InvoiceDraft draft = Draft();
    Service(draft, 1, {ana});
    Line(draft, screw, 2);
    // Refused whole: neither the line nor Ana's second row.
    ExpectRefused(
        [&] {
            sales::AddServiceLine(*session, prompter, draft,
                                  {fitting, 1, std::nullopt, std::nullopt, std::nullopt, QString()},
                                  {ana, ivo + 100});
        },
        QStringLiteral("Djelatnik nije upisan u popis djelatnika."));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM \"STAVKE_RACUNA_PRIVREMENO\" WHERE "
                                   "\"Multiuser_sifra\" = ?"),
                    {draft.sessionCode}),
              2);
    EXPECT_EQ(Working(draft.sessionCode), 1);
    // The article line's deletion leaves the service's employees; the service's takes them.
    sales::DeleteLine(*session, draft, 2);
    EXPECT_EQ(Working(draft.sessionCode), 1);
    sales::DeleteLine(*session, draft, 1);
    EXPECT_EQ(Working(draft.sessionCode), 0);
}

TEST_F(InvoiceLineEmployeesTest, UnderCorrectionTheEmployeesGoStraightIntoThePostedInvoice) {
    sales::InvoiceDraft draft = Draft();
    Line(draft, screw, 2);
    const sales::PostedInvoice posted = Post(draft);
    const sales::InvoiceKey key{1, 1, Year(), posted.number};
    ASSERT_TRUE(sales::AddPostedServiceLine(
                    *session, prompter, key,
                    {fitting, 2, 10.0, std::nullopt, std::nullopt, QString()}, {ivo, ana})
                    .has_value());
    EXPECT_EQ(Posted(posted.number), (std::vector<int>{ana, ivo}));
    EXPECT_EQ(Rows("STAVKE_RACUNA_DJELATNICI_PRIVREMENO"), 0);
    sales::DeletePostedLine(*session, key, 2);
    EXPECT_TRUE(Posted(posted.number).empty());
}

}  // namespace

}  // namespace zodra::test
