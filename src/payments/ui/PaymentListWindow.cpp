#include "payments/ui/PaymentListWindow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "payments/CollectionBook.h"
#include "payments/PaymentBook.h"
#include "payments/ui/PaymentReportCommands.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::payments::ui {

PaymentListWindow::PaymentListWindow(zodra::ui::WindowHost& host, bool supplier, QWidget* parent)
    : QWidget(parent), m_host(host), m_supplier(supplier) {
    setObjectName(ObjectName(supplier));
    setWindowTitle(Caption(supplier));
    const int year = host.CurrentSession().businessYear;
    m_from = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_from->setObjectName(QStringLiteral("Od"));
    m_from->SetDate(QDate(year, 1, 1));
    m_to = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_to->setObjectName(QStringLiteral("Do"));
    m_to->SetDate(QDate(year, 12, 31));
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Uplate"));
    m_grid->SetSortable(true);
    connect(m_from, &zodra::ui::DateBox::dateEdited, this, [this] { Refresh(); });
    connect(m_to, &zodra::ui::DateBox::dateEdited, this, [this] { Refresh(); });
    zodra::ui::OnListKeys(m_grid, [this] { DeleteSelected(); });

    auto* fromLabel = new QLabel(QStringLiteral("&Od:"), this);
    fromLabel->setBuddy(m_from);
    auto* toLabel = new QLabel(QStringLiteral("&Do:"), this);
    toLabel->setBuddy(m_to);
    auto* top = new QHBoxLayout;
    top->addWidget(fromLabel);
    top->addWidget(m_from);
    top->addWidget(toLabel);
    top->addWidget(m_to);
    top->addStretch();
    QPushButton* remove =
        zodra::ui::MakeButton(QStringLiteral("&Brisanje"), QStringLiteral("Brisanje"), this);
    connect(remove, &QPushButton::clicked, this, &PaymentListWindow::DeleteSelected);
    QPushButton* print =
        zodra::ui::MakeButton(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
    connect(print, &QPushButton::clicked, this, [this] { Print(false); });
    QPushButton* printByDay = zodra::ui::MakeButton(QStringLiteral("Ispis po d&anima"),
                                                    QStringLiteral("IspisPoDanima"), this);
    connect(printByDay, &QPushButton::clicked, this, [this] { Print(true); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(remove);
    buttons->addWidget(print);
    buttons->addWidget(printByDay);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    Refresh();
    m_grid->setFocus();
}

void PaymentListWindow::Refresh() {
    m_grid->SetData(PaymentList(m_host.CurrentSession().Db(), m_supplier, m_from->Date(),
                                m_to->Date(), std::nullopt));
}

void PaymentListWindow::Print(bool byDay) {
    using Kind = PaymentReportKind;
    const Kind kind = m_supplier ? (byDay ? Kind::SupplierPaymentsByDay : Kind::SupplierPayments)
                                 : (byDay ? Kind::CustomerPaymentsByDay : Kind::CustomerPayments);
    PaymentReportChoice choice;
    choice.range = RangeOfDates(m_from->Date(), m_to->Date());
    ShowPaymentReport(m_host, kind, choice);
}

void PaymentListWindow::DeleteSelected() {
    const int row = m_grid->CurrentRow();
    if (row < 0) {
        return;
    }
    const int code = m_grid->Data().Value(row, 0).toInt();
    if (!m_host.UserPrompter().AskYesNo(DeletePaymentQuestion(), Caption(m_supplier), false)) {
        return;
    }
    try {
        if (m_supplier) {
            DeleteSupplierPayment(m_host.CurrentSession(), code);
        } else {
            DeletePayment(m_host.CurrentSession(), code);
        }
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message());
    }
    Refresh();
}

}  // namespace zodra::payments::ui
