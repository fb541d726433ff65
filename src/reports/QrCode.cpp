#include "reports/QrCode.h"

#include <qrencode.h>

#include <QBuffer>
#include <memory>

#include "data/Errors.h"

namespace zodra::reports {

QImage QrCodeImage(const QByteArray& data) {
    constexpr int kQuiet = 4;
    const std::unique_ptr<QRcode, void (*)(QRcode*)> code(
        QRcode_encodeData(static_cast<int>(data.size()),
                          reinterpret_cast<const unsigned char*>(data.constData()), 0,
                          QR_ECLEVEL_M),
        QRcode_free);
    if (!code) {
        throw UserError(QStringLiteral("QR kod se ne može izraditi (") +
                        QString::number(data.size()) + QStringLiteral(" znakova)."));
    }
    const int side = code->width + 2 * kQuiet;
    QImage image(side, side, QImage::Format_Mono);
    image.setColor(0, qRgb(255, 255, 255));
    image.setColor(1, qRgb(0, 0, 0));
    image.fill(0);
    for (int y = 0; y < code->width; ++y) {
        for (int x = 0; x < code->width; ++x) {
            if (code->data[y * code->width + x] & 1) {
                image.setPixel(x + kQuiet, y + kQuiet, 1);
            }
        }
    }
    return image;
}

QByteArray QrCodePng(const QByteArray& data) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QrCodeImage(data).save(&buffer, "PNG");
    return png;
}

}  // namespace zodra::reports
