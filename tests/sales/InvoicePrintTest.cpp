// Printing a posted invoice: the figures it prints (tax recapitulation per rate, totals, the
// amount left to pay in words, the payment reference), the report chosen for each printout and
// sales terms, and the refusals before anything is rendered.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "sales/InvoicePrint.h"
#include "sales/InvoiceRemoval.h"
#include "sales/InvoiceTest.h"

using namespace zodra;
using namespace zodra::test;

namespace {

QString FormulaOf(const reports::ReportRequest& r, const char* name) {
    for (const auto& [key, value] : r.formulas) {
        if (key == QLatin1String(name)) {
            return value;
        }
    }
    ADD_FAILURE() << "no formula " << name;
    return QString();
}

// An invoice of 10 screws at 8.00 less 10 % (25 % tax) and 4 nuts at 2.50 (13 % tax).
class InvoicePrintTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        nut = docs->AddArticle(QStringLiteral("Matica M8"));
        db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"GRUPA_P\" = 2 WHERE \"SIFRA\" = ?"),
                  {nut});
        docs->Receipt({{screw, 20, 5.00, 8.00}, {nut, 20, 1.00, 2.50}});
    }
    int PostTwoRates(int terms = 2, int book = 1) {
        sales::InvoiceDraft draft = Draft(terms, book);
        Line(draft, screw, 10, 8.00, 10);
        Line(draft, nut, 4, 2.50, 0);
        sales::InvoiceHeader header = sales::ProposeHeader(*session, draft);
        header.alreadyPaid = QStringLiteral("1,30");
        return sales::PostInvoice(*session, draft, header).number;
    }
    int nut = 0;
};

TEST_F(InvoicePrintTest, AnInvoiceOfTwoRatesPrintsItsRecapitulationTotalAndWordsOfWhatIsLeft) {
    const int number = PostTwoRates();
    const sales::InvoiceSummary s = sales::SummaryOfInvoice(db(), 1, 1, Year(), number);
    ASSERT_EQ(s.perRate.size(), 2u);
    EXPECT_DOUBLE_EQ(s.perRate[0].rate, 13);
    EXPECT_DOUBLE_EQ(s.perRate[0].base, 10.00);
    EXPECT_DOUBLE_EQ(s.perRate[0].tax, 1.30);
    EXPECT_DOUBLE_EQ(s.perRate[1].rate, 25);
    EXPECT_DOUBLE_EQ(s.perRate[1].base, 72.00);
    EXPECT_DOUBLE_EQ(s.perRate[1].tax, 18.00);
    EXPECT_DOUBLE_EQ(s.valueBeforeDiscount, 90.00);
    EXPECT_DOUBLE_EQ(s.discount, 8.00);
    EXPECT_DOUBLE_EQ(s.tax, 19.30);
    EXPECT_DOUBLE_EQ(s.total, 101.30);
    EXPECT_DOUBLE_EQ(s.ToPay(), 100.00);

    const reports::ReportRequest r = sales::InvoicePrintRequest(*session, 1, number);
    EXPECT_EQ(r.title, QStringLiteral("Ispis računa br. 1"));
    EXPECT_EQ(r.reportFile, QStringLiteral("racun_p.rpt"));
    EXPECT_EQ(r.selection.ToText(),
              QStringLiteral("{STAVKE_RACUNA.SKLADISTE}=1 AND {STAVKE_RACUNA.IRA}=1 AND "
                             "{STAVKE_RACUNA.GODINA}=%1 AND {STAVKE_RACUNA.BROJ_RACUNA}=1")
                  .arg(Year()));
    // What is left after the 1.30 already paid, in words.
    EXPECT_EQ(FormulaOf(r, "IznosSlovima"), QStringLiteral("sto EUR"));
    EXPECT_EQ(FormulaOf(r, "ZaPlatiti"), QStringLiteral("100,00"));
    EXPECT_EQ(FormulaOf(r, "PozivNaBroj"), QStringLiteral("HR00 1-1-%1").arg(Year()));
    EXPECT_EQ(FormulaOf(r, "DodatniPodaci"), QStringLiteral("0"));

    EXPECT_EQ(
        sales::InvoicePrintRequest(*session, 1, number, sales::InvoicePrintKind::Invoice, true)
            .reportFile,
        QStringLiteral("BezRabata_racun_p.rpt"));
    const reports::ReportRequest both = sales::InvoicePrintRequest(
        *session, 1, number, sales::InvoicePrintKind::InvoiceDeliveryNote);
    EXPECT_EQ(both.title, QStringLiteral("Ispis računa-otpremnice br. 1"));
    EXPECT_EQ(both.reportFile, QStringLiteral("rac_otpr.rpt"));
    const reports::ReportRequest note = sales::InvoicePrintRequest(
        *session, 1, number, sales::InvoicePrintKind::DeliveryNote, true);
    EXPECT_EQ(note.title, QStringLiteral("Ispis otpremnice br. 1"));
    EXPECT_EQ(note.reportFile, QStringLiteral("otprem.rpt"));
}

