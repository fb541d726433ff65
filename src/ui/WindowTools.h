#pragma once

#include <QChar>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

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

// Gives a window that has just been shown the keyboard focus in its first field: the field
// the window chose itself (setFocus in its constructor), else the first field in its tab
// order (a text box, choice box, check box or grid), else its first button.
void FocusFirstField(QWidget* window);

// The mnemonic of a caption ("Pro&knjiži" is Alt+K), lower-cased; none without a single "&".
std::optional<QChar> MnemonicOf(const QString& caption);

// One Alt+letter of a window and what carries it, as the user reads it ("&Zatvori").
struct Mnemonic {
    QChar letter;
    QString caption;
};

// The mnemonics of a window: its buttons, group boxes, tabs, labels that lead to a field and a
// menu bar, as far as they are shown with the window (widgets hidden in it, on another tab page
// or in a window of their own do not answer its Alt keys).
QList<Mnemonic> Mnemonics(const QWidget* window);

// The letters that more than one of `mnemonics` use, one line each: "Alt+Z: &Zatvori, &Zbirni
// p.". Empty when every Alt+letter has one meaning.
QStringList MnemonicClashes(const QList<Mnemonic>& mnemonics);
QStringList MnemonicClashes(const QWidget* window);

// Gives every Alt+letter of a window one meaning by moving the "&" of the captions that clash
// to a free letter of the same caption (the text stays as it is): the letters of `reserved`
// (the main window's menus, for a window of the window area) stay theirs, then "Zatvori",
// "Prihvati" and "Odustani" keep theirs, then the rest in the window's order. A caption with
// no free letter loses its mnemonic rather than share one. Windows are shown through it (the
// main window for its window area, the input conventions for dialogs).
void ResolveMnemonicClashes(QWidget* window, const QList<Mnemonic>& reserved = {});

}  // namespace zodra::ui
