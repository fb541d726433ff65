#pragma once

#include <QString>

namespace zodractl {

// Reads a password: from the environment variable when set, else from the terminal without
// echo, else (no terminal) an empty password. Never from the command line.
QString ReadPassword(const char* environmentVariable, const QString& prompt);

void Out(const QString& text);
void Err(const QString& text);

}  // namespace zodractl
