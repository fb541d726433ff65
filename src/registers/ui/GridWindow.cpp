#include "registers/ui/GridWindow.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/InputConventions.h"

namespace zodra::registers::ui {

GridWindow::GridWindow(const QString& objectName, const QString& caption,
                       std::unique_ptr<QAbstractTableModel> model, Finder find, QWidget* parent)
    : QWidget(parent), m_model(std::move(model)), m_find(std::move(find)) {
    setObjectName(objectName);
    setWindowTitle(caption);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Traži :"), this));
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("Trazi_tekst"));
    zodra::ui::KeepEnter(m_search);
    top->addWidget(m_search, 1);
    auto* closeButton = new QPushButton(QStringLiteral("&Zatvori"), this);
    closeButton->setObjectName(QStringLiteral("Zatvori"));
    top->addWidget(closeButton);
    layout->addLayout(top);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("Tablica"));
    m_grid->setModel(m_model.get());
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setDefaultSectionSize(110);
    m_grid->setColumnWidth(0, 300);  // the name
    layout->addWidget(m_grid, 1);
    connect(m_search, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (text.trimmed().isEmpty() || !m_find) {
            return;
        }
        const int row = m_find(text);
        if (row >= 0) {
            const QModelIndex index = m_model->index(row, 0);
            m_grid->setCurrentIndex(index);
            m_grid->scrollTo(index, QAbstractItemView::PositionAtTop);
        }
    });
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (QWidget* frame = parentWidget()) {
            frame->close();
        } else {
            close();
        }
    });
    resize(900, 500);
}

GridWindow::~GridWindow() {
    // The view lets go of the model before the model goes.
    m_grid->setModel(nullptr);
}

}  // namespace zodra::registers::ui