TEST_F(InvoicePrintTest, OnlyACancelledInvoicePrintsItsCancellationRetailTermsTheirOwn) {
    const int wholesale = PostTwoRates();
    ExpectRefused(
        [&] {
            sales::InvoicePrintRequest(*session, 1, wholesale,
                                       sales::InvoicePrintKind::Cancellation);
        },
        QStringLiteral("Račun broj 1 nije storniran."));
    sales::CancelInvoice(*session, 1, wholesale, QDate(2026, 3, 12));
    const reports::ReportRequest r =
        sales::InvoicePrintRequest(*session, 1, wholesale, sales::InvoicePrintKind::Cancellation);
    EXPECT_EQ(r.title, QStringLiteral("Ispis storna računa br. 1"));
    EXPECT_EQ(r.reportFile, QStringLiteral("racun_storno.rpt"));
    EXPECT_EQ(FormulaOf(r, "IznosSlovima"), QStringLiteral("minus stojedna EUR i trideset centi"));

    session->warehouseFlags.retail = true;
    db().Exec(
        QStringLiteral("INSERT INTO \"KNJIGE_IRA\" (\"SIFRA\", \"NAZIV\", \"SKIDA\") "
                       "VALUES (2, 'Maloprodaja', TRUE)"));
    const int retail = PostTwoRates(1, 2);
    sales::CancelInvoice(*session, 2, retail, QDate(2026, 3, 12));
    EXPECT_EQ(sales::InvoicePrintRequest(*session, 2, retail, sales::InvoicePrintKind::Cancellation)
                  .reportFile,
              QStringLiteral("racun_m_storno.rpt"));
    ExpectRefused([&] { sales::InvoicePrintRequest(*session, 1, 99); },
                  QStringLiteral("Ne postoji proknjiženi račun broj 99"));
}

TEST_F(InvoicePrintTest, TheCompanysOwnLayoutAndTheTermsFolderAreTakenOnlyWhereTheFileExists) {
    QTemporaryDir dir;
    const QString shared = dir.filePath(QStringLiteral("reports"));
    ASSERT_TRUE(QDir().mkpath(shared));
    ASSERT_TRUE(QDir().mkpath(shared + QStringLiteral("_2")));
    const auto touch = [](const QString& path) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    };
    using K = sales::InvoicePrintKind;
    db().Exec(
        QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"REPORT VRACUNA\" = 'moj_racun.rpt', "
                       "\"REPORT MRACUNA\" = '../izvan.rpt'"));
    // Named but not there: the shared invoice.
    EXPECT_EQ(sales::InvoiceReportFile(db(), shared, 2, K::Invoice, false),
              QStringLiteral("racun_p.rpt"));
    touch(shared + QStringLiteral("/Moj_Racun.rpt"));
    EXPECT_EQ(sales::InvoiceReportFile(db(), shared, 2, K::Invoice, false),
              QStringLiteral("moj_racun.rpt"));
    EXPECT_EQ(sales::InvoiceReportFile(db(), shared, 2, K::Invoice, true),
              QStringLiteral("BezRabata_moj_racun.rpt"));
    // A name leading out of the folder is never taken.
    touch(dir.filePath(QStringLiteral("izvan.rpt")));
    EXPECT_EQ(sales::InvoiceReportFile(db(), shared, 1, K::Invoice, false),
              QStringLiteral("racun_p.rpt"));
    // The terms' own folder first, for terms 2 only.
    touch(shared + QStringLiteral("_2/racun_storno.rpt"));
    EXPECT_EQ(sales::InvoiceReportFile(db(), shared, 2, K::Cancellation, false),
              QDir::cleanPath(shared) + QStringLiteral("_2/racun_storno.rpt"));
    EXPECT_EQ(sales::InvoiceReportFile(db(), shared, 3, K::Cancellation, false),
              QStringLiteral("racun_storno.rpt"));
}

