#include "tools/zodractl/Terminal.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace zodractl {

QString ReadPassword(const char* environmentVariable, const QString& prompt) {
    if (qEnvironmentVariableIsSet(environmentVariable)) {
        return qEnvironmentVariable(environmentVariable);
    }
    if (!isatty(STDIN_FILENO)) {
        return QString();
    }
    std::fputs(prompt.toUtf8().constData(), stderr);
    std::fflush(stderr);
    termios old{};
    tcgetattr(STDIN_FILENO, &old);
    termios quiet = old;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    std::string line;
    std::getline(std::cin, line);
    tcsetattr(STDIN_FILENO, TCSANOW, &old);
    std::fputs("\n", stderr);
    return QString::fromStdString(line);
}

void Out(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputs("\n", stdout);
}

void Err(const QString& text) {
    std::fputs(text.toUtf8().constData(), stderr);
    std::fputs("\n", stderr);
}

}  // namespace zodractl
