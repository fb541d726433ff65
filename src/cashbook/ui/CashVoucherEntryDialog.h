#pragma once

#include <QDialog>

#include "cashbook/VoucherEntry.h"

class QLineEdit;

namespace zodra::ui {
class DateBox;
class NumberBox;
}  // namespace zodra::ui

namespace zodra::cashbook::ui {

// "Upis u blagajnu", modal, captioned "Upis uplatnice" or "Upis isplatnice": number (the next
// free one), date (today), who ("Od koga :" / "Kome :"), purpose, amount and the amount in
// words, which follows every change of the amount. "Prihvati" appends the voucher and closes;
// a number taken meanwhile by another workstation is reported and replaced by the next free
// one, and the window stays open. "Odustani" closes without writing.
class CashVoucherEntryDialog : public QDialog {
    Q_OBJECT
public:
    CashVoucherEntryDialog(Session& session, Prompter& prompter, cashbook::VoucherKind kind,
                           QWidget* parent = nullptr);

    QLineEdit* NumberField() const { return m_number; }
    zodra::ui::DateBox* DateField() const { return m_date; }
    QLineEdit* PartyField() const { return m_party; }
    QLineEdit* PurposeField() const { return m_purpose; }
    zodra::ui::NumberBox* AmountField() const { return m_amount; }
    QLineEdit* WordsField() const { return m_words; }

    // "Prihvati".
    void Accept();

private:
    void NumberLeft();
    void AmountEdited();
    void ShowEntry();

    cashbook::VoucherEntry m_entry;
    QLineEdit* m_number = nullptr;
    zodra::ui::DateBox* m_date = nullptr;
    QLineEdit* m_party = nullptr;
    QLineEdit* m_purpose = nullptr;
    zodra::ui::NumberBox* m_amount = nullptr;
    QLineEdit* m_words = nullptr;
};

}  // namespace zodra::cashbook::ui
