#include "sales/ui/InvoiceListTable.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "sales/InvoiceList.h"
#include "sales/InvoiceRemoval.h"
#include "sales/ui/ChoiceListWindow.h"
#include "sales/ui/InvoiceListModel.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::sales::ui {

InvoiceListTable::InvoiceListTable(zodra::ui::WindowHost& host, int book, QWidget* parent)
    : QWidget(parent), m_host(host), m_book(book) {
    setWindowTitle(QStringLiteral("Računi"));
    auto* layout = new QVBoxLayout(this);
    m_model = new InvoiceListModel(this);
    m_table = MakeChoiceList(QStringLiteral("Racuni"), m_model, ChoiceListFit::Unfitted, this);
    layout->addWidget(m_table, 1);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Ukupno"));
    m_totals->setWordWrap(true);
    layout->addWidget(m_totals);
    auto* buttons = new QHBoxLayout;
    auto* remove = new QPushButton(QStringLiteral("Iz&briši"), this);
    remove->setObjectName(QStringLiteral("Izbrisi"));
    connect(remove, &QPushButton::clicked, this, [this] { DeleteCurrent(); });
    m_table->installEventFilter(this);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    layout->addLayout(buttons);
    Reload();
    m_table->setFocus();
    resize(820, 480);
}

void InvoiceListTable::Reload() {
    zodra::ui::WindowHost& host = m_host;
    const int book = m_book;
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
}

bool InvoiceListTable::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteCurrent();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void InvoiceListTable::DeleteCurrent() {
    const QModelIndex current = m_table->currentIndex();
    const QVariant key = current.isValid() ? m_model->Key(current.row()) : QVariant();
    if (!key.isValid()) {
        return;
    }
    Prompter& prompter = m_host.UserPrompter();
    bool listed = false;
    zodra::ui::Guarded(prompter, [&] {
        CheckUserMayDeleteFromTable(m_host.CurrentSession());
        listed = true;
    });
    if (!listed || !prompter.AskYesNo(DeleteQuestion(), DeleteTitle(), false)) {
        return;
    }
    zodra::ui::Guarded(
        prompter, [&] { DeleteInvoice(m_host.CurrentSession(), prompter, m_book, key.toInt()); });
    Reload();
}

}  // namespace zodra::sales::ui
