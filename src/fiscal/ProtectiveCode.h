#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace zodra::fiscal {

class Certificate;

// What the issuer's protective code (ZKI) binds together: the company, the moment of issue,
// the receipt's number in its three parts and its total.
struct ProtectiveCodeInput {
    QString oib;
    QDateTime issued;
    qint64 number = 0;  // BrOznRac
    QString premises;   // OznPosPr
    QString device;     // OznNapUr
    double total = 0;
};

// An amount as the fiscal messages write it: rounded to the cent, a "." decimal, no grouping
// ("1245.56", "-10.50").
QString FiscalAmount(double value);

// The text that is signed: OIB, "dd.MM.yyyy HH:mm:ss", number, premises, device and total,
// one after another without separators, in UTF-8.
QByteArray ProtectiveCodeText(const ProtectiveCodeInput& input);

// The ZKI: the RSA-SHA1 signature of the text by the company's key, hashed with MD5, as 32
// lower-case hexadecimal characters.
QString ProtectiveCode(const Certificate& certificate, const ProtectiveCodeInput& input);

}  // namespace zodra::fiscal
