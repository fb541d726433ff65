#include "cashbook/ui/CashVoucherEntryDialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DateBox.h"
#include "ui/DialogButtonRow.h"
#include "ui/NumberBox.h"

namespace zodra::cashbook::ui {

CashVoucherEntryDialog::CashVoucherEntryDialog(Session& session, Prompter& prompter,
                                               cashbook::VoucherKind kind, QWidget* parent)
    : QDialog(parent), m_entry(session, kind, prompter) {
    setWindowTitle(m_entry.Caption());
    setObjectName(QStringLiteral("Upis u blagajnu"));
    m_number = new QLineEdit(this);
    m_date = new zodra::ui::DateBox(prompter, this);
    m_party = new QLineEdit(this);
    m_purpose = new QLineEdit(this);
    m_amount = new zodra::ui::NumberBox(prompter, this);
    m_amount->SetDecimals(2);
    m_words = new QLineEdit(this);
    m_words->setMinimumWidth(420);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Broj :"), m_number);
    form->addRow(QStringLiteral("Datum :"), m_date);
    form->addRow(m_entry.PartyLabel(), m_party);
    form->addRow(QStringLiteral("Za :"), m_purpose);
    form->addRow(QStringLiteral("Iznos :"), m_amount);
    form->addRow(QStringLiteral("Slovima :"), m_words);

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &CashVoucherEntryDialog::Accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_number, &QLineEdit::editingFinished, this, &CashVoucherEntryDialog::NumberLeft);
    connect(m_amount, &zodra::ui::NumberBox::valueEdited, this,
            &CashVoucherEntryDialog::AmountEdited);
    ShowEntry();
    m_number->setFocus();
}

void CashVoucherEntryDialog::ShowEntry() {
    m_number->setText(m_entry.numberText);
    m_date->SetDate(m_entry.date);
    m_words->setText(m_entry.words);
}

void CashVoucherEntryDialog::NumberLeft() {
    m_entry.numberText = m_number->text();
    if (!m_entry.NumberLeft()) {
        m_number->setText(m_entry.numberText);
        m_number->setFocus();
        m_number->selectAll();
    }
}

void CashVoucherEntryDialog::AmountEdited() {
    // The number box passes on only what reads as a number ("" and "-" on the way to one); what
    // does not is refused, and set to "0", when the box is left.
    m_entry.amountText = m_amount->text();
    m_entry.AmountChanged();
    m_amount->setText(m_entry.amountText);
    m_words->setText(m_entry.words);
}

void CashVoucherEntryDialog::Accept() {
    m_date->Commit();
    m_entry.numberText = m_number->text();
    m_entry.date = m_date->Date();
    m_entry.party = m_party->text();
    m_entry.purpose = m_purpose->text();
    m_entry.amountText = m_amount->text();
    m_entry.words = m_words->text();
    if (m_entry.Accept()) {
        accept();
        return;
    }
    ShowEntry();
    m_amount->setText(m_entry.amountText);
    m_number->setFocus();
}

}  // namespace zodra::cashbook::ui
