#include "ui/NumberBox.h"

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

void NumberBox::OnTextEdited(const QString& text) {
    if (m_resetting) {
        return;
    }
    std::optional<QString> refusal;
    if (!inputrules::IsAcceptableNumberText(text)) {
        refusal =
            m_invalidMessage.isEmpty() ? inputrules::InvalidNumberMessage() : m_invalidMessage;
    } else {
        refusal = inputrules::NumberBoxRefusal(Value(), m_kind, m_what);
    }
    if (refusal) {
        m_resetting = true;
        m_prompter.Inform(*refusal);
        setText(QStringLiteral("0"));
        selectAll();
        m_resetting = false;
    }
    Q_EMIT valueEdited(Value());
}

}  // namespace zodra::ui
