#include <gtest/gtest.h>

#include <QImage>

#include "FiscalKit.h"
#include "fiscal/ReceiptMarks.h"
#include "pos/ReceiptText.h"
#include "reports/QrCode.h"

namespace zodra::test {
namespace {

TEST(ReceiptQrTest, TheLinkCarriesJirOrZkiTheMinuteAndTheCents) {
    const QString jir = QStringLiteral("12345678-1234-1234-1234-123456789012");
    const QString zki = QStringLiteral("12345678123412341234123456789012");
    const struct {
        QString jir;
        QDateTime issued;
        double total;
        QString link;
    } cases[] = {
        {jir, QDateTime(QDate(2020, 9, 21), QTime(6, 30, 59)), 1525.99,
         QStringLiteral("https://porezna.gov.hr/rn?jir=12345678-1234-1234-1234-123456789012&"
                        "datv=20200921_0630&izn=152599")},
        {jir, QDateTime(QDate(2021, 1, 10), QTime(14, 0)), -105.50,
         QStringLiteral("https://porezna.gov.hr/rn?jir=12345678-1234-1234-1234-123456789012&"
                        "datv=20210110_1400&izn=-10550")},
        // Without a JIR the ZKI stands in its place; no leading zeros in the amount.
        {QString(), QDateTime(QDate(2021, 2, 5), QTime(8, 1)), 5.10,
         QStringLiteral("https://porezna.gov.hr/rn?zki=12345678123412341234123456789012&"
                        "datv=20210205_0801&izn=510")},
        {QString(), QDateTime(QDate(2021, 1, 1), QTime(19, 0)), 47.0,
         QStringLiteral("https://porezna.gov.hr/rn?zki=12345678123412341234123456789012&"
                        "datv=20210101_1900&izn=4700")},
        // A total that is not exact in binary still gives its cents.
        {jir, QDateTime(QDate(2026, 3, 10), QTime(9, 5)), 0.29,
         QStringLiteral("https://porezna.gov.hr/rn?jir=12345678-1234-1234-1234-123456789012&"
                        "datv=20260310_0905&izn=29")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(fiscal::QrText(c.jir, zki, c.issued, c.total), c.link);
    }
}

TEST(ReceiptQrTest, ThePrinterGetsTheNativeQrCommandWithTheDataLengthInTwoBytes) {
    const QByteArray data(300, 'x');  // 303 with the function's bytes: 0x2F 0x01
    const QByteArray expected = QByteArray::fromHex(
                                    "1B6101"
                                    "1D286B0400314132 00"
                                    "1D286B03003143 06"
                                    "1D286B03003145 31"
                                    "1D286B2F01315030") +
                                data + QByteArray::fromHex("1D286B03003151 30 0A 1B6100");
    EXPECT_EQ(pos::QrCodeCommand(data), expected);

    // The receipt's bytes: the QR between the lines it was placed after and the rest.
    const QByteArray receipt = pos::EncodeReceipt({QStringLiteral("a"), QStringLiteral("b")}, 1250,
                                                  QStringLiteral("Q"), 1);
    EXPECT_EQ(receipt, QByteArray("a\n") + pos::QrCodeCommand("Q") + QByteArray("b\n"));
    EXPECT_EQ(pos::EncodeReceipt({QStringLiteral("a")}, 1250, QString(), 1), QByteArray("a\n"));
}

TEST(ReceiptQrTest, ThePrintedQrImageReadsBackToTheLink) {
    const QString link =
        fiscal::QrText(QStringLiteral("12345678-1234-1234-1234-123456789012"), QString(),
                       QDateTime(QDate(2026, 3, 10), QTime(9, 5)), -1234.56);
    QImage image;
    ASSERT_TRUE(image.loadFromData(reports::QrCodePng(link.toUtf8()), "PNG"));
    EXPECT_EQ(DecodeQr(image), link);
}

}  // namespace
}  // namespace zodra::test
