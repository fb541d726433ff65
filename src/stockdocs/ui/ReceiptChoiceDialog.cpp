#include "stockdocs/ui/ReceiptChoiceDialog.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "data/Prompter.h"
#include "data/Session.h"
#include "stockdocs/StockDocumentChoices.h"
#include "ui/DataGrid.h"
#include "ui/DialogButtonRow.h"
#include "ui/Guard.h"
#include "ui/WindowHost.h"

namespace zodra::stockdocs::ui {

ReceiptChoiceDialog::ReceiptChoiceDialog(zodra::ui::WindowHost& host, QWidget* parent)
    : QDialog(parent), m_host(host) {
    setObjectName(QStringLiteral("frmIzborPrimke"));
    setWindowTitle(QStringLiteral("Izbor primke"));
    auto* layout = new QVBoxLayout(this);
    m_grid = new zodra::ui::DataGrid(this);
    m_grid->setObjectName(QStringLiteral("Primke"));
    layout->addWidget(m_grid, 1);
    auto* buttons = new zodra::ui::DialogButtonRow(this);
    layout->addWidget(buttons);
    connect(buttons->AcceptButton(), &QPushButton::clicked, this, &ReceiptChoiceDialog::Choose);
    connect(m_grid, &QAbstractItemView::activated, this, &ReceiptChoiceDialog::Choose);
    zodra::ui::Guarded(host.UserPrompter(),
                       [&] { m_grid->SetData(ReceiptsWithStock(host.CurrentSession())); });
    if (m_grid->Data().RowCount() > 0) {
        m_grid->SelectRow(0);
    }
    resize(560, 360);
    m_grid->setFocus();
}

void ReceiptChoiceDialog::Choose() {
    const int row = m_grid->CurrentRow();
    if (row < 0) {
        m_host.UserPrompter().Inform(QStringLiteral("Nije izabrana primka !"), windowTitle());
        return;
    }
    m_chosen = m_grid->Data().Value(row, 0).toInt();
    accept();
}

}  // namespace zodra::stockdocs::ui
