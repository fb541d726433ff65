#pragma once

#include <QStringList>

namespace zodractl {

// zodractl newyear PATH [--nova DATOTEKA] --datum D
// The year transfer: with --nova into a new company file, else within the same file.
int NewYear(const QStringList& args);

}  // namespace zodractl
