#include "assets/ui/FixedAssetListWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "assets/ui/FixedAssetEntryDialog.h"
#include "data/Errors.h"
#include "data/Prompter.h"
#include "data/Rounding.h"
#include "data/Session.h"
#include "data/TableData.h"
#include "reports/ui/ReportPrinting.h"
#include "ui/DataGrid.h"
#include "ui/ListKeys.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::assets::ui {

namespace {

TableData ToTable(const std::vector<FixedAsset>& rows) {
    using F = TableColumn::Format;
    TableData data;
    data.columns = {
        {QStringLiteral("Rbr"), F::Integer},
        {QStringLiteral("Popis"), F::Text},
        {QStringLiteral("Naziv stvari"), F::Text},
        {QStringLiteral("Isprava broj/nadnevak"), F::Text},
        {QStringLiteral("Nabavna vr."), F::Money},
        {QStringLiteral("Knjig. vr."), F::Money},
        {QStringLiteral("Skupina"), F::Text},
        {QStringLiteral("Stopa %"), F::Number, 2},
        {QStringLiteral("Svota otpisa"), F::Money},
        {QStringLiteral("Na kraju godine"), F::Money},
    };
    for (const FixedAsset& a : rows) {
        data.rows.push_back({a.number,
                             a.table == AssetTable::Earlier ? QStringLiteral("raniji") : QString(),
                             a.name, a.document, a.purchaseValue, a.bookValue, a.group, a.rate,
                             a.depreciation, a.yearEndValue});
    }
    return data;
}

}  // namespace

FixedAssetListWindow::FixedAssetListWindow(zodra::ui::WindowHost& host, QWidget* parent)
    : QWidget(parent), m_host(host) {
    setObjectName(ObjectName());
    setWindowTitle(ListCaption());
    m_grid = new zodra::ui::DataGrid(this);
    zodra::ui::OnListKeys(
        m_grid, [this] { DeleteSelected(); }, [this] { ChangeSelected(); });
    connect(m_grid, &QAbstractItemView::doubleClicked, this, &FixedAssetListWindow::ChangeSelected);
    m_totals = new QLabel(this);

    auto* add = new QPushButton(QStringLiteral("&Upis"), this);
    auto* change = new QPushButton(QStringLiteral("&Promjena"), this);
    auto* remove = new QPushButton(QStringLiteral("&Brisanje"), this);
    auto* print = new QPushButton(QStringLiteral("&Ispis"), this);
    add->setObjectName(QStringLiteral("Upis"));
    change->setObjectName(QStringLiteral("Promjena"));
    remove->setObjectName(QStringLiteral("Brisanje"));
    print->setObjectName(QStringLiteral("Ispis"));
    connect(add, &QPushButton::clicked, this, &FixedAssetListWindow::Add);
    connect(change, &QPushButton::clicked, this, &FixedAssetListWindow::ChangeSelected);
    connect(remove, &QPushButton::clicked, this, &FixedAssetListWindow::DeleteSelected);
    connect(print, &QPushButton::clicked, this, &FixedAssetListWindow::PrintList);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(change);
    buttons->addWidget(remove);
    buttons->addWidget(print);
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("Godina: ") + QString::number(host.CurrentSession().businessYear), this));
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_totals);
    layout->addLayout(buttons);
    resize(1000, 460);
    Refresh();
    m_grid->setFocus();
}

void FixedAssetListWindow::Refresh() {
    Session& session = m_host.CurrentSession();
    m_rows = ListAssets(session.Db(), session.businessYear);
    m_grid->SetData(ToTable(m_rows));
    m_grid->horizontalHeader()->setSectionResizeMode(Name, QHeaderView::Stretch);
    if (m_grid->CurrentRow() < 0 && !m_rows.empty()) {
        m_grid->SelectRow(0);
    }
    MoneyTotal depreciation;
    MoneyTotal yearEnd;
    int earlier = 0;
    for (const FixedAsset& a : m_rows) {
        depreciation += a.depreciation;
        yearEnd += a.yearEndValue;
        earlier += a.table == AssetTable::Earlier ? 1 : 0;
    }
    QString text = QStringLiteral("Stavki: %1   Svota otpisa: %2   Na kraju godine: %3")
                       .arg(m_rows.size())
                       .arg(MoneyText(depreciation.Value()), MoneyText(yearEnd.Value()));
    if (earlier > 0) {
        text +=
            QStringLiteral("   (iz ranijeg popisa: %1, u stupcu \"Popis\": raniji)").arg(earlier);
    }
    m_totals->setText(text);
}

const FixedAsset* FixedAssetListWindow::Selected() const {
    const int row = m_grid->CurrentRow();
    if (row < 0 || row >= static_cast<int>(m_rows.size())) {
        return nullptr;
    }
    return &m_rows[static_cast<std::size_t>(row)];
}

void FixedAssetListWindow::SelectNumber(AssetTable table, int number) {
    for (int r = 0; r < static_cast<int>(m_rows.size()); ++r) {
        const FixedAsset& a = m_rows[static_cast<std::size_t>(r)];
        if (a.table == table && a.number == number) {
            m_grid->SelectRow(r);
            return;
        }
    }
}

void FixedAssetListWindow::Add() {
    Session& session = m_host.CurrentSession();
    FixedAssetEntryDialog dialog(session.Db(), session.businessYear, m_host.UserPrompter(),
                                 m_host.DialogParent());
    const bool added = dialog.exec() == QDialog::Accepted;
    Refresh();
    if (added) {
        SelectNumber(AssetTable::Current, dialog.SavedNumber());
    }
}

void FixedAssetListWindow::ChangeSelected() {
    const FixedAsset* selected = Selected();
    if (!selected) {
        return;
    }
    const FixedAsset row = *selected;
    Session& session = m_host.CurrentSession();
    FixedAssetEntryDialog dialog(session.Db(), session.businessYear, m_host.UserPrompter(), row,
                                 m_host.DialogParent());
    const bool changed = dialog.exec() == QDialog::Accepted;
    Refresh();
    SelectNumber(row.table, changed ? dialog.SavedNumber() : row.number);
}

void FixedAssetListWindow::DeleteSelected() {
    const FixedAsset* selected = Selected();
    if (!selected) {
        return;
    }
    const FixedAsset row = *selected;
    Prompter& prompter = m_host.UserPrompter();
    if (!prompter.AskYesNo(DeleteQuestion(), ListCaption(), false)) {
        return;
    }
    Session& session = m_host.CurrentSession();
    try {
        DeleteAsset(session.Db(), session.businessYear, row.table, row.number);
    } catch (const DbError& e) {
        prompter.Inform(e.driverText());
    }
    Refresh();
}

void FixedAssetListWindow::PrintList() {
    Session& session = m_host.CurrentSession();
    reports::ui::ShowReport(m_host, AssetReportRequest(session.Db(), session.businessYear));
}

}  // namespace zodra::assets::ui
