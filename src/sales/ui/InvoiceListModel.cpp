#include "sales/ui/InvoiceListModel.h"

#include "ui/DataGrid.h"

namespace zodra::sales::ui {

InvoiceListModel::InvoiceListModel(QObject* parent, int pageSize)
    : QAbstractTableModel(parent), m_pageSize(pageSize) {}

void InvoiceListModel::Reset(PageReader reader) {
    beginResetModel();
    m_reader = std::move(reader);
    m_data = TableData();
    m_complete = false;
    TableData first = m_reader(std::nullopt, m_pageSize);
    m_complete = first.RowCount() < m_pageSize;
    m_data = std::move(first);
    endResetModel();
}

QVariant InvoiceListModel::Key(int row) const {
    return row < 0 || row >= m_data.RowCount() ? QVariant() : m_data.Value(row, 0);
}

int InvoiceListModel::RowOf(int key) {
    for (;;) {
        for (int row = 0; row < m_data.RowCount(); ++row) {
            if (m_data.Value(row, 0).toInt() == key) {
                return row;
            }
        }
        if (m_complete ||
            (m_data.RowCount() > 0 && m_data.Value(m_data.RowCount() - 1, 0).toInt() > key)) {
            return -1;
        }
        fetchMore(QModelIndex());
    }
}

int InvoiceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_data.RowCount();
}

int InvoiceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_data.columns.size());
}

QVariant InvoiceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) {
        return {};
    }
    const TableColumn& column = m_data.columns.at(index.column());
    if (role == Qt::DisplayRole) {
        return zodra::ui::TableModel::Display(column, m_data.Value(index.row(), index.column()));
    }
    if (role == Qt::TextAlignmentRole && column.format != TableColumn::Format::Text &&
        column.format != TableColumn::Format::Boolean) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
}

QVariant InvoiceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section >= 0 &&
        section < columnCount()) {
        return m_data.columns.at(section).header;
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool InvoiceListModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_complete && m_reader;
}

void InvoiceListModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent)) {
        return;
    }
    const std::optional<int> after =
        m_data.RowCount() == 0 ? std::nullopt
                               : std::optional<int>(m_data.Value(m_data.RowCount() - 1, 0).toInt());
    TableData page = m_reader(after, m_pageSize);
    m_complete = page.RowCount() < m_pageSize;
    if (page.rows.empty()) {
        return;
    }
    const int first = m_data.RowCount();
    beginInsertRows(QModelIndex(), first, first + page.RowCount() - 1);
    for (QVariantList& row : page.rows) {
        m_data.rows.push_back(std::move(row));
    }
    endInsertRows();
}

}  // namespace zodra::sales::ui
