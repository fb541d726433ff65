#include "assets/ui/FixedAssetEntryDialog.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/InputLimits.h"
#include "ui/DialogButtonRow.h"
#include "ui/NumberBox.h"

namespace zodra::assets::ui {

using zodra::ui::NumberBox;

FixedAssetEntryDialog::FixedAssetEntryDialog(Database& db, int year, Prompter& prompter,
                                             QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_entry(db, year, prompter) {
    Build();
}

FixedAssetEntryDialog::FixedAssetEntryDialog(Database& db, int year, Prompter& prompter,
                                             const FixedAsset& existing, QWidget* parent)
    : QDialog(parent), m_prompter(prompter), m_entry(db, year, prompter, existing) {
    Build();
}

void FixedAssetEntryDialog::Build() {
    setWindowTitle(EntryCaption());
    setObjectName(QStringLiteral("PDI_Upis"));
    const auto money = [this](const QString& what) {
        auto* box = new NumberBox(m_prompter, this);
        box->SetDecimals(2);
        box->SetLimit(limits::NumberKind::Price, what);
        box->setAlignment(Qt::AlignRight);
        return box;
    };
    m_number = new QLineEdit(this);
    m_name = new QLineEdit(this);
    m_name->setMinimumWidth(380);
    m_document = new QLineEdit(this);
    m_purchase = money(QStringLiteral("Nabavna vrijednost"));
    m_book = money(QStringLiteral("Knjigovodstvena vrijednost"));
    m_group = new QLineEdit(this);
    m_rate = new NumberBox(m_prompter, this);
    m_rate->SetLimit(limits::NumberKind::TaxRate, QStringLiteral("Stopa otpisa"));
    m_rate->setAlignment(Qt::AlignRight);
    m_months = new QLineEdit(this);
    m_months->setAlignment(Qt::AlignRight);
    m_depreciation = money(QStringLiteral("Svota otpisa"));
    m_yearEnd = money(QStringLiteral("Knjigovodstvena vrijednost na kraju godine"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Rbr :"), m_number);
    form->addRow(QStringLiteral("Naziv stvari ili prava :"), m_name);
    form->addRow(QStringLiteral("Isprava broj/nadnevak :"), m_document);
    form->addRow(QStringLiteral("Nabavna vrijednost :"), m_purchase);
    form->addRow(QStringLiteral("Knjigovodstvena vrijednost :"), m_book);
    form->addRow(QStringLiteral("Skupina :"), m_group);
    form->addRow(QStringLiteral("Stopa otpisa (%) :"), m_rate);
    form->addRow(QStringLiteral("Broj mjeseci :"), m_months);
    form->addRow(QStringLiteral("Svota otpisa :"), m_depreciation);
    form->addRow(QStringLiteral("Knjig. vrijednost na kraju godine :"), m_yearEnd);

    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &FixedAssetEntryDialog::Accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_number, &QLineEdit::editingFinished, this, [this] {
        m_entry.numberText = m_number->text();
        if (!m_entry.NumberLeft()) {
            m_number->setText(m_entry.numberText);
            m_number->setFocus();
            m_number->selectAll();
        }
    });
    connect(m_name, &QLineEdit::editingFinished, this,
            [this] { TextLeft(m_name, &FixedAssetEntry::NameLeft); });
    connect(m_document, &QLineEdit::editingFinished, this,
            [this] { TextLeft(m_document, &FixedAssetEntry::DocumentLeft); });
    connect(m_group, &QLineEdit::editingFinished, this,
            [this] { TextLeft(m_group, &FixedAssetEntry::GroupLeft); });
    // The depreciation follows every change of the figures it is computed from.
    for (NumberBox* box : {m_purchase, m_book, m_rate}) {
        connect(box, &NumberBox::valueEdited, this, [this] {
            Collect();
            m_entry.Recompute();
            ShowComputed();
        });
    }
    // Unchanged months leave a typed depreciation alone.
    connect(m_months, &QLineEdit::editingFinished, this, [this] {
        if (m_months->text() != m_entry.monthsText) {
            MonthsLeft();
        }
    });
    connect(m_depreciation, &NumberBox::valueEdited, this, [this] {
        Collect();
        m_entry.DepreciationEdited();
        m_yearEnd->SetValue(m_entry.asset.yearEndValue, 2);
    });
    connect(m_yearEnd, &NumberBox::valueEdited, this, [this] {
        Collect();
        m_entry.YearEndEdited();
        m_depreciation->SetValue(m_entry.asset.depreciation, 2);
    });
    ShowAll();
    if (!m_entry.IsChange()) {
        ShowComputed();
    }
    m_number->setFocus();
}

bool FixedAssetEntryDialog::MonthsLeft() {
    Collect();
    m_entry.monthsText = m_months->text();
    const bool ok = m_entry.MonthsLeft();
    m_months->setText(m_entry.monthsText);
    ShowComputed();
    if (!ok) {
        m_months->setFocus();
        m_months->selectAll();
    }
    return ok;
}

void FixedAssetEntryDialog::TextLeft(QLineEdit* box, bool (FixedAssetEntry::*check)()) {
    Collect();
    if (!(m_entry.*check)()) {
        box->setFocus();
    }
}

void FixedAssetEntryDialog::Collect() {
    m_entry.numberText = m_number->text();
    m_entry.asset.name = m_name->text();
    m_entry.asset.document = m_document->text();
    m_entry.asset.group = m_group->text();
    m_entry.asset.purchaseValue = m_purchase->Value();
    m_entry.asset.bookValue = m_book->Value();
    m_entry.asset.rate = m_rate->Value();
    m_entry.asset.depreciation = m_depreciation->Value();
    m_entry.asset.yearEndValue = m_yearEnd->Value();
}

void FixedAssetEntryDialog::ShowComputed() {
    m_depreciation->SetValue(m_entry.asset.depreciation, 2);
    m_yearEnd->SetValue(m_entry.asset.yearEndValue, 2);
}

void FixedAssetEntryDialog::ShowAll() {
    const FixedAsset& a = m_entry.asset;
    m_number->setText(m_entry.numberText);
    m_name->setText(a.name);
    m_document->setText(a.document);
    m_purchase->SetValue(a.purchaseValue, 2);
    m_book->SetValue(a.bookValue, 2);
    m_group->setText(a.group);
    m_rate->SetValue(a.rate);
    m_months->setText(m_entry.monthsText);
    ShowComputed();
}

void FixedAssetEntryDialog::Accept() {
    // A box still being typed in is checked first, as leaving it would.
    for (NumberBox* box : {m_purchase, m_book, m_rate, m_depreciation, m_yearEnd}) {
        if (!box->Commit()) {
            return;
        }
    }
    // The months may still be in their box (Alt+P does not leave it).
    if (m_months->text() != m_entry.monthsText && !MonthsLeft()) {
        return;
    }
    Collect();
    if (m_entry.Accept()) {
        accept();
        return;
    }
    m_number->setText(m_entry.numberText);
}

}  // namespace zodra::assets::ui
