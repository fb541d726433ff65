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

}  // namespace zodra
