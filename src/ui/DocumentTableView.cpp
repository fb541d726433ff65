#include "ui/DocumentTableView.h"

#include <QLabel>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::ui {

DocumentTableView::DocumentTableView(WindowHost& host,
                                     std::shared_ptr<const DocumentDescription> description,
                                     QWidget* parent)
    : QWidget(parent) {
    setWindowTitle(description->tableCaption.isEmpty() ? description->listCaption
                                                       : description->tableCaption);
    auto* layout = new QVBoxLayout(this);
    m_grid = new DataGrid(this);
    m_grid->SetSortable(true);
    m_grid->setObjectName(QStringLiteral("Tablica"));
    layout->addWidget(m_grid, 1);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Ukupno"));
    m_totals->setWordWrap(true);
    layout->addWidget(m_totals);
    TableData rows;
    QString totals;
    Guarded(host.UserPrompter(), [&] {
        rows = description->tableRows(host.CurrentSession());
        if (description->tableTotals) {
            totals = description->tableTotals(host.CurrentSession());
        }
    });
    m_grid->SetData(std::move(rows));
    m_totals->setText(totals);
    resize(980, 480);
}

}  // namespace zodra::ui
