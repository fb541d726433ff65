#include "payments/ui/PartnerCardWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Rounding.h"
#include "data/Session.h"
#include "payments/PartnerCard.h"
#include "payments/PaymentModels.h"
#include "ui/DataGrid.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::payments::ui {

PartnerCardWindow::PartnerCardWindow(zodra::ui::WindowHost& host, bool supplier,
                                     std::optional<int> warehouse, const QString& objectName,
                                     QWidget* parent)
    : QWidget(parent), m_host(host), m_supplier(supplier), m_warehouse(warehouse) {
    setObjectName(objectName);
    setWindowTitle(supplier ? QStringLiteral("Kartice dobavljača")
                            : QStringLiteral("Kartice kupaca"));
    m_partner = new QComboBox(this);
    m_partner->setObjectName(QStringLiteral("Partner"));
    m_partner->addItem(QString(), QVariant());
    for (const Choice& c : PartnerChoices(host.CurrentSession().Db())) {
        m_partner->addItem(c.name, c.code);
    }
    auto* label =
        new QLabel(supplier ? QStringLiteral("&Dobavljač:") : QStringLiteral("&Kupac:"), this);
    label->setBuddy(m_partner);
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Kartica"));
    m_balance = new QLabel(this);
    m_balance->setObjectName(QStringLiteral("Saldo"));
    connect(m_partner, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_partner, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_balance);
    bottom->addStretch();
    bottom->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(bottom);
    Refresh();
    m_partner->setFocus();
}

void PartnerCardWindow::Refresh() {
    Session& session = m_host.CurrentSession();
    const int partner = m_partner->currentData().isValid() ? m_partner->currentData().toInt() : 0;
    const TableData card =
        PartnerCard(session.Db(), m_supplier, partner, session.businessYear, m_warehouse);
    const double balance =
        card.RowCount() > 0 ? card.Value(card.RowCount() - 1, 4).toDouble() : 0.0;
    m_grid->SetData(card);
    m_balance->setText(QStringLiteral("Saldo: ") + MoneyText(balance));
}

}  // namespace zodra::payments::ui
