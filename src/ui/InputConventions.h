#pragma once

#include <QObject>

class QApplication;
class QWidget;

namespace zodra::ui {

// The input conventions of every window, carried once for the whole program: Enter (or the
// keypad's Enter) in a field moves to the next field as Tab does, passing over the shortcut
// buttons beside the fields ("Nova grupa", "Novi dobavljač" …); Enter on a focused button
// presses it, in a dialog or a window of the window area alike; and a text box that receives
// the focus selects its whole text. A dialog's captions that share an Alt+letter are given
// letters of their own as the dialog appears (ResolveMnemonicClashes), and a dialog that closes
// gives the keyboard back to the window it was opened over. Multi-line boxes, grids and Qt's own
// dialogs (input box, message box, file dialog, where Enter means OK) keep Enter for themselves.
class InputConventions : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs the conventions on the application (the program and window tests call it once).
void InstallInputConventions(QApplication& app);

// Keeps Enter for a field's own use, e.g. a search box where Enter looks up a barcode.
void KeepEnter(QWidget* field);

// Marks a button that stands beside a field to add what the field chooses from: Enter moving
// from field to field passes over it (Tab and its mnemonic still reach it).
void MarkShortcutButton(QWidget* button);
bool IsShortcutButton(const QWidget* widget);

}  // namespace zodra::ui
