#include "data/Errors.h"

namespace zodra {

UserError::UserError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

DbError::DbError(const QString& sql, const QString& driverText, Kind kind, int nativeCode)
    : std::runtime_error(
          (driverText + QStringLiteral(" [") + sql + QStringLiteral("]")).toStdString()),
      m_sql(sql),
      m_driverText(driverText),
      m_kind(kind),
      m_nativeCode(nativeCode) {}

QString DbError::BusyMessage() {
    return QStringLiteral(
        "Baza podataka je zauzeta: drugo računalo upravo upisuje u nju. Ništa nije zapisano; "
        "pokušajte ponovno za trenutak.");
}

QString DbError::DescribedText(Kind kind, const QString& driverText) {
    switch (kind) {
        case Kind::Busy:
            return BusyMessage() + QStringLiteral(" (") + driverText + QLatin1Char(')');
        case Kind::ConnectionLost:
            return QStringLiteral(
                       "Veza s poslužiteljem baze podataka je prekinuta. Započeti posao nije "
                       "dovršen; ponovite ga kad poslužitelj bude dostupan. (") +
                   driverText + QLatin1Char(')');
        default:
            return driverText;
    }
}

}  // namespace zodra
