#include "payments/ui/PartnerOpeningWindow.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "payments/CollectionBook.h"
#include "payments/ui/PaymentEntryDialog.h"
#include "payments/ui/PaymentReportCommands.h"
#include "ui/DataGrid.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::payments::ui {

PartnerOpeningWindow::PartnerOpeningWindow(zodra::ui::WindowHost& host, bool supplier,
                                           QWidget* parent)
    : QWidget(parent), m_host(host), m_supplier(supplier) {
    setObjectName(ObjectName(supplier));
    setWindowTitle(Caption(supplier));
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("PocetnaStanja"));
    m_grid->SetSortable(true);
    zodra::ui::OnListKeys(m_grid, [this] { DeleteSelected(); });
    QPushButton* add = zodra::ui::MakeButton(QStringLiteral("&Upis"), QStringLiteral("Upis"), this);
    connect(add, &QPushButton::clicked, this, [this] {
        PaymentEntryDialog dialog(
            m_host,
            m_supplier ? PaymentEntryKind::SupplierPayment : PaymentEntryKind::CustomerPayment,
            std::nullopt, std::nullopt, m_host.DialogParent());
        dialog.exec();
        Refresh();
    });
    QPushButton* remove =
        zodra::ui::MakeButton(QStringLiteral("&Brisanje"), QStringLiteral("Brisanje"), this);
    connect(remove, &QPushButton::clicked, this, &PartnerOpeningWindow::DeleteSelected);
    QPushButton* print =
        zodra::ui::MakeButton(QStringLiteral("&Ispis"), QStringLiteral("Ispis"), this);
    connect(print, &QPushButton::clicked, this, [this] {
        ShowPaymentReport(m_host,
                          m_supplier ? PaymentReportKind::SupplierOpeningBalances
                                     : PaymentReportKind::CustomerOpeningBalances,
                          {});
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    Refresh();
    m_grid->setFocus();
}

void PartnerOpeningWindow::Refresh() {
    Session& session = m_host.CurrentSession();
    m_grid->SetData(OpeningBalances(session.Db(), m_supplier, session.businessYear));
}

void PartnerOpeningWindow::DeleteSelected() {
    const int row = m_grid->CurrentRow();
    if (row < 0 ||
        !m_host.UserPrompter().AskYesNo(DeletePaymentQuestion(), Caption(m_supplier), false)) {
        return;
    }
    DeleteOpeningBalance(m_host.CurrentSession(), m_supplier, m_grid->Data().Value(row, 0).toInt());
    Refresh();
}

}  // namespace zodra::payments::ui
