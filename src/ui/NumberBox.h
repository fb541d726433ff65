#pragma once

#include <QLineEdit>

#include "data/InputLimits.h"

namespace zodra {
class Prompter;
}

namespace zodra::ui {

// A box for a number (quantity, price, percentage …), read by the one rule of typed numbers
// (inputrules::ParseNumber): comma or point as the decimal separator, no grouping, no exponent.
// The box is checked when it is left (or on Enter, which leaves it), never on a keystroke:
// text that is not a number shows "Nije ispravno upisan broj. Vrijednost će biti postavljena
// na nulu.", a number beyond the box's kind of value (data/InputLimits.h; an amount unless the
// window says otherwise) shows the limits' message ("Cijena nesmije biti negativna !", "Broj
// mora biti između …"); either way the box becomes "0" and takes the focus back, so one bad
// entry gives one message. The whole text is selected when the box receives focus.
class NumberBox : public QLineEdit {
    Q_OBJECT
public:
    explicit NumberBox(Prompter& prompter, QWidget* parent = nullptr);

    // The value typed; "", "-" and the like are 0.
    double Value() const;
    // Shows a value: with `decimals` fixed decimals, or as few as it needs when negative.
    void SetValue(double value, int decimals = -1);
    // Fixed decimals for SetValue without an explicit count (e.g. 2 for money).
    void SetDecimals(int decimals) { m_decimals = decimals; }
    // A box of its own kind may say so in its own words ("Nije ispravno upisan broj !" for a
    // document number); empty: the kit's message.
    void SetInvalidMessage(const QString& message) { m_invalidMessage = message; }
    // The kind of value the box holds and the name its messages give it.
    void SetLimit(limits::NumberKind kind, const QString& what) {
        m_kind = kind;
        m_what = what;
    }

    // Checks the typed text as leaving the box does; returns false when it was refused (the
    // message shown, the box at "0"). Windows call it before they read a value the user may
    // still be typing (e.g. on a keyboard shortcut that does not move the focus).
    bool Commit();

Q_SIGNALS:
    // The user changed the value: typing that reads as a number (the window may follow it as
    // it is typed), or the reset to 0 after a refused entry.
    void valueEdited(double value);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnTextEdited(const QString& text);

    Prompter& m_prompter;
    int m_decimals = -1;
    bool m_committing = false;
    QString m_invalidMessage;
    limits::NumberKind m_kind = limits::NumberKind::Amount;
    QString m_what = QStringLiteral("Broj");
};

}  // namespace zodra::ui
