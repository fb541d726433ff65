#include "purchasing/ui/PackagingLineDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Database.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "purchasing/ReceiptChoices.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/NumberBox.h"
#include "ui/WindowHost.h"

namespace zodra::purchasing::ui {

PackagingLineDialog::PackagingLineDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmAmbalazaPrimke"));
    setWindowTitle(QStringLiteral("Ambalaža"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_packaging = new QComboBox(this);
    m_packaging->setObjectName(QStringLiteral("Ambalaza"));
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        for (const Choice& kind : PackagingKinds(host.CurrentSession().Db())) {
            m_packaging->addItem(kind.name, kind.code);
        }
    });
    form->addRow(QStringLiteral("Ambalaža :"), m_packaging);
    m_quantity = new zodra::ui::NumberBox(host.UserPrompter(), this);
    m_quantity->setObjectName(QStringLiteral("Kolicina"));
    m_quantity->SetLimit(zodra::limits::NumberKind::Quantity, QStringLiteral("Količina"));
    form->addRow(QStringLiteral("Količina :"), m_quantity);
    layout->addLayout(form);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    QPushButton* accept = buttons->AcceptButton();
    layout->addWidget(buttons);
    connect(accept, &QPushButton::clicked, this, [this] {
        if (Packaging() == 0) {
            m_host.UserPrompter().Inform(QStringLiteral("Nije izabrana ambalaža !"), windowTitle());
            return;
        }
        if (Quantity() == 0.0) {
            m_host.UserPrompter().Inform(QStringLiteral("Nije upisana količina !"), windowTitle());
            m_quantity->setFocus();
            return;
        }
        QDialog::accept();
    });
}

int PackagingLineDialog::Packaging() const {
    return m_packaging->currentData().toInt();
}

double PackagingLineDialog::Quantity() const {
    return m_quantity->Value();
}

}  // namespace zodra::purchasing::ui
