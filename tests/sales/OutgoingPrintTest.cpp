// Printing posted offers, pro-formas and delivery notes: the figures and formulas each printout is
// given, the layout chosen for each variant and the refusals before anything is rendered (what
// reaches the PDF is read in OutgoingPrintZodractlTest).

#include "sales/InvoiceTest.h"
#include "sales/OutgoingPosting.h"
#include "sales/OutgoingPrint.h"

using namespace zodra;
using namespace zodra::test;
using sales::OutgoingKind;

namespace {

QString FormulaOf(const reports::ReportRequest& r, const char* name) {
    for (const auto& [key, value] : r.formulas) {
        if (key == QLatin1String(name)) {
            return value;
        }
    }
    return QStringLiteral("<none>");
}

bool HasParameter(const reports::ReportRequest& r, const char* name) {
    for (const auto& [key, value] : r.parameters) {
        if (key == QLatin1String(name)) {
            return true;
        }
    }
    return false;
}

// One document of 10 screws at 8.00 less 10 % (25 % tax) and 4 nuts at 2.50 (13 % tax), posted
// as an offer, a pro-forma or a delivery note.
class OutgoingPrintTest : public InvoiceTest {
protected:
    void SetUp() override {
        InvoiceTest::SetUp();
        nut = docs->AddArticle(QStringLiteral("Matica M8"));
        db().Exec(QStringLiteral("UPDATE \"ARTIKLI\" SET \"GRUPA_P\" = 2 WHERE \"SIFRA\" = ?"),
                  {nut});
        docs->Receipt({{screw, 20, 5.00, 8.00}, {nut, 20, 1.00, 2.50}});
    }
    int Post(OutgoingKind kind) {
        sales::InvoiceDraft draft = Draft(2, 1);
        Line(draft, screw, 10, 8.00, 10);
        Line(draft, nut, 4, 2.50, 0);
        const sales::InvoiceHeader header = sales::ProposeHeader(*session, draft);
        return sales::PostOutgoing(*session, sales::DocumentOf(kind), draft, header).number;
    }
    int nut = 0;
};

TEST_F(OutgoingPrintTest, AnOfferOfTwoRatesPrintsItsLinesRecapitulationTotalsAndValidity) {
    const int number = Post(OutgoingKind::Offer);
    const sales::InvoiceSummary s =
        sales::SummaryOfOutgoing(*session, OutgoingKind::Offer, 1, number);
    ASSERT_EQ(s.perRate.size(), 2u);
    EXPECT_DOUBLE_EQ(s.perRate[0].base, 10.00);
    EXPECT_DOUBLE_EQ(s.perRate[0].tax, 1.30);
    EXPECT_DOUBLE_EQ(s.perRate[1].base, 72.00);
    EXPECT_DOUBLE_EQ(s.perRate[1].tax, 18.00);
    EXPECT_DOUBLE_EQ(s.discount, 8.00);
    EXPECT_DOUBLE_EQ(s.total, 101.30);

    const reports::ReportRequest r =
        sales::OutgoingPrintRequest(*session, OutgoingKind::Offer, 1, number);
    EXPECT_EQ(r.reportFile, QStringLiteral("ponuda.rpt"));
    EXPECT_EQ(r.title, QStringLiteral("Ispis ponude br. ") + QString::number(number));
    EXPECT_EQ(FormulaOf(r, "IznosSlovima"), QStringLiteral("stojedna EUR i trideset centi"));
    EXPECT_EQ(FormulaOf(r, "PozivNaBroj"), QStringLiteral("<none>"));  // no payment on an offer
    EXPECT_TRUE(HasParameter(r, "PIRA"));

    // Without discount columns.
    sales::OutgoingPrintOptions plain;
    plain.withoutDiscount = true;
    const reports::ReportRequest bare =
        sales::OutgoingPrintRequest(*session, OutgoingKind::Offer, 1, number, plain);
    EXPECT_EQ(bare.reportFile, QStringLiteral("BezRabata_ponuda.rpt"));
}

TEST_F(OutgoingPrintTest, AProFormaPrintsItsPaymentDataAndValidity) {
    const int number = Post(OutgoingKind::ProForma);
    const reports::ReportRequest r =
        sales::OutgoingPrintRequest(*session, OutgoingKind::ProForma, 1, number);
    EXPECT_EQ(r.reportFile, QStringLiteral("predrac.rpt"));
    EXPECT_EQ(r.title, QStringLiteral("Ispis predračuna br. ") + QString::number(number));
    const QString reference = QStringLiteral("HR00 %1-1-%2").arg(number).arg(Year());
    EXPECT_EQ(FormulaOf(r, "PozivNaBroj"), reference);
    EXPECT_EQ(FormulaOf(r, "ZaPlatiti"), QStringLiteral("101,30"));
    // The pro-forma has no layout without discount columns.
    sales::OutgoingPrintOptions plain;
    plain.withoutDiscount = true;
    ExpectRefused(
        [&] { sales::OutgoingPrintRequest(*session, OutgoingKind::ProForma, 1, number, plain); },
        QStringLiteral("Ovaj dokument nema ispis bez rabata."));
}

TEST_F(OutgoingPrintTest, ADeliveryNotePrintsPricesOrPurchaseValuesAndIgnoresTheBook) {
    const int number = Post(OutgoingKind::DeliveryNote);
    // The book is no part of a delivery note's key.
    const reports::ReportRequest r =
        sales::OutgoingPrintRequest(*session, OutgoingKind::DeliveryNote, 7, number);
    EXPECT_EQ(r.reportFile, QStringLiteral("Otpremnica.rpt"));
    EXPECT_EQ(r.title, QStringLiteral("Ispis otpremnice br. ") + QString::number(number));
    EXPECT_FALSE(HasParameter(r, "PIRA"));
    EXPECT_EQ(r.selection.ToText(), QStringLiteral("{STAVKE_OTPREMNICA.SKLADISTE}=1 AND "
                                                   "{STAVKE_OTPREMNICA.GODINA}=%1 AND "
                                                   "{STAVKE_OTPREMNICA.BROJ_OTPREMNICE}=%2")
                                        .arg(Year())
                                        .arg(number));
    EXPECT_EQ(FormulaOf(r, "Ukupno"), QStringLiteral("101,30"));
    EXPECT_EQ(FormulaOf(r, "Rabat"), QStringLiteral("8,00"));

    sales::OutgoingPrintOptions purchase;
    purchase.purchaseValues = true;
    const reports::ReportRequest nab =
        sales::OutgoingPrintRequest(*session, OutgoingKind::DeliveryNote, 1, number, purchase);
    EXPECT_EQ(nab.reportFile, QStringLiteral("Otpremnica_nab.rpt"));
    ExpectRefused(
        [&] { sales::OutgoingPrintRequest(*session, OutgoingKind::Offer, 1, number, purchase); },
        QStringLiteral("Ovaj dokument nema ispis s nabavnim vrijednostima."));
}

TEST_F(OutgoingPrintTest, AMissingDocumentIsRefusedWithItsKindsMessage) {
    const int offer = Post(OutgoingKind::Offer);
    ExpectRefused(
        [&] { sales::OutgoingPrintRequest(*session, OutgoingKind::Offer, 1, offer + 1); },
        QStringLiteral("Ne postoji proknjižena ponuda broj ") + QString::number(offer + 1));
    // The offer's number in another book, and as a pro-forma or delivery note, is no document.
    ExpectRefused([&] { sales::OutgoingPrintRequest(*session, OutgoingKind::Offer, 2, offer); },
                  QStringLiteral("Ne postoji proknjižena ponuda broj ") + QString::number(offer));
    ExpectRefused(
        [&] { sales::OutgoingPrintRequest(*session, OutgoingKind::ProForma, 1, offer); },
        QStringLiteral("Ne postoji proknjiženi predračun broj ") + QString::number(offer));
    ExpectRefused(
        [&] { sales::OutgoingPrintRequest(*session, OutgoingKind::DeliveryNote, 1, offer); },
        QStringLiteral("Ne postoji proknjižena otpremnica broj ") + QString::number(offer));
}

}  // namespace
