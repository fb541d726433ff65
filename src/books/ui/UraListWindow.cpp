#include "books/ui/UraListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <map>

#include "books/ui/UraEntryDialog.h"
#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::books::ui {

UraListWindow::UraListWindow(zodra::ui::WindowHost& host, int book, QWidget* parent)
    : QWidget(parent), m_host(host), m_book(book) {
    setObjectName(ObjectName(book));
    setWindowTitle(QStringLiteral("Knjiga ulaznih računa ") + QString::number(book));
    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Redni broj"), QStringLiteral("Broj računa"),
                                       QStringLiteral("Datum"), QStringLiteral("Dobavljač"),
                                       QStringLiteral("Tip"), QStringLiteral("Ukupno")});
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(Supplier, QHeaderView::Stretch);
    zodra::ui::OnListKeys(
        m_grid, [this] { DeleteSelected(); }, [this] { EditSelected(); });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &UraListWindow::EditSelected);

    auto* add = new QPushButton(QStringLiteral("&Upis"), this);
    auto* edit = new QPushButton(QStringLiteral("&Izmjena"), this);
    auto* remove = new QPushButton(QStringLiteral("&Brisanje"), this);
    connect(add, &QPushButton::clicked, this, &UraListWindow::Add);
    connect(edit, &QPushButton::clicked, this, &UraListWindow::EditSelected);
    connect(remove, &QPushButton::clicked, this, &UraListWindow::DeleteSelected);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(edit);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    Refresh();
    m_grid->setFocus();
}

void UraListWindow::Refresh() {
    const int selected = SelectedNumber();
    Session& session = m_host.CurrentSession();
    m_rows = ListUraInvoices(session.Db(), m_book, session.businessYear);
    std::map<int, QString> names;
    for (const UraSupplier& s : UraSuppliers(session.Db())) {
        names[s.code] = s.name;
    }
    m_grid->setRowCount(static_cast<int>(m_rows.size()));
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const UraInvoice& v = m_rows[static_cast<std::size_t>(r)];
        const auto set = [&](int column, const QString& text, bool right = false) {
            auto* item = new QTableWidgetItem(text);
            if (right) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            m_grid->setItem(r, column, item);
        };
        set(Number, QString::number(v.number), true);
        set(InvoiceNumber, v.invoiceNumber);
        set(Date, inputrules::FormatDate(v.date));
        set(Supplier, names[v.supplier]);
        set(Type, v.type);
        set(Total, inputrules::FormatNumber(v.total, 2), true);
    }
    SelectNumber(selected);
}

int UraListWindow::SelectedNumber() const {
    const int row = m_grid->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return 0;
    }
    return m_rows[static_cast<std::size_t>(row)].number;
}

void UraListWindow::SelectNumber(int number) {
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        if (m_rows[static_cast<std::size_t>(r)].number == number) {
            m_grid->setCurrentCell(r, Number);
            return;
        }
    }
    if (!m_rows.empty()) {
        m_grid->setCurrentCell(static_cast<int>(m_rows.size()) - 1, Number);
    }
}

void UraListWindow::Add() {
    UraEntryDialog dialog(m_host.CurrentSession(), m_host.UserPrompter(), m_book, 0,
                          m_host.DialogParent());
    const bool added = dialog.exec() == QDialog::Accepted;
    Refresh();
    if (added) {
        SelectNumber(dialog.Entry().numberText.toInt());
    }
}

void UraListWindow::EditSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    UraEntryDialog dialog(m_host.CurrentSession(), m_host.UserPrompter(), m_book, number,
                          m_host.DialogParent());
    if (dialog.Opened()) {
        dialog.exec();
    }
    Refresh();
    SelectNumber(number);
}

void UraListWindow::DeleteSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    Session& session = m_host.CurrentSession();
    try {
        if (DeleteUraInvoiceAsked(session.Db(), m_book, session.businessYear, number,
                                  m_host.UserPrompter())) {
            Refresh();
        }
    } catch (const UserError& e) {
        m_host.UserPrompter().Inform(e.message());
        Refresh();
    }
}

}  // namespace zodra::books::ui
