#include "ui/DocumentTableView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "ui/DataGrid.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"
#include "ui/WindowTools.h"

namespace zodra::ui {

DocumentTableView::DocumentTableView(WindowHost& host, DocumentListController& controller,
                                     QWidget* parent)
    : QWidget(parent) {
    const QString caption = controller.TableCaption();
    setWindowTitle(caption.isEmpty() ? controller.Caption() : caption);
    auto* layout = new QVBoxLayout(this);
    m_grid = new DataGrid(this);
    m_grid->SetSortable(true);
    m_grid->setObjectName(QStringLiteral("Tablica"));
    layout->addWidget(m_grid, 1);
    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("Ukupno"));
    m_totals->setWordWrap(true);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_totals, 1);
    bottom->addWidget(MakeCloseButton(this));
    layout->addLayout(bottom);
    TableData rows;
    QString totals;
    Guarded(host.UserPrompter(), [&] {
        rows = controller.TableRows(host.CurrentSession());
        totals = controller.TableTotals(host.CurrentSession());
    });
    m_grid->SetData(std::move(rows));
    m_totals->setText(totals);
    resize(980, 480);
}

}  // namespace zodra::ui
