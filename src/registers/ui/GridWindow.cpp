#include "registers/ui/GridWindow.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "data/InputRules.h"
#include "ui/InputConventions.h"

namespace zodra::registers::ui {

namespace {

// Orders the grid on a header click: what reads as a number by its value, the rest in Croatian
// order. The rows stay where they are while the user edits them; the next click orders anew.
class GridOrder : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
        const QString a = left.data().toString().trimmed();
        const QString b = right.data().toString().trimmed();
        if (a.isEmpty() || b.isEmpty()) {
            return a.isEmpty() && !b.isEmpty();
        }
        const auto x = inputrules::ParseNumber(a);
        const auto y = inputrules::ParseNumber(b);
        if (x && y) {
            return *x < *y;
        }
        static const QCollator croatian = [] {
            QCollator c(QLocale(QLocale::Croatian, QLocale::Croatia));
            c.setCaseSensitivity(Qt::CaseInsensitive);
            return c;
        }();
        return croatian.compare(a, b) < 0;
    }
};

}  // namespace

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
    auto* order = new GridOrder(this);
    order->setDynamicSortFilter(false);
    order->setSourceModel(m_model.get());
    m_grid->setModel(order);
    // No order until a header is clicked: the rows as the register gives them.
    m_grid->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_grid->setSortingEnabled(true);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setDefaultSectionSize(110);
    m_grid->setColumnWidth(0, 300);  // the name
    layout->addWidget(m_grid, 1);
    connect(m_search, &QLineEdit::textEdited, this, [this, order](const QString& text) {
        if (text.trimmed().isEmpty() || !m_find) {
            return;
        }
        const int row = m_find(text);
        if (row >= 0) {
            const QModelIndex index = order->mapFromSource(m_model->index(row, 0));
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
    auto* order = qobject_cast<QSortFilterProxyModel*>(m_grid->model());
    m_grid->setModel(nullptr);
    if (order) {
        order->setSourceModel(nullptr);
    }
}

}  // namespace zodra::registers::ui
