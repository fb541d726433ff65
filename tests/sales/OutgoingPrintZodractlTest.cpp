// Offers, pro-formas and delivery notes printed to PDF by the headless door: after posting and by
// number, each layout's texts and rows as the PDF holds them, and the refusals.

#include <gtest/gtest.h>

#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include "support/Pdf.h"
#include "support/ZodractlCompany.h"

using namespace zodra::test;

namespace {

class OutgoingPrintZodractlTest : public ZodractlCompanyTest {
protected:
    QString Pdf(const char* name) { return m_dir.filePath(QString::fromLatin1(name)); }
    // The example offer as another kind of document.
    QString OfferAs(const char* kind) {
        QJsonObject doc = ReadJson(SourceFile("docs/examples/ponuda.json"));
        doc.insert(QStringLiteral("vrsta"), QString::fromLatin1(kind));
        return File(QString::fromLatin1(kind) + QStringLiteral(".json"), doc);
    }
    int PostWithPdf(const QString& file, const QString& pdf) {
        const ZodractlRun posted =
            Run({QStringLiteral("post"), file, QStringLiteral("--pdf"), pdf});
        EXPECT_EQ(posted.exitCode, 0) << posted.err.toStdString();
        EXPECT_EQ(PdfPages(pdf), 1);
        return PostedNumber(posted.out);
    }
    ZodractlRun Print(const char* kind, int number, const char* pdf, const char* option = nullptr) {
        QStringList args{QStringLiteral("print"),
                         QString::fromLatin1(kind),
                         QString::number(number),
                         QStringLiteral("--pdf"),
                         Pdf(pdf),
                         QStringLiteral("--skladiste"),
                         QStringLiteral("1")};
        if (option) {
            args << QString::fromLatin1(option);
        }
        return Run(args);
    }
};

TEST_F(OutgoingPrintZodractlTest, EachKindIsPrintedAfterPostingAndByNumber) {
    // The offer: 48 × PI-015 less 5 % and one delivery service.
    const int offer = PostWithPdf(SourceFile("docs/examples/ponuda.json"), Pdf("ponuda.pdf"));
    ASSERT_GT(offer, 0);
    const QString offerText = PdfText(Pdf("ponuda.pdf"));
    EXPECT_TRUE(offerText.contains(QStringLiteral("PONUDA br. %1/2026").arg(offer)));
    EXPECT_TRUE(offerText.contains(QStringLiteral("Kod Ane's d.o.o.")));
    EXPECT_TRUE(offerText.contains(QStringLiteral("Ponuda vrijedi do 31.03.2026.")));
    EXPECT_TRUE(offerText.contains(QStringLiteral("Rekapitulacija PDV-a")));
    EXPECT_TRUE(offerText.contains(QStringLiteral("Rabat")));
    EXPECT_TRUE(offerText.contains(QStringLiteral("Dostava na adresu")));

    const ZodractlRun bare = Print("ponuda", offer, "bez.pdf", "--bez-rabata");
    ASSERT_EQ(bare.exitCode, 0) << bare.err.toStdString();
    EXPECT_EQ(bare.out.trimmed(),
              QStringLiteral("Ispis ponude br. %1 je zapisan u %2 (stranica: 1).")
                  .arg(offer)
                  .arg(Pdf("bez.pdf")));
    EXPECT_EQ(PdfPages(Pdf("bez.pdf")), 1);
    const QString bareText = PdfText(Pdf("bez.pdf"));
    EXPECT_FALSE(bareText.contains(QStringLiteral("Rabat")));
    // Both layouts end in the same total.
    static const QRegularExpression total(QStringLiteral("UKUPNO:\\s+([0-9.,]+)"));
    const auto offerTotal = total.match(offerText);
    ASSERT_TRUE(offerTotal.hasMatch());
    EXPECT_EQ(total.match(bareText).captured(1), offerTotal.captured(1));

    // The pro-forma: its payment data.
    const int proForma = PostWithPdf(OfferAs("predracun"), Pdf("predracun.pdf"));
    const QString proFormaText = PdfText(Pdf("predracun.pdf"));
    EXPECT_TRUE(proFormaText.contains(QStringLiteral("PREDRAČUN br. %1/2026").arg(proForma)));
    EXPECT_TRUE(proFormaText.contains(QStringLiteral("Predračun vrijedi do 31.03.2026.")));
    EXPECT_TRUE(proFormaText.contains(QStringLiteral("HR00 %1-1-2026").arg(proForma)));
    EXPECT_TRUE(proFormaText.contains(QStringLiteral("Uplatu izvršite na IBAN:")));

    // The delivery note: with prices, and with purchase values.
    const int note =
        PostWithPdf(SourceFile("docs/examples/otpremnica.json"), Pdf("otpremnica.pdf"));
    const QString noteText = PdfText(Pdf("otpremnica.pdf"));
    EXPECT_TRUE(noteText.contains(QStringLiteral("OTPREMNICA br. %1/2026").arg(note)));
    EXPECT_TRUE(noteText.contains(QStringLiteral("Rekapitulacija PDV-a")));
    EXPECT_FALSE(noteText.contains(QStringLiteral("Nabavna")));
    const ZodractlRun purchase = Print("otpremnica", note, "nab.pdf", "--nabavne");
    ASSERT_EQ(purchase.exitCode, 0) << purchase.err.toStdString();
    EXPECT_EQ(PdfPages(Pdf("nab.pdf")), 1);
    const QString purchaseText = PdfText(Pdf("nab.pdf"));
    EXPECT_TRUE(purchaseText.contains(QStringLiteral("Razlika u cijeni (RUC):")));
    EXPECT_FALSE(purchaseText.contains(QStringLiteral("Rekapitulacija PDV-a")));
}

TEST_F(OutgoingPrintZodractlTest, AMissingDocumentOrAnOptionOfAnotherKindIsRefused) {
    const ZodractlRun missing = Print("predracun", 9999, "x.pdf");
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.trimmed(), QStringLiteral("Ne postoji proknjiženi predračun broj 9999"));
    EXPECT_FALSE(QFile::exists(Pdf("x.pdf")));
    // --nabavne belongs to the delivery note, --bez-rabata to the invoice and the offer.
    const ZodractlRun wrong = Print("ponuda", 1, "x.pdf", "--nabavne");
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.err.startsWith(QStringLiteral("upotreba: zodractl print")));
    EXPECT_EQ(Print("otpremnica", 1, "x.pdf", "--bez-rabata").exitCode, 2);
}

}  // namespace
