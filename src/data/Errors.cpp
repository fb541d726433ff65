#include "data/Errors.h"

namespace zodra {

UserError::UserError(const QString& message)
    : std::runtime_error(message.toStdString()), m_message(message) {}

DbError::DbError(const QString& sql, const QString& driverText, int nativeCode)
    : std::runtime_error(
          (driverText + QStringLiteral(" [") + sql + QStringLiteral("]")).toStdString()),
      m_sql(sql),
      m_driverText(driverText),
      m_nativeCode(nativeCode) {}

bool DbError::isBusy() const noexcept {
    // SQLITE_BUSY = 5, SQLITE_LOCKED = 6 (primary codes, extended codes keep them in the low byte)
    const int primary = m_nativeCode & 0xff;
    return primary == 5 || primary == 6;
}

bool DbError::isDamage() const noexcept {
    // SQLITE_CORRUPT = 11, SQLITE_NOTADB = 26
    const int primary = m_nativeCode & 0xff;
    return primary == 11 || primary == 26 ||
           m_driverText.contains(QStringLiteral("malformed"), Qt::CaseInsensitive);
}

bool DbError::isReadOnlyRefusal() const noexcept {
    // SQLITE_AUTH = 23: only the read-only guard installs an authorizer.
    return (m_nativeCode & 0xff) == 23;
}

}  // namespace zodra
