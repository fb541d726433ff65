#include "books/ui/UraEntryDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DialogButtonRow.h"
#include "ui/WindowTools.h"

namespace zodra::books::ui {

namespace {

QLineEdit* AmountField(QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(130);
    return field;
}

}  // namespace

UraEntryDialog::UraEntryDialog(Session& session, Prompter& prompter, int book, int number,
                               QWidget* parent)
    : QDialog(parent), m_session(session), m_prompter(prompter), m_entry(session, prompter, book) {
    setWindowTitle(QStringLiteral("Upis ulaznog računa"));
    setObjectName(QStringLiteral("Upis ulaznog računa"));
    m_number = new QLineEdit(this);
    m_invoiceNumber = new QLineEdit(this);
    m_invoiceNumber->setMaxLength(20);
    m_date = new QLineEdit(this);
    m_due = new QLineEdit(this);
    m_supplier = new QComboBox(this);
    m_supplier->addItem(QString(), 0);
    for (const UraSupplier& s : UraSuppliers(session.Db())) {
        m_supplier->addItem(s.name, s.code);
    }
    m_supplier->setMinimumWidth(280);
    m_type = new QComboBox(this);
    m_type->addItems({QStringLiteral("R-1"), QStringLiteral("R-2")});
    m_kind = new QComboBox(this);
    for (int k = 0; k < kPurchaseKindCount; ++k) {
        m_kind->addItem(PurchaseKindName(static_cast<PurchaseKind>(k)), k);
    }
    m_base0 = AmountField(this);
    m_total = AmountField(this);
    m_total->setReadOnly(true);
    m_total->setFocusPolicy(Qt::NoFocus);

    auto* head = new QFormLayout;
    head->addRow(QStringLiteral("Redni broj :"), m_number);
    head->addRow(QStringLiteral("Broj računa :"), m_invoiceNumber);
    head->addRow(QStringLiteral("Datum računa :"), m_date);
    head->addRow(QStringLiteral("Dospijeće :"), m_due);
    head->addRow(QStringLiteral("Dobavljač :"), m_supplier);
    head->addRow(QStringLiteral("Tip računa :"), m_type);
    head->addRow(QStringLiteral("Vrsta nabave :"), m_kind);
    head->addRow(QStringLiteral("Osnovica 0% :"), m_base0);

    auto* frames = new QHBoxLayout;
    for (int i = 0; i < UraEntry::kFrames; ++i) {
        FrameWidgets& f = m_frames[static_cast<std::size_t>(i)];
        f.box = new QGroupBox(this);
        f.rate = new QComboBox(f.box);
        for (int rate : UraEntry::RateChoices()) {
            f.rate->addItem(QString::number(rate) + QLatin1Char('%'), rate);
        }
        f.base = AmountField(f.box);
        f.tax = AmountField(f.box);
        f.deductible = AmountField(f.box);
        f.nonDeductible = AmountField(f.box);
        f.baseLabel = new QLabel(f.box);
        f.taxLabel = new QLabel(f.box);
        auto* grid = new QFormLayout(f.box);
        grid->addRow(QStringLiteral("Stopa :"), f.rate);
        grid->addRow(f.baseLabel, f.base);
        grid->addRow(f.taxLabel, f.tax);
        grid->addRow(QStringLiteral("Može se odbiti :"), f.deductible);
        grid->addRow(QStringLiteral("Ne može se odbiti :"), f.nonDeductible);
        frames->addWidget(f.box);
        connect(f.rate, &QComboBox::currentIndexChanged, this, [this, i] {
            if (m_showing) {
                return;
            }
            Collect();
            m_entry.RateChanged(i);
            Show();
        });
        connect(f.base, &QLineEdit::editingFinished, this, [this, i, &f] {
            Collect();
            AfterLeaving(f.base, m_entry.BaseLeft(i));
        });
        connect(f.tax, &QLineEdit::editingFinished, this, [this, i, &f] {
            Collect();
            AfterLeaving(f.tax, m_entry.TaxLeft(i));
        });
        connect(f.deductible, &QLineEdit::editingFinished, this, [this, i, &f] {
            Collect();
            AfterLeaving(f.deductible, m_entry.DeductibleLeft(i));
        });
        connect(f.nonDeductible, &QLineEdit::editingFinished, this, [this, i, &f] {
            Collect();
            AfterLeaving(f.nonDeductible, m_entry.NonDeductibleLeft(i));
        });
    }
    auto* totalRow = new QFormLayout;
    totalRow->addRow(QStringLiteral("Ukupno :"), m_total);

    connect(m_number, &QLineEdit::editingFinished, this, [this] {
        Collect();
        AfterLeaving(m_number, m_entry.NumberLeft());
    });
    connect(m_date, &QLineEdit::editingFinished, this, [this] {
        Collect();
        AfterLeaving(m_date, m_entry.DateLeft());
    });
    connect(m_due, &QLineEdit::editingFinished, this, [this] {
        Collect();
        AfterLeaving(m_due, m_entry.DueLeft());
    });
    connect(m_base0, &QLineEdit::editingFinished, this, [this] {
        Collect();
        AfterLeaving(m_base0, m_entry.Base0Left());
    });

    auto* fromReceipt = new QPushButton(QStringLiteral("I&z primke"), this);
    fromReceipt->setObjectName(QStringLiteral("Iz primke"));
    fromReceipt->setAutoDefault(false);
    connect(fromReceipt, &QPushButton::clicked, this, &UraEntryDialog::FromReceipt);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &UraEntryDialog::Accept);
    auto* foot = new QHBoxLayout;
    foot->addWidget(fromReceipt);
    foot->addWidget(buttons, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addLayout(frames);
    layout->addLayout(totalRow);
    layout->addLayout(foot);

    if (number > 0) {
        m_opened = m_entry.Open(number);
        m_number->setReadOnly(true);
    }
    Show();
    if (number > 0) {
        m_invoiceNumber->setFocus();
    } else {
        m_number->setFocus();
    }
}

UraEntryDialog::~UraEntryDialog() {
    // The fields lose their focus while the window is taken down, after the entry is gone: what
    // they would report then must not reach it.
    for (QObject* child : findChildren<QObject*>()) {
        disconnect(child, nullptr, this, nullptr);
    }
}

void UraEntryDialog::Collect() {
    if (m_showing) {
        return;
    }
    m_entry.numberText = m_number->text();
    m_entry.invoiceNumber = m_invoiceNumber->text();
    m_entry.dateText = m_date->text();
    m_entry.dueText = m_due->text();
    m_entry.supplier = m_supplier->currentData().toInt();
    m_entry.type = m_type->currentText();
    m_entry.kind = static_cast<PurchaseKind>(m_kind->currentData().toInt());
    m_entry.base0 = m_base0->text();
    for (int i = 0; i < UraEntry::kFrames; ++i) {
        const FrameWidgets& w = m_frames[static_cast<std::size_t>(i)];
        UraEntry::Frame& f = m_entry.frames[static_cast<std::size_t>(i)];
        f.rate = w.rate->currentData().toInt();
        f.base = w.base->text();
        f.tax = w.tax->text();
        f.deductible = w.deductible->text();
        f.nonDeductible = w.nonDeductible->text();
    }
}

void UraEntryDialog::Show() {
    m_showing = true;
    m_number->setText(m_entry.numberText);
    m_invoiceNumber->setText(m_entry.invoiceNumber);
    m_date->setText(m_entry.dateText);
    m_due->setText(m_entry.dueText);
    m_supplier->setCurrentIndex(std::max(0, m_supplier->findData(m_entry.supplier)));
    m_type->setCurrentIndex(m_entry.type == QLatin1String("R-2") ? 1 : 0);
    m_kind->setCurrentIndex(m_kind->findData(static_cast<int>(m_entry.kind)));
    m_base0->setText(m_entry.base0);
    for (int i = 0; i < UraEntry::kFrames; ++i) {
        FrameWidgets& w = m_frames[static_cast<std::size_t>(i)];
        const UraEntry::Frame& f = m_entry.frames[static_cast<std::size_t>(i)];
        w.rate->setCurrentIndex(w.rate->findData(f.rate));
        w.baseLabel->setText(UraEntry::BaseCaption(f.rate) + QStringLiteral(" :"));
        w.taxLabel->setText(UraEntry::TaxCaption(f.rate) + QStringLiteral(" :"));
        w.base->setText(f.base);
        w.tax->setText(f.tax);
        w.deductible->setText(f.deductible);
        w.nonDeductible->setText(f.nonDeductible);
    }
    m_total->setText(m_entry.total);
    m_showing = false;
}

void UraEntryDialog::AfterLeaving(QLineEdit* field, bool kept) {
    Show();
    if (!kept) {
        field->setFocus();
        field->selectAll();
    }
}

void UraEntryDialog::FromReceipt() {
    const std::optional<QString> typed = m_prompter.AskText(
        QStringLiteral("Broj primke :"), QStringLiteral("Upis ulaznog računa iz primke"));
    if (!typed) {
        return;
    }
    bool ok = false;
    const int receipt = typed->trimmed().toInt(&ok);
    if (!ok || receipt <= 0) {
        m_prompter.Inform(UraInvalidSerialMessage());
        return;
    }
    Collect();
    try {
        m_entry.FillFromReceipt(m_session.activeWarehouse.code, receipt);
    } catch (const UserError& e) {
        m_prompter.Inform(e.message());
    }
    Show();
}

void UraEntryDialog::Accept() {
    Collect();
    if (m_entry.Accept()) {
        accept();
        return;
    }
    Show();
    m_number->setFocus();
}

}  // namespace zodra::books::ui
