#include "data/ScriptedPrompter.h"

namespace zodra {

std::optional<ScriptedPrompter::Answer> ScriptedPrompter::Take() {
    if (m_answers.empty()) {
        return std::nullopt;
    }
    Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}

bool ScriptedPrompter::AskYesNo(const QString& text, const QString&, bool defaultYes) {
    m_shown << text;
    const auto answer = Take();
    if (answer && answer->kind == Answer::Kind::YesNo) {
        return answer->yes;
    }
    return defaultYes;
}

void ScriptedPrompter::Inform(const QString& text, const QString&) {
    m_shown << text;
    m_messages << text;
}

std::optional<QString> ScriptedPrompter::AskText(const QString& text, const QString&,
                                                 const QString&) {
    m_shown << text;
    const auto answer = Take();
    if (answer && answer->kind == Answer::Kind::Text) {
        return answer->text;
    }
    return std::nullopt;
}

QString ScriptedPrompter::ChooseFileToOpen(const QString& title, const QString&, const QString&) {
    m_shown << title;
    const auto answer = Take();
    if (answer && answer->kind == Answer::Kind::Text) {
        return answer->text;
    }
    return QString();
}

QString ScriptedPrompter::ChooseFileToSave(const QString& title, const QString&, const QString&,
                                           const QString&) {
    m_shown << title;
    const auto answer = Take();
    if (answer && answer->kind == Answer::Kind::Text) {
        return answer->text;
    }
    return QString();
}

}  // namespace zodra
