#pragma once

#include <QString>

namespace zodra::desktop {

// What the program is told on its command line: the company to open (optional) and whether to
// quit as soon as the main window is up (start-up measurements, smoke checks).
struct ProgramArguments {
    QString company;
    bool quitWhenReady = false;
};
ProgramArguments ParseArguments(int argc, char** argv);

// Whether a window can be shown: a display (X11 or Wayland), or a platform chosen explicitly
// with QT_QPA_PLATFORM (e.g. "offscreen").
bool DisplayAvailable();
// What the program says instead of starting when there is no display.
QString NoDisplayText(const char* program);

}  // namespace zodra::desktop
