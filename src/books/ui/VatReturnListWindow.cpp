#include "books/ui/VatReturnListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "books/VatXml.h"
#include "data/InputRules.h"
#include "data/Prompter.h"
#include "data/Session.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::books::ui {

VatReturnListWindow::VatReturnListWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(ObjectName());
    setWindowTitle(Caption());
    m_grid = new QTableWidget(0, 3, this);
    m_grid->setHorizontalHeaderLabels(
        {QStringLiteral("Rbr"), QStringLiteral("DatumOd"), QStringLiteral("DatumDo")});
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    connect(m_grid, &QTableWidget::currentCellChanged, this, &VatReturnListWindow::SelectionMoved);
    m_dates = new QLabel(this);
    m_dates->setObjectName(QStringLiteral("Razdoblje"));

    auto* print =
        zodra::ui::MakeButton(QStringLiteral("&Prihvati"), QStringLiteral("Prihvati"), this);
    auto* remove =
        zodra::ui::MakeButton(QStringLiteral("&Brisanje"), QStringLiteral("Brisanje"), this);
    auto* xml = zodra::ui::MakeButton(QStringLiteral("&XML"), QStringLiteral("XML"), this);
    connect(print, &QPushButton::clicked, this, &VatReturnListWindow::PrintSelected);
    connect(remove, &QPushButton::clicked, this, &VatReturnListWindow::DeleteSelected);
    connect(xml, &QPushButton::clicked, this, &VatReturnListWindow::ExportSelected);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(print);
    buttons->addWidget(remove);
    buttons->addWidget(xml);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_dates);
    layout->addLayout(buttons);
    Refresh();
    resize(420, 360);
}

void VatReturnListWindow::Refresh() {
    const int selected = SelectedNumber();
    Session& session = m_host.CurrentSession();
    m_rows = ListVatReturns(session.Db(), session.businessYear);
    m_grid->setRowCount(static_cast<int>(m_rows.size()));
    int current = m_rows.empty() ? -1 : 0;
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const VatReturnListRow& row = m_rows[static_cast<std::size_t>(r)];
        auto* number = new QTableWidgetItem(QString::number(row.number));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_grid->setItem(r, 0, number);
        m_grid->setItem(r, 1, new QTableWidgetItem(inputrules::FormatDate(row.from)));
        m_grid->setItem(r, 2, new QTableWidgetItem(inputrules::FormatDate(row.to)));
        if (row.number == selected) {
            current = r;
        }
    }
    if (current >= 0) {
        m_grid->setCurrentCell(current, 0);
    }
    SelectionMoved();
}

int VatReturnListWindow::SelectedNumber() const {
    const int row = m_grid->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return 0;
    }
    return m_rows[static_cast<std::size_t>(row)].number;
}

void VatReturnListWindow::SelectionMoved() {
    const int row = m_grid->currentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        m_dates->clear();
        return;
    }
    const VatReturnListRow& r = m_rows[static_cast<std::size_t>(row)];
    m_dates->setText(QStringLiteral("od ") + inputrules::FormatDate(r.from) +
                     QStringLiteral(" do ") + inputrules::FormatDate(r.to));
}

void VatReturnListWindow::PrintSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    m_host.SetStatusText(QStringLiteral(" Ispis PDV obrasca"));
    Session& session = m_host.CurrentSession();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        reports::ui::ShowReport(m_host,
                                VatReturnReportRequest(session.Db(), session.businessYear, number));
    });
}

void VatReturnListWindow::DeleteSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    Session& session = m_host.CurrentSession();
    zodra::ui::Guarded(m_host.UserPrompter(), [&] {
        DeleteVatReturnAsked(session.Db(), session.businessYear, number, m_host.UserPrompter());
    });
    Refresh();
}

void VatReturnListWindow::ExportSelected() {
    const int number = SelectedNumber();
    if (number == 0) {
        return;
    }
    Session& session = m_host.CurrentSession();
    Prompter& prompter = m_host.UserPrompter();
    zodra::ui::Guarded(prompter, [&] {
        const std::optional<VatReturn> vat =
            LoadVatReturn(session.Db(), session.businessYear, number);
        if (!vat) {
            prompter.Inform(VatMissingReturnMessage(number), Caption());
            return;
        }
        const QString path = prompter.ChooseFileToSave(QStringLiteral("Obrazac PDV (XML)"),
                                                       QStringLiteral("XML datoteke (*.xml)"),
                                                       QString(), QStringLiteral("xml"));
        if (path.isEmpty()) {
            return;
        }
        WriteVatReturnXml(session.Db(), *vat, path);
        prompter.Inform(QStringLiteral("XML datoteka je zapisana u ") + path + QLatin1Char('.'),
                        Caption());
    });
}

}  // namespace zodra::books::ui
