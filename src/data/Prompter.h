#pragma once

#include <QString>
#include <optional>

namespace zodra {

// Every question to the user goes through this interface. Windows use a message-box
// implementation; tests script the answers and record every text shown, so that a flow can be
// checked with its exact Croatian messages. Core code never shows anything itself.
class Prompter {
public:
    virtual ~Prompter() = default;

    // A Yes/No question. Destructive questions default to No.
    virtual bool AskYesNo(const QString& text, const QString& title, bool defaultYes = false) = 0;
    // A message the user acknowledges.
    virtual void Inform(const QString& text, const QString& title = QString()) = 0;
    // An input box; std::nullopt when cancelled.
    virtual std::optional<QString> AskText(const QString& text, const QString& title,
                                           const QString& preset = QString()) = 0;
    // File dialogs; an empty text when cancelled.
    virtual QString ChooseFileToOpen(const QString& title, const QString& filter,
                                     const QString& folder) = 0;
    virtual QString ChooseFileToSave(const QString& title, const QString& filter,
                                     const QString& folder, const QString& defaultSuffix) = 0;
    // A password input box (text not shown); std::nullopt when cancelled.
    virtual std::optional<QString> AskPassword(const QString& text, const QString& title) {
        return AskText(text, title);
    }
};

}  // namespace zodra
