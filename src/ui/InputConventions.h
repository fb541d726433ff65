#pragma once

#include <QObject>

class QApplication;
class QWidget;

namespace zodra::ui {

// The input conventions of every window, carried once for the whole program: Enter (or the
// keypad's Enter) in a field moves to the next field as Tab does, and a text box that receives
// the focus selects its whole text. Buttons keep Enter (it presses them), as do multi-line
// boxes, grids, and Qt's own dialogs (input box, message box, file dialog), where Enter means
// OK.
class InputConventions : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Installs the conventions on the application (the program and window tests call it once).
void InstallInputConventions(QApplication& app);

// Keeps Enter for a field's own use, e.g. a search box where Enter looks up a barcode.
void KeepEnter(QWidget* field);

}  // namespace zodra::ui
