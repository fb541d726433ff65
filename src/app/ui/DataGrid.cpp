#include "app/ui/DataGrid.h"

#include <QDate>
#include <QHeaderView>
#include <QLocale>

namespace zodra::ui {

void TableModel::SetData(TableData data) {
    beginResetModel();
    m_data = std::move(data);
    endResetModel();
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_data.RowCount();
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_data.columns.size());
}

QString TableModel::Display(const TableColumn& column, const QVariant& value) {
    if (value.isNull()) {
        return QString();
    }
    static const QLocale hr(QLocale::Croatian, QLocale::Croatia);
    switch (column.format) {
        case TableColumn::Format::Text:
            return value.toString();
        case TableColumn::Format::Integer:
            return QString::number(value.toLongLong());
        case TableColumn::Format::Money:
            return hr.toString(value.toDouble(), 'f', 2);
        case TableColumn::Format::Quantity: {
            QString t =
                hr.toString(value.toDouble(), 'f', column.decimals >= 0 ? column.decimals : 3);
            return t;
        }
        case TableColumn::Format::Number:
            if (column.decimals >= 0) {
                return hr.toString(value.toDouble(), 'f', column.decimals);
            }
            return hr.toString(value.toDouble(), 'g', 15);
        case TableColumn::Format::Date:
            return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
        case TableColumn::Format::Boolean:
            return value.toBool() ? QStringLiteral("DA") : QStringLiteral("NE");
    }
    return value.toString();
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_data.RowCount()) {
        return QVariant();
    }
    const TableColumn& column = m_data.columns.at(index.column());
    const QVariant value = m_data.Value(index.row(), index.column());
    switch (role) {
        case Qt::DisplayRole:
            return Display(column, value);
        case Qt::EditRole:
        case Qt::UserRole:
            return value;
        case Qt::TextAlignmentRole:
            switch (column.format) {
                case TableColumn::Format::Integer:
                case TableColumn::Format::Money:
                case TableColumn::Format::Quantity:
                case TableColumn::Format::Number:
                    return QVariant(Qt::AlignRight | Qt::AlignVCenter);
                default:
                    return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
            }
        default:
            return QVariant();
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return QVariant();
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    return section < static_cast<int>(m_data.columns.size()) ? m_data.columns[section].header
                                                             : QVariant();
}

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), m_model(new TableModel(this)) {
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setStretchLastSection(true);
    setTabKeyNavigation(false);
}

void DataGrid::SetData(TableData rows) {
    const int row = CurrentRow();
    m_model->SetData(std::move(rows));
    for (int c = 0; c < static_cast<int>(m_model->Data().columns.size()); ++c) {
        setColumnHidden(c, m_model->Data().columns[c].hidden);
    }
    resizeColumnsToContents();
    if (m_model->rowCount() > 0) {
        SelectRow(qBound(0, row, m_model->rowCount() - 1));
    }
}

int DataGrid::CurrentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() : -1;
}

void DataGrid::SelectRow(int row) {
    if (row < 0 || row >= m_model->rowCount()) {
        return;
    }
    int column = 0;
    while (column < m_model->columnCount() && isColumnHidden(column)) {
        ++column;
    }
    setCurrentIndex(m_model->index(row, column));
    selectRow(row);
}

}  // namespace zodra::ui
