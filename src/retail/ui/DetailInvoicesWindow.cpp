#include "retail/ui/DetailInvoicesWindow.h"

#include <QDate>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "pos/PosDevice.h"
#include "pos/ReceiptText.h"
#include "retail/DetailInvoiceRemoval.h"
#include "retail/TillSale.h"
#include "sales/InvoiceRemoval.h"
#include "ui/DataGrid.h"
#include "ui/DateBox.h"
#include "ui/Guard.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::retail::ui {

using zodra::ui::Guarded;

QString DetailInvoicesCommand() {
    return QStringLiteral("Maloprodajni_racuni_detaljno");
}

QString DetailInvoicesCaption() {
    return QStringLiteral("Detaljni maloprodajni računi");
}

DetailInvoicesWindow::DetailInvoicesWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(DetailInvoicesCommand());
    setWindowTitle(DetailInvoicesCaption());
    const QDate today = QDate::currentDate();
    m_from = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_from->setObjectName(QStringLiteral("DatumOd"));
    m_from->SetLimitName(QStringLiteral("Datum od"));
    m_from->SetDate(today);
    m_to = new zodra::ui::DateBox(host.UserPrompter(), this);
    m_to->setObjectName(QStringLiteral("DatumDo"));
    m_to->SetLimitName(QStringLiteral("Datum do"));
    m_to->SetDate(today);
    auto* dates = new QFormLayout;
    dates->addRow(QStringLiteral("Datum &od :"), m_from);
    dates->addRow(QStringLiteral("Datum &do :"), m_to);
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Racuni"));
    auto* cancel = zodra::ui::MakeButton(QStringLiteral("&Storno"), QStringLiteral("Storno"), this);
    auto* remove =
        zodra::ui::MakeButton(QStringLiteral("&Brisanje"), QStringLiteral("Brisanje"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cancel);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dates);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &DetailInvoicesWindow::CancelCurrent);
    connect(remove, &QPushButton::clicked, this, &DetailInvoicesWindow::DeleteCurrent);
    connect(m_from, &zodra::ui::DateBox::dateEdited, this, &DetailInvoicesWindow::Reload);
    connect(m_to, &zodra::ui::DateBox::dateEdited, this, &DetailInvoicesWindow::Reload);
    zodra::ui::OnListKeys(m_grid, [this] { DeleteCurrent(); });
    Reload();
    resize(560, 420);
    m_from->setFocus();
}

void DetailInvoicesWindow::Reload() {
    const int kept = CurrentNumber();
    TableData rows;
    if (!Guarded(m_host.UserPrompter(), [&] {
            rows = DetailInvoiceList(m_host.CurrentSession(), m_from->Date(), m_to->Date());
        })) {
        return;
    }
    int select = rows.RowCount() > 0 ? 0 : -1;
    for (int i = 0; i < rows.RowCount(); ++i) {
        if (rows.Value(i, 0).toInt() == kept) {
            select = i;
        }
    }
    m_grid->SetData(std::move(rows));
    if (select >= 0) {
        m_grid->SelectRow(select);
    }
}

int DetailInvoicesWindow::CurrentNumber() const {
    const int row = m_grid->CurrentRow();
    return row < 0 || row >= m_grid->Data().RowCount() ? 0 : m_grid->Data().Value(row, 0).toInt();
}

void DetailInvoicesWindow::CancelCurrent() {
    const int number = CurrentNumber();
    if (number == 0) {
        return;
    }
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    const QString title = sales::CancelTitle();
    if (!Guarded(prompter, [&] { CheckDetailCanBeCancelled(session, number); }) ||
        !prompter.AskYesNo(sales::CancelQuestion(), title, false)) {
        return;
    }
    QDate date;
    for (;;) {
        const std::optional<QString> typed = prompter.AskText(
            sales::CancelDatePrompt(), title, QDate::currentDate().toString(u"dd.MM.yyyy"));
        if (!typed) {
            return;
        }
        try {
            date = CheckDetailCancellationDate(session, number, *typed);
            break;
        } catch (const UserError& e) {
            prompter.Inform(e.message(), title);
            // A wrong date may be typed again; a refusal of the invoice itself ends it.
            if (!e.message().startsWith(QStringLiteral("Datum storna "))) {
                return;
            }
        }
    }
    const bool cancelled = Guarded(prompter, [&] { CancelDetailInvoice(session, number, date); });
    Reload();
    // A till with a receipt printer hands the buyer the negative receipt.
    if (cancelled && session.workstation.posPrinter) {
        const QString error = pos::PrintReceipt(
            session, {session.activeWarehouse.code, kRetailBook, session.businessYear, number},
            false, true);
        if (!error.isEmpty()) {
            prompter.Inform(error, title);
        }
    }
}

void DetailInvoicesWindow::DeleteCurrent() {
    const int number = CurrentNumber();
    if (number == 0) {
        return;
    }
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    if (!Guarded(prompter, [&] { CheckDetailCanBeDeleted(session, number); }) ||
        !prompter.AskYesNo(sales::DeleteQuestion(), sales::DeleteTitle(), false)) {
        return;
    }
    Guarded(prompter, [&] { DeleteDetailInvoice(session, number); });
    Reload();
}

}  // namespace zodra::retail::ui
