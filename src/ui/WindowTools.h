#pragma once

#include <QString>

class QPushButton;
class QWidget;

namespace zodra::ui {

// A push button with its object name (tests and the screenshot tour find buttons by name).
QPushButton* MakeButton(const QString& caption, const QString& name, QWidget* parent);
// Closes a window: its sub-window frame when it is hung in the window area, else itself.
void CloseWindowFrame(QWidget* window);
// The "Zatvori" button every window with a list has (Alt+Z), closing `window`.
QPushButton* MakeCloseButton(QWidget* window);

}  // namespace zodra::ui
