#pragma once

#include <QLineEdit>

#include "data/InputLimits.h"

namespace zodra {
class Prompter;
}

namespace zodra::ui {

// A box for a number (quantity, price, percentage …). Anything typed that is not a number, ""
// or "-" (the beginnings of one) shows "Nije ispravno upisan broj. Vrijednost će biti
// postavljena na nulu." and the box becomes "0". Comma or point is the decimal separator.
// A number beyond the box's kind of value (data/InputLimits.h; an amount unless the window says
// otherwise) shows the limits' message ("Cijena nesmije biti negativna !", "Broj mora biti
// između …") and the box becomes "0" the same way. The whole text is selected when the box
// receives focus.
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

Q_SIGNALS:
    // The user changed the value (typing, or the reset to 0 after a wrong entry).
    void valueEdited(double value);

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void OnTextEdited(const QString& text);

    Prompter& m_prompter;
    int m_decimals = -1;
    bool m_resetting = false;
    QString m_invalidMessage;
    limits::NumberKind m_kind = limits::NumberKind::Amount;
    QString m_what = QStringLiteral("Broj");
};

}  // namespace zodra::ui
