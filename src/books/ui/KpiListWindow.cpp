#include "books/ui/KpiListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "books/InventoryBook.h"
#include "books/ui/KpiEntryDialog.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "reports/ui/RangeDialog.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/CommandRegistry.h"
#include "ui/Guard.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::books::ui {

namespace {

enum Column { Number, Date, Voucher, Description, Type, Receipts, Expenditures, ColumnCount };

QString Money(double value) {
    return QString::number(RoundMoney(value), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

void OpenList(zodra::ui::WindowHost& host) {
    host.SetStatusText(QStringLiteral(" Knjiga primitaka i izdataka"));
    if (host.FindWindow(KpiListWindow::ObjectName())) {
        return;
    }
    auto* window = new KpiListWindow(host);
    host.ShowWindow(window, QStringLiteral("Knjiga primitaka i izdataka"));
}

// The range dialog with dates and the year's entry numbers; std::nullopt when cancelled.
std::optional<reports::ReportRange> AskKpiRange(zodra::ui::WindowHost& host) {
    Session& session = host.CurrentSession();
    const auto [first, last] = KpiNumberRange(session.Db(), session.businessYear);
    return reports::ui::RangeDialog::Ask(host.UserPrompter(), host.DialogParent(),
                                         session.businessYear, true, first, last);
}

void PrintInventory(zodra::ui::WindowHost& host, const QString& status, int kind) {
    host.SetStatusText(status);
    Session& session = host.CurrentSession();
    const auto range = reports::ui::RangeDialog::Ask(host.UserPrompter(), host.DialogParent(),
                                                     session.businessYear);
    if (!range) {
        return;
    }
    zodra::ui::Guarded(host.UserPrompter(), [&] {
        reports::ui::ShowReport(host, kind == 2
                                          ? PrepareInventoryBook(session, *range)
                                          : InventorySummaryReport(session, *range, kind == 1));
    });
}

}  // namespace

KpiListWindow::KpiListWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(ObjectName());
    setWindowTitle(QStringLiteral("Knjiga primitaka i izdataka"));
    m_grid = new QTableWidget(0, ColumnCount, this);
    m_grid->setHorizontalHeaderLabels({QStringLiteral("Redni broj"), QStringLiteral("Datum"),
                                       QStringLiteral("Temeljnica"), QStringLiteral("Opis isprave"),
                                       QStringLiteral("Tip"), QStringLiteral("Ukupni primici"),
                                       QStringLiteral("Dopušteni izdaci")});
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setSectionResizeMode(Description, QHeaderView::Stretch);
    m_grid->setColumnWidth(Receipts, 130);
    m_grid->setColumnWidth(Expenditures, 130);
    zodra::ui::OnListKeys(m_grid, [this] { DeleteSelected(); });

    auto* add = new QPushButton(QStringLiteral("&Upis"), this);
    auto* remove = new QPushButton(QStringLiteral("&Brisanje"), this);
    add->setObjectName(QStringLiteral("Upis"));
    remove->setObjectName(QStringLiteral("Brisanje"));
    connect(add, &QPushButton::clicked, this, &KpiListWindow::Add);
    connect(remove, &QPushButton::clicked, this, &KpiListWindow::DeleteSelected);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    resize(900, 480);
    Refresh();
}

QString KpiListWindow::ObjectName() {
    return QStringLiteral("KPI_Upis");
}

void KpiListWindow::Refresh() {
    Session& session = m_host.CurrentSession();
    const int selected = SelectedNumber();
    m_rows = ListKpiEntries(session.Db(), session.businessYear);
    m_grid->setRowCount(static_cast<int>(m_rows.size()));
    int selectRow = m_rows.empty() ? -1 : static_cast<int>(m_rows.size()) - 1;
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const KpiEntry& e = m_rows[static_cast<std::size_t>(r)];
        const auto set = [&](int column, const QString& text, bool right = false) {
            auto* item = new QTableWidgetItem(text);
            if (right) {
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            m_grid->setItem(r, column, item);
        };
        set(Number, QString::number(e.number), true);
        set(Date, inputrules::FormatDate(e.date));
        set(Voucher, e.voucher);
        set(Description, e.description);
        set(Type, e.type ? QString::number(*e.type) : QString());
        set(Receipts, Money(e.amounts[kReceiptsTotal]), true);
        set(Expenditures, Money(e.amounts[kAllowedExpenditures]), true);
        if (e.number == selected) {
            selectRow = r;
        }
    }
    if (selectRow >= 0) {
        m_grid->setCurrentCell(selectRow, Number);
    }
}

int KpiListWindow::SelectedNumber() const {
    const int row = m_grid->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return 0;
    }
    return m_rows[static_cast<std::size_t>(row)].number;
}

void KpiListWindow::Add() {
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        KpiEntryDialog dialog(m_host.CurrentSession(), m_host.UserPrompter(),
                              m_host.DialogParent());
        dialog.exec();
    });
    Refresh();
}

void KpiListWindow::DeleteSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    Prompter& prompter = m_host.UserPrompter();
    if (!prompter.AskYesNo(KpiDeleteQuestion(), windowTitle(), false)) {
        return;
    }
    zodra::ui::Guarded(prompter, [&] {
        Session& session = m_host.CurrentSession();
        DeleteKpiEntry(session.Db(), session.businessYear, number);
    });
    Refresh();
}

void RegisterKpiCommands(zodra::ui::CommandRegistry& registry) {
    registry.Register(QStringLiteral("KPI_Upis"), &OpenList);
    registry.Register(QStringLiteral("KPI_Izvjestaj"), [](zodra::ui::WindowHost& host) {
        host.SetStatusText(QStringLiteral(" Knjiga primitaka i izdataka - izvještaj"));
        const auto range = AskKpiRange(host);
        if (!range) {
            return;
        }
        zodra::ui::Guarded(host.UserPrompter(), [&] {
            reports::ui::ShowReport(host, PrepareKpiReport(host.CurrentSession(), *range));
        });
    });
    registry.Register(
        QStringLiteral("KPI_Izvjestaj_po_tipovima_upisa"), [](zodra::ui::WindowHost& host) {
            host.SetStatusText(
                QStringLiteral(" Knjiga primitaka i izdataka - izvještaj po tipovima upisa"));
            const auto range = AskKpiRange(host);
            if (!range) {
                return;
            }
            zodra::ui::Guarded(host.UserPrompter(), [&] {
                reports::ui::ShowReport(host, KpiByTypeReport(host.CurrentSession(), *range));
            });
        });
    registry.Register(QStringLiteral("kp1"), [](zodra::ui::WindowHost& host) {
        PrintInventory(host, QStringLiteral(" Knjiga popisa"), 0);
    });
    registry.Register(QStringLiteral("kp1_sum"), [](zodra::ui::WindowHost& host) {
        PrintInventory(host, QStringLiteral(" Knjiga popisa - maloprodaja sumarno po danima"), 1);
    });
    registry.Register(QStringLiteral("kp2"), [](zodra::ui::WindowHost& host) {
        PrintInventory(host, QStringLiteral(" Knjiga popisa - donosi i prijenosi na stranama"), 2);
    });
}

}  // namespace zodra::books::ui
