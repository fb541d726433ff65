#include "books/ui/KpiEntryDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Session.h"
#include "ui/DateBox.h"
#include "ui/DialogButtonRow.h"
#include "ui/NumberBox.h"
#include "ui/WindowTools.h"

namespace zodra::books::ui {

KpiEntryDialog::KpiEntryDialog(Session& session, Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_session(session), m_form(session, prompter) {
    setWindowTitle(KpiEntryCaption());
    setObjectName(QStringLiteral("KPI_Upis"));
    m_number = new QLineEdit(this);
    m_date = new zodra::ui::DateBox(prompter, this);
    m_voucher = new QLineEdit(this);
    m_description = new QLineEdit(this);
    m_description->setMinimumWidth(380);
    m_type = new QComboBox(this);
    for (const KpiEntryType& t : KpiEntryTypes(session.Db())) {
        m_type->addItem(QString::number(t.code) + QStringLiteral(" - ") + t.name, t.code);
    }
    m_type->addItem(QString(), QVariant());

    auto* head = new QFormLayout;
    head->addRow(QStringLiteral("Redni broj :"), m_number);
    head->addRow(QStringLiteral("Datum :"), m_date);
    head->addRow(QStringLiteral("Broj temeljnice :"), m_voucher);
    head->addRow(QStringLiteral("Opis isprave :"), m_description);
    head->addRow(QStringLiteral("Tip upisa :"), m_type);

    auto* receipts = new QGroupBox(QStringLiteral("Primici"), this);
    auto* expenditures = new QGroupBox(QStringLiteral("Izdaci"), this);
    auto* receiptForm = new QFormLayout(receipts);
    auto* expenditureForm = new QFormLayout(expenditures);
    for (int i = 0; i < kKpiAmountCount; ++i) {
        auto* box = new zodra::ui::NumberBox(prompter, this);
        box->SetDecimals(2);
        box->SetLimit(limits::NumberKind::Amount, KpiAmountLabel(i).chopped(2));
        box->setObjectName(KpiEntryColumn(i));
        m_amounts[static_cast<std::size_t>(i)] = box;
        (i <= kReceiptsTotal ? receiptForm : expenditureForm)->addRow(KpiAmountLabel(i), box);
        connect(box, &QLineEdit::editingFinished, this, [this, i] { AmountLeft(i); });
    }
    // The totals are computed, not typed.
    m_amounts[kReceiptsTotal]->setReadOnly(true);
    m_amounts[kAllowedExpenditures]->setReadOnly(true);
    m_amounts[kReceiptsTotal]->setFocusPolicy(Qt::NoFocus);
    m_amounts[kAllowedExpenditures]->setFocusPolicy(Qt::NoFocus);

    auto* amounts = new QHBoxLayout;
    amounts->addWidget(receipts);
    amounts->addWidget(expenditures);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &KpiEntryDialog::Accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(amounts);
    layout->addWidget(buttons);

    connect(m_number, &QLineEdit::editingFinished, this, [this] {
        m_form.numberText = m_number->text();
        if (!m_form.NumberLeft()) {
            m_number->setText(m_form.numberText);
            m_number->setFocus();
            m_number->selectAll();
        }
    });
    connect(m_voucher, &QLineEdit::editingFinished, this, [this] {
        m_form.voucher = m_voucher->text();
        if (!m_form.VoucherLeft()) {
            m_voucher->setFocus();
        }
    });
    connect(m_description, &QLineEdit::editingFinished, this, [this] {
        m_form.description = m_description->text();
        if (!m_form.DescriptionLeft()) {
            m_description->setFocus();
        }
    });
    ShowForm();
    zodra::ui::FocusFirstField(this);
}

void KpiEntryDialog::Propose(const KpiEntry& entry) {
    m_form.Fill(entry);
    ShowForm();
}

void KpiEntryDialog::ShowForm() {
    m_number->setText(m_form.numberText);
    m_date->SetDate(m_form.date);
    m_voucher->setText(m_form.voucher);
    m_description->setText(m_form.description);
    const int index = m_type->findData(m_form.type ? QVariant(*m_form.type) : QVariant());
    m_type->setCurrentIndex(index >= 0 ? index : m_type->count() - 1);
    for (std::size_t i = 0; i < m_amounts.size(); ++i) {
        m_amounts[i]->setText(m_form.amountTexts[i]);
    }
}

void KpiEntryDialog::Collect() {
    m_date->Commit();
    m_form.numberText = m_number->text();
    m_form.date = m_date->Date();
    m_form.voucher = m_voucher->text();
    m_form.description = m_description->text();
    const QVariant type = m_type->currentData();
    m_form.type = type.isValid() ? std::optional<int>(type.toInt()) : std::nullopt;
    for (std::size_t i = 0; i < m_amounts.size(); ++i) {
        m_form.amountTexts[i] = m_amounts[i]->text();
    }
}

void KpiEntryDialog::AmountLeft(int amount) {
    m_form.amountTexts[static_cast<std::size_t>(amount)] =
        m_amounts[static_cast<std::size_t>(amount)]->text();
    m_form.AmountLeft(amount);
    m_amounts[static_cast<std::size_t>(amount)]->setText(
        m_form.amountTexts[static_cast<std::size_t>(amount)]);
    m_amounts[kReceiptsTotal]->setText(m_form.amountTexts[kReceiptsTotal]);
    m_amounts[kAllowedExpenditures]->setText(m_form.amountTexts[kAllowedExpenditures]);
}

void KpiEntryDialog::Accept() {
    for (auto* box : m_amounts) {
        box->Commit();
    }
    Collect();
    if (m_form.Accept()) {
        accept();
        return;
    }
    ShowForm();
}

}  // namespace zodra::books::ui
