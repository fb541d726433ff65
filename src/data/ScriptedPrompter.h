#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>

#include "data/Prompter.h"

namespace zodra {

// A prompter for tests and scripted runs: answers are queued in advance; every text asked or
// shown is recorded in order. A question with no queued answer takes its default (Yes/No) or
// is cancelled (input and file boxes), and is recorded as such.
class ScriptedPrompter final : public Prompter {
public:
    // Queue answers in the order the questions will come.
    ScriptedPrompter& AnswerYes() {
        m_answers.push_back(Answer{Answer::Kind::YesNo, true, QString()});
        return *this;
    }
    ScriptedPrompter& AnswerNo() {
        m_answers.push_back(Answer{Answer::Kind::YesNo, false, QString()});
        return *this;
    }
    ScriptedPrompter& AnswerText(const QString& text) {
        m_answers.push_back(Answer{Answer::Kind::Text, false, text});
        return *this;
    }
    ScriptedPrompter& Cancel() {
        m_answers.push_back(Answer{Answer::Kind::Cancel, false, QString()});
        return *this;
    }

    bool AskYesNo(const QString& text, const QString& title, bool defaultYes = false) override;
    void Inform(const QString& text, const QString& title = QString()) override;
    std::optional<QString> AskText(const QString& text, const QString& title,
                                   const QString& preset = QString()) override;
    QString ChooseFileToOpen(const QString& title, const QString& filter,
                             const QString& folder) override;
    QString ChooseFileToSave(const QString& title, const QString& filter, const QString& folder,
                             const QString& defaultSuffix) override;

    // Every text shown or asked, in order.
    const QStringList& Shown() const { return m_shown; }
    // Only the messages (Inform), in order.
    const QStringList& Messages() const { return m_messages; }
    QString LastMessage() const { return m_messages.isEmpty() ? QString() : m_messages.last(); }
    int PendingAnswers() const { return static_cast<int>(m_answers.size()); }
    void Clear() {
        m_shown.clear();
        m_messages.clear();
        m_answers.clear();
    }

private:
    struct Answer {
        enum class Kind { Cancel, YesNo, Text } kind;
        bool yes;
        QString text;
    };
    std::optional<Answer> Take();

    std::deque<Answer> m_answers;
    QStringList m_shown;
    QStringList m_messages;
};

}  // namespace zodra
