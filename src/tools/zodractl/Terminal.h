#pragma once

#include <QString>

#include "data/Prompter.h"

namespace zodractl {

// Reads a password: from the environment variable when set, else from the terminal without
// echo, else (no terminal) an empty password. Never from the command line.
QString ReadPassword(const char* environmentVariable, const QString& prompt);

void Out(const QString& text);
void Err(const QString& text);

// Questions and messages of a command without a window. Every question is written to the error
// output with the answer taken: Yes for every question when `yes`, else the question's own
// default. Messages go to the standard output when they are the command's result
// (`informsAreResults`), else to the error output, so that a script reading the result does not
// read them (e.g. the corrections the session start makes to the configuration).
class CommandLinePrompter final : public zodra::Prompter {
public:
    explicit CommandLinePrompter(bool yes, bool informsAreResults = false)
        : m_yes(yes), m_informsAreResults(informsAreResults) {}
    bool AskYesNo(const QString& text, const QString& title, bool defaultYes) override;
    void Inform(const QString& text, const QString& title) override;
    std::optional<QString> AskText(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    QString ChooseFileToOpen(const QString&, const QString&, const QString&) override {
        return QString();
    }
    QString ChooseFileToSave(const QString&, const QString&, const QString&,
                             const QString&) override {
        return QString();
    }

private:
    bool m_yes;
    bool m_informsAreResults;
};

// What a session start says without a window: its corrections of the configuration (e.g.
// "Skladišna metoda nije ispravno postavljena, …") go to the error output. The rates of the day
// it would ask for stay unanswered (typing them is the windows' business), and the message that
// follows an unanswered rate is not repeated on every command.
class SessionStartPrompter final : public zodra::Prompter {
public:
    bool AskYesNo(const QString& text, const QString& title, bool defaultYes) override;
    void Inform(const QString& text, const QString& title) override;
    std::optional<QString> AskText(const QString&, const QString&, const QString&) override {
        m_declined = true;
        return std::nullopt;
    }
    QString ChooseFileToOpen(const QString&, const QString&, const QString&) override {
        return QString();
    }
    QString ChooseFileToSave(const QString&, const QString&, const QString&,
                             const QString&) override {
        return QString();
    }

private:
    bool m_declined = false;
};

}  // namespace zodractl
