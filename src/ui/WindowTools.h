#pragma once

#include <QSize>
#include <QString>

class QPushButton;
class QWidget;

namespace zodra::ui {

// A push button with its object name (tests and the screenshot tour find buttons by name).
QPushButton* MakeButton(const QString& caption, const QString& name, QWidget* parent);
// Closes a window: its sub-window frame when it is hung in the window area, else itself.
void CloseWindowFrame(QWidget* window);
// After a window grew (a panel added once it was shown, or resized by its opener), its frame
// grows to show all of it, as far as the window area allows, and stays inside the area.
// `atLeast`: a content size the opener knows the window needs beyond what its layout says.
void FitWindowFrame(QWidget* window, QSize atLeast = QSize());
// A window at least as wide as its title needs beside the frame's buttons, so that a small
// window (one box) does not cut its own title.
void FitTitle(QWidget* window);
// The "Zatvori" button every window with a list has (Alt+Z), closing `window`.
QPushButton* MakeCloseButton(QWidget* window);

}  // namespace zodra::ui
