#include "sales/ui/InvoiceListTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/Session.h"
#include "sales/InvoiceList.h"
#include "sales/ui/InvoiceListModel.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::sales::ui {

InvoiceListTable::InvoiceListTable(zodra::ui::WindowHost& host, int book, QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(QStringLiteral("Računi"));
    auto* layout = new QVBoxLayout(this);
    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("Racuni"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->setWordWrap(false);
    m_model = new InvoiceListModel(this);
    m_table->setModel(m_model);
    layout->addWidget(m_table, 1);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Ukupno"));
    m_totals->setWordWrap(true);
    layout->addWidget(m_totals);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    layout->addLayout(buttons);

    Session& session = host.CurrentSession();
    Prompter& prompter = host.UserPrompter();
    const int warehouse = session.activeWarehouse.code;
    const int year = session.businessYear;
    m_model->Reset(
        [&session, &prompter, warehouse, book, year](std::optional<int> after, int limit) {
            TableData page;
            zodra::ui::Guarded(prompter, [&] {
                page = InvoiceTablePage(session.Db(), warehouse, book, year, after, limit);
            });
            return page;
        });
    QString totals;
    zodra::ui::Guarded(prompter,
                       [&] { totals = InvoiceTableTotals(session.Db(), warehouse, book, year); });
    m_totals->setText(totals);
    m_table->resizeColumnsToContents();
    m_table->setFocus();
    resize(820, 480);
}

}  // namespace zodra::sales::ui
