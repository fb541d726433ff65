#pragma once

#include <QWidget>
#include <memory>

#include "ui/CommandRegistry.h"
#include "ui/RegisterDescription.h"

class QListWidget;
class QPushButton;

namespace zodra::ui {

class FieldForm;
class WindowHost;

// The list window: the rows' names, the chosen row's fields edited in place (saved with the
// same checks as the entry window when the user moves to another row, presses "Spremi" or
// closes the window), "Dodaj" (the entry window) and "Izbriši".
class RegisterListWindow : public QWidget {
    Q_OBJECT
public:
    RegisterListWindow(WindowHost& host, std::shared_ptr<const RegisterDescription> description,
                       const CommandRegistry* registry, QWidget* parent = nullptr);

    void Reload(int selectCode = 0);
    int CurrentCode() const;
    bool SelectCode(int code);
    // Saves the shown row when it was changed; false (with the message shown) when refused.
    bool Save();
    void AddNew();
    void DeleteCurrent();
    FieldForm* Form() const { return m_form; }
    QListWidget* List() const { return m_list; }
    bool Dirty() const { return m_dirty; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowRow(int code);
    void OnRowChanged(int row);

    WindowHost& m_host;
    std::shared_ptr<const RegisterDescription> m_description;
    const CommandRegistry* m_registry;
    QListWidget* m_list;
    FieldForm* m_form;
    QPushButton* m_delete;
    QPushButton* m_save;
    int m_shownCode = 0;
    int m_shownRow = -1;
    bool m_dirty = false;
    bool m_moving = false;
};

// Shows the list window (or brings an open one to the front).
RegisterListWindow* ShowRegisterList(WindowHost& host,
                                     std::shared_ptr<const RegisterDescription> description,
                                     const CommandRegistry* registry);

}  // namespace zodra::ui
