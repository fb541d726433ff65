// The HUB-3A slip: the data block byte for byte, the PDF417 symbol read back by an independent
// decoder, and every refusal of a slip a bank would not take, with its message.

#include <gtest/gtest.h>

#include <ZXing/ReadBarcode.h>

#include <cmath>
#include <limits>

#include "payments/Hub3Barcode.h"
#include "payments/PaymentReportRows.h"
#include "payments/PaymentSlip.h"
#include "support/Refused.h"

namespace zodra::payments {
namespace {

class PaymentSlipTest : public test::PaymentRowsTest {
protected:
    void SetUp() override {
        PaymentRowsTest::SetUp();
        db().Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"NAZIV\" = ?, \"ADRESA\" = ?, "
                                 "\"MJESTO\" = ?, \"ZIRO_RACUN\" = ?"),
                  {QStringLiteral("Trgovina Čvor d.o.o."), QStringLiteral("Ilica 12"),
                   QStringLiteral("10000 Zagreb"), QStringLiteral("HR17 2360 0001 1012 3456 5")});
        customer = AddPartner(QStringLiteral("Obrt Šestić i sinovi, vl. Đurđica Žužić"));
        AddInvoice(7, customer, Day(3, 2), {100.00, 23.45}, false, 1, QStringLiteral("HR01 12-34"));
        AddCollection(AddPayment(customer, Day(3, 9), 20.00), 7, Day(3, 9), 20.00);
    }
    OutputSlipRange All() const { return {1, 2, Year(), 1, 999, Day(1, 1), Day(12, 31)}; }
    static PaymentSlip Valid() {
        PaymentSlip slip;
        slip.amount = 10;
        slip.payee.name = QStringLiteral("Primatelj");
        slip.iban = QStringLiteral("HR1723600001101234565");
        slip.model = QStringLiteral("HR00");
        slip.purpose = QStringLiteral("OTHR");
        return slip;
    }
    int customer = 0;
};

TEST_F(PaymentSlipTest, DataBlockOfAnInvoiceCarriesItsOpenAmountAndFieldsCutToLength) {
    AddInvoice(8, customer, Day(3, 3), {15.00});  // paid in full below: no slip
    AddCollection(AddPayment(customer, Day(3, 4), 15.00), 8, Day(3, 4), 15.00);
    AddInvoice(9, customer, Day(3, 3), {15.00}, true);  // cancelled: no slip
    const std::vector<PaymentSlip> slips = OutputInvoiceSlips(db(), All());
    ASSERT_EQ(slips.size(), 1U);
    const QByteArray year = QByteArray::number(Year());
    const QByteArray expected =
        "HRVHUB30\nEUR\n000000000010345\n"
        "Obrt \xA9"
        "esti\xE6 i sinovi, vl. \xD0ur\xF0\n"  // 30 letters of the name
        "Ilica 1\n10000 Zagreb\n"
        "Trgovina \xC8vor d.o.o.\nIlica 12\n10000 Zagreb\n"
        "HR1723600001101234565\nHR01\n12-34\nGDSV\n"
        "Ra\xE8un br. 7-2-" +
        year + "\n";
    EXPECT_EQ(Hub3DataBlock(slips.front()), expected);
}

TEST_F(PaymentSlipTest, BarcodeReadsBackToTheDataBlock) {
    const QByteArray block = Hub3DataBlock(OutputInvoiceSlips(db(), All()).front());
    const QImage image = Hub3Barcode(block);
    ASSERT_FALSE(image.isNull());
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::PDF417);
    const ZXing::Result result = ZXing::ReadBarcode(
        ZXing::ImageView(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                         static_cast<int>(image.bytesPerLine())),
        hints);
    ASSERT_TRUE(result.isValid());
    const ZXing::ByteArray& bytes = result.bytes();
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(bytes.data()),
                         static_cast<qsizetype>(bytes.size())),
              block);
    // What the layout prints: the same picture, carried as base64 PNG in the slip's row.
    const reports::ReportRequest request =
        PaymentSlipRequest(SlipKind::OutputInvoiceOrder, OutputInvoiceSlips(db(), All()));
    ASSERT_TRUE(request.query);
    EXPECT_EQ(request.query->values.last().toString(),
              QString::fromLatin1(Hub3BarcodePng(block).toBase64()));
    EXPECT_EQ(request.reportFile, QStringLiteral("ira_virman.rpt"));
}

