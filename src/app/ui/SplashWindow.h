#pragma once

#include <QWidget>

namespace zodra::ui {

// The splash window shown while the program starts; the main window closes it.
class SplashWindow : public QWidget {
public:
    SplashWindow();
};

}  // namespace zodra::ui
