#include "fiscal/ProtectiveCode.h"

#include <QCryptographicHash>
#include <QLocale>

#include "data/Rounding.h"
#include "fiscal/Certificate.h"

namespace zodra::fiscal {

QString FiscalAmount(double value) {
    return FixedNumberText(value, 2, QLocale::c());
}

QByteArray ProtectiveCodeText(const ProtectiveCodeInput& input) {
    return (input.oib + input.issued.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")) +
            QString::number(input.number) + input.premises + input.device +
            FiscalAmount(input.total))
        .toUtf8();
}

QString ProtectiveCode(const Certificate& certificate, const ProtectiveCodeInput& input) {
    const QByteArray signature = certificate.SignSha1(ProtectiveCodeText(input));
    return QString::fromLatin1(
        QCryptographicHash::hash(signature, QCryptographicHash::Md5).toHex());
}

}  // namespace zodra::fiscal
