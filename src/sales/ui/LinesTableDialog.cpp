#include "sales/ui/LinesTableDialog.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/DataGrid.h"
#include "ui/WindowTools.h"

namespace zodra::sales::ui {

LinesTableDialog::LinesTableDialog(TableData lines, const QString& documentName, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("StavkeTablicno"));
    setWindowTitle(documentName + QStringLiteral(" - stavke"));
    auto* layout = new QVBoxLayout(this);
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Stavke"));
    m_grid->SetData(std::move(lines));
    layout->addWidget(m_grid, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(zodra::ui::MakeCloseButton(this));
    layout->addLayout(buttons);
    resize(1100, 420);
    m_grid->setFocus();
}

}  // namespace zodra::sales::ui
