#pragma once

#include <QDialog>
#include <optional>

#include "registers/RegisterDescription.h"
#include "registers/ui/RegisterWindowOptions.h"
#include "ui/CommandRegistry.h"

namespace zodra::ui {
class FieldForm;
class WindowHost;
}  // namespace zodra::ui

namespace zodra::registers::ui {

// The entry window ("Upis novog …", the register's entry caption): the fields, "Prihvati" and
// "Odustani". "Prihvati" runs the register's checks; a refusal shows its message and keeps
// everything typed. The description must outlive the window (the catalogue's do).
class RegisterEntryDialog : public QDialog {
    Q_OBJECT
public:
    RegisterEntryDialog(zodra::ui::WindowHost& host, const RegisterDescription& description,
                        const zodra::ui::CommandRegistry* registry,
                        RegisterWindowOptions options = {}, QWidget* parent = nullptr);
    std::optional<zodra::ui::NewRow> Added() const { return m_added; }
    zodra::ui::FieldForm* Form() const { return m_form; }
    // "Prihvati": returns true when the row was added.
    bool Accept();

private:
    zodra::ui::WindowHost& m_host;
    const RegisterDescription& m_description;
    RegisterWindowOptions m_options;
    zodra::ui::FieldForm* m_form;
    std::optional<zodra::ui::NewRow> m_added;
};

// Opens the register's entry window modally; the new row, or std::nullopt when cancelled.
std::optional<zodra::ui::NewRow> OpenRegisterEntry(zodra::ui::WindowHost& host,
                                                   const RegisterDescription& description,
                                                   const zodra::ui::CommandRegistry* registry,
                                                   const RegisterWindowOptions& options,
                                                   QWidget* parent);

}  // namespace zodra::registers::ui