TEST_F(PaymentSlipTest, SlipWithoutAValidIbanIsRefusedWithItsReason) {
    db().Exec(QStringLiteral("UPDATE \"PODACI_FIRME\" SET \"ZIRO_RACUN\" = ''"));
    const auto slips = OutputInvoiceSlips(db(), All());
    EXPECT_REFUSED(PaymentSlipRequest(SlipKind::OutputInvoiceOrder, slips),
                   "Uplatnica se ne može ispisati: primatelj Trgovina Čvor d.o.o. nema upisan "
                   "IBAN.");
    // The supplier's side: the company pays, the supplier's account is the payee's.
    const int supplier = AddPartner(QStringLiteral("Dobavljač d.d."));
    db().Exec(QStringLiteral("INSERT INTO \"KNJIGE_ULAZNIH_RACUNA\" (\"URA\", \"GODINA\", "
                             "\"Redni broj\", \"Račun broj\", \"Šifra dobavljača\", \"Iznos "
                             "računa sa porezom\") VALUES (1, ?, 1, 'U-77', ?, 250)"),
              {Year(), supplier});
    EXPECT_REFUSED(Hub3DataBlock(InputInvoiceSlips(db(), 1, Year(), 1, 1).front()),
                   "Uplatnica se ne može ispisati: primatelj Dobavljač d.d. nema upisan IBAN.");
    db().Exec(QStringLiteral("UPDATE \"PARTNERI\" SET \"ZIRO_RACUN\" = ? WHERE \"SIFRA\" = ?"),
              {QStringLiteral("HR5724840081234567890"), supplier});
    EXPECT_TRUE(Hub3DataBlock(InputInvoiceSlips(db(), 1, Year(), 1, 1).front())
                    .endsWith("HR5724840081234567890\nHR99\n\nSUPP\nPla\xE6"
                              "anje po ra\xE8unu br. U-77\n"));
    EXPECT_REFUSED(PaymentSlipRequest(SlipKind::InputInvoiceOrder, {}),
                   "Nema neplaćenih računa za ispis uplatnica.");
}

TEST_F(PaymentSlipTest, EachFieldABankWouldRefuseIsRefused) {
    const QString prefix = QStringLiteral("Uplatnica se ne može ispisati: ");
    const QString amount =
        prefix + QStringLiteral("iznos mora biti veći od nule i manji od 10000000000000,00.");
    struct Case {
        std::function<void(PaymentSlip&)> change;
        QString message;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {[](PaymentSlip& s) { s.iban = QStringLiteral("HR1723600001101234566"); },
         prefix + QStringLiteral("IBAN primatelja HR1723600001101234566 nije ispravan.")},
        {[](PaymentSlip& s) { s.iban = QStringLiteral("hr17 2360 0001 1012 3456 5"); }, {}},
        {[](PaymentSlip& s) { s.amount = std::numeric_limits<double>::quiet_NaN(); }, amount},
        {[](PaymentSlip& s) { s.amount = std::numeric_limits<double>::infinity(); }, amount},
        {[](PaymentSlip& s) { s.amount = 0.004; }, amount},
        {[](PaymentSlip& s) { s.amount = 0.005; }, {}},
        {[](PaymentSlip& s) { s.amount = 9999999999999.99; }, {}},
        {[](PaymentSlip& s) { s.amount = 10000000000000.00; }, amount},
        {[](PaymentSlip& s) { s.model = QStringLiteral("HR1"); },
         prefix + QStringLiteral("model HR1 nije ispravan.")},
        {[](PaymentSlip& s) { s.reference = QString(22, QLatin1Char('1')); }, {}},
        {[](PaymentSlip& s) { s.reference = QString(23, QLatin1Char('1')); },
         prefix + QStringLiteral("poziv na broj ") + QString(23, QLatin1Char('1')) +
             QStringLiteral(" smije imati samo brojke i crtice, najviše 22 znaka.")},
        {[](PaymentSlip& s) { s.purpose = QStringLiteral("othr"); },
         prefix + QStringLiteral("šifra namjene othr nije ispravna.")},
    };
    for (const Case& c : cases) {
        PaymentSlip slip = Valid();
        c.change(slip);
        if (c.message.isEmpty()) {
            EXPECT_NO_THROW(Hub3DataBlock(slip)) << slip.iban.toStdString();
        } else {
            EXPECT_REFUSED(Hub3DataBlock(slip), c.message);
        }
    }
    PaymentSlip small = Valid();
    small.amount = 0.005;
    EXPECT_TRUE(Hub3DataBlock(small).startsWith("HRVHUB30\nEUR\n000000000000001\n"));
}

}  // namespace
}  // namespace zodra::payments
