#pragma once

#include <QDialog>
#include <array>

#include "books/KpiEntryForm.h"

class QComboBox;
class QLineEdit;

namespace zodra::ui {
class DateBox;
class NumberBox;
}  // namespace zodra::ui

namespace zodra::books::ui {

// "Upis primitaka i izdataka", modal: serial number (the next free one), date (today), voucher
// number, description, entry type, the five receipt and the six expenditure amounts. Leaving an
// amount computes both totals again. "Prihvati" writes the entry and closes; a refusal is shown
// and the window stays open with what was typed. "Odustani" closes without writing.
class KpiEntryDialog : public QDialog {
    Q_OBJECT
public:
    KpiEntryDialog(Session& session, Prompter& prompter, QWidget* parent = nullptr);

    // Shows a proposed entry (an R-2 collection or payment) in the fields.
    void Propose(const KpiEntry& entry);

    QLineEdit* NumberField() const { return m_number; }
    zodra::ui::DateBox* DateField() const { return m_date; }
    QLineEdit* VoucherField() const { return m_voucher; }
    QLineEdit* DescriptionField() const { return m_description; }
    QComboBox* TypeField() const { return m_type; }
    zodra::ui::NumberBox* AmountField(int amount) const {
        return m_amounts[static_cast<std::size_t>(amount)];
    }
    int WrittenNumber() const { return m_form.WrittenNumber(); }

    void Accept();  // "Prihvati"

private:
    void Collect();
    void ShowForm();
    void AmountLeft(int amount);

    Session& m_session;
    KpiEntryForm m_form;
    QLineEdit* m_number = nullptr;
    zodra::ui::DateBox* m_date = nullptr;
    QLineEdit* m_voucher = nullptr;
    QLineEdit* m_description = nullptr;
    QComboBox* m_type = nullptr;
    std::array<zodra::ui::NumberBox*, kKpiAmountCount> m_amounts{};
};

}  // namespace zodra::books::ui
