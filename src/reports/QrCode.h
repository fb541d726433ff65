#pragma once

#include <QByteArray>
#include <QImage>

namespace zodra::reports {

// A QR code (model 2, the smallest version that holds the data, error correction M) of `data`
// as it is, one pixel per module with a quiet zone of four modules, black on white. A printed
// report scales it to the element's size. An encoder failure is thrown as a UserError.
QImage QrCodeImage(const QByteArray& data);

// The same picture as PNG bytes, the way a report's image element takes it.
QByteArray QrCodePng(const QByteArray& data);

}  // namespace zodra::reports
