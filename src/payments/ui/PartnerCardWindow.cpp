#include "payments/ui/PartnerCardWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "payments/PartnerCard.h"
#include "payments/PaymentModels.h"
#include "payments/ui/PaymentReportCommands.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
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
        new QLabel(supplier ? QStringLiteral("Do&bavljač:") : QStringLiteral("&Kupac:"), this);
    label->setBuddy(m_partner);
    const int year = host.CurrentSession().businessYear;
    m_from = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_from->setObjectName(QStringLiteral("Od"));
    m_from->SetDate(QDate(year, 1, 1));
    m_to = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_to->setObjectName(QStringLiteral("Do"));
    m_to->SetDate(QDate(year, 12, 31));
    auto* fromLabel = new QLabel(QStringLiteral("&Od:"), this);
    fromLabel->setBuddy(m_from);
    auto* toLabel = new QLabel(QStringLiteral("&Do:"), this);
    toLabel->setBuddy(m_to);
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Kartica"));
    m_balance = new QLabel(this);
    m_balance->setObjectName(QStringLiteral("Saldo"));
    connect(m_partner, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    connect(m_from, &zodra::ui::DateBox::dateEdited, this, [this] { Refresh(); });
    connect(m_to, &zodra::ui::DateBox::dateEdited, this, [this] { Refresh(); });
    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(m_partner, 1);
    top->addWidget(fromLabel);
    top->addWidget(m_from);
    top->addWidget(toLabel);
    top->addWidget(m_to);
    QPushButton* print =
        zodra::ui::MakeButton(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
    connect(print, &QPushButton::clicked, this, &PartnerCardWindow::Print);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_balance);
    bottom->addStretch();
    bottom->addWidget(print);
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
        PartnerCard(session.Db(), m_supplier, partner, m_from->Date(), m_to->Date(), m_warehouse);
    const double balance =
        card.RowCount() > 0 ? card.Value(card.RowCount() - 1, 4).toDouble() : 0.0;
    m_grid->SetData(card);
    m_balance->setText(QStringLiteral("Saldo: ") + MoneyText(balance));
}

void PartnerCardWindow::Print() {
    if (!m_partner->currentData().isValid()) {
        m_host.UserPrompter().Inform(m_supplier ? NoSupplierMessage() : NoCustomerMessage());
        return;
    }
    using Kind = PaymentReportKind;
    PaymentReportChoice choice;
    choice.range = RangeOfDates(m_from->Date(), m_to->Date());
    choice.partners = {m_partner->currentData().toInt()};
    ShowPaymentReport(m_host,
                      m_supplier    ? Kind::SupplierCards
                      : m_warehouse ? Kind::CustomerCardsOfWarehouse
                                    : Kind::CustomerCards,
                      choice);
}

}  // namespace zodra::payments::ui
