#include "ui/NumberBox.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QTimer>

#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"

namespace zodra::ui {

NumberBox::NumberBox(Prompter& prompter, QWidget* parent)
    : QLineEdit(parent), m_prompter(prompter) {
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setText(QStringLiteral("0"));
    connect(this, &QLineEdit::textEdited, this, &NumberBox::OnTextEdited);
}

double NumberBox::Value() const {
    return inputrules::ParseNumber(text()).value_or(0.0);
}

void NumberBox::SetValue(double value, int decimals) {
    const int d = decimals >= 0 ? decimals : m_decimals;
    if (d >= 0) {
        setText(
            FixedNumberText(value, d, QLocale::c()).replace(QLatin1Char('.'), QLatin1Char(',')));
    } else {
        setText(inputrules::FormatNumber(value));
    }
}

void NumberBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

void NumberBox::focusOutEvent(QFocusEvent* event) {
    // A menu, a message or another window taking the focus for a moment is not leaving the box.
    const bool leaving = event->reason() != Qt::PopupFocusReason &&
                         event->reason() != Qt::ActiveWindowFocusReason && !isReadOnly();
    if (!leaving || Commit()) {
        QLineEdit::focusOutEvent(event);
        return;
    }
    // Refused: the window hears nothing of this leaving (its own checks would speak of the "0"
    // a second time; the line edit's own handling, which would report it, is passed over), and
    // the focus comes back to the box once it has settled where it went. Left again, the box
    // reports its 0.
    QWidget::focusOutEvent(event);
    QTimer::singleShot(0, this, [this] {
        if (isVisible() && isEnabled()) {
            setFocus(Qt::OtherFocusReason);
            selectAll();
        }
    });
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
    // A box that keeps Enter for itself (the input conventions make it leave the box otherwise)
    // is checked before its window acts on the Enter.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly() &&
        !Commit()) {
        selectAll();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

bool NumberBox::Commit() {
    if (m_committing) {
        return true;
    }
    std::optional<QString> refusal;
    if (const auto value = inputrules::ParseNumber(text())) {
        refusal = inputrules::NumberBoxRefusal(*value, m_kind, m_what);
    } else {
        refusal =
            m_invalidMessage.isEmpty() ? inputrules::InvalidNumberMessage() : m_invalidMessage;
    }
    if (!refusal) {
        return true;
    }
    m_committing = true;
    m_prompter.Inform(*refusal);
    setText(QStringLiteral("0"));
    // The 0 stands in for what was typed: the window takes it when the box is left again.
    setModified(true);
    selectAll();
    m_committing = false;
    Q_EMIT valueEdited(0.0);
    return false;
}

void NumberBox::OnTextEdited(const QString& text) {
    if (m_committing) {
        return;
    }
    // What does not read as a number yet ("1e", "12a") waits for the box to be left.
    if (inputrules::ParseNumber(text)) {
        Q_EMIT valueEdited(Value());
    }
}

}  // namespace zodra::ui
