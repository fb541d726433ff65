#pragma once

#include <QWidget>

class QPushButton;

namespace zodra::ui {

// The row of "Prihvati" and "Odustani" at the foot of a dialog (or of a window of the window
// area that asks for something), the same in every window: the buttons right-aligned, with the
// mnemonics Alt+P and Alt+O and the object names "Prihvati" and "Odustani". "Prihvati" is the
// dialog's default button; Enter on a focused button presses it (the input conventions); Esc
// presses "Odustani" anywhere in the window. "Odustani" closes the window (rejects a dialog)
// unless the window connects it to more; the window connects "Prihvati" to its own check.
class DialogButtonRow : public QWidget {
    Q_OBJECT
public:
    enum class Buttons {
        AcceptAndCancel,     // "Odustani" rejects the dialog or closes the window
        AcceptAndOwnCancel,  // the window decides what "Odustani" (and so Esc) does
        AcceptOnly,
    };

    // The row is a child of `window`; put it into the window's layout.
    explicit DialogButtonRow(QWidget* window, Buttons buttons = Buttons::AcceptAndCancel);

    QPushButton* AcceptButton() const { return m_accept; }
    // nullptr in a row of "Prihvati" alone.
    QPushButton* CancelButton() const { return m_cancel; }

private:
    QPushButton* m_accept = nullptr;
    QPushButton* m_cancel = nullptr;
};

}  // namespace zodra::ui
