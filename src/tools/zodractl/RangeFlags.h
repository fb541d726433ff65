#pragma once

#include <QDate>
#include <QString>

#include "reports/ReportRange.h"

namespace zodractl {

// "--od" and "--do" of a book command, taken as the range dialog takes them: the text as typed
// (reports::AcceptRange checks it with the dialog's messages) and the date it reads as. False
// for any other flag.
inline bool TakeDateFlag(const QString& flag, const QString& value,
                         zodra::reports::RangeInput& input) {
    if (flag == QLatin1String("--od")) {
        input.fromText = value;
        input.from = QDate::fromString(value, QStringLiteral("dd.MM.yyyy"));
        return true;
    }
    if (flag == QLatin1String("--do")) {
        input.toText = value;
        input.to = QDate::fromString(value, QStringLiteral("dd.MM.yyyy"));
        return true;
    }
    return false;
}

}  // namespace zodractl
