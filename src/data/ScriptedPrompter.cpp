#include "data/ScriptedPrompter.h"

namespace zodra {

// GCC 12 at -O2 reports the QString inside the moved variant as possibly uninitialised (a known
// false positive of its variant copy); the value is always constructed.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
std::optional<ScriptedPrompter::Answer> ScriptedPrompter::Take() {
    if (m_answers.empty()) {
        return std::nullopt;
    }
    Answer a = m_answers.front();
    m_answers.pop_front();
    return a;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

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
