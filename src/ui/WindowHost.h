#pragma once

#include <QString>

class QMdiSubWindow;
class QWidget;

namespace zodra {
class Prompter;
class Session;
}  // namespace zodra

namespace zodra::ui {

// What the main window offers the windows of every subsystem. A command handler gets the host,
// reads the session from it, asks its questions through its prompter and hangs its window in
// the main window's window area.
class WindowHost {
public:
    virtual ~WindowHost() = default;

    // The working session (open company, user, warehouse, year, session codes, settings).
    virtual Session& CurrentSession() = 0;
    // Every question and message to the user.
    virtual Prompter& UserPrompter() = 0;
    // The parent for modal dialogs.
    virtual QWidget* DialogParent() = 0;

    // Shows a window in the main window's window area under its caption and gives it to the
    // host (it is deleted when closed, and when the warehouse is changed or the company
    // closed). The window's objectName names it for FindWindow.
    virtual QMdiSubWindow* ShowWindow(QWidget* window, const QString& caption) = 0;
    // An open window of that objectName (brought to the front), or nullptr.
    virtual QWidget* FindWindow(const QString& objectName) = 0;

    // The status-bar text (by convention a blank followed by the description).
    virtual void SetStatusText(const QString& text) = 0;
    // Fills the warehouse box "Aktivno skladište" again (after a warehouse was added or renamed).
    virtual void RefillWarehouses() = 0;
    // Reads the company options again and applies them to the menus (after the company data
    // were saved: the "R-2" books, the article order).
    virtual void ReloadCompanyOptions() = 0;
    // Runs a command of the catalogue by control name, as its menu item would.
    virtual void RunCommand(const QString& controlName) = 0;
};

}  // namespace zodra::ui
