#pragma once

#include <QPointer>
#include <QWidget>

#include "data/Prompter.h"

namespace zodra::ui {

// The prompter of the desktop program: message boxes, input boxes and file dialogs, parented
// to the active window (else to the window given). Yes/No questions have No as the default
// unless the caller asks otherwise; Escape always answers No.
class QtPrompter final : public Prompter {
public:
    explicit QtPrompter(QWidget* fallbackParent = nullptr) : m_parent(fallbackParent) {}
    void SetFallbackParent(QWidget* parent) { m_parent = parent; }

    bool AskYesNo(const QString& text, const QString& title, bool defaultYes = false) override;
    void Inform(const QString& text, const QString& title = QString()) override;
    std::optional<QString> AskText(const QString& text, const QString& title,
                                   const QString& preset = QString()) override;
    std::optional<QString> AskPassword(const QString& text, const QString& title) override;
    QString ChooseFileToOpen(const QString& title, const QString& filter,
                             const QString& folder) override;
    QString ChooseFileToSave(const QString& title, const QString& filter, const QString& folder,
                             const QString& defaultSuffix) override;

    // "Zodra datoteke|*.mdb" (name and pattern pairs separated by "|") as a Qt file filter
    // "Zodra datoteke (*.mdb)"; a filter already in Qt's form is kept.
    static QString ToQtFilter(const QString& filter);

private:
    QWidget* Parent() const;
    std::optional<QString> AskLine(const QString& text, const QString& title, const QString& preset,
                                   bool password);

    QPointer<QWidget> m_parent;
};

}  // namespace zodra::ui
