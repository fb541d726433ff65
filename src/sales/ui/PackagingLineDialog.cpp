#include "sales/ui/PackagingLineDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "sales/InvoiceEntry.h"
#include "sales/ui/LineBoxes.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

using zodra::ui::NumberBox;
using Kind = zodra::limits::NumberKind;

PackagingLineDialog::PackagingLineDialog(zodra::ui::WindowHost& host, PackagingLineWriter writer,
                                         QWidget* parent)
    : QDialog(parent), m_host(host), m_writer(std::move(writer)) {
    setObjectName(QStringLiteral("frmUpisAmbalaze"));
    setWindowTitle(QStringLiteral("Upis ambalaže ( za evidentno praćenje )"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_packaging = new QComboBox(this);
    m_packaging->setObjectName(QStringLiteral("Ambalaza"));
    m_packaging->addItem(QString(), QVariant());
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        for (const NamedCode& p : PackagingList(host.CurrentSession().Db())) {
            m_packaging->addItem(p.name, p.code);
        }
    });
    form->addRow(QStringLiteral("Ambalaža :"), m_packaging);
    m_quantity = MakeQuantityBox(host.UserPrompter(), this);
    form->addRow(QStringLiteral("Količina :"), m_quantity);
    m_price = MakeLineBox(host.UserPrompter(), QStringLiteral("Cijena"), Kind::Price,
                          QStringLiteral("Cijena"), this);
    form->addRow(QStringLiteral("Cijena :"), m_price);
    m_description = new QLineEdit(this);
    m_description->setObjectName(QStringLiteral("Opis"));
    form->addRow(QStringLiteral("Opis :"), m_description);
    layout->addLayout(form);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &PackagingLineDialog::AcceptLine);
    connect(m_packaging, &QComboBox::currentIndexChanged, this,
            &PackagingLineDialog::PackagingChosen);
    QWidget::setTabOrder(m_packaging, m_quantity);
    QWidget::setTabOrder(m_quantity, m_price);
    QWidget::setTabOrder(m_price, m_description);
    m_packaging->setFocus();
}

void PackagingLineDialog::PackagingChosen() {
    const int code = ChosenCode(m_packaging);
    if (code == 0) {
        return;
    }
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        m_price->SetValue(PackagingPrice(m_host.CurrentSession().Db(), code), 2);
        if (m_quantity->Value() == 0) {
            m_quantity->SetValue(1);
        }
    });
}

bool PackagingLineDialog::AcceptLine() {
    if (!m_quantity->Commit() || !m_price->Commit()) {
        return false;
    }
    PackagingLineInput input;
    input.packaging = ChosenCode(m_packaging);
    input.quantity = m_quantity->Value();
    input.price = m_price->Value();
    input.description = m_description->text();
    if (!WriteLine(m_host.UserPrompter(), [&] { return m_writer(input); })) {
        return false;
    }
    ++m_written;
    QDialog::accept();
    return true;
}

}  // namespace zodra::sales::ui
