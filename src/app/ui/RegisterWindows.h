#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QVariantMap>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/ui/CommandRegistry.h"
#include "app/ui/FieldForm.h"
#include "data/RegisterTable.h"

class QListWidget;
class QPushButton;

namespace zodra {
class Session;
}

namespace zodra::ui {

class WindowHost;

// A register as its windows see it: captions, the fields of the entry and list windows, and
// the core operations behind them. Every register has the same two windows: a list window
// (names on the left, the chosen row in bound fields on the right, edited in place) and an
// entry window for a new row that hands the new row's name and code back to its opener.
struct RegisterDescription {
    QString name;          // register (table) name, e.g. "SKLADISTA": the entry window's key
    QString command;       // control name of the list window's command, e.g. "Skladista"
    QString listCaption;   // "Skladišta"
    QString entryCaption;  // "Upis novog skladišta"
    QList<FieldSpec> fields;
    QString nameKey = QStringLiteral("NAZIV");  // the field that names a row

    // Core operations. A refusal is a UserError with its message.
    std::function<QList<RegisterRow>(Session&)> list;      // names in list order
    std::function<QVariantMap(Session&, int code)> read;   // values of one row
    std::function<int(Session&, const QVariantMap&)> add;  // checks, adds, new code
    std::function<void(Session&, int, const QVariantMap&)>
        update;  // checks, saves; null: read-only
    // The delete question (Yes/No titled "BRISANJE", No the default) for a row name; null: the
    // register has no delete.
    std::function<QString(const QString& name)> deleteQuestion;
    std::function<void(Session&, int code)> remove;  // guards, deletes
    // After a row was added, changed or deleted (e.g. refill the main window's warehouse box).
    std::function<void(WindowHost&)> afterChange;
};

// A description for a simple register kept by a RegisterTable.
void UseRegisterTable(RegisterDescription& description, const RegisterTable& table);

// The entry window ("Upis novog …"): the fields, "Prihvati" and "Odustani". "Prihvati" runs
// the register's checks; a refusal shows its message and keeps everything typed.
class RegisterEntryDialog : public QDialog {
    Q_OBJECT
public:
    RegisterEntryDialog(WindowHost& host, std::shared_ptr<const RegisterDescription> description,
                        const CommandRegistry* registry, QWidget* parent = nullptr);
    std::optional<NewRow> Added() const { return m_added; }
    FieldForm* Form() const { return m_form; }
    // "Prihvati": returns true when the row was added.
    bool Accept();

private:
    WindowHost& m_host;
    std::shared_ptr<const RegisterDescription> m_description;
    FieldForm* m_form;
    std::optional<NewRow> m_added;
};

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

// Opens the register's entry window modally; the new row, or std::nullopt when cancelled.
std::optional<NewRow> OpenRegisterEntry(WindowHost& host,
                                        std::shared_ptr<const RegisterDescription> description,
                                        const CommandRegistry* registry, QWidget* parent);
// Shows the list window (or brings an open one to the front).
RegisterListWindow* ShowRegisterList(WindowHost& host,
                                     std::shared_ptr<const RegisterDescription> description,
                                     const CommandRegistry* registry);
// Binds the register's list command and its entry window in the registry. The registry must
// outlive the windows (it is the program's).
void BindRegister(CommandRegistry& registry,
                  std::shared_ptr<const RegisterDescription> description);

}  // namespace zodra::ui
