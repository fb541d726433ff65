#include "ui/DateBox.h"

#include <QFocusEvent>
#include <QTimer>

#include "data/InputRules.h"
#include "data/Prompter.h"

namespace zodra::ui {

DateBox::DateBox(Prompter& prompter, QWidget* parent)
    : QLineEdit(parent), m_prompter(prompter), m_today([] { return QDate::currentDate(); }) {
    setMaxLength(12);
    SetDate(m_today());
}

void DateBox::SetDate(const QDate& date) {
    m_date = date;
    setText(inputrules::FormatDate(date));
}

bool DateBox::Commit() {
    if (m_committing) {
        return true;
    }
    m_committing = true;
    const auto parsed = inputrules::ParseDate(text(), m_today());
    std::optional<QString> refusal;
    if (!parsed) {
        refusal = inputrules::InvalidDateMessage();
    } else {
        refusal = inputrules::DateBoxRefusal(*parsed, m_businessYear, m_what);
    }
    if (refusal) {
        m_prompter.Inform(*refusal);
        Accept(m_today(), true);
    } else {
        Accept(*parsed, true);
    }
    m_committing = false;
    return !refusal.has_value();
}

void DateBox::Accept(const QDate& date, bool byUser) {
    const bool changed = date != m_date;
    m_date = date;
    setText(inputrules::FormatDate(date));
    if (changed && byUser) {
        if (m_sundayWarning && inputrules::IsSunday(date)) {
            m_prompter.Inform(inputrules::SundayMessage());
        }
        Q_EMIT dateEdited(date);
    }
}

void DateBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    QTimer::singleShot(0, this, &QLineEdit::selectAll);
}

void DateBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A menu or another window taking the focus for a moment is not leaving the box.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) {
        return;
    }
    if (!isReadOnly()) {
        Commit();
    }
}

}  // namespace zodra::ui
