#pragma once

#include <QByteArray>
#include <QImage>

namespace zodra::payments {

// The PDF417 symbol of a payment slip's data block, as banking applications scan it: error
// correction level 4 and nine data columns, with a quiet zone of two modules around it. The
// bytes are encoded as they are (the block is already in its code page). An encoder failure
// (a block too long for the symbol) is thrown as a UserError with the encoder's text.
QImage Hub3Barcode(const QByteArray& block);

// The same picture as PNG bytes, the way the printed slip carries it.
QByteArray Hub3BarcodePng(const QByteArray& block);

}  // namespace zodra::payments
