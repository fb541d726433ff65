#include "cashbook/ui/CashVoucherListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "cashbook/ui/CashVoucherEntryDialog.h"
#include "data/Errors.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::cashbook::ui {

using cashbook::VoucherKind;

CashVoucherListWindow::CashVoucherListWindow(zodra::ui::WindowHost& host, VoucherKind kind,
                                             QWidget* parent)
    : QWidget(parent), m_host(host), m_kind(kind) {
    setObjectName(ObjectName(kind));
    setWindowTitle(cashbook::ListCaption(kind));
    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Broj"), QStringLiteral("Datum"),
                                       cashbook::PartyColumn(kind), QStringLiteral("Za"),
                                       QStringLiteral("Iznos"), QStringLiteral("Slovima")});
    m_grid->setColumnHidden(Words, true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(Purpose, QHeaderView::Stretch);
    m_grid->setColumnWidth(Party, 220);
    zodra::ui::OnListKeys(m_grid, [this] { DeleteAsked(); });
    connect(m_grid, &QTableWidget::itemChanged, this, &CashVoucherListWindow::CellChanged);

    auto* add = new QPushButton(QStringLiteral("Upis"), this);
    auto* print = new QPushButton(QStringLiteral("Ispis"), this);
    auto* remove = new QPushButton(QStringLiteral("Brisanje"), this);
    connect(add, &QPushButton::clicked, this, &CashVoucherListWindow::Add);
    connect(print, &QPushButton::clicked, this, &CashVoucherListWindow::PrintSelected);
    connect(remove, &QPushButton::clicked, this, &CashVoucherListWindow::DeleteSelected);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(print);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    Refresh();
}

QString CashVoucherListWindow::ObjectName(VoucherKind kind) {
    return kind == VoucherKind::Receipt ? QStringLiteral("Blag_izv_Uplatnice")
                                        : QStringLiteral("Blag_izv_Isplatnice");
}

void CashVoucherListWindow::Refresh() {
    const int selected = SelectedNumber();
    Session& session = m_host.CurrentSession();
    m_rows = cashbook::ListVouchers(session.Db(), m_kind, session.activeWarehouse.code,
                                    session.businessYear);
    m_loading = true;
    m_grid->setRowCount(static_cast<int>(m_rows.size()));
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const cashbook::Voucher& v = m_rows[static_cast<std::size_t>(r)];
        const auto set = [&](int column, const QString& text, bool right = false) {
            auto* item = new QTableWidgetItem(text);
            if (right) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            m_grid->setItem(r, column, item);
        };
        set(Number, QString::number(v.number), true);
        set(Date, inputrules::FormatDate(v.date));
        set(Party, v.party);
        set(Purpose, v.purpose);
        set(Amount, inputrules::FormatNumber(v.amount, 2), true);
        set(Words, v.words);
    }
    m_loading = false;
    SelectNumber(selected);
}

int CashVoucherListWindow::SelectedNumber() const {
    const int row = m_grid->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return 0;
    }
    return m_rows[static_cast<std::size_t>(row)].number;
}

void CashVoucherListWindow::SelectNumber(int number) {
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        if (m_rows[static_cast<std::size_t>(r)].number == number) {
            m_grid->setCurrentCell(r, Number);
            return;
        }
    }
    if (!m_rows.empty() && m_grid->currentRow() < 0) {
        m_grid->setCurrentCell(0, Number);
    }
}

void CashVoucherListWindow::CellChanged(QTableWidgetItem* item) {
    if (m_loading || !item) {
        return;
    }
    // Saved after the edit has finished, outside the item's own signal.
    const int row = item->row();
    QTimer::singleShot(0, this, [this, row] { SaveRow(row); });
}

void CashVoucherListWindow::SaveRow(int row) {
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return;
    }
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    const cashbook::Voucher& original = m_rows[static_cast<std::size_t>(row)];
    cashbook::Voucher edited = original;
    const auto text = [&](int column) {
        const QTableWidgetItem* item = m_grid->item(row, column);
        return item ? item->text().trimmed() : QString();
    };
    bool ok = false;
    const int number = text(Number).toInt(&ok);
    if (ok && number > 0) {
        edited.number = number;
    } else {
        prompter.Inform(cashbook::InvalidNumberMessage());
    }
    if (const auto date = inputrules::ParseDate(text(Date), QDate::currentDate())) {
        edited.date = *date;
    } else {
        prompter.Inform(inputrules::InvalidDateMessage());
        edited.date = QDate::currentDate();
    }
    edited.party = text(Party);
    edited.purpose = text(Purpose);
    if (const auto amount = inputrules::ParseNumber(text(Amount))) {
        edited.amount = *amount;
    } else {
        prompter.Inform(inputrules::InvalidNumberMessage());
        edited.amount = 0;
    }
    try {
        cashbook::UpdateVoucher(session.Db(), m_kind, session.activeWarehouse.code,
                                session.businessYear, original.number, edited);
    } catch (const UserError& e) {
        prompter.Inform(e.message());
        edited.number = original.number;
    } catch (const DbError& e) {
        prompter.Inform(e.driverText());
        edited.number = original.number;
    }
    Refresh();
    SelectNumber(edited.number);
}

void CashVoucherListWindow::Add() {
    Session& session = m_host.CurrentSession();
    CashVoucherEntryDialog dialog(session, m_host.UserPrompter(), m_kind, m_host.DialogParent());
    const bool added = dialog.exec() == QDialog::Accepted;
    Refresh();
    if (added) {
        SelectNumber(dialog.NumberField()->text().toInt());
    }
}

void CashVoucherListWindow::PrintSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    reports::ui::ShowReport(
        m_host, cashbook::VoucherReportRequest(m_host.CurrentSession(), m_kind, number));
}

void CashVoucherListWindow::DeleteSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    Session& session = m_host.CurrentSession();
    cashbook::DeleteVoucher(session.Db(), m_kind, session.activeWarehouse.code,
                            session.businessYear, number);
    Refresh();
}

void CashVoucherListWindow::DeleteAsked() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    Session& session = m_host.CurrentSession();
    if (cashbook::DeleteVoucherAsked(session.Db(), m_kind, session.activeWarehouse.code,
                                     session.businessYear, number, m_host.UserPrompter())) {
        Refresh();
    }
}

}  // namespace zodra::cashbook::ui
