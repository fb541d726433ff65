#include "payments/Hub3Barcode.h"

#include <zint.h>

#include <QBuffer>
#include <memory>

#include "data/Errors.h"

namespace zodra::payments {

namespace {

struct SymbolDeleter {
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

}  // namespace

QImage Hub3Barcode(const QByteArray& block) {
    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) {
        throw UserError(QStringLiteral("Bar kod uplatnice se ne može izraditi."));
    }
    symbol->symbology = BARCODE_PDF417;
    symbol->input_mode = DATA_MODE;
    symbol->option_1 = 4;  // error correction level
    symbol->option_2 = 9;  // data columns
    symbol->whitespace_width = 2;
    symbol->whitespace_height = 2;
    symbol->scale = 1.0F;
    symbol->show_hrt = 0;
    const int status = ZBarcode_Encode_and_Buffer(
        symbol.get(), reinterpret_cast<const unsigned char*>(block.constData()),
        static_cast<int>(block.size()), 0);
    if (status >= ZINT_ERROR || !symbol->bitmap) {
        throw UserError(QStringLiteral("Bar kod uplatnice se ne može izraditi: ") +
                        QString::fromLatin1(symbol->errtxt));
    }
    const QImage view(symbol->bitmap, symbol->bitmap_width, symbol->bitmap_height,
                      symbol->bitmap_width * 3, QImage::Format_RGB888);
    return view.convertToFormat(QImage::Format_Grayscale8);
}

QByteArray Hub3BarcodePng(const QByteArray& block) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    Hub3Barcode(block).save(&buffer, "PNG");
    return png;
}

}  // namespace zodra::payments
