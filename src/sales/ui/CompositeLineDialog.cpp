#include "sales/ui/CompositeLineDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "sales/ui/LineBoxes.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

using zodra::ui::NumberBox;
using Kind = zodra::limits::NumberKind;

CompositeLineDialog::CompositeLineDialog(zodra::ui::WindowHost& host, const InvoiceDraft& draft,
                                         CompositeLineWriter writer, QWidget* parent)
    : QDialog(parent), m_host(host), m_draft(draft), m_writer(std::move(writer)) {
    setObjectName(QStringLiteral("frmUpisSlozenogArtikla"));
    setWindowTitle(QStringLiteral("Upis složenog artikla"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_product = new QComboBox(this);
    m_product->setObjectName(QStringLiteral("Proizvod"));
    m_product->addItem(QString(), QVariant());
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        for (const CompositeProduct& p : CompositeProducts(host.CurrentSession().Db())) {
            m_product->addItem(p.name, p.article);
        }
    });
    form->addRow(QStringLiteral("Proizvodi :"), m_product);
    m_quantity = MakeQuantityBox(host.UserPrompter(), this);
    form->addRow(QStringLiteral("Količina :"), m_quantity);
    m_price = MakeLineBox(host.UserPrompter(), QStringLiteral("Cijena"), Kind::Price,
                          QStringLiteral("Cijena"), this);
    form->addRow(QStringLiteral("Cijena :"), m_price);
    m_discount = MakeLineBox(host.UserPrompter(), QStringLiteral("Rabat"), Kind::Discount,
                             QStringLiteral("Rabat"), this);
    form->addRow(QStringLiteral("Rabat % :"), m_discount);
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("Opis"));
    form->addRow(QStringLiteral("Opis :"), m_description);
    m_amounts = new QLabel(this);
    m_amounts->setObjectName(QStringLiteral("Iznosi"));
    form->addRow(QString(), m_amounts);
    layout->addLayout(form);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &CompositeLineDialog::AcceptLine);
    connect(m_product, &QComboBox::currentIndexChanged, this, &CompositeLineDialog::ProductChosen);
    connect(m_quantity, &QLineEdit::editingFinished, this, &CompositeLineDialog::QuantityLeft);
    for (NumberBox* box : {m_quantity, m_price, m_discount}) {
        connect(box, &NumberBox::valueEdited, this, [this](double) { ShowAmounts(); });
    }
    QWidget::setTabOrder(m_product, m_quantity);
    QWidget::setTabOrder(m_quantity, m_price);
    QWidget::setTabOrder(m_price, m_discount);
    QWidget::setTabOrder(m_discount, m_description);
    m_product->setFocus();
}

int CompositeLineDialog::ChosenProduct() const {
    return ChosenCode(m_product);
}

void CompositeLineDialog::ProductChosen() {
    const int product = ChosenProduct();
    if (product == 0) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const CompositeProposal p = ProposeComposite(m_host.CurrentSession(), m_draft, product);
        m_price->SetValue(p.price, 2);
        m_discount->SetValue(p.discount, 2);
        m_taxRate = p.taxRate;
        if (m_quantity->Value() == 0) {
            m_quantity->SetValue(1);
        }
    });
    ShowAmounts();
}

void CompositeLineDialog::QuantityLeft() {
    const int product = ChosenProduct();
    if (product == 0 || !m_quantity->Commit() || m_quantity->Value() <= 0) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        const QuantityCheck check =
            CheckCompositeQuantity(m_host.CurrentSession(), m_draft, product, m_quantity->Value());
        for (const QString& message : check.messages) {
            m_host.UserPrompter().Inform(message, windowTitle());
        }
        if (check.quantity != m_quantity->Value()) {
            m_quantity->SetValue(check.quantity);
        }
    });
    ShowAmounts();
}

void CompositeLineDialog::ShowAmounts() {
    // The article line's arithmetic: V = Q × P, D = V × R / 100, N = V − D, T = N × t / 100.
    const double value = m_quantity->Value() * m_price->Value();
    const double net = value - value * m_discount->Value() / 100;
    const double tax = net * m_taxRate / 100;
    m_amounts->setText(QStringLiteral("Vrijednost : %1   Porez : %2   Ukupno : %3")
                           .arg(net, 0, 'f', 2)
                           .arg(tax, 0, 'f', 2)
                           .arg(net + tax, 0, 'f', 2));
}

bool CompositeLineDialog::AcceptLine() {
    if (!m_quantity->Commit() || !m_price->Commit() || !m_discount->Commit()) {
        return false;
    }
    CompositeLineInput input;
    input.product = ChosenProduct();
    input.quantity = m_quantity->Value();
    input.price = m_price->Value();
    input.discount = m_discount->Value();
    input.description = m_description->text();
    if (!WriteLine(m_host.UserPrompter(), [&] { return m_writer(input); })) {
        return false;
    }
    ++m_written;
    QDialog::accept();
    return true;
}

}  // namespace zodra::sales::ui
