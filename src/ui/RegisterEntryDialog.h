#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "ui/CommandRegistry.h"
#include "ui/RegisterDescription.h"

namespace zodra::ui {

class FieldForm;
class WindowHost;

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

// Opens the register's entry window modally; the new row, or std::nullopt when cancelled.
std::optional<NewRow> OpenRegisterEntry(WindowHost& host,
                                        std::shared_ptr<const RegisterDescription> description,
                                        const CommandRegistry* registry, QWidget* parent);

}  // namespace zodra::ui