// Two foreign currencies have a rate on the invoice's date: the invoice is in the one chosen, at
// its rate as stored, not in the first that has a rate.
TEST_F(InvoicePrintTest, AForeignCurrencyInvoiceIsIssuedAndPrintedInItsOwnCurrency) {
    using K = sales::InvoicePrintKind;
    db().Exec(
        QStringLiteral("INSERT INTO \"VALUTE\" (\"SIFRA\", \"NAZIV\") VALUES (2, 'USD'), "
                       "(3, 'GBP'), (4, 'CHF')"));
    db().Exec(
        QStringLiteral("INSERT INTO \"VALUTE_TECAJ\" (\"SIFRA\", \"DATUM\", \"TECAJ\") "
                       "VALUES (2, '2026-03-10', 0.5), (3, '2026-03-10', 0.8596123456789), "
                       "(4, '2026-03-09', 1.1)"));
    const auto post = [&](const QString& currency, double screws = 10) {
        sales::InvoiceDraft draft = Draft();
        Line(draft, screw, screws, 8.00, 10);
        Line(draft, nut, 4, 2.50, 0);
        sales::InvoiceHeader header = sales::ProposeHeader(*session, draft);
        header.currency = currency;
        try {
            return sales::PostInvoice(*session, draft, header).number;
        } catch (const UserError&) {
            sales::DiscardInvoice(*session, draft);  // gives its lots' held goods back
            throw;
        }
    };
    // CHF has a rate only for the day before; a name that is no currency.
    ExpectRefused([&] { post(QStringLiteral("CHF")); },
                  QStringLiteral("Nije upisan tečaj CHF za 10.03.2026."));
    ExpectRefused([&] { post(QStringLiteral("YEN")); },
                  QStringLiteral("Valuta nije ispravno upisana"));
    EXPECT_EQ(Rows("RACUNI"), 0);

    const int gbp = post(QStringLiteral("GBP"));
    EXPECT_EQ(
        Value(QStringLiteral("SELECT \"VALUTA\" FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ?"), {gbp}),
        3.0);
    EXPECT_EQ(
        Value(QStringLiteral("SELECT \"TECAJ\" FROM \"RACUNI\" WHERE \"BROJ RACUNA\" = ?"), {gbp}),
        0.8596123456789);
    // A later edit of the day's rate does not change the issued invoice.
    db().Exec(QStringLiteral("UPDATE \"VALUTE_TECAJ\" SET \"TECAJ\" = 2 WHERE \"SIFRA\" = 3"));
    const reports::ReportRequest r =
        sales::InvoicePrintRequest(*session, 1, gbp, K::ForeignCurrency);
    EXPECT_EQ(r.title, QStringLiteral("Ispis računa br. ") + QString::number(gbp) +
                           QStringLiteral(" u devizama (GBP)"));
    EXPECT_EQ(r.reportFile, QStringLiteral("racun_dev.rpt"));
    EXPECT_EQ(FormulaOf(r, "TECAJ"), QStringLiteral("0.8596123456789"));
    EXPECT_EQ(FormulaOf(r, "VALUTA"), QStringLiteral("GBP"));
    // Each line in the currency rounded to the cent, then added: 104,70 + 13,15.
    EXPECT_EQ(FormulaOf(r, "UKUPNO_DEV_UKUPNO"), QStringLiteral("117,85 GBP"));
    EXPECT_EQ(FormulaOf(r, "UKUPNO_DEV_POREZ_IZNOS"), QStringLiteral("22,45 GBP"));

    // The home currency, chosen by name or left empty, records none and has no such print.
    for (const QString& home : {QStringLiteral("EUR"), QString()}) {
        const int number = post(home, 1);
        EXPECT_TRUE(db().Scalar(QStringLiteral("SELECT \"VALUTA\" FROM \"RACUNI\" WHERE "
                                               "\"BROJ RACUNA\" = ?"),
                                {number})
                        .isNull());
        ExpectRefused([&] { sales::InvoicePrintRequest(*session, 1, number, K::ForeignCurrency); },
                      QStringLiteral("Račun broj ") + QString::number(number) +
                          QStringLiteral(" nije izdan u stranoj valuti."));
    }
}

TEST(InvoicePaymentReference, ATypedReferenceKeepsItsModelAndOnlyWhatASlipAllows) {
    EXPECT_EQ(sales::PaymentReference(QString(), 15, 2, 2026), QStringLiteral("HR00 15-2-2026"));
    EXPECT_EQ(sales::PaymentReference(QStringLiteral("HR01 123-45"), 15, 2, 2026),
              QStringLiteral("HR01 123-45"));
    EXPECT_EQ(sales::PaymentReference(QStringLiteral("  77/2026 x"), 15, 2, 2026),
              QStringLiteral("HR00 772026"));
    EXPECT_EQ(sales::PaymentReference(QStringLiteral("abc"), 15, 2, 2026),
              QStringLiteral("HR00 15-2-2026"));
}

}  // namespace
