#include "sales/ui/LineEmployeesDialog.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "data/Session.h"
#include "sales/InvoiceLines.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/InputConventions.h"
#include "ui/WindowHost.h"

namespace zodra::sales::ui {

LineEmployeesDialog::LineEmployeesDialog(zodra::ui::WindowHost& host,
                                         const std::vector<int>& chosen, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmDjelatnici"));
    setWindowTitle(QStringLiteral("Djelatnici"));
    auto* layout = new QVBoxLayout(this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("Djelatnici"));
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        for (const Employee& e : EmployeeList(host.CurrentSession().Db())) {
            auto* item = new QListWidgetItem(e.name, m_list);
            item->setData(Qt::UserRole, e.code);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(std::find(chosen.begin(), chosen.end(), e.code) != chosen.end()
                                    ? Qt::Checked
                                    : Qt::Unchecked);
        }
    });
    layout->addWidget(m_list);
    // Enter in the list takes the ticks.
    zodra::ui::KeepEnter(m_list);
    connect(m_list, &QListWidget::itemActivated, this, &QDialog::accept);
    auto* buttons =
        new zodra::ui::DialogButtonRow(this, zodra::ui::DialogButtonRow::Buttons::AcceptAndCancel);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &QDialog::accept);
    m_list->setCurrentRow(0);
    m_list->setFocus();
    resize(320, 300);
}

std::vector<int> LineEmployeesDialog::Chosen() const {
    std::vector<int> out;
    for (int i = 0; i < m_list->count(); ++i) {
        if (m_list->item(i)->checkState() == Qt::Checked) {
            out.push_back(m_list->item(i)->data(Qt::UserRole).toInt());
        }
    }
    return out;
}

}  // namespace zodra::sales::ui
