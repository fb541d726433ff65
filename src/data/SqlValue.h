#pragma once

#include <QDate>
#include <QDateTime>
#include <QVariant>

#include "data/SqlDialect.h"

namespace zodra {

// Conversions between program values and what is stored. Dates are ISO text in SQLite
// ("YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS"), booleans 0/1.
namespace sqlvalue {

QVariant ToDb(const QVariant& value, SqlDialect dialect);

QDate ToDate(const QVariant& stored);
QDateTime ToDateTime(const QVariant& stored);
bool ToBool(const QVariant& stored);
double ToDouble(const QVariant& stored);  // null → 0
int ToInt(const QVariant& stored);        // null → 0
QString ToText(const QVariant& stored);   // null → ""

QString DateText(const QDate& date);  // "YYYY-MM-DD"

}  // namespace sqlvalue
}  // namespace zodra
