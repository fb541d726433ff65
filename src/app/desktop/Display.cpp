#include "app/desktop/Display.h"

#include <QtGlobal>

namespace zodra::desktop {

ProgramArguments ParseArguments(int argc, char** argv) {
    ProgramArguments a;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--quit-when-ready")) {
            a.quitWhenReady = true;
        } else if (!arg.startsWith(QLatin1Char('-')) && a.company.isEmpty()) {
            a.company = arg;
        }
    }
    return a;
}

bool DisplayAvailable() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return true;
    }
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString NoDisplayText(const char* program) {
    const QString self = QString::fromLocal8Bit(program);
    return QStringLiteral(
               "Zodra je program s prozorima, a ovo računalo nema grafički zaslon (DISPLAY nije "
               "postavljen).\n"
               "Pokrenite ga pod virtualnim zaslonom:\n"
               "    xvfb-run -a ") +
           self + QStringLiteral(" [poduzeće.mdb]\n") +
           QStringLiteral("ili, bez ikakvog prikaza (za provjere), s QT_QPA_PLATFORM=offscreen.\n");
}

}  // namespace zodra::desktop
