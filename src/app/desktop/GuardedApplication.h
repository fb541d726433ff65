#pragma once

#include <QApplication>

namespace zodra::desktop {

// The program's application object: an exception that a window's handler let through (a
// failure of the database, a refusal nobody caught) is shown to the user with its text instead
// of ending the program, and the program goes on; the posting it interrupted was rolled back
// by its transaction guard.
class GuardedApplication final : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;

    // The text shown for an exception that reached the top.
    static QString TextFor(const std::exception& error);
};

}  // namespace zodra::desktop
