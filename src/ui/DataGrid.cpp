#include "ui/DataGrid.h"

#include <QCollator>
#include <QDate>
#include <QHeaderView>
#include <QLocale>
#include <algorithm>

#include "data/Rounding.h"

namespace zodra::ui {

void TableModel::SetData(TableData data) {
    beginResetModel();
    m_data = std::move(data);
    SortRows();
    endResetModel();
}

void TableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) {
        return;
    }
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    m_sortColumn = column;
    m_sortOrder = order;
    SortRows();
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TableModel::SortRows() {
    if (m_sortColumn < 0 || m_sortColumn >= columnCount()) {
        return;
    }
    static const QCollator croatian = [] {
        QCollator c(QLocale(QLocale::Croatian, QLocale::Croatia));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(true);
        return c;
    }();
    const int column = m_sortColumn;
    const TableColumn::Format format = m_data.columns[column].format;
    const auto less = [column, format](const QVariantList& a, const QVariantList& b) {
        const QVariant x = a.value(column);
        const QVariant y = b.value(column);
        if (x.isNull() || y.isNull()) {
            return x.isNull() && !y.isNull();
        }
        switch (format) {
            case TableColumn::Format::Text:
                return croatian.compare(x.toString(), y.toString()) < 0;
            case TableColumn::Format::Date:
                return x.toDate() < y.toDate();
            case TableColumn::Format::Boolean:
                return !x.toBool() && y.toBool();
            default:
                return x.toDouble() < y.toDouble();
        }
    };
    if (m_sortOrder == Qt::AscendingOrder) {
        std::stable_sort(m_data.rows.begin(), m_data.rows.end(), less);
    } else {
        std::stable_sort(
            m_data.rows.begin(), m_data.rows.end(),
            [&less](const QVariantList& a, const QVariantList& b) { return less(b, a); });
    }
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
            return FixedNumberText(value.toDouble(), 2, hr);
        case TableColumn::Format::Quantity:
            return FixedNumberText(value.toDouble(), column.decimals >= 0 ? column.decimals : 3,
                                   hr);
        case TableColumn::Format::Number:
            if (column.decimals >= 0) {
                return FixedNumberText(value.toDouble(), column.decimals, hr);
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

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == m_editableColumn) {
        f |= Qt::ItemIsEditable;
    }
    return f;
}

bool TableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != m_editableColumn ||
        !m_commit) {
        return false;
    }
    m_commit(index.row(), value);
    return true;
}

void TableModel::SetEditableColumn(int column, std::function<void(int, const QVariant&)> commit) {
    m_editableColumn = column;
    m_commit = std::move(commit);
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

void DataGrid::SetSortable(bool sortable) {
    // No order until the user asks for one: the rows stay as core code gave them.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(sortable);
    horizontalHeader()->setSortIndicatorShown(sortable);
}

void DataGrid::SetEditableColumn(int column, std::function<void(int, const QVariant&)> commit,
                                 std::function<void()> refused) {
    m_model->SetEditableColumn(column, std::move(commit));
    m_refused = std::move(refused);
    setEditTriggers(column >= 0
                        ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                              QAbstractItemView::AnyKeyPressed
                        : QAbstractItemView::NoEditTriggers);
}

bool DataGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool byUser = trigger == QAbstractItemView::DoubleClicked ||
                        trigger == QAbstractItemView::EditKeyPressed ||
                        trigger == QAbstractItemView::AnyKeyPressed;
    if (byUser && index.isValid() && m_model->EditableColumn() >= 0 &&
        index.column() != m_model->EditableColumn()) {
        if (m_refused) {
            m_refused();
        }
        return false;
    }
    return QTableView::edit(index, trigger, event);
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
