#pragma once

#include <QStringList>

namespace zodractl {

// Exit codes: each failure kind its own, so scripts can tell them apart.
enum ExitCode {
    kOk = 0,
    kRefused = 1,  // a refusal with its own message, or another error
    kUsage = 2,
    kWrongPassword = 3,
    kNotACompany = 4,
    kDamaged = 5,
    kMissing = 6,
    kLocked = 7,  // locked or read-only
    kTooNew = 8,
};

int Create(const QStringList& args);
int Check(const QStringList& args);
int Compact(const QStringList& args);
int Passwd(const QStringList& args);
int Sql(const QStringList& args);
int Demo(const QStringList& args);
// Renders a report file to PDF or a printer (in ReportCommand.cpp).
int Report(const QStringList& args);

}  // namespace zodractl
