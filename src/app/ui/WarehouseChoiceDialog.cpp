#include "app/ui/WarehouseChoiceDialog.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Session.h"
#include "ui/CommandRegistry.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/InputConventions.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

WarehouseChoiceDialog::WarehouseChoiceDialog(WindowHost& host, const CommandRegistry* registry,
                                             QWidget* parent)
    : QDialog(parent), m_host(host), m_registry(registry) {
    setObjectName(QStringLiteral("frmIzborSkladista"));
    setWindowTitle(QStringLiteral("Izbor skladišta"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(QStringLiteral("Izaberite skladište"), this);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    m_box = new QComboBox(this);
    m_box->setObjectName(QStringLiteral("cboSkladista"));
    m_box->setMinimumWidth(260);
    label->setBuddy(m_box);
    row->addWidget(m_box, 1);
    auto* add = new QPushButton(QStringLiteral("&Novo skladište"), this);
    add->setObjectName(QStringLiteral("NovoSkladiste"));
    add->setEnabled(m_registry && m_registry->FindEntry(QStringLiteral("SKLADISTA")));
    row->addWidget(add);
    layout->addLayout(row);
    MarkShortcutButton(add);
    auto* buttons = new DialogButtonRow(this, DialogButtonRow::Buttons::AcceptOnly);
    QPushButton* acceptButton = buttons->AcceptButton();
    layout->addWidget(buttons);

    connect(add, &QPushButton::clicked, this, [this] {
        if (const auto added = m_registry->OpenEntry(QStringLiteral("SKLADISTA"), m_host, this)) {
            Refill(added->code);
        }
    });
    connect(acceptButton, &QPushButton::clicked, this, [this] {
        if (Start()) {
            QDialog::accept();
        }
    });
    // Tab goes from the box to "Prihvati" too, then to "Novo skladište".
    setTabOrder(m_box, acceptButton);
    setTabOrder(acceptButton, add);
    Refill();
    m_box->setFocus();
}

void WarehouseChoiceDialog::Refill(int selectCode) {
    m_box->clear();
    Guarded(m_host.UserPrompter(), [&] {
        for (const auto& [name, code] : sessionstart::Warehouses(m_host.CurrentSession().Db())) {
            m_box->addItem(name, code);
        }
    });
    if (selectCode != 0) {
        Choose(selectCode);
    }
}

bool WarehouseChoiceDialog::Choose(int code) {
    const int index = m_box->findData(code);
    if (index >= 0) {
        m_box->setCurrentIndex(index);
    }
    return index >= 0;
}

bool WarehouseChoiceDialog::Start() {
    const int code = m_box->currentIndex() >= 0 ? m_box->currentData().toInt() : 0;
    return Guarded(m_host.UserPrompter(), [&] {
        m_result = sessionstart::Start(m_host.CurrentSession(), code, m_host.UserPrompter());
    });
}

}  // namespace zodra::ui
