#pragma once

#include <QStringList>

namespace zodractl {

// zodractl copy SOURCE TARGET
// Copies a company into a new company file or server database (either way, data/CompanyCopy.h),
// then checks the target: the row count of every table and the stock check.
int CopyCompany(const QStringList& args);

}  // namespace zodractl
