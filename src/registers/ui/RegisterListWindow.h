#pragma once

#include <QWidget>

#include "registers/RegisterDescription.h"
#include "registers/ui/RegisterWindowOptions.h"
#include "ui/CommandRegistry.h"

class QListWidget;
class QPushButton;

namespace zodra::ui {
class FieldForm;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {

// The list window (the register's list caption): the rows' names, the chosen row's fields
// edited in place (saved with the same checks as the entry window when the user moves to
// another row, presses "Spremi" or closes the window), "Dodaj" (the entry window) and
// "Izbriši" (when the register has a delete question). Its object name is the register's
// command, or its table when no menu command opens it. The description must outlive the
// window (the catalogue's do).
class RegisterListWindow : public QWidget {
    Q_OBJECT
public:
    RegisterListWindow(zodra::ui::WindowHost& host, const RegisterDescription& description,
                       const zodra::ui::CommandRegistry* registry,
                       RegisterWindowOptions options = {}, QWidget* parent = nullptr);

    void Reload(int selectCode = 0);
    int CurrentCode() const;
    bool SelectCode(int code);
    // Saves the shown row when it was changed; false (with the message shown) when refused.
    bool Save();
    void AddNew();
    void DeleteCurrent();
    zodra::ui::FieldForm* Form() const { return m_form; }
    QListWidget* List() const { return m_list; }
    bool Dirty() const { return m_dirty; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowRow(int code);
    void OnRowChanged(int row);
    void Changed();

    zodra::ui::WindowHost& m_host;
    const RegisterDescription& m_description;
    const zodra::ui::CommandRegistry* m_registry;
    RegisterWindowOptions m_options;
    QListWidget* m_list;
    zodra::ui::FieldForm* m_form;
    QPushButton* m_delete;
    QPushButton* m_save;
    int m_shownCode = 0;
    int m_shownRow = -1;
    bool m_dirty = false;
    bool m_moving = false;
};

// The object name of a register's list window.
QString ListWindowName(const RegisterDescription& description);

// Shows the list window (or brings an open one to the front).
RegisterListWindow* ShowRegisterList(zodra::ui::WindowHost& host,
                                     const RegisterDescription& description,
                                     const zodra::ui::CommandRegistry* registry,
                                     const RegisterWindowOptions& options = {});

}  // namespace zodra::registers::ui
